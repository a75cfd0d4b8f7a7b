#pragma once
#include "base/Result.h"
#include <QByteArray>
#include <QString>

// Folder + platform separator + name; folder values never end with a separator.
QString joinPath(const QString& folder, const QString& name);

// Replaces the file in one step: a temporary file beside the target is written, flushed and
// renamed over it, so a crash or a full disk never leaves a half-written file.
Result writeFileAtomically(const QString& path, const QByteArray& data);

// Whether `path`, with every symbolic link on its way resolved, is `folder` or lies inside it.
// A path that is not there yet is judged by the folder it would be made in; a link that leads
// nowhere never stays inside (writing through it would make its target).
bool staysInside(const QString& path, const QString& folder);

// Reads a whole file; an error names the file.
Result readWholeFile(const QString& path, QByteArray& data);
