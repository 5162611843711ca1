#include "app/dsp/fourier_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/record_arrival.h"
#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/view/record_extents.h"
#include "app/store_commands.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/frequency_text.h"
#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {

namespace {

constexpr int kLongTransform = 2048;  // longer transforms report progress per trace

void Refuse(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

std::string NotFrequencyDomainJa() { return MsgJa("周波数領域の波形ではありません"); }
std::string NotTimeDomainJa() { return MsgJa("時間領域の波形ではありません"); }

std::string ErrorOpeningFile(int language)
{
    return Msg(language, "error in opening file", "ファイルを開けませんでした");
}

// The samples per trace of the current record, or 0 (with the refusal shown) when they do
// not fit the rows. A record without samples gives 0 silently.
int CheckedSamples(Workspace& ws, UiHost& ui)
{
    const int samples = ws.store.Params().samplesPerTrace;
    if (samples > ws.store.RowLength()) {
        Refuse(ui, SamplesTooLargeText(ws.startup.language, ws.store.MaxSample()));
        return 0;
    }
    return std::max(samples, 0);
}

// The transform length of n samples when it fits the rows, else 0 with the refusal shown.
int CheckedTransformLength(Workspace& ws, UiHost& ui, int n)
{
    const int length = PowerOfTwoLength(n, 1);
    if (length > ws.store.RowLength()) {
        Refuse(ui, SamplesTooLargeText(ws.startup.language, ws.store.MaxSample()));
        return 0;
    }
    return length;
}

// Headers of every trace: n samples at the interval (µs).
void SetHeaders(Workspace& ws, int n, float intervalUs)
{
    const int traces = ws.store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        CTraceHeader& h = ws.store.current.headers[static_cast<size_t>(i)];
        h.samples = n;
        h.intervalUs = intervalUs;
    }
}

// The state every transform leaves: samples per trace, the store interval, the peaks, the
// display factors and the window over the whole result.
void FinishTransform(Workspace& ws, int n, float intervalMs, int kind)
{
    CParameterSet& p = ws.store.Params();
    p.samplesPerTrace = n;
    ws.store.dataKind() = kind;
    if (IsComplexKind(kind)) {
        ComputeComplexMaxima(ws);
    } else {
        ws.store.ComputeTraceMaxima();
    }
    ResetDisplayFactors(ws);
    p.sampleInterval = intervalMs;
    ShowWholeTransform(ws, n, intervalMs);
}

enum class SpectrumKind { Power, Decibel };

int DftSpectrum(CWaveOperations& ops, SpectrumKind kind)
{
    Workspace& ws = ops.ws;
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (store.dataKind() != kTimeDomain) {
        Refuse(ops.ui, kind == SpectrumKind::Power
                           ? Msg(language, "Not the waveform in time domain", "時間領域の波形ではありません")
                           : NotTimeDomainJa());
        return 0;
    }
    const int traces = store.TraceCount();
    const int n = CheckedSamples(ws, ops.ui);
    if (traces == 0 || n == 0 || !CheckIntervalUs(ws, ops.ui, store.current.headers[0].intervalUs)) {
        return 0;
    }
    store.PushUndo();
    RaiseSampleCounts(ws, n);
    const float interval = store.current.headers[0].intervalUs * 0.001f;
    const float df = 1000.0f / (static_cast<float>(n) * interval);

    std::vector<double> x(static_cast<size_t>(n) + 1);
    ops.ws.fftWork.Reserve(static_cast<size_t>(n) + 1);
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    std::vector<double> v(static_cast<size_t>(n));
    for (int i = 0; i < traces; ++i) {
        ops.progress.SetText(DftProgressText(i + 1));
        const auto row = store.current.rows.Row(i);
        for (int j = 0; j < n; ++j) {
            x[static_cast<size_t>(j) + 1] = row[static_cast<size_t>(j)];
        }
        Dft(x.data(), re, im, n);
        if (kind == SpectrumKind::Power) {
            for (int j = 0; j < n; ++j) {
                const double a = re[j + 1], b = im[j + 1];
                row[static_cast<size_t>(j)] = static_cast<float>(-(a * a + b * b));
            }
            continue;
        }
        // Levels in dB above the trace's quietest bin, negated. Bins more than 300 dB below
        // the peak count as 300 dB below it, so a silent bin gives no infinity; a silent
        // trace gives zeros.
        double peak = 0.0;
        for (int j = 0; j < n; ++j) {
            v[static_cast<size_t>(j)] = std::hypot(re[j + 1], im[j + 1]);
            peak = std::max(peak, v[static_cast<size_t>(j)]);
        }
        if (!(peak > 0.0) || !std::isfinite(peak)) {
            std::fill_n(row.begin(), n, 0.0f);
            continue;
        }
        const double floor = peak * 1e-15;
        double lowest = 10000.0;
        for (double& a : v) {
            a = 20.0 * std::log10(std::max(a, floor));
            lowest = std::min(lowest, a);
        }
        for (int j = 0; j < n; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(lowest - v[static_cast<size_t>(j)]);
        }
    }
    const int kept = n <= 256 ? n / 2 : n / 16;
    SetHeaders(ws, kept, df * 1000.0f);
    FinishTransform(ws, kept, df, kRealSpectrum);
    return 1;
}

// The receiver spacing the frequency-domain file records: trace 2 minus trace 1, in metres;
// 0 for a single trace.
float ReceiverSpacing(const WaveformStore& store)
{
    if (store.TraceCount() < 2) {
        return 0.0f;
    }
    const int64_t d = static_cast<int64_t>(store.current.headers[1].receiverHundredths) -
                      store.current.headers[0].receiverHundredths;
    return static_cast<float>(static_cast<double>(d) * 0.01);
}

}  // namespace

std::string FourierProgressText(int trace, int length)
{
    return FormatC(" Calculating Fourier spectrum : trace = %d, Data length = %d", trace, length);
}

std::string DftProgressText(int trace) { return FormatC(" DFT calculation : trace = %d ", trace); }

// ---------------------------------------------------------------------------------------------
// FFT

int CWaveOperations::ForwardFft()
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (store.dataKind() != kTimeDomain) {
        Refuse(ui, Msg(language, "Not time-domain !", "時間領域のデータではありません !"));
        return 0;
    }
    const int traces = store.TraceCount();
    const int samples = CheckedSamples(ws, ui);
    if (traces == 0 || samples == 0) {
        return 0;
    }
    const int n = CheckedTransformLength(ws, ui, samples);
    if (n == 0 || !CheckIntervalUs(ws, ui, store.current.headers[0].intervalUs)) {
        return 0;
    }
    store.PushUndo();
    const float interval = store.current.headers[0].intervalUs * 0.001f;
    store.Params().sampleInterval = interval;
    RaiseSampleCounts(ws, samples);
    const float df = 1000.0f / (static_cast<float>(n) * interval);

    ws.fftWork.Reserve(static_cast<size_t>(n));
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    for (int i = 0; i < traces; ++i) {
        if (samples > kLongTransform) {
            progress.SetText(FourierProgressText(i + 1, samples));
        }
        const auto row = store.current.rows.Row(i);
        const auto imag = store.current.imag.Row(i);
        CBandPassDlg::PackRowComplex(row, samples, n, re, im);
        CFourier::Fft(re, im, n, 0, 0);
        for (int j = 0; j < n; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(re[j]);
            imag[static_cast<size_t>(j)] = static_cast<float>(im[j]);
        }
    }
    store.current.transformFlag = 0;
    SetHeaders(ws, n, df * 1000.0f);
    FinishTransform(ws, n, df, kComplexShowReal);
    return 1;
}

int CWaveOperations::InverseFft()
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (!IsComplexKind(store.dataKind())) {
        Refuse(ui, Msg(language, "Not frequency domain data", "周波数領域のデータではありません"));
        return 0;
    }
    if (store.current.transformFlag != 0) {
        Refuse(ui, Msg(language, "The data was not transformed by FFT", "このデータは FFT で変換されていません"));
        return 0;
    }
    const int traces = store.TraceCount();
    const int samples = CheckedSamples(ws, ui);
    if (traces == 0 || samples == 0) {
        return 0;
    }
    const int n = CheckedTransformLength(ws, ui, samples);
    const float df = store.Params().sampleInterval;
    if (n == 0 || !CheckIntervalMs(ws, ui, df)) {
        return 0;
    }
    // A record that is not a power of two long (from a file) is completed with zeros.
    RaiseSampleCounts(ws, n);
    const float dt = 1000.0f / (static_cast<float>(n) * df);

    ws.fftWork.Reserve(static_cast<size_t>(n));
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    for (int i = 0; i < traces; ++i) {
        if (n > kLongTransform) {
            progress.SetText(FourierProgressText(i + 1, n));
        }
        const auto row = store.current.rows.Row(i);
        const auto imag = store.current.imag.Row(i);
        for (int j = 0; j < n; ++j) {
            re[j] = row[static_cast<size_t>(j)];
            im[j] = imag[static_cast<size_t>(j)];
        }
        CFourier::Fft(re, im, n, 0, 1);
        for (int j = 0; j < n; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(re[j]);
        }
    }
    SetHeaders(ws, n, dt * 1000.0f);
    FinishTransform(ws, n, dt, kTimeDomain);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// DFT

int CWaveOperations::ForwardDft()
{
    WaveformStore& store = ws.store;
    if (store.dataKind() != kTimeDomain) {
        Refuse(ui, NotTimeDomainJa());
        return 0;
    }
    const int traces = store.TraceCount();
    const int n = CheckedSamples(ws, ui);
    if (traces == 0 || n == 0 || !CheckIntervalUs(ws, ui, store.current.headers[0].intervalUs)) {
        return 0;
    }
    store.PushUndo();
    RaiseSampleCounts(ws, n);
    const float interval = store.current.headers[0].intervalUs * 0.001f;
    const float df = 1000.0f / (static_cast<float>(n) * interval);

    std::vector<double> x(static_cast<size_t>(n) + 1);
    ws.fftWork.Reserve(static_cast<size_t>(n) + 1);
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    for (int i = 0; i < traces; ++i) {
        progress.SetText(DftProgressText(i + 1));
        const auto row = store.current.rows.Row(i);
        const auto imag = store.current.imag.Row(i);
        for (int j = 0; j < n; ++j) {
            x[static_cast<size_t>(j) + 1] = row[static_cast<size_t>(j)];
        }
        Dft(x.data(), re, im, n);
        for (int j = 0; j < n; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(-re[j + 1]);
            imag[static_cast<size_t>(j)] = static_cast<float>(-im[j + 1]);
        }
    }
    store.current.transformFlag = 1;
    SetHeaders(ws, n, df * 1000.0f);
    FinishTransform(ws, n, df, kComplexShowReal);
    return 1;
}

int CWaveOperations::InverseDftAll()
{
    WaveformStore& store = ws.store;
    if (!IsComplexKind(store.dataKind())) {
        Refuse(ui, NotFrequencyDomainJa());
        return 0;
    }
    if (store.current.transformFlag != 1) {
        Refuse(ui, MsgJa("DFTで変換されていません"));
        return 0;
    }
    const int traces = store.TraceCount();
    const int n = CheckedSamples(ws, ui);
    const float df = store.Params().sampleInterval;
    if (traces == 0 || n == 0 || !CheckIntervalMs(ws, ui, df)) {
        return 0;
    }
    RaiseSampleCounts(ws, n);
    const float dt = 1000.0f / (static_cast<float>(n) * df);

    std::vector<double> x(static_cast<size_t>(n) + 1);
    ws.fftWork.Reserve(static_cast<size_t>(n) + 1);
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    for (int i = 0; i < traces; ++i) {
        progress.SetText(DftProgressText(i + 1));
        const auto row = store.current.rows.Row(i);
        const auto imag = store.current.imag.Row(i);
        for (int j = 0; j < n; ++j) {
            re[j + 1] = row[static_cast<size_t>(j)];
            im[j + 1] = imag[static_cast<size_t>(j)];
        }
        InverseDft(x.data(), re, im, n);
        for (int j = 0; j < n; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(-x[static_cast<size_t>(j) + 1]);
        }
    }
    SetHeaders(ws, n, dt * 1000.0f);
    FinishTransform(ws, n, dt, kTimeDomain);
    return 1;
}

int CWaveOperations::PowerSpectrumDft() { return DftSpectrum(*this, SpectrumKind::Power); }
int CWaveOperations::DecibelSpectrumDft() { return DftSpectrum(*this, SpectrumKind::Decibel); }

// ---------------------------------------------------------------------------------------------
// Showing parts and domains

namespace {

int ShowPart(Workspace& ws, UiHost& ui, int kind)
{
    if (!IsComplexKind(ws.store.dataKind())) {
        Refuse(ui, NotFrequencyDomainJa());
        return 0;
    }
    ws.store.dataKind() = kind;
    return 1;
}

}  // namespace

int OnShowRealPart(Workspace& ws, UiHost& ui) { return ShowPart(ws, ui, kComplexShowReal); }
int OnShowImaginaryPart(Workspace& ws, UiHost& ui) { return ShowPart(ws, ui, kComplexShowImag); }

int OnShowTimeDomain(Workspace& ws)
{
    if (ws.store.dataKind() != kRealSpectrum) {
        return 0;
    }
    ResetDisplayFilter(ws.displayFilter);
    return RestoreUndo(ws) ? 1 : 0;
}

int OnShadeSpectrum(Workspace& ws)
{
    ws.display.spectrumShading = ws.display.spectrumShading == 1 ? -1 : 1;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// The frequency-domain text file

int OnSaveFrequencyDomainData(Workspace& ws, UiHost& ui)
{
    const int language = ws.startup.language;
    WaveformStore& store = ws.store;
    if (!IsComplexKind(store.dataKind())) {
        Refuse(ui, NotFrequencyDomainJa());
        return 0;
    }
    FileRequest request;
    request.filters = {{"Frequency domain data file(*.*)", "*.*"}};
    request.initialName = "*.*";
    const std::optional<std::string> path = ui.SaveFile(request);
    if (!path || path->empty()) {
        Refuse(ui, ErrorOpeningFile(language));
        return 0;
    }
    const int values = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const float step = store.Params().sampleInterval;
    std::string error;
    if (!WriteFrequencyDomainFile(*path, store.current.rows, store.current.imag, store.TraceCount(), values, step,
                                  ReceiverSpacing(store), &error)) {
        ui.Message(FileSaveFailedMessage(language, *path, error), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    ui.Message(FormatC(Msg(language, "Sampling frequency is %f Hz ", "サンプリング周波数は %f Hz です ").c_str(),
                       static_cast<double>(step)));
    return 0;
}

int OnOpenFrequencyDomainData(Workspace& ws, UiHost& ui)
{
    FileRequest request;
    request.filters = {{"周波数領域のﾃﾞｰﾀ(*.*)", "*.*"}};
    request.initialName = "*.*";
    const std::optional<std::string> path = ui.OpenFile(request);
    if (!path || path->empty()) {
        Refuse(ui, ErrorOpeningFile(ws.startup.language));
        return 0;
    }
    return OpenFrequencyDomainFile(ws, ui, *path);
}

int OpenFrequencyDomainFile(Workspace& ws, UiHost& ui, const std::string& path)
{
    const int language = ws.startup.language;
    WaveformStore& store = ws.store;
    if (!store.IsAllocated()) {
        return 0;
    }
    FrequencyReadResult read = ReadFrequencyDomainFile(path, store.MaxTraces(), store.RowLength());
    switch (read.error) {
    case FrequencyReadError::None: break;
    case FrequencyReadError::CannotOpen: Refuse(ui, ErrorOpeningFile(language)); return 0;
    case FrequencyReadError::TooManyTraces: Refuse(ui, TracesTooLargeText(language, store.MaxTraces())); return 0;
    case FrequencyReadError::TooManyValues: Refuse(ui, SamplesTooLargeText(language, store.RowLength())); return 0;
    case FrequencyReadError::Short:
        Refuse(ui, Msg(language, "The frequency domain data file ends before all of its values.\nNothing was read.",
                       "周波数領域のデータファイルが途中で終わっています。\n何も読み込んでいません。"));
        return 0;
    default:
        Refuse(ui, Msg(language, "The frequency domain data file is not valid.\nNothing was read.",
                       "周波数領域のデータファイルが正しくありません。\n何も読み込んでいません。"));
        return 0;
    }

    // The file is complete: it becomes the record.
    BeforeRecordReplaced(ws);
    const FrequencyDomainData& d = read.data;
    CParameterSet& p = store.Params();
    const auto values = static_cast<size_t>(d.valuesPerTrace);
    ResetDisplayFilter(ws.displayFilter);
    for (int i = 0; i < d.traceCount; ++i) {
        const size_t at = static_cast<size_t>(i) * values;
        std::copy_n(d.re.begin() + static_cast<std::ptrdiff_t>(at), values, store.current.rows.Row(i).begin());
        std::copy_n(d.im.begin() + static_cast<std::ptrdiff_t>(at), values, store.current.imag.Row(i).begin());
        const int a = i + 1;
        store.current.headers[static_cast<size_t>(i)].Set(a, a * d.spacingHundredths, 0, 1, 1, 1.0f,
                                                          d.frequencyStep * 1000.0f, d.valuesPerTrace);
    }
    p.traceCount = d.traceCount;
    p.recordKind = 0;
    p.timeAxisStart = 0.0f;
    p.plotscale = 50.0f;
    p.hscale = 25.0f;
    ws.display.firstReceiver = 1.0f;
    ws.display.lastReceiver = static_cast<float>(d.traceCount - 1);
    FinishTransform(ws, d.valuesPerTrace, d.frequencyStep, kComplexShowReal);
    ui.Message(FormatC(Msg(ws.startup.language, " Number of trace = %d \n Sampling time = %f \n Number of sample = %d ").c_str(),
                       d.traceCount, static_cast<double>(d.frequencyStep), d.valuesPerTrace));
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Memory present amplitude, change sampling time

int OnMemoryPresentAmplitude(Workspace& ws)
{
    WaveformStore& store = ws.store;
    const int traces = store.TraceCount();
    if (traces == 0) {
        return 0;
    }
    store.PushUndo();
    const bool complex = IsComplexKind(store.dataKind());
    const std::vector<float>& gains = ws.display.appliedGain;
    for (int i = 0; i < traces; ++i) {
        const float g = static_cast<size_t>(i) < gains.size() ? gains[static_cast<size_t>(i)] : 1.0f;
        const int n = store.TraceSamples(i);
        for (Matrix2D<float>* m : {&store.current.rows, &store.current.imag}) {
            if (m == &store.current.imag && !complex) {
                continue;
            }
            const auto row = m->Row(i);
            for (int j = 0; j < n; ++j) {
                row[static_cast<size_t>(j)] *= g;
            }
        }
    }
    if (complex) {
        ComputeComplexMaxima(ws);
    } else {
        store.ComputeTraceMaxima();
    }
    ResetDisplayFactors(ws);
    return 1;
}

int OnChangeSamplingTime(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int traces = store.TraceCount();
    CSamplingTimeDlg dlg;
    dlg.interval = traces > 0 ? store.current.headers[0].intervalUs * 0.001f : p.sampleInterval;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request) || !CheckIntervalMs(ws, ui, dlg.interval)) {
        return 0;
    }
    p.sampleInterval = dlg.interval;
    for (int i = 0; i < traces; ++i) {
        store.current.headers[static_cast<size_t>(i)].intervalUs = dlg.interval * 1000.0f;
    }
    p.shownTime = dlg.interval * static_cast<float>(traces > 0 ? store.TraceSamples(0) : 0);
    return 1;
}

DialogRequest CDataLengthDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, kTitle, "データ長"));
    request.Int(kField, length).Label(Msg(language, "Data length = ", "データ長 = "));
    return request;
}

}  // namespace velk
