#pragma once
#include "platform/Platform.h"
#include <memory>

// The operating system's ICMP echo and program launcher; CMake picks the sources of the
// platform the program is built for.
std::unique_ptr<IcmpEcho> makeSystemIcmpEcho();
std::unique_ptr<ProcessLauncher> makeSystemProcessLauncher();
// The desktop's trash. Where no trash can be established for a path (no data folder in the
// home folder, a trash whose files or info is no folder that may be written), nothing is
// moved and the answer is false.
std::unique_ptr<Trash> makeSystemTrash();
