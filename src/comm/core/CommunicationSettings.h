#pragma once
#include "base/Result.h"
#include <QString>
#include <array>

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

// The checks made before a set is saved, in their fixed order: the address and mask octets of
// both sides (0 to 255), the gateway octets only while their switch is "1", and the two byte
// counts (0 to 496). A text that is not a whole number counts as -1. The result of the first
// failing check is its message's text number (with the maximum appended where the text asks
// for it); VLAN and Application ID are never checked.
Result checkCommunicationSettings(const CommunicationSettings& set);
