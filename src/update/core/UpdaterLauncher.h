#pragma once
#include "platform/Platform.h"
#include "base/Result.h"

constexpr qint64 updaterWaitLimitMs = 150 * 1000;
constexpr int updaterPollMs = 10;

enum class Visibility { Shown, Hidden };

struct UpdaterEnd {
    bool ended = false; // false: still running at the limit, and left running
    int exitCode = ProcessLauncher::StillActive;
};

// Starts the program file without arguments, its window shown or hidden, then polls its exit
// code every updaterPollMs (ProcessLauncher::StillActive counts as still running) until it has
// ended or updaterWaitLimitMs have passed. A program still running then keeps running on its own.
// A program that cannot be started gives Text::ErrorUpdaterNotFound with its path.
Result startUpdater(
    ProcessLauncher& launcher, Clock& clock, const QString& program, Visibility visibility, UpdaterEnd* end = nullptr);
