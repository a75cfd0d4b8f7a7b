#include "base/Constants.h"
#include "fakes/FakePlatform.h"
#include "base/Settings.h"
#include "options/gui/OptionsDialog.h"
#include "app/MainWindow.h"
#include "support/WindowTestSupport.h"
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

void writeFlag(const QString& path, const QColor& colour)
{
    QImage flag(48, 48, QImage::Format_RGB32);
    flag.fill(colour);
    ASSERT_TRUE(flag.save(path, "BMP"));
}

// A language that sets a few texts of the main and the options window.
const QByteArray zetaTexts = "\xEF\xBB\xBF"
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
QString languageFolder(const QTemporaryDir& dir, const QStringList& languages)
{
    QDir(dir.path()).mkpath("LANGUAGE");
    const QString folder = dir.filePath("LANGUAGE");
    for (const QString& language : languages)
        writeTestFile(folder + "/" + language + ".lng", language == "Zeta" ? zetaTexts : QByteArray("Title\n"));
    return folder;
}

template <typename W>
W* find(QWidget* window, const char* name)
{
    W* w = window->findChild<W*>(name);
    EXPECT_TRUE(w) << name;
    return w;
}

bool shown(QWidget* window, const char* name) { return find<QWidget>(window, name)->isVisibleTo(window); }
QString text(QWidget* window, const char* name) { return find<QLabel>(window, name)->text(); }

void Click(QWidget* window, const char* name) { QTest::mouseClick(find<QWidget>(window, name), Qt::LeftButton); }

// A check box is clicked on its indicator (the box may be wider than its text).
void clickBox(QWidget* window, const char* name)
{
    auto* box = find<QCheckBox>(window, name);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

void shownPage(QWidget* window, const char* page)
{
    auto* tabs = find<QTabWidget>(window, "PC_Options");
    tabs->setCurrentWidget(find<QWidget>(window, page));
}

// The options window alone; its re-labelling callback records the calls and re-labels it.
struct OptionsRun {
    FakePlatform Fakes;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, Fakes.services()};
    int Relabelled = 0;
    std::unique_ptr<OptionsDialog> window;

    explicit OptionsRun(const QString& programFolder)
    {
        state.setProgramFolder(programFolder);
        window = std::make_unique<OptionsDialog>(context, [this] {
            ++Relabelled;
            window->retranslate();
        });
    }
    void Open()
    {
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
};

// The whole program on its own folder, with the options window behind the main window.
struct ProgramRun {
    FakePlatform Fakes;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, Fakes.services()};
    std::unique_ptr<MainWindow> Main;

    explicit ProgramRun(const QString& folder)
        : Main(std::make_unique<MainWindow>(context, folder))
    {
        Main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    // Clicks the options button and runs `inside` on the open options window.
    void inOptions(std::function<void(QWidget*)> inside)
    {
        onNextModal([inside](QWidget* dialog) {
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
    const QString folder = languageFolder(dir, {"golf", "Foxtrot", "echo", "Delta", "charlie", "Bravo", "alpha"});
    writeFlag(folder + "/alpha.bmp", Red);
    writeFlag(folder + "/DefaultFlag.bmp", Blue);
    OptionsRun run(dir.path());
    QWidget* w = run.window.get();
    run.Open();

    const char* const labels[6] = {"L_L1", "L_L2", "L_L3", "L_L4", "L_L5", "L_L6"};
    const char* const pictures[6] = {"I_L1", "I_L2", "I_L3", "I_L4", "I_L5", "I_L6"};
    const QStringList pageOne = {"alpha", "Bravo", "charlie", "Delta", "echo", "Foxtrot"};
    for (int k = 0; k < 6; ++k) {
        EXPECT_TRUE(shown(w, labels[k])) << k;
        EXPECT_EQ(text(w, labels[k]), pageOne[k]);
        EXPECT_TRUE(shown(w, pictures[k])) << k;
        EXPECT_EQ(find<QLabel>(w, pictures[k])->pixmap().toImage().pixelColor(10, 10), k == 0 ? Red : Blue) << k;
    }
    EXPECT_TRUE(shown(w, "Btn_Next"));
    EXPECT_FALSE(shown(w, "Btn_Prev"));
    EXPECT_EQ(text(w, "L_Page_Lang"), "Page 1 / 2");
    EXPECT_EQ(text(w, "L_Sel_Lang"), "Selected Language : English");

    Click(w, "Btn_Next");
    EXPECT_EQ(run.window->shownPage, 2);
    EXPECT_EQ(text(w, "L_L1"), "golf");
    for (int k = 1; k < 6; ++k) {
        EXPECT_FALSE(shown(w, labels[k])) << k;
        EXPECT_FALSE(shown(w, pictures[k])) << k;
    }
    EXPECT_TRUE(shown(w, "Btn_Prev"));
    EXPECT_FALSE(shown(w, "Btn_Next"));
    EXPECT_EQ(text(w, "L_Page_Lang"), "Page 2 / 2");

    Click(w, "Btn_Prev");
    EXPECT_EQ(text(w, "L_L1"), "alpha");
    EXPECT_EQ(text(w, "L_Page_Lang"), "Page 1 / 2");
}

TEST(SoftOptions, NoLanguageFileShowsNoSlotAndAMissingFlagShowsNoPicture)
{
    QTemporaryDir dir;
    languageFolder(dir, {});
    OptionsRun run(dir.path());
    QWidget* w = run.window.get();
    run.Open();
    for (const char* slot : {"L_L1", "I_L1", "L_L6", "I_L6", "Btn_Next", "Btn_Prev"})
        EXPECT_FALSE(shown(w, slot)) << slot;
    EXPECT_EQ(text(w, "L_Page_Lang"), "Page 1 / 1");
    Click(w, "L_L1"); // a hidden slot picks nothing
    EXPECT_TRUE(run.Fakes.messages.shown.empty());

    // A language without a flag of its own and no default flag: its name and no picture.
    run.window->hide();
    languageFolder(dir, {"Solo"});
    run.Open();
    EXPECT_TRUE(shown(w, "L_L1"));
    EXPECT_EQ(text(w, "L_L1"), "Solo");
    EXPECT_FALSE(shown(w, "I_L1"));
    EXPECT_FALSE(shown(w, "L_L2"));
}

TEST(SoftOptions, PickingALanguageAsksAndRelabelsWithoutTouchingTheState)
{
    QTemporaryDir dir;
    const QString folder = languageFolder(dir, {"A1", "A2", "A3", "A4", "A5", "A6", "Zeta"});
    writeFlag(folder + "/DefaultFlag.bmp", Blue);
    OptionsRun run(dir.path());
    QWidget* w = run.window.get();
    run.Open();
    shownPage(w, "TS_Soft_Settings");
    clickBox(w, "CB_Soft_Set_Jump_Table");
    shownPage(w, "TS_Language");
    Click(w, "Btn_Next");

    run.Fakes.messages.Answers = {MessageService::Answer::No};
    Click(w, "L_L1");
    EXPECT_EQ(run.Fakes.messages.texts("question"), QStringList{"Do you want to change the Language from English to Zeta?"});
    EXPECT_EQ(run.Relabelled, 0);
    EXPECT_EQ(run.texts[302], "Language");

    Click(w, "I_L1"); // the picture picks as the label does
    EXPECT_EQ(run.Fakes.messages.shown.size(), 2u);
    EXPECT_EQ(run.Relabelled, 1);
    EXPECT_EQ(run.window->languageInUse, "Zeta");
    EXPECT_EQ(run.state.languageName, "English"); // only OK changes it
    EXPECT_EQ(run.window->shownPage, 2);
    EXPECT_EQ(text(w, "L_Page_Lang"), "Seite 2 von 2");
    EXPECT_EQ(text(w, "L_Sel_Lang"), "Gewaehlte Sprache : Zeta");
    auto* tabs = find<QTabWidget>(w, "PC_Options");
    EXPECT_EQ(tabs->tabText(0), "Sprache");
    EXPECT_EQ(tabs->tabText(1), "Connection Options"); // not in the file: English
    EXPECT_EQ(find<QPushButton>(w, "Btn_OK")->text(), "Gut");
    EXPECT_EQ(w->windowTitle(), "Softwareoptionen");
    EXPECT_TRUE(find<QCheckBox>(w, "CB_Soft_Set_Jump_Table")->isChecked()); // no data changed

    // The same language again is asked about too.
    Click(w, "L_L1");
    EXPECT_EQ(run.Fakes.messages.texts("question").last(), "Do you want to change the Language from Zeta to Zeta?");

    Click(w, "Btn_OK");
    EXPECT_EQ(run.window->result(), QDialog::Accepted);
    EXPECT_EQ(run.state.languageName, "Zeta");
    EXPECT_TRUE(run.state.enableJumpFieldTables);
}

TEST(SoftOptions, EnablingRuleOfTheConnectionBoxes)
{
    QTemporaryDir dir;
    struct Case {
        bool internet, update;
        bool updateEnabled, checkEnabled;
    };
    const Case cases[] = {
        {false, false, false, false},
        {false, true, false, false},
        {true, false, true, false},
        {true, true, true, true},
    };
    OptionsRun run(dir.path());
    QWidget* w = run.window.get();
    auto* update = find<QCheckBox>(w, "CB_Update");
    auto* check = find<QPushButton>(w, "Btn_Check_Update");
    for (const Case& c : cases) {
        const std::string at = std::string("internet ") + (c.internet ? "on" : "off") + ", update " + (c.update ? "on" : "off");
        run.state.enableInternet = c.internet;
        run.state.enableUpdate = c.update;
        run.Open();
        EXPECT_EQ(find<QTabWidget>(w, "PC_Options")->currentWidget()->objectName(), "TS_Language") << at;
        EXPECT_EQ(find<QCheckBox>(w, "CB_En_Con")->isChecked(), c.internet) << at;
        EXPECT_EQ(update->isChecked(), c.update) << at;
        EXPECT_EQ(update->isEnabled(), c.updateEnabled) << at;
        EXPECT_EQ(check->isEnabled(), c.checkEnabled) << at;

        // Clicking the Internet box flips the rule; a disabled update box keeps its tick.
        shownPage(w, "TS_Con_Options");
        clickBox(w, "CB_En_Con");
        EXPECT_EQ(update->isChecked(), c.update) << at;
        EXPECT_EQ(update->isEnabled(), !c.updateEnabled) << at;
        EXPECT_EQ(check->isEnabled(), !c.internet && c.update) << at;
        if (update->isEnabled()) {
            clickBox(w, "CB_Update");
            EXPECT_EQ(check->isEnabled(), !c.update) << at;
        }
        Click(w, "Btn_Cancel");
        EXPECT_EQ(run.state.enableInternet, c.internet) << at; // Cancel keeps the state
        EXPECT_EQ(run.state.enableUpdate, c.update) << at;
    }
}

TEST(SoftOptions, CheckAtOnceShowsTheLinkOrNoUpdate)
{
    QTemporaryDir dir;
    languageFolder(dir, {"Zeta"});
    OptionsRun run(dir.path());
    QWidget* w = run.window.get();
    run.state.enableInternet = run.state.enableUpdate = true;
    run.Open();
    shownPage(w, "TS_Con_Options");
    EXPECT_FALSE(shown(w, "LL_Check_Update"));

    run.Fakes.http.Next = {true, "VER. 1.001\r\n", {}};
    Click(w, "Btn_Check_Update");
    EXPECT_EQ(run.Fakes.http.Urls, QStringList{makerVersionService()});
    EXPECT_TRUE(shown(w, "LL_Check_Update"));
    auto* result = find<QLabel>(w, "LL_Check_Update");
    EXPECT_EQ(result->text(), "<a href=\"" + makerDownloadPage() + "\">New Version Available. Click Here for more Details</a>");
    emit result->linkActivated(makerDownloadPage());
    EXPECT_EQ(run.Fakes.shell.Opened, QStringList{makerDownloadPage()});

    run.Fakes.http.Next = {false, {}, "no route"};
    Click(w, "Btn_Check_Update");
    EXPECT_EQ(result->text(), "No Update Available");
    EXPECT_EQ(result->textFormat(), Qt::PlainText);

    // A language switch recomposes the shown result in the new language.
    shownPage(w, "TS_Language");
    Click(w, "L_L1");
    EXPECT_EQ(result->text(), "Kein Update");
    EXPECT_FALSE(result->isHidden());

    // The next opening hides the last result.
    run.window->hide();
    run.Open();
    EXPECT_FALSE(shown(w, "LL_Check_Update"));
}

TEST(Options, LanguageSwitchOnPageTwoRelabelsEveryWindowAndCancelKeepsTheSettingsLanguage)
{
    QTemporaryDir dir;
    languageFolder(dir, {"A1", "A2", "A3", "A4", "A5", "A6", "Zeta"});
    {
        ProgramRun run(dir.path());
        run.inOptions([&](QWidget* w) {
            Click(w, "Btn_Next");
            Click(w, "L_L1");
            EXPECT_EQ(text(w, "L_Page_Lang"), "Seite 2 von 2");
            // The main window, open behind, follows at once.
            EXPECT_EQ(text(run.Main.get(), "L_Begin"), "Anfang");
            EXPECT_EQ(find<QPushButton>(run.Main.get(), "Btn_Opz")->toolTip(), "Optionen");
            EXPECT_EQ(text(run.Main.get(), "L_Step_1"), "Step 1"); // not in the file: English
            Click(w, "Btn_Cancel");
        });
        EXPECT_FALSE(QApplication::activeModalWidget());
        EXPECT_EQ(run.state.languageName, "English");
        EXPECT_EQ(text(run.Main.get(), "L_Begin"), "Anfang"); // the new texts stay for the run
        EXPECT_FALSE(QFile::exists(dir.filePath("Tessav.xml"))); // Cancel saves nothing

        // The options window opens again in the new texts, naming the settings' language.
        run.inOptions([&](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Softwareoptionen");
            EXPECT_EQ(text(w, "L_Page_Lang"), "Seite 1 von 2");
            EXPECT_EQ(text(w, "L_Sel_Lang"), "Gewaehlte Sprache : English");
            Click(w, "Btn_Cancel");
        });
        run.Main->close();
    }
    ProgramState saved;
    readSettings(dir.filePath("Tessav.xml"), saved);
    EXPECT_EQ(saved.languageName, "English");

    // With OK the language is saved at once and used at the next start.
    {
        ProgramRun run(dir.path());
        run.inOptions([&](QWidget* w) {
            Click(w, "Btn_Next");
            Click(w, "L_L1");
            Click(w, "Btn_OK");
        });
        readSettings(dir.filePath("Tessav.xml"), saved);
        EXPECT_EQ(saved.languageName, "Zeta");
    }
    ProgramRun next(dir.path());
    EXPECT_EQ(text(next.Main.get(), "L_Begin"), "Anfang");
}

TEST(Options, OkStoresTheTicksSavesAndSetsTheTimer)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("Tessav.xml"),
        "<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></Conf_Settings>");
    ProgramRun run(dir.path());
    ASSERT_TRUE(run.Main->versionCheckTimer->isActive());

    // Internet cleared, update still ticked (and disabled): saved as set, the timer stops.
    run.inOptions([&](QWidget* w) {
        shownPage(w, "TS_Con_Options");
        clickBox(w, "CB_En_Con");
        EXPECT_FALSE(find<QCheckBox>(w, "CB_Update")->isEnabled());
        shownPage(w, "TS_Soft_Settings");
        clickBox(w, "CB_DoubleClick_Auto_Size");
        Click(w, "Btn_OK");
    });
    ProgramState saved;
    readSettings(dir.filePath("Tessav.xml"), saved);
    EXPECT_FALSE(saved.enableInternet);
    EXPECT_TRUE(saved.enableUpdate);
    EXPECT_TRUE(saved.doubleClickAutoSize);
    EXPECT_FALSE(saved.enableJumpFieldTables);
    EXPECT_FALSE(run.Main->versionCheckTimer->isActive());

    // Cancel changes nothing: neither the state, nor the file, nor the timer.
    const QByteArray before = readTestFile(dir.filePath("Tessav.xml"));
    run.inOptions([&](QWidget* w) {
        shownPage(w, "TS_Con_Options");
        clickBox(w, "CB_En_Con");
        Click(w, "Btn_Cancel");
    });
    EXPECT_FALSE(run.state.enableInternet);
    EXPECT_EQ(readTestFile(dir.filePath("Tessav.xml")), before);
    EXPECT_FALSE(run.Main->versionCheckTimer->isActive());

    // Both set again: the timer runs, first after the minute it was last given.
    run.inOptions([&](QWidget* w) {
        shownPage(w, "TS_Con_Options");
        clickBox(w, "CB_En_Con");
        Click(w, "Btn_OK");
    });
    EXPECT_TRUE(run.Main->versionCheckTimer->isActive());
    EXPECT_EQ(run.Main->versionCheckTimer->interval(), 60000);
    EXPECT_TRUE(run.Fakes.http.Urls.isEmpty()); // no check ran
}

TEST(MainWindow, TimerChecksTheVersionAndShowsOrHidesTheLink)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("Tessav.xml"),
        "<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></Conf_Settings>");
    ProgramRun run(dir.path());
    QTimer* timer = run.Main->versionCheckTimer;
    auto* link = find<QLabel>(run.Main.get(), "LL_Update");
    EXPECT_EQ(timer->interval(), 60000);

    run.Fakes.http.Next = {true, "VER. 1.001", {}};
    timer->start(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.Fakes.http.Urls.size() == 1; }, 5000));
    EXPECT_EQ(run.Fakes.http.Urls[0], makerVersionService());
    EXPECT_TRUE(link->isVisible());
    EXPECT_EQ(link->text(), "<a href=\"" + makerDownloadPage() + "\">New Version Available. Click Here for more Details</a>");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 7200000);
    emit link->linkActivated(makerDownloadPage());
    EXPECT_EQ(run.Fakes.shell.Opened, QStringList{makerDownloadPage()});

    run.Fakes.http.Next = {true, "VER. 0.000", {}};
    timer->start(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.Fakes.http.Urls.size() == 2; }, 5000));
    EXPECT_FALSE(link->isVisible());
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 7200000);
}
