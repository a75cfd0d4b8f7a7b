#include "TFIEC_61850_Access.h"
#include "Access_File.h"
#include "Access_Ops.h"
#include "Access_Validation.h"
#include "Catalog.h"
#include "Common.h"
#include "Constants.h"
#include "Device_Tree.h"
#include "Grid_View.h"
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TFIEC_61850_Access::TFIEC_61850_Access(TAppContext& context, QWidget* parent)
    : QDialog(parent)
    , Ctx(context)
{
    setObjectName(QStringLiteral("TFIEC_61850_Access"));
    FormCreate();
}

TFIEC_61850_Access::~TFIEC_61850_Access()
{
    // The tree's nodes point into the devices and the grid views into the grids: let them go
    // first, while the access list still exists.
    TV_IEC_Device->clear();
    delete ACG_DA;
    delete ACG_DataSet;
    delete ACG_DS_Vars;
}

void TFIEC_61850_Access::FormCreate()
{
    Build_Layout();
    Set_Column_Editors();
    L_SW_Code->setText(SoftwareCode);
    Set_Lang();
}

void TFIEC_61850_Access::Build_Layout()
{
    auto* top = new QVBoxLayout(this);
    L_SW_Code = Make_SW_Code_Label(this);
    L_SW_Desc = Named(new QLabel(this), "L_SW_Desc");
    top->addWidget(L_SW_Code);
    top->addWidget(L_SW_Desc);

    auto button = [this](const char* name) {
        auto* b = Named(new QPushButton(this), name);
        // Enter belongs to the grids, never to a default button.
        b->setAutoDefault(false);
        return b;
    };

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    Btn_Add_IEC_Device = button("Btn_Add_IEC_Device");
    LB_IEC_Devices = Named(new QListWidget(left), "LB_IEC_Devices");
    Btn_Remove_IEC_Device = button("Btn_Remove_IEC_Device");
    TV_IEC_Device = Named(new QTreeWidget(left), "TV_IEC_Device");
    TV_IEC_Device->setHeaderHidden(true);
    TV_IEC_Device->setUniformRowHeights(true);
    TV_IEC_Device->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LB_IEC_Devices->setMaximumHeight(120);
    leftLayout->addWidget(Btn_Add_IEC_Device);
    leftLayout->addWidget(LB_IEC_Devices);
    leftLayout->addWidget(Btn_Remove_IEC_Device);
    leftLayout->addWidget(TV_IEC_Device, 1);

    PC_Access = Named(new QTabWidget(this), "PC_Access");
    TS_Variables = Named(new QWidget(PC_Access), "TS_Variables");
    TS_DataSet = Named(new QWidget(PC_Access), "TS_DataSet");
    ACG_DA = Named(new TGrid_View(Access.ACG_DA, Ctx.State, TS_Variables), "ACG_DA");
    ACG_DataSet = Named(new TGrid_View(Access.ACG_DataSet, Ctx.State, TS_DataSet), "ACG_DataSet");
    ACG_DS_Vars = Named(new TGrid_View(Access.ACG_DS_Vars, Ctx.State, TS_DataSet), "ACG_DS_Vars");
    auto* varLayout = new QVBoxLayout(TS_Variables);
    varLayout->addWidget(ACG_DA);
    auto* dsLayout = new QVBoxLayout(TS_DataSet);
    dsLayout->addWidget(ACG_DataSet, 1);
    dsLayout->addWidget(ACG_DS_Vars, 1);
    PC_Access->addTab(TS_Variables, QStringLiteral("Variables"));
    PC_Access->addTab(TS_DataSet, QStringLiteral("DataSet"));

    auto* splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(PC_Access);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 900});
    top->addWidget(splitter, 1);

    auto* bottom = new QHBoxLayout;
    Btn_OK = button("Btn_OK");
    Btn_Cancel = button("Btn_Cancel");
    Btn_AddVar = button("Btn_AddVar");
    Btn_RemoveVar = button("Btn_RemoveVar");
    Btn_MoveUp = button("Btn_MoveUp");
    Btn_MoveDown = button("Btn_MoveDown");
    Btn_MoveUp->hide();
    Btn_MoveDown->hide();
    for (QPushButton* b : {Btn_AddVar, Btn_RemoveVar, Btn_MoveUp, Btn_MoveDown})
        bottom->addWidget(b);
    bottom->addStretch(1);
    bottom->addWidget(Btn_OK);
    bottom->addWidget(Btn_Cancel);
    top->addLayout(bottom);
    resize(1200, 720);

    connect(Btn_OK, &QPushButton::clicked, this, &TFIEC_61850_Access::Btn_OKClick);
    connect(Btn_AddVar, &QPushButton::clicked, this, &TFIEC_61850_Access::Btn_AddVarClick);
    connect(Btn_RemoveVar, &QPushButton::clicked, this, &TFIEC_61850_Access::Btn_RemoveVarClick);
    // Keyboard moves show the members too, so that the members grid always belongs to the
    // current data set row and member edits reach the entry that is shown.
    connect(ACG_DataSet, &QAbstractItemView::clicked, this, &TFIEC_61850_Access::Show_DataSet_DAs);
    connect(ACG_DataSet->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TFIEC_61850_Access::Show_DataSet_DAs);
    connect(ACG_DS_Vars->selectionModel(), &QItemSelectionModel::currentChanged, this, &TFIEC_61850_Access::ACG_DS_VarsSelectCell);
    connect(ACG_DS_Vars->Grid_Model(), &QAbstractItemModel::dataChanged, this, &TFIEC_61850_Access::ACG_DS_VarsEditCellDone);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Add_IEC_Device, &QPushButton::clicked, this, &TFIEC_61850_Access::Btn_Add_IEC_DeviceClick);
    connect(Btn_Remove_IEC_Device, &QPushButton::clicked, this, &TFIEC_61850_Access::Btn_Remove_IEC_DeviceClick);
    connect(LB_IEC_Devices, &QListWidget::currentRowChanged, this, &TFIEC_61850_Access::LB_IEC_DevicesClick);
    connect(TV_IEC_Device, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) { TV_IEC_DeviceClick(node); });
}

void TFIEC_61850_Access::Set_Lang()
{
    const TText_Table& t = Ctx.Texts;
    setWindowTitle(t[1200]);
    L_SW_Desc->setText(t[1201]);
    QPushButton* const buttons[] = {Btn_OK, Btn_Cancel, Btn_AddVar, Btn_RemoveVar, Btn_MoveUp, Btn_MoveDown, Btn_Add_IEC_Device, Btn_Remove_IEC_Device};
    for (int i = 0; i < 8; ++i) {
        buttons[i]->setText(t[1202 + i]);
        buttons[i]->setToolTip(t[1210 + i]);
    }

    // Headings and hints of the variables grid; Start Byte and Num Byte came later, hence their numbers.
    const int headings[Var_Col::Count] = {1218, 1219, 1220, 1221, 1222, 1258, 1259, 1223, 1224, 1225, 1226, 1227, 1228, 1229, 1230, 1231, 1232, 1233, 1234};
    const int hints[Var_Col::Count] = {1235, 1236, 1237, 1238, 1239, 1260, 1261, 1240, 1241, 1242, 1243, 1244, 1245, 1246, 1247, 1248, 1249, 1250, 1251};
    Hint.clear();
    for (int col = 0; col < Var_Col::Count; ++col) {
        Access.ACG_DA.Set_Heading(col, t[headings[col]]);
        Hint << t[hints[col]];
    }
    ACG_DA->Grid_Model()->Set_Hints(Hint);
    ACG_DA->Grid_Model()->headerDataChanged(Qt::Horizontal, 0, Var_Col::Count - 1);
}

void TFIEC_61850_Access::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFIEC_61850_Access::FormShow()
{
    DataSet_Row_Select = 0;
    Selected_IEC_DA = nullptr;
    Selected_IEC_DS = nullptr;
    PC_Access->setCurrentWidget(TS_Variables);
    Clear_Tree();
    Shown_Device = -1;

    TLoad_Report report;
    const TResult loaded = Load_Access_File(Ctx.State.IEC_Client_File, Catalog_Folder(Ctx.State.Project_Folder), Access, report);
    Show_IEC_Devices();
    Refresh_Grids();
    for (const QString& warning : {report.Missing_Files_Warning(), report.Dropped_Members_Warning()})
        if (!warning.isEmpty())
            Ctx.Platform.Messages->Warning(warning);
    Ctx.Report(loaded);
}

void TFIEC_61850_Access::Refresh_Grids()
{
    for (TGrid_View* grid : {ACG_DA, ACG_DataSet, ACG_DS_Vars})
        grid->Grid_Model()->Refresh();
}

void TFIEC_61850_Access::Set_Column_Editors()
{
    const QStringList bits = {"0", "1", "2", "3", "4", "5", "6", "7"};
    const QStringList conversions = {"None", "ItoF/FtoI"};

    TGrid_Model* vars = ACG_DA->Grid_Model();
    for (int col : {Var_Col::bType, Var_Col::fc, Var_Col::Reference})
        vars->Set_Column_Editor(col, TCol_Editor::Read_Only);
    for (int col : {Var_Col::OnChange, Var_Col::OnCMD, Var_Col::OnTimer})
        vars->Set_Column_Editor(col, TCol_Editor::Check);
    vars->Set_Column_Editor(Var_Col::StartBit, TCol_Editor::Choice, bits);
    vars->Set_Column_Editor(Var_Col::ReadWrite, TCol_Editor::Choice, {"Read", "Write"});
    vars->Set_Column_Editor(Var_Col::Convertion, TCol_Editor::Choice, conversions);

    TGrid_Model* sets = ACG_DataSet->Grid_Model();
    sets->Set_Column_Editor(DS_Col::Reference, TCol_Editor::Read_Only);
    sets->Set_Column_Editor(DS_Col::GooseName, TCol_Editor::Read_Only);
    sets->Set_Column_Editor(DS_Col::EnGoose, TCol_Editor::Check);

    TGrid_Model* members = ACG_DS_Vars->Grid_Model();
    members->Set_Column_Editor(Member_Col::bType, TCol_Editor::Read_Only);
    members->Set_Column_Editor(Member_Col::Reference, TCol_Editor::Read_Only);
    members->Set_Column_Editor(Member_Col::StartBit, TCol_Editor::Choice, bits);
    members->Set_Column_Editor(Member_Col::Convertion, TCol_Editor::Choice, conversions);
}

void TFIEC_61850_Access::Btn_OKClick()
{
    const QChar separator = Get_Decimal_Separator(Ctx.Platform.Locale->Decimal_Separator());
    if (!Ctx.Report(Controllo_dati(Access.ACG_DA, separator, Ctx.Texts)))
        return;
    if (!Ctx.Report(Save_Access_File(Access, Ctx.State.IEC_Client_File)))
        return;
    accept();
}

void TFIEC_61850_Access::Btn_AddVarClick()
{
    if (Selected_IEC_DA) {
        PC_Access->setCurrentWidget(TS_Variables);
        const int row = Add_Var(Access.ACG_DA, *Selected_IEC_DA, Current_Device());
        ACG_DA->Reload();
        ACG_DA->Set_Current(Var_Col::Index, row);
    } else if (Selected_IEC_DS) {
        PC_Access->setCurrentWidget(TS_DataSet);
        Add_DataSet(Access, *Selected_IEC_DS, Current_Device());
        ACG_DataSet->Reload();
    }
}

void TFIEC_61850_Access::Btn_RemoveVarClick()
{
    if (PC_Access->currentWidget() == TS_Variables) {
        Remove_Var(Access.ACG_DA, ACG_DA->Row());
        ACG_DA->Reload();
        return;
    }
    Remove_DataSet(Access, ACG_DataSet->Row());
    // The members grid is blank now and shows members again when a data set row is chosen.
    ACG_DataSet->Grid_Model()->Refresh();
    ACG_DS_Vars->Grid_Model()->Refresh();
    DataSet_Row_Select = 0;
}

void TFIEC_61850_Access::Show_DataSet_DAs()
{
    ::Show_DataSet_DAs(Access, ACG_DataSet->Row());
    ACG_DS_Vars->Grid_Model()->Refresh();
}

void TFIEC_61850_Access::ACG_DS_VarsSelectCell()
{
    DataSet_Row_Select = ACG_DataSet->Row();
}

void TFIEC_61850_Access::ACG_DS_VarsEditCellDone(const QModelIndex& index)
{
    if (DataSet_Row_Select >= 1)
        Store_Member_Edit(Access, DataSet_Row_Select, TGrid_Model::Grid_Row(index.row()), index.column(),
            Access.ACG_DS_Vars.Cell(index.column(), TGrid_Model::Grid_Row(index.row())));
}

void TFIEC_61850_Access::Show_IEC_Devices()
{
    const QSignalBlocker block(LB_IEC_Devices);
    LB_IEC_Devices->clear();
    for (const auto& device : Access.List_IEC_Dev) {
        auto* item = new QListWidgetItem(Device_List_Text(*device), LB_IEC_Devices);
        if (device->File_Missing)
            item->setForeground(QColor(160, 0, 0));
    }
    LB_IEC_Devices->setCurrentRow(Shown_Device);
}

void TFIEC_61850_Access::Btn_Add_IEC_DeviceClick()
{
    const QString chosen = Ctx.Platform.File_Dialog->Open_File(Ctx.Texts[1208], QString(), SCL_File_Filter);
    if (chosen.isEmpty())
        return;
    const TResult imported = Import_SCL_File(Access, Ctx.State.Project_Folder, chosen, [this] {
        switch (Ctx.Platform.Messages->Question_Yes_No_Cancel(Overwrite_Question)) {
        case IMessages::TAnswer::Yes:
            return TOverwrite_Answer::Yes;
        case IMessages::TAnswer::No:
            return TOverwrite_Answer::No;
        default:
            return TOverwrite_Answer::Cancel;
        }
    });
    // The list refills with the shown device still selected, so that the tree, the list's
    // selection and the index given to new entries keep agreeing.
    Show_IEC_Devices();
    Ctx.Report(imported);
}

void TFIEC_61850_Access::Btn_Remove_IEC_DeviceClick()
{
    const int index = LB_IEC_Devices->currentRow();
    if (index < 0 || Device_In_Use(Access, index))
        return;
    // The removed device is the shown one: its tree goes with it.
    Clear_Tree();
    Remove_Device(Access, index);
    Shown_Device = -1;
    Selected_IEC_DA = nullptr;
    Selected_IEC_DS = nullptr;
    Show_IEC_Devices();
    Refresh_Grids();
}

void TFIEC_61850_Access::Clear_Tree()
{
    const QSignalBlocker block(TV_IEC_Device);
    TV_IEC_Device->clear();
    NODE_ORIG = nullptr;
}

void TFIEC_61850_Access::LB_IEC_DevicesClick()
{
    const int index = LB_IEC_Devices->currentRow();
    Selected_IEC_DA = nullptr;
    Selected_IEC_DS = nullptr;
    if (index < 0 || index >= static_cast<int>(Access.List_IEC_Dev.size()))
        return;
    Clear_Tree();
    Shown_Device = index;
    const QSignalBlocker block(TV_IEC_Device);
    NODE_ORIG = Show_Tree_IEC_Device(TV_IEC_Device, *Access.List_IEC_Dev[static_cast<size_t>(index)]);
}

void TFIEC_61850_Access::TV_IEC_DeviceClick(QTreeWidgetItem* node)
{
    Selected_IEC_DA = nullptr;
    Selected_IEC_DS = nullptr;
    auto* shown = dynamic_cast<TIEC_Tree_Item*>(node);
    if (!shown)
        return;
    if (shown->Kind() == TNode_Kind::DA) {
        auto* da = static_cast<TIEC_DA*>(shown->Object());
        if (da->Is_Leaf())
            Selected_IEC_DA = da;
    } else if (shown->Kind() == TNode_Kind::DataSet)
        Selected_IEC_DS = static_cast<TIEC_DataSet*>(shown->Object());
}
