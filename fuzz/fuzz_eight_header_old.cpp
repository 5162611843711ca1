// The readers of the old 8-header roads through the shared harness: the oldest layout from
// index 0, and the append reader behind loaded traces.
#include <cstddef>
#include <cstdint>

#include "formats/eight_header.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    const fuzzing::HarnessLimits limits;
    fuzzing::CheckReader({data, size}, limits, 0, [](ByteSource& source, LoadTarget& target, FormatContext& ctx) {
        return ReadOldestEightHeader(source, target, ctx);
    });
    for (int start : {1, limits.maxTraces - 1, limits.maxTraces}) {
        fuzzing::CheckReader({data, size}, limits, start, [](ByteSource& source, LoadTarget& target, FormatContext& ctx) {
            return ReadAppendedEightHeader(source, target, ctx);
        });
    }
    return 0;
}
