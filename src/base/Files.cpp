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

Result readWholeFile(const QString& path, QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result::error(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Result::error(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return Result::success();
}
