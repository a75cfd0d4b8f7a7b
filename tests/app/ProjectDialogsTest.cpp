#include "base/ProgramFolder.h"
#include "comm/core/CommunicationSettings.h"
#include "app/ProgramRun.h"
#include "configuration/core/ConfigurationLock.h"
#include "base/Settings.h"
#include "support/OtherHolder.h"
#include "configuration/core/ConfigurationFolders.h"
#include <QDirIterator>
#include <QSysInfo>
#include <QLineEdit>
#include <QListWidget>

namespace {

QString Projects(const QTemporaryDir& dir) { return QDir(dir.path()).filePath("PROJECTS"); }

void typeName(QDialog* dialog, const QString& name)
{
    auto* field = dialog->findChild<QLineEdit*>("E_New_Proj");
    field->clear();
    QTest::keyClicks(field, name);
}

void clickIn(QDialog* dialog, const char* name) { QTest::mouseClick(dialog->findChild<QPushButton*>(name), Qt::LeftButton); }

QStringList listed(QDialog* dialog)
{
    auto* list = dialog->findChild<QListWidget*>("ListBox1");
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    names.sort();
    return names;
}

void select(QDialog* dialog, const QString& name)
{
    auto* list = dialog->findChild<QListWidget*>("ListBox1");
    const auto found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
}

QString selected(QDialog* dialog)
{
    const QListWidgetItem* item = dialog->findChild<QListWidget*>("ListBox1")->currentItem();
    return item ? item->text() : QString();
}

// Clicks `button` of the Open dialog and runs `action` in the name dialog it opens; a name
// dialog the action leaves open is cancelled.
void withNameDialog(QDialog* dialog, const char* button, const std::function<void(QDialog*)>& action)
{
    EXPECT_TRUE(inNextDialog([&] { clickIn(dialog, button); }, action, {.below = dialog})) << button;
}

// Types `name` into the name dialog and presses OK; true when the dialog took it and closed.
bool enterName(QDialog* nameDialog, const QString& name)
{
    auto* field = nameDialog->findChild<QLineEdit*>("E_New_Name");
    field->clear();
    QTest::keyClicks(field, name);
    clickIn(nameDialog, "Btn_OK");
    return !nameDialog->isVisible();
}

} // namespace

TEST(ProjectDialogs, NewConfigurationIsActiveAtOnceWithItsNameAsTyped)
{
    QTemporaryDir dir;
    ProgramRun run(dir.path());
    run.withDialog("Btn_New", [](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "TFNew_Project");
        auto* field = dialog->findChild<QLineEdit*>("E_New_Proj");
        EXPECT_EQ(QApplication::focusWidget(), field);
        QTest::keyClicks(field, " Plant 1 ");
        QTest::keyClick(field, Qt::Key_Return); // Enter is OK
    });
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    // Blanks at the ends are dropped; those inside stay.
    const QString folder = QDir(Projects(dir)).filePath("Plant 1");
    EXPECT_TRUE(QFileInfo(folder + "/bin").isDir());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"bin"});
    EXPECT_EQ(run.state.configurationName, "Plant 1");
    EXPECT_EQ(run.state.configurationFolder, folder);
    EXPECT_EQ(run.paths().communicationFile(), folder + "/ParGen.xml");
    EXPECT_EQ(run.label("L_Name_Conf"), "Opened Configuration of the Converter : ");
    EXPECT_EQ(run.label("L_Name_Conf_L2"), "Plant 1");

    // Step 2 works on it at once: OK in the communication settings writes the defaults.
    run.withDialog("Btn_Prm_Gen", [](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "TFParGen");
        clickIn(dialog, "Btn_OK");
        EXPECT_FALSE(dialog->isVisible());
    });
    CommunicationSettings saved;
    ASSERT_TRUE(readParGenFile(folder + "/ParGen.xml", saved).ok);
    EXPECT_EQ(saved, defaultCommunicationSettings());
    EXPECT_TRUE(run.fakes.messages.shown.empty());
}

TEST(ProjectDialogs, NewConfigurationRefusalsKeepTheDialogOpenWithTheName)
{
    QTemporaryDir dir;
    ProgramRun run(dir.path());
    QDir(Projects(dir)).mkdir("Existing");
    const struct {
        QString name;
        QString message;
    } cases[] = {
        {"", "Error! Name Project is not valid"},
        {"Existing", "Error! Name project is not valid because directory already exists"},
        {QString(300, 'x'), "Error! Name project is not valid"}, // refused by the file system
        {"Missing/Sub", "Error! Name project is not valid"},
        {"Existing/Sub", "Error! Name project is not valid"}, // not inside another configuration
        {"../Outside", "Error! Name project is not valid"}, // not outside PROJECTS
        {"..", "Error! Name project is not valid"},
        {"   ", "Error! Name Project is not valid"},
        // The same name once case and blanks are ignored: the two would be one on Windows.
        {"existing", "Error! Name project is not valid because directory already exists"},
        {" Exis ting ", "Error! Name project is not valid because directory already exists"},
        // Names Windows refuses are refused everywhere.
        {"aux.txt", "Error! Name project is not valid"},
        {"Plant.", "Error! Name project is not valid"},
        {"A<B>", "Error! Name project is not valid"},
    };
    run.withDialog("Btn_New", [&](QDialog* dialog) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name.toStdString());
            run.fakes.messages.shown.clear();
            typeName(dialog, c.name);
            clickIn(dialog, "Btn_OK");
            EXPECT_EQ(run.fakes.messages.shown.size(), 1u);
            EXPECT_EQ(run.fakes.messages.texts("error"), QStringList{c.message});
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->findChild<QLineEdit*>("E_New_Proj")->text(), c.name);
        }
        // Enter runs the same check, once.
        run.fakes.messages.shown.clear();
        typeName(dialog, "");
        QTest::keyClick(dialog->findChild<QLineEdit*>("E_New_Proj"), Qt::Key_Return);
        EXPECT_EQ(run.fakes.messages.texts("error"), QStringList{"Error! Name Project is not valid"});
        typeName(dialog, "Typed");
        clickIn(dialog, "Btn_Cancel");
        EXPECT_FALSE(dialog->isVisible());
    });
    EXPECT_FALSE(run.state.hasConfiguration());
    EXPECT_TRUE(run.state.configurationName.isEmpty());
    EXPECT_EQ(run.label("L_Name_Conf"), "None Configuration Opened ");
    EXPECT_EQ(QDir(Projects(dir)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Existing"});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"LANGUAGE", "MASTER", "PROJECTS"}));
    EXPECT_TRUE(QDir(Projects(dir) + "/Existing").isEmpty());

    run.withDialog("Btn_New", [](QDialog* dialog) { EXPECT_EQ(dialog->findChild<QLineEdit*>("E_New_Proj")->text(), ""); });
}

TEST(ProjectDialogs, OpenListsFoldersInFileSystemOrderAndPreselectsIgnoringCase)
{
    QTemporaryDir dir;
    for (const char* name : {"Gamma", "beta", ".hidden", "Alpha", "Delta"})
        QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/%1").arg(name));
    writeTestFile(dir.filePath("PROJECTS/notes.txt"), "not a configuration");
    QStringList expected; // what the file system lists, without hidden entries and files
    for (QDirIterator it(dir.filePath("PROJECTS")); it.hasNext();) {
        const QFileInfo info(it.next());
        if (info.isDir() && !info.fileName().startsWith('.'))
            expected << info.fileName();
    }

    ASSERT_EQ(expected.size(), 4);
    // Not the first entry, which is also what is selected when nothing matches.
    const QString active = expected[2];

    ProgramRun run(dir.path());
    openConfiguration(run.state, active.toUpper());
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "TFOpenConf");
        auto* list = dialog->findChild<QListWidget*>("ListBox1");
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        EXPECT_EQ(shown, expected);
        ASSERT_TRUE(list->currentItem());
        EXPECT_EQ(list->currentItem()->text(), active);
        EXPECT_TRUE(list->currentItem()->isSelected());
        clickIn(dialog, "Btn_OK");
    });
    EXPECT_EQ(run.state.configurationName, active);
    EXPECT_EQ(run.state.configurationFolder, Projects(dir) + "/" + active);
    EXPECT_EQ(run.paths().communicationFile(), Projects(dir) + "/" + active + "/ParGen.xml");
    EXPECT_EQ(run.label("L_Name_Conf_L2"), active);
}

TEST(ProjectDialogs, OpenWithoutActiveSelectsTheFirstAndCancelChangesNothing)
{
    QTemporaryDir dir;
    for (const char* name : {"One", "Two"})
        QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/%1").arg(name));
    ProgramRun run(dir.path());
    QString first, clicked;
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>("ListBox1");
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->currentRow(), 0);
        first = list->item(0)->text();
        clicked = list->item(1)->text();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        EXPECT_EQ(list->currentRow(), 1);
        clickIn(dialog, "Btn_Cancel");
    });
    EXPECT_FALSE(run.state.hasConfiguration());
    EXPECT_EQ(run.label("L_Name_Conf"), "None Configuration Opened ");
    EXPECT_EQ(run.label("L_Name_Conf_L2"), "Use Step1 to open or create new configuration");

    // The next showing starts again from the first entry; a click on another one opens it.
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>("ListBox1");
        EXPECT_EQ(list->currentRow(), 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        clickIn(dialog, "Btn_OK");
    });
    EXPECT_EQ(run.state.configurationName, clicked);
    EXPECT_EQ(run.label("L_Name_Conf_L2"), clicked);
    EXPECT_NE(first, clicked);
}

TEST(ProjectDialogs, OpenListLeavesOutLinksLeadingOutsideProjects)
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    QDir(dir.path()).mkpath("PROJECTS/Plant");
    ASSERT_TRUE(QFile::link(outside.path(), dir.filePath("PROJECTS/Away")));
    ASSERT_TRUE(QFile::link(dir.filePath("PROJECTS"), dir.filePath("PROJECTS/Self")));
    ASSERT_TRUE(QFile::link(dir.filePath("PROJECTS/Plant"), dir.filePath("PROJECTS/Alias")));
    ProgramRun run(dir.path());
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>("ListBox1");
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        shown.sort();
        EXPECT_EQ(shown, QStringList({"Alias", "Plant"}));
        clickIn(dialog, "Btn_Cancel");
    });
}

TEST(ProjectDialogs, OkOnAnEmptyOpenListKeepsTheActiveConfiguration)
{
    QTemporaryDir dir;
    ProgramRun run(dir.path());
    run.withDialog("Btn_Open", [](QDialog* dialog) {
        EXPECT_EQ(dialog->findChild<QListWidget*>("ListBox1")->count(), 0);
        clickIn(dialog, "Btn_OK");
    });
    EXPECT_FALSE(run.state.hasConfiguration());
    EXPECT_EQ(run.label("L_Name_Conf"), "None Configuration Opened ");

    // The same with a configuration active whose folder went away meanwhile.
    openConfiguration(run.state, "Gone");
    run.withDialog("Btn_Open", [](QDialog* dialog) { clickIn(dialog, "Btn_OK"); });
    EXPECT_EQ(run.state.configurationName, "Gone");
    EXPECT_EQ(run.state.configurationFolder, Projects(dir) + "/Gone");
    EXPECT_TRUE(run.fakes.messages.shown.empty());
}

TEST(ProjectDialogs, LanguageSwitchRelabelsTheDialogs)
{
    QTemporaryDir dir;
    ProgramRun run(dir.path());
    run.texts.set(100, "Neue Konfiguration");
    run.texts.set(203, "Offnen");
    run.texts.set(400, "Kommunikation");
    run.mainWindow->retranslateAllWindows();
    EXPECT_EQ(run.mainWindow->findChild<QDialog*>("TFNew_Project")->windowTitle(), "Neue Konfiguration");
    EXPECT_EQ(run.mainWindow->findChild<QDialog*>("TFOpenConf")->findChild<QPushButton*>("Btn_OK")->text(), "Offnen");
    EXPECT_EQ(run.mainWindow->findChild<QDialog*>("TFParGen")->windowTitle(), "Kommunikation");
}

TEST(ProjectDialogs, RenamingTheActiveConfigurationMovesStateLabelAndSettings)
{
    QTemporaryDir dir;
    for (const char* name : {"Plant", "Other"})
        QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/%1/bin").arg(name));
    writeTestFile(dir.filePath("PROJECTS/Plant/ParGen.xml"), "<ParGen/>");
    ProgramRun run(dir.path());
    openConfiguration(run.state, "Plant");
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        EXPECT_EQ(selected(dialog), "Plant");
        withNameDialog(dialog, "Btn_Rename", [&](QDialog* nameDialog) {
            EXPECT_EQ(nameDialog->windowTitle(), "Rename Configuration");
            EXPECT_EQ(nameDialog->findChild<QLineEdit*>("E_New_Name")->text(), "Plant");
            const struct {
                QString name;
                QString message;
            } refused[] = {
                {" other", "Error! Name project is not valid because directory already exists"},
                {"CON", "Error! Name project is not valid"},
                {"", "Error! Name Project is not valid"},
            };
            for (const auto& r : refused) {
                SCOPED_TRACE(r.name.toStdString());
                run.fakes.messages.shown.clear();
                EXPECT_FALSE(enterName(nameDialog, r.name));
                EXPECT_EQ(run.fakes.messages.texts("error"), QStringList{r.message});
            }
            EXPECT_TRUE(enterName(nameDialog, " Plant North "));
        });
        EXPECT_EQ(listed(dialog), (QStringList{"Other", "Plant North"}));
        EXPECT_EQ(selected(dialog), "Plant North");
        clickIn(dialog, "Btn_Cancel");
    });
    // Active under its new name at once, also when the Open dialog is cancelled.
    EXPECT_EQ(run.state.configurationName, "Plant North");
    EXPECT_EQ(run.state.configurationFolder, Projects(dir) + "/Plant North");
    EXPECT_EQ(run.paths().communicationFile(), Projects(dir) + "/Plant North/ParGen.xml");
    EXPECT_TRUE(QFile::exists(run.paths().communicationFile()));
    EXPECT_EQ(run.label("L_Name_Conf_L2"), "Plant North");
    ProgramState saved;
    readSettings(dir.filePath(settingsFileName), saved);
    EXPECT_EQ(saved.configurationName, "Plant North");

    // Renaming another configuration, or the active one only in the case of its letters.
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        select(dialog, "Other");
        withNameDialog(dialog, "Btn_Rename", [&](QDialog* nameDialog) { EXPECT_TRUE(enterName(nameDialog, "Second")); });
        select(dialog, "Plant North");
        withNameDialog(dialog, "Btn_Rename", [&](QDialog* nameDialog) { EXPECT_TRUE(enterName(nameDialog, "PLANT NORTH")); });
        EXPECT_EQ(listed(dialog), (QStringList{"PLANT NORTH", "Second"}));
        clickIn(dialog, "Btn_Cancel");
    });
    EXPECT_EQ(run.state.configurationName, "PLANT NORTH");
    EXPECT_EQ(run.label("L_Name_Conf_L2"), "PLANT NORTH");
    readSettings(dir.filePath(settingsFileName), saved);
    EXPECT_EQ(saved.configurationName, "PLANT NORTH");
}

TEST(ProjectDialogs, DuplicateCopiesUnderAFreeNameAndRefusesClashes)
{
    QTemporaryDir dir;
    for (const char* name : {"Plant", "Plant (2)"})
        QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/%1/bin").arg(name));
    writeTestFile(dir.filePath("PROJECTS/Plant/bin/bank1.bin"), QByteArray(2048, '\x11'));
    ProgramRun run(dir.path());
    openConfiguration(run.state, "Plant");
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        withNameDialog(dialog, "Btn_Duplicate", [&](QDialog* nameDialog) {
            EXPECT_EQ(nameDialog->windowTitle(), "Duplicate Configuration");
            EXPECT_EQ(nameDialog->findChild<QLineEdit*>("E_New_Name")->text(), "Plant (3)");
            EXPECT_FALSE(enterName(nameDialog, "plant (2)"));
            EXPECT_EQ(run.fakes.messages.texts("error"),
                QStringList{"Error! Name project is not valid because directory already exists"});
            EXPECT_TRUE(enterName(nameDialog, "Plant copy "));
        });
        EXPECT_EQ(listed(dialog), (QStringList{"Plant", "Plant (2)", "Plant copy"}));
        EXPECT_EQ(selected(dialog), "Plant copy");
        clickIn(dialog, "Btn_Cancel");
    });
    EXPECT_EQ(readTestFile(dir.filePath("PROJECTS/Plant copy/bin/bank1.bin")), QByteArray(2048, '\x11'));
    // The copy is not opened: the original stays active.
    EXPECT_EQ(run.state.configurationName, "Plant");
}

TEST(ProjectDialogs, DeleteSparesTheActiveAndAsksOnceWithATrashTwiceWithout)
{
    QTemporaryDir dir;
    for (const char* name : {"Active", "Old", "Older"})
        QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/%1/bin").arg(name));
    ProgramRun run(dir.path());
    openConfiguration(run.state, "Active");
    auto& messages = run.fakes.messages;
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        clickIn(dialog, "Btn_Delete");
        EXPECT_EQ(messages.texts("error"), QStringList{"Error! The active configuration cannot be deleted"});
        EXPECT_TRUE(messages.texts("question").isEmpty());

        select(dialog, "Old");
        messages.Answers = {MessageService::Answer::No};
        clickIn(dialog, "Btn_Delete");
        EXPECT_EQ(messages.texts("question"), QStringList{"Delete the configuration Old?"});
        EXPECT_EQ(listed(dialog), (QStringList{"Active", "Old", "Older"}));

        clickIn(dialog, "Btn_Delete"); // Yes: into the trash, asked once
        EXPECT_EQ(messages.texts("question").size(), 2);
        EXPECT_EQ(run.fakes.trash.moved, QStringList{Projects(dir) + "/Old"});
        EXPECT_EQ(listed(dialog), (QStringList{"Active", "Older"}));
        EXPECT_EQ(selected(dialog), "Active");

        // Without a trash the files would be gone for good: a second question, and No keeps them.
        run.fakes.trash.available = false;
        messages.shown.clear();
        select(dialog, "Older");
        messages.Answers = {MessageService::Answer::Yes, MessageService::Answer::No};
        clickIn(dialog, "Btn_Delete");
        EXPECT_EQ(messages.texts("question"),
            (QStringList{"Delete the configuration Older?",
                "The folder cannot be moved to the trash. Delete the configuration Older and all its files for ever? "
                "This cannot be undone."}));
        EXPECT_EQ(listed(dialog), (QStringList{"Active", "Older"}));
        clickIn(dialog, "Btn_Delete"); // Yes, Yes
        EXPECT_EQ(listed(dialog), QStringList{"Active"});
        clickIn(dialog, "Btn_Cancel");
    });
    EXPECT_EQ(QDir(Projects(dir)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"Active"});
    EXPECT_EQ(run.state.configurationName, "Active");
}

TEST(ProjectDialogs, DoubleClickOpens)
{
    QTemporaryDir dir;
    for (const char* name : {"One", "Two"})
        QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/%1").arg(name));
    ProgramRun run(dir.path());
    QString clicked;
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>("ListBox1");
        clicked = list->item(1)->text();
        const QPoint at = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); // a double-click follows a click
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        EXPECT_FALSE(dialog->isVisible());
    });
    EXPECT_EQ(run.state.configurationName, clicked);
    EXPECT_EQ(run.label("L_Name_Conf_L2"), clicked);
}

// A configuration that another program edits, or whose images an updater reads, is neither
// renamed nor deleted until it is let go.
TEST(ProjectDialogs, ConfigurationInUseIsNeitherRenamedNorDeleted)
{
    QTemporaryDir dir;
    for (const char* name : {"Active", "Busy"})
        QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/%1/bin").arg(name));
    ProgramRun run(dir.path());
    openConfiguration(run.state, "Active");
    auto& messages = run.fakes.messages;
    OtherHolder other(Projects(dir) + "/Busy");
    const QString inUse = QStringLiteral("The configuration %1 is in use by %2 on %3 (process %4) since ")
                              .arg(QDir::toNativeSeparators(Projects(dir) + "/Busy"),
                                  lockProgramName(QStringLiteral(SWQ_LOCK_HOLDER)), lockHostName())
                              .arg(other.processId());
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        // No name dialog may open: one that does is noted and cancelled.
        bool nameAsked = false;
        QTimer guard;
        guard.setInterval(5);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (modal && modal != dialog && modal->isVisible()) {
                nameAsked = true;
                modal->reject();
            }
        });
        guard.start();
        select(dialog, "Busy");
        clickIn(dialog, "Btn_Rename");
        clickIn(dialog, "Btn_Delete");
        guard.stop();
        EXPECT_FALSE(nameAsked);
        const QStringList errors = messages.texts("error");
        ASSERT_EQ(errors.size(), 2);
        for (const QString& error : errors) {
            EXPECT_TRUE(error.startsWith(inUse)) << error.toStdString();
            EXPECT_TRUE(error.endsWith(".\nIt cannot be renamed or deleted while it is in use.")) << error.toStdString();
        }
        EXPECT_TRUE(messages.texts("question").isEmpty());
        EXPECT_TRUE(run.fakes.trash.moved.isEmpty());
        EXPECT_EQ(listed(dialog), (QStringList{"Active", "Busy"}));

        // Let go, it may be deleted (here the engineer answers No).
        other.letGo();
        messages.shown.clear();
        messages.Answers = {MessageService::Answer::No};
        clickIn(dialog, "Btn_Delete");
        EXPECT_EQ(messages.texts("question"), QStringList{"Delete the configuration Busy?"});
        clickIn(dialog, "Btn_Cancel");
    });
    EXPECT_TRUE(QFileInfo(Projects(dir) + "/Busy/bin").isDir());
}

// A copy of a configuration in use is nobody's: its lock stays behind with the original.
TEST(ProjectDialogs, DuplicateLeavesTheLockBehind)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("PROJECTS/Plant/bin");
    writeTestFile(dir.filePath("PROJECTS/Plant/ParGen.xml"), "<ParGen/>");
    ProgramRun run(dir.path());
    OtherHolder other(Projects(dir) + "/Plant");
    run.withDialog("Btn_Open", [&](QDialog* dialog) {
        select(dialog, "Plant");
        withNameDialog(dialog, "Btn_Duplicate", [&](QDialog* nameDialog) { EXPECT_TRUE(enterName(nameDialog, "Copy")); });
        clickIn(dialog, "Btn_Cancel");
    });
    EXPECT_EQ(QDir(Projects(dir) + "/Copy").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{"bin", "ParGen.xml"}));
    EXPECT_TRUE(checkConfigurationFree(Projects(dir) + "/Copy").ok);
    EXPECT_FALSE(checkConfigurationFree(Projects(dir) + "/Plant").ok);
}
