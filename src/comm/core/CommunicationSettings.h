#pragma once
#include "base/Files.h"
#include "base/Problems.h"
#include <QString>
#include <array>
#include <optional>
#include <string_view>

// The most this kind of file may have; its writer refuses to write more.
inline constexpr ReadLimit communicationFileLimit{16 * mebibyte, "a communication settings file"};

// Element names of ParGen.xml, in file order.
inline constexpr std::array<const char*, 30> communicationKeyNames = {"IEC61850_Client_IP1", "IEC61850_Client_IP2",
    "IEC61850_Client_IP3", "IEC61850_Client_IP4", "IEC61850_Client_SM1", "IEC61850_Client_SM2", "IEC61850_Client_SM3",
    "IEC61850_Client_SM4", "IEC61850_Client_GAT1", "IEC61850_Client_GAT2", "IEC61850_Client_GAT3", "IEC61850_Client_GAT4",
    "IEC61850_Client_En_GAT", "IEC61850_Client_VLAN", "IEC61850_Client_Application_ID", "EtherNetIP_IP1", "EtherNetIP_IP2",
    "EtherNetIP_IP3", "EtherNetIP_IP4", "EtherNetIP_SM1", "EtherNetIP_SM2", "EtherNetIP_SM3", "EtherNetIP_SM4", "EtherNetIP_GAT1",
    "EtherNetIP_GAT2", "EtherNetIP_GAT3", "EtherNetIP_GAT4", "EtherNetIP_EN_GAT", "EtherNetIP_NB_Input", "EtherNetIP_NB_Output"};

void unknownCommunicationKey(); // never defined: a name that is not a setting stops compiling here

// One setting, named by its element name. The name is checked when the program is compiled:
// a name that is not in communicationKeyNames does not compile, so every key is in range.
class CommunicationKey {
public:
    consteval CommunicationKey(const char* name)
        : at(indexOf(name))
    {
    }
    // The key of a name known only at run time (a table of cases); none for an unknown name.
    static constexpr std::optional<CommunicationKey> find(std::string_view name)
    {
        for (size_t i = 0; i < communicationKeyNames.size(); ++i)
            if (name == communicationKeyNames[i])
                return CommunicationKey(i);
        return std::nullopt;
    }
    constexpr size_t index() const { return at; }
    constexpr const char* name() const { return communicationKeyNames[at]; }

private:
    explicit constexpr CommunicationKey(size_t index)
        : at(index)
    {
    }
    static consteval size_t indexOf(std::string_view name)
    {
        if (const std::optional<CommunicationKey> key = find(name))
            return key->at;
        unknownCommunicationKey();
        return 0;
    }
    friend struct OctetKeys;

    size_t at;
};

// The four settings of an address, mask or gateway: its prefix followed by "1" to "4".
struct OctetKeys {
    consteval OctetKeys(const char* keyPrefix)
        : prefix(keyPrefix)
        , octets{octet(keyPrefix, '1'), octet(keyPrefix, '2'), octet(keyPrefix, '3'), octet(keyPrefix, '4')}
    {
    }
    const char* prefix;
    std::array<CommunicationKey, 4> octets;

private:
    static consteval CommunicationKey octet(std::string_view keyPrefix, char digit)
    {
        for (size_t i = 0; i < communicationKeyNames.size(); ++i)
            if (const std::string_view name = communicationKeyNames[i];
                name.size() == keyPrefix.size() + 1 && name.starts_with(keyPrefix) && name.back() == digit)
                return CommunicationKey(i);
        unknownCommunicationKey();
        return CommunicationKey(size_t(0));
    }
};

// The communication parameter set: thirty texts kept exactly as entered, in file order.
// Switches hold "1" (on) or "0" (off).
struct CommunicationSettings {
    static constexpr int count = 30;
    static constexpr const std::array<const char*, count>& keys = communicationKeyNames; // element names of ParGen.xml
    static const std::array<const char*, count> defaults;
    std::array<QString, count> values;

    QString& operator[](CommunicationKey key) { return values[key.index()]; }
    const QString& operator[](CommunicationKey key) const { return values[key.index()]; }
    bool operator==(const CommunicationSettings&) const = default;
};

CommunicationSettings defaultCommunicationSettings();

// A missing file or key gives its default; a switch is on only when its text is exactly "1".
// A file that is not well-formed XML gives the parser's error (and the defaults in `set`).
Result readParGenFile(const QString& path, CommunicationSettings& set);

// Replaces the file: the root Par_Gen, then the comment "SW_VERSION = 1.000", no declaration.
Result writeParGenFile(const QString& path, const CommunicationSettings& set);

// Highest VLAN id: twelve bits, 4095 reserved.
constexpr int maxVlan = 4094;

// Every check made before a set is saved, in their fixed order, each failure one error naming
// its key. First the address and mask octets of both sides (0 to 255), the gateway octets only
// while their switch is "1", and the two byte counts (0 to 496); a text that is not a whole
// number counts as -1. Then, on what those let through: the IEC 61850 side's mask (contiguous
// ones, not 0.0.0.0), address (not the network or broadcast address of its subnet) and gateway
// (inside that subnet, while its switch is "1"), the VLAN (0 to 4094) and the Application ID
// (a whole number from 0 to 65535, decimal or hexadecimal); the EtherNet/IP side's mask,
// address and gateway; and the two addresses, which may not be equal. Each error is its
// message's text number, with the maximum appended where the text asks for it.
Problems communicationProblems(const CommunicationSettings& set);

// The first of communicationProblems(), as Step 2 reports it; success when there is none.
Result checkCommunicationSettings(const CommunicationSettings& set);
