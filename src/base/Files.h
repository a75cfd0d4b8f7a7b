#pragma once
#include "base/Result.h"
#include <QByteArray>
#include <QString>
#include <span>

// Folder + platform separator + name; folder values never end with a separator.
QString joinPath(const QString& folder, const QString& name);

// Replaces the file in one step: a temporary file beside the target is written, synced to disk
// and renamed over it, so a crash or a full disk never leaves a half-written file. Every write
// is checked unbuffered: a buffered writer (QSaveFile) loses a failed final flush and reports
// success over an empty file. An error names the file and the system's cause.
Result writeFileAtomically(const QString& path, const QByteArray& data);

struct FileContents {
    QString path;
    QByteArray data;
};
// Replaces several files together: all are written and synced beside their targets first, and
// the targets are replaced only when every one is complete. When a replacement fails, those
// already replaced get their old files back, as far as the file system allows.
Result writeFilesAtomically(std::span<const FileContents> files);

// Removes the temporary files that an interrupted save of `path` left beside it
// (`NAME.XXXXXX`, six letters or digits), unless a save still has them open.
void removeStaleTemporaries(const QString& path);
// The same for every file a configuration writes: its access file, ParGen.xml, the images in
// bin and the copies in the SCL catalog.
void removeStaleConfigurationTemporaries(const QString& projectFolder);

// Reads a whole file; an error names the file.
Result readWholeFile(const QString& path, QByteArray& data);
