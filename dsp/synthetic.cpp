#include "dsp/synthetic.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dsp/fourier.h"
#include "dsp/trace_edit.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

// Traces and samples that fit the matrix.
int FitTraces(const Matrix2D<float>& rows, int traces)
{
    return std::clamp(traces, 0, static_cast<int>(std::min<size_t>(rows.Rows(), 0x7fffffff)));
}

int FitSamples(const Matrix2D<float>& rows, int n)
{
    return std::clamp(n, 0, static_cast<int>(std::min<size_t>(rows.Cols(), 0x7fffffff)));
}

}  // namespace

std::vector<uint32_t> TraceSeeds(SyntheticRandom& random, int traces)
{
    std::vector<uint32_t> seeds(static_cast<size_t>(std::max(traces, 0)));
    for (uint32_t& s : seeds) {
        s = static_cast<uint32_t>(random.Next());
    }
    return seeds;
}

void FillRandomTimeSeries(Matrix2D<float>& rows, int traces, int n, int mode, float factor, float peak,
                          SyntheticRandom& random)
{
    traces = FitTraces(rows, traces);
    n = FitSamples(rows, n);
    const std::vector<uint32_t> seeds = TraceSeeds(random, traces);
    const float size = 0.02f * factor * peak;
    for (int i = 0; i < traces; ++i) {
        random.Seed(seeds[static_cast<size_t>(i)]);
        const std::span<float> row = rows.Row(rows.RowLow() + i);
        for (int j = 0; j < n; ++j) {
            const float u = random.Uniform() - 0.5f;
            float& x = row[static_cast<size_t>(j)];
            x = mode == 1 ? u : x + size * u;
        }
    }
}

void FillRandomSpectrum(Matrix2D<float>& re, Matrix2D<float>& im, int traces, int n, int mode, float factor,
                        float peak, float low, float high, float df, SyntheticRandom& random)
{
    traces = std::min(FitTraces(re, traces), FitTraces(im, traces));
    n = std::min(FitSamples(re, n), FitSamples(im, n));
    const std::vector<uint32_t> seeds = TraceSeeds(random, traces);
    const float size = 0.02f * factor * peak;
    for (int i = 0; i < traces; ++i) {
        random.Seed(seeds[static_cast<size_t>(i)]);
        const std::span<float> r = re.Row(re.RowLow() + i);
        const std::span<float> m = im.Row(im.RowLow() + i);
        for (int j = 0; j < n / 2; ++j) {
            const float f = static_cast<float>(j) * df;
            if (!(f > low && f < high)) {
                continue;
            }
            const float u1 = random.Uniform() - 0.5f;
            const float u2 = random.Uniform() - 0.5f;
            if (mode == 1) {
                r[static_cast<size_t>(j)] = u1;
                m[static_cast<size_t>(j)] = u2;
            } else {
                r[static_cast<size_t>(j)] += size * u1;
                m[static_cast<size_t>(j)] += size * u2;
            }
        }
    }
}

void FillGaussianNoise(Matrix2D<float>& rows, int traces, int n, float sigma, SyntheticRandom& random)
{
    traces = FitTraces(rows, traces);
    n = FitSamples(rows, n);
    const std::vector<uint32_t> seeds = TraceSeeds(random, traces);
    for (int i = 0; i < traces; ++i) {
        random.Seed(seeds[static_cast<size_t>(i)]);
        const std::span<float> row = rows.Row(rows.RowLow() + i);
        for (int j = 0; 2 * j < n; ++j) {
            const float u1 = random.UniformOpenZero();
            const float u2 = random.Uniform();
            const float g = std::sqrt(-2.0f * std::log(u1));
            row[static_cast<size_t>(2 * j)] = sigma * g * std::cos(6.28f * u2);
            if (2 * j + 1 < n) {
                row[static_cast<size_t>(2 * j + 1)] = sigma * g * std::sin(6.28f * u2);
            }
        }
    }
}

Moveout TraceMoveout(int trace, int traces, float interval, float velocity, float dt)
{
    Moveout m;
    const auto i = static_cast<float>(trace);
    const auto later = static_cast<float>(traces - trace - 1);
    if (velocity > 0.0f) {
        m.onset = TruncIndex(interval * i / velocity / dt);
        m.second = TruncIndex(later * interval / std::fabs(velocity) / dt);
    } else {
        m.onset = TruncIndex(later * interval / std::fabs(velocity) / dt);
        m.second = m.onset;
    }
    return m;
}

double RickerSpectrum(double f, double f0)
{
    return 2.0 / std::sqrt(std::numbers::pi) * (f * f / (f0 * f0 * f0)) * std::exp(-(f * f) / (f0 * f0));
}

std::vector<double> GaussianCorrelationSpectrum(float a, int normalise, int n, float dt)
{
    std::vector<double> s(static_cast<size_t>(std::max(n / 2 + 1, 0)));
    const double root = std::sqrt(std::numbers::pi);
    const double c = normalise == 1 ? static_cast<double>(a) * root : 1.0;
    for (size_t k = 0; k < s.size(); ++k) {
        const double omega = static_cast<double>(6.2831855f * static_cast<float>(k) * dt / static_cast<float>(n));
        s[k] = a * std::exp(-static_cast<double>(a) * a * omega * omega / 4.0) * root / c;
    }
    return s;
}

std::vector<double> CorrelationFunction(int type, float a, int n, float dt)
{
    if (type != 0 && type != 1) {
        return {};
    }
    std::vector<double> c(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        const double tau = static_cast<double>(i - n / 2) * dt;
        c[static_cast<size_t>(i)] = type == 0 ? std::exp(-tau * tau / (static_cast<double>(a) * a))
                                              : std::exp(-std::fabs(tau) / a);
    }
    return c;
}

namespace {

// Forward transform of the row, the factor applied by `apply(k, re, im)` to bins 0..n/2, the
// mirror, the inverse transform, the real parts back.
template <class Apply>
void FilterRow(std::span<float> row, int n, Apply apply)
{
    if (n < 2 || static_cast<size_t>(n) > row.size()) {
        return;
    }
    std::vector<double> re(row.begin(), row.begin() + n);
    std::vector<double> im(static_cast<size_t>(n), 0.0);
    CFourier::Fft(re.data(), im.data(), n, 0, 0);
    for (int k = 0; k <= n / 2; ++k) {
        apply(static_cast<size_t>(k), re[static_cast<size_t>(k)], im[static_cast<size_t>(k)]);
    }
    for (int k = 1; k < n / 2; ++k) {
        re[static_cast<size_t>(n - k)] = re[static_cast<size_t>(k)];
        im[static_cast<size_t>(n - k)] = -im[static_cast<size_t>(k)];
    }
    CFourier::Fft(re.data(), im.data(), n, 0, 1);
    for (int j = 0; j < n; ++j) {
        row[static_cast<size_t>(j)] = static_cast<float>(re[static_cast<size_t>(j)]);
    }
}

}  // namespace

void FilterRowBySpectrum(std::span<float> row, int n, std::span<const double> gain)
{
    if (gain.size() < static_cast<size_t>(n / 2 + 1)) {
        return;
    }
    FilterRow(row, n, [&](size_t k, double& re, double& im) {
        re *= gain[k];
        im *= gain[k];
    });
}

void FilterRowByComplexSpectrum(std::span<float> row, int n, std::span<const double> gainRe,
                                std::span<const double> gainIm)
{
    if (gainRe.size() < static_cast<size_t>(n / 2 + 1) || gainIm.size() < static_cast<size_t>(n / 2 + 1)) {
        return;
    }
    FilterRow(row, n, [&](size_t k, double& re, double& im) {
        const double a = re * gainRe[k] - im * gainIm[k];
        const double b = re * gainIm[k] + im * gainRe[k];
        re = a;
        im = b;
    });
}

int FrequencyDomainLength(int dataLength)
{
    if (dataLength < 1024) {
        return 512;
    }
    return dataLength < 2048 ? 1024 : 2048;
}

int FkRows(int maxTraces)
{
    if (maxTraces <= 128) {
        return 64;
    }
    return maxTraces <= 256 ? 128 : 256;
}

DialogRequest CTimeDomainWaveformDlg::Request(int language, int maxSample)
{
    DialogRequest r(kClass, Msg(language, kTitle, "時間領域の波形の生成"));
    r.Float("Frequency", frequency).Label(Msg(language, "Frequency", "周波数")).Unit("Hz");
    r.Int("Data length", dataLength, 16, std::max(16, maxSample)).Label(Msg(language, "Data length", "データ長"));
    r.Int("Number of traces", traces, 1, 1000).Label(Msg(language, "Number of traces", "トレース数"));
    r.Float("Sampling time", samplingTime).Label(Msg(language, "Sampling time", "サンプリング時間")).Unit("msec");
    r.Float("Apparent velocity", velocity).Label(Msg(language, "Apparent velocity", "見かけ速度")).Unit("km/sec");
    r.Float("Trace interval", traceInterval, 0.01, 10000.0)
        .Label(Msg(language, "Trace interval", "トレース間隔"))
        .Unit("m");
    r.Choice("Waveform", type,
             {"Sin waves", "Ricker wavelet", "Show Wavelets", "Noise", "Noise(for correlation)", "Gobor wavelet",
              "For velocity filter test", "Chan and Tsan  source", "Tsang and Rader source", "Delta function"})
        .Label(Msg(language, "Waveform", "波形"));
    return r;
}

DialogRequest CFreqDomainWaveformDlg::Request(int language, int maxTraces)
{
    DialogRequest r(kClass, Msg(language, kTitle, "周波数領域の波形の生成"));
    r.Float("Frequency", frequency).Label(Msg(language, "Frequency", "周波数")).Unit("Hz");
    r.Int("Data length", dataLength, 128, 2048).Label(Msg(language, "Data length", "データ長"));
    r.Int("Number of traces", traces, 1, std::max(1, maxTraces)).Label(Msg(language, "Number of traces", "トレース数"));
    r.Float("Sampling time", samplingTime).Label(Msg(language, "Sampling time", "サンプリング時間")).Unit("msec");
    r.Float("Band low", bandLow).Label(Msg(language, "Frequency band", "周波数帯域")).Unit("Hz");
    r.Float("Band high", bandHigh).Label(Msg(language, "to", "〜")).Unit("Hz");
    r.Float("Apparent velocity", velocity).Label(Msg(language, "Apparent velocity", "見かけ速度")).Unit("km/sec");
    r.Choice("Waveform", type, {"sin waves", "Ricker wavelet", "Noise", "Linear event", "Random linear events"})
        .Label(Msg(language, "Waveform", "波形"));
    r.Int("Number of event", events, 0, 1000).Label(Msg(language, "Number of event =", "イベント数 ="));
    return r;
}

}  // namespace velk
