#include "app/picking/pick_matching.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "app/workspace.h"

namespace velk {

int MergeRecordPicks(Workspace& ws)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int count = store.TraceCount();
    if (count <= 0 || p.pickTimes.empty()) return 0;
    int changed = 0;
    const float position = ws.display.sourcePosition;
    const int dropped = ws.traveltimeSet.AddShotPicks(store.current.headers, count, p.pickTimes, p.layerCodes, p.recordKind, position,
                                  position, &changed, store.current.headers, count, 1);
    ws.display.showTraveltimeCurves = 1;
    return dropped;
}

namespace {

// Pick value 0 and layer code 3 on every trace of the record.
void ClearRecordPicks(Workspace& ws)
{
    CParameterSet& p = ws.store.Params();
    const int count = std::min<int>(ws.store.TraceCount(), static_cast<int>(p.pickTimes.size()));
    for (int i = 0; i < count; ++i) {
        p.pickTimes[static_cast<size_t>(i)] = 0.0f;
        if (static_cast<size_t>(i) < p.layerCodes.size()) p.layerCodes[static_cast<size_t>(i)] = 3;
    }
}

// The picks of shot s onto every trace whose receiver lies within 0.0001 m of a pick's (not
// in amplitude mode); a later pick overwrites an earlier one.
void CopyShotToTraces(Workspace& ws, int s)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const CTraveltimeSet& set = ws.traveltimeSet;
    if (s < 0 || s >= CTraveltimeSet::kMaxShots || ws.display.amplitudeFlag != 0) return;
    const int count = std::min<int>(store.TraceCount(), static_cast<int>(p.pickTimes.size()));
    const int picks = std::clamp(set.pickCount[s], 0, CTraveltimeSet::kMaxPicks);
    for (int i = 0; i < count; ++i) {
        const double receiver = store.current.headers[static_cast<size_t>(i)].receiverHundredths * 0.01;
        for (int k = 0; k < picks; ++k) {
            if (std::fabs(set.X(s, k) - receiver) < 0.0001) {
                p.pickTimes[static_cast<size_t>(i)] = set.T(s, k);
                if (static_cast<size_t>(i) < p.layerCodes.size()) p.layerCodes[static_cast<size_t>(i)] = set.K(s, k);
            }
        }
    }
}

}  // namespace

int MatchPicksToTraces(Workspace& ws)
{
    CParameterSet& p = ws.store.Params();
    DisplayState& d = ws.display;
    d.pendingCurve = 0;
    ClearRecordPicks(ws);
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
        CopyShotToTraces(ws, s);
        return 1;
    }
    return 0;
}

void TakeRecordSourcePosition(Workspace& ws)
{
    if (ws.store.TraceCount() <= 0) return;
    ws.display.sourcePosition = static_cast<float>(ws.store.current.headers[0].sourceHundredths * 0.01);
}

void CopyShotPicksToTraces(Workspace& ws)
{
    DisplayState& d = ws.display;
    ClearRecordPicks(ws);
    CopyShotToTraces(ws, d.pendingCurveIndex);
    d.pendingCurve = 0;
}

void EnsurePickVectors(Workspace& ws)
{
    const auto capacity = static_cast<size_t>(std::max(ws.store.MaxTraces(), 0));
    DisplayState& d = ws.display;
    if (d.amplitudePickTimes.size() < capacity) d.amplitudePickTimes.resize(capacity, 0.0f);
    if (d.thirdValues.size() < capacity) d.thirdValues.resize(capacity, 0.0f);
    if (d.referenceTimes.size() < capacity) d.referenceTimes.resize(capacity, 0.0f);
}

}  // namespace velk
