#pragma once
#include "platform/Platform.h"
#include "base/Result.h"

constexpr qint64 startProgramLimitMs = 150 * 1000;
constexpr int startProgramPollMs = 10;

struct UpdaterEnd {
    bool ended = false; // false: still running at the limit, and left running
    int exitCode = ProcessLauncher::StillActive;
};

// Starts the program file `program` without arguments, its window hidden when `hidden` is true,
// then polls its exit code every startProgramPollMs (ProcessLauncher::StillActive counts as
// still running) until it has ended or startProgramLimitMs have passed. A program still running then keeps running on its own.
// A program that cannot be started gives Text::ErrorUpdaterNotFound with its path.
Result startUpdater(ProcessLauncher& launcher, Clock& clock, const QString& program, bool hidden, UpdaterEnd* end = nullptr);
