#include "FakePlatform.h"
#include "StandIn.h"
#include "StartProgram.h"
#include "SystemServices.h"
#include "UpdateDescriptor.h"
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/wait.h>

namespace {

class TSteady_Clock : public IClock {
public:
    TSteady_Clock() { Timer.start(); }
    qint64 Tick_Count_Ms() override { return Timer.elapsed(); }
    void Sleep_Ms(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }

private:
    QElapsedTimer Timer;
};

} // namespace

TEST(StartProgram, PollsUntilTheEndOrTheLimit)
{
    struct TCase {
        const char* name;
        int pollsBeforeEnd;
        int exitCode;
        bool ended;
        qint64 elapsedMs;
    };
    const TCase cases[] = {
        {"ends at once", 0, 0, true, 0},
        {"ends after three polls", 3, 5, true, 30},
        {"exit code 259 counts as running", 0, IProcess_Launcher::Still_Active, false, Start_Program_Limit_Ms},
        {"still running at the limit", -1, 0, false, Start_Program_Limit_Ms},
        {"ends on the last poll before the limit", 14999, 1, true, 149990},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TFake_Platform fakes;
        fakes.Process_Launcher.Polls_Before_End = c.pollsBeforeEnd;
        fakes.Process_Launcher.Exit_Code_At_End = c.exitCode;
        const qint64 start = fakes.Clock.Now;
        TProgram_End end;
        EXPECT_TRUE(Start_Program(fakes.Process_Launcher, fakes.Clock, "/opt/swq/Ethernet_Update", false, &end));
        EXPECT_EQ(end.Ended, c.ended);
        if (c.ended) {
            EXPECT_EQ(end.Exit_Code, c.exitCode);
        }
        EXPECT_EQ(fakes.Clock.Now - start, c.elapsedMs);
        ASSERT_EQ(fakes.Process_Launcher.Started.size(), 1u);
        EXPECT_EQ(fakes.Process_Launcher.Started[0].Program, "/opt/swq/Ethernet_Update");
        EXPECT_TRUE(fakes.Process_Launcher.Started[0].Shown);
        EXPECT_EQ(fakes.Process_Launcher.Released, QList<qint64>{1});
    }
}

TEST(StartProgram, HiddenWhenAskedAndReportsAProgramThatCannotStart)
{
    TFake_Platform fakes;
    EXPECT_TRUE(Start_Program(fakes.Process_Launcher, fakes.Clock, "/x/a", true));
    EXPECT_FALSE(fakes.Process_Launcher.Started[0].Shown);

    fakes.Process_Launcher.Start_Error = "No such file or directory";
    const qint64 start = fakes.Clock.Now;
    const TResult result = Start_Program(fakes.Process_Launcher, fakes.Clock, "/x/missing", false);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Text_No, 1038);
    EXPECT_EQ(result.Arg, QDir::toNativeSeparators("/x/missing"));
    EXPECT_EQ(fakes.Clock.Now, start);
    EXPECT_EQ(fakes.Process_Launcher.Released.size(), 1); // only the first program's handle
}

// The operating system's launcher with the stand-in updater.
TEST(SystemProcessLauncher, UpdaterThatEndsReturnsAtOnceWithItsCode)
{
    QTemporaryDir dir;
    const QString updater = Install_Stand_In_Updater(dir.path(), 7);
    ASSERT_TRUE(Compile_XML_Parameter_New_Boot({"127.0.0.1", Firmware, true, dir.filePath("MASTER"), dir.filePath("P")}, dir.path()));
    auto launcher = Make_System_Process_Launcher();
    TSteady_Clock clock;
    TProgram_End end;
    ASSERT_TRUE(Start_Program(*launcher, clock, updater, false, &end));
    EXPECT_TRUE(end.Ended);
    EXPECT_EQ(end.Exit_Code, 7);
    EXPECT_LT(clock.Tick_Count_Ms(), 10000);
    const auto record = Stand_In_Record(dir.path());
    EXPECT_EQ(record.value("arguments"), "0");
    EXPECT_EQ(record.value("folder"), QFileInfo(dir.path()).canonicalFilePath());
    EXPECT_EQ(record.value("descriptor"), "1");
    EXPECT_EQ(record.value("session_leader"), "1");
}

TEST(SystemProcessLauncher, UpdaterStillRunningAtTheLimitIsLeftRunning)
{
    QTemporaryDir dir;
    const QString updater = Install_Stand_In_Updater(dir.path(), 0, 120000);
    qint64 pid = 0;
    {
        auto launcher = Make_System_Process_Launcher();
        TFake_Clock clock; // 150 s pass in a moment
        TProgram_End end;
        ASSERT_TRUE(Start_Program(*launcher, clock, updater, false, &end));
        EXPECT_FALSE(end.Ended);
        EXPECT_EQ(clock.Now - 1000, Start_Program_Limit_Ms);
        pid = Stand_In_Record(dir.path(), 10000).value("pid").toLongLong();
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
    auto launcher = Make_System_Process_Launcher();
    TFake_Clock clock;
    const QString updater = Updater_Program(dir.path());
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "not executable" : "missing");
        if (present)
            Write_Test_File(updater, "#!/bin/sh\nexit 0\n"); // without the execute permission
        const TResult result = Start_Program(*launcher, clock, updater, false);
        EXPECT_FALSE(result.Ok);
        EXPECT_EQ(result.Text_No, 1038);
        EXPECT_EQ(result.Arg, updater);
        EXPECT_EQ(clock.Now, 1000);
    }
}
