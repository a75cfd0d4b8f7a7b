#pragma once
#include "Commands.h"

// swquelmor-cli build PROJECT_FOLDER, swquelmor-cli inspect FILE.bin
extern const TCommand Build_Command;
extern const TCommand Inspect_Command;
