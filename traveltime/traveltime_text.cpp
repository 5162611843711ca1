#include "traveltime/traveltime_text.h"

#include <algorithm>
#include <cmath>

#include "platform/numtext.h"
#include "traveltime/traveltime_set.h"

namespace velk {

namespace {

double D(float v) { return static_cast<double>(v); }

}  // namespace

void WriteTraveltimeText(CTraveltimeSet& set, std::string& out, int secondsFlag, int phaseVelocityMode)
{
    using S = CTraveltimeSet;
    const int version = phaseVelocityMode == 1 ? kTraveltimePhaseVelocityVersion : kTraveltimeVersion;
    if (phaseVelocityMode == 1) set.kindWritten = 20;
    out += FormatC("%d %d %f\n", version, set.formatLevel, 3.0);

    if (set.spacingWritten < 0.01f && set.shotCount > 0 && set.pickCount[0] >= 2) {
        const float spacing = set.X(0, 1) - set.X(0, 0);
        if (std::isfinite(spacing)) set.spacingWritten = spacing;
    }
    const int shots = std::clamp(set.shotCount, 0, S::kMaxShots);
    out += FormatC("%d %d %f\n", set.kindWritten, shots, D(set.spacingWritten));

    const float timeFactor = secondsFlag == 1 ? 0.001f : 1.0f;
    for (int s = 0; s < shots; ++s) {
        const int picks = std::clamp(set.pickCount[s], 0, S::kMaxPicks);
        out += FormatC("%f %d %f\n", D(set.sourcePosition[s]), picks, D(set.thirdValue[s]));
        for (int p = 0; p < picks; ++p) {
            const double t = D(set.T(s, p) * timeFactor);
            if (version == kTraveltimeVersion) {
                out += FormatC("%f %f %d \n", D(set.X(s, p)), t, set.K(s, p));
            } else {
                out += FormatC("%f %f %d %f\n", D(set.X(s, p)), t, set.K(s, p), D(set.F(s, p)));
            }
        }
    }

    const S::Sections& sec = set.sections();
    const int rowsA = std::clamp(set.rowsA, 0, S::kMaxSectionRows);
    const int colsA = std::clamp(set.colsA, 0, S::kMaxSectionCols);
    out += FormatC("%d %d \n", rowsA, colsA);
    for (int r = 0; r < rowsA; ++r) {
        for (int c = 0; c < colsA; ++c) out += FormatC(" %f ", D(sec.aLine1[r][c]));
        out += " \n";
        for (int c = 0; c < colsA; ++c) out += FormatC(" %f ", D(sec.aLine2[r][c]));
        out += " \n";
    }

    const int entriesB = std::clamp(set.entriesB, 0, S::kMaxSectionBEntries);
    out += FormatC(" %d \n", entriesB);
    for (int e = 0; e < entriesB; ++e) {
        const int points = std::clamp(sec.bCount[e], 0, S::kMaxSectionBPoints);
        out += FormatC(" %d %f %f %f \n", points, D(sec.bValue1[e]), D(sec.bValue2[e]), D(sec.bValue3[e]));
        for (int p = 0; p < points; ++p) out += FormatC(" %f %f \n", D(sec.bFirst[e][p]), D(sec.bSecond[e][p]));
    }

    const int rowsC = std::clamp(set.rowsC, 0, S::kMaxSectionRows);
    const int colsC = std::clamp(set.colsC, 0, S::kMaxSectionCols);
    out += FormatC(" %d %d \n", rowsC, colsC);
    for (int r = 0; r < rowsC; ++r) {
        if (set.formatLevel >= 9) {
            out += FormatC(" %f %f\n", D(sec.cHeader1[r]), D(sec.cHeader2[r]));
        } else {
            out += FormatC(" %f \n", D(sec.cHeader1[r]));
        }
        for (int c = 0; c + 1 < colsC; ++c) out += FormatC(" %f ", D(sec.cLine1[r][c]));
        out += " \n";
        for (int c = 0; c < colsC; ++c) out += FormatC(" %f ", D(sec.cLine2[r][c]));
        out += " \n";
    }
}

}  // namespace velk
