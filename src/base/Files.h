#pragma once
#include "base/Result.h"
#include <QByteArray>
#include <QString>
#include <functional>
#include <span>

// Folder + "/" + name, Qt's separator on every system (shown paths go through
// QDir::toNativeSeparators); folder values never end with a separator.
QString joinPath(const QString& folder, const QString& name);

// Replaces the file in one step: a temporary file beside the target is written, synced to disk
// and renamed over it, so a crash or a full disk never leaves a half-written file. Every write
// is checked unbuffered: a buffered writer (QSaveFile) loses a failed final flush and reports
// success over an empty file. An error names the file and the system's cause. A new file gets
// the usual permissions (0666 less the umask), a replaced regular file keeps its own; a link at
// `path` is replaced, never written through.
Result writeFileAtomically(const QString& path, const QByteArray& data);

// For a file the engineer names (an exported point list, a language template): only a regular
// file is ever replaced. A device, a pipe, a socket or a folder there is refused with its
// reason and left alone; a link to a regular file has its target replaced, atomically, and
// stays a link; a link that leads nowhere is refused.
Result writeChosenFile(const QString& path, const QByteArray& data);

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

// The most a reader takes of one kind of file: a link to /dev/zero or a huge file by mistake
// gives an error instead of memory without end. `Kind` completes "a settings file may have".
struct ReadLimit {
    qint64 bytes;
    const char* kind;
};
inline constexpr qint64 mebibyte = qint64(1) << 20;
inline constexpr ReadLimit settingsFileLimit{16 * mebibyte, "a settings file"};
inline constexpr ReadLimit languageFileLimit{16 * mebibyte, "a language file"};
// For readers that name no kind.
inline constexpr ReadLimit anyFileLimit{256 * mebibyte, "a file"};

// Success when `path` (links followed) is a regular file within the limit; else an error
// naming the file and, for size, the limit. Devices, pipes and folders are never read.
Result checkReadableFile(const QString& path, const ReadLimit& limit);
// Success when `size` bytes written to `path` stay within what its reader takes; else an error
// saying the file would be too large to be read again. Writers call it before they replace
// anything, so that a file is never replaced by one its own reader refuses.
Result checkWriteSize(const QString& path, qint64 size, const ReadLimit& limit);
// "Cannot read PATH: CAUSE", the cause in the system's words.
Result cannotRead(const QString& path, const QString& cause);

// Reads a whole regular file of at most limit.bytes; an error names the file. A file that
// another program shortens, extends or rewrites during the read gives an error, never a mix of
// old and new bytes.
Result readWholeFile(const QString& path, QByteArray& data, const ReadLimit& limit = anyFileLimit);

// For tests: called with the path after readWholeFile() has opened a file and taken its size,
// before it reads a byte, where another program changing the file does the most harm. Empty
// (the default) for none.
void setReadPauseForTests(std::function<void(const QString& path)> pause);

// What a window loaded, so that it can tell before saving whether another program has changed
// the file since: whether it existed, its size and a hash of its bytes.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QByteArray hash;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of the file at `path` now; a file that cannot be read gives a stamp that matches no
// readable one.
FileStamp fileStamp(const QString& path);

// Whether `path`, with every symbolic link on its way resolved, is `folder` or lies inside it.
// A path that is not there yet is judged by the folder it would be made in; a link that leads
// nowhere never stays inside (writing through it would make its target).
bool staysInside(const QString& path, const QString& folder);
