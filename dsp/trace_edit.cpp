#include "dsp/trace_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "dsp/correlation.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr float kIndexLimit = 1073741824.0f;  // 2^30

int Usable(std::span<const float> samples, int count)
{
    return std::clamp(count, 0, static_cast<int>(std::min<size_t>(samples.size(), 0x7fffffff)));
}

// The ramps shared by both mutes: 0 below `zeroBelow`, up from there to `fullFrom`, the
// samples kept up to `fullUntil`, down to `zeroFrom`, 0 beyond.
void ApplyRamps(std::span<float> samples, int n, int zeroBelow, int fullFrom, int fullUntil, int zeroFrom)
{
    for (int i = 0; i < n; ++i) {
        float& x = samples[static_cast<size_t>(i)];
        if (i < zeroBelow) {
            x = 0.0f;
        } else if (i < fullFrom) {
            x = x * static_cast<float>(i - zeroBelow) / static_cast<float>(fullFrom - zeroBelow);
        } else if (i < fullUntil) {
            // kept
        } else if (i < zeroFrom) {
            x = x * static_cast<float>(zeroFrom - i) / static_cast<float>(zeroFrom - fullUntil);
        } else {
            x = 0.0f;
        }
    }
}

void MirrorConjugate(std::span<float> re, std::span<float> im, int n)
{
    for (int j = 1; j < n / 2; ++j) {
        re[static_cast<size_t>(n - j)] = re[static_cast<size_t>(j)];
        im[static_cast<size_t>(n - j)] = -im[static_cast<size_t>(j)];
    }
}

int SpectrumBins(std::span<float> re, std::span<float> im, int n)
{
    return std::clamp(n, 0, static_cast<int>(std::min({re.size(), im.size(), size_t{0x7fffffff}})));
}

}  // namespace

int TruncIndex(float value)
{
    if (!(std::fabs(value) < kIndexLimit)) {
        return std::isnan(value) ? 0 : (value > 0.0f ? static_cast<int>(kIndexLimit) : -static_cast<int>(kIndexLimit));
    }
    return static_cast<int>(value);
}

void TaperWindow(std::span<float> samples, float intervalMs, int count, float startMs, float windowMs,
                 float taperBeforeMs, float taperAfterMs)
{
    if (!(intervalMs > 0.0f) || !std::isfinite(intervalMs)) {
        return;
    }
    const float dt = intervalMs;
    const float b = startMs;
    const float e = startMs + windowMs;
    const int o = TruncIndex((b - taperBeforeMs) / dt);
    const int r = TruncIndex(b / dt);
    const int t = TruncIndex(e / dt);
    const float l = (e + taperAfterMs) / dt;
    const int m = TruncIndex(l);
    ApplyRamps(samples, Usable(samples, count), o, r, t, m);
}

DialogRequest CApparentVelocityMuteDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "見かけ速度によるミュート"));
    r.Float("Min. velocity", minVelocity).Label(Msg(language, "Min. velocity", "最小速度")).Unit("km/sec");
    r.Float("Max. velocity", maxVelocity).Label(Msg(language, "Max. velocity", "最大速度")).Unit("km/sec");
    return r;
}

void CApparentVelocityMuteDlg::MuteTrace(std::span<float> samples, const CTraceHeader& header,
                                         const ApparentVelocityMute& mute)
{
    const float dt = header.intervalUs * 0.001f;
    if (!(mute.maxVelocity > 0.0f) || !(dt > 0.0f) || !std::isfinite(dt)) {
        return;
    }
    const int n = Usable(samples, header.samples);
    const auto offset = std::llabs(static_cast<long long>(header.receiverHundredths) - header.sourceHundredths);
    const float d = static_cast<float>(offset) / 100.0f;
    const float t1 = d / mute.maxVelocity;
    const float t2 = mute.minVelocity > 0.0f ? d / mute.minVelocity : dt * static_cast<float>(header.samples);
    const float h = mute.taper;
    const int r = TruncIndex((t1 - h) / dt);
    const int o = TruncIndex(t1 / dt);
    const int t = TruncIndex(t2 / dt);
    const float l = (t2 + h) / dt;
    const int m = TruncIndex(l);
    ApplyRamps(samples, n, r, o, t, m);
}

int DecimateRow(std::span<float> samples, int count, int k)
{
    const int n = Usable(samples, count);
    if (k < 1) {
        return n;
    }
    const int kept = n / k;
    for (int i = 0; i < kept; ++i) {
        samples[static_cast<size_t>(i)] = samples[static_cast<size_t>(k) * static_cast<size_t>(i)];
    }
    return kept;
}

float RunningAbsoluteSum(std::span<float> samples, int count)
{
    const int n = Usable(samples, count);
    float sum = 0.0f;
    for (int i = 0; i < n; ++i) {
        sum += std::fabs(samples[static_cast<size_t>(i)]);
        samples[static_cast<size_t>(i)] = sum;
    }
    return sum;
}

float TraceDuration(std::span<const float> samples, int count, float intervalUs)
{
    const int n = std::clamp(count, 0, static_cast<int>(std::min<size_t>(samples.size(), 0x7fffffff)));
    float peak = 0.0f;
    for (int i = 0; i < n; ++i) {
        peak = std::max(peak, std::fabs(samples[static_cast<size_t>(i)]));
    }
    const float threshold = 0.5f * peak;
    int first = -1;
    int last = -1;
    for (int i = 0; i < n; ++i) {
        if (std::fabs(samples[static_cast<size_t>(i)]) > threshold) {
            if (first < 0) {
                first = i;
            }
            last = i;
        }
    }
    if (first < 0) {
        return 0.0f;
    }
    return static_cast<float>(last - first) * intervalUs * 1e-6f;
}

void FourierTimeShift(std::span<float> re, std::span<float> im, int n, float shiftMs, float df)
{
    n = SpectrumBins(re, im, n);
    for (int j = 0; j <= n / 2 && j < n; ++j) {
        const float phi = shiftMs * (static_cast<float>(j) * df) * 0.0062831854f;
        const float c = std::cos(phi);
        const float s = std::sin(phi);
        float& a = re[static_cast<size_t>(j)];
        float& b = im[static_cast<size_t>(j)];
        const float newRe = a * c - b * s;
        const float newIm = a * s + b * c;
        a = newRe;
        b = newIm;
    }
    MirrorConjugate(re, im, n);
}

void FourierDifferential(std::span<float> re, std::span<float> im, int n, float df)
{
    n = SpectrumBins(re, im, n);
    for (int j = 0; j <= n / 2 && j < n; ++j) {
        const float omega = static_cast<float>(static_cast<double>(j) * df * 6.283185307);
        float& a = re[static_cast<size_t>(j)];
        float& b = im[static_cast<size_t>(j)];
        const float newRe = -b * omega;
        const float newIm = a * omega;
        a = newRe;
        b = newIm;
    }
    MirrorConjugate(re, im, n);
}

int AlignByCorrelation(int count, int reference, int samples, const Matrix2D<float>& a, Matrix2D<float>& b)
{
    const int rowsA = static_cast<int>(a.Rows());
    const int rowsB = static_cast<int>(b.Rows());
    if (samples < 1 || count < 1 || reference < 0 || reference >= std::min(rowsA, rowsB) || count > rowsB ||
        static_cast<size_t>(samples) > std::min(a.Cols(), b.Cols())) {
        return 0;
    }
    const auto n = static_cast<size_t>(samples);
    const std::span<const float> refA = a.Row(a.RowLow() + reference);
    const std::span<const float> refB = b.Row(b.RowLow() + reference);
    std::vector<double> x(refA.begin(), refA.begin() + samples);
    std::vector<double> y(refB.begin(), refB.begin() + samples);
    std::vector<double> c(n);
    CCorrelationDlg::CircularCorrelation(x.data(), y.data(), c.data(), samples);
    int lag = FirstPeakIndex(c);
    if (lag > samples / 2) {
        lag -= samples;
    }
    std::vector<float> old(static_cast<size_t>(samples));
    for (int r = 0; r < count; ++r) {
        const std::span<float> row = b.Row(b.RowLow() + r);
        std::copy_n(row.begin(), samples, old.begin());
        for (int j = 0; j < samples; ++j) {
            const int from = j + lag;
            row[static_cast<size_t>(j)] = from >= 0 && from < samples ? old[static_cast<size_t>(from)] : 0.0f;
        }
    }
    return 1;
}

}  // namespace velk
