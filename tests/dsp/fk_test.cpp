// The F-K filter, the F-K power spectrum and the 2-D DFT holder.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/fk_arrays.h"
#include "dsp/fk_filter.h"
#include "dsp/fixture.h"
#include "platform/uihost.h"

namespace velk {
namespace {

Matrix2D<float> Record(const std::vector<std::vector<double>>& traces, int columns)
{
    Matrix2D<float> m(0, static_cast<int>(traces.size()) - 1, 0, columns - 1);
    for (size_t t = 0; t < traces.size(); ++t) {
        for (size_t k = 0; k < traces[t].size(); ++k) m[static_cast<int>(t)][static_cast<int>(k)] = static_cast<float>(traces[t][k]);
    }
    return m;
}

CFkFilterDlg Dialog(const std::vector<double>& v, int fan)
{
    // Fixture order: 1121, 1123, 1126, 1125.
    CFkFilterDlg d;
    d.velocity1121 = static_cast<float>(v[0]);
    d.velocity1123 = static_cast<float>(v[1]);
    d.velocity1126 = static_cast<float>(v[2]);
    d.velocity1125 = static_cast<float>(v[3]);
    d.fanMode = fan;
    return d;
}

// A 30 Hz Ricker wavelet centred at t0 ms.
double Ricker(double tMs, double t0)
{
    const double a = M_PI * 30.0 * (tMs - t0) * 1e-3;
    return (1.0 - 2.0 * a * a) * std::exp(-a * a);
}

// Line event t = 100 ms + x / v (v in m/s, signed; 0 for a flat event) over traces at dx.
Matrix2D<float> LineEvent(int traces, int samples, double dx, double v)
{
    Matrix2D<float> m(0, traces - 1, 0, samples - 1);
    for (int t = 0; t < traces; ++t) {
        const double delay = 100.0 + (v == 0.0 ? 0.0 : (t * dx) / v * 1000.0) + (v < 0.0 ? 120.0 : 0.0);
        for (int k = 0; k < samples; ++k) m[t][k] = static_cast<float>(Ricker(k, delay));
    }
    return m;
}

double Energy(const Matrix2D<float>& m)
{
    double e = 0.0;
    for (float v : m.Elements()) e += static_cast<double>(v) * v;
    return e;
}

// ---------------------------------------------------------------------------------------------
// Done when: the filter against numpy, the event energies, the pair swap, the placement, 300 traces

TEST(FkFilter, MatchesTheNumpyFilterOfTheZeroPaddedGrid)
{
    const dsptest::Fixture fx("velocity.txt");
    std::vector<std::vector<double>> x;
    for (uint32_t t = 0; t < 6; ++t) x.push_back(dsptest::SignalLcg(8000 + t, 30));
    for (const char* name : {"fk_reject", "fk_pass"}) {
        Matrix2D<float> rows = Record(x, 30);
        CFkFilterDlg d = Dialog(fx.Get(std::string(name) + "_velocities"), name == std::string("fk_reject") ? 1 : 0);
        ASSERT_EQ(CFkFilterDlg::Filter(rows, 6, 30, 1.0, 2.0, d.Velocities(), d.fanMode), 1);
        const std::vector<double>& ref = fx.Get(name);
        const double peak = dsptest::MaxAbs(ref);
        for (int t = 0; t < 6; ++t) {
            for (int k = 0; k < 30; ++k) {
                EXPECT_NEAR(rows[t][k], ref[static_cast<size_t>(t * 30 + k)], 1e-5 * peak) << name << " " << t << " " << k;
            }
        }
    }
}

TEST(FkFilter, FanRejectRemovesThePositiveVelocityBandOnly)
{
    CFkFilterDlg d = Dialog({0.3, 1.5, 0.2, 1.6}, CFkFilterDlg::kFanReject);
    auto kept = [&](double v) {
        Matrix2D<float> m = LineEvent(48, 512, 2.0, v);
        const double before = Energy(m);
        EXPECT_EQ(CFkFilterDlg::Filter(m, 48, 512, 1.0, 2.0, d.Velocities(), d.fanMode), 1);
        return Energy(m) / before;
    };
    EXPECT_LE(kept(800.0), 0.10);
    EXPECT_GE(kept(-800.0), 0.95);
    EXPECT_GE(kept(0.0), 0.95);
}

TEST(FkFilter, RolesAndWeights)
{
    // Group "2" given the wrong way round: both pairs swap, and stay swapped for the next dialog.
    CFkFilterDlg d = Dialog({0.3, 1.5, 1.6, 0.2}, 0);
    d.OrderRoles();
    EXPECT_EQ(d.velocity1121, 1.5f);
    EXPECT_EQ(d.velocity1123, 0.3f);
    EXPECT_EQ(d.velocity1126, 0.2f);
    EXPECT_EQ(d.velocity1125, 1.6f);
    const FanVelocities v = d.Velocities();
    EXPECT_NEAR(v.v1, 1600.0, 1e-4);
    EXPECT_NEAR(v.v2, 300.0, 1e-4);
    EXPECT_NEAR(v.v3, 1500.0, 1e-4);

    // The default roles with Fan-reject: zero inside, tapers at the edges, one outside and for
    // every negative velocity.
    const FanVelocities r = Dialog({0.3, 1.5, 0.2, 1.6}, 1).Velocities();
    EXPECT_EQ(CFkFilterDlg::FanWeight(800.0, r, 1.0, 0.0), 0.0);
    EXPECT_EQ(CFkFilterDlg::FanWeight(-800.0, r, 1.0, 0.0), 1.0);
    EXPECT_EQ(CFkFilterDlg::FanWeight(1e9, r, 1.0, 0.0), 1.0);
    const double taper = CFkFilterDlg::FanWeight(250.0, r, 1.0, 0.0);
    EXPECT_GT(taper, 0.4);
    EXPECT_LT(taper, 0.6);
    EXPECT_NEAR(CFkFilterDlg::FanWeight(1550.0, r, 1.0, 0.0), 0.5, 1e-4);
    // Bins: 1 .. nx/2-1 negative velocities, nx/2 .. nx-1 positive.
    EXPECT_LT(CFkFilterDlg::ApparentVelocity(10.0, 0.01, 1, 256), 0.0);
    EXPECT_GT(CFkFilterDlg::ApparentVelocity(10.0, 0.01, 128, 256), 0.0);
    EXPECT_EQ(CFkFilterDlg::ApparentVelocity(10.0, 0.01, 0, 256), 1e9);
}

TEST(FkFilter, TracesComeBackInTheirOwnColumnsAndLargeRecordsAreFilteredWhole)
{
    // An all-pass filter returns the 48 traces unchanged: nothing leaks from the empty columns.
    Matrix2D<float> m(0, 47, 0, 99);
    std::vector<double> x;
    for (int t = 0; t < 48; ++t) {
        const std::vector<double> v = dsptest::SignalLcg(60 + static_cast<uint32_t>(t), 100);
        for (int k = 0; k < 100; ++k) m[t][k] = static_cast<float>(v[static_cast<size_t>(k)]);
    }
    const Matrix2D<float> before = m;
    const FanVelocities open{1e12, 1e12, -1e12, -1e12};
    ASSERT_EQ(CFkFilterDlg::Filter(m, 48, 100, 1.0, 2.0, open, CFkFilterDlg::kFanPass), 1);
    for (int t = 0; t < 48; ++t) {
        for (int k = 0; k < 100; ++k) ASSERT_NEAR(m[t][k], before[t][k], 1e-6) << t << " " << k;
    }
    EXPECT_EQ(CFkFilterDlg::PositionCount(256), 256);
    EXPECT_EQ(CFkFilterDlg::PositionCount(300), 512);
    EXPECT_EQ(CFkFilterDlg::TimeLength(1), 2);
    EXPECT_EQ(CFkFilterDlg::TimeLength(1000), 1024);

    // 300 traces: the rejected event is removed from every one of them.
    Matrix2D<float> wide = LineEvent(300, 512, 0.5, 800.0);
    std::vector<double> energy(300);
    for (int t = 0; t < 300; ++t) {
        for (int k = 0; k < 512; ++k) energy[static_cast<size_t>(t)] += wide[t][k] * wide[t][k];
    }
    const FanVelocities r = Dialog({0.3, 1.5, 0.2, 1.6}, 1).Velocities();
    ASSERT_EQ(CFkFilterDlg::Filter(wide, 300, 512, 1.0, 0.5, r, CFkFilterDlg::kFanReject), 1);
    for (int t = 20; t < 280; ++t) {
        double e = 0.0;
        for (int k = 0; k < 512; ++k) e += wide[t][k] * wide[t][k];
        EXPECT_LT(e, 0.2 * energy[static_cast<size_t>(t)]) << t;
    }
}

TEST(FkFilter, RefusesWhatItCannotGrid)
{
    Matrix2D<float> m(0, 1, 0, 9);
    m[0][3] = 1.0f;
    const FanVelocities r = Dialog({0.3, 1.5, 0.2, 1.6}, 1).Velocities();
    EXPECT_EQ(CFkFilterDlg::Filter(m, 2, 10, 1.0, 0.0, r, 1), 0);
    EXPECT_EQ(CFkFilterDlg::Filter(m, 2, 10, 0.0, 1.0, r, 1), 0);
    EXPECT_EQ(CFkFilterDlg::Filter(m, 0, 10, 1.0, 1.0, r, 1), 0);
    EXPECT_EQ(m[0][3], 1.0f);
}

TEST(FkFilter, DialogFieldsInExchangeOrder)
{
    CFkFilterDlg d;
    DialogRequest request = d.Request(-1);
    EXPECT_EQ(request.Title(), "Velocity filter (F-K)");
    ASSERT_EQ(request.Fields().size(), 5u);
    EXPECT_EQ(request.Fields()[0].Name(), CFkFilterDlg::kInnerLow);
    EXPECT_EQ(request.Fields()[2].Choices(), (std::vector<std::string>{"Fan-pass", "Fan-reject"}));
    EXPECT_EQ(request.Fields()[4].Name(), CFkFilterDlg::kOuterHigh);
}

// ---------------------------------------------------------------------------------------------
// Power spectrum and 2-D DFT

TEST(FkPowerSpectrum, IsTheScaledPowerOfTheUnscaledTransform)
{
    // One impulse at trace 0, sample 0: every cell of the unscaled transform is 1.
    Matrix2D<float> m(0, 15, 0, 63);
    m[0][0] = 1.0f;
    ASSERT_EQ(FkPowerSpectrum(m, 3, 64, 64, 16, 4), 1);
    for (int j = 0; j < 16; ++j) {
        for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(m[j][i], 1e6f) << j << " " << i;
    }
    EXPECT_EQ(FkPowerSpectrum(m, 3, 64, 64, 32, 4), 0);  // more wavenumbers than rows
}

TEST(FkArrays, Dft2dMagnitudeMatchesNumpy)
{
    const dsptest::Fixture fx("velocity.txt");
    CFkArraysDlg holder(5, 12);
    for (int r = 0; r < 5; ++r) {
        const std::vector<double> x = dsptest::SignalLcg(8200 + static_cast<uint32_t>(r), 12);
        EXPECT_EQ(holder.SetInputRow(x.data(), r, 12), 12);
    }
    holder.Dft2dMagnitude(5, 12);
    const std::vector<double>& ref = fx.Get("dft2d");
    std::vector<double> out(12);
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(holder.GetOutputRow(out.data(), r, 12), 12);
        for (int j = 0; j < 12; ++j) {
            // The holder's matrices are float: the result within 1e-9 of numpy, then rounded.
            const double expected = ref[static_cast<size_t>(r * 12 + j)];
            const auto f = static_cast<float>(expected);
            const double halfUlp = 0.5 * (std::nextafter(f, 1e30f) - f);
            EXPECT_LE(std::fabs(out[static_cast<size_t>(j)] - expected), halfUlp + 1e-9 * expected) << r << " " << j;
        }
    }

    // The impulse 2.0 at (0, 0) gives 2.0 everywhere.
    CFkArraysDlg impulse(4, 6);
    const double two = 2.0;
    impulse.SetInputRow(&two, 0, 1);
    impulse.Dft2dMagnitude(4, 6);
    for (int r = 0; r < 4; ++r) {
        for (int j = 0; j < 6; ++j) EXPECT_FLOAT_EQ(impulse.Output()[r][j], 2.0f);
    }
    const std::vector<double> many(99, 1.0);
    EXPECT_EQ(impulse.SetInputRow(many.data(), 4, 1), 0);   // no such row
    EXPECT_EQ(impulse.SetInputRow(many.data(), 0, 99), 6);  // the row's length
}

}  // namespace
}  // namespace velk
