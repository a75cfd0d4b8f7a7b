#include "base/Constants.h"
#include "base/TextNumbers.h"
#include "comm/core/CommunicationSettings.h"
#include "comm/gui/CommunicationDialog.h"
#include "support/WindowChecks.h"
#include "support/WindowFixture.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The entry field of each key of ParGen.xml (the switches are check boxes).
QString fieldName(const char* key)
{
    const QString k = QString::fromLatin1(key);
    if (k == "IEC61850_Client_Application_ID")
        return "E_IEC61850_Client_AppID";
    if (k == "EtherNetIP_NB_Input")
        return "E_EtherNetIP_NByte_In";
    if (k == "EtherNetIP_NB_Output")
        return "E_EtherNetIP_NByte_Out";
    return "E_" + k;
}

const QByteArray defaultFile
    = "<Par_Gen><IEC61850_Client_IP1>192</IEC61850_Client_IP1><IEC61850_Client_IP2>168</IEC61850_Client_IP2>"
      "<IEC61850_Client_IP3>0</IEC61850_Client_IP3><IEC61850_Client_IP4>10</IEC61850_Client_IP4>"
      "<IEC61850_Client_SM1>255</IEC61850_Client_SM1><IEC61850_Client_SM2>255</IEC61850_Client_SM2>"
      "<IEC61850_Client_SM3>255</IEC61850_Client_SM3><IEC61850_Client_SM4>0</IEC61850_Client_SM4>"
      "<IEC61850_Client_GAT1>192</IEC61850_Client_GAT1><IEC61850_Client_GAT2>168</IEC61850_Client_GAT2>"
      "<IEC61850_Client_GAT3>0</IEC61850_Client_GAT3><IEC61850_Client_GAT4>1</IEC61850_Client_GAT4>"
      "<IEC61850_Client_En_GAT>0</IEC61850_Client_En_GAT><IEC61850_Client_VLAN>0</IEC61850_Client_VLAN>"
      "<IEC61850_Client_Application_ID>0</IEC61850_Client_Application_ID>"
      "<EtherNetIP_IP1>192</EtherNetIP_IP1><EtherNetIP_IP2>168</EtherNetIP_IP2><EtherNetIP_IP3>0</"
      "EtherNetIP_IP3><EtherNetIP_IP4>5</EtherNetIP_IP4>"
      "<EtherNetIP_SM1>255</EtherNetIP_SM1><EtherNetIP_SM2>255</EtherNetIP_SM2><EtherNetIP_SM3>255</"
      "EtherNetIP_SM3><EtherNetIP_SM4>0</EtherNetIP_SM4>"
      "<EtherNetIP_GAT1>192</EtherNetIP_GAT1><EtherNetIP_GAT2>168</EtherNetIP_GAT2><EtherNetIP_GAT3>0</"
      "EtherNetIP_GAT3><EtherNetIP_GAT4>1</EtherNetIP_GAT4>"
      "<EtherNetIP_EN_GAT>0</EtherNetIP_EN_GAT><EtherNetIP_NB_Input>496</EtherNetIP_NB_Input><EtherNetIP_NB_Output>496</"
      "EtherNetIP_NB_Output>"
      "</Par_Gen><!--SW_VERSION = 1.000-->";

// The window on a project folder of its own, with fake platform services.
struct ParGenWindow : ::testing::Test, WindowFixture {
    CommunicationDialog window{context, nullptr};

    ParGenWindow() { activateConfiguration(QStringLiteral("Plant")); }
    QString parGenPath() const { return paths().communicationFile(); }

    void show()
    {
        fakes.messages.shown.clear();
        EXPECT_TRUE(showActive(&window));
        QApplication::processEvents(); // a broken file is reported once the window is up
    }
    QLineEdit* field(const QString& name) const { return child<QLineEdit>(&window, name.toLatin1().constData()); }
    QCheckBox* box(const char* name) const { return child<QCheckBox>(&window, name); }
    void type(const QString& name, const QString& text)
    {
        QLineEdit* edit = field(name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    // Fills every field of the window from `set`, by the keyboard and the mouse.
    void enter(const CommunicationSettings& set)
    {
        for (std::size_t i = 0; i < CommunicationSettings::count; ++i)
            if (window.findChild<QLineEdit*>(fieldName(CommunicationSettings::keys[i])))
                type(fieldName(CommunicationSettings::keys[i]), set.values[i]);
        for (const auto& [name, key] : {std::pair{"CB_IEC61850_Client_En_GAT", "IEC61850_Client_En_GAT"},
                 std::pair{"CB_EtherNetIP_GAT", "EtherNetIP_EN_GAT"}})
            if (box(name)->isChecked() != (set[CommunicationKey::find(key).value()] == "1"))
                QTest::mouseClick(box(name), Qt::LeftButton);
    }
    CommunicationSettings shownSet() const
    {
        CommunicationSettings set;
        for (std::size_t i = 0; i < CommunicationSettings::count; ++i)
            if (auto* field = window.findChild<QLineEdit*>(fieldName(CommunicationSettings::keys[i])))
                set.values[i] = field->text();
        set["IEC61850_Client_En_GAT"] = box("CB_IEC61850_Client_En_GAT")->isChecked() ? "1" : "0";
        set["EtherNetIP_EN_GAT"] = box("CB_EtherNetIP_GAT")->isChecked() ? "1" : "0";
        return set;
    }
    void click(const char* name) const { ::click(&window, name); }
};

} // namespace

TEST_F(ParGenWindow, WithoutFileShowsTheDefaultsAndOkWritesThemByteForByte)
{
    show();
    EXPECT_EQ(shownSet(), defaultCommunicationSettings());
    QLineEdit* port = field("E_EtherNetIP_TunnelPort");
    EXPECT_EQ(port->text(), "44818");
    EXPECT_FALSE(port->isEnabled());
    EXPECT_EQ(unseenParts(&window), QStringList());
    EXPECT_EQ(window.findChild<QToolButton*>("Btn_Panel_IEC61850_Client")->text(), "1. IEC61850 Client");
    EXPECT_EQ(window.findChild<QToolButton*>("Btn_Panel_EtherNetIP")->text(), "2. EtherNet/IP");

    click("Btn_OK");
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(readTestFile(parGenPath()), defaultFile);
}

// A language switch (Set_Lang) re-applies every caption and hint, the panel headings too.
TEST_F(ParGenWindow, ALanguageSwitchReachesEveryControl)
{
    show();
    markTexts(texts);
    window.retranslate();
    EXPECT_EQ(textsNotFromTheTable(&window, {SoftwareCode}), QStringList());
    EXPECT_TRUE(
        window.findChild<QToolButton*>("Btn_Panel_IEC61850_Client")->text().startsWith(QStringLiteral("1. \u00AB406\u00BB")));
}

TEST_F(ParGenWindow, EntriesRoundTripThroughTheFile)
{
    CommunicationSettings set = defaultCommunicationSettings();
    set["IEC61850_Client_IP1"] = "007";
    set["IEC61850_Client_GAT1"] = "7";
    set["IEC61850_Client_En_GAT"] = "1";
    set["IEC61850_Client_VLAN"] = "4094";
    set["IEC61850_Client_Application_ID"] = "0x00FF";
    set["EtherNetIP_NB_Input"] = "0";
    show();
    enter(set);
    click("Btn_OK");
    ASSERT_TRUE(fakes.messages.shown.empty());
    CommunicationSettings read;
    ASSERT_TRUE(readParGenFile(parGenPath(), read).ok);
    EXPECT_EQ(read.values, set.values);
    EXPECT_TRUE(readTestFile(parGenPath()).contains("<IEC61850_Client_IP1>007</IEC61850_Client_IP1>"));

    // The next showing reloads the file; OK at once writes it again unchanged.
    const QByteArray written = readTestFile(parGenPath());
    window.findChild<QLineEdit*>("E_IEC61850_Client_IP1")->setText("1");
    show();
    EXPECT_EQ(shownSet().values, set.values);
    click("Btn_OK");
    EXPECT_EQ(readTestFile(parGenPath()), written);
}

TEST_F(ParGenWindow, SwitchOtherThanOneIsShownOffAndWrittenBackAsZero)
{
    QByteArray file = defaultFile;
    file.replace("<EtherNetIP_EN_GAT>0</EtherNetIP_EN_GAT>", "<EtherNetIP_EN_GAT>true</EtherNetIP_EN_GAT>");
    file.replace("<IEC61850_Client_En_GAT>0</IEC61850_Client_En_GAT>", "<IEC61850_Client_En_GAT>1</IEC61850_Client_En_GAT>");
    writeTestFile(parGenPath(), file);
    show();
    EXPECT_FALSE(box("CB_EtherNetIP_GAT")->isChecked());
    EXPECT_TRUE(box("CB_IEC61850_Client_En_GAT")->isChecked());
    click("Btn_OK");
    EXPECT_EQ(
        readTestFile(parGenPath()), QByteArray(defaultFile).replace("<IEC61850_Client_En_GAT>0<", "<IEC61850_Client_En_GAT>1<"));
}

TEST_F(ParGenWindow, ChecksRunInTheirOrderAndShowOnlyTheFirstFailure)
{
    // Checked fields in their order, each with its message.
    const std::pair<const char*, const char*> checks[] = {
        {"IEC61850_Client_IP1", "Error IEC61850 Client!! IP Address 1 must be between 0 and 255"},
        {"IEC61850_Client_IP2", "Error IEC61850 Client!! IP Address 2 must be between 0 and 255"},
        {"IEC61850_Client_IP3", "Error IEC61850 Client!! IP Address 3 must be between 0 and 255"},
        {"IEC61850_Client_IP4", "Error IEC61850 Client!! IP Address 4 must be between 0 and 255"},
        {"IEC61850_Client_SM1", "Error IEC61850 Client!! SubNet Mask 1 must be between 0 and 255"},
        {"IEC61850_Client_SM2", "Error IEC61850 Client!! SubNet Mask 2 must be between 0 and 255"},
        {"IEC61850_Client_SM3", "Error IEC61850 Client!! SubNet Mask 3 must be between 0 and 255"},
        {"IEC61850_Client_SM4", "Error IEC61850 Client!! SubNet Mask 4 must be between 0 and 255"},
        {"IEC61850_Client_GAT1", "Error IEC61850 Client!! GATEWAY IP 1 must be between 0 and 255"},
        {"IEC61850_Client_GAT2", "Error IEC61850 Client!! GATEWAY IP 2 must be between 0 and 255"},
        {"IEC61850_Client_GAT3", "Error IEC61850 Client!! GATEWAY IP 3 must be between 0 and 255"},
        {"IEC61850_Client_GAT4", "Error IEC61850 Client!! GATEWAY IP 4 must be between 0 and 255"},
        {"EtherNetIP_IP1", "Error EtherNet/IP!! IP Address 1 must be between 0 and 255"},
        {"EtherNetIP_IP2", "Error EtherNet/IP!! IP Address 2 must be between 0 and 255"},
        {"EtherNetIP_IP3", "Error EtherNet/IP!! IP Address 3 must be between 0 and 255"},
        {"EtherNetIP_IP4", "Error EtherNet/IP!! IP Address 4 must be between 0 and 255"},
        {"EtherNetIP_SM1", "Error EtherNet/IP!! SUBNET Mask 1 must be between 0 and 255"},
        {"EtherNetIP_SM2", "Error EtherNet/IP!! SUBNET Mask 2 must be between 0 and 255"},
        {"EtherNetIP_SM3", "Error EtherNet/IP!! SUBNET Mask 3 must be between 0 and 255"},
        {"EtherNetIP_SM4", "Error EtherNet/IP!! SUBNET Mask 4 must be between 0 and 255"},
        {"EtherNetIP_GAT1", "Error EtherNet/IP!! GATEWAY IP 1 must be between 0 and 255"},
        {"EtherNetIP_GAT2", "Error EtherNet/IP!! GATEWAY IP 2 must be between 0 and 255"},
        {"EtherNetIP_GAT3", "Error EtherNet/IP!! GATEWAY IP 3 must be between 0 and 255"},
        {"EtherNetIP_GAT4", "Error EtherNet/IP!! GATEWAY IP 4 must be between 0 and 255"},
        {"EtherNetIP_NB_Input", "Error EtherNet/IP!! Number Byte Input must be between 0 and 496"},
        {"EtherNetIP_NB_Output", "Error EtherNet/IP!! Number Byte Output must be between 0 and 496"},
    };
    show();
    for (size_t k = 0; k < std::size(checks); ++k) {
        // This field and every later one wrong: only this one's message.
        CommunicationSettings set = defaultCommunicationSettings();
        set["IEC61850_Client_En_GAT"] = "1";
        set["EtherNetIP_EN_GAT"] = "1";
        for (size_t j = k; j < std::size(checks); ++j)
            set[CommunicationKey::find(checks[j].first).value()] = j % 2 ? "497" : "x";
        enter(set);
        fakes.messages.shown.clear();
        click("Btn_OK");
        EXPECT_EQ(fakes.messages.shown.size(), 1u) << checks[k].first;
        EXPECT_EQ(fakes.messages.texts("error"), QStringList{checks[k].second});
        EXPECT_TRUE(window.isVisible()) << checks[k].first;
        EXPECT_EQ(shownSet(), set) << checks[k].first;
    }
    EXPECT_FALSE(QFile::exists(parGenPath()));
}

TEST_F(ParGenWindow, LimitsGatewaySwitchesAndFreeFields)
{
    const struct {
        std::vector<std::pair<const char*, QString>> entries; // differences from the defaults
        QString message; // empty: saved
    } cases[] = {
        {{{"IEC61850_Client_IP1", "256"}}, "Error IEC61850 Client!! IP Address 1 must be between 0 and 255"},
        {{{"IEC61850_Client_IP1", "-1"}}, "Error IEC61850 Client!! IP Address 1 must be between 0 and 255"},
        {{{"IEC61850_Client_IP1", ""}}, "Error IEC61850 Client!! IP Address 1 must be between 0 and 255"},
        {{{"IEC61850_Client_IP1", "1x"}, {"EtherNetIP_NB_Input", "x"}, {"EtherNetIP_NB_Output", "-3"}},
            "Error IEC61850 Client!! IP Address 1 must be between 0 and 255"},
        {{{"IEC61850_Client_GAT2", "999"}, {"IEC61850_Client_En_GAT", "1"}},
            "Error IEC61850 Client!! GATEWAY IP 2 must be between 0 and 255"},
        {{{"EtherNetIP_GAT3", ""}, {"EtherNetIP_EN_GAT", "1"}}, "Error EtherNet/IP!! GATEWAY IP 3 must be between 0 and 255"},
        {{{"EtherNetIP_NB_Input", "497"}}, "Error EtherNet/IP!! Number Byte Input must be between 0 and 496"},
        {{{"IEC61850_Client_GAT2", "999"}, {"EtherNetIP_GAT3", ""}}, ""}, // gateways off: not checked, still saved
        {{{"EtherNetIP_NB_Input", "496"}, {"EtherNetIP_NB_Output", "0"}}, ""},
        {{{"IEC61850_Client_Application_ID", "0xFFFF"}, {"IEC61850_Client_VLAN", "4094"}, {"IEC61850_Client_IP2", "0"}}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromLatin1(c.entries.front().first).toStdString() + "=" + c.entries.front().second.toStdString());
        QFile::remove(parGenPath());
        CommunicationSettings set = defaultCommunicationSettings();
        for (const auto& [key, value] : c.entries)
            set[CommunicationKey::find(key).value()] = value;
        show();
        enter(set);
        click("Btn_OK");
        if (c.message.isEmpty()) {
            EXPECT_TRUE(fakes.messages.shown.empty());
            CommunicationSettings saved;
            ASSERT_TRUE(readParGenFile(parGenPath(), saved).ok);
            EXPECT_EQ(saved.values, set.values);
        } else {
            EXPECT_EQ(fakes.messages.texts("error"), QStringList{c.message});
            EXPECT_TRUE(window.isVisible());
            EXPECT_FALSE(QFile::exists(parGenPath()));
            click("Btn_Cancel");
        }
    }
}

TEST_F(ParGenWindow, AfterTheFieldChecksTheNetworkMustMakeSense)
{
    const QString iecMask = "Error IEC61850 Client!! SubNet Mask must have contiguous ones and must not be 0.0.0.0";
    const QString iecAddress = "Error IEC61850 Client!! IP Address must not be the network or broadcast address of its subnet";
    const QString iecGateway = "Error IEC61850 Client!! GATEWAY IP must be inside the subnet of the IP Address";
    const QString vlan = "Error IEC61850 Client!! VLAN must be between 0 and 4094";
    const QString appId = "Error IEC61850 Client!! Application ID must be between 0 and 65535 (0x0000 and 0xFFFF)";
    const QString enipMask = "Error EtherNet/IP!! SUBNET Mask must have contiguous ones and must not be 0.0.0.0";
    const QString enipAddress = "Error EtherNet/IP!! IP Address must not be the network or broadcast address of its subnet";
    const QString enipGateway = "Error EtherNet/IP!! GATEWAY IP must be inside the subnet of the IP Address";
    const QString same = "Error!! The IP Addresses of IEC61850 Client and EtherNet/IP must be different";
    // Defaults: 192.168.0.10 and 192.168.0.5, both 255.255.255.0, gateways 192.168.0.1 off.
    const struct {
        const char* label;
        std::vector<std::pair<const char*, QString>> entries; // differences from the defaults
        QString message; // empty: saved
    } cases[] = {
        {"mask with a hole", {{"IEC61850_Client_SM2", "0"}}, iecMask},
        {"mask 0.0.0.0", {{"IEC61850_Client_SM1", "0"}, {"IEC61850_Client_SM2", "0"}, {"IEC61850_Client_SM3", "0"}}, iecMask},
        {"mask /8", {{"IEC61850_Client_SM2", "0"}, {"IEC61850_Client_SM3", "0"}}, {}},
        {"mask /32", {{"IEC61850_Client_SM4", "255"}}, {}},
        {"network address", {{"IEC61850_Client_IP4", "0"}}, iecAddress},
        {"broadcast address", {{"IEC61850_Client_IP4", "255"}}, iecAddress},
        {"broadcast of a /30", {{"IEC61850_Client_SM4", "252"}, {"IEC61850_Client_IP4", "11"}}, iecAddress},
        {"host of a /30", {{"IEC61850_Client_SM4", "252"}, {"IEC61850_Client_IP4", "9"}}, {}},
        {"gateway outside", {{"IEC61850_Client_En_GAT", "1"}, {"IEC61850_Client_GAT3", "1"}}, iecGateway},
        {"gateway inside", {{"IEC61850_Client_En_GAT", "1"}}, {}},
        {"gateway off is not checked", {{"IEC61850_Client_GAT1", "10"}}, {}},
        {"VLAN 4095", {{"IEC61850_Client_VLAN", "4095"}}, vlan},
        {"VLAN 12345678", {{"IEC61850_Client_VLAN", "12345678"}}, vlan},
        {"VLAN empty", {{"IEC61850_Client_VLAN", ""}}, vlan},
        {"application id 65535", {{"IEC61850_Client_Application_ID", "65535"}}, {}},
        {"application id 0x0000", {{"IEC61850_Client_Application_ID", "0x0000"}}, {}},
        {"application id 65536", {{"IEC61850_Client_Application_ID", "65536"}}, appId},
        {"application id 0x10000", {{"IEC61850_Client_Application_ID", "0x10000"}}, appId},
        {"application id -1", {{"IEC61850_Client_Application_ID", "-1"}}, appId},
        {"application id with & and <", {{"IEC61850_Client_Application_ID", "1&<"}}, appId},
        {"application id empty", {{"IEC61850_Client_Application_ID", ""}}, appId},
        {"EtherNet/IP mask", {{"EtherNetIP_SM2", "0"}}, enipMask},
        {"EtherNet/IP broadcast", {{"EtherNetIP_IP4", "255"}}, enipAddress},
        {"EtherNet/IP gateway outside", {{"EtherNetIP_EN_GAT", "1"}, {"EtherNetIP_GAT1", "10"}}, enipGateway},
        {"same addresses", {{"EtherNetIP_IP4", "10"}}, same},
        {"same address on other masks", {{"EtherNetIP_IP4", "10"}, {"EtherNetIP_SM4", "128"}}, same},
        {"field checks come first", {{"IEC61850_Client_SM2", "0"}, {"EtherNetIP_NB_Input", "497"}},
            "Error EtherNet/IP!! Number Byte Input must be between 0 and 496"},
        {"in their order", {{"EtherNetIP_IP4", "10"}, {"IEC61850_Client_VLAN", "5000"}, {"IEC61850_Client_SM2", "0"}}, iecMask},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QFile::remove(parGenPath());
        CommunicationSettings set = defaultCommunicationSettings();
        for (const auto& [key, value] : c.entries)
            set[CommunicationKey::find(key).value()] = value;
        show();
        enter(set);
        click("Btn_OK");
        if (c.message.isEmpty()) {
            EXPECT_TRUE(fakes.messages.shown.empty());
            EXPECT_TRUE(QFile::exists(parGenPath()));
        } else {
            EXPECT_EQ(fakes.messages.texts("error"), QStringList{c.message});
            EXPECT_FALSE(QFile::exists(parGenPath()));
            click("Btn_Cancel");
        }
    }

    // A stored file that breaks a check still loads as it is; OK shows the problem.
    CommunicationSettings stored = defaultCommunicationSettings();
    stored["IEC61850_Client_VLAN"] = "12345678";
    ASSERT_TRUE(writeParGenFile(parGenPath(), stored).ok);
    show();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(shownSet(), stored);
    click("Btn_OK");
    EXPECT_EQ(fakes.messages.texts("error"), QStringList{vlan});
    EXPECT_TRUE(window.isVisible());
    click("Btn_Cancel");
}

TEST_F(ParGenWindow, VlanTakesAtMostEightDigits)
{
    show();
    type("E_IEC61850_Client_VLAN", "12a-3.456789");
    EXPECT_EQ(field("E_IEC61850_Client_VLAN")->text(), "12345678");
    type("E_IEC61850_Client_AppID", "a.b c");
    EXPECT_EQ(field("E_IEC61850_Client_AppID")->text(), "a.b c");
}

TEST_F(ParGenWindow, DotKeyMovesThroughTheOctetFieldsOfOnePanel)
{
    QByteArray file = defaultFile;
    file.replace("<IEC61850_Client_IP2>168<", "<IEC61850_Client_IP2>22<")
        .replace("<IEC61850_Client_IP3>0<", "<IEC61850_Client_IP3>33<");
    writeTestFile(parGenPath(), file);
    show();
    QLineEdit* ip1 = field("E_IEC61850_Client_IP1");
    ip1->setFocus();
    QApplication::processEvents();
    ip1->clear();
    auto type = [](const QString& text) {
        for (const QChar c : text) {
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            QApplication::processEvents(); // the field that receives the focus selects its text
        }
    };
    type("192.168.0.7");
    EXPECT_EQ(ip1->text(), "192");
    EXPECT_EQ(field("E_IEC61850_Client_IP2")->text(), "168");
    EXPECT_EQ(field("E_IEC61850_Client_IP3")->text(), "0");
    EXPECT_EQ(field("E_IEC61850_Client_IP4")->text(), "7");

    // From the last address octet on through the mask to the gateway, whose box is off; the last stops.
    type("....");
    EXPECT_EQ(QApplication::focusWidget(), field("E_IEC61850_Client_SM4"));
    type(".");
    EXPECT_EQ(QApplication::focusWidget(), field("E_IEC61850_Client_GAT1"));
    field("E_IEC61850_Client_GAT4")->setFocus();
    QApplication::processEvents();
    type(".");
    EXPECT_EQ(QApplication::focusWidget(), field("E_IEC61850_Client_GAT4"));
    EXPECT_EQ(field("E_IEC61850_Client_GAT4")->text(), "1");
    EXPECT_EQ(field("E_IEC61850_Client_IP4")->text(), "7");
}

TEST_F(ParGenWindow, WheelScrollsTheGroupAndOnlyTheHeightChanges)
{
    show();
    const int width = window.width();
    window.resize(width + 340, 300);
    QApplication::processEvents();
    EXPECT_EQ(window.width(), width);
    EXPECT_EQ(window.height(), 300);
    QScrollBar* bar = window.findChild<QScrollArea*>("Panel_Group")->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    ASSERT_EQ(bar->value(), 0);
    auto wheel = [](QWidget* over, int delta) {
        const QPointF at(over->width() / 2.0, over->height() / 2.0);
        QWheelEvent event(
            at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        // As from the mouse (sendEvent would make it non-spontaneous): passed on to the parents.
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(over, &event);
    };
    wheel(field("E_IEC61850_Client_SM2"), -120); // over an entry field inside the group
    const int down = bar->value();
    EXPECT_GT(down, 0);
    wheel(box("CB_IEC61850_Client_En_GAT"), -120);
    EXPECT_GT(bar->value(), down);
    wheel(field("E_IEC61850_Client_SM2"), 240);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(ParGenWindow, PanelsCollapseAndExpand)
{
    show();
    auto* header = window.findChild<QToolButton*>("Btn_Panel_IEC61850_Client");
    QTest::mouseClick(header, Qt::LeftButton);
    EXPECT_FALSE(field("E_IEC61850_Client_IP1")->isVisible());
    EXPECT_TRUE(field("E_EtherNetIP_IP1")->isVisible());
    QTest::mouseClick(header, Qt::LeftButton);
    EXPECT_TRUE(field("E_IEC61850_Client_AppID")->isVisible());
}

TEST_F(ParGenWindow, CancelAndTheCloseBoxDiscard)
{
    QByteArray file = defaultFile;
    file.replace("<EtherNetIP_IP4>5<", "<EtherNetIP_IP4>55<");
    writeTestFile(parGenPath(), file);
    for (const bool closeBox : {false, true}) {
        show();
        type("E_EtherNetIP_IP4", "66");
        if (closeBox)
            window.close();
        else
            click("Btn_Cancel");
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.result(), QDialog::Rejected);
        EXPECT_EQ(readTestFile(parGenPath()), file);
        show();
        EXPECT_EQ(field("E_EtherNetIP_IP4")->text(), "55");
        window.reject();
    }
}

TEST_F(ParGenWindow, BrokenFileIsReportedAndKeptUntilOk)
{
    const QByteArray broken = "<Par_Gen>\n<EtherNetIP_IP4>9</Par_Gen>";
    writeTestFile(parGenPath(), broken);
    show();
    EXPECT_TRUE(fakes.messages.texts("error").isEmpty());
    const QStringList warnings = fakes.messages.texts("warning");
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(
        "Warning!!! The communication file cannot be read: the default values are shown and OK will replace the file. "))
        << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains("ParGen.xml: line 2:")) << warnings[0].toStdString();
    EXPECT_EQ(shownSet(), defaultCommunicationSettings());
    click("Btn_Cancel");
    EXPECT_EQ(readTestFile(parGenPath()), broken);
    show();
    EXPECT_EQ(fakes.messages.texts("warning").size(), 1);
    click("Btn_OK");
    EXPECT_EQ(readTestFile(parGenPath()), defaultFile);
}

TEST_F(ParGenWindow, UnreadableFileOpensWithDefaultsAndAWarningAndOkReplacesIt)
{
    const QByteArray cases[] = {
        "",
        "   \n",
        "<?xml version=\"1.0\"?>",
        "<!-- Par_Gen -->",
        "<Par_Gen><IEC61850_Client_IP1>10</IEC61850_Client_IP1>",
        "<Par_Gen>\0</Par_Gen>",
        "\xEF\xBB\xBF<Par_Gen></Other>",
        "plain text",
    };
    for (const QByteArray& broken : cases) {
        SCOPED_TRACE(broken.constData());
        writeTestFile(parGenPath(), broken);
        show();
        EXPECT_TRUE(fakes.messages.texts("error").isEmpty());
        const QStringList warnings = fakes.messages.texts("warning");
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].contains("OK will replace the file") && warnings[0].contains("ParGen.xml"))
            << warnings[0].toStdString();
        EXPECT_EQ(shownSet(), defaultCommunicationSettings());
        click("Btn_OK");
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(readTestFile(parGenPath()), defaultFile);
        EXPECT_EQ(QDir(state.configurationFolder).entryList(QDir::Files), QStringList{"ParGen.xml"});
    }
}

#ifdef SWQ_HAVE_FILE_SIZE_LIMIT
TEST_F(ParGenWindow, FailedSaveKeepsTheOldFileAndTheWindowWithItsEntries)
{
    writeTestFile(parGenPath(), defaultFile);
    show();
    type("E_EtherNetIP_IP4", "66");
    const CommunicationSettings entered = shownSet();
    {
        const FileSizeLimit fullDisk(100);
        click("Btn_OK");
    }
    const QStringList errors = fakes.messages.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("ParGen.xml")) << errors[0].toStdString();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(shownSet(), entered);
    EXPECT_EQ(readTestFile(parGenPath()), defaultFile);
    EXPECT_EQ(QDir(state.configurationFolder).entryList(QDir::Files), QStringList{"ParGen.xml"}); // no temporary left

    fakes.messages.shown.clear();
    click("Btn_OK");
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(readTestFile(parGenPath()).contains("<EtherNetIP_IP4>66</EtherNetIP_IP4>"));
}
#endif

// Another program (a second instance, an editor) changed ParGen.xml while the window was open:
// OK asks before replacing it, No being the default; No keeps that file and the window open.
TEST_F(ParGenWindow, OkAsksBeforeReplacingAFileChangedSinceItWasLoaded)
{
    const QByteArray otherVlan
        = QByteArray(defaultFile)
              .replace("<IEC61850_Client_VLAN>0</IEC61850_Client_VLAN>", "<IEC61850_Client_VLAN>7</IEC61850_Client_VLAN>");
    struct Case {
        const char* name;
        QByteArray atLoad; // null: no file when the window opens
        std::function<void(const QString& path)> meanwhile;
        bool asked;
    };
    const Case cases[] = {
        {"saved by another window", defaultFile, [&](const QString& path) { writeTestFile(path, otherVlan); }, true},
        {"made by another window", {}, [&](const QString& path) { writeTestFile(path, otherVlan); }, true},
        {"removed", defaultFile, [](const QString& path) { QFile::remove(path); }, true},
        {"rewritten with the same bytes", defaultFile, [](const QString& path) { writeTestFile(path, defaultFile); }, false},
        {"left alone", defaultFile, [](const QString&) {}, false},
    };
    const QString question = "%1 was changed by another program after this window loaded it. Replace it with what this "
                             "window shows? No keeps the file and the window open.";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(parGenPath());
        if (!c.atLoad.isNull())
            writeTestFile(parGenPath(), c.atLoad);
        show();
        c.meanwhile(parGenPath());
        const QByteArray theirs = QFile::exists(parGenPath()) ? readTestFile(parGenPath()) : QByteArray();
        fakes.messages.Answers = {MessageService::Answer::No};
        click("Btn_OK");
        if (c.asked) {
            EXPECT_EQ(fakes.messages.shown,
                (std::vector<FakeMessageService::Shown>{
                    {"question", question.arg(QDir::toNativeSeparators(parGenPath())), true}}));
            EXPECT_TRUE(window.isVisible());
            EXPECT_EQ(QFile::exists(parGenPath()) ? readTestFile(parGenPath()) : QByteArray(), theirs);
            // Yes replaces it with what the window shows.
            fakes.messages.shown.clear();
            fakes.messages.Answers = {MessageService::Answer::Yes};
            click("Btn_OK");
            EXPECT_EQ(fakes.messages.texts("question").size(), 1);
        } else
            EXPECT_TRUE(fakes.messages.shown.empty());
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(readTestFile(parGenPath()), defaultFile);
    }
}

// Opened while another program holds the configuration: the window says so and saves nothing.
TEST_F(ParGenWindow, ReadOnlyWindowSaysWhyAndSavesNothing)
{
    const Result holder
        = Result::failed(Text::ErrorConfigurationInUse, {"Plant", "SWQuelmor", "host7", "4242", "2024-05-06 07:08:09"});
    window.setReadOnly(holder);
    show();
    EXPECT_TRUE(shownIn(&window, "L_Read_Only"));
    EXPECT_EQ(labelText(&window, "L_Read_Only"),
        "Read-only, nothing can be saved: The configuration Plant is in use by SWQuelmor on host7 (process 4242) since "
        "2024-05-06 07:08:09.");
    EXPECT_FALSE(child<QPushButton>(&window, "Btn_OK")->isEnabled());
    type("E_IEC61850_Client_VLAN", "5");
    child<QPushButton>(&window, "Btn_OK")->click(); // not even a click that gets through saves
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(QFile::exists(parGenPath()));
    window.reject();

    window.setReadOnly(Result::success());
    show();
    EXPECT_FALSE(shownIn(&window, "L_Read_Only"));
    click("Btn_OK");
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QFile::exists(parGenPath()));
}
