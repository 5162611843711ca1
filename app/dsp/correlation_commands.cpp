#include "app/dsp/correlation_commands.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/view/record_extents.h"
#include "app/dsp/stack_commands.h"
#include "app/surfacewave/surfacewave_seams.h"
#include "app/dsp/time_shift.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/correlation.h"
#include "dsp/fourier.h"
#include "dsp/stacking.h"
#include "formats/trace_arrays.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

void Refuse(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

std::string NoReferenceText() { return MsgJa("基本波形が指定されていません"); }
std::string SelectATraceText(int language) { return Msg(language, "Select a trace !", "トレースを選択してください !"); }

// The samples per trace when the rows hold them, else -1 with the refusal shown.
int CheckedSamples(Workspace& ws, UiHost& ui)
{
    const int samples = ws.store.Params().samplesPerTrace;
    if (samples > ws.store.RowLength()) {
        Refuse(ui, SamplesTooLargeText(ws.startup.language, ws.store.MaxSample()));
        return -1;
    }
    return std::max(samples, 0);
}

// A transform length the rows hold, else 0 with the refusal shown.
int CheckedLength(Workspace& ws, UiHost& ui, int n)
{
    if (n > ws.store.RowLength()) {
        Refuse(ui, SamplesTooLargeText(ws.startup.language, ws.store.MaxSample()));
        return 0;
    }
    return n;
}

// The length of a record that grows to a transform length, else 0 with the refusal shown when
// the readers could not take such a record back.
int CheckedRecordLength(Workspace& ws, UiHost& ui, int n)
{
    return CheckRecordFitsMaxSample(ws, ui, n) ? n : 0;
}

// out[0..n) := the first `count` values of trace i of a data set: its own samples, zeros beyond
// them and beyond count.
void TraceValues(const WaveformStore& store, const DataSet& set, int i, int count, int n, double* out)
{
    const int own = std::clamp(set.headers[static_cast<size_t>(i)].samples, 0,
                               std::min({count, n, store.RowLength()}));
    const auto row = set.rows.Row(i);
    for (int j = 0; j < own; ++j) {
        out[j] = row[static_cast<size_t>(j)];
    }
    std::fill(out + own, out + n, 0.0);
}

std::vector<double> TraceValues(const WaveformStore& store, int i, int count, int n)
{
    std::vector<double> v(static_cast<size_t>(std::max(n, 1)));
    TraceValues(store, store.current, i, count, n, v.data());
    return v;
}

// Trace i := sign x values[0..n); samples between n and its header's count become 0, so no
// stale row contents come into view.
void WriteTrace(WaveformStore& store, int i, const double* values, int n, double sign = 1.0)
{
    const auto row = store.current.rows.Row(i);
    const int limit = std::clamp(n, 0, store.RowLength());
    for (int j = 0; j < limit; ++j) {
        row[static_cast<size_t>(j)] = static_cast<float>(sign * values[j]);
    }
    const int count = std::clamp(store.current.headers[static_cast<size_t>(i)].samples, 0, store.RowLength());
    if (count > limit) std::fill(row.begin() + limit, row.begin() + count, 0.0f);
}

// What every command here leaves: display factors 1.0, the peaks, time-domain data, the
// display window inside the record.
void Finish(Workspace& ws)
{
    ResetDisplayFactors(ws);
    ws.store.ComputeTraceMaxima();
    ws.store.dataKind() = kTimeDomain;
    ClampDisplayWindow(ws);
}

// x (N values, taken) -> its scaled spectrum (flag 0) in polar form, in place.
void PolarSpectrum(double* amplitude, double* phase, int N)
{
    CFourier::Fft(amplitude, phase, N, 0, 0);
    CBandPassDlg::RectToPolar(N, amplitude, phase);
}

// Lag of the first largest |value| over n values, counted from the end above n/2.
int WrappedLag(std::span<const double> values)
{
    const int n = static_cast<int>(values.size());
    int lag = FirstPeakIndex(values);
    if (lag > n / 2) lag -= n;
    return lag;
}

// The pairs of the S-wave corrections: (f, j) with f of the first trace's component and j of
// another component at f's receiver.
struct TracePair {
    int f = 0;
    int j = 0;
};

std::vector<TracePair> SWavePairs(const WaveformStore& store)
{
    std::vector<TracePair> pairs;
    const int traces = store.TraceCount();
    if (traces == 0) return pairs;
    const auto& h = store.current.headers;
    const int32_t reference = h[0].component;
    for (int f = 0; f < traces; ++f) {
        if (h[static_cast<size_t>(f)].component != reference) continue;
        for (int j = 0; j < traces; ++j) {
            if (j != f && h[static_cast<size_t>(j)].component != reference &&
                h[static_cast<size_t>(j)].receiverHundredths == h[static_cast<size_t>(f)].receiverHundredths) {
                pairs.push_back({f, j});
            }
        }
    }
    return pairs;
}

// A zero-fill shift of the component to edit, refused with the capacity message when it would
// lengthen a trace beyond MAX_SAMPLE (the readers could not take the record back): nothing is
// cut in silence.
bool ShiftWithinMaxSample(Workspace& ws, UiHost& ui, float shiftMs)
{
    if (!CheckRecordFitsMaxSample(ws, ui, ShiftedTraceLength(ws, shiftMs))) return false;
    ShiftTraces(ws, shiftMs, 0);
    return true;
}

// Shifts the paired component by lag x dt with zero fill; what both S-wave corrections share
// after the measurement. The component is that of the second trace of the first pair (the
// second trace of a record sorted by receiver). False, with the record taken back to the
// snapshot the command pushed, when the shift does not fit.
bool ShiftPairedComponent(Workspace& ws, UiHost& ui, const std::vector<TracePair>& pairs,
                          std::span<const double> sum, float intervalMs)
{
    bool shifted = true;
    if (!pairs.empty()) {
        ws.componentToEdit = ws.store.current.headers[static_cast<size_t>(pairs.front().j)].component;
        shifted = ShiftWithinMaxSample(ws, ui, static_cast<float>(WrappedLag(sum)) * intervalMs);
    }
    if (!shifted) {
        ws.store.RestoreUndo();
        return false;
    }
    Finish(ws);
    return true;
}

}  // namespace

std::string CorrelationProgressText(int trace) { return FormatC(" Correlation : trace = %d ", trace); }
std::string ConvolutionProgressText(int trace) { return FormatC(" Convolution : trace = %d ", trace); }
std::string SemblanceProgressText(int trace) { return FormatC(" Semblance calculation : trace = %d ", trace); }

int ReferenceTrace(const Workspace& ws)
{
    const auto& flags = ws.store.Params().selectionFlags;
    const int traces = std::min<int>(ws.store.TraceCount(), static_cast<int>(flags.size()));
    for (int i = 0; i < traces; ++i) {
        if (flags[static_cast<size_t>(i)] == 1) return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Time domain

namespace {

// Both time-domain products: each trace := -(reference (x) trace) over n points, computed by FFT
// two traces at a time.
int TimeDomainProduct(Workspace& ws, UiHost& ui, ProgressSink& progress, CircularProduct::Kind kind)
{
    WaveformStore& store = ws.store;
    const int reference = ReferenceTrace(ws);
    if (reference < 0) {
        Refuse(ui, NoReferenceText());
        return 0;
    }
    const int samples = CheckedSamples(ws, ui);
    if (samples <= 0) return 0;
    const bool correlation = kind == CircularProduct::Kind::Correlation;
    // The whole trace takes part: the record grows to the next power of two (at least 512).
    const int n = correlation ? CheckedRecordLength(ws, ui, std::max(512, PowerOfTwoLength(samples, 1))) : samples;
    if (n == 0) return 0;
    CircularProduct product(kind, TraceValues(store, reference, samples, n).data(), n);
    store.PushUndo();
    const int traces = store.TraceCount();
    std::vector<double> a(static_cast<size_t>(n)), b(static_cast<size_t>(n));
    for (int i = 0; i < traces; i += 2) {
        const bool two = i + 1 < traces;
        progress.SetText(correlation ? CorrelationProgressText(i + 1) : ConvolutionProgressText(i + 1));
        TraceValues(store, store.current, i, samples, n, a.data());
        if (two) {
            progress.SetText(correlation ? CorrelationProgressText(i + 2) : ConvolutionProgressText(i + 2));
            TraceValues(store, store.current, i + 1, samples, n, b.data());
            product.Apply(a.data(), b.data(), a.data(), b.data());
        } else {
            product.Apply(a.data(), a.data());
        }
        store.current.headers[static_cast<size_t>(i)].samples = n;
        WriteTrace(store, i, a.data(), n, -1.0);
        if (two) {
            store.current.headers[static_cast<size_t>(i) + 1].samples = n;
            WriteTrace(store, i + 1, b.data(), n, -1.0);
        }
    }
    store.Params().samplesPerTrace = n;
    Finish(ws);
    return 1;
}

}  // namespace

int OnCorrelationTimeDomain(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    return TimeDomainProduct(ws, ui, progress, CircularProduct::Kind::Correlation);
}

int OnConvolutionTimeDomain(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    return TimeDomainProduct(ws, ui, progress, CircularProduct::Kind::Convolution);
}

// ---------------------------------------------------------------------------------------------
// FFT routes

int OnCrossCorrelation(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    const int samples = CheckedSamples(ws, ui);
    if (samples < 0 || store.TraceCount() == 0) return 0;
    const int N = CheckedRecordLength(ws, ui, PowerOfTwoLength(samples, 1));
    if (N == 0) return 0;
    store.PushUndo();
    const int reference = ReferenceTrace(ws);
    if (reference < 0) {
        Refuse(ui, NoReferenceText());
        return 0;
    }
    std::vector<double> refAmp = TraceValues(store, reference, samples, N);
    std::vector<double> refPhase(static_cast<size_t>(N), 0.0);
    PolarSpectrum(refAmp.data(), refPhase.data(), N);
    ws.fftWork.Reserve(static_cast<size_t>(N));
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    for (int i = 0; i < store.TraceCount(); ++i) {
        progress.SetText(CorrelationProgressText(i + 1));
        TraceValues(store, store.current, i, samples, N, re);
        std::fill_n(im, N, 0.0);
        PolarSpectrum(re, im, N);
        CCorrelationDlg::CrossSpectrumPolar(N, refAmp.data(), refPhase.data(), re, im, re, im);
        CBandPassDlg::PolarToRect(N, re, im);
        // Swapped parts: the imaginary output, which lands in re, is Re sum Z e^(-i...).
        CFourier::Fft(im, re, N, 0, 1);
        store.current.headers[static_cast<size_t>(i)].samples = N;
        WriteTrace(store, i, re, N);
    }
    store.Params().samplesPerTrace = N;
    Finish(ws);
    return 1;
}

namespace {

// The two FFT products that keep the record's length: each chosen trace := the first `samples`
// real parts of the inverse (flag 1) of its spectrum times the given one, in polar form.
// reference < 0: the autocorrelation (the trace's own spectrum, conjugated).
int FftProduct(Workspace& ws, UiHost& ui, ProgressSink& progress, bool convolution)
{
    WaveformStore& store = ws.store;
    const int samples = CheckedSamples(ws, ui);
    if (samples <= 0 || store.TraceCount() == 0) return 0;
    const int N = CheckedLength(ws, ui, PowerOfTwoLength(samples, 1));
    if (N == 0) return 0;
    store.PushUndo();
    std::vector<double> refAmp, refPhase;
    if (convolution) {
        const int reference = ReferenceTrace(ws);
        if (reference < 0) {
            Refuse(ui, SelectATraceText(ws.startup.language));
            return 0;
        }
        refAmp = TraceValues(store, reference, samples, N);
        refPhase.assign(static_cast<size_t>(N), 0.0);
        PolarSpectrum(refAmp.data(), refPhase.data(), N);
    }
    ws.fftWork.Reserve(static_cast<size_t>(N));
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    const auto& flags = store.Params().selectionFlags;
    for (int i = 0; i < store.TraceCount(); ++i) {
        // The convolution leaves every selected trace (the reference among them) as it is.
        if (convolution && static_cast<size_t>(i) < flags.size() && flags[static_cast<size_t>(i)] == 1) continue;
        progress.SetText(convolution ? ConvolutionProgressText(i + 1) : CorrelationProgressText(i + 1));
        TraceValues(store, store.current, i, samples, N, re);
        std::fill_n(im, N, 0.0);
        PolarSpectrum(re, im, N);
        if (convolution) {
            CCorrelationDlg::ConvolveSpectraPolar(N, re, im, refAmp.data(), refPhase.data(), re, im);
        } else {
            CCorrelationDlg::CrossSpectrumPolar(N, re, im, re, im, re, im);
        }
        CBandPassDlg::PolarToRect(N, re, im);
        CFourier::Fft(re, im, N, 0, 1);
        WriteTrace(store, i, re, samples);
        if (static_cast<size_t>(i) < store.displayFactor.size()) store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    }
    store.ComputeTraceMaxima();
    store.dataKind() = kTimeDomain;
    return 1;
}

}  // namespace

int OnConvolution(Workspace& ws, UiHost& ui, ProgressSink& progress) { return FftProduct(ws, ui, progress, true); }

int OnAutoCorrelation(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    return FftProduct(ws, ui, progress, false);
}

// ---------------------------------------------------------------------------------------------
// Automatic shifts

namespace {

enum class Measure { Correlation, Semblance };

// The shift of every other component at the reference's receiver; 0 without a reference.
int AutoShift(Workspace& ws, UiHost& ui, Measure measure, int mode)
{
    WaveformStore& store = ws.store;
    const float interval = store.Params().sampleInterval;
    if (store.TraceCount() == 0 || !CheckIntervalMs(ws, ui, interval)) return 0;
    const int samples = CheckedSamples(ws, ui);
    if (samples <= 0) return 0;
    store.PushUndo();
    const int reference = ReferenceTrace(ws);
    if (reference < 0) {
        Refuse(ui, measure == Measure::Correlation ? SelectATraceText(ws.startup.language) : NoReferenceText());
        return 0;
    }
    const std::vector<double> x = TraceValues(store, reference, samples, samples);
    const CTraceHeader refHeader = store.current.headers[static_cast<size_t>(reference)];
    CircularProduct correlation(CircularProduct::Kind::Correlation, x.data(), samples);
    std::vector<double> y(static_cast<size_t>(samples)), c(static_cast<size_t>(samples));
    for (int i = 0; i < store.TraceCount(); ++i) {
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        if (h.receiverHundredths != refHeader.receiverHundredths || h.component == refHeader.component) continue;
        TraceValues(store, store.current, i, samples, samples, y.data());
        if (measure == Measure::Correlation) {
            correlation.Apply(y.data(), c.data());
        } else {
            CVerticalStackDlg::SemblanceCorrelation(x.data(), y.data(), c.data(), samples);
        }
        ws.componentToEdit = h.component;
        const float shift = static_cast<float>(WrappedLag(c)) * interval;
        if (measure == Measure::Correlation && mode == 1) {
            ShiftTracesCircular(ws, shift, 0);
        } else if (!ShiftWithinMaxSample(ws, ui, shift)) {
            // The shifts made so far are taken back with the snapshot: all or none.
            ws.componentToEdit = -1;
            store.RestoreUndo();
            return 0;
        }
    }
    ws.componentToEdit = -1;
    store.ComputeTraceMaxima();
    return 1;
}

}  // namespace

int AutoShiftByCorrelation(Workspace& ws, UiHost& ui, int mode)
{
    return AutoShift(ws, ui, Measure::Correlation, mode);
}

int OnAutoShiftByCorrelation(Workspace& ws, UiHost& ui)
{
    if (AutoShiftByCorrelation(ws, ui, 0) != 1) return 0;
    ws.display.modified = 1;
    return 1;
}

int OnAutoShiftBySemblance(Workspace& ws, UiHost& ui) { return AutoShift(ws, ui, Measure::Semblance, 0); }

// ---------------------------------------------------------------------------------------------
// S-wave corrections

int OnSWaveCorrectionByCorrelation(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    const float interval = store.Params().sampleInterval;
    if (store.TraceCount() == 0 || !CheckIntervalMs(ws, ui, interval)) return 0;
    const int samples = CheckedSamples(ws, ui);
    if (samples <= 0) return 0;
    const int M = PowerOfTwoLength(samples, 1) / 2;
    const std::vector<TracePair> pairs = SWavePairs(store);
    // One scratch row of M values per pair, the command's own.
    std::vector<float> scratch(pairs.size() * static_cast<size_t>(M));
    std::vector<const float*> rows;
    store.PushUndo();

    // The tabled transform serves up to 2048 points; longer halves take the one-based radix-2
    // transform, which scales the same way (forward unscaled, inverse 1/M).
    int tableLength = 0;
    int m = 0;
    CBandPassDlg::PowerOfTwoAtLeast(M, tableLength, m);
    const bool tabled = M <= 2048;
    std::vector<double> table(static_cast<size_t>(M) / 4 + 2);
    if (tabled) CBandPassDlg::BuildCosTable(m, table);
    auto transform = [&](double* re, double* im, int sign) {
        if (tabled) {
            CBandPassDlg::FftTabled(re, im, table, m, sign);
        } else {
            CBandPassDlg::FftOneBased(re, im, M, 0, sign < 0 ? 0 : 1);
        }
    };
    std::vector<double> xr(static_cast<size_t>(M) + 1), xi(xr.size()), yr(xr.size()), yi(xr.size());
    for (size_t p = 0; p < pairs.size(); ++p) {
        progress.SetText(CorrelationProgressText(pairs[p].f + 1));
        TraceValues(store, store.current, pairs[p].f, samples, M, xr.data() + 1);
        TraceValues(store, store.current, pairs[p].j, samples, M, yr.data() + 1);
        for (int k = 1; k <= M; ++k) {
            yr[static_cast<size_t>(k)] = -yr[static_cast<size_t>(k)];
            xi[static_cast<size_t>(k)] = 0.0;
            yi[static_cast<size_t>(k)] = 0.0;
        }
        transform(xr.data(), xi.data(), -1);
        transform(yr.data(), yi.data(), -1);
        CBandPassDlg::RectToPolar1(M, xr.data(), xi.data());
        CBandPassDlg::RectToPolar1(M, yr.data(), yi.data());
        CCorrelationDlg::CrossSpectrumPolar(M, xr.data() + 1, xi.data() + 1, yr.data() + 1, yi.data() + 1,
                                            xr.data() + 1, xi.data() + 1);
        CBandPassDlg::PolarToRect1(M, xr.data(), xi.data());
        transform(xr.data(), xi.data(), 1);
        // The plain inverse of X conj(Y) gives sum_a x[a] y[a - k]; read backwards it is the
        // correlation sum_a x[a] y[a + k] of the semblance route, whose lag the shift removes.
        float* row = scratch.data() + p * static_cast<size_t>(M);
        for (int k = 0; k < M; ++k) {
            row[k] = static_cast<float>(std::fabs(xr[static_cast<size_t>((M - k) % M) + 1]));
        }
        rows.push_back(row);
    }
    std::vector<double> sum(static_cast<size_t>(M), 0.0);
    CVerticalStackDlg::NormalizedSum(static_cast<int>(rows.size()), M, rows.data(), sum.data());
    if (!ShiftPairedComponent(ws, ui, pairs, sum, interval)) return 0;
    ws.display.modified = 1;
    return 1;
}

int OnSWaveCorrectionBySemblance(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    const float interval = store.Params().sampleInterval;
    if (store.TraceCount() == 0 || !CheckIntervalMs(ws, ui, interval)) return 0;
    const int samples = CheckedSamples(ws, ui);
    if (samples <= 0) return 0;
    const std::vector<TracePair> pairs = SWavePairs(store);
    std::vector<float> scratch(pairs.size() * static_cast<size_t>(samples));
    std::vector<const float*> rows;
    store.PushUndo();
    std::vector<double> x(static_cast<size_t>(samples)), y(x.size()), s(x.size());
    for (size_t p = 0; p < pairs.size(); ++p) {
        progress.SetText(SemblanceProgressText(pairs[p].f + 1));
        TraceValues(store, store.current, pairs[p].f, samples, samples, x.data());
        TraceValues(store, store.current, pairs[p].j, samples, samples, y.data());
        for (double& v : y) v = -v;
        CVerticalStackDlg::SemblanceCorrelation(x.data(), y.data(), s.data(), samples);
        float* row = scratch.data() + p * static_cast<size_t>(samples);
        for (int k = 0; k < samples; ++k) row[k] = static_cast<float>(std::fabs(s[static_cast<size_t>(k)]));
        rows.push_back(row);
    }
    std::vector<double> sum(static_cast<size_t>(samples), 0.0);
    CVerticalStackDlg::NormalizedSum(static_cast<int>(rows.size()), samples, rows.data(), sum.data());
    return ShiftPairedComponent(ws, ui, pairs, sum, interval) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Refraction convolutions

int OnRefractionConvolution(Workspace& ws, UiHost& ui, ProgressSink& progress, int reversed)
{
    WaveformStore& store = ws.store;
    const int samples = CheckedSamples(ws, ui);
    if (samples < 0 || store.TraceCount() == 0) return 0;
    const int N = CheckedLength(ws, ui, PowerOfTwoLength(samples, 1));
    if (N == 0) return 0;
    const int traces = store.TraceCount();
    const auto& h = store.current.headers;
    std::vector<TracePair> pairs;
    for (int i = 0; i < traces; ++i) {
        if (h[static_cast<size_t>(i)].component != 1) continue;
        for (int j = 0; j < traces; ++j) {
            if (h[static_cast<size_t>(j)].component == 2 &&
                h[static_cast<size_t>(j)].receiverHundredths == h[static_cast<size_t>(i)].receiverHundredths) {
                pairs.push_back({i, j});
            }
        }
    }
    if (static_cast<int>(pairs.size()) > store.MaxTraces()) {
        Refuse(ui, TracesTooLargeText(ws.startup.language, store.MaxTraces()));
        return 0;
    }
    store.PushUndo();
    const DataSet& from = store.level1;  // the traces as they were
    std::vector<double> ar(static_cast<size_t>(N)), ai(ar.size()), br(ar.size()), bi(ar.size());
    for (size_t n = 0; n < pairs.size(); ++n) {
        progress.SetText(ConvolutionProgressText(static_cast<int>(n) + 1));
        TraceValues(store, from, pairs[n].f, samples, N, ar.data());
        TraceValues(store, from, pairs[n].j, samples, N, br.data());
        if (reversed == 1) {
            // Sample k of the second trace at N - 1 - k, zeros before it.
            std::reverse(br.begin(), br.end());
        }
        std::fill(ai.begin(), ai.end(), 0.0);
        std::fill(bi.begin(), bi.end(), 0.0);
        PolarSpectrum(ar.data(), ai.data(), N);
        PolarSpectrum(br.data(), bi.data(), N);
        CCorrelationDlg::ConvolveSpectraPolar(N, ar.data(), ai.data(), br.data(), bi.data(), ar.data(), ai.data());
        CBandPassDlg::PolarToRect(N, ar.data(), ai.data());
        CFourier::Fft(ar.data(), ai.data(), N, 0, 1);
        const int out = static_cast<int>(n);
        store.current.headers[n] = from.headers[static_cast<size_t>(pairs[n].f)];
        WriteTrace(store, out, ar.data(), samples);
    }
    CParameterSet& p = store.Params();
    p.traceCount = static_cast<int>(pairs.size());
    p.tracesShown = p.traceCount;
    Finish(ws);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Small record commands

int OnReduceDc(Workspace& ws)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0) return 0;
    store.PushUndo();
    for (int i = 0; i < store.TraceCount(); ++i) {
        RemoveMean(store.current.rows.Row(i).data(), store.TraceSamples(i));
    }
    store.ComputeTraceMaxima();
    return 1;
}

int OnSelectAllTraces(Workspace& ws)
{
    WaveformStore& store = ws.store;
    auto& flags = store.Params().selectionFlags;
    const int traces = std::min<int>(store.TraceCount(), static_cast<int>(flags.size()));
    for (int i = 0; i < traces; ++i) {
        if (ws.componentToEdit == -1 || store.current.headers[static_cast<size_t>(i)].component == ws.componentToEdit) {
            flags[static_cast<size_t>(i)] = 1;
        }
    }
    ws.display.editMode = 5;
    ws.display.selectionMode = 1;
    return 1;
}

int OnSortByDistance(Workspace& ws)
{
    SortStoreByReceiver(ws.store, ws.store.TraceCount());
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Menu rows

void AddCorrelationCommands(CommandTable& t)
{
    // Menus another feature may have made already are reused.
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenuIfMissing({"option.processing.option", "option.processing", "Option", "オプション", kInAllMenus, 900});
    t.AddMenuIfMissing({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});
    t.AddMenuIfMissing({"option.etc.etc", "option.etc", "etc.", "その他", kInAllMenus, 900});
    t.AddMenuIfMissing({"option.etc.etc.oldfft", "option.etc.etc", "Old FFT", "旧FFT", kInAllMenus, 50});
    t.AddMenuIfMissing({"option.construction.refraction", "option.construction", "Refraction analysis", "屈折法解析", kInAllMenus, 50});
    t.AddMenuIfMissing({"edit.timeshift", "edit", "Time shift traces", "トレースの時間シフト", kInAllMenus, 120});
    t.AddMenuIfMissing({"edit.timeshift.auto", "edit.timeshift", "Automatic shift", "自動シフト", kInAllMenus, 50});
    t.AddMenuIfMissing({"edit.timeshift.swave", "edit.timeshift", "Automatic correction for S-waves", "S波の自動補正", kInAllMenus,
          60});

    auto add = [&](int id, const char* where, double order, const char* en, const char* ja, CommandAction action,
                   int enable, unsigned menus = kInAllMenus) {
        CommandRow r = MakeRow(id, where, order, en, ja, std::move(action), enable);
        r.menus = menus;
        t.Add(std::move(r));
    };
    // Commands that draw their progress as the view's transient text.
    auto withProgress = [](int (*command)(Workspace&, UiHost&, ProgressSink&)) -> CommandAction {
        return [command](CommandContext& c) {
            ViewProgressText progress(c.view);
            return command(c.ws, c.ui, progress);
        };
    };
    // Operations of the holder (the shell repaints on 1).
    auto holder = [](int (*operation)(CWaveOperations&)) -> CommandAction {
        return [operation](CommandContext& c) {
            ViewProgressText progress(c.view);
            CWaveOperations ops(c.ws, c.ui, progress);
            return ops.Run([operation](CWaveOperations& o) { return operation(o); });
        };
    };

    const char* p = "option.processing";
    add(cmd::kCrossCorrelation, p, 40, "Cross correlation", "相互相関", withProgress(OnCrossCorrelation),
        kRuleTimeDomain);
    add(cmd::kConvolution, p, 41, "Convolution ", "コンボリューション", withProgress(OnConvolution), kRuleTimeDomain);
    add(cmd::kAutoCorrelation, p, 42, "Auto correlation", "自己相関", withProgress(OnAutoCorrelation), kRuleTimeDomain);
    add(cmd::kVerticalStack, p, 50, "Vertical stack", "垂直重合",
        holder([](CWaveOperations& o) { return o.VerticalStack(); }), kRuleTimeDomain);
    add(cmd::kReduceDc, p, 60, "Reduce DC", "DC成分の除去", holder([](CWaveOperations& o) { return OnReduceDc(o.ws); }),
        kRuleTimeDomain);
    add(cmd::kCoherence, p, 70, "Coherence", "コヒーレンス", holder([](CWaveOperations& o) {
            if (o.ws.store.dataKind() != kTimeDomain) {
                Refuse(o.ui, Msg(o.ws.startup.language, "Not time domain data", "時間領域のデータではありません"));
                return 0;
            }
            return o.CoherenceSelected();
        }),
        kRuleCoherence, kIn128);

    const char* po = "option.processing.option";
    add(cmd::kCorrelationTimeDomain, po, 30, "Correlation(time domain)", "相関(時間領域)",
        withProgress(OnCorrelationTimeDomain), kRuleTimeDomain);
    add(cmd::kConvolutionTimeDomain, po, 31, "Convolution(time domain)", "コンボリューション(時間領域)",
        withProgress(OnConvolutionTimeDomain), kRuleTimeDomain);
    add(cmd::kSubtract, po, 40, "Subtract", "差分", [](CommandContext& c) {
        ViewProgressText progress(c.view);
        return OnSubtract(c.ws, progress);
    }, kRuleTimeDomain);
    add(cmd::kConnect, po, 41, "Connect", "連結", withProgress(OnConnect), kRuleTimeDomain);

    add(cmd::kCrossCorrelation2048, "option.etc.etc.oldfft", 30, "Cross correlation (up to 2048)",
        "相互相関 (2048まで)", holder([](CWaveOperations& o) { return o.CorrelateWithReference(); }),
        kRuleCorrelation2048);
    add(cmd::kSortByDistance, "option.etc", 60, "Sort respect to trace distance(depth)",
        "トレース距離(深度)で並べ替え", [](CommandContext& c) { return OnSortByDistance(c.ws); }, kRuleTracesLoaded);

    const char* r = "option.construction.refraction";
    add(cmd::kRefractionConvolution, r, 10, "Convolution", "コンボリューション", [](CommandContext& c) {
        ViewProgressText progress(c.view);
        return OnRefractionConvolution(c.ws, c.ui, progress, 0);
    }, kRuleTimeDomain);
    add(cmd::kReversedConvolution, r, 11, "Reversed convolution", "逆順コンボリューション", [](CommandContext& c) {
        ViewProgressText progress(c.view);
        return OnRefractionConvolution(c.ws, c.ui, progress, 1);
    }, kRuleTimeDomain);

    add(cmd::kSelectAllTraces, "edit", 150, "Select all traces", "全トレースを選択",
        [](CommandContext& c) { return OnSelectAllTraces(c.ws); }, kRuleTracesLoaded);
    add(cmd::kAutoShiftCorrelation, "edit.timeshift.auto", 10, "Correlation", "相関",
        [](CommandContext& c) { return OnAutoShiftByCorrelation(c.ws, c.ui); }, kRuleTimeDomain);
    add(cmd::kAutoShiftSemblance, "edit.timeshift.auto", 20, "Semblance", "センブランス",
        [](CommandContext& c) { return OnAutoShiftBySemblance(c.ws, c.ui); }, kRuleTimeDomain);
    add(cmd::kSWaveCorrelation, "edit.timeshift.swave", 10, "Correlation", "相関",
        withProgress(OnSWaveCorrectionByCorrelation), kRuleTimeDomain);
    add(cmd::kSWaveSemblance, "edit.timeshift.swave", 20, "Semblance", "センブランス",
        withProgress(OnSWaveCorrectionBySemblance), kRuleTimeDomain);

    t.SetRule(kRuleCoherence, [](const Workspace& ws, const RecentFileList&) {
        return ws.store.Params().AnyFlagSet() == 1;
    });
    t.SetRule(kRuleCorrelation2048, [](const Workspace& ws, const RecentFileList&) {
        return ws.store.TraceCount() > 0 && ws.store.dataKind() == kTimeDomain;
    });
}

}  // namespace velk
