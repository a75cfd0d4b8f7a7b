#include "support/TestSupport.h"
#include "update/core/UpdateLog.h"
#include <gtest/gtest.h>

TEST(UpdateLog, AppendsOneLinePerRunUnderOneHeading)
{
    QTemporaryDir dir;
    const QDateTime time(QDate(2026, 3, 1), QTime(9, 30, 5));
    ASSERT_TRUE(appendUpdateLog(dir.path(), {time, "127.0.0.1", 2, false, 2048, 98, 3466, outcomeExitCode(0)}));
    // A reason with a comma and quotes stays one field.
    ASSERT_TRUE(appendUpdateLog(dir.path(), {time, "127.0.0.1", 0, true, 2048, 24, 3466, outcomeNotStarted("no \"x\", sorry")}));
    ASSERT_TRUE(appendUpdateLog(dir.path(), {time, "10.0.0.1", 1, true, 0, 0, 0, outcomeStillRunning()}));
    EXPECT_EQ(readTestFile(updateLogFile(dir.path())),
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
    const Result result = appendUpdateLog(dir.path(), {QDateTime::currentDateTime(), "127.0.0.1", 0, true, 0, 0, 0, "x"});
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains("update-log.csv")) << result.message.toStdString();
}
