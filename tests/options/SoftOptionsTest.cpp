#include "Constants.h"
#include "FakePlatform.h"
#include "Settings.h"
#include "TFSoftOptions.h"
#include "TFTessavoFirmWare.h"
#include "WindowTestSupport.h"
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QColor Red(255, 0, 0), Blue(0, 0, 255);

void Write_Flag(const QString& path, const QColor& colour)
{
    QImage flag(48, 48, QImage::Format_RGB32);
    flag.fill(colour);
    ASSERT_TRUE(flag.save(path, "BMP"));
}

// A language that sets a few texts of the main and the options window.
const QByteArray Zeta_Texts = "\xEF\xBB\xBF"
                              "STR0000 = Anfang\n"
                              "STR0013 = Optionen\n"
                              "STR0300 = Softwareoptionen\n"
                              "STR0302 = Sprache\n"
                              "STR0304 = \xC2\xB6Gewaehlte Sprache : \xC2\xB6\n"
                              "STR0305 = \xC2\xB6Seite \xC2\xB6\n"
                              "STR0306 = \xC2\xB6 von \xC2\xB6\n"
                              "STR0309 = Internet erlauben\n"
                              "STR0312 = Gut\n"
                              "STR0314 = Neue Version\n"
                              "STR0315 = Kein Update\n";

// The program folder's LANGUAGE with the given language files (each sets nothing but a title).
QString Language_Folder(const QTemporaryDir& dir, const QStringList& languages)
{
    QDir(dir.path()).mkpath("LANGUAGE");
    const QString folder = dir.filePath("LANGUAGE");
    for (const QString& language : languages)
        Write_Test_File(folder + "/" + language + ".lng", language == "Zeta" ? Zeta_Texts : QByteArray("Title\n"));
    return folder;
}

template <typename W>
W* Find(QWidget* window, const char* name)
{
    W* w = window->findChild<W*>(name);
    EXPECT_TRUE(w) << name;
    return w;
}

bool Shown(QWidget* window, const char* name) { return Find<QWidget>(window, name)->isVisibleTo(window); }
QString Text(QWidget* window, const char* name) { return Find<QLabel>(window, name)->text(); }

void Click(QWidget* window, const char* name) { QTest::mouseClick(Find<QWidget>(window, name), Qt::LeftButton); }

// A check box is clicked on its indicator (the box may be wider than its text).
void Click_Box(QWidget* window, const char* name)
{
    auto* box = Find<QCheckBox>(window, name);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

void Show_Page(QWidget* window, const char* page)
{
    auto* tabs = Find<QTabWidget>(window, "PC_Options");
    tabs->setCurrentWidget(Find<QWidget>(window, page));
}

// The options window alone; its re-labelling callback records the calls and re-labels it.
struct TOptions_Run {
    TFake_Platform Fakes;
    TProgramState State;
    TText_Table Texts;
    TAppContext Ctx{State, Texts, Fakes.Services()};
    int Relabelled = 0;
    std::unique_ptr<TFSoftOptions> Window;

    explicit TOptions_Run(const QString& programFolder)
    {
        State.Set_Program_Folder(programFolder);
        Window = std::make_unique<TFSoftOptions>(Ctx, [this] {
            ++Relabelled;
            Window->Set_Lang();
        });
    }
    void Open()
    {
        Window->show();
        Window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    }
};

// The whole program on its own folder, with the options window behind the main window.
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
    // Clicks the options button and runs `inside` on the open options window.
    void In_Options(std::function<void(QWidget*)> inside)
    {
        On_Next_Modal([inside](QWidget* dialog) {
            EXPECT_EQ(dialog->objectName(), "TFSoftOptions");
            inside(dialog);
            if (dialog->isVisible()) // never leave the test hanging in exec()
                static_cast<QDialog*>(dialog)->reject();
        });
        Click(Main.get(), "Btn_Opz");
    }
};

} // namespace

TEST(SoftOptions, SevenLanguagesOnTwoPagesSortedIgnoringCase)
{
    QTemporaryDir dir;
    const QString folder = Language_Folder(dir, {"golf", "Foxtrot", "echo", "Delta", "charlie", "Bravo", "alpha"});
    Write_Flag(folder + "/alpha.bmp", Red);
    Write_Flag(folder + "/DefaultFlag.bmp", Blue);
    TOptions_Run run(dir.path());
    QWidget* w = run.Window.get();
    run.Open();

    const char* const labels[6] = {"L_L1", "L_L2", "L_L3", "L_L4", "L_L5", "L_L6"};
    const char* const pictures[6] = {"I_L1", "I_L2", "I_L3", "I_L4", "I_L5", "I_L6"};
    const QStringList pageOne = {"alpha", "Bravo", "charlie", "Delta", "echo", "Foxtrot"};
    for (int k = 0; k < 6; ++k) {
        EXPECT_TRUE(Shown(w, labels[k])) << k;
        EXPECT_EQ(Text(w, labels[k]), pageOne[k]);
        EXPECT_TRUE(Shown(w, pictures[k])) << k;
        EXPECT_EQ(Find<QLabel>(w, pictures[k])->pixmap().toImage().pixelColor(10, 10), k == 0 ? Red : Blue) << k;
    }
    EXPECT_TRUE(Shown(w, "Btn_Next"));
    EXPECT_FALSE(Shown(w, "Btn_Prev"));
    EXPECT_EQ(Text(w, "L_Page_Lang"), "Page 1 / 2");
    EXPECT_EQ(Text(w, "L_Sel_Lang"), "Selected Language : English");

    Click(w, "Btn_Next");
    EXPECT_EQ(run.Window->Show_Page, 2);
    EXPECT_EQ(Text(w, "L_L1"), "golf");
    for (int k = 1; k < 6; ++k) {
        EXPECT_FALSE(Shown(w, labels[k])) << k;
        EXPECT_FALSE(Shown(w, pictures[k])) << k;
    }
    EXPECT_TRUE(Shown(w, "Btn_Prev"));
    EXPECT_FALSE(Shown(w, "Btn_Next"));
    EXPECT_EQ(Text(w, "L_Page_Lang"), "Page 2 / 2");

    Click(w, "Btn_Prev");
    EXPECT_EQ(Text(w, "L_L1"), "alpha");
    EXPECT_EQ(Text(w, "L_Page_Lang"), "Page 1 / 2");
}

TEST(SoftOptions, NoLanguageFileShowsNoSlotAndAMissingFlagShowsNoPicture)
{
    QTemporaryDir dir;
    Language_Folder(dir, {});
    TOptions_Run run(dir.path());
    QWidget* w = run.Window.get();
    run.Open();
    for (const char* slot : {"L_L1", "I_L1", "L_L6", "I_L6", "Btn_Next", "Btn_Prev"})
        EXPECT_FALSE(Shown(w, slot)) << slot;
    EXPECT_EQ(Text(w, "L_Page_Lang"), "Page 1 / 1");
    Click(w, "L_L1"); // a hidden slot picks nothing
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty());

    // A language without a flag of its own and no default flag: its name and no picture.
    run.Window->hide();
    Language_Folder(dir, {"Solo"});
    run.Open();
    EXPECT_TRUE(Shown(w, "L_L1"));
    EXPECT_EQ(Text(w, "L_L1"), "Solo");
    EXPECT_FALSE(Shown(w, "I_L1"));
    EXPECT_FALSE(Shown(w, "L_L2"));
}

TEST(SoftOptions, PickingALanguageAsksAndRelabelsWithoutTouchingTheState)
{
    QTemporaryDir dir;
    const QString folder = Language_Folder(dir, {"A1", "A2", "A3", "A4", "A5", "A6", "Zeta"});
    Write_Flag(folder + "/DefaultFlag.bmp", Blue);
    TOptions_Run run(dir.path());
    QWidget* w = run.Window.get();
    run.Open();
    Show_Page(w, "TS_Soft_Settings");
    Click_Box(w, "CB_Soft_Set_Jump_Table");
    Show_Page(w, "TS_Language");
    Click(w, "Btn_Next");

    run.Fakes.Messages.Answers = {IMessages::TAnswer::No};
    Click(w, "L_L1");
    EXPECT_EQ(run.Fakes.Messages.Texts("question"), QStringList{"Do you want to change the Language from English to Zeta?"});
    EXPECT_EQ(run.Relabelled, 0);
    EXPECT_EQ(run.Texts[302], "Language");

    Click(w, "I_L1"); // the picture picks as the label does
    EXPECT_EQ(run.Fakes.Messages.Shown.size(), 2u);
    EXPECT_EQ(run.Relabelled, 1);
    EXPECT_EQ(run.Window->Language_In_Use, "Zeta");
    EXPECT_EQ(run.State.Language_Name, "English"); // only OK changes it
    EXPECT_EQ(run.Window->Show_Page, 2);
    EXPECT_EQ(Text(w, "L_Page_Lang"), "Seite 2 von 2");
    EXPECT_EQ(Text(w, "L_Sel_Lang"), "Gewaehlte Sprache : Zeta");
    auto* tabs = Find<QTabWidget>(w, "PC_Options");
    EXPECT_EQ(tabs->tabText(0), "Sprache");
    EXPECT_EQ(tabs->tabText(1), "Connection Options"); // not in the file: English
    EXPECT_EQ(Find<QPushButton>(w, "Btn_OK")->text(), "Gut");
    EXPECT_EQ(w->windowTitle(), "Softwareoptionen");
    EXPECT_TRUE(Find<QCheckBox>(w, "CB_Soft_Set_Jump_Table")->isChecked()); // no data changed

    // The same language again is asked about too.
    Click(w, "L_L1");
    EXPECT_EQ(run.Fakes.Messages.Texts("question").last(), "Do you want to change the Language from Zeta to Zeta?");

    Click(w, "Btn_OK");
    EXPECT_EQ(run.Window->result(), QDialog::Accepted);
    EXPECT_EQ(run.State.Language_Name, "Zeta");
    EXPECT_TRUE(run.State.Enable_Jump_Field_Tables);
}

TEST(SoftOptions, EnablingRuleOfTheConnectionBoxes)
{
    QTemporaryDir dir;
    struct TCase {
        bool internet, update;
        bool updateEnabled, checkEnabled;
    };
    const TCase cases[] = {
        {false, false, false, false},
        {false, true, false, false},
        {true, false, true, false},
        {true, true, true, true},
    };
    TOptions_Run run(dir.path());
    QWidget* w = run.Window.get();
    auto* update = Find<QCheckBox>(w, "CB_Update");
    auto* check = Find<QPushButton>(w, "Btn_Check_Update");
    for (const TCase& c : cases) {
        const std::string at = std::string("internet ") + (c.internet ? "on" : "off") + ", update " + (c.update ? "on" : "off");
        run.State.Enable_Internet = c.internet;
        run.State.Enable_Update = c.update;
        run.Open();
        EXPECT_EQ(Find<QTabWidget>(w, "PC_Options")->currentWidget()->objectName(), "TS_Language") << at;
        EXPECT_EQ(Find<QCheckBox>(w, "CB_En_Con")->isChecked(), c.internet) << at;
        EXPECT_EQ(update->isChecked(), c.update) << at;
        EXPECT_EQ(update->isEnabled(), c.updateEnabled) << at;
        EXPECT_EQ(check->isEnabled(), c.checkEnabled) << at;

        // Clicking the Internet box flips the rule; a disabled update box keeps its tick.
        Show_Page(w, "TS_Con_Options");
        Click_Box(w, "CB_En_Con");
        EXPECT_EQ(update->isChecked(), c.update) << at;
        EXPECT_EQ(update->isEnabled(), !c.updateEnabled) << at;
        EXPECT_EQ(check->isEnabled(), !c.internet && c.update) << at;
        if (update->isEnabled()) {
            Click_Box(w, "CB_Update");
            EXPECT_EQ(check->isEnabled(), !c.update) << at;
        }
        Click(w, "Btn_Cancel");
        EXPECT_EQ(run.State.Enable_Internet, c.internet) << at; // Cancel keeps the state
        EXPECT_EQ(run.State.Enable_Update, c.update) << at;
    }
}

TEST(SoftOptions, CheckAtOnceShowsTheLinkOrNoUpdate)
{
    QTemporaryDir dir;
    Language_Folder(dir, {"Zeta"});
    TOptions_Run run(dir.path());
    QWidget* w = run.Window.get();
    run.State.Enable_Internet = run.State.Enable_Update = true;
    run.Open();
    Show_Page(w, "TS_Con_Options");
    EXPECT_FALSE(Shown(w, "LL_Check_Update"));

    run.Fakes.Http.Next = {true, "VER. 1.001\r\n", {}};
    Click(w, "Btn_Check_Update");
    EXPECT_EQ(run.Fakes.Http.Urls, QStringList{Maker_Version_Service()});
    EXPECT_TRUE(Shown(w, "LL_Check_Update"));
    auto* result = Find<QLabel>(w, "LL_Check_Update");
    EXPECT_EQ(result->text(), "<a href=\"" + Maker_Download_Page() + "\">New Version Available. Click Here for more Details</a>");
    emit result->linkActivated(Maker_Download_Page());
    EXPECT_EQ(run.Fakes.Shell.Opened, QStringList{Maker_Download_Page()});

    run.Fakes.Http.Next = {false, {}, "no route"};
    Click(w, "Btn_Check_Update");
    EXPECT_EQ(result->text(), "No Update Available");
    EXPECT_EQ(result->textFormat(), Qt::PlainText);

    // A language switch recomposes the shown result in the new language.
    Show_Page(w, "TS_Language");
    Click(w, "L_L1");
    EXPECT_EQ(result->text(), "Kein Update");
    EXPECT_FALSE(result->isHidden());

    // The next opening hides the last result.
    run.Window->hide();
    run.Open();
    EXPECT_FALSE(Shown(w, "LL_Check_Update"));
}

TEST(Options, LanguageSwitchOnPageTwoRelabelsEveryWindowAndCancelKeepsTheSettingsLanguage)
{
    QTemporaryDir dir;
    Language_Folder(dir, {"A1", "A2", "A3", "A4", "A5", "A6", "Zeta"});
    {
        TProgram_Run run(dir.path());
        run.In_Options([&](QWidget* w) {
            Click(w, "Btn_Next");
            Click(w, "L_L1");
            EXPECT_EQ(Text(w, "L_Page_Lang"), "Seite 2 von 2");
            // The main window, open behind, follows at once.
            EXPECT_EQ(Text(run.Main.get(), "L_Begin"), "Anfang");
            EXPECT_EQ(Find<QPushButton>(run.Main.get(), "Btn_Opz")->toolTip(), "Optionen");
            EXPECT_EQ(Text(run.Main.get(), "L_Step_1"), "Step 1"); // not in the file: English
            Click(w, "Btn_Cancel");
        });
        EXPECT_FALSE(QApplication::activeModalWidget());
        EXPECT_EQ(run.State.Language_Name, "English");
        EXPECT_EQ(Text(run.Main.get(), "L_Begin"), "Anfang"); // the new texts stay for the run
        EXPECT_FALSE(QFile::exists(dir.filePath("Tessav.xml"))); // Cancel saves nothing

        // The options window opens again in the new texts, naming the settings' language.
        run.In_Options([&](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Softwareoptionen");
            EXPECT_EQ(Text(w, "L_Page_Lang"), "Seite 1 von 2");
            EXPECT_EQ(Text(w, "L_Sel_Lang"), "Gewaehlte Sprache : English");
            Click(w, "Btn_Cancel");
        });
        run.Main->close();
    }
    TProgramState saved;
    Read_Settings(dir.filePath("Tessav.xml"), saved);
    EXPECT_EQ(saved.Language_Name, "English");

    // With OK the language is saved at once and used at the next start.
    {
        TProgram_Run run(dir.path());
        run.In_Options([&](QWidget* w) {
            Click(w, "Btn_Next");
            Click(w, "L_L1");
            Click(w, "Btn_OK");
        });
        Read_Settings(dir.filePath("Tessav.xml"), saved);
        EXPECT_EQ(saved.Language_Name, "Zeta");
    }
    TProgram_Run next(dir.path());
    EXPECT_EQ(Text(next.Main.get(), "L_Begin"), "Anfang");
}

TEST(Options, OkStoresTheTicksSavesAndSetsTheTimer)
{
    QTemporaryDir dir;
    Write_Test_File(dir.filePath("Tessav.xml"),
        "<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></Conf_Settings>");
    TProgram_Run run(dir.path());
    ASSERT_TRUE(run.Main->Timer_Update->isActive());

    // Internet cleared, update still ticked (and disabled): saved as set, the timer stops.
    run.In_Options([&](QWidget* w) {
        Show_Page(w, "TS_Con_Options");
        Click_Box(w, "CB_En_Con");
        EXPECT_FALSE(Find<QCheckBox>(w, "CB_Update")->isEnabled());
        Show_Page(w, "TS_Soft_Settings");
        Click_Box(w, "CB_DoubleClick_Auto_Size");
        Click(w, "Btn_OK");
    });
    TProgramState saved;
    Read_Settings(dir.filePath("Tessav.xml"), saved);
    EXPECT_FALSE(saved.Enable_Internet);
    EXPECT_TRUE(saved.Enable_Update);
    EXPECT_TRUE(saved.Double_Click_Auto_Size);
    EXPECT_FALSE(saved.Enable_Jump_Field_Tables);
    EXPECT_FALSE(run.Main->Timer_Update->isActive());

    // Cancel changes nothing: neither the state, nor the file, nor the timer.
    const QByteArray before = Read_Test_File(dir.filePath("Tessav.xml"));
    run.In_Options([&](QWidget* w) {
        Show_Page(w, "TS_Con_Options");
        Click_Box(w, "CB_En_Con");
        Click(w, "Btn_Cancel");
    });
    EXPECT_FALSE(run.State.Enable_Internet);
    EXPECT_EQ(Read_Test_File(dir.filePath("Tessav.xml")), before);
    EXPECT_FALSE(run.Main->Timer_Update->isActive());

    // Both set again: the timer runs, first after the minute it was last given.
    run.In_Options([&](QWidget* w) {
        Show_Page(w, "TS_Con_Options");
        Click_Box(w, "CB_En_Con");
        Click(w, "Btn_OK");
    });
    EXPECT_TRUE(run.Main->Timer_Update->isActive());
    EXPECT_EQ(run.Main->Timer_Update->interval(), 60000);
    EXPECT_TRUE(run.Fakes.Http.Urls.isEmpty()); // no check ran
}

TEST(MainWindow, TimerChecksTheVersionAndShowsOrHidesTheLink)
{
    QTemporaryDir dir;
    Write_Test_File(dir.filePath("Tessav.xml"),
        "<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></Conf_Settings>");
    TProgram_Run run(dir.path());
    QTimer* timer = run.Main->Timer_Update;
    auto* link = Find<QLabel>(run.Main.get(), "LL_Update");
    EXPECT_EQ(timer->interval(), 60000);

    run.Fakes.Http.Next = {true, "VER. 1.001", {}};
    timer->start(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.Fakes.Http.Urls.size() == 1; }, 5000));
    EXPECT_EQ(run.Fakes.Http.Urls[0], Maker_Version_Service());
    EXPECT_TRUE(link->isVisible());
    EXPECT_EQ(link->text(), "<a href=\"" + Maker_Download_Page() + "\">New Version Available. Click Here for more Details</a>");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 7200000);
    emit link->linkActivated(Maker_Download_Page());
    EXPECT_EQ(run.Fakes.Shell.Opened, QStringList{Maker_Download_Page()});

    run.Fakes.Http.Next = {true, "VER. 0.000", {}};
    timer->start(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.Fakes.Http.Urls.size() == 2; }, 5000));
    EXPECT_FALSE(link->isVisible());
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 7200000);
}
