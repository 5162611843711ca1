#include "app/dsp/synthetic_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/position.h"
#include "app/dsp/data_kind.h"
#include "app/dsp/generated_record.h"
#include "app/formats/load_setup.h"
#include "app/operations.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "dsp/correlation.h"
#include "dsp/fourier.h"
#include "dsp/synthetic.h"
#include "dsp/trace_edit.h"
#include "dsp/wavelet.h"
#include "formats/format_support.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr double kTwoPi = 6.283185307;
constexpr int kNoiseTraces = 24;
constexpr int kNoiseSamples = 1024;
constexpr float kNoiseIntervalMs = 1.0f;

// The time-domain types and the wavelet each one takes from MakeWavelet (-1: none).
enum TimeType : int {
    kSine = 0,
    kRicker = 1,
    kShowWavelets = 2,
    kNoise = 3,
    kNoiseForCorrelation = 4,
    kGabor = 5,
    kVelocityFilterTest = 6,
    kChanTsan = 7,
    kTsangRader = 8,
    kDelta = 9,
};

int WaveletOf(int type)
{
    switch (type) {
    case kRicker: return 5;
    case kGabor:
    case kVelocityFilterTest: return 1;
    case kChanTsan: return 4;
    case kTsangRader: return 3;
    default: return -1;
    }
}

bool UsesFrequency(int type) { return type != kNoise && type != kNoiseForCorrelation && type != kDelta; }
bool UsesMoveout(int type) { return type != kShowWavelets && type != kNoise && type != kNoiseForCorrelation; }

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

std::string ZeroVelocityText(int language)
{
    return Msg(language, "The apparent velocity must not be 0 !", "見かけ速度を 0 にはできません !");
}
std::string FrequencyText(int language)
{
    return Msg(language, "The frequency must be larger than 0 !", "周波数は 0 より大きくしてください !");
}

int32_t ClampWord(long long v)
{
    return static_cast<int32_t>(std::clamp<long long>(v, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
}

// The frequency-domain generators' check of the sine: its bin below the Nyquist bin.
bool SineBinFits(UiHost& ui, int language, float f0, float df, int n)
{
    const int bin = TruncIndex(f0 / df);
    if (bin >= n / 2) {
        Warn(ui, FormatC(Msg(language, "The frequency of sin waves must be below %f Hz !",
                             "sin 波の周波数は %f Hz 未満にしてください !")
                             .c_str(),
                         static_cast<double>(static_cast<float>(n / 2) * df)));
        return false;
    }
    return true;
}

// Checks of dialog 165's values shared by the frequency-domain and F-K generators.
bool CheckSpectrumType(UiHost& ui, int language, const CFreqDomainWaveformDlg& dlg, float df, int n)
{
    const bool sine = dlg.type == 0;
    const bool ricker = dlg.type == 1 || dlg.type == 3;
    if ((sine || ricker) && !(dlg.frequency > 0.0f)) {
        Warn(ui, FrequencyText(language));
        return false;
    }
    return !sine || SineBinFits(ui, language, dlg.frequency, df, n);
}

void WriteCorrelationFile(Workspace& ws, const std::vector<double>& values)
{
    std::string text;
    for (size_t k = 0; k < values.size(); ++k) {
        text += FormatC(" %d %f \n", static_cast<int>(k), values[k]);
    }
    DiagnosticLog(ws).Rewrite("correlation_function.txt", text);
}

// Dialog 171 and the checks both correlated-noise generators share.
bool AskCorrelatedNoise(Workspace& ws, UiHost& ui, CCorrelationDlg& dlg)
{
    const int language = ws.startup.language;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) {
        return false;
    }
    if (!(dlg.correlationLength > 0.0f)) {
        Warn(ui, Msg(language, "The correlation length must be larger than 0 !", "相関長は 0 より大きくしてください !"));
        return false;
    }
    return FitsStore(ws, ui, kNoiseTraces, kNoiseSamples, kNoiseIntervalMs);
}

void FinishNoiseRecord(Workspace& ws)
{
    WaveformStore& store = ws.store;
    for (int i = 0; i < kNoiseTraces; ++i) {
        store.current.headers[static_cast<size_t>(i)].receiverHundredths = 100 * i;
    }
    store.ComputeTraceMaxima();
    ShowRecord(ws, 0.0f, static_cast<float>(kNoiseTraces - 1), 50.0f, 5.0f);
}

}  // namespace

std::string SineFrequencyMessage(double frequency) { return FormatC(" Frequency of sin waves is %f Hz", frequency); }

std::string FkSineFrequencyMessage(double frequency)
{
    return FormatC(" Frequency of sin waves is\u3000%f Hz", frequency);
}

// ---------------------------------------------------------------------------------------------
// Noise routines

void CWaveOperations::GenerateRandomTimeSeries(int mode, float factor)
{
    WaveformStore& store = ws.store;
    SyntheticRandom random(ws.traceEdit.Seed());
    FillRandomTimeSeries(store.current.rows, store.TraceCount(), std::clamp(store.Params().samplesPerTrace, 0, store.RowLength()),
                         mode, factor, store.Params().recordMaximum, random);
    store.ComputeTraceMaxima();
}

void GenerateRandomSpectrum(Workspace& ws, int mode, float factor, float low, float high, float df)
{
    WaveformStore& store = ws.store;
    SyntheticRandom random(ws.traceEdit.Seed());
    FillRandomSpectrum(store.current.rows, store.current.imag, store.TraceCount(),
                       std::clamp(store.Params().samplesPerTrace, 0, store.RowLength()), mode, factor,
                       store.Params().recordMaximum, low, high, df, random);
    ComputeComplexMaxima(ws);
}

void CWaveOperations::GenerateGaussianNoise(float sigma)
{
    WaveformStore& store = ws.store;
    SyntheticRandom random(ws.traceEdit.Seed());
    FillGaussianNoise(store.current.rows, store.TraceCount(), std::clamp(store.Params().samplesPerTrace, 0, store.RowLength()),
                      sigma, random);
    store.ComputeTraceMaxima();
}

// ---------------------------------------------------------------------------------------------
// Generate in time domain

int CWaveOperations::GenerateTimeDomain()
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    CTimeDomainWaveformDlg dlg;
    const int loaded = store.TraceCount();
    dlg.traces = std::clamp(loaded > 0 ? loaded : 24, 1, 1000);
    dlg.dataLength = std::clamp(loaded > 0 ? store.current.headers[0].samples : 1024, 16, std::max(16, store.MaxSample()));
    dlg.frequency = ws.traceEdit.generatorFrequency;
    dlg.samplingTime = store.Params().sampleInterval;
    dlg.velocity = 1.0f;
    dlg.traceInterval = 1.0f;
    dlg.type = kSine;
    DialogRequest request = dlg.Request(language, store.MaxSample());
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.traceEdit.generatorFrequency = dlg.frequency;
    const int type = dlg.type;
    if (type < 0 || type >= CTimeDomainWaveformDlg::kTypes) {
        return 0;
    }
    const int traces = type == kShowWavelets ? 10 : dlg.traces;
    const int n = dlg.dataLength;
    const float dt = dlg.samplingTime;
    const float f0 = dlg.frequency;
    if (!FitsStore(ws, ui, traces, n, dt)) {
        return 0;
    }
    if (UsesMoveout(type) && (dlg.velocity == 0.0f || !std::isfinite(dlg.velocity))) {
        Warn(ui, ZeroVelocityText(language));
        return 0;
    }
    if (UsesFrequency(type) && !(f0 > 0.0f)) {
        Warn(ui, FrequencyText(language));
        return 0;
    }
    BeginRecord(ws, traces, n, dt, kTimeDomain, dt * 1000.0f);

    const double dtSeconds = static_cast<double>(dt) * 0.001;
    std::vector<float> w(static_cast<size_t>(n) + 2, 0.0f);
    const int wavelet = WaveletOf(type);
    if (wavelet >= 0) {
        CWaveletDlg::MakeWavelet(wavelet, 0, n, w, f0, 0.0f, 1.0f, 0.0f, static_cast<float>(dtSeconds));
    }
    const bool negate = type == kRicker || type == kGabor || type == kVelocityFilterTest;
    const double period = 1000.0 / f0;
    Matrix2D<float>& rows = store.current.rows;
    switch (type) {
    case kShowWavelets:
        for (int t = 0; t < traces; ++t) {
            std::fill(w.begin(), w.end(), 0.0f);
            CWaveletDlg::MakeWavelet(t, 0, n, w, f0, 0.0f, 1.0f, 0.0f, static_cast<float>(dtSeconds));
            const auto row = rows.Row(t);
            std::copy_n(w.begin() + 1, n, row.begin());
        }
        DiagnosticLog(ws).Rewrite(kWindowedWaveletFile, "");
        break;
    case kNoise:
        GenerateRandomTimeSeries(1, 1.0f);
        break;
    case kNoiseForCorrelation: {
        GenerateRandomTimeSeries(1, 1.0f);
        // Trace i is trace 0 read backwards from n i / N, wrapping within the trace.
        const auto first = rows.Row(0);
        const std::vector<float> copy(first.begin(), first.begin() + n);
        for (int i = 0; i < traces; ++i) {
            const long long m = static_cast<long long>(n) * i / traces;
            const auto row = rows.Row(i);
            for (int j = 0; j < n; ++j) {
                const long long k = ((m - j + 1) % n + n) % n;
                row[static_cast<size_t>(j)] = copy[static_cast<size_t>(k)];
            }
        }
        break;
    }
    default:
        for (int i = 0; i < traces; ++i) {
            const Moveout move = TraceMoveout(i, traces, dlg.traceInterval, dlg.velocity, dt);
            const auto row = rows.Row(i);
            for (int j = 0; j < n; ++j) {
                float x = 0.0f;
                if (type == kSine) {
                    x = static_cast<float>(std::sin(kTwoPi * (j - move.onset) * dt / period));
                } else if (type == kDelta) {
                    x = j == move.onset ? 1.0f : 0.0f;
                } else if (j >= move.onset) {
                    x = w[static_cast<size_t>(j - move.onset + 1)];
                    x = negate ? -x : x;
                }
                if (type == kVelocityFilterTest && j > move.second) {
                    x -= w[static_cast<size_t>(j - move.second + 1)];
                }
                row[static_cast<size_t>(j)] = x;
            }
        }
        break;
    }

    const int32_t spacing = MetresToHundredths(dlg.traceInterval).value_or(0);
    for (int i = 0; i < traces; ++i) {
        const auto row = rows.Row(i);
        const auto divisor = static_cast<float>(i + 1);
        for (int j = 0; j < n; ++j) {
            row[static_cast<size_t>(j)] /= divisor;
        }
        store.current.headers[static_cast<size_t>(i)].receiverHundredths = ClampWord(static_cast<long long>(i) * spacing);
    }
    store.ComputeTraceMaxima();
    ShowRecord(ws, 0.0f, static_cast<float>(traces) * dlg.traceInterval, 50.0f, TimeScaleFor(n));
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Generate in frequency domain

int CWaveOperations::GenerateFrequencyDomain(float& apparentVelocity)
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    CFreqDomainWaveformDlg dlg;
    dlg.traces = std::clamp(24, 1, std::max(1, store.MaxTraces()));
    dlg.velocity = apparentVelocity;
    dlg.type = 0;
    dlg.events = std::clamp(ws.traceEdit.generatorEvents, 0, 1000);
    DialogRequest request = dlg.Request(language, store.MaxTraces());
    if (!ui.RunDialog(request)) {
        return 0;
    }
    apparentVelocity = dlg.velocity;
    ws.traceEdit.generatorEvents = dlg.events;
    if (dlg.type < 0 || dlg.type >= CFreqDomainWaveformDlg::kTypes) {
        return 0;
    }
    const int n = FrequencyDomainLength(dlg.dataLength);
    const float dt = dlg.samplingTime;
    const int traces = dlg.traces;
    if (!FitsStore(ws, ui, traces, n, dt)) {
        return 0;
    }
    const float df = 1000.0f / (static_cast<float>(n) * dt);
    if (!CheckSpectrumType(ui, language, dlg, df, n)) {
        return 0;
    }
    if (dlg.type == 3 && (dlg.velocity == 0.0f || !std::isfinite(dlg.velocity))) {
        Warn(ui, ZeroVelocityText(language));
        return 0;
    }
    const float hv = static_cast<float>(TruncIndex(df * 1000.0f));
    BeginRecord(ws, traces, n, df, kComplexShowReal, hv);
    Matrix2D<float>& re = store.current.rows;
    Matrix2D<float>& im = store.current.imag;
    const double f0 = dlg.frequency;
    std::string message;
    switch (dlg.type) {
    case 0: {
        const int bin = TruncIndex(dlg.frequency / df);
        for (int i = 0; i < traces; ++i) {
            re.Row(i)[static_cast<size_t>(bin)] = -1.0f;
        }
        message = SineFrequencyMessage(static_cast<double>(static_cast<float>(bin) * df));
        break;
    }
    case 1:
        for (int i = 0; i < traces; ++i) {
            const auto row = re.Row(i);
            for (int j = 0; j < n / 2; ++j) {
                const auto r = static_cast<float>(RickerSpectrum(j * static_cast<double>(df), f0));
                row[static_cast<size_t>(j)] = r;
                if (j > 0) {
                    row[static_cast<size_t>(n - j)] = r;
                }
            }
        }
        break;
    case 2:
        GenerateRandomSpectrum(ws, 1, 1.0f, dlg.bandLow, dlg.bandHigh, df);
        break;
    case 3: {
        const double slowness = 1.0 / dlg.velocity;
        for (int i = 0; i < traces; ++i) {
            const double shift = -slowness * i / dt;
            const auto r = re.Row(i);
            const auto m = im.Row(i);
            for (int j = 0; j < n / 2; ++j) {
                const double amplitude = RickerSpectrum(j * static_cast<double>(df), f0);
                const double phi = kTwoPi * j * shift / n;
                r[static_cast<size_t>(j)] = static_cast<float>(amplitude * std::cos(phi));
                m[static_cast<size_t>(j)] = static_cast<float>(amplitude * std::sin(phi));
            }
        }
        break;
    }
    case 4: {
        const uint32_t seed = ws.traceEdit.Seed();
        const auto events = static_cast<size_t>(dlg.events);
        std::vector<double> velocity(events), amplitude(events), intercept(events);
        SyntheticRandom random(seed);
        for (double& c : velocity) c = 5.0 * random.Uniform() + 0.5;
        random.Seed(2 * seed);
        for (double& a : amplitude) a = random.Uniform();
        random.Seed(3 * seed);
        for (double& t : intercept) t = 100.0 * random.Uniform();
        for (int i = 0; i < traces; ++i) {
            const auto r = re.Row(i);
            const auto m = im.Row(i);
            for (size_t e = 0; e < events; ++e) {
                const double delay = (intercept[e] - i / velocity[e]) / dt;
                for (int j = 0; j < n / 2; ++j) {
                    const double phi = kTwoPi * j * delay / n;
                    r[static_cast<size_t>(j)] += static_cast<float>(amplitude[e] * std::cos(phi));
                    m[static_cast<size_t>(j)] += static_cast<float>(amplitude[e] * std::sin(phi));
                }
            }
        }
        break;
    }
    default: break;
    }
    for (int i = 0; i < traces; ++i) {
        store.current.headers[static_cast<size_t>(i)].receiverHundredths = 100 * (i + 1);
    }
    ComputeComplexMaxima(ws);
    ShowRecord(ws, 1.0f, static_cast<float>(traces - 1), 50.0f, 25.0f);
    if (!message.empty()) {
        ui.Message(message);
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Generate in F-K domain

int CWaveOperations::GenerateFkDomain()
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    CFreqDomainWaveformDlg dlg;
    dlg.traces = std::clamp(24, 1, std::max(1, store.MaxTraces()));
    dlg.velocity = 1.0f;
    dlg.type = 0;
    DialogRequest request = dlg.Request(language, store.MaxTraces());
    if (!ui.RunDialog(request)) {
        return 0;
    }
    if (dlg.type < 0 || dlg.type > 2) {
        return 0;
    }
    const int rows = FkRows(store.MaxTraces());
    const int n = FrequencyDomainLength(dlg.dataLength);
    const float dt = dlg.samplingTime;
    if (!FitsStore(ws, ui, rows, n, dt)) {
        return 0;
    }
    const float df = 1000.0f / (static_cast<float>(n) * dt);
    if (!CheckSpectrumType(ui, language, dlg, df, n)) {
        return 0;
    }
    if (dlg.type != 2 && (dlg.velocity == 0.0f || !std::isfinite(dlg.velocity))) {
        Warn(ui, ZeroVelocityText(language));
        return 0;
    }
    const float dk = 1.0f / static_cast<float>(rows);
    const float hv = static_cast<float>(TruncIndex(df * 1000.0f));
    BeginRecord(ws, rows, n, df, kComplexShowReal, hv);
    Matrix2D<float>& re = store.current.rows;
    const double f0 = dlg.frequency;
    auto rowOf = [&](double f) { return rows / 2 - TruncIndex(static_cast<float>(0.001 * f / dlg.velocity / dk)); };
    std::string message;
    switch (dlg.type) {
    case 0: {
        const int bin = TruncIndex(dlg.frequency / df);
        const int row = rowOf(f0);
        if (row >= 0 && row < rows) {
            re.Row(row)[static_cast<size_t>(bin)] = -1.0f;
        }
        message = FkSineFrequencyMessage(static_cast<double>(static_cast<float>(bin) * df));
        break;
    }
    case 1:
        for (int j = 0; j < n / 2; ++j) {
            const double f = j * static_cast<double>(df);
            const int row = rowOf(f);
            if (row >= 0 && row < rows) {
                re.Row(row)[static_cast<size_t>(j)] = static_cast<float>(-RickerSpectrum(f, f0));
            }
        }
        break;
    default:
        GenerateRandomSpectrum(ws, 1, 1.0f, dlg.bandLow, dlg.bandHigh, df);
        break;
    }
    const int step = TruncIndex(1000.0f * dk);
    for (int i = 0; i < rows; ++i) {
        store.current.headers[static_cast<size_t>(i)].receiverHundredths = (i - rows / 2) * step;
    }
    ComputeComplexMaxima(ws);
    ShowRecord(ws, 1.0f, static_cast<float>(rows - 1), 100.0f, 25.0f);
    store.Params().normalisation = 1;
    ws.display.spectrumShading = -1;
    ws.display.spectrumAxisKind = 1;
    if (!message.empty()) {
        ui.Message(message);
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Correlated noise

int CWaveOperations::GenerateNoiseGaussianSpectrum()
{
    CCorrelationDlg dlg;
    if (!AskCorrelatedNoise(ws, ui, dlg)) {
        return 0;
    }
    BeginRecord(ws, kNoiseTraces, kNoiseSamples, kNoiseIntervalMs, kTimeDomain, kNoiseIntervalMs * 1000.0f);
    const std::vector<double> spectrum =
        GaussianCorrelationSpectrum(dlg.correlationLength, dlg.normalize, kNoiseSamples, kNoiseIntervalMs);
    WriteCorrelationFile(ws, spectrum);
    GenerateGaussianNoise(dlg.standardDeviation);
    if (dlg.useCorrelationFunction == 1) {
        for (int i = 0; i < kNoiseTraces; ++i) {
            FilterRowBySpectrum(ws.store.current.rows.Row(i), kNoiseSamples, spectrum);
        }
    }
    FinishNoiseRecord(ws);
    return 1;
}

int CWaveOperations::GenerateNoiseFromCorrelation()
{
    CCorrelationDlg dlg;
    if (!AskCorrelatedNoise(ws, ui, dlg)) {
        return 0;
    }
    if (dlg.function != 0 && dlg.function != 1) {
        // e^(+|tau|/a) grows without bound: no noise has it as a correlation function.
        Warn(ui, Msg(ws.startup.language, "This correlation function is under construction !",
                     "この相関関数は工事中です !"));
        return 0;
    }
    BeginRecord(ws, kNoiseTraces, kNoiseSamples, kNoiseIntervalMs, kTimeDomain, kNoiseIntervalMs * 1000.0f);
    const std::vector<double> c = CorrelationFunction(dlg.function, dlg.correlationLength, kNoiseSamples, kNoiseIntervalMs);
    WriteCorrelationFile(ws, c);
    std::vector<double> re = c;
    std::vector<double> im(c.size(), 0.0);
    CFourier::Fft(re.data(), im.data(), kNoiseSamples, 0, 0);
    GenerateGaussianNoise(dlg.standardDeviation);
    if (dlg.useCorrelationFunction == 1) {
        for (int i = 0; i < kNoiseTraces; ++i) {
            const auto row = ws.store.current.rows.Row(i);
            FilterRowByComplexSpectrum(row, kNoiseSamples, re, im);
            if (dlg.normalize == 1) {
                double power = 0.0;
                for (int j = 0; j < kNoiseSamples; ++j) {
                    power += static_cast<double>(row[static_cast<size_t>(j)]) * row[static_cast<size_t>(j)];
                }
                const double rms = std::sqrt(power / kNoiseSamples);
                if (rms > 0.0) {
                    const auto scale = static_cast<float>(dlg.standardDeviation / rms);
                    for (int j = 0; j < kNoiseSamples; ++j) {
                        row[static_cast<size_t>(j)] *= scale;
                    }
                }
            }
        }
    }
    FinishNoiseRecord(ws);
    return 1;
}

}  // namespace velk
