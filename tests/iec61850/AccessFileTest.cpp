#include "AccessTestData.h"
#include "Access_File.h"
#include "Catalog.h"
#include "SCL_Reader.h"
#include "TestSupport.h"
#include "Files.h"
#include <pugixml.hpp>
#include <gtest/gtest.h>

namespace {

// A project folder with its catalog and the path of its access file.
struct TProject {
    QTemporaryDir Dir;
    QString Catalog = Catalog_Folder(Dir.path());
    QString File = Dir.filePath("IEC_61850_Client.xml");
    TAccess_List Access;
    TLoad_Report Report;

    TProject() { QDir().mkpath(Catalog); }
    void Add_SCL(const QString& fileName, const QByteArray& content) { Write_Test_File(Join(fileName), content); }
    QString Join(const QString& fileName) const { return Catalog + "/" + fileName; }
    TResult Load(const QByteArray& xml)
    {
        Write_Test_File(File, xml);
        return Load();
    }
    TResult Load() { return Load_Access_File(File, Catalog, Access, Report); }
};

QStringList Attribute_Names(const pugi::xml_node& node)
{
    QStringList names;
    for (const pugi::xml_attribute& a : node.attributes())
        names << QString::fromUtf8(a.name());
    return names;
}

QStringList Names(const char* const* names, int count)
{
    QStringList list;
    for (int i = 1; i < count; ++i)
        list << QString::fromLatin1(names[i]);
    return list;
}

const QByteArray Two_Files = R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/><ICD_File Name="IED2" FileName="B.icd"/></List_ICD_Files>)";

QByteArray DA_Item(const char* index, const char* bType, const char* reference, const char* startNum = R"(StartByte="" NumByte="")")
{
    return QByteArray(R"(<DA_Item Index=")") + index + R"(" bType=")" + bType + R"(" fc="MX" Reference=")" + reference + "\" " + startNum +
        R"( IPAddress="10.0.0.1" Port="102" OnChange="N" OnCMD="N" OnTimer="N" Time="" Position="1" StartBit="0" ReadWrite="Read" Convertion="None" MoltFact="None" Mnemonic="m"/>)";
}

QByteArray DataSet_Item(const char* index, const char* reference, const QByteArray& members)
{
    return QByteArray(R"(<DataSet_Item Index=")") + index + R"(" Reference=")" + reference +
        R"(" GooseName="GC1" EnGoose="Y" IPAddress="10.0.0.2" Port="102" Time="1000" Mnemonic="ds"><DataSet_List_DAs>)" + members +
        "</DataSet_List_DAs></DataSet_Item>";
}

QByteArray Member(const char* bType, const char* reference, const char* position)
{
    return QByteArray(R"(<DataSet_DA_Item bType=")") + bType + R"(" Reference=")" + reference + R"(" Position=")" + position +
        R"(" StartBit="3" Convertion="None" MoltFact="2,5" Mnemonic="x"/>)";
}

const QByteArray Stored_Members = Member("Quality", "IED1LD0/MMXU1.TotW.q", "10") + Member("Quality", "IED1LD0/XCBR1.Pos.q", "11");

} // namespace

TEST(AccessFile, SaveLoadRoundTripKeepsEveryValue)
{
    TProject p;
    p.Add_SCL("A.icd", Test_SCL("IED1"));
    p.Add_SCL("Zähler.icd", Test_SCL("Zähler"));
    for (const QString& f : {QStringLiteral("A.icd"), QStringLiteral("Zähler.icd")}) {
        std::unique_ptr<TIEC_Device> device;
        ASSERT_TRUE(Read_SCL_File(p.Join(f), device).Ok);
        p.Access.List_IEC_Dev.push_back(std::move(device));
    }

    TGrid& da = p.Access.ACG_DA;
    da.Set_Row_Count(3);
    const QStringList rows[2] = {
        {"1", "0", "FLOAT32", "MX", "IED1LD0/MMXU1.TotW.mag.f", "0", "4", "192.168.2.10", "102", "Y", "N", "Y", "500", "12", "0", "Read",
            "ItoF/FtoI", "0,5", "Pump & valve <1> \"a\""},
        {"2", "1", "VisString255", "DC", "ZählerLD0/XCBR1.NamPlt.vendor", "3", "20", "192.168.2.11", "102", "N", "Y", "N", "", "40", "",
            "", "", "None", "Température µ° 測定"},
    };
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < Var_Col::Count; ++c)
            da.Set_Cell(c, r + 1, rows[r][c]);

    TGrid& ds = p.Access.ACG_DataSet;
    const QStringList dsRow = {"1", "1", "ZählerLD0/LLN0.DS1", "GC1", "Y", "192.168.2.11", "102", "1000", "Ströme & Spannungen"};
    for (int c = 0; c < DS_Col::Count; ++c)
        ds.Set_Cell(c, 1, dsRow[c]);
    auto entry = std::make_unique<TDataSet>();
    entry->Select_DataSet = Find_DataSet(*p.Access.List_IEC_Dev[1], "ZählerLD0/LLN0.DS1");
    ASSERT_TRUE(entry->Select_DataSet);
    int position = 100;
    for (TIEC_DA* member : entry->Select_DataSet->List_DA)
        entry->List_DAs.push_back(std::make_unique<TDataSet_DA>(TDataSet_DA{member, QString::number(position++), "2", "None", "1.5", "m&m"}));
    p.Access.List_DataSet.push_back(std::move(entry));

    ASSERT_TRUE(Save_Access_File(p.Access, p.File).Ok);

    // The written structure: the root is the first node, the comment follows it, no declaration,
    // every attribute on every element in its fixed order.
    const QByteArray written = Read_Test_File(p.File);
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
    EXPECT_EQ(Attribute_Names(root.child("List_ICD_Files").first_child()), QStringList({"Name", "FileName"}));
    EXPECT_STREQ(root.child("List_ICD_Files").last_child().attribute("FileName").value(), "Zähler.icd");
    EXPECT_EQ(Attribute_Names(root.child("List_DA_Selected").first_child()), Names(Var_Attributes, Var_Col::Count));
    const pugi::xml_node dsItem = root.child("List_DataSet_Selected").first_child();
    EXPECT_EQ(Attribute_Names(dsItem), Names(DS_Attributes, DS_Col::Count));
    EXPECT_EQ(Attribute_Names(dsItem.child("DataSet_List_DAs").first_child()),
        QStringList({"bType", "Reference", "Position", "StartBit", "Convertion", "MoltFact", "Mnemonic"}));

    // Loading gives back every value, and saving again writes the same bytes.
    TAccess_List loaded;
    ASSERT_TRUE(Load_Access_File(p.File, p.Catalog, loaded, p.Report).Ok);
    EXPECT_TRUE(p.Report.Missing_Files.isEmpty() && p.Report.Dropped_Members.isEmpty());
    ASSERT_EQ(loaded.List_IEC_Dev.size(), 2u);
    EXPECT_EQ(loaded.List_IEC_Dev[1]->Name, "Zähler");
    ASSERT_EQ(loaded.ACG_DA.Row_Count(), 3);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < Var_Col::Count; ++c)
            EXPECT_EQ(loaded.ACG_DA.Cell(c, r + 1), rows[r][c]) << "row " << r + 1 << " col " << c;
    EXPECT_TRUE(loaded.ACG_DA.Read_Only(Var_Col::NumByte, 1));
    EXPECT_FALSE(loaded.ACG_DA.Read_Only(Var_Col::NumByte, 2));
    for (int c = 0; c < DS_Col::Count; ++c)
        EXPECT_EQ(loaded.ACG_DataSet.Cell(c, 1), dsRow[c]);
    ASSERT_EQ(loaded.List_DataSet.size(), 1u);
    const TDataSet& back = *loaded.List_DataSet[0];
    EXPECT_EQ(back.Select_DataSet, Find_DataSet(*loaded.List_IEC_Dev[1], "ZählerLD0/LLN0.DS1"));
    ASSERT_EQ(back.List_DAs.size(), 2u);
    EXPECT_EQ(back.List_DAs[1]->Select_DA, back.Select_DataSet->List_DA[1]);
    EXPECT_EQ(back.List_DAs[1]->Position, "101");
    EXPECT_EQ(back.List_DAs[1]->Mnemonic, "m&m");

    const QString again = p.Dir.filePath("again.xml");
    ASSERT_TRUE(Save_Access_File(loaded, again).Ok);
    EXPECT_EQ(Read_Test_File(again), written);
}

TEST(AccessFile, EmptyGridsWriteEmptyLists)
{
    TProject p;
    ASSERT_TRUE(Save_Access_File(p.Access, p.File).Ok);
    const QByteArray empty = "<IEC_68850_Client><List_ICD_Files/><List_DA_Selected/><List_DataSet_Selected/></IEC_68850_Client>"
                             "<!--SW_VERSION = 1.000-->";
    EXPECT_EQ(Read_Test_File(p.File), empty);

    // A single row counts as empty when its Index is, whatever else it holds.
    p.Access.ACG_DA.Set_Cell(Var_Col::Reference, 1, "X/Y.z");
    p.Access.ACG_DA.Set_Cell(Var_Col::Port, 1, "102");
    p.Access.ACG_DataSet.Set_Cell(DS_Col::Mnemonic, 1, "left over");
    ASSERT_TRUE(Save_Access_File(p.Access, p.File).Ok);
    EXPECT_EQ(Read_Test_File(p.File), empty);
}

TEST(AccessFile, NoFileGivesAnEmptyListAndLoadingEmptiesWhatWasThere)
{
    TProject p;
    p.Add_SCL("A.icd", Test_SCL("IED1"));
    p.Add_SCL("B.icd", Test_SCL("IED2"));
    ASSERT_TRUE(p.Load(Two_Files + "<List_DA_Selected>" + DA_Item("0", "FLOAT32", "IED1LD0/MMXU1.TotW.mag.f") + "</List_DA_Selected></IEC_68850_Client>").Ok);
    ASSERT_EQ(p.Access.List_IEC_Dev.size(), 2u);
    QFile::remove(p.File);
    ASSERT_TRUE(p.Load().Ok);
    EXPECT_TRUE(p.Access.List_IEC_Dev.empty());
    EXPECT_TRUE(p.Access.ACG_DA.Is_Empty());
    EXPECT_EQ(p.Access.ACG_DA.Row_Count(), 2);
}

TEST(AccessFile, EarlierFileWithoutStartAndNumByteLoads)
{
    TProject p;
    const char* none = "";
    ASSERT_TRUE(p.Load(Two_Files + "<List_DA_Selected>" + DA_Item("0", "FLOAT32", "IED1LD0/MMXU1.TotW.mag.f", none) +
                       DA_Item("0", "VisString255", "IED1LD0/XCBR1.NamPlt.vendor", none) + DA_Item("1", "Quality", "IED2LD0/XCBR1.Pos.q", none) +
                       "</List_DA_Selected></IEC_68850_Client>")
                    .Ok);
    const TGrid& g = p.Access.ACG_DA;
    ASSERT_EQ(g.Row_Count(), 4);
    struct TWant {
        const char* start;
        const char* num;
        bool locked;
    };
    const TWant want[] = {{"0", "4", true}, {"", "", false}, {"0", "4", true}};
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(g.Cell(Var_Col::N, r), QString::number(r));
        EXPECT_EQ(g.Cell(Var_Col::StartByte, r), want[r - 1].start) << r;
        EXPECT_EQ(g.Cell(Var_Col::NumByte, r), want[r - 1].num) << r;
        EXPECT_EQ(g.Read_Only(Var_Col::StartByte, r), want[r - 1].locked) << r;
    }
    EXPECT_EQ(g.Cell(Var_Col::Mnemonic, 3), "m");
}

TEST(AccessFile, StoredMembersAreLinkedByPositionTypeAndReference)
{
    struct TCase {
        const char* name;
        const char* index;
        bool newMember; // the SCL file got a member in the middle of DS1
        QStringList kept;
        bool linked;
        QString reported;
    };
    const TCase cases[] = {
        {"all match", "0", false, {"IED1LD0/MMXU1.TotW.q", "IED1LD0/XCBR1.Pos.q"}, true, {}},
        {"new member in the middle", "0", true, {"IED1LD0/MMXU1.TotW.q"}, true, "members no longer matching, dropped: 2 IED1LD0/XCBR1.Pos.q"},
        {"index past the devices", "2", false, {}, false, "DataSet row 1 (IED1LD0/LLN0.DS1): data set not found, its 2 stored members dropped"},
        {"index of another device", "1", false, {}, false, "data set not found"},
        {"negative index", "-1", false, {}, false, "data set not found"},
    };
    for (const auto& c : cases) {
        TProject p;
        p.Add_SCL("A.icd", Test_SCL("IED1", c.newMember));
        p.Add_SCL("B.icd", Test_SCL("IED2"));
        ASSERT_TRUE(p.Load(Two_Files + "<List_DA_Selected/><List_DataSet_Selected>" + DataSet_Item(c.index, "IED1LD0/LLN0.DS1", Stored_Members) +
                           "</List_DataSet_Selected></IEC_68850_Client>")
                        .Ok)
            << c.name;
        ASSERT_EQ(p.Access.List_DataSet.size(), 1u) << c.name;
        EXPECT_EQ(p.Access.ACG_DataSet.Cell(DS_Col::Reference, 1), "IED1LD0/LLN0.DS1") << c.name;
        EXPECT_EQ(p.Access.ACG_DataSet.Cell(DS_Col::Time, 1), "1000") << c.name;
        const TDataSet& entry = *p.Access.List_DataSet[0];
        EXPECT_EQ(entry.Select_DataSet != nullptr, c.linked) << c.name;
        QStringList kept;
        for (const auto& m : entry.List_DAs)
            kept << m->Select_DA->Reference;
        EXPECT_EQ(kept, c.kept) << c.name;
        if (!entry.List_DAs.empty()) {
            EXPECT_EQ(entry.List_DAs[0]->Position, "10");
            EXPECT_EQ(entry.List_DAs[0]->bitAddress, "3");
            EXPECT_EQ(entry.List_DAs[0]->multFactor, "2,5");
        }
        if (c.reported.isEmpty())
            EXPECT_TRUE(p.Report.Dropped_Members_Warning().isEmpty()) << c.name;
        else {
            ASSERT_EQ(p.Report.Dropped_Members.size(), 1) << c.name;
            EXPECT_TRUE(p.Report.Dropped_Members[0].contains(c.reported)) << p.Report.Dropped_Members[0].toStdString();
            EXPECT_TRUE(p.Report.Dropped_Members_Warning().contains(p.Report.Dropped_Members[0]));
        }
    }
}

TEST(AccessFile, MissingCatalogFileKeepsItsPlaceSoIndexesStayRight)
{
    TProject p;
    p.Add_SCL("A.icd", Test_SCL("IED1"));
    p.Add_SCL("C.icd", Test_SCL("IED3"));
    const QByteArray files = R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/>)"
                             R"(<ICD_File Name="Gone &amp; lost" FileName="B.icd"/><ICD_File Name="IED3" FileName="C.icd"/></List_ICD_Files>)";
    ASSERT_TRUE(p.Load(files + "<List_DA_Selected/><List_DataSet_Selected>" +
                       DataSet_Item("2", "IED3LD0/LLN0.DS1", Member("Quality", "IED3LD0/MMXU1.TotW.q", "7")) + "</List_DataSet_Selected></IEC_68850_Client>")
                    .Ok);
    ASSERT_EQ(p.Access.List_IEC_Dev.size(), 3u);
    const TIEC_Device& gap = *p.Access.List_IEC_Dev[1];
    EXPECT_TRUE(gap.File_Missing);
    EXPECT_EQ(gap.Name, "Gone & lost");
    EXPECT_EQ(gap.FileName, "B.icd");
    EXPECT_TRUE(gap.List_LDevice.empty());
    EXPECT_EQ(Device_List_Text(gap), "Gone & lost [file missing: B.icd]");
    EXPECT_EQ(p.Report.Missing_Files, QStringList{"B.icd"});
    EXPECT_TRUE(p.Report.Missing_Files_Warning().contains("B.icd"));
    // Index 2 still reaches IED3, not a shifted neighbour.
    ASSERT_EQ(p.Access.List_DataSet[0]->List_DAs.size(), 1u);
    EXPECT_EQ(p.Access.List_DataSet[0]->Select_DataSet->Reference, "IED3LD0/LLN0.DS1");

    // The next save writes the placeholder's entry back unchanged.
    ASSERT_TRUE(Save_Access_File(p.Access, p.File).Ok);
    EXPECT_TRUE(Read_Test_File(p.File).startsWith(files));
}

TEST(AccessFile, FileNamesNeverLeaveTheCatalog)
{
    TProject p;
    Write_Test_File(p.Dir.filePath("outside.icd"), Test_SCL("OUT"));
    QDir(p.Catalog).mkpath("sub");
    p.Add_SCL("sub/in.icd", Test_SCL("SUB"));
    const char* names[] = {"../outside.icd", "..\\outside.icd", "sub/in.icd", "..", ""};
    QByteArray files = "<IEC_68850_Client><List_ICD_Files>";
    for (const char* n : names)
        files += QByteArray(R"(<ICD_File Name="N" FileName=")") + n + "\"/>";
    ASSERT_TRUE(p.Load(files + "</List_ICD_Files></IEC_68850_Client>").Ok);
    ASSERT_EQ(p.Access.List_IEC_Dev.size(), std::size(names));
    for (size_t i = 0; i < std::size(names); ++i) {
        EXPECT_TRUE(p.Access.List_IEC_Dev[i]->File_Missing) << names[i];
        EXPECT_EQ(p.Access.List_IEC_Dev[i]->FileName, names[i]);
    }
    EXPECT_EQ(p.Report.Missing_Files.size(), qsizetype(std::size(names)));
}

TEST(AccessFile, MalformedFileStopsWithOneErrorAndKeepsWhatWasRead)
{
    struct TCase {
        const char* name;
        QByteArray xml;
        QStringList message; // parts the error must name
        int devices, varItems, dsItems; // what was read before the fault
    };
    const QByteArray good = DA_Item("0", "FLOAT32", "IED1LD0/MMXU1.TotW.mag.f");
    QByteArray noPort = DA_Item("0", "Quality", "IED1LD0/MMXU1.TotW.q");
    noPort.replace(R"(Port="102" )", "");
    QByteArray noGoose = DataSet_Item("0", "IED1LD0/LLN0.DS1", "");
    noGoose.replace(R"(EnGoose="Y" )", "");
    const TCase cases[] = {
        {"not well-formed", "<IEC_68850_Client>\n<List_ICD_Files>\n<ICD_File Name=\"a\" FileName=\"A.icd\">\n</IEC_68850_Client>",
            {"IEC_61850_Client.xml", "line 4"}, 0, 0, 0},
        {"no root", "<Something/>", {"IEC_61850_Client.xml", "IEC_68850_Client"}, 0, 0, 0},
        {"ICD_File without FileName", R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/><ICD_File Name="X"/></List_ICD_Files></IEC_68850_Client>)",
            {"ICD_File 2", "FileName"}, 1, 0, 0},
        {"DA_Item without Port", Two_Files + "<List_DA_Selected>" + good + noPort + "</List_DA_Selected></IEC_68850_Client>", {"DA_Item 2", "Port"}, 2, 1, 0},
        {"DataSet_Item without EnGoose", Two_Files + "<List_DA_Selected>" + good + "</List_DA_Selected><List_DataSet_Selected>" +
                DataSet_Item("0", "IED1LD0/LLN0.DS1", "") + noGoose + "</List_DataSet_Selected></IEC_68850_Client>",
            {"DataSet_Item 2", "EnGoose"}, 2, 1, 1},
        {"DataSet_Item with a bad Index", Two_Files + "<List_DA_Selected/><List_DataSet_Selected>" + DataSet_Item("one", "IED1LD0/LLN0.DS1", "") +
                "</List_DataSet_Selected></IEC_68850_Client>",
            {"DataSet_Item 1", "Index", "one"}, 2, 0, 0},
    };
    for (const auto& c : cases) {
        TProject p;
        p.Add_SCL("A.icd", Test_SCL("IED1"));
        p.Add_SCL("B.icd", Test_SCL("IED2"));
        const TResult r = p.Load(c.xml);
        EXPECT_FALSE(r.Ok) << c.name;
        for (const QString& part : c.message)
            EXPECT_TRUE(r.Message.contains(part)) << c.name << ": " << r.Message.toStdString();
        EXPECT_EQ(p.Access.List_IEC_Dev.size(), size_t(c.devices)) << c.name;
        EXPECT_EQ(p.Access.ACG_DA.Row_Count(), std::max(c.varItems, 1) + 1) << c.name;
        EXPECT_EQ(p.Access.ACG_DA.Is_Empty(), c.varItems == 0) << c.name;
        EXPECT_EQ(p.Access.ACG_DataSet.Row_Count(), std::max(c.dsItems, 1) + 1) << c.name;
        EXPECT_EQ(p.Access.List_DataSet.size(), size_t(c.dsItems)) << c.name;
        EXPECT_EQ(Read_Test_File(p.File), c.xml) << c.name;
    }
}

TEST(AccessFile, UnreadableCatalogFileStopsLoading)
{
    TProject p;
    p.Add_SCL("A.icd", "<SCL><IED name=\"x\"></SCL>");
    p.Add_SCL("B.icd", Test_SCL("IED2"));
    const TResult r = p.Load(Two_Files + "</IEC_68850_Client>");
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Message.contains("A.icd")) << r.Message.toStdString();
    EXPECT_TRUE(p.Access.List_IEC_Dev.empty());
}
