#pragma once
// Phase-velocity curves read from the trace pairs of one record: the mean phase difference of
// neighbouring traces, the phase of their stacked cross-correlation, and the unwrapped phase
// difference of two chosen traces. Each asks its parameters in dialog 205 and can hand its
// result to the data viewer (the phase against frequency) and to the dispersion program (the
// velocity against frequency).
//
// Velocities are in m/s, frequencies in Hz, offsets and positions in m (header words x 0.01).
// The record is only read.

#include <span>
#include <string>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class COlvenarLink;
class ProgressSink;
class UiHost;
struct LaunchServices;
struct PhaseDifferenceParameters;

// What the curves need besides the record: the dialogs, the progress texts ("trace=%d"), and
// the two hand-offs. Without a link, a path or launch services the hand-off is skipped.
struct PairCurveContext {
    UiHost& ui;
    int language = 0;
    ProgressSink* progress = nullptr;
    COlvenarLink* olvenar = nullptr;       // the phase against frequency ("PhaseDifference")
    std::string* quessilPath = nullptr;    // the velocity curve
    const LaunchServices* launch = nullptr;
};

inline constexpr const char* kPhaseDifferenceViewerData = "PhaseDifference";
inline constexpr const char* kPhaseDifferenceViewerLayout = "1024";
inline constexpr int kQuessilCurvePoints = 256;  // points of a curve handed to the dispersion program

// A curve of ShowPhaseDifference: per point the frequency, the velocity and the phase.
struct PairPhaseCurve {
    std::vector<float> frequency, velocity, phase;
};

// The frequency bins PhaseDifferenceCurve gives for a record of `samples` samples:
// PowerOfTwoLength(samples, 1) / 8.
int PhaseDifferenceBins(int samples);

// The mean phase difference of neighbouring traces. nfft = PowerOfTwoLength(samples, 1) with the
// samples and interval of the first header; B = nfft / 8 bins; df = FrequencyStep(nfft, dt);
// dx = |receiver(1) - receiver(0)| for every pair. With recordIndex 0 dialog 205 opens first
// with the parameters (Cancel: 0 and nothing written; OK stores them back). A pair (t, t + 1)
// takes part when both |offsets| exceed the minimum offset; the trace nearer the source comes
// first in its cross spectrum. For k = 1 .. B-1, f = k df: velocities[k] = 2 pi f dx / mean
// phase when minimum frequency < f < maximum frequency and the mean phase is not 0, else 0;
// frequencies[k] = f; element 0 is 0 in both. Only what the spans hold is written. The hand-offs
// follow the "show" parameters: the mean phase (B - 1 points), and min(B - 1, 256) points of
// velocity to the dispersion program under curveName. Returns B.
int PhaseDifferenceCurve(PairCurveContext& dc, PhaseDifferenceParameters& parameters, const Matrix2D<float>& rows,
                         std::span<const CTraceHeader> headers, int traceCount, const std::string& curveName,
                         std::span<float> velocities, std::span<float> frequencies, int recordIndex);

// The phase of the stacked cross-correlation of neighbouring traces. Unless noDialog, dialog 205
// opens with the parameters and resolution improvement 1 (Cancel: 0 and nothing written; OK
// stores them back, the resolution m serves this run only). nfft = ResolutionFftLength(samples,
// m); dx as above. Each pair whose |offsets| both exceed the minimum offset is correlated
// (nearer trace first), divided by its largest |value| (a correlation of zeros adds nothing)
// and stacked ("trace=%d nfft=%d"). The stack's spectrum gives, with n = nfft / 8 or 256 when
// that exceeds 255, for k = 1 .. n-1 and f = k df: frequencies[k-1] = f and velocities[k-1] =
// |2 pi f dx / phase|, 0 where the phase is 0. Hand-offs as for PhaseDifferenceCurve. Returns
// the n - 1 points written (0 on Cancel).
int CrossCorrelationAverageCurve(PairCurveContext& dc, PhaseDifferenceParameters& parameters,
                                 const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                                 const std::string& curveName, std::span<float> velocities,
                                 std::span<float> frequencies, bool noDialog);

// The phase-velocity curve of two traces (row indices first and second). Dialog 205 opens
// with "N shift" = nShift (the caller's kept value), minimum frequency 0, "Show phase velocity curve" on and the
// other checks off (Cancel: 0; OK stores "N shift" back into nShift). nfft = PowerOfTwoLength(samples, 1),
// df = 500 / intervalMs / (nfft / 2). The two swap when the second's receiver word is below its
// source word; " Selected traces are %f m and %f m : %d %d " names them. For bins k = 1 ..
// nfft/4 - 1 with f = k df at or above the minimum frequency: phase = arg(A conj B); with
// "Automatic shift" N (from "N shift") goes up by 2 when the previous phase exceeds this one by
// more than 1 and down by 2 when it lies more than 2 pi below it; v = 2 pi f dx / (N pi + phase),
// no point where that divisor is 0. The points go to *curve (when given) and to the hand-offs
// (the dispersion program gets at most 256, under fileName). Returns the points.
int ShowPhaseDifference(PairCurveContext& dc, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                        int samples, float intervalMs, int first, int second, int& nShift,
                        const std::string& fileName, PairPhaseCurve* curve = nullptr);

}  // namespace velk
