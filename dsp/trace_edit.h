#pragma once
// Kernels of the trace-editing commands: the window and apparent-velocity mutes, decimation,
// the running sum of absolute values, the duration of a trace, the time shift and the
// derivative of complex spectra, and the alignment of a record to a reference by circular
// correlation.
//
// Index arithmetic follows the commands' single-precision conventions (intervals in ms as
// floats, truncation toward zero); a quotient too large for an int is clamped before it
// becomes an index, so no input can produce an out-of-range conversion. Every kernel touches
// only the first `count` values of a row, and never more than the row holds.

#include <span>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class DialogRequest;

// Truncation toward zero of a float, clamped to +-2^30 (NaN gives 0): the one way these
// kernels turn a time quotient into an index.
int TruncIndex(float value);

// Mutes one trace outside a window. With b = start, e = start + window, o = trunc((b - before)
// / dt), r = trunc(b / dt), t = trunc(e / dt), m = trunc((e + after) / dt): samples below o
// become 0, o..r-1 ramp up by (i - o) / (r - o), r..t-1 stay, t..m-1 ramp down by
// (m - i) / (m - t), from m on 0. An interval that is not above 0 changes nothing.
void TaperWindow(std::span<float> samples, float intervalMs, int count, float startMs, float windowMs,
                 float taperBeforeMs, float taperAfterMs);

// The apparent-velocity mute record: velocities in km/s (m/ms), taper in ms. The command sets
// only the two velocities; the taper stays as it is (0 from the start).
struct ApparentVelocityMute {
    float minVelocity = 0.0f;
    float maxVelocity = 0.0f;
    float taper = 0.0f;
};

// Dialog 232 "Apparent velocity mute" and the mute of one trace.
struct CApparentVelocityMuteDlg {
    static constexpr const char* kClass = "CApparentVelocityMuteDlg";
    static constexpr const char* kTitle = "Apparent velocity mute";
    float minVelocity = 0.0f;  // km/sec
    float maxVelocity = 0.0f;  // km/sec

    DialogRequest Request(int language);

    // Offset d = |receiver - source| / 100 m, dt = the header's interval in ms; the first
    // arrival at d / maximum velocity, the end at d / minimum velocity (the whole trace when
    // the minimum is 0 or less); ramps of the record's taper before and after. A maximum
    // velocity or an interval that is not above 0 changes nothing (the command refuses them).
    static void MuteTrace(std::span<float> samples, const CTraceHeader& header, const ApparentVelocityMute& mute);
};

// Decimation: sample i := sample k x i for i < trunc(count / k). Returns trunc(count / k); the
// samples from there on keep their values. k below 1 changes nothing and returns count.
int DecimateRow(std::span<float> samples, int count, int k);

// y[0] = |x[0]|, y[i] = y[i-1] + |x[i]| over count samples. Returns the last value (0 for none).
float RunningAbsoluteSum(std::span<float> samples, int count);

// Seconds between the first and the last sample whose |x| exceeds half the trace's peak,
// (last - first) x interval us x 1e-6; 0 for a trace of zeros or with one such sample.
float TraceDuration(std::span<const float> samples, int count, float intervalUs);

// Complex spectra of n bins at `df` Hz per bin (real parts in re, imaginary parts in im).
// Time shift: bins 0..n/2 times e^(i phi), phi = shiftMs x j x df x 2 pi / 1000 (in single
// precision, as 0.0062831854); bins n - j (0 < j < n/2) take the conjugate of bin j. A positive
// shift moves the waveform to earlier times.
void FourierTimeShift(std::span<float> re, std::span<float> im, int n, float shiftMs, float df);
// Derivative: bins 0..n/2 times i omega, omega = j x df x 2 pi; mirrored as above.
void FourierDifferential(std::span<float> re, std::span<float> im, int n, float df);

// Aligns record B to record A: the circular correlation of A's and B's reference rows over
// `samples` values gives the lag of the first largest |value| (lag - samples above
// samples / 2); every one of the first `count` rows of B is moved by it, new[j] = old[j + lag]
// and 0 where j + lag falls outside 0..samples-1. Returns 1; 0 (nothing changed) when the
// reference, the count or the sample count does not fit the matrices.
int AlignByCorrelation(int count, int reference, int samples, const Matrix2D<float>& a, Matrix2D<float>& b);

}  // namespace velk
