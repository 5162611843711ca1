#include "app/dsp/resampling_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "base/position.h"
#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "dsp/resampling.h"
#include "formats/trace_arrays.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr int kLongTransform = 2048;  // longer transforms report progress per trace

void Tell(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

int Samples(const WaveformStore& store) { return std::clamp(store.Params().samplesPerTrace, 0, store.RowLength()); }

bool TooManyTraces(Workspace& ws, UiHost& ui, int wanted)
{
    if (wanted <= ws.store.MaxTraces()) {
        return false;
    }
    Tell(ui, FormatC("The number of traces was too large ! \n Maximum trace number is %d", ws.store.MaxTraces()));
    return true;
}

void FinishTraces(Workspace& ws, int traces)
{
    WaveformStore& store = ws.store;
    for (int i = 0; i < traces && static_cast<size_t>(i) < store.displayFactor.size(); ++i) {
        store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    }
    store.ComputeTraceMaxima();
}

// Complex rows of N points: the time spectra of the traces (forward, scaled 1/N) and room for
// more rows.
struct Spectra {
    Spectra(int rows, int n) : N(n), re(static_cast<size_t>(rows) * n, 0.0), im(re.size(), 0.0) {}
    double* Re(int row) { return re.data() + static_cast<size_t>(row) * N; }
    double* Im(int row) { return im.data() + static_cast<size_t>(row) * N; }
    int N;
    std::vector<double> re, im;
};

void ForwardTime(const WaveformStore& store, int traces, Spectra& s)
{
    for (int i = 0; i < traces; ++i) {
        const auto row = store.current.rows.Row(i);
        const int count = std::min(store.TraceSamples(i), s.N);
        double* re = s.Re(i);
        for (int k = 0; k < count; ++k) {
            re[k] = row[static_cast<size_t>(k)];
        }
        CBandPassDlg::Fft(re, s.Im(i), s.N, 0, 0);
    }
}

// Inverse time transforms of rows 0..traces-1; the first `samples` real parts into the store.
void InverseTime(WaveformStore& store, int traces, int samples, Spectra& s)
{
    for (int i = 0; i < traces; ++i) {
        CBandPassDlg::Fft(s.Re(i), s.Im(i), s.N, 0, 1);
        const auto row = store.current.rows.Row(i);
        const double* re = s.Re(i);
        for (int k = 0; k < samples; ++k) {
            row[static_cast<size_t>(k)] = static_cast<float>(re[k]);
        }
    }
}

// Receiver words trunc(j x dx / 2 + x0), j < count, through the checked helper; nullopt when
// one does not fit.
std::optional<std::vector<int32_t>> HalfSpacingReceivers(int count, int32_t x0, int32_t dx)
{
    std::vector<int32_t> words(static_cast<size_t>(count));
    for (int j = 0; j < count; ++j) {
        const auto w = MetresToHundredthsTruncated((static_cast<double>(j) * dx / 2.0 + x0) / 100.0);
        if (!w) {
            return std::nullopt;
        }
        words[static_cast<size_t>(j)] = *w;
    }
    return words;
}

// Headers and picks of `count` interpolated traces from the n old ones (copies).
void SetInterpolatedHeaders(Workspace& ws, int count, int n, const std::vector<int32_t>& receivers,
                            const std::vector<float>& picks, const std::vector<int32_t>& codes, int samples)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const CTraceHeader first = store.current.headers[0];
    for (int j = 0; j < count; ++j) {
        CTraceHeader h = first;
        h.traceNumber = j + 1;
        h.receiverHundredths = receivers[static_cast<size_t>(j)];
        h.samples = samples;
        store.current.headers[static_cast<size_t>(j)] = h;
        const size_t sj = static_cast<size_t>(j);
        if (sj >= p.pickTimes.size()) {
            continue;
        }
        const int a = j / 2;
        if (j % 2 == 0) {
            p.pickTimes[sj] = picks[static_cast<size_t>(a)];
        } else if (a + 1 < n) {
            p.pickTimes[sj] = 0.5f * (picks[static_cast<size_t>(a)] + picks[static_cast<size_t>(a + 1)]);
        } else {
            const float last = picks[static_cast<size_t>(n - 1)];
            const float before = n >= 2 ? picks[static_cast<size_t>(n - 2)] : last;
            p.pickTimes[sj] = last + (last - before) / 2.0f;
        }
        p.layerCodes[sj] = codes[static_cast<size_t>(std::min(a, n - 1))];
    }
    p.traceCount = count;
    p.tracesShown = count;
}

// Time-domain data with at least two traces, or the message.
bool TimeDomainTraces(Workspace& ws, UiHost& ui, const char* en, const char* ja)
{
    if (ws.store.TraceCount() == 0) {
        return false;
    }
    if (ws.store.dataKind() != kTimeDomain) {
        Tell(ui, Msg(ws.startup.language, en, ja));
        return false;
    }
    if (ws.store.TraceCount() < 2) {
        Tell(ui, Msg(ws.startup.language, "At least two traces are needed !", "2トレース以上必要です !"));
        return false;
    }
    return true;
}

int PowerOfTwoAtLeast(int n)
{
    int d = 1;
    while (d < n) {
        d *= 2;
    }
    return d;
}

// Everything the trace interpolations need before the undo push: picks, codes, receivers.
struct OldTraces {
    int n = 0;
    std::vector<float> picks;
    std::vector<int32_t> codes;
    std::vector<int32_t> receivers;
};

bool PrepareHalfSpacing(Workspace& ws, UiHost& ui, int count, OldTraces& old)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    old.n = store.TraceCount();
    for (int i = 0; i < old.n; ++i) {
        const size_t s = static_cast<size_t>(i);
        old.picks.push_back(s < p.pickTimes.size() ? p.pickTimes[s] : 0.0f);
        old.codes.push_back(s < p.layerCodes.size() ? p.layerCodes[s] : 1);
    }
    const int32_t x0 = store.current.headers[0].receiverHundredths;
    const int32_t dx = static_cast<int32_t>(static_cast<int64_t>(store.current.headers[1].receiverHundredths) - x0);
    auto words = HalfSpacingReceivers(count, x0, dx);
    if (!words) {
        Tell(ui, Msg(ws.startup.language, "Receiver positions are out of range !", "受振点の位置が範囲外です !"));
        return false;
    }
    old.receivers = std::move(*words);
    return true;
}

}  // namespace

std::string ResamplingProgressText(int trace) { return FormatC(" Resampling : trace = %d ", trace); }
std::string TimeInterpolationProgressText(int trace) { return FormatC(" Time interpolation : Trace = %d ", trace); }
std::string UnaliasedProgressText(int trace) { return FormatC(" Unaliased interpolation : Trace = %d ", trace); }

// ---------------------------------------------------------------------------------------------

int OnSplineResample(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    CResamplingDlg dlg;
    dlg.samplingTime = p.sampleInterval;
    DialogRequest request = dlg.Request();
    if (!ui.RunDialog(request)) {
        return 0;
    }
    const float newDt = dlg.samplingTime;
    if (!CheckIntervalMs(ws, ui, newDt)) {
        return 0;
    }
    const int traces = store.TraceCount();
    const int n = Samples(store);
    // Every trace's length at the new interval, checked before anything changes.
    std::vector<int> lengths(static_cast<size_t>(traces));
    for (int i = 0; i < traces; ++i) {
        const float intervalUs = store.current.headers[static_cast<size_t>(i)].intervalUs;
        if (!CheckIntervalUs(ws, ui, intervalUs)) {
            return 0;
        }
        const double m = std::trunc(static_cast<double>(intervalUs * 0.001f) / newDt * n);
        if (!(m <= store.MaxSample())) {
            CheckRecordFitsMaxSample(ws, ui, m < 1e15 ? static_cast<int64_t>(m) : INT64_MAX);
            return 0;
        }
        lengths[static_cast<size_t>(i)] = static_cast<int>(m);
    }
    store.PushUndo();
    std::vector<double> x(static_cast<size_t>(n) + 1), y(x.size());
    std::vector<double> outX(static_cast<size_t>(store.RowLength())), outY(outX.size());
    int m = 0;
    for (int i = 0; i < traces; ++i) {
        progress.SetText(ResamplingProgressText(i + 1));
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const double dt = h.intervalUs * 0.001f;
        p.sampleInterval = static_cast<float>(dt);
        const auto row = store.current.rows.Row(i);
        for (int j = 0; j < n; ++j) {
            x[static_cast<size_t>(j)] = j * dt;
            y[static_cast<size_t>(j)] = row[static_cast<size_t>(j)];
        }
        if (n > 0) {
            x[static_cast<size_t>(n)] = x[static_cast<size_t>(n - 1)] + dt;
            y[static_cast<size_t>(n)] = y[static_cast<size_t>(n - 1)];
        }
        m = lengths[static_cast<size_t>(i)];
        CResamplingDlg::Resample(x.data(), y.data(), n + 1, outX.data(), outY.data(), m, newDt);
        for (int j = 0; j < m; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(outY[static_cast<size_t>(j)]);
        }
        h.intervalUs = newDt * 1000.0f;
        h.samples = m;
    }
    p.sampleInterval = newDt;
    if (traces > 0) {
        p.samplesPerTrace = m;
        p.samplesShown = m;
    }
    FinishTraces(ws, traces);
    return 1;
}

int OnTimeInterpolation(Workspace& ws, UiHost& ui, ProgressSink& progress, bool unaliased)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int traces = store.TraceCount();
    if (traces == 0 || !CheckIntervalMs(ws, ui, p.sampleInterval)) {
        return 0;
    }
    const int samples = Samples(store);
    if (!CheckRecordFitsMaxSample(ws, ui, 2 * static_cast<int64_t>(samples))) {
        return 0;
    }
    store.PushUndo();
    const int N = PowerOfTwoLength(samples, 1);
    const int N2 = 2 * N;
    const float newDt = p.sampleInterval * 0.5f;
    std::vector<double> re(static_cast<size_t>(N2)), im(static_cast<size_t>(N2));
    for (int i = 0; i < traces; ++i) {
        if (N > kLongTransform) {
            progress.SetText(TimeInterpolationProgressText(i + 1));
        }
        const auto row = store.current.rows.Row(i);
        const int count = std::min(store.TraceSamples(i), samples);
        std::fill(re.begin(), re.end(), 0.0);
        std::fill(im.begin(), im.end(), 0.0);
        for (int k = 0; k < count; ++k) {
            re[static_cast<size_t>(k)] = row[static_cast<size_t>(k)];
        }
        if (unaliased) {
            CBandPassDlg::InterpolateMidpoints(N2, re.data());
            for (double& v : re) {
                v *= 0.5;  // InterpolateMidpoints doubles the amplitude
            }
        } else {
            CBandPassDlg::Fft(re.data(), im.data(), N, 0, 0);
            // Bins N/2 .. N-1 move to the top of the 2N spectrum, the middle becomes zero.
            for (int k = N - 1; k >= N / 2; --k) {
                re[static_cast<size_t>(k + N)] = re[static_cast<size_t>(k)];
                im[static_cast<size_t>(k + N)] = im[static_cast<size_t>(k)];
                re[static_cast<size_t>(k)] = 0.0;
                im[static_cast<size_t>(k)] = 0.0;
            }
            CBandPassDlg::Fft(re.data(), im.data(), N2, 0, 1);
        }
        for (int k = 0; k < 2 * samples; ++k) {
            row[static_cast<size_t>(k)] = static_cast<float>(re[static_cast<size_t>(k)]);
        }
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        h.samples = 2 * samples;
        h.intervalUs = newDt * 1000.0f;
    }
    p.sampleInterval = newDt;
    p.samplesPerTrace = 2 * samples;
    p.samplesShown = 2 * std::min(p.samplesShown, samples);
    FinishTraces(ws, traces);
    return 1;
}

int OnTraceInterpolationFk(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    if (!TimeDomainTraces(ws, ui, "This wave forms are not in time domain", "時間領域の波形ではありません")) {
        return 0;
    }
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (TooManyTraces(ws, ui, 2 * n)) {
        return 0;
    }
    OldTraces old;
    if (!PrepareHalfSpacing(ws, ui, 2 * n, old)) {
        return 0;
    }
    store.PushUndo();
    const int samples = Samples(store);
    const int N = PowerOfTwoLength(samples, 1);
    const int cap = store.MaxTraces();
    int D = cap <= 128 ? 64 : cap <= 256 ? 128 : cap <= 512 ? 256 : 512;
    if (D < n) {
        D = PowerOfTwoAtLeast(n);
    }
    const int D2 = 2 * D;
    Spectra s(D2, N);
    progress.SetText(" Forward Fourier transform ");
    ForwardTime(store, n, s);
    std::vector<double> cr(static_cast<size_t>(D2)), ci(static_cast<size_t>(D2));
    for (int f = 0; f < N; ++f) {
        std::fill(cr.begin(), cr.end(), 0.0);
        std::fill(ci.begin(), ci.end(), 0.0);
        for (int j = 0; j < D; ++j) {
            cr[static_cast<size_t>(j)] = s.Re(j)[f];
            ci[static_cast<size_t>(j)] = s.Im(j)[f];
        }
        CBandPassDlg::Fft(cr.data(), ci.data(), D, 0, 0);
        // Wavenumbers D/2 .. D-1 to the top of 2D, zeros between: half the trace spacing.
        for (int k = D - 1; k >= D / 2; --k) {
            cr[static_cast<size_t>(k + D)] = cr[static_cast<size_t>(k)];
            ci[static_cast<size_t>(k + D)] = ci[static_cast<size_t>(k)];
            cr[static_cast<size_t>(k)] = 0.0;
            ci[static_cast<size_t>(k)] = 0.0;
        }
        CBandPassDlg::Fft(cr.data(), ci.data(), D2, 0, 1);
        for (int j = 0; j < D2; ++j) {
            s.Re(j)[f] = cr[static_cast<size_t>(j)];
            s.Im(j)[f] = ci[static_cast<size_t>(j)];
        }
    }
    progress.SetText(" Inverse Fourier transform ");
    InverseTime(store, 2 * n, samples, s);
    SetInterpolatedHeaders(ws, 2 * n, n, old.receivers, old.picks, old.codes, samples);
    FinishTraces(ws, 2 * n);
    return 1;
}

int OnTraceInterpolationFkUnaliased(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    const char* refusal = "時間領域の波形ではありません";
    if (!TimeDomainTraces(ws, ui, refusal, refusal)) {
        return 0;
    }
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (TooManyTraces(ws, ui, 2 * n - 1)) {
        return 0;
    }
    OldTraces old;
    if (!PrepareHalfSpacing(ws, ui, 2 * n - 1, old)) {
        return 0;
    }
    store.PushUndo();
    const int samples = Samples(store);
    const int N = PowerOfTwoLength(samples, 1);
    const int C = n <= 256 ? 256 : n <= 512 ? 512 : 1024;
    Spectra s(2 * C, N);
    progress.SetText(" Forward Fourier transform ");
    ForwardTime(store, n, s);
    std::vector<double> cr(static_cast<size_t>(2 * C)), ci(static_cast<size_t>(2 * C));
    for (int f = 0; f < N; ++f) {
        std::fill(cr.begin(), cr.end(), 0.0);
        std::fill(ci.begin(), ci.end(), 0.0);
        for (int j = 0; j < n; ++j) {
            cr[static_cast<size_t>(j)] = s.Re(j)[f];
            ci[static_cast<size_t>(j)] = s.Im(j)[f];
        }
        CBandPassDlg::InterpolateMidpoints(2 * C, cr.data());
        CBandPassDlg::InterpolateMidpoints(2 * C, ci.data());
        for (int j = 0; j < 2 * n - 1; ++j) {
            s.Re(j)[f] = 0.5 * cr[static_cast<size_t>(j)];  // InterpolateMidpoints doubles
            s.Im(j)[f] = 0.5 * ci[static_cast<size_t>(j)];
        }
    }
    progress.SetText(" Inverse Fourier transform ");
    InverseTime(store, 2 * n - 1, samples, s);
    SetInterpolatedHeaders(ws, 2 * n - 1, n, old.receivers, old.picks, old.codes, samples);
    FinishTraces(ws, 2 * n - 1);
    return 1;
}

int OnTraceInterpolationFxUnaliased(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    if (!TimeDomainTraces(ws, ui, "Not the time-domain", "時間領域の波形ではありません")) {
        return 0;
    }
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (TooManyTraces(ws, ui, 2 * n - 1)) {
        return 0;
    }
    store.PushUndo();
    const int samples = Samples(store);
    const int N = PowerOfTwoLength(samples, 1);
    Spectra s(2 * n - 1, N);
    ForwardTime(store, n, s);
    const CTraceHeader first = store.current.headers[0];
    for (int i = 0; i + 1 < n; ++i) {
        progress.SetText(UnaliasedProgressText(i + 1));
        CBandPassDlg::ComplexGeometricMean(N, s.Re(i), s.Im(i), s.Re(i + 1), s.Im(i + 1), s.Re(n + i),
                                           s.Im(n + i));
        CTraceHeader h = first;
        h.traceNumber = n + i + 1;
        h.receiverHundredths = static_cast<int32_t>(
            (static_cast<int64_t>(store.current.headers[static_cast<size_t>(i)].receiverHundredths) +
             store.current.headers[static_cast<size_t>(i + 1)].receiverHundredths) /
            2);
        h.samples = samples;
        store.current.headers[static_cast<size_t>(n + i)] = h;
    }
    progress.SetText(" Inverse Fourier transform               ");
    InverseTime(store, 2 * n - 1, samples, s);
    CParameterSet& p = store.Params();
    p.traceCount = 2 * n - 1;
    p.tracesShown = 2 * n - 1;
    SortTracesByReceiver(2 * n - 1, store.current.headers, store.current.rows, p.traceMaxima, store.headersEx);
    FinishTraces(ws, 2 * n - 1);
    return 1;
}

int OnTraceThinning(Workspace& ws, UiHost&)
{
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (n == 0) {
        return 0;
    }
    store.PushUndo();
    CParameterSet& p = store.Params();
    const int kept = n / 2;
    const int samples = Samples(store);
    for (int j = 0; j < kept; ++j) {
        const int from = 2 * j;
        const auto src = store.current.rows.Row(from);
        const auto dst = store.current.rows.Row(j);
        std::copy(src.begin(), src.begin() + samples, dst.begin());
        CTraceHeader h = store.current.headers[static_cast<size_t>(from)];
        h.traceNumber = j + 1;
        store.current.headers[static_cast<size_t>(j)] = h;
        if (static_cast<size_t>(from) < store.headersEx.size()) {
            CTraceHeaderEx ex = store.headersEx[static_cast<size_t>(from)];
            ex.traceNumber = j + 1;
            store.headersEx[static_cast<size_t>(j)] = ex;
        }
        if (static_cast<size_t>(from) < p.pickTimes.size()) {
            p.pickTimes[static_cast<size_t>(j)] = p.pickTimes[static_cast<size_t>(from)];
            p.layerCodes[static_cast<size_t>(j)] = p.layerCodes[static_cast<size_t>(from)];
        }
    }
    p.traceCount = kept;
    p.tracesShown = kept;
    FinishTraces(ws, kept);
    return 1;
}

// ---------------------------------------------------------------------------------------------

void AddResamplingCommands(CommandTable& t)
{
    // Menus another feature may have made already are reused.
    t.AddMenuIfMissing({"edit.resample", "edit", "Resample data", "データのリサンプル", kInAllMenus, 210});
    t.AddMenuIfMissing({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});
    t.AddMenuIfMissing({"option.construction", "option", "Under construction", "工事中", kInAllMenus, 900});

    using Command = int (*)(Workspace&, UiHost&, ProgressSink&);
    auto withProgress = [](Command command) -> CommandAction {
        return [command](CommandContext& c) {
            ViewProgressText progress(c.view);
            return command(c.ws, c.ui, progress);
        };
    };
    auto timeInterpolation = [](bool unaliased) -> CommandAction {
        return [unaliased](CommandContext& c) {
            ViewProgressText progress(c.view);
            return OnTimeInterpolation(c.ws, c.ui, progress, unaliased);
        };
    };
    t.Add(cmd::kSplineResample, "edit.resample", 100, "Re-sampling (use spline interpolatiopn)",
        "リサンプリング(スプライン補間)", withProgress(OnSplineResample), kRuleAlways);
    t.Add(cmd::kTimeInterpolation, "edit.resample", 110, "Time interpolation(Freq. domain)", "時間補間(周波数領域)",
        timeInterpolation(false), kRuleTracesLoaded);
    t.Add(cmd::kTraceInterpolationFk, "option.etc", 70, "Trace interpolation(FK)", "トレース補間(FK)",
        withProgress(OnTraceInterpolationFk), kRuleTracesLoaded);
    t.Add(cmd::kTraceThinning, "option.etc", 71, "Trace thinning out", "トレースの間引き",
        [](CommandContext& c) { return OnTraceThinning(c.ws, c.ui); }, kRuleTracesLoaded);
    t.Add(cmd::kTimeInterpolationUnaliased, "option.construction", 60, "Time interpolation(Freq. domain, Unaliased)",
        "時間補間(周波数領域, エイリアスなし)", timeInterpolation(true), kRuleTracesLoaded);
    t.Add(cmd::kTraceInterpolationFkUnaliased, "option.construction", 61, "Trace interpolation(FK, Unaliased)",
        "トレース補間(FK, エイリアスなし)", withProgress(OnTraceInterpolationFkUnaliased), kRuleTracesLoaded);
    t.Add(cmd::kTraceInterpolationFxUnaliased, "option.construction", 62, "Trace interpolation(FX, Unaliased)",
        "トレース補間(FX, エイリアスなし)", withProgress(OnTraceInterpolationFxUnaliased), kRuleTracesLoaded);
}

}  // namespace velk
