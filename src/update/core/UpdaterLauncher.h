#pragma once
#include "platform/Platform.h"
#include "base/Result.h"

// The updater's exit code is asked every updaterPollMs; after updaterWaitLimitMs the
// configurator stops waiting and leaves the updater running on its own.
constexpr qint64 updaterWaitLimitMs = 150 * 1000;
constexpr int updaterPollMs = 500;

enum class Visibility { Shown, Hidden };

// One run of the updater, followed one poll at a time: the caller polls from its event loop
// (a timer), so nothing ever waits on the window's thread. The program is never killed.
class UpdaterRun {
public:
    enum class State { Running, Ended, StillRunningAtLimit };

    UpdaterRun(ProcessLauncher& launcher, Clock& clock);
    ~UpdaterRun();
    UpdaterRun(const UpdaterRun&) = delete;
    UpdaterRun& operator=(const UpdaterRun&) = delete;

    // Starts the program file without arguments in `workingFolder`. A failure names the path and
    // why: not found (Text::ErrorUpdaterNotFound), not executable, or the system's text.
    Result start(const QString& program, const QString& workingFolder, Visibility visibility);
    // Asks the exit code once (ProcessLauncher::StillActive counts as running). Running turns
    // into StillRunningAtLimit once updaterWaitLimitMs have passed since the start; a program
    // that has ended at any poll, also one past the limit, is Ended.
    State poll();
    State state() const { return current; }
    int exitCode() const { return code; }
    qint64 elapsedMs() const;
    // Whether the started program may still be running; asks it once when past the limit.
    bool stillRunning();

private:
    ProcessLauncher& launcher;
    Clock& clock;
    qint64 handle = 0;
    qint64 startedAt = 0;
    State current = State::Ended;
    int code = ProcessLauncher::StillActive;
};
