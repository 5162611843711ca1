#pragma once
// The traveltime text file of "Read traveltime data file for delta function": blocks of a
// receiver position (m) and a count, followed by that many times (ms), all blank-separated C
// locale numbers.

#include <string_view>
#include <vector>

namespace velk {

struct SpikeBlock {
    float position = 0.0f;     // m
    std::vector<float> times;  // ms, at most kMaxTimes
};

struct SpikeFile {
    static constexpr int kMaxBlocks = 48000;
    static constexpr int kMaxTimes = 20;
    std::vector<SpikeBlock> blocks;
    bool timesDropped = false;  // a block held more than kMaxTimes times
};

// Reads blocks until the text ends, a number does not parse or kMaxBlocks are read. Of a block
// with more than kMaxTimes times the first kMaxTimes are kept; the rest are read past so that
// the next block starts in the right place. A negative count counts as 0; a block cut short
// keeps the times it has.
SpikeFile ReadSpikeFile(std::string_view text);

}  // namespace velk
