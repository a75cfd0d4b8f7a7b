#include "ParGen.h"
#include "Files.h"
#include "WholeNumber.h"
#include "XmlFile.h"
#include <QFileInfo>
#include <cstring>

const std::array<const char*, TParGen::Count> TParGen::Keys = {
    "IEC61850_Client_IP1", "IEC61850_Client_IP2", "IEC61850_Client_IP3", "IEC61850_Client_IP4",
    "IEC61850_Client_SM1", "IEC61850_Client_SM2", "IEC61850_Client_SM3", "IEC61850_Client_SM4",
    "IEC61850_Client_GAT1", "IEC61850_Client_GAT2", "IEC61850_Client_GAT3", "IEC61850_Client_GAT4",
    "IEC61850_Client_En_GAT", "IEC61850_Client_VLAN", "IEC61850_Client_Application_ID",
    "EtherNetIP_IP1", "EtherNetIP_IP2", "EtherNetIP_IP3", "EtherNetIP_IP4",
    "EtherNetIP_SM1", "EtherNetIP_SM2", "EtherNetIP_SM3", "EtherNetIP_SM4",
    "EtherNetIP_GAT1", "EtherNetIP_GAT2", "EtherNetIP_GAT3", "EtherNetIP_GAT4",
    "EtherNetIP_EN_GAT", "EtherNetIP_NB_Input", "EtherNetIP_NB_Output"};

const std::array<const char*, TParGen::Count> TParGen::Defaults = {
    "192", "168", "0", "10", "255", "255", "255", "0", "192", "168", "0", "1", "0", "0", "0",
    "192", "168", "0", "5", "255", "255", "255", "0", "192", "168", "0", "1", "0", "496", "496"};

namespace {
bool Is_Switch(size_t i) { return std::strcmp(TParGen::Keys[i], "IEC61850_Client_En_GAT") == 0 || std::strcmp(TParGen::Keys[i], "EtherNetIP_EN_GAT") == 0; }
QString Switch_Text(const QString& text) { return text == QStringLiteral("1") ? QStringLiteral("1") : QStringLiteral("0"); }
} // namespace

int TParGen::Key_Index(const char* key)
{
    for (size_t i = 0; i < Keys.size(); ++i)
        if (std::strcmp(Keys[i], key) == 0)
            return static_cast<int>(i);
    return -1;
}

TParGen Default_ParGen()
{
    TParGen set;
    for (size_t i = 0; i < TParGen::Keys.size(); ++i)
        set.Values[i] = QString::fromLatin1(TParGen::Defaults[i]);
    return set;
}

TResult Read_ParGen(const QString& path, TParGen& set)
{
    set = Default_ParGen();
    if (!QFileInfo::exists(path))
        return TResult::Success();
    QByteArray data;
    if (auto read = Read_Whole_File(path, data); !read)
        return read;
    // A text of blanks only is a text as entered too: keep it instead of reading it as empty.
    pugi::xml_document doc;
    const auto size = static_cast<size_t>(data.size());
    if (const auto parsed = doc.load_buffer(data.constData(), size, Xml_Parse_Flags | pugi::parse_ws_pcdata_single); !parsed)
        return TResult::Error(Xml_Parse_Error(path, parsed, data.constData(), size));
    // The first node is the root whatever its name; a declaration or comment there gives defaults.
    const pugi::xml_node root = doc.first_child();
    for (size_t i = 0; i < TParGen::Keys.size(); ++i) {
        if (const auto text = Xml_Child_Text(root, TParGen::Keys[i]))
            set.Values[i] = Is_Switch(i) ? Switch_Text(*text) : *text;
    }
    return TResult::Success();
}

TResult Write_ParGen(const QString& path, const TParGen& set)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Par_Gen");
    doc.append_child(pugi::node_comment).set_value("SW_VERSION = 1.000");
    for (size_t i = 0; i < TParGen::Keys.size(); ++i) {
        const QString& value = Is_Switch(i) ? Switch_Text(set.Values[i]) : set.Values[i];
        root.append_child(TParGen::Keys[i]).text().set(QString_To_Xml(value).c_str());
    }
    return Save_Xml_File(doc, path);
}

TResult Check_ParGen(const TParGen& set)
{
    struct TCheck {
        const char* Key;
        int Max;
        int Text_No;
        const char* Switch; // checked only while this switch is on
    };
    static const TCheck Checks[] = {
        {"IEC61850_Client_IP1", 255, 649, nullptr}, {"IEC61850_Client_IP2", 255, 650, nullptr},
        {"IEC61850_Client_IP3", 255, 651, nullptr}, {"IEC61850_Client_IP4", 255, 652, nullptr},
        {"IEC61850_Client_SM1", 255, 653, nullptr}, {"IEC61850_Client_SM2", 255, 654, nullptr},
        {"IEC61850_Client_SM3", 255, 655, nullptr}, {"IEC61850_Client_SM4", 255, 656, nullptr},
        {"IEC61850_Client_GAT1", 255, 657, "IEC61850_Client_En_GAT"}, {"IEC61850_Client_GAT2", 255, 658, "IEC61850_Client_En_GAT"},
        {"IEC61850_Client_GAT3", 255, 659, "IEC61850_Client_En_GAT"}, {"IEC61850_Client_GAT4", 255, 660, "IEC61850_Client_En_GAT"},
        {"EtherNetIP_IP1", 255, 703, nullptr}, {"EtherNetIP_IP2", 255, 704, nullptr},
        {"EtherNetIP_IP3", 255, 705, nullptr}, {"EtherNetIP_IP4", 255, 706, nullptr},
        {"EtherNetIP_SM1", 255, 707, nullptr}, {"EtherNetIP_SM2", 255, 708, nullptr},
        {"EtherNetIP_SM3", 255, 709, nullptr}, {"EtherNetIP_SM4", 255, 710, nullptr},
        {"EtherNetIP_GAT1", 255, 711, "EtherNetIP_EN_GAT"}, {"EtherNetIP_GAT2", 255, 712, "EtherNetIP_EN_GAT"},
        {"EtherNetIP_GAT3", 255, 713, "EtherNetIP_EN_GAT"}, {"EtherNetIP_GAT4", 255, 714, "EtherNetIP_EN_GAT"},
        {"EtherNetIP_NB_Input", 496, 716, nullptr}, {"EtherNetIP_NB_Output", 496, 717, nullptr},
    };
    for (const TCheck& c : Checks) {
        if (c.Switch && set[c.Switch] != QStringLiteral("1"))
            continue;
        const qint32 value = To_Whole_Number(set[c.Key]);
        if (value < 0 || value > c.Max)
            // Only the byte-count texts end in "between 0 and " and take the maximum.
            return TResult::Text_Error(c.Text_No, c.Max == 255 ? QString() : QString::number(c.Max));
    }
    return TResult::Success();
}
