#include "dsp/least_squares.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/fixture.h"

namespace velk {
namespace {

using Lsq = CLeastSquaresDlg;

TEST(LeastSquares, GaussJordanSolvesWithPivotingAndRefusesBadSystems)
{
    // 0 x + y = 2, 2 x + y = 4 (the first pivot is in row 2); two right-hand sides.
    std::vector<double> m = {0, 1, 2, 1,
                             2, 1, 4, 3};
    ASSERT_EQ(Lsq::GaussJordanSolve(m, 4, 2, 4, 1e-6), Lsq::kSolved);
    EXPECT_NEAR(m[2], 1.0, 1e-15);  // x of the first system
    EXPECT_NEAR(m[6], 2.0, 1e-15);  // y
    EXPECT_NEAR(m[3], 1.0, 1e-15);  // x of the second
    EXPECT_NEAR(m[7], 1.0, 1e-15);

    std::vector<double> singular = {1, 2, 1, 2, 4, 2};
    EXPECT_EQ(Lsq::GaussJordanSolve(singular, 3, 2, 3, 1e-6), Lsq::kSingular);
    std::vector<double> small(6);
    EXPECT_EQ(Lsq::GaussJordanSolve(small, 2, 2, 3, 1e-6), Lsq::kInvalid);  // stride below the columns
    EXPECT_EQ(Lsq::GaussJordanSolve(small, 3, 1, 3, 1e-6), Lsq::kInvalid);  // n below 2
    EXPECT_EQ(Lsq::GaussJordanSolve(small, 3, 3, 3, 1e-6), Lsq::kInvalid);  // n not below the columns
    EXPECT_EQ(Lsq::GaussJordanSolve(small, 3, 2, 3, -1.0), Lsq::kInvalid);
    EXPECT_EQ(Lsq::GaussJordanSolve(small, 4, 2, 4, 1e-6), Lsq::kInvalid);  // shorter than 2 rows of 4

    std::vector<double> a = {4, 1, 0, 1, 3, 0};
    std::vector<double> b = {9, 7};
    ASSERT_EQ(Lsq::SolveAugmented(a, 3, b, 2), Lsq::kSolved);
    EXPECT_NEAR(b[0], 20.0 / 11.0, 1e-14);
    EXPECT_NEAR(b[1], 19.0 / 11.0, 1e-14);
}

// The fixture's hum_t: 0.8 sin(2 pi 50.3 t + phase_t) + 0.05 lcg, as floats, at 1 ms.
std::vector<double> Hum(int t, size_t n)
{
    const std::vector<double> noise = dsptest::SignalLcg(9300 + static_cast<uint32_t>(t), n);
    std::vector<double> x(n);
    for (size_t j = 0; j < n; ++j) {
        x[j] = static_cast<float>(0.8 * std::sin(6.283185307179586 * 50.3 * static_cast<double>(j) / 1000.0 + 0.6 + 0.7 * t) +
                                  0.05 * noise[j]);
    }
    return x;
}

TEST(LeastSquares, FitSinusoidsAgreesWithCurveFit)
{
    const dsptest::Fixture fx("notch.txt");
    const double estimate = fx.Scalar("estimate");
    for (int t = 0; t < 4; ++t) {
        // The coarse window of a pick at 200 ms: every other sample, 2 ms apart.
        const std::vector<double> hum = Hum(t, 200);
        std::vector<double> window;
        for (size_t j = 0; j < 200; j += 2) window.push_back(hum[j]);
        double start = 0.1;
        for (double v : window) start = std::max(start, std::fabs(v));
        Lsq::SinusoidFit fit;
        ASSERT_EQ(Lsq::FitSinusoids(start, 0.0, estimate, window, 2.0, 100, 0.1, 1.1, fit), 0) << t;
        double a = fit.amplitude;
        double phase = fit.phase;
        if (a < 0) {
            a = -a;
            phase += std::numbers::pi;
        }
        phase = std::atan2(std::sin(phase), std::cos(phase));
        const std::vector<double>& ref = fx.Get("fit_" + std::to_string(t));
        EXPECT_NEAR(a, ref[0], 1e-3 * ref[0]) << t;
        EXPECT_NEAR(phase, ref[1], 1e-3 * std::fabs(ref[1])) << t;
        EXPECT_NEAR(fit.frequency, ref[2], 1e-3 * ref[2]) << t;
        EXPECT_LT(fit.rmsLast, fit.rmsFirst);
    }
}

TEST(LeastSquares, FixedFrequencyFitsFindAmplitudesAndPhases)
{
    std::vector<double> x(100);
    for (size_t j = 0; j < x.size(); ++j) {
        const double t = static_cast<double>(j) * 0.5;  // ms
        x[j] = 1.5 * std::sin(0.006283185307 * 60.0 * t + 0.4) + 0.3 * std::sin(0.006283185307 * 120.0 * t - 0.9);
    }
    double a = 0.0, phase = 0.0, rms = -1.0;
    std::vector<double> one(x);
    for (size_t j = 0; j < one.size(); ++j) one[j] -= 0.3 * std::sin(0.006283185307 * 120.0 * static_cast<double>(j) * 0.5 - 0.9);
    ASSERT_EQ(Lsq::FitSinusoidsIterative(a, phase, 1.0, 0.0, 60.0, one, 0.5, rms), 0);
    EXPECT_NEAR(a, 1.5, 1e-6);
    EXPECT_NEAR(phase, 0.4, 1e-6);
    EXPECT_LT(rms, 1e-3);

    std::vector<double> amplitudes = {1.0, 0.1}, phases = {0.0, 0.0};
    std::string log;
    ASSERT_EQ(Lsq::FitSinusoidsLogged(amplitudes, phases, 60.0, x, 0.5, rms, &log), 0);
    EXPECT_NEAR(amplitudes[0], 1.5, 1e-6);
    EXPECT_NEAR(phases[0], 0.4, 1e-6);
    EXPECT_NEAR(amplitudes[1], 0.3, 1e-6);
    EXPECT_NEAR(phases[1], -0.9, 1e-6);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 50);
    EXPECT_EQ(log.substr(0, 3), " 0 ");

    // No samples: nothing to solve.
    EXPECT_EQ(Lsq::FitSinusoidsIterative(a, phase, 1.0, 0.0, 60.0, {}, 0.5, rms), 1);
}

}  // namespace
}  // namespace velk
