#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <ostream>

inline QString Fixture(const QString& name) { return QStringLiteral(SWQ_FIXTURES_DIR "/") + name; }
inline QString Corpus_Folder() { return QStringLiteral(SWQ_CORPUS_DIR); }

inline void Write_Test_File(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

inline QByteArray Read_Test_File(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}


// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
