#pragma once
#include "base/Result.h"
#include <QByteArray>
#include <QString>

// Folder + platform separator + name; folder values never end with a separator.
QString joinPath(const QString& folder, const QString& name);

// Replaces the file in one step: a temporary file beside the target is written, flushed and
// renamed over it, so a crash or a full disk never leaves a half-written file.
Result writeFileAtomically(const QString& path, const QByteArray& data);

// Reads a whole file; an error names the file.
Result readWholeFile(const QString& path, QByteArray& data);
