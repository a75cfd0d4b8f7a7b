#include "access/AccessRun.h"
#include "access/core/AccessFile.h"
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

// Imports the fixture's device and shows its tree.
void importFixture(AccessRun& run)
{
    run.importFile(Fixture(QStringLiteral("access/Access_Window.icd")));
    ASSERT_GT(run.deviceList()->count(), 0);
    run.chooseDevice(run.deviceList()->count() - 1);
}

const QStringList leafF = {"LD0", "MMXU1", "TotW", "mag", "f"};
const QStringList leafQ = {"LD0", "MMXU1", "TotW", "q"};
const QStringList leafT = {"LD0", "MMXU1", "TotW", "t"};
const QStringList leafVendor = {"LD0", "LPHD1", "PhyNam", "vendor"};
const QStringList dataSet1 = {"LD0", "LLN0", "DS1"};

} // namespace

TEST(AccessMapping, AddEditRemoveValidateAndSave)
{
    AccessRun run("Plant");
    run.open();
    importFixture(run);
    const StringGrid& vars = run.cells("ACG_DA");
    GridView* da = run.grid("ACG_DA");

    // The same leaf twice: rows 1 and 2, the selection stays.
    run.add(leafF);
    run.click("Btn_AddVar");
    ASSERT_EQ(vars.rowCount(), 3);
    EXPECT_EQ(column(vars, VariableColumn::Number), QStringList({"1", "2"}));
    EXPECT_EQ(column(vars, VariableColumn::Reference), QStringList({"IED1LD0/MMXU1.TotW.mag.f", "IED1LD0/MMXU1.TotW.mag.f"}));
    EXPECT_EQ(column(vars, VariableColumn::Index), QStringList({"0", "0"}));
    EXPECT_EQ(column(vars, VariableColumn::Fc), QStringList({"MX", "MX"}));
    EXPECT_EQ(column(vars, VariableColumn::OnTimer), QStringList({"N", "N"}));
    run.add(leafVendor);
    run.add(leafT);
    EXPECT_EQ(column(vars, VariableColumn::BType), QStringList({"FLOAT32", "FLOAT32", "VisString255", "Timestamp"}));
    EXPECT_EQ(column(vars, VariableColumn::NumByte), QStringList({"4", "4", "", "1"}));
    EXPECT_EQ(da->model()->rowCount(), 4);

    // A structured attribute and a logical node select nothing: Add Var adds nothing.
    run.clickNode({"LD0", "MMXU1", "TotW", "mag"});
    run.click("Btn_AddVar");
    run.clickNode({"LD0", "MMXU1"});
    run.click("Btn_AddVar");
    EXPECT_EQ(vars.rowCount(), 5);

    // Remove row 2 of 4: rows 3 and 4 move up and lock by their own type.
    AccessRun::clickCell(da, VariableColumn::Mnemonic, 2);
    run.click("Btn_RemoveVar");
    EXPECT_EQ(column(vars, VariableColumn::Number), QStringList({"1", "2", "3"}));
    EXPECT_EQ(column(vars, VariableColumn::BType), QStringList({"FLOAT32", "VisString255", "Timestamp"}));
    EXPECT_EQ(column(vars, VariableColumn::StartByte), QStringList({"0", "", "0"}));
    EXPECT_EQ(column(vars, VariableColumn::NumByte), QStringList({"4", "", "1"}));
    EXPECT_EQ(da->model()->rowCount(), 3);
    for (int col : {VariableColumn::StartByte, VariableColumn::NumByte}) {
        EXPECT_FALSE(AccessRun::editable(da, col, 1)) << col;
        EXPECT_TRUE(AccessRun::editable(da, col, 2)) << col;
        EXPECT_FALSE(AccessRun::editable(da, col, 3)) << col;
    }

    // A data set: its page, its row, one member entry per member; a member's Position edited.
    run.add(dataSet1);
    EXPECT_EQ(run.find<QTabWidget>("PC_Access")->currentWidget()->objectName(), "TS_DataSet");
    const StringGrid& sets = run.cells("ACG_DataSet");
    EXPECT_EQ(sets.cell(DataSetColumn::Reference, 1), "IED1LD0/LLN0.DS1");
    EXPECT_EQ(sets.cell(DataSetColumn::GooseName, 1), "GCB1");
    EXPECT_EQ(sets.cell(DataSetColumn::EnGoose, 1), "Y");
    GridView* dsView = run.grid("ACG_DataSet");
    GridView* members = run.grid("ACG_DS_Vars");
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    EXPECT_EQ(column(run.cells("ACG_DS_Vars"), MemberColumn::Reference),
        QStringList({"IED1LD0/MMXU1.TotW.q", "IED1LD0/MMXU1.TotW.t", "IED1LD0/LPHD1.PhyNam.vendor"}));
    AccessRun::typeCell(members, MemberColumn::Position, 2, "17");
    EXPECT_EQ(AccessRun::choose(members, MemberColumn::Conversion, 2, "ItoF/FtoI"), QStringList({"None", "ItoF/FtoI"}));
    // The edits reached the entry: choosing its row again shows them from there.
    EXPECT_EQ(dsView->currentRow(), 1);
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::Position, 2), "17");
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::Conversion, 2), "ItoF/FtoI");

    // OK with rows left as added: the first row's first failing check, the window stays open.
    run.click("Btn_OK");
    EXPECT_EQ(run.fakes.messages.texts("error"),
        QStringList({"Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"}));
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_FALSE(QFile::exists(run.paths().accessFile()));

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
    // The data set row and its members are checked like the variables.
    run.fakes.messages.shown.clear();
    run.click("Btn_OK");
    EXPECT_EQ(run.fakes.messages.texts("error"),
        QStringList({"Error DataSet row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"}));
    run.find<QTabWidget>("PC_Access")->setCurrentIndex(1);
    AccessRun::typeCell(dsView, DataSetColumn::IpAddress, 1, " 127.0.0.11 ");
    EXPECT_EQ(sets.cell(DataSetColumn::IpAddress, 1), "127.0.0.11"); // trimmed as the cell is left
    AccessRun::typeCell(dsView, DataSetColumn::Port, 1, "102");
    AccessRun::typeCell(dsView, DataSetColumn::Time, 1, "1000");
    run.fakes.messages.shown.clear();
    run.click("Btn_OK");
    EXPECT_EQ(
        run.fakes.messages.texts("error"), QStringList({"Error DataSet row 1, member 1!! Position must be between 0 and 1399"}));
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    AccessRun::typeCell(members, MemberColumn::Position, 1, "16");
    AccessRun::typeCell(members, MemberColumn::Position, 3, "18");
    run.fakes.messages.shown.clear();
    run.click("Btn_OK");
    // Validation passes; only the question about the data array (the string at 20 reaches
    // position 30, members without a position) comes, answered Yes.
    EXPECT_TRUE(run.fakes.messages.texts("error").isEmpty()) << run.fakes.messages.texts("error").join('\n').toStdString();
    EXPECT_EQ(run.fakes.messages.texts("question").size(), 1);
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_EQ(run.window->result(), QDialog::Accepted);

    const QString file = QString::fromUtf8(readTestFile(run.paths().accessFile()));
    EXPECT_EQ(file.count("<DA_Item "), 3);
    EXPECT_TRUE(
        file.contains(R"(bType="VisString255" fc="DC" Reference="IED1LD0/LPHD1.PhyNam.vendor" StartByte="0" NumByte="20")"))
        << file.toStdString();
    EXPECT_TRUE(file.contains(R"(MoltFact="0,5")"));
    EXPECT_TRUE(file.contains(
        R"(<DataSet_DA_Item bType="Timestamp" Reference="IED1LD0/MMXU1.TotW.t" Position="17" StartBit="0" Convertion="ItoF/FtoI")"))
        << file.toStdString();

    // The next opening reads it back, locks included.
    run.open();
    EXPECT_EQ(column(run.cells("ACG_DA"), VariableColumn::Position), QStringList({"10", "20", "30"}));
    EXPECT_FALSE(AccessRun::editable(da, VariableColumn::NumByte, 3));
    EXPECT_TRUE(AccessRun::editable(da, VariableColumn::NumByte, 2));
    run.find<QTabWidget>("PC_Access")->setCurrentIndex(1);
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::Position, 2), "17");
}

TEST(AccessMapping, ColumnEditors)
{
    AccessRun run("Plant");
    run.open();
    importFixture(run);
    run.add(leafQ);
    GridView* da = run.grid("ACG_DA");
    const StringGrid& vars = run.cells("ACG_DA");

    for (int col :
        {VariableColumn::Number, VariableColumn::BType, VariableColumn::Fc, VariableColumn::Reference, VariableColumn::StartByte,
            VariableColumn::NumByte, VariableColumn::OnChange, VariableColumn::OnCommand, VariableColumn::OnTimer})
        EXPECT_FALSE(AccessRun::editable(da, col, 1)) << col;
    for (int col : {VariableColumn::Index, VariableColumn::IpAddress, VariableColumn::Port, VariableColumn::Time,
             VariableColumn::Position, VariableColumn::MultFactor, VariableColumn::Mnemonic})
        EXPECT_TRUE(AccessRun::editable(da, col, 1)) << col;

    // Check boxes hold "Y" and "N".
    AccessRun::clickCell(da, VariableColumn::OnTimer, 1);
    QTest::keyClick(da, Qt::Key_Space);
    EXPECT_EQ(vars.cell(VariableColumn::OnTimer, 1), "Y");
    EXPECT_EQ(da->model()->index(0, VariableColumn::OnTimer).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QTest::keyClick(da, Qt::Key_Space);
    EXPECT_EQ(vars.cell(VariableColumn::OnTimer, 1), "N");

    // Drop-downs offer their fixed choices.
    EXPECT_EQ(AccessRun::choose(da, VariableColumn::StartBit, 1, "7"), QStringList({"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(AccessRun::choose(da, VariableColumn::ReadWrite, 1, "Write"), QStringList({"Read", "Write"}));
    EXPECT_EQ(AccessRun::choose(da, VariableColumn::Conversion, 1, "None"), QStringList({"None", "ItoF/FtoI"}));
    EXPECT_EQ(vars.cell(VariableColumn::StartBit, 1), "7");
    EXPECT_EQ(vars.cell(VariableColumn::ReadWrite, 1), "Write");
    EXPECT_EQ(vars.cell(VariableColumn::Conversion, 1), "None");

    run.add(dataSet1);
    GridView* dsView = run.grid("ACG_DataSet");
    for (int col : {DataSetColumn::Reference, DataSetColumn::GooseName, DataSetColumn::EnGoose})
        EXPECT_FALSE(AccessRun::editable(dsView, col, 1)) << col;
    for (int col :
        {DataSetColumn::Index, DataSetColumn::IpAddress, DataSetColumn::Port, DataSetColumn::Time, DataSetColumn::Mnemonic})
        EXPECT_TRUE(AccessRun::editable(dsView, col, 1)) << col;
    AccessRun::clickCell(dsView, DataSetColumn::EnGoose, 1);
    QTest::keyClick(dsView, Qt::Key_Space);
    EXPECT_EQ(run.cells("ACG_DataSet").cell(DataSetColumn::EnGoose, 1), "N");

    GridView* members = run.grid("ACG_DS_Vars");
    for (int col : {MemberColumn::BType, MemberColumn::Reference})
        EXPECT_FALSE(AccessRun::editable(members, col, 1)) << col;
    EXPECT_EQ(AccessRun::choose(members, MemberColumn::StartBit, 1, "2"), QStringList({"0", "1", "2", "3", "4", "5", "6", "7"}));
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::StartBit, 1), "2");
}

TEST(AccessMapping, ValidationMessagesComeFromTheCurrentTexts)
{
    AccessRun run("Plant");
    run.texts.set(1256, QStringLiteral("!! Position zwischen 0 und "));
    run.open();
    importFixture(run);
    run.add(leafQ);
    GridView* da = run.grid("ACG_DA");
    AccessRun::typeCell(da, VariableColumn::IpAddress, 1, "10.0.0.1");
    AccessRun::typeCell(da, VariableColumn::Port, 1, "102");
    run.click("Btn_OK");
    EXPECT_EQ(run.fakes.messages.texts("error"), QStringList({"Error row 1!! Position zwischen 0 und 1399"}));
    EXPECT_TRUE(run.window->isVisible());
}

TEST(AccessMapping, CancelDiscardsAndShowingResets)
{
    AccessRun run("Plant");
    run.open();
    importFixture(run);
    run.add(leafQ);
    AccessRun::clickCell(run.grid("ACG_DA"), VariableColumn::Port, 1);
    run.click("Btn_Cancel");
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_EQ(run.window->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(run.paths().accessFile()));

    run.open();
    EXPECT_TRUE(run.cells("ACG_DA").isEmpty());
    EXPECT_EQ(run.deviceList()->count(), 0);
    EXPECT_EQ(run.deviceTree()->topLevelItemCount(), 0);
    EXPECT_EQ(run.grid("ACG_DataSet")->currentRow(), 0);
    EXPECT_EQ(run.find<QTabWidget>("PC_Access")->currentIndex(), 0);
    const AccessRun::Added added = run.addSelection(); // nothing is selected any more
    EXPECT_TRUE(added.variables.isEmpty());
    EXPECT_TRUE(added.dataSets.isEmpty());
    EXPECT_TRUE(run.cells("ACG_DA").isEmpty());
}

TEST(AccessMapping, RemovingADataSetNeverLetsMemberEditsReachAnotherEntry)
{
    AccessRun run("Plant");
    run.open();
    importFixture(run);
    run.add(dataSet1);
    run.click("Btn_AddVar");
    GridView* dsView = run.grid("ACG_DataSet");
    GridView* members = run.grid("ACG_DS_Vars");
    ASSERT_EQ(dsView->model()->rowCount(), 2);

    // Keyboard moves in the data set grid show that row's members, edits go to that row.
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    QTest::keyClick(dsView, Qt::Key_Down);
    AccessRun::typeCell(members, MemberColumn::Position, 1, "5");
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::Position, 1), "");
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 2);
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::Position, 1), "5");

    // Remove row 1: the members grid goes blank; typing there stores nothing anywhere.
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    run.click("Btn_RemoveVar");
    ASSERT_EQ(dsView->model()->rowCount(), 1);
    EXPECT_EQ(run.cells("ACG_DataSet").rowCount(), 2);
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::Reference, 1), "");
    AccessRun::typeCell(members, MemberColumn::Position, 1, "99");

    // Only the remaining entry's own members show, unchanged by the typing.
    AccessRun::clickCell(dsView, DataSetColumn::Mnemonic, 1);
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::Position, 1), "5");
    EXPECT_EQ(run.cells("ACG_DS_Vars").cell(MemberColumn::Reference, 1), "IED1LD0/MMXU1.TotW.q");
}

TEST(AccessMapping, EnterJumpsOncePerEditAndAClickElsewhereDoesNotJump)
{
    AccessRun run("Plant");
    run.open();
    importFixture(run);
    run.add(leafQ);
    run.click("Btn_AddVar");
    GridView* da = run.grid("ACG_DA");
    run.state.enableJumpFieldTables = true;

    // Enter ending an edit in the last column moves once: to column 1 of the next row.
    AccessRun::typeCell(da, VariableColumn::Mnemonic, 1, "x");
    EXPECT_EQ(run.cells("ACG_DA").cell(VariableColumn::Mnemonic, 1), "x");
    EXPECT_EQ(std::pair(da->currentColumn(), da->currentRow()), std::pair(int(VariableColumn::Index), 2));

    // Clicking a cell of another row while editing keeps the value and stays on the clicked cell.
    AccessRun::startEdit(da, VariableColumn::IpAddress, 1);
    auto* editor = AccessRun::openEditor<QLineEdit>(da);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "10.0.0.1");
    AccessRun::clickCell(da, VariableColumn::Port, 2);
    QApplication::processEvents();
    EXPECT_EQ(run.cells("ACG_DA").cell(VariableColumn::IpAddress, 1), "10.0.0.1");
    EXPECT_EQ(std::pair(da->currentColumn(), da->currentRow()), std::pair(int(VariableColumn::Port), 2));

    // Enter on a cell not being edited moves too, and from the last cell back to row 1.
    da->setCurrent(VariableColumn::Mnemonic, 2);
    QTest::keyClick(da, Qt::Key_Return);
    EXPECT_EQ(std::pair(da->currentColumn(), da->currentRow()), std::pair(int(VariableColumn::Index), 1));
}

TEST(AccessMapping, AStoredFileThatFailsItsChecksShowsItsFirstProblemAtOk)
{
    AccessRun run("Plant");
    // An older, hand-edited file: port and position beyond their fields, Start Bit and
    // Convertion never chosen.
    const QByteArray stored = R"(<IEC_68850_Client><List_ICD_Files/><List_DA_Selected>)"
                              R"(<DA_Item Index="0" bType="FLOAT32" fc="MX" Reference="LD0/MMXU1.TotW.mag.f" StartByte="0" )"
                              R"(NumByte="4" IPAddress="10.0.0.3" Port="99999" OnChange="Y" OnCMD="N" OnTimer="N" Time="" )"
                              R"(Position="70000" StartBit="" ReadWrite="Read" Convertion="" MoltFact="1" Mnemonic=""/>)"
                              R"(</List_DA_Selected><List_DataSet_Selected/></IEC_68850_Client>)";
    writeTestFile(run.paths().accessFile(), stored);
    run.open();
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    // Shown as the build reads them.
    EXPECT_EQ(run.cells("ACG_DA").cell(VariableColumn::StartBit, 1), "0");
    EXPECT_EQ(run.cells("ACG_DA").cell(VariableColumn::Conversion, 1), "None");
    run.click("Btn_OK");
    EXPECT_EQ(run.fakes.messages.texts("error"), QStringList({"Error row 1!! Port must be between 0 and 65535"}));
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_EQ(readTestFile(run.paths().accessFile()), stored);
    run.click("Btn_Cancel");
}
