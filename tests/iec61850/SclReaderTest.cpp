#include "SCL_Dump.h"
#include "SCL_Reader.h"
#include "TestSupport.h"
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The model as lines, one per object in model order: a data object is named by its path
// from the logical node, an attribute by its reference, a data set by its reference with
// its GOOSE name and members.
void Flatten_DA(const TIEC_DA& da, QStringList& lines)
{
    lines << QStringLiteral("DA %1 fc=%2 bType=%3").arg(da.Reference, da.FC, da.bType);
    for (const auto& c : da.List_DA)
        Flatten_DA(*c, lines);
}

void Flatten_DO(const TIEC_DO& dataObject, const QString& path, QStringList& lines)
{
    const QString name = path.isEmpty() ? dataObject.Name : path + '.' + dataObject.Name;
    lines << QStringLiteral("DO ") + name;
    for (const auto& a : dataObject.List_DA)
        Flatten_DA(*a, lines);
    for (const auto& d : dataObject.List_DO)
        Flatten_DO(*d, name, lines);
}

QStringList Flatten(const TIEC_Device& device, const QString& only = {})
{
    QStringList lines;
    lines << QStringLiteral("IED %1 (%2)").arg(device.Name, device.FileName);
    for (const auto& ld : device.List_LDevice) {
        lines << QStringLiteral("LD ") + ld->Name;
        for (const auto& ln : ld->List_LN) {
            lines << QStringLiteral("LN prefix=%1 class=%2 inst=%3 type=%4").arg(ln->Prefix, ln->lnClass, ln->Inst, ln->lnType);
            for (const auto& d : ln->List_DO)
                Flatten_DO(*d, {}, lines);
            for (const auto& s : ln->List_DataSet) {
                QStringList members;
                for (const TIEC_DA* m : s->List_DA)
                    members << m->Reference;
                lines << QStringLiteral("DS %1 goose=%2: %3").arg(s->Reference, s->GooseName, members.join(QStringLiteral(", ")));
            }
        }
    }
    return only.isEmpty() ? lines : lines.filter(QRegularExpression(QLatin1Char('^') + only));
}

std::unique_ptr<TIEC_Device> Read_Ok(const QString& path)
{
    std::unique_ptr<TIEC_Device> device;
    const TResult read = Read_SCL_File(path, device);
    EXPECT_TRUE(read.Ok) << read.Message.toStdString();
    return device ? std::move(device) : std::make_unique<TIEC_Device>();
}

std::unique_ptr<TIEC_Device> Read_Text_Ok(const QByteArray& xml)
{
    std::unique_ptr<TIEC_Device> device;
    const TResult read = Read_SCL_Data(xml, QStringLiteral("inline.scd"), device);
    EXPECT_TRUE(read.Ok) << read.Message.toStdString();
    return device ? std::move(device) : std::make_unique<TIEC_Device>();
}

struct TModel_Case {
    const char* Fixture;
    const char* Only; // lines starting with this pattern, or all
    QStringList Expected;
};

const TModel_Case Model_Cases[] = {
    {"basic.scd", "", {
        // The first IED, its first access point; the prefix and instance of an LN are part of
        // object references but not of data set references.
        "IED E1 (basic.scd)",
        "LD CTRL",
        "LN prefix= class=LLN0 inst= type=LLN0_T",
        "DO Beh",
        "DA E1CTRL/LLN0.Beh.stVal fc=ST bType=Enum",
        "DS E1CTRL/LLN0.Events goose=GC_Events: E1CTRL/Q0XCBR1.Pos.q",
        "DS E1CTRL/LLN0.Spare goose=: ",
        "LN prefix=Q0 class=XCBR inst=1 type=XCBR_T",
        "DO Pos",
        "DA E1CTRL/Q0XCBR1.Pos.stVal fc=ST bType=Dbpos",
        "DA E1CTRL/Q0XCBR1.Pos.q fc=ST bType=Quality",
        "DS E1CTRL/XCBR.DS1 goose=GC_DS1: E1CTRL/Q0XCBR1.Pos.stVal"}},
    {"types.scd", "", {
        // No lnType: nothing below the LN; all definitions of an id; Struct without DAType and
        // Enum stay leaves; functional constraints inherited; prefixed elements ignored.
        "IED T (types.scd)",
        "LD LD0",
        "LN prefix= class=LLN0 inst= type=",
        "LN prefix= class=GGIO inst=1 type=GGIO_T",
        "DO Ind",
        "DA TLD0/GGIO1.Ind.stVal fc=ST bType=BOOLEAN",
        "DA TLD0/GGIO1.Ind.q fc=ST bType=Quality",
        "DA TLD0/GGIO1.Ind.t fc=ST bType=Timestamp",
        "DO NoType",
        "DO Dangling",
        "DO Cfg",
        "DA TLD0/GGIO1.Cfg.st fc=CF bType=Struct",
        "DA TLD0/GGIO1.Cfg.mode fc=CF bType=Enum",
        "DA TLD0/GGIO1.Cfg.val fc= bType=Struct",
        "DA TLD0/GGIO1.Cfg.val.i fc= bType=INT32",
        "DA TLD0/GGIO1.Cfg.rng fc=SP bType=Struct",
        "DA TLD0/GGIO1.Cfg.rng.lim fc=SP bType=Struct",
        "DA TLD0/GGIO1.Cfg.rng.lim.f fc=SP bType=FLOAT32",
        "DA TLD0/GGIO1.Cfg.rng.own fc=CF bType=INT32",
        "DA TLD0/GGIO1.Cfg.twin fc=MX bType=Struct",
        "DA TLD0/GGIO1.Cfg.twin.a fc=MX bType=INT8",
        "DA TLD0/GGIO1.Cfg.twin.b fc=MX bType=INT8"}},
    {"members.scd", "DS ", {
        // Names compared whole (mag.f, A.phsA dropped); no daName gives the first leaf; the
        // first LN of a class; a later LD; depth-first search through sub data objects and
        // components; a data object's own attributes only; case-sensitive; unresolved dropped.
        "DS MMEAS/LLN0.Meas goose=: MMEAS/MMXU1.TotW.mag.f, MMEAS/MMXU1.TotW.q, MPROT/PTOC1.Str.general, "
        "MMEAS/MMXU1.A.phsA.cVal, MMEAS/MMXU1.A.phsA.cVal.mag.f"}},
    {"no_name.scd", "", {
        "IED  (no_name.scd)",
        "LD LD0",
        "LN prefix= class=LLN0 inst= type=LLN0_T",
        "DO Beh",
        "DA LD0/LLN0.Beh.stVal fc=ST bType=Enum",
        "DS LD0/LLN0.DS goose=: LD0/LLN0.Beh.stVal"}},
    {"cycles.scd", "", {
        // A type already expanded above gives a node without children; the rest reads as usual.
        "IED C (cycles.scd)",
        "LD LD0",
        "LN prefix= class=GGIO inst=1 type=G_T",
        "DO Self",
        "DA CLD0/GGIO1.Self.stVal fc=ST bType=BOOLEAN",
        "DO Self.again",
        "DO Loop",
        "DO Loop.b",
        "DA CLD0/GGIO1.Loop.b.q fc=ST bType=Quality",
        "DO Loop.b.a",
        "DO Rec",
        "DA CLD0/GGIO1.Rec.rec fc=MX bType=Struct",
        "DA CLD0/GGIO1.Rec.rec.self fc=MX bType=Struct",
        "DA CLD0/GGIO1.Rec.rec.next fc=MX bType=Struct",
        "DA CLD0/GGIO1.Rec.rec.next.back fc=MX bType=Struct",
        "DA CLD0/GGIO1.Rec.rec.next.w fc=MX bType=INT32",
        "DA CLD0/GGIO1.Rec.rec.v fc=MX bType=INT32",
        "DO Mixed",
        "DA CLD0/GGIO1.Mixed.m fc=ST bType=Struct",
        "DA CLD0/GGIO1.Mixed.m.v fc=ST bType=INT32",
        "DO Ok",
        "DA CLD0/GGIO1.Ok.stVal fc=ST bType=BOOLEAN",
        "DS CLD0/GGIO.DS goose=: CLD0/GGIO1.Ok.stVal"}},
};

TEST(SclReader, ReadsTheModelOfEachFixture)
{
    for (const TModel_Case& c : Model_Cases) {
        SCOPED_TRACE(c.Fixture);
        const auto device = Read_Ok(Fixture(QStringLiteral("scl/") + c.Fixture));
        EXPECT_EQ(Flatten(*device, QString::fromUtf8(c.Only)), c.Expected);
    }
}

TEST(SclReader, DataSetMembersAreTheAttributesOfTheTree)
{
    const auto device = Read_Ok(Fixture("scl/members.scd"));
    const TIEC_DataSet& dataSet = *device->List_LDevice[0]->List_LN[0]->List_DataSet[0];
    ASSERT_EQ(dataSet.List_DA.size(), 5u);
    EXPECT_EQ(dataSet.List_DA[2], device->Find_LDevice("PROT")->Find_LN("PTOC")->Find_DO("Str")->Find_DA("general"));
}

struct TShape_Case {
    const char* Xml;
    QString Name;
    QStringList LDevices;
};

// Missing or differently named elements leave the device partly or wholly empty.
const TShape_Case Shape_Cases[] = {
    {R"(<scl:SCL xmlns:scl="x"><scl:IED name="A"><scl:AccessPoint><scl:Server><scl:LDevice inst="L"/></scl:Server>
        </scl:AccessPoint></scl:IED><scl:DataTypeTemplates/></scl:SCL>)", "", {}},
    {R"(<SCL xmlns:scl="x"><scl:IED name="A"/><IED name="B"><AccessPoint><Server><LDevice inst="L"/></Server>
        </AccessPoint></IED><scl:DataTypeTemplates/></SCL>)", "", {}},
    {R"(<SCL><IED name="A"><AccessPoint><Server><LDevice inst="L"/></Server></AccessPoint></IED></SCL>)", "", {}},
    {R"(<SCL><DataTypeTemplates/></SCL>)", "", {}},
    {R"(<Other><IED name="A"><AccessPoint><Server><LDevice inst="L"/></Server></AccessPoint></IED>
        <DataTypeTemplates/></Other>)", "", {}},
    {R"(<SCL><IED name="A"/><DataTypeTemplates/></SCL>)", "A", {}},
    {R"(<SCL><IED name="A"><AccessPoint name="1"/><AccessPoint name="2"><Server><LDevice inst="L"/></Server>
        </AccessPoint></IED><DataTypeTemplates/></SCL>)", "A", {}},
    {R"(<SCL><IED name="A"><AccessPoint><Server/><Server><LDevice inst="L"/></Server></AccessPoint></IED>
        <DataTypeTemplates/></SCL>)", "A", {}},
    {R"(<?xml version="1.0"?><!-- c --><SCL><!-- c --><IED name="A"><!-- c --><AccessPoint><!-- c --><Server>
        <!-- c --><LDevice inst="L1"/><!-- c --><LDevice/><LDevice inst="L3"><!-- c --></LDevice></Server></AccessPoint>
        </IED><DataTypeTemplates/></SCL><!-- c -->)", "A", {"L1", "", "L3"}},
};

TEST(SclReader, MissingElementsLeaveTheDeviceEmpty)
{
    for (const TShape_Case& c : Shape_Cases) {
        SCOPED_TRACE(c.Xml);
        const auto device = Read_Text_Ok(c.Xml);
        EXPECT_EQ(device->Name, c.Name);
        QStringList names;
        for (const auto& ld : device->List_LDevice)
            names << ld->Name;
        EXPECT_EQ(names, c.LDevices);
    }
}

TEST(SclReader, MissingFileGivesTheEmptyDevice)
{
    std::unique_ptr<TIEC_Device> device;
    const TResult read = Read_SCL_File(QDir::temp().filePath(QStringLiteral("no such folder/absent.icd")), device);
    EXPECT_TRUE(read.Ok);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->FileName, QStringLiteral("absent.icd"));
    EXPECT_TRUE(device->Name.isEmpty());
    EXPECT_TRUE(device->List_LDevice.empty());
}

TEST(SclReader, ParseErrorNamesFileAndLineAndGivesNoDevice)
{
    QTemporaryDir dir;
    struct TCase { QByteArray Bytes; int Line; };
    const TCase cases[] = {
        {"<SCL>\n  <IED name=\"x\">\n</SCL>\n", 3},
        {"<SCL>\r\n<IED\r\n name=\"a\" b=\"1\r\n\" c=\"2></IED></SCL>", 4}, // CR LF counted once
        {"<SCL>\r<IED name='1'>\r<Bad attr=x/></IED></SCL>", 1},           // lines end at LF only
        {"", 1},
        {"plain text", 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Bytes.toStdString());
        const QString path = dir.filePath(QStringLiteral("broken.scd"));
        Write_Test_File(path, c.Bytes);
        std::unique_ptr<TIEC_Device> device = std::make_unique<TIEC_Device>();
        const TResult read = Read_SCL_File(path, device);
        EXPECT_FALSE(read.Ok);
        EXPECT_FALSE(device);
        EXPECT_TRUE(read.Message.startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": line %1: ").arg(c.Line)))
            << read.Message.toStdString();
    }
}

TEST(SclReader, UnreadablePathIsAnError)
{
    QTemporaryDir dir;
    std::unique_ptr<TIEC_Device> device;
    const TResult read = Read_SCL_File(dir.path(), device);
    EXPECT_FALSE(read.Ok);
    EXPECT_FALSE(device);
    EXPECT_TRUE(read.Message.contains(QDir::toNativeSeparators(dir.path()))) << read.Message.toStdString();
}

TEST(SclReader, FileAndMemoryGiveTheSameModel)
{
    const QString path = Fixture("scl/members.scd");
    std::unique_ptr<TIEC_Device> fromFile, fromMemory;
    ASSERT_TRUE(Read_SCL_File(path, fromFile).Ok);
    ASSERT_TRUE(Read_SCL_Data(Read_Test_File(path), path, fromMemory).Ok);
    EXPECT_EQ(Flatten(*fromFile), Flatten(*fromMemory));
}

TEST(SclReader, ReadsOtherEncodingsAndEscapes)
{
    const QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?><SCL><IED name=\"\u00dcn&amp;&#x3a9;\"><AccessPoint><Server>"
        "<LDevice inst=\"\u4e2d\"/></Server></AccessPoint></IED><DataTypeTemplates/></SCL>");
    QByteArray utf16("\xff\xfe", 2);
    utf16.append(reinterpret_cast<const char*>(xml.utf16()), xml.size() * 2);
    for (const QByteArray& bytes : {utf16, QByteArray("\xef\xbb\xbf") + xml.toUtf8().replace("UTF-16", "UTF-8")}) {
        const auto device = Read_Text_Ok(bytes);
        EXPECT_EQ(device->Name, QStringLiteral("\u00dcn&\u03a9"));
        ASSERT_EQ(device->List_LDevice.size(), 1u);
        EXPECT_EQ(device->List_LDevice[0]->Name, QStringLiteral("\u4e2d"));
    }
}

// Bad input: an error or an empty or partial device, never a crash, a hang, a file read from
// elsewhere or memory out of proportion.
TEST(SclReader, EntitiesAreNeverExpanded)
{
    const char* cases[] = {
        R"(<!DOCTYPE SCL [<!ENTITY x SYSTEM "file:///etc/passwd">]><SCL><IED name="&x;"/><DataTypeTemplates/></SCL>)",
        R"(<!DOCTYPE SCL [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
           <!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;"><!ENTITY x "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">]>
           <SCL><IED name="&x;"/><DataTypeTemplates/></SCL>)",
    };
    for (const char* xml : cases) {
        std::unique_ptr<TIEC_Device> device;
        const TResult read = Read_SCL_Data(xml, QStringLiteral("entity.scd"), device);
        ASSERT_TRUE(read.Ok) << read.Message.toStdString();
        EXPECT_EQ(device->Name, QStringLiteral("&x;"));
    }
}

TEST(SclReader, GarbageGivesAParseError)
{
    const QByteArray basic = Read_Test_File(Fixture("scl/basic.scd"));
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + 13) & 0xff);
    for (const QByteArray& bytes : {basic.left(basic.size() / 2), basic.left(300), garbage, QByteArray("<SCL><IED name=\"x>")}) {
        std::unique_ptr<TIEC_Device> device;
        const TResult read = Read_SCL_Data(bytes, QStringLiteral("bad.scd"), device);
        EXPECT_FALSE(read.Ok);
        EXPECT_FALSE(device);
        EXPECT_TRUE(read.Message.startsWith(QStringLiteral("bad.scd: line "))) << read.Message.toStdString();
    }
}

TEST(SclReader, DeepAndHugeElementsAreRead)
{
    const int depth = 200000;
    QByteArray deep = "<SCL><IED name=\"D\"><AccessPoint><Server><LDevice inst=\"L\">";
    deep += QByteArray("<x>").repeated(depth) + QByteArray("</x>").repeated(depth);
    deep += "</LDevice></Server></AccessPoint></IED><DataTypeTemplates>";
    deep += QByteArray("<y>").repeated(depth) + QByteArray("</y>").repeated(depth) + "</DataTypeTemplates></SCL>";
    auto device = Read_Text_Ok(deep);
    EXPECT_EQ(device->List_LDevice.size(), 1u);

    const QByteArray name(8 << 20, 'n');
    device = Read_Text_Ok("<SCL><IED name=\"" + name + "\"/><DataTypeTemplates/></SCL>");
    EXPECT_EQ(device->Name.size(), name.size());
}

// Data object types whose attributes each hold two of the next type: 2^levels leaves.
QByteArray Type_Chain(int levels, int fanOut)
{
    QByteArray xml = "<SCL><IED name=\"B\"><AccessPoint><Server><LDevice inst=\"L\"><LN lnClass=\"GGIO\" inst=\"1\" lnType=\"G\"/>"
                     "</LDevice></Server></AccessPoint></IED><DataTypeTemplates><LNodeType id=\"G\"><DO name=\"D\" type=\"O\"/>"
                     "</LNodeType><DOType id=\"O\"><DA name=\"a\" bType=\"Struct\" type=\"T0\"/></DOType>";
    for (int i = 0; i < levels; ++i) {
        xml += "<DAType id=\"T" + QByteArray::number(i) + "\">";
        for (int k = 0; k < fanOut; ++k)
            xml += "<BDA name=\"b" + QByteArray::number(k) + "\" bType=\"Struct\" type=\"T" + QByteArray::number(i + 1) + "\"/>";
        xml += "</DAType>";
    }
    return xml + "</DataTypeTemplates></SCL>";
}

TEST(SclReader, ExpansionBeyondTheLimitsIsAnError)
{
    const QByteArray hugeName(1 << 20, 'n');
    const QByteArray manyDevices = "<SCL><IED name=\"" + hugeName + "\"><AccessPoint><Server>" +
                                   QByteArray("<LDevice inst=\"L\"/>").repeated(100) +
                                   "</Server></AccessPoint></IED><DataTypeTemplates/></SCL>";
    const QByteArray manyDefinitions = "<SCL><IED name=\"X\"><AccessPoint><Server><LDevice inst=\"L\">" +
                                       QByteArray("<LN lnClass=\"GGIO\" lnType=\"T\"/>").repeated(5000) +
                                       "</LDevice></Server></AccessPoint></IED><DataTypeTemplates>" +
                                       QByteArray("<LNodeType id=\"T\"/>").repeated(5000) + "</DataTypeTemplates></SCL>";
    struct TCase { QByteArray Xml; const char* Error; };
    const TCase cases[] = {
        {Type_Chain(40, 2), "the device model grows beyond 16 MB"},
        {manyDevices, "the device model grows beyond 16 MB"},     // a huge name repeated in every reference
        {manyDefinitions, "the device model grows beyond 16 MB"}, // empty definitions, looked at again and again
        {Type_Chain(1000, 1), "type definitions nest deeper than 64 levels"},
    };
    TSCL_Limits limits;
    limits.Max_Model_Bytes = 16 << 20;
    for (const TCase& c : cases) {
        std::unique_ptr<TIEC_Device> device;
        const TResult read = Read_SCL_Data(c.Xml, QStringLiteral("bomb.scd"), device, limits);
        EXPECT_FALSE(read.Ok);
        EXPECT_FALSE(device);
        EXPECT_TRUE(read.Message.startsWith(QStringLiteral("bomb.scd: ") + c.Error)) << read.Message.toStdString();
    }
    // Real nesting stays well inside both limits.
    std::unique_ptr<TIEC_Device> device;
    ASSERT_TRUE(Read_SCL_Data(Type_Chain(12, 2), QStringLiteral("fine.scd"), device, limits).Ok);
    EXPECT_EQ(Count_Model(*device).Leaves, 1 << 12);
}

} // namespace
