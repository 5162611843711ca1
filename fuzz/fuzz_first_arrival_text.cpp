// Feeds arbitrary text to the first-arrival file reader. It must stay within the record, give
// every trace it touched the current layer code, and a file written from what it read must
// read back to the same picks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/picking/pick_files.h"
#include "pick_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    fuzz::PickHarness& h = fuzz::Harness();
    const std::string_view text = h.Prepare(data, size);
    Workspace& ws = h.ws();
    const FirstArrivalRead read = ReadFirstArrivalText(ws, text);
    fuzz::Require(read.lines >= 0 && read.lines <= kFirstArrivalMaxLines);
    const CParameterSet& p = ws.store.Params();
    for (int i = 0; i < fuzz::PickHarness::kTraces; ++i) {
        const int code = p.layerCodes[static_cast<size_t>(i)];
        fuzz::Require(code == 3 || code == ws.display.currentLayerCode);
    }
    if (ws.display.amplitudeFlag == 0) {
        const std::vector<float> picks(p.pickTimes.begin(), p.pickTimes.begin() + fuzz::PickHarness::kTraces);
        const std::string again = WriteFirstArrivalText(ws);
        ReadFirstArrivalText(ws, again);
        for (int i = 0; i < fuzz::PickHarness::kTraces; ++i) {
            const float before = picks[static_cast<size_t>(i)];
            // Picks below -0.001 are not written; the others come back to six decimals.
            if (before >= -0.001f && before < 1e30f) {
                const float after = p.pickTimes[static_cast<size_t>(i)];
                fuzz::Require(after - before < 1e-3f * (1.0f + (before < 0 ? -before : before)) &&
                              before - after < 1e-3f * (1.0f + (before < 0 ? -before : before)));
            }
        }
    }
    return 0;
}
