#include "base/Settings.h"
#include "base/Files.h"
#include "base/ProgramFolder.h"
#include "base/XmlFile.h"
#include <QFileInfo>
#include <QLockFile>

QString settingsFile(const ProgramState& state) { return joinPath(state.programFolder, settingsFileName); }

namespace {

// The values the file at `path` holds, each with its own default; none when the file is
// missing or not XML.
std::optional<RememberedValues> readValues(const QString& path)
{
    pugi::xml_document doc;
    if (!QFileInfo(path).isFile() || !loadXmlFile(path, doc, settingsFileLimit))
        return std::nullopt;
    const RememberedValues defaults = ProgramState().rememberedValues();
    // The root is the document's first node, whatever its name.
    const pugi::xml_node root = doc.first_child();
    auto text = [&](const char* group, const char* item) { return xmlChildText(root.child(group), item); };
    auto flag = [&](const char* item) { return text("lastinternet", item) == QStringLiteral("1"); };
    RememberedValues values;
    values.configurationName = text("lastproj", "projectname").value_or(defaults.configurationName);
    values.lastIpAddress = text("lastipadd", "ipaddress").value_or(defaults.lastIpAddress);
    values.languageName = text("lastlang", "language").value_or(defaults.languageName);
    values.enableInternet = flag("enable_internet");
    values.enableUpdate = flag("enable_update");
    values.enableJumpFieldTables = flag("enable_jump_field_tables");
    values.doubleClickAutoSize = flag("Double_Click_Auto_Size");
    return values;
}

} // namespace

void readSettings(const QString& path, ProgramState& state)
{
    const RememberedValues values = readValues(path).value_or(ProgramState().rememberedValues());
    state.setRememberedValues(values);
    state.settingsBaseline = values;
}

Result writeSettings(const QString& path, ProgramState& state)
{
    // Two instances closing at once must not interleave their reading and writing.
    QLockFile guard(path + QStringLiteral(".lock"));
    guard.setStaleLockTime(0);
    guard.tryLock(2000); // without it (a folder that cannot be written, say) the write goes on

    const RememberedValues mine = state.rememberedValues();
    const RememberedValues baseline = state.settingsBaseline.value_or(ProgramState().rememberedValues());
    RememberedValues out = mine;
    if (const std::optional<RememberedValues> onDisk = readValues(path)) {
        const auto keepUnchanged = [&](auto member) {
            if (mine.*member == baseline.*member)
                out.*member = (*onDisk).*member;
        };
        keepUnchanged(&RememberedValues::configurationName);
        keepUnchanged(&RememberedValues::lastIpAddress);
        keepUnchanged(&RememberedValues::languageName);
        keepUnchanged(&RememberedValues::enableInternet);
        keepUnchanged(&RememberedValues::enableUpdate);
        keepUnchanged(&RememberedValues::enableJumpFieldTables);
        keepUnchanged(&RememberedValues::doubleClickAutoSize);
    }

    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Conf_Settings");
    auto add = [](pugi::xml_node parent, const char* name, const QString& value) {
        parent.append_child(name).text().set(qStringToXml(value).c_str());
    };
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    add(root.append_child("lastproj"), "projectname", out.configurationName);
    add(root.append_child("lastipadd"), "ipaddress", out.lastIpAddress);
    add(root.append_child("lastlang"), "language", out.languageName);
    pugi::xml_node internet = root.append_child("lastinternet");
    add(internet, "enable_internet", flag(out.enableInternet));
    add(internet, "enable_update", flag(out.enableUpdate));
    add(internet, "enable_jump_field_tables", flag(out.enableJumpFieldTables));
    add(internet, "Double_Click_Auto_Size", flag(out.doubleClickAutoSize));
    Result saved = saveXmlFile(doc, path, settingsFileLimit);
    if (saved)
        state.settingsBaseline = mine;
    return saved;
}
