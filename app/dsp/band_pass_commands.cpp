#include "app/dsp/band_pass_commands.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/dsp/fourier_commands.h"
#include "app/operations.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "dsp/real_row_filter.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/thread_pool.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr int kLongTransform = 2048;  // longer transforms report progress per trace

bool SelectedOnly(const Workspace& ws) { return ws.display.selectedOnly == 1; }

bool IsProcessed(const Workspace& ws, int trace)
{
    if (!SelectedOnly(ws)) {
        return true;
    }
    const std::vector<int32_t>& flags = ws.store.Params().selectionFlags;
    return static_cast<size_t>(trace) < flags.size() && flags[static_cast<size_t>(trace)] == 1;
}

// Every processed trace has a usable interval; otherwise the message, and false.
bool CheckProcessedIntervals(Workspace& ws, UiHost& ui, bool selectedOnly)
{
    const int traces = ws.store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        if ((!selectedOnly || IsProcessed(ws, i)) &&
            !CheckIntervalUs(ws, ui, ws.store.current.headers[static_cast<size_t>(i)].intervalUs)) {
            return false;
        }
    }
    return true;
}

// The dialog preset with the given corners and the remembered slopes; true after OK (the
// accept flag set), with the values in dlg.
bool AskCorners(Workspace& ws, UiHost& ui, CBandPassDlg& dlg, float lowCut, float highCut)
{
    dlg.lowCut = lowCut;
    dlg.highCut = highCut;
    dlg.lowSlope = ws.settings.bpfLowSlope;
    dlg.highSlope = ws.settings.bpfHighSlope;
    RunBandPassDialog(ui, dlg, ws.bandPassAccepted);
    return CBandPassDlg::WasAccepted(ws.bandPassAccepted) == 1;
}

void RememberCorners(Workspace& ws, const CBandPassDlg& dlg)
{
    ws.settings.bpfLowCut = dlg.lowCut;
    ws.settings.bpfHighCut = dlg.highCut;
    ws.settings.bpfLowSlope = dlg.lowSlope;
    ws.settings.bpfHighSlope = dlg.highSlope;
}

// Runs the jobs in batches, showing the progress text of each trace (store index in
// traces[k]) before its batch; without progress, in one go.
void RunJobs(std::vector<RealRowJob>& jobs, const std::vector<int>& traces, int n, ProgressSink* progress)
{
    if (!progress) {
        FilterRealRows(jobs, n);
        return;
    }
    const size_t batch = std::max<size_t>(2, 2 * static_cast<size_t>(ThreadPool::Shared().Threads()));
    for (size_t first = 0; first < jobs.size(); first += batch) {
        const size_t count = std::min(batch, jobs.size() - first);
        for (size_t k = first; k < first + count; ++k) {
            progress->SetText(BandPassProgressText(traces[k] + 1));
        }
        FilterRealRows(std::span<const RealRowJob>(jobs.data() + first, count), n);
    }
}

void FinishFilter(Workspace& ws, const std::vector<int>& traces)
{
    for (int i : traces) {
        if (static_cast<size_t>(i) < ws.store.displayFactor.size()) {
            ws.store.displayFactor[static_cast<size_t>(i)] = 1.0f;
        }
    }
    // All traces: the record maximum is the largest of them, processed or not.
    ws.store.ComputeTraceMaxima();
}

// Samples of a trace that enter a transform: its own count, at most `limit`.
int InputCount(const WaveformStore& store, int trace, int limit)
{
    return std::min(store.TraceSamples(trace), limit);
}

}  // namespace

std::string BandPassProgressText(int trace) { return FormatC(" BPF calculation : trace = %d ", trace); }

// ---------------------------------------------------------------------------------------------
// BPF, BPF(cos function taper)

bool BandPassPass(Workspace& ws, ProgressSink& progress, int taperMode, float lowCut, float highCut, float lowSlope,
                  float highSlope)
{
    WaveformStore& store = ws.store;
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const int n = PowerOfTwoLength(samples, 1);
    const int count = n / 2 + 1;
    const int traces = store.TraceCount();

    // One curve per run of traces with the same interval: the cosine taper rewrites
    // "filter.txt" whenever the interval changes, so the file ends with the last trace's curve.
    std::vector<std::vector<double>> curves;
    std::vector<RealRowJob> jobs;
    std::vector<int> processed;
    float lastInterval = -1.0f;
    for (int i = 0; i < traces; ++i) {
        if (!IsProcessed(ws, i)) {
            continue;
        }
        const float dt = store.current.headers[static_cast<size_t>(i)].intervalUs * 0.001f;
        if (curves.empty() || dt != lastInterval) {
            std::vector<double> curve(static_cast<size_t>(count));
            if (taperMode == 1) {
                if (!CBandPassDlg::MakeCosineTaperFilter(count, dt, lowCut, highCut, curve.data(),
                                                         ws.workingFolder)) {
                    return false;
                }
            } else {
                CBandPassDlg::MakeSlopeFilter(count, dt, lowCut, highCut, lowSlope, highSlope, curve.data());
            }
            curves.push_back(std::move(curve));
            lastInterval = dt;
        }
        jobs.push_back({store.current.rows.Row(i).data(), InputCount(store, i, n), samples, curves.back().data(),
                        count});
        processed.push_back(i);
    }
    RunJobs(jobs, processed, n, n > kLongTransform ? &progress : nullptr);
    FinishFilter(ws, processed);
    return true;
}

int ApplyBandPass(Workspace& ws, UiHost& ui, ProgressSink& progress, int taperMode, int keepCorners, float lowCut,
                  float highCut)
{
    if (ws.store.TraceCount() == 0 || !CheckProcessedIntervals(ws, ui, true)) {
        return 0;
    }
    CBandPassDlg dlg;
    if (!AskCorners(ws, ui, dlg, lowCut, highCut)) {
        return 0;
    }
    ws.store.PushUndo();
    if (keepCorners == 0) {
        ws.settings.bpfLowCut = dlg.lowCut;
        ws.settings.bpfHighCut = dlg.highCut;
    }
    ws.settings.bpfLowSlope = dlg.lowSlope;
    ws.settings.bpfHighSlope = dlg.highSlope;
    if (!BandPassPass(ws, progress, taperMode, dlg.lowCut, dlg.highCut, dlg.lowSlope, dlg.highSlope)) {
        ui.Message(Msg(ws.startup.language, "Wrong filter parameters !", "フィルターのパラメータが正しくありません !"),
                   MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// BPF(Precise)

int OnBandPassPrecise(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    const float interval = store.Params().sampleInterval;
    if (store.TraceCount() == 0 || !CheckIntervalMs(ws, ui, interval)) {
        return 0;
    }
    CBandPassDlg dlg;
    if (!AskCorners(ws, ui, dlg, ws.settings.bpfLowCut, ws.settings.bpfHighCut)) {
        return 0;
    }
    store.PushUndo();
    RememberCorners(ws, dlg);
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const int m = PowerOfTwoLength(samples, 1);
    const int n = 2 * m;
    std::vector<double> curve(static_cast<size_t>(m) + 1);
    CBandPassDlg::MakeSlopeFilter(m + 1, interval, dlg.lowCut, dlg.highCut, dlg.lowSlope, dlg.highSlope,
                                  curve.data());
    std::vector<RealRowJob> jobs;
    std::vector<int> processed;
    for (int i = 0; i < store.TraceCount(); ++i) {
        jobs.push_back({store.current.rows.Row(i).data(), InputCount(store, i, samples), samples, curve.data(), m + 1});
        processed.push_back(i);
    }
    RunJobs(jobs, processed, n, n > kLongTransform ? &progress : nullptr);
    FinishFilter(ws, processed);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// BPF(DFT), BPF of complex Fourier data

int CWaveOperations::BandPassDft()
{
    WaveformStore& store = ws.store;
    const float interval = store.Params().sampleInterval;
    const int n = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const int traces = store.TraceCount();
    if (traces == 0 || n == 0 || !CheckIntervalMs(ws, ui, interval)) {
        return 0;
    }
    CBandPassDlg dlg;
    if (!AskCorners(ws, ui, dlg, ws.settings.bpfLowCut, ws.settings.bpfHighCut)) {
        return 0;
    }
    std::vector<double> x(static_cast<size_t>(n) + 1);
    const int count = n / 2 + 1;
    std::vector<double> curve(static_cast<size_t>(count));
    ws.fftWork.Reserve(static_cast<size_t>(n) + 1);
    store.PushUndo();
    RememberCorners(ws, dlg);
    RaiseSampleCounts(ws, n);
    CBandPassDlg::MakeSlopeFilter(count, interval, dlg.lowCut, dlg.highCut, dlg.lowSlope, dlg.highSlope, curve.data());
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    std::vector<int> processed;
    for (int i = 0; i < traces; ++i) {
        progress.SetText(FormatC(" BPF(DFT) calculation : trace = %d ", i + 1));
        const auto row = store.current.rows.Row(i);
        for (int j = 0; j < n; ++j) {
            x[static_cast<size_t>(j) + 1] = row[static_cast<size_t>(j)];
        }
        Dft(x.data(), re, im, n);
        CBandPassDlg::FilterSymmetric(curve.data(), re + 1, im + 1, n, count);
        InverseDft(x.data(), re, im, n);
        for (int j = 0; j < n; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(x[static_cast<size_t>(j) + 1]);
        }
        processed.push_back(i);
    }
    FinishFilter(ws, processed);
    return 1;
}

int CWaveOperations::FourierBandPass()
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (!IsComplexKind(store.dataKind())) {
        ui.Message(Msg(language, "Not frequency domain data", "周波数領域のデータではありません"), MsgButtons::Ok,
                   MsgIcon::Warning);
        return 0;
    }
    const float df = store.Params().sampleInterval;  // the spectrum's frequency step, Hz
    const int n = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const int traces = store.TraceCount();
    if (traces == 0 || n == 0 || !CheckIntervalMs(ws, ui, df)) {
        return 0;
    }
    CBandPassDlg dlg;
    if (!AskCorners(ws, ui, dlg, ws.settings.bpfLowCut, ws.settings.bpfHighCut)) {
        return 0;
    }
    ws.fftWork.Reserve(static_cast<size_t>(n));
    store.PushUndo();
    RememberCorners(ws, dlg);
    RaiseSampleCounts(ws, n);
    // Bin k lies at k x df: the curve is built on the time-domain interval whose spectrum has
    // that step, 1000 / (n df) ms, so that its own step is df.
    const int count = n / 2 + 1;
    const float intervalMs = count > 1 ? 500.0f / (df * static_cast<float>(count - 1)) : 1.0f;
    std::vector<double> curve(static_cast<size_t>(count));
    CBandPassDlg::MakeSlopeFilter(count, intervalMs, dlg.lowCut, dlg.highCut, dlg.lowSlope, dlg.highSlope,
                                  curve.data());
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    for (int i = 0; i < traces; ++i) {
        progress.SetText(BandPassProgressText(i + 1));
        const auto row = store.current.rows.Row(i);
        const auto imag = store.current.imag.Row(i);
        for (int j = 0; j < n; ++j) {
            re[j] = row[static_cast<size_t>(j)];
            im[j] = imag[static_cast<size_t>(j)];
        }
        CBandPassDlg::FilterSymmetric(curve.data(), re, im, n, count);
        for (int j = 0; j < n; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(re[j]);
            imag[static_cast<size_t>(j)] = static_cast<float>(im[j]);
        }
    }
    ComputeComplexMaxima(ws);
    ResetDisplayFactors(ws);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Integration, differential

int OnIntegration(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    const int traces = store.TraceCount();
    if (traces == 0 || !CheckProcessedIntervals(ws, ui, false)) {
        return 0;
    }
    store.PushUndo();
    ApplyBandPass(ws, ui, progress, 1, 1, 0.1f, 5000.0f);
    for (int i = 0; i < traces; ++i) {
        const long double dt = static_cast<long double>(store.current.headers[static_cast<size_t>(i)].intervalUs) * 1e-6L;
        const auto row = store.current.rows.Row(i);
        const int n = store.TraceSamples(i);
        long double sum = 0.0L;
        for (int k = 0; k < n; ++k) {
            sum += dt * static_cast<long double>(row[static_cast<size_t>(k)]);
            row[static_cast<size_t>(k)] = static_cast<float>(sum);
        }
    }
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

int OnDifferential(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int traces = store.TraceCount();
    if (traces == 0 || !CheckProcessedIntervals(ws, ui, false)) {
        return 0;
    }
    store.PushUndo();
    for (int i = 0; i < traces; ++i) {
        const double dt = static_cast<double>(store.current.headers[static_cast<size_t>(i)].intervalUs) * 1e-6;
        const auto row = store.current.rows.Row(i);
        const int n = store.TraceSamples(i);
        for (int k = 0; k + 1 < n; ++k) {
            const double d = (static_cast<double>(row[static_cast<size_t>(k) + 1]) - row[static_cast<size_t>(k)]) / dt;
            row[static_cast<size_t>(k)] = static_cast<float>(d);
        }
        if (n == 1) {
            row[0] = 0.0f;
        } else if (n > 1) {
            row[static_cast<size_t>(n) - 1] = row[static_cast<size_t>(n) - 2];
        }
    }
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Power spectrum, phase spectrum

namespace {

// The transform length of the record when its whole spectrum fits the rows; else 0 after
// the refusal.
int SpectrumLength(Workspace& ws, UiHost& ui)
{
    const int samples = std::max(ws.store.Params().samplesPerTrace, 0);
    const int n = PowerOfTwoLength(samples, 1);
    if (samples > ws.store.RowLength() || n > ws.store.RowLength()) {
        ui.Message(SamplesTooLargeText(ws.startup.language, ws.store.MaxSample()), MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    return n;
}

bool RefuseNonTime(Workspace& ws, UiHost& ui)
{
    if (ws.store.dataKind() == kTimeDomain) {
        return false;
    }
    ui.Message(Msg(ws.startup.language, "Not time domain data", "時間領域のデータではありません"), MsgButtons::Ok,
               MsgIcon::Warning);
    return true;
}

// The common start of the spectra: time-domain traces (the spectrum of complex or spectral rows
// read as if they were samples, with a frequency axis made from a frequency step, means
// nothing), a transform length, intervals the caller accepts, then undo pushed and the work rows
// ready. The length, or 0 when refused.
int StartSpectrum(Workspace& ws, UiHost& ui, const std::function<bool()>& intervalsOk)
{
    WaveformStore& store = ws.store;
    if (RefuseNonTime(ws, ui) || store.TraceCount() == 0) {
        return 0;
    }
    const int n = SpectrumLength(ws, ui);
    if (n == 0 || !intervalsOk()) {
        return 0;
    }
    store.PushUndo();
    store.Params().samplesShown = std::min(store.Params().samplesShown, n);
    ws.fftWork.Reserve(static_cast<size_t>(n));
    return n;
}

}  // namespace

int OnPowerSpectrum(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int n = StartSpectrum(ws, ui, [&] { return CheckProcessedIntervals(ws, ui, false); });
    if (n == 0) {
        return 0;
    }
    const int traces = store.TraceCount();
    const int samples = p.samplesPerTrace;
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    float df = 0.0f;
    for (int i = 0; i < traces; ++i) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const float dt = h.intervalUs * 0.001f;
        p.sampleInterval = dt;
        df = 1000.0f / (static_cast<float>(n) * dt);
        if (n > kLongTransform) {
            progress.SetText(FourierProgressText(i + 1, n));
        }
        const auto row = store.current.rows.Row(i);
        CBandPassDlg::PackRowComplex(row, InputCount(store, i, samples), n, re, im);
        CFourier::Fft(re, im, n, 0, 0);
        for (int k = 0; k < n; ++k) {
            row[static_cast<size_t>(k)] = static_cast<float>(std::hypot(re[k], im[k]));
        }
        h.samples = n / 2;
        h.intervalUs = df * 1000.0f;
    }
    p.samplesPerTrace = n / 2;
    p.sampleInterval = df;
    p.tracesShown = traces;
    store.dataKind() = kRealSpectrum;
    p.samplesShown = n / 16;
    p.shownTime = static_cast<float>(n / 16) * df;
    p.timeAxisStart = 0.0f;
    p.windowStartTime = 0.0f;
    ws.display.firstSampleShown = 0;
    ws.display.spectrumAxisKind = 0;
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

int OnPhaseSpectrum(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const float dt = p.sampleInterval;
    const int n = StartSpectrum(ws, ui, [&] { return CheckIntervalMs(ws, ui, dt); });
    if (n == 0) {
        return 0;
    }
    const int traces = store.TraceCount();
    const int samples = p.samplesPerTrace;
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    for (int i = 0; i < traces; ++i) {
        const auto row = store.current.rows.Row(i);
        CBandPassDlg::PackRowComplex(row, InputCount(store, i, samples), n, re, im);
        CFourier::Fft(re, im, n, 0, 0);
        for (int k = 0; k < n; ++k) {
            row[static_cast<size_t>(k)] = static_cast<float>(std::atan2(im[k], re[k]));
        }
    }
    const float df = 1000.0f / (static_cast<float>(n) * dt);
    for (int i = 0; i < traces; ++i) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        h.samples = n / 8;
        h.intervalUs = df * 1000.0f;
    }
    p.samplesPerTrace = n / 8;
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    p.samplesShown = n / 64;
    p.sampleInterval = df;
    p.timeAxisStart = 0.0f;
    p.windowStartTime = 0.0f;
    ws.display.firstSampleShown = 0;
    p.tracesShown = traces;
    store.dataKind() = kRealSpectrum;
    p.shownTime = df * static_cast<float>(n / 64);
    return 1;
}

}  // namespace velk
