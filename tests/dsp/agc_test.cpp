#include "dsp/agc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/fixture.h"

namespace velk {
namespace {

using dsptest::Fixture;

std::vector<double> Floats(const std::vector<double>& v)
{
    std::vector<double> out;
    for (double x : v) out.push_back(static_cast<float>(x));
    return out;
}

// lcg x exp(-j / tau) as floats, as the fixture makes it.
std::vector<double> Decaying(uint32_t seed, size_t n, double tau)
{
    std::vector<double> x = dsptest::SignalLcg(seed, n);
    for (size_t j = 0; j < n; ++j) x[j] = static_cast<float>(x[j] * std::exp(-static_cast<double>(j) / tau));
    return x;
}

double MaxError(const std::vector<double>& got, const std::vector<double>& ref)
{
    double e = 0.0;
    for (size_t i = 0; i < ref.size(); ++i) e = std::max(e, std::fabs(got[i] - ref[i]));
    return e;
}

TEST(Agc, GainIsOneWhereThePeakRatioReachesTheCriticalGain)
{
    // 10 dB: limit 3.1623. peak 10: e = 10 -> 1, e = 4 -> 2.5, e = 3.1622 -> 3.16..., e = 3.1 -> 1.0.
    std::vector<double> g = {10.0, 4.0, 10.0 / 3.1622, 10.0 / 3.1623, 3.1, 0.0, -2.0};
    CAgcDlg::ApplyAgc(g.data(), 10.0, static_cast<int>(g.size()));
    EXPECT_DOUBLE_EQ(g[0], 1.0);
    EXPECT_DOUBLE_EQ(g[1], 2.5);
    EXPECT_NEAR(g[2], 3.1622, 1e-12);
    EXPECT_EQ(g[3], 1.0);
    EXPECT_EQ(g[4], 1.0);
    EXPECT_EQ(g[5], 1.0);  // no envelope: 1e6, beyond every limit
    EXPECT_EQ(g[6], 1.0);
}

TEST(Agc, MedianIsTheUpperMiddleValue)
{
    const float four[] = {4, 1, 3, 2};
    EXPECT_EQ(CAgcDlg::MedianOfWindow(four, 4), 3.0f);
    const float five[] = {5, 1, 4, 2, 3};
    EXPECT_EQ(CAgcDlg::MedianOfWindow(five, 5), 3.0f);
    const float ties[] = {2, 2, 1, 2};
    EXPECT_EQ(CAgcDlg::MedianOfWindow(ties, 4), 2.0f);
    const float deep[] = {-200000.0f, -300000.0f, -150000.0f};
    EXPECT_EQ(CAgcDlg::MedianOfWindow(deep, 3), -100000.0f);  // never below the selection's floor
    EXPECT_EQ(CAgcDlg::MedianOfWindow(four, 0), 0.0f);
}

TEST(Agc, InstantaneousAgcMatchesNumpyWithTruncatedWindows)
{
    const Fixture fx("agc.txt");
    struct Case { std::vector<double> x; int window; const char* name; };
    const Case cases[] = {
        {Floats(dsptest::SignalLcg(9100, 300)), 10, "inst_21_0"},  // 10 samples are raised to 21
        {Decaying(9101, 300, 50.0), 21, "inst_21_1"},
        {Decaying(9102, 600, 100.0), 400, "inst_400"},
    };
    for (const Case& c : cases) {
        std::vector<double> y = c.x;
        CAgcDlg::ApplyInstantaneousAgc(y.data(), c.window, static_cast<int>(y.size()), 30.0);
        EXPECT_LE(MaxError(y, fx.Get(c.name)), 1e-6 * dsptest::MaxAbs(fx.Get(c.name))) << c.name;
    }
    // A dead trace stays dead (no 0/0), a single sample is not smoothed.
    std::vector<double> dead(50, 0.0);
    CAgcDlg::ApplyInstantaneousAgc(dead.data(), 21, 50, 30.0);
    for (double v : dead) EXPECT_EQ(v, 0.0);
    std::vector<double> one = {-0.5};
    CAgcDlg::ApplyInstantaneousAgc(one.data(), 21, 1, 30.0);
    EXPECT_EQ(one[0], -0.5);
}

TEST(Agc, ZavAgcTraceMatchesNumpy)
{
    const Fixture fx("agc.txt");
    const int n = 512;
    std::vector<double> curve(n / 2 + 1);
    CAgcDlg::ZavAgcCurve(n, 1.0f, 30.0f, 24.0f, curve.data());
    std::vector<double> re(n), im(n);
    const std::vector<double> inputs[] = {Floats(dsptest::SignalLcg(9000, 500)), Decaying(9002, 500, 100.0)};
    for (int t = 0; t < 2; ++t) {
        const std::vector<float> before(inputs[t].begin(), inputs[t].end());
        std::vector<float> out(n, -1.0f);
        CAgcDlg::ZavAgcTrace(before, out, n, curve.data(), 20.0, re.data(), im.data());
        const std::vector<double>& ref = fx.Get("zav_" + std::to_string(t));
        const double peak = dsptest::MaxAbs(ref);
        for (int j = 0; j < n; ++j) EXPECT_NEAR(out[static_cast<size_t>(j)], ref[static_cast<size_t>(j)], 1e-5 * peak) << t << " " << j;
    }
}

TEST(Agc, ZavCurveKeepsItsMeanAndEqualsTheOneHertzCurveAboveTwoHertzSteps)
{
    std::vector<double> ours(513), part(513);
    // 1024 x 0.25 ms: df 3.9 Hz, the 1 Hz low corner rounds to bin 0.
    CAgcDlg::ZavAgcCurve(1024, 0.25f, 50.0f, 20.0f, ours.data());
    CBandPassDlg::MakeSlopeFilter(513, 0.25f, 1.0f, 50.0f, 20.0f, 20.0f, part.data());
    EXPECT_EQ(ours, part);
    // 4096 x 1 ms: df 0.24 Hz, the 1 Hz corner would stop bin 0.
    std::vector<double> longer(2049);
    CAgcDlg::ZavAgcCurve(4096, 1.0f, 50.0f, 20.0f, longer.data());
    EXPECT_EQ(longer[0], 1.0);
    CBandPassDlg::MakeSlopeFilter(2049, 1.0f, 1.0f, 50.0f, 20.0f, 20.0f, longer.data());
    EXPECT_EQ(longer[0], 0.0);
}

// exp(-t/tau) sin(2 pi 30 t), tau a quarter of the record.
std::vector<float> DecayingSine(int n, double dtMs)
{
    std::vector<float> x(static_cast<size_t>(n));
    const double tau = n * dtMs / 4.0;
    for (int j = 0; j < n; ++j) {
        const double t = j * dtMs;
        x[static_cast<size_t>(j)] = static_cast<float>(std::exp(-t / tau) * std::sin(2.0 * std::numbers::pi * 30.0 * t / 1000.0));
    }
    return x;
}

std::vector<float> Zav(const std::vector<float>& x, double dtMs, double criticalDb, double lowCut)
{
    const int n = static_cast<int>(x.size());
    std::vector<double> curve(static_cast<size_t>(n / 2 + 1)), re(static_cast<size_t>(n)), im(static_cast<size_t>(n));
    CBandPassDlg::MakeSlopeFilter(n / 2 + 1, static_cast<float>(dtMs), static_cast<float>(lowCut), 50.0f, 20.0f, 20.0f,
                                  curve.data());
    std::vector<float> out(x.size());
    CAgcDlg::ZavAgcTrace(x, out, n, curve.data(), criticalDb, re.data(), im.data());
    return out;
}

int SignFlips(const std::vector<float>& x, const std::vector<float>& y)
{
    int flips = 0;
    for (size_t j = 0; j < x.size(); ++j) flips += (x[j] > 0 && y[j] < 0) || (x[j] < 0 && y[j] > 0);
    return flips;
}

TEST(Agc, ZavAgcOfALongRecordKeepsThePolarityAndFlattensTheEnvelope)
{
    struct Record { int n; double dt; };
    for (const Record r : {Record{4096, 1.0}, Record{2048, 0.5}}) {
        const std::vector<float> x = DecayingSine(r.n, r.dt);
        EXPECT_EQ(SignFlips(x, Zav(x, r.dt, 10.0, 0.0)), 0) << r.n;
        // With the fixed 1 Hz low corner the mean of the gain is lost and its sign swings.
        EXPECT_GT(SignFlips(x, Zav(x, r.dt, 10.0, 1.0)), r.n / 4) << r.n;

        // 60 dB: the peak of every 30 Hz period over the middle 80 % is within 20 % of their mean.
        const std::vector<float> y = Zav(x, r.dt, 60.0, 0.0);
        const int period = static_cast<int>(std::lround(1000.0 / 30.0 / r.dt));
        std::vector<double> peaks;
        for (int start = r.n / 10; start + period <= r.n - r.n / 10; start += period) {
            double m = 0.0;
            for (int j = start; j < start + period; ++j) m = std::max(m, std::fabs(static_cast<double>(y[static_cast<size_t>(j)])));
            peaks.push_back(m);
        }
        double mean = 0.0;
        for (double p : peaks) mean += p;
        mean /= static_cast<double>(peaks.size());
        for (double p : peaks) EXPECT_NEAR(p / mean, 1.0, 0.2) << r.n;
    }
}

}  // namespace
}  // namespace velk
