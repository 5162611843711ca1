// The text form of the 8-header file through the shared reader harness.
#include <cstddef>
#include <cstdint>

#include "formats/eight_header.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    const fuzzing::HarnessLimits limits;
    for (int start : {0, limits.maxTraces - 2}) {
        fuzzing::CheckReader({data, size}, limits, start, [](ByteSource& source, LoadTarget& target, FormatContext& ctx) {
            return ReadEightHeaderText(source, target, ctx);
        });
    }
    return 0;
}
