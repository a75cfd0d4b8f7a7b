#include "update/core/UpdaterLauncher.h"
#include "base/TextNumbers.h"
#include <QDir>

UpdaterRun::UpdaterRun(ProcessLauncher& processLauncher, Clock& runClock)
    : launcher(processLauncher)
    , clock(runClock)
{
}

UpdaterRun::~UpdaterRun()
{
    if (handle != 0)
        launcher.release(handle); // the program goes on by itself
}

Result UpdaterRun::start(const QString& program, const QString& workingFolder, Visibility visibility)
{
    const ProcessLauncher::Started started = launcher.start(program, workingFolder, visibility == Visibility::Shown);
    const QString path = QDir::toNativeSeparators(program);
    switch (started.failure) {
    case ProcessLauncher::StartFailure::None:
        break;
    case ProcessLauncher::StartFailure::NotFound:
        return Result::failed(Text::ErrorUpdaterNotFound, {path});
    case ProcessLauncher::StartFailure::NotExecutable:
        return Result::failed(Text::ErrorUpdaterNotExecutable, {path});
    case ProcessLauncher::StartFailure::Other:
        return Result::failed(Text::ErrorUpdaterNotStarted, {path + u'\n' + started.error});
    }
    handle = started.handle;
    startedAt = clock.tickCountMs();
    current = State::Running;
    code = ProcessLauncher::StillActive;
    return Result::success();
}

UpdaterRun::State UpdaterRun::poll()
{
    if (current == State::Ended)
        return current;
    code = launcher.exitCode(handle);
    if (code != ProcessLauncher::StillActive) {
        launcher.release(handle);
        handle = 0;
        current = State::Ended;
    } else if (elapsedMs() >= updaterWaitLimitMs) {
        current = State::StillRunningAtLimit;
    }
    return current;
}

qint64 UpdaterRun::elapsedMs() const { return clock.tickCountMs() - startedAt; }

bool UpdaterRun::stillRunning()
{
    if (current == State::StillRunningAtLimit)
        poll();
    return current != State::Ended;
}
