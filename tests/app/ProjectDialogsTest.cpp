#include "ParGen.h"
#include "ProgramRun.h"
#include <QDirIterator>
#include <QLineEdit>
#include <QListWidget>

namespace {

QString Projects(const QTemporaryDir& dir) { return QDir(dir.path()).filePath("PROJECTS"); }

void Type_Name(QDialog* dialog, const QString& name)
{
    auto* field = dialog->findChild<QLineEdit*>("E_New_Proj");
    field->clear();
    QTest::keyClicks(field, name);
}

void Click_In(QDialog* dialog, const char* name) { QTest::mouseClick(dialog->findChild<QPushButton*>(name), Qt::LeftButton); }

} // namespace

TEST(ProjectDialogs, NewConfigurationIsActiveAtOnceWithItsNameAsTyped)
{
    QTemporaryDir dir;
    TProgram_Run run(dir.path());
    run.With_Dialog("Btn_New", [](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "TFNew_Project");
        auto* field = dialog->findChild<QLineEdit*>("E_New_Proj");
        EXPECT_EQ(QApplication::focusWidget(), field);
        QTest::keyClicks(field, " Plant 1 ");
        QTest::keyClick(field, Qt::Key_Return); // Enter is OK
    });
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty());
    const QString folder = QDir(Projects(dir)).filePath(" Plant 1 ");
    EXPECT_TRUE(QFileInfo(folder + "/bin").isDir());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"bin"});
    EXPECT_EQ(run.State.Project_Name, " Plant 1 ");
    EXPECT_EQ(run.State.Project_Folder, folder);
    EXPECT_EQ(run.State.ParGen_File, folder + "/ParGen.xml");
    EXPECT_EQ(run.Label("L_Name_Conf"), "Opened Configuration of the Converter : ");
    EXPECT_EQ(run.Label("L_Name_Conf_L2"), " Plant 1 ");

    // Step 2 works on it at once: OK in the communication settings writes the defaults.
    run.With_Dialog("Btn_Prm_Gen", [](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "TFParGen");
        Click_In(dialog, "Btn_OK");
        EXPECT_FALSE(dialog->isVisible());
    });
    TParGen saved;
    ASSERT_TRUE(Read_ParGen(folder + "/ParGen.xml", saved).Ok);
    EXPECT_EQ(saved, Default_ParGen());
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty());
}

TEST(ProjectDialogs, NewConfigurationRefusalsKeepTheDialogOpenWithTheName)
{
    QTemporaryDir dir;
    TProgram_Run run(dir.path());
    QDir(Projects(dir)).mkdir("Existing");
    const struct {
        QString name;
        QString message;
    } cases[] = {
        {"", "Error! Name Project is not valid"},
        {"Existing", "Error! Name project is not valid because directory already exists"},
        {QString(300, 'x'), "Error! Name project is not valid"},          // refused by the file system
        {"Missing/Sub", "Error! Name project is not valid"},
        {"Existing/Sub", "Error! Name project is not valid"},             // not inside another configuration
        {"../Outside", "Error! Name project is not valid"},               // not outside PROJECTS
        {"..", "Error! Name project is not valid"},
    };
    run.With_Dialog("Btn_New", [&](QDialog* dialog) {
        for (const auto& c : cases) {
            run.Fakes.Messages.Shown.clear();
            Type_Name(dialog, c.name);
            Click_In(dialog, "Btn_OK");
            EXPECT_EQ(run.Fakes.Messages.Shown.size(), 1u) << c.name.toStdString();
            EXPECT_EQ(run.Fakes.Messages.Texts("error"), QStringList{c.message}) << c.name.toStdString();
            EXPECT_TRUE(dialog->isVisible()) << c.name.toStdString();
            EXPECT_EQ(dialog->findChild<QLineEdit*>("E_New_Proj")->text(), c.name);
        }
        // Enter runs the same check, once.
        run.Fakes.Messages.Shown.clear();
        Type_Name(dialog, "");
        QTest::keyClick(dialog->findChild<QLineEdit*>("E_New_Proj"), Qt::Key_Return);
        EXPECT_EQ(run.Fakes.Messages.Texts("error"), QStringList{"Error! Name Project is not valid"});
        Type_Name(dialog, "Typed");
        Click_In(dialog, "Btn_Cancel");
        EXPECT_FALSE(dialog->isVisible());
    });
    EXPECT_FALSE(run.State.Configuration_Active());
    EXPECT_TRUE(run.State.Project_Name.isEmpty());
    EXPECT_EQ(run.Label("L_Name_Conf"), "None Configuration Opened ");
    EXPECT_EQ(QDir(Projects(dir)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Existing"});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"LANGUAGE", "MASTER", "PROJECTS"}));
    EXPECT_TRUE(QDir(Projects(dir) + "/Existing").isEmpty());

    run.With_Dialog("Btn_New", [](QDialog* dialog) { EXPECT_EQ(dialog->findChild<QLineEdit*>("E_New_Proj")->text(), ""); });
}

TEST(ProjectDialogs, OpenListsFoldersInFileSystemOrderAndPreselectsIgnoringCase)
{
    QTemporaryDir dir;
    for (const char* name : {"Gamma", "beta", ".hidden", "Alpha", "Delta"})
        QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/%1").arg(name));
    Write_Test_File(dir.filePath("PROJECTS/notes.txt"), "not a configuration");
    QStringList expected; // what the file system lists, without hidden entries and files
    for (QDirIterator it(dir.filePath("PROJECTS")); it.hasNext();) {
        const QFileInfo info(it.next());
        if (info.isDir() && !info.fileName().startsWith('.'))
            expected << info.fileName();
    }

    ASSERT_EQ(expected.size(), 4);
    // Not the first entry, which is also what is selected when nothing matches.
    const QString active = expected[2];

    TProgram_Run run(dir.path());
    run.State.Activate_Project(active.toUpper());
    run.With_Dialog("Btn_Open", [&](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "TFOpenConf");
        auto* list = dialog->findChild<QListWidget*>("ListBox1");
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        EXPECT_EQ(shown, expected);
        ASSERT_TRUE(list->currentItem());
        EXPECT_EQ(list->currentItem()->text(), active);
        EXPECT_TRUE(list->currentItem()->isSelected());
        Click_In(dialog, "Btn_OK");
    });
    EXPECT_EQ(run.State.Project_Name, active);
    EXPECT_EQ(run.State.Project_Folder, Projects(dir) + "/" + active);
    EXPECT_EQ(run.State.ParGen_File, Projects(dir) + "/" + active + "/ParGen.xml");
    EXPECT_EQ(run.Label("L_Name_Conf_L2"), active);
}

TEST(ProjectDialogs, OpenWithoutActiveSelectsTheFirstAndCancelChangesNothing)
{
    QTemporaryDir dir;
    for (const char* name : {"One", "Two"})
        QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/%1").arg(name));
    TProgram_Run run(dir.path());
    QString first, clicked;
    run.With_Dialog("Btn_Open", [&](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>("ListBox1");
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->currentRow(), 0);
        first = list->item(0)->text();
        clicked = list->item(1)->text();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        EXPECT_EQ(list->currentRow(), 1);
        Click_In(dialog, "Btn_Cancel");
    });
    EXPECT_FALSE(run.State.Configuration_Active());
    EXPECT_EQ(run.Label("L_Name_Conf"), "None Configuration Opened ");
    EXPECT_EQ(run.Label("L_Name_Conf_L2"), "Use Step1 to open or create new configuration");

    // The next showing starts again from the first entry; a click on another one opens it.
    run.With_Dialog("Btn_Open", [&](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>("ListBox1");
        EXPECT_EQ(list->currentRow(), 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        Click_In(dialog, "Btn_OK");
    });
    EXPECT_EQ(run.State.Project_Name, clicked);
    EXPECT_EQ(run.Label("L_Name_Conf_L2"), clicked);
    EXPECT_NE(first, clicked);
}

TEST(ProjectDialogs, OkOnAnEmptyOpenListKeepsTheActiveConfiguration)
{
    QTemporaryDir dir;
    TProgram_Run run(dir.path());
    run.With_Dialog("Btn_Open", [](QDialog* dialog) {
        EXPECT_EQ(dialog->findChild<QListWidget*>("ListBox1")->count(), 0);
        Click_In(dialog, "Btn_OK");
    });
    EXPECT_FALSE(run.State.Configuration_Active());
    EXPECT_EQ(run.Label("L_Name_Conf"), "None Configuration Opened ");

    // The same with a configuration active whose folder went away meanwhile.
    run.State.Activate_Project("Gone");
    run.With_Dialog("Btn_Open", [](QDialog* dialog) { Click_In(dialog, "Btn_OK"); });
    EXPECT_EQ(run.State.Project_Name, "Gone");
    EXPECT_EQ(run.State.Project_Folder, Projects(dir) + "/Gone");
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty());
}

TEST(ProjectDialogs, LanguageSwitchRelabelsTheDialogs)
{
    QTemporaryDir dir;
    TProgram_Run run(dir.path());
    run.Texts.Set(100, "Neue Konfiguration");
    run.Texts.Set(203, "Offnen");
    run.Texts.Set(400, "Kommunikation");
    run.Main->Change_Language();
    EXPECT_EQ(run.Main->findChild<QDialog*>("TFNew_Project")->windowTitle(), "Neue Konfiguration");
    EXPECT_EQ(run.Main->findChild<QDialog*>("TFOpenConf")->findChild<QPushButton*>("Btn_OK")->text(), "Offnen");
    EXPECT_EQ(run.Main->findChild<QDialog*>("TFParGen")->windowTitle(), "Kommunikation");
}
