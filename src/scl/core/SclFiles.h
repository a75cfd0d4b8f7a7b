#pragma once
#include "base/Files.h"
#include <QStringList>

// The most this kind of file may have; its writer refuses to write more.
inline constexpr ReadLimit sclFileLimit{2048 * mebibyte, "an SCL file"};

// The endings of SCL files, in lower case: one for each kind of description (substation,
// station, exchanged, IED capability, instantiated, configured IED) and .scl for any kind. A
// file is taken by its ending in any case.
inline const QStringList sclFileSuffixes = {QStringLiteral("scd"), QStringLiteral("ssd"), QStringLiteral("sed"),
    QStringLiteral("icd"), QStringLiteral("iid"), QStringLiteral("cid"), QStringLiteral("scl")};
