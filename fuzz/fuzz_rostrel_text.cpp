// Feeds arbitrary text to the view's traveltime-file reader. Whatever the file says, the set
// stays within its capacity, and a set read writes text that reads back and writes again to the
// same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/picking/pick_files.h"
#include "pick_harness.h"
#include "traveltime/traveltime_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    using S = CTraveltimeSet;
    fuzz::PickHarness& h = fuzz::Harness();
    const std::string_view text = h.Prepare(data, size);
    Workspace& ws = h.ws();
    S& set = TraveltimeTextSetOf(text) == TraveltimeTextSet::PhaseVelocityCurves ? ws.curveSet : ws.traveltimeSet;  // phase-velocity curves apart
    const RostrelRead read = ReadRostrelText(ws, text);
    fuzz::Require(set.shotCount >= 0 && set.shotCount <= S::kMaxShots && set.shotCount == read.shotsStored);
    for (int s = 0; s < set.shotCount; ++s) fuzz::Require(set.pickCount[s] >= 0 && set.pickCount[s] <= S::kMaxPicks);
    fuzz::Require(set.rowsA >= 0 && set.rowsA <= S::kMaxSectionRows && set.colsA >= 0 && set.colsA <= S::kMaxSectionCols);
    fuzz::Require(set.rowsC >= 0 && set.rowsC <= S::kMaxSectionRows && set.colsC >= 0 && set.colsC <= S::kMaxSectionCols);
    fuzz::Require(set.entriesB >= 0 && set.entriesB <= S::kMaxSectionBEntries);
    for (int e = 0; e < set.entriesB; ++e) {
        fuzz::Require(set.sections().bCount[e] >= 0 && set.sections().bCount[e] <= S::kMaxSectionBPoints);
    }
    (void)RostrelReadMessage(read, -1);
    if (!read.headerRead) return 0;

    ws.display.secondsFlag = 0;
    std::string first;
    WriteTraveltimeText(set, first, 0, 0);
    const RostrelRead back = ReadRostrelText(ws, first);
    fuzz::Require(back.end == TextReadEnd::Complete);
    std::string second;
    WriteTraveltimeText(set, second, 0, 0);
    fuzz::Require(first == second);
    return 0;
}
