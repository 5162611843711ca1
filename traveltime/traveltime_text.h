#pragma once
// The traveltime text file of the refraction program (".vs" for traveltimes, ".pvs" for
// phase-velocity curves), as this program writes it from the traveltime set.
//
// Layout, every number in the C locale:
//   line 1   version (1996, or 2000 for phase-velocity curves), format level, 3.0
//   line 2   kind as written, shot count N, spacing
//   N shots  "position count third", then per pick "X T K" (1996) or "X T K F" (2000)
//   section A  rows, columns; per row the line-1 values, then the line-2 values
//   section B  entries; per entry "count v1 v2 v3", then per point "first second"
//   section C  rows, columns; per row one header value (two from format level 9), then
//              columns - 1 line-1 values and columns line-2 values

#include <string>

namespace velk {

class CTraveltimeSet;

constexpr int kTraveltimeVersion = 1996;
constexpr int kTraveltimePhaseVelocityVersion = 2000;

// Appends the whole set to `out` in the text format. With secondsFlag 1 every pick time is
// written x 0.001. With phaseVelocityMode 1 the version is 2000 and the set's kind as written
// becomes 20. A spacing as written below 0.01 is first replaced, and kept, by the distance of
// the first two picks of shot 0 (when shot 0 has two picks). Counts beyond the set's
// capacity are written as they stand but only the stored values are written.
void WriteTraveltimeText(CTraveltimeSet& set, std::string& out, int secondsFlag, int phaseVelocityMode);

}  // namespace velk
