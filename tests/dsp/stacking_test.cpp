// The stacking kernels: semblance against numpy (tests/dsp/ref/correlation.txt) and the cases
// the semblance and window rules imply.

#include "dsp/stacking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/fixture.h"

namespace velk {
namespace {

using dsptest::Fixture;
using dsptest::SignalLcg;

std::vector<double> StackOf(const std::vector<std::vector<double>>& rows, int method, int k)
{
    std::vector<const double*> ptrs;
    for (const auto& r : rows) ptrs.push_back(r.data());
    std::vector<double> out(rows[0].size(), -1.0);
    CVerticalStackDlg::Stack(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()), method, k,
                             ptrs.data(), out.data());
    return out;
}

TEST(Stacking, SemblanceRoutinesMatchNumpy)
{
    const Fixture fx("correlation.txt");
    const auto x = SignalLcg(8300, 64);
    const auto y = SignalLcg(8301, 64);
    std::vector<double> out(64);
    CVerticalStackDlg::SemblanceCorrelation(x.data(), y.data(), out.data(), 64);
    const auto& ref = fx.Get("semblance");
    for (size_t i = 0; i < 64; ++i) EXPECT_NEAR(out[i], ref[i], 1e-6 * std::fabs(ref[i]) + 1e-12) << i;

    std::vector<std::vector<double>> rows;
    for (uint32_t r = 0; r < 3; ++r) rows.push_back(SignalLcg(8400 + r, 40));
    const auto s2 = StackOf(rows, 2, 5);
    const auto s3 = StackOf(rows, 3, 5);
    const auto& r2 = fx.Get("stack2_k5");
    const auto& r3 = fx.Get("stack3_k5");
    for (size_t t = 0; t < 40; ++t) {
        EXPECT_NEAR(s2[t], r2[t], 1e-6 * std::fabs(r2[t]) + 1e-12) << t;
        EXPECT_NEAR(s3[t], r3[t], 1e-9 * std::fabs(r3[t]) + 1e-15) << t;
    }
}

TEST(Stacking, SemblanceIsOneForIdenticalAndZeroForOppositeTraces)
{
    std::vector<double> a(50, 0.0);
    for (size_t t = 20; t < 30; ++t) a[t] = std::sin(static_cast<double>(t));
    std::vector<double> minus(a.size());
    for (size_t t = 0; t < a.size(); ++t) minus[t] = -a[t];
    const auto same = StackOf({a, a, a}, 2, 3);
    const auto opposite = StackOf({a, minus}, 2, 3);
    for (size_t t = 0; t < a.size(); ++t) {
        // The window [t - 1, t + 1] holds signal for t = 19..30.
        const bool signal = t >= 19 && t <= 30;
        EXPECT_NEAR(same[t], signal ? 1.0 : 0.0, 1e-6) << t;
        EXPECT_EQ(opposite[t], 0.0) << t;
    }
    // Average and sum; one trace comes back unchanged.
    const auto b = SignalLcg(5, 50);
    EXPECT_EQ(StackOf({b}, 0, 1), b);
    EXPECT_EQ(StackOf({b}, 1, 1), b);
    const auto mean = StackOf({a, b}, 0, 1);
    const auto sum = StackOf({a, b}, 1, 1);
    for (size_t t = 0; t < a.size(); ++t) {
        EXPECT_DOUBLE_EQ(sum[t], a[t] + b[t]);
        EXPECT_DOUBLE_EQ(mean[t], (a[t] + b[t]) / 2.0);
    }
}

TEST(Stacking, WindowRules)
{
    // A 0.001 ms window still uses two samples; method 0 uses one.
    EXPECT_EQ(CVerticalStackDlg::WindowSamples(2, 0.001f, 0.5f), 2);
    EXPECT_EQ(CVerticalStackDlg::WindowSamples(3, 2.0f, 0.5f), 4);
    EXPECT_EQ(CVerticalStackDlg::WindowSamples(0, 2.0f, 0.5f), 1);

    // t = 0 with K = 4: u = -2 and -1 are skipped, only u = 0 and 1 count (method 3 adds the
    // centre sum once per kept position).
    const std::vector<double> r0{1.0, 2.0, 4.0, 8.0, 16.0};
    const std::vector<double> r1{3.0, 1.0, 0.0, 0.0, 0.0};
    const auto w = StackOf({r0, r1}, 3, 4);
    const double A = 1 + 9 + 4 + 1;      // u = 0, 1
    const double B = 16.0 + 9.0;         // stacked 4 and 3
    const double W = 4.0 * 2;            // centre sum 4, two kept positions
    EXPECT_DOUBLE_EQ(w[0], B * W / 2.0 / A);
}

TEST(Stacking, NormalizedSumSkipsARowOfZeros)
{
    const std::vector<float> a{1.0f, 2.0f, 4.0f}, b{-4.0f, 4.0f, 2.0f}, zero(3, 0.0f);
    const float* rows[] = {a.data(), zero.data(), b.data()};
    std::vector<double> s(3, 99.0);
    CVerticalStackDlg::NormalizedSum(3, 3, rows, s.data());
    EXPECT_EQ(s, (std::vector<double>{-0.75, 1.5, 1.5}));
}

}  // namespace
}  // namespace velk
