#include "update/StandIn.h"
#include "configuration/core/ConfigurationLock.h"
#include "base/TextNumbers.h"
#include "support/OtherHolder.h"
#include "platform/SystemServices.h"
#include "update/gui/UpdateDialog.h"
#include "update/core/UpdaterLauncher.h"
#include "support/WindowChecks.h"
#include "support/WindowFixture.h"
#include "base/XmlFile.h"
#include <QCheckBox>
#include <QElapsedTimer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using R = IcmpEcho::EchoStatus;

// The update window of a program whose configuration "Plant A" is active, on fake services.
struct BootRun : WindowFixture {
    UpdateChoices choices;
    std::unique_ptr<UpdateDialog> window;

    BootRun()
    {
        activateConfiguration("Plant A");
        fakes.icmpEcho.costMs = IcmpEcho::timeoutMs;
        window = std::make_unique<UpdateDialog>(context, choices);
    }
    template <typename W> W* find(const char* name) const
    {
        W* w = child<W>(window.get(), name);
        if (!w)
            qFatal("no control %s", name); // a missing control would crash the next step
        return w;
    }
    QLineEdit* field(int i) const { return find<QLineEdit>(QStringList{"E_IP1", "E_IP2", "E_IP3", "E_IP4"}[i].toLatin1()); }
    QStringList fields() const { return {field(0)->text(), field(1)->text(), field(2)->text(), field(3)->text()}; }
    QComboBox* options() const { return find<QComboBox>("CB_Update_Options"); }
    QCheckBox* readBack() const { return find<QCheckBox>("CB_Update_Option_Read_Back"); }
    QPushButton* updateButton() const { return find<QPushButton>("Btn_Update"); }

    void open()
    {
        ASSERT_TRUE(showActive(window.get()));
        QApplication::processEvents();
    }
    void cancel()
    {
        click(window.get(), "Btn_Cancel");
        ASSERT_FALSE(window->isVisible());
    }
    // Types the address from the first field on, the "." moving to the next field.
    void typeAddress(const QString& text)
    {
        field(0)->setFocus();
        QApplication::processEvents();
        for (const QChar c : text) {
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
            QApplication::processEvents();
        }
    }
    void clickUpdate() { QTest::mouseClick(updateButton(), Qt::LeftButton); }
    QString descriptor() const { return path("Ethernet_Update.xml"); }
    // Runs the event loop until a message has been shown (the updater's outcome).
    bool waitForMessage(int timeoutMs = 15000)
    {
        return QTest::qWaitFor([this] { return !fakes.messages.shown.empty(); }, timeoutMs);
    }
    QStringList logLines() const
    {
        return QString::fromUtf8(readTestFile(joinPath(state.configurationFolder, "update-log.csv")))
            .split('\n', Qt::SkipEmptyParts);
    }
    // Starts an update to 127.0.0.1 on the fake echo, which answers.
    void startUpdate()
    {
        fakes.icmpEcho.Replies.assign(2, {R::Answered, {}});
        typeAddress("127.0.0.1");
        clickUpdate();
    }
    bool controlsEnabled() const
    {
        return updateButton()->isEnabled() && options()->isEnabled() && readBack()->isEnabled() && field(0)->isEnabled()
            && field(3)->isEnabled();
    }
    QString runState() const { return find<QLabel>("L_Run_State")->text(); }
};

// The system's echo when it may ping loopback here, else a fake that answers.
std::unique_ptr<IcmpEcho> loopbackEcho()
{
    auto echo = makeSystemIcmpEcho();
    const auto probe = echo->echo("127.0.0.1");
    if (probe.result == R::Answered)
        return echo;
    std::cout << "[ note     ] loopback through a fake echo: " << probe.error.toStdString() << "\n";
    auto fake = std::make_unique<FakeIcmpEcho>();
    fake->Replies.assign(2, {R::Answered, {}});
    return fake;
}

} // namespace

TEST(UpdateDialog, FirstOpeningShowsTheDefaults)
{
    BootRun run;
    run.open();
    EXPECT_EQ(run.fields(), (QStringList{"192", "168", "2", "205"}));
    EXPECT_EQ(run.options()->count(), 3);
    EXPECT_EQ(run.options()->itemText(2), "Configuration");
    EXPECT_EQ(run.options()->currentText(), "Firmware + Configuration");
    EXPECT_TRUE(run.readBack()->isChecked());
    EXPECT_EQ(run.readBack()->text(), "Read Back");
    EXPECT_EQ(run.window->windowTitle(), "Update Device by Ethernet (UDP)");
    EXPECT_EQ(run.find<QLabel>("L_SW_Code")->text(), "SWQuelmor");
    EXPECT_EQ(run.find<QLabel>("L_SW_Desc")->text(), "Update Device Using the Ethernet Port");
    EXPECT_EQ(run.field(3)->toolTip(), "Insert fourth byte of IP Address");
    EXPECT_EQ(run.updateButton()->text(), "Execute Update Firmware");
    EXPECT_EQ(run.updateButton()->toolTip(), "Start the update of Device");
    EXPECT_EQ(unseenParts(run.window.get()), QStringList());
    EXPECT_EQ(QApplication::focusWidget(), run.field(0));
}

TEST(UpdateDialog, SuccessfulRunStartsTheUpdaterAndIsRememberedAtTheNextShowing)
{
    BootRun run;
    auto echo = loopbackEcho();
    auto launcher = makeSystemProcessLauncher();
    SteadyClock clock;
    run.fakes.bundle.icmpEcho = echo.get();
    run.fakes.bundle.processLauncher = launcher.get();
    run.fakes.bundle.clock = &clock;
    installStandInUpdater(run.programFolder, 0);

    run.open();
    run.typeAddress("127.0.0.1");
    EXPECT_EQ(run.fields(), (QStringList{"127", "0", "0", "1"}));
    run.options()->setFocus();
    QTest::keyClick(run.options(), Qt::Key_Down);
    run.readBack()->setFocus();
    QTest::keyClick(run.readBack(), Qt::Key_Space);
    ASSERT_EQ(run.options()->currentText(), "Firmware");
    ASSERT_FALSE(run.readBack()->isChecked());
    run.clickUpdate();

    ASSERT_TRUE(run.waitForMessage());
    EXPECT_EQ(run.fakes.messages.shown,
        (std::vector<FakeMessageService::Shown>{{"information", "The updater ended with exit code 0: the update is done."}}));
    EXPECT_EQ(run.state.lastIpAddress, "127.0.0.1");
    EXPECT_EQ(run.choices.option, Firmware);
    EXPECT_FALSE(run.choices.readBack);
    pugi::xml_document doc;
    ASSERT_TRUE(loadXmlFile(run.descriptor(), doc));
    const pugi::xml_node root = doc.child("Ethernet_Update");
    EXPECT_STREQ(root.child_value("IP_Address_Dev"), "127.0.0.1");
    const pugi::xml_node op = root.child("Operations").child("Operation");
    EXPECT_TRUE(QString(op.child_value("Ope_FileName")).endsWith("SimQuelmor.sim"));
    EXPECT_STREQ(op.child_value("Ope_Read_Back"), "0");
    EXPECT_FALSE(op.next_sibling());
    const auto record = standInRecord(run.programFolder);
    EXPECT_EQ(record.value("arguments"), "0");
    EXPECT_EQ(record.value("working_folder"), QFileInfo(run.programFolder).canonicalFilePath());
    EXPECT_EQ(record.value("descriptor"), "1");
    EXPECT_TRUE(run.window->isVisible()); // the window stays open
    EXPECT_TRUE(run.controlsEnabled());

    run.cancel();
    run.open();
    EXPECT_EQ(run.fields(), (QStringList{"127", "0", "0", "1"}));
    EXPECT_EQ(run.options()->currentText(), "Firmware");
    EXPECT_FALSE(run.readBack()->isChecked());
}

TEST(UpdateDialog, FailedCheckShowsOneMessageAndStoresNothing)
{
    struct Case {
        const char* name;
        const char* address;
        std::deque<IcmpEcho::Reply> replies; // silence after them
        QString kind;
        QString text;
        int echoes;
    };
    const Case cases[] = {
        {"never answered", "127.0.0.1", {}, "warning", "Device Not Found!", 13},
        {"answered, then silent", "127.0.0.1", {{R::Answered, {}}}, "warning", "Device Not Found!", 13},
        {"octet 300", "127.0.0.300", {}, "error", "Error!!! Check the Ip Address", 0},
        {"letters", "127.abc.0.1", {}, "error", "Error!!! Check the Ip Address", 0},
        {"echo refused", "127.0.0.1", {{R::Error, "ICMP echo is not permitted"}}, "error",
            "Error!!! Check the Ip Address\nICMP echo is not permitted", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BootRun run;
        run.fakes.icmpEcho.Replies = c.replies;
        run.open();
        run.typeAddress(c.address);
        run.clickUpdate();
        EXPECT_EQ(run.fakes.messages.shown, (std::vector<FakeMessageService::Shown>{{c.kind, c.text}}));
        EXPECT_EQ(run.fakes.icmpEcho.Addresses.size(), c.echoes);
        EXPECT_EQ(run.state.lastIpAddress, "192.168.2.205");
        EXPECT_FALSE(QFile::exists(run.descriptor()));
        EXPECT_TRUE(run.fakes.processLauncher.Started.empty());
        EXPECT_TRUE(run.window->isVisible());
        EXPECT_TRUE(run.updateButton()->isEnabled());
    }
}

TEST(UpdateDialog, StoredAddressOfThreePartsLeavesTheFieldsAsTheyWere)
{
    BootRun run;
    run.state.lastIpAddress = "10.1.2";
    run.open();
    EXPECT_EQ(run.fields(), (QStringList{"0", "0", "0", "0"}));
    run.typeAddress("127.0.0.9");
    run.cancel();
    run.open();
    EXPECT_EQ(run.fields(), (QStringList{"127", "0", "0", "9"}));
}

// The check processes window messages: a click on the update button meanwhile must not start
// a second check, and a Cancel meanwhile must not let the first one go on to the updater.
TEST(UpdateDialog, ClicksDuringTheCheck)
{
    for (const char* button : {"Btn_Update", "Btn_Cancel"}) {
        SCOPED_TRACE(button);
        BootRun run;
        run.fakes.icmpEcho.Replies.assign(2, {R::Answered, {}});
        QList<bool> updateEnabled;
        run.fakes.icmpEcho.onEcho = [&] {
            updateEnabled << run.updateButton()->isEnabled();
            if (updateEnabled.size() == 1)
                QTest::mouseClick(run.find<QPushButton>(button), Qt::LeftButton);
        };
        run.open();
        run.typeAddress("127.0.0.1");
        run.clickUpdate();
        EXPECT_EQ(updateEnabled, (QList<bool>{false, false}));
        EXPECT_EQ(run.fakes.icmpEcho.Addresses.size(), 2);
        EXPECT_TRUE(run.fakes.messages.shown.empty());
        const bool cancelled = QString(button) == "Btn_Cancel";
        EXPECT_EQ(run.updateButton()->isEnabled(), cancelled); // locked while the started updater runs
        EXPECT_EQ(run.window->isVisible(), !cancelled);
        EXPECT_EQ(run.fakes.processLauncher.Started.size(), cancelled ? 0u : 1u);
        EXPECT_EQ(QFile::exists(run.descriptor()), !cancelled);
        EXPECT_EQ(run.state.lastIpAddress, cancelled ? "192.168.2.205" : "127.0.0.1");
    }
}

TEST(UpdateDialog, UpdaterThatCannotStartIsReportedWithItsPathAndWhy)
{
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "not executable" : "missing");
        BootRun run;
        auto launcher = makeSystemProcessLauncher();
        run.fakes.bundle.processLauncher = launcher.get();
        const QString updater = updaterProgram(run.programFolder);
        if (present)
            writeTestFile(updater, "#!/bin/sh\nexit 0\n"); // without the execute permission
        run.fakes.icmpEcho.Replies.assign(2, {R::Answered, {}});
        run.open();
        run.typeAddress("127.0.0.1");
        run.clickUpdate();
        const QString why = present ? "Error!!! The update program may not be executed (no permission): "
                                    : "Error!!! Update program not found: ";
        EXPECT_EQ(run.fakes.messages.texts("error"), QStringList{why + updater});
        EXPECT_TRUE(QFile::exists(run.descriptor()));
        EXPECT_EQ(run.state.lastIpAddress, "127.0.0.1");
        EXPECT_TRUE(run.controlsEnabled());
        ASSERT_EQ(run.logLines().size(), 2);
        EXPECT_TRUE(run.logLines()[1].endsWith(",not started: " + why + updater)) << run.logLines()[1].toStdString();
    }
}

TEST(UpdateDialog, DescriptorThatCannotBeWrittenStartsNoUpdater)
{
    BootRun run;
    QDir(run.programFolder).mkdir("Ethernet_Update.xml"); // a folder where the file should go
    run.fakes.icmpEcho.Replies.assign(2, {R::Answered, {}});
    run.open();
    run.typeAddress("127.0.0.1");
    run.clickUpdate();
    ASSERT_EQ(run.fakes.messages.texts("error").size(), 1);
    EXPECT_TRUE(run.fakes.messages.texts("error")[0].contains("Ethernet_Update.xml"));
    EXPECT_TRUE(run.fakes.processLauncher.Started.empty());
}

// The updater runs for a few seconds: the window stays live meanwhile, its controls are
// disabled for real, and a click on Execute during the run starts nothing, now or later.
TEST(UpdateDialog, StaysLiveWhileTheUpdaterRunsAndAClickMeanwhileStartsNothing)
{
    auto launcher = makeSystemProcessLauncher();
    SteadyClock clock;
    BootRun run;
    run.fakes.bundle.processLauncher = launcher.get();
    run.fakes.bundle.clock = &clock;
    installStandInUpdater(run.programFolder, 3, 2500);
    run.open();

    QElapsedTimer click;
    click.start();
    run.startUpdate();
    EXPECT_LT(click.elapsed(), 2000) << "the click waited for the updater";
    EXPECT_FALSE(run.controlsEnabled());
    EXPECT_TRUE(run.find<QWidget>("PB_Running")->isVisible());
    EXPECT_TRUE(run.runState().startsWith("The updater is running: ")) << run.runState().toStdString();

    // A timer of the window's thread keeps firing and the window keeps painting during the run.
    int ticks = 0;
    int paints = 0;
    QStringList runStates;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        if (!runStates.contains(run.runState()))
            runStates << run.runState();
        run.window->update();
        if (ticks == 10) {
            run.clickUpdate();
            QTest::keyClick(run.updateButton(), Qt::Key_Space);
        }
    });
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c)
            : count(c)
        {
        }
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                ++count;
            return false;
        }
    } counter(paints);
    run.window->installEventFilter(&counter);
    ticker.start(50);
    ASSERT_TRUE(run.waitForMessage());
    ticker.stop();
    EXPECT_GT(ticks, 20);
    EXPECT_GT(paints, 5);
    EXPECT_TRUE(runStates.contains("The updater is running: 1 s")) << runStates.join(" | ").toStdString();

    EXPECT_EQ(run.fakes.messages.shown,
        (std::vector<FakeMessageService::Shown>{{"warning", "The update failed: the updater ended with exit code 3"}}));
    EXPECT_EQ(run.runState(), "The update failed: the updater ended with exit code 3");
    EXPECT_TRUE(run.controlsEnabled());
    EXPECT_FALSE(run.find<QWidget>("PB_Running")->isVisible());
    // Nothing was queued behind the run.
    QTest::qWait(700);
    EXPECT_EQ(run.fakes.icmpEcho.Addresses.size(), 2);
    EXPECT_EQ(readTestFile(run.path("StandIn_Runs.txt")).count('\n'), 1);
    const QStringList log = run.logLines();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0], "time,address,option,read_back,bank1_bytes,bank2_bytes,bank1_checksum,outcome");
    EXPECT_TRUE(log[1].endsWith(",127.0.0.1,Firmware + Configuration,1,0,0,0,exit code 3")) << log[1].toStdString();
}

// 150 s pass on the fake clock: the window says so, and refuses a new update until the
// updater has ended.
TEST(UpdateDialog, UpdaterStillRunningAfterTheLimitIsReportedAndBlocksTheNextUpdate)
{
    BootRun run;
    run.fakes.processLauncher.pollsBeforeEnd = -1;
    run.open();
    run.startUpdate();
    ASSERT_EQ(run.fakes.processLauncher.Started.size(), 1u);
    EXPECT_EQ(run.fakes.processLauncher.Started[0].workingFolder, run.programFolder);
    run.fakes.clock.Now += updaterWaitLimitMs;
    ASSERT_TRUE(run.waitForMessage());
    const QString stillRunning = "the updater is still running; check it before starting another update";
    EXPECT_EQ(run.fakes.messages.shown, (std::vector<FakeMessageService::Shown>{{"warning", stillRunning}}));
    EXPECT_TRUE(run.controlsEnabled());
    EXPECT_TRUE(run.logLines().last().endsWith(",still running after 150 s"));

    run.fakes.messages.shown.clear();
    run.clickUpdate();
    EXPECT_EQ(run.fakes.messages.shown, (std::vector<FakeMessageService::Shown>{{"warning", stillRunning}}));
    EXPECT_EQ(run.fakes.icmpEcho.Addresses.size(), 2);
    EXPECT_EQ(run.fakes.processLauncher.Started.size(), 1u);
    EXPECT_TRUE(run.fakes.processLauncher.released.isEmpty());

    // Once it has ended, the next update goes ahead.
    run.fakes.messages.shown.clear();
    run.fakes.processLauncher.pollsBeforeEnd = 0;
    run.startUpdate();
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    EXPECT_EQ(run.fakes.processLauncher.Started.size(), 2u);
    EXPECT_EQ(run.fakes.processLauncher.released, QList<qint64>{1});
}

// Closing asks first, and the updater is followed to its end, also with the window closed.
TEST(UpdateDialog, ClosingDuringTheRunAsksAndNeverStopsTheUpdater)
{
    BootRun run;
    run.fakes.processLauncher.pollsBeforeEnd = -1;
    run.open();
    run.startUpdate();
    const QString question = "The updater is still running. Close this window anyway? The updater is not stopped.";
    run.fakes.messages.Answers = {MessageService::Answer::No, MessageService::Answer::No};
    click(run.window.get(), "Btn_Cancel");
    QTest::keyClick(run.window.get(), Qt::Key_Escape);
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_EQ(run.fakes.messages.texts("question"), (QStringList{question, question}));
    run.fakes.messages.shown.clear();
    run.fakes.messages.Answers = {MessageService::Answer::Yes};
    run.window->close();
    EXPECT_FALSE(run.window->isVisible());
    EXPECT_EQ(run.fakes.messages.texts("question"), QStringList{question});
    EXPECT_TRUE(run.window->updaterRunning());

    run.fakes.messages.shown.clear();
    run.fakes.processLauncher.pollsBeforeEnd = 0;
    run.fakes.processLauncher.exitCodeAtEnd = 0;
    ASSERT_TRUE(run.waitForMessage());
    EXPECT_EQ(run.fakes.messages.texts("information"), QStringList{"The updater ended with exit code 0: the update is done."});
    EXPECT_FALSE(run.window->updaterRunning());
    EXPECT_EQ(run.logLines().size(), 2);
}

// A run belongs to the configuration it started from: another configuration opened while the
// updater runs (the window closed meanwhile) gets nothing in its log.
TEST(UpdateDialog, ARunIsLoggedInTheConfigurationItStartedFrom)
{
    BootRun run;
    const QString plantLog = joinPath(run.state.configurationFolder, "update-log.csv");
    run.fakes.processLauncher.pollsBeforeEnd = -1;
    run.open();
    run.startUpdate();
    run.fakes.messages.Answers = {MessageService::Answer::Yes};
    run.window->close();
    ASSERT_TRUE(run.window->updaterRunning());
    run.activateConfiguration("Other");

    run.fakes.messages.shown.clear();
    run.fakes.processLauncher.pollsBeforeEnd = 0;
    run.fakes.processLauncher.exitCodeAtEnd = 0;
    ASSERT_TRUE(run.waitForMessage());
    EXPECT_FALSE(QFileInfo::exists(joinPath(run.state.configurationFolder, "update-log.csv")));
    const QStringList lines = QString::fromUtf8(readTestFile(plantLog)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith(",127.0.0.1,Firmware + Configuration,1,0,0,0,exit code 0")) << lines[1].toStdString();
}

// The run is in the log from its start: a program that ends during it (the window destroyed
// with the updater still running) leaves the line with its outcome unknown.
TEST(UpdateDialog, ARunIsInTheLogFromItsStartAndStaysWhenTheProgramEndsDuringIt)
{
    BootRun run;
    run.fakes.processLauncher.pollsBeforeEnd = -1;
    run.open();
    run.startUpdate();
    ASSERT_EQ(run.fakes.processLauncher.Started.size(), 1u);
    const QString unknown = ",127.0.0.1,Firmware + Configuration,1,0,0,0,unknown: the configurator did not see the updater end";
    ASSERT_EQ(run.logLines().size(), 2);
    EXPECT_TRUE(run.logLines()[1].endsWith(unknown)) << run.logLines()[1].toStdString();
    run.window.reset();
    ASSERT_EQ(run.logLines().size(), 2);
    EXPECT_TRUE(run.logLines()[1].endsWith(unknown));
}

// Without a record of the run nothing is sent: a log that cannot be written stops the run
// before the updater starts.
TEST(UpdateDialog, ARunThatCannotBeRecordedIsNotStarted)
{
    BootRun run;
    QDir(run.state.configurationFolder).mkdir("update-log.csv"); // a folder where the log should go
    run.open();
    run.startUpdate();
    ASSERT_EQ(run.fakes.messages.texts("error").size(), 1);
    EXPECT_TRUE(run.fakes.messages.texts("error")[0].contains("update-log.csv"));
    EXPECT_TRUE(run.fakes.processLauncher.Started.empty());
    EXPECT_TRUE(run.controlsEnabled());
}

// The configuration whose images the updater reads is held for the whole run, also past the
// wait limit, and let go once the updater has ended: meanwhile it is not renamed, deleted or
// rebuilt (those ask checkConfigurationFree or take the lock themselves).
TEST(UpdateDialog, RunHoldsTheConfigurationUntilTheUpdaterEnds)
{
    BootRun run;
    run.fakes.processLauncher.pollsBeforeEnd = -1;
    run.open();
    EXPECT_TRUE(checkConfigurationFree(run.state.configurationFolder).ok);
    run.startUpdate();
    ASSERT_EQ(run.fakes.processLauncher.Started.size(), 1u);
    const Result during = checkConfigurationFree(run.state.configurationFolder);
    EXPECT_EQ(during.textNumber, Text::ErrorConfigurationInUse);
    EXPECT_EQ(during.args.value(3), QString::number(QCoreApplication::applicationPid()));

    // Past the limit the window stops waiting; the configuration stays held.
    run.fakes.clock.Now += updaterWaitLimitMs;
    ASSERT_TRUE(run.waitForMessage());
    run.cancel();
    EXPECT_FALSE(checkConfigurationFree(run.state.configurationFolder).ok);

    // The updater ends on its own: the configuration is let go without anyone asking.
    run.fakes.processLauncher.pollsBeforeEnd = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] { return checkConfigurationFree(run.state.configurationFolder).ok; }, 5000));
}

TEST(UpdateDialog, RunThatEndsOrCannotStartLetsTheConfigurationGo)
{
    BootRun run;
    run.fakes.processLauncher.pollsBeforeEnd = 2;
    run.open();
    run.startUpdate();
    ASSERT_TRUE(run.waitForMessage());
    EXPECT_TRUE(checkConfigurationFree(run.state.configurationFolder).ok);

    run.fakes.processLauncher.startError = "no such file";
    run.fakes.messages.shown.clear();
    run.startUpdate();
    EXPECT_EQ(run.fakes.messages.texts("error").size(), 1);
    EXPECT_TRUE(checkConfigurationFree(run.state.configurationFolder).ok);
}

// Another program holds the configuration (it edits it, or its own updater reads the images):
// no updater is started, and the engineer is told who holds it.
TEST(UpdateDialog, NoUpdaterStartsWhileAnotherProgramHoldsTheConfiguration)
{
    BootRun run;
    run.open();
    OtherHolder other(run.state.configurationFolder);
    run.startUpdate();
    const QStringList errors = run.fakes.messages.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(" is in use by " + lockProgramName(QStringLiteral(SWQ_LOCK_HOLDER))))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[0].endsWith("\nThe updater is not started while another program holds the configuration."))
        << errors[0].toStdString();
    EXPECT_TRUE(run.fakes.processLauncher.Started.empty());
    EXPECT_FALSE(QFileInfo::exists(run.descriptor()));
    EXPECT_TRUE(run.controlsEnabled());
}
