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
