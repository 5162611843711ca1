// The readers of fixed-length records through the shared reader harness: Torvane9 text (3 x
// 990 values), shuttle and suspension files (blocks of 1024 samples), each over the same input,
// with room for their samples and a small trace capacity.
#include <cstddef>
#include <cstdint>

#include "formats/org_variants.h"
#include "fuzz/reader_harness.h"

namespace {

int Traces(const velk::InstrumentReadResult& r) { return r ? r.traces : -1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    fuzzing::HarnessLimits limits;
    limits.maxTraces = 4;
    limits.maxSample = 1024;
    using Reader = InstrumentReadResult (*)(ByteSource&, LoadTarget&, FormatContext&);
    static const Reader kReaders[] = {
        [](ByteSource& s, LoadTarget& t, FormatContext& c) { return ReadTorvane9Text(s, t, c); },
        [](ByteSource& s, LoadTarget& t, FormatContext& c) {
            ShuttleHeader header{};
            return ReadShuttleFile(s, t, header, c);
        },
        [](ByteSource& s, LoadTarget& t, FormatContext& c) { return ReadSuspensionFile(s, t, c); },
    };
    for (Reader read : kReaders) {
        for (int start : {0, 1}) {
            fuzzing::CheckReader({data, size}, limits, start,
                                 [read](ByteSource& s, LoadTarget& t, FormatContext& c) { return Traces(read(s, t, c)); });
        }
    }
    return 0;
}
