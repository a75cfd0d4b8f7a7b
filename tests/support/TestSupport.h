#pragma once
#include <QByteArray>
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


#ifdef SWQ_HAVE_FILE_SIZE_LIMIT
// While it lives, no file of the process may grow beyond `bytes`: writes fail as on a full
// disk, also for a root user, whom a read-only folder would not stop.
class TFile_Size_Limit {
public:
    explicit TFile_Size_Limit(rlim_t bytes)
        : Old_Handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &Old_Limit);
        rlimit limit = Old_Limit;
        limit.rlim_cur = bytes;
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            qFatal("cannot limit the file size");
    }
    ~TFile_Size_Limit()
    {
        setrlimit(RLIMIT_FSIZE, &Old_Limit);
        std::signal(SIGXFSZ, Old_Handler);
    }
    TFile_Size_Limit(const TFile_Size_Limit&) = delete;
    TFile_Size_Limit& operator=(const TFile_Size_Limit&) = delete;

private:
    void (*Old_Handler)(int);
    rlimit Old_Limit{};
};
#endif

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
