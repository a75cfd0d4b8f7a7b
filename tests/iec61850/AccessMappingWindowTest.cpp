#include "Access_File.h"
#include "FakePlatform.h"
#include "Grid_View.h"
#include "TFIEC_61850_Access.h"
#include "WindowTestSupport.h"
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// The access window on a project of its own, driven through its controls.
struct TAccess_Run {
    QTemporaryDir Dir;
    TFake_Platform Fakes;
    TProgramState State;
    TText_Table Texts;
    TAppContext Ctx{State, Texts, Fakes.Services()};
    std::unique_ptr<TFIEC_61850_Access> Window;

    TAccess_Run()
    {
        State.Set_Program_Folder(Dir.path());
        State.Activate_Project(QStringLiteral("Plant"));
        QDir().mkpath(State.Project_Folder);
        Window = std::make_unique<TFIEC_61850_Access>(Ctx);
    }

    // Shows the window as the main window's step does (each showing loads the access file).
    // Events go straight to the controls, so nothing here needs the window to be active:
    // window tests of other programs may share the display and take the activation.
    void Open()
    {
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    }

    template <typename W>
    W* Find(const char* name) const
    {
        W* w = Window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    TGrid_View* Grid(const char* name) const { return Find<TGrid_View>(name); }
    void Click(const char* name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }

    void Import_Fixture()
    {
        Fakes.File_Dialog.Next_Files.push_back(Fixture(QStringLiteral("iec61850/Access_Window.icd")));
        Click("Btn_Add_IEC_Device");
        auto* list = Find<QListWidget>("LB_IEC_Devices");
        ASSERT_GT(list->count(), 0);
        QListWidgetItem* item = list->item(list->count() - 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }

    // Clicks the tree node reached by following `path` from the device's root node.
    void Click_Node(const QStringList& path)
    {
        auto* tree = Find<QTreeWidget>("TV_IEC_Device");
        QTreeWidgetItem* node = tree->topLevelItem(0);
        for (const QString& step : path) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; node && i < node->childCount(); ++i)
                if (node->child(i)->text(0) == step)
                    next = node->child(i);
            node = next;
        }
        ASSERT_TRUE(node) << path.join('/').toStdString();
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    }
    void Add(const QStringList& path)
    {
        Click_Node(path);
        Click("Btn_AddVar");
    }

    static QModelIndex Index(TGrid_View* view, int col, int row)
    {
        return view->model()->index(TGrid_Model::View_Row(row), col);
    }
    static void Click_Cell(TGrid_View* view, int col, int row)
    {
        const QModelIndex index = Index(view, col, row);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    // The open editor of a view, found among the view's children rather than through the focus.
    template <typename E>
    static E* Open_Editor(TGrid_View* view)
    {
        for (E* editor : view->viewport()->findChildren<E*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    static void Start_Edit(TGrid_View* view, int col, int row)
    {
        Click_Cell(view, col, row);
        QTest::keyClick(view, Qt::Key_F2);
    }
    // Types into a cell as the engineer does: click, F2, the text, Enter.
    static void Type_Cell(TGrid_View* view, int col, int row, const QString& text)
    {
        Start_Edit(view, col, row);
        auto* editor = Open_Editor<QLineEdit>(view);
        ASSERT_TRUE(editor) << "no text editor at " << col << "," << row;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    // Picks a drop-down entry of a cell; returns the entries offered.
    static QStringList Choose(TGrid_View* view, int col, int row, const QString& choice)
    {
        Start_Edit(view, col, row);
        auto* combo = Open_Editor<QComboBox>(view);
        if (!combo)
            return {};
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        combo->setCurrentIndex(combo->findText(choice));
        QTest::keyClick(combo, Qt::Key_Return);
        QApplication::processEvents();
        return items;
    }
    static bool Editable(TGrid_View* view, int col, int row)
    {
        return view->model()->flags(Index(view, col, row)) & Qt::ItemIsEditable;
    }
};

QStringList Column(const TGrid& grid, int col)
{
    QStringList cells;
    for (int row = 1; row < grid.Row_Count(); ++row)
        cells << grid.Cell(col, row);
    return cells;
}

const QStringList Leaf_F = {"LD0", "MMXU1", "TotW", "mag", "f"};
const QStringList Leaf_Q = {"LD0", "MMXU1", "TotW", "q"};
const QStringList Leaf_T = {"LD0", "MMXU1", "TotW", "t"};
const QStringList Leaf_Vendor = {"LD0", "LPHD1", "PhyNam", "vendor"};
const QStringList Data_Set_1 = {"LD0", "LLN0", "DS1"};

} // namespace

TEST(AccessMapping, AddEditRemoveValidateAndSave)
{
    TAccess_Run run;
    run.Open();
    run.Import_Fixture();
    TGrid& vars = run.Window->Access.ACG_DA;
    TGrid_View* da = run.Grid("ACG_DA");

    // The same leaf twice: rows 1 and 2, the selection stays.
    run.Add(Leaf_F);
    run.Click("Btn_AddVar");
    ASSERT_EQ(vars.Row_Count(), 3);
    EXPECT_EQ(Column(vars, Var_Col::N), QStringList({"1", "2"}));
    EXPECT_EQ(Column(vars, Var_Col::Reference), QStringList({"IED1LD0/MMXU1.TotW.mag.f", "IED1LD0/MMXU1.TotW.mag.f"}));
    EXPECT_EQ(Column(vars, Var_Col::Index), QStringList({"0", "0"}));
    EXPECT_EQ(Column(vars, Var_Col::fc), QStringList({"MX", "MX"}));
    EXPECT_EQ(Column(vars, Var_Col::OnTimer), QStringList({"N", "N"}));
    run.Add(Leaf_Vendor);
    run.Add(Leaf_T);
    EXPECT_EQ(Column(vars, Var_Col::bType), QStringList({"FLOAT32", "FLOAT32", "VisString255", "Timestamp"}));
    EXPECT_EQ(Column(vars, Var_Col::NumByte), QStringList({"4", "4", "", "1"}));
    EXPECT_EQ(da->model()->rowCount(), 4);

    // A structured attribute and a logical node select nothing: Add Var adds nothing.
    run.Click_Node({"LD0", "MMXU1", "TotW", "mag"});
    run.Click("Btn_AddVar");
    run.Click_Node({"LD0", "MMXU1"});
    run.Click("Btn_AddVar");
    EXPECT_EQ(vars.Row_Count(), 5);

    // Remove row 2 of 4: rows 3 and 4 move up and lock by their own type.
    TAccess_Run::Click_Cell(da, Var_Col::Mnemonic, 2);
    run.Click("Btn_RemoveVar");
    EXPECT_EQ(Column(vars, Var_Col::N), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(vars, Var_Col::bType), QStringList({"FLOAT32", "VisString255", "Timestamp"}));
    EXPECT_EQ(Column(vars, Var_Col::StartByte), QStringList({"0", "", "0"}));
    EXPECT_EQ(Column(vars, Var_Col::NumByte), QStringList({"4", "", "1"}));
    EXPECT_EQ(da->model()->rowCount(), 3);
    for (int col : {Var_Col::StartByte, Var_Col::NumByte}) {
        EXPECT_FALSE(TAccess_Run::Editable(da, col, 1)) << col;
        EXPECT_TRUE(TAccess_Run::Editable(da, col, 2)) << col;
        EXPECT_FALSE(TAccess_Run::Editable(da, col, 3)) << col;
    }

    // A data set: its page, its row, one member entry per member; a member's Position edited.
    run.Add(Data_Set_1);
    EXPECT_EQ(run.Find<QTabWidget>("PC_Access")->currentWidget()->objectName(), "TS_DataSet");
    const TGrid& sets = run.Window->Access.ACG_DataSet;
    EXPECT_EQ(sets.Cell(DS_Col::Reference, 1), "IED1LD0/LLN0.DS1");
    EXPECT_EQ(sets.Cell(DS_Col::GooseName, 1), "GCB1");
    EXPECT_EQ(sets.Cell(DS_Col::EnGoose, 1), "Y");
    TGrid_View* dsView = run.Grid("ACG_DataSet");
    TGrid_View* members = run.Grid("ACG_DS_Vars");
    TAccess_Run::Click_Cell(dsView, DS_Col::Mnemonic, 1);
    EXPECT_EQ(Column(run.Window->Access.ACG_DS_Vars, Member_Col::Reference),
        QStringList({"IED1LD0/MMXU1.TotW.q", "IED1LD0/MMXU1.TotW.t", "IED1LD0/LPHD1.PhyNam.vendor"}));
    TAccess_Run::Type_Cell(members, Member_Col::Position, 2, "17");
    EXPECT_EQ(TAccess_Run::Choose(members, Member_Col::Convertion, 2, "ItoF/FtoI"), QStringList({"None", "ItoF/FtoI"}));
    EXPECT_EQ(run.Window->DataSet_Row_Select, 1);
    EXPECT_EQ(run.Window->Access.List_DataSet[0]->List_DAs[1]->Position, "17");
    EXPECT_EQ(run.Window->Access.List_DataSet[0]->List_DAs[1]->conversion, "ItoF/FtoI");

    // OK with rows left as added: the first row's first failing check, the window stays open.
    run.Click("Btn_OK");
    EXPECT_EQ(run.Fakes.Messages.Texts("error"),
        QStringList({"Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"}));
    EXPECT_TRUE(run.Window->isVisible());
    EXPECT_FALSE(QFile::exists(run.State.IEC_Client_File));

    // Fill the rows through their editors, then OK validates and saves.
    run.Find<QTabWidget>("PC_Access")->setCurrentIndex(0);
    for (int row = 1; row <= 3; ++row) {
        TAccess_Run::Type_Cell(da, Var_Col::IPAddress, row, "127.0.0.10");
        TAccess_Run::Type_Cell(da, Var_Col::Port, row, "102");
        TAccess_Run::Type_Cell(da, Var_Col::Position, row, QString::number(row * 10));
        TAccess_Run::Type_Cell(da, Var_Col::MoltFact, row, row == 1 ? "0,5" : "None");
    }
    TAccess_Run::Type_Cell(da, Var_Col::StartByte, 2, "0");
    TAccess_Run::Type_Cell(da, Var_Col::NumByte, 2, "20");
    run.Fakes.Messages.Shown.clear();
    run.Click("Btn_OK");
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty()) << run.Fakes.Messages.Texts("error").join('\n').toStdString();
    EXPECT_FALSE(run.Window->isVisible());
    EXPECT_EQ(run.Window->result(), QDialog::Accepted);

    const QString file = QString::fromUtf8(Read_Test_File(run.State.IEC_Client_File));
    EXPECT_EQ(file.count("<DA_Item "), 3);
    EXPECT_TRUE(file.contains(R"(bType="VisString255" fc="DC" Reference="IED1LD0/LPHD1.PhyNam.vendor" StartByte="0" NumByte="20")"))
        << file.toStdString();
    EXPECT_TRUE(file.contains(R"(MoltFact="0,5")"));
    EXPECT_TRUE(file.contains(R"(<DataSet_DA_Item bType="Timestamp" Reference="IED1LD0/MMXU1.TotW.t" Position="17" StartBit="" Convertion="ItoF/FtoI")"))
        << file.toStdString();

    // The next opening reads it back, locks included.
    run.Open();
    EXPECT_EQ(Column(run.Window->Access.ACG_DA, Var_Col::Position), QStringList({"10", "20", "30"}));
    EXPECT_FALSE(TAccess_Run::Editable(da, Var_Col::NumByte, 3));
    EXPECT_TRUE(TAccess_Run::Editable(da, Var_Col::NumByte, 2));
    EXPECT_EQ(run.Window->Access.List_DataSet[0]->List_DAs[1]->Position, "17");
}

TEST(AccessMapping, ColumnEditors)
{
    TAccess_Run run;
    run.Open();
    run.Import_Fixture();
    run.Add(Leaf_Q);
    TGrid_View* da = run.Grid("ACG_DA");
    const TGrid& vars = run.Window->Access.ACG_DA;

    for (int col : {Var_Col::N, Var_Col::bType, Var_Col::fc, Var_Col::Reference, Var_Col::StartByte, Var_Col::NumByte,
             Var_Col::OnChange, Var_Col::OnCMD, Var_Col::OnTimer})
        EXPECT_FALSE(TAccess_Run::Editable(da, col, 1)) << col;
    for (int col : {Var_Col::Index, Var_Col::IPAddress, Var_Col::Port, Var_Col::Time, Var_Col::Position, Var_Col::MoltFact,
             Var_Col::Mnemonic})
        EXPECT_TRUE(TAccess_Run::Editable(da, col, 1)) << col;

    // Check boxes hold "Y" and "N".
    TAccess_Run::Click_Cell(da, Var_Col::OnTimer, 1);
    QTest::keyClick(da, Qt::Key_Space);
    EXPECT_EQ(vars.Cell(Var_Col::OnTimer, 1), "Y");
    EXPECT_EQ(da->model()->index(0, Var_Col::OnTimer).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QTest::keyClick(da, Qt::Key_Space);
    EXPECT_EQ(vars.Cell(Var_Col::OnTimer, 1), "N");

    // Drop-downs offer their fixed choices.
    EXPECT_EQ(TAccess_Run::Choose(da, Var_Col::StartBit, 1, "7"), QStringList({"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(TAccess_Run::Choose(da, Var_Col::ReadWrite, 1, "Write"), QStringList({"Read", "Write"}));
    EXPECT_EQ(TAccess_Run::Choose(da, Var_Col::Convertion, 1, "None"), QStringList({"None", "ItoF/FtoI"}));
    EXPECT_EQ(vars.Cell(Var_Col::StartBit, 1), "7");
    EXPECT_EQ(vars.Cell(Var_Col::ReadWrite, 1), "Write");
    EXPECT_EQ(vars.Cell(Var_Col::Convertion, 1), "None");

    run.Add(Data_Set_1);
    TGrid_View* dsView = run.Grid("ACG_DataSet");
    for (int col : {DS_Col::Reference, DS_Col::GooseName, DS_Col::EnGoose})
        EXPECT_FALSE(TAccess_Run::Editable(dsView, col, 1)) << col;
    for (int col : {DS_Col::Index, DS_Col::IPAddress, DS_Col::Port, DS_Col::Time, DS_Col::Mnemonic})
        EXPECT_TRUE(TAccess_Run::Editable(dsView, col, 1)) << col;
    TAccess_Run::Click_Cell(dsView, DS_Col::EnGoose, 1);
    QTest::keyClick(dsView, Qt::Key_Space);
    EXPECT_EQ(run.Window->Access.ACG_DataSet.Cell(DS_Col::EnGoose, 1), "N");

    TGrid_View* members = run.Grid("ACG_DS_Vars");
    for (int col : {Member_Col::bType, Member_Col::Reference})
        EXPECT_FALSE(TAccess_Run::Editable(members, col, 1)) << col;
    EXPECT_EQ(TAccess_Run::Choose(members, Member_Col::StartBit, 1, "2"), QStringList({"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(run.Window->Access.List_DataSet[0]->List_DAs[0]->bitAddress, "2");
}

TEST(AccessMapping, ValidationMessagesComeFromTheCurrentTexts)
{
    TAccess_Run run;
    run.Texts.Set(1256, QStringLiteral("!! Position zwischen 0 und "));
    run.Open();
    run.Import_Fixture();
    run.Add(Leaf_Q);
    auto& vars = run.Window->Access.ACG_DA;
    vars.Set_Cell(Var_Col::IPAddress, 1, "10.0.0.1");
    vars.Set_Cell(Var_Col::Port, 1, "102");
    run.Click("Btn_OK");
    EXPECT_EQ(run.Fakes.Messages.Texts("error"), QStringList({"Error row 1!! Position zwischen 0 und 1399"}));
    EXPECT_TRUE(run.Window->isVisible());
}

TEST(AccessMapping, CancelDiscardsAndShowingResets)
{
    TAccess_Run run;
    run.Open();
    run.Import_Fixture();
    run.Add(Leaf_Q);
    TAccess_Run::Click_Cell(run.Grid("ACG_DA"), Var_Col::Port, 1);
    run.Click("Btn_Cancel");
    EXPECT_FALSE(run.Window->isVisible());
    EXPECT_EQ(run.Window->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(run.State.IEC_Client_File));

    run.Open();
    EXPECT_TRUE(run.Window->Access.ACG_DA.Is_Empty());
    EXPECT_TRUE(run.Window->Access.List_IEC_Dev.empty());
    EXPECT_EQ(run.Window->Selected_IEC_DA, nullptr);
    EXPECT_EQ(run.Window->DataSet_Row_Select, 0);
    EXPECT_EQ(run.Find<QTabWidget>("PC_Access")->currentIndex(), 0);
    run.Click("Btn_AddVar");
    EXPECT_TRUE(run.Window->Access.ACG_DA.Is_Empty());
}

TEST(AccessMapping, RemovingADataSetNeverLetsMemberEditsReachAnotherEntry)
{
    TAccess_Run run;
    run.Open();
    run.Import_Fixture();
    run.Add(Data_Set_1);
    run.Click("Btn_AddVar");
    TGrid_View* dsView = run.Grid("ACG_DataSet");
    TGrid_View* members = run.Grid("ACG_DS_Vars");
    ASSERT_EQ(run.Window->Access.List_DataSet.size(), 2u);

    // Keyboard moves in the data set grid show that row's members, edits go to that row.
    TAccess_Run::Click_Cell(dsView, DS_Col::Mnemonic, 1);
    QTest::keyClick(dsView, Qt::Key_Down);
    TAccess_Run::Type_Cell(members, Member_Col::Position, 1, "5");
    EXPECT_EQ(run.Window->Access.List_DataSet[1]->List_DAs[0]->Position, "5");
    EXPECT_EQ(run.Window->Access.List_DataSet[0]->List_DAs[0]->Position, "");

    // Remove row 1: the members grid goes blank; typing there stores nothing anywhere.
    TAccess_Run::Click_Cell(dsView, DS_Col::Mnemonic, 1);
    run.Click("Btn_RemoveVar");
    ASSERT_EQ(run.Window->Access.List_DataSet.size(), 1u);
    EXPECT_EQ(run.Window->Access.ACG_DataSet.Row_Count(), 2);
    EXPECT_EQ(run.Window->Access.ACG_DS_Vars.Cell(Member_Col::Reference, 1), "");
    TAccess_Run::Type_Cell(members, Member_Col::Position, 1, "99");
    EXPECT_EQ(run.Window->Access.List_DataSet[0]->List_DAs[0]->Position, "5");

    TAccess_Run::Click_Cell(dsView, DS_Col::Mnemonic, 1);
    EXPECT_EQ(run.Window->Access.ACG_DS_Vars.Cell(Member_Col::Position, 1), "5");
}

TEST(AccessMapping, EnterJumpsOncePerEditAndAClickElsewhereDoesNotJump)
{
    TAccess_Run run;
    run.Open();
    run.Import_Fixture();
    run.Add(Leaf_Q);
    run.Click("Btn_AddVar");
    TGrid_View* da = run.Grid("ACG_DA");
    run.State.Enable_Jump_Field_Tables = true;

    // Enter ending an edit in the last column moves once: to column 1 of the next row.
    TAccess_Run::Type_Cell(da, Var_Col::Mnemonic, 1, "x");
    EXPECT_EQ(run.Window->Access.ACG_DA.Cell(Var_Col::Mnemonic, 1), "x");
    EXPECT_EQ(std::pair(da->Col(), da->Row()), std::pair(int(Var_Col::Index), 2));

    // Clicking a cell of another row while editing keeps the value and stays on the clicked cell.
    TAccess_Run::Start_Edit(da, Var_Col::IPAddress, 1);
    auto* editor = TAccess_Run::Open_Editor<QLineEdit>(da);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "10.0.0.1");
    TAccess_Run::Click_Cell(da, Var_Col::Port, 2);
    QApplication::processEvents();
    EXPECT_EQ(run.Window->Access.ACG_DA.Cell(Var_Col::IPAddress, 1), "10.0.0.1");
    EXPECT_EQ(std::pair(da->Col(), da->Row()), std::pair(int(Var_Col::Port), 2));

    // Enter on a cell not being edited moves too, and from the last cell back to row 1.
    da->Set_Current(Var_Col::Mnemonic, 2);
    QTest::keyClick(da, Qt::Key_Return);
    EXPECT_EQ(std::pair(da->Col(), da->Row()), std::pair(int(Var_Col::Index), 1));
}
