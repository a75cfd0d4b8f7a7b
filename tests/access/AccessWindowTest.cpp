#include "access/AccessRun.h"
#include "scl/SclTestData.h"
#include "base/TextNumbers.h"
#include "access/core/AccessFile.h"
#include "scl/gui/DeviceTree.h"
#include "platform/QtPlatform.h"
#include "app/MainWindow.h"
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QTreeWidgetItem* childNode(QTreeWidgetItem* parent, const QString& text)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    ADD_FAILURE() << "no node " << text.toStdString() << " under " << parent->text(0).toStdString();
    return nullptr;
}

} // namespace

TEST(AccessWindow, FirstImportMakesTheCatalogAndTheSameIedTwiceKeepsOneLine)
{
    AccessRun run;
    run.openActive();
    EXPECT_FALSE(QFileInfo::exists(run.catalog()));
    EXPECT_EQ(run.currentPage(), "TS_Variables");
    const QString file = run.sourceFile("A.icd", testScl("IED1"));
    run.importFile(file);
    EXPECT_EQ(run.fakes.fileDialog.lastFilter,
        "SCL Files (*.scd, *.ssd, *.sed, *.icd, *.iid, *.cid, *.scl)|*.scd; *.ssd; *.sed; *.icd; *.iid; *.cid; *.scl;|Any File "
        "(*.*)|*.*");
    EXPECT_TRUE(QFileInfo(run.catalog()).isDir());
    EXPECT_EQ(readTestFile(run.catalog() + "/A.icd"), testScl("IED1"));
    EXPECT_EQ(run.deviceTexts(), QStringList{"IED1 - A.icd"});
    EXPECT_TRUE(run.fakes.messages.shown.empty());

    // The same IED of the same file again: the question comes, Yes (the fake's default) copies
    // again, and the list keeps one line for it, as the message says.
    run.importFile(file);
    EXPECT_EQ(run.fakes.messages.shown,
        (std::vector<FakeMessageService::Shown>{
            {"question", "File already exists in catalog directory. Do you want to overwrite file?"},
            {"error",
                "The copy in the catalog was replaced and is read when this window opens again; this IED of this "
                "file is already in the list: IED1 - A.icd"}}));
    EXPECT_EQ(run.deviceTexts(), QStringList{"IED1 - A.icd"});

    // The engineer cancels the file dialog: nothing happens.
    run.click("Btn_Add_IEC_Device");
    EXPECT_EQ(run.deviceTexts().size(), 1);

    // OK writes the device once.
    run.click("Btn_OK");
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_EQ(run.window->result(), QDialog::Accepted);
    const QByteArray saved = readTestFile(run.paths().accessFile());
    EXPECT_TRUE(saved.contains(R"(<List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/></List_ICD_Files>)"))
        << saved.constData();
}

TEST(AccessWindow, OverwriteQuestionDecidesWhichCopyIsRead)
{
    struct Case {
        MessageService::Answer answer;
        QStringList devices;
        QByteArray catalog;
    };
    const Case cases[] = {
        {MessageService::Answer::Yes, {"NEW - A.icd"}, testScl("NEW")},
        {MessageService::Answer::No, {"OLD - A.icd"}, testScl("OLD")},
        {MessageService::Answer::Cancel, {}, testScl("OLD")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.answer));
        AccessRun run;
        QDir().mkpath(run.catalog());
        writeTestFile(run.catalog() + "/A.icd", testScl("OLD"));
        run.openActive();
        run.fakes.messages.Answers = {c.answer};
        run.importFile(run.sourceFile("A.icd", testScl("NEW")));
        EXPECT_EQ(run.fakes.messages.texts("question").size(), 1);
        EXPECT_EQ(run.deviceTexts(), c.devices);
        EXPECT_EQ(readTestFile(run.catalog() + "/A.icd"), c.catalog);
        EXPECT_EQ(run.fakes.messages.shown.size(), 1u);
    }
}

TEST(AccessWindow, FailedImportIsReportedAndAddsNothing)
{
    AccessRun run;
    run.openActive();
    run.importFile(run.path("source/missing.icd"));
    run.importFile(run.sourceFile("broken.icd", "<SCL>\n<IED name=\"x\">\n</SCL>"));
    const QStringList errors = run.fakes.messages.texts("error");
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains("missing.icd")) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains("broken.icd") && errors[1].contains("line 3")) << errors[1].toStdString();
    EXPECT_TRUE(run.deviceTexts().isEmpty());
    EXPECT_EQ(run.deviceList()->count(), 0);
    EXPECT_FALSE(QFile::exists(run.catalog() + "/broken.icd"));
}

TEST(AccessWindow, ImportOverACopyRefusesAFileWithoutIedAndKeepsTheCopy)
{
    AccessRun run;
    QDir().mkpath(run.catalog());
    writeTestFile(run.catalog() + "/A.icd", testScl("OLD"));
    run.openActive();
    run.fakes.messages.Answers = {MessageService::Answer::Yes};
    const QString file = run.sourceFile("A.icd", "<SCL><DataTypeTemplates/></SCL>");
    run.importFile(file);
    EXPECT_EQ(run.fakes.messages.texts("error"),
        QStringList{"Error!!! The file holds no IED and was not imported: " + QDir::toNativeSeparators(file)});
    EXPECT_EQ(run.deviceList()->count(), 0) << "no blank line in the device list";
    EXPECT_EQ(readTestFile(run.catalog() + "/A.icd"), testScl("OLD"));
}

TEST(AccessWindow, RemovingTheFirstOfThreeRenumbersAndADeviceInUseStays)
{
    AccessRun run;
    QDir().mkpath(run.catalog());
    for (const char* n : {"A", "B", "C"})
        writeTestFile(run.catalog() + "/" + n + ".icd", testScl(QStringLiteral("IED_") + n));
    writeTestFile(run.paths().accessFile(),
        R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED_A" FileName="A.icd"/><ICD_File Name="IED_B" FileName="B.icd"/><ICD_File Name="IED_C" FileName="C.icd"/></List_ICD_Files><List_DA_Selected>)"
        R"(<DA_Item Index="2" bType="Quality" fc="MX" Reference="IED_CLD0/MMXU1.TotW.q" StartByte="" NumByte="" IPAddress="" Port="" OnChange="N" OnCMD="N" OnTimer="N" Time="" Position="" StartBit="" ReadWrite="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(<DA_Item Index="1" bType="Quality" fc="MX" Reference="IED_BLD0/MMXU1.TotW.q" StartByte="" NumByte="" IPAddress="" Port="" OnChange="N" OnCMD="N" OnTimer="N" Time="" Position="" StartBit="" ReadWrite="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(</List_DA_Selected><List_DataSet_Selected><DataSet_Item Index="2" Reference="IED_CLD0/LLN0.DS1" GooseName="GC1" EnGoose="Y" IPAddress="" Port="" Time="" Mnemonic=""><DataSet_List_DAs/></DataSet_Item></List_DataSet_Selected></IEC_68850_Client>)");
    run.openActive();
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED_A - A.icd", "IED_B - B.icd", "IED_C - C.icd"}));
    EXPECT_EQ(run.deviceList()->currentRow(), -1);

    run.chooseDevice(0);
    ASSERT_EQ(run.deviceTree()->topLevelItemCount(), 1);
    run.click("Btn_Remove_IEC_Device");
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED_B - B.icd", "IED_C - C.icd"}));
    EXPECT_EQ(column(run.cells("ACG_DA"), VariableColumn::Index), QStringList({"1", "0"}));
    EXPECT_EQ(column(run.cells("ACG_DataSet"), DataSetColumn::Index), QStringList({"1"}));
    EXPECT_EQ(run.grid("ACG_DA")->model()->index(0, VariableColumn::Index).data().toString(), "1");
    // The removed device's tree went with it; nothing is current.
    EXPECT_EQ(run.deviceTree()->topLevelItemCount(), 0);
    EXPECT_EQ(run.deviceList()->currentRow(), -1);
    EXPECT_EQ(run.deviceList()->currentItem(), nullptr);
    EXPECT_TRUE(QFile::exists(run.catalog() + "/A.icd"));

    // IED_B (now 0) is in use: it stays, and so does its tree; the engineer hears which rows use it.
    run.chooseDevice(0);
    run.click("Btn_Remove_IEC_Device");
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED_B - B.icd", "IED_C - C.icd"}));
    EXPECT_EQ(run.deviceTree()->topLevelItemCount(), 1);
    EXPECT_EQ(run.deviceList()->currentRow(), 0);
    EXPECT_EQ(run.fakes.messages.texts("warning"), QStringList{"The device cannot be removed: these rows use it. Variables: 2"});

    // Nothing selected in the list: nothing removed.
    run.deviceList()->setCurrentRow(-1);
    run.click("Btn_Remove_IEC_Device");
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED_B - B.icd", "IED_C - C.icd"}));
    EXPECT_EQ(run.fakes.messages.shown.size(), 1u);
}

TEST(AccessWindow, TreeShowsKindsInOrderAndSelectsOnlyLeavesAndDataSets)
{
    AccessRun run;
    run.openActive();
    run.importFile(run.sourceFile("A.icd", testScl("IED1")));
    run.chooseDevice(0);
    QTreeWidget* tree = run.deviceTree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), "IED1");
    EXPECT_EQ(root->text(0) + " - A.icd", run.deviceList()->currentItem()->text());
    QTreeWidgetItem* ld = childNode(root, "LD0");
    QTreeWidgetItem* lln0 = childNode(ld, "LLN0");
    QTreeWidgetItem* mmxu = childNode(ld, "MMXU1");
    ASSERT_TRUE(ld && lln0 && mmxu);
    for (QTreeWidgetItem* open : {root, ld, lln0, mmxu})
        EXPECT_TRUE(open->isExpanded()) << open->text(0).toStdString();

    // The data set follows the data objects, in green; data objects are blue, the rest black.
    ASSERT_EQ(lln0->childCount(), 2);
    EXPECT_EQ(lln0->child(0)->text(0), "Beh");
    EXPECT_EQ(lln0->child(1)->text(0), "DS1");
    EXPECT_EQ(lln0->child(1)->childCount(), 0);
    QTreeWidgetItem* totW = childNode(mmxu, "TotW");
    QTreeWidgetItem* mag = childNode(totW, "mag");
    QTreeWidgetItem* f = childNode(mag, "f");
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
    AccessRun::Added added = run.addSelection();
    EXPECT_TRUE(added.variables.isEmpty());
    EXPECT_TRUE(added.dataSets.isEmpty());

    run.clickNode(f);
    added = run.addSelection();
    ASSERT_EQ(added.variables.size(), 1);
    EXPECT_EQ(added.variables[0], "IED1LD0/MMXU1.TotW.mag.f");
    EXPECT_EQ(tree->currentItem(), f);

    run.clickNode(lln0->child(1));
    added = run.addSelection();
    EXPECT_TRUE(added.variables.isEmpty());
    ASSERT_EQ(added.dataSets.size(), 1);
    EXPECT_EQ(added.dataSets[0], "IED1LD0/LLN0.DS1");

    run.clickNode(totW);
    added = run.addSelection();
    EXPECT_TRUE(added.variables.isEmpty());
    EXPECT_TRUE(added.dataSets.isEmpty());
}

TEST(AccessWindow, ImportKeepsTheShownDeviceSelected)
{
    AccessRun run;
    run.openActive();
    run.importFile(run.sourceFile("A.icd", testScl("IED1")));
    EXPECT_EQ(run.deviceList()->currentRow(), -1); // nothing shown yet, nothing selected
    EXPECT_EQ(run.deviceTree()->topLevelItemCount(), 0);
    run.chooseDevice(0);
    run.importFile(run.sourceFile("B.icd", testScl("IED2")));
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED1 - A.icd", "IED2 - B.icd"}));
    EXPECT_EQ(run.deviceList()->currentRow(), 0);
    EXPECT_EQ(run.deviceList()->currentItem()->text(), run.deviceTree()->topLevelItem(0)->text(0) + " - A.icd");
    EXPECT_EQ(run.deviceTree()->topLevelItem(0)->text(0), "IED1");
    run.chooseDevice(1);
    EXPECT_EQ(run.deviceTree()->topLevelItem(0)->text(0), "IED2");
    EXPECT_EQ(run.deviceList()->currentRow(), 1);
}

TEST(AccessWindow, LoadingTellsOnceWhatIsMissingAndCancelKeepsTheFile)
{
    AccessRun run;
    QDir().mkpath(run.catalog());
    writeTestFile(run.catalog() + "/A.icd", testScl("IED1", true)); // DS1 got a member in the middle
    const QByteArray stored
        = R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/><ICD_File Name="IEDX" FileName="X.icd"/><ICD_File Name="IEDY" FileName="Y.icd"/></List_ICD_Files><List_DA_Selected/>)"
          R"(<List_DataSet_Selected><DataSet_Item Index="0" Reference="IED1LD0/LLN0.DS1" GooseName="GC1" EnGoose="Y" IPAddress="10.0.0.1" Port="102" Time="1000" Mnemonic=""><DataSet_List_DAs>)"
          R"(<DataSet_DA_Item bType="Quality" Reference="IED1LD0/MMXU1.TotW.q" Position="1" StartBit="" Convertion="" MoltFact="" Mnemonic=""/>)"
          R"(<DataSet_DA_Item bType="Quality" Reference="IED1LD0/XCBR1.Pos.q" Position="2" StartBit="" Convertion="" MoltFact="" Mnemonic=""/>)"
          R"(</DataSet_List_DAs></DataSet_Item></List_DataSet_Selected></IEC_68850_Client>)";
    writeTestFile(run.paths().accessFile(), stored);
    run.openActive();
    const QStringList warnings = run.fakes.messages.texts("warning");
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].contains("X.icd") && warnings[0].contains("Y.icd")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[1].contains("IED1LD0/XCBR1.Pos.q")) << warnings[1].toStdString();
    EXPECT_TRUE(run.fakes.messages.texts("error").isEmpty());
    EXPECT_EQ(run.deviceTexts(), QStringList({"IED1 - A.icd", "IEDX [file missing: X.icd]", "IEDY [file missing: Y.icd]"}));
    run.click("Btn_Cancel");
    EXPECT_EQ(run.window->result(), QDialog::Rejected);
    EXPECT_EQ(readTestFile(run.paths().accessFile()), stored);

    // Shown again: the same warnings once more, and OK refuses the data set whose members are
    // no longer the SCL file's, rather than making their loss permanent.
    run.fakes.messages.shown.clear();
    run.openActive();
    EXPECT_EQ(run.fakes.messages.texts("warning").size(), 2);
    run.click("Btn_OK");
    EXPECT_EQ(run.fakes.messages.texts("error"),
        QStringList{"Error DataSet row 1!! Member 2 must be Dbpos IED1LD0/XCBR1.Pos.stVal, as in the SCL file, not Quality "
                    "IED1LD0/XCBR1.Pos.q"});
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_EQ(readTestFile(run.paths().accessFile()), stored);

    // Removed and added again from the device, the data set is saved with its members.
    run.click("Btn_Cancel");
    run.fakes.messages.shown.clear();
    run.openActive();
    auto* tabs = run.find<QTabWidget>("PC_Access");
    tabs->setCurrentIndex(1);
    AccessRun::clickCell(run.grid("ACG_DataSet"), DataSetColumn::Mnemonic, 1);
    run.click("Btn_RemoveVar");
    run.chooseDevice(0);
    run.clickNode(run.node({"LD0", "LLN0", "DS1"}));
    run.click("Btn_AddVar");
    for (auto [col, text] :
        {std::pair{DataSetColumn::IpAddress, "10.0.0.1"}, {DataSetColumn::Port, "102"}, {DataSetColumn::Time, "1000"}})
        AccessRun::typeCell(run.grid("ACG_DataSet"), col, 1, QString::fromLatin1(text));
    for (int member = 1; member <= 3; ++member)
        AccessRun::typeCell(run.grid("ACG_DS_Vars"), MemberColumn::Position, member, QString::number(member));
    run.click("Btn_OK");
    EXPECT_TRUE(run.fakes.messages.texts("error").isEmpty()) << run.fakes.messages.texts("error").join('\n').toStdString();
    const QByteArray saved = readTestFile(run.paths().accessFile());
    EXPECT_TRUE(saved.contains(R"(<ICD_File Name="IEDX" FileName="X.icd"/>)")) << saved.constData();
    EXPECT_EQ(saved.count("<DataSet_DA_Item "), 3);
}

TEST(AccessWindow, BadAccessFileShowsOneErrorAndIsNotTouchedUntilOk)
{
    AccessRun run;
    QDir().mkpath(run.catalog());
    writeTestFile(run.catalog() + "/A.icd", testScl("IED1"));
    const QByteArray bad
        = R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/></List_ICD_Files><List_DA_Selected>)"
          R"(<DA_Item Index="0" bType="Quality"/></List_DA_Selected></IEC_68850_Client>)";
    writeTestFile(run.paths().accessFile(), bad);
    run.openActive();
    const QStringList errors = run.fakes.messages.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("IEC_61850_Client.xml") && errors[0].contains("item 1 of List_DA_Selected")
        && errors[0].contains("fc"))
        << errors[0].toStdString();
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_EQ(run.deviceTexts(), QStringList{"IED1 - A.icd"});
    run.click("Btn_Cancel");
    EXPECT_EQ(readTestFile(run.paths().accessFile()), bad);

    writeTestFile(run.paths().accessFile(), "<IEC_68850_Client><List_ICD_Files>");
    run.fakes.messages.shown.clear();
    run.openActive();
    ASSERT_EQ(run.fakes.messages.texts("error").size(), 1);
    EXPECT_TRUE(run.fakes.messages.texts("error")[0].contains("line 1"));
    EXPECT_TRUE(run.deviceTexts().isEmpty());
    run.click("Btn_Cancel");
    EXPECT_EQ(readTestFile(run.paths().accessFile()), "<IEC_68850_Client><List_ICD_Files>");
}

TEST(AccessWindow, LoadingMessagesAreShownInTheLanguageOfTheTable)
{
    AccessRun run;
    run.texts.set(Text::ErrorAccessItemAttribute, QStringLiteral("%4 manca: elemento %2 di %3 (%1)"));
    run.texts.set(Text::WarningMissingFiles, QStringLiteral("Mancano da %1:"));
    run.texts.set(Text::WarningMissingFilesEnd, QStringLiteral("Fine."));
    run.texts.set(Text::DeviceFileMissing, QStringLiteral("%1 [manca %2]"));
    writeTestFile(run.paths().accessFile(),
        R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IEDX" FileName="X.icd"/></List_ICD_Files>)"
        R"(<List_DA_Selected><DA_Item Index="0"/></List_DA_Selected></IEC_68850_Client>)");
    run.openActive();
    EXPECT_EQ(run.fakes.messages.texts("warning"), QStringList{"Mancano da ICD_Catalog:\nX.icd\nFine."});
    EXPECT_EQ(run.deviceTexts(), QStringList{"IEDX [manca X.icd]"});
    EXPECT_EQ(run.fakes.messages.texts("error"),
        QStringList{"bType manca: elemento 1 di List_DA_Selected (" + QDir::toNativeSeparators(run.paths().accessFile()) + ")"});
    run.click("Btn_Cancel");
}

TEST(AccessWindow, UnreadableAccessFileIsReplacedOnlyAfterAQuestionAndKeptAsBak)
{
    AccessRun run;
    const QByteArray broken = "<IEC_68850_Client><List_ICD_Files>";
    writeTestFile(run.paths().accessFile(), broken);
    run.openActive();
    ASSERT_EQ(run.fakes.messages.texts("error").size(), 1);

    // No: nothing written, the window stays for Cancel or another try.
    run.fakes.messages.Answers = {MessageService::Answer::No};
    run.click("Btn_OK");
    EXPECT_EQ(run.fakes.messages.texts("question").size(), 1);
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_EQ(readTestFile(run.paths().accessFile()), broken);
    EXPECT_FALSE(QFile::exists(run.paths().accessFile() + ".bak"));

    // Yes: the old file is kept beside the new one.
    run.fakes.messages.Answers = {MessageService::Answer::Yes};
    run.click("Btn_OK");
    EXPECT_EQ(run.window->result(), QDialog::Accepted);
    EXPECT_EQ(readTestFile(run.paths().accessFile() + ".bak"), broken);
    EXPECT_TRUE(readTestFile(run.paths().accessFile()).startsWith("<IEC_68850_Client><List_ICD_Files/>"));

    // A file that loads is saved without a question.
    run.fakes.messages.shown.clear();
    run.openActive();
    run.click("Btn_OK");
    EXPECT_TRUE(run.fakes.messages.texts("question").isEmpty());
}

TEST(AccessWindow, FailedSaveKeepsTheWindowOpen)
{
    AccessRun run;
    run.openActive();
    QDir().mkpath(run.paths().accessFile()); // a folder where the file should go
    run.click("Btn_OK");
    EXPECT_EQ(run.fakes.messages.texts("error").size(), 1);
    EXPECT_TRUE(run.window->isVisible());
}

TEST(AccessWindow, TextsHeadingsAndHints)
{
    AccessRun run;
    run.openActive();
    EXPECT_EQ(run.window->windowTitle(), "IEC61850 Client Set Access");
    EXPECT_EQ(run.find<QPushButton>("Btn_Add_IEC_Device")->toolTip(), "Add a ICD file to the List");
    EXPECT_FALSE(run.find<QPushButton>("Btn_MoveUp")->isVisible());
    EXPECT_EQ(run.find<QPushButton>("Btn_MoveDown")->text(), "Move Down");
    QAbstractItemModel* da = run.grid("ACG_DA")->model();
    const std::tuple<int, const char*, const char*> cases[] = {{0, "N", ""}, {4, "Reference", "Reference of DA"},
        {5, "Start Byte", "Insert the Start Byte, only for VisString255 (0-254) or Octet64 (0-63)"},
        {6, "Num Byte", "Insert the Number of Bytes, only for VisString255 (1-255) or Octet64 (1-64)"},
        {7, "IP Address", "Insert the IP Address of IEC61850 Server"}, {18, "Mnemonic", "Description of the IEC61850 Request"}};
    for (const auto& [col, heading, hint] : cases) {
        SCOPED_TRACE(col);
        EXPECT_EQ(da->headerData(col, Qt::Horizontal).toString(), heading);
        EXPECT_EQ(da->headerData(col, Qt::Horizontal, Qt::ToolTipRole).toString(), hint);
    }
    EXPECT_EQ(run.grid("ACG_DataSet")->model()->headerData(4, Qt::Horizontal).toString(), "En. Goose");
    EXPECT_EQ(run.grid("ACG_DS_Vars")->model()->headerData(6, Qt::Horizontal).toString(), "Mult Fact");
    EXPECT_EQ(run.find<QTabWidget>("PC_Access")->tabText(1), "DataSet");

    run.texts.set(1258, "Startbyte");
    run.window->retranslate();
    EXPECT_EQ(da->headerData(5, Qt::Horizontal).toString(), "Startbyte");
}

TEST(AccessWindow, EnterJumpsAndHeadingDoubleClickFitsWithTheOptions)
{
    AccessRun run;
    run.openActive();
    run.importFile(run.sourceFile("A.icd", testScl("IED1")));
    run.chooseDevice(0);
    run.clickNode({"LD0", "MMXU1", "TotW", "q"});
    run.click("Btn_AddVar");
    run.click("Btn_AddVar");
    GridView* grid = run.grid("ACG_DA");
    ASSERT_EQ(grid->model()->rowCount(), 2);
    grid->setFocus();

    // Option off: Enter reaches the grid and neither moves nor presses OK.
    grid->setCurrent(VariableColumn::Count - 1, 2);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(std::pair(grid->currentColumn(), grid->currentRow()), std::pair(int(VariableColumn::Count - 1), 2));
    EXPECT_TRUE(run.window->isVisible());

    run.state.enableJumpFieldTables = true;
    QTest::keyClick(grid, Qt::Key_Return); // last cell: back to row 1, column 1
    EXPECT_EQ(std::pair(grid->currentColumn(), grid->currentRow()), std::pair(1, 1));
    grid->setCurrent(VariableColumn::IpAddress, 1);
    grid->edit(grid->currentIndex());
    QTest::keyClicks(QApplication::focusWidget(), "10.0.0.1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(run.cells("ACG_DA").cell(VariableColumn::IpAddress, 1), "10.0.0.1");
    EXPECT_EQ(std::pair(grid->currentColumn(), grid->currentRow()), std::pair(int(VariableColumn::Port), 1));
    EXPECT_TRUE(run.window->isVisible());

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
    WindowFixture run;
    MainWindow main(run.context, run.programFolder);
    run.activateConfiguration("P1");
    main.show();
    QString title;
    onNextModal([&](QWidget* modal) {
        title = modal->windowTitle();
        click(modal, "Btn_Cancel");
    });
    click(&main, "Btn_IEC61850_Client");
    EXPECT_EQ(title, "IEC61850 Client Set Access");
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    EXPECT_FALSE(QFile::exists(run.paths().accessFile()));
}

// import-csv or a second instance saved the access list while the window was open: OK asks
// before replacing that file, No (the default) keeping it and the window open.
TEST(AccessWindow, OkAsksBeforeReplacingAnAccessFileChangedSinceItWasLoaded)
{
    AccessRun run;
    run.openActive();
    run.click("Btn_OK");
    const QByteArray ours = readTestFile(run.paths().accessFile());
    ASSERT_FALSE(ours.isEmpty());

    run.openActive();
    const QByteArray theirs = QByteArray(ours).replace("<List_DA_Selected/>", "<List_DA_Selected></List_DA_Selected>");
    ASSERT_NE(theirs, ours);
    writeTestFile(run.paths().accessFile(), theirs);
    run.fakes.messages.shown.clear();
    run.fakes.messages.Answers = {MessageService::Answer::No};
    run.click("Btn_OK");
    const QString question = QDir::toNativeSeparators(run.paths().accessFile())
        + " was changed by another program after this window loaded it. Replace it with what this window shows? No keeps "
          "the file and the window open.";
    EXPECT_EQ(run.fakes.messages.shown, (std::vector<FakeMessageService::Shown>{{"question", question, true}}));
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_EQ(readTestFile(run.paths().accessFile()), theirs);

    run.fakes.messages.Answers = {MessageService::Answer::Yes};
    run.click("Btn_OK");
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_EQ(readTestFile(run.paths().accessFile()), ours);

    // Unchanged since loading: no question.
    run.fakes.messages.shown.clear();
    run.openActive();
    run.click("Btn_OK");
    EXPECT_TRUE(run.fakes.messages.shown.empty());
}

// Opened while another program holds the configuration: the window says so, and neither OK nor
// Add IEC Device (which copies into the catalog) writes anything.
TEST(AccessWindow, ReadOnlyWindowSaysWhyAndWritesNothing)
{
    AccessRun run;
    run.window->setReadOnly(
        Result::failed(Text::ErrorConfigurationInUse, {"P1", "swquelmor-cli", "host7", "4242", "2024-05-06 07:08:09"}));
    run.openActive();
    EXPECT_TRUE(shownIn(run.window.get(), "L_Read_Only"));
    EXPECT_EQ(labelText(run.window.get(), "L_Read_Only"),
        "Read-only, nothing can be saved: The configuration P1 is in use by swquelmor-cli on host7 (process 4242) since "
        "2024-05-06 07:08:09.");
    for (const char* button : {"Btn_OK", "Btn_Add_IEC_Device"}) {
        EXPECT_FALSE(run.find<QPushButton>(button)->isEnabled()) << button;
        run.fakes.fileDialog.nextFiles.push_back(run.sourceFile("A.icd", testScl("IED1")));
        run.find<QPushButton>(button)->click();
        run.fakes.fileDialog.nextFiles.clear();
    }
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_FALSE(QFileInfo::exists(run.paths().accessFile()));
    EXPECT_FALSE(QFileInfo::exists(run.catalog()));
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    run.window->reject();

    run.window->setReadOnly(Result::success());
    run.openActive();
    EXPECT_FALSE(shownIn(run.window.get(), "L_Read_Only"));
    EXPECT_TRUE(run.find<QPushButton>("Btn_Add_IEC_Device")->isEnabled());
    run.click("Btn_OK");
    EXPECT_TRUE(QFileInfo::exists(run.paths().accessFile()));
}

TEST(QtPlatform, PipeFiltersBecomeQtNameFilters)
{
    // The patterns follow the description whole; each letter matches either case (Windows'
    // own dialog ignores case already).
#ifdef Q_OS_WIN
    EXPECT_EQ(qtNameFilter(sclFileFilter()),
        "SCL Files (*.scd, *.ssd, *.sed, *.icd, *.iid, *.cid, *.scl) (*.scd *.ssd *.sed *.icd *.iid *.cid *.scl);;"
        "Any File (*.*) (*.*)");
#else
    EXPECT_EQ(qtNameFilter(sclFileFilter()),
        "SCL Files (*.scd, *.ssd, *.sed, *.icd, *.iid, *.cid, *.scl) (*.[sS][cC][dD] *.[sS][sS][dD] *.[sS][eE][dD] "
        "*.[iI][cC][dD] *.[iI][iI][dD] *.[cC][iI][dD] *.[sS][cC][lL]);;Any File (*.*) (*.*)");
#endif
    const QRegularExpression scl(QRegularExpression::wildcardToRegularExpression("*.[sS][cC][lL]"));
    for (const char* name : {"a.scl", "B.SCL", "c.Scl"})
        EXPECT_TRUE(scl.match(name).hasMatch()) << name;
    EXPECT_FALSE(scl.match("d.xml").hasMatch());
    EXPECT_EQ(qtNameFilter("Text (*.txt)"), "Text (*.txt)");

    // A saved file's name typed without an extension gets the first pattern's.
    EXPECT_EQ(defaultSuffix(QStringLiteral("CSV Files (*.csv)|*.csv|Any File (*.*)|*.*")), "csv");
    EXPECT_EQ(defaultSuffix(sclFileFilter()), "scd");
    EXPECT_EQ(defaultSuffix(QStringLiteral("Any File (*.*)|*.*")), "");
    EXPECT_EQ(defaultSuffix(QStringLiteral("Text (*.txt)")), "");
}
