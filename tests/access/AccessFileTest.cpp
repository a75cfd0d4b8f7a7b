#include "base/TextTable.h"
#include "scl/SclTestData.h"
#include "access/core/AccessFile.h"
#include "access/core/Catalog.h"
#include "scl/core/SclReader.h"
#include "support/TestSupport.h"
#include "base/Files.h"
#include "configuration/core/ConfigurationPaths.h"
#include <pugixml.hpp>
#include <sstream>
#include <gtest/gtest.h>

namespace {

// A project folder with its catalog and the path of its access file.
struct Project {
    QTemporaryDir Dir;
    QString Catalog = ConfigurationPaths(Dir.path()).catalogFolder();
    QString file = Dir.filePath("IEC_61850_Client.xml");
    AccessList access;
    AccessFileReport report;

    Project() { QDir().mkpath(Catalog); }
    void addScl(const QString& fileName, const QByteArray& content) { writeTestFile(Join(fileName), content); }
    QString Join(const QString& fileName) const { return Catalog + "/" + fileName; }
    Result Load(const QByteArray& xml)
    {
        writeTestFile(file, xml);
        return Load();
    }
    Result Load() { return loadAccessFile(file, Catalog, access, report); }
};

QStringList attributeNames(const pugi::xml_node& node)
{
    QStringList names;
    for (const pugi::xml_attribute& a : node.attributes())
        names << QString::fromUtf8(a.name());
    return names;
}

const QByteArray twoFiles
    = R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/><ICD_File Name="IED2" FileName="B.icd"/></List_ICD_Files>)";

QByteArray daItem(
    const char* index, const char* bType, const char* reference, const char* startNum = R"(StartByte="" NumByte="")")
{
    return QByteArray(R"(<DA_Item Index=")") + index + R"(" bType=")" + bType + R"(" fc="MX" Reference=")" + reference + "\" "
        + startNum
        + R"( IPAddress="10.0.0.1" Port="102" OnChange="N" OnCMD="N" OnTimer="N" Time="" Position="1" StartBit="0" ReadWrite="Read" Convertion="None" MoltFact="None" Mnemonic="m"/>)";
}

QByteArray dataSetItem(const char* index, const char* reference, const QByteArray& members)
{
    return QByteArray(R"(<DataSet_Item Index=")") + index + R"(" Reference=")" + reference
        + R"(" GooseName="GC1" EnGoose="Y" IPAddress="10.0.0.2" Port="102" Time="1000" Mnemonic="ds"><DataSet_List_DAs>)"
        + members + "</DataSet_List_DAs></DataSet_Item>";
}

QByteArray Member(const char* bType, const char* reference, const char* position)
{
    return QByteArray(R"(<DataSet_DA_Item bType=")") + bType + R"(" Reference=")" + reference + R"(" Position=")" + position
        + R"(" StartBit="3" Convertion="None" MoltFact="2,5" Mnemonic="x"/>)";
}

const QByteArray storedMembers = Member("Quality", "IED1LD0/MMXU1.TotW.q", "10") + Member("Quality", "IED1LD0/XCBR1.Pos.q", "11");

} // namespace

TEST(AccessFile, SaveLoadRoundTripKeepsEveryValue)
{
    Project p;
    p.addScl("A.icd", testScl("IED1"));
    p.addScl("Zähler.icd", testScl("Zähler"));
    for (const QString& f : {QStringLiteral("A.icd"), QStringLiteral("Zähler.icd")}) {
        std::unique_ptr<Ied> device;
        ASSERT_TRUE(readSclFile(p.Join(f), {}, device).ok);
        p.access.devices.push_back(std::move(device));
    }

    StringGrid& da = p.access.variableGrid;
    da.setRowCount(3);
    const QStringList rows[2] = {
        {"1", "0", "FLOAT32", "MX", "IED1LD0/MMXU1.TotW.mag.f", "0", "4", "192.168.2.10", "102", "Y", "N", "Y", "500", "12", "0",
            "Read", "ItoF/FtoI", "0,5", "Pump & valve <1> \"a\""},
        {"2", "1", "VisString255", "DC", "ZählerLD0/XCBR1.NamPlt.vendor", "3", "20", "192.168.2.11", "102", "N", "Y", "N", "",
            "40", "", "", "", "None", "Température µ° 測定"},
    };
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < VariableColumn::Count; ++c)
            da.setCell(c, r + 1, rows[r][c]);

    StringGrid& ds = p.access.dataSetGrid;
    const QStringList dsRow = {"1", "1", "ZählerLD0/LLN0.DS1", "GC1", "Y", "192.168.2.11", "102", "1000", "Ströme & Spannungen"};
    for (int c = 0; c < DataSetColumn::Count; ++c)
        ds.setCell(c, 1, dsRow[c]);
    auto entry = std::make_unique<DataSetEntry>();
    entry->dataSet = findDataSet(*p.access.devices[1], "ZählerLD0/LLN0.DS1");
    ASSERT_TRUE(entry->dataSet);
    int position = 100;
    for (DataAttribute* member : entry->dataSet->attributes)
        entry->members.push_back(std::make_unique<DataSetMember>(
            DataSetMember{member, QString::number(position++), "2", "None", "1.5", "m&m", {}, {}}));
    p.access.dataSets.push_back(std::move(entry));

    ASSERT_TRUE(saveAccessFile(p.access, p.file).ok);

    // The written structure: the root is the first node, the comment follows it, no declaration,
    // every attribute on every element in its fixed order.
    const QByteArray written = readTestFile(p.file);
    EXPECT_TRUE(written.startsWith("<IEC_68850_Client>")) << written.left(60).constData();
    EXPECT_TRUE(written.endsWith("</IEC_68850_Client><!--SW_VERSION = 1.000-->")) << written.right(60).constData();
    EXPECT_TRUE(written.contains("Pump &amp; valve &lt;1> &quot;a&quot;"));
    EXPECT_TRUE(written.contains("Température µ° 測定"));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_buffer(written.constData(), size_t(written.size()), pugi::parse_default | pugi::parse_comments));
    const pugi::xml_node root = doc.first_child();
    EXPECT_STREQ(root.next_sibling().value(), "SW_VERSION = 1.000");
    QStringList lists;
    for (const pugi::xml_node& child : root.children())
        lists << QString::fromUtf8(child.name());
    EXPECT_EQ(lists, QStringList({"List_ICD_Files", "List_DA_Selected", "List_DataSet_Selected"}));
    EXPECT_EQ(attributeNames(root.child("List_ICD_Files").first_child()), QStringList({"Name", "FileName"}));
    EXPECT_STREQ(root.child("List_ICD_Files").last_child().attribute("FileName").value(), "Zähler.icd");
    EXPECT_EQ(attributeNames(root.child("List_DA_Selected").first_child()),
        QStringList({"Index", "bType", "fc", "Reference", "StartByte", "NumByte", "IPAddress", "Port", "OnChange", "OnCMD",
            "OnTimer", "Time", "Position", "StartBit", "ReadWrite", "Convertion", "MoltFact", "Mnemonic"}));
    const pugi::xml_node dsItem = root.child("List_DataSet_Selected").first_child();
    EXPECT_EQ(attributeNames(dsItem),
        QStringList({"Index", "Reference", "GooseName", "EnGoose", "IPAddress", "Port", "Time", "Mnemonic"}));
    EXPECT_EQ(attributeNames(dsItem.child("DataSet_List_DAs").first_child()),
        QStringList({"bType", "Reference", "Position", "StartBit", "Convertion", "MoltFact", "Mnemonic"}));

    // Loading gives back every value, and saving again writes the same bytes.
    AccessList loaded;
    ASSERT_TRUE(loadAccessFile(p.file, p.Catalog, loaded, p.report).ok);
    EXPECT_TRUE(p.report.missingFiles.isEmpty() && p.report.unmatchedMembers.isEmpty());
    ASSERT_EQ(loaded.devices.size(), 2u);
    EXPECT_EQ(loaded.devices[1]->name, "Zähler");
    ASSERT_EQ(loaded.variableGrid.rowCount(), 3);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < VariableColumn::Count; ++c)
            EXPECT_EQ(loaded.variableGrid.cell(c, r + 1), rows[r][c]) << "row " << r + 1 << " col " << c;
    EXPECT_TRUE(loaded.variableGrid.isLocked(VariableColumn::NumByte, 1));
    EXPECT_FALSE(loaded.variableGrid.isLocked(VariableColumn::NumByte, 2));
    for (int c = 0; c < DataSetColumn::Count; ++c)
        EXPECT_EQ(loaded.dataSetGrid.cell(c, 1), dsRow[c]);
    ASSERT_EQ(loaded.dataSets.size(), 1u);
    const DataSetEntry& back = *loaded.dataSets[0];
    EXPECT_EQ(back.dataSet, findDataSet(*loaded.devices[1], "ZählerLD0/LLN0.DS1"));
    ASSERT_EQ(back.members.size(), 2u);
    EXPECT_EQ(back.members[1]->attribute, back.dataSet->attributes[1]);
    EXPECT_EQ(back.members[1]->position, "101");
    EXPECT_EQ(back.members[1]->mnemonic, "m&m");

    const QString again = p.Dir.filePath("again.xml");
    ASSERT_TRUE(saveAccessFile(loaded, again).ok);
    EXPECT_EQ(readTestFile(again), written);
}

TEST(AccessFile, EmptyGridsWriteEmptyLists)
{
    Project p;
    ASSERT_TRUE(saveAccessFile(p.access, p.file).ok);
    const QByteArray empty = "<IEC_68850_Client><List_ICD_Files/><List_DA_Selected/><List_DataSet_Selected/></IEC_68850_Client>"
                             "<!--SW_VERSION = 1.000-->";
    EXPECT_EQ(readTestFile(p.file), empty);

    // A single row counts as empty when its Index is, whatever else it holds.
    p.access.variableGrid.setCell(VariableColumn::Reference, 1, "X/Y.z");
    p.access.variableGrid.setCell(VariableColumn::Port, 1, "102");
    p.access.dataSetGrid.setCell(DataSetColumn::Mnemonic, 1, "left over");
    ASSERT_TRUE(saveAccessFile(p.access, p.file).ok);
    EXPECT_EQ(readTestFile(p.file), empty);
}

TEST(AccessFile, NoFileGivesAnEmptyListAndLoadingEmptiesWhatWasThere)
{
    Project p;
    p.addScl("A.icd", testScl("IED1"));
    p.addScl("B.icd", testScl("IED2"));
    ASSERT_TRUE(p.Load(twoFiles + "<List_DA_Selected>" + daItem("0", "FLOAT32", "IED1LD0/MMXU1.TotW.mag.f")
                     + "</List_DA_Selected></IEC_68850_Client>")
                    .ok);
    ASSERT_EQ(p.access.devices.size(), 2u);
    QFile::remove(p.file);
    ASSERT_TRUE(p.Load().ok);
    EXPECT_TRUE(p.access.devices.empty());
    EXPECT_TRUE(p.access.variableGrid.isEmpty());
    EXPECT_EQ(p.access.variableGrid.rowCount(), 2);
}

TEST(AccessFile, EarlierFileWithoutStartAndNumByteLoads)
{
    Project p;
    const char* none = "";
    ASSERT_TRUE(p.Load(twoFiles + "<List_DA_Selected>" + daItem("0", "FLOAT32", "IED1LD0/MMXU1.TotW.mag.f", none)
                     + daItem("0", "VisString255", "IED1LD0/XCBR1.NamPlt.vendor", none)
                     + daItem("1", "Quality", "IED2LD0/XCBR1.Pos.q", none) + "</List_DA_Selected></IEC_68850_Client>")
                    .ok);
    const StringGrid& g = p.access.variableGrid;
    ASSERT_EQ(g.rowCount(), 4);
    struct Want {
        const char* start;
        const char* num;
        bool locked;
    };
    const Want want[] = {{"0", "4", true}, {"", "", false}, {"0", "4", true}};
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(g.cell(VariableColumn::Number, r), QString::number(r));
        EXPECT_EQ(g.cell(VariableColumn::StartByte, r), want[r - 1].start) << r;
        EXPECT_EQ(g.cell(VariableColumn::NumByte, r), want[r - 1].num) << r;
        EXPECT_EQ(g.isLocked(VariableColumn::StartByte, r), want[r - 1].locked) << r;
    }
    EXPECT_EQ(g.cell(VariableColumn::Mnemonic, 3), "m");
}

// Stored members are linked where they still match their SCL data set at their place; the
// others stay as stored, unlinked, so that the next save writes them back and nothing is lost
// (the checks refuse such a data set until it is added again).
TEST(AccessFile, StoredMembersAreLinkedByPositionTypeAndReference)
{
    struct Case {
        const char* name;
        const char* index;
        bool newMember; // the SCL file got a member in the middle of DS1
        bool dataSetLinked;
        std::vector<bool> membersLinked;
        QString reported;
    };
    const Case cases[] = {
        {"all match", "0", false, true, {true, true}, {}},
        {"new member in the middle", "0", true, true, {true, false},
            "DataSet row 1 (IED1LD0/LLN0.DS1): members not as in the SCL file: 2 IED1LD0/XCBR1.Pos.q"},
        {"index past the devices", "2", false, false, {false, false},
            "DataSet row 1 (IED1LD0/LLN0.DS1): no such data set in its device's SCL file, its 2 members kept as stored"},
        {"index of another device", "1", false, false, {false, false}, "no such data set"},
        {"negative index", "-1", false, false, {false, false}, "no such data set"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        p.addScl("A.icd", testScl("IED1", c.newMember));
        p.addScl("B.icd", testScl("IED2"));
        const QByteArray stored = twoFiles + "<List_DA_Selected/><List_DataSet_Selected>"
            + dataSetItem(c.index, "IED1LD0/LLN0.DS1", storedMembers) + "</List_DataSet_Selected></IEC_68850_Client>";
        ASSERT_TRUE(p.Load(stored).ok);
        ASSERT_EQ(p.access.dataSets.size(), 1u);
        EXPECT_EQ(p.access.dataSetGrid.cell(DataSetColumn::Reference, 1), "IED1LD0/LLN0.DS1");
        EXPECT_EQ(p.access.dataSetGrid.cell(DataSetColumn::Time, 1), "1000");
        const DataSetEntry& entry = *p.access.dataSets[0];
        EXPECT_EQ(entry.dataSet != nullptr, c.dataSetLinked);
        QStringList kept;
        std::vector<bool> linked;
        for (const auto& m : entry.members) {
            kept << m->reference();
            linked.push_back(m->attribute != nullptr);
        }
        EXPECT_EQ(kept, QStringList({"IED1LD0/MMXU1.TotW.q", "IED1LD0/XCBR1.Pos.q"}));
        EXPECT_EQ(linked, c.membersLinked);
        EXPECT_EQ(entry.members[1]->bType(), "Quality");
        EXPECT_EQ(entry.members[0]->position, "10");
        EXPECT_EQ(entry.members[0]->bitAddress, "3");
        EXPECT_EQ(entry.members[0]->multFactor, "2,5");
        if (c.reported.isEmpty()) {
            EXPECT_TRUE(p.report.unmatchedMembersWarning(TextTable()).isEmpty());
        } else {
            ASSERT_EQ(p.report.unmatchedMembers.size(), 1);
            EXPECT_TRUE(englishMessage(p.report.unmatchedMembers[0]).contains(c.reported))
                << englishMessage(p.report.unmatchedMembers[0]).toStdString();
            EXPECT_TRUE(p.report.unmatchedMembersWarning(TextTable()).contains(englishMessage(p.report.unmatchedMembers[0])));
        }
        // Saved again, the file holds every stored member as before.
        ASSERT_TRUE(saveAccessFile(p.access, p.file));
        const QByteArray saved = readTestFile(p.file);
        EXPECT_EQ(saved.count("<DataSet_DA_Item "), 2);
        EXPECT_TRUE(saved.contains(Member("Quality", "IED1LD0/XCBR1.Pos.q", "11"))) << saved.toStdString();
    }
}

// The access file is written without a document object model, yet byte for byte as pugixml
// writes the same document, whatever the values hold.
TEST(AccessFile, SavedBytesAreThoseOfTheXmlWriter)
{
    Project p;
    auto device = std::make_unique<Ied>();
    device->name = u"Z\u00E4hler & <Co> \"1\""_qs;
    device->fileName = "a'b.icd";
    p.access.devices.push_back(std::move(device));
    QString every;
    for (char16_t c = 1; c < 128; ++c)
        every += QChar(c);
    const QStringList values = {every, u"\u20AC \U0001F600 \u00FF"_qs, u"cut\u0000off"_qs, "", "a > b", "tab\there"};
    StringGrid& vars = p.access.variableGrid;
    vars.setRowCount(static_cast<int>(values.size()) + 1);
    for (int row = 1; row <= values.size(); ++row)
        for (int col = 1; col < vars.colCount(); ++col)
            vars.setCell(col, row, values[(row + col) % values.size()]);
    p.access.dataSetGrid.setCell(DataSetColumn::Index, 1, "0");
    p.access.dataSetGrid.setCell(DataSetColumn::Mnemonic, 1, every);
    auto entry = std::make_unique<DataSetEntry>();
    auto member = std::make_unique<DataSetMember>();
    member->storedBType = "Quality";
    member->storedReference = every;
    member->mnemonic = values[1];
    entry->members.push_back(std::move(member));
    p.access.dataSets.push_back(std::move(entry));
    p.access.dataSets.push_back(std::make_unique<DataSetEntry>());
    p.access.dataSetGrid.setRowCount(3);
    p.access.dataSetGrid.setCell(DataSetColumn::Index, 2, "0");
    ASSERT_TRUE(saveAccessFile(p.access, p.file));

    // The same document through pugixml's model.
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("IEC_68850_Client");
    doc.append_child(pugi::node_comment).set_value("SW_VERSION = 1.000");
    const auto set = [](pugi::xml_node node, const char* name, const QString& value) {
        node.append_attribute(name).set_value(value.toStdString().c_str());
    };
    pugi::xml_node file = root.append_child("List_ICD_Files").append_child("ICD_File");
    set(file, "Name", p.access.devices[0]->name);
    set(file, "FileName", p.access.devices[0]->fileName);
    pugi::xml_node list = root.append_child("List_DA_Selected");
    const char* const names[] = {"Index", "bType", "fc", "Reference", "StartByte", "NumByte", "IPAddress", "Port", "OnChange",
        "OnCMD", "OnTimer", "Time", "Position", "StartBit", "ReadWrite", "Convertion", "MoltFact", "Mnemonic"};
    for (int row = 1; row < vars.rowCount(); ++row) {
        pugi::xml_node item = list.append_child("DA_Item");
        for (int col = 1; col < vars.colCount(); ++col)
            set(item, names[col - 1], vars.cell(col, row));
    }
    pugi::xml_node sets = root.append_child("List_DataSet_Selected");
    const char* const setNames[] = {"Index", "Reference", "GooseName", "EnGoose", "IPAddress", "Port", "Time", "Mnemonic"};
    for (int row = 1; row <= 2; ++row) {
        pugi::xml_node item = sets.append_child("DataSet_Item");
        for (int col = 1; col < DataSetColumn::Count; ++col)
            set(item, setNames[col - 1], p.access.dataSetGrid.cell(col, row));
        pugi::xml_node members = item.append_child("DataSet_List_DAs");
        for (const auto& m : p.access.dataSets[static_cast<size_t>(row - 1)]->members) {
            pugi::xml_node da = members.append_child("DataSet_DA_Item");
            const QString memberValues[]
                = {m->bType(), m->reference(), m->position, m->bitAddress, m->conversion, m->multFactor, m->mnemonic};
            const char* const memberNames[]
                = {"bType", "Reference", "Position", "StartBit", "Convertion", "MoltFact", "Mnemonic"};
            for (size_t i = 0; i < std::size(memberValues); ++i)
                set(da, memberNames[i], memberValues[i]);
        }
    }
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    EXPECT_EQ(readTestFile(p.file).toStdString(), out.str());
}

// A file that loading would refuse for its size is never written: the old one stays. (One
// Mnemonic of 55 MiB of "&" is 275 MiB escaped, more than the 256 MiB of an access file.)
TEST(AccessFile, AFileTooLargeToBeReadAgainIsNotWritten)
{
    Project p;
    writeTestFile(p.file, "<IEC_68850_Client/>");
    StringGrid& vars = p.access.variableGrid;
    vars.setCell(VariableColumn::Index, 1, "0");
    vars.setCell(VariableColumn::Mnemonic, 1, QString(55 * 1024 * 1024, u'&'));
    const Result saved = saveAccessFile(p.access, p.file);
    EXPECT_FALSE(saved);
    EXPECT_EQ(englishMessage(saved),
        "Cannot write " + QDir::toNativeSeparators(p.file)
            + ": it would be larger than the 256 MiB an access file may have, and could not be read again");
    EXPECT_EQ(readTestFile(p.file), "<IEC_68850_Client/>");
    EXPECT_TRUE(QDir(p.Dir.path()).entryList({"IEC_61850_Client.xml.*"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST(AccessFile, MissingCatalogFileKeepsItsPlaceSoIndexesStayRight)
{
    Project p;
    p.addScl("A.icd", testScl("IED1"));
    p.addScl("C.icd", testScl("IED3"));
    const QByteArray files
        = R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/>)"
          R"(<ICD_File Name="Gone &amp; lost" FileName="B.icd"/><ICD_File Name="IED3" FileName="C.icd"/></List_ICD_Files>)";
    ASSERT_TRUE(p.Load(files + "<List_DA_Selected/><List_DataSet_Selected>"
                     + dataSetItem("2", "IED3LD0/LLN0.DS1", Member("Quality", "IED3LD0/MMXU1.TotW.q", "7"))
                     + "</List_DataSet_Selected></IEC_68850_Client>")
                    .ok);
    ASSERT_EQ(p.access.devices.size(), 3u);
    const Ied& gap = *p.access.devices[1];
    EXPECT_TRUE(gap.fileMissing);
    EXPECT_EQ(gap.name, "Gone & lost");
    EXPECT_EQ(gap.fileName, "B.icd");
    EXPECT_TRUE(gap.logicalDevices.empty());
    EXPECT_EQ(deviceListText(gap, TextTable()), "Gone & lost [file missing: B.icd]");
    EXPECT_EQ(p.report.missingFiles, QStringList{"B.icd"});
    EXPECT_TRUE(p.report.missingFilesWarning(TextTable()).contains("B.icd"));
    // Index 2 still reaches IED3, not a shifted neighbour.
    ASSERT_EQ(p.access.dataSets[0]->members.size(), 1u);
    EXPECT_EQ(p.access.dataSets[0]->dataSet->reference, "IED3LD0/LLN0.DS1");

    // The next save writes the placeholder's entry back unchanged.
    ASSERT_TRUE(saveAccessFile(p.access, p.file).ok);
    EXPECT_TRUE(readTestFile(p.file).startsWith(files));
}

TEST(AccessFile, FileNamesNeverLeaveTheCatalog)
{
    Project p;
    writeTestFile(p.Dir.filePath("outside.icd"), testScl("OUT"));
    QDir(p.Catalog).mkpath("sub");
    p.addScl("sub/in.icd", testScl("SUB"));
    const char* names[] = {"../outside.icd", "..\\outside.icd", "sub/in.icd", "..", ""};
    QByteArray files = "<IEC_68850_Client><List_ICD_Files>";
    for (const char* n : names)
        files += QByteArray(R"(<ICD_File Name="N" FileName=")") + n + "\"/>";
    ASSERT_TRUE(p.Load(files + "</List_ICD_Files></IEC_68850_Client>").ok);
    ASSERT_EQ(p.access.devices.size(), std::size(names));
    for (size_t i = 0; i < std::size(names); ++i) {
        EXPECT_TRUE(p.access.devices[i]->fileMissing) << names[i];
        EXPECT_EQ(p.access.devices[i]->fileName, names[i]);
    }
    EXPECT_EQ(p.report.missingFiles.size(), qsizetype(std::size(names)));
}

TEST(AccessFile, MalformedFileStopsWithOneErrorAndKeepsWhatWasRead)
{
    struct Case {
        const char* name;
        QByteArray xml;
        QStringList message; // parts the error must name
        int devices, varItems, dsItems; // what was read before the fault
    };
    const QByteArray good = daItem("0", "FLOAT32", "IED1LD0/MMXU1.TotW.mag.f");
    QByteArray noPort = daItem("0", "Quality", "IED1LD0/MMXU1.TotW.q");
    noPort.replace(R"(Port="102" )", "");
    QByteArray noGoose = dataSetItem("0", "IED1LD0/LLN0.DS1", "");
    noGoose.replace(R"(GooseName="GC1" )", "");
    const Case cases[] = {
        {"not well-formed", "<IEC_68850_Client>\n<List_ICD_Files>\n<ICD_File Name=\"a\" FileName=\"A.icd\">\n</IEC_68850_Client>",
            {"IEC_61850_Client.xml", "line 4"}, 0, 0, 0},
        {"no root", "<Something/>", {"IEC_61850_Client.xml", "IEC_68850_Client"}, 0, 0, 0},
        {"ICD_File without FileName",
            R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/><ICD_File Name="X"/></List_ICD_Files></IEC_68850_Client>)",
            {"item 2 of List_ICD_Files", "FileName"}, 1, 0, 0},
        {"DA_Item without Port", twoFiles + "<List_DA_Selected>" + good + noPort + "</List_DA_Selected></IEC_68850_Client>",
            {"item 2 of List_DA_Selected", "Port"}, 2, 1, 0},
        {"DataSet_Item without GooseName",
            twoFiles + "<List_DA_Selected>" + good + "</List_DA_Selected><List_DataSet_Selected>"
                + dataSetItem("0", "IED1LD0/LLN0.DS1", "") + noGoose + "</List_DataSet_Selected></IEC_68850_Client>",
            {"item 2 of List_DataSet_Selected", "GooseName"}, 2, 1, 1},
        {"DataSet_Item with a bad Index",
            twoFiles + "<List_DA_Selected/><List_DataSet_Selected>" + dataSetItem("one", "IED1LD0/LLN0.DS1", "")
                + "</List_DataSet_Selected></IEC_68850_Client>",
            {"item 1 of List_DataSet_Selected", "Index", "one"}, 2, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        p.addScl("A.icd", testScl("IED1"));
        p.addScl("B.icd", testScl("IED2"));
        const Result r = p.Load(c.xml);
        EXPECT_FALSE(r.ok);
        for (const QString& part : c.message)
            EXPECT_TRUE(englishMessage(r).contains(part)) << c.name << ": " << englishMessage(r).toStdString();
        EXPECT_EQ(p.access.devices.size(), size_t(c.devices)) << c.name;
        EXPECT_EQ(p.access.variableGrid.rowCount(), std::max(c.varItems, 1) + 1) << c.name;
        EXPECT_EQ(p.access.variableGrid.isEmpty(), c.varItems == 0) << c.name;
        EXPECT_EQ(p.access.dataSetGrid.rowCount(), std::max(c.dsItems, 1) + 1) << c.name;
        EXPECT_EQ(p.access.dataSets.size(), size_t(c.dsItems)) << c.name;
        EXPECT_EQ(readTestFile(p.file), c.xml) << c.name;
    }
}

TEST(AccessFile, UnreadableCatalogFileKeepsItsDeviceAndEveryEntry)
{
    // A catalog copy that is not well-formed, or not SCL at all: either way its device stays a
    // placeholder and the next save writes back what was stored, byte for byte.
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"not well-formed", "<SCL><IED name=\"x\"></SCL>"},
        {"not SCL", "this is not XML"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        p.addScl("A.icd", testScl("IED1"));
        p.addScl("B.icd", testScl("IED2"));
        ASSERT_TRUE(p.Load(twoFiles + "<List_DA_Selected>" + daItem("0", "FLOAT32", "IED1LD0/MMXU1.TotW.mag.f")
                         + "</List_DA_Selected><List_DataSet_Selected>"
                         + dataSetItem("0", "IED1LD0/LLN0.DS1", Member("Quality", "IED1LD0/MMXU1.TotW.q", "7"))
                         + "</List_DataSet_Selected></IEC_68850_Client>")
                        .ok);
        ASSERT_TRUE(saveAccessFile(p.access, p.file).ok);
        const QByteArray stored = readTestFile(p.file);

        p.addScl("A.icd", c.content);
        p.report = {};
        ASSERT_TRUE(p.Load().ok);
        ASSERT_EQ(p.access.devices.size(), 2u);
        const Ied& placeholder = *p.access.devices[0];
        EXPECT_TRUE(placeholder.fileMissing);
        EXPECT_FALSE(placeholder.fileError.isEmpty());
        EXPECT_EQ(deviceListText(placeholder, TextTable()), "IED1 [file unreadable: A.icd]");
        EXPECT_TRUE(p.report.missingFiles.isEmpty());
        ASSERT_EQ(p.report.unreadableFiles.size(), 1);
        EXPECT_TRUE(p.report.unreadableFilesWarning(TextTable()).contains("A.icd"));
        EXPECT_EQ(p.access.variableGrid.rowCount(), 2);

        ASSERT_TRUE(saveAccessFile(p.access, p.file).ok);
        EXPECT_EQ(readTestFile(p.file), stored);
    }
}
