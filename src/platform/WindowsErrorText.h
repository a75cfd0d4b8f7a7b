#pragma once
#include <QString>

// The system's own text for a Windows error code (GetLastError(), or a code an API returns),
// "error N" where the system has none. Windows only: built from CMake's WIN32 list. The code
// is a DWORD, spelt here without the Windows headers so that a source may include them in the
// order it needs (winsock2.h before windows.h).
QString windowsErrorText(unsigned long error);
