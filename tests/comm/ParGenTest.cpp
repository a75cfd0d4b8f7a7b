#include "ParGen.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

namespace {
const QByteArray Header = "<Par_Gen>";
QByteArray Defaults_Body()
{
    QByteArray body;
    const TParGen d = Default_ParGen();
    for (int i = 0; i < TParGen::Count; ++i)
        body += QByteArray("<") + TParGen::Keys[i] + ">" + d.Values[i].toUtf8() + "</" + TParGen::Keys[i] + ">";
    return body;
}
} // namespace

TEST(ParGen, WritesTwoDocumentNodesAndThirtyElementsInOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    ASSERT_TRUE(Write_ParGen(path, Default_ParGen()).Ok);
    EXPECT_EQ(Read_Test_File(path), Header + Defaults_Body() + "</Par_Gen><!--SW_VERSION = 1.000-->");
}

TEST(ParGen, ReadsEachKeyOnItsOwn)
{
    struct TCase {
        const char* label;
        QByteArray content;
        std::vector<std::pair<const char*, QString>> expected; // differences from the defaults
    };
    const TCase cases[] = {
        {"texts kept as entered", "<Par_Gen><IEC61850_Client_IP1>007</IEC61850_Client_IP1><IEC61850_Client_Application_ID>abc</IEC61850_Client_Application_ID></Par_Gen>",
            {{"IEC61850_Client_IP1", "007"}, {"IEC61850_Client_Application_ID", "abc"}}},
        {"empty element is empty, not the default", "<Par_Gen><EtherNetIP_NB_Input/></Par_Gen>", {{"EtherNetIP_NB_Input", ""}}},
        {"switch only on 1", "<Par_Gen><IEC61850_Client_En_GAT>true</IEC61850_Client_En_GAT><EtherNetIP_EN_GAT>1</EtherNetIP_EN_GAT></Par_Gen>",
            {{"EtherNetIP_EN_GAT", "1"}}},
        {"switch 01 is off", "<Par_Gen><IEC61850_Client_En_GAT>01</IEC61850_Client_En_GAT></Par_Gen>", {}},
        {"key names are case-sensitive", "<Par_Gen><EtherNetIP_En_GAT>1</EtherNetIP_En_GAT></Par_Gen>", {}},
        {"other root name", "<Other><EtherNetIP_IP4>9</EtherNetIP_IP4></Other>", {{"EtherNetIP_IP4", "9"}}},
        {"declaration before the root", "<?xml version=\"1.0\"?><Par_Gen><EtherNetIP_IP4>9</EtherNetIP_IP4></Par_Gen>", {}},
        {"comment before the root", "<!--x--><Par_Gen><EtherNetIP_IP4>9</EtherNetIP_IP4></Par_Gen>", {}},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        Write_Test_File(dir.filePath("ParGen.xml"), c.content);
        TParGen set;
        ASSERT_TRUE(Read_ParGen(dir.filePath("ParGen.xml"), set).Ok) << c.label;
        TParGen expected = Default_ParGen();
        for (const auto& [key, value] : c.expected)
            expected[key] = value;
        EXPECT_EQ(set.Values, expected.Values) << c.label;
    }
}

TEST(ParGen, MissingKeyTakesItsDefaultAndRoundTripIsExact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    QByteArray body = Defaults_Body();
    body.replace("<EtherNetIP_NB_Input>496</EtherNetIP_NB_Input>", "");
    body.replace("<EtherNetIP_IP4>5</EtherNetIP_IP4>", "<EtherNetIP_IP4>77</EtherNetIP_IP4>");
    body.replace("<IEC61850_Client_En_GAT>0</IEC61850_Client_En_GAT>", "<IEC61850_Client_En_GAT>true</IEC61850_Client_En_GAT>");
    Write_Test_File(path, "<Par_Gen>" + body + "</Par_Gen>");
    TParGen set;
    ASSERT_TRUE(Read_ParGen(path, set).Ok);
    EXPECT_EQ(set["EtherNetIP_NB_Input"], "496");
    EXPECT_EQ(set["EtherNetIP_IP4"], "77");
    EXPECT_EQ(set["IEC61850_Client_En_GAT"], "0");
    ASSERT_TRUE(Write_ParGen(path, set).Ok);
    TParGen back;
    ASSERT_TRUE(Read_ParGen(path, back).Ok);
    EXPECT_EQ(back, set);
    EXPECT_TRUE(Read_Test_File(path).contains("<IEC61850_Client_En_GAT>0</IEC61850_Client_En_GAT>"));
}

TEST(ParGen, MissingFileGivesDefaultsAndBrokenFileTheParserMessage)
{
    QTemporaryDir dir;
    TParGen set;
    ASSERT_TRUE(Read_ParGen(dir.filePath("none.xml"), set).Ok);
    EXPECT_EQ(set, Default_ParGen());
    EXPECT_EQ(set["IEC61850_Client_IP4"], "10");
    EXPECT_EQ(set["EtherNetIP_IP4"], "5");

    Write_Test_File(dir.filePath("ParGen.xml"), "<Par_Gen>\n<EtherNetIP_IP4>9</Par_Gen>");
    const TResult broken = Read_ParGen(dir.filePath("ParGen.xml"), set);
    EXPECT_FALSE(broken.Ok);
    EXPECT_TRUE(broken.Message.contains("ParGen.xml: line 2")) << broken.Message.toStdString();
    EXPECT_EQ(set, Default_ParGen());
}

TEST(ParGen, TextsOfBlanksOnlyReadBackAsEntered)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    TParGen set = Default_ParGen();
    set["IEC61850_Client_Application_ID"] = " ";
    set["EtherNetIP_NB_Output"] = " 12 ";
    ASSERT_TRUE(Write_ParGen(path, set).Ok);
    TParGen back;
    ASSERT_TRUE(Read_ParGen(path, back).Ok);
    EXPECT_EQ(back.Values, set.Values);
}

TEST(ParGen, CheckReadsWholeNumbersAndStopsAtTheFirstFailure)
{
    struct TCase {
        std::vector<std::pair<const char*, QString>> entries; // differences from the defaults
        int text_No;                                           // -1: passes
        QString arg;
    };
    const TCase cases[] = {
        {{}, -1, {}},
        {{{"IEC61850_Client_IP1", "255"}, {"EtherNetIP_SM4", "0"}}, -1, {}},
        {{{"IEC61850_Client_IP1", "256"}}, 649, {}},
        {{{"IEC61850_Client_IP1", "-1"}}, 649, {}},
        {{{"IEC61850_Client_IP1", ""}}, 649, {}},
        {{{"IEC61850_Client_IP2", "1 0"}}, 650, {}},
        {{{"IEC61850_Client_IP3", "abc"}}, 651, {}},
        {{{"IEC61850_Client_IP4", " 10"}, {"EtherNetIP_IP1", "0xFF"}}, -1, {}},  // the one whole-number reader
        {{{"EtherNetIP_IP1", "0x100"}}, 703, {}},
        {{{"IEC61850_Client_GAT1", "999"}, {"EtherNetIP_GAT4", "x"}}, -1, {}},     // gateways off
        {{{"IEC61850_Client_GAT1", "999"}, {"IEC61850_Client_En_GAT", "1"}}, 657, {}},
        {{{"EtherNetIP_GAT4", "x"}, {"EtherNetIP_EN_GAT", "1"}}, 714, {}},
        {{{"EtherNetIP_GAT4", "x"}, {"EtherNetIP_EN_GAT", "true"}}, -1, {}},
        {{{"EtherNetIP_NB_Input", "497"}}, 716, "496"},
        {{{"EtherNetIP_NB_Input", "0"}, {"EtherNetIP_NB_Output", "496"}}, -1, {}},
        {{{"EtherNetIP_NB_Output", "500"}}, 717, "496"},
        {{{"IEC61850_Client_VLAN", "abc"}, {"IEC61850_Client_Application_ID", "abc"}}, -1, {}},
        {{{"EtherNetIP_NB_Input", "-5"}, {"EtherNetIP_SM1", "300"}, {"IEC61850_Client_IP1", "x"}}, 649, {}},
    };
    for (const auto& c : cases) {
        TParGen set = Default_ParGen();
        QString label;
        for (const auto& [key, value] : c.entries) {
            set[key] = value;
            label += QStringLiteral("%1=\"%2\" ").arg(key, value);
        }
        const TResult result = Check_ParGen(set);
        EXPECT_EQ(result.Ok, c.text_No < 0) << label.toStdString();
        EXPECT_EQ(result.Text_No, c.text_No) << label.toStdString();
        EXPECT_EQ(result.Arg, c.arg) << label.toStdString();
    }
}
