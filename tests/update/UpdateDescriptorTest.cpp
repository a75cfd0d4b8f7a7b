#include "support/TestSupport.h"
#include "base/TextTable.h"
#include "update/core/UpdateDescriptor.h"
#include "base/XmlFile.h"
#include <gtest/gtest.h>

namespace {

using Elements = std::vector<std::pair<QString, QString>>;

const char* const operationElements[20] = {"Ope_Protection_Enabled", "Ope_GoToBoot_Before", "Ope_GoToApp_Before",
    "Ope_IP_Address", "Ope_Port", "Ope_Port_Sec", "Ope_Erase_Memory", "Ope_FileName", "Ope_Start_Address", "Ope_Memory_Type",
    "Ope_Bank_Type", "Ope_Read_Back", "Ope_Write_CSS", "Ope_Address_CSS", "Ope_Command_CSS", "Ope_Write_Internal_Data",
    "Ope_WID_Address", "Ope_WID_Command", "Ope_WID_Data", "Ope_GoToApp_After"};

enum Kind { FW, B1, B2 };

// One column of the operation table, written out in full.
Elements expectedOperation(Kind kind, const QString& file, bool readBack, bool last)
{
    const QString texts[20] = {"", "0", "0", "", "2008", "2007", "0", file,
        kind == FW       ? "0x8000"
            : kind == B1 ? "0x07000"
                         : "0x80000",
        "0", kind == FW ? "1" : "2", readBack ? "1" : "0", kind == FW ? "1" : "0", "0x07A00", "0x02", "0", "0x07810", "0x02",
        "0x00, 0x00, 0x00, 0x01", last ? "1" : "0"};
    Elements elements;
    for (int i = 0; i < 20; ++i)
        elements.emplace_back(operationElements[i], texts[i]);
    return elements;
}

Elements children(const pugi::xml_node& node)
{
    Elements elements;
    for (const pugi::xml_node& child : node.children())
        elements.emplace_back(QString::fromUtf8(child.name()), QString::fromUtf8(child.text().get()));
    return elements;
}

bool hasAttributes(const pugi::xml_node& node)
{
    if (node.first_attribute())
        return true;
    for (const pugi::xml_node& child : node.children())
        if (hasAttributes(child))
            return true;
    return false;
}

struct DescriptorFolder {
    QTemporaryDir Dir;
    QString Program = Dir.path();
    QString Master = Dir.filePath("MASTER");
    QString Project(const QString& name) const { return Dir.filePath("PROJECTS/" + name); }
    QString Native(const QString& path) const { return QDir::toNativeSeparators(path); }
};

} // namespace

TEST(UpdateDescriptor, EachOptionFollowsTheTables)
{
    DescriptorFolder f;
    const QString project = f.Project("Plant A");
    const QString firmware = f.Native(f.Master + "/SimQuelmor.sim");
    const QString bank1 = f.Native(project + "/bin/bank1.bin");
    const QString bank2 = f.Native(project + "/bin/bank2.bin");
    struct Case {
        const char* address;
        int option;
        bool readBack;
        std::vector<Elements> operations;
    };
    const Case cases[] = {
        {"192.168.0.5", FirmwareAndConfiguration, true,
            {expectedOperation(FW, firmware, true, false), expectedOperation(B1, bank1, true, false),
                expectedOperation(B2, bank2, true, true)}},
        {"10.0.0.7", Firmware, false, {expectedOperation(FW, firmware, false, true)}},
        {"192.168.000.5", Configuration, true,
            {expectedOperation(B1, bank1, true, false), expectedOperation(B2, bank2, true, true)}},
        {"1.2.3.4", Configuration, false,
            {expectedOperation(B1, bank1, false, false), expectedOperation(B2, bank2, false, true)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        ASSERT_TRUE(writeUpdateDescriptor({c.address, c.option, c.readBack, f.Master, project}, f.Program));
        const QString file = f.Dir.filePath("Ethernet_Update.xml");
        EXPECT_EQ(updateDescriptorFile(f.Program), f.Program + "/" + "Ethernet_Update.xml");

        // One node at document level, raw, no declaration.
        const QByteArray bytes = readTestFile(file);
        EXPECT_TRUE(bytes.startsWith("<Ethernet_Update><Version>1000</Version>")) << bytes.left(60).toStdString();
        EXPECT_TRUE(bytes.endsWith("</Operations></Ethernet_Update>"));
        EXPECT_FALSE(bytes.contains('\n'));
        pugi::xml_document doc;
        ASSERT_TRUE(loadXmlFile(file, doc));
        const pugi::xml_node root = doc.first_child();
        EXPECT_STREQ(root.name(), "Ethernet_Update");
        EXPECT_FALSE(root.next_sibling());
        EXPECT_FALSE(hasAttributes(root));

        const Elements rootElements = {{"Version", "1000"}, {"Title", "Tessav - SWQuelmor Ethernet Update"},
            {"IP_Address_Dev", c.address}, {"Application_Port", "10000"}, {"Boot_Port", "2008"}, {"Boot_Port_Sec", "2007"},
            {"Address_Protection", "0x07800"}, {"Protections", ""}, {"Operations", ""}};
        EXPECT_EQ(children(root), rootElements);
        EXPECT_EQ(children(root.child("Protections")), (Elements{{"Protection", "0x3D9"}}));
        std::vector<Elements> operations;
        for (const pugi::xml_node& op : root.child("Operations").children()) {
            EXPECT_STREQ(op.name(), "Operation");
            operations.push_back(children(op));
        }
        EXPECT_EQ(operations, c.operations);
    }
}

TEST(UpdateDescriptor, SecondRunReplacesTheFirst)
{
    DescriptorFolder f;
    ASSERT_TRUE(writeUpdateDescriptor({"10.0.0.1", FirmwareAndConfiguration, true, f.Master, f.Project("First")}, f.Program));
    ASSERT_TRUE(writeUpdateDescriptor({"10.0.0.2", Configuration, false, f.Master, f.Project("Second")}, f.Program));
    const QByteArray bytes = readTestFile(f.Dir.filePath("Ethernet_Update.xml"));
    EXPECT_FALSE(bytes.contains("First"));
    EXPECT_FALSE(bytes.contains("10.0.0.1"));
    EXPECT_FALSE(bytes.contains("SimQuelmor.sim"));
    EXPECT_EQ(bytes.count("<Operation>"), 2);
    EXPECT_TRUE(bytes.contains(f.Native(f.Project("Second") + "/bin/bank2.bin").toUtf8()));
    EXPECT_EQ(QDir(f.Program).entryList(QDir::Files), QStringList{"Ethernet_Update.xml"}); // no temporary file left
}

TEST(UpdateDescriptor, FailedWriteIsReported)
{
    DescriptorFolder f;
    QDir(f.Program).mkdir("Ethernet_Update.xml"); // a folder where the file should go
    const Result result = writeUpdateDescriptor({"10.0.0.1", Firmware, true, f.Master, f.Project("A")}, f.Program);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(englishMessage(result).contains("Ethernet_Update.xml")) << englishMessage(result).toStdString();
}
