#include "base/ProgramFolder.h"
#include "app/ProgramRun.h"
#include "base/Settings.h"
#include "update/gui/UpdateDialog.h"
#include "app/MainWindow.h"
#include "support/WindowTestSupport.h"
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

TEST(MainWindow, FirstStartInAnEmptyFolder)
{
    QTemporaryDir dir;
    {
        ProgramRun run(dir.path());
        for (const char* sub : {"MASTER", "PROJECTS", "LANGUAGE"})
            EXPECT_TRUE(QFileInfo(dir.filePath(sub)).isDir()) << sub;
        EXPECT_EQ(run.mainWindow->windowTitle(), "Tessav - Configurator SWQuelmor - IEC61850 Client / EtherNet/IP ");
        EXPECT_EQ(run.label("L_SW_Code"), "SWQuelmor");
        EXPECT_EQ(run.label("L_SW_Desc"), "IEC61850 Client / EtherNet/IP - Converter");
        EXPECT_EQ(run.label("L_Name_Conf"), "None Configuration Opened ");
        EXPECT_EQ(run.label("L_Name_Conf_L2"), "Use Step1 to open or create new configuration");
        EXPECT_EQ(run.label("L_Step_3"), "Step 3");
        EXPECT_EQ(run.mainWindow->findChild<QPushButton*>("Btn_CreateBin")->text(), "Update Device UDP");
        EXPECT_EQ(run.mainWindow->findChild<QPushButton*>("Btn_Opz")->toolTip(), "Options");
        EXPECT_FALSE(run.mainWindow->findChild<QLabel*>("LL_Update")->isVisible());
        EXPECT_FALSE(run.versionCheckTimer()->isActive());
        EXPECT_FALSE(QFile::exists(dir.filePath(settingsFileName)));
        run.click("Btn_Close");
        EXPECT_TRUE(run.fakes.messages.shown.empty());
    }
    ProgramState saved;
    readSettings(dir.filePath(settingsFileName), saved);
    EXPECT_EQ(saved.lastIpAddress, "192.168.2.205");
    EXPECT_EQ(saved.languageName, "English");
    EXPECT_EQ(readTestFile(dir.filePath(settingsFileName)).count("<"), 2 * 12);
}

TEST(MainWindow, StepsTwoToFourRefuseWithoutConfiguration)
{
    QTemporaryDir dir;
    ProgramRun run(dir.path());
    for (const char* step : {"Btn_Prm_Gen", "Btn_IEC61850_Client", "Btn_CreateBin"}) {
        run.fakes.messages.shown.clear();
        run.click(step);
        ASSERT_EQ(run.fakes.messages.shown.size(), 1u) << step;
        EXPECT_EQ(run.fakes.messages.shown[0], (FakeMessageService::Shown{"error", "Error! Project not Valid"})) << step;
        EXPECT_FALSE(QApplication::activeModalWidget()) << step;
    }
    EXPECT_EQ(QDir(dir.filePath("PROJECTS")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

TEST(MainWindow, RestoresTheRememberedConfigurationAndLanguage)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("PROJECTS/Plant A/bin");
    QDir(dir.path()).mkpath("LANGUAGE");
    writeTestFile(dir.filePath("LANGUAGE/Deutsch.lng"), "STR0011 = \xB6Offene Konfiguration : \xB6\n");
    writeTestFile(dir.filePath(settingsFileName),
        "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj><lastlang><language>Deutsch</language></lastlang>"
        "<lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></Conf_Settings>");
    ProgramRun run(dir.path());
    EXPECT_EQ(run.label("L_Name_Conf"), "Offene Konfiguration : ");
    EXPECT_EQ(run.label("L_Name_Conf_L2"), "Plant A");
    EXPECT_EQ(run.state.configurationFolder, QDir(dir.path()).filePath("PROJECTS") + "/" + "Plant A");
    EXPECT_TRUE(run.paths().communicationFile().endsWith("ParGen.xml"));
    EXPECT_TRUE(run.versionCheckTimer()->isActive());
    EXPECT_EQ(run.versionCheckTimer()->interval(), 60000);
}

// The configuration restored at start-up is opened as the Open dialog opens one: what saves
// killed half-way left beside its files goes, and nothing else.
TEST(MainWindow, RestoredConfigurationLosesTheTemporariesOfInterruptedSaves)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("PROJECTS/Plant A/bin");
    QDir(dir.path()).mkpath("PROJECTS/Other");
    writeTestFile(
        dir.filePath(settingsFileName), "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj></Conf_Settings>");
    struct Case {
        const char* path;
        bool stale;
    };
    // The last one is another configuration's.
    const Case cases[] = {
        {"PROJECTS/Plant A/ParGen.xml.Ab12Cd", true},
        {"PROJECTS/Plant A/IEC_61850_Client.xml.Xy12Ab", true},
        {"PROJECTS/Plant A/bin/bank2.bin.abc123", true},
        {"PROJECTS/Plant A/ParGen.xml", false},
        {"PROJECTS/Plant A/Readme.txt.Tmp004", false},
        {"PROJECTS/Other/ParGen.xml.Ab12Cd", false},
    };
    for (const Case& c : cases)
        writeTestFile(dir.filePath(c.path), "x");
    ProgramRun run(dir.path());
    ASSERT_EQ(run.label("L_Name_Conf_L2"), "Plant A");
    for (const Case& c : cases)
        EXPECT_EQ(QFileInfo::exists(dir.filePath(c.path)), !c.stale) << c.path;
}

TEST(MainWindow, RememberedConfigurationWhoseFolderIsGoneIsWrittenBackUnchanged)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath(settingsFileName),
        "<Conf_Settings><lastproj><projectname>Deleted</projectname></lastproj><lastlang><language>Nowhere</language></"
        "lastlang></Conf_Settings>");
    {
        ProgramRun run(dir.path());
        EXPECT_EQ(run.label("L_Name_Conf"), "None Configuration Opened ");
        EXPECT_FALSE(run.state.hasConfiguration());
        run.click("Btn_Prm_Gen");
        EXPECT_EQ(run.fakes.messages.texts("error"), QStringList{"Error! Project not Valid"});
        run.mainWindow->close();
    }
    ProgramState saved;
    readSettings(dir.filePath(settingsFileName), saved);
    EXPECT_EQ(saved.configurationName, "Deleted");
    EXPECT_EQ(saved.languageName, "English"); // no file for the language: the program ran in English
}

TEST(MainWindow, RememberedNameLeadingOutsideProjectsIsNoActiveConfiguration)
{
    for (const char* name : {"../../outside", "../../../../etc", "..", "Link"}) {
        QTemporaryDir top;
        QDir(top.path()).mkpath("outside");
        QDir(top.path()).mkpath("program/PROJECTS/Plant A");
        QFile::link(top.filePath("outside"), top.filePath("program/PROJECTS/Link"));
        writeTestFile(QDir(top.filePath("program")).filePath(settingsFileName),
            QByteArray("<Conf_Settings><lastproj><projectname>") + name + "</projectname></lastproj></Conf_Settings>");
        {
            ProgramRun run(top.filePath("program"));
            EXPECT_FALSE(run.state.hasConfiguration()) << name;
            EXPECT_EQ(run.label("L_Name_Conf"), "None Configuration Opened ") << name;
            EXPECT_FALSE(run.paths().communicationFile().contains("outside")) << name;
            run.mainWindow->close();
        }
        EXPECT_FALSE(QFileInfo::exists(top.filePath("outside/ParGen.xml"))) << name;
        EXPECT_EQ(QDir(top.filePath("outside")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList()) << name;
    }
}

TEST(MainWindow, MakerLabelOpensTheHomePage)
{
    QTemporaryDir dir;
    ProgramRun run(dir.path());
    auto* maker = run.mainWindow->findChild<QLabel*>("L_Maker");
    emit maker->linkActivated("home");
    EXPECT_EQ(run.fakes.shell.Opened, QStringList{"http://www.tessav.example/HOME/default.asp?frompg=SWQuelmor"});
}

TEST(MainWindow, UnwritableSettingsFileDoesNotKeepTheWindowOpen)
{
    QTemporaryDir dir;
    ProgramRun run(dir.path());
    QDir(dir.path()).mkdir(settingsFileName); // a folder where the file should go
    run.mainWindow->close();
    EXPECT_FALSE(run.mainWindow->isVisible());
    ASSERT_EQ(run.fakes.messages.texts("error").size(), 1);
    EXPECT_TRUE(run.fakes.messages.texts("error")[0].contains(settingsFileName));
}

TEST(MainWindow, StepFourShowsTheUpdateWindowInItsEthernetMode)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("PROJECTS/Plant A/bin");
    writeTestFile(
        dir.filePath(settingsFileName), "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj></Conf_Settings>");
    ProgramRun run(dir.path());
    auto* boot = run.mainWindow->findChild<UpdateDialog*>("TFBoot");
    ASSERT_TRUE(boot);
    QString title;
    onNextModal([&](QWidget* summary) {
        onNextModal(
            [&](QWidget* modal) {
                title = modal->windowTitle();
                QTest::mouseClick(modal->findChild<QPushButton*>("Btn_Cancel"), Qt::LeftButton);
            },
            summary);
        QTest::mouseClick(summary->findChild<QPushButton*>("Btn_OK"), Qt::LeftButton);
    });
    run.click("Btn_CreateBin");
    EXPECT_EQ(title, "Update Device by Ethernet (UDP)");
    EXPECT_FALSE(boot->isVisible());

    run.texts.set(1002, "Aggiornamento");
    run.mainWindow->retranslateAllWindows();
    EXPECT_EQ(boot->windowTitle(), "Aggiornamento");
}

// The version check runs on a worker: the window's timers keep firing while the server takes
// its time, the main window says that it is checking, then shows the answer.
TEST(MainWindow, VersionCheckLeavesTheEventLoopRunning)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath(settingsFileName),
        "<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet>"
        "</Conf_Settings>");
    ProgramRun run(dir.path());
    run.fakes.http.Next = {true, "VER. 9.000", {}};
    run.fakes.http.delayMs = 1500;
    auto* checking = run.mainWindow->findChild<QLabel*>("L_Checking_Version");
    auto* link = run.mainWindow->findChild<QLabel*>("LL_Update");
    ASSERT_TRUE(checking && link);
    run.versionCheckTimer()->start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return checking->isVisible(); }, 2000));
    EXPECT_EQ(checking->text(), "Checking for a new version...");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !checking->isVisible(); }, 10000));
    EXPECT_GT(ticks, 30);
    EXPECT_TRUE(link->isVisible());
    EXPECT_EQ(run.fakes.http.Urls.size(), 1);
    EXPECT_TRUE(run.versionCheckTimer()->isActive());
    EXPECT_EQ(run.versionCheckTimer()->interval(), 2 * 60 * 60 * 1000);

    // Closing the program during a check ends it at once instead of waiting for the answer.
    run.fakes.http.delayMs = 120000;
    run.versionCheckTimer()->start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return checking->isVisible(); }, 2000));
    QElapsedTimer closing;
    closing.start();
    run.mainWindow->close();
    run.mainWindow.reset();
    EXPECT_LT(closing.elapsed(), 60000);
    EXPECT_EQ(run.fakes.http.Urls.size(), 2);
}
