// The instrument .ORG readers over arbitrary bytes: ReadTorvaneOrg through the shared reader
// harness, and the header-only variant within the room it is given.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/org_file.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    const fuzzing::HarnessLimits limits;
    for (int start : {0, limits.maxTraces - 3}) {
        fuzzing::CheckReader({data, size}, limits, start, [](ByteSource& source, LoadTarget& target, FormatContext& ctx) {
            return ReadTorvaneOrg(source, target, ctx);
        });
    }
    std::vector<CTraceHeader> headers(4);
    fuzzing::FuzzUiHost ui;
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    ByteSource source = ByteSource::FromSpan({data, size});
    fuzzing::Require(ReadTorvaneOrgVariant(source, headers, ctx) <= 4, "the variant claims more headers than its room");
    return 0;
}
