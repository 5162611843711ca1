#include "app/dsp/gain_commands.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/workspace.h"
#include "dsp/agc.h"
#include "dsp/fourier.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

std::string AgcProgressText(int trace) { return FormatC(" AGC calculation : trace = %d ", trace); }

int OnZavAgc(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    if (!TimeDomainWithInterval(ws, ui)) {
        return 0;
    }
    CAgcDlg dlg;
    dlg.criticalGain = ws.agc.criticalGain;
    dlg.highCut = ws.agc.highCut;
    dlg.highSlope = ws.agc.highSlope;
    dlg.normalize = ws.agc.normalize;
    DialogRequest request = dlg.Request();
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.agc.criticalGain = dlg.criticalGain;
    ws.agc.highCut = dlg.highCut;
    ws.agc.highSlope = dlg.highSlope;
    ws.agc.normalize = dlg.normalize;

    const int n = PowerOfTwoLength(RecordSamples(store), 1);
    const int traces = store.TraceCount();
    std::vector<double> curve(static_cast<size_t>(n / 2 + 1));
    std::vector<float> before(static_cast<size_t>(n));
    ws.fftWork.Reserve(static_cast<size_t>(n));
    store.PushUndo();
    RaiseSampleCounts(ws, n);
    p.samplesPerTrace = n;
    p.samplesShown = std::min(p.samplesShown, n);
    CAgcDlg::ZavAgcCurve(n, p.sampleInterval, dlg.highCut, dlg.highSlope, curve.data());
    for (int i = 0; i < traces; ++i) {
        progress.SetText(AgcProgressText(i + 1));
        const std::span<float> row = store.current.rows.Row(i);
        std::copy_n(row.begin(), n, before.begin());
        CAgcDlg::ZavAgcTrace(before, row, n, curve.data(), dlg.criticalGain, ws.fftWork.Re(), ws.fftWork.Im());
        if (dlg.normalize == 1) {
            NormalizeByPeak(row, n);
        }
    }
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

int OnInstantaneousAgc(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    const float dt = store.Params().sampleInterval;
    if (!TimeDomainWithInterval(ws, ui)) {
        return 0;
    }
    CInstantaneousAgcDlg dlg;
    dlg.windowLength = ws.agc.windowLength;
    dlg.normalize = ws.agc.normalize;
    dlg.criticalGain = ws.agc.criticalGain;
    DialogRequest request = dlg.Request();
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.agc.windowLength = dlg.windowLength;
    ws.agc.normalize = dlg.normalize;
    ws.agc.criticalGain = dlg.criticalGain;

    const double samplesInWindow = std::trunc(static_cast<double>(dlg.windowLength) / static_cast<double>(dt));
    const int window = static_cast<int>(std::clamp(samplesInWindow, 0.0, 1e9));
    const int samples = RecordSamples(store);
    const int traces = store.TraceCount();
    std::vector<double> work(static_cast<size_t>(samples));
    store.PushUndo();
    for (int i = 0; i < traces; ++i) {
        progress.SetText(AgcProgressText(i + 1));
        const std::span<float> row = store.current.rows.Row(i);
        std::copy_n(row.begin(), samples, work.begin());
        CAgcDlg::ApplyInstantaneousAgc(work.data(), window, samples, dlg.criticalGain);
        for (int j = 0; j < samples; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(work[static_cast<size_t>(j)]);
        }
        if (dlg.normalize == 1) {
            NormalizeByPeak(row, samples);
        }
    }
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

int NormalizeEachTrace(WaveformStore& store)
{
    store.PushUndo();
    const int samples = RecordSamples(store);
    const int traces = store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        const size_t t = static_cast<size_t>(i);
        if (NormalizeByPeak(store.current.rows.Row(i), samples) > 0.0f && t < store.displayFactor.size()) {
            store.displayFactor[t] = 1.0f;
        }
    }
    store.ComputeTraceMaxima();
    return traces;
}

int OnNormalizeEachTrace(Workspace& ws, UiHost& ui)
{
    if (!TimeDomainTraces(ws, ui)) {
        return 0;
    }
    NormalizeEachTrace(ws.store);
    return 1;
}

int OnMultiplyConstant(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    if (!TimeDomainTraces(ws, ui)) {
        return 0;
    }
    CInputFloatDlg dlg;
    dlg.prompt = "Enter float multiplier !";
    dlg.value = 1.0f;
    DialogRequest request = dlg.Request();
    if (!ui.RunDialog(request)) {
        return 0;
    }
    store.PushUndo();
    for (int i = 0; i < store.TraceCount(); ++i) {
        for (float& v : store.current.rows.Row(i).first(static_cast<size_t>(store.TraceSamples(i)))) {
            v *= dlg.value;
        }
    }
    store.ComputeTraceMaxima();
    return 1;
}

}  // namespace velk
