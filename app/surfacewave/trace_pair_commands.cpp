#include "app/surfacewave/trace_pair_commands.h"

#include <algorithm>
#include <vector>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/operations.h"
#include "app/picking/auto_picking.h"
#include "app/survey/exchange_commands.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "dsp/fourier.h"
#include "platform/language.h"
#include "platform/uihost.h"
#include "surfacewave/phase_difference.h"
#include "surfacewave/phase_velocity_dlg.h"

namespace velk {

namespace {

// The curve's services over the workspace; the launch services must outlive it.
PairCurveContext ContextOf(Workspace& ws, UiHost& ui, ProgressSink& progress, const LaunchServices& services)
{
    return PairCurveContext{ui, ws.startup.language, &progress, ws.olvenarLink.get(), &ws.programPaths.quessil,
                            &services};
}

bool CheckInterval(Workspace& ws, UiHost& ui, const CTraceHeader& first)
{
    if (IsValidInterval(first.intervalUs * 0.001f)) return true;
    ui.Message(InvalidIntervalMessage(ws.startup.language), MsgButtons::Ok, MsgIcon::Error);
    return false;
}

}  // namespace

int OnPhaseFromTwoTraces(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int traces = store.Params().CountInCapacity();
    const std::vector<int32_t>& flags = store.Params().selectionFlags;
    int pair[2] = {0, 0};
    const int selected =
        traces > 0 ? SelectedTraceIndices(pair, std::span<const int32_t>(flags.data(),
                                                                           std::min(flags.size(), static_cast<size_t>(traces))))
                   : 0;
    if (selected < 2) {
        ctx.ui.Message(Msg(ws.startup.language, " Select 2 traces ! ", " トレースを2本選んでください ! "));
        return 0;
    }
    if (!CheckInterval(ws, ctx.ui, store.current.headers[static_cast<size_t>(pair[0])])) return 0;
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const LaunchServices services = LaunchServicesOf(ws, ctx.ui);
    ViewProgressText progress(ctx.view);
    PairCurveContext dc = ContextOf(ws, ctx.ui, progress, services);
    ShowPhaseDifference(dc, store.current.rows, store.current.headers, samples, store.Params().sampleInterval, pair[0],
                        pair[1], ws.contour.nShift, ctx.doc.currentFileName);
    return 0;
}

int OnCrossCorrelationAverage(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int traces = store.Params().CountInCapacity();
    if (traces <= 0 || !CheckInterval(ws, ctx.ui, store.current.headers[0])) return 0;
    CPhaseVelocityDlg holder;  // only its phase-difference parameters are used
    const LaunchServices services = LaunchServicesOf(ws, ctx.ui);
    ViewProgressText progress(ctx.view);
    PairCurveContext dc = ContextOf(ws, ctx.ui, progress, services);
    std::vector<float> velocities(256), frequencies(256);
    CrossCorrelationAverageCurve(dc, holder.phaseDifference, store.current.rows, store.current.headers, traces,
                                 ctx.doc.currentFileName, velocities, frequencies, false);
    return 0;
}

int OnPhaseDifferenceAverage(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int traces = store.Params().CountInCapacity();
    // A transformed record keeps the waveforms it came from as undo level 1.
    const DataSet& source = store.dataKind() == kTimeDomain ? store.current : store.level1;
    const int sourceTraces = std::min(source.params.CountInCapacity(), static_cast<int>(source.headers.size()));
    if (traces <= 0 || sourceTraces <= 0 || !CheckInterval(ws, ctx.ui, source.headers[0])) return 0;

    CPhaseVelocityDlg holder;
    const LaunchServices services = LaunchServicesOf(ws, ctx.ui);
    ViewProgressText progress(ctx.view);
    PairCurveContext dc = ContextOf(ws, ctx.ui, progress, services);
    std::vector<float> velocities(static_cast<size_t>(PhaseDifferenceBins(source.headers[0].samples)));
    std::vector<float> frequencies(velocities.size());
    const int bins = PhaseDifferenceCurve(dc, holder.phaseDifference, source.rows, source.headers, sourceTraces,
                                          ctx.doc.currentFileName, velocities, frequencies, 0);
    if (bins <= 0) return 0;

    // Bin k into trace k, as far as the record has traces.
    std::vector<float>& picks = store.Params().pickTimes;
    const int count = std::min({bins, traces, static_cast<int>(picks.size()), static_cast<int>(velocities.size())});
    std::copy_n(velocities.begin(), count, picks.begin());

    if (ws.display.automaticProcessing == 1 && ws.automatic.mode == AutomaticProcessingState::kRefraction) {
        RunAutoPicking(ws, 0);
    } else {
        ws.display.phaseVelocityFileMode = 1;
    }
    return 1;
}

void AddTracePairCommands(CommandTable& t)
{
    const auto add = [&t](int id, double order, const char* english, const char* japanese, CommandAction action,
                          int rule) {
        t.Add(MakeRow(id, "surfacewave", order, english, japanese, std::move(action), rule));
    };
    add(cmd::kPhaseFromTwoTraces, 50, "From two traces(cross correlation)", "2トレースから(相互相関)",
        OnPhaseFromTwoTraces, kRuleAlways);
    add(cmd::kCrossCorrelationAverage, 51, "From all traces (cross correlation average)", "全トレースから(相互相関平均)",
        OnCrossCorrelationAverage, kRuleTracesLoaded);
    add(cmd::kPhaseDifferenceAverage, 52, "From all traces (phase difference average)", "全トレースから(位相差平均)",
        OnPhaseDifferenceAverage, kRuleMoreThanOneTrace);
    t.SetRule(kRuleMoreThanOneTrace, [](const Workspace& ws, const RecentFileList&) { return ws.store.TraceCount() > 1; });
}

}  // namespace velk
