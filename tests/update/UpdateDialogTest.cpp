#include "fakes/FakePlatform.h"
#include "update/StandIn.h"
#include "platform/SystemServices.h"
#include "update/gui/UpdateDialog.h"
#include "support/WindowTestSupport.h"
#include "base/XmlFile.h"
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using R = IcmpEcho::EchoStatus;

class SteadyClock : public Clock {
public:
    SteadyClock() { timer.start(); }
    qint64 tickCountMs() override { return timer.elapsed(); }
    void sleepMs(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }

private:
    QElapsedTimer timer;
};

// The update window of a program whose configuration "Plant A" is active, on fake services.
struct BootRun {
    QTemporaryDir Dir;
    FakePlatform Fakes;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, Fakes.services()};
    std::unique_ptr<UpdateDialog> Boot;

    BootRun()
    {
        state.setProgramFolder(Dir.path());
        QDir(Dir.path()).mkpath("PROJECTS/Plant A/bin");
        state.activateConfiguration("Plant A");
        Fakes.icmpEcho.costMs = IcmpEcho::timeoutMs;
        Boot = std::make_unique<UpdateDialog>(context);
    }
    template <typename W>
    W* find(const char* name) const
    {
        W* w = Boot->findChild<W*>(name);
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QLineEdit* field(int i) const { return find<QLineEdit>(QStringList{"E_IP1", "E_IP2", "E_IP3", "E_IP4"}[i].toLatin1()); }
    QStringList fields() const { return {field(0)->text(), field(1)->text(), field(2)->text(), field(3)->text()}; }
    QComboBox* Options() const { return find<QComboBox>("CB_Update_Options"); }
    QCheckBox* readBack() const { return find<QCheckBox>("CB_Update_Option_Read_Back"); }
    QPushButton* updateButton() const { return find<QPushButton>("Btn_Update"); }

    void Open()
    {
        Boot->show();
        Boot->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Boot.get()));
        QApplication::processEvents();
    }
    void Cancel()
    {
        QTest::mouseClick(find<QPushButton>("Btn_Cancel"), Qt::LeftButton);
        ASSERT_FALSE(Boot->isVisible());
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
    QString Descriptor() const { return Dir.filePath("Ethernet_Update.xml"); }
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
    run.Open();
    EXPECT_EQ(run.fields(), (QStringList{"192", "168", "2", "205"}));
    EXPECT_EQ(run.Options()->count(), 3);
    EXPECT_EQ(run.Options()->itemText(2), "Configuration");
    EXPECT_EQ(run.Options()->currentText(), "Firmware + Configuration");
    EXPECT_TRUE(run.readBack()->isChecked());
    EXPECT_EQ(run.readBack()->text(), "Read Back");
    EXPECT_EQ(run.Boot->windowTitle(), "Update Device by Ethernet (UDP)");
    EXPECT_EQ(run.find<QLabel>("L_SW_Code")->text(), "SWQuelmor");
    EXPECT_EQ(run.find<QLabel>("L_SW_Desc")->text(), "Update Device Using the Ethernet Port");
    EXPECT_EQ(run.field(3)->toolTip(), "Insert fourth byte of IP Address");
    EXPECT_EQ(run.updateButton()->text(), "Execute Update Firmware");
    EXPECT_EQ(run.updateButton()->toolTip(), "Start the update of Device");
    EXPECT_EQ(run.Boot->width(), 449);
    EXPECT_EQ(QApplication::focusWidget(), run.field(0));
}

TEST(UpdateDialog, SuccessfulRunStartsTheUpdaterAndIsRememberedAtTheNextShowing)
{
    BootRun run;
    auto echo = loopbackEcho();
    auto launcher = makeSystemProcessLauncher();
    SteadyClock clock;
    run.Fakes.bundle.icmpEcho = echo.get();
    run.Fakes.bundle.processLauncher = launcher.get();
    run.Fakes.bundle.clock = &clock;
    installStandInUpdater(run.Dir.path(), 0);

    run.Open();
    run.typeAddress("127.0.0.1");
    EXPECT_EQ(run.fields(), (QStringList{"127", "0", "0", "1"}));
    run.Options()->setFocus();
    QTest::keyClick(run.Options(), Qt::Key_Down);
    run.readBack()->setFocus();
    QTest::keyClick(run.readBack(), Qt::Key_Space);
    ASSERT_EQ(run.Options()->currentText(), "Firmware");
    ASSERT_FALSE(run.readBack()->isChecked());
    run.clickUpdate();

    EXPECT_TRUE(run.Fakes.messages.shown.empty()) << run.Fakes.messages.shown[0].text.toStdString();
    EXPECT_EQ(run.state.lastIpAddress, "127.0.0.1");
    EXPECT_EQ(run.state.lastUpdateOption, 1);
    EXPECT_FALSE(run.state.lastReadBack);
    pugi::xml_document doc;
    ASSERT_TRUE(loadXmlFile(run.Descriptor(), doc));
    const pugi::xml_node root = doc.child("Ethernet_Update");
    EXPECT_STREQ(root.child_value("IP_Address_Dev"), "127.0.0.1");
    const pugi::xml_node op = root.child("Operations").child("Operation");
    EXPECT_TRUE(QString(op.child_value("Ope_FileName")).endsWith("SimQuelmor.sim"));
    EXPECT_STREQ(op.child_value("Ope_Read_Back"), "0");
    EXPECT_FALSE(op.next_sibling());
    const auto record = standInRecord(run.Dir.path());
    EXPECT_EQ(record.value("arguments"), "0");
    EXPECT_EQ(record.value("folder"), QFileInfo(run.Dir.path()).canonicalFilePath());
    EXPECT_EQ(record.value("descriptor"), "1");
    EXPECT_TRUE(run.Boot->isVisible()); // the window stays open

    run.Cancel();
    run.Open();
    EXPECT_EQ(run.fields(), (QStringList{"127", "0", "0", "1"}));
    EXPECT_EQ(run.Options()->currentText(), "Firmware");
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
        {"echo refused", "127.0.0.1", {{R::Error, "ICMP echo is not permitted"}}, "error", "Error!!! Check the Ip Address\nICMP echo is not permitted", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BootRun run;
        run.Fakes.icmpEcho.Replies = c.replies;
        run.Open();
        run.typeAddress(c.address);
        run.clickUpdate();
        EXPECT_EQ(run.Fakes.messages.shown, (std::vector<FakeMessageService::Shown>{{c.kind, c.text}}));
        EXPECT_EQ(run.Fakes.icmpEcho.Addresses.size(), c.echoes);
        EXPECT_EQ(run.state.lastIpAddress, "192.168.2.205");
        EXPECT_FALSE(QFile::exists(run.Descriptor()));
        EXPECT_TRUE(run.Fakes.processLauncher.Started.empty());
        EXPECT_TRUE(run.Boot->isVisible());
        EXPECT_TRUE(run.updateButton()->isEnabled());
    }
}

TEST(UpdateDialog, StoredAddressOfThreePartsLeavesTheFieldsAsTheyWere)
{
    BootRun run;
    run.state.lastIpAddress = "10.1.2";
    run.Open();
    EXPECT_EQ(run.fields(), (QStringList{"0", "0", "0", "0"}));
    run.typeAddress("127.0.0.9");
    run.Cancel();
    run.Open();
    EXPECT_EQ(run.fields(), (QStringList{"127", "0", "0", "9"}));
}

// The check processes window messages: a click on the update button meanwhile must not start
// a second check, and a Cancel meanwhile must not let the first one go on to the updater.
TEST(UpdateDialog, ClicksDuringTheCheck)
{
    for (const char* button : {"Btn_Update", "Btn_Cancel"}) {
        SCOPED_TRACE(button);
        BootRun run;
        run.Fakes.icmpEcho.Replies.assign(2, {R::Answered, {}});
        QList<bool> updateEnabled;
        run.Fakes.icmpEcho.onEcho = [&] {
            updateEnabled << run.updateButton()->isEnabled();
            if (updateEnabled.size() == 1)
                QTest::mouseClick(run.find<QPushButton>(button), Qt::LeftButton);
        };
        run.Open();
        run.typeAddress("127.0.0.1");
        run.clickUpdate();
        EXPECT_EQ(updateEnabled, (QList<bool>{false, false}));
        EXPECT_EQ(run.Fakes.icmpEcho.Addresses.size(), 2);
        EXPECT_TRUE(run.updateButton()->isEnabled());
        EXPECT_TRUE(run.Fakes.messages.shown.empty());
        const bool cancelled = QString(button) == "Btn_Cancel";
        EXPECT_EQ(run.Boot->isVisible(), !cancelled);
        EXPECT_EQ(run.Fakes.processLauncher.Started.size(), cancelled ? 0u : 1u);
        EXPECT_EQ(QFile::exists(run.Descriptor()), !cancelled);
        EXPECT_EQ(run.state.lastIpAddress, cancelled ? "192.168.2.205" : "127.0.0.1");
    }
}

TEST(UpdateDialog, UpdaterThatCannotStartIsReportedWithItsPath)
{
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "not executable" : "missing");
        BootRun run;
        auto launcher = makeSystemProcessLauncher();
        run.Fakes.bundle.processLauncher = launcher.get();
        const QString updater = updaterProgram(run.Dir.path());
        if (present)
            writeTestFile(updater, "#!/bin/sh\nexit 0\n"); // without the execute permission
        run.Fakes.icmpEcho.Replies.assign(2, {R::Answered, {}});
        run.Open();
        run.typeAddress("127.0.0.1");
        run.clickUpdate();
        EXPECT_EQ(run.Fakes.messages.texts("error"), QStringList{"Error!!! Update program not found: " + updater});
        EXPECT_TRUE(QFile::exists(run.Descriptor()));
        EXPECT_EQ(run.state.lastIpAddress, "127.0.0.1");
    }
}

TEST(UpdateDialog, DescriptorThatCannotBeWrittenStartsNoUpdater)
{
    BootRun run;
    QDir(run.Dir.path()).mkdir("Ethernet_Update.xml"); // a folder where the file should go
    run.Fakes.icmpEcho.Replies.assign(2, {R::Answered, {}});
    run.Open();
    run.typeAddress("127.0.0.1");
    run.clickUpdate();
    ASSERT_EQ(run.Fakes.messages.texts("error").size(), 1);
    EXPECT_TRUE(run.Fakes.messages.texts("error")[0].contains("Ethernet_Update.xml"));
    EXPECT_TRUE(run.Fakes.processLauncher.Started.empty());
}
