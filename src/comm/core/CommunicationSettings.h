#pragma once
#include "base/Files.h"
#include "base/Problems.h"
#include <QString>
#include <array>

// The most this kind of file may have; its writer refuses to write more.
inline constexpr ReadLimit communicationFileLimit{16 * mebibyte, "a communication settings file"};

// The communication parameter set: thirty texts kept exactly as entered, in file order.
// Switches hold "1" (on) or "0" (off).
struct CommunicationSettings {
    static constexpr int count = 30;
    static const std::array<const char*, count> keys; // element names of ParGen.xml
    static const std::array<const char*, count> defaults;
    std::array<QString, count> values;

    // Index of a key in file order; -1 for an unknown key.
    static int keyIndex(const char* key);
    QString& operator[](const char* key) { return values[static_cast<size_t>(keyIndex(key))]; }
    const QString& operator[](const char* key) const { return values[static_cast<size_t>(keyIndex(key))]; }
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
