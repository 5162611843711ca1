// Feeds arbitrary text to the reference-time reader of amplitude picking: it must end (however
// large the counts), touch only the record's traces, and count no more picks than it set.
#include <cstddef>
#include <cstdint>

#include "app/picking/pick_files.h"
#include "pick_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    fuzz::PickHarness& h = fuzz::Harness();
    const std::string_view text = h.Prepare(data, size);
    Workspace& ws = h.ws();
    for (float& t : ws.display.referenceTimes) t = 0.0f;
    const ReferenceTimesRead read = ReadReferenceTimesText(ws, text);
    fuzz::Require(read.picks >= 0);
    for (size_t i = fuzz::PickHarness::kTraces; i < ws.display.referenceTimes.size(); ++i) {
        fuzz::Require(ws.display.referenceTimes[i] == 0.0f);
    }
    return 0;
}
