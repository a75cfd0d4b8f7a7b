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
    if (!file.open(QIODevice::WriteOnly))
        return TResult::Error(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    if (file.write(data) != data.size() || !file.commit())
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
