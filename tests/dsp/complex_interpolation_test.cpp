// CComplexMath on float pairs, the complex geometric mean and the doubling by midpoints.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/complex_math.h"
#include "fixture.h"

namespace velk {
namespace {

using dsptest::Fixture;
using dsptest::SignalLcg;

void ExpectPairNear(float re, float im, const std::vector<double>& expected, const std::string& what)
{
    const double scale = std::max(1.0, std::hypot(expected[0], expected[1]));
    EXPECT_NEAR(re, expected[0], 1e-6 * scale) << what;
    EXPECT_NEAR(im, expected[1], 1e-6 * scale) << what;
}

TEST(ComplexMath, MatchesNumpyComplex128)
{
    const Fixture fixture("complex.txt");
    for (int i = 0; fixture.Has("in_" + std::to_string(i)); ++i) {
        const std::string s = "_" + std::to_string(i);
        const std::vector<double>& in = fixture.Get("in" + s);
        const auto a = static_cast<float>(in[0]), b = static_cast<float>(in[1]);
        const auto c = static_cast<float>(in[2]), d = static_cast<float>(in[3]);
        float re = 0, im = 0;
        CComplexMath::MulTo(a, b, c, d, &re, &im);
        ExpectPairNear(re, im, fixture.Get("mul" + s), "MulTo" + s);
        const ComplexPair mul = CComplexMath::Mul(a, b, c, d);
        ExpectPairNear(mul.re, mul.im, fixture.Get("mul" + s), "Mul" + s);
        CComplexMath::DivTo(a, b, c, d, &re, &im);
        ExpectPairNear(re, im, fixture.Get("div" + s), "DivTo" + s);
        CComplexMath::ExpTo(a, b, &re, &im);
        ExpectPairNear(re, im, fixture.Get("exp" + s), "ExpTo" + s);
        const ComplexPair e = CComplexMath::ExpPolar(a, b);
        ExpectPairNear(e.re, e.im, fixture.Get("exp" + s), "ExpPolar" + s);
        CComplexMath::LogTo(a, b, &re, &im);
        ExpectPairNear(re, im, fixture.Get("log" + s), "LogTo" + s);
        EXPECT_NEAR(CComplexMath::Abs(a, b), fixture.Scalar("abs" + s), 1e-6 * fixture.Scalar("abs" + s));
        const ComplexPair polar = CComplexMath::ToPolar(a, b);
        ExpectPairNear(polar.re, polar.im, fixture.Get("polar" + s), "ToPolar" + s);
    }
}

TEST(ComplexMath, ZeroDivisorsGiveZero)
{
    float re = 5.0f, im = 5.0f;
    CComplexMath::DivTo(1.0f, 2.0f, 0.0f, 0.0f, &re, &im);
    EXPECT_EQ(re, 0.0f);
    EXPECT_EQ(im, 0.0f);
    const ComplexPair q = CComplexMath::DivReal(3.0f, -4.0f, 0.0f);
    EXPECT_EQ(q.re, 0.0f);
    EXPECT_EQ(q.im, 0.0f);
    const ComplexPair h = CComplexMath::DivReal(3.0f, -4.0f, 2.0f);
    EXPECT_EQ(h.re, 1.5f);
    EXPECT_EQ(h.im, -2.0f);
}

TEST(ComplexMath, LogTakesTheAngleFromAtan)
{
    float re = 1.0f, im = 1.0f;
    CComplexMath::LogTo(-1.0f, 0.0f, &re, &im);
    EXPECT_EQ(re, 0.0f);
    EXPECT_EQ(im, 0.0f);  // not pi
    CComplexMath::LogTo(-1.0f, -1.0f, &re, &im);
    EXPECT_FLOAT_EQ(im, std::numbers::pi_v<float> / 4);  // not -3 pi/4
    CComplexMath::LogTo(0.0f, 2.0f, &re, &im);
    EXPECT_FLOAT_EQ(re, std::log(2.0f));
    EXPECT_FLOAT_EQ(im, std::numbers::pi_v<float> / 2);
    CComplexMath::LogTo(0.0f, -2.0f, &re, &im);
    EXPECT_FLOAT_EQ(im, -std::numbers::pi_v<float> / 2);
}

TEST(ComplexMath, Conjugate)
{
    const ComplexPair c = CComplexMath::Conjugate(1.5f, -2.5f);
    EXPECT_EQ(c.re, 1.5f);
    EXPECT_EQ(c.im, 2.5f);
}

// ---------------------------------------------------------------------------------------------

double WrapAngle(double a)
{
    while (a > std::numbers::pi) a -= 2 * std::numbers::pi;
    while (a <= -std::numbers::pi) a += 2 * std::numbers::pi;
    return a;
}

TEST(ComplexGeometricMean, ModulusAndBisector)
{
    std::vector<double> ar, ai, br, bi;
    for (int phaseA : {-150, -30, 0, 45, 100, 179}) {
        for (int diff = -170; diff <= 170; diff += 10) {
            for (double magnitudeB : {0.01, 1.0, 250.0}) {
                const double pa = phaseA * std::numbers::pi / 180, pb = pa + diff * std::numbers::pi / 180;
                ar.push_back(2.0 * std::cos(pa));
                ai.push_back(2.0 * std::sin(pa));
                br.push_back(magnitudeB * std::cos(pb));
                bi.push_back(magnitudeB * std::sin(pb));
            }
        }
    }
    const int count = static_cast<int>(ar.size());
    std::vector<double> outRe(ar.size()), outIm(ar.size());
    CBandPassDlg::ComplexGeometricMean(count, ar.data(), ai.data(), br.data(), bi.data(), outRe.data(), outIm.data());
    for (size_t i = 0; i < ar.size(); ++i) {
        const std::complex<double> a(ar[i], ai[i]), b(br[i], bi[i]), out(outRe[i], outIm[i]);
        EXPECT_NEAR(std::abs(out), std::sqrt(std::abs(a) * std::abs(b)), 2e-6 * std::abs(out)) << i;
        const double bisector = std::arg(a) + WrapAngle(std::arg(b) - std::arg(a)) / 2;
        EXPECT_NEAR(WrapAngle(std::arg(out) - bisector), 0.0, 2e-6) << i;
    }
}

TEST(ComplexGeometricMean, OneHundredTwentyDegreesApart)
{
    const double ar = 1.0, ai = 0.0;
    const double br = std::cos(2 * std::numbers::pi / 3), bi = std::sin(2 * std::numbers::pi / 3);
    double re = 0, im = 0;
    CBandPassDlg::ComplexGeometricMean(1, &ar, &ai, &br, &bi, &re, &im);
    EXPECT_NEAR(std::atan2(im, re) * 180 / std::numbers::pi, 60.0, 1e-4);  // not -30
    EXPECT_NEAR(std::hypot(re, im), 1.0, 1e-6);
}

TEST(ComplexGeometricMean, EqualInputsAndZeros)
{
    const std::vector<double> ar = {3.0, 0.0, 1.0, -2.5}, ai = {-4.0, 0.0, 1.0, 0.5};
    const std::vector<double> br = {3.0, 5.0, 0.0, -2.5}, bi = {-4.0, 1.0, 0.0, 0.5};
    std::vector<double> re(4, 9.0), im(4, 9.0);
    CBandPassDlg::ComplexGeometricMean(4, ar.data(), ai.data(), br.data(), bi.data(), re.data(), im.data());
    EXPECT_NEAR(re[0], 3.0, 1e-6);
    EXPECT_NEAR(im[0], -4.0, 1e-6);
    EXPECT_EQ(re[1], 0.0);  // A = 0
    EXPECT_EQ(im[1], 0.0);
    EXPECT_EQ(re[2], 0.0);  // B = 0
    EXPECT_EQ(im[2], 0.0);
    EXPECT_NEAR(re[3], -2.5, 1e-6);
    EXPECT_NEAR(im[3], 0.5, 1e-6);
}

TEST(ComplexGeometricMean, OutputsMayAliasInputs)
{
    std::vector<double> ar = {1.0, 0.0}, ai = {0.0, 2.0};
    const std::vector<double> br = {0.0, 0.0}, bi = {1.0, 2.0};
    CBandPassDlg::ComplexGeometricMean(2, ar.data(), ai.data(), br.data(), bi.data(), ar.data(), ai.data());
    EXPECT_NEAR(ar[0], std::cos(std::numbers::pi / 4), 1e-6);
    EXPECT_NEAR(ai[0], std::sin(std::numbers::pi / 4), 1e-6);
    EXPECT_NEAR(ar[1], 0.0, 1e-6);
    EXPECT_NEAR(ai[1], 2.0, 1e-6);
}

// ---------------------------------------------------------------------------------------------

TEST(InterpolateMidpoints, MatchesNumpyVersionOfItsSteps)
{
    const Fixture fixture("interpolate.txt");
    for (int length : {2, 8, 64}) {
        const std::vector<double>& expected = fixture.Get("midpoints_" + std::to_string(length));
        std::vector<double> x = SignalLcg(4100 + static_cast<uint32_t>(length), static_cast<size_t>(length / 2));
        x.resize(static_cast<size_t>(length) + 1, 77.0);
        CBandPassDlg::InterpolateMidpoints(length, x.data());
        const double peak = dsptest::MaxAbs(expected);
        for (size_t i = 0; i < static_cast<size_t>(length); ++i) {
            EXPECT_NEAR(x[i], expected[i], 1e-12 * peak) << length << " " << i;
        }
        EXPECT_EQ(x[static_cast<size_t>(length)], 77.0);
    }
}

TEST(InterpolateMidpoints, ConstantGivesTwiceItsValue)
{
    std::vector<double> x(32, 0.0);
    for (size_t i = 0; i < 16; ++i) x[i] = 1.75;
    CBandPassDlg::InterpolateMidpoints(32, x.data());
    for (size_t i = 0; i < 32; ++i) EXPECT_NEAR(x[i], 3.5, 1e-14) << i;
}

TEST(InterpolateMidpoints, LengthsThatAreNotPowersOfTwoAreRefused)
{
    std::vector<double> x = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
    const std::vector<double> x0 = x;
    CBandPassDlg::InterpolateMidpoints(6, x.data());
    CBandPassDlg::InterpolateMidpoints(1, x.data());
    CBandPassDlg::InterpolateMidpoints(0, x.data());
    EXPECT_EQ(x, x0);
}

}  // namespace
}  // namespace velk
