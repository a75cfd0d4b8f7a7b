#include "base/Settings.h"
#include "base/Files.h"
#include "base/XmlFile.h"
#include <QFileInfo>

QString settingsFile(const ProgramState& state) { return joinPath(state.programFolder, QStringLiteral("Tessav.xml")); }

void readSettings(const QString& path, ProgramState& state)
{
    const ProgramState defaults;
    state.configurationName = defaults.configurationName;
    state.lastIpAddress = defaults.lastIpAddress;
    state.languageName = defaults.languageName;
    state.enableInternet = state.enableUpdate = state.enableJumpFieldTables = state.doubleClickAutoSize = false;

    pugi::xml_document doc;
    if (!QFileInfo(path).isFile() || !loadXmlFile(path, doc, settingsFileLimit))
        return;
    // The root is the document's first node, whatever its name.
    const pugi::xml_node root = doc.first_child();
    auto text = [&](const char* group, const char* item) { return xmlChildText(root.child(group), item); };
    auto flag = [&](const char* item) { return text("lastinternet", item) == QStringLiteral("1"); };

    state.configurationName = text("lastproj", "projectname").value_or(defaults.configurationName);
    state.lastIpAddress = text("lastipadd", "ipaddress").value_or(defaults.lastIpAddress);
    state.languageName = text("lastlang", "language").value_or(defaults.languageName);
    state.enableInternet = flag("enable_internet");
    state.enableUpdate = flag("enable_update");
    state.enableJumpFieldTables = flag("enable_jump_field_tables");
    state.doubleClickAutoSize = flag("Double_Click_Auto_Size");
}

Result writeSettings(const QString& path, const ProgramState& state)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Conf_Settings");
    auto add = [](pugi::xml_node parent, const char* name, const QString& value) {
        parent.append_child(name).text().set(qStringToXml(value).c_str());
    };
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    add(root.append_child("lastproj"), "projectname", state.configurationName);
    add(root.append_child("lastipadd"), "ipaddress", state.lastIpAddress);
    add(root.append_child("lastlang"), "language", state.languageName);
    pugi::xml_node internet = root.append_child("lastinternet");
    add(internet, "enable_internet", flag(state.enableInternet));
    add(internet, "enable_update", flag(state.enableUpdate));
    add(internet, "enable_jump_field_tables", flag(state.enableJumpFieldTables));
    add(internet, "Double_Click_Auto_Size", flag(state.doubleClickAutoSize));
    return saveXmlFile(doc, path, settingsFileLimit);
}
