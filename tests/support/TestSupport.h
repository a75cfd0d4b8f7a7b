#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <csignal>
#include <ostream>
#if __has_include(<sys/resource.h>)
#include <sys/resource.h>
#define SWQ_HAVE_FILE_SIZE_LIMIT 1
#endif

inline QString Fixture(const QString& name) { return QStringLiteral(SWQ_FIXTURES_DIR "/") + name; }
inline QString corpusFolder() { return QStringLiteral(SWQ_CORPUS_DIR); }

inline void writeTestFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

// Files written just now are not trusted to show their next change: tests date them back.
inline void setModifiedTime(const QString& path, const QDateTime& time)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || !f.setFileTime(time, QFileDevice::FileModificationTime))
        qFatal("cannot date %s", qPrintable(path));
}

inline QByteArray readTestFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

#ifdef SWQ_HAVE_FILE_SIZE_LIMIT
// While it lives, no file of the process may grow beyond `bytes`: writes fail as on a full
// disk, also for a root user, whom a read-only folder would not stop.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
        : oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &oldLimit);
        rlimit limit = oldLimit;
        limit.rlim_cur = bytes;
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            qFatal("cannot limit the file size");
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*oldHandler)(int);
    rlimit oldLimit{};
};
#endif

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
