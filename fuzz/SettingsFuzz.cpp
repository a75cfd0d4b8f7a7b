// Any bytes as Tessav.xml: the settings read are the file's or the defaults, never a crash.
#include "FuzzFile.h"
#include "base/ProgramState.h"
#include "base/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = writeFuzzInput("settings", QStringLiteral("Tessav.xml"), data, size);
    ProgramState state;
    readSettings(path, state);
    return 0;
}
