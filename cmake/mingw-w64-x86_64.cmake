# Cross build for 64-bit Windows with Debian's MinGW-w64, POSIX thread model (std::thread and
# std::mutex come from winpthreads). Qt, pugixml and GoogleTest for Windows are built with this
# file by scripts/windows-libraries; the project is configured with that Qt's bin/qt-cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(swq_mingw_target x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${swq_mingw_target}-gcc-posix)
set(CMAKE_CXX_COMPILER ${swq_mingw_target}-g++-posix)
set(CMAKE_RC_COMPILER ${swq_mingw_target}-windres)
# Libraries, headers and packages only from the MinGW tree (and folders added to the root
# path, as Qt's own toolchain adds its prefix); programs from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${swq_mingw_target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
