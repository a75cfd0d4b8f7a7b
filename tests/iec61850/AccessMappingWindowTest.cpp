#include "iec61850/core/AccessFile.h"
#include "fakes/FakePlatform.h"
#include "iec61850/gui/GridView.h"
#include "iec61850/gui/AccessDialog.h"
#include "support/WindowTestSupport.h"
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
struct AccessRun {
    QTemporaryDir Dir;
    FakePlatform Fakes;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, Fakes.services()};
    std::unique_ptr<AccessDialog> window;

    AccessRun()
    {
        state.setProgramFolder(Dir.path());
        state.activateConfiguration(QStringLiteral("Plant"));
        QDir().mkpath(state.projectFolder);
        window = std::make_unique<AccessDialog>(context);
    }

    // Shows the window as the main window's step does (each showing loads the access file).
    // Events go straight to the controls, so nothing here needs the window to be active:
    // window tests of other programs may share the display and take the activation.
    void Open()
    {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename W>
    W* find(const char* name) const
    {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    GridView* grid(const char* name) const { return find<GridView>(name); }
    void Click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }

    void importFixture()
    {
        Fakes.fileDialog.nextFiles.push_back(Fixture(QStringLiteral("iec61850/Access_Window.icd")));
        Click("Btn_Add_IEC_Device");
        auto* list = find<QListWidget>("LB_IEC_Devices");
        ASSERT_GT(list->count(), 0);
        QListWidgetItem* item = list->item(list->count() - 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }

    // Clicks the tree node reached by following `path` from the device's root node.
    void clickNode(const QStringList& path)
    {
        auto* tree = find<QTreeWidget>("TV_IEC_Device");
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
    void add(const QStringList& path)
    {
        clickNode(path);
        Click("Btn_AddVar");
    }

    static QModelIndex indexOf(GridView* view, int col, int row)
    {
        return view->model()->index(GridModel::viewRow(row), col);
    }
    static void clickCell(GridView* view, int col, int row)
    {
        const QModelIndex index = indexOf(view, col, row);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    // The open editor of a view, found among the view's children rather than through the focus.
    template <typename E>
    static E* openEditor(GridView* view)
    {
        for (E* editor : view->viewport()->findChildren<E*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    static void startEdit(GridView* view, int col, int row)
    {
        clickCell(view, col, row);
        QTest::keyClick(view, Qt::Key_F2);
    }
    // Types into a cell as the engineer does: click, F2, the text, Enter.
    static void typeCell(GridView* view, int col, int row, const QString& text)
    {
        startEdit(view, col, row);
        auto* editor = openEditor<QLineEdit>(view);
        ASSERT_TRUE(editor) << "no text editor at " << col << "," << row;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    // Picks a drop-down entry of a cell; returns the entries offered.
    static QStringList Choose(GridView* view, int col, int row, const QString& choice)
    {
        startEdit(view, col, row);
        auto* combo = openEditor<QComboBox>(view);
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
    static bool Editable(GridView* view, int col, int row)
    {
        return view->model()->flags(indexOf(view, col, row)) & Qt::ItemIsEditable;
    }
};

QStringList Column(const StringGrid& grid, int col)
{
    QStringList cells;
    for (int row = 1; row < grid.rowCount(); ++row)
        cells << grid.cell(col, row);
    return cells;
}

const QStringList leafF = {"LD0", "MMXU1", "TotW", "mag", "f"};
const QStringList leafQ = {"LD0", "MMXU1", "TotW", "q"};
const QStringList leafT = {"LD0", "MMXU1", "TotW", "t"};
const QStringList leafVendor = {"LD0", "LPHD1", "PhyNam", "vendor"};
const QStringList dataSet1 = {"LD0", "LLN0", "DS1"};

} // namespace

TEST(AccessMapping, AddEditRemoveValidateAndSave)
{
    AccessRun run;
    run.Open();
    run.importFixture();
    StringGrid& vars = run.window->access.variableGrid;
    GridView* da = run.grid("ACG_DA");

    // The same leaf twice: rows 1 and 2, the selection stays.
    run.add(leafF);
    run.Click("Btn_AddVar");
    ASSERT_EQ(vars.rowCount(), 3);
    EXPECT_EQ(Column(vars, VariableColumn::Number), QStringList({"1", "2"}));
    EXPECT_EQ(Column(vars, VariableColumn::Reference), QStringList({"IED1LD0/MMXU1.TotW.mag.f", "IED1LD0/MMXU1.TotW.mag.f"}));
    EXPECT_EQ(Column(vars, VariableColumn::Index), QStringList({"0", "0"}));
    EXPECT_EQ(Column(vars, VariableColumn::Fc), QStringList({"MX", "MX"}));
    EXPECT_EQ(Column(vars, VariableColumn::OnTimer), QStringList({"N", "N"}));
    run.add(leafVendor);
    run.add(leafT);
    EXPECT_EQ(Column(vars, VariableColumn::BType), QStringList({"FLOAT32", "FLOAT32", "VisString255", "Timestamp"}));
    EXPECT_EQ(Column(vars, VariableColumn::NumByte), QStringList({"4", "4", "", "1"}));
    EXPECT_EQ(da->model()->rowCount(), 4);

    // A structured attribute and a logical node select nothing: Add Var adds nothing.
    run.clickNode({"LD0", "MMXU1", "TotW", "mag"});
    run.Click("Btn_AddVar");
    run.clickNode({"LD0", "MMXU1"});
    run.Click("Btn_AddVar");
    EXPECT_EQ(vars.rowCount(), 5);

    // Remove row 2 of 4: rows 3 and 4 move up and lock by their own type.
    AccessRun::clickCell(da, VariableColumn::Mnemonic, 2);
    run.Click("Btn_RemoveVar");
    EXPECT_EQ(Column(vars, VariableColumn::Number), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(vars, VariableColumn::BType), QStringList({"FLOAT32", "VisString255", "Timestamp"}));
    EXPECT_EQ(Column(vars, VariableColumn::StartByte), QStringList({"0", "", "0"}));
    EXPECT_EQ(Column(vars, VariableColumn::NumByte), QStringList({"4", "", "1"}));
    EXPECT_EQ(da->model()->rowCount(), 3);
    for (int col : {VariableColumn::StartByte, VariableColumn::NumByte}) {
        EXPECT_FALSE(AccessRun::Editable(da, col, 1)) << col;
        EXPECT_TRUE(AccessRun::Editable(da, col, 2)) << col;
        EXPECT_FALSE(AccessRun::Editable(da, col, 3)) << col;
    }

    // A data set: its page, its row, one member entry per member; a member's Position edited.
    run.add(dataSet1);
    EXPECT_EQ(run.find<QTabWidget>("PC_Access")->currentWidget()->objectName(), "TS_DataSet");
    const StringGrid& sets = run.window->access.dataSetGrid;
    EXPECT_EQ(sets.cell(DataSetColumn::Reference, 1), "IED1LD0/LLN0.DS1");
    EXPECT_EQ(sets.cell(DataSetColumn::GooseName, 1), "GCB1");
    EXPECT_EQ(sets.cell(DataSetColumn::EnGoose, 1), "Y");
    GridView* dsView = run.grid("ACG_DataSet");
    GridView* members = run.grid("ACG_DS_Vars");
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    EXPECT_EQ(Column(run.window->access.memberGrid, MemberColumn::Reference),
        QStringList({"IED1LD0/MMXU1.TotW.q", "IED1LD0/MMXU1.TotW.t", "IED1LD0/LPHD1.PhyNam.vendor"}));
    AccessRun::typeCell(members, MemberColumn::Position, 2, "17");
    EXPECT_EQ(AccessRun::Choose(members, MemberColumn::Conversion, 2, "ItoF/FtoI"), QStringList({"None", "ItoF/FtoI"}));
    EXPECT_EQ(run.window->selectedDataSetRow, 1);
    EXPECT_EQ(run.window->access.dataSets[0]->members[1]->position, "17");
    EXPECT_EQ(run.window->access.dataSets[0]->members[1]->conversion, "ItoF/FtoI");

    // OK with rows left as added: the first row's first failing check, the window stays open.
    run.Click("Btn_OK");
    EXPECT_EQ(run.Fakes.messages.texts("error"),
        QStringList({"Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"}));
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_FALSE(QFile::exists(run.state.accessFile));

    // Fill the rows through their editors, then OK validates and saves.
    run.find<QTabWidget>("PC_Access")->setCurrentIndex(0);
    for (int row = 1; row <= 3; ++row) {
        AccessRun::typeCell(da, VariableColumn::IpAddress, row, "127.0.0.10");
        AccessRun::typeCell(da, VariableColumn::Port, row, "102");
        AccessRun::typeCell(da, VariableColumn::Position, row, QString::number(row * 10));
        AccessRun::typeCell(da, VariableColumn::MultFactor, row, row == 1 ? "0,5" : "None");
    }
    AccessRun::typeCell(da, VariableColumn::StartByte, 2, "0");
    AccessRun::typeCell(da, VariableColumn::NumByte, 2, "20");
    run.Fakes.messages.shown.clear();
    run.Click("Btn_OK");
    EXPECT_TRUE(run.Fakes.messages.shown.empty()) << run.Fakes.messages.texts("error").join('\n').toStdString();
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_EQ(run.window->result(), QDialog::Accepted);

    const QString file = QString::fromUtf8(readTestFile(run.state.accessFile));
    EXPECT_EQ(file.count("<DA_Item "), 3);
    EXPECT_TRUE(file.contains(R"(bType="VisString255" fc="DC" Reference="IED1LD0/LPHD1.PhyNam.vendor" StartByte="0" NumByte="20")"))
        << file.toStdString();
    EXPECT_TRUE(file.contains(R"(MoltFact="0,5")"));
    EXPECT_TRUE(file.contains(R"(<DataSet_DA_Item bType="Timestamp" Reference="IED1LD0/MMXU1.TotW.t" Position="17" StartBit="" Convertion="ItoF/FtoI")"))
        << file.toStdString();

    // The next opening reads it back, locks included.
    run.Open();
    EXPECT_EQ(Column(run.window->access.variableGrid, VariableColumn::Position), QStringList({"10", "20", "30"}));
    EXPECT_FALSE(AccessRun::Editable(da, VariableColumn::NumByte, 3));
    EXPECT_TRUE(AccessRun::Editable(da, VariableColumn::NumByte, 2));
    EXPECT_EQ(run.window->access.dataSets[0]->members[1]->position, "17");
}

TEST(AccessMapping, ColumnEditors)
{
    AccessRun run;
    run.Open();
    run.importFixture();
    run.add(leafQ);
    GridView* da = run.grid("ACG_DA");
    const StringGrid& vars = run.window->access.variableGrid;

    for (int col : {VariableColumn::Number, VariableColumn::BType, VariableColumn::Fc, VariableColumn::Reference, VariableColumn::StartByte, VariableColumn::NumByte,
             VariableColumn::OnChange, VariableColumn::OnCommand, VariableColumn::OnTimer})
        EXPECT_FALSE(AccessRun::Editable(da, col, 1)) << col;
    for (int col : {VariableColumn::Index, VariableColumn::IpAddress, VariableColumn::Port, VariableColumn::Time, VariableColumn::Position, VariableColumn::MultFactor,
             VariableColumn::Mnemonic})
        EXPECT_TRUE(AccessRun::Editable(da, col, 1)) << col;

    // Check boxes hold "Y" and "N".
    AccessRun::clickCell(da, VariableColumn::OnTimer, 1);
    QTest::keyClick(da, Qt::Key_Space);
    EXPECT_EQ(vars.cell(VariableColumn::OnTimer, 1), "Y");
    EXPECT_EQ(da->model()->index(0, VariableColumn::OnTimer).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QTest::keyClick(da, Qt::Key_Space);
    EXPECT_EQ(vars.cell(VariableColumn::OnTimer, 1), "N");

    // Drop-downs offer their fixed choices.
    EXPECT_EQ(AccessRun::Choose(da, VariableColumn::StartBit, 1, "7"), QStringList({"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(AccessRun::Choose(da, VariableColumn::ReadWrite, 1, "Write"), QStringList({"Read", "Write"}));
    EXPECT_EQ(AccessRun::Choose(da, VariableColumn::Conversion, 1, "None"), QStringList({"None", "ItoF/FtoI"}));
    EXPECT_EQ(vars.cell(VariableColumn::StartBit, 1), "7");
    EXPECT_EQ(vars.cell(VariableColumn::ReadWrite, 1), "Write");
    EXPECT_EQ(vars.cell(VariableColumn::Conversion, 1), "None");

    run.add(dataSet1);
    GridView* dsView = run.grid("ACG_DataSet");
    for (int col : {DataSetColumn::Reference, DataSetColumn::GooseName, DataSetColumn::EnGoose})
        EXPECT_FALSE(AccessRun::Editable(dsView, col, 1)) << col;
    for (int col : {DataSetColumn::Index, DataSetColumn::IpAddress, DataSetColumn::Port, DataSetColumn::Time, DataSetColumn::Mnemonic})
        EXPECT_TRUE(AccessRun::Editable(dsView, col, 1)) << col;
    AccessRun::clickCell(dsView, DataSetColumn::EnGoose, 1);
    QTest::keyClick(dsView, Qt::Key_Space);
    EXPECT_EQ(run.window->access.dataSetGrid.cell(DataSetColumn::EnGoose, 1), "N");

    GridView* members = run.grid("ACG_DS_Vars");
    for (int col : {MemberColumn::BType, MemberColumn::Reference})
        EXPECT_FALSE(AccessRun::Editable(members, col, 1)) << col;
    EXPECT_EQ(AccessRun::Choose(members, MemberColumn::StartBit, 1, "2"), QStringList({"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(run.window->access.dataSets[0]->members[0]->bitAddress, "2");
}

TEST(AccessMapping, ValidationMessagesComeFromTheCurrentTexts)
{
    AccessRun run;
    run.texts.set(1256, QStringLiteral("!! Position zwischen 0 und "));
    run.Open();
    run.importFixture();
    run.add(leafQ);
    auto& vars = run.window->access.variableGrid;
    vars.setCell(VariableColumn::IpAddress, 1, "10.0.0.1");
    vars.setCell(VariableColumn::Port, 1, "102");
    run.Click("Btn_OK");
    EXPECT_EQ(run.Fakes.messages.texts("error"), QStringList({"Error row 1!! Position zwischen 0 und 1399"}));
    EXPECT_TRUE(run.window->isVisible());
}

TEST(AccessMapping, CancelDiscardsAndShowingResets)
{
    AccessRun run;
    run.Open();
    run.importFixture();
    run.add(leafQ);
    AccessRun::clickCell(run.grid("ACG_DA"), VariableColumn::Port, 1);
    run.Click("Btn_Cancel");
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_EQ(run.window->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(run.state.accessFile));

    run.Open();
    EXPECT_TRUE(run.window->access.variableGrid.isEmpty());
    EXPECT_TRUE(run.window->access.devices.empty());
    EXPECT_EQ(run.window->selectedAttribute, nullptr);
    EXPECT_EQ(run.window->selectedDataSetRow, 0);
    EXPECT_EQ(run.find<QTabWidget>("PC_Access")->currentIndex(), 0);
    run.Click("Btn_AddVar");
    EXPECT_TRUE(run.window->access.variableGrid.isEmpty());
}

TEST(AccessMapping, RemovingADataSetNeverLetsMemberEditsReachAnotherEntry)
{
    AccessRun run;
    run.Open();
    run.importFixture();
    run.add(dataSet1);
    run.Click("Btn_AddVar");
    GridView* dsView = run.grid("ACG_DataSet");
    GridView* members = run.grid("ACG_DS_Vars");
    ASSERT_EQ(run.window->access.dataSets.size(), 2u);

    // Keyboard moves in the data set grid show that row's members, edits go to that row.
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    QTest::keyClick(dsView, Qt::Key_Down);
    AccessRun::typeCell(members, MemberColumn::Position, 1, "5");
    EXPECT_EQ(run.window->access.dataSets[1]->members[0]->position, "5");
    EXPECT_EQ(run.window->access.dataSets[0]->members[0]->position, "");

    // Remove row 1: the members grid goes blank; typing there stores nothing anywhere.
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    run.Click("Btn_RemoveVar");
    ASSERT_EQ(run.window->access.dataSets.size(), 1u);
    EXPECT_EQ(run.window->access.dataSetGrid.rowCount(), 2);
    EXPECT_EQ(run.window->access.memberGrid.cell(MemberColumn::Reference, 1), "");
    AccessRun::typeCell(members, MemberColumn::Position, 1, "99");
    EXPECT_EQ(run.window->access.dataSets[0]->members[0]->position, "5");

    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    EXPECT_EQ(run.window->access.memberGrid.cell(MemberColumn::Position, 1), "5");
}

TEST(AccessMapping, EnterJumpsOncePerEditAndAClickElsewhereDoesNotJump)
{
    AccessRun run;
    run.Open();
    run.importFixture();
    run.add(leafQ);
    run.Click("Btn_AddVar");
    GridView* da = run.grid("ACG_DA");
    run.state.enableJumpFieldTables = true;

    // Enter ending an edit in the last column moves once: to column 1 of the next row.
    AccessRun::typeCell(da, VariableColumn::Mnemonic, 1, "x");
    EXPECT_EQ(run.window->access.variableGrid.cell(VariableColumn::Mnemonic, 1), "x");
    EXPECT_EQ(std::pair(da->currentColumn(), da->currentRow()), std::pair(int(VariableColumn::Index), 2));

    // Clicking a cell of another row while editing keeps the value and stays on the clicked cell.
    AccessRun::startEdit(da, VariableColumn::IpAddress, 1);
    auto* editor = AccessRun::openEditor<QLineEdit>(da);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "10.0.0.1");
    AccessRun::clickCell(da, VariableColumn::Port, 2);
    QApplication::processEvents();
    EXPECT_EQ(run.window->access.variableGrid.cell(VariableColumn::IpAddress, 1), "10.0.0.1");
    EXPECT_EQ(std::pair(da->currentColumn(), da->currentRow()), std::pair(int(VariableColumn::Port), 2));

    // Enter on a cell not being edited moves too, and from the last cell back to row 1.
    da->setCurrent(VariableColumn::Mnemonic, 2);
    QTest::keyClick(da, Qt::Key_Return);
    EXPECT_EQ(std::pair(da->currentColumn(), da->currentRow()), std::pair(int(VariableColumn::Index), 1));
}
