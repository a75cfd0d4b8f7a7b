#include "access/gui/AccessDialog.h"
#include "base/TextNumbers.h"
#include "access/core/AccessFile.h"
#include "access/core/AccessOperations.h"
#include "access/core/AccessValidation.h"
#include "access/core/Catalog.h"
#include "base/Conversions.h"
#include "base/Constants.h"
#include "base/Memory.h"
#include "configuration/core/ConfigurationPaths.h"
#include "scl/gui/DeviceBrowser.h"
#include "access/gui/AccessEditTools.h"
#include "scl/gui/DeviceTree.h"
#include "access/gui/GridView.h"
#include "scl/gui/IedPickerDialog.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

namespace {

// Start Byte and Num Byte came after the other columns, hence numbers of their own.
int variableColumnText(int firstText, int startByteText, int column)
{
    static_assert(VariableColumn::NumByte == VariableColumn::StartByte + 1);
    if (column == VariableColumn::StartByte || column == VariableColumn::NumByte)
        return startByteText + column - VariableColumn::StartByte;
    return firstText + (column < VariableColumn::StartByte ? column : column - 2);
}

} // namespace

AccessDialog::AccessDialog(AppContext& appContext, QWidget* parent)
    : QDialog(parent)
    , context(appContext)
{
    setObjectName(QStringLiteral("TFIEC_61850_Access"));
    setUp();
}

AccessDialog::~AccessDialog()
{
    // The tree's nodes point into the devices and the grid views into the grids: let them go
    // first, while the access list still exists.
    deviceTree->clear();
    delete variableGrid;
    delete dataSetGrid;
    delete memberGrid;
}

void AccessDialog::setUp()
{
    buildLayout();
    setColumnEditors();
    softwareCodeLabel->setText(SoftwareCode);
    retranslate();
}

void AccessDialog::buildLayout()
{
    auto* top = new QVBoxLayout(this);
    softwareCodeLabel = makeSoftwareCodeLabel(this);
    softwareDescriptionLabel = withObjectName(new QLabel(this), "L_SW_Desc");
    top->addWidget(softwareCodeLabel);
    top->addWidget(softwareDescriptionLabel);
    readOnlyNotice = makeReadOnlyNotice(this);
    top->addWidget(readOnlyNotice);
    QWidget* const left = makeDevicePanel();
    QTabWidget* const pages = makePages();
    auto* splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(pages);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 900});
    top->addWidget(splitter, 1);
    top->addLayout(makeButtonRow());
    resize(1200, 720);
    connectWidgets();
}

QPushButton* AccessDialog::makeButton(const char* name)
{
    auto* b = withObjectName(new QPushButton(this), name);
    // Enter belongs to the grids, never to a default button.
    b->setAutoDefault(false);
    return b;
}

QWidget* AccessDialog::makeDevicePanel()
{
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    addDeviceButton = makeButton("Btn_Add_IEC_Device");
    deviceList = withObjectName(new QListWidget(left), "LB_IEC_Devices");
    removeDeviceButton = makeButton("Btn_Remove_IEC_Device");
    deviceBrowser = new DeviceBrowser(left);
    deviceTree = deviceBrowser->tree();
    deviceList->setMaximumHeight(120);
    leftLayout->addWidget(addDeviceButton);
    leftLayout->addWidget(deviceList);
    leftLayout->addWidget(removeDeviceButton);
    leftLayout->addWidget(deviceBrowser, 1);
    return left;
}

QTabWidget* AccessDialog::makePages()
{
    tabs = withObjectName(new QTabWidget(this), "PC_Access");
    variablesPage = withObjectName(new QWidget(tabs), "TS_Variables");
    dataSetsPage = withObjectName(new QWidget(tabs), "TS_DataSet");
    variableGrid = withObjectName(new GridView(access.variableGrid, context.state, variablesPage), "ACG_DA");
    dataSetGrid = withObjectName(new GridView(access.dataSetGrid, context.state, dataSetsPage), "ACG_DataSet");
    memberGrid = withObjectName(new GridView(access.memberGrid, context.state, dataSetsPage), "ACG_DS_Vars");
    auto* varLayout = new QVBoxLayout(variablesPage);
    varLayout->addWidget(variableGrid);
    auto* dsLayout = new QVBoxLayout(dataSetsPage);
    dsLayout->addWidget(dataSetGrid, 1);
    dsLayout->addWidget(memberGrid, 1);
    tabs->addTab(variablesPage, QString());
    tabs->addTab(dataSetsPage, QString());
    return tabs;
}

QHBoxLayout* AccessDialog::makeButtonRow()
{
    auto* bottom = new QHBoxLayout;
    okButton = makeButton("Btn_OK");
    cancelButton = makeButton("Btn_Cancel");
    addVariableButton = makeButton("Btn_AddVar");
    removeVariableButton = makeButton("Btn_RemoveVar");
    moveUpButton = makeButton("Btn_MoveUp");
    moveDownButton = makeButton("Btn_MoveDown");
    moveUpButton->hide();
    moveDownButton->hide();
    for (QPushButton* b : {addVariableButton, removeVariableButton, moveUpButton, moveDownButton})
        bottom->addWidget(b);
    editTools = new AccessEditTools(access, context, {variableGrid, dataSetGrid, memberGrid}, tabs, bottom, this);
    connect(editTools, &AccessEditTools::rowsChanged, this, [this] {
        variableGrid->reload();
        // The members grid is blank now and shows members again when a data set row is chosen.
        dataSetGrid->gridModel()->refresh();
        memberGrid->gridModel()->refresh();
        selectedDataSetRow = 0;
    });
    bottom->addStretch(1);
    bottom->addWidget(okButton);
    bottom->addWidget(cancelButton);
    return bottom;
}

void AccessDialog::connectWidgets()
{
    connect(okButton, &QPushButton::clicked, this, &AccessDialog::onOkClicked);
    connect(addVariableButton, &QPushButton::clicked, this, &AccessDialog::onAddVariableClicked);
    connect(removeVariableButton, &QPushButton::clicked, this, &AccessDialog::onRemoveVariableClicked);
    // Keyboard moves show the members too, so that the members grid always belongs to the
    // current data set row and member edits reach the entry that is shown.
    connect(dataSetGrid, &QAbstractItemView::clicked, this, &AccessDialog::showMembers);
    connect(dataSetGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &AccessDialog::showMembers);
    connect(memberGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, &AccessDialog::onMemberSelected);
    connect(memberGrid->gridModel(), &QAbstractItemModel::dataChanged, this, &AccessDialog::onMemberEdited);
    // An address cell left with blanks is shown, saved and built without them.
    const std::pair<GridView*, int> addressColumns[]
        = {{variableGrid, VariableColumn::IpAddress}, {dataSetGrid, DataSetColumn::IpAddress}};
    for (const auto& [view, addressColumn] : addressColumns)
        connect(view->gridModel(), &QAbstractItemModel::dataChanged, this,
            [grid = view, column = addressColumn](const QModelIndex& index) {
                const QString text = index.data(Qt::EditRole).toString(), trimmed = normalizedIpAddress(text);
                if (index.column() == column && trimmed != text)
                    grid->gridModel()->setData(index, trimmed, Qt::EditRole);
            });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(addDeviceButton, &QPushButton::clicked, this, &AccessDialog::onAddDeviceClicked);
    connect(removeDeviceButton, &QPushButton::clicked, this, &AccessDialog::onRemoveDeviceClicked);
    connect(deviceList, &QListWidget::currentRowChanged, this, &AccessDialog::onDeviceListClicked);
    connect(deviceTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) { onTreeNodeClicked(node); });
    // A double click adds what a click selects, as Add Var does.
    connect(deviceTree, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (selectedAttribute || selectedDataSet)
            onAddVariableClicked();
    });
}

void AccessDialog::retranslate()
{
    const TextTable& t = context.texts;
    setWindowTitle(t[Text::AccessWindow]);
    softwareDescriptionLabel->setText(t[Text::AccessDescription]);
    QPushButton* const buttons[] = {okButton, cancelButton, addVariableButton, removeVariableButton, moveUpButton, moveDownButton,
        addDeviceButton, removeDeviceButton};
    for (int i = 0; i < 8; ++i) {
        buttons[i]->setText(t[Text::AccessButtonCaptions + i]);
        buttons[i]->setToolTip(t[Text::AccessButtonHints + i]);
    }

    hint.clear();
    for (int col = 0; col < VariableColumn::Count; ++col) {
        access.variableGrid.setHeading(col, t[variableColumnText(Text::VariableHeadings, Text::StartByteHeading, col)]);
        hint << t[variableColumnText(Text::VariableHints, Text::StartByteHint, col)];
    }
    variableGrid->gridModel()->setHints(hint);
    deviceBrowser->retranslate(t);
    variableGrid->gridModel()->headerDataChanged(Qt::Horizontal, 0, VariableColumn::Count - 1);

    tabs->setTabText(tabs->indexOf(variablesPage), t[Text::VariablesPage]);
    tabs->setTabText(tabs->indexOf(dataSetsPage), t[Text::DataSetsPage]);
    const auto setHeadings = [&](StringGrid& grid, GridView* view, int firstText) {
        for (int col = 0; col < grid.colCount(); ++col)
            grid.setHeading(col, t[firstText + col]);
        view->gridModel()->headerDataChanged(Qt::Horizontal, 0, grid.colCount() - 1);
    };
    setHeadings(access.dataSetGrid, dataSetGrid, Text::DataSetHeadings);
    setHeadings(access.memberGrid, memberGrid, Text::MemberHeadings);
    editTools->retranslate();
    showReadOnlyNotice(readOnlyNotice, context, readOnlyReason);
}

void AccessDialog::setReadOnly(const Result& reason)
{
    readOnlyReason = reason;
    okButton->setEnabled(reason.ok);
    addDeviceButton->setEnabled(reason.ok);
    showReadOnlyNotice(readOnlyNotice, context, reason);
}

void AccessDialog::reject()
{
    if (editTools->mayDiscard())
        QDialog::reject();
}

void AccessDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        loadOnShow();
    QDialog::showEvent(event);
}

void AccessDialog::done(int result)
{
    QDialog::done(result);
    // A station file's model is large; the cache keeps what the next showing needs.
    clearTree();
    shownDevice = -1;
    selectedAttribute = nullptr;
    selectedDataSet = nullptr;
    clearAccessList(access);
    refreshGrids();
    returnFreedMemory();
}

void AccessDialog::loadOnShow()
{
    selectedDataSetRow = 0;
    selectedAttribute = nullptr;
    selectedDataSet = nullptr;
    tabs->setCurrentWidget(variablesPage);
    clearTree();
    shownDevice = -1;

    // Taken first: a change between the stamp and the loading is one more reason to ask on OK.
    const ConfigurationPaths configuration = configurationPaths(context.state);
    loadedStamp = fileStamp(configuration.accessFile());
    AccessFileReport report;
    const Result loaded = loadAccessFile(configuration.accessFile(), configuration.catalogFolder(), access, report);
    accessFileUnread = !loaded.ok;
    showReadDefaults(access);
    showDeviceList();
    refreshGrids();
    fitReferenceColumns();
    editTools->loaded();
    for (const QString& warning : {report.missingFilesWarning(context.texts), report.unreadableFilesWarning(context.texts),
             report.unmatchedMembersWarning(context.texts)})
        if (!warning.isEmpty())
            context.platform.messages->warning(warning);
    context.report(loaded);
}

void AccessDialog::refreshGrids()
{
    for (GridView* grid : {variableGrid, dataSetGrid, memberGrid})
        grid->gridModel()->refresh();
}

void AccessDialog::fitReferenceColumns()
{
    variableGrid->fitColumn(VariableColumn::Reference);
    dataSetGrid->fitColumn(DataSetColumn::Reference);
    memberGrid->fitColumn(MemberColumn::Reference);
}

const Ied* AccessDialog::shownIed() const
{
    return shownDevice >= 0 && shownDevice < static_cast<int>(access.devices.size())
        ? access.devices[static_cast<size_t>(shownDevice)].get()
        : nullptr;
}

void AccessDialog::setColumnEditors()
{
    const QStringList bits = {"0", "1", "2", "3", "4", "5", "6", "7"};
    const QStringList conversions = {"None", "ItoF/FtoI"};

    GridModel* vars = variableGrid->gridModel();
    for (int col : {VariableColumn::BType, VariableColumn::Fc, VariableColumn::Reference})
        vars->setColumnEditor(col, ColumnEditor::ReadOnly);
    for (int col : {VariableColumn::OnChange, VariableColumn::OnCommand, VariableColumn::OnTimer})
        vars->setColumnEditor(col, ColumnEditor::Check);
    vars->setColumnEditor(VariableColumn::StartBit, ColumnEditor::Choice, bits);
    vars->setColumnEditor(VariableColumn::ReadWrite, ColumnEditor::Choice, {"Read", "Write"});
    vars->setColumnEditor(VariableColumn::Conversion, ColumnEditor::Choice, conversions);

    GridModel* sets = dataSetGrid->gridModel();
    sets->setColumnEditor(DataSetColumn::Reference, ColumnEditor::ReadOnly);
    sets->setColumnEditor(DataSetColumn::GooseName, ColumnEditor::ReadOnly);
    sets->setColumnEditor(DataSetColumn::EnGoose, ColumnEditor::Check);

    GridModel* members = memberGrid->gridModel();
    members->setColumnEditor(MemberColumn::BType, ColumnEditor::ReadOnly);
    members->setColumnEditor(MemberColumn::Reference, ColumnEditor::ReadOnly);
    members->setColumnEditor(MemberColumn::StartBit, ColumnEditor::Choice, bits);
    members->setColumnEditor(MemberColumn::Conversion, ColumnEditor::Choice, conversions);
}

void AccessDialog::onOkClicked()
{
    if (!readOnlyReason.ok)
        return;
    const QChar separator = decimalSeparatorOf(context.platform.locale->decimalSeparator());
    if (trimIpAddresses(access))
        refreshGrids();
    if (const Result valid = validateAccessList(access, separator, context.texts); !context.report(valid)) {
        editTools->showErrorCell(valid);
        return;
    }
    if (!editTools->maySaveOverlaps())
        return;
    const QString file = configurationPaths(context.state).accessFile();
    // Another program (a second instance, import-csv) changed the file since it was loaded.
    if (fileStamp(file) != loadedStamp
        && !context.platform.messages->askYesNoDefaultNo(
            fillPlaceholders(context.texts[Text::QuestionFileChangedOnDisk], {QDir::toNativeSeparators(file)})))
        return;
    if (accessFileUnread) {
        // What is shown is not what the file holds: replacing it is the engineer's choice, and
        // the old file stays beside it.
        if (!context.platform.messages->askYesNo(context.texts[Text::QuestionSaveOverUnreadAccessFile]))
            return;
        const QString backup = file + QStringLiteral(".bak");
        QFile::remove(backup);
        if (QFile::exists(file) && !QFile::copy(file, backup)) {
            context.report(Result::failed(Text::ErrorBackupNotWritten, {QDir::toNativeSeparators(backup)}));
            return;
        }
    }
    if (!context.report(saveAccessFile(access, file)))
        return;
    accept();
}

void AccessDialog::onAddVariableClicked()
{
    const QString address = shownIed() ? shownIed()->serverAddress() : QString();
    if (selectedAttribute) {
        tabs->setCurrentWidget(variablesPage);
        const int row = addVariable(access.variableGrid, *selectedAttribute, currentDevice(), address);
        variableGrid->reload();
        variableGrid->setCurrent(VariableColumn::Index, row);
        variableGrid->fitColumn(VariableColumn::Reference);
    } else if (selectedDataSet) {
        tabs->setCurrentWidget(dataSetsPage);
        addDataSet(access, *selectedDataSet, currentDevice(), address);
        dataSetGrid->reload();
        dataSetGrid->fitColumn(DataSetColumn::Reference);
    } else if (const auto* node = dynamic_cast<const DeviceTreeItem*>(deviceTree->currentItem())) {
        // Say what can be added instead of doing nothing.
        if (node->kind() == NodeKind::DO)
            context.platform.messages->Information(context.texts[Text::AddVarDataObject]);
        else if (node->kind() == NodeKind::DA)
            context.platform.messages->Information(context.texts[Text::AddVarStructured]);
    }
}

void AccessDialog::onRemoveVariableClicked() { editTools->removeSelectedRows(); }

void AccessDialog::showMembers()
{
    ::showMembers(access, dataSetGrid->currentRow());
    memberGrid->gridModel()->refresh();
    memberGrid->fitColumn(MemberColumn::Reference);
}

void AccessDialog::onMemberSelected() { selectedDataSetRow = dataSetGrid->currentRow(); }

void AccessDialog::onMemberEdited(const QModelIndex& index)
{
    if (selectedDataSetRow >= 1)
        storeMemberEdit(access, selectedDataSetRow, GridModel::gridRow(index.row()), index.column(),
            access.memberGrid.cell(index.column(), GridModel::gridRow(index.row())));
}

void AccessDialog::showDeviceList()
{
    const QSignalBlocker block(deviceList);
    deviceList->clear();
    for (const auto& device : access.devices) {
        auto* item = new QListWidgetItem(deviceListText(*device, context.texts), deviceList);
        if (device->fileMissing)
            item->setForeground(QColor(160, 0, 0));
    }
    deviceList->setCurrentRow(shownDevice);
}

void AccessDialog::onAddDeviceClicked()
{
    if (!readOnlyReason.ok)
        return;
    const QString chosen
        = context.platform.fileDialog->openFile(context.texts[Text::AddDeviceCaption], QString(), sclFileFilter());
    if (chosen.isEmpty())
        return;
    const Result imported = importSclFile(
        access, context.state.configurationFolder, chosen,
        [this] {
            switch (context.platform.messages->askYesNoCancel(context.texts[Text::QuestionOverwriteCatalogFile])) {
            case MessageService::Answer::Yes:
                return OverwriteAnswer::Yes;
            case MessageService::Answer::No:
                return OverwriteAnswer::No;
            default:
                return OverwriteAnswer::Cancel;
            }
        },
        [this, &chosen](const std::vector<IedSummary>& ieds) {
            return IedPickerDialog::choose(context.texts, QFileInfo(chosen).fileName(), ieds, this);
        });
    // The list refills with the shown device still selected, so that the tree, the list's
    // selection and the index given to new entries keep agreeing.
    showDeviceList();
    context.report(imported);
}

void AccessDialog::onRemoveDeviceClicked()
{
    const int index = deviceList->currentRow();
    if (index < 0)
        return;
    if (deviceInUse(access, index)) {
        context.platform.messages->warning(context.texts[Text::ErrorDeviceInUse] + deviceUseText(deviceUse(access, index)));
        return;
    }
    // The removed device is the shown one: its tree goes with it.
    clearTree();
    removeDevice(access, index);
    editTools->devicesChanged();
    shownDevice = -1;
    selectedAttribute = nullptr;
    selectedDataSet = nullptr;
    showDeviceList();
    refreshGrids();
}

void AccessDialog::clearTree() { deviceBrowser->clear(); }

void AccessDialog::onDeviceListClicked()
{
    const int index = deviceList->currentRow();
    selectedAttribute = nullptr;
    selectedDataSet = nullptr;
    if (index < 0 || index >= static_cast<int>(access.devices.size()))
        return;
    shownDevice = index;
    deviceBrowser->showDevice(*access.devices[static_cast<size_t>(index)]);
}

void AccessDialog::onTreeNodeClicked(QTreeWidgetItem* node)
{
    selectedAttribute = nullptr;
    selectedDataSet = nullptr;
    auto* shown = dynamic_cast<DeviceTreeItem*>(node);
    if (!shown)
        return;
    if (shown->kind() == NodeKind::DA) {
        auto* da = static_cast<DataAttribute*>(shown->object());
        if (da->isLeaf())
            selectedAttribute = da;
    } else if (shown->kind() == NodeKind::DataSet)
        selectedDataSet = static_cast<DataSet*>(shown->object());
}
