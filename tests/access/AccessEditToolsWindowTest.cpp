#include "access/AccessRun.h"
#include "access/core/DataArray.h"
#include "access/gui/DataArrayPage.h"
#include <QAction>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

const QStringList leafF = {"LD0", "MMXU1", "TotW", "mag", "f"};
const QStringList leafQ = {"LD0", "MMXU1", "TotW", "q"};
const QStringList dataSet1 = {"LD0", "LLN0", "DS1"};

// The window on project "Plant" with the fixture's device shown.
struct EditRun : AccessRun {
    EditRun()
        : AccessRun("Plant")
    {
    }
    // Active, since Ctrl+Z, the focus and the cell editors need the keyboard.
    void start()
    {
        openActive();
        importFile(Fixture(QStringLiteral("access/Access_Window.icd")));
        chooseDevice(deviceList()->count() - 1);
    }
    GridView* vars() const { return grid("ACG_DA"); }
    // A variable row that passes validation, at `position`.
    void addValid(const QStringList& leaf, const QString& position, const QString& mnemonic = {})
    {
        add(leaf);
        const int row = vars()->currentRow();
        for (auto [col, text] : {std::pair{VariableColumn::IpAddress, QStringLiteral("127.0.0.1")},
                 {VariableColumn::Port, QStringLiteral("102")}, {VariableColumn::Position, position},
                 {VariableColumn::MultFactor, QStringLiteral("None")}, {VariableColumn::Mnemonic, mnemonic}})
            typeCell(vars(), col, row, text);
    }
    QStringList questions() const { return fakes.messages.texts("question"); }
    QTableView* arrayView() const { return find<QTableView>("ACG_DataArray"); }
    QModelIndex arrayCell(int position) const
    {
        return arrayView()->model()->index(position / DataArrayModel::bytesPerRow, position % DataArrayModel::bytesPerRow);
    }
    void showPage(const char* name) const
    {
        auto* tabs = find<QTabWidget>("PC_Access");
        tabs->setCurrentWidget(tabs->findChild<QWidget*>(name));
    }
};

} // namespace

TEST(AccessEditTools, OverlappingRowsShowAConflictAndOkAsksBeforeSaving)
{
    EditRun run;
    run.start();
    run.addValid(leafF, "10"); // FLOAT32: 10-13
    run.addValid(leafQ, "12"); // Quality: 12-15

    run.showPage("TS_DataArray");
    const QModelIndex shared = run.arrayCell(12), own = run.arrayCell(10), free = run.arrayCell(16);
    EXPECT_EQ(shared.data(Qt::BackgroundRole).value<QColor>(), DataArrayModel::colourOf(Occupancy::Conflict));
    EXPECT_EQ(own.data(Qt::BackgroundRole).value<QColor>(), DataArrayModel::colourOf(Occupancy::Variable));
    EXPECT_EQ(free.data(Qt::BackgroundRole).value<QColor>(), DataArrayModel::colourOf(Occupancy::Free));
    EXPECT_EQ(shared.data(Qt::ToolTipRole).toString(), "Position 12\nVariables row 1\nVariables row 2");

    // A click on a used cell shows its first entry on the Variables page.
    QTableView* view = run.arrayView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(run.arrayCell(14)).center());
    EXPECT_EQ(run.currentPage(), "TS_Variables");
    EXPECT_EQ(run.vars()->currentRow(), 2);

    // OK names the overlap and asks; No keeps the window open with nothing saved.
    run.fakes.messages.Answers = {MessageService::Answer::No};
    run.click("Btn_OK");
    EXPECT_EQ(run.questions(),
        QStringList({"Check the places of these entries in the internal data array:\n"
                     "Variables row 2 overlaps Variables row 1 at position 12\nSave anyway?"}));
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_FALSE(QFile::exists(run.paths().accessFile()));
    run.click("Btn_OK"); // Yes
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_TRUE(QFile::exists(run.paths().accessFile()));
}

TEST(AccessEditTools, PointListRoundTripGivesTheSameFile)
{
    EditRun run;
    run.start();
    run.addValid(leafF, "10", u"Leistung; \"gesamt\", \u00B5W"_qs);
    run.addValid(leafQ, "20");
    run.add(dataSet1);
    AccessRun::clickCell(run.grid("ACG_DataSet"), DataSetColumn::Mnemonic, 1);
    for (auto [col, text] :
        {std::pair{DataSetColumn::IpAddress, "127.0.0.1"}, {DataSetColumn::Port, "102"}, {DataSetColumn::Time, "1000"}})
        AccessRun::typeCell(run.grid("ACG_DataSet"), col, 1, QString::fromLatin1(text));
    for (auto [member, position] : {std::pair{1, "40"}, {2, "30"}, {3, "50"}})
        AccessRun::typeCell(run.grid("ACG_DS_Vars"), MemberColumn::Position, member, QString::fromLatin1(position));
    run.click("Btn_OK");
    ASSERT_FALSE(run.window->isVisible()) << run.fakes.messages.texts("error").join('\n').toStdString();
    const QByteArray saved = readTestFile(run.paths().accessFile());

    run.open();
    const QString csv = run.path("points.csv");
    run.fakes.fileDialog.nextFiles = {csv};
    run.click("Btn_ExportCsv");
    ASSERT_TRUE(QFile::exists(csv));
    EXPECT_TRUE(readTestFile(csv).startsWith("\xEF\xBB\xBF"
                                             "Index,bType,fc,Reference,"));

    // Every row removed (both variables at once), then the list imported again.
    run.vars()->selectAll();
    run.click("Btn_RemoveVar");
    EXPECT_TRUE(run.cells("ACG_DA").isEmpty());
    run.showPage("TS_DataSet");
    AccessRun::clickCell(run.grid("ACG_DataSet"), DataSetColumn::Mnemonic, 1);
    run.click("Btn_RemoveVar");
    EXPECT_TRUE(run.cells("ACG_DataSet").isEmpty());

    run.fakes.messages.shown.clear();
    run.fakes.fileDialog.nextFiles = {csv};
    run.click("Btn_ImportCsv");
    EXPECT_EQ(run.questions(), QStringList({"Replace the rows of the access list with the 5 lines of the file?"}));
    EXPECT_EQ(run.vars()->model()->rowCount(), 2);
    run.click("Btn_OK");
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_EQ(readTestFile(run.paths().accessFile()), saved);
}

TEST(AccessEditTools, CancelAsksOnlyAfterAChange)
{
    EditRun run;
    run.open();
    run.click("Btn_Cancel");
    EXPECT_TRUE(run.questions().isEmpty());
    EXPECT_FALSE(run.window->isVisible());

    run.start(); // importing a device is a change
    run.fakes.messages.Answers = {MessageService::Answer::No};
    run.click("Btn_Cancel");
    EXPECT_EQ(run.questions(), QStringList({"Discard the changes?"}));
    EXPECT_TRUE(run.window->isVisible());
    // Escape and the close box ask the same.
    run.fakes.messages.Answers = {MessageService::Answer::No};
    QTest::keyClick(run.window.get(), Qt::Key_Escape);
    EXPECT_EQ(run.questions().size(), 2);
    EXPECT_TRUE(run.window->isVisible());
    run.window->close(); // Yes
    EXPECT_EQ(run.questions().size(), 3);
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_EQ(run.window->result(), QDialog::Rejected);
}

TEST(AccessEditTools, UndoBringsBackRemovedRowsWithTheirCells)
{
    EditRun run;
    run.start();
    run.addValid(leafF, "10", "first");
    run.addValid(leafQ, "20", "second");
    run.addValid(leafF, "30", "third");
    const StringGrid& vars = run.cells("ACG_DA");

    AccessRun::clickCell(run.vars(), VariableColumn::Mnemonic, 2);
    run.click("Btn_RemoveVar");
    EXPECT_EQ(column(vars, VariableColumn::Mnemonic), QStringList({"first", "third"}));
    // Rows 1 and 2 (first and third) at once.
    run.vars()->selectAll();
    run.click("Btn_RemoveVar");
    EXPECT_TRUE(vars.isEmpty());

    QTest::keyClick(run.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(column(vars, VariableColumn::Mnemonic), QStringList({"first", "third"}));
    run.click("Btn_Undo");
    EXPECT_EQ(column(vars, VariableColumn::Mnemonic), QStringList({"first", "second", "third"}));
    EXPECT_EQ(column(vars, VariableColumn::Number), QStringList({"1", "2", "3"}));
    EXPECT_EQ(column(vars, VariableColumn::Position), QStringList({"10", "20", "30"}));
    EXPECT_EQ(vars.cell(VariableColumn::BType, 2), "Quality");
    EXPECT_FALSE(AccessRun::editable(run.vars(), VariableColumn::NumByte, 2)); // locked by its type again
    EXPECT_FALSE(run.find<QPushButton>("Btn_Undo")->isEnabled());

    // A data set row comes back with its member entries.
    run.add(dataSet1);
    GridView* sets = run.grid("ACG_DataSet");
    AccessRun::clickCell(sets, DataSetColumn::Mnemonic, 1);
    AccessRun::typeCell(run.grid("ACG_DS_Vars"), MemberColumn::Position, 1, "77");
    AccessRun::clickCell(sets, DataSetColumn::Mnemonic, 1);
    run.click("Btn_RemoveVar");
    run.click("Btn_Undo");
    AccessRun::clickCell(sets, DataSetColumn::Mnemonic, 1);
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::Position, 1), "77");
}

TEST(AccessEditTools, ValidationErrorFocusesTheCellItNames)
{
    EditRun run;
    run.start();
    run.addValid(leafF, "10");
    run.addValid(leafQ, "20");
    AccessRun::typeCell(run.vars(), VariableColumn::Port, 2, "70000");
    run.showPage("TS_DataArray");
    run.click("Btn_OK");
    EXPECT_EQ(run.fakes.messages.texts("error"), QStringList({"Error row 2!! Port must be between 0 and 65535"}));
    EXPECT_EQ(run.currentPage(), "TS_Variables");
    EXPECT_EQ(std::pair(run.vars()->currentColumn(), run.vars()->currentRow()), std::pair(int(VariableColumn::Port), 2));
    EXPECT_TRUE(run.vars()->hasFocus());

    // A member's error: its data set row is chosen and the member's cell has the focus.
    AccessRun::typeCell(run.vars(), VariableColumn::Port, 2, "102");
    run.add(dataSet1);
    GridView* sets = run.grid("ACG_DataSet");
    for (auto [col, text] :
        {std::pair{DataSetColumn::IpAddress, "127.0.0.1"}, {DataSetColumn::Port, "102"}, {DataSetColumn::Time, "1000"}})
        AccessRun::typeCell(sets, col, 1, QString::fromLatin1(text));
    GridView* members = run.grid("ACG_DS_Vars");
    AccessRun::typeCell(members, MemberColumn::Position, 1, "40");
    run.showPage("TS_Variables");
    run.fakes.messages.shown.clear();
    run.click("Btn_OK");
    EXPECT_EQ(
        run.fakes.messages.texts("error"), QStringList({"Error DataSet row 1, member 2!! Position must be between 0 and 1399"}));
    EXPECT_EQ(run.currentPage(), "TS_DataSet");
    EXPECT_EQ(std::pair(members->currentColumn(), members->currentRow()), std::pair(int(MemberColumn::Position), 2));
    EXPECT_TRUE(members->hasFocus());
}

TEST(AccessEditTools, SeveralCellsOfAColumnSetAtOnce)
{
    EditRun run;
    run.start();
    for (int i = 0; i < 3; ++i)
        run.add(leafQ);
    GridView* vars = run.vars();
    const StringGrid& cells = run.cells("ACG_DA");

    // Ctrl+Enter ends the edit of one cell and gives its value to every selected cell of the column.
    const auto selectDown = [vars] {
        QTest::keyClick(vars, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(vars, Qt::Key_Down, Qt::ShiftModifier);
    };
    AccessRun::clickCell(vars, VariableColumn::IpAddress, 1);
    selectDown();
    QTest::keyClick(vars, Qt::Key_F2);
    auto* editor = AccessRun::openEditor<QLineEdit>(vars);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "127.0.0.9");
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(column(cells, VariableColumn::IpAddress), QStringList({"127.0.0.9", "127.0.0.9", "127.0.0.9"}));

    // Fill down copies the first selected cell, check boxes included.
    AccessRun::clickCell(vars, VariableColumn::OnTimer, 1);
    QTest::keyClick(vars, Qt::Key_Space);
    selectDown();
    vars->findChild<QAction*>("A_FillDown")->trigger();
    EXPECT_EQ(column(cells, VariableColumn::OnTimer), QStringList({"Y", "Y", "Y"}));
}

// A point list that gives no line to import is far more often a wrong file than the wish for
// an empty access list: the window says so and changes nothing unless asked to empty it.
TEST(AccessEditTools, ImportWithoutAUsableLineEmptiesOnlyWhenAsked)
{
    EditRun run;
    run.start();
    run.addValid(leafF, "10");
    const QString csv = run.path("points.csv");
    const QString empty = "Empty the access list, removing every variable and data set? No leaves it as it is.";
    struct Case {
        const char* name;
        QByteArray file;
        QString question;
    };
    const Case cases[] = {
        {"header only", "IED,Reference\n", "The file has no line below its header.\n" + empty},
        {"every line refused", "IED,Reference\nIED1,IED1LD0/MMXU1.TotW.none\n",
            "0 of 1 lines can be used; these cannot:\n"
            "Line 2: IED1LD0/MMXU1.TotW.none is not a data attribute of IED1\n"
            "No line of the file can be used.\n"
                + empty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeTestFile(csv, c.file);
        run.fakes.messages.shown.clear();
        run.fakes.messages.Answers = {MessageService::Answer::No};
        run.fakes.fileDialog.nextFiles = {csv};
        run.click("Btn_ImportCsv");
        EXPECT_EQ(run.questions(), QStringList{c.question});
        EXPECT_FALSE(run.cells("ACG_DA").isEmpty());
    }
    run.fakes.fileDialog.nextFiles = {csv};
    run.click("Btn_ImportCsv"); // Yes
    EXPECT_TRUE(run.cells("ACG_DA").isEmpty());
}
