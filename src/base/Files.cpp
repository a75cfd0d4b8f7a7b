#include "base/Files.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString joinPath(const QString& folder, const QString& name) { return folder + QDir::separator() + name; }

Result writeFileAtomically(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    // Unbuffered: a short write (disk full, file size limit) shows in write()'s count. Buffered,
    // the rest of the data would be lost in the final flush and commit() would still succeed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Result::error(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    if (const qint64 written = file.write(data); written != data.size())
        return Result::error(QStringLiteral("Cannot write %1: only %2 of %3 bytes could be written")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(qMax<qint64>(written, 0))
                                 .arg(data.size()));
    if (!file.commit())
        return Result::error(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return Result::success();
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
    return Result::error(QStringLiteral("Cannot read %1: it is larger than the %2 %3 may have")
                             .arg(QDir::toNativeSeparators(path), limitText(limit.bytes), QString::fromLatin1(limit.kind)));
}

} // namespace

Result checkReadableFile(const QString& path, const ReadLimit& limit)
{
    const QFileInfo info(path); // follows links
    if (!info.exists())
        return Result::error(QStringLiteral("Cannot read %1: there is no such file").arg(QDir::toNativeSeparators(path)));
    if (!info.isFile())
        return Result::error(QStringLiteral("Cannot read %1: it is not a regular file").arg(QDir::toNativeSeparators(path)));
    if (info.size() > limit.bytes)
        return tooLarge(path, limit);
    return Result::success();
}

Result readWholeFile(const QString& path, QByteArray& data, const ReadLimit& limit)
{
    data.clear();
    // A missing file is left to the open below, whose message says so as before.
    if (QFileInfo::exists(path))
        if (Result check = checkReadableFile(path, limit); !check)
            return check;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return Result::error(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    // Up to one byte more than allowed, in a buffer that grows only as data comes: a file that
    // grew since the check, or was swapped for a device, still stops at the limit.
    const auto cannotRead = [&] {
        data.clear();
        return Result::error(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    };
    const qint64 most = limit.bytes + 1;
    data.resize(qsizetype(qMin(file.size() + 1, most)));
    qint64 done = 0;
    for (;;) {
        if (done == data.size()) {
            if (done >= most)
                break;
            data.resize(qsizetype(qMin(most, done + qMax<qint64>(done, 64 * 1024))));
        }
        const qint64 n = file.read(data.data() + done, data.size() - done);
        if (n < 0)
            return cannotRead();
        if (n == 0)
            break;
        done += n;
    }
    data.resize(qsizetype(done));
    if (done > limit.bytes) {
        data.clear();
        return tooLarge(path, limit);
    }
    return Result::success();
}
