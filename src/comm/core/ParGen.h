#pragma once
#include "Result.h"
#include <QString>
#include <array>

// The communication parameter set: thirty texts kept exactly as entered, in file order.
// Switches hold "1" (on) or "0" (off).
struct TParGen {
    static constexpr int Count = 30;
    static const std::array<const char*, Count> Keys;     // element names of ParGen.xml
    static const std::array<const char*, Count> Defaults;
    std::array<QString, Count> Values;

    // Index of a key in file order; -1 for an unknown key.
    static int Key_Index(const char* key);
    QString& operator[](const char* key) { return Values[static_cast<size_t>(Key_Index(key))]; }
    const QString& operator[](const char* key) const { return Values[static_cast<size_t>(Key_Index(key))]; }
    bool operator==(const TParGen&) const = default;
};

TParGen Default_ParGen();

// A missing file or key gives its default; a switch is on only when its text is exactly "1".
// A file that is not well-formed XML gives the parser's error (and the defaults in `set`).
TResult Read_ParGen(const QString& path, TParGen& set);

// Replaces the file: the root Par_Gen, then the comment "SW_VERSION = 1.000", no declaration.
TResult Write_ParGen(const QString& path, const TParGen& set);

// The checks made before a set is saved, in their fixed order: the address and mask octets of
// both sides (0 to 255), the gateway octets only while their switch is "1", and the two byte
// counts (0 to 496). A text that is not a whole number counts as -1. The result of the first
// failing check is its message's text number (with the maximum appended where the text asks
// for it); VLAN and Application ID are never checked.
TResult Check_ParGen(const TParGen& set);
