// The readers of the .ORG relatives through the shared reader harness: QK, 470 and Kesh's
// files, each over the same input, with the harness's small capacities.
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
    const fuzzing::HarnessLimits limits;
    using Reader = InstrumentReadResult (*)(ByteSource&, LoadTarget&, FormatContext&);
    static const Reader kReaders[] = {
        [](ByteSource& s, LoadTarget& t, FormatContext& c) { return ReadQkOrg(s, t, c); },
        [](ByteSource& s, LoadTarget& t, FormatContext& c) { return Read470Org(s, t, c); },
        [](ByteSource& s, LoadTarget& t, FormatContext& c) { return ReadKeshFile(s, t, c); },
    };
    for (Reader read : kReaders) {
        for (int start : {0, limits.maxTraces - 2}) {
            fuzzing::CheckReader({data, size}, limits, start,
                                 [read](ByteSource& s, LoadTarget& t, FormatContext& c) { return Traces(read(s, t, c)); });
        }
    }
    return 0;
}
