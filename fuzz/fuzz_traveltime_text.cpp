// Feeds arbitrary text to the traveltime set's own reader. Whatever the text says, the set stays
// within its capacity and the shot count is the shots stored; a text read in full writes a
// file that the reader takes back to the same picks and sections.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "traveltime/traveltime_set.h"
#include "traveltime/traveltime_text.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    using S = CTraveltimeSet;
    static const std::unique_ptr<S> set = std::make_unique<S>();
    set->Reset();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TraveltimeTextRead read = ReadTraveltimeSetText(*set, text);
    Require(set->shotCount >= 0 && set->shotCount <= S::kMaxShots && set->shotCount == read.shotsStored);
    for (int s = 0; s < set->shotCount; ++s) Require(set->pickCount[s] > 0 && set->pickCount[s] <= S::kMaxPicks);
    Require(set->rowsA >= 0 && set->rowsA <= S::kMaxSectionRows && set->colsA >= 0 && set->colsA <= S::kMaxSectionCols);
    Require(set->rowsC >= 0 && set->rowsC <= S::kMaxSectionRows && set->colsC >= 0 && set->colsC <= S::kMaxSectionCols);
    Require(set->entriesB >= 0 && set->entriesB <= S::kMaxSectionBEntries);
    if (read.end != TextReadEnd::Complete) return 0;

    // Written with the kind as read, then read back: the same text again.
    set->kindWritten = set->kindRead;
    set->spacingWritten = set->spacingRead;
    std::string first;
    WriteTraveltimeText(*set, first, 0, 0);
    Require(ReadTraveltimeSetText(*set, first).end == TextReadEnd::Complete);
    set->kindWritten = set->kindRead;
    set->spacingWritten = set->spacingRead;
    std::string second;
    WriteTraveltimeText(*set, second, 0, 0);
    Require(first == second);
    return 0;
}
