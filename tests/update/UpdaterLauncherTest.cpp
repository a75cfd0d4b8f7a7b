#include "fakes/FakePlatform.h"
#include "update/StandIn.h"
#include "update/core/UpdaterLauncher.h"
#include "platform/SystemServices.h"
#include "update/core/UpdateDescriptor.h"
#include <gtest/gtest.h>
#include <csignal>
#include <sys/wait.h>

TEST(StartProgram, PollsUntilTheEndOrTheLimit)
{
    struct Case {
        const char* name;
        int pollsBeforeEnd;
        int exitCode;
        bool ended;
        qint64 elapsedMs;
    };
    const Case cases[] = {
        {"ends at once", 0, 0, true, 0},
        {"ends after three polls", 3, 5, true, 30},
        {"exit code 259 counts as running", 0, ProcessLauncher::StillActive, false, updaterWaitLimitMs},
        {"still running at the limit", -1, 0, false, updaterWaitLimitMs},
        {"ends on the last poll before the limit", 14999, 1, true, 149990},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fakes;
        fakes.processLauncher.pollsBeforeEnd = c.pollsBeforeEnd;
        fakes.processLauncher.exitCodeAtEnd = c.exitCode;
        const qint64 start = fakes.clock.Now;
        UpdaterEnd end;
        EXPECT_TRUE(startUpdater(fakes.processLauncher, fakes.clock, "/opt/swq/Ethernet_Update", Visibility::Shown, &end));
        EXPECT_EQ(end.ended, c.ended);
        if (c.ended) {
            EXPECT_EQ(end.exitCode, c.exitCode);
        }
        EXPECT_EQ(fakes.clock.Now - start, c.elapsedMs);
        ASSERT_EQ(fakes.processLauncher.Started.size(), 1u);
        EXPECT_EQ(fakes.processLauncher.Started[0].Program, "/opt/swq/Ethernet_Update");
        EXPECT_TRUE(fakes.processLauncher.Started[0].shown);
        EXPECT_EQ(fakes.processLauncher.released, QList<qint64>{1});
    }
}

TEST(StartProgram, HiddenWhenAskedAndReportsAProgramThatCannotStart)
{
    FakePlatform fakes;
    EXPECT_TRUE(startUpdater(fakes.processLauncher, fakes.clock, "/x/a", Visibility::Hidden));
    EXPECT_FALSE(fakes.processLauncher.Started[0].shown);

    fakes.processLauncher.startError = "No such file or directory";
    const qint64 start = fakes.clock.Now;
    const Result result = startUpdater(fakes.processLauncher, fakes.clock, "/x/missing", Visibility::Shown);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.textNumber, 1038);
    EXPECT_EQ(result.arg, QDir::toNativeSeparators("/x/missing"));
    EXPECT_EQ(fakes.clock.Now, start);
    EXPECT_EQ(fakes.processLauncher.released.size(), 1); // only the first program's handle
}

// The operating system's launcher with the stand-in updater.
TEST(SystemProcessLauncher, UpdaterThatEndsReturnsAtOnceWithItsCode)
{
    QTemporaryDir dir;
    const QString updater = installStandInUpdater(dir.path(), 7);
    ASSERT_TRUE(writeUpdateDescriptor({"127.0.0.1", Firmware, true, dir.filePath("MASTER"), dir.filePath("P")}, dir.path()));
    auto launcher = makeSystemProcessLauncher();
    SteadyClock clock;
    UpdaterEnd end;
    ASSERT_TRUE(startUpdater(*launcher, clock, updater, Visibility::Shown, &end));
    EXPECT_TRUE(end.ended);
    EXPECT_EQ(end.exitCode, 7);
    EXPECT_LT(clock.tickCountMs(), 10000);
    const auto record = standInRecord(dir.path());
    EXPECT_EQ(record.value("arguments"), "0");
    EXPECT_EQ(record.value("folder"), QFileInfo(dir.path()).canonicalFilePath());
    EXPECT_EQ(record.value("descriptor"), "1");
    EXPECT_EQ(record.value("session_leader"), "1");
}

TEST(SystemProcessLauncher, UpdaterStillRunningAtTheLimitIsLeftRunning)
{
    QTemporaryDir dir;
    const QString updater = installStandInUpdater(dir.path(), 0, 120000);
    qint64 pid = 0;
    {
        auto launcher = makeSystemProcessLauncher();
        FakeClock clock; // 150 s pass in a moment
        UpdaterEnd end;
        ASSERT_TRUE(startUpdater(*launcher, clock, updater, Visibility::Shown, &end));
        EXPECT_FALSE(end.ended);
        EXPECT_EQ(clock.Now - 1000, updaterWaitLimitMs);
        pid = standInRecord(dir.path(), 10000).value("pid").toLongLong();
        ASSERT_GT(pid, 0);
    } // the launcher is gone too: the updater must survive both
    QThread::msleep(50);
    EXPECT_EQ(::kill(static_cast<pid_t>(pid), 0), 0);
    int status = 0;
    EXPECT_EQ(::waitpid(static_cast<pid_t>(pid), &status, WNOHANG), 0) << "the updater ended";
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ::waitpid(static_cast<pid_t>(pid), &status, 0);
}

TEST(SystemProcessLauncher, MissingOrNotExecutableUpdaterIsReported)
{
    QTemporaryDir dir;
    auto launcher = makeSystemProcessLauncher();
    FakeClock clock;
    const QString updater = updaterProgram(dir.path());
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "not executable" : "missing");
        if (present)
            writeTestFile(updater, "#!/bin/sh\nexit 0\n"); // without the execute permission
        const Result result = startUpdater(*launcher, clock, updater, Visibility::Shown);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.textNumber, 1038);
        EXPECT_EQ(result.arg, updater);
        EXPECT_EQ(clock.Now, 1000);
    }
}
