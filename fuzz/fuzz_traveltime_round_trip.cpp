// The traveltime texts (.vs, and .pvs for a file of version 2000), read, saved and read back:
// whatever text the set reads in full saves to a text that reads in full to the same shots,
// picks and sections, and saving that again gives the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "traveltime/traveltime_set.h"
#include "traveltime/traveltime_text.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "traveltime round trip: %s\n", rule);
        std::abort();
    }
}

// Saves the set as the pick commands do after a read: the kind and spacing as read.
std::string Save(velk::CTraveltimeSet& set, int phaseVelocityMode)
{
    set.kindWritten = set.kindRead;
    set.spacingWritten = set.spacingRead;
    std::string text;
    velk::WriteTraveltimeText(set, text, 0, phaseVelocityMode);
    return text;
}

bool SameCounts(const velk::CTraveltimeSet& a, const velk::CTraveltimeSet& b)
{
    if (a.shotCount != b.shotCount || a.rowsA != b.rowsA || a.colsA != b.colsA || a.rowsC != b.rowsC ||
        a.colsC != b.colsC || a.entriesB != b.entriesB || a.formatLevel != b.formatLevel) {
        return false;
    }
    for (int s = 0; s < a.shotCount; ++s) {
        if (a.pickCount[s] != b.pickCount[s]) return false;
    }
    for (int e = 0; e < a.entriesB; ++e) {
        if (a.sections().bCount[e] != b.sections().bCount[e]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using S = velk::CTraveltimeSet;
    static const std::unique_ptr<S> set = std::make_unique<S>();
    static const std::unique_ptr<S> back = std::make_unique<S>();
    set->Reset();
    back->Reset();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const velk::TraveltimeTextRead read = velk::ReadTraveltimeSetText(*set, text);
    if (!read.headerRead || read.end != velk::TextReadEnd::Complete) return 0;

    const int mode = read.version == velk::kTraveltimePhaseVelocityVersion ? 1 : 0;
    const std::string first = Save(*set, mode);
    const velk::TraveltimeTextRead again = velk::ReadTraveltimeSetText(*back, first);
    Require(again.headerRead && again.end == velk::TextReadEnd::Complete, "a saved text does not read in full");
    Require(SameCounts(*set, *back), "shots, picks or sections changed");
    Require(Save(*back, mode) == first, "save, read and save again changed the text");
    return 0;
}
