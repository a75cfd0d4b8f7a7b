#pragma once
// Readers that take a path get each input through one file per process, rewritten per run,
// so that parallel fuzzing jobs never share it.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <unistd.h>

inline QString fuzzFolder(const char* target)
{
    static const QString folder = [&] {
        const QString path = QStringLiteral("/tmp/swq-fuzz-%1-%2").arg(QString::fromLatin1(target)).arg(getpid());
        QDir().mkpath(path);
        return path;
    }();
    return folder;
}

inline QString writeFuzzInput(const char* target, const QString& fileName, const uint8_t* data, size_t size)
{
    const QString path = fuzzFolder(target) + u'/' + fileName;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        __builtin_trap();
    if (size > 0 && file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        __builtin_trap();
    return path;
}
