#pragma once
// Re-sampling by a cubic spline: dialog 199's field and the spline routines that live under its
// name. The re-sampling and interpolation commands are in app/dsp/resampling_commands.h.
//
// The spline's end conditions are M[0] = M[1] and M[n-1] = M[n-2] (equal second derivatives
// in the first two and in the last two knots).

namespace velk {

class DialogRequest;

struct CResamplingDlg {
    static constexpr const char* kClass = "CResamplingDlg";
    static constexpr const char* kTitle = "Re-sampling";

    // SplineValue codes.
    static constexpr int kValue = 0;
    static constexpr int kOutside = 99;   // xq lies in no interval; out unchanged
    static constexpr int kInvalid = 999;  // n <= 2, n > kMaxKnots, or abscissae not increasing

    static constexpr int kMaxKnots = 2000000;

    float samplingTime = 0.0f;  // ms, preset by the command to the current interval

    // Field "Sampling time" ("Sampling time =", "msec").
    DialogRequest Request();

    // h[k] = x[k] - x[k-1] (k = 1..n-1) and the second derivatives M[0..n-1]: the tridiagonal
    // system of the interior knots, solved by forward elimination and back substitution.
    // Returns kValue, or kInvalid (nothing written) for the inputs SplineValue refuses.
    static int SplineSecondDerivatives(const double* x, const double* y, int n, double* h, double* M);

    // The spline's value at xq in the first interval j (1..n-1) with x[j-1] <= xq <= x[j].
    // Solves the whole system for this one point; Resample solves it once per series.
    static int SplineValue(const double* x, const double* y, int n, double xq, double* out);

    // outX[i] = x[0] + i x step and outY[i] = the spline's value there, i < m (step 0 means
    // 0.00001). A point in no interval keeps the last value written (0 before the first), and
    // so does every point when SplineValue would refuse the knots. One solve of the system
    // and a forward walk over the intervals: O(n + m), the same values as SplineValue.
    static void Resample(const double* x, const double* y, int n, double* outX, double* outY, int m, double step);
};

}  // namespace velk
