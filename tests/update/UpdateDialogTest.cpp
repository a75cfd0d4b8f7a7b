#include "update/StandIn.h"
#include "platform/SystemServices.h"
#include "update/gui/UpdateDialog.h"
#include "support/WindowFixture.h"
#include "base/XmlFile.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using R = IcmpEcho::EchoStatus;

// The update window of a program whose configuration "Plant A" is active, on fake services.
struct BootRun : WindowFixture {
    std::unique_ptr<UpdateDialog> window;

    BootRun()
    {
        activateConfiguration("Plant A");
        fakes.icmpEcho.costMs = IcmpEcho::timeoutMs;
        window = std::make_unique<UpdateDialog>(context);
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
    EXPECT_EQ(run.window->width(), 449);
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

    EXPECT_TRUE(run.fakes.messages.shown.empty()) << run.fakes.messages.shown[0].text.toStdString();
    EXPECT_EQ(run.state.lastIpAddress, "127.0.0.1");
    EXPECT_EQ(run.state.lastUpdateOption, 1);
    EXPECT_FALSE(run.state.lastReadBack);
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
    EXPECT_EQ(record.value("folder"), QFileInfo(run.programFolder).canonicalFilePath());
    EXPECT_EQ(record.value("descriptor"), "1");
    EXPECT_TRUE(run.window->isVisible()); // the window stays open

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
        EXPECT_TRUE(run.updateButton()->isEnabled());
        EXPECT_TRUE(run.fakes.messages.shown.empty());
        const bool cancelled = QString(button) == "Btn_Cancel";
        EXPECT_EQ(run.window->isVisible(), !cancelled);
        EXPECT_EQ(run.fakes.processLauncher.Started.size(), cancelled ? 0u : 1u);
        EXPECT_EQ(QFile::exists(run.descriptor()), !cancelled);
        EXPECT_EQ(run.state.lastIpAddress, cancelled ? "192.168.2.205" : "127.0.0.1");
    }
}

TEST(UpdateDialog, UpdaterThatCannotStartIsReportedWithItsPath)
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
        EXPECT_EQ(run.fakes.messages.texts("error"), QStringList{"Error!!! Update program not found: " + updater});
        EXPECT_TRUE(QFile::exists(run.descriptor()));
        EXPECT_EQ(run.state.lastIpAddress, "127.0.0.1");
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
