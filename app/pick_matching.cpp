#include "app/pick_matching.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "app/workspace.h"

namespace velk {

void MergeRecordPicks(Workspace& ws)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int count = store.TraceCount();
    if (count <= 0 || p.pickTimes.empty()) return;
    int changed = 0;
    const float position = ws.display.sourcePosition;
    ws.traveltimeSet.AddShotPicks(store.current.headers, count, p.pickTimes, p.layerCodes, p.recordKind, position,
                                  position, &changed, store.current.headers, count, 1);
    ws.display.showTraveltimeCurves = 1;
}

int MatchPicksToTraces(Workspace& ws)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws.display;
    const int count = std::min<int>(store.TraceCount(), static_cast<int>(p.pickTimes.size()));
    d.pendingCurve = 0;
    for (int i = 0; i < count; ++i) {
        p.pickTimes[static_cast<size_t>(i)] = 0.0f;
        if (static_cast<size_t>(i) < p.layerCodes.size()) p.layerCodes[static_cast<size_t>(i)] = 3;
    }
    const CTraveltimeSet& set = ws.traveltimeSet;
    if (p.recordKind != 0 && p.recordKind != 1) return 0;
    const int shots = std::clamp(set.shotCount, 0, CTraveltimeSet::kMaxShots);
    for (int s = 0; s < shots; ++s) {
        if (!(std::fabs(set.sourcePosition[s] - d.sourcePosition) < 0.01f)) continue;
        if (p.recordKind == 1) {
            d.pendingCurve = 1;
            d.pendingCurveIndex = s;
            return 1;
        }
        const int picks = std::clamp(set.pickCount[s], 0, CTraveltimeSet::kMaxPicks);
        if (d.amplitudeFlag != 0) return 1;
        for (int i = 0; i < count; ++i) {
            const double receiver = store.current.headers[static_cast<size_t>(i)].receiverHundredths * 0.01;
            for (int k = 0; k < picks; ++k) {
                if (std::fabs(set.X(s, k) - receiver) < 0.0001) {
                    p.pickTimes[static_cast<size_t>(i)] = set.T(s, k);
                    if (static_cast<size_t>(i) < p.layerCodes.size()) p.layerCodes[static_cast<size_t>(i)] = set.K(s, k);
                }
            }
        }
        return 1;
    }
    return 0;
}

}  // namespace velk
