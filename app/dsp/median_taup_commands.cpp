// The median filters across traces, the first-arrival shift and the tau-p commands.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/dsp/gain_commands.h"
#include "app/operations.h"
#include "app/dsp/velocity_command_support.h"
#include "app/dsp/velocity_filter_commands.h"
#include "app/record_arrival.h"
#include "app/workspace.h"
#include "dsp/median_filter.h"
#include "dsp/taup.h"
#include "platform/language.h"

namespace velk {

namespace {

using velocity_support::BeginRowsChange;
using velocity_support::CheckedRecord;
using velocity_support::PositiveVelocities;
using velocity_support::ReceiverPositions;
using velocity_support::Refuse;
using velocity_support::RecordShape;
using velocity_support::SourceReference;

// The first `samples` values of traces 0..traces-1, as a matrix of their own.
Matrix2D<float> CopyTraces(const WaveformStore& store, int traces, int samples)
{
    Matrix2D<float> copy(0, traces - 1, 0, samples - 1);
    for (int t = 0; t < traces; ++t) {
        std::copy_n(store.current.rows.Row(t).begin(), samples, copy.Row(t).begin());
    }
    return copy;
}

// What every median and tau-p command leaves: peaks, time-domain data, no edit mode.
void Finish(Workspace& ws)
{
    ws.store.ComputeTraceMaxima();
    ws.store.dataKind() = kTimeDomain;
    ws.display.editMode = 0;
}

// Samples a shift of `ms` moves by: trunc(ms / interval), limited to what can matter.
int ShiftSamples(float ms, float interval, int limit)
{
    const double s = std::trunc(static_cast<double>(ms) / interval);
    if (!(s == s)) {
        return 0;
    }
    return static_cast<int>(std::clamp(s, -static_cast<double>(limit), static_cast<double>(limit)));
}

int VerticalTrajectories(Workspace& ws, UiHost& ui, bool subtract)
{
    RecordShape r;
    if (!CheckedRecord(ws, ui, r)) {
        return 0;
    }
    CMedianFilterDlg dlg;
    dlg.traces = ws.velocityFilters.medianTraces;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.velocityFilters.medianTraces = dlg.traces;
    Matrix2D<float> input = CopyTraces(ws.store, r.traces, r.samples);

    WaveformStore& store = ws.store;
    BeginRowsChange(ws, r.samples);
    MedianAcrossTraces(r.traces, dlg.traces, input, store.current.rows, r.samples);
    if (subtract) {
        for (int t = 0; t < r.traces; ++t) {
            const std::span<float> row = store.current.rows.Row(t);
            const std::span<const float> old = input.Row(t);
            for (int k = 0; k < r.samples; ++k) {
                row[static_cast<size_t>(k)] = old[static_cast<size_t>(k)] - row[static_cast<size_t>(k)];
            }
        }
    }
    Finish(ws);
    return 1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// First arrivals and vertical trajectories

int OnAddFirstArrivalTime(Workspace& ws, UiHost& ui)
{
    RecordShape r;
    if (!CheckedRecord(ws, ui, r)) {
        return 0;
    }
    WaveformStore& store = ws.store;
    store.PushUndo();
    const std::vector<float>& picks = store.Params().pickTimes;
    std::vector<float> old;
    for (int t = 0; t < r.traces; ++t) {
        const int n = store.TraceSamples(t);
        const float pick = static_cast<size_t>(t) < picks.size() ? picks[static_cast<size_t>(t)] : 0.0f;
        const int s = ShiftSamples(pick, r.interval, n);
        const std::span<float> row = store.current.rows.Row(t);
        old.assign(row.begin(), row.begin() + n);
        for (int j = 0; j < n; ++j) {
            const int from = j - s;
            row[static_cast<size_t>(j)] = from >= 0 && from < n ? old[static_cast<size_t>(from)] : 0.0f;
        }
    }
    Finish(ws);
    return 1;
}

int OnEnhanceVerticalTrajectories(Workspace& ws, UiHost& ui) { return VerticalTrajectories(ws, ui, false); }

int OnSubtractVerticalTrajectories(Workspace& ws, UiHost& ui) { return VerticalTrajectories(ws, ui, true); }

// ---------------------------------------------------------------------------------------------
// Median velocity filter

int OnMedianVelocityFilter(CWaveOperations& ops)
{
    Workspace& ws = ops.ws;
    RecordShape r;
    if (!CheckedRecord(ops, r)) {
        return 0;
    }
    VelocityFilterState& memory = ws.velocityFilters;
    CMedianVelocityDlg dlg;
    dlg.traces = memory.medianTraces;
    dlg.steps = memory.slownessSteps;
    dlg.maxVelocity = memory.medianMaxVelocity;
    dlg.minVelocity = memory.medianMinVelocity;
    dlg.weighting = memory.semblanceWeighting;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ops.ui.RunDialog(request)) {
        return 0;
    }
    if (!PositiveVelocities(ops.ui, ws.startup.language, dlg.maxVelocity, dlg.minVelocity)) {
        return 0;
    }
    memory.medianTraces = dlg.traces;
    memory.slownessSteps = dlg.steps;
    memory.medianMaxVelocity = dlg.maxVelocity;
    memory.medianMinVelocity = dlg.minVelocity;
    memory.semblanceWeighting = dlg.weighting;
    Matrix2D<float> input = CopyTraces(ws.store, r.traces, r.samples);
    std::vector<double> positions;
    ReceiverPositions(ws, r.traces, positions);

    BeginRowsChange(ws, r.samples);
    ops.progress.SetText(kMedianFilterText);
    MedianAlongSlowness(r.traces, dlg.traces, input, ws.store.current.rows, r.samples, r.interval, positions,
                        dlg.minVelocity, dlg.maxVelocity, dlg.steps, dlg.weighting);
    Finish(ws);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// tau-p

int OnTauPTransform(CWaveOperations& ops)
{
    Workspace& ws = ops.ws;
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    RecordShape r;
    if (!CheckedRecord(ops, r)) {
        return 0;
    }
    TauPSettings& settings = ws.tauP;
    CTauPTransformDlg dlg;
    if (!RunTauPDialog(dlg, settings, ops.ui, language)) {
        return 0;
    }
    const int np = CTauPTransformDlg::NumberOfP(dlg.minP, dlg.maxP, dlg.interval);
    if (np < 1 || np > store.MaxTraces()) {
        Refuse(ops.ui, TracesTooLargeText(language, store.MaxTraces()));
        return 0;
    }
    StoreTauPDialog(dlg, settings);

    // The normalisation takes the command's one undo snapshot.
    NormalizeEachTrace(store);
    RaiseSampleCounts(ws, r.samples);
    std::vector<double> positions;
    ReceiverPositions(ws, r.traces, positions);
    const double reference = SourceReference(ws);
    RecordBecomesPanel(ws);  // a panel of slownesses: no shot's picks
    ops.progress.SetText(kTauPTransformText);
    CTauPTransformDlg::SlantStack(store.current.rows, store.current.rows, dlg.minP, dlg.interval, np, r.samples,
                                  r.traces, r.interval, positions, reference, dlg.method, 0);

    const auto sourceWord = static_cast<int32_t>(std::clamp(std::trunc(reference * 100.0), -2147483648.0, 2147483647.0));
    for (int i = 0; i < np; ++i) {
        const float p = dlg.minP + static_cast<float>(i) * dlg.interval;
        const auto receiverWord = static_cast<int32_t>(std::lround(static_cast<double>(p) * 100.0));
        store.current.headers[static_cast<size_t>(i)].Set(i + 1, receiverWord, sourceWord, 1, 1, 1.0f,
                                                          r.interval * 1000.0f, r.samples);
    }
    CParameterSet& p = store.Params();
    p.traceCount = np;
    ws.display.firstReceiver = dlg.minP;
    ws.display.lastReceiver = dlg.minP + static_cast<float>(np - 1) * dlg.interval;
    ResetDisplayFactors(ws);
    ShowWholeTransform(ws, r.samples, r.interval);
    p.normalisation = 1;
    Finish(ws);
    return 1;
}

int OnTauPVelocityFilter(CWaveOperations& ops)
{
    Workspace& ws = ops.ws;
    WaveformStore& store = ws.store;
    RecordShape r;
    if (!CheckedRecord(ops, r)) {
        return 0;
    }
    VelocityFilterState& memory = ws.velocityFilters;
    CTauPVelocityFilterDlg dlg;
    dlg.maxVelocity = memory.taupMaxVelocity;
    dlg.minVelocity = memory.taupMinVelocity;
    dlg.np = memory.taupNp;
    dlg.method = memory.taupMethod;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (ops.ui.RunDialog(request)) {
        if (!PositiveVelocities(ops.ui, ws.startup.language, dlg.maxVelocity, dlg.minVelocity)) {
            return 0;
        }
        memory.taupMaxVelocity = dlg.maxVelocity;
        memory.taupMinVelocity = dlg.minVelocity;
        memory.taupNp = dlg.np;
        memory.taupMethod = dlg.method;
        const int np = std::min(dlg.np, 48001);
        const float a = 1.0f / dlg.minVelocity;
        const float b = 1.0f / dlg.maxVelocity;
        const float p0 = std::min(a, b);
        const float dp = (std::max(a, b) - p0) / static_cast<float>(np - 1);
        std::vector<double> positions;
        ReceiverPositions(ws, r.traces, positions);
        const double reference = SourceReference(ws);

        BeginRowsChange(ws, r.samples);
        ops.progress.SetText(kTauPForwardText);
        ops.progress.SetText(kTauPInverseText);
        CTauPVelocityFilterDlg::Filter(store.current.rows, p0, dp, np, r.samples, r.traces, r.interval, positions,
                                       reference, memory.taupMethod);
        ResetDisplayFactors(ws);
    }
    // After Cancel too: the peaks are refreshed and the view repainted.
    Finish(ws);
    return 1;
}

}  // namespace velk
