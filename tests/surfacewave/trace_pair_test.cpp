// Phase velocities from trace pairs, the coherence spectrum and the cross-correlation gather.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "tools/fake_launcher.h"
#include "surfacewave/phase_velocity_test_record.h"
#include "tools/scripted_uihost.h"
#include "surfacewave/phase_difference.h"
#include "surfacewave/phase_velocity_curve_dlg.h"
#include "surfacewave/trace_pair_kernels.h"
#include "survey/sibling_launch.h"

namespace velk {
namespace {

using testrecord::C0;

// The point count the dispersion program got ("-%d " after the name).
int QuessilPoints(const FakeLauncher& launcher)
{
    if (launcher.starts.empty()) return -1;
    const auto& args = launcher.starts.back().args;
    return args.size() > 2 ? std::stoi(args[2].substr(1)) : -1;
}

struct Fixture {
    ScriptedUiHost ui;
    FakeLauncher launcher;
    std::string quessil = "/opt/quessil";
    LaunchServices services{ui, launcher, "/tmp", 0};
    PairCurveContext dc{ui, 0, nullptr, nullptr, &quessil, &services};
};

TEST(PairCurves, PhaseDifferenceAndCorrelationAverageFollowTheDispersionLaw)
{
    const auto r = testrecord::Dispersive(false);
    Fixture fx;
    PhaseDifferenceParameters p;
    std::vector<float> v(600, -1.0f), f(600, -1.0f);

    fx.ui.CancelDialog(CPhaseVelocityCurveDlg::kClass);
    EXPECT_EQ(PhaseDifferenceCurve(fx.dc, p, r.rows, r.headers, r.traces, "a.sg2", v, f, 0), 0);
    EXPECT_EQ(v[1], -1.0f);

    fx.ui.AnswerDialog(CPhaseVelocityCurveDlg::kClass, {{CPhaseVelocityCurveDlg::kShowPhaseVelocityCurve, "1"}});
    ASSERT_EQ(PhaseDifferenceCurve(fx.dc, p, r.rows, r.headers, r.traces, "a.sg2", v, f, 0), 512);
    EXPECT_EQ(p.showPhaseVelocityCurve, 1);
    EXPECT_EQ(QuessilPoints(fx.launcher), 256);
    for (int k = 1; k < 512; ++k) {
        if (f[k] > 4.0f && f[k] < 40.0f) {
            EXPECT_NEAR(v[k], C0(f[k]), 0.005 * C0(f[k])) << f[k];
        } else {
            EXPECT_EQ(v[k], 0.0f) << f[k];
        }
    }
    // Later records of a run ask nothing.
    EXPECT_EQ(PhaseDifferenceCurve(fx.dc, p, r.rows, r.headers, r.traces, "a.sg2", v, f, 1), 512);

    std::fill(v.begin(), v.end(), 0.0f);
    ASSERT_EQ(CrossCorrelationAverageCurve(fx.dc, p, r.rows, r.headers, r.traces, "a.sg2", v, f, true), 255);
    for (int i = 0; i < 255; ++i) {
        if (f[i] >= 1.0f && f[i] <= 39.0f) {
            EXPECT_NEAR(v[i], C0(f[i]), 0.01 * C0(f[i])) << f[i];
        }
    }
}

TEST(PairCurves, ShowPhaseDifferenceUnwrapsThroughTwoPi)
{
    const auto r = testrecord::Dispersive(false, 12);
    Fixture fx;
    int nShift = 0;
    fx.ui.AnswerDialog(CPhaseVelocityCurveDlg::kClass, {{CPhaseVelocityCurveDlg::kAutomaticShift, "1"}});
    fx.ui.ExpectMessage(" Selected traces are 0.000000 m and 10.000000 m : 0 10 ");
    PairPhaseCurve curve;
    ASSERT_GT(ShowPhaseDifference(fx.dc, r.rows, r.headers, r.samples, r.intervalMs, 0, 10, nShift, "a.sg2", &curve),
              0);
    EXPECT_EQ(QuessilPoints(fx.launcher), 256);
    int checked = 0;
    for (size_t i = 0; i < curve.frequency.size(); ++i) {
        const double fk = curve.frequency[i];
        if (fk > 39.0) break;
        EXPECT_NEAR(curve.velocity[i], C0(fk), 0.01 * C0(fk)) << fk;
        ++checked;
    }
    EXPECT_GT(checked, 70);  // 2 pi f dx / c reaches 24.5 rad at 39 Hz: several turns
}

// A pulse travelling at 200 m/s over receivers 2 m apart, 1 ms sampling: 10 samples per spacing.
struct Pulse {
    explicit Pulse(int traces, int spacingCm = 200) : rows(0, traces - 1, 0, 511), headers(static_cast<size_t>(traces))
    {
        for (int t = 0; t < traces; ++t) {
            headers[static_cast<size_t>(t)].Set(t + 1, spacingCm * t, -100, 1, 1, 0.0f, 1000.0f, 512);
            for (int j = 0; j < 512; ++j) {
                const double u = (j - 40.0 - 10.0 * t) / 3.0;
                rows[t][j] = static_cast<float>(std::exp(-u * u) * (2.0 - 0.1 * t));
            }
            peaks.push_back(2.0f - 0.1f * t);
        }
    }
    Matrix2D<float> rows;
    std::vector<CTraceHeader> headers;
    std::vector<float> peaks;
};

bool SameRows(const Matrix2D<float>& a, const Matrix2D<float>& b)
{
    for (int i = a.RowLow(); i <= a.RowHigh(); ++i) {
        if (!std::equal(a.Row(i).begin(), a.Row(i).end(), b.Row(i).begin())) return false;
    }
    return true;
}

TEST(CrossCorrelationGather, RowPerLagPeaksAtTheMoveoutAndStacksEveryPair)
{
    Pulse a(8);
    ScriptedUiHost ui;
    ASSERT_EQ(CrossCorrelationGather(ui, 0, 8, a.rows, a.headers, a.peaks, 1), 8);
    for (int k = 0; k < 8; ++k) {
        const auto row = a.rows.Row(k);
        const auto peak = std::max_element(row.begin(), row.end()) - row.begin();
        EXPECT_EQ(peak, 10 * k) << k;
        EXPECT_NEAR(row[static_cast<size_t>(peak)], 8 - k, 1e-3) << k;  // pairs per lag
        EXPECT_EQ(a.headers[static_cast<size_t>(k)].receiverHundredths, 200 * k);
    }
    Pulse b(8);
    Pulse c(8);
    CrossCorrelationGather(ui, 0, 8, c.rows, c.headers, c.peaks, 4);
    CrossCorrelationGather(ui, 0, 8, b.rows, b.headers, b.peaks, 1);
    EXPECT_TRUE(SameRows(b.rows, c.rows));  // bit for bit

    Pulse d(8);
    d.headers[5].receiverHundredths += 1;
    const Pulse before = d;
    ui.ExpectMessage("Error : Receiver spacings are not unique !");
    EXPECT_EQ(CrossCorrelationGather(ui, 0, 8, d.rows, d.headers, d.peaks, 1), 0);
    EXPECT_TRUE(SameRows(d.rows, before.rows));
    EXPECT_EQ(d.headers[6].receiverHundredths, before.headers[6].receiverHundredths);
}

TEST(CoherenceSpectrum, DelayedCopyGivesTheCosineOfThePhase)
{
    Pulse p(2, 100);
    const int nfft = CoherenceOfRows(512, p.rows, 0, 1);
    ASSERT_EQ(nfft, 512);
    for (int k = 1; k < 60; ++k) {  // within the pulse's band
        EXPECT_NEAR(p.rows[0][k], std::cos(2 * std::numbers::pi * k * 10 / 512.0), 1e-3) << k;
    }
}

}  // namespace
}  // namespace velk
