#include "fakes/FakePlatform.h"
#include "update/StandIn.h"
#include "update/core/UpdaterLauncher.h"
#include "platform/SystemServices.h"
#include "update/core/UpdateDescriptor.h"
#include <gtest/gtest.h>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <sys/wait.h>
#endif

namespace {

// Whether the process `pid` (a child of this one on Linux) still runs; ends it either way.
bool stillRunningThenEnd(qint64 pid)
{
#ifdef Q_OS_WIN
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    return running;
#else
    int status = 0;
    const bool running = ::kill(static_cast<pid_t>(pid), 0) == 0 && ::waitpid(static_cast<pid_t>(pid), &status, WNOHANG) == 0;
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ::waitpid(static_cast<pid_t>(pid), &status, 0);
    return running;
#endif
}

// Polls as the update window's timer does, the fake clock moving one poll interval each time,
// until the run is no longer Running.
UpdaterRun::State pollToTheEnd(UpdaterRun& run, FakeClock& clock)
{
    UpdaterRun::State state = run.state();
    while (state == UpdaterRun::State::Running) {
        clock.sleepMs(updaterPollMs);
        state = run.poll();
    }
    return state;
}

} // namespace

TEST(UpdaterRun, PollsUntilTheEndOrTheLimit)
{
    using S = UpdaterRun::State;
    struct Case {
        const char* name;
        int pollsBeforeEnd;
        int exitCode;
        S state;
        qint64 elapsedMs;
    };
    const Case cases[] = {
        {"ends at once", 0, 0, S::Ended, 500},
        {"ends after three polls", 3, 5, S::Ended, 2000},
        {"exit code 259 counts as running", 0, ProcessLauncher::StillActive, S::StillRunningAtLimit, updaterWaitLimitMs},
        {"still running at the limit", -1, 0, S::StillRunningAtLimit, updaterWaitLimitMs},
        {"ends on the last poll before the limit", 298, 1, S::Ended, 149500},
        {"ends on the poll at the limit", 299, 1, S::Ended, updaterWaitLimitMs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fakes;
        fakes.processLauncher.pollsBeforeEnd = c.pollsBeforeEnd;
        fakes.processLauncher.exitCodeAtEnd = c.exitCode;
        UpdaterRun run(fakes.processLauncher, fakes.clock);
        ASSERT_TRUE(run.start("/opt/swq/Ethernet_Update", "/opt/swq", Visibility::Shown));
        EXPECT_EQ(pollToTheEnd(run, fakes.clock), c.state);
        EXPECT_EQ(run.elapsedMs(), c.elapsedMs);
        if (c.state == S::Ended) {
            EXPECT_EQ(run.exitCode(), c.exitCode);
            EXPECT_FALSE(run.stillRunning());
            EXPECT_EQ(fakes.processLauncher.released, QList<qint64>{1});
        } else {
            EXPECT_TRUE(run.stillRunning());
            EXPECT_TRUE(fakes.processLauncher.released.isEmpty()); // still followed, never killed
        }
        ASSERT_EQ(fakes.processLauncher.Started.size(), 1u);
        EXPECT_EQ(fakes.processLauncher.Started[0].Program, "/opt/swq/Ethernet_Update");
        EXPECT_EQ(fakes.processLauncher.Started[0].workingFolder, "/opt/swq");
        EXPECT_TRUE(fakes.processLauncher.Started[0].shown);
    }
}

// Past the limit the run is still asked when a new update wants to start: it ends there.
TEST(UpdaterRun, PastTheLimitAnEndIsStillNoticedAndTheHandleGoesBackOnce)
{
    FakePlatform fakes;
    fakes.processLauncher.pollsBeforeEnd = 301;
    fakes.processLauncher.exitCodeAtEnd = 4;
    {
        UpdaterRun run(fakes.processLauncher, fakes.clock);
        ASSERT_TRUE(run.start("/x/u", "/x", Visibility::Hidden));
        EXPECT_FALSE(fakes.processLauncher.Started[0].shown);
        EXPECT_EQ(pollToTheEnd(run, fakes.clock), UpdaterRun::State::StillRunningAtLimit);
        EXPECT_TRUE(run.stillRunning()); // poll 301
        EXPECT_FALSE(run.stillRunning()); // poll 302: ended
        EXPECT_EQ(run.state(), UpdaterRun::State::Ended);
        EXPECT_EQ(run.exitCode(), 4);
    }
    EXPECT_EQ(fakes.processLauncher.released, QList<qint64>{1});

    // A run dropped while its program runs lets go of the handle, and only of it.
    fakes.processLauncher.pollsBeforeEnd = -1;
    {
        UpdaterRun run(fakes.processLauncher, fakes.clock);
        ASSERT_TRUE(run.start("/x/u", "/x", Visibility::Shown));
        EXPECT_EQ(run.poll(), UpdaterRun::State::Running);
    }
    EXPECT_EQ(fakes.processLauncher.released, (QList<qint64>{1, 2}));
}

TEST(UpdaterRun, StartFailureNamesThePathAndWhy)
{
    using F = ProcessLauncher::StartFailure;
    struct Case {
        F failure;
        int textNumber;
        QString arg;
    };
    const QString path = QDir::toNativeSeparators("/x/Ethernet_Update");
    const Case cases[] = {
        {F::NotFound, 1038, path},
        {F::NotExecutable, 1400, path},
        {F::Other, 1401, path + "\nArgument list too long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.textNumber);
        FakePlatform fakes;
        fakes.processLauncher.startError = "Argument list too long";
        fakes.processLauncher.startFailure = c.failure;
        UpdaterRun run(fakes.processLauncher, fakes.clock);
        const Result result = run.start("/x/Ethernet_Update", "/x", Visibility::Shown);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.textNumber, c.textNumber);
        EXPECT_EQ(result.args.value(0), c.arg);
        EXPECT_FALSE(run.stillRunning());
        EXPECT_TRUE(fakes.processLauncher.released.isEmpty());
    }
}

// The operating system's launcher with the stand-in updater, started from another folder.
TEST(SystemProcessLauncher, UpdaterRunsInTheProgramFolderDetachedAndGivesItsCode)
{
    QTemporaryDir dir;
    const QString updater = installStandInUpdater(dir.path(), 7);
    ASSERT_TRUE(writeUpdateDescriptor({"127.0.0.1", Firmware, true, dir.filePath("MASTER"), dir.filePath("P")}, dir.path()));
    auto launcher = makeSystemProcessLauncher();
    SteadyClock clock;
    UpdaterRun run(*launcher, clock);
    ASSERT_TRUE(run.start(updater, dir.path(), Visibility::Shown));
    while (run.poll() == UpdaterRun::State::Running)
        QThread::msleep(10);
    EXPECT_EQ(run.state(), UpdaterRun::State::Ended);
    EXPECT_EQ(run.exitCode(), 7);
    const auto record = standInRecord(dir.path());
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    EXPECT_EQ(record.value("arguments"), "0");
    EXPECT_EQ(record.value("folder"), folder);
    EXPECT_EQ(record.value("working_folder"), folder);
    EXPECT_EQ(record.value("descriptor"), "1"); // found by its plain name
#ifndef Q_OS_WIN
    EXPECT_EQ(record.value("streams_null"), "1");
    EXPECT_EQ(record.value("session_leader"), "1");
#endif
}

TEST(SystemProcessLauncher, UpdaterStillRunningAtTheLimitIsLeftRunning)
{
    QTemporaryDir dir;
    const QString updater = installStandInUpdater(dir.path(), 0, 120000);
    qint64 pid = 0;
    {
        auto launcher = makeSystemProcessLauncher();
        FakeClock clock; // 150 s pass in a moment
        UpdaterRun run(*launcher, clock);
        ASSERT_TRUE(run.start(updater, dir.path(), Visibility::Shown));
        EXPECT_EQ(pollToTheEnd(run, clock), UpdaterRun::State::StillRunningAtLimit);
        EXPECT_EQ(run.elapsedMs(), updaterWaitLimitMs);
        pid = standInRecord(dir.path(), 10000).value("pid").toLongLong();
        ASSERT_GT(pid, 0);
    } // the run and the launcher are gone: the updater must survive both
    QThread::msleep(50);
    EXPECT_TRUE(stillRunningThenEnd(pid)) << "the updater ended";
}

TEST(SystemProcessLauncher, MissingOrNotExecutableUpdaterIsReportedAsSuch)
{
    QTemporaryDir dir;
    auto launcher = makeSystemProcessLauncher();
    FakeClock clock;
    const QString updater = updaterProgram(dir.path());
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "not executable" : "missing");
        if (present)
            writeTestFile(updater, "#!/bin/sh\nexit 0\n"); // without the execute permission
        UpdaterRun run(*launcher, clock);
        const Result result = run.start(updater, dir.path(), Visibility::Shown);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.textNumber, present ? 1400 : 1038);
        EXPECT_EQ(result.args.value(0), updater);
    }
}
