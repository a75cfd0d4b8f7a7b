#include "ImageTestSupport.h"
#include "LittleEndian.h"
#include <gtest/gtest.h>

using namespace Image;
using namespace Image_Test;

namespace {

constexpr quint32 Base = 0x80000;

struct TBuilt {
    TResult Result;
    QByteArray Bank2;
    TIEC61850_Client Tables;
};

TBuilt Build(const QByteArray& access, QChar separator = u'.', const TParGen* parGen = nullptr)
{
    TProject p;
    p.Write_Access(access);
    if (parGen)
        p.Write_ParGen(*parGen);
    TDevice_Image image;
    TBuilt built;
    built.Result = image.Create_Bin(p.State, separator);
    built.Bank2 = Bytes(image.Bank2());
    built.Tables = image.IEC61850_Client;
    return built;
}

// The variable record of a one-variable file, decoded field by field.
TIEC61850_Variable Only_Variable(const TAttrs& changes, QChar separator = u'.')
{
    const TBuilt built = Build(Access_File({With(Example_Variable(), changes)}), separator);
    EXPECT_TRUE(built.Result.Ok) << built.Result.Message.toStdString();
    EXPECT_EQ(built.Tables.VariableList.size(), 1u);
    return built.Tables.VariableList.empty() ? TIEC61850_Variable{} : built.Tables.VariableList[0];
}

float Factor_At(const QByteArray& b, qsizetype offset) { return std::bit_cast<float>(U32_At(b, offset)); }

} // namespace

TEST(RequestTables, OneVariableGivesThe98BytesOfTheExample)
{
    TParGen parGen = Default_ParGen();
    parGen["IEC61850_Client_VLAN"] = QStringLiteral("7");
    parGen["IEC61850_Client_Application_ID"] = QStringLiteral("0x3001");
    const TBuilt built = Build(Access_File({Example_Variable()}), u',', &parGen);
    ASSERT_TRUE(built.Result.Ok) << built.Result.Message.toStdString();
    const QByteArray expected = QByteArray::fromHex(
        "01000000" "00000000" "07000000" "01300000" "18000800" "38000800"   // header
        "4D58" "00" "00" "05" "00" "00" "04" "0A00" "6600" "F4010000" "0000803F" "38000800" "40000800" "4D000800")
        + QByteArray("FLOAT32\0" "192.168.0.10\0" "LD0/MMXU1.TotW.mag.f\0", 8 + 13 + 21);
    ASSERT_EQ(expected.size(), 98);
    EXPECT_EQ(built.Bank2.toHex(' '), expected.toHex(' '));
}

TEST(RequestTables, AddressesOfOneVariableAndOneDataSetWithTwoAttributes)
{
    const TBuilt built = Build(Access_File({Example_Variable()}, Data_Set(Example_DataSet(), {Example_Member(1), Example_Member(2)})));
    ASSERT_TRUE(built.Result.Ok) << built.Result.Message.toStdString();
    const QByteArray& b = built.Bank2;
    EXPECT_EQ(U32_At(b, 20), Base + 0x38);              // DataSet_Add
    EXPECT_EQ(U32_At(b, 0x38 + 24), Base + 0x54);       // VariableList_Add of the data set
    EXPECT_EQ(U32_At(b, 24 + 20), Base + 0x74);         // the first string: bType of the variable
    // Data-set record and its two attribute records.
    EXPECT_EQ(b.mid(0x38, 12).toHex(), QByteArray("0204660001000000d0070000"));
    EXPECT_EQ(b.mid(0x54, 8).toHex(), QByteArray("680000010000003f")); // position 104, bit 0, conversion 1, factor 0.5
    EXPECT_EQ(b.mid(0x64, 2).toHex(), QByteArray("6c00")); // the second attribute, position 108
    // Every address is the base plus the offset of what it names.
    auto text_at = [&b](quint32 address) { return QString::fromLatin1(b.constData() + (address - Base)); };
    EXPECT_EQ(text_at(U32_At(b, 0x38 + 12)), "GO1");
    EXPECT_EQ(text_at(U32_At(b, 0x38 + 16)), "IED1LD0/LLN0.DS1");
    EXPECT_EQ(text_at(U32_At(b, 0x38 + 20)), "192.168.0.11");
    EXPECT_EQ(text_at(U32_At(b, 0x54 + 8)), "INT32");
    EXPECT_EQ(text_at(U32_At(b, 0x64 + 12)), "IED1LD0/GGIO1.AnIn2.mag.i");
    EXPECT_EQ(b.size(), 24 + 32 + 28 + 2 * 16 + (8 + 13 + 21) + (4 + 17 + 13) + 2 * (6 + 26));
}

TEST(RequestTables, EmptyListsAndEmptyStringsStillGetTheirAddresses)
{
    const TBuilt built = Build(Access_File({With(Example_Variable(), {{"IPAddress", ""}})},
        Data_Set(Example_DataSet(), {}) + Data_Set(Example_DataSet(), {Example_Member(1)}) + Data_Set(With(Example_DataSet(), {{"GooseName", ""}}), {})));
    ASSERT_TRUE(built.Result.Ok) << built.Result.Message.toStdString();
    const QByteArray& b = built.Bank2;
    const qsizetype ds = 24 + 32, members = ds + 3 * 28, strings = members + 16;
    EXPECT_EQ(b[ds], 0);                                                       // nVariable of the first data set
    EXPECT_EQ(U32_At(b, ds + 24), Base + members);                             // the place of the second's first attribute
    EXPECT_EQ(U32_At(b, ds + 28 + 24), Base + members);
    EXPECT_EQ(U32_At(b, ds + 56 + 24), Base + strings);                        // last and empty: the string area
    const quint32 host = U32_At(b, 24 + 24);                                   // the variable's empty hostname
    EXPECT_EQ(host, Base + strings + 8);
    EXPECT_EQ(b[host - Base], 0);
    EXPECT_EQ(U32_At(b, 24 + 28), host + 1);                                   // reference follows its single 0 byte
    const quint32 goose = U32_At(b, ds + 56 + 12);
    EXPECT_EQ(b[goose - Base], 0);
    EXPECT_EQ(U32_At(b, ds + 56 + 16), goose + 1);
}

TEST(RequestTables, MissingFileGivesTheHeaderAlone)
{
    TProject p;
    TDevice_Image image;
    ASSERT_TRUE(image.Create_Bin(p.State, u'.').Ok);
    EXPECT_EQ(Bytes(image.Bank2()).toHex(), QByteArray("00000000" "00000000" "00000000" "00000000" "18000800" "18000800"));
}

TEST(RequestTables, WithoutDataSetListTheVariablesAreCompiled)
{
    const TBuilt built = Build("<IEC_68850_Client><List_DA_Selected>" + Element("DA_Item", Example_Variable()) + "</List_DA_Selected></IEC_68850_Client>");
    ASSERT_TRUE(built.Result.Ok);
    EXPECT_EQ(built.Bank2.size(), 98);
}

TEST(RequestTables, ValueSizeByBasicType)
{
    struct TCase {
        const char* bType;
        TAttrs changes;
        int startbyte, numbyte;
    };
    const TCase cases[] = {
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
    for (const TCase& c : cases) {
        TAttrs changes = c.changes;
        changes.emplace_back("bType", QString::fromLatin1(c.bType));
        const TIEC61850_Variable v = Only_Variable(changes);
        EXPECT_EQ(v.startbyte, c.startbyte) << c.bType;
        EXPECT_EQ(v.numbyte, c.numbyte) << c.bType;
    }
}

TEST(RequestTables, VariableFieldsAndTheirFallbacks)
{
    struct TCase {
        const char* label;
        TAttrs changes;
        std::function<void(const TIEC61850_Variable&)> check;
    };
    const TCase cases[] = {
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
        {"empty StartBit and Position", {{"StartBit", ""}, {"Position", ""}}, [](const auto& v) {
             EXPECT_EQ(v.bit_address, 0);
             EXPECT_EQ(v.position, 0);
         }},
        {"Position low 16 bits", {{"Position", "70000"}}, [](const auto& v) { EXPECT_EQ(v.position, 70000 & 0xFFFF); }},
        {"StartBit low 8 bits", {{"StartBit", "-1"}}, [](const auto& v) { EXPECT_EQ(v.bit_address, 255); }},
        {"triggers", {{"OnChange", "N"}, {"OnCMD", "Y"}, {"OnTimer", "y"}}, [](const auto& v) { EXPECT_EQ(v.options, 2); }},
        {"absent triggers", {{"OnChange", nullptr}, {"OnCMD", nullptr}, {"OnTimer", nullptr}}, [](const auto& v) { EXPECT_EQ(v.options, 0); }},
        {"fc of one character", {{"fc", "M"}}, [](const auto& v) { EXPECT_EQ(v.fc, (std::array<quint8, 2>{'M', 0})); }},
        {"fc of three characters", {{"fc", "MXY"}}, [](const auto& v) { EXPECT_EQ(v.fc, (std::array<quint8, 2>{'M', 'X'})); }},
        {"U+20AC as its low byte", {{"fc", QStringLiteral("\u20ACX")}}, [](const auto& v) { EXPECT_EQ(v.fc, (std::array<quint8, 2>{0xAC, 'X'})); }},
        {"absent StartByte and NumByte of a fixed type", {{"StartByte", nullptr}, {"NumByte", nullptr}}, [](const auto& v) { EXPECT_EQ(v.numbyte, 4); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.label);
        c.check(Only_Variable(c.changes));
    }
}

TEST(RequestTables, StringsAreTheLowBytesOfEachCodeUnit)
{
    const TBuilt built = Build(Access_File({With(Example_Variable(), {{"Reference", QStringLiteral("LD0/\u20AC\u00E9")}})}));
    ASSERT_TRUE(built.Result.Ok);
    EXPECT_EQ(built.Bank2.right(7).toHex(), QByteArray("4c44302face900"));
}

TEST(RequestTables, MultiplicationFactorAcceptsEitherSeparatorUnderEitherSetting)
{
    struct TCase {
        const char* text;
        float expected;
    };
    const TCase cases[] = {{"0,5", 0.5f}, {"0.5", 0.5f}, {"-2.25", -2.25f}, {"None", 1.0f}, {"", 1.0f}, {"1.000,5", 1.0f}, {"abc", 1.0f}};
    for (const QChar separator : {QChar(u','), QChar(u'.')})
        for (const TCase& c : cases) {
            TAttrs member = Example_Member(1);
            member = With(member, {{"MoltFact", QString::fromLatin1(c.text)}});
            const TBuilt built = Build(Access_File({With(Example_Variable(), {{"MoltFact", QString::fromLatin1(c.text)}})},
                                           Data_Set(Example_DataSet(), {member})),
                separator);
            ASSERT_TRUE(built.Result.Ok);
            EXPECT_EQ(Factor_At(built.Bank2, 24 + 16), c.expected) << c.text << " with " << separator.toLatin1();
            EXPECT_EQ(Factor_At(built.Bank2, 24 + 32 + 28 + 4), c.expected) << c.text << " with " << separator.toLatin1();
        }
}

TEST(RequestTables, DataSetFieldsAndTheirFallbacks)
{
    const TBuilt built = Build(Access_File({}, Data_Set(With(Example_DataSet(), {{"Port", "x"}, {"Time", ""}, {"EnGoose", "N"}}), {})
                                                    + Data_Set(With(Example_DataSet(), {{"EnGoose", nullptr}, {"Port", "0x66"}}), {})));
    ASSERT_TRUE(built.Result.Ok);
    EXPECT_EQ(built.Bank2.mid(24, 12).toHex(), QByteArray("00040000" "00000000" "e8030000"));
    EXPECT_EQ(built.Bank2.mid(24 + 28, 12).toHex(), QByteArray("00046600" "00000000" "d0070000"));
}

TEST(RequestTables, MalformedFilesStopTheBuildNamingFileAndItem)
{
    struct TCase {
        const char* label;
        QByteArray xml;
        QString message; // after "<file>: "
    };
    auto without = [](const char* attr) { return With(Example_Variable(), {{attr, nullptr}}); };
    std::vector<TCase> cases = {
        {"no root", "<Other/>", "no IEC_68850_Client element"},
        {"no variable list", "<IEC_68850_Client><List_DataSet_Selected/></IEC_68850_Client>", "IEC_68850_Client has no List_DA_Selected element"},
        {"data set without its list", Access_File({}, Element("DataSet_Item", Example_DataSet())),
            "item 1 of List_DataSet_Selected has no DataSet_List_DAs element"},
        {"not an element", "<IEC_68850_Client><List_DA_Selected>" + Element("DA_Item", Example_Variable()) + "<!-- x --></List_DA_Selected></IEC_68850_Client>",
            "item 2 of List_DA_Selected is not an element"},
    };
    for (const char* attr : {"bType", "fc", "Reference", "IPAddress", "Port", "Time", "Position", "StartBit", "MoltFact"})
        cases.push_back({attr, Access_File({Example_Variable(), Example_Variable(), without(attr)}),
            QStringLiteral("item 3 of List_DA_Selected has no %1 attribute").arg(QLatin1String(attr))});
    for (const char* attr : {"GooseName", "Reference", "IPAddress", "Port", "Time"})
        cases.push_back({attr, Access_File({}, Data_Set(Example_DataSet(), {}) + Data_Set(With(Example_DataSet(), {{attr, nullptr}}), {Example_Member(1)})),
            QStringLiteral("item 2 of List_DataSet_Selected has no %1 attribute").arg(QLatin1String(attr))});
    for (const char* attr : {"bType", "Reference", "Position", "StartBit", "MoltFact"})
        cases.push_back({attr, Access_File({}, Data_Set(Example_DataSet(), {Example_Member(1), With(Example_Member(2), {{attr, nullptr}})})),
            QStringLiteral("item 2 of DataSet_List_DAs of item 1 of List_DataSet_Selected has no %1 attribute").arg(QLatin1String(attr))});
    for (const TCase& c : cases) {
        TProject p;
        p.Write_Access(c.xml);
        TDevice_Image image;
        const TResult r = image.Create_Bin(p.State, u'.');
        EXPECT_FALSE(r.Ok) << c.label;
        EXPECT_EQ(r.Message, QDir::toNativeSeparators(p.State.IEC_Client_File) + ": " + c.message) << c.label;
        EXPECT_TRUE(image.Bank1().empty() && image.Bank2().empty()) << c.label;
    }
    const TBuilt broken = Build("<IEC_68850_Client>\n<List_DA_Selected>\n</IEC_68850_Client>");
    EXPECT_FALSE(broken.Result.Ok);
    EXPECT_TRUE(broken.Result.Message.contains("IEC_61850_Client.xml: line 3: ")) << broken.Result.Message.toStdString();
}

TEST(RequestTables, DataSetHoldsAtMost255Attributes)
{
    for (const int count : {255, 256}) {
        std::vector<TAttrs> members;
        for (int i = 0; i < count; ++i)
            members.push_back(Example_Member(i));
        const TBuilt built = Build(Access_File({}, Data_Set(Example_DataSet(), {}) + Data_Set(Example_DataSet(), members)));
        if (count == 255) {
            ASSERT_TRUE(built.Result.Ok);
            EXPECT_EQ(static_cast<quint8>(built.Bank2[24 + 28]), 255);
            EXPECT_EQ(U32_At(built.Bank2, 24 + 28 + 24), Base + 24 + 2 * 28);
            EXPECT_EQ(U32_At(built.Bank2, 24 + 24), Base + 24 + 2 * 28); // the first is empty
        } else {
            EXPECT_FALSE(built.Result.Ok);
            EXPECT_TRUE(built.Result.Message.endsWith(": item 2 of List_DataSet_Selected has 256 attributes, more than the 255 a data set can hold"))
                << built.Result.Message.toStdString();
        }
    }
}

TEST(RequestTables, TablesFillingTheDeviceAreaExactlyAreBuiltOneByteMoreIsRefused)
{
    // 24 header + 32 record + "FLOAT32" + "192.168.0.10" + the reference, each with its 0 byte.
    const qsizetype room = 0x80000, fixed = 24 + 32 + 8 + 13 + 1;
    for (const qsizetype extra : {0, 1}) {
        const QString reference(room - fixed + extra, u'R');
        const TBuilt built = Build(Access_File({With(Example_Variable(), {{"Reference", reference}})}));
        if (extra == 0) {
            ASSERT_TRUE(built.Result.Ok) << built.Result.Message.toStdString();
            EXPECT_EQ(built.Bank2.size(), room);
            EXPECT_EQ(built.Bank2.back(), 0);
        } else {
            EXPECT_FALSE(built.Result.Ok);
            EXPECT_EQ(built.Result.Message, "The request tables need 524289 bytes, more than the 524288 bytes the device holds for them. "
                                            "Remove variables or data sets and update again.");
            EXPECT_TRUE(built.Bank2.isEmpty());
        }
    }
}

TEST(RequestTables, WriterNeverPassesItsLimitOrItsBuffer)
{
    TProject p;
    p.Write_Access(Access_File({Example_Variable()}));
    TIEC61850_Client tables;
    ASSERT_TRUE(Load_IEC61850_Client(tables, p.State.IEC_Client_File, Base, u'.').Ok);
    ASSERT_EQ(tables.Length, 98);
    struct TCase {
        qsizetype buffer, start, highest;
        bool fits;
    };
    const TCase cases[] = {{200, 10, 107, true}, {200, 10, 106, false}, {100, 10, 0x7FFFF, false}, {108, 10, 0x7FFFF, true}, {200, -1, 150, false}};
    for (const TCase& c : cases) {
        std::vector<quint8> buffer(static_cast<size_t>(c.buffer), 0xEE);
        qsizetype end = -1;
        const TResult r = Write_IEC61850_Client(tables, buffer, c.start, c.highest, end);
        EXPECT_EQ(r.Ok, c.fits) << c.buffer << " " << c.start << " " << c.highest;
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
