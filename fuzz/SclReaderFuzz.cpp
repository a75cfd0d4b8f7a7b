// Any bytes as an SCL file: the reader must give an error or a device, within bounded time
// and memory, and the dump must walk whatever it gives.
#include "iec61850/core/SclDump.h"
#include "iec61850/core/SclReader.h"
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Small limits, so that an input exploding through its types is cut short quickly.
    SclLimits limits;
    limits.maxModelBytes = 16 << 20;
    std::unique_ptr<Ied> device;
    const Result read = readSclData(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)),
        QStringLiteral("fuzz.scd"), {}, device, limits);
    if (read.ok != bool(device))
        __builtin_trap();
    if (device) {
        QString text;
        QTextStream out(&text);
        writeDeviceJson(*device, out);
        countModel(*device);
    }
    return 0;
}
