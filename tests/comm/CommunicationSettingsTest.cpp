#include "comm/core/CommunicationSettings.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {
const QByteArray header = "<Par_Gen>";
QByteArray defaultsBody()
{
    QByteArray body;
    const CommunicationSettings d = defaultCommunicationSettings();
    for (std::size_t i = 0; i < CommunicationSettings::count; ++i)
        body += QByteArray("<") + CommunicationSettings::keys[i] + ">" + d.values[i].toUtf8() + "</"
            + CommunicationSettings::keys[i] + ">";
    return body;
}
} // namespace

TEST(ParGen, WritesTwoDocumentNodesAndThirtyElementsInOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    ASSERT_TRUE(writeParGenFile(path, defaultCommunicationSettings()).ok);
    EXPECT_EQ(readTestFile(path), header + defaultsBody() + "</Par_Gen><!--SW_VERSION = 1.000-->");
}

TEST(ParGen, ReadsEachKeyOnItsOwn)
{
    struct Case {
        const char* label;
        QByteArray content;
        std::vector<std::pair<const char*, QString>> expected; // differences from the defaults
    };
    const Case cases[] = {
        {"texts kept as entered",
            "<Par_Gen><IEC61850_Client_IP1>007</IEC61850_Client_IP1><IEC61850_Client_Application_ID>abc</"
            "IEC61850_Client_Application_ID></Par_Gen>",
            {{"IEC61850_Client_IP1", "007"}, {"IEC61850_Client_Application_ID", "abc"}}},
        {"empty element is empty, not the default", "<Par_Gen><EtherNetIP_NB_Input/></Par_Gen>", {{"EtherNetIP_NB_Input", ""}}},
        {"switch only on 1",
            "<Par_Gen><IEC61850_Client_En_GAT>true</IEC61850_Client_En_GAT><EtherNetIP_EN_GAT>1</EtherNetIP_EN_GAT></Par_Gen>",
            {{"EtherNetIP_EN_GAT", "1"}}},
        {"switch 01 is off", "<Par_Gen><IEC61850_Client_En_GAT>01</IEC61850_Client_En_GAT></Par_Gen>", {}},
        {"key names are case-sensitive", "<Par_Gen><EtherNetIP_En_GAT>1</EtherNetIP_En_GAT></Par_Gen>", {}},
        {"other root name", "<Other><EtherNetIP_IP4>9</EtherNetIP_IP4></Other>", {{"EtherNetIP_IP4", "9"}}},
        {"declaration before the root", "<?xml version=\"1.0\"?><Par_Gen><EtherNetIP_IP4>9</EtherNetIP_IP4></Par_Gen>", {}},
        {"comment before the root", "<!--x--><Par_Gen><EtherNetIP_IP4>9</EtherNetIP_IP4></Par_Gen>", {}},
        // Not a byte order mark inside a value: the text is kept as stored, and is then no number.
        {"leading U+FEFF kept", "<Par_Gen><EtherNetIP_IP4>&#xFEFF;9</EtherNetIP_IP4></Par_Gen>",
            {{"EtherNetIP_IP4", QStringLiteral("\uFEFF9")}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir dir;
        writeTestFile(dir.filePath("ParGen.xml"), c.content);
        CommunicationSettings set;
        ASSERT_TRUE(readParGenFile(dir.filePath("ParGen.xml"), set).ok);
        CommunicationSettings expected = defaultCommunicationSettings();
        for (const auto& [key, value] : c.expected)
            expected[CommunicationKey::find(key).value()] = value;
        EXPECT_EQ(set.values, expected.values);
    }
}

TEST(ParGen, MissingKeyTakesItsDefaultAndRoundTripIsExact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    QByteArray body = defaultsBody();
    body.replace("<EtherNetIP_NB_Input>496</EtherNetIP_NB_Input>", "");
    body.replace("<EtherNetIP_IP4>5</EtherNetIP_IP4>", "<EtherNetIP_IP4>77</EtherNetIP_IP4>");
    body.replace("<IEC61850_Client_En_GAT>0</IEC61850_Client_En_GAT>", "<IEC61850_Client_En_GAT>true</IEC61850_Client_En_GAT>");
    writeTestFile(path, "<Par_Gen>" + body + "</Par_Gen>");
    CommunicationSettings set;
    ASSERT_TRUE(readParGenFile(path, set).ok);
    EXPECT_EQ(set["EtherNetIP_NB_Input"], "496");
    EXPECT_EQ(set["EtherNetIP_IP4"], "77");
    EXPECT_EQ(set["IEC61850_Client_En_GAT"], "0");
    ASSERT_TRUE(writeParGenFile(path, set).ok);
    CommunicationSettings back;
    ASSERT_TRUE(readParGenFile(path, back).ok);
    EXPECT_EQ(back, set);
    EXPECT_TRUE(readTestFile(path).contains("<IEC61850_Client_En_GAT>0</IEC61850_Client_En_GAT>"));
}

TEST(ParGen, MissingFileGivesDefaultsAndBrokenFileTheParserMessage)
{
    QTemporaryDir dir;
    CommunicationSettings set;
    ASSERT_TRUE(readParGenFile(dir.filePath("none.xml"), set).ok);
    EXPECT_EQ(set, defaultCommunicationSettings());
    EXPECT_EQ(set["IEC61850_Client_IP4"], "10");
    EXPECT_EQ(set["EtherNetIP_IP4"], "5");

    writeTestFile(dir.filePath("ParGen.xml"), "<Par_Gen>\n<EtherNetIP_IP4>9</Par_Gen>");
    const Result broken = readParGenFile(dir.filePath("ParGen.xml"), set);
    EXPECT_FALSE(broken.ok);
    EXPECT_TRUE(englishMessage(broken).contains("ParGen.xml: line 2")) << englishMessage(broken).toStdString();
    EXPECT_EQ(set, defaultCommunicationSettings());

    // A character XML does not allow makes the file as broken: "&#11;192" is no address.
    writeTestFile(dir.filePath("ParGen.xml"), "<Par_Gen>\n<EtherNetIP_IP1>&#11;192</EtherNetIP_IP1></Par_Gen>");
    const Result forbidden = readParGenFile(dir.filePath("ParGen.xml"), set);
    EXPECT_TRUE(englishMessage(forbidden).endsWith(
        "ParGen.xml: line 2: EtherNetIP_IP1 holds the character &#11;, which XML does not allow"))
        << englishMessage(forbidden).toStdString();
    EXPECT_EQ(set, defaultCommunicationSettings());
}

TEST(ParGen, TextsOfBlanksOnlyReadBackAsEntered)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    CommunicationSettings set = defaultCommunicationSettings();
    set["IEC61850_Client_Application_ID"] = " ";
    set["EtherNetIP_NB_Output"] = " 12 ";
    ASSERT_TRUE(writeParGenFile(path, set).ok);
    CommunicationSettings back;
    ASSERT_TRUE(readParGenFile(path, back).ok);
    EXPECT_EQ(back.values, set.values);
}

TEST(ParGen, CheckReadsWholeNumbersAndStopsAtTheFirstFailure)
{
    struct Case {
        std::vector<std::pair<const char*, QString>> entries; // differences from the defaults
        int textNo; // -1: passes
        QString arg;
    };
    const Case cases[] = {
        {{}, -1, {}},
        {{{"IEC61850_Client_IP1", "255"}, {"EtherNetIP_SM4", "0"}}, -1, {}},
        {{{"IEC61850_Client_IP1", "256"}}, 649, {}},
        {{{"IEC61850_Client_IP1", "-1"}}, 649, {}},
        {{{"IEC61850_Client_IP1", ""}}, 649, {}},
        {{{"IEC61850_Client_IP2", "1 0"}}, 650, {}},
        {{{"IEC61850_Client_IP3", "abc"}}, 651, {}},
        {{{"IEC61850_Client_IP4", " 10"}, {"EtherNetIP_IP1", "0xFF"}}, -1, {}}, // the one whole-number reader
        {{{"EtherNetIP_IP1", "0x100"}}, 703, {}},
        {{{"IEC61850_Client_GAT1", "999"}, {"EtherNetIP_GAT4", "x"}}, -1, {}}, // gateways off
        {{{"IEC61850_Client_GAT1", "999"}, {"IEC61850_Client_En_GAT", "1"}}, 657, {}},
        {{{"EtherNetIP_GAT4", "x"}, {"EtherNetIP_EN_GAT", "1"}}, 714, {}},
        {{{"EtherNetIP_GAT4", "x"}, {"EtherNetIP_EN_GAT", "true"}}, -1, {}},
        {{{"EtherNetIP_NB_Input", "497"}}, 716, "496"},
        {{{"EtherNetIP_NB_Input", "0"}, {"EtherNetIP_NB_Output", "496"}}, -1, {}},
        {{{"EtherNetIP_NB_Output", "500"}}, 717, "496"},
        // After the fields, the VLAN and the Application ID must fit the device.
        {{{"IEC61850_Client_VLAN", "abc"}, {"IEC61850_Client_Application_ID", "abc"}}, 1313, "4094"},
        {{{"IEC61850_Client_Application_ID", "abc"}, {"EtherNetIP_NB_Output", "500"}}, 717, "496"},
        {{{"EtherNetIP_NB_Input", "-5"}, {"EtherNetIP_SM1", "300"}, {"IEC61850_Client_IP1", "x"}}, 649, {}},
    };
    for (const auto& c : cases) {
        CommunicationSettings set = defaultCommunicationSettings();
        QString label;
        for (const auto& [key, value] : c.entries) {
            set[CommunicationKey::find(key).value()] = value;
            label += QStringLiteral("%1=\"%2\" ").arg(key, value);
        }
        const Result result = checkCommunicationSettings(set);
        EXPECT_EQ(result.ok, c.textNo < 0) << label.toStdString();
        EXPECT_EQ(result.textNumber, c.textNo) << label.toStdString();
        EXPECT_EQ(result.args.value(0), c.arg) << label.toStdString();
    }
}
