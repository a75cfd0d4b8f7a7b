#pragma once
#include "Platform.h"
#include <memory>

// The operating system's ICMP echo and program launcher; CMake picks the sources of the
// platform the program is built for.
std::unique_ptr<IIcmp_Echo> Make_System_Icmp_Echo();
std::unique_ptr<IProcess_Launcher> Make_System_Process_Launcher();
