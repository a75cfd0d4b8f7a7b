#include "Settings.h"
#include "Files.h"
#include "XmlFile.h"
#include <QFileInfo>

QString Settings_File(const TProgramState& state)
{
    return Join_Path(state.Program_Folder, QStringLiteral("Tessav.xml"));
}

void Read_Settings(const QString& path, TProgramState& state)
{
    const TProgramState defaults;
    state.Project_Name = defaults.Project_Name;
    state.Last_IP_Address = defaults.Last_IP_Address;
    state.Language_Name = defaults.Language_Name;
    state.Enable_Internet = state.Enable_Update = state.Enable_Jump_Field_Tables = state.Double_Click_Auto_Size = false;

    pugi::xml_document doc;
    if (!QFileInfo(path).isFile() || !Load_Xml_File(path, doc))
        return;
    // The root is the document's first node, whatever its name.
    const pugi::xml_node root = doc.first_child();
    auto text = [&](const char* group, const char* item) { return Xml_Child_Text(root.child(group), item); };
    auto flag = [&](const char* item) { return text("lastinternet", item) == QStringLiteral("1"); };

    state.Project_Name = text("lastproj", "projectname").value_or(defaults.Project_Name);
    state.Last_IP_Address = text("lastipadd", "ipaddress").value_or(defaults.Last_IP_Address);
    state.Language_Name = text("lastlang", "language").value_or(defaults.Language_Name);
    state.Enable_Internet = flag("enable_internet");
    state.Enable_Update = flag("enable_update");
    state.Enable_Jump_Field_Tables = flag("enable_jump_field_tables");
    state.Double_Click_Auto_Size = flag("Double_Click_Auto_Size");
}

TResult Write_Settings(const QString& path, const TProgramState& state)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Conf_Settings");
    auto add = [](pugi::xml_node parent, const char* name, const QString& value) {
        parent.append_child(name).text().set(QString_To_Xml(value).c_str());
    };
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    add(root.append_child("lastproj"), "projectname", state.Project_Name);
    add(root.append_child("lastipadd"), "ipaddress", state.Last_IP_Address);
    add(root.append_child("lastlang"), "language", state.Language_Name);
    pugi::xml_node internet = root.append_child("lastinternet");
    add(internet, "enable_internet", flag(state.Enable_Internet));
    add(internet, "enable_update", flag(state.Enable_Update));
    add(internet, "enable_jump_field_tables", flag(state.Enable_Jump_Field_Tables));
    add(internet, "Double_Click_Auto_Size", flag(state.Double_Click_Auto_Size));
    return Save_Xml_File(doc, path);
}
