#pragma once
#include "cli/Commands.h"
#include "base/ProgramState.h"

// swquelmor-cli build [--force] PROJECT_FOLDER, swquelmor-cli inspect FILE.bin
extern const Command buildCommand;
extern const Command inspectCommand;

// The state of the active project PROJECT_FOLDER, as the main window has it; false, with the
// message on `err`, when it is no configuration (checkConfigurationFolder).
bool projectStateOf(const QString& folderArgument, const char* command, ProgramState& state, QTextStream& err);
