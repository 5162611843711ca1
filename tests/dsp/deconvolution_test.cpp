// The deconvolution solvers and operator design, and the spline of the re-sampling, against
// numpy/scipy (tests/dsp/ref/deconvolution_ref.py).

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/deconvolution.h"
#include "dsp/fixture.h"
#include "dsp/resampling.h"
#include "dsp/least_squares.h"

namespace velk {
namespace {

using dsptest::Fixture;
using dsptest::SignalLcg;
using Dlg = CDeconvolutionDlg;

const Fixture& Ref()
{
    static const Fixture f("deconvolution.txt");
    return f;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, double tol)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i], want[i], tol) << "at " << i;
    }
}

// Done when: Levinson, Gauss and the conjugate gradients against numpy; prewhitening.
TEST(Deconvolution, SolversMatchNumpy)
{
    const std::vector<double> r = Ref().Get("toeplitz_r");
    const int n = static_cast<int>(r.size());
    std::vector<double> spike(r.size(), 0.0), f(r.size());
    spike[0] = 1.0;
    ASSERT_EQ(CConjugateGradientDlg::SolveToeplitz(r.data(), spike.data(), f.data(), n), 0);
    const double scale = dsptest::MaxAbs(Ref().Get("levinson_spike"));
    ExpectNear(f, Ref().Get("levinson_spike"), 1e-10 * scale);
    const std::vector<double> g = SignalLcg(12, r.size());
    ASSERT_EQ(CConjugateGradientDlg::SolveToeplitz(r.data(), g.data(), f.data(), n), 0);
    ExpectNear(f, Ref().Get("levinson_general"), 1e-10 * dsptest::MaxAbs(Ref().Get("levinson_general")));

    // Gauss through the operator design (p = 0): the design divides by the largest lag and
    // scales back, so it solves the same system.
    std::vector<double> op = r;
    ASSERT_EQ(ComputeWienerOperator(op.data(), n, Dlg::kGauss, 0.0), 0);
    ExpectNear(op, Ref().Get("gauss_spike"), 1e-10 * scale);

    // r = (2, 1) gives (2/3, -1/3).
    const double r2[2] = {2.0, 1.0}, g2[2] = {1.0, 0.0};
    double f2[2];
    ASSERT_EQ(CConjugateGradientDlg::SolveToeplitz(r2, g2, f2, 2), 0);
    EXPECT_NEAR(f2[0], 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(f2[1], -1.0 / 3.0, 1e-15);

    // 5 % of the largest lag 2.0 makes lag 0 2.1 for every method.
    for (int method : {Dlg::kGauss, Dlg::kConjugateGradient, Dlg::kLevinson}) {
        double w[2] = {2.0, 1.0};
        ASSERT_EQ(ComputeWienerOperator(w, 2, method, 5.0), 0) << method;
        const double det = 2.1 * 2.1 - 1.0;
        EXPECT_NEAR(w[0], 2.1 / det, 1e-6) << method;
        EXPECT_NEAR(w[1], -1.0 / det, 1e-6) << method;
    }
}

TEST(Deconvolution, ConjugateGradientsStopRules)
{
    const std::vector<double> a = SignalLcg(13, 400);
    std::vector<double> m(400);
    for (int i = 0; i < 20; ++i) {
        for (int j = 0; j < 20; ++j) {
            m[i * 20 + j] = (a[i * 20 + j] + a[j * 20 + i]) * 0.1 + (i == j ? 4.0 : 0.0);
        }
    }
    std::vector<double> b = Ref().Get("cg_b"), x0(20, 0.0), history(50);
    const int stop = CConjugateGradientDlg::Solve(m.data(), 20, b.data(), x0.data(), history.data(), 20, 50);
    EXPECT_GT(stop, 0);
    EXPECT_LT(history[static_cast<size_t>(stop)] * history[static_cast<size_t>(stop)], 0.00001);
    ExpectNear(b, Ref().Get("cg_x"), 1e-3);

    // A non-symmetric indefinite system: the residual more than doubles after the fourth
    // iteration and the iteration stops there.
    const std::vector<double> wild = SignalLcg(15, 900);
    std::vector<double> rhs(30, 1.0), start(30, 0.0), h(50);
    const int s = CConjugateGradientDlg::Solve(wild.data(), 30, rhs.data(), start.data(), h.data(), 30, 50);
    ASSERT_GT(s, 3);
    EXPECT_GT(h[static_cast<size_t>(s)], 2.0 * h[static_cast<size_t>(s - 1)]);

    // The Gauss solver's codes.
    std::vector<double> singular = {1.0, 2.0, 0.0, 2.0, 4.0, 0.0};
    std::vector<double> rhs2 = {1.0, 1.0};
    EXPECT_EQ(CLeastSquaresDlg::SolveAugmented(singular, 3, rhs2, 2), CLeastSquaresDlg::kSingular);
    EXPECT_EQ(CLeastSquaresDlg::SolveAugmented(singular, 3, rhs2, 1), CLeastSquaresDlg::kInvalid);
}

// Done when: the n rules and the dead trace.
TEST(Deconvolution, OperatorLengthRulesAndDeadTrace)
{
    EXPECT_EQ(OperatorSamples(10.0f, 1.0f, Dlg::kLevinson, 1024), 10);
    EXPECT_EQ(OperatorSamples(300.0f, 1.0f, Dlg::kGauss, 1024), 200);
    EXPECT_EQ(OperatorSamples(300.0f, 1.0f, Dlg::kConjugateGradient, 1024), 200);
    EXPECT_EQ(OperatorSamples(300.0f, 1.0f, Dlg::kLevinson, 1024), 201);
    EXPECT_EQ(OperatorSamples(2e6f, 1.0f, Dlg::kLevinson, 1024), 201);
    EXPECT_EQ(OperatorSamples(300.0f, 1.0f, Dlg::kLevinson, 64), 64);
    EXPECT_EQ(OperatorSamples(1.0f, 1.0f, Dlg::kLevinson, 64), 1);
    EXPECT_EQ(OperatorSamples(10.0f, 0.0f, Dlg::kLevinson, 64), 0);

    for (int method : {Dlg::kGauss, Dlg::kConjugateGradient, Dlg::kLevinson}) {
        std::vector<double> dead(10, 0.0);
        EXPECT_LT(ComputeWienerOperator(dead.data(), 10, method, 1.0), 0);
        for (double v : dead) {
            EXPECT_EQ(v, 0.0);
        }
        double one[1] = {1.0};
        EXPECT_LT(ComputeWienerOperator(one, 1, method, 1.0), 0);
    }
    // A lag 0 of zero with others non-zero: Levinson refuses instead of dividing by 0.
    const double r[3] = {0.0, 1.0, 0.5}, g[3] = {1.0, 0.0, 0.0};
    double f[3];
    EXPECT_LT(CConjugateGradientDlg::SolveToeplitz(r, g, f, 3), 0);
}

// Done when: the spline against an independent banded solve, lines and parabolas, not-a-knot.
TEST(Resampling, SplineMatchesScipy)
{
    const std::vector<double> x = Ref().Get("spline_x");
    const std::vector<double> y = SignalLcg(22, x.size());
    const int n = static_cast<int>(x.size());
    std::vector<double> h(x.size()), M(x.size());
    ASSERT_EQ(CResamplingDlg::SplineSecondDerivatives(x.data(), y.data(), n, h.data(), M.data()), 0);
    ExpectNear(M, Ref().Get("spline_m"), 1e-9);
    const std::vector<double> xq = Ref().Get("spline_xq");
    const std::vector<double> want = Ref().Get("spline_value");
    for (size_t i = 0; i < xq.size(); ++i) {
        double v = -7.0;
        ASSERT_EQ(CResamplingDlg::SplineValue(x.data(), y.data(), n, xq[i], &v), 0);
        EXPECT_NEAR(v, want[i], 1e-9) << i;
    }
    // Resample walks the intervals once and gives the same values as SplineValue.
    std::vector<double> ox(300), oy(300);
    CResamplingDlg::Resample(x.data(), y.data(), n, ox.data(), oy.data(), 300, 0.1);
    for (int i = 0; i < 300; ++i) {
        double v = 0.0;
        if (CResamplingDlg::SplineValue(x.data(), y.data(), n, ox[static_cast<size_t>(i)], &v) == 0) {
            EXPECT_EQ(oy[static_cast<size_t>(i)], v) << i;
        }
    }
    // Beyond the last knot the last value stays; outside and invalid codes.
    double v = 5.0;
    EXPECT_EQ(CResamplingDlg::SplineValue(x.data(), y.data(), n, x.back() + 1.0, &v), 99);
    EXPECT_EQ(v, 5.0);
    EXPECT_EQ(CResamplingDlg::SplineValue(x.data(), y.data(), 2, 0.1, &v), 999);
    const double unordered[4] = {0.0, 2.0, 1.0, 3.0};
    EXPECT_EQ(CResamplingDlg::SplineValue(unordered, y.data(), 4, 0.5, &v), 999);

    // Straight lines and parabolas (the end conditions hold for constant curvature).
    std::vector<double> kx(12), line(12), para(12);
    for (int k = 0; k < 12; ++k) {
        kx[k] = k * 0.7;
        line[k] = 3.0 - 2.0 * kx[k];
        para[k] = 1.0 + 0.5 * kx[k] - 0.25 * kx[k] * kx[k];
    }
    for (double q = 0.0; q <= kx.back(); q += 0.13) {
        double a = 0.0, b = 0.0;
        ASSERT_EQ(CResamplingDlg::SplineValue(kx.data(), line.data(), 12, q, &a), 0);
        ASSERT_EQ(CResamplingDlg::SplineValue(kx.data(), para.data(), 12, q, &b), 0);
        EXPECT_NEAR(a, 3.0 - 2.0 * q, 1e-12);
        EXPECT_NEAR(b, 1.0 + 0.5 * q - 0.25 * q * q, 1e-12);
    }

    // A sine of 16 samples per period: within 1e-3 of not-a-knot away from the ends.
    std::vector<double> t(64), s(64);
    for (int k = 0; k < 64; ++k) {
        t[k] = k;
        s[k] = std::sin(2.0 * M_PI * k / 16.0);
    }
    const std::vector<double> nak = Ref().Get("sine_notaknot");
    std::vector<double> tx(nak.size()), ty(nak.size());
    CResamplingDlg::Resample(t.data(), s.data(), 64, tx.data(), ty.data(), static_cast<int>(nak.size()), 0.25);
    for (size_t i = 0; i < nak.size(); ++i) {
        if (tx[i] >= 8.0 && tx[i] <= 55.0) {
            EXPECT_NEAR(ty[i], nak[i], 1e-3) << tx[i];
        }
    }
}

}  // namespace
}  // namespace velk
