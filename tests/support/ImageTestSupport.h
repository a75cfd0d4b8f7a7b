#pragma once
#include "Files.h"
#include "ImageBuild.h"
#include "ParGen.h"
#include "TestSupport.h"
#include <QDir>
#include <algorithm>
#include <utility>
#include <vector>

// Small builders of project files for the image tests.
namespace Image_Test {

using TAttrs = std::vector<std::pair<const char*, QString>>;

inline QByteArray Element(const char* name, const TAttrs& attrs, const QByteArray& inner = {})
{
    QByteArray xml = QByteArray("<") + name;
    for (const auto& [key, value] : attrs)
        xml += QByteArray(" ") + key + "=\"" + value.toHtmlEscaped().toUtf8() + "\"";
    return inner.isEmpty() ? xml + "/>" : xml + ">" + inner + "</" + name + ">";
}

// `attrs` with `changes` applied: a changed value replaces the old one, a null value removes it.
inline TAttrs With(TAttrs attrs, const TAttrs& changes)
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
inline TAttrs Example_Variable()
{
    return {{"Index", "0"}, {"bType", "FLOAT32"}, {"fc", "MX"}, {"Reference", "LD0/MMXU1.TotW.mag.f"}, {"StartByte", "0"},
        {"NumByte", "4"}, {"IPAddress", "192.168.0.10"}, {"Port", "102"}, {"OnChange", "Y"}, {"OnCMD", "N"}, {"OnTimer", "Y"},
        {"Time", "500"}, {"Position", "10"}, {"StartBit", "0"}, {"ReadWrite", "Read"}, {"Convertion", "None"}, {"MoltFact", "1"},
        {"Mnemonic", "Total power"}};
}

inline TAttrs Example_DataSet()
{
    return {{"Index", "0"}, {"Reference", "IED1LD0/LLN0.DS1"}, {"GooseName", "GO1"}, {"EnGoose", "Y"}, {"IPAddress", "192.168.0.11"},
        {"Port", "102"}, {"Time", "2000"}, {"Mnemonic", "Feeder"}};
}

inline TAttrs Example_Member(int i)
{
    return {{"bType", "INT32"}, {"Reference", QStringLiteral("IED1LD0/GGIO1.AnIn%1.mag.i").arg(i)}, {"Position", QString::number(100 + 4 * i)},
        {"StartBit", "0"}, {"Convertion", "ItoF/FtoI"}, {"MoltFact", "0.5"}, {"Mnemonic", ""}};
}

inline QByteArray Data_Set(const TAttrs& attrs, const std::vector<TAttrs>& members)
{
    QByteArray inner;
    for (const TAttrs& m : members)
        inner += Element("DataSet_DA_Item", m);
    return Element("DataSet_Item", attrs, Element("DataSet_List_DAs", {}, inner));
}

// An access file with the given variable items and data-set items (already serialised).
inline QByteArray Access_File(const std::vector<TAttrs>& variables, const QByteArray& dataSets = {})
{
    QByteArray list;
    for (const TAttrs& v : variables)
        list += Element("DA_Item", v);
    return "<IEC_68850_Client><List_ICD_Files></List_ICD_Files><List_DA_Selected>" + list + "</List_DA_Selected><List_DataSet_Selected>" +
           dataSets + "</List_DataSet_Selected></IEC_68850_Client><!--SW_VERSION = 1.000-->";
}

// A project folder with its bin folder, made active in `state`.
struct TProject {
    QTemporaryDir Dir;
    TProgramState State;
    explicit TProject(const QString& name = QStringLiteral("Plant"))
    {
        State.Set_Program_Folder(Dir.path());
        QDir(State.Projects_Folder).mkpath(name + QStringLiteral("/bin"));
        State.Activate_Project(name);
    }
    QString File(const QString& name) const { return Join_Path(State.Project_Folder, name); }
    QString Bin(const QString& name) const { return Join_Path(Join_Path(State.Project_Folder, QStringLiteral("bin")), name); }
    void Write_Access(const QByteArray& xml) const { Write_Test_File(State.IEC_Client_File, xml); }
    void Write_ParGen(const TParGen& set) const { ::Write_ParGen(State.ParGen_File, set); }
};

inline QByteArray Bytes(std::span<const quint8> span) { return QByteArray(reinterpret_cast<const char*>(span.data()), static_cast<qsizetype>(span.size())); }

inline QByteArray Le32(quint32 v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b += static_cast<char>(v >> (8 * i));
    return b;
}

inline quint32 U32_At(const QByteArray& b, qsizetype offset)
{
    return static_cast<quint8>(b[offset]) | static_cast<quint8>(b[offset + 1]) << 8 | static_cast<quint8>(b[offset + 2]) << 16 |
           static_cast<quint32>(static_cast<quint8>(b[offset + 3])) << 24;
}

} // namespace Image_Test
