#pragma once
// Spiking deconvolution by a Wiener (least-squares inverse) operator: the dialog's fields, the
// remembered values, the three solvers of the Toeplitz normal equations and the operator
// design. The commands are in app/dsp/deconvolution_commands.h.
//
// Autocorrelation convention: the forward transform is scaled 1/L and the inverse unscaled, so
// lag k is (1/L) sum_m x[m] x[m + k] over a circular series of L points.

#include <string>
#include <vector>

namespace velk {

class DialogRequest;

// The values the three commands share for the run.
struct DeconvolutionSettings {
    int method = 2;                 // 0 Gauss, 1 conjugate gradient, 2 Levinson
    float prewhitening = 1.0f;      // % of the largest lag added to lag 0
    float operatorLength = -1.0f;   // ms; negative: 100 x the sample interval
};

// Dialog 196 "Deconvolution".
struct CDeconvolutionDlg {
    static constexpr const char* kClass = "CDeconvolutionDlg";
    static constexpr const char* kTitle = "Deconvolution";
    static constexpr int kGauss = 0;
    static constexpr int kConjugateGradient = 1;
    static constexpr int kLevinson = 2;

    int method = -1;
    float prewhitening = 0.0f;    // %, 0 .. 100
    float operatorLength = 0.0f;  // ms

    // Fields "Method" (radio: "Gauss method", "Conjugate gradient", "Levinson's method"),
    // "Pre-whitening" and "Opelator length".
    DialogRequest Request();
};

// Dialog 197 "Conjugate gradient" (OK and Cancel only, never shown): the owner of the two
// iterative solvers.
struct CConjugateGradientDlg {
    // Solves M x = b by conjugate gradients, M applied as MultiplyTransposed (row-major n x n,
    // rowStride values a row). x starts at x0; history[i] (maxIterations values) receives the
    // residual norm of iteration i. Stops on convergence (squared norm below 0.00001) or
    // divergence (after the fourth iteration, the norm more than twice the previous one), and
    // returns that iteration; 0 when every iteration ran. b receives the iterate in every case
    // but one: when d.q is 0 or not finite the step is impossible, b is left as it was and the
    // result is -1.
    static int Solve(const double* matrix, int rowStride, double* b, const double* x0, double* history, int n,
                     int maxIterations);

    // Levinson recursion for sum_j r[|i - j|] f[j] = g[i], i < n (n >= 2). Returns 0, or -1
    // when r[0], a denominator or a reflection divisor is 0 or not finite, or the solution is
    // not finite; f is then unspecified.
    static int SolveToeplitz(const double* r, const double* g, double* f, int n);
};

// Unknowns of the operator for a length in ms at an interval in ms: trunc(length / interval),
// Gauss and conjugate gradient above 201 become 200, Levinson above 201 becomes 201, and never
// more than maxLength (the command's transform length). 0 when the interval is not above 0 or
// a value is not finite; the caller refuses any result below 2.
int OperatorSamples(float operatorLengthMs, float intervalMs, int method, int maxLength);

// The first lagCount lags of the circular autocorrelation of x[0..count-1] zero-filled to L
// points (L a power of two, count and lagCount at most L). re and im are work arrays of L.
void Autocorrelation(const float* x, int count, int L, double* lags, int lagCount, double* re, double* im);

// r[0..n-1] holds the lags on entry and the operator on return: the solution of the Toeplitz
// system with p % of max|r| added to lag 0 and the spike (1, 0, ..., 0) on the right. The
// system is divided by the largest lag first so that the Gauss solver's pivot tolerance and
// the conjugate gradients' stop rule do not depend on the amplitude of the data; the solution
// is scaled back. Returns 0 on success; a negative status when the solver fails, the lags are
// all 0 or not finite, or n is below 2 (r is then left as it was). n above the method's cap
// (see OperatorSamples) is lowered to it.
int ComputeWienerOperator(double* r, int n, int method, double prewhitening);

// "Wiener.txt": one line per lag, the lag number and then that lag of every operator, C locale.
std::string WienerOperatorText(const std::vector<std::vector<double>>& operators);

}  // namespace velk
