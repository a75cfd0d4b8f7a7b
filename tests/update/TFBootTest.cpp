#include "FakePlatform.h"
#include "StandIn.h"
#include "SystemServices.h"
#include "TFBoot.h"
#include "WindowTestSupport.h"
#include "XmlFile.h"
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using R = IIcmp_Echo::TResult;

class TSteady_Clock : public IClock {
public:
    TSteady_Clock() { Timer.start(); }
    qint64 Tick_Count_Ms() override { return Timer.elapsed(); }
    void Sleep_Ms(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }

private:
    QElapsedTimer Timer;
};

// The update window of a program whose configuration "Plant A" is active, on fake services.
struct TBoot_Run {
    QTemporaryDir Dir;
    TFake_Platform Fakes;
    TProgramState State;
    TText_Table Texts;
    TAppContext Ctx{State, Texts, Fakes.Services()};
    std::unique_ptr<TFBoot> Boot;

    TBoot_Run()
    {
        State.Set_Program_Folder(Dir.path());
        QDir(Dir.path()).mkpath("PROJECTS/Plant A/bin");
        State.Activate_Project("Plant A");
        Fakes.Icmp_Echo.Cost_Ms = IIcmp_Echo::Timeout_Ms;
        Boot = std::make_unique<TFBoot>(Ctx);
    }
    template <typename W>
    W* Find(const char* name) const
    {
        W* w = Boot->findChild<W*>(name);
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QLineEdit* Field(int i) const { return Find<QLineEdit>(QStringList{"E_IP1", "E_IP2", "E_IP3", "E_IP4"}[i].toLatin1()); }
    QStringList Fields() const { return {Field(0)->text(), Field(1)->text(), Field(2)->text(), Field(3)->text()}; }
    QComboBox* Options() const { return Find<QComboBox>("CB_Update_Options"); }
    QCheckBox* Read_Back() const { return Find<QCheckBox>("CB_Update_Option_Read_Back"); }
    QPushButton* Update_Button() const { return Find<QPushButton>("Btn_Update"); }

    void Open()
    {
        Boot->show();
        Boot->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Boot.get()));
        QApplication::processEvents();
    }
    void Cancel()
    {
        QTest::mouseClick(Find<QPushButton>("Btn_Cancel"), Qt::LeftButton);
        ASSERT_FALSE(Boot->isVisible());
    }
    // Types the address from the first field on, the "." moving to the next field.
    void Type_Address(const QString& text)
    {
        Field(0)->setFocus();
        QApplication::processEvents();
        for (const QChar c : text) {
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
            QApplication::processEvents();
        }
    }
    void Click_Update() { QTest::mouseClick(Update_Button(), Qt::LeftButton); }
    QString Descriptor() const { return Dir.filePath("Ethernet_Update.xml"); }
};

// The system's echo when it may ping loopback here, else a fake that answers.
std::unique_ptr<IIcmp_Echo> Loopback_Echo()
{
    auto echo = Make_System_Icmp_Echo();
    const auto probe = echo->Echo("127.0.0.1");
    if (probe.Result == R::Answered)
        return echo;
    std::cout << "[ note     ] loopback through a fake echo: " << probe.Error.toStdString() << "\n";
    auto fake = std::make_unique<TFake_Icmp_Echo>();
    fake->Replies.assign(2, {R::Answered, {}});
    return fake;
}

} // namespace

TEST(TFBoot, FirstOpeningShowsTheDefaults)
{
    TBoot_Run run;
    run.Open();
    EXPECT_EQ(run.Fields(), (QStringList{"192", "168", "2", "205"}));
    EXPECT_EQ(run.Options()->count(), 3);
    EXPECT_EQ(run.Options()->itemText(2), "Configuration");
    EXPECT_EQ(run.Options()->currentText(), "Firmware + Configuration");
    EXPECT_TRUE(run.Read_Back()->isChecked());
    EXPECT_EQ(run.Read_Back()->text(), "Read Back");
    EXPECT_EQ(run.Boot->windowTitle(), "Update Device by Ethernet (UDP)");
    EXPECT_EQ(run.Find<QLabel>("L_SW_Code")->text(), "SWQuelmor");
    EXPECT_EQ(run.Find<QLabel>("L_SW_Desc")->text(), "Update Device Using the Ethernet Port");
    EXPECT_EQ(run.Field(3)->toolTip(), "Insert fourth byte of IP Address");
    EXPECT_EQ(run.Update_Button()->text(), "Execute Update Firmware");
    EXPECT_EQ(run.Update_Button()->toolTip(), "Start the update of Device");
    EXPECT_EQ(run.Boot->width(), 449);
    EXPECT_EQ(QApplication::focusWidget(), run.Field(0));
    EXPECT_EQ(run.Boot->Form_Type, 1);
}

TEST(TFBoot, SuccessfulRunStartsTheUpdaterAndIsRememberedAtTheNextShowing)
{
    TBoot_Run run;
    auto echo = Loopback_Echo();
    auto launcher = Make_System_Process_Launcher();
    TSteady_Clock clock;
    run.Fakes.Bundle.Icmp_Echo = echo.get();
    run.Fakes.Bundle.Process_Launcher = launcher.get();
    run.Fakes.Bundle.Clock = &clock;
    Install_Stand_In_Updater(run.Dir.path(), 0);

    run.Open();
    run.Type_Address("127.0.0.1");
    EXPECT_EQ(run.Fields(), (QStringList{"127", "0", "0", "1"}));
    run.Options()->setFocus();
    QTest::keyClick(run.Options(), Qt::Key_Down);
    run.Read_Back()->setFocus();
    QTest::keyClick(run.Read_Back(), Qt::Key_Space);
    ASSERT_EQ(run.Options()->currentText(), "Firmware");
    ASSERT_FALSE(run.Read_Back()->isChecked());
    run.Click_Update();

    EXPECT_TRUE(run.Fakes.Messages.Shown.empty()) << run.Fakes.Messages.Shown[0].Text.toStdString();
    EXPECT_EQ(run.State.Last_IP_Address, "127.0.0.1");
    EXPECT_EQ(run.State.Last_Update_Option, 1);
    EXPECT_FALSE(run.State.Last_Read_Back);
    pugi::xml_document doc;
    ASSERT_TRUE(Load_Xml_File(run.Descriptor(), doc));
    const pugi::xml_node root = doc.child("Ethernet_Update");
    EXPECT_STREQ(root.child_value("IP_Address_Dev"), "127.0.0.1");
    const pugi::xml_node op = root.child("Operations").child("Operation");
    EXPECT_TRUE(QString(op.child_value("Ope_FileName")).endsWith("SimQuelmor.sim"));
    EXPECT_STREQ(op.child_value("Ope_Read_Back"), "0");
    EXPECT_FALSE(op.next_sibling());
    const auto record = Stand_In_Record(run.Dir.path());
    EXPECT_EQ(record.value("arguments"), "0");
    EXPECT_EQ(record.value("folder"), QFileInfo(run.Dir.path()).canonicalFilePath());
    EXPECT_EQ(record.value("descriptor"), "1");
    EXPECT_TRUE(run.Boot->isVisible()); // the window stays open

    run.Cancel();
    run.Open();
    EXPECT_EQ(run.Fields(), (QStringList{"127", "0", "0", "1"}));
    EXPECT_EQ(run.Options()->currentText(), "Firmware");
    EXPECT_FALSE(run.Read_Back()->isChecked());
}

TEST(TFBoot, FailedCheckShowsOneMessageAndStoresNothing)
{
    struct TCase {
        const char* name;
        const char* address;
        std::deque<IIcmp_Echo::TReply> replies; // silence after them
        QString kind;
        QString text;
        int echoes;
    };
    const TCase cases[] = {
        {"never answered", "127.0.0.1", {}, "warning", "Device Not Found!", 13},
        {"answered, then silent", "127.0.0.1", {{R::Answered, {}}}, "warning", "Device Not Found!", 13},
        {"octet 300", "127.0.0.300", {}, "error", "Error!!! Check the Ip Address", 0},
        {"letters", "127.abc.0.1", {}, "error", "Error!!! Check the Ip Address", 0},
        {"echo refused", "127.0.0.1", {{R::Error, "ICMP echo is not permitted"}}, "error", "Error!!! Check the Ip Address\nICMP echo is not permitted", 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TBoot_Run run;
        run.Fakes.Icmp_Echo.Replies = c.replies;
        run.Open();
        run.Type_Address(c.address);
        run.Click_Update();
        EXPECT_EQ(run.Fakes.Messages.Shown, (std::vector<TFake_Messages::TShown>{{c.kind, c.text}}));
        EXPECT_EQ(run.Fakes.Icmp_Echo.Addresses.size(), c.echoes);
        EXPECT_EQ(run.State.Last_IP_Address, "192.168.2.205");
        EXPECT_FALSE(QFile::exists(run.Descriptor()));
        EXPECT_TRUE(run.Fakes.Process_Launcher.Started.empty());
        EXPECT_TRUE(run.Boot->isVisible());
        EXPECT_TRUE(run.Update_Button()->isEnabled());
    }
}

TEST(TFBoot, StoredAddressOfThreePartsLeavesTheFieldsAsTheyWere)
{
    TBoot_Run run;
    run.State.Last_IP_Address = "10.1.2";
    run.Open();
    EXPECT_EQ(run.Fields(), (QStringList{"0", "0", "0", "0"}));
    run.Type_Address("127.0.0.9");
    run.Cancel();
    run.Open();
    EXPECT_EQ(run.Fields(), (QStringList{"127", "0", "0", "9"}));
}

// The check processes window messages: a click on the update button meanwhile must not start
// a second check, and a Cancel meanwhile must not let the first one go on to the updater.
TEST(TFBoot, ClicksDuringTheCheck)
{
    for (const char* button : {"Btn_Update", "Btn_Cancel"}) {
        SCOPED_TRACE(button);
        TBoot_Run run;
        run.Fakes.Icmp_Echo.Replies.assign(2, {R::Answered, {}});
        QList<bool> updateEnabled;
        run.Fakes.Icmp_Echo.On_Echo = [&] {
            updateEnabled << run.Update_Button()->isEnabled();
            if (updateEnabled.size() == 1)
                QTest::mouseClick(run.Find<QPushButton>(button), Qt::LeftButton);
        };
        run.Open();
        run.Type_Address("127.0.0.1");
        run.Click_Update();
        EXPECT_EQ(updateEnabled, (QList<bool>{false, false}));
        EXPECT_EQ(run.Fakes.Icmp_Echo.Addresses.size(), 2);
        EXPECT_TRUE(run.Update_Button()->isEnabled());
        EXPECT_TRUE(run.Fakes.Messages.Shown.empty());
        const bool cancelled = QString(button) == "Btn_Cancel";
        EXPECT_EQ(run.Boot->isVisible(), !cancelled);
        EXPECT_EQ(run.Fakes.Process_Launcher.Started.size(), cancelled ? 0u : 1u);
        EXPECT_EQ(QFile::exists(run.Descriptor()), !cancelled);
        EXPECT_EQ(run.State.Last_IP_Address, cancelled ? "192.168.2.205" : "127.0.0.1");
    }
}

TEST(TFBoot, UpdaterThatCannotStartIsReportedWithItsPath)
{
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "not executable" : "missing");
        TBoot_Run run;
        auto launcher = Make_System_Process_Launcher();
        run.Fakes.Bundle.Process_Launcher = launcher.get();
        const QString updater = Updater_Program(run.Dir.path());
        if (present)
            Write_Test_File(updater, "#!/bin/sh\nexit 0\n"); // without the execute permission
        run.Fakes.Icmp_Echo.Replies.assign(2, {R::Answered, {}});
        run.Open();
        run.Type_Address("127.0.0.1");
        run.Click_Update();
        EXPECT_EQ(run.Fakes.Messages.Texts("error"), QStringList{"Error!!! Update program not found: " + updater});
        EXPECT_TRUE(QFile::exists(run.Descriptor()));
        EXPECT_EQ(run.State.Last_IP_Address, "127.0.0.1");
    }
}

TEST(TFBoot, DescriptorThatCannotBeWrittenStartsNoUpdater)
{
    TBoot_Run run;
    QDir(run.Dir.path()).mkdir("Ethernet_Update.xml"); // a folder where the file should go
    run.Fakes.Icmp_Echo.Replies.assign(2, {R::Answered, {}});
    run.Open();
    run.Type_Address("127.0.0.1");
    run.Click_Update();
    ASSERT_EQ(run.Fakes.Messages.Texts("error").size(), 1);
    EXPECT_TRUE(run.Fakes.Messages.Texts("error")[0].contains("Ethernet_Update.xml"));
    EXPECT_TRUE(run.Fakes.Process_Launcher.Started.empty());
}
