#pragma once
#include "Platform.h"
#include "Result.h"

constexpr qint64 Start_Program_Limit_Ms = 150000;
constexpr int Start_Program_Poll_Ms = 10;

struct TProgram_End {
    bool Ended = false; // false: still running at the limit, and left running
    int Exit_Code = IProcess_Launcher::Still_Active;
};

// Starts the program file `NomeSW` without arguments, its window hidden when `tipo` is true,
// then polls its exit code every 10 ms (259 counts as still running) until it has ended or
// 150000 ms have passed. A program still running then keeps running on its own.
// A program that cannot be started gives text 1038 with its path.
TResult Start_Program(IProcess_Launcher& launcher, IClock& clock, const QString& NomeSW, bool tipo, TProgram_End* end = nullptr);
