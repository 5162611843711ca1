#pragma once
// CVerticalStackDlg: the values of the "Vertical stacking" dialog and the routines that
// combine the traces of one receiver into one trace (stack, difference, concatenation), with
// the two semblance helpers of the automatic time alignment. The routines are static and use
// no state of an object.

#include <span>

#include "base/trace_header.h"

namespace velk {

class DialogRequest;

struct CVerticalStackDlg {
    static constexpr const char* kClass = "CVerticalStackDlg";
    static constexpr const char* kTitle = "Vertical stacking";
    static constexpr const char* kMethod = "Method";
    static constexpr const char* kWindow = "Time-window for semblance";

    enum Method : int { kAverage = 0, kSummation = 1, kSemblance = 2, kSemblanceWeighted = 3 };

    int method = -1;      // radio group 1110, 1114, 1111, 1112; the command presets 0
    float window = 1.0f;  // ms, edit 1113, 0.001 to 10000

    DialogRequest Request(int language);

    // The window in samples for the semblance methods: trunc(window / intervalMs), at least 2;
    // 1 for the other methods. The interval must be above 0 (callers refuse others first).
    static int WindowSamples(int method, float window, float intervalMs);

    // Combines `traces` rows of `samples` values into out (samples values):
    //   0 the mean, 1 the sum,
    //   2 semblance: per sample t, over the window positions u = t + j - trunc(K/2), j < K,
    //     that lie inside the trace, B / N / A with B the sum of the squared stacked values
    //     and A the sum of the squared samples, both rounded to float; 0 where |A| < 1e-9,
    //   3 semblance-weighted stack: B W / N / A in double, W the centre sum added once per
    //     kept position; W / N where |A| < 1e-9.
    // traces < 1 or samples < 1 leave out alone; an unknown method gives zeros.
    static void Stack(int traces, int samples, int method, int windowSamples, const double* const* rows,
                      double* out);

    // Semblance-weighted circular correlation of two series of n values, one value per lag:
    // out[i] = sum_j |x[j] + y[k]| s^2 / (2 E), k = (i + j) mod n, s = x[j] + y[k] and
    // E = x[j]^2 + y[k]^2 rounded to float, terms with E <= 0 left out. O(n^2).
    static void SemblanceCorrelation(const double* x, const double* y, double* out, int n);

    // out[i] = sum over rows of row[i] / (the row's largest |value|), i < n; out is zeroed
    // first and a row of zeros adds nothing.
    static void NormalizedSum(int traces, int n, const float* const* rows, double* out);

    // out[i] = rows[1][i] - rows[0][i], i < n.
    static void Difference(int n, const float* const* rows, float* out);

    // Copies the first headers[j].samples values of each row j one after another into out and
    // returns the total. Counts below 0 count as 0; copying stops where out ends (the total
    // returned is then what was copied).
    static int Concatenate(int traces, const double* const* rows, std::span<double> out,
                           std::span<const CTraceHeader> headers);
};

}  // namespace velk
