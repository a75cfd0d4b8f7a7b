#pragma once
// Readers that take a path get each input through one file in a temporary folder of the
// process, rewritten per run, so that parallel fuzzing jobs never share it; the folder goes
// when the program ends.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

// A failed expectation of a target: libFuzzer saves the input as a crash, the seed run fails.
inline void fuzzExpect(bool holds)
{
    if (!holds)
        std::abort();
}

inline QString fuzzFolder(const char* target)
{
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/swq-fuzz-%1-XXXXXX").arg(QLatin1String(target)));
    fuzzExpect(folder.isValid());
    return folder.path();
}

inline QString writeFuzzInput(const char* target, const QString& fileName, const uint8_t* data, size_t size)
{
    const QString path = fuzzFolder(target) + u'/' + fileName;
    QFile file(path);
    fuzzExpect(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    fuzzExpect(size == 0 || file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    return path;
}
