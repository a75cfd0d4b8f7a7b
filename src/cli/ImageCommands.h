#pragma once
#include "cli/Commands.h"

// swquelmor-cli build PROJECT_FOLDER, swquelmor-cli inspect FILE.bin
extern const Command buildCommand;
extern const Command inspectCommand;
