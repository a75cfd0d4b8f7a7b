#include "base/Files.h"
#include "base/TextNumbers.h"
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>
#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#endif

QString joinPath(const QString& folder, const QString& name) { return folder + u'/' + name; }

namespace {

QString systemCause(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

Result cannotWrite(const QString& path, const QString& cause)
{
    return Result::failed(Text::ErrorCannotWrite, {QDir::toNativeSeparators(path), cause});
}

Result cannotWrite(const QString& path, int textNo) { return Result::failed(textNo, {QDir::toNativeSeparators(path)}); }

std::filesystem::path fsPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

// The suffix the atomic writers put after a file's name while it is being written.
QString randomSuffix()
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix(6, u'x');
    for (QChar& c : suffix)
        c = QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
    return suffix;
}

// Gives `from` the name `to` in one step, replacing the file there; empty on success, else the
// system's cause. Windows writes the rename through to the disk before it returns.
QString renameOver(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
            reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return qt_error_string(int(GetLastError()));
#else
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    return error ? QString::fromLocal8Bit(error.message()) : QString();
#endif
}

#ifdef Q_OS_UNIX
// A save holds an exclusive lock on its temporary file; the clean-up removes only what it can
// lock, so a save running in another process keeps its file.
bool tryLock(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool nameStillRefersTo(const QString& path, int fd)
{
    struct stat byName {
    }, byHandle{};
    return ::stat(QFile::encodeName(path).constData(), &byName) == 0 && ::fstat(fd, &byHandle) == 0
        && byName.st_dev == byHandle.st_dev && byName.st_ino == byHandle.st_ino;
}

// The rename itself is on disk only when the folder is synced. Some file systems cannot sync
// a folder; that is not a failed save.
void syncFolderOf(const QString& path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

int syncToDisk(QFile& file)
{
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0 ? 0 : errno;
#elif defined(Q_OS_WIN)
    return ::_commit(file.handle()) == 0 ? 0 : errno;
#else
    return 0;
#endif
}

// One file written under a temporary name beside its target. Destroyed before it has replaced
// the target, it removes the temporary file.
class StagedFile {
public:
    explicit StagedFile(QString targetPath)
        : target(std::move(targetPath))
    {
    }
    ~StagedFile()
    {
        if (!temporary.isEmpty() && !replaced) {
            file.reset();
            QFile::remove(temporary);
        }
    }
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    Result write(const QByteArray& data)
    {
        const QFileInfo existing(target);
        if (existing.isDir())
            return cannotWrite(target, Text::ErrorCannotWriteFolderNamed);
        if (existing.exists() && !existing.isWritable())
            return cannotWrite(target, Text::ErrorCannotWriteReadOnly);
        if (Result opened = open(); !opened)
            return opened;
        // A regular file keeps its mode; anything else (a link to a device, say) is not copied
        // from, so the new file has the usual 0666 less the umask.
        if (existing.isFile())
            file->setPermissions(existing.permissions());
        // Unbuffered, a short write returns its count and the next write the system's cause.
        const char* next = data.constData();
        qint64 left = data.size();
        while (left > 0) {
            const qint64 written = file->write(next, left);
            if (written <= 0)
                return cannotWrite(target, file->errorString());
            next += written;
            left -= written;
        }
        if (const int error = syncToDisk(*file); error != 0)
            return cannotWrite(target, systemCause(error));
        return Result::success();
    }

    // Replaces the target, keeping the old file under a temporary name when `keepOld` asks so
    // (for putting it back); `kept` is then that name, or empty where nothing was kept.
    Result replaceTarget(bool keepOld, QString& kept)
    {
        kept.clear();
        std::error_code error;
        if (keepOld && QFileInfo::exists(target)) {
            const QString name = target + u'.' + randomSuffix();
            std::filesystem::create_hard_link(fsPath(target), fsPath(name), error);
            if (!error)
                kept = name;
        }
        if (Result moved = moveOverTarget(); !moved) {
            if (!kept.isEmpty())
                QFile::remove(kept);
            kept.clear();
            return moved;
        }
        replaced = true;
        return Result::success();
    }

    const QString& path() const { return target; }

private:
    // On Unix the file stays open and locked until its name is the target's, so that no
    // clean-up takes it; Windows cannot rename a file that is open.
    Result moveOverTarget()
    {
#ifdef Q_OS_WIN
        file.reset();
#endif
        if (const QString cause = renameOver(temporary, target); !cause.isEmpty())
            return cannotWrite(target, cause);
        file.reset();
#ifdef Q_OS_UNIX
        syncFolderOf(target);
#endif
        return Result::success();
    }

    Result open()
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            temporary = target + u'.' + randomSuffix();
            auto candidate = std::make_unique<QFile>(temporary);
            if (!candidate->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
                if (QFileInfo::exists(temporary))
                    continue;
                return cannotWrite(target, candidate->errorString());
            }
#ifdef Q_OS_UNIX
            // A clean-up that ran between creating and locking has removed the name: take another.
            ::flock(candidate->handle(), LOCK_EX);
            if (!nameStillRefersTo(temporary, candidate->handle()))
                continue;
#endif
            file = std::move(candidate);
            return Result::success();
        }
        return cannotWrite(target, Text::ErrorCannotWriteNoTemporary);
    }

    QString target;
    QString temporary;
    std::unique_ptr<QFile> file;
    bool replaced = false;
};

} // namespace

Result writeFileAtomically(const QString& path, const QByteArray& data)
{
    const FileContents one{path, data};
    return writeFilesAtomically(std::span(&one, 1));
}

Result writeFilesAtomically(std::span<const FileContents> files)
{
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const FileContents& f : files) {
        removeStaleTemporaries(f.path);
        staged.push_back(std::make_unique<StagedFile>(f.path));
        if (Result written = staged.back()->write(f.data); !written)
            return written;
    }
    // Every file is complete on disk: now the targets are replaced, and put back on a failure.
    const bool several = staged.size() > 1;
    std::vector<QString> kept(staged.size());
    for (size_t i = 0; i < staged.size(); ++i) {
        if (Result replaced = staged[i]->replaceTarget(several, kept[i]); !replaced) {
            for (size_t j = 0; j < i; ++j) {
                if (!kept[j].isEmpty())
                    renameOver(kept[j], staged[j]->path());
            }
            return replaced;
        }
    }
    for (const QString& name : kept)
        if (!name.isEmpty())
            QFile::remove(name);
    return Result::success();
}

Result writeChosenFile(const QString& path, const QByteArray& data)
{
    namespace fs = std::filesystem;
    const fs::path where = fsPath(path);
    std::error_code error;
    const fs::file_status followed = fs::status(where, error);
    if (followed.type() == fs::file_type::not_found) {
        std::error_code ignored;
        if (fs::is_symlink(fs::symlink_status(where, ignored)))
            return Result::failed(Text::ErrorCannotWriteDanglingLink,
                {QDir::toNativeSeparators(path), QDir::toNativeSeparators(QFileInfo(path).symLinkTarget())});
        return writeFileAtomically(path, data);
    }
    if (error)
        return cannotWrite(path, QString::fromLocal8Bit(error.message()));
    switch (followed.type()) {
    case fs::file_type::regular:
        break;
    case fs::file_type::directory:
        return cannotWrite(path, Text::ErrorCannotWriteFolderNamed);
    case fs::file_type::character:
    case fs::file_type::block:
        return cannotWrite(path, Text::ErrorCannotWriteDevice);
    case fs::file_type::fifo:
        return cannotWrite(path, Text::ErrorCannotWriteFifo);
    default:
        return cannotWrite(path, Text::ErrorCannotWriteNotRegular);
    }
    // Through a link the file it leads to is replaced, beside itself, and the link stays.
    const QString target = QFileInfo(path).isSymLink() ? QFileInfo(path).canonicalFilePath() : path;
    return writeFileAtomically(target.isEmpty() ? path : target, data);
}

bool staysInside(const QString& path, const QString& folder)
{
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.exists()) {
        if (info.isSymLink())
            return false;
        const QString parent = info.absolutePath();
        return parent != info.absoluteFilePath() && staysInside(parent, folder);
    }
    const QString resolved = info.canonicalFilePath();
    return resolved == root || resolved.startsWith(root.endsWith(u'/') ? root : root + u'/');
}

void removeStaleTemporaries(const QString& path)
{
    const QFileInfo info(path);
    const QRegularExpression pattern(QStringLiteral("^%1\\.[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(info.fileName())));
    const QDir folder = info.absoluteDir();
    for (const QString& name : folder.entryList({info.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden)) {
        if (!pattern.match(name).hasMatch())
            continue;
        const QString candidate = folder.filePath(name);
#ifdef Q_OS_UNIX
        QFile file(candidate);
        if (!file.open(QIODevice::ReadOnly) || !tryLock(file.handle()))
            continue;
        // Removed while locked: no save can take it over in between.
        QFile::remove(candidate);
#else
        // Elsewhere a file that a save holds open cannot be removed.
        QFile::remove(candidate);
#endif
    }
}

namespace {

QString limitText(qint64 bytes)
{
    if (bytes >= 1024 * mebibyte && bytes % (1024 * mebibyte) == 0)
        return QStringLiteral("%1 GiB").arg(bytes / (1024 * mebibyte));
    if (bytes >= mebibyte && bytes % mebibyte == 0)
        return QStringLiteral("%1 MiB").arg(bytes / mebibyte);
    return QStringLiteral("%1 bytes").arg(bytes);
}

Result tooLarge(const QString& path, const ReadLimit& limit)
{
    return Result::failed(
        Text::ErrorCannotReadTooLarge, {QDir::toNativeSeparators(path), limitText(limit.bytes), QString::fromLatin1(limit.kind)});
}

} // namespace

Result checkWriteSize(const QString& path, qint64 size, const ReadLimit& limit)
{
    if (size <= limit.bytes)
        return Result::success();
    return Result::failed(Text::ErrorCannotWriteTooLarge,
        {QDir::toNativeSeparators(path), limitText(limit.bytes), QString::fromLatin1(limit.kind)});
}

Result cannotRead(const QString& path, const QString& cause)
{
    return Result::failed(Text::ErrorCannotRead, {QDir::toNativeSeparators(path), cause});
}

Result checkReadableFile(const QString& path, const ReadLimit& limit)
{
    const QFileInfo info(path); // follows links
    if (!info.exists())
        return Result::failed(Text::ErrorCannotReadMissing, {QDir::toNativeSeparators(path)});
    if (!info.isFile())
        return Result::failed(Text::ErrorCannotReadNotFile, {QDir::toNativeSeparators(path)});
    if (info.size() > limit.bytes)
        return tooLarge(path, limit);
    return Result::success();
}

namespace {

// Every fresh page of a large buffer costs a fault when the read first fills it; on Linux huge
// pages make that about 500 times fewer, and reading a 100 MB station file into memory then
// costs about what mapping it did. Elsewhere, or where huge pages are off, nothing changes.
void preferHugePages([[maybe_unused]] char* data, [[maybe_unused]] qint64 size)
{
#ifdef Q_OS_LINUX
    constexpr qint64 hugePage = qint64(2) << 20;
    if (size < 2 * hugePage)
        return;
    const auto page = quintptr(::sysconf(_SC_PAGESIZE));
    const quintptr begin = (quintptr(data) + page - 1) & ~(page - 1);
    const quintptr end = (quintptr(data) + quintptr(size)) & ~(page - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

std::function<void(const QString&)>& readPause()
{
    static std::function<void(const QString&)> pause;
    return pause;
}

} // namespace

void setReadPauseForTests(std::function<void(const QString& path)> pause) { readPause() = std::move(pause); }

Result readWholeFile(const QString& path, QByteArray& data, const ReadLimit& limit)
{
    data.clear();
    // A missing file is left to the open below, whose message says so as before.
    if (QFileInfo::exists(path))
        if (Result check = checkReadableFile(path, limit); !check)
            return check;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return cannotRead(path, file.errorString());
    // Up to one byte more than allowed, in a buffer that grows only as data comes: a file that
    // grew since the check, or was swapped for a device, still stops at the limit.
    const auto failedRead = [&] {
        data.clear();
        return cannotRead(path, file.errorString());
    };
    // Size first: it refreshes what the open file's status says, the time included.
    const qint64 sizeAtOpen = file.size();
    const QDateTime modifiedAtOpen = file.fileTime(QFileDevice::FileModificationTime);
    if (readPause())
        readPause()(path);
    const qint64 most = limit.bytes + 1;
    data.resize(qsizetype(qMin(sizeAtOpen + 1, most)));
    preferHugePages(data.data(), data.size());
    qint64 done = 0;
    for (;;) {
        if (done == data.size()) {
            if (done >= most)
                break;
            data.resize(qsizetype(qMin(most, done + qMax<qint64>(done, 64 * 1024))));
        }
        const qint64 n = file.read(data.data() + done, data.size() - done);
        if (n < 0)
            return failedRead();
        if (n == 0)
            break;
        done += n;
    }
    data.resize(qsizetype(done));
    if (done > limit.bytes) {
        data.clear();
        return tooLarge(path, limit);
    }
    // Shortened, grown or rewritten in place meanwhile: the bytes read may be half old, half new.
    // A file replaced by renaming is not seen here: the open file is still the old one, whole.
    if (done != sizeAtOpen || file.size() != sizeAtOpen || file.fileTime(QFileDevice::FileModificationTime) != modifiedAtOpen) {
        data.clear();
        return Result::failed(Text::ErrorChangedWhileRead, {QDir::toNativeSeparators(path)});
    }
    return Result::success();
}

FileStamp fileStamp(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    QFile file(path);
    // Only a regular file is read: a pipe could block for ever.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return {true, -1, {}};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {true, -1, {}};
    return {true, file.size(), hash.result()};
}
