#include "image/core/ImageInspect.h"
#include "support/ImageTestSupport.h"
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Image;
using namespace ImageTest;

namespace {

Inspection Inspect(const QByteArray& bytes)
{
    return inspectImage({reinterpret_cast<const quint8*>(bytes.constData()), static_cast<size_t>(bytes.size())});
}

// Whether the report holds the line, whatever the padding between name and value.
bool hasLine(const QString& text, const char* line)
{
    static const QRegularExpression blanks(QStringLiteral(" +"));
    return QString(text).replace(blanks, QStringLiteral(" ")).contains(QLatin1String(line));
}

struct Images {
    QByteArray bank1, bank2;
};
Images builtExample()
{
    Project p;
    CommunicationSettings parGen = defaultCommunicationSettings();
    parGen["IEC61850_Client_VLAN"] = QStringLiteral("9");
    p.writeParGenFile(parGen);
    p.writeAccess(accessFileXml({exampleVariable()}, dataSet(exampleDataSet(), {exampleMember(1)})));
    DeviceImage image;
    EXPECT_TRUE(image.buildImages(p.paths(), u'.').ok);
    return {bytes(image.bank1()), bytes(image.bank2())};
}

} // namespace

TEST(ImageInspect, ParameterBlockByNameWithItsChecksum)
{
    const QByteArray bank1 = builtExample().bank1;
    const Inspection good = Inspect(bank1);
    EXPECT_EQ(good.problems, 0) << good.text.toStdString();
    for (const char* line :
        {"0x036 EtherNetIP_Port = 44818", "0x028 EtherNetIP_IP = 192.168.0.5", "0x030 EtherNetIP_GAT = 255.255.255.255",
            "0x5EC Request_Tables_Add = 0x00080000", "0x7FC Checksum = 6175", "checksum correct", "reserved bytes all 0"})
        EXPECT_TRUE(hasLine(good.text, line)) << line << "\n" << good.text.toStdString();

    struct Case {
        const char* label;
        qsizetype offset;
        const char* problem;
    };
    const Case cases[] = {
        {"changed address byte", 0x028, "wrong checksum: the first 2044 bytes add up to"},
        {"changed reserved byte", 0x100, "reserved byte 0x100 is"},
        {"changed fixed word", 0x00C, "Fixed_00C is fixed"},
        {"changed checksum", 0x7FC, "wrong checksum"},
    };
    for (const Case& c : cases) {
        QByteArray broken = bank1;
        broken[c.offset] = static_cast<char>(broken[c.offset] + 1);
        const Inspection bad = Inspect(broken);
        EXPECT_GT(bad.problems, 0) << c.label;
        EXPECT_TRUE(bad.text.contains(QLatin1String(c.problem))) << c.label << "\n" << bad.text.toStdString();
    }
}

TEST(ImageInspect, RequestTablesWithAddressesResolvedToTheirStrings)
{
    const QByteArray bank2 = builtExample().bank2;
    const Inspection good = Inspect(bank2);
    EXPECT_EQ(good.problems, 0) << good.text.toStdString();
    for (const char* line :
        {"vLan = 9", "DataSet_Add = 0x00080038", "options = 5 (on change, on timer)", "moltFactor = 0.5 (0x3F000000)",
            "reference_Add = 0x00080079 -> \"LD0/MMXU1.TotW.mag.f\"", "goose_name_Add = 0x0008008E -> \"GO1\"",
            "Data set 1, attribute 1 at offset 84 (0x00080054)", "reference_Add = 0x000800B6 -> \"IED1LD0/GGIO1.AnIn1.mag.i\""})
        EXPECT_TRUE(hasLine(good.text, line)) << line << "\n" << good.text.toStdString();

    QByteArray outside = bank2;
    outside.replace(24 + 28, 4, Le32(0x90000));
    EXPECT_TRUE(Inspect(outside).text.contains("reference_Add does not point at a terminated string inside the file"));
    const Inspection truncated = Inspect(bank2.left(70));
    EXPECT_GT(truncated.problems, 0);
    EXPECT_TRUE(truncated.text.contains("the record lies outside the file")) << truncated.text.toStdString();
    const Inspection longer = Inspect(bank2 + "xx");
    EXPECT_TRUE(longer.text.contains(
        QStringLiteral("the tables end at offset %1 but the file has %2 bytes").arg(bank2.size()).arg(bank2.size() + 2)));
}

TEST(ImageInspect, OtherFilesAreNeither)
{
    EXPECT_EQ(Inspect("<Par_Gen/>").problems, 1);
    EXPECT_TRUE(Inspect(QByteArray(100, 0)).text.startsWith("Neither a parameter block"));
}
