#pragma once
#include "cli/Commands.h"
#include <span>

// What every command gets for free: the list of commands (--help), each command's own help
// (COMMAND --help), --version, and an error with exit 2 and the usage on stderr for an
// unknown command or option. A command's options are those its usage names ("[--force]").
// Returns the exit status; the command's output goes to `out` and `err`.
int runCommandLine(std::span<const Command> commands, QStringList args, QTextStream& out, QTextStream& err);
