#pragma once
// Normal-moveout correction at one constant velocity and the stack of a corrected gather into
// one trace at the common midpoint.

#include <span>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class DialogRequest;

// Dialog 189 "NMO correction": the velocity in km/s.
struct CNmoCorrectionDlg {
    static constexpr const char* kClass = "CNmoCorrectionDlg";
    static constexpr const char* kTitle = "NMO correction";
    static constexpr double kMin = 0.00001;
    static constexpr double kMax = 100000.0;
    float velocity = 0.0f;

    DialogRequest Request(int language);
};

// Corrects the first `count` traces in place (row RowLow() + i for trace i). For each trace,
// with its own sample count n, dt = interval us x 1e-6 s and x = |receiver - source| / 100 m
// (both rounded to float) and V = velocity x 1000 m/s: sample j stands for the time
// t0 = (j + 1) dt and takes the sample k = j + trunc(t0 (sqrt(g^2 + 1) - 1) / dt),
// g = x / (V t0), of the uncorrected trace (0 when k >= n). A velocity that is not above 0, or
// a trace without a positive interval, leaves the traces unchanged.
void NmoCorrect(int count, std::span<const CTraceHeader> headers, Matrix2D<float>& rows, float velocity);

// sum[i] = the sum over the first `count` rows of their sample i, i below the header's sample
// count (and the sum's length). Returns a copy of `header` whose receiver word is the integer
// mean (receiver + source) / 2, the midpoint.
CTraceHeader StackToOne(int count, const CTraceHeader& header, const Matrix2D<float>& rows, std::span<float> sum);

}  // namespace velk
