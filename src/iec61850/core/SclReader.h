#pragma once
#include "iec61850/core/DeviceModel.h"
#include "base/Files.h"
#include "base/Result.h"
#include <QByteArray>
#include <QString>
#include <memory>

// Bounds that keep a hostile or broken file from exhausting the stack or the memory: type
// definitions nested deeper than maxDepth, or a model that would take more than about
// maxModelBytes (many types expanding into each other), stop the reading with an error; so
// does a file over maxFileBytes or one that is not a regular file (a link to /dev/zero).
struct SclLimits {
    int maxDepth = 64;
    qint64 maxModelBytes = qint64(256) << 20;
    qint64 maxFileBytes = sclFileLimit.bytes;
};

// Reads the SCL file at `path` into the model of the IED whose name is `iedName`, or of the
// first IED when none has that name (or `iedName` is empty).
// A missing file gives an empty device (Ok). A file that is not well-formed XML gives the
// parser's message naming the file and line, and leaves `device` null; so does a file that
// cannot be read or that breaks the limits. FileName is the file-name part of `path`.
Result readSclFile(const QString& path, const QString& iedName, std::unique_ptr<Ied>& device, const SclLimits& limits = {});

// The same for the contents of a file already in memory; `path` names it in messages and
// gives FileName.
Result readSclData(const QByteArray& data, const QString& path, const QString& iedName, std::unique_ptr<Ied>& device,
    const SclLimits& limits = {});
