#include "Files.h"
#include <QDir>
#include <QFile>
#include <QSaveFile>

QString Join_Path(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}

TResult Write_File_Atomic(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    // Unbuffered: a short write (disk full, file size limit) shows in write()'s count. Buffered,
    // the rest of the data would be lost in the final flush and commit() would still succeed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return TResult::Error(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    if (const qint64 written = file.write(data); written != data.size())
        return TResult::Error(QStringLiteral("Cannot write %1: only %2 of %3 bytes could be written")
                                  .arg(QDir::toNativeSeparators(path)).arg(qMax<qint64>(written, 0)).arg(data.size()));
    if (!file.commit())
        return TResult::Error(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return TResult::Success();
}

TResult Read_Whole_File(const QString& path, QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TResult::Error(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return TResult::Error(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return TResult::Success();
}
