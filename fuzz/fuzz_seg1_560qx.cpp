// The 560QX SEG-1 reader through the shared reader harness, from start 0 and near the capacity.
#include <cstddef>
#include <cstdint>

#include "formats/seg1_560qx.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const velk::fuzzing::HarnessLimits limits;
    for (int start : {0, limits.maxTraces - 2}) {
        velk::fuzzing::CheckReader({data, size}, limits, start,
                                   [](velk::ByteSource& source, velk::LoadTarget& target, velk::FormatContext& ctx) {
                                       return velk::Read560QX(source, target, ctx);
                                   });
    }
    return 0;
}
