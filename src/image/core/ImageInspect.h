#pragma once
#include <QString>
#include <QtGlobal>
#include <span>

namespace Image {

// A device image decoded into text for an engineer: every field by name, addresses resolved
// to the strings they point at, the checksum checked. `Problems` counts what is not as a
// build writes it (wrong checksum, changed fixed word, pointer outside the file...).
struct Inspection {
    QString text;
    int problems = 0;
};

// Tells a parameter block from request tables by their content and describes it.
Inspection inspectImage(std::span<const quint8> bytes);
Inspection describeParameterBlock(std::span<const quint8> bytes);
Inspection describeRequestTables(std::span<const quint8> bytes, quint32 base);

} // namespace Image
