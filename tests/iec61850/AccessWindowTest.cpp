#include "AccessTestData.h"
#include "Access_File.h"
#include "Catalog.h"
#include "Device_Tree.h"
#include "Files.h"
#include "FakePlatform.h"
#include "Grid_View.h"
#include "QtPlatform.h"
#include "TFIEC_61850_Access.h"
#include "TFTessavoFirmWare.h"
#include "WindowTestSupport.h"
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// The access window of project P1 in a program folder of its own, with fake services.
struct TAccess_Run {
    QTemporaryDir Dir;
    TFake_Platform Fakes;
    TProgramState State;
    TText_Table Texts;
    TAppContext Ctx{State, Texts, Fakes.Services()};
    std::unique_ptr<TFIEC_61850_Access> W;
    QString Source; // where the engineer's SCL files come from

    TAccess_Run()
    {
        State.Set_Program_Folder(Dir.path());
        QDir().mkpath(Join_Path(State.Projects_Folder, "P1"));
        State.Activate_Project("P1");
        Source = Dir.filePath("source");
        QDir().mkpath(Source);
        W = std::make_unique<TFIEC_61850_Access>(Ctx);
    }
    QString Catalog() const { return Catalog_Folder(State.Project_Folder); }
    QString Source_File(const QString& name, const QByteArray& content)
    {
        Write_Test_File(Source + "/" + name, content);
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
        Fakes.File_Dialog.Next_Files.push_back(path);
        Click("Btn_Add_IEC_Device");
    }
    QStringList Device_Texts() const
    {
        QStringList texts;
        for (int i = 0; i < W->LB_IEC_Devices->count(); ++i)
            texts << W->LB_IEC_Devices->item(i)->text();
        return texts;
    }
    void Choose_Device(int row)
    {
        QListWidget* list = W->LB_IEC_Devices;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    void Click_Node(QTreeWidgetItem* node)
    {
        QTreeWidget* tree = W->TV_IEC_Device;
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    }
    QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& text) const
    {
        for (int i = 0; i < parent->childCount(); ++i)
            if (parent->child(i)->text(0) == text)
                return parent->child(i);
        ADD_FAILURE() << "no node " << text.toStdString() << " under " << parent->text(0).toStdString();
        return nullptr;
    }
    QStringList Column(const TGrid& grid, int col) const
    {
        QStringList cells;
        for (int r = 1; r < grid.Row_Count(); ++r)
            cells << grid.Cell(col, r);
        return cells;
    }
};

} // namespace

TEST(AccessWindow, FirstImportMakesTheCatalogAndTheSameFileTwiceGivesTwoDevices)
{
    TAccess_Run run;
    run.Open();
    EXPECT_FALSE(QFileInfo::exists(run.Catalog()));
    EXPECT_EQ(run.W->PC_Access->currentWidget(), run.W->TS_Variables);
    const QString file = run.Source_File("A.icd", Test_SCL("IED1"));
    run.Import(file);
    EXPECT_EQ(run.Fakes.File_Dialog.Last_Filter,
        "SCL Files (*.scd, *.ssd, *.sed, *.icd, *.iid, *.cid)|*.scd; *.ssd; *.sed; *.icd; *.iid; *.cid;|Any File (*.*)|*.*");
    EXPECT_TRUE(QFileInfo(run.Catalog()).isDir());
    EXPECT_EQ(Read_Test_File(run.Catalog() + "/A.icd"), Test_SCL("IED1"));
    EXPECT_EQ(run.Device_Texts(), QStringList{"IED1"});
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty());

    run.Import(file); // the question comes, Yes (the fake's default) copies again
    EXPECT_EQ(run.Fakes.Messages.Shown,
        (std::vector<TFake_Messages::TShown>{{"question", "File already exists in catalog directory. Do you want to overwrite file?"}}));
    EXPECT_EQ(run.Device_Texts(), QStringList({"IED1", "IED1"}));
    EXPECT_EQ(run.W->Access.List_IEC_Dev[1]->FileName, "A.icd");

    // The engineer cancels the file dialog: nothing happens.
    run.Click("Btn_Add_IEC_Device");
    EXPECT_EQ(run.W->Access.List_IEC_Dev.size(), 2u);

    // OK writes both devices.
    run.Click("Btn_OK");
    EXPECT_FALSE(run.W->isVisible());
    EXPECT_EQ(run.W->result(), QDialog::Accepted);
    EXPECT_EQ(Read_Test_File(run.State.IEC_Client_File).count("FileName=\"A.icd\""), 2);
}

TEST(AccessWindow, OverwriteQuestionDecidesWhichCopyIsRead)
{
    struct TCase {
        IMessages::TAnswer answer;
        QStringList devices;
        QByteArray catalog;
    };
    const TCase cases[] = {
        {IMessages::TAnswer::Yes, {"NEW"}, Test_SCL("NEW")},
        {IMessages::TAnswer::No, {"OLD"}, Test_SCL("OLD")},
        {IMessages::TAnswer::Cancel, {}, Test_SCL("OLD")},
    };
    for (const auto& c : cases) {
        TAccess_Run run;
        QDir().mkpath(run.Catalog());
        Write_Test_File(run.Catalog() + "/A.icd", Test_SCL("OLD"));
        run.Open();
        run.Fakes.Messages.Answers = {c.answer};
        run.Import(run.Source_File("A.icd", Test_SCL("NEW")));
        EXPECT_EQ(run.Fakes.Messages.Texts("question").size(), 1);
        EXPECT_EQ(run.Device_Texts(), c.devices) << int(c.answer);
        EXPECT_EQ(Read_Test_File(run.Catalog() + "/A.icd"), c.catalog) << int(c.answer);
        EXPECT_EQ(run.Fakes.Messages.Shown.size(), 1u);
    }
}

TEST(AccessWindow, FailedImportIsReportedAndAddsNothing)
{
    TAccess_Run run;
    run.Open();
    run.Import(run.Source + "/missing.icd");
    run.Import(run.Source_File("broken.icd", "<SCL>\n<IED name=\"x\">\n</SCL>"));
    const QStringList errors = run.Fakes.Messages.Texts("error");
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains("missing.icd")) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains("broken.icd") && errors[1].contains("line 3")) << errors[1].toStdString();
    EXPECT_TRUE(run.Device_Texts().isEmpty());
    EXPECT_TRUE(run.W->Access.List_IEC_Dev.empty());
    EXPECT_TRUE(QFile::exists(run.Catalog() + "/broken.icd"));
}

TEST(AccessWindow, RemovingTheFirstOfThreeRenumbersAndADeviceInUseStays)
{
    TAccess_Run run;
    QDir().mkpath(run.Catalog());
    for (const char* n : {"A", "B", "C"})
        Write_Test_File(run.Catalog() + "/" + n + ".icd", Test_SCL(QStringLiteral("IED_") + n));
    Write_Test_File(run.State.IEC_Client_File,
        R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED_A" FileName="A.icd"/><ICD_File Name="IED_B" FileName="B.icd"/><ICD_File Name="IED_C" FileName="C.icd"/></List_ICD_Files><List_DA_Selected>)"
        R"(<DA_Item Index="2" bType="Quality" fc="MX" Reference="IED_CLD0/MMXU1.TotW.q" StartByte="" NumByte="" IPAddress="" Port="" OnChange="N" OnCMD="N" OnTimer="N" Time="" Position="" StartBit="" ReadWrite="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(<DA_Item Index="1" bType="Quality" fc="MX" Reference="IED_BLD0/MMXU1.TotW.q" StartByte="" NumByte="" IPAddress="" Port="" OnChange="N" OnCMD="N" OnTimer="N" Time="" Position="" StartBit="" ReadWrite="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(</List_DA_Selected><List_DataSet_Selected><DataSet_Item Index="2" Reference="IED_CLD0/LLN0.DS1" GooseName="GC1" EnGoose="Y" IPAddress="" Port="" Time="" Mnemonic=""><DataSet_List_DAs/></DataSet_Item></List_DataSet_Selected></IEC_68850_Client>)");
    run.Open();
    EXPECT_EQ(run.Device_Texts(), QStringList({"IED_A", "IED_B", "IED_C"}));
    EXPECT_EQ(run.W->LB_IEC_Devices->currentRow(), -1);

    run.Choose_Device(0);
    ASSERT_TRUE(run.W->NODE_ORIG);
    run.Click("Btn_Remove_IEC_Device");
    EXPECT_EQ(run.Device_Texts(), QStringList({"IED_B", "IED_C"}));
    EXPECT_EQ(run.Column(run.W->Access.ACG_DA, Var_Col::Index), QStringList({"1", "0"}));
    EXPECT_EQ(run.Column(run.W->Access.ACG_DataSet, DS_Col::Index), QStringList({"1"}));
    EXPECT_EQ(run.W->ACG_DA->model()->index(0, Var_Col::Index).data().toString(), "1");
    // The removed device's tree went with it; nothing is current.
    EXPECT_EQ(run.W->TV_IEC_Device->topLevelItemCount(), 0);
    EXPECT_EQ(run.W->LB_IEC_Devices->currentRow(), -1);
    EXPECT_EQ(run.W->Current_Device(), -1);
    EXPECT_TRUE(QFile::exists(run.Catalog() + "/A.icd"));

    // IED_B (now 0) is in use: it stays, and so does its tree.
    run.Choose_Device(0);
    run.Click("Btn_Remove_IEC_Device");
    EXPECT_EQ(run.Device_Texts(), QStringList({"IED_B", "IED_C"}));
    EXPECT_EQ(run.W->TV_IEC_Device->topLevelItemCount(), 1);
    EXPECT_EQ(run.W->LB_IEC_Devices->currentRow(), 0);
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty());

    // Nothing selected in the list: nothing removed.
    run.W->LB_IEC_Devices->setCurrentRow(-1);
    run.Click("Btn_Remove_IEC_Device");
    EXPECT_EQ(run.W->Access.List_IEC_Dev.size(), 2u);
}

TEST(AccessWindow, TreeShowsKindsInOrderAndSelectsOnlyLeavesAndDataSets)
{
    TAccess_Run run;
    run.Open();
    run.Import(run.Source_File("A.icd", Test_SCL("IED1")));
    run.Choose_Device(0);
    QTreeWidget* tree = run.W->TV_IEC_Device;
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(run.W->NODE_ORIG, root);
    EXPECT_EQ(run.W->Access.List_IEC_Dev[0]->TreeNode, root);
    QTreeWidgetItem* ld = run.Child(root, "LD0");
    QTreeWidgetItem* lln0 = run.Child(ld, "LLN0");
    QTreeWidgetItem* mmxu = run.Child(ld, "MMXU1");
    ASSERT_TRUE(ld && lln0 && mmxu);
    for (QTreeWidgetItem* open : {root, ld, lln0, mmxu})
        EXPECT_TRUE(open->isExpanded()) << open->text(0).toStdString();

    // The data set follows the data objects, in green; data objects are blue, the rest black.
    ASSERT_EQ(lln0->childCount(), 2);
    EXPECT_EQ(lln0->child(0)->text(0), "Beh");
    EXPECT_EQ(lln0->child(1)->text(0), "DS1");
    EXPECT_EQ(lln0->child(1)->childCount(), 0);
    QTreeWidgetItem* totW = run.Child(mmxu, "TotW");
    QTreeWidgetItem* mag = run.Child(totW, "mag");
    QTreeWidgetItem* f = run.Child(mag, "f");
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
    run.Click_Node(mag);
    EXPECT_EQ(tree->currentItem(), mag);
    EXPECT_FALSE(run.W->Selected_IEC_DA);
    EXPECT_FALSE(run.W->Selected_IEC_DS);

    run.Click_Node(f);
    ASSERT_TRUE(run.W->Selected_IEC_DA);
    EXPECT_EQ(run.W->Selected_IEC_DA->Reference, "IED1LD0/MMXU1.TotW.mag.f");
    EXPECT_EQ(run.W->Selected_IEC_DA->TreeNode, f);

    run.Click_Node(lln0->child(1));
    EXPECT_FALSE(run.W->Selected_IEC_DA);
    ASSERT_TRUE(run.W->Selected_IEC_DS);
    EXPECT_EQ(run.W->Selected_IEC_DS->Reference, "IED1LD0/LLN0.DS1");

    run.Click_Node(totW);
    EXPECT_FALSE(run.W->Selected_IEC_DA);
    EXPECT_FALSE(run.W->Selected_IEC_DS);
}

TEST(AccessWindow, ImportKeepsTheShownDeviceSelected)
{
    TAccess_Run run;
    run.Open();
    run.Import(run.Source_File("A.icd", Test_SCL("IED1")));
    EXPECT_EQ(run.W->LB_IEC_Devices->currentRow(), -1); // nothing shown yet, nothing selected
    EXPECT_EQ(run.W->TV_IEC_Device->topLevelItemCount(), 0);
    run.Choose_Device(0);
    run.Import(run.Source_File("B.icd", Test_SCL("IED2")));
    EXPECT_EQ(run.Device_Texts(), QStringList({"IED1", "IED2"}));
    EXPECT_EQ(run.W->LB_IEC_Devices->currentRow(), 0);
    EXPECT_EQ(run.W->Current_Device(), 0);
    EXPECT_EQ(run.W->TV_IEC_Device->topLevelItem(0)->text(0), "IED1");
    run.Choose_Device(1);
    EXPECT_EQ(run.W->TV_IEC_Device->topLevelItem(0)->text(0), "IED2");
    EXPECT_EQ(run.W->Current_Device(), 1);
}

TEST(AccessWindow, LoadingTellsOnceWhatIsMissingAndCancelKeepsTheFile)
{
    TAccess_Run run;
    QDir().mkpath(run.Catalog());
    Write_Test_File(run.Catalog() + "/A.icd", Test_SCL("IED1", true)); // DS1 got a member in the middle
    const QByteArray stored =
        R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/><ICD_File Name="IEDX" FileName="X.icd"/><ICD_File Name="IEDY" FileName="Y.icd"/></List_ICD_Files><List_DA_Selected/>)"
        R"(<List_DataSet_Selected><DataSet_Item Index="0" Reference="IED1LD0/LLN0.DS1" GooseName="GC1" EnGoose="Y" IPAddress="" Port="" Time="" Mnemonic=""><DataSet_List_DAs>)"
        R"(<DataSet_DA_Item bType="Quality" Reference="IED1LD0/MMXU1.TotW.q" Position="1" StartBit="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(<DataSet_DA_Item bType="Quality" Reference="IED1LD0/XCBR1.Pos.q" Position="2" StartBit="" Convertion="" MoltFact="" Mnemonic=""/>)"
        R"(</DataSet_List_DAs></DataSet_Item></List_DataSet_Selected></IEC_68850_Client>)";
    Write_Test_File(run.State.IEC_Client_File, stored);
    run.Open();
    const QStringList warnings = run.Fakes.Messages.Texts("warning");
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].contains("X.icd") && warnings[0].contains("Y.icd")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[1].contains("IED1LD0/XCBR1.Pos.q")) << warnings[1].toStdString();
    EXPECT_TRUE(run.Fakes.Messages.Texts("error").isEmpty());
    EXPECT_EQ(run.Device_Texts(), QStringList({"IED1", "IEDX [file missing: X.icd]", "IEDY [file missing: Y.icd]"}));
    run.Click("Btn_Cancel");
    EXPECT_EQ(run.W->result(), QDialog::Rejected);
    EXPECT_EQ(Read_Test_File(run.State.IEC_Client_File), stored);

    // Shown again: the same warnings once more, and OK saves what was kept.
    run.Fakes.Messages.Shown.clear();
    run.Open();
    EXPECT_EQ(run.Fakes.Messages.Texts("warning").size(), 2);
    run.Click("Btn_OK");
    const QByteArray saved = Read_Test_File(run.State.IEC_Client_File);
    EXPECT_TRUE(saved.contains(R"(<ICD_File Name="IEDX" FileName="X.icd"/>)")) << saved.constData();
    EXPECT_EQ(saved.count("<DataSet_DA_Item "), 1);
}

TEST(AccessWindow, BadAccessFileShowsOneErrorAndIsNotTouchedUntilOk)
{
    TAccess_Run run;
    QDir().mkpath(run.Catalog());
    Write_Test_File(run.Catalog() + "/A.icd", Test_SCL("IED1"));
    const QByteArray bad = R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/></List_ICD_Files><List_DA_Selected>)"
                           R"(<DA_Item Index="0" bType="Quality"/></List_DA_Selected></IEC_68850_Client>)";
    Write_Test_File(run.State.IEC_Client_File, bad);
    run.Open();
    const QStringList errors = run.Fakes.Messages.Texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("IEC_61850_Client.xml") && errors[0].contains("DA_Item 1") && errors[0].contains("fc")) << errors[0].toStdString();
    EXPECT_TRUE(run.W->isVisible());
    EXPECT_EQ(run.Device_Texts(), QStringList{"IED1"});
    run.Click("Btn_Cancel");
    EXPECT_EQ(Read_Test_File(run.State.IEC_Client_File), bad);

    Write_Test_File(run.State.IEC_Client_File, "<IEC_68850_Client><List_ICD_Files>");
    run.Fakes.Messages.Shown.clear();
    run.Open();
    ASSERT_EQ(run.Fakes.Messages.Texts("error").size(), 1);
    EXPECT_TRUE(run.Fakes.Messages.Texts("error")[0].contains("line 1"));
    EXPECT_TRUE(run.Device_Texts().isEmpty());
    run.Click("Btn_Cancel");
    EXPECT_EQ(Read_Test_File(run.State.IEC_Client_File), "<IEC_68850_Client><List_ICD_Files>");
}

TEST(AccessWindow, FailedSaveKeepsTheWindowOpen)
{
    TAccess_Run run;
    run.Open();
    QDir().mkpath(run.State.IEC_Client_File); // a folder where the file should go
    run.Click("Btn_OK");
    EXPECT_EQ(run.Fakes.Messages.Texts("error").size(), 1);
    EXPECT_TRUE(run.W->isVisible());
}

TEST(AccessWindow, TextsHeadingsAndHints)
{
    TAccess_Run run;
    run.Open();
    EXPECT_EQ(run.W->windowTitle(), "IEC61850 Client Set Access");
    EXPECT_EQ(run.W->findChild<QPushButton*>("Btn_Add_IEC_Device")->toolTip(), "Add a ICD file to the List");
    EXPECT_FALSE(run.W->Btn_MoveUp->isVisible());
    EXPECT_EQ(run.W->Btn_MoveDown->text(), "Move Down");
    QAbstractItemModel* da = run.W->ACG_DA->model();
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "N", ""}, {4, "Reference", "Reference of DA"}, {5, "Start Byte", "Insert the Start Byte, only for VisString255 (0-254) or Octet64 (0-63)"},
        {6, "Num Byte", "Insert the Number of Bytes, only for VisString255 (1-255) or Octet64 (1-64)"},
        {7, "IP Address", "Insert the IP Address of IEC61850 Server"}, {18, "Mnemonic", "Description of the IEC61850 Request"}};
    for (const auto& [col, heading, hint] : cases) {
        EXPECT_EQ(da->headerData(col, Qt::Horizontal).toString(), heading);
        EXPECT_EQ(da->headerData(col, Qt::Horizontal, Qt::ToolTipRole).toString(), hint);
    }
    EXPECT_EQ(run.W->ACG_DataSet->model()->headerData(4, Qt::Horizontal).toString(), "En. Goose");
    EXPECT_EQ(run.W->ACG_DS_Vars->model()->headerData(6, Qt::Horizontal).toString(), "Mult Fact");
    EXPECT_EQ(run.W->PC_Access->tabText(1), "DataSet");

    run.Texts.Set(1258, "Startbyte");
    run.W->Set_Lang();
    EXPECT_EQ(da->headerData(5, Qt::Horizontal).toString(), "Startbyte");
}

TEST(AccessWindow, EnterJumpsAndHeadingDoubleClickFitsWithTheOptions)
{
    TAccess_Run run;
    run.Open();
    run.W->Access.ACG_DA.Set_Row_Count(3);
    run.W->Refresh_Grids();
    TGrid_View* grid = run.W->ACG_DA;
    grid->setFocus();

    // Option off: Enter reaches the grid and neither moves nor presses OK.
    grid->Set_Current(Var_Col::Count - 1, 2);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(std::pair(grid->Col(), grid->Row()), std::pair(int(Var_Col::Count - 1), 2));
    EXPECT_TRUE(run.W->isVisible());

    run.State.Enable_Jump_Field_Tables = true;
    QTest::keyClick(grid, Qt::Key_Return); // last cell: back to row 1, column 1
    EXPECT_EQ(std::pair(grid->Col(), grid->Row()), std::pair(1, 1));
    grid->Set_Current(Var_Col::IPAddress, 1);
    grid->edit(grid->currentIndex());
    QTest::keyClicks(QApplication::focusWidget(), "10.0.0.1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(run.W->Access.ACG_DA.Cell(Var_Col::IPAddress, 1), "10.0.0.1");
    EXPECT_EQ(std::pair(grid->Col(), grid->Row()), std::pair(int(Var_Col::Port), 1));
    EXPECT_TRUE(run.W->isVisible());

    // A double click on a heading fits the column only with its option on.
    QHeaderView* header = grid->horizontalHeader();
    const int col = Var_Col::Reference;
    header->resizeSection(col, 30);
    const QPoint at(header->sectionViewportPosition(col) + 15, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(header->sectionSize(col), 30);
    run.State.Double_Click_Auto_Size = true;
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
    TFake_Platform fakes;
    TProgramState state;
    TText_Table texts;
    TAppContext ctx{state, texts, fakes.Services()};
    TFTessavoFirmWare main(ctx, dir.path());
    QDir().mkpath(Join_Path(state.Projects_Folder, "P1"));
    state.Activate_Project("P1");
    main.show();
    QString title;
    On_Next_Modal([&](QWidget* modal) {
        title = modal->windowTitle();
        QTest::mouseClick(modal->findChild<QPushButton*>("Btn_Cancel"), Qt::LeftButton);
    });
    QTest::mouseClick(main.findChild<QPushButton*>("Btn_IEC61850_Client"), Qt::LeftButton);
    EXPECT_EQ(title, "IEC61850 Client Set Access");
    EXPECT_TRUE(fakes.Messages.Shown.empty());
    EXPECT_FALSE(QFile::exists(state.IEC_Client_File));
}

TEST(QtPlatform, PipeFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(Qt_Name_Filter(SCL_File_Filter), "SCL Files (*.scd *.ssd *.sed *.icd *.iid *.cid);;Any File (*.*)");
    EXPECT_EQ(Qt_Name_Filter("Text (*.txt)"), "Text (*.txt)");
}
