#include "comm/core/CommunicationSettings.h"
#include "base/TextNumbers.h"
#include "base/Files.h"
#include "base/WholeNumber.h"
#include "base/XmlFile.h"
#include <QFileInfo>
#include <optional>

const std::array<const char*, CommunicationSettings::count> CommunicationSettings::defaults
    = {"192", "168", "0", "10", "255", "255", "255", "0", "192", "168", "0", "1", "0", "0", "0", "192", "168", "0", "5", "255",
        "255", "255", "0", "192", "168", "0", "1", "0", "496", "496"};

namespace {
bool isSwitch(size_t i)
{
    return i == CommunicationKey("IEC61850_Client_En_GAT").index() || i == CommunicationKey("EtherNetIP_EN_GAT").index();
}
QString switchText(const QString& text) { return text == QStringLiteral("1") ? QStringLiteral("1") : QStringLiteral("0"); }

// The four octets as one address; none when an octet is not 0 to 255.
std::optional<quint32> address(const CommunicationSettings& set, const OctetKeys& keys)
{
    quint32 value = 0;
    for (const CommunicationKey key : keys.octets) {
        const qint32 octet = toWholeNumber(set[key]);
        if (octet < 0 || octet > 255)
            return std::nullopt;
        value = value << 8 | static_cast<quint32>(octet);
    }
    return value;
}

struct NetworkKeys {
    OctetKeys address;
    OctetKeys mask;
    OctetKeys gateway;
    CommunicationKey gatewaySwitch;
};

struct NetworkTexts {
    int maskNotContiguous;
    int addressNotHost;
    int gatewayOutsideSubnet;
};

// The mask, the address within its subnet and the gateway within the address's subnet. Only
// what the octet checks let through is looked at.
template <typename Fail>
void checkNetwork(const CommunicationSettings& set, const NetworkKeys& keys, const NetworkTexts& texts, Fail fail)
{
    const std::optional<quint32> ip = address(set, keys.address), mask = address(set, keys.mask);
    if (!mask)
        return;
    const quint32 hostBits = ~*mask;
    if (*mask == 0 || (hostBits & (hostBits + 1)) != 0) {
        fail(QLatin1String(keys.mask.prefix), Result::failed(texts.maskNotContiguous));
        return;
    }
    // Subnets of one or two addresses (/32, /31) have no network or broadcast address to avoid.
    if (ip && hostBits >= 3 && ((*ip & hostBits) == 0 || (*ip & hostBits) == hostBits))
        fail(QLatin1String(keys.address.prefix), Result::failed(texts.addressNotHost));
    if (set[keys.gatewaySwitch] != QStringLiteral("1"))
        return;
    if (const std::optional<quint32> gateway = address(set, keys.gateway); ip && gateway && (*gateway & *mask) != (*ip & *mask))
        fail(QLatin1String(keys.gateway.prefix), Result::failed(texts.gatewayOutsideSubnet));
}

} // namespace

CommunicationSettings defaultCommunicationSettings()
{
    CommunicationSettings set;
    for (size_t i = 0; i < CommunicationSettings::keys.size(); ++i)
        set.values[i] = QString::fromLatin1(CommunicationSettings::defaults[i]);
    return set;
}

Result readParGenFile(const QString& path, CommunicationSettings& set)
{
    set = defaultCommunicationSettings();
    if (!QFileInfo::exists(path))
        return Result::success();
    QByteArray data;
    if (auto read = readWholeFile(path, data, communicationFileLimit); !read)
        return read;
    // A text of blanks only is a text as entered too: keep it instead of reading it as empty.
    pugi::xml_document doc;
    const auto size = static_cast<size_t>(data.size());
    const unsigned flags = xmlParseFlags | pugi::parse_ws_pcdata_single;
    const auto parsed = doc.load_buffer(data.constData(), size, flags);
    if (!parsed)
        return xmlParseError(path, parsed, data.constData(), size);
    if (Result characters = checkXmlCharacters(path, data, flags, parsed); !characters)
        return characters;
    // The first node is the root whatever its name; a declaration or comment there gives defaults.
    const pugi::xml_node root = doc.first_child();
    for (size_t i = 0; i < CommunicationSettings::keys.size(); ++i) {
        if (const auto text = xmlChildText(root, CommunicationSettings::keys[i]))
            set.values[i] = isSwitch(i) ? switchText(*text) : *text;
    }
    return Result::success();
}

Result writeParGenFile(const QString& path, const CommunicationSettings& set)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Par_Gen");
    doc.append_child(pugi::node_comment).set_value("SW_VERSION = 1.000");
    for (size_t i = 0; i < CommunicationSettings::keys.size(); ++i) {
        const QString& value = isSwitch(i) ? switchText(set.values[i]) : set.values[i];
        root.append_child(CommunicationSettings::keys[i]).text().set(qStringToXml(value).c_str());
    }
    return saveXmlFile(doc, path, communicationFileLimit);
}

Problems communicationProblems(const CommunicationSettings& set)
{
    // The switch a check needs on, or none.
    struct RequiredSwitch {
        consteval RequiredSwitch(std::nullptr_t) { }
        consteval RequiredSwitch(const char* name)
            : key(CommunicationKey(name))
        {
        }
        std::optional<CommunicationKey> key;
    };
    struct Check {
        CommunicationKey key;
        int max;
        int textNumber;
        RequiredSwitch requiredSwitch; // checked only while this switch is on
    };
    static const Check checks[] = {
        {"IEC61850_Client_IP1", 255, Text::ErrorIecClientIp, nullptr},
        {"IEC61850_Client_IP2", 255, Text::ErrorIecClientIp2, nullptr},
        {"IEC61850_Client_IP3", 255, Text::ErrorIecClientIp3, nullptr},
        {"IEC61850_Client_IP4", 255, Text::ErrorIecClientIp4, nullptr},
        {"IEC61850_Client_SM1", 255, Text::ErrorIecClientSubnetMask, nullptr},
        {"IEC61850_Client_SM2", 255, Text::ErrorIecClientSubnetMask2, nullptr},
        {"IEC61850_Client_SM3", 255, Text::ErrorIecClientSubnetMask3, nullptr},
        {"IEC61850_Client_SM4", 255, Text::ErrorIecClientSubnetMask4, nullptr},
        {"IEC61850_Client_GAT1", 255, Text::ErrorIecClientGateway, "IEC61850_Client_En_GAT"},
        {"IEC61850_Client_GAT2", 255, Text::ErrorIecClientGateway2, "IEC61850_Client_En_GAT"},
        {"IEC61850_Client_GAT3", 255, Text::ErrorIecClientGateway3, "IEC61850_Client_En_GAT"},
        {"IEC61850_Client_GAT4", 255, Text::ErrorIecClientGateway4, "IEC61850_Client_En_GAT"},
        {"EtherNetIP_IP1", 255, Text::ErrorEtherNetIpIp, nullptr},
        {"EtherNetIP_IP2", 255, Text::ErrorEtherNetIpIp2, nullptr},
        {"EtherNetIP_IP3", 255, Text::ErrorEtherNetIpIp3, nullptr},
        {"EtherNetIP_IP4", 255, Text::ErrorEtherNetIpIp4, nullptr},
        {"EtherNetIP_SM1", 255, Text::ErrorEtherNetIpSubnetMask, nullptr},
        {"EtherNetIP_SM2", 255, Text::ErrorEtherNetIpSubnetMask2, nullptr},
        {"EtherNetIP_SM3", 255, Text::ErrorEtherNetIpSubnetMask3, nullptr},
        {"EtherNetIP_SM4", 255, Text::ErrorEtherNetIpSubnetMask4, nullptr},
        {"EtherNetIP_GAT1", 255, Text::ErrorEtherNetIpGateway, "EtherNetIP_EN_GAT"},
        {"EtherNetIP_GAT2", 255, Text::ErrorEtherNetIpGateway2, "EtherNetIP_EN_GAT"},
        {"EtherNetIP_GAT3", 255, Text::ErrorEtherNetIpGateway3, "EtherNetIP_EN_GAT"},
        {"EtherNetIP_GAT4", 255, Text::ErrorEtherNetIpGateway4, "EtherNetIP_EN_GAT"},
        {"EtherNetIP_NB_Input", 496, Text::ErrorEtherNetIpInputBytes, nullptr},
        {"EtherNetIP_NB_Output", 496, Text::ErrorEtherNetIpOutputBytes, nullptr},
    };
    Problems problems;
    auto fail = [&problems](const QString& column, const Result& what) {
        problems.push_back({Problem::Severity::Error, {}, {}, column, what});
    };
    for (const Check& c : checks) {
        if (c.requiredSwitch.key && set[*c.requiredSwitch.key] != QStringLiteral("1"))
            continue;
        const qint32 value = toWholeNumber(set[c.key]);
        if (value < 0 || value > c.max)
            // Only the byte-count texts end in "between 0 and " and take the maximum.
            fail(QLatin1String(c.key.name()), Result::failed(c.textNumber, {c.max == 255 ? QString() : QString::number(c.max)}));
    }

    const std::optional<quint32> iecAddress = address(set, "IEC61850_Client_IP");
    const std::optional<quint32> enipAddress = address(set, "EtherNetIP_IP");
    checkNetwork(set, {"IEC61850_Client_IP", "IEC61850_Client_SM", "IEC61850_Client_GAT", "IEC61850_Client_En_GAT"},
        {Text::ErrorIecClientMaskNotContiguous, Text::ErrorIecClientIpNotHost, Text::ErrorIecClientGatewayOutsideSubnet}, fail);
    constexpr const char* vlan = "IEC61850_Client_VLAN";
    if (const qint32 value = toWholeNumber(set[vlan]); value < 0 || value > maxVlan)
        fail(QLatin1String(vlan), Result::failed(Text::ErrorIecClientVlan, {QString::number(maxVlan)}));
    // Decimal or hexadecimal as the build reads it; what does not fit 16 bits is refused.
    constexpr const char* appId = "IEC61850_Client_Application_ID";
    if (const qint32 value = toWholeNumber(set[appId]); value < 0 || value > 0xFFFF)
        fail(QLatin1String(appId), Result::failed(Text::ErrorIecClientApplicationId));
    checkNetwork(set, {"EtherNetIP_IP", "EtherNetIP_SM", "EtherNetIP_GAT", "EtherNetIP_EN_GAT"},
        {Text::ErrorEtherNetIpMaskNotContiguous, Text::ErrorEtherNetIpIpNotHost, Text::ErrorEtherNetIpGatewayOutsideSubnet},
        fail);
    if (iecAddress && enipAddress && *iecAddress == *enipAddress)
        fail(QStringLiteral("EtherNetIP_IP"), Result::failed(Text::ErrorSameIpAddresses));
    return problems;
}

Result checkCommunicationSettings(const CommunicationSettings& set)
{
    const Problems problems = communicationProblems(set);
    return problems.empty() ? Result::success() : problems.front().what;
}
