#include "support/TestSupport.h"
#include "base/TextTable.h"
#include "update/core/UpdateLog.h"
#include "configuration/core/ConfigurationPaths.h"
#include <gtest/gtest.h>

TEST(UpdateLog, AppendsOneLinePerRunUnderOneHeading)
{
    QTemporaryDir dir;
    const QDateTime time(QDate(2026, 3, 1), QTime(9, 30, 5));
    ASSERT_TRUE(
        appendUpdateLog(ConfigurationPaths(dir.path()), {time, "127.0.0.1", 2, false, 2048, 98, 3466, outcomeExitCode(0)}));
    // A reason with a comma and quotes stays one field.
    ASSERT_TRUE(appendUpdateLog(
        ConfigurationPaths(dir.path()), {time, "127.0.0.1", 0, true, 2048, 24, 3466, outcomeNotStarted("no \"x\", sorry")}));
    ASSERT_TRUE(appendUpdateLog(ConfigurationPaths(dir.path()), {time, "10.0.0.1", 1, true, 0, 0, 0, outcomeStillRunning()}));
    EXPECT_EQ(readTestFile(ConfigurationPaths(dir.path()).updateLogFile()),
        "time,address,option,read_back,bank1_bytes,bank2_bytes,bank1_checksum,outcome\n"
        "2026-03-01T09:30:05,127.0.0.1,Configuration,0,2048,98,3466,exit code 0\n"
        "2026-03-01T09:30:05,127.0.0.1,Firmware + Configuration,1,2048,24,3466,\"not started: no \"\"x\"\", sorry\"\n"
        "2026-03-01T09:30:05,10.0.0.1,Firmware,1,0,0,0,still running after 150 s\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"update-log.csv"});
}

TEST(UpdateLog, ALogThatCannotBeWrittenIsAnErrorNamingIt)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("update-log.csv"); // a folder where the file should go
    const Result result
        = appendUpdateLog(ConfigurationPaths(dir.path()), {QDateTime::currentDateTime(), "127.0.0.1", 0, true, 0, 0, 0, "x"});
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(englishMessage(result).contains("update-log.csv")) << englishMessage(result).toStdString();
}

namespace {

const QByteArray logHeading = "time,address,option,read_back,bank1_bytes,bank2_bytes,bank1_checksum,outcome\n";

UpdateLogEntry runAt(int second, const char* address = "127.0.0.1")
{
    return {QDateTime(QDate(2026, 3, 1), QTime(9, 30, second)), address, 2, true, 2048, 98, 3466, {}};
}

} // namespace

// A run is in the log from its start; its outcome replaces "unknown" on its own line, and the
// lines of other runs (also one left unknown by a program that ended during its run) stay as
// they are.
TEST(UpdateLog, ARunIsRecordedAtItsStartAndCompletedOnItsOwnLine)
{
    QTemporaryDir dir;
    const QString unknown = ",unknown: the configurator did not see the updater end\n";
    ASSERT_TRUE(startUpdateLog(ConfigurationPaths(dir.path()), runAt(1)));
    ASSERT_TRUE(startUpdateLog(ConfigurationPaths(dir.path()), runAt(2, "10.0.0.2")));
    EXPECT_EQ(readTestFile(ConfigurationPaths(dir.path()).updateLogFile()),
        logHeading + "2026-03-01T09:30:01,127.0.0.1,Configuration,1,2048,98,3466" + unknown.toUtf8()
            + "2026-03-01T09:30:02,10.0.0.2,Configuration,1,2048,98,3466" + unknown.toUtf8());

    ASSERT_TRUE(completeUpdateLog(ConfigurationPaths(dir.path()), runAt(2, "10.0.0.2"), outcomeExitCode(0)));
    ASSERT_TRUE(startUpdateLog(ConfigurationPaths(dir.path()), runAt(3)));
    ASSERT_TRUE(completeUpdateLog(ConfigurationPaths(dir.path()), runAt(3), outcomeNotStarted("no, \"x\"")));
    EXPECT_EQ(readTestFile(ConfigurationPaths(dir.path()).updateLogFile()),
        logHeading + "2026-03-01T09:30:01,127.0.0.1,Configuration,1,2048,98,3466" + unknown.toUtf8()
            + "2026-03-01T09:30:02,10.0.0.2,Configuration,1,2048,98,3466,exit code 0\n"
            + "2026-03-01T09:30:03,127.0.0.1,Configuration,1,2048,98,3466,\"not started: no, \"\"x\"\"\"\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"update-log.csv"});
}

// The started line is gone (the log was removed or edited during the run): the outcome is
// still logged, on a line of its own.
TEST(UpdateLog, AnOutcomeWhoseStartedLineIsGoneIsAppended)
{
    QTemporaryDir dir;
    ASSERT_TRUE(startUpdateLog(ConfigurationPaths(dir.path()), runAt(1)));
    QFile::remove(ConfigurationPaths(dir.path()).updateLogFile());
    ASSERT_TRUE(completeUpdateLog(ConfigurationPaths(dir.path()), runAt(1), outcomeStillRunning()));
    EXPECT_EQ(readTestFile(ConfigurationPaths(dir.path()).updateLogFile()),
        logHeading + "2026-03-01T09:30:01,127.0.0.1,Configuration,1,2048,98,3466,still running after 150 s\n");
}

// A full log moves aside as update-log.1.csv, unread, and a new one begins: the newest runs
// are kept and no run fails for the log's size, also with a log grown past what a reader takes.
TEST(UpdateLog, AFullLogIsRotatedInsteadOfRefusingEveryLaterRun)
{
    struct Case {
        const char* name;
        qint64 size; // of the log before the run
        bool older; // an update-log.1.csv is there already
        bool rotated;
    };
    const Case cases[] = {
        {"just under the size", updateLogRotateBytes - 1, false, false},
        {"at the size", updateLogRotateBytes, false, true},
        {"past every read limit", 64 * mebibyte + 1, false, true},
        {"older log replaced", updateLogRotateBytes + 10, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString log = ConfigurationPaths(dir.path()).updateLogFile(),
                      older = ConfigurationPaths(dir.path()).olderUpdateLogFile();
        {
            QFile file(log);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(logHeading);
            ASSERT_TRUE(file.resize(c.size)); // zeros up to the size, without writing them
        }
        if (c.older)
            writeTestFile(older, "old runs\n");

        ASSERT_TRUE(startUpdateLog(ConfigurationPaths(dir.path()), runAt(1))) << c.name;
        ASSERT_TRUE(completeUpdateLog(ConfigurationPaths(dir.path()), runAt(1), outcomeExitCode(0)));
        const QByteArray line = "2026-03-01T09:30:01,127.0.0.1,Configuration,1,2048,98,3466,exit code 0\n";
        if (c.rotated) {
            EXPECT_EQ(readTestFile(log), logHeading + line);
            EXPECT_EQ(QFileInfo(older).size(), c.size); // the whole old log, moved
            QFile moved(older);
            ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
            EXPECT_EQ(moved.read(logHeading.size()), logHeading);
        } else {
            EXPECT_FALSE(QFileInfo::exists(older));
            EXPECT_EQ(QFileInfo(log).size(), c.size + 1 + line.size()); // a line break ends the last line
            EXPECT_TRUE(readTestFile(log).endsWith('\n' + line));
        }
    }
}
