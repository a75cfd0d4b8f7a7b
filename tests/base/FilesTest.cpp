#include "base/Files.h"
#include "base/ProgramState.h"
#include "support/TestSupport.h"
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#ifdef Q_OS_UNIX
#include <sys/file.h>
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
    EXPECT_TRUE(result.message.contains("data.xml")) << result.message.toStdString();
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
    EXPECT_TRUE(result.message.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG)))) << result.message.toStdString();
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
    EXPECT_TRUE(result.message.startsWith("Cannot write " + QDir::toNativeSeparators(second) + ": "))
        << result.message.toStdString();
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
    EXPECT_TRUE(result.message.contains("second.bin")) << result.message.toStdString();
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

TEST(Files, OpeningAConfigurationRemovesTheTemporariesOfItsFiles)
{
    QTemporaryDir dir;
    ProgramState state;
    state.setProgramFolder(dir.path());
    const QString project = joinPath(state.projectsFolder, "Plant");
    const QString bin = joinPath(project, "bin"), catalog = joinPath(project, "ICD_Catalog");
    QDir().mkpath(bin);
    QDir().mkpath(catalog);
    struct Case {
        QString path;
        bool stale;
    };
    const Case cases[] = {
        {joinPath(project, "IEC_61850_Client.xml.Xy12Ab"), true},
        {joinPath(project, "ParGen.xml.q9Q9q9"), true},
        {joinPath(bin, "bank1.bin.ABCDEF"), true},
        {joinPath(bin, "bank2.bin.abc123"), true},
        {joinPath(catalog, "basic.scd.Tmp001"), true},
        {joinPath(catalog, "Feeder.ICD.Tmp002"), true}, // a first import, no copy of that name yet
        {joinPath(catalog, "basic.scd"), false},
        {joinPath(catalog, "notes.txt.Tmp003"), false}, // not an SCL name
        {joinPath(project, "IEC_61850_Client.xml"), false},
        {joinPath(project, "Readme.txt.Tmp004"), false},
        {joinPath(bin, "bank3.bin.abc123"), false},
    };
    for (const Case& c : cases)
        writeTestFile(c.path, "x");
    // Another configuration is left alone.
    const QString other = joinPath(state.projectsFolder, "Other");
    QDir().mkpath(other);
    writeTestFile(joinPath(other, "ParGen.xml.q9Q9q9"), "x");

    state.activateConfiguration("Plant");
    for (const Case& c : cases)
        EXPECT_EQ(QFileInfo::exists(c.path), !c.stale) << c.path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(joinPath(other, "ParGen.xml.q9Q9q9")));
}
