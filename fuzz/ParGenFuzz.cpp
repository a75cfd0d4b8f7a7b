// Any bytes as ParGen.xml: an error with the defaults, or thirty texts; the checks run on
// whatever was read.
#include "FuzzFile.h"
#include "comm/core/CommunicationSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = writeFuzzInput("pargen", QStringLiteral("ParGen.xml"), data, size);
    CommunicationSettings set;
    const Result read = readParGenFile(path, set);
    fuzzExpect(read || set == defaultCommunicationSettings());
    checkCommunicationSettings(set);
    return 0;
}
