#include "UpdateDescriptor.h"
#include "Constants.h"
#include "Files.h"
#include "XmlFile.h"
#include <QDir>

QString Updater_File_Name()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Ethernet_Update.exe");
#else
    return QStringLiteral("Ethernet_Update");
#endif
}

QString Updater_Program(const QString& programFolder)
{
    return QDir::toNativeSeparators(Join_Path(programFolder, Updater_File_Name()));
}

QString Update_Descriptor_File(const QString& programFolder)
{
    return Join_Path(programFolder, QStringLiteral("Ethernet_Update.xml"));
}

namespace {

// What sets the firmware and the two banks apart; everything else is common.
struct TOperation {
    QString File;
    const char* Start_Address;
    const char* Bank_Type;
    const char* Write_CSS;
    bool Last;
};

void Add_Text(pugi::xml_node parent, const char* name, const QString& text)
{
    parent.append_child(name).text().set(QString_To_Xml(text).c_str());
}

void Add_Operation(pugi::xml_node operations, const TOperation& op, bool readBack)
{
    pugi::xml_node node = operations.append_child("Operation");
    const struct {
        const char* Name;
        QString Text;
    } children[] = {
        {"Ope_Protection_Enabled", {}},
        {"Ope_GoToBoot_Before", "0"},
        {"Ope_GoToApp_Before", "0"},
        {"Ope_IP_Address", {}},
        {"Ope_Port", "2008"},
        {"Ope_Port_Sec", "2007"},
        {"Ope_Erase_Memory", "0"},
        {"Ope_FileName", op.File},
        {"Ope_Start_Address", op.Start_Address},
        {"Ope_Memory_Type", "0"},
        {"Ope_Bank_Type", op.Bank_Type},
        {"Ope_Read_Back", readBack ? "1" : "0"},
        {"Ope_Write_CSS", op.Write_CSS},
        {"Ope_Address_CSS", "0x07A00"},
        {"Ope_Command_CSS", "0x02"},
        {"Ope_Write_Internal_Data", "0"},
        {"Ope_WID_Address", "0x07810"},
        {"Ope_WID_Command", "0x02"},
        {"Ope_WID_Data", "0x00, 0x00, 0x00, 0x01"},
        {"Ope_GoToApp_After", op.Last ? "1" : "0"},
    };
    for (const auto& child : children)
        Add_Text(node, child.Name, child.Text);
}

} // namespace

void Build_Update_Descriptor(const TUpdate_Request& request, pugi::xml_document& doc)
{
    doc.reset();
    pugi::xml_node root = doc.append_child("Ethernet_Update");
    Add_Text(root, "Version", "1000");
    Add_Text(root, "Title", MakerLabel + QStringLiteral(" - SWQuelmor Ethernet Update"));
    Add_Text(root, "IP_Address_Dev", request.Address);
    Add_Text(root, "Application_Port", "10000");
    Add_Text(root, "Boot_Port", "2008");
    Add_Text(root, "Boot_Port_Sec", "2007");
    Add_Text(root, "Address_Protection", "0x07800");
    Add_Text(root.append_child("Protections"), "Protection", "0x3D9");
    pugi::xml_node operations = root.append_child("Operations");

    const bool firmware = request.Option == Firmware_And_Configuration || request.Option == Firmware;
    const bool banks = request.Option == Firmware_And_Configuration || request.Option == Configuration;
    // Paths as the platform writes them: the updater runs on the same system.
    auto file = [](const QString& folder, const QString& name) { return QDir::toNativeSeparators(Join_Path(folder, name)); };
    if (firmware)
        Add_Operation(operations, {file(request.Master_Folder, "SimQuelmor.sim"), "0x8000", "1", "1", !banks}, request.Read_Back);
    if (banks) {
        const QString bin = Join_Path(request.Project_Folder, "bin");
        Add_Operation(operations, {file(bin, "bank1.bin"), "0x07000", "2", "0", false}, request.Read_Back);
        Add_Operation(operations, {file(bin, "bank2.bin"), "0x80000", "2", "0", true}, request.Read_Back);
    }
}

TResult Compile_XML_Parameter_New_Boot(const TUpdate_Request& request, const QString& programFolder)
{
    pugi::xml_document doc;
    Build_Update_Descriptor(request, doc);
    return Save_Xml_File(doc, Update_Descriptor_File(programFolder));
}
