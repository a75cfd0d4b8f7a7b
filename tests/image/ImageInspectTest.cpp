#include "ImageInspect.h"
#include "ImageTestSupport.h"
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Image;
using namespace Image_Test;

namespace {

TInspection Inspect(const QByteArray& bytes) { return Inspect_Image({reinterpret_cast<const quint8*>(bytes.constData()), static_cast<size_t>(bytes.size())}); }

// Whether the report holds the line, whatever the padding between name and value.
bool Has_Line(const QString& text, const char* line)
{
    static const QRegularExpression blanks(QStringLiteral(" +"));
    return QString(text).replace(blanks, QStringLiteral(" ")).contains(QLatin1String(line));
}

struct TImages {
    QByteArray Bank1, Bank2;
};
TImages Built_Example()
{
    TProject p;
    TParGen parGen = Default_ParGen();
    parGen["IEC61850_Client_VLAN"] = QStringLiteral("9");
    p.Write_ParGen(parGen);
    p.Write_Access(Access_File({Example_Variable()}, Data_Set(Example_DataSet(), {Example_Member(1)})));
    TDevice_Image image;
    EXPECT_TRUE(image.Create_Bin(p.State, u'.').Ok);
    return {Bytes(image.Bank1()), Bytes(image.Bank2())};
}

} // namespace

TEST(ImageInspect, ParameterBlockByNameWithItsChecksum)
{
    const QByteArray bank1 = Built_Example().Bank1;
    const TInspection good = Inspect(bank1);
    EXPECT_EQ(good.Problems, 0) << good.Text.toStdString();
    for (const char* line : {"0x036 EtherNetIP_Port = 44818", "0x028 EtherNetIP_IP = 192.168.0.5", "0x030 EtherNetIP_GAT = 255.255.255.255",
             "0x5EC Request_Tables_Add = 0x00080000", "0x7FC Checksum = 6175", "checksum correct", "reserved bytes all 0"})
        EXPECT_TRUE(Has_Line(good.Text, line)) << line << "\n" << good.Text.toStdString();

    struct TCase {
        const char* label;
        qsizetype offset;
        const char* problem;
    };
    const TCase cases[] = {
        {"changed address byte", 0x028, "wrong checksum: the first 2044 bytes add up to"},
        {"changed reserved byte", 0x100, "reserved byte 0x100 is"},
        {"changed fixed word", 0x00C, "Fixed_00C is fixed"},
        {"changed checksum", 0x7FC, "wrong checksum"},
    };
    for (const TCase& c : cases) {
        QByteArray broken = bank1;
        broken[c.offset] = static_cast<char>(broken[c.offset] + 1);
        const TInspection bad = Inspect(broken);
        EXPECT_GT(bad.Problems, 0) << c.label;
        EXPECT_TRUE(bad.Text.contains(QLatin1String(c.problem))) << c.label << "\n" << bad.Text.toStdString();
    }
}

TEST(ImageInspect, RequestTablesWithAddressesResolvedToTheirStrings)
{
    const QByteArray bank2 = Built_Example().Bank2;
    const TInspection good = Inspect(bank2);
    EXPECT_EQ(good.Problems, 0) << good.Text.toStdString();
    for (const char* line : {"vLan = 9", "DataSet_Add = 0x00080038", "options = 5 (on change, on timer)",
             "moltFactor = 0.5 (0x3F000000)", "reference_Add = 0x00080079 -> \"LD0/MMXU1.TotW.mag.f\"",
             "goose_name_Add = 0x0008008E -> \"GO1\"", "Data set 1, attribute 1 at offset 84 (0x00080054)",
             "reference_Add = 0x000800B6 -> \"IED1LD0/GGIO1.AnIn1.mag.i\""})
        EXPECT_TRUE(Has_Line(good.Text, line)) << line << "\n" << good.Text.toStdString();

    QByteArray outside = bank2;
    outside.replace(24 + 28, 4, Le32(0x90000));
    EXPECT_TRUE(Inspect(outside).Text.contains("reference_Add does not point at a terminated string inside the file"));
    const TInspection truncated = Inspect(bank2.left(70));
    EXPECT_GT(truncated.Problems, 0);
    EXPECT_TRUE(truncated.Text.contains("the record lies outside the file")) << truncated.Text.toStdString();
    const TInspection longer = Inspect(bank2 + "xx");
    EXPECT_TRUE(longer.Text.contains(QStringLiteral("the tables end at offset %1 but the file has %2 bytes").arg(bank2.size()).arg(bank2.size() + 2)));
}

TEST(ImageInspect, OtherFilesAreNeither)
{
    EXPECT_EQ(Inspect("<Par_Gen/>").Problems, 1);
    EXPECT_TRUE(Inspect(QByteArray(100, 0)).Text.startsWith("Neither a parameter block"));
}
