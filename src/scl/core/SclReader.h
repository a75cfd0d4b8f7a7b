#pragma once
#include "scl/core/SclFiles.h"
#include "scl/core/DeviceModel.h"
#include "base/Files.h"
#include "base/Result.h"
#include <QByteArray>
#include <QString>
#include <memory>

// Bounds that keep a hostile or broken file from exhausting the stack, the memory or the time:
// type definitions nested deeper than maxDepth, a model of more than maxObjects data objects and
// attributes (or type definitions read over and over for it), or references of more than
// maxReferenceBytes stop the reading with an error that names the limit and the counts reached;
// so does a file over maxFileBytes or one that is not a regular file (a link to /dev/zero).
struct SclLimits {
    int maxDepth = 64;
    qint64 maxObjects = 3'000'000;
    qint64 maxReferenceBytes = qint64(512) << 20;
    qint64 maxFileBytes = sclFileLimit.bytes;
};
// Reading a model may look at this many elements of type definitions per object it holds.
inline constexpr qint64 typeReadsPerObject = 4;

// Reads the SCL file at `path` into the model of its IED called `iedName`, or of its first IED
// when none is called so (or `iedName` is empty). Only that IED element, the type templates and
// the Communication section (its addresses) are parsed, after one scan of the whole file that refuses what the XML parser refuses.
// A missing file gives an empty device (Ok). A file that is not well-formed XML gives the
// parser's message naming the file and line, and leaves `device` null; so does a file that
// cannot be read, that breaks the limits or that needs more memory than there is.
// FileName is the file-name part of `path`.
Result readSclFile(const QString& path, const QString& iedName, std::unique_ptr<Ied>& device, const SclLimits& limits = {});

// The same for the contents of a file already in memory; `path` names it in messages and
// gives FileName.
Result readSclData(const QByteArray& data, const QString& path, const QString& iedName, std::unique_ptr<Ied>& device,
    const SclLimits& limits = {});

// The same model through a parse of the whole document: slower and about three times the file
// in memory, kept to check the reading above against.
Result readSclDataFully(const QByteArray& data, const QString& path, const QString& iedName, std::unique_ptr<Ied>& device,
    const SclLimits& limits = {});
