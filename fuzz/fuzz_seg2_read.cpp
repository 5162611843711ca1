// ReadSeg2 over arbitrary bytes through the shared reader harness: skip 1 and 3, start 0 and
// near the capacity.
#include <cstddef>
#include <cstdint>

#include "formats/seg2.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const velk::fuzzing::HarnessLimits limits;
    for (int skip : {1, 3}) {
        for (int start : {0, limits.maxTraces - 2}) {
            velk::fuzzing::CheckReader({data, size}, limits, start,
                                       [skip](velk::ByteSource& source, velk::LoadTarget& target,
                                              velk::FormatContext& ctx) { return velk::ReadSeg2(source, target, skip, ctx); });
        }
    }
    return 0;
}
