#pragma once
// CCorrelationDlg: the values of the "Correlation function" dialog and the correlation and
// spectral-product routines that live under the dialog's name. The routines are static and
// use no state of an object: the correlation, deconvolution, trace-alignment, wavelet and
// surface-wave code call them without building a dialog.
//
// Conventions, as in fourier.h: complex spectra are separate arrays (real and imaginary parts,
// or amplitude and phase), zero-based unless a name ends in 1. Every spectral route through
// the Fourier-command FFT scales the forward transform by 1/N and leaves the inverse unscaled,
// so a product taken back to time carries 1/N against the plain sum. The correlation routes
// take the product Z = X1 conj(X2) back with the parts swapped (Im Z as the real input, Re Z as
// the imaginary input, the imaginary output kept), which is Re sum_k Z[k] e^(-2 pi i k n/N):
//     result[n] = (1/N) sum_m x1[m] x2[(m + n) mod N],
// so a peak at lag n means the second series is the first delayed by n samples.

#include <span>
#include <vector>

#include "base/matrix2d.h"

namespace velk {

class DialogRequest;

struct CCorrelationDlg {
    static constexpr const char* kClass = "CCorrelationDlg";
    static constexpr const char* kTitle = "Correlation function";

    // The dialog's values (template 171), in the dialog's order.
    float correlationLength = 10.0f;  // ms, edit 1171
    float standardDeviation = 1.0f;   // edit 1121
    int useCorrelationFunction = 1;   // check box 1172
    int normalize = 1;                // check box 1133
    int function = 0;                 // 0 Gaussian, 1 Exponential, 2 the unfinished third kind

    DialogRequest Request(int language);

    // ---- Circular products of real series (computed by FFT; exact sums up to rounding) ----

    // out[i] = sum_j x[j] y[(i + j) mod n], i = 0..n-1: a peak at i means y is x delayed by i.
    // n <= 0 does nothing. out may alias neither input.
    static void CircularCorrelation(const double* x, const double* y, double* out, int n);
    // out[i] = sum_m x[m] y[(i - m) mod n].
    static void CircularConvolution(const double* x, const double* y, double* out, int n);

    // ---- Spectral products per bin, bins 0..n-1 (outputs may alias inputs) ----

    // Polar form of X1 conj(X2): amplitude a1 a2, phase p1 - p2.
    static void CrossSpectrumPolar(int n, const double* a1, const double* p1, const double* a2,
                                   const double* p2, double* amplitude, double* phase);
    // Polar form of X1 X2: amplitude a1 a2, phase p1 + p2.
    static void ConvolveSpectraPolar(int n, const double* a1, const double* p1, const double* a2,
                                     const double* p2, double* amplitude, double* phase);
    // The same over bins 1..n.
    static void ConvolveSpectraPolar1(int n, const double* a1, const double* p1, const double* a2,
                                      const double* p2, double* amplitude, double* phase);
    // Amplitude and phase of X1 conj(X2) from rectangular spectra, in single precision
    // (CComplexMath).
    static void CrossSpectrumToPolar(int n, const double* re1, const double* im1, const double* re2,
                                     const double* im2, double* amplitude, double* phase);
    // Real and imaginary parts of X1 conj(X2), in single precision.
    static void CrossSpectrumRect(int n, const double* re1, const double* im1, const double* re2,
                                  const double* im2, double* outRe, double* outIm);
    static void CrossSpectrumRectFloat(int n, const float* re1, const float* im1, const float* re2,
                                       const float* im2, float* outRe, float* outIm);

    // ---- Correlation of store rows (the convention above) ----
    //
    // Each uses N = PowerOfTwoLength(n, 1) and the first n values of both rows, zero-filled to
    // N. A row index outside a matrix, or an output row shorter than what is written, makes
    // the routine write nothing and return 0; otherwise it returns N.

    // Through polar spectra; the first n lags into row outRow of outRows.
    static int CrossCorrelateRowsPolar(int n, int row1, int row2, int outRow, const Matrix2D<float>& rows,
                                       Matrix2D<float>& outRows);
    // The phase of X1 conj(X2) per bin (N values) into phase; the amplitude is not kept.
    static int CrossSpectrumRows(int n, std::span<const float> row1, std::span<const float> row2,
                                 std::span<double> phase);
    // Through rectangular spectra; all N lags into row 0 of rows (which may be row1 or row2).
    static int CrossCorrelateRows(int n, Matrix2D<float>& rows, int row1, int row2);
    // From two complex spectra of n bins (n a power of two) held as float rows of separate
    // real and imaginary matrices: the n lags into row 0 of out, in single precision.
    static int CorrelateRowsFloat(int n, const Matrix2D<float>& re, const Matrix2D<float>& im, int row1, int row2,
                                  Matrix2D<float>& out);
};

// Circular correlation or convolution of many real series with one reference of n samples, by
// FFT: the reference's spectrum is made once, and two series share every transform. With n a
// power of two the transform has length n; otherwise the linear product at a power of two of
// at least 2n - 1 points is folded modulo n.
class CircularProduct {
public:
    enum class Kind { Correlation, Convolution };

    // The reference's first n values (n >= 1).
    CircularProduct(Kind kind, const double* reference, int n);

    int Length() const { return n_; }
    // out = the product of the reference with y (n values each); out may be y.
    void Apply(const double* y, double* out);
    // Two series in one transform; outputs may be the inputs.
    void Apply(const double* y1, const double* y2, double* out1, double* out2);

private:
    Kind kind_;
    int n_;
    int length_;  // transform length
    int log2_;
    std::vector<double> refRe_, refIm_;  // the reference's spectrum (conjugated for correlation)
    std::vector<double> re_, im_;
};

// The index of the largest |values[i]|, the first one on ties; 0 for an empty span.
int FirstPeakIndex(std::span<const double> values);

}  // namespace velk
