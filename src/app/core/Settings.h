#pragma once
#include "ProgramState.h"
#include "Result.h"

// Tessav.xml: the seven remembered values of the program state.
QString Settings_File(const TProgramState& state);

// Reads the seven values, each with its own default. A missing file, or one that is not XML,
// gives every default; the next Write_Settings replaces it.
void Read_Settings(const QString& path, TProgramState& state);

TResult Write_Settings(const QString& path, const TProgramState& state);
