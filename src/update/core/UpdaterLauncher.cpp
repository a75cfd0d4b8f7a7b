#include "update/core/UpdaterLauncher.h"
#include "base/TextNumbers.h"
#include <QDir>

Result startUpdater(ProcessLauncher& launcher, Clock& clock, const QString& program, Visibility visibility, UpdaterEnd* end)
{
    QString why;
    const qint64 handle = launcher.start(program, visibility == Visibility::Shown, why);
    if (handle == 0)
        return Result::textError(Text::ErrorUpdaterNotFound, QDir::toNativeSeparators(program));
    UpdaterEnd result;
    const qint64 started = clock.tickCountMs();
    for (;;) {
        result.exitCode = launcher.exitCode(handle);
        if (result.exitCode != ProcessLauncher::StillActive) {
            result.ended = true;
            break;
        }
        if (clock.tickCountMs() - started >= updaterWaitLimitMs)
            break;
        clock.sleepMs(updaterPollMs);
    }
    launcher.release(handle);
    if (end)
        *end = result;
    return Result::success();
}
