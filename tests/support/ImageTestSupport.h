#pragma once
#include "base/Files.h"
#include "image/core/DeviceImage.h"
#include "comm/core/CommunicationSettings.h"
#include "configuration/core/ConfigurationFolders.h"
#include "configuration/core/ConfigurationPaths.h"
#include "support/TestSupport.h"
#include <QDir>
#include <algorithm>
#include <utility>
#include <vector>

// Small builders of configuration files for the image tests.
namespace ImageTest {

using Attrs = std::vector<std::pair<const char*, QString>>;

inline QByteArray Element(const char* name, const Attrs& attrs, const QByteArray& inner = {})
{
    QByteArray xml = QByteArray("<") + name;
    for (const auto& [key, value] : attrs)
        xml += QByteArray(" ") + key + "=\"" + value.toHtmlEscaped().toUtf8() + "\"";
    return inner.isEmpty() ? xml + "/>" : xml + ">" + inner + "</" + name + ">";
}

// `attrs` with `changes` applied: a changed value replaces the old one, a null value removes it.
inline Attrs With(Attrs attrs, const Attrs& changes)
{
    for (const auto& [key, value] : changes) {
        auto it = std::find_if(attrs.begin(), attrs.end(), [&](const auto& a) { return QByteArray(a.first) == key; });
        if (value.isNull()) {
            if (it != attrs.end())
                attrs.erase(it);
        } else if (it != attrs.end()) {
            it->second = value;
        } else {
            attrs.emplace_back(key, value);
        }
    }
    return attrs;
}

// The variable of the one-variable example, as the access window writes it.
inline Attrs exampleVariable()
{
    return {{"Index", "0"}, {"bType", "FLOAT32"}, {"fc", "MX"}, {"Reference", "LD0/MMXU1.TotW.mag.f"}, {"StartByte", "0"},
        {"NumByte", "4"}, {"IPAddress", "192.168.0.10"}, {"Port", "102"}, {"OnChange", "Y"}, {"OnCMD", "N"}, {"OnTimer", "Y"},
        {"Time", "500"}, {"Position", "10"}, {"StartBit", "0"}, {"ReadWrite", "Read"}, {"Convertion", "None"}, {"MoltFact", "1"},
        {"Mnemonic", "Total power"}};
}

inline Attrs exampleDataSet()
{
    return {{"Index", "0"}, {"Reference", "IED1LD0/LLN0.DS1"}, {"GooseName", "GO1"}, {"EnGoose", "Y"},
        {"IPAddress", "192.168.0.11"}, {"Port", "102"}, {"Time", "2000"}, {"Mnemonic", "Feeder"}};
}

inline Attrs exampleMember(int i)
{
    return {{"bType", "INT32"}, {"Reference", QStringLiteral("IED1LD0/GGIO1.AnIn%1.mag.i").arg(i)},
        {"Position", QString::number(100 + 4 * i)}, {"StartBit", "0"}, {"Convertion", "ItoF/FtoI"}, {"MoltFact", "0.5"},
        {"Mnemonic", ""}};
}

// The members of the example data set as its SCL file (tests/fixtures/access/Example.icd) has them.
inline std::vector<Attrs> exampleMembers() { return {exampleMember(1), exampleMember(2), exampleMember(3)}; }

inline QByteArray dataSet(const Attrs& attrs, const std::vector<Attrs>& members)
{
    QByteArray inner;
    for (const Attrs& m : members)
        inner += Element("DataSet_DA_Item", m);
    return Element("DataSet_Item", attrs, Element("DataSet_List_DAs", {}, inner));
}

// An access file with the given variable items and data-set items (already serialised), whose
// one device is IED1 of the example SCL file (see writeExampleCatalog()).
inline QByteArray accessFileXml(const std::vector<Attrs>& variables, const QByteArray& dataSets = {})
{
    QByteArray list;
    for (const Attrs& v : variables)
        list += Element("DA_Item", v);
    return "<IEC_68850_Client><List_ICD_Files><ICD_File Name=\"IED1\" FileName=\"Example.icd\"/></List_ICD_Files>"
           "<List_DA_Selected>"
        + list + "</List_DA_Selected><List_DataSet_Selected>" + dataSets
        + "</List_DataSet_Selected></IEC_68850_Client><!--SW_VERSION = 1.000-->";
}

// The example SCL file in the catalog of `configurationFolder`: IED1 with the data set of
// exampleDataSet() and its three members.
inline void writeExampleCatalog(const QString& configurationFolder)
{
    const QString catalog = ConfigurationPaths(configurationFolder).catalogFolder();
    QDir().mkpath(catalog);
    writeTestFile(joinPath(catalog, QStringLiteral("Example.icd")), readTestFile(Fixture(QStringLiteral("access/Example.icd"))));
}

// A configuration folder with its image folder, made active in `state`.
struct Project {
    QTemporaryDir Dir;
    ProgramState state;
    explicit Project(const QString& name = QStringLiteral("Plant"))
    {
        state.setProgramFolder(Dir.path());
        QDir().mkpath(ConfigurationPaths(joinPath(state.projectsFolder, name)).imageFolder());
        openConfiguration(state, name);
    }
    ConfigurationPaths paths() const { return configurationPaths(state); }
    QString file(const QString& name) const { return joinPath(state.configurationFolder, name); }
    QString Bin(const QString& name) const { return joinPath(paths().imageFolder(), name); }
    void writeAccess(const QByteArray& xml) const
    {
        writeExampleCatalog(state.configurationFolder);
        writeTestFile(paths().accessFile(), xml);
    }
    void writeParGenFile(const CommunicationSettings& set) const { ::writeParGenFile(paths().communicationFile(), set); }
};

inline QByteArray bytes(std::span<const quint8> span)
{
    return QByteArray(reinterpret_cast<const char*>(span.data()), static_cast<qsizetype>(span.size()));
}

inline QByteArray Le32(quint32 v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b += static_cast<char>(v >> (8 * i));
    return b;
}

inline quint32 u32At(const QByteArray& b, qsizetype offset)
{
    quint32 value = 0;
    for (qsizetype i = 3; i >= 0; --i)
        value = value << 8 | static_cast<quint8>(b[offset + i]);
    return value;
}

} // namespace ImageTest
