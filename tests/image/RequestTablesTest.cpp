#include "support/ImageTestSupport.h"
#include "base/TextTable.h"
#include "image/core/LittleEndian.h"
#include <gtest/gtest.h>
#include <limits>

using namespace Image;
using namespace ImageTest;

namespace {

constexpr quint32 Base = 0x80000;

struct Built {
    Result result;
    QByteArray bank2;
    RequestTables Tables;
};

Built build(const QByteArray& access, QChar separator = u'.', const CommunicationSettings* parGen = nullptr)
{
    Project p;
    p.writeAccess(access);
    if (parGen)
        p.writeParGenFile(*parGen);
    DeviceImage image;
    Built built;
    built.result = image.buildImages(p.paths(), separator);
    built.bank2 = bytes(image.bank2());
    built.Tables = image.requestTables;
    return built;
}

// The variable record of a one-variable file, decoded field by field.
VariableRecord onlyVariable(const Attrs& changes, QChar separator = u'.')
{
    const Built built = build(accessFileXml({With(exampleVariable(), changes)}), separator);
    EXPECT_TRUE(built.result.ok) << englishMessage(built.result).toStdString();
    EXPECT_EQ(built.Tables.variableList.size(), 1u);
    return built.Tables.variableList.empty() ? VariableRecord{} : built.Tables.variableList[0];
}

float factorAt(const QByteArray& b, qsizetype offset) { return std::bit_cast<float>(u32At(b, offset)); }

} // namespace

TEST(RequestTables, OneVariableGivesThe98BytesOfTheExample)
{
    CommunicationSettings parGen = defaultCommunicationSettings();
    parGen["IEC61850_Client_VLAN"] = QStringLiteral("7");
    parGen["IEC61850_Client_Application_ID"] = QStringLiteral("0x3001");
    const Built built = build(accessFileXml({exampleVariable()}), u',', &parGen);
    ASSERT_TRUE(built.result.ok) << englishMessage(built.result).toStdString();
    const QByteArray expected = QByteArray::fromHex("01000000"
                                                    "00000000"
                                                    "07000000"
                                                    "01300000"
                                                    "18000800"
                                                    "38000800" // header
                                                    "4D58"
                                                    "00"
                                                    "00"
                                                    "05"
                                                    "00"
                                                    "00"
                                                    "04"
                                                    "0A00"
                                                    "6600"
                                                    "F4010000"
                                                    "0000803F"
                                                    "38000800"
                                                    "40000800"
                                                    "4D000800")
        + QByteArray("FLOAT32\0"
                     "192.168.0.10\0"
                     "LD0/MMXU1.TotW.mag.f\0",
            8 + 13 + 21);
    ASSERT_EQ(expected.size(), 98);
    EXPECT_EQ(built.bank2.toHex(' '), expected.toHex(' '));
}

TEST(RequestTables, AddressesOfOneVariableAndOneDataSetWithTwoAttributes)
{
    const Built built
        = build(accessFileXml({exampleVariable()}, dataSet(exampleDataSet(), {exampleMember(1), exampleMember(2)})));
    ASSERT_TRUE(built.result.ok) << englishMessage(built.result).toStdString();
    const QByteArray& b = built.bank2;
    EXPECT_EQ(u32At(b, 20), Base + 0x38); // DataSet_Add
    EXPECT_EQ(u32At(b, 0x38 + 24), Base + 0x54); // VariableList_Add of the data set
    EXPECT_EQ(u32At(b, 24 + 20), Base + 0x74); // the first string: bType of the variable
    // Data-set record and its two attribute records.
    EXPECT_EQ(b.mid(0x38, 12).toHex(), QByteArray("0204660001000000d0070000"));
    EXPECT_EQ(b.mid(0x54, 8).toHex(), QByteArray("680000010000003f")); // position 104, bit 0, conversion 1, factor 0.5
    EXPECT_EQ(b.mid(0x64, 2).toHex(), QByteArray("6c00")); // the second attribute, position 108
    // Every address is the base plus the offset of what it names.
    auto textAt = [&b](quint32 address) { return QString::fromLatin1(b.constData() + (address - Base)); };
    EXPECT_EQ(textAt(u32At(b, 0x38 + 12)), "GO1");
    EXPECT_EQ(textAt(u32At(b, 0x38 + 16)), "IED1LD0/LLN0.DS1");
    EXPECT_EQ(textAt(u32At(b, 0x38 + 20)), "192.168.0.11");
    EXPECT_EQ(textAt(u32At(b, 0x54 + 8)), "INT32");
    EXPECT_EQ(textAt(u32At(b, 0x64 + 12)), "IED1LD0/GGIO1.AnIn2.mag.i");
    EXPECT_EQ(b.size(), 24 + 32 + 28 + 2 * 16 + (8 + 13 + 21) + (4 + 17 + 13) + 2 * (6 + 26));
}

TEST(RequestTables, EmptyListsAndEmptyStringsStillGetTheirAddresses)
{
    const Built built = build(accessFileXml({With(exampleVariable(), {{"IPAddress", ""}})},
        dataSet(exampleDataSet(), {}) + dataSet(exampleDataSet(), {exampleMember(1)})
            + dataSet(With(exampleDataSet(), {{"GooseName", ""}}), {})));
    ASSERT_TRUE(built.result.ok) << englishMessage(built.result).toStdString();
    const QByteArray& b = built.bank2;
    const qsizetype ds = 24 + 32, members = ds + 3 * 28, strings = members + 16;
    EXPECT_EQ(b[ds], 0); // nVariable of the first data set
    EXPECT_EQ(u32At(b, ds + 24), Base + members); // the place of the second's first attribute
    EXPECT_EQ(u32At(b, ds + 28 + 24), Base + members);
    EXPECT_EQ(u32At(b, ds + 56 + 24), Base + strings); // last and empty: the string area
    const quint32 host = u32At(b, 24 + 24); // the variable's empty hostname
    EXPECT_EQ(host, Base + strings + 8);
    EXPECT_EQ(b[host - Base], 0);
    EXPECT_EQ(u32At(b, 24 + 28), host + 1); // reference follows its single 0 byte
    const quint32 goose = u32At(b, ds + 56 + 12);
    EXPECT_EQ(b[goose - Base], 0);
    EXPECT_EQ(u32At(b, ds + 56 + 16), goose + 1);
}

TEST(RequestTables, MissingFileGivesTheHeaderAlone)
{
    Project p;
    DeviceImage image;
    ASSERT_TRUE(image.buildImages(p.paths(), u'.').ok);
    EXPECT_EQ(bytes(image.bank2()).toHex(), emptyRequestTablesHex);
}

TEST(RequestTables, WithoutDataSetListTheVariablesAreCompiled)
{
    const Built built = build("<IEC_68850_Client><List_DA_Selected>" + Element("DA_Item", exampleVariable())
        + "</List_DA_Selected></IEC_68850_Client>");
    ASSERT_TRUE(built.result.ok);
    EXPECT_EQ(built.bank2.size(), 98);
}

TEST(RequestTables, ValueSizeByBasicType)
{
    struct Case {
        const char* bType;
        Attrs changes;
        int startbyte, numbyte;
    };
    const Case cases[] = {
        {"FLOAT32", {{"StartByte", "3"}, {"NumByte", "9"}}, 0, 4}, // fixed size wins over the item
        {"Quality", {}, 0, 4},
        {"int32u", {}, 0, 4},
        {"FLOAT64", {}, 0, 8},
        {"Timestamp", {}, 0, 1},
        {"Enum", {}, 0, 1},
        {"BOOLEAN", {}, 0, 1},
        {"INT16", {}, 0, 2},
        {"VisString255", {{"StartByte", "3"}, {"NumByte", "20"}}, 3, 20},
        {"VisString255", {{"StartByte", nullptr}, {"NumByte", nullptr}}, 0, 1},
        {"Octet64", {{"StartByte", "x"}, {"NumByte", ""}}, 0, 1},
        {"Octet64", {{"StartByte", "300"}, {"NumByte", "0x1FF"}}, 44, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bType);
        Attrs changes = c.changes;
        changes.emplace_back("bType", QString::fromLatin1(c.bType));
        const VariableRecord v = onlyVariable(changes);
        EXPECT_EQ(v.startbyte, c.startbyte);
        EXPECT_EQ(v.numbyte, c.numbyte);
    }
}

TEST(RequestTables, VariableFieldsAndTheirFallbacks)
{
    struct Case {
        const char* label;
        Attrs changes;
        std::function<void(const VariableRecord&)> check;
    };
    const Case cases[] = {
        {"Port 0x66 like 102", {{"Port", "0x66"}}, [](const auto& v) { EXPECT_EQ(v.tcpPort, 102); }},
        {"Port not a number", {{"Port", "1O2"}}, [](const auto& v) { EXPECT_EQ(v.tcpPort, 0); }},
        {"Port low 16 bits", {{"Port", "65638"}}, [](const auto& v) { EXPECT_EQ(v.tcpPort, 102); }},
        {"empty ReadWrite writes", {{"ReadWrite", ""}}, [](const auto& v) { EXPECT_EQ(v.rw, 1); }},
        {"ReadWrite compared exactly", {{"ReadWrite", "read"}}, [](const auto& v) { EXPECT_EQ(v.rw, 1); }},
        {"absent ReadWrite writes", {{"ReadWrite", nullptr}}, [](const auto& v) { EXPECT_EQ(v.rw, 1); }},
        {"conversion", {{"Convertion", "ItoF/FtoI"}}, [](const auto& v) { EXPECT_EQ(v.conversion, 1); }},
        {"empty conversion", {{"Convertion", ""}}, [](const auto& v) { EXPECT_EQ(v.conversion, 0); }},
        {"empty Time", {{"Time", ""}}, [](const auto& v) { EXPECT_EQ(v.time, 1000u); }},
        {"negative Time keeps its bits", {{"Time", "-1"}}, [](const auto& v) { EXPECT_EQ(v.time, 0xFFFFFFFFu); }},
        {"empty StartBit and Position", {{"StartBit", ""}, {"Position", ""}},
            [](const auto& v) {
                EXPECT_EQ(v.bitAddress, 0);
                EXPECT_EQ(v.position, 0);
            }},
        {"Position low 16 bits", {{"Position", "70000"}}, [](const auto& v) { EXPECT_EQ(v.position, 70000 & 0xFFFF); }},
        {"StartBit low 8 bits", {{"StartBit", "-1"}}, [](const auto& v) { EXPECT_EQ(v.bitAddress, 255); }},
        {"triggers", {{"OnChange", "N"}, {"OnCMD", "Y"}, {"OnTimer", "y"}}, [](const auto& v) { EXPECT_EQ(v.options, 2); }},
        {"absent triggers", {{"OnChange", nullptr}, {"OnCMD", nullptr}, {"OnTimer", nullptr}},
            [](const auto& v) { EXPECT_EQ(v.options, 0); }},
        {"fc of one character", {{"fc", "M"}},
            [](const auto& v) {
                EXPECT_EQ(v.fc, (std::array<quint8, 2>{'M', 0}));
            }},
        {"fc of three characters", {{"fc", "MXY"}},
            [](const auto& v) {
                EXPECT_EQ(v.fc, (std::array<quint8, 2>{'M', 'X'}));
            }},
        {"U+20AC as its low byte", {{"fc", QStringLiteral("\u20ACX")}},
            [](const auto& v) {
                EXPECT_EQ(v.fc, (std::array<quint8, 2>{0xAC, 'X'}));
            }},
        {"absent StartByte and NumByte of a fixed type", {{"StartByte", nullptr}, {"NumByte", nullptr}},
            [](const auto& v) { EXPECT_EQ(v.numbyte, 4); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        c.check(onlyVariable(c.changes));
    }
}

TEST(RequestTables, StringsAreTheLowBytesOfEachCodeUnit)
{
    const Built built = build(accessFileXml({With(exampleVariable(), {{"Reference", QStringLiteral("LD0/\u20AC\u00E9")}})}));
    ASSERT_TRUE(built.result.ok);
    EXPECT_EQ(built.bank2.right(7).toHex(), QByteArray("4c44302face900"));
}

TEST(RequestTables, MultiplicationFactorAcceptsEitherSeparatorUnderEitherSetting)
{
    struct Case {
        const char* text;
        float expected;
    };
    // The text is rounded to single precision before its range is judged: the largest float as
    // usually printed is that float, what rounds beyond it falls back to 1.0.
    const Case cases[] = {{"0,5", 0.5f}, {"0.5", 0.5f}, {"-2.25", -2.25f}, {"None", 1.0f}, {"", 1.0f}, {"1.000,5", 1.0f},
        {"abc", 1.0f}, {"3.4028235e38", std::numeric_limits<float>::max()}, {"-3.4028235e38", -std::numeric_limits<float>::max()},
        {"3.5e38", 1.0f}, {"1e39", 1.0f}};
    for (const QChar separator : {QChar(u','), QChar(u'.')})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.text) + " with separator " + char(separator.toLatin1()));
            Attrs member = exampleMember(1);
            member = With(member, {{"MoltFact", QString::fromLatin1(c.text)}});
            const Built built = build(accessFileXml({With(exampleVariable(), {{"MoltFact", QString::fromLatin1(c.text)}})},
                                          dataSet(exampleDataSet(), {member})),
                separator);
            ASSERT_TRUE(built.result.ok);
            EXPECT_EQ(factorAt(built.bank2, 24 + 16), c.expected);
            EXPECT_EQ(factorAt(built.bank2, 24 + 32 + 28 + 4), c.expected);
        }
}

TEST(RequestTables, LargestFloatAsPrintedReachesTheImageExactly)
{
    const Built built = build(accessFileXml({With(exampleVariable(), {{"MoltFact", "3.4028235e38"}})}));
    ASSERT_TRUE(built.result.ok);
    EXPECT_EQ(u32At(built.bank2, 24 + 16), 0x7F7FFFFFu);
}

TEST(RequestTables, ServerAddressesAreBuiltWithoutBlanks)
{
    const Built built = build(accessFileXml({With(exampleVariable(), {{"IPAddress", " 10.0.0.3 "}})},
        dataSet(With(exampleDataSet(), {{"IPAddress", "10. 0 .0.4\t"}}), {exampleMember(1)})));
    ASSERT_TRUE(built.result.ok);
    EXPECT_EQ(built.Tables.variableList.at(0).hostname, "10.0.0.3");
    EXPECT_EQ(built.Tables.dataSetList.at(0).hostname, "10.0.0.4");
    EXPECT_TRUE(built.bank2.contains(QByteArray("\0"
                                                "10.0.0.3\0",
        10)));
}

TEST(RequestTables, DataSetFieldsAndTheirFallbacks)
{
    const Built built = build(accessFileXml({},
        dataSet(With(exampleDataSet(), {{"Port", "x"}, {"Time", ""}, {"EnGoose", "N"}}), {})
            + dataSet(With(exampleDataSet(), {{"EnGoose", nullptr}, {"Port", "0x66"}}), {})));
    ASSERT_TRUE(built.result.ok);
    EXPECT_EQ(built.bank2.mid(24, 12).toHex(),
        QByteArray("00040000"
                   "00000000"
                   "e8030000"));
    EXPECT_EQ(built.bank2.mid(24 + 28, 12).toHex(),
        QByteArray("00046600"
                   "00000000"
                   "d0070000"));
}

TEST(RequestTables, MalformedFilesStopTheBuildNamingFileAndItem)
{
    struct Case {
        const char* label;
        QByteArray xml;
        QString message; // after "<file>: "
    };
    auto without = [](const char* attr) { return With(exampleVariable(), {{attr, nullptr}}); };
    std::vector<Case> cases = {
        {"no root", "<Other/>", "no IEC_68850_Client element"},
        {"another element name",
            "<IEC_68850_Client><List_DA_Selected>" + Element("DA_Item", exampleVariable()) + "<!-- x -->"
                + Element("DataSet_DA_Item", exampleMember(1)) + "</List_DA_Selected></IEC_68850_Client>",
            "item 2 of List_DA_Selected is a DataSet_DA_Item element, not DA_Item"},
    };
    for (const char* attr : {"bType", "fc", "Reference", "IPAddress", "Port", "Time", "Position", "StartBit", "MoltFact"})
        cases.push_back({attr, accessFileXml({exampleVariable(), exampleVariable(), without(attr)}),
            QStringLiteral("item 3 of List_DA_Selected has no %1 attribute").arg(QLatin1String(attr))});
    for (const char* attr : {"GooseName", "Reference", "IPAddress", "Port", "Time"})
        cases.push_back({attr,
            accessFileXml(
                {}, dataSet(exampleDataSet(), {}) + dataSet(With(exampleDataSet(), {{attr, nullptr}}), {exampleMember(1)})),
            QStringLiteral("item 2 of List_DataSet_Selected has no %1 attribute").arg(QLatin1String(attr))});
    for (const char* attr : {"bType", "Reference", "Position", "StartBit", "MoltFact"})
        cases.push_back(
            {attr, accessFileXml({}, dataSet(exampleDataSet(), {exampleMember(1), With(exampleMember(2), {{attr, nullptr}})})),
                QStringLiteral("item 2 of DataSet_List_DAs of item 1 of List_DataSet_Selected has no %1 attribute")
                    .arg(QLatin1String(attr))});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Project p;
        p.writeAccess(c.xml);
        DeviceImage image;
        const Result r = image.buildImages(p.paths(), u'.');
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(englishMessage(r), QDir::toNativeSeparators(p.paths().accessFile()) + ": " + c.message);
        EXPECT_TRUE(image.bank1().empty() && image.bank2().empty());
    }
    const Built broken = build("<IEC_68850_Client>\n<List_DA_Selected>\n</IEC_68850_Client>");
    EXPECT_FALSE(broken.result.ok);
    EXPECT_TRUE(englishMessage(broken.result).contains("IEC_61850_Client.xml: line 3: "))
        << englishMessage(broken.result).toStdString();
}

TEST(RequestTables, DataSetHoldsAtMost255Attributes)
{
    for (const int count : {255, 256}) {
        std::vector<Attrs> members;
        for (int i = 0; i < count; ++i)
            members.push_back(exampleMember(i));
        const Built built = build(accessFileXml({}, dataSet(exampleDataSet(), {}) + dataSet(exampleDataSet(), members)));
        if (count == 255) {
            ASSERT_TRUE(built.result.ok);
            EXPECT_EQ(static_cast<quint8>(built.bank2[24 + 28]), 255);
            EXPECT_EQ(u32At(built.bank2, 24 + 28 + 24), Base + 24 + 2 * 28);
            EXPECT_EQ(u32At(built.bank2, 24 + 24), Base + 24 + 2 * 28); // the first is empty
        } else {
            EXPECT_FALSE(built.result.ok);
            EXPECT_TRUE(
                englishMessage(built.result)
                    .endsWith(": item 2 of List_DataSet_Selected has 256 attributes, more than the 255 a data set can hold"))
                << englishMessage(built.result).toStdString();
        }
    }
}

TEST(RequestTables, TablesFillingTheDeviceAreaExactlyAreBuiltOneByteMoreIsRefused)
{
    // 24 header + 32 record + "FLOAT32" + "192.168.0.10" + the reference, each with its 0 byte.
    const qsizetype room = 0x80000, fixed = 24 + 32 + 8 + 13 + 1;
    for (const qsizetype extra : {0, 1}) {
        const QString reference(room - fixed + extra, u'R');
        const Built built = build(accessFileXml({With(exampleVariable(), {{"Reference", reference}})}));
        if (extra == 0) {
            ASSERT_TRUE(built.result.ok) << englishMessage(built.result).toStdString();
            EXPECT_EQ(built.bank2.size(), room);
            EXPECT_EQ(built.bank2.back(), 0);
        } else {
            EXPECT_FALSE(built.result.ok);
            EXPECT_EQ(englishMessage(built.result),
                "The request tables need 524289 bytes, more than the 524288 bytes the device holds for them. "
                "Remove variables or data sets and update again.");
            EXPECT_TRUE(built.bank2.isEmpty());
        }
    }
}

TEST(RequestTables, WriterNeverPassesItsLimitOrItsBuffer)
{
    Project p;
    p.writeAccess(accessFileXml({exampleVariable()}));
    RequestTables tables;
    ASSERT_TRUE(loadRequestTables(tables, p.paths().accessFile(), Base, u'.').ok);
    ASSERT_EQ(tables.length, 98);
    struct Case {
        qsizetype buffer, start, highest;
        bool fits;
    };
    const Case cases[] = {
        {200, 10, 107, true}, {200, 10, 106, false}, {100, 10, 0x7FFFF, false}, {108, 10, 0x7FFFF, true}, {200, -1, 150, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.buffer) + " " + std::to_string(c.start) + " " + std::to_string(c.highest));
        std::vector<quint8> buffer(static_cast<size_t>(c.buffer), 0xEE);
        qsizetype end = -1;
        const Result r = writeRequestTables(tables, buffer, c.start, c.highest, end);
        EXPECT_EQ(r.ok, c.fits);
        if (c.fits) {
            EXPECT_EQ(end, c.start + 98);
            EXPECT_EQ(buffer[static_cast<size_t>(end - 1)], 0);
            if (end < c.buffer) {
                EXPECT_EQ(buffer[static_cast<size_t>(end)], 0xEE);
            }
        } else {
            EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](quint8 b) { return b == 0xEE; })) << c.highest;
        }
    }
}
