#include "scl/core/SclDump.h"
#include "base/TextTable.h"
#include "scl/core/SclIedList.h"
#include "scl/core/SclReader.h"
#include "support/TestSupport.h"
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <gtest/gtest.h>

namespace {

// The model as lines, one per object in model order: a data object is named by its path
// from the logical node, an attribute by its reference, a data set by its reference with
// its GOOSE name and members.
void flattenDa(const DataAttribute& da, QStringList& lines)
{
    lines << QStringLiteral("DA %1 fc=%2 bType=%3").arg(da.reference, da.fc, da.bType);
    for (const auto& c : da.attributes)
        flattenDa(*c, lines);
}

void flattenDo(const DataObject& dataObject, const QString& path, QStringList& lines)
{
    const QString name = path.isEmpty() ? dataObject.name : path + '.' + dataObject.name;
    lines << QStringLiteral("DO ") + name;
    for (const auto& a : dataObject.attributes)
        flattenDa(*a, lines);
    for (const auto& d : dataObject.dataObjects)
        flattenDo(*d, name, lines);
}

QStringList Flatten(const Ied& device, const QString& only = {})
{
    QStringList lines;
    lines << QStringLiteral("IED %1 (%2)").arg(device.name, device.fileName);
    for (const auto& ld : device.logicalDevices) {
        lines << QStringLiteral("LD ") + ld->name;
        for (const auto& ln : ld->logicalNodes) {
            lines << QStringLiteral("LN prefix=%1 class=%2 inst=%3 type=%4").arg(ln->prefix, ln->lnClass, ln->inst, ln->lnType);
            for (const auto& d : ln->dataObjects)
                flattenDo(*d, {}, lines);
            for (const auto& s : ln->dataSets) {
                QStringList members;
                for (const DataAttribute* m : s->attributes)
                    members << m->reference;
                lines << QStringLiteral("DS %1 goose=%2: %3").arg(s->reference, s->gooseName, members.join(QStringLiteral(", ")));
            }
        }
    }
    return only.isEmpty() ? lines : lines.filter(QRegularExpression(QLatin1Char('^') + only));
}

std::unique_ptr<Ied> readOk(const QString& path)
{
    std::unique_ptr<Ied> device;
    const Result read = readSclFile(path, {}, device);
    EXPECT_TRUE(read.ok) << englishMessage(read).toStdString();
    return device ? std::move(device) : std::make_unique<Ied>();
}

std::unique_ptr<Ied> readTextOk(const QByteArray& xml)
{
    std::unique_ptr<Ied> device;
    const Result read = readSclData(xml, QStringLiteral("inline.scd"), {}, device);
    EXPECT_TRUE(read.ok) << englishMessage(read).toStdString();
    return device ? std::move(device) : std::make_unique<Ied>();
}

struct ModelCase {
    const char* Fixture;
    const char* Only; // lines starting with this pattern, or all
    QStringList Expected;
};

const ModelCase modelCases[] = {
    {"basic.scd", "",
        {// The first IED, its first access point; the prefix and instance of an LN are part of
            // object references but not of data set references.
            "IED E1 (basic.scd)", "LD CTRL", "LN prefix= class=LLN0 inst= type=LLN0_T", "DO Beh",
            "DA E1CTRL/LLN0.Beh.stVal fc=ST bType=Enum", "DS E1CTRL/LLN0.Events goose=GC_Events: E1CTRL/Q0XCBR1.Pos.q",
            "DS E1CTRL/LLN0.Spare goose=: ", "LN prefix=Q0 class=XCBR inst=1 type=XCBR_T", "DO Pos",
            "DA E1CTRL/Q0XCBR1.Pos.stVal fc=ST bType=Dbpos", "DA E1CTRL/Q0XCBR1.Pos.q fc=ST bType=Quality",
            "DS E1CTRL/XCBR.DS1 goose=GC_DS1: E1CTRL/Q0XCBR1.Pos.stVal"}},
    {"types.scd", "",
        {// No lnType: nothing below the LN; all definitions of an id; Struct without DAType and
            // Enum stay leaves; functional constraints inherited; prefixed elements ignored.
            "IED T (types.scd)", "LD LD0", "LN prefix= class=LLN0 inst= type=", "LN prefix= class=GGIO inst=1 type=GGIO_T",
            "DO Ind", "DA TLD0/GGIO1.Ind.stVal fc=ST bType=BOOLEAN", "DA TLD0/GGIO1.Ind.q fc=ST bType=Quality",
            "DA TLD0/GGIO1.Ind.t fc=ST bType=Timestamp", "DO NoType", "DO Dangling", "DO Cfg",
            "DA TLD0/GGIO1.Cfg.st fc=CF bType=Struct", "DA TLD0/GGIO1.Cfg.mode fc=CF bType=Enum",
            "DA TLD0/GGIO1.Cfg.val fc= bType=Struct", "DA TLD0/GGIO1.Cfg.val.i fc= bType=INT32",
            "DA TLD0/GGIO1.Cfg.rng fc=SP bType=Struct", "DA TLD0/GGIO1.Cfg.rng.lim fc=SP bType=Struct",
            "DA TLD0/GGIO1.Cfg.rng.lim.f fc=SP bType=FLOAT32", "DA TLD0/GGIO1.Cfg.rng.own fc=CF bType=INT32",
            "DA TLD0/GGIO1.Cfg.twin fc=MX bType=Struct", "DA TLD0/GGIO1.Cfg.twin.a fc=MX bType=INT8",
            "DA TLD0/GGIO1.Cfg.twin.b fc=MX bType=INT8"}},
    {"members.scd", "DS ",
        {// Names compared whole (mag.f, A.phsA dropped); no daName gives the first leaf; the
            // first LN of a class; a later LD; depth-first search through sub data objects and
            // components; a data object's own attributes only; case-sensitive; unresolved dropped.
            "DS MMEAS/LLN0.Meas goose=: MMEAS/MMXU1.TotW.mag.f, MMEAS/MMXU1.TotW.q, MPROT/PTOC1.Str.general, "
            "MMEAS/MMXU1.A.phsA.cVal, MMEAS/MMXU1.A.phsA.cVal.mag.f"}},
    {"no_name.scd", "",
        {"IED  (no_name.scd)", "LD LD0", "LN prefix= class=LLN0 inst= type=LLN0_T", "DO Beh",
            "DA LD0/LLN0.Beh.stVal fc=ST bType=Enum", "DS LD0/LLN0.DS goose=: LD0/LLN0.Beh.stVal"}},
    {"cycles.scd", "",
        {// A type already expanded above gives a node without children; the rest reads as usual.
            "IED C (cycles.scd)", "LD LD0", "LN prefix= class=GGIO inst=1 type=G_T", "DO Self",
            "DA CLD0/GGIO1.Self.stVal fc=ST bType=BOOLEAN", "DO Self.again", "DO Loop", "DO Loop.b",
            "DA CLD0/GGIO1.Loop.b.q fc=ST bType=Quality", "DO Loop.b.a", "DO Rec", "DA CLD0/GGIO1.Rec.rec fc=MX bType=Struct",
            "DA CLD0/GGIO1.Rec.rec.self fc=MX bType=Struct", "DA CLD0/GGIO1.Rec.rec.next fc=MX bType=Struct",
            "DA CLD0/GGIO1.Rec.rec.next.back fc=MX bType=Struct", "DA CLD0/GGIO1.Rec.rec.next.w fc=MX bType=INT32",
            "DA CLD0/GGIO1.Rec.rec.v fc=MX bType=INT32", "DO Mixed", "DA CLD0/GGIO1.Mixed.m fc=ST bType=Struct",
            "DA CLD0/GGIO1.Mixed.m.v fc=ST bType=INT32", "DO Ok", "DA CLD0/GGIO1.Ok.stVal fc=ST bType=BOOLEAN",
            "DS CLD0/GGIO.DS goose=: CLD0/GGIO1.Ok.stVal"}},
};

TEST(SclReader, ReadsTheModelOfEachFixture)
{
    for (const ModelCase& c : modelCases) {
        SCOPED_TRACE(c.Fixture);
        const auto device = readOk(Fixture(QStringLiteral("scl/") + c.Fixture));
        EXPECT_EQ(Flatten(*device, QString::fromUtf8(c.Only)), c.Expected);
    }
}

TEST(SclReader, DataSetMembersAreTheAttributesOfTheTree)
{
    const auto device = readOk(Fixture("scl/members.scd"));
    const DataSet& dataSet = *device->logicalDevices[0]->logicalNodes[0]->dataSets[0];
    ASSERT_EQ(dataSet.attributes.size(), 5u);
    EXPECT_EQ(dataSet.attributes[2],
        device->findLogicalDevice("PROT")->findLogicalNode("PTOC")->findDataObject("Str")->findAttribute("general"));
}

struct ShapeCase {
    const char* Xml;
    QString name;
    QStringList logicalDevices;
};

// Missing or differently named elements leave the device partly or wholly empty.
const ShapeCase shapeCases[] = {
    {R"(<scl:SCL xmlns:scl="x"><scl:IED name="A"><scl:AccessPoint><scl:Server><scl:LDevice inst="L"/></scl:Server>
        </scl:AccessPoint></scl:IED><scl:DataTypeTemplates/></scl:SCL>)",
        "", {}},
    {R"(<SCL xmlns:scl="x"><scl:IED name="A"/><IED name="B"><AccessPoint><Server><LDevice inst="L"/></Server>
        </AccessPoint></IED><scl:DataTypeTemplates/></SCL>)",
        "", {}},
    {R"(<SCL><IED name="A"><AccessPoint><Server><LDevice inst="L"/></Server></AccessPoint></IED></SCL>)", "", {}},
    {R"(<SCL><DataTypeTemplates/></SCL>)", "", {}},
    {R"(<Other><IED name="A"><AccessPoint><Server><LDevice inst="L"/></Server></AccessPoint></IED>
        <DataTypeTemplates/></Other>)",
        "", {}},
    {R"(<SCL><IED name="A"/><DataTypeTemplates/></SCL>)", "A", {}},
    {R"(<SCL><IED name="A"><AccessPoint name="1"/><AccessPoint name="2"><Server><LDevice inst="L"/></Server>
        </AccessPoint></IED><DataTypeTemplates/></SCL>)",
        "A", {}},
    {R"(<SCL><IED name="A"><AccessPoint><Server/><Server><LDevice inst="L"/></Server></AccessPoint></IED>
        <DataTypeTemplates/></SCL>)",
        "A", {}},
    {R"(<?xml version="1.0"?><!-- c --><SCL><!-- c --><IED name="A"><!-- c --><AccessPoint><!-- c --><Server>
        <!-- c --><LDevice inst="L1"/><!-- c --><LDevice/><LDevice inst="L3"><!-- c --></LDevice></Server></AccessPoint>
        </IED><DataTypeTemplates/></SCL><!-- c -->)",
        "A", {"L1", "", "L3"}},
};

TEST(SclReader, MissingElementsLeaveTheDeviceEmpty)
{
    for (const ShapeCase& c : shapeCases) {
        SCOPED_TRACE(c.Xml);
        const auto device = readTextOk(c.Xml);
        EXPECT_EQ(device->name, c.name);
        QStringList names;
        for (const auto& ld : device->logicalDevices)
            names << ld->name;
        EXPECT_EQ(names, c.logicalDevices);
    }
}

TEST(SclReader, MissingFileGivesTheEmptyDevice)
{
    std::unique_ptr<Ied> device;
    const Result read = readSclFile(QDir::temp().filePath(QStringLiteral("no such folder/absent.icd")), {}, device);
    EXPECT_TRUE(read.ok);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->fileName, QStringLiteral("absent.icd"));
    EXPECT_TRUE(device->name.isEmpty());
    EXPECT_TRUE(device->logicalDevices.empty());
}

TEST(SclReader, ParseErrorNamesFileAndLineAndGivesNoDevice)
{
    QTemporaryDir dir;
    struct Case {
        QByteArray bytes;
        int line;
    };
    const Case cases[] = {
        {"<SCL>\n  <IED name=\"x\">\n</SCL>\n", 3},
        {"<SCL>\r\n<IED\r\n name=\"a\" b=\"1\r\n\" c=\"2></IED></SCL>", 4}, // CR LF counted once
        {"<SCL>\r<IED name='1'>\r<Bad attr=x/></IED></SCL>", 1}, // lines end at LF only
        {"", 1},
        {"plain text", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        const QString path = dir.filePath(QStringLiteral("broken.scd"));
        writeTestFile(path, c.bytes);
        std::unique_ptr<Ied> device = std::make_unique<Ied>();
        const Result read = readSclFile(path, {}, device);
        EXPECT_FALSE(read.ok);
        EXPECT_FALSE(device);
        EXPECT_TRUE(englishMessage(read).startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": line %1: ").arg(c.line)))
            << englishMessage(read).toStdString();
    }
}

TEST(SclReader, UnreadablePathIsAnError)
{
    QTemporaryDir dir;
    std::unique_ptr<Ied> device;
    const Result read = readSclFile(dir.path(), {}, device);
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(device);
    EXPECT_TRUE(englishMessage(read).contains(QDir::toNativeSeparators(dir.path()))) << englishMessage(read).toStdString();
}

TEST(SclReader, FileAndMemoryGiveTheSameModel)
{
    const QString path = Fixture("scl/members.scd");
    std::unique_ptr<Ied> fromFile, fromMemory;
    ASSERT_TRUE(readSclFile(path, {}, fromFile).ok);
    ASSERT_TRUE(readSclData(readTestFile(path), path, {}, fromMemory).ok);
    EXPECT_EQ(Flatten(*fromFile), Flatten(*fromMemory));
}

TEST(SclReader, ReadsOtherEncodingsAndEscapes)
{
    const QString xml
        = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><SCL><IED name=\"\u00dcn&amp;&#x3a9;\"><AccessPoint><Server>"
                         "<LDevice inst=\"\u4e2d\"/></Server></AccessPoint></IED><DataTypeTemplates/></SCL>");
    QByteArray utf16("\xff\xfe", 2);
    utf16.append(reinterpret_cast<const char*>(xml.utf16()), xml.size() * 2);
    for (const QByteArray& bytes : {utf16, QByteArray("\xef\xbb\xbf") + xml.toUtf8().replace("UTF-16", "UTF-8")}) {
        const auto device = readTextOk(bytes);
        EXPECT_EQ(device->name, QStringLiteral("\u00dcn&\u03a9"));
        ASSERT_EQ(device->logicalDevices.size(), 1u);
        EXPECT_EQ(device->logicalDevices[0]->name, QStringLiteral("\u4e2d"));
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
        std::unique_ptr<Ied> device;
        const Result read = readSclData(xml, QStringLiteral("entity.scd"), {}, device);
        ASSERT_TRUE(read.ok) << englishMessage(read).toStdString();
        EXPECT_EQ(device->name, QStringLiteral("&x;"));
    }
}

TEST(SclReader, GarbageGivesAParseError)
{
    const QByteArray basic = readTestFile(Fixture("scl/basic.scd"));
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + 13) & 0xff);
    for (const QByteArray& bytes : {basic.left(basic.size() / 2), basic.left(300), garbage, QByteArray("<SCL><IED name=\"x>")}) {
        std::unique_ptr<Ied> device;
        const Result read = readSclData(bytes, QStringLiteral("bad.scd"), {}, device);
        EXPECT_FALSE(read.ok);
        EXPECT_FALSE(device);
        EXPECT_TRUE(englishMessage(read).startsWith(QStringLiteral("bad.scd: line "))) << englishMessage(read).toStdString();
    }
}

TEST(SclReader, DeepAndHugeElementsAreRead)
{
    const int depth = 200000;
    QByteArray deep = "<SCL><IED name=\"D\"><AccessPoint><Server><LDevice inst=\"L\">";
    deep += QByteArray("<x>").repeated(depth) + QByteArray("</x>").repeated(depth);
    deep += "</LDevice></Server></AccessPoint></IED><DataTypeTemplates>";
    deep += QByteArray("<y>").repeated(depth) + QByteArray("</y>").repeated(depth) + "</DataTypeTemplates></SCL>";
    auto device = readTextOk(deep);
    EXPECT_EQ(device->logicalDevices.size(), 1u);

    const QByteArray name(8 << 20, 'n');
    device = readTextOk("<SCL><IED name=\"" + name + "\"/><DataTypeTemplates/></SCL>");
    EXPECT_EQ(device->name.size(), name.size());
}

// Data object types whose attributes each hold two of the next type: 2^levels leaves.
QByteArray typeChain(int levels, int fanOut)
{
    QByteArray xml
        = "<SCL><IED name=\"B\"><AccessPoint><Server><LDevice inst=\"L\"><LN lnClass=\"GGIO\" inst=\"1\" lnType=\"G\"/>"
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

// Each limit names itself and what the model had reached, so that a large real device and a
// trap of types that expand into each other are told apart.
TEST(SclReader, ExpansionBeyondTheLimitsIsAnError)
{
    const QByteArray hugeName(1 << 20, 'n');
    const QByteArray manyDevices = "<SCL><IED name=\"" + hugeName + "\"><AccessPoint><Server>"
        + QByteArray("<LDevice inst=\"L\"/>").repeated(100) + "</Server></AccessPoint></IED><DataTypeTemplates/></SCL>";
    const QByteArray manyDefinitions = "<SCL><IED name=\"X\"><AccessPoint><Server><LDevice inst=\"L\">"
        + QByteArray("<LN lnClass=\"GGIO\" lnType=\"T\"/>").repeated(5000)
        + "</LDevice></Server></AccessPoint></IED><DataTypeTemplates>" + QByteArray("<LNodeType id=\"T\"/>").repeated(5000)
        + "</DataTypeTemplates></SCL>";
    struct Case {
        QByteArray Xml;
        QString error;
    };
    const Case cases[] = {
        {typeChain(40, 2),
            "the device model passes the limit of 100000 data objects and attributes (reached: 1 data objects, 100000 "
            "attributes, types nested 42 deep)"},
        {manyDevices, // a huge name repeated in every reference
            "the references of the device model pass the limit of 64 MB (reached: 0 data objects, 0 attributes, types "
            "nested 0 deep)"},
        {manyDefinitions, // empty definitions, looked at again and again
            "type definitions are read more than 400000 times (reached: 0 data objects, 0 attributes, types nested 0 deep)"},
        {typeChain(1000, 1),
            "type definitions nest deeper than 64 levels (reached: 1 data objects, 64 attributes, types "
            "nested 64 deep)"},
    };
    SclLimits limits;
    limits.maxObjects = 100000;
    limits.maxReferenceBytes = 64 << 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error.toStdString());
        std::unique_ptr<Ied> device;
        const Result read = readSclData(c.Xml, QStringLiteral("bomb.scd"), {}, device, limits);
        EXPECT_FALSE(read.ok);
        EXPECT_FALSE(device);
        EXPECT_EQ(englishMessage(read), "bomb.scd: " + c.error);
    }
    // Real nesting stays well inside the limits.
    std::unique_ptr<Ied> device;
    ASSERT_TRUE(readSclData(typeChain(12, 2), QStringLiteral("fine.scd"), {}, device, limits).ok);
    EXPECT_EQ(countModel(*device).leaves, 1 << 12);
}

// A large device (here a million attributes) is no trap.
TEST(SclReader, AMillionAttributesAreRead)
{
    std::unique_ptr<Ied> device;
    const Result read = readSclData(typeChain(19, 2), QStringLiteral("large.scd"), {}, device);
    ASSERT_TRUE(read.ok) << englishMessage(read).toStdString();
    EXPECT_EQ(countModel(*device).dataAttributes, (1 << 20) - 1);
}

#ifdef Q_OS_UNIX
// Out of memory is an error naming the file and its size, not the end of the program. Run in a
// fresh child process (no heap left over from other tests to grow into) whose address space is
// capped just above what it uses before the read (Linux's limits; Windows would need a job object).
TEST(SclReader, RunningOutOfMemoryIsAnError)
{
#if defined(__SANITIZE_ADDRESS__) || (defined(__has_feature) && __has_feature(address_sanitizer))
    GTEST_SKIP() << "a capped address space and the address sanitizer exclude each other";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto readCapped = [] {
        const QByteArray big = "<SCL><IED name=\"B\"><AccessPoint><Server>"
            + QByteArray("<LDevice inst=\"L\"><LN lnClass=\"GGIO\" inst=\"1\"/></LDevice>").repeated(500000)
            + "</Server></AccessPoint></IED><DataTypeTemplates/></SCL>";
        std::ifstream status("/proc/self/status");
        long long kb = 0;
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0)
                kb = std::stoll(line.substr(7));
        const rlim_t cap = rlim_t(kb) * 1024 + rlim_t(big.size()) * 2;
        const rlimit limit{cap, cap};
        setrlimit(RLIMIT_AS, &limit);
        std::unique_ptr<Ied> device;
        const Result read = readSclData(big, QStringLiteral("big.scd"), {}, device);
        std::fprintf(stderr, "%s\n", qPrintable(englishMessage(read)));
        std::exit(!read.ok && !device ? 0 : 1);
    };
    EXPECT_EXIT(readCapped(), testing::ExitedWithCode(0), "not enough memory to read big\\.scd \\([0-9.]+ MiB\\)");
}
#endif

} // namespace

namespace {

// station.scd: Client1 (no logical device, no address), Relay (one address, given twice), Meter
// (two addresses).
TEST(SclReader, ReadsTheIedOfTheStoredNameElseTheFirst)
{
    struct Case {
        const char* stored;
        const char* ied;
        QStringList logicalDevices;
        QStringList ipAddresses;
        const char* serverAddress;
    };
    const Case cases[] = {
        {"Relay", "Relay", {"PROT", "MEAS"}, {"10.0.0.5"}, "10.0.0.5"},
        {"Meter", "Meter", {"LD0"}, {"10.0.0.7", "10.1.0.7"}, ""}, // two addresses: none is given to new rows
        {"Client1", "Client1", {}, {}, ""},
        {"Gone", "Client1", {}, {}, ""}, // no IED of that name: the first, as before the choice
        {"", "Client1", {}, {}, ""}, {"relay", "Client1", {}, {}, ""}, // names are compared exactly
    };
    const QString path = Fixture("scl/station.scd");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        std::unique_ptr<Ied> device;
        ASSERT_TRUE(readSclFile(path, QString::fromUtf8(c.stored), device).ok);
        EXPECT_EQ(device->name, c.ied);
        QStringList names;
        for (const auto& ld : device->logicalDevices)
            names << ld->name;
        EXPECT_EQ(names, c.logicalDevices);
        EXPECT_EQ(device->ipAddresses, c.ipAddresses);
        EXPECT_EQ(device->serverAddress(), c.serverAddress);
    }
    // The chosen IED's data sets resolve within it, and the descriptions come with the model.
    std::unique_ptr<Ied> relay;
    ASSERT_TRUE(readSclData(readTestFile(path), path, QStringLiteral("Relay"), relay).ok);
    EXPECT_EQ(Flatten(*relay, "DS "), QStringList{"DS RelayPROT/LLN0.Trips goose=: RelayPROT/PTOC1.Op.general"});
    const LogicalNode& ptoc = *relay->logicalDevices[0]->logicalNodes[1];
    EXPECT_EQ(relay->desc, "Feeder protection");
    EXPECT_EQ(relay->logicalDevices[0]->desc, "Protection");
    EXPECT_EQ(ptoc.desc, "Overcurrent");
    EXPECT_EQ(ptoc.dataObjects[0]->desc, "Operate");
    EXPECT_EQ(ptoc.dataObjects[0]->attributes[0]->desc, "General trip");
    EXPECT_EQ(relay->logicalDevices[0]->logicalNodes[0]->dataSets[0]->desc, "Trip events");
}

TEST(SclIedList, ListsEveryIedWithItsFigures)
{
    // In UTF-8 the IEDs are parsed one by one, in UTF-16 the file as a whole: the same list.
    const QByteArray station = readTestFile(Fixture("scl/station.scd"));
    const QString text = QString::fromUtf8(station).replace("UTF-8", "UTF-16");
    QByteArray wide("\xff\xfe", 2);
    wide.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    std::vector<IedSummary> ieds;
    for (const QByteArray& data : {station, wide}) {
        ASSERT_TRUE(listSclIeds(data, QStringLiteral("station.scd"), ieds).ok);
        QStringList rows;
        for (const IedSummary& i : ieds)
            rows << QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                        .arg(i.name, i.desc, i.manufacturer, i.type)
                        .arg(i.logicalDevices)
                        .arg(i.logicalNodes)
                        .arg(i.ipAddresses.join(u','))
                        .arg(i.isClient() ? "client" : "server");
        EXPECT_EQ(rows,
            QStringList(
                {"Client1|Station HMI|Acme|HMI|0|0||client", "Relay|Feeder protection|Relays & Co|P100|2|4|10.0.0.5|server",
                    "Meter||Meters Inc|M2|1|2|10.0.0.7,10.1.0.7|server"}));
        EXPECT_EQ(preferredIed(ieds), 1);
    }

    // Counted where the reader reads: the first access point's server (basic.scd: E1 has a second).
    ASSERT_TRUE(listSclIedsOfFile(Fixture("scl/basic.scd"), ieds).ok);
    ASSERT_EQ(ieds.size(), 2u);
    EXPECT_EQ(std::pair(ieds[0].logicalDevices, ieds[0].logicalNodes), std::pair(1, 2));

    const std::vector<IedSummary> clientsOnly(2);
    EXPECT_EQ(preferredIed(clientsOnly), 0);
    const Result broken = listSclIeds("<SCL>\n<IED name=\"a\">\n</SCL>", QStringLiteral("broken.scd"), ieds);
    EXPECT_FALSE(broken.ok);
    EXPECT_TRUE(englishMessage(broken).startsWith("broken.scd: line 3: ")) << englishMessage(broken).toStdString();
}

} // namespace
