#include "update/core/UpdateDescriptor.h"
#include "base/Constants.h"
#include "base/Files.h"
#include "base/XmlFile.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QDir>

QString updaterFileName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Ethernet_Update.exe");
#else
    return QStringLiteral("Ethernet_Update");
#endif
}

QString updaterProgram(const QString& programFolder)
{
    return QDir::toNativeSeparators(joinPath(programFolder, updaterFileName()));
}

QString updateDescriptorFile(const QString& programFolder)
{
    return joinPath(programFolder, QStringLiteral("Ethernet_Update.xml"));
}

QString firmwareFile(const QString& masterFolder) { return joinPath(masterFolder, QStringLiteral("SimQuelmor.sim")); }

namespace {

// What sets the firmware and the two banks apart; everything else is common.
struct Operation {
    QString file;
    const char* startAddress;
    const char* bankType;
    const char* writeCss;
    bool last;
};

void addText(pugi::xml_node parent, const char* name, const QString& text)
{
    parent.append_child(name).text().set(qStringToXml(text).c_str());
}

void addOperation(pugi::xml_node operations, const Operation& op, bool readBack)
{
    pugi::xml_node node = operations.append_child("Operation");
    const struct {
        const char* name;
        QString text;
    } children[] = {
        {"Ope_Protection_Enabled", {}},
        {"Ope_GoToBoot_Before", "0"},
        {"Ope_GoToApp_Before", "0"},
        {"Ope_IP_Address", {}},
        {"Ope_Port", "2008"},
        {"Ope_Port_Sec", "2007"},
        {"Ope_Erase_Memory", "0"},
        {"Ope_FileName", op.file},
        {"Ope_Start_Address", op.startAddress},
        {"Ope_Memory_Type", "0"},
        {"Ope_Bank_Type", op.bankType},
        {"Ope_Read_Back", readBack ? "1" : "0"},
        {"Ope_Write_CSS", op.writeCss},
        {"Ope_Address_CSS", "0x07A00"},
        {"Ope_Command_CSS", "0x02"},
        {"Ope_Write_Internal_Data", "0"},
        {"Ope_WID_Address", "0x07810"},
        {"Ope_WID_Command", "0x02"},
        {"Ope_WID_Data", "0x00, 0x00, 0x00, 0x01"},
        {"Ope_GoToApp_After", op.last ? "1" : "0"},
    };
    for (const auto& child : children)
        addText(node, child.name, child.text);
}

} // namespace

void buildUpdateDescriptor(const UpdateRequest& request, pugi::xml_document& doc)
{
    doc.reset();
    pugi::xml_node root = doc.append_child("Ethernet_Update");
    addText(root, "Version", "1000");
    addText(root, "Title", MakerLabel + QStringLiteral(" - SWQuelmor Ethernet Update"));
    addText(root, "IP_Address_Dev", request.address);
    addText(root, "Application_Port", "10000");
    addText(root, "Boot_Port", "2008");
    addText(root, "Boot_Port_Sec", "2007");
    addText(root, "Address_Protection", "0x07800");
    addText(root.append_child("Protections"), "Protection", "0x3D9");
    pugi::xml_node operations = root.append_child("Operations");

    const bool firmware = includesFirmware(request.option);
    const bool banks = request.option == FirmwareAndConfiguration || request.option == Configuration;
    // Paths as the platform writes them: the updater runs on the same system.
    if (firmware)
        addOperation(operations, {QDir::toNativeSeparators(firmwareFile(request.masterFolder)), "0x8000", "1", "1", !banks},
            request.readBack);
    if (banks) {
        const ConfigurationPaths configuration(request.configurationFolder);
        addOperation(
            operations, {QDir::toNativeSeparators(configuration.bank1File()), "0x07000", "2", "0", false}, request.readBack);
        addOperation(
            operations, {QDir::toNativeSeparators(configuration.bank2File()), "0x80000", "2", "0", true}, request.readBack);
    }
}

Result writeUpdateDescriptor(const UpdateRequest& request, const QString& programFolder)
{
    pugi::xml_document doc;
    buildUpdateDescriptor(request, doc);
    return saveXmlFile(doc, updateDescriptorFile(programFolder));
}
