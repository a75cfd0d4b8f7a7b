#pragma once
#include "platform/Platform.h"
#include <memory>

// The operating system's ICMP echo and program launcher; CMake picks the sources of the
// platform the program is built for.
std::unique_ptr<IcmpEcho> makeSystemIcmpEcho();
std::unique_ptr<ProcessLauncher> makeSystemProcessLauncher();
