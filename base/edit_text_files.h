#pragma once
// The two small text files of interactive editing, as text in and text out (the commands open
// and save the files). Numbers are read and written in the C locale; a read stops at the
// first item that does not parse, and what was read before it counts.
//
// Time-shift file: blank-separated pairs "receiver position (m)  time shift (ms)".
// Display-factor file: one line per trace, " %d %f %f %f \n": trace number (from 1), receiver
// position (m), trace maximum, display factor.

#include <span>
#include <string>
#include <string_view>

namespace velk {

// Pairs into positions[k], shifts[k] in file order, at most min(positions.size(),
// shifts.size()) of them; only complete pairs count. Returns the number of pairs read.
int ReadReceiverShiftPairs(std::string_view text, std::span<float> positions, std::span<float> shifts);

// For each trace in order one line of an int and three floats; the fourth value becomes that
// trace's factor. At most factors.size() lines; a line that does not parse ends the read and
// leaves its trace and the later ones as they were. Returns the number of factors set.
int ReadDisplayFactors(std::string_view text, std::span<float> factors);

// One line per trace i of the spans (they have equal sizes; the shortest counts).
std::string FormatDisplayFactors(std::span<const float> receiversM, std::span<const float> maxima,
                                 std::span<const float> factors);

}  // namespace velk
