// Any bytes as an SCL file: the reader must give an error or a device, within bounded time
// and memory, and the dump must walk whatever it gives.
#include "SCL_Dump.h"
#include "SCL_Reader.h"
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Small limits, so that an input exploding through its types is cut short quickly.
    TSCL_Limits limits;
    limits.Max_Model_Bytes = 16 << 20;
    std::unique_ptr<TIEC_Device> device;
    const TResult read = Read_SCL_Data(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)),
                                       QStringLiteral("fuzz.scd"), device, limits);
    if (read.Ok != bool(device))
        __builtin_trap();
    if (device) {
        QString text;
        QTextStream out(&text);
        Write_Device_Json(*device, out);
        Count_Model(*device);
    }
    return 0;
}
