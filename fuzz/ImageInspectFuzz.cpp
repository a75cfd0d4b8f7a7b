// Any bytes as a device image given to swquelmor-cli inspect: a description, never a read
// outside the buffer. Both decoders also run on every input, whatever its content says.
#include "image/core/ImageInspect.h"
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const quint8> bytes(data, size);
    Image::inspectImage(bytes);
    Image::describeParameterBlock(bytes);
    Image::describeRequestTables(
        bytes, size >= 4 ? quint32(data[0]) | quint32(data[1]) << 8 | quint32(data[2]) << 16 | quint32(data[3]) << 24 : 0);
    return 0;
}
