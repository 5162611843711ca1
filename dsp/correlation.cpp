#include "dsp/correlation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "dsp/band_pass.h"
#include "dsp/complex_math.h"
#include "dsp/fft_engine.h"
#include "dsp/fourier.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

int Log2(int n)
{
    int m = 0;
    while ((1 << m) < n) {
        ++m;
    }
    return m;
}

bool HasRow(const Matrix2D<float>& m, int row) { return !m.Empty() && row >= m.RowLow() && row <= m.RowHigh(); }

// Copies the first n values of a row (as far as it goes) into re, zeros up to N, and zeros im.
void PackRow(std::span<const float> row, int n, int N, double* re, double* im)
{
    CBandPassDlg::PackRowComplex(row, n, N, re, im);
}

// The inverse of a correlation product with swapped parts: (re, im) hold Z; afterwards re
// holds Re sum_k Z[k] e^(-2 pi i k n/N) (the imaginary output of the swapped transform).
void SwappedInverse(double* re, double* im, int N)
{
    CFourier::Fft(im, re, N, 0, 1);  // imaginary parts in the real slot and the reverse
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Circular products

CircularProduct::CircularProduct(Kind kind, const double* reference, int n)
    : kind_(kind), n_(std::max(n, 1))
{
    length_ = IsPowerOfTwo(n_) ? n_ : 1 << Log2(2 * n_ - 1);
    log2_ = Log2(length_);
    refRe_.assign(static_cast<size_t>(length_), 0.0);
    refIm_.assign(static_cast<size_t>(length_), 0.0);
    std::copy(reference, reference + n_, refRe_.begin());
    if (log2_ >= 1) {
        fft_engine::Transform(refRe_.data(), refIm_.data(), log2_, false, 1.0);
    }
    if (kind_ == Kind::Correlation) {
        for (double& v : refIm_) {
            v = -v;
        }
    }
    re_.resize(static_cast<size_t>(length_));
    im_.resize(static_cast<size_t>(length_));
}

void CircularProduct::Apply(const double* y, double* out) { Apply(y, nullptr, out, nullptr); }

void CircularProduct::Apply(const double* y1, const double* y2, double* out1, double* out2)
{
    const size_t n = static_cast<size_t>(n_);
    const size_t L = static_cast<size_t>(length_);
    std::fill(re_.begin(), re_.end(), 0.0);
    std::fill(im_.begin(), im_.end(), 0.0);
    std::copy(y1, y1 + n, re_.begin());
    if (y2) {
        std::copy(y2, y2 + n, im_.begin());
    }
    if (log2_ >= 1) {
        // Both series are real, so one complex transform carries two: the product with the
        // reference's spectrum is linear, and the two results come back as the real and the
        // imaginary parts.
        fft_engine::Transform(re_.data(), im_.data(), log2_, false, 1.0);
        for (size_t k = 0; k < L; ++k) {
            const double a = re_[k], b = im_[k];
            re_[k] = a * refRe_[k] - b * refIm_[k];
            im_[k] = a * refIm_[k] + b * refRe_[k];
        }
        fft_engine::Transform(re_.data(), im_.data(), log2_, true, 1.0 / static_cast<double>(L));
    } else {
        re_[0] *= refRe_[0];
        im_[0] *= refRe_[0];
    }
    auto fold = [&](const std::vector<double>& q, double* out) {
        if (L == n) {
            std::copy(q.begin(), q.begin() + static_cast<std::ptrdiff_t>(n), out);
            return;
        }
        if (kind_ == Kind::Correlation) {
            // Lags 0..n-1 at their own index, lags -(n-1)..-1 at the top of the transform.
            out[0] = q[0];
            for (size_t i = 1; i < n; ++i) {
                out[i] = q[i] + q[L - n + i];
            }
        } else {
            // Linear terms 0..2n-2: term i + n wraps onto i.
            for (size_t i = 0; i + 1 < n; ++i) {
                out[i] = q[i] + q[i + n];
            }
            out[n - 1] = q[n - 1];
        }
    };
    fold(re_, out1);
    if (y2 && out2) {
        fold(im_, out2);
    }
}

void CCorrelationDlg::CircularCorrelation(const double* x, const double* y, double* out, int n)
{
    if (n <= 0) {
        return;
    }
    CircularProduct(CircularProduct::Kind::Correlation, x, n).Apply(y, out);
}

void CCorrelationDlg::CircularConvolution(const double* x, const double* y, double* out, int n)
{
    if (n <= 0) {
        return;
    }
    CircularProduct(CircularProduct::Kind::Convolution, x, n).Apply(y, out);
}

int FirstPeakIndex(std::span<const double> values)
{
    int best = 0;
    double peak = -1.0;
    for (size_t i = 0; i < values.size(); ++i) {
        const double a = std::fabs(values[i]);
        if (a > peak) {
            peak = a;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// ---------------------------------------------------------------------------------------------
// Spectral products

void CCorrelationDlg::CrossSpectrumPolar(int n, const double* a1, const double* p1, const double* a2,
                                         const double* p2, double* amplitude, double* phase)
{
    for (int i = 0; i < n; ++i) {
        const double a = a1[i] * a2[i];
        const double p = p1[i] - p2[i];
        amplitude[i] = a;
        phase[i] = p;
    }
}

void CCorrelationDlg::ConvolveSpectraPolar(int n, const double* a1, const double* p1, const double* a2,
                                           const double* p2, double* amplitude, double* phase)
{
    for (int i = 0; i < n; ++i) {
        const double a = a1[i] * a2[i];
        const double p = p1[i] + p2[i];
        amplitude[i] = a;
        phase[i] = p;
    }
}

void CCorrelationDlg::ConvolveSpectraPolar1(int n, const double* a1, const double* p1, const double* a2,
                                            const double* p2, double* amplitude, double* phase)
{
    if (n <= 0) {
        return;
    }
    ConvolveSpectraPolar(n, a1 + 1, p1 + 1, a2 + 1, p2 + 1, amplitude + 1, phase + 1);
}

void CCorrelationDlg::CrossSpectrumToPolar(int n, const double* re1, const double* im1, const double* re2,
                                           const double* im2, double* amplitude, double* phase)
{
    for (int i = 0; i < n; ++i) {
        const ComplexPair z = CComplexMath::Mul(static_cast<float>(re1[i]), static_cast<float>(im1[i]),
                                                static_cast<float>(re2[i]), -static_cast<float>(im2[i]));
        const ComplexPair polar = CComplexMath::ToPolar(z.re, z.im);
        amplitude[i] = polar.re;
        phase[i] = polar.im;
    }
}

void CCorrelationDlg::CrossSpectrumRect(int n, const double* re1, const double* im1, const double* re2,
                                        const double* im2, double* outRe, double* outIm)
{
    for (int i = 0; i < n; ++i) {
        const ComplexPair z = CComplexMath::Mul(static_cast<float>(re1[i]), static_cast<float>(im1[i]),
                                                static_cast<float>(re2[i]), -static_cast<float>(im2[i]));
        outRe[i] = z.re;
        outIm[i] = z.im;
    }
}

void CCorrelationDlg::CrossSpectrumRectFloat(int n, const float* re1, const float* im1, const float* re2,
                                             const float* im2, float* outRe, float* outIm)
{
    for (int i = 0; i < n; ++i) {
        const ComplexPair z = CComplexMath::Mul(re1[i], im1[i], re2[i], -im2[i]);
        outRe[i] = z.re;
        outIm[i] = z.im;
    }
}

// ---------------------------------------------------------------------------------------------
// Rows

int CCorrelationDlg::CrossCorrelateRowsPolar(int n, int row1, int row2, int outRow, const Matrix2D<float>& rows,
                                             Matrix2D<float>& outRows)
{
    if (n <= 0 || !HasRow(rows, row1) || !HasRow(rows, row2) || !HasRow(outRows, outRow) ||
        outRows.Cols() < static_cast<size_t>(n)) {
        return 0;
    }
    const int N = PowerOfTwoLength(n, 1);
    std::vector<double> re1(static_cast<size_t>(N)), im1(re1.size()), re2(re1.size()), im2(re1.size());
    PackRow(rows.Row(row1), n, N, re1.data(), im1.data());
    PackRow(rows.Row(row2), n, N, re2.data(), im2.data());
    CFourier::Fft(re1.data(), im1.data(), N, 0, 0);
    CFourier::Fft(re2.data(), im2.data(), N, 0, 0);
    CBandPassDlg::RectToPolar(N, re1.data(), im1.data());
    CBandPassDlg::RectToPolar(N, re2.data(), im2.data());
    CrossSpectrumPolar(N, re1.data(), im1.data(), re2.data(), im2.data(), re1.data(), im1.data());
    CBandPassDlg::PolarToRect(N, re1.data(), im1.data());
    SwappedInverse(re1.data(), im1.data(), N);
    CBandPassDlg::UnpackRowReal(outRows.Row(outRow), n, re1.data());
    return N;
}

int CCorrelationDlg::CrossSpectrumRows(int n, std::span<const float> row1, std::span<const float> row2,
                                       std::span<double> phase)
{
    if (n <= 0) {
        return 0;
    }
    const int N = PowerOfTwoLength(n, 1);
    if (phase.size() < static_cast<size_t>(N)) {
        return 0;
    }
    std::vector<double> re1(static_cast<size_t>(N)), im1(re1.size()), re2(re1.size()), im2(re1.size());
    PackRow(row1, n, N, re1.data(), im1.data());
    PackRow(row2, n, N, re2.data(), im2.data());
    CFourier::Fft(re1.data(), im1.data(), N, 0, 0);
    CFourier::Fft(re2.data(), im2.data(), N, 0, 0);
    CrossSpectrumToPolar(N, re1.data(), im1.data(), re2.data(), im2.data(), re1.data(), phase.data());
    return N;
}

int CCorrelationDlg::CrossCorrelateRows(int n, Matrix2D<float>& rows, int row1, int row2)
{
    if (n <= 0 || !HasRow(rows, row1) || !HasRow(rows, row2) || !HasRow(rows, 0)) {
        return 0;
    }
    const int N = PowerOfTwoLength(n, 1);
    if (rows.Cols() < static_cast<size_t>(N)) {
        return 0;
    }
    std::vector<double> re1(static_cast<size_t>(N)), im1(re1.size()), re2(re1.size()), im2(re1.size());
    PackRow(rows.Row(row1), n, N, re1.data(), im1.data());
    PackRow(rows.Row(row2), n, N, re2.data(), im2.data());
    CFourier::Fft(re1.data(), im1.data(), N, 0, 0);
    CFourier::Fft(re2.data(), im2.data(), N, 0, 0);
    CrossSpectrumRect(N, re1.data(), im1.data(), re2.data(), im2.data(), re1.data(), im1.data());
    SwappedInverse(re1.data(), im1.data(), N);
    CBandPassDlg::UnpackRowReal(rows.Row(0), N, re1.data());
    return N;
}

int CCorrelationDlg::CorrelateRowsFloat(int n, const Matrix2D<float>& re, const Matrix2D<float>& im, int row1,
                                        int row2, Matrix2D<float>& out)
{
    if (!IsPowerOfTwo(n) || n < 2 || !HasRow(re, row1) || !HasRow(re, row2) || !HasRow(im, row1) ||
        !HasRow(im, row2) || !HasRow(out, 0) || re.Cols() < static_cast<size_t>(n) ||
        im.Cols() < static_cast<size_t>(n) || out.Cols() < static_cast<size_t>(n)) {
        return 0;
    }
    std::vector<float> zr(static_cast<size_t>(n)), zi(zr.size());
    CrossSpectrumRectFloat(n, re.Row(row1).data(), im.Row(row1).data(), re.Row(row2).data(), im.Row(row2).data(),
                           zr.data(), zi.data());
    CFourier::FftFloat(zi.data(), zr.data(), n, 0, 1);  // swapped parts; zr holds the result
    std::copy(zr.begin(), zr.end(), out.Row(0).begin());
    return n;
}

// ---------------------------------------------------------------------------------------------
// The dialog's fields for the UiHost dialog road; its window is the generic form.

DialogRequest CCorrelationDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, kTitle, "相関関数"));
    request.Float("Correlation length", correlationLength).Label(Msg(language, "Correlation length", "相関長")).Unit("msec");
    request.Float("Standard deviation", standardDeviation).Label(Msg(language, "Standard deviation", "標準偏差"));
    request.Bool("Use correlation function", useCorrelationFunction)
        .Label(Msg(language, "Use correlation function", "相関関数を使う"));
    request.Bool("Normalize correlation functions", normalize)
        .Label(Msg(language, "Normalize correlation functions", "相関関数を正規化する"));
    request.Choice("Function", function,
                   {Msg(language, "Gaussian", "ガウス型"), Msg(language, "Exponential", "指数型"),
                    Msg(language, "under construction", "工事中")})
        .Label(Msg(language, "Function", "関数"));
    return request;
}

}  // namespace velk
