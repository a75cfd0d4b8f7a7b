#pragma once
#include "cli/Commands.h"
#include "base/ProgramState.h"

class ConfigurationLock;

// swquelmor-cli build [--force] PROJECT_FOLDER, swquelmor-cli inspect FILE.bin
extern const Command buildCommand;
extern const Command inspectCommand;

// The state of the active configuration PROJECT_FOLDER, as the main window has it; false, with
// the message on `err`, when it is no configuration (checkConfigurationFolder).
bool configurationStateOf(const QString& folderArgument, const char* command, ProgramState& state, QTextStream& err);

// Takes the configuration for a command that writes into it, for as long as `lock` lives; false,
// with who holds it on `err`, when another program does (a window editing it, an update run).
bool holdConfiguration(ConfigurationLock& lock, const char* command, QTextStream& err);
