#pragma once
#include "platform/Platform.h"
#include "base/Result.h"

constexpr qint64 updaterWaitLimitMs = 150000;
constexpr int updaterPollMs = 10;

enum class Visibility { Shown, Hidden };

struct UpdaterEnd {
    bool ended = false; // false: still running at the limit, and left running
    int exitCode = ProcessLauncher::StillActive;
};

// Starts the program file without arguments, its window shown or hidden, then polls its exit code every 10 ms (259 counts as still running) until it has ended or
// 150000 ms have passed. A program still running then keeps running on its own.
// A program that cannot be started gives text 1038 with its path.
Result startUpdater(ProcessLauncher& launcher, Clock& clock, const QString& program, Visibility visibility, UpdaterEnd* end = nullptr);
