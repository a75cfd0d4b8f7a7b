#pragma once
#include <QStringList>

// The endings of SCL files, in lower case: one for each kind of description (substation,
// station, exchanged, IED capability, instantiated, configured IED) and .scl for any kind. A
// file is taken by its ending in any case.
inline const QStringList sclFileSuffixes = {QStringLiteral("scd"), QStringLiteral("ssd"), QStringLiteral("sed"),
    QStringLiteral("icd"), QStringLiteral("iid"), QStringLiteral("cid"), QStringLiteral("scl")};
