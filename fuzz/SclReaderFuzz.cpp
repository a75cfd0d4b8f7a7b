// Any bytes as an SCL file: the reader must give an error or a device, within bounded time
// and memory, and the dump must walk whatever it gives. The reading that parses only the
// chosen IED must give what a parse of the whole document gives: the same refusal (message
// and line) or the same model.
#include "FuzzFile.h"
#include "base/TextTable.h"
#include "scl/core/SclDump.h"
#include "scl/core/SclReader.h"
#include <cstdint>

namespace {

QString dump(const Ied& device)
{
    QString text;
    QTextStream out(&text);
    writeDeviceJson(device, out);
    out.flush();
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Small limits, so that an input exploding through its types is cut short quickly.
    SclLimits limits;
    limits.maxObjects = 50000;
    limits.maxReferenceBytes = 16 << 20;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& iedName : {QString(), QStringLiteral("IED1")}) {
        std::unique_ptr<Ied> device, whole;
        const Result read = readSclData(bytes, QStringLiteral("fuzz.scd"), iedName, device, limits);
        const Result reference = readSclDataFully(bytes, QStringLiteral("fuzz.scd"), iedName, whole, limits);
        fuzzExpect(read.ok == bool(device) && read.ok == reference.ok && englishMessage(read) == englishMessage(reference));
        if (device) {
            fuzzExpect(dump(*device) == dump(*whole));
            countModel(*device);
        }
    }
    return 0;
}
