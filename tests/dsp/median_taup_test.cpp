// Medians across traces and along slowness, slant stacks and the tau-p velocity filter.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/fixture.h"
#include "dsp/median_filter.h"
#include "dsp/taup.h"
#include "platform/uihost.h"

namespace velk {
namespace {

Matrix2D<float> Lcg(uint32_t seed, int traces, int samples, double scale = 1.0)
{
    Matrix2D<float> m(0, traces - 1, 0, samples - 1);
    for (int t = 0; t < traces; ++t) {
        const std::vector<double> v = dsptest::SignalLcg(seed + static_cast<uint32_t>(t), static_cast<size_t>(samples));
        for (int k = 0; k < samples; ++k) m[t][k] = static_cast<float>(v[static_cast<size_t>(k)] * scale);
    }
    return m;
}

void ExpectExact(const Matrix2D<float>& m, const std::vector<double>& ref, int traces, int samples, const char* what)
{
    ASSERT_EQ(ref.size(), static_cast<size_t>(traces * samples)) << what;
    for (int t = 0; t < traces; ++t) {
        for (int k = 0; k < samples; ++k) {
            ASSERT_EQ(m[t][k], static_cast<float>(ref[static_cast<size_t>(t * samples + k)])) << what << " " << t << " " << k;
        }
    }
}

double MaxError(const Matrix2D<float>& m, const std::vector<double>& ref, int rows, int samples)
{
    double err = 0.0;
    for (int i = 0; i < rows; ++i) {
        for (int k = 0; k < samples; ++k) err = std::max(err, std::fabs(m[i][k] - ref[static_cast<size_t>(i * samples + k)]));
    }
    return err;
}

// ---------------------------------------------------------------------------------------------
// Medians

TEST(Medians, UpperMiddleOfAnyCount)
{
    std::vector<float> v{5.0f, -3.0f, 9.0f, 1.0f};
    EXPECT_EQ(MedianOfValues(v.data(), 4), 5.0f);  // the upper of 1 and 5
    std::vector<float> w{-2e6f, -3e6f, -1e6f};
    EXPECT_EQ(MedianOfValues(w.data(), 3), -2e6f);  // far below -100000
    std::vector<float> one{7.0f};
    EXPECT_EQ(MedianOfValues(one.data(), 1), 7.0f);
    EXPECT_EQ(MedianOfValues(nullptr, 0), 0.0f);
}

TEST(Medians, AcrossTracesMatchNumpyExactly)
{
    const dsptest::Fixture fx("velocity.txt");
    const Matrix2D<float> input = Lcg(8300, 35, 4, 4e5);
    for (int m : {3, 11, 31}) {
        Matrix2D<float> out(0, 34, 0, 3);
        MedianAcrossTraces(35, m, input, out, 4);
        ExpectExact(out, fx.Get("median_" + std::to_string(m)), 35, 4, "median");
    }
    // M = 3 at the first trace: traces 0 and 1 only, the upper of the two.
    Matrix2D<float> out(0, 34, 0, 3);
    MedianAcrossTraces(35, 3, input, out, 4);
    EXPECT_EQ(out[0][0], std::max(input[0][0], input[1][0]));
}

TEST(Medians, AlongSlownessMatchesNumpyExactly)
{
    const dsptest::Fixture fx("velocity.txt");
    Matrix2D<float> input = Lcg(8400, 8, 24, 0.2);
    std::vector<double> positions;
    for (int t = 0; t < 8; ++t) {
        input[t][10 + (16 * t) / 10] = static_cast<float>(static_cast<double>(input[t][10 + (16 * t) / 10]) + 1.0);
        positions.push_back(200 * (t + 1) * 0.01);
    }
    for (int weighting : {0, 1}) {
        Matrix2D<float> out(0, 7, 0, 23);
        MedianAlongSlowness(8, 5, input, out, 24, 1.0f, positions, 0.5f, 1.5f, 8, weighting);
        ExpectExact(out, fx.Get("mvf_" + std::to_string(weighting)), 8, 24, "slowness");
    }
}

TEST(Medians, SilentRecordStaysSilentAndBadParametersCopy)
{
    const Matrix2D<float> zero(0, 4, 0, 9);
    Matrix2D<float> out(0, 4, 0, 9);
    out.Fill(3.0f);
    const std::vector<double> positions{0, 1, 2, 3, 4};
    MedianAlongSlowness(5, 3, zero, out, 10, 1.0f, positions, 0.5f, 1.5f, 20, 1);
    for (float v : out.Elements()) EXPECT_EQ(v, 0.0f);
    const Matrix2D<float> input = Lcg(3, 5, 10);
    MedianAlongSlowness(5, 3, input, out, 10, 1.0f, positions, 0.5f, 1.5f, 1, 1);  // one step
    EXPECT_EQ(out[2][4], input[2][4]);
}

TEST(Medians, Dialogs)
{
    CMedianVelocityDlg d;
    DialogRequest r = d.Request(-1);
    EXPECT_EQ(r.Title(), "Velocity filter(Median filter)");
    ASSERT_EQ(r.Fields().size(), 5u);
    EXPECT_EQ(r.SetFromText(CMedianVelocityDlg::kSteps, "1"), "Please enter an integer not less than 2.");
    CMedianFilterDlg f;
    EXPECT_EQ(f.Request(-1).Fields()[0].UnitText(), "(Must be odd)");
}

// ---------------------------------------------------------------------------------------------
// Slant stacks

class SlantStacks : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int t = 0; t < 5; ++t) positions.push_back((150 * (t + 1) + 37) * 0.01);
    }
    dsptest::Fixture fx{"velocity.txt"};
    Matrix2D<float> input = Lcg(8500, 5, 30);
    std::vector<double> positions;
};

TEST_F(SlantStacks, MatchNumpyWithTheSameTruncation)
{
    for (int method : {0, 1, 2}) {
        Matrix2D<float> out(0, 5, 0, 29);
        CTauPTransformDlg::SlantStack(input, out, 0.1f, 0.07f, 6, 30, 5, 0.5f, positions, 0.5, method, 0);
        const std::vector<double>& ref = fx.Get("slant_" + std::to_string(method));
        EXPECT_LE(MaxError(out, ref, 6, 30), 1e-5 * std::max(1.0, dsptest::MaxAbs(ref))) << method;
    }
    Matrix2D<float> out(0, 5, 0, 29);
    CTauPTransformDlg::SlantStack(input, out, 0.3f, 0.1f, 6, 30, 5, 0.5f, positions, 0.5, 0, 1);
    EXPECT_LE(MaxError(out, fx.Get("slant_velocity"), 6, 30), 1e-5);

    // In place: the traces are read before the rows are overwritten.
    Matrix2D<float> same = input;
    CTauPTransformDlg::SlantStack(same, same, 0.1f, 0.07f, 5, 30, 5, 0.5f, positions, 0.5, 0, 0);
    EXPECT_LE(MaxError(same, fx.Get("slant_0"), 5, 30), 1e-5);
}

TEST_F(SlantStacks, InverseIsTheAdjoint)
{
    Matrix2D<float> panel(0, 5, 0, 29);
    CTauPTransformDlg::SlantStack(input, panel, 0.1f, 0.07f, 6, 30, 5, 0.5f, positions, 0.5, 0, 0);
    Matrix2D<float> out(0, 4, 0, 29);
    out.Fill(9.0f);
    CTauPTransformDlg::InverseSlantStack(panel, out, 0.1f, 0.07f, 6, 30, 5, 0.5f, positions, 0.5);
    const std::vector<double>& ref = fx.Get("inverse_slant");
    EXPECT_LE(MaxError(out, ref, 5, 30), 1e-5 * dsptest::MaxAbs(ref));
}

TEST(SlantStack, LinearEventPeaksAtItsSlownessAndIntercept)
{
    // Event t = 40 ms + p0 x, p0 = 0.25 s/km, traces every 10 m, dt 1 ms.
    const int traces = 24;
    Matrix2D<float> m(0, traces - 1, 0, 199);
    std::vector<double> positions;
    for (int t = 0; t < traces; ++t) {
        positions.push_back(10.0 * t);
        m[t][40 + static_cast<int>(0.25 * 10.0 * t)] = 1.0f;
    }
    Matrix2D<float> panel(0, 10, 0, 199);
    CTauPTransformDlg::SlantStack(m, panel, 0.0f, 0.05f, 11, 200, traces, 1.0f, positions, 0.0,
                                  CTauPTransformDlg::kSumAmplitude, 0);
    int bestP = 0, bestTau = 0;
    for (int i = 0; i < 11; ++i) {
        for (int j = 0; j < 200; ++j) {
            if (panel[i][j] > panel[bestP][bestTau]) {
                bestP = i;
                bestTau = j;
            }
        }
    }
    EXPECT_EQ(bestP, 5);  // 0.25 s/km
    EXPECT_EQ(bestTau, 40);
    EXPECT_EQ(panel[5][40], static_cast<float>(traces));
}

TEST(TauPVelocityFilter, KeepsTheBandAndAttenuatesWhatLiesOutside)
{
    const int traces = 24, samples = 256;
    auto event = [&](double p) {  // s/km, a 30 Hz Ricker along t = 60 ms + p x
        Matrix2D<float> m(0, traces - 1, 0, samples - 1);
        for (int t = 0; t < traces; ++t) {
            for (int k = 0; k < samples; ++k) {
                const double a = M_PI * 30.0 * (k - 60.0 - p * 5.0 * t) * 1e-3;
                m[t][k] = static_cast<float>((1.0 - 2.0 * a * a) * std::exp(-a * a));
            }
        }
        return m;
    };
    std::vector<double> positions;
    for (int t = 0; t < traces; ++t) positions.push_back(5.0 * t);
    // Pass band 0.5 .. 1.5 km/s: p from 0.667 to 2 s/km.
    auto filtered = [&](const Matrix2D<float>& in) {
        Matrix2D<float> m = in;
        CTauPVelocityFilterDlg::Filter(m, 1.0f / 1.5f, (2.0f - 1.0f / 1.5f) / 99.0f, 100, samples, traces, 1.0f,
                                       positions, 0.0, CTauPTransformDlg::kSumAmplitude);
        return m;
    };
    auto correlation = [&](const Matrix2D<float>& a, const Matrix2D<float>& b) {
        double ab = 0, aa = 0, bb = 0;
        for (size_t i = 0; i < a.Elements().size(); ++i) {
            ab += a.Elements()[i] * b.Elements()[i];
            aa += a.Elements()[i] * a.Elements()[i];
            bb += b.Elements()[i] * b.Elements()[i];
        }
        return ab / std::sqrt(aa * bb);
    };
    const Matrix2D<float> inside = event(1.0);
    EXPECT_GT(correlation(filtered(inside), inside), 0.9);
    const Matrix2D<float> outside = event(0.2);
    const Matrix2D<float> out = filtered(outside);
    double relative = 0.0, eIn = 0.0, eOut = 0.0;
    const Matrix2D<float> in = filtered(inside);
    for (float v : in.Elements()) eIn += v * v;
    for (float v : out.Elements()) eOut += v * v;
    relative = eOut / eIn;
    EXPECT_LT(relative, 0.05);
}

TEST(TauPTransformDialog, NumberOfPIncludesTheEndValue)
{
    EXPECT_EQ(CTauPTransformDlg::NumberOfP(0.05f, 0.5f, 0.05f), 10);
    EXPECT_EQ(CTauPTransformDlg::NumberOfP(0.5f, 0.05f, 0.05f), 10);
    EXPECT_EQ(CTauPTransformDlg::NumberOfP(0.1f, 0.1f, 0.05f), 1);
    EXPECT_EQ(CTauPTransformDlg::NumberOfP(0.05f, 0.5f, 0.0f), 0);

    CTauPTransformDlg d;
    d.minP = 0.05f;
    d.maxP = 0.5f;
    d.interval = 0.05f;
    d.UpdateVelocityRange();
    EXPECT_EQ(d.numberOfP, 10);
    EXPECT_EQ(d.velocity1136, "20.000000");
    EXPECT_EQ(d.velocity1123, "2.000000");
    d.minP = 0.0f;  // nothing without both p
    d.numberOfP = 3;
    d.UpdateVelocityRange();
    EXPECT_EQ(d.numberOfP, 3);
    DialogRequest r = d.Request(-1);
    EXPECT_EQ(r.Title(), "tau-p transform");
    EXPECT_EQ(r.Fields().size(), 9u);
    EXPECT_TRUE(r.Find(CTauPTransformDlg::kNumberOfP)->IsReadOnly());

    // "Calculate velocity" on the values being edited; the struct waits for OK.
    d.minP = 0.05f;
    r.Load();
    EXPECT_TRUE(r.SetFromText(CTauPTransformDlg::kMinP, "0.1").empty());
    CTauPTransformDlg::CalculateVelocity(r);
    EXPECT_EQ(r.Find(CTauPTransformDlg::kNumberOfP)->Text(), "9");
    EXPECT_EQ(r.Find(CTauPTransformDlg::kVelocity1136)->Text(), "10.000000");
    EXPECT_EQ(d.numberOfP, 3);
    r.Commit();
    EXPECT_EQ(d.numberOfP, 9);
}

}  // namespace
}  // namespace velk
