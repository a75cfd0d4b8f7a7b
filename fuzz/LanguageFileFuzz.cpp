// Any bytes as a language file: decoding and the line reader set texts in range only.
#include "FuzzFile.h"
#include "base/TextTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = writeFuzzInput("language", QStringLiteral("Fuzz.lng"), data, size);
    TextTable table;
    fuzzExpect(table.readLanguageFile(path));
    for (int i = 0; i < TextTable::size; ++i)
        (void)table[i].size();
    return 0;
}
