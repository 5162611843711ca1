// ReadEightHeader over arbitrary bytes through the shared reader harness (skip 1 and 3, start 0
// and near the capacity), and CountEightHeaderTraces agreeing with it on the number of traces.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/eight_header.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    const fuzzing::HarnessLimits limits;
    int firstRead = 0;
    for (int skip : {1, 3}) {
        for (int start : {0, limits.maxTraces - 2}) {
            const int read = fuzzing::CheckReader({data, size}, limits, start,
                                                  [skip](ByteSource& source, LoadTarget& target, FormatContext& ctx) {
                                                      return ReadEightHeader(source, target, skip, ctx);
                                                  });
            if (skip == 1 && start == 0) firstRead = read;
        }
    }
    std::vector<CTraceHeader> headers(static_cast<size_t>(limits.maxTraces));
    ByteSource source = ByteSource::FromSpan({data, size});
    fuzzing::Require(CountEightHeaderTraces(source, headers) == firstRead,
                     "CountEightHeaderTraces and ReadEightHeader disagree on the number of traces");
    return 0;
}
