#include "base/ProgramFolder.h"
#include "base/Files.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#ifdef Q_OS_UNIX
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#ifdef SWQ_HAVE_FILE_SIZE_LIMIT
TEST(Files, FailedWriteLeavesTheOldFileAndNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.xml");
    writeTestFile(path, "old");
    const QByteArray big(4096, 'n');
    Result result;
    {
        const FileSizeLimit fullDisk(1000); // part of the data fits: a short write
        result = writeFileAtomically(path, big);
    }
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(englishMessage(result).contains("data.xml")) << englishMessage(result).toStdString();
    EXPECT_EQ(readTestFile(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"data.xml"});

    ASSERT_TRUE(writeFileAtomically(path, big).ok);
    EXPECT_EQ(readTestFile(path), big);
}
#endif

#ifdef SWQ_HAVE_FILE_SIZE_LIMIT
TEST(Files, FailedWriteNamesTheSystemCause)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.xml");
    Result result;
    {
        const FileSizeLimit fullDisk(1000);
        result = writeFileAtomically(path, QByteArray(4096, 'n'));
    }
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(englishMessage(result).endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << englishMessage(result).toStdString();
}

TEST(Files, SeveralFilesAreReplacedTogetherOrNotAtAll)
{
    QTemporaryDir dir;
    const QString first = dir.filePath("first.bin"), second = dir.filePath("second.bin");
    writeTestFile(first, "old first");
    writeTestFile(second, "old second");
    const FileContents files[] = {{first, QByteArray(500, '1')}, {second, QByteArray(3000, '2')}};
    Result result;
    {
        const FileSizeLimit fullDisk(1000); // the first fits, the second does not
        result = writeFilesAtomically(files);
    }
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(englishMessage(result).startsWith("Cannot write " + QDir::toNativeSeparators(second) + ": "))
        << englishMessage(result).toStdString();
    EXPECT_EQ(readTestFile(first), "old first");
    EXPECT_EQ(readTestFile(second), "old second");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"first.bin", "second.bin"}));

    ASSERT_TRUE(writeFilesAtomically(files).ok);
    EXPECT_EQ(readTestFile(first), files[0].data);
    EXPECT_EQ(readTestFile(second), files[1].data);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"first.bin", "second.bin"}));
}
#endif

TEST(Files, SecondTargetThatCannotBeReplacedKeepsTheFirstOld)
{
    QTemporaryDir dir;
    const QString first = dir.filePath("first.bin"), second = dir.filePath("second.bin");
    writeTestFile(first, "old first");
    QDir().mkpath(second);
    const FileContents files[] = {{first, "new first"}, {second, "new second"}};
    const Result result = writeFilesAtomically(files);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(englishMessage(result).contains("second.bin")) << englishMessage(result).toStdString();
    EXPECT_EQ(readTestFile(first), "old first");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"first.bin"}));
}

namespace {

QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

} // namespace

TEST(Files, TemporariesOfAnInterruptedSaveGoAtTheNextSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("IEC_61850_Client.xml");
    writeTestFile(path, "old");
    struct Case {
        const char* name;
        bool stale;
    };
    const Case cases[] = {
        {"IEC_61850_Client.xml.aB3xY9", true},
        {"IEC_61850_Client.xml.000000", true},
        {"IEC_61850_Client.xml.aB3xY", false}, // five characters
        {"IEC_61850_Client.xml.aB3xY9z", false}, // seven
        {"IEC_61850_Client.xml.aB-xY9", false}, // not a letter or digit
        {"IEC_61850_Client.xmlXaB3xY9", false}, // no dot
        {"ParGen.xml.aB3xY9", false}, // another file's
        {"XIEC_61850_Client.xml.aB3xY9", false},
    };
    for (const Case& c : cases)
        writeTestFile(dir.filePath(c.name), QByteArray(4096, 't'));

    ASSERT_TRUE(writeFileAtomically(path, "new").ok);
    QStringList expected{"IEC_61850_Client.xml"};
    for (const Case& c : cases)
        if (!c.stale)
            expected << c.name;
    expected.sort();
    EXPECT_EQ(filesIn(dir.path()), expected);
    EXPECT_EQ(readTestFile(path), "new");
}

#ifdef Q_OS_UNIX
TEST(Files, TemporaryOfASaveStillRunningIsKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    const QString running = path + ".Run123";
    // Another process saving now holds its temporary file locked, as the writer does.
    QFile other(running);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    ASSERT_EQ(::flock(other.handle(), LOCK_EX | LOCK_NB), 0);
    ASSERT_TRUE(writeFileAtomically(path, "new").ok);
    EXPECT_TRUE(QFileInfo::exists(running));
    other.close();
    ASSERT_TRUE(writeFileAtomically(path, "newer").ok);
    EXPECT_FALSE(QFileInfo::exists(running));
}
#endif

#ifdef Q_OS_UNIX
namespace {

// Makes a character device node like /dev/null's (1, 3) at `path`, where the system allows it
// (root, outside a container that forbids it); otherwise says why not.
QString makeDeviceNode(const QString& path)
{
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        return {};
    return QStringLiteral("mknod is not allowed here (%1): the device rows need root")
        .arg(QString::fromLocal8Bit(strerror(errno)));
}

QString makeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0 ? QString() : QStringLiteral("no FIFO");
}

mode_t modeOf(const QString& path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

// A file the engineer names (an exported point list, a language template) is written only as a
// regular file: what else stands there is refused with its reason and left as it was.
TEST(Files, ChosenFileIsWrittenOnlyAsARegularFile)
{
    struct Case {
        const char* name;
        // Makes what stands at `path` in `dir`; a text says why the row cannot run here.
        std::function<QString(const QTemporaryDir& dir, const QString& path)> make;
        const char* refusal; // the end of the message; empty when written
        QString written = QStringLiteral("out.csv"); // where the bytes land, relative to the folder
    };
    const auto regular = [](const QTemporaryDir&, const QString& path) {
        writeTestFile(path, "old");
        return QString();
    };
    const Case cases[] = {
        {"new file", [](const QTemporaryDir&, const QString&) { return QString(); }, ""},
        {"regular file", regular, ""},
        {"link to a regular file",
            [](const QTemporaryDir& dir, const QString& path) {
                QDir(dir.path()).mkdir("elsewhere");
                writeTestFile(dir.filePath("elsewhere/target.csv"), "old");
                return QFile::link(dir.filePath("elsewhere/target.csv"), path) ? QString() : QStringLiteral("no link");
            },
            "", QStringLiteral("elsewhere/target.csv")},
        {"FIFO", [](const QTemporaryDir&, const QString& path) { return makeFifo(path); },
            "it is a pipe (FIFO), not a regular file"},
        {"link to a FIFO",
            [](const QTemporaryDir& dir, const QString& path) {
                const QString made = makeFifo(dir.filePath("pipe"));
                return made.isEmpty() && QFile::link(dir.filePath("pipe"), path) ? made : QStringLiteral("no link");
            },
            "it is a pipe (FIFO), not a regular file"},
        {"device node", [](const QTemporaryDir&, const QString& path) { return makeDeviceNode(path); },
            "it is a device, not a regular file"},
        {"link to a device node",
            [](const QTemporaryDir& dir, const QString& path) {
                const QString made = makeDeviceNode(dir.filePath("null"));
                return !made.isEmpty() || QFile::link(dir.filePath("null"), path) ? made : QStringLiteral("no link");
            },
            "it is a device, not a regular file"},
        {"folder",
            [](const QTemporaryDir&, const QString& path) {
                return QDir().mkdir(path) ? QString() : QStringLiteral("no folder");
            },
            "a folder has this name"},
        {"link to a folder",
            [](const QTemporaryDir& dir, const QString& path) {
                return QFile::link(dir.path(), path) ? QString() : QStringLiteral("no link");
            },
            "a folder has this name"},
        {"link that leads nowhere",
            [](const QTemporaryDir& dir, const QString& path) {
                return QFile::link(dir.filePath("nowhere.csv"), path) ? QString() : QStringLiteral("no link");
            },
            "which does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("out.csv");
        if (const QString why = c.make(dir, path); !why.isEmpty()) {
            std::cout << "[  SKIPPED ] row \"" << c.name << "\": " << why.toStdString() << '\n';
            continue;
        }
        const mode_t before = modeOf(path);
        const Result result = writeChosenFile(path, "a;b\n");
        if (*c.refusal) {
            EXPECT_FALSE(result.ok);
            EXPECT_TRUE(englishMessage(result).startsWith("Cannot write " + QDir::toNativeSeparators(path) + ": "))
                << englishMessage(result).toStdString();
            EXPECT_TRUE(englishMessage(result).endsWith(c.refusal)) << englishMessage(result).toStdString();
            EXPECT_EQ(modeOf(path), before); // still what it was, never replaced
            EXPECT_FALSE(QFileInfo::exists(dir.filePath("nowhere.csv")));
            continue;
        }
        ASSERT_TRUE(result.ok) << englishMessage(result).toStdString();
        EXPECT_EQ(readTestFile(dir.filePath(c.written)), "a;b\n");
        // A link stays a link, leading where it led.
        EXPECT_EQ(S_ISLNK(modeOf(path)), S_ISLNK(before));
        // Written atomically beside the file it replaced: no temporary left.
        const QFileInfo written(dir.filePath(c.written));
        EXPECT_EQ(QDir(written.path()).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks),
            QStringList{written.fileName()});
    }
}

// A new file gets the usual permissions (0666 less the umask), a replaced regular file keeps its
// own; what a link led to that is no regular file (a world-writable device) lends it nothing.
TEST(Files, WrittenFilesGetTheUsualPermissions)
{
    const mode_t usual = 0666 & ~currentUmask();
    struct Case {
        const char* name;
        std::function<QString(const QTemporaryDir& dir, const QString& path)> make;
        mode_t mode;
    };
    const Case cases[] = {
        {"new file", [](const QTemporaryDir&, const QString&) { return QString(); }, usual},
        {"regular file of mode 0600",
            [](const QTemporaryDir&, const QString& path) {
                writeTestFile(path, "old");
                return ::chmod(QFile::encodeName(path).constData(), 0600) == 0 ? QString() : QStringLiteral("no chmod");
            },
            0600},
        {"link to a world-writable FIFO",
            [](const QTemporaryDir& dir, const QString& path) {
                const QString fifo = dir.filePath("pipe");
                if (!makeFifo(fifo).isEmpty() || ::chmod(QFile::encodeName(fifo).constData(), 0666) != 0)
                    return QStringLiteral("no FIFO");
                return QFile::link(fifo, path) ? QString() : QStringLiteral("no link");
            },
            usual},
        {"link to a world-writable device node",
            [](const QTemporaryDir& dir, const QString& path) {
                const QString made = makeDeviceNode(dir.filePath("null"));
                return !made.isEmpty() || QFile::link(dir.filePath("null"), path) ? made : QStringLiteral("no link");
            },
            usual},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(settingsFileName);
        if (const QString why = c.make(dir, path); !why.isEmpty()) {
            std::cout << "[  SKIPPED ] row \"" << c.name << "\": " << why.toStdString() << '\n';
            continue;
        }
        ASSERT_TRUE(writeFileAtomically(path, "<Conf_Settings/>").ok);
        EXPECT_TRUE(S_ISREG(modeOf(path)));
        EXPECT_EQ(modeOf(path) & 07777, c.mode) << std::oct << (modeOf(path) & 07777);
        EXPECT_EQ(readTestFile(path), "<Conf_Settings/>");
    }
}
#endif

// Another program changing a file while it is read: the reader gets an error, never a mix of
// old and new bytes (nor, as a mapped file shortened under its reader did, a crash).
TEST(Files, FileChangedDuringTheReadIsAnError)
{
    const QByteArray old(4000, 'o');
    struct Case {
        const char* name;
        std::function<void(const QString& path)> change;
        bool refused;
    };
    const Case cases[] = {
        {"unchanged", [](const QString&) {}, false},
        {"shortened", [](const QString& path) { QFile(path).resize(1000); }, true},
        {"emptied", [](const QString& path) { QFile(path).resize(0); }, true},
        {"grown",
            [](const QString& path) {
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::Append));
                file.write("more");
            },
            true},
        {"rewritten in place, same size",
            [](const QString& path) {
                QThread::msleep(20); // a later time than the read began with
                writeTestFile(path, QByteArray(4000, 'n'));
            },
            true},
        // The open file is still the old one, whole: nothing is mixed.
        {"replaced by renaming", [](const QString& path) { ASSERT_TRUE(writeFileAtomically(path, "new").ok); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("station.scd");
        writeTestFile(path, old);
        int pauses = 0;
        setReadPauseForTests([&](const QString& read) {
            ++pauses;
            EXPECT_EQ(read, path);
            c.change(path);
        });
        QByteArray data;
        const Result result = readWholeFile(path, data);
        setReadPauseForTests({});
        EXPECT_EQ(pauses, 1);
        EXPECT_EQ(!result.ok, c.refused) << englishMessage(result).toStdString();
        if (c.refused) {
            EXPECT_EQ(englishMessage(result),
                "Cannot read " + QDir::toNativeSeparators(path) + ": another program changed it while it was read; try again");
            EXPECT_TRUE(data.isEmpty());
        } else
            EXPECT_EQ(data, old);
    }
}
