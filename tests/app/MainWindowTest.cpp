#include "FakePlatform.h"
#include "Settings.h"
#include "TFBoot.h"
#include "TFTessavoFirmWare.h"
#include "WindowTestSupport.h"
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A program run on a folder of its own, with fake platform services.
struct TProgram_Run {
    TFake_Platform Fakes;
    TProgramState State;
    TText_Table Texts;
    TAppContext Ctx{State, Texts, Fakes.Services()};
    std::unique_ptr<TFTessavoFirmWare> Main;

    explicit TProgram_Run(const QString& folder)
        : Main(std::make_unique<TFTessavoFirmWare>(Ctx, folder))
    {
        Main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    QString Label(const char* name) const { return Main->findChild<QLabel*>(name)->text(); }
    void Click(const char* name) { QTest::mouseClick(Main->findChild<QPushButton*>(name), Qt::LeftButton); }
};

} // namespace

TEST(MainWindow, FirstStartInAnEmptyFolder)
{
    QTemporaryDir dir;
    {
        TProgram_Run run(dir.path());
        for (const char* sub : {"MASTER", "PROJECTS", "LANGUAGE"})
            EXPECT_TRUE(QFileInfo(dir.filePath(sub)).isDir()) << sub;
        EXPECT_EQ(run.Main->windowTitle(), "Tessav - Configurator SWQuelmor - IEC61850 Client / EtherNet/IP ");
        EXPECT_EQ(run.Label("L_SW_Code"), "SWQuelmor");
        EXPECT_EQ(run.Label("L_SW_Desc"), "IEC61850 Client / EtherNet/IP - Converter");
        EXPECT_EQ(run.Label("L_Name_Conf"), "None Configuration Opened ");
        EXPECT_EQ(run.Label("L_Name_Conf_L2"), "Use Step1 to open or create new configuration");
        EXPECT_EQ(run.Label("L_Step_3"), "Step 3");
        EXPECT_EQ(run.Main->findChild<QPushButton*>("Btn_CreateBin")->text(), "Update Device UDP");
        EXPECT_EQ(run.Main->findChild<QPushButton*>("Btn_Opz")->toolTip(), "Options");
        EXPECT_FALSE(run.Main->findChild<QLabel*>("LL_Update")->isVisible());
        EXPECT_FALSE(run.Main->Timer_Update->isActive());
        EXPECT_FALSE(QFile::exists(dir.filePath("Tessav.xml")));
        run.Click("Btn_Close");
        EXPECT_TRUE(run.Fakes.Messages.Shown.empty());
    }
    TProgramState saved;
    Read_Settings(dir.filePath("Tessav.xml"), saved);
    EXPECT_EQ(saved.Last_IP_Address, "192.168.2.205");
    EXPECT_EQ(saved.Language_Name, "English");
    EXPECT_EQ(Read_Test_File(dir.filePath("Tessav.xml")).count("<"), 2 * 12);
}

TEST(MainWindow, StepsTwoToFourRefuseWithoutConfiguration)
{
    QTemporaryDir dir;
    TProgram_Run run(dir.path());
    for (const char* step : {"Btn_Prm_Gen", "Btn_IEC61850_Client", "Btn_CreateBin"}) {
        run.Fakes.Messages.Shown.clear();
        run.Click(step);
        ASSERT_EQ(run.Fakes.Messages.Shown.size(), 1u) << step;
        EXPECT_EQ(run.Fakes.Messages.Shown[0], (TFake_Messages::TShown{"error", "Error! Project not Valid"})) << step;
        EXPECT_FALSE(QApplication::activeModalWidget()) << step;
    }
    EXPECT_EQ(QDir(dir.filePath("PROJECTS")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

TEST(MainWindow, RestoresTheRememberedConfigurationAndLanguage)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("PROJECTS/Plant A/bin");
    QDir(dir.path()).mkpath("LANGUAGE");
    Write_Test_File(dir.filePath("LANGUAGE/Deutsch.lng"), "STR0011 = \xB6Offene Konfiguration : \xB6\n");
    Write_Test_File(dir.filePath("Tessav.xml"),
        "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj><lastlang><language>Deutsch</language></lastlang>"
        "<lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></Conf_Settings>");
    TProgram_Run run(dir.path());
    EXPECT_EQ(run.Label("L_Name_Conf"), "Offene Konfiguration : ");
    EXPECT_EQ(run.Label("L_Name_Conf_L2"), "Plant A");
    EXPECT_EQ(run.State.Project_Folder, QDir(dir.path()).filePath("PROJECTS") + QDir::separator() + "Plant A");
    EXPECT_TRUE(run.State.ParGen_File.endsWith("ParGen.xml"));
    EXPECT_TRUE(run.Main->Timer_Update->isActive());
    EXPECT_EQ(run.Main->Timer_Update->interval(), 60000);
}

TEST(MainWindow, RememberedConfigurationWhoseFolderIsGoneIsWrittenBackUnchanged)
{
    QTemporaryDir dir;
    Write_Test_File(dir.filePath("Tessav.xml"),
        "<Conf_Settings><lastproj><projectname>Deleted</projectname></lastproj><lastlang><language>Nowhere</language></lastlang></Conf_Settings>");
    {
        TProgram_Run run(dir.path());
        EXPECT_EQ(run.Label("L_Name_Conf"), "None Configuration Opened ");
        EXPECT_FALSE(run.State.Configuration_Active());
        run.Click("Btn_Prm_Gen");
        EXPECT_EQ(run.Fakes.Messages.Texts("error"), QStringList{"Error! Project not Valid"});
        run.Main->close();
    }
    TProgramState saved;
    Read_Settings(dir.filePath("Tessav.xml"), saved);
    EXPECT_EQ(saved.Project_Name, "Deleted");
    EXPECT_EQ(saved.Language_Name, "English"); // no file for the language: the program ran in English
}

TEST(MainWindow, MakerLabelOpensTheHomePage)
{
    QTemporaryDir dir;
    TProgram_Run run(dir.path());
    auto* maker = run.Main->findChild<QLabel*>("L_Maker");
    emit maker->linkActivated("home");
    EXPECT_EQ(run.Fakes.Shell.Opened, QStringList{"http://www.tessav.example/HOME/default.asp?frompg=SWQuelmor"});
}

TEST(MainWindow, UnwritableSettingsFileDoesNotKeepTheWindowOpen)
{
    QTemporaryDir dir;
    TProgram_Run run(dir.path());
    QDir(dir.path()).mkdir("Tessav.xml"); // a folder where the file should go
    run.Main->close();
    EXPECT_FALSE(run.Main->isVisible());
    ASSERT_EQ(run.Fakes.Messages.Texts("error").size(), 1);
    EXPECT_TRUE(run.Fakes.Messages.Texts("error")[0].contains("Tessav.xml"));
}

TEST(MainWindow, StepFourShowsTheUpdateWindowInItsEthernetMode)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("PROJECTS/Plant A/bin");
    Write_Test_File(dir.filePath("Tessav.xml"), "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj></Conf_Settings>");
    TProgram_Run run(dir.path());
    auto* boot = run.Main->findChild<TFBoot*>("TFBoot");
    ASSERT_TRUE(boot);
    boot->Form_Type = 0;
    QString title;
    int formType = -1;
    On_Next_Modal([&](QWidget* modal) {
        title = modal->windowTitle();
        formType = boot->Form_Type;
        QTest::mouseClick(modal->findChild<QPushButton*>("Btn_Cancel"), Qt::LeftButton);
    });
    run.Click("Btn_CreateBin");
    EXPECT_EQ(title, "Update Device by Ethernet (UDP)");
    EXPECT_EQ(formType, 1);
    EXPECT_FALSE(boot->isVisible());

    run.Texts.Set(1002, "Aggiornamento");
    run.Main->Change_Language();
    EXPECT_EQ(boot->windowTitle(), "Aggiornamento");
}
