#include "app/picking/pick_matching.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "app/workspace.h"
#include "formats/file_roads.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

int AddPicksToSet(CTraveltimeSet& set, PicksLeftOut& leftOut, std::span<const CTraceHeader> headers, int count,
                  std::span<const float> times, std::span<const int32_t> codes, int mode, float position)
{
    // A record with no pick adds no shot (and changes nothing).
    const int n = std::clamp(count, 0, static_cast<int>(std::min(headers.size(), times.size())));
    if (std::none_of(times.begin(), times.begin() + n, [](float t) { return t > 0.0f; })) return 0;
    int changed = 0;
    const int dropped = set.AddShotPicks(headers, count, times, codes, mode, position, position, &changed, headers, count, 1);
    if (dropped <= 0) return 0;
    const int shots = std::clamp(set.shotCount, 0, CTraveltimeSet::kMaxShots);
    const bool placed = std::any_of(set.sourcePosition, set.sourcePosition + shots, [position](float s) {
        return std::fabs(s - position) < CTraveltimeSet::kMatchDistance;
    });
    leftOut.Add(position, dropped, !placed);
    return dropped;
}

std::string PicksLeftOutText(int language, const PicksLeftOut& leftOut)
{
    const int shots = leftOut.Shots(), picks = leftOut.Picks();
    if (IsJapanese(language)) {
        const std::string head = "走時データに格納できるのは最大 501 ショット (各 1001 点) までです: ";
        return head + (shots > 0 ? FormatC("%d ショット (%d 点) を格納できませんでした。", shots, picks)
                                 : FormatC("%d 点を格納できませんでした。", picks));
    }
    const std::string head = "The traveltime data holds at most 501 shots of 1001 picks: ";
    const char* plural = picks == 1 ? "" : "s";
    if (shots > 0) {
        return head + FormatC(shots == 1 ? "%d shot (%d pick%s) was not stored." : "%d shots (%d pick%s) were not stored.",
                              shots, picks, plural);
    }
    return head + FormatC("%d pick%s %s not stored.", picks, plural, picks == 1 ? "was" : "were");
}

void ReportPicksLeftOut(Workspace& ws, UiHost& ui)
{
    if (!ws.picksLeftOut.Any()) return;
    const PicksLeftOut leftOut = ws.picksLeftOut;
    ws.picksLeftOut = {};
    ui.Message(PicksLeftOutText(ws.startup.language, leftOut), MsgButtons::Ok, MsgIcon::Warning);
}

namespace {

// Trace i's own shot and receiver (hundredths of a metre) in a gather: a common-receiver gather
// carries them swapped.
struct TraceShot {
    int32_t source = 0;
    int32_t receiver = 0;
};
TraceShot ShotOfTrace(const CTraceHeader& h, int shape)
{
    if (shape == kPicksSwapped) return {h.receiverHundredths, h.sourceHundredths};
    return {h.sourceHundredths, h.receiverHundredths};
}

// A gather's picks to the shots of its traces: one merge per shot, in the order the shots first
// appear, each trace under its own receiver.
int MergeGatherPicks(Workspace& ws, int count)
{
    WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const int n = std::min({count, static_cast<int>(p.pickTimes.size()), static_cast<int>(p.layerCodes.size())});
    std::vector<bool> done(static_cast<size_t>(std::max(n, 0)), false);
    int dropped = 0;
    for (int i = 0; i < n; ++i) {
        const auto u = static_cast<size_t>(i);
        if (done[u] || !(p.pickTimes[u] > 0.0f)) continue;
        const int32_t source = ShotOfTrace(store.current.headers[u], p.pickShape).source;
        std::vector<CTraceHeader> headers;
        std::vector<float> times;
        std::vector<int32_t> codes;
        for (int j = i; j < n; ++j) {
            const auto v = static_cast<size_t>(j);
            const TraceShot shot = ShotOfTrace(store.current.headers[v], p.pickShape);
            if (done[v] || !(p.pickTimes[v] > 0.0f) || shot.source != source) continue;
            done[v] = true;
            CTraceHeader h = store.current.headers[v];
            h.receiverHundredths = shot.receiver;
            headers.push_back(h);
            times.push_back(p.pickTimes[v]);
            codes.push_back(p.layerCodes[v]);
        }
        dropped += AddPicksToSet(ws.traveltimeSet, ws.picksLeftOut, headers, static_cast<int>(headers.size()), times,
                                 codes, p.recordKind, static_cast<float>(source * 0.01));
    }
    return dropped;
}

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

// The picks of shot s of `set` onto every trace whose receiver lies within 0.0001 m of a pick's
// (not in amplitude mode); a later pick overwrites an earlier one.
void CopyShotToTraces(Workspace& ws, const CTraveltimeSet& set, int s)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
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

// Each trace of a gather gets the pick of its own shot (the first shot of the set within 0.01)
// at its own receiver (within 0.0001; a later pick overwrites an earlier one).
int MatchGatherPicks(Workspace& ws)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const CTraveltimeSet& set = ws.traveltimeSet;
    if (p.recordKind != 0 || ws.display.amplitudeFlag != 0) return 0;
    const int count = std::min<int>(store.TraceCount(), static_cast<int>(p.pickTimes.size()));
    const int shots = std::clamp(set.shotCount, 0, CTraveltimeSet::kMaxShots);
    int matched = 0;
    for (int i = 0; i < count; ++i) {
        const auto u = static_cast<size_t>(i);
        const TraceShot shot = ShotOfTrace(store.current.headers[u], p.pickShape);
        const float source = static_cast<float>(shot.source * 0.01);
        const double receiver = shot.receiver * 0.01;
        for (int s = 0; s < shots; ++s) {
            if (!(std::fabs(set.sourcePosition[s] - source) < 0.01f)) continue;
            matched = 1;
            const int picks = std::clamp(set.pickCount[s], 0, CTraveltimeSet::kMaxPicks);
            for (int k = 0; k < picks; ++k) {
                if (!(std::fabs(set.X(s, k) - receiver) < 0.0001)) continue;
                p.pickTimes[u] = set.T(s, k);
                if (u < p.layerCodes.size()) p.layerCodes[u] = set.K(s, k);
            }
            break;
        }
    }
    return matched;
}

}  // namespace

int MergeRecordPicks(Workspace& ws)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int count = store.TraceCount();
    if (count <= 0 || p.pickTimes.empty()) return 0;
    int dropped = 0;
    if (p.recordKind == kRecordDispersion) {
        // A phase-velocity curve, kept at the record's position among the curves.
        CTraveltimeSet& curves = ws.curveSet;
        dropped = AddPicksToSet(curves, ws.picksLeftOut, store.current.headers, count, p.pickTimes, p.layerCodes, 1,
                                ws.display.sourcePosition);
        if (curves.hasData == 1) curves.kindWritten = 20;
    } else if (p.recordKind != kRecordWaveform || store.dataKind() != kTimeDomain) {
        // Another image, or traces turned into spectra or an F-K panel: their picks stand for
        // nothing in either set.
    } else if (p.pickShape == kPicksSwapped || p.pickShape == kPicksPerTrace) {
        dropped = MergeGatherPicks(ws, count);
    } else if (p.pickShape == kPicksOfOneShot) {
        dropped = AddPicksToSet(ws.traveltimeSet, ws.picksLeftOut, store.current.headers, count, p.pickTimes,
                                p.layerCodes, 0, ws.display.sourcePosition);
    }
    ws.display.showTraveltimeCurves = 1;
    return dropped;
}

int MatchPicksToTraces(Workspace& ws)
{
    CParameterSet& p = ws.store.Params();
    DisplayState& d = ws.display;
    d.pendingCurve = 0;
    ClearRecordPicks(ws);
    const bool curve = p.recordKind == kRecordDispersion;
    if (!curve) {
        if (p.recordKind != kRecordWaveform || ws.store.dataKind() != kTimeDomain) return 0;
        if (p.pickShape == kPicksSwapped || p.pickShape == kPicksPerTrace) return MatchGatherPicks(ws);
        if (p.pickShape != kPicksOfOneShot) return 0;
    }
    const CTraveltimeSet& set = curve ? ws.curveSet : ws.traveltimeSet;
    const int shots = std::clamp(set.shotCount, 0, CTraveltimeSet::kMaxShots);
    for (int s = 0; s < shots; ++s) {
        if (!(std::fabs(set.sourcePosition[s] - d.sourcePosition) < 0.01f)) continue;
        if (curve) {
            d.pendingCurve = 1;
            d.pendingCurveIndex = s;
            return 1;
        }
        CopyShotToTraces(ws, set, s);
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
    CopyShotToTraces(ws, ws.curveSet, d.pendingCurveIndex);
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
