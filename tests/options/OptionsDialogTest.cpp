#include "base/Constants.h"
#include "options/core/MakerWebSite.h"
#include "base/Settings.h"
#include "options/gui/OptionsDialog.h"
#include "app/ProgramRun.h"
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

void showPage(QWidget* window, const char* page)
{
    child<QTabWidget>(window, "PC_Options")->setCurrentWidget(child(window, page));
}

// The options window alone; its re-labelling callback records the calls and re-labels it.
struct OptionsRun : WindowFixture {
    int relabelled = 0;
    std::unique_ptr<OptionsDialog> window;

    explicit OptionsRun(const QString& folder)
        : WindowFixture(folder)
    {
        window = std::make_unique<OptionsDialog>(context, [this] {
            ++relabelled;
            window->retranslate();
        });
    }
    void open() { EXPECT_TRUE(showActive(window.get())); }
};

// Clicks the main window's options button and runs `inside` on the open options window.
void inOptions(ProgramRun& run, const std::function<void(QWidget*)>& inside)
{
    run.withDialog("Btn_Opz", [&](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "TFSoftOptions");
        inside(dialog);
    });
}

} // namespace

TEST(SoftOptions, SevenLanguagesOnTwoPagesSortedIgnoringCase)
{
    QTemporaryDir dir;
    const QString folder = languageFolder(dir, {"golf", "Foxtrot", "echo", "Delta", "charlie", "Bravo", "alpha"});
    writeFlag(folder + "/alpha.bmp", Red);
    writeFlag(folder + "/DefaultFlag.bmp", Blue);
    OptionsRun run(dir.path());
    QWidget* w = run.window.get();
    run.open();

    const char* const labels[6] = {"L_L1", "L_L2", "L_L3", "L_L4", "L_L5", "L_L6"};
    const char* const pictures[6] = {"I_L1", "I_L2", "I_L3", "I_L4", "I_L5", "I_L6"};
    const QStringList pageOne = {"alpha", "Bravo", "charlie", "Delta", "echo", "Foxtrot"};
    for (int k = 0; k < 6; ++k) {
        EXPECT_TRUE(shownIn(w, labels[k])) << k;
        EXPECT_EQ(labelText(w, labels[k]), pageOne[k]);
        EXPECT_TRUE(shownIn(w, pictures[k])) << k;
        EXPECT_EQ(child<QLabel>(w, pictures[k])->pixmap().toImage().pixelColor(10, 10), k == 0 ? Red : Blue) << k;
    }
    EXPECT_TRUE(shownIn(w, "Btn_Next"));
    EXPECT_FALSE(shownIn(w, "Btn_Prev"));
    EXPECT_EQ(labelText(w, "L_Page_Lang"), "Page 1 / 2");
    EXPECT_EQ(labelText(w, "L_Sel_Lang"), "Selected Language : English");

    click(w, "Btn_Next");
    EXPECT_TRUE(shownIn(w, "Btn_Prev"));
    EXPECT_EQ(labelText(w, "L_L1"), "golf");
    for (int k = 1; k < 6; ++k) {
        EXPECT_FALSE(shownIn(w, labels[k])) << k;
        EXPECT_FALSE(shownIn(w, pictures[k])) << k;
    }
    EXPECT_TRUE(shownIn(w, "Btn_Prev"));
    EXPECT_FALSE(shownIn(w, "Btn_Next"));
    EXPECT_EQ(labelText(w, "L_Page_Lang"), "Page 2 / 2");

    click(w, "Btn_Prev");
    EXPECT_EQ(labelText(w, "L_L1"), "alpha");
    EXPECT_EQ(labelText(w, "L_Page_Lang"), "Page 1 / 2");
}

TEST(SoftOptions, NoLanguageFileShowsNoSlotAndAMissingFlagShowsNoPicture)
{
    QTemporaryDir dir;
    languageFolder(dir, {});
    OptionsRun run(dir.path());
    QWidget* w = run.window.get();
    run.open();
    for (const char* slot : {"L_L1", "I_L1", "L_L6", "I_L6", "Btn_Next", "Btn_Prev"})
        EXPECT_FALSE(shownIn(w, slot)) << slot;
    EXPECT_EQ(labelText(w, "L_Page_Lang"), "Page 1 / 1");
    click(w, "L_L1"); // a hidden slot picks nothing
    EXPECT_TRUE(run.fakes.messages.shown.empty());

    // A language without a flag of its own and no default flag: its name and no picture.
    run.window->hide();
    languageFolder(dir, {"Solo"});
    run.open();
    EXPECT_TRUE(shownIn(w, "L_L1"));
    EXPECT_EQ(labelText(w, "L_L1"), "Solo");
    EXPECT_FALSE(shownIn(w, "I_L1"));
    EXPECT_FALSE(shownIn(w, "L_L2"));
}

TEST(SoftOptions, PickingALanguageAsksAndRelabelsWithoutTouchingTheState)
{
    QTemporaryDir dir;
    const QString folder = languageFolder(dir, {"A1", "A2", "A3", "A4", "A5", "A6", "Zeta"});
    writeFlag(folder + "/DefaultFlag.bmp", Blue);
    OptionsRun run(dir.path());
    QWidget* w = run.window.get();
    run.open();
    showPage(w, "TS_Soft_Settings");
    clickBox(w, "CB_Soft_Set_Jump_Table");
    showPage(w, "TS_Language");
    click(w, "Btn_Next");

    run.fakes.messages.Answers = {MessageService::Answer::No};
    click(w, "L_L1");
    EXPECT_EQ(run.fakes.messages.texts("question"), QStringList{"Do you want to change the Language from English to Zeta?"});
    EXPECT_EQ(run.relabelled, 0);
    EXPECT_EQ(run.texts[302], "Language");

    click(w, "I_L1"); // the picture picks as the label does
    EXPECT_EQ(run.fakes.messages.shown.size(), 2u);
    EXPECT_EQ(run.relabelled, 1);
    EXPECT_EQ(labelText(w, "L_Sel_Lang"), "Gewaehlte Sprache : Zeta");
    EXPECT_EQ(run.state.languageName, "English"); // only OK changes it
    EXPECT_EQ(labelText(w, "L_L1"), "Zeta"); // the page shown stays
    EXPECT_EQ(labelText(w, "L_Page_Lang"), "Seite 2 von 2");
    EXPECT_EQ(labelText(w, "L_Sel_Lang"), "Gewaehlte Sprache : Zeta");
    auto* tabs = child<QTabWidget>(w, "PC_Options");
    EXPECT_EQ(tabs->tabText(0), "Sprache");
    EXPECT_EQ(tabs->tabText(1), "Connection Options"); // not in the file: English
    EXPECT_EQ(child<QPushButton>(w, "Btn_OK")->text(), "Gut");
    EXPECT_EQ(w->windowTitle(), "Softwareoptionen");
    EXPECT_TRUE(child<QCheckBox>(w, "CB_Soft_Set_Jump_Table")->isChecked()); // no data changed

    // The same language again is asked about too.
    click(w, "L_L1");
    EXPECT_EQ(run.fakes.messages.texts("question").last(), "Do you want to change the Language from Zeta to Zeta?");

    click(w, "Btn_OK");
    EXPECT_EQ(run.window->result(), QDialog::Accepted);
    EXPECT_EQ(run.state.languageName, "Zeta");
    EXPECT_TRUE(run.state.enableJumpFieldTables);
}

// A language file too large to read would leave every text English while the window names
// the language: the choice says why instead, and nothing changes.
TEST(SoftOptions, ALanguageFileThatCannotBeReadIsRefusedWithItsReason)
{
    struct Case {
        const char* name;
        qint64 size;
        bool taken;
    };
    const Case cases[] = {
        {"at the limit", 16 * mebibyte, true},
        {"over the limit", 16 * mebibyte + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = languageFolder(dir, {"Zeta"});
        {
            QFile file(folder + "/Zeta.lng");
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.resize(c.size)); // the texts, then zeros
        }
        OptionsRun run(dir.path());
        QWidget* w = run.window.get();
        run.open();
        click(w, "L_L1");
        if (c.taken) {
            EXPECT_EQ(run.fakes.messages.texts("question").size(), 1);
            EXPECT_EQ(labelText(w, "L_Sel_Lang"), "Gewaehlte Sprache : Zeta");
        } else {
            EXPECT_TRUE(run.fakes.messages.texts("question").isEmpty());
            EXPECT_EQ(run.fakes.messages.texts("error"),
                QStringList{"The language Zeta cannot be used; the texts stay as they are.\nCannot read "
                    + QDir::toNativeSeparators(folder + "/Zeta.lng")
                    + ": it is larger than the 16 MiB a language file may have"});
            EXPECT_EQ(run.relabelled, 0);
            EXPECT_EQ(labelText(w, "L_Sel_Lang"), "Selected Language : English");
        }
        click(w, "Btn_OK");
        EXPECT_EQ(run.state.languageName, c.taken ? "Zeta" : "English");
    }
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
    auto* update = child<QCheckBox>(w, "CB_Update");
    auto* check = child<QPushButton>(w, "Btn_Check_Update");
    for (const Case& c : cases) {
        const std::string at = std::string("internet ") + (c.internet ? "on" : "off") + ", update " + (c.update ? "on" : "off");
        run.state.enableInternet = c.internet;
        run.state.enableUpdate = c.update;
        run.open();
        EXPECT_EQ(child<QTabWidget>(w, "PC_Options")->currentWidget()->objectName(), "TS_Language") << at;
        EXPECT_EQ(child<QCheckBox>(w, "CB_En_Con")->isChecked(), c.internet) << at;
        EXPECT_EQ(update->isChecked(), c.update) << at;
        EXPECT_EQ(update->isEnabled(), c.updateEnabled) << at;
        EXPECT_EQ(check->isEnabled(), c.checkEnabled) << at;

        // Clicking the Internet box flips the rule; a disabled update box keeps its tick.
        showPage(w, "TS_Con_Options");
        clickBox(w, "CB_En_Con");
        EXPECT_EQ(update->isChecked(), c.update) << at;
        EXPECT_EQ(update->isEnabled(), !c.updateEnabled) << at;
        EXPECT_EQ(check->isEnabled(), !c.internet && c.update) << at;
        if (update->isEnabled()) {
            clickBox(w, "CB_Update");
            EXPECT_EQ(check->isEnabled(), !c.update) << at;
        }
        click(w, "Btn_Cancel");
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
    run.open();
    showPage(w, "TS_Con_Options");
    EXPECT_FALSE(shownIn(w, "LL_Check_Update"));

    run.fakes.http.Next = {true, "VER. 1.001\r\n", {}};
    click(w, "Btn_Check_Update");
    EXPECT_EQ(run.fakes.http.Urls, QStringList{makerVersionService()});
    EXPECT_TRUE(shownIn(w, "LL_Check_Update"));
    auto* result = child<QLabel>(w, "LL_Check_Update");
    EXPECT_EQ(result->text(), "<a href=\"" + makerDownloadPage() + "\">New Version Available. Click Here for more Details</a>");
    emit result->linkActivated(makerDownloadPage());
    EXPECT_EQ(run.fakes.shell.Opened, QStringList{makerDownloadPage()});

    run.fakes.http.Next = {false, {}, "no route"};
    click(w, "Btn_Check_Update");
    EXPECT_EQ(result->text(), "No Update Available");
    EXPECT_EQ(result->textFormat(), Qt::PlainText);

    // A language switch recomposes the shown result in the new language.
    showPage(w, "TS_Language");
    click(w, "L_L1");
    EXPECT_EQ(result->text(), "Kein Update");
    EXPECT_FALSE(result->isHidden());

    // The next opening hides the last result.
    run.window->hide();
    run.open();
    EXPECT_FALSE(shownIn(w, "LL_Check_Update"));
}

TEST(Options, LanguageSwitchOnPageTwoRelabelsEveryWindowAndCancelKeepsTheSettingsLanguage)
{
    QTemporaryDir dir;
    languageFolder(dir, {"A1", "A2", "A3", "A4", "A5", "A6", "Zeta"});
    {
        ProgramRun run(dir.path());
        inOptions(run, [&](QWidget* w) {
            click(w, "Btn_Next");
            click(w, "L_L1");
            EXPECT_EQ(labelText(w, "L_Page_Lang"), "Seite 2 von 2");
            // The main window, open behind, follows at once.
            EXPECT_EQ(labelText(run.mainWindow.get(), "L_Begin"), "Anfang");
            EXPECT_EQ(child<QPushButton>(run.mainWindow.get(), "Btn_Opz")->toolTip(), "Optionen");
            EXPECT_EQ(labelText(run.mainWindow.get(), "L_Step_1"), "Step 1"); // not in the file: English
            click(w, "Btn_Cancel");
        });
        EXPECT_FALSE(QApplication::activeModalWidget());
        EXPECT_EQ(run.state.languageName, "English");
        EXPECT_EQ(labelText(run.mainWindow.get(), "L_Begin"), "Anfang"); // the new texts stay for the run
        EXPECT_FALSE(QFile::exists(dir.filePath("Tessav.xml"))); // Cancel saves nothing

        // The options window opens again in the new texts, naming the settings' language.
        inOptions(run, [&](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Softwareoptionen");
            EXPECT_EQ(labelText(w, "L_Page_Lang"), "Seite 1 von 2");
            EXPECT_EQ(labelText(w, "L_Sel_Lang"), "Gewaehlte Sprache : English");
            click(w, "Btn_Cancel");
        });
        run.mainWindow->close();
    }
    ProgramState saved;
    readSettings(dir.filePath("Tessav.xml"), saved);
    EXPECT_EQ(saved.languageName, "English");

    // With OK the language is saved at once and used at the next start.
    {
        ProgramRun run(dir.path());
        inOptions(run, [&](QWidget* w) {
            click(w, "Btn_Next");
            click(w, "L_L1");
            click(w, "Btn_OK");
        });
        readSettings(dir.filePath("Tessav.xml"), saved);
        EXPECT_EQ(saved.languageName, "Zeta");
    }
    ProgramRun next(dir.path());
    EXPECT_EQ(labelText(next.mainWindow.get(), "L_Begin"), "Anfang");
}

TEST(Options, OkStoresTheTicksSavesAndSetsTheTimer)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("Tessav.xml"),
        "<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></"
        "Conf_Settings>");
    ProgramRun run(dir.path());
    ASSERT_TRUE(run.versionCheckTimer()->isActive());

    // Internet cleared, update still ticked (and disabled): saved as set, the timer stops.
    inOptions(run, [&](QWidget* w) {
        showPage(w, "TS_Con_Options");
        clickBox(w, "CB_En_Con");
        EXPECT_FALSE(child<QCheckBox>(w, "CB_Update")->isEnabled());
        showPage(w, "TS_Soft_Settings");
        clickBox(w, "CB_DoubleClick_Auto_Size");
        click(w, "Btn_OK");
    });
    ProgramState saved;
    readSettings(dir.filePath("Tessav.xml"), saved);
    EXPECT_FALSE(saved.enableInternet);
    EXPECT_TRUE(saved.enableUpdate);
    EXPECT_TRUE(saved.doubleClickAutoSize);
    EXPECT_FALSE(saved.enableJumpFieldTables);
    EXPECT_FALSE(run.versionCheckTimer()->isActive());

    // Cancel changes nothing: neither the state, nor the file, nor the timer.
    const QByteArray before = readTestFile(dir.filePath("Tessav.xml"));
    inOptions(run, [&](QWidget* w) {
        showPage(w, "TS_Con_Options");
        clickBox(w, "CB_En_Con");
        click(w, "Btn_Cancel");
    });
    EXPECT_FALSE(run.state.enableInternet);
    EXPECT_EQ(readTestFile(dir.filePath("Tessav.xml")), before);
    EXPECT_FALSE(run.versionCheckTimer()->isActive());

    // Both set again: the timer runs, first after the minute it was last given.
    inOptions(run, [&](QWidget* w) {
        showPage(w, "TS_Con_Options");
        clickBox(w, "CB_En_Con");
        click(w, "Btn_OK");
    });
    EXPECT_TRUE(run.versionCheckTimer()->isActive());
    EXPECT_EQ(run.versionCheckTimer()->interval(), 60000);
    EXPECT_TRUE(run.fakes.http.Urls.isEmpty()); // no check ran
}

TEST(MainWindow, TimerChecksTheVersionAndShowsOrHidesTheLink)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("Tessav.xml"),
        "<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></"
        "Conf_Settings>");
    ProgramRun run(dir.path());
    QTimer* timer = run.versionCheckTimer();
    auto* link = child<QLabel>(run.mainWindow.get(), "LL_Update");
    EXPECT_EQ(timer->interval(), 60000);

    run.fakes.http.Next = {true, "VER. 1.001", {}};
    timer->start(1);
    // The answer comes from the worker; the timer then waits the two hours.
    ASSERT_TRUE(QTest::qWaitFor([&] { return timer->isActive() && timer->interval() == 7200000; }, 5000));
    ASSERT_EQ(run.fakes.http.Urls.size(), 1);
    EXPECT_EQ(run.fakes.http.Urls[0], makerVersionService());
    EXPECT_TRUE(link->isVisible());
    EXPECT_EQ(link->text(), "<a href=\"" + makerDownloadPage() + "\">New Version Available. Click Here for more Details</a>");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 7200000);
    emit link->linkActivated(makerDownloadPage());
    EXPECT_EQ(run.fakes.shell.Opened, QStringList{makerDownloadPage()});

    run.fakes.http.Next = {true, "VER. 0.000", {}};
    timer->start(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return timer->isActive() && timer->interval() == 7200000; }, 5000));
    ASSERT_EQ(run.fakes.http.Urls.size(), 2);
    EXPECT_FALSE(link->isVisible());
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 7200000);
}

// In the program, Check Available Update shares the main window's check on its worker: the
// window says it is checking, clicks meanwhile start no second request, and the answer comes.
TEST(Options, CheckAtOnceInTheProgramRunsOnTheWorkerOneAtATime)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("Tessav.xml"),
        "<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></"
        "Conf_Settings>");
    ProgramRun run(dir.path());
    run.fakes.http.Next = {true, "VER. 1.001", {}};
    run.fakes.http.delayMs = 500;
    inOptions(run, [&](QWidget* w) {
        showPage(w, "TS_Con_Options");
        auto* result = child<QLabel>(w, "LL_Check_Update");
        click(w, "Btn_Check_Update");
        EXPECT_EQ(result->text(), "Checking for a new version...");
        click(w, "Btn_Check_Update");
        EXPECT_TRUE(QTest::qWaitFor([&] { return result->text() != "Checking for a new version..."; }, 5000));
        EXPECT_EQ(
            result->text(), "<a href=\"" + makerDownloadPage() + "\">New Version Available. Click Here for more Details</a>");
        click(w, "Btn_Cancel");
    });
    EXPECT_EQ(run.fakes.http.Urls, QStringList{makerVersionService()});
    EXPECT_TRUE(shownIn(run.mainWindow.get(), "LL_Update"));
}
