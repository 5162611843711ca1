#include "dsp/wavelet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kPi = 3.141592653589793;

// Writes value at index k of out when it lies inside.
void Put(std::span<float> out, long long k, double value)
{
    if (k >= 0 && static_cast<size_t>(k) < out.size()) {
        out[static_cast<size_t>(k)] = static_cast<float>(value);
    }
}

double Ricker(double u) { return u < 15.0 ? (1.0 - 2.0 * u) * std::exp(-u) : 0.0; }

// The band-limited wavelet of type 9 (see MakeWavelet).
void WindowedWavelet(int count, std::span<float> out, double frequency, double dt)
{
    const int n = PowerOfTwoLength(count, 1);
    const double df = 1.0 / (static_cast<double>(n) * dt);
    std::vector<double> re(static_cast<size_t>(n)), im(static_cast<size_t>(n));
    for (int i = 0; i <= n / 2; ++i) {
        const double f = static_cast<double>(i) * df;
        const double amplitude = (5.0 < f && f < frequency) ? 1.0 : 0.0;
        re[static_cast<size_t>(i)] = amplitude;
        im[static_cast<size_t>(i)] = kPi / 2.0;
        if (i > 0 && i < n / 2) {
            re[static_cast<size_t>(n - i)] = amplitude;
            im[static_cast<size_t>(n - i)] = -kPi / 2.0;
        }
    }
    CBandPassDlg::PolarToRect(n, re.data(), im.data());
    CFourier::Fft(re.data(), im.data(), n, 0, 1);

    const int live = std::min<long long>(count, static_cast<long long>(out.size()));
    const int quarter = count / 4;
    const int eighth = count / 8;
    for (int i = 10; i < quarter; ++i) {
        double v = re[static_cast<size_t>(i - 10)];
        if (i > eighth) {
            // A linear taper from 1 at an eighth of the count to 0 at a quarter.
            v *= static_cast<double>(quarter - i) / static_cast<double>(eighth);
        }
        Put(out, i + 10, v);
    }
    for (int i = 0; i < std::min(20, live); ++i) {
        out[static_cast<size_t>(i)] = 0.0f;
    }
    for (int i = std::max(quarter, 0); i < live; ++i) {
        out[static_cast<size_t>(i)] = 0.0f;
    }
    for (int pass = 0; pass < 4; ++pass) {
        SmoothThree(out.data(), live);
    }
}

}  // namespace

const std::array<const char*, CWaveletDlg::kTypeCount>& CWaveletDlg::TypeTexts()
{
    static const std::array<const char*, kTypeCount> texts = {
        "0:Gobor wavelet",
        "1:Gobor wavelet(Derivative)",
        "2:Kelly source wavelet",
        "3:Tsang and Rader source",
        "4:Chan and Tsan  source",
        "5:Ricker wavelet",
        "6:Hanning windowed Ricker wavlet",
        "7:Ormund wavlet",
        "8:Delta function",
        "9:Windowed wavelet",
        "10:Sin waves",
    };
    return texts;
}

DialogRequest CWaveletDlg::Request()
{
    DialogRequest request(kClass, kTitle);
    request.Float("Frequency", frequency).Unit("Hz");
    request.Choice("Type", type, std::vector<std::string>(TypeTexts().begin(), TypeTexts().end()));
    return request;
}

int CWaveletDlg::WaveletLength(int type, int count)
{
    count = std::max(count, 0);
    if (type >= 0 && type <= 6) {
        return count + 1;
    }
    if (type == 8) {
        return std::max(count, 2);
    }
    return count;
}

bool CWaveletDlg::NeedsFrequency(int type) { return type == 0 || type == 1 || type == 2 || type == 5 || type == 6; }

float CWaveletDlg::MakeWavelet(int type, int delayGiven, int count, std::span<float> out, float frequency, float phase,
                               float width, float delay, float dt)
{
    // Every value the type would write starts at 0, so a refused call leaves no stale values.
    const long long zeroed = WaveletLength(type, count);
    std::fill(out.begin(), out.begin() + std::clamp<long long>(zeroed, 0, static_cast<long long>(out.size())), 0.0f);
    if (type < 0 || type > 10) {
        std::printf("Error: wavlet: ichoix = %d is not implemented.\n", type);
        return 0.0f;
    }
    const double f = frequency;
    const double k = width;
    const double step = dt;
    const bool timed = type <= 6 || type == 9 || type == 10;
    if ((NeedsFrequency(type) && !(f > 0.0)) || ((type == 0 || type == 1) && !(k > 0.0)) || (timed && !(step > 0.0))) {
        return 0.0f;
    }
    const double w = kTwoPi * f;

    double d = 0.0;
    switch (type) {
    case 0:
    case 1:
        d = 0.375 * k / f;
        break;
    case 2:
    case 5:
        d = 1.0 / f;
        break;
    case 6:
        d = 1.5 / f;
        break;
    default:
        break;
    }
    if (delayGiven != 0 && type != 3 && type != 4 && type <= 6) {
        d = delay;
    }

    if (type <= 6) {
        const double start = (type == 3 || type == 4) ? 0.0 : -d;
        const double pi2f2 = kPi * kPi * f * f;
        for (int i = 0; i < count; ++i) {
            const double t = start + static_cast<double>(i) * step;
            double v = 0.0;
            switch (type) {
            case 0: {
                const double x = (w * t / k) * (w * t / k);
                v = x >= 15.0 ? 0.0 : std::exp(-x) * std::cos(phase + w * t);
                break;
            }
            case 1: {
                const double x = (w * t / k) * (w * t / k);
                v = x >= 15.0 ? 0.0
                              : (2.0 * t * (w * w / (k * k)) * std::cos(phase + w * t) + w * std::sin(phase + w * t)) *
                                    std::exp(-x);
                break;
            }
            case 2: {
                const double o = 6.57462 * f * f;
                const double p = o * t * t;
                v = p >= 15.0 ? 0.0 : 0.000002 * o * (1.0 - 2.0 * o * p) * std::exp(-p);
                break;
            }
            case 3: {
                const double a = 1.58 * f;
                v = a * t > 13.0 ? 0.0 : 10000.0 * t * std::sin(w * t) * std::exp(-a * t);
                break;
            }
            case 4: {
                const double a = w / std::sqrt(3.0);
                v = a * t > 13.0 ? 0.0 : 1000000.0 * t * t * std::sin(w * t) * std::exp(-a * t);
                break;
            }
            case 5: {
                if (t > 2.0 * d) {
                    v = 0.0;
                    break;
                }
                const double g = t * t / (4.0 / (4.0 * kPi * kPi * f * f));
                v = g > 15.0 ? 0.0 : (1.0 - 2.0 * g) * std::exp(-g);
                break;
            }
            case 6: {
                const double s = 1.0 / (2.0 * f);
                v = Ricker(pi2f2 * t * t) - 0.5 * Ricker(pi2f2 * (t + s) * (t + s)) -
                    0.5 * Ricker(pi2f2 * (t - s) * (t - s));
                break;
            }
            default:
                break;
            }
            Put(out, static_cast<long long>(i) + 1, v);
        }
        return static_cast<float>(d);
    }

    switch (type) {
    case 7:
        for (int i = 0; i < count; ++i) {
            // The table's own sampling: 150 table steps per hertz and sample, in single precision.
            const float position = static_cast<float>(i) * frequency * 0.0066666668f;
            const double index = std::trunc(static_cast<double>(position));
            const double v = (index >= 0.0 && index < kWaveletTableLength)
                                 ? kWaveletTable[static_cast<size_t>(index)]
                                 : 0.0;
            Put(out, i, v);
        }
        break;
    case 8:
        Put(out, 0, 1.0);
        Put(out, 1, 1.0);
        break;
    case 9:
        WindowedWavelet(count, out, f, step);
        break;
    case 10:
        for (int i = 0; i < count; ++i) {
            Put(out, i, std::sin(kTwoPi * f * static_cast<double>(i) * step));
        }
        break;
    default:
        break;
    }
    return 0.0f;
}

void SmoothThree(float* values, int count)
{
    if (count < 3) {
        return;
    }
    std::vector<float> copy(values, values + count);
    for (int i = 1; i + 1 < count; ++i) {
        const double v = 0.25 * (static_cast<double>(copy[static_cast<size_t>(i) - 1]) + copy[static_cast<size_t>(i) + 1]) +
                         0.5 * static_cast<double>(copy[static_cast<size_t>(i)]);
        values[i] = static_cast<float>(v);
    }
}

int SourceSpectrum(int type, int count, std::span<double> out, float frequency, float df)
{
    const double f0 = frequency;
    if ((type != 5 && type != 8) || (type == 5 && !(f0 > 0.0))) {
        return 0;
    }
    const int n = std::clamp<long long>(count, 0, static_cast<long long>(out.size()));
    const int m = count / 2;
    for (int i = 0; i < n; ++i) {
        const double fi = static_cast<double>(i) * df;
        double v = 0.0;
        if (i < m) {
            v = type == 5 ? 2.0 / std::sqrt(kPi) * (fi * fi / (f0 * f0 * f0)) * std::exp(-fi * fi / (f0 * f0))
                          : std::exp(-0.02 * fi);
        }
        out[static_cast<size_t>(i)] = v;
    }
    return 1;
}

int WfftSpectra(int windowLength, int windows, int step, std::span<const double> re, std::span<const double> im,
                Matrix2D<float>& rows)
{
    windowLength = std::min(windowLength, 512);
    if (windows <= 0 || windowLength <= 0 || rows.Empty()) {
        return 0;
    }
    std::vector<double> wr(static_cast<size_t>(windowLength)), wi(static_cast<size_t>(windowLength));
    for (int w = 0; w < windows; ++w) {
        const long long row = static_cast<long long>(rows.RowLow()) + w;
        if (row > rows.RowHigh()) {
            break;
        }
        const long long first = static_cast<long long>(w) * step;
        for (int j = 0; j < windowLength; ++j) {
            const long long k = first + j;
            const bool inRe = k >= 0 && static_cast<size_t>(k) < re.size();
            const bool inIm = k >= 0 && static_cast<size_t>(k) < im.size();
            wr[static_cast<size_t>(j)] = inRe ? re[static_cast<size_t>(k)] : 0.0;
            wi[static_cast<size_t>(j)] = inIm ? im[static_cast<size_t>(k)] : 0.0;
        }
        CFourier::Fft(wr.data(), wi.data(), windowLength, 0, 0);
        CFourier::RectToPolar(windowLength, wr.data(), wi.data());
        const std::span<float> out = rows.Row(static_cast<int>(row));
        const size_t half = std::min(static_cast<size_t>(windowLength / 2), out.size());
        for (size_t j = 0; j < half; ++j) {
            out[j] = static_cast<float>(wr[j]);
        }
    }
    return 0;
}

int WfftWindowCount(int length, int step, int start)
{
    if (step <= 0 || start > length) {
        return 0;
    }
    const long long count = (static_cast<long long>(length) - start) / step + 1;
    return static_cast<int>(std::min<long long>(count, 100000));
}

}  // namespace velk
