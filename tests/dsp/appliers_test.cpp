// Applying a curve to a spectrum: FilterSymmetric, FilterSymmetric1, FilterArray and
// FilterSpectrumTabled. Conjugate pairs must take the same factor, so that a real trace stays
// real.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "fixture.h"

namespace velk {
namespace {

using dsptest::Fixture;
using dsptest::SignalLcg;
using dsptest::SmoothCurve;

// Curve value k + 1 at bin k, so every factor says which bin it came from.
std::vector<double> IndexCurve(int count)
{
    std::vector<double> c(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) c[static_cast<size_t>(k)] = k + 1.0;
    return c;
}

TEST(FilterSymmetric, ConjugatePairsTakeTheSameFactor)
{
    const int n = 16;
    const std::vector<double> curve = IndexCurve(n / 2 + 1);
    std::vector<double> re(n, 1.0), im(n, -1.0);
    CBandPassDlg::FilterSymmetric(curve.data(), re.data(), im.data(), n, n / 2 + 1);
    for (int i = 0; i < n; ++i) {
        const int bin = i <= n / 2 ? i : n - i;
        EXPECT_EQ(re[static_cast<size_t>(i)], bin + 1.0) << i;
        EXPECT_EQ(im[static_cast<size_t>(i)], -(bin + 1.0)) << i;
    }
}

TEST(FilterSymmetric, ShortCurvesLendTheirLastValue)
{
    const int n = 16;
    const std::vector<double> curve = IndexCurve(n / 2);  // no Nyquist value
    std::vector<double> re(n, 1.0), im(n, 1.0);
    CBandPassDlg::FilterSymmetric(curve.data(), re.data(), im.data(), n, n / 2);
    EXPECT_EQ(re[8], 8.0);  // curve[n/2 - 1]
    EXPECT_EQ(re[7], 8.0);
    EXPECT_EQ(re[9], 8.0);
    EXPECT_EQ(re[15], 2.0);
    std::vector<double> r2(n, 1.0), i2(n, 1.0);
    CBandPassDlg::FilterSymmetric(curve.data(), r2.data(), i2.data(), n, 3);
    EXPECT_EQ(r2[1], 2.0);
    EXPECT_EQ(r2[2], 3.0);
    EXPECT_EQ(r2[5], 3.0);
    EXPECT_EQ(r2[14], 3.0);
    std::vector<double> r3(n, 1.0), i3(n, 1.0);
    CBandPassDlg::FilterSymmetric(curve.data(), r3.data(), i3.data(), n, 0);  // nothing
    EXPECT_EQ(r3, std::vector<double>(n, 1.0));
}

TEST(FilterSymmetric, OneBasedPairsElementNMinusIPlusOne)
{
    const int n = 8;
    std::vector<double> curve = IndexCurve(n / 2 + 2);  // one-based: element k+1 is bin k
    curve[0] = -100.0;
    std::vector<double> re(n + 1, 1.0), im(n + 1, 1.0);
    re[0] = im[0] = 7.0;
    CBandPassDlg::FilterSymmetric1(curve.data(), re.data(), im.data(), n, n / 2 + 1);
    EXPECT_EQ(re[0], 7.0);
    EXPECT_EQ(im[0], 7.0);
    for (int e = 1; e <= n; ++e) {
        const int i = e - 1;
        const int bin = i <= n / 2 ? i : n - i;
        EXPECT_EQ(re[static_cast<size_t>(e)], curve[static_cast<size_t>(bin) + 1]) << e;
    }
}

TEST(FilterSymmetric, RealTraceStaysReal)
{
    for (int n : {8, 64, 1024}) {
        const std::vector<double> x = SignalLcg(500 + static_cast<uint32_t>(n), static_cast<size_t>(n));
        std::vector<double> re = x, im(static_cast<size_t>(n), 0.0);
        std::vector<double> curve(static_cast<size_t>(n / 2 + 1));
        CBandPassDlg::MakeSlopeFilter(n / 2 + 1, 1.0f, 30.0f, 300.0f, 24.0f, 24.0f, curve.data());
        CBandPassDlg::Fft(re.data(), im.data(), n, 0, 0);
        CBandPassDlg::FilterSymmetric(curve.data(), re.data(), im.data(), n, n / 2 + 1);
        CBandPassDlg::Fft(re.data(), im.data(), n, 0, 1);
        EXPECT_LE(dsptest::MaxAbs(im), 1e-12 * dsptest::MaxAbs(re)) << n;
    }
}

TEST(FilterArray, MatchesNumpy)
{
    const Fixture fixture("appliers.txt");
    const std::vector<double>& expected = fixture.Get("filter_array");
    std::vector<double> x = SignalLcg(4000, 200);
    x.push_back(55.0);  // beyond n: untouched
    CBandPassDlg::FilterArray(200, 256, x.data(), SmoothCurve(129));
    for (size_t i = 0; i < 200; ++i) {
        EXPECT_NEAR(x[i], expected[i], 1e-10) << i;
    }
    EXPECT_EQ(x[200], 55.0);
}

TEST(FilterArray, RefusalsAndLongInputs)
{
    const std::vector<double> x0 = SignalLcg(3, 300);
    std::vector<double> x = x0;
    CBandPassDlg::FilterArray(300, 300, x.data(), SmoothCurve(151));  // not a power of two
    EXPECT_EQ(x, x0);
    CBandPassDlg::FilterArray(300, 256, x.data(), {});  // no curve
    EXPECT_EQ(x, x0);
    // More samples than the transform: only the first 256 are filtered.
    CBandPassDlg::FilterArray(300, 256, x.data(), std::vector<double>(129, 1.0));
    for (size_t i = 0; i < 256; ++i) EXPECT_NEAR(x[i], x0[i], 1e-15);
    for (size_t i = 256; i < 300; ++i) EXPECT_EQ(x[i], x0[i]);
}

TEST(FilterSpectrumTabled, MatchesNumpy)
{
    const Fixture fixture("appliers.txt");
    const std::vector<double>& expectedSamples = fixture.Get("tabled_samples");
    const std::vector<double>& expectedPower = fixture.Get("tabled_power");
    const int m = 7, n = 128;
    std::vector<double> table(static_cast<size_t>(n / 4 + 2));
    ASSERT_EQ(CBandPassDlg::BuildCosTable(m, table), n / 4 + 1);
    const std::vector<double> x = SignalLcg(4001, n);
    std::vector<double> samples(1, 9.0);
    samples.insert(samples.end(), x.begin(), x.end());
    const std::vector<double> smooth = SmoothCurve(65);
    std::vector<double> curve(1, -1.0);
    curve.insert(curve.end(), smooth.begin(), smooth.end());
    std::vector<double> power(n + 1, -2.0);
    CBandPassDlg::FilterSpectrumTabled(samples.data(), curve.data(), table, power.data(), n, 65, m);
    EXPECT_EQ(samples[0], 9.0);
    EXPECT_EQ(power[0], -2.0);
    const double peakSamples = dsptest::MaxAbs(expectedSamples);
    const double peakPower = dsptest::MaxAbs(expectedPower);
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        EXPECT_NEAR(samples[i + 1], expectedSamples[i], 1e-6 * peakSamples) << i;
        EXPECT_NEAR(power[i + 1], expectedPower[i], 1e-6 * peakPower) << i;
    }
}

TEST(FilterSpectrumTabled, RefusesLengthsTheTableCannotServe)
{
    std::vector<double> table(514);
    CBandPassDlg::BuildCosTable(11, table);
    std::vector<double> samples(4098, 1.0), power(4098, -1.0), curve(2050, 0.5);
    CBandPassDlg::FilterSpectrumTabled(samples.data(), curve.data(), table, power.data(), 4096, 2049, 12);
    CBandPassDlg::FilterSpectrumTabled(samples.data(), curve.data(), table, power.data(), 1000, 501, 10);
    EXPECT_EQ(samples, std::vector<double>(4098, 1.0));
    EXPECT_EQ(power, std::vector<double>(4098, -1.0));
}

}  // namespace
}  // namespace velk
