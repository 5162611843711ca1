// The correlation kernels against numpy (tests/dsp/ref/correlation.txt).

#include "dsp/correlation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "dsp/fixture.h"
#include "dsp/fourier.h"

namespace velk {
namespace {

using dsptest::Fixture;
using dsptest::SignalLcg;

std::vector<double> Pick(const std::vector<double>& v, const std::vector<int>& idx)
{
    std::vector<double> out;
    for (int i : idx) out.push_back(v[static_cast<size_t>(i)]);
    return out;
}

double MaxError(const std::vector<double>& a, const std::vector<double>& b)
{
    double e = 0.0;
    for (size_t i = 0; i < b.size(); ++i) e = std::max(e, std::fabs(a[i] - b[i]));
    return e;
}

TEST(Correlation, CircularProductsMatchNumpyAtEveryLength)
{
    const Fixture fx("correlation.txt");
    for (int n : {8, 100, 1000, 1024}) {
        const auto x = SignalLcg(8000 + static_cast<uint32_t>(n), static_cast<size_t>(n));
        const auto y = SignalLcg(8001 + static_cast<uint32_t>(n), static_cast<size_t>(n));
        std::vector<double> corr(x.size()), conv(x.size());
        CCorrelationDlg::CircularCorrelation(x.data(), y.data(), corr.data(), n);
        CCorrelationDlg::CircularConvolution(x.data(), y.data(), conv.data(), n);
        std::vector<int> idx;
        if (fx.Has("idx_corr_" + std::to_string(n))) {
            idx = fx.Indices("idx_corr_" + std::to_string(n));
        } else {
            for (int i = 0; i < n; ++i) idx.push_back(i);
        }
        const std::string k = std::to_string(n);
        EXPECT_LE(MaxError(Pick(corr, idx), fx.Get("corr_" + k)), 1e-9 * fx.Scalar("peak_corr_" + k)) << n;
        EXPECT_LE(MaxError(Pick(conv, idx), fx.Get("conv_" + k)), 1e-9 * fx.Scalar("peak_conv_" + k)) << n;
    }
}

TEST(Correlation, SpectralProductsMatchNumpy)
{
    const Fixture fx("correlation.txt");
    std::vector<double> r1, i1, r2, i2;
    dsptest::ComplexInput(8100, 16, r1, i1);
    dsptest::ComplexInput(8101, 16, r2, i2);
    std::vector<double> a1(16), p1(16), a2(16), p2(16);
    for (size_t k = 0; k < 16; ++k) {
        a1[k] = std::hypot(r1[k], i1[k]);
        p1[k] = std::atan2(i1[k], r1[k]);
        a2[k] = std::hypot(r2[k], i2[k]);
        p2[k] = std::atan2(i2[k], r2[k]);
    }
    auto rect = [](const std::vector<double>& a, const std::vector<double>& p, size_t from = 0) {
        std::vector<double> re, im;
        for (size_t k = from; k < a.size(); ++k) {
            re.push_back(a[k] * std::cos(p[k]));
            im.push_back(a[k] * std::sin(p[k]));
        }
        return std::pair{re, im};
    };
    std::vector<double> amp(16), phase(16);
    CCorrelationDlg::CrossSpectrumPolar(16, a1.data(), p1.data(), a2.data(), p2.data(), amp.data(), phase.data());
    auto [cr, ci] = rect(amp, phase);
    EXPECT_LE(dsptest::MaxComplexError(cr, ci, fx.Get("spectra_cross_re"), fx.Get("spectra_cross_im")), 1e-12);

    CCorrelationDlg::ConvolveSpectraPolar(16, a1.data(), p1.data(), a2.data(), p2.data(), amp.data(), phase.data());
    auto [vr, vi] = rect(amp, phase);
    EXPECT_LE(dsptest::MaxComplexError(vr, vi, fx.Get("spectra_conv_re"), fx.Get("spectra_conv_im")), 1e-12);

    // One-based: the same over elements 1..n; element 0 is not touched.
    std::vector<double> b1{0.0}, q1{0.0}, b2{0.0}, q2{0.0}, amp1(17, -7.0), phase1(17, -7.0);
    b1.insert(b1.end(), a1.begin(), a1.end());
    q1.insert(q1.end(), p1.begin(), p1.end());
    b2.insert(b2.end(), a2.begin(), a2.end());
    q2.insert(q2.end(), p2.begin(), p2.end());
    CCorrelationDlg::ConvolveSpectraPolar1(16, b1.data(), q1.data(), b2.data(), q2.data(), amp1.data(), phase1.data());
    EXPECT_EQ(amp1[0], -7.0);
    EXPECT_EQ(std::vector<double>(amp1.begin() + 1, amp1.end()), amp);
    // Single precision.
    CCorrelationDlg::CrossSpectrumToPolar(16, r1.data(), i1.data(), r2.data(), i2.data(), amp.data(), phase.data());
    auto [sr, si] = rect(amp, phase);
    EXPECT_LE(dsptest::MaxComplexError(sr, si, fx.Get("spectra_cross_re"), fx.Get("spectra_cross_im")), 1e-6);
    std::vector<double> outRe(16), outIm(16);
    CCorrelationDlg::CrossSpectrumRect(16, r1.data(), i1.data(), r2.data(), i2.data(), outRe.data(), outIm.data());
    EXPECT_LE(dsptest::MaxComplexError(outRe, outIm, fx.Get("spectra_cross_re"), fx.Get("spectra_cross_im")), 1e-6);
    std::vector<float> f1(r1.begin(), r1.end()), g1(i1.begin(), i1.end()), f2(r2.begin(), r2.end()),
        g2(i2.begin(), i2.end()), fr(16), fi(16);
    CCorrelationDlg::CrossSpectrumRectFloat(16, f1.data(), g1.data(), f2.data(), g2.data(), fr.data(), fi.data());
    EXPECT_LE(dsptest::MaxComplexError(std::vector<double>(fr.begin(), fr.end()),
                                       std::vector<double>(fi.begin(), fi.end()), fx.Get("spectra_cross_re"),
                                       fx.Get("spectra_cross_im")),
              1e-6);
}

TEST(Correlation, RowKernelsPeakAtTheDelayOfTheSecondRow)
{
    const Fixture fx("correlation.txt");
    const auto x1 = SignalLcg(8200, 300);
    const auto& x2 = fx.Get("rows_x2");
    const auto& ref = fx.Get("rows_corr");  // N = 512 lags
    const double peak = dsptest::MaxAbs(ref);
    Matrix2D<float> rows(0, 3, 0, 511);
    for (int j = 0; j < 300; ++j) {
        rows[0][j] = static_cast<float>(x1[static_cast<size_t>(j)]);
        rows[1][j] = static_cast<float>(x2[static_cast<size_t>(j)]);
    }
    auto rowError = [&](const Matrix2D<float>& m, int row, int count) {
        double e = 0.0;
        for (int j = 0; j < count; ++j) e = std::max(e, std::fabs(m[row][j] - ref[static_cast<size_t>(j)]));
        return e;
    };
    auto rowPeak = [](const Matrix2D<float>& m, int row, int count) {
        std::vector<double> v(static_cast<size_t>(count));
        for (int j = 0; j < count; ++j) v[static_cast<size_t>(j)] = m[row][j];
        return FirstPeakIndex(v);
    };

    Matrix2D<float> out(0, 1, 0, 511);
    EXPECT_EQ(CCorrelationDlg::CrossCorrelateRowsPolar(300, 0, 1, 1, rows, out), 512);
    EXPECT_LE(rowError(out, 1, 300), 1e-6 * peak);
    EXPECT_EQ(rowPeak(out, 1, 300), 7);
    EXPECT_EQ(out[1][300], 0.0f);  // only n values are written

    Matrix2D<float> spectra = rows;
    EXPECT_EQ(CCorrelationDlg::CrossCorrelateRows(300, spectra, 0, 1), 512);
    EXPECT_LE(rowError(spectra, 0, 512), 1e-6 * peak);

    // The phase of X1 conj(X2) at bin 1 against a direct sum.
    std::vector<double> phase(512);
    EXPECT_EQ(CCorrelationDlg::CrossSpectrumRows(300, rows.Row(0), rows.Row(1), phase), 512);
    std::complex<double> a, b;
    for (int j = 0; j < 300; ++j) {
        const std::complex<double> w = std::polar(1.0, -2.0 * M_PI * j / 512.0);
        a += x1[static_cast<size_t>(j)] * w;
        b += x2[static_cast<size_t>(j)] * w;
    }
    EXPECT_NEAR(phase[1], std::arg(a * std::conj(b)), 1e-5);

    // From float spectra (scaled 1/N, as the Fourier command leaves them).
    Matrix2D<float> re(0, 1, 0, 511), im(0, 1, 0, 511);
    for (int r = 0; r < 2; ++r) {
        std::vector<double> sr(512, 0.0), si(512, 0.0);
        for (int j = 0; j < 300; ++j) sr[static_cast<size_t>(j)] = rows[r][j];
        CFourier::Fft(sr.data(), si.data(), 512, 0, 0);
        for (int k = 0; k < 512; ++k) {
            re[r][k] = static_cast<float>(sr[static_cast<size_t>(k)]);
            im[r][k] = static_cast<float>(si[static_cast<size_t>(k)]);
        }
    }
    Matrix2D<float> lags(0, 0, 0, 511);
    EXPECT_EQ(CCorrelationDlg::CorrelateRowsFloat(512, re, im, 0, 1, lags), 512);
    EXPECT_LE(rowError(lags, 0, 512), 1e-6 * peak);

    // Rows outside the matrices: nothing written.
    EXPECT_EQ(CCorrelationDlg::CrossCorrelateRowsPolar(300, 0, 9, 0, rows, out), 0);
    EXPECT_EQ(CCorrelationDlg::CorrelateRowsFloat(300, re, im, 0, 1, lags), 0);
}

}  // namespace
}  // namespace velk
