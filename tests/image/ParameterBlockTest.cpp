#include "support/ImageTestSupport.h"
#include "base/TextTable.h"
#include "image/core/LittleEndian.h"
#include <gtest/gtest.h>

using namespace Image;
using namespace ImageTest;

namespace {

// The block of a project without ParGen.xml, written out from the layout independently of the code.
QByteArray initialBlock()
{
    QByteArray b(2048, 0);
    auto put = [&b](int offset, const QByteArray& bytes) { b.replace(offset, bytes.size(), bytes); };
    put(0x000, Le32(250000));
    put(0x004, Le32(250000));
    put(0x00C, Le32(9600));
    put(0x028,
        QByteArray::fromHex("C0A802CD"
                            "FFFFFF00"
                            "FFFFFFFF"));
    put(0x034,
        QByteArray::fromHex("1027"
                            "1127"
                            "1127"));
    put(0x1B4, QByteArray(8, 8));
    put(0x5EC, Le32(0x80000));
    put(0x7FC, QByteArray::fromHex("8A0D0000"));
    return b;
}

QByteArray parGenXml(const CommunicationSettings& set, const QStringList& omit = {}, const QByteArray& before = {})
{
    QByteArray body;
    for (std::size_t i = 0; i < CommunicationSettings::count; ++i)
        if (!omit.contains(QLatin1String(CommunicationSettings::keys[i])))
            body += QByteArray("<") + CommunicationSettings::keys[i] + ">" + set.values[i].toHtmlEscaped().toUtf8() + "</"
                + CommunicationSettings::keys[i] + ">";
    return before + "<Par_Gen>" + body + "</Par_Gen>";
}

struct Built {
    QByteArray bank1;
    qint32 vLan, appID;
};

Built build(const QByteArray& parGen)
{
    Project p;
    writeTestFile(p.paths().communicationFile(), parGen);
    DeviceImage image;
    const Result r = image.buildImages(p.paths(), u'.');
    EXPECT_TRUE(r.ok) << englishMessage(r).toStdString();
    return {bytes(image.bank1()), image.requestTables.vLan, image.requestTables.appID};
}

} // namespace

TEST(ParameterBlock, WithoutParGenOnlyTheInitialValuesTheTablesAddressAndTheChecksum)
{
    Project p;
    DeviceImage image;
    ASSERT_TRUE(image.buildImages(p.paths(), u',').ok);
    EXPECT_EQ(bytes(image.bank1()), initialBlock());
    EXPECT_EQ(image.requestTables.vLan, 0);
    EXPECT_EQ(image.requestTables.appID, 0);
}

TEST(ParameterBlock, DefaultsFile)
{
    const QByteArray b = build(parGenXml(defaultCommunicationSettings())).bank1;
    ASSERT_EQ(b.size(), 2048);
    EXPECT_EQ(b.mid(0x7FC), QByteArray::fromHex("1F180000")); // 6175
    EXPECT_EQ(b.mid(0x036, 4), QByteArray::fromHex("12AF12AF"));
    EXPECT_EQ(b.mid(0x074, 8), QByteArray::fromHex("F0010000F0010000"));
    EXPECT_EQ(b.mid(0x028, 12),
        QByteArray::fromHex("C0A80005"
                            "FFFFFF00"
                            "FFFFFFFF"));
    EXPECT_EQ(b.mid(0x184, 12),
        QByteArray::fromHex("C0A8000A"
                            "FFFFFF00"
                            "FFFFFFFF"));
    // Everything else is as in a block without the file.
    QByteArray rest = b, initial = initialBlock();
    for (const auto& [offset, size] : {std::pair{0x028, 12}, {0x036, 4}, {0x074, 8}, {0x184, 12}, {0x7FC, 4}}) {
        rest.replace(offset, size, QByteArray(size, 0));
        initial.replace(offset, size, QByteArray(size, 0));
    }
    EXPECT_EQ(rest, initial);
}

TEST(ParameterBlock, KeysConvertWithTheirFallbacksAndLowBits)
{
    struct Case {
        const char* label;
        std::vector<std::pair<const char*, QString>> values; // changes to the defaults
        QStringList omit;
        std::vector<std::pair<int, QByteArray>> expected; // offset, bytes
        qint32 vLan = 0, appID = 0;
    };
    const Case cases[] = {
        {"gateway on keeps its octets", {{"EtherNetIP_EN_GAT", "1"}, {"EtherNetIP_GAT1", "10"}, {"EtherNetIP_GAT4", "254"}}, {},
            {{0x030, QByteArray::fromHex("0AA800FE")}, {0x18C, QByteArray::fromHex("FFFFFFFF")}}},
        {"gateway off overrides its octets", {{"IEC61850_Client_En_GAT", "0"}, {"IEC61850_Client_GAT1", "10"}}, {},
            {{0x18C, QByteArray::fromHex("FFFFFFFF")}}},
        {"a switch with blanks is off", {{"IEC61850_Client_En_GAT", " 1"}, {"EtherNetIP_EN_GAT", "1 "}}, {},
            {{0x18C, QByteArray::fromHex("FFFFFFFF")}, {0x030, QByteArray::fromHex("FFFFFFFF")}}},
        {"a missing switch is off", {{"EtherNetIP_GAT1", "10"}}, {"EtherNetIP_EN_GAT"},
            {{0x030, QByteArray::fromHex("FFFFFFFF")}}},
        {"one byte keeps the low 8 bits",
            {{"IEC61850_Client_En_GAT", "1"}, {"IEC61850_Client_GAT1", "300"}, {"IEC61850_Client_GAT2", "-1"},
                {"IEC61850_Client_GAT3", "0x10"}, {"IEC61850_Client_GAT4", "x"}},
            {}, {{0x18C, QByteArray::fromHex("2CFF1001")}}},
        {"mask octet 4 missing or not a number gives 0", {{"EtherNetIP_SM4", "abc"}}, {"IEC61850_Client_SM4"},
            {{0x18B, QByteArray::fromHex("00")}, {0x02F, QByteArray::fromHex("00")}}},
        {"byte counts are 32-bit and unchecked", {{"EtherNetIP_NB_Input", "70000"}, {"EtherNetIP_NB_Output", ""}}, {},
            {{0x074, QByteArray::fromHex("70110100F0010000")}}},
        {"VLAN and application ID are whole numbers with fallback 0",
            {{"IEC61850_Client_VLAN", "$10"}, {"IEC61850_Client_Application_ID", "-7"}}, {}, {}, 16, -7},
        {"a text that is no number gives 0", {{"IEC61850_Client_VLAN", "12a"}, {"IEC61850_Client_Application_ID", ""}}, {}, {}, 0,
            0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CommunicationSettings set = defaultCommunicationSettings();
        for (const auto& [key, value] : c.values)
            set[CommunicationKey::find(key).value()] = value;
        const Built built = build(parGenXml(set, c.omit));
        for (const auto& [offset, bytes] : c.expected)
            EXPECT_EQ(built.bank1.mid(offset, bytes.size()).toHex(), bytes.toHex()) << c.label << " at " << offset;
        EXPECT_EQ(built.vLan, c.vLan);
        EXPECT_EQ(built.appID, c.appID);
        EXPECT_EQ(u32At(built.bank1, 0x7FC),
            parameterBlockChecksum(std::span(reinterpret_cast<const quint8*>(built.bank1.constData()), 2048)));
    }
}

TEST(ParameterBlock, DeclarationOrCommentBeforeTheSettingsGivesEveryFallback)
{
    CommunicationSettings set = defaultCommunicationSettings();
    for (std::size_t i = 0; i < CommunicationSettings::count; ++i)
        set.values[i] = QStringLiteral("1"); // would switch both gateways on and change every byte
    for (const QByteArray& before : {QByteArray("<?xml version=\"1.0\"?>"), QByteArray("<!-- settings -->")}) {
        const Built built = build(parGenXml(set, {}, before));
        EXPECT_EQ(built.bank1.mid(0x028, 12).toHex(), QByteArray("c0a80005ffffff00ffffffff")) << before.toStdString();
        EXPECT_EQ(built.bank1.mid(0x184, 12).toHex(), QByteArray("c0a8000affffff00ffffffff")) << before.toStdString();
        EXPECT_EQ(built.bank1.mid(0x036, 4).toHex(), QByteArray("12af12af"));
        EXPECT_EQ(built.bank1.mid(0x074, 8).toHex(), QByteArray("f0010000f0010000"));
        EXPECT_EQ(built.vLan, 0);
        EXPECT_EQ(built.appID, 0);
    }
}

TEST(ParameterBlock, CopyStoresTheSumOfTheFirst2044BytesAndReturnsTheNextPosition)
{
    ParameterBlock block;
    for (size_t i = 0; i < block.bytes.size(); ++i)
        block.bytes[i] = static_cast<quint8>(0xFF - i % 7); // the old checksum bytes must not count
    std::vector<quint8> out(5000, 0xEE);
    EXPECT_EQ(copyParameterBlock(block, out, 100), 2148);
    quint32 sum = 0;
    for (int i = 0; i < 2044; ++i)
        sum += static_cast<quint8>(0xFF - i % 7);
    EXPECT_EQ(getU32(out, 100 + 2044), sum);
    EXPECT_EQ(out[99], 0xEE);
    EXPECT_EQ(out[2148], 0xEE);
    EXPECT_TRUE(std::equal(block.bytes.begin(), block.bytes.end(), out.begin() + 100));
}

TEST(ParameterBlock, MalformedParGenStopsTheBuildNamingFileAndLine)
{
    Project p;
    writeTestFile(p.paths().communicationFile(), "<Par_Gen>\n<EtherNetIP_IP1>1</EtherNetIP_IP2>\n</Par_Gen>");
    DeviceImage image;
    const Result r = image.buildImages(p.paths(), u'.');
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(englishMessage(r).startsWith(QDir::toNativeSeparators(p.paths().communicationFile()) + ": line 2: "))
        << englishMessage(r).toStdString();
    EXPECT_TRUE(image.bank1().empty());
}
