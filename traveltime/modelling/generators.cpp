#include "traveltime/modelling/generators.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "dsp/fourier.h"
#include "dsp/synthetic.h"
#include "dsp/wavelet.h"
#include "platform/language.h"
#include "platform/uihost.h"
#include "traveltime/spike_file.h"

namespace velk {

namespace {

constexpr double kDegree = 0.017452888;
constexpr double kTwoPi = 6.2831855;
constexpr double kShortest = 0.0001;

int32_t Word(double v)
{
    if (!std::isfinite(v)) return 0;
    return static_cast<int32_t>(std::clamp(std::trunc(v), static_cast<double>(std::numeric_limits<int32_t>::min()),
                                           static_cast<double>(std::numeric_limits<int32_t>::max())));
}

// Samples from trunc(t / dt) on, clamped to the record (a start beyond it gives none).
int StartSample(double t, double dt, int samples)
{
    const double i = std::trunc(t / dt);
    if (!(i < samples)) return samples;
    return static_cast<int>(std::max(i, 0.0));
}

void CommonFields(DialogRequest& r, RaySyntheticValues& v, int language)
{
    r.Float("Frequency", v.frequency).Label(Msg(language, "Frequency", "周波数")).Unit("Hz");
    r.Int("Data length", v.dataLength, 1).Label(Msg(language, "Data length", "データ長"));
    r.Int("# of traces", v.traces, 1).Label(Msg(language, "# of traces", "トレース数"));
    r.Float("Source location", v.sourceLocation).Label(Msg(language, "Source location", "震源位置")).Unit("m");
    r.Float("Sampling time", v.samplingTime).Label(Msg(language, "Sampling time", "サンプリング時間")).Unit("ms");
    r.Float("Trace intervals", v.traceInterval).Label(Msg(language, "Trace intervals", "トレース間隔")).Unit("m");
    r.Float("Velocity", v.velocity).Label(Msg(language, "Velocity", "速度")).Unit("km/sec");
}

// The record of the common steps: for trace k the direct and scattered path lengths come from
// `paths`; the direct wave (when asked for) from sample trunc(t1 / dt), the scattered one after
// sample trunc(t2 / dt) when it comes later, each -w / L.
template <class Paths>
GeneratedTraces RayRecord(const RaySyntheticValues& v, int waveletType, Paths paths)
{
    GeneratedTraces rec;
    rec.Resize(v.traces, v.dataLength, v.samplingTime);
    const int n = v.dataLength;
    std::vector<float> w(static_cast<size_t>(CWaveletDlg::WaveletLength(waveletType, n)) + 1, 0.0f);
    CWaveletDlg::MakeWavelet(waveletType, 0, n, w, v.frequency, 0.0f, 1.0f, 0.0f, v.samplingTime * 0.001f);
    auto at = [&](int i) { return static_cast<size_t>(i) < w.size() ? w[static_cast<size_t>(i)] : 0.0f; };
    const double dt = v.samplingTime;
    const int32_t spacing = Word(100.0 * v.traceInterval);
    const int32_t source = Word(100.0 * v.sourceLocation);
    for (int k = 1; k <= v.traces; ++k) {
        const double x = k * static_cast<double>(v.traceInterval);
        double l1 = 0.0, l2 = 0.0;
        paths(x, l1, l2);
        l1 = std::max(l1, kShortest);
        l2 = std::max(l2, kShortest);
        const double t1 = l1 / v.velocity, t2 = l2 / v.velocity;
        const auto trace = rec.Trace(k - 1);
        if (v.includeDirect == 1) {
            for (int i = StartSample(t1, dt, n), i1 = i; i < n; ++i) {
                trace[static_cast<size_t>(i)] = static_cast<float>(-at(i - i1 + 1) / l1);
            }
        }
        if (t2 > t1) {
            const int i2 = StartSample(t2, dt, n);
            for (int i = i2 + 1; i < n; ++i) {
                trace[static_cast<size_t>(i)] += static_cast<float>(-at(i - i2 + 1) / l2);
            }
        }
        rec.headers[static_cast<size_t>(k - 1)].Set(k, Word(static_cast<double>(spacing) * k), source, 1, 1, 1.0f,
                                                     v.samplingTime * 1000.0f, n);
    }
    return rec;
}

// The mirror image of (s, 0) in the line z = d + w x, and its distance from (x, 0).
double MirrorDistance(double s, double x, double d, double w)
{
    const double foot = (s - w * d) / (w * w + 1.0);
    const double mx = 2.0 * foot - s, mz = 2.0 * (d + w * foot);
    return std::hypot(x - mx, mz);
}

}  // namespace

void GeneratedTraces::Resize(int traceCount, int sampleCount, float dt)
{
    traces = std::max(traceCount, 0);
    samples = std::max(sampleCount, 0);
    intervalMs = dt;
    values.assign(static_cast<size_t>(traces) * static_cast<size_t>(samples), 0.0f);
    headers.assign(static_cast<size_t>(traces), CTraceHeader{});
}

DialogRequest CDiffractionDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Diffraction", "回折波"));
    r.Float("Distance(x)", distanceX).Label(Msg(language, "Diffractor Distance(x)", "回折点 距離(x)")).Unit("m");
    r.Float("Depth(y)", depthY).Label(Msg(language, "Depth(y)", "深さ(y)")).Unit("m");
    CommonFields(r, *this, language);
    r.Bool("Include direct waves", includeDirect).Label(Msg(language, "Include direct waves", "直接波を含む"));
    return r;
}

DialogRequest CVspDlg::Request(int language)
{
    DialogRequest r(kClass, "VSP");
    r.Bool("Include direct waves", includeDirect).Label(Msg(language, "Include direct waves", "直接波を含む"));
    r.Float("Angle(a)", angle).Label(Msg(language, "Reflector Angle(a)", "反射面 角度(a)")).Unit("degree");
    r.Float("Distance(x)", distance).Label(Msg(language, "Distance(x)", "距離(x)")).Unit("m");
    CommonFields(r, *this, language);
    return r;
}

DialogRequest CReflectionDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Reflection", "反射波"));
    r.Bool("Include directwaves", includeDirect).Label(Msg(language, "Include directwaves", "直接波を含む"));
    r.Float("Depth(y)", depthY).Label(Msg(language, "Reflector Depth(y)", "反射面 深さ(y)")).Unit("m");
    r.Float("Angle(a)", angle).Label(Msg(language, "Angle(a)", "角度(a)")).Unit("degree");
    CommonFields(r, *this, language);
    return r;
}

DialogRequest CSamplingLengthDlg::Request(int language, int maxSample)
{
    DialogRequest r(kClass, Msg(language, "Enter sampling and data length", "サンプリングとデータ長の入力"));
    r.Int("# of sample", samples, 1, std::max(1, maxSample)).Label(Msg(language, "# of sample", "サンプル数"));
    r.Float("Sampling time", samplingTime).Label(Msg(language, "Sampling time", "サンプリング時間")).Unit("ms");
    return r;
}

DialogRequest CTimeNoiseDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Add noise in time domain", "時間領域でノイズを加える"));
    r.Float("Noise level", level, 1.0, 500.0).Label(Msg(language, "Noise level", "ノイズレベル")).Unit("%");
    return r;
}

DialogRequest CFrequencyNoiseDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Add noise in frequency domain", "周波数領域でノイズを加える"));
    r.Float("Noise level", level, 0.00001, 100.0).Label(Msg(language, "Noise level", "ノイズレベル")).Unit("%");
    r.Float("Frequency from", from).Label(Msg(language, "Frequency", "周波数")).Unit("Hz");
    r.Float("Frequency to", to).Label(Msg(language, "to", "〜")).Unit("Hz");
    return r;
}

double ReflectionPath(double s, double x, double d, double angle)
{
    return MirrorDistance(s, x, d, std::tan(angle * kDegree));
}

double VspPath(double s, double z, double c, double angle)
{
    if (std::fabs(90.0 - angle) <= 0.1) return 2.0 * std::fabs(c - z) + std::fabs(s - z);
    const double w = std::tan(angle * kDegree);
    // The line through (c, 0) with slope w is z = -w c + w x.
    return MirrorDistance(s, z, -w * c, w);
}

GeneratedTraces DiffractionRecord(const CDiffractionDlg& dlg)
{
    const double s = dlg.sourceLocation, xd = dlg.distanceX, d = dlg.depthY;
    return RayRecord(dlg, 5, [&](double x, double& l1, double& l2) {
        l1 = std::fabs(s - x);
        l2 = std::hypot(d, x - xd) + std::hypot(d, s - xd);
    });
}

GeneratedTraces ReflectionRecord(const CReflectionDlg& dlg, int waveletType)
{
    const double s = dlg.sourceLocation;
    return RayRecord(dlg, waveletType, [&](double x, double& l1, double& l2) {
        l1 = std::fabs(s - x);
        l2 = ReflectionPath(s, x, dlg.depthY, dlg.angle);
    });
}

GeneratedTraces VspRecord(const CVspDlg& dlg, int waveletType)
{
    const double s = dlg.sourceLocation;
    return RayRecord(dlg, waveletType, [&](double z, double& l1, double& l2) {
        l1 = std::fabs(s - z);
        l2 = VspPath(s, z, dlg.distance, dlg.angle);
    });
}

GeneratedTraces BackgroundNoiseRecord(SyntheticRandom& random)
{
    constexpr int kTraces = 24, kSamples = 1024, kValues = 12;
    constexpr float kDt = 0.2f;
    GeneratedTraces rec;
    rec.Resize(kTraces, kSamples, kDt);
    std::vector<float> w(static_cast<size_t>(kSamples) + 2, 0.0f);
    CWaveletDlg::MakeWavelet(5, 0, kSamples, w, 100.0f, 0.0f, 1.0f, 0.0f, kDt * 0.001f);
    // The whole table is drawn before any trace, trace after trace; of each trace's twelve
    // values the three sinusoids take amplitude, frequency and phase from 0-2, 3-5 and 6-8.
    std::vector<float> table(static_cast<size_t>(kTraces * kValues));
    for (float& r : table) r = random.Uniform();
    for (int j = 0; j < kTraces; ++j) {
        const auto trace = rec.Trace(j);
        const float* r = &table[static_cast<size_t>(j * kValues)];
        for (int k = 0; k < kSamples; ++k) {
            const double t = k * static_cast<double>(kDt) * 0.001;
            double v = k > 399 ? -10.0 * w[static_cast<size_t>(k - 399)] : 0.0;
            for (int m = 0; m < 3; ++m) {
                const double amplitude = 10.0 * r[3 * m], f = 30.0 + 200.0 * r[3 * m + 1], phase = kTwoPi * r[3 * m + 2];
                v += amplitude * std::sin(kTwoPi * f * t + phase);
            }
            trace[static_cast<size_t>(k)] = static_cast<float>(v);
        }
        rec.headers[static_cast<size_t>(j)].Set(j + 1, 100 * (j + 1), 0, 1, 1, 1.0f, kDt * 1000.0f, kSamples);
    }
    return rec;
}

GeneratedTraces SpikeRecord(const SpikeFile& file, int samples, float dt, int maxTraces)
{
    GeneratedTraces rec;
    const int traces = std::min(static_cast<int>(file.blocks.size()), std::max(maxTraces, 0));
    rec.Resize(traces, samples, dt);
    for (int i = 0; i < traces; ++i) {
        const SpikeBlock& block = file.blocks[static_cast<size_t>(i)];
        const auto trace = rec.Trace(i);
        for (const float t : block.times) {
            const double j = std::trunc(static_cast<double>(t) / dt);
            if (j >= 0.0 && j < samples) trace[static_cast<size_t>(j)] = -1.0f;
        }
        rec.headers[static_cast<size_t>(i)].Set(i + 1, Word(static_cast<double>(block.position) * 100.0), 0, 1, 1,
                                                1.0f, dt * 1000.0f, samples);
    }
    return rec;
}

double DispersivePhaseVelocity(double f) { return std::clamp(400.0 - 10.0 * f, 100.0, 300.0); }

GeneratedTraces GenerateDispersiveSurfaceWave()
{
    constexpr int n = kDispersiveSamples;
    constexpr float kIntervalUs = 500.0f;
    GeneratedTraces rec;
    rec.Resize(kDispersiveTraces, n, kIntervalUs * 0.001f);
    std::vector<double> re(n), im(n);
    for (int i = 0; i < kDispersiveTraces; ++i) {
        const double x = i;
        for (int k = 0; k <= n / 2; ++k) {
            const double f = k * 0.48828125;
            const double amplitude = f < 40.0 ? 1.0 : 0.0;
            const double phase = -kTwoPi * f * x / DispersivePhaseVelocity(f);
            re[static_cast<size_t>(k)] = amplitude * std::cos(phase);
            im[static_cast<size_t>(k)] = amplitude * std::sin(phase);
            if (k != 0 && k != n / 2) {
                re[static_cast<size_t>(n - k)] = re[static_cast<size_t>(k)];
                im[static_cast<size_t>(n - k)] = -im[static_cast<size_t>(k)];
            }
        }
        CFourier::Fft(re.data(), im.data(), n, 0, 1);
        const auto trace = rec.Trace(i);
        for (int j = 0; j < n; ++j) trace[static_cast<size_t>(j)] = static_cast<float>(re[static_cast<size_t>(j)]);
        rec.headers[static_cast<size_t>(i)].Set(i, 100 * i, 0, 20, 1, 0.0f, kIntervalUs, n);
    }
    return rec;
}

}  // namespace velk
