#pragma once
#include "base/ProgramState.h"
#include "base/Result.h"

// Tessav.xml: the seven remembered values of the program state.
QString settingsFile(const ProgramState& state);

// Reads the seven values, each with its own default. A missing file, or one that is not XML,
// gives every default; the next writeSettings() replaces it.
void readSettings(const QString& path, ProgramState& state);

Result writeSettings(const QString& path, const ProgramState& state);
