// CBandPassDlg: filter curves, their appliers and the two interpolation helpers.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/complex_math.h"
#include "dsp/fft_engine.h"
#include "platform/atomic_file.h"
#include "platform/numtext.h"

namespace velk {

namespace {

// The frequency step of a curve of `count` bins up to the Nyquist frequency, in single
// precision; 0 when there is none (one bin, or an interval that is not above 0).
float CurveStep(int count, float intervalMs)
{
    if (count < 2 || !(intervalMs > 0.0f)) {
        return 0.0f;
    }
    const float step = (500.0f / intervalMs) / static_cast<float>(count - 1);
    return std::isfinite(step) ? step : 0.0f;
}

// trunc(v) limited to [0, high]; NaN gives 0. Converts only values that fit an int.
int CornerBin(float v, int high)
{
    if (!(v > 0.0f)) {
        return 0;
    }
    if (v >= static_cast<float>(high)) {
        return high;
    }
    return static_cast<int>(v);
}

// slope^(log2 ratio), computed as the curves always have been: the ratio in single precision,
// the exponent and the power in double. Never above 1.
double SlopeFactor(float slopeBase, float ratio)
{
    const double exponent = std::log10(static_cast<double>(ratio)) / std::log10(2.0);
    return std::min(std::pow(static_cast<double>(slopeBase), exponent), 1.0);
}

// The factor of bin i (0 <= i <= n/2) from a curve of `count` values: its own value, or the
// last one for bins beyond the curve.
inline double CurveAt(const double* curve, int count, int i)
{
    return curve[std::min(i, count - 1)];
}

void WriteDiagnostic(const std::string& folder, const char* name, const std::string& text)
{
    const std::filesystem::path path =
        folder.empty() ? std::filesystem::path(name) : std::filesystem::path(folder) / name;
    WriteFileAtomically(path.string(), text);  // a diagnostic: a failure changes nothing
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Curves

void CBandPassDlg::MakeSlopeFilter(int count, float intervalMs, float lowCut, float highCut,
                                   float lowSlope, float highSlope, double* curve)
{
    if (count < 1) {
        return;
    }
    const float df = CurveStep(count, intervalMs);
    if (df == 0.0f) {
        // No frequency axis: bin 0 passes (the corner bins round to 0), the rest are stopped.
        curve[0] = 1.0;
        std::fill(curve + 1, curve + count, 0.0);
        return;
    }
    const int last = count - 1;
    const int lowBin = CornerBin(lowCut / df + 0.5f, last);
    const int highBin = CornerBin(highCut / df + 0.5f, last);

    curve[0] = lowBin != 0 ? 0.0 : 1.0;
    const float lowBase = std::pow(10.0f, -0.05f * lowSlope);
    for (int k = 1; k <= lowBin; ++k) {
        const float fk = static_cast<float>(k) * df;
        curve[k] = SlopeFactor(lowBase, lowCut / fk);
    }
    for (int k = lowBin + 1; k <= highBin; ++k) {
        curve[k] = 1.0;
    }
    const float highBase = std::pow(10.0f, -0.05f * highSlope);
    for (int k = highBin + 1; k <= last; ++k) {
        if (highSlope == 0.0f) {
            curve[k] = 1.0;
        } else if (!(highCut > 0.0f)) {
            curve[k] = 0.0;
        } else {
            const float fk = static_cast<float>(k) * df;
            curve[k] = SlopeFactor(highBase, fk / highCut);
        }
    }
}

void CBandPassDlg::MakeSlopeFilter1(int count, float intervalMs, float lowCut, float highCut,
                                    float lowSlope, float highSlope, double* curve)
{
    MakeSlopeFilter(count, intervalMs, lowCut, highCut, lowSlope, highSlope, curve + 1);
}

int CBandPassDlg::MakeCosineTaperFilter(int count, float intervalMs, float lowCut, float highCut,
                                        double* curve, const std::string& folder)
{
    const float df = CurveStep(count, intervalMs);
    std::string text = FormatC("%f\n", static_cast<double>(df));
    // The taper edges, rounded to single precision.
    const float lowStart = static_cast<float>(0.6 * lowCut);
    const float lowEnd = static_cast<float>(1.4 * lowCut);
    const float highStart = static_cast<float>(0.6 * highCut);
    const float highEnd = static_cast<float>(1.4 * highCut);
    text += FormatC("%f : %f %f \n", static_cast<double>(lowCut), static_cast<double>(lowStart),
                    static_cast<double>(lowEnd));
    text += FormatC("%f : %f %f \n", static_cast<double>(highCut),
                    static_cast<double>(highStart), static_cast<double>(highEnd));
    if (lowEnd > highStart) {
        WriteDiagnostic(folder, "filter.txt", text);
        return 0;
    }
    const double pi = static_cast<double>(std::numbers::pi_v<float>);
    const double lc = lowCut;
    const double hc = highCut;
    for (int k = 0; k < count; ++k) {
        const float f = static_cast<float>(k) * df;
        double value;
        if (lowStart <= f && f <= lowEnd) {
            value = lowCut > 0.0f ? 0.5 - 0.5 * std::cos((f - 0.6 * lc) * pi / (0.8 * lc)) : 1.0;
        } else if (lowEnd < f && f <= highStart) {
            value = 1.0;
        } else if (highStart <= f && f <= highEnd) {
            value = highCut > 0.0f ? 0.5 * (std::cos((f - 0.6 * hc) * pi / (0.8 * hc)) + 1.0)
                                   : 0.0;
        } else {
            value = 0.0;
        }
        curve[k] = value;
        text += FormatC("%d %f %f \n", k, static_cast<double>(f), value);
    }
    WriteDiagnostic(folder, "filter.txt", text);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Appliers

void CBandPassDlg::FilterSymmetric(const double* curve, double* re, double* im, int n, int count)
{
    if (n < 1 || count < 1) {
        return;
    }
    re[0] *= curve[0];
    im[0] *= curve[0];
    for (int i = 1; 2 * i < n; ++i) {
        const double f = CurveAt(curve, count, i);
        re[i] *= f;
        im[i] *= f;
        re[n - i] *= f;
        im[n - i] *= f;
    }
    if (n % 2 == 0) {
        const double f = CurveAt(curve, count, n / 2);
        re[n / 2] *= f;
        im[n / 2] *= f;
    }
}

void CBandPassDlg::FilterSymmetric1(const double* curve, double* re, double* im, int n,
                                    int count)
{
    // Element j+1 holds bin j of the spectrum and of the curve.
    FilterSymmetric(curve + 1, re + 1, im + 1, n, count);
}

void CBandPassDlg::FilterArray(int n, int transformLength, double* samples,
                               std::span<const double> curve)
{
    if (fft_engine::CheckedLog2(transformLength, 0) < 0 || curve.empty()) {
        return;
    }
    const auto length = static_cast<size_t>(transformLength);
    const size_t copied = n > 0 ? std::min(static_cast<size_t>(n), length) : 0;
    std::vector<double> re(length, 0.0);
    std::vector<double> im(length, 0.0);
    std::copy(samples, samples + copied, re.begin());
    Fft(re.data(), im.data(), transformLength, 0, 0);
    const int count = static_cast<int>(std::min(curve.size(), length / 2 + 1));
    FilterSymmetric(curve.data(), re.data(), im.data(), transformLength, count);
    Fft(re.data(), im.data(), transformLength, 0, 1);
    std::copy(re.begin(), re.begin() + static_cast<std::ptrdiff_t>(copied), samples);
}

void CBandPassDlg::FilterSpectrumTabled(double* samples, const double* curve,
                                        std::span<const double> cosTable, double* power, int n,
                                        int count, int m)
{
    if (m < 1 || m > 11 || n != (1 << m) || count < 1 ||
        cosTable.size() < static_cast<size_t>(n / 4 + 2)) {
        return;
    }
    const auto size = static_cast<size_t>(n) + 1;
    std::vector<double> re(samples, samples + size);
    std::vector<double> im(size, 0.0);
    FftTabled(re.data(), im.data(), cosTable, m, -1);
    for (int j = 1; j <= n; ++j) {
        power[j] = (re[j] * re[j] + im[j] * im[j]) / n;
    }
    FilterSymmetric1(curve, re.data(), im.data(), n, count);
    FftTabled(re.data(), im.data(), cosTable, m, +1);
    std::copy(re.begin() + 1, re.end(), samples + 1);
}

// ---------------------------------------------------------------------------------------------
// Interpolation helpers

void CBandPassDlg::InterpolateMidpoints(int length, double* samples)
{
    if (fft_engine::CheckedLog2(length, 0) < 0) {
        return;
    }
    const auto total = static_cast<size_t>(length);
    const size_t half = total / 2;
    std::vector<double> xr(samples, samples + half), xi(half, 0.0);
    std::vector<double> mr(half), mi(half, 0.0);
    for (size_t k = 0; k + 1 < half; ++k) {
        mr[k] = (xr[k] + xr[k + 1]) / 2.0;
    }
    mr[half - 1] = xr[half - 1];
    Fft(xr.data(), xi.data(), static_cast<int>(half), 0, 0);
    Fft(mr.data(), mi.data(), static_cast<int>(half), 0, 0);

    // Samples and midpoints interleave: the midpoints' spectrum is delayed by half a sample.
    std::vector<double> yr(total, 0.0), yi(total, 0.0);
    for (size_t k = 0; k < half; ++k) {
        const double angle = -6.283185307179586 * static_cast<double>(k) / static_cast<double>(total);
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        yr[k] = xr[k] + (mr[k] * c - mi[k] * s);
        yi[k] = xi[k] + (mr[k] * s + mi[k] * c);
    }
    // yr[half] = yi[half] = 0: no Nyquist component.
    for (size_t k = half + 1; k < total; ++k) {
        yr[k] = yr[total - k];
        yi[k] = -yi[total - k];
    }
    Fft(yr.data(), yi.data(), length, 0, 1);
    std::copy(yr.begin(), yr.end(), samples);
}

void CBandPassDlg::ComplexGeometricMean(int count, const double* aRe, const double* aIm,
                                        const double* bRe, const double* bIm, double* outRe,
                                        double* outIm)
{
    for (int i = 0; i < count; ++i) {
        const auto ar = static_cast<float>(aRe[i]);
        const auto ai = static_cast<float>(aIm[i]);
        const auto br = static_cast<float>(bRe[i]);
        const auto bi = static_cast<float>(bIm[i]);
        if ((ar == 0.0f && ai == 0.0f) || (br == 0.0f && bi == 0.0f)) {
            outRe[i] = 0.0;
            outIm[i] = 0.0;
            continue;
        }
        // Q = B/A; H = log(Q)/2 with the angle of Q from atan2, so that A e^H lies on the
        // bisector of A and B whatever their phase difference.
        float qr, qi;
        CComplexMath::DivTo(br, bi, ar, ai, &qr, &qi);
        const float hr = std::log(CComplexMath::Abs(qr, qi)) / 2.0f;
        const float hi = std::atan2(qi, qr) / 2.0f;
        float er, ei;
        CComplexMath::ExpTo(hr, hi, &er, &ei);
        float rr, ri;
        CComplexMath::MulTo(ar, ai, er, ei, &rr, &ri);
        outRe[i] = rr;
        outIm[i] = ri;
    }
}

}  // namespace velk
