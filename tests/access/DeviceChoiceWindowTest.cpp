#include "access/AccessRun.h"
#include "scl/SclTestData.h"
#include "scl/gui/DeviceTree.h"
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

// Station files with several IEDs, the addresses they give, and finding nodes in the tree.

namespace {

// What the engineer sees of the tree: the nodes that are neither hidden nor inside a closed
// or hidden node, in tree order.
QStringList shownNodes(QTreeWidget* tree)
{
    QStringList shown;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* node) {
        if (node->isHidden())
            return;
        shown << node->text(0);
        if (node->isExpanded())
            for (int i = 0; i < node->childCount(); ++i)
                walk(node->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i));
    return shown;
}

struct PickerRows {
    QStringList rows;
    QList<bool> offered;
    QString preselected;
};

// Answers the next IED picker: reads its rows, then takes `ied` (by clicking its row and OK),
// or the preselected one with Enter when `ied` is empty.
void answerPicker(PickerRows& seen, const QString& ied = {})
{
    onNextModal([&seen, ied](QWidget* picker) {
        auto* list = child<QTreeWidget>(picker, "LV_IEDs");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* row = list->topLevelItem(i);
            QStringList cells;
            for (int col = 0; col < list->columnCount(); ++col)
                cells << row->text(col);
            seen.rows << cells.join(u'|');
            seen.offered << !row->isDisabled();
        }
        seen.preselected = list->currentItem() ? list->currentItem()->text(0) : QString();
        if (ied.isEmpty()) {
            QTest::keyClick(picker, Qt::Key_Return);
            return;
        }
        list->setCurrentItem(list->findItems(ied, Qt::MatchExactly).value(0));
        click(picker, "Btn_OK");
    });
}

} // namespace

TEST(DeviceChoiceWindow, StationFileAsksForTheIedAndItsAddressFillsNewRows)
{
    AccessRun run;
    run.openActive();
    const QString file = run.sourceFile("station.scd", readTestFile(Fixture("scl/station.scd")));
    PickerRows picker;
    answerPicker(picker);
    run.importFile(file);
    EXPECT_EQ(picker.rows,
        QStringList({"Client1|Station HMI|Acme|HMI|0|0|", "Relay|Feeder protection|Relays & Co|P100|2|4|10.0.0.5",
            "Meter||Meters Inc|M2|1|2|10.0.0.7, 10.1.0.7"}));
    EXPECT_EQ(picker.offered, QList<bool>({false, true, true})) << "the client is greyed and not offered";
    EXPECT_EQ(picker.preselected, "Relay");
    EXPECT_EQ(run.deviceTexts(), QStringList{"Relay - station.scd"});

    // Rows of the relay get its one address and the MMS port; the engineer may change them.
    run.chooseDevice(0);
    run.add({"MEAS", "MMXU1", "TotW", "q"});
    run.add({"PROT", "LLN0", "Trips"});
    const StringGrid& vars = run.cells("ACG_DA");
    EXPECT_EQ(QStringList({vars.cell(VariableColumn::IpAddress, 1), vars.cell(VariableColumn::Port, 1)}),
        QStringList({"10.0.0.5", "102"}));
    const StringGrid& sets = run.cells("ACG_DataSet");
    EXPECT_EQ(QStringList({sets.cell(DataSetColumn::IpAddress, 1), sets.cell(DataSetColumn::Port, 1)}),
        QStringList({"10.0.0.5", "102"}));
    EXPECT_TRUE(AccessRun::editable(run.grid("ACG_DA"), VariableColumn::IpAddress, 1));

    // The same file again, another IED: one catalog copy, two devices told apart. The meter has
    // two addresses, so its rows leave both cells to the engineer.
    PickerRows again;
    answerPicker(again, "Meter");
    run.importFile(file);
    EXPECT_EQ(run.deviceTexts(), QStringList({"Relay - station.scd", "Meter - station.scd"}));
    run.chooseDevice(1);
    run.add({"LD0", "MMXU1", "TotW", "q"});
    EXPECT_EQ(QStringList({vars.cell(VariableColumn::IpAddress, 2), vars.cell(VariableColumn::Port, 2)}), QStringList({"", ""}));
    EXPECT_EQ(vars.cell(VariableColumn::Index, 2), "1");

    EXPECT_EQ(run.fakes.messages.texts("question").size(), 1) << "the catalog copy is there: Yes copies it again";
    run.fakes.messages.shown.clear();
    // The rows were only tried: without them OK saves at once.
    for (int row : {2, 1}) {
        AccessRun::clickCell(run.grid("ACG_DA"), VariableColumn::Reference, row);
        run.click("Btn_RemoveVar");
    }
    run.find<QTabWidget>("PC_Access")->setCurrentIndex(1);
    AccessRun::clickCell(run.grid("ACG_DataSet"), DataSetColumn::Reference, 1);
    run.click("Btn_RemoveVar");
    run.click("Btn_OK");
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    const QByteArray saved = readTestFile(run.paths().accessFile());
    EXPECT_TRUE(
        saved.contains(R"(<ICD_File Name="Relay" FileName="station.scd"/><ICD_File Name="Meter" FileName="station.scd"/>)"))
        << saved.constData();
    EXPECT_EQ(QDir(run.catalog()).entryList(QDir::Files), QStringList{"station.scd"});

    // Shown again, each device is read from its stored IED name.
    run.fakes.messages.shown.clear();
    run.openActive();
    EXPECT_EQ(run.deviceTexts(), QStringList({"Relay - station.scd", "Meter - station.scd"}));
    EXPECT_TRUE(run.fakes.messages.shown.empty());
}

TEST(DeviceChoiceWindow, AccessFileOfEarlierVersionsReadsTheFirstIed)
{
    // Earlier versions read the first IED and stored its name; a name no IED has reads the same.
    AccessRun run;
    QDir().mkpath(run.catalog());
    writeTestFile(run.catalog() + "/station.scd", readTestFile(Fixture("scl/station.scd")));
    writeTestFile(run.catalog() + "/A.icd", testScl("IED1"));
    writeTestFile(run.paths().accessFile(),
        R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="Client1" FileName="station.scd"/><ICD_File Name="Renamed" FileName="station.scd"/>)"
        R"(<ICD_File Name="IED1" FileName="A.icd"/></List_ICD_Files><List_DA_Selected/><List_DataSet_Selected/></IEC_68850_Client>)");
    run.openActive();
    EXPECT_EQ(run.deviceTexts(), QStringList({"Client1 - station.scd", "Client1 - station.scd", "IED1 - A.icd"}));
    run.chooseDevice(0);
    EXPECT_EQ(shownNodes(run.deviceTree()), QStringList{"Client1"});
    EXPECT_TRUE(run.fakes.messages.shown.empty());
}

TEST(DeviceChoiceWindow, FilterShowsMatchesWithTheirAncestorsAndEscapeClearsIt)
{
    AccessRun run;
    run.openActive();
    run.importFile(run.sourceFile("A.icd", testScl("IED1")));
    run.chooseDevice(0);
    QTreeWidget* tree = run.deviceTree();
    auto* filter = run.find<QLineEdit>("E_Filter");
    auto* info = run.find<QLabel>("L_NodeInfo");
    const QStringList unfiltered = shownNodes(tree);
    EXPECT_EQ(unfiltered, QStringList({"IED1", "LD0", "LLN0", "Beh", "DS1", "MMXU1", "TotW", "XCBR1", "Pos", "NamPlt"}));

    const std::pair<const char*, QStringList> cases[] = {
        // Any case, "." and "/" as typed; the ancestors of a match open, the match keeps its own state.
        {"mmxu1.TOTW.Ma", {"IED1", "LD0", "MMXU1", "TotW", "mag"}},
        {"LD0/mmxu1", {"IED1", "LD0", "MMXU1", "TotW"}},
        {".q", {"IED1", "LD0", "MMXU1", "TotW", "q", "XCBR1", "Pos", "q"}},
        {"lln0.ds", {"IED1", "LD0", "LLN0", "DS1"}},
        {"nothing like it", {}},
    };
    for (const auto& [typed, shown] : cases) {
        SCOPED_TRACE(typed);
        filter->clear();
        QTest::keyClicks(filter, typed);
        EXPECT_EQ(shownNodes(tree), shown);
    }
    EXPECT_EQ(info->text(), "No node matches the filter");

    QTest::keyClick(filter, Qt::Key_Escape);
    EXPECT_TRUE(filter->text().isEmpty());
    EXPECT_TRUE(run.window->isVisible()) << "Escape in the filter closes nothing";
    EXPECT_EQ(shownNodes(tree), unfiltered);

    // A node tells its reference, FC, bType (and desc) in its tooltip and in the line under the tree.
    QTreeWidgetItem* f = run.node({"LD0", "MMXU1", "TotW", "mag", "f"});
    EXPECT_EQ(f->data(0, Qt::ToolTipRole).toString(), "IED1LD0/MMXU1.TotW.mag.f\nFC: MX  bType: FLOAT32");
    run.clickNode(f);
    EXPECT_EQ(info->text(), "IED1LD0/MMXU1.TotW.mag.f  |  FC: MX  bType: FLOAT32");
    QTreeWidgetItem* totW = run.node({"LD0", "MMXU1", "TotW"});
    EXPECT_EQ(totW->data(0, Qt::ToolTipRole).toString(), "IED1LD0/MMXU1.TotW");
    EXPECT_EQ(run.node({"LD0", "LLN0", "DS1"})->data(0, Qt::ToolTipRole).toString(), "IED1LD0/LLN0.DS1");
}

TEST(DeviceChoiceWindow, DoubleClickAddsAndAddVarSaysWhatToSelect)
{
    AccessRun run;
    run.openActive();
    run.importFile(run.sourceFile("A.icd", testScl("IED1")));
    run.chooseDevice(0);
    QTreeWidget* tree = run.deviceTree();
    const auto doubleClick = [&](const QStringList& path) {
        QTreeWidgetItem* node = run.node(path);
        run.clickNode(node);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    };
    doubleClick({"LD0", "MMXU1", "TotW", "mag", "f"});
    doubleClick({"LD0", "LLN0", "DS1"});
    EXPECT_EQ(column(run.cells("ACG_DA"), VariableColumn::Reference), QStringList{"IED1LD0/MMXU1.TotW.mag.f"});
    EXPECT_EQ(column(run.cells("ACG_DataSet"), DataSetColumn::Reference), QStringList{"IED1LD0/LLN0.DS1"});
    // The Reference column opens wide enough for its references.
    GridView* vars = run.grid("ACG_DA");
    EXPECT_GE(vars->columnWidth(VariableColumn::Reference), vars->fontMetrics().horizontalAdvance("IED1LD0/MMXU1.TotW.mag.f"));

    run.clickNode({"LD0", "MMXU1", "TotW"});
    run.click("Btn_AddVar");
    run.clickNode({"LD0", "MMXU1", "TotW", "mag"});
    run.click("Btn_AddVar");
    run.clickNode({"LD0"});
    run.click("Btn_AddVar");
    EXPECT_EQ(run.fakes.messages.texts("information"),
        QStringList({"A data object cannot be added: select one of its attributes without components, or a data set.",
            "This attribute has components: select one of them to add it."}));
    EXPECT_EQ(run.cells("ACG_DA").rowCount(), 2) << "nothing added";
}
