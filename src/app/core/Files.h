#pragma once
#include "Result.h"
#include <QByteArray>
#include <QString>

// Folder + platform separator + name; folder values never end with a separator.
QString Join_Path(const QString& folder, const QString& name);

// Replaces the file in one step: a temporary file beside the target is written, flushed and
// renamed over it, so a crash or a full disk never leaves a half-written file.
TResult Write_File_Atomic(const QString& path, const QByteArray& data);

// Reads a whole file; an error names the file.
TResult Read_Whole_File(const QString& path, QByteArray& data);
