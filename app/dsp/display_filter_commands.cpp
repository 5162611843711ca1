#include "app/dsp/display_filter_commands.h"

#include <algorithm>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/record_arrival.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/real_row_filter.h"
#include "platform/numtext.h"

namespace velk {

bool IsDisplayFilterApplied(const Workspace& ws)
{
    const DisplayFilterState& f = ws.displayFilter;
    return f.applied == 1 && ws.store.pushCount == f.ownPushCount && ws.store.undoDepth == f.ownUndoDepth;
}

std::string DisplayFilterStatus(const Workspace& ws)
{
    const DisplayFilterState& f = ws.displayFilter;
    std::string text = "Status :";
    if (f.lowCut > 0.0f) {
        text += FormatC(" LCF=%fHz ", static_cast<double>(f.lowCut));
    }
    if (f.highCut > 0.0f) {
        text += FormatC(" HCF=%fHz ", static_cast<double>(f.highCut));
    }
    return text;
}

int ApplyDisplayFilter(Workspace& ws, float highCut, float lowCut)
{
    WaveformStore& store = ws.store;
    const int traces = store.TraceCount();
    if (traces == 0) {
        return 0;
    }
    int longest = 0;
    for (int i = 0; i < traces; ++i) {
        longest = std::max(longest, store.TraceSamples(i));
    }
    const int length = CBandPassDlg::FftLength(longest, 2);
    const float intervalMs = store.current.headers[0].intervalUs * 0.001f;
    if (!(intervalMs > 0.0f)) {
        return 0;
    }
    float low = lowCut, high = highCut, lowSlope = 20.0f, highSlope = 20.0f;
    if (highCut >= 0.0f) {
        if (lowCut < 0.0f) {
            low = 1.0f;
            lowSlope = 0.0f;
        }
    } else {
        high = 1000.0f;
        highSlope = 0.0f;
    }
    // L/2 values, not L/2 + 1: the curve's frequency axis is stretched by L/(L - 2), as the
    // display filter has always shown it.
    const int count = length / 2;
    std::vector<double> curve(static_cast<size_t>(count));
    CBandPassDlg::MakeSlopeFilter(count, intervalMs, low, high, lowSlope, highSlope, curve.data());

    std::vector<RealRowJob> jobs;
    jobs.reserve(static_cast<size_t>(traces));
    for (int i = 0; i < traces; ++i) {
        const int n = store.TraceSamples(i);
        jobs.push_back({store.current.rows.Row(i).data(), n, n, curve.data(), count});
    }
    FilterRealRows(jobs, length);
    return length;
}

float StepHighCut(Workspace& ws)
{
    DisplayFilterState& f = ws.displayFilter;
    f.highCut = f.highCut < 0.0f ? f.initialHighCut : f.highCut * f.highCutStep;
    f.highCut = std::max(f.highCut, f.lowCut);
    f.applied = 1;
    ApplyDisplayFilter(ws, f.highCut, f.lowCut);
    ws.store.ComputeTraceMaxima();
    return f.highCut;
}

float StepLowCut(Workspace& ws)
{
    DisplayFilterState& f = ws.displayFilter;
    f.lowCut = f.lowCut < 0.0f ? f.initialLowCut : f.lowCut * f.lowCutStep;
    if (f.highCut > 0.0f) {
        f.lowCut = std::min(f.lowCut, f.highCut);
    }
    f.applied = 1;
    ApplyDisplayFilter(ws, f.highCut, f.lowCut);
    ws.store.ComputeTraceMaxima();
    return f.lowCut;
}

namespace {

// The common road of LCF and HCF: back to the unfiltered record, a fresh snapshot of it, one
// step, the filter's own snapshot remembered.
int StepFilter(Workspace& ws, UiHost& ui, float (*step)(Workspace&))
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0 || !CheckIntervalUs(ws, ui, store.current.headers[0].intervalUs)) {
        return 0;
    }
    DisplayFilterState& f = ws.displayFilter;
    if (IsDisplayFilterApplied(ws)) {
        store.RestoreUndo();
    } else if (f.applied == 1) {
        // Another command changed the record after the filter: that result stays, and the
        // steps start again from it.
        ResetDisplayFilter(f);
    }
    store.PushUndo();
    f.ownPushCount = store.pushCount;
    f.ownUndoDepth = store.undoDepth;
    step(ws);
    return 1;
}

}  // namespace

int OnLowCutFilter(Workspace& ws, UiHost& ui) { return StepFilter(ws, ui, StepLowCut); }
int OnHighCutFilter(Workspace& ws, UiHost& ui) { return StepFilter(ws, ui, StepHighCut); }

int OnDisplayFilter(Workspace& ws)
{
    if (!IsDisplayFilterApplied(ws)) {
        return 0;
    }
    ResetDisplayFilter(ws.displayFilter);
    ws.store.RestoreUndo();
    ws.store.undoDepth = 0;
    ws.store.undone = 0;
    return 1;
}

bool CanRedo(const Workspace& ws) { return ws.store.undone == 1 && !IsDisplayFilterApplied(ws); }

int OnEditRedo(Workspace& ws)
{
    if (!CanRedo(ws)) {
        return 0;
    }
    const std::optional<int32_t> before = RecordSource(ws);
    BeforeSnapshotRestored(ws, ws.store.level2);
    if (!ws.store.Redo()) return 0;
    AfterSnapshotRestored(ws, before);
    return 1;
}

}  // namespace velk
