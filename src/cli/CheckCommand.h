#pragma once
#include "cli/Commands.h"

// swquelmor-cli check PROJECT_FOLDER
extern const Command checkCommand;
