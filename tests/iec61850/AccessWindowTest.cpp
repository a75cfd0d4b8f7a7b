#include "iec61850/AccessTestData.h"
#include "iec61850/core/AccessFile.h"
#include "iec61850/core/Catalog.h"
#include "iec61850/gui/DeviceTree.h"
#include "base/Files.h"
#include "fakes/FakePlatform.h"
#include "iec61850/gui/GridView.h"
#include "platform/QtPlatform.h"
#include "iec61850/gui/AccessDialog.h"
#include "app/MainWindow.h"
#include "support/WindowTestSupport.h"
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// The access window of project P1 in a program folder of its own, with fake services.
struct AccessRun {
    QTemporaryDir Dir;
    FakePlatform Fakes;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, Fakes.services()};
    std::unique_ptr<AccessDialog> W;
    QString Source; // where the engineer's SCL files come from

    AccessRun()
    {
        state.setProgramFolder(Dir.path());
        QDir().mkpath(joinPath(state.projectsFolder, "P1"));
        state.activateConfiguration("P1");
        Source = Dir.filePath("source");
        QDir().mkpath(Source);
        W = std::make_unique<AccessDialog>(context);
    }
    QString Catalog() const { return catalogFolder(state.projectFolder); }
    QString sourceFile(const QString& name, const QByteArray& content)
    {
        writeTestFile(Source + "/" + name, content);
        return Source + "/" + name;
    }
    void Open()
    {
        W->show();
        W->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
    }
    void Click(const char* name) { QTest::mouseClick(W->findChild<QPushButton*>(name), Qt::LeftButton); }
    void Import(const QString& path)
    {
        Fakes.fileDialog.nextFiles.push_back(path);
        Click("Btn_Add_IEC_Device");
    }
    QStringList deviceTexts() const
    {
        QStringList labels;
        for (int i = 0; i < W->deviceList->count(); ++i)
            labels << W->deviceList->item(i)->text();
        return labels;
    }
    void chooseDevice(int row)
    {
        QListWidget* list = W->deviceList;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    void clickNode(QTreeWidgetItem* node)
    {
        QTreeWidget* tree = W->deviceTree;
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    }
    QTreeWidgetItem* child(QTreeWidgetItem* parent, const QString& text) const
    {
        for (int i = 0; i < parent->childCount(); ++i)
            if (parent->child(i)->text(0) == text)
                return parent->child(i);
        ADD_FAILURE() << "no node " << text.toStdString() << " under " << parent->text(0).toStdString();
        return nullptr;
    }
    QStringList Column(const StringGrid& grid, int col) const
    {
        QStringList cells;
        for (int r = 1; r < grid.rowCount(); ++r)
            cells << grid.cell(col, r);
        return cells;
    }
};

} // namespace

TEST(AccessWindow, FirstImportMakesTheCatalogAndTheSameFileTwiceGivesTwoDevices)
{
    AccessRun run;
    run.Open();
    EXPECT_FALSE(QFileInfo::exists(run.Catalog()));
    EXPECT_EQ(run.W->tabs->currentWidget(), run.W->variablesPage);
    const QString file = run.sourceFile("A.icd", testScl("IED1"));
    run.Import(file);
    EXPECT_EQ(run.Fakes.fileDialog.lastFilter,
        "SCL Files (*.scd, *.ssd, *.sed, *.icd, *.iid, *.cid)|*.scd; *.ssd; *.sed; *.icd; *.iid; *.cid;|Any File (*.*)|*.*");
    EXPECT_TRUE(QFileInfo(run.Catalog()).isDir());
    EXPECT_EQ(readTestFile(run.Catalog() + "/A.icd"), testScl("IED1"));
    EXPECT_EQ(run.deviceTexts(), QStringList{"IED1"});
    EXPECT_TRUE(run.Fakes.messages.shown.empty());

    run.Import(file); // the question comes, Yes (the fake's default) copies again
    EXPECT_EQ(run.Fakes.messages.shown,
        (std::vector<FakeMessageService::Shown>{{"question", "File already exists in catalog directory. Do you want to overwrite file?"}}));
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED1", "IED1"}));
    EXPECT_EQ(run.W->access.devices[1]->fileName, "A.icd");

    // The engineer cancels the file dialog: nothing happens.
    run.Click("Btn_Add_IEC_Device");
    EXPECT_EQ(run.W->access.devices.size(), 2u);

    // OK writes both devices.
    run.Click("Btn_OK");
    EXPECT_FALSE(run.W->isVisible());
    EXPECT_EQ(run.W->result(), QDialog::Accepted);
    EXPECT_EQ(readTestFile(run.state.accessFile).count("FileName=\"A.icd\""), 2);
}

TEST(AccessWindow, OverwriteQuestionDecidesWhichCopyIsRead)
{
    struct Case {
        MessageService::Answer answer;
        QStringList devices;
        QByteArray catalog;
    };
    const Case cases[] = {
        {MessageService::Answer::Yes, {"NEW"}, testScl("NEW")},
        {MessageService::Answer::No, {"OLD"}, testScl("OLD")},
        {MessageService::Answer::Cancel, {}, testScl("OLD")},
    };
    for (const auto& c : cases) {
        AccessRun run;
        QDir().mkpath(run.Catalog());
        writeTestFile(run.Catalog() + "/A.icd", testScl("OLD"));
        run.Open();
        run.Fakes.messages.Answers = {c.answer};
        run.Import(run.sourceFile("A.icd", testScl("NEW")));
        EXPECT_EQ(run.Fakes.messages.texts("question").size(), 1);
        EXPECT_EQ(run.deviceTexts(), c.devices) << int(c.answer);
        EXPECT_EQ(readTestFile(run.Catalog() + "/A.icd"), c.catalog) << int(c.answer);
        EXPECT_EQ(run.Fakes.messages.shown.size(), 1u);
    }
}

TEST(AccessWindow, FailedImportIsReportedAndAddsNothing)
{
    AccessRun run;
    run.Open();
    run.Import(run.Source + "/missing.icd");
    run.Import(run.sourceFile("broken.icd", "<SCL>\n<IED name=\"x\">\n</SCL>"));
    const QStringList errors = run.Fakes.messages.texts("error");
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains("missing.icd")) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains("broken.icd") && errors[1].contains("line 3")) << errors[1].toStdString();
    EXPECT_TRUE(run.deviceTexts().isEmpty());
    EXPECT_TRUE(run.W->access.devices.empty());
    EXPECT_TRUE(QFile::exists(run.Catalog() + "/broken.icd"));
}

TEST(AccessWindow, RemovingTheFirstOfThreeRenumbersAndADeviceInUseStays)
{
    AccessRun run;
    QDir().mkpath(run.Catalog());
    for (const char* n : {"A", "B", "C"})
        writeTestFile(run.Catalog() + "/" + n + ".icd", testScl(QStringLiteral("IED_") + n));
    writeTestFile(run.state.accessFile,
        R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED_A" FileName="A.icd"/><ICD_File Name="IED_B" FileName="B.icd"/><ICD_File Name="IED_C" FileName="C.icd"/></List_ICD_Files><List_DA_Selected>)"
        R"(<DA_Item Index="2" bType="Quality" fc="MX" Reference="IED_CLD0/MMXU1.TotW.q" StartByte="" NumByte="" IPAddress="" Port="" OnChange="N" OnCMD="N" OnTimer="N" Time="" Position="" StartBit="" ReadWrite="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(<DA_Item Index="1" bType="Quality" fc="MX" Reference="IED_BLD0/MMXU1.TotW.q" StartByte="" NumByte="" IPAddress="" Port="" OnChange="N" OnCMD="N" OnTimer="N" Time="" Position="" StartBit="" ReadWrite="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(</List_DA_Selected><List_DataSet_Selected><DataSet_Item Index="2" Reference="IED_CLD0/LLN0.DS1" GooseName="GC1" EnGoose="Y" IPAddress="" Port="" Time="" Mnemonic=""><DataSet_List_DAs/></DataSet_Item></List_DataSet_Selected></IEC_68850_Client>)");
    run.Open();
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED_A", "IED_B", "IED_C"}));
    EXPECT_EQ(run.W->deviceList->currentRow(), -1);

    run.chooseDevice(0);
    ASSERT_EQ(run.W->deviceTree->topLevelItemCount(), 1);
    run.Click("Btn_Remove_IEC_Device");
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED_B", "IED_C"}));
    EXPECT_EQ(run.Column(run.W->access.variableGrid, VariableColumn::Index), QStringList({"1", "0"}));
    EXPECT_EQ(run.Column(run.W->access.dataSetGrid, DataSetColumn::Index), QStringList({"1"}));
    EXPECT_EQ(run.W->variableGrid->model()->index(0, VariableColumn::Index).data().toString(), "1");
    // The removed device's tree went with it; nothing is current.
    EXPECT_EQ(run.W->deviceTree->topLevelItemCount(), 0);
    EXPECT_EQ(run.W->deviceList->currentRow(), -1);
    EXPECT_EQ(run.W->currentDevice(), -1);
    EXPECT_TRUE(QFile::exists(run.Catalog() + "/A.icd"));

    // IED_B (now 0) is in use: it stays, and so does its tree.
    run.chooseDevice(0);
    run.Click("Btn_Remove_IEC_Device");
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED_B", "IED_C"}));
    EXPECT_EQ(run.W->deviceTree->topLevelItemCount(), 1);
    EXPECT_EQ(run.W->deviceList->currentRow(), 0);
    EXPECT_TRUE(run.Fakes.messages.shown.empty());

    // Nothing selected in the list: nothing removed.
    run.W->deviceList->setCurrentRow(-1);
    run.Click("Btn_Remove_IEC_Device");
    EXPECT_EQ(run.W->access.devices.size(), 2u);
}

TEST(AccessWindow, TreeShowsKindsInOrderAndSelectsOnlyLeavesAndDataSets)
{
    AccessRun run;
    run.Open();
    run.Import(run.sourceFile("A.icd", testScl("IED1")));
    run.chooseDevice(0);
    QTreeWidget* tree = run.W->deviceTree;
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(static_cast<DeviceTreeItem*>(root)->object(), run.W->access.devices[0].get());
    QTreeWidgetItem* ld = run.child(root, "LD0");
    QTreeWidgetItem* lln0 = run.child(ld, "LLN0");
    QTreeWidgetItem* mmxu = run.child(ld, "MMXU1");
    ASSERT_TRUE(ld && lln0 && mmxu);
    for (QTreeWidgetItem* open : {root, ld, lln0, mmxu})
        EXPECT_TRUE(open->isExpanded()) << open->text(0).toStdString();

    // The data set follows the data objects, in green; data objects are blue, the rest black.
    ASSERT_EQ(lln0->childCount(), 2);
    EXPECT_EQ(lln0->child(0)->text(0), "Beh");
    EXPECT_EQ(lln0->child(1)->text(0), "DS1");
    EXPECT_EQ(lln0->child(1)->childCount(), 0);
    QTreeWidgetItem* totW = run.child(mmxu, "TotW");
    QTreeWidgetItem* mag = run.child(totW, "mag");
    QTreeWidgetItem* f = run.child(mag, "f");
    EXPECT_FALSE(totW->isExpanded());
    EXPECT_FALSE(mag->isExpanded());
    const auto colour = [](QTreeWidgetItem* node) { return node->data(0, Qt::ForegroundRole).value<QColor>(); };
    EXPECT_EQ(colour(lln0->child(1)), QColor(0, 128, 0));
    EXPECT_EQ(colour(totW), QColor(0, 0, 255));
    for (QTreeWidgetItem* black : {root, ld, mmxu, mag, f})
        EXPECT_EQ(colour(black), QColor(0, 0, 0)) << black->text(0).toStdString();
    // One image per kind, the same one for every node of a kind.
    QTreeWidgetItem* const kinds[] = {root, ld, mmxu, totW, mag, lln0->child(1)};
    QSet<qint64> images;
    for (QTreeWidgetItem* node : kinds) {
        const QIcon icon = node->icon(0);
        EXPECT_FALSE(icon.isNull());
        images << icon.pixmap(16).cacheKey();
    }
    EXPECT_EQ(images.size(), 6);
    EXPECT_EQ(f->icon(0).pixmap(16).cacheKey(), mag->icon(0).pixmap(16).cacheKey());

    totW->setExpanded(true);
    mag->setExpanded(true);
    run.clickNode(mag);
    EXPECT_EQ(tree->currentItem(), mag);
    EXPECT_FALSE(run.W->selectedAttribute);
    EXPECT_FALSE(run.W->selectedDataSet);

    run.clickNode(f);
    ASSERT_TRUE(run.W->selectedAttribute);
    EXPECT_EQ(run.W->selectedAttribute->reference, "IED1LD0/MMXU1.TotW.mag.f");
    EXPECT_EQ(static_cast<DeviceTreeItem*>(f)->object(), run.W->selectedAttribute);

    run.clickNode(lln0->child(1));
    EXPECT_FALSE(run.W->selectedAttribute);
    ASSERT_TRUE(run.W->selectedDataSet);
    EXPECT_EQ(run.W->selectedDataSet->reference, "IED1LD0/LLN0.DS1");

    run.clickNode(totW);
    EXPECT_FALSE(run.W->selectedAttribute);
    EXPECT_FALSE(run.W->selectedDataSet);
}

TEST(AccessWindow, ImportKeepsTheShownDeviceSelected)
{
    AccessRun run;
    run.Open();
    run.Import(run.sourceFile("A.icd", testScl("IED1")));
    EXPECT_EQ(run.W->deviceList->currentRow(), -1); // nothing shown yet, nothing selected
    EXPECT_EQ(run.W->deviceTree->topLevelItemCount(), 0);
    run.chooseDevice(0);
    run.Import(run.sourceFile("B.icd", testScl("IED2")));
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED1", "IED2"}));
    EXPECT_EQ(run.W->deviceList->currentRow(), 0);
    EXPECT_EQ(run.W->currentDevice(), 0);
    EXPECT_EQ(run.W->deviceTree->topLevelItem(0)->text(0), "IED1");
    run.chooseDevice(1);
    EXPECT_EQ(run.W->deviceTree->topLevelItem(0)->text(0), "IED2");
    EXPECT_EQ(run.W->currentDevice(), 1);
}

TEST(AccessWindow, LoadingTellsOnceWhatIsMissingAndCancelKeepsTheFile)
{
    AccessRun run;
    QDir().mkpath(run.Catalog());
    writeTestFile(run.Catalog() + "/A.icd", testScl("IED1", true)); // DS1 got a member in the middle
    const QByteArray stored =
        R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/><ICD_File Name="IEDX" FileName="X.icd"/><ICD_File Name="IEDY" FileName="Y.icd"/></List_ICD_Files><List_DA_Selected/>)"
        R"(<List_DataSet_Selected><DataSet_Item Index="0" Reference="IED1LD0/LLN0.DS1" GooseName="GC1" EnGoose="Y" IPAddress="" Port="" Time="" Mnemonic=""><DataSet_List_DAs>)"
        R"(<DataSet_DA_Item bType="Quality" Reference="IED1LD0/MMXU1.TotW.q" Position="1" StartBit="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(<DataSet_DA_Item bType="Quality" Reference="IED1LD0/XCBR1.Pos.q" Position="2" StartBit="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(</DataSet_List_DAs></DataSet_Item></List_DataSet_Selected></IEC_68850_Client>)";
    writeTestFile(run.state.accessFile, stored);
    run.Open();
    const QStringList warnings = run.Fakes.messages.texts("warning");
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].contains("X.icd") && warnings[0].contains("Y.icd")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[1].contains("IED1LD0/XCBR1.Pos.q")) << warnings[1].toStdString();
    EXPECT_TRUE(run.Fakes.messages.texts("error").isEmpty());
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED1", "IEDX [file missing: X.icd]", "IEDY [file missing: Y.icd]"}));
    run.Click("Btn_Cancel");
    EXPECT_EQ(run.W->result(), QDialog::Rejected);
    EXPECT_EQ(readTestFile(run.state.accessFile), stored);

    // Shown again: the same warnings once more, and OK saves what was kept.
    run.Fakes.messages.shown.clear();
    run.Open();
    EXPECT_EQ(run.Fakes.messages.texts("warning").size(), 2);
    run.Click("Btn_OK");
    const QByteArray saved = readTestFile(run.state.accessFile);
    EXPECT_TRUE(saved.contains(R"(<ICD_File Name="IEDX" FileName="X.icd"/>)")) << saved.constData();
    EXPECT_EQ(saved.count("<DataSet_DA_Item "), 1);
}

TEST(AccessWindow, BadAccessFileShowsOneErrorAndIsNotTouchedUntilOk)
{
    AccessRun run;
    QDir().mkpath(run.Catalog());
    writeTestFile(run.Catalog() + "/A.icd", testScl("IED1"));
    const QByteArray bad = R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/></List_ICD_Files><List_DA_Selected>)"
                           R"(<DA_Item Index="0" bType="Quality"/></List_DA_Selected></IEC_68850_Client>)";
    writeTestFile(run.state.accessFile, bad);
    run.Open();
    const QStringList errors = run.Fakes.messages.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("IEC_61850_Client.xml") && errors[0].contains("DA_Item 1") && errors[0].contains("fc")) << errors[0].toStdString();
    EXPECT_TRUE(run.W->isVisible());
    EXPECT_EQ(run.deviceTexts(), QStringList{"IED1"});
    run.Click("Btn_Cancel");
    EXPECT_EQ(readTestFile(run.state.accessFile), bad);

    writeTestFile(run.state.accessFile, "<IEC_68850_Client><List_ICD_Files>");
    run.Fakes.messages.shown.clear();
    run.Open();
    ASSERT_EQ(run.Fakes.messages.texts("error").size(), 1);
    EXPECT_TRUE(run.Fakes.messages.texts("error")[0].contains("line 1"));
    EXPECT_TRUE(run.deviceTexts().isEmpty());
    run.Click("Btn_Cancel");
    EXPECT_EQ(readTestFile(run.state.accessFile), "<IEC_68850_Client><List_ICD_Files>");
}

TEST(AccessWindow, FailedSaveKeepsTheWindowOpen)
{
    AccessRun run;
    run.Open();
    QDir().mkpath(run.state.accessFile); // a folder where the file should go
    run.Click("Btn_OK");
    EXPECT_EQ(run.Fakes.messages.texts("error").size(), 1);
    EXPECT_TRUE(run.W->isVisible());
}

TEST(AccessWindow, TextsHeadingsAndHints)
{
    AccessRun run;
    run.Open();
    EXPECT_EQ(run.W->windowTitle(), "IEC61850 Client Set Access");
    EXPECT_EQ(run.W->findChild<QPushButton*>("Btn_Add_IEC_Device")->toolTip(), "Add a ICD file to the List");
    EXPECT_FALSE(run.W->moveUpButton->isVisible());
    EXPECT_EQ(run.W->moveDownButton->text(), "Move Down");
    QAbstractItemModel* da = run.W->variableGrid->model();
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "N", ""}, {4, "Reference", "Reference of DA"}, {5, "Start Byte", "Insert the Start Byte, only for VisString255 (0-254) or Octet64 (0-63)"},
        {6, "Num Byte", "Insert the Number of Bytes, only for VisString255 (1-255) or Octet64 (1-64)"},
        {7, "IP Address", "Insert the IP Address of IEC61850 Server"}, {18, "Mnemonic", "Description of the IEC61850 Request"}};
    for (const auto& [col, heading, hint] : cases) {
        EXPECT_EQ(da->headerData(col, Qt::Horizontal).toString(), heading);
        EXPECT_EQ(da->headerData(col, Qt::Horizontal, Qt::ToolTipRole).toString(), hint);
    }
    EXPECT_EQ(run.W->dataSetGrid->model()->headerData(4, Qt::Horizontal).toString(), "En. Goose");
    EXPECT_EQ(run.W->memberGrid->model()->headerData(6, Qt::Horizontal).toString(), "Mult Fact");
    EXPECT_EQ(run.W->tabs->tabText(1), "DataSet");

    run.texts.set(1258, "Startbyte");
    run.W->retranslate();
    EXPECT_EQ(da->headerData(5, Qt::Horizontal).toString(), "Startbyte");
}

TEST(AccessWindow, EnterJumpsAndHeadingDoubleClickFitsWithTheOptions)
{
    AccessRun run;
    run.Open();
    run.W->access.variableGrid.setRowCount(3);
    run.W->refreshGrids();
    GridView* grid = run.W->variableGrid;
    grid->setFocus();

    // Option off: Enter reaches the grid and neither moves nor presses OK.
    grid->setCurrent(VariableColumn::Count - 1, 2);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(std::pair(grid->currentColumn(), grid->currentRow()), std::pair(int(VariableColumn::Count - 1), 2));
    EXPECT_TRUE(run.W->isVisible());

    run.state.enableJumpFieldTables = true;
    QTest::keyClick(grid, Qt::Key_Return); // last cell: back to row 1, column 1
    EXPECT_EQ(std::pair(grid->currentColumn(), grid->currentRow()), std::pair(1, 1));
    grid->setCurrent(VariableColumn::IpAddress, 1);
    grid->edit(grid->currentIndex());
    QTest::keyClicks(QApplication::focusWidget(), "10.0.0.1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(run.W->access.variableGrid.cell(VariableColumn::IpAddress, 1), "10.0.0.1");
    EXPECT_EQ(std::pair(grid->currentColumn(), grid->currentRow()), std::pair(int(VariableColumn::Port), 1));
    EXPECT_TRUE(run.W->isVisible());

    // A double click on a heading fits the column only with its option on.
    QHeaderView* header = grid->horizontalHeader();
    const int col = VariableColumn::Reference;
    header->resizeSection(col, 30);
    const QPoint at(header->sectionViewportPosition(col) + 15, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(header->sectionSize(col), 30);
    run.state.doubleClickAutoSize = true;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
    EXPECT_GT(header->sectionSize(col), 30);

    // A click in the number column selects the whole row.
    const QRect n = grid->visualRect(grid->model()->index(1, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, n.center());
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(1, {}));
}

TEST(AccessWindow, StepThreeOfTheMainWindowOpensIt)
{
    QTemporaryDir dir;
    FakePlatform fakes;
    ProgramState state;
    TextTable texts;
    AppContext ctx{state, texts, fakes.services()};
    MainWindow main(ctx, dir.path());
    QDir().mkpath(joinPath(state.projectsFolder, "P1"));
    state.activateConfiguration("P1");
    main.show();
    QString title;
    onNextModal([&](QWidget* modal) {
        title = modal->windowTitle();
        QTest::mouseClick(modal->findChild<QPushButton*>("Btn_Cancel"), Qt::LeftButton);
    });
    QTest::mouseClick(main.findChild<QPushButton*>("Btn_IEC61850_Client"), Qt::LeftButton);
    EXPECT_EQ(title, "IEC61850 Client Set Access");
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_FALSE(QFile::exists(state.accessFile));
}

TEST(QtPlatform, PipeFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(qtNameFilter(sclFileFilter), "SCL Files (*.scd *.ssd *.sed *.icd *.iid *.cid);;Any File (*.*)");
    EXPECT_EQ(qtNameFilter("Text (*.txt)"), "Text (*.txt)");
}
