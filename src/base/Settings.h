#pragma once
#include "base/ProgramState.h"
#include "base/Result.h"

// Tessav.xml: the seven remembered values of the program state.
QString settingsFile(const ProgramState& state);

// Reads the seven values, each with its own default, and takes them as the state's settings
// baseline. A missing file, or one that is not XML, gives every default; the next
// writeSettings() replaces it.
void readSettings(const QString& path, ProgramState& state);

// Writes the values of `state` that changed since its baseline over what the file holds now
// (another instance may have saved its own choices meanwhile; they stay), every value where
// the file is missing or unreadable. On success the baseline becomes the state's values.
Result writeSettings(const QString& path, ProgramState& state);
