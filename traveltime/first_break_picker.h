#pragma once
// Automatic first-break picking: an autoregressive model of the noise before the onset and
// Akaike's information criterion over the onset, in windows chosen from the trace's own line
// length and amplitude, optionally after a band-pass, then rounds of checking that repick
// traces whose apparent slowness stands out from their neighbours'.
//
// Sample indices are 0-based throughout: sample j lies at j x interval from the first sample,
// and a pick is the time of the first sample of the segment after the best AIC split.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "traveltime/auto_pick_settings.h"

namespace velk {

// Layer code of a trace the picker could not pick (its time is then 0).
constexpr int32_t kUnpickedCode = 3;

struct AicPick {
    enum Status { kPicked = 0, kTooShort = 1, kModelFailed = 2 };
    float t1 = 0.0f;  // ms from the first sample: the best split
    float t2 = 0.0f;  // the second and third best local minima
    float t3 = 0.0f;
    int status = kPicked;
};

// One trace's windows and pick. Fields in their order; made for one trace, or one per thread.
class FirstBreakPicker {
public:
    virtual ~FirstBreakPicker() = default;

    static constexpr int kArOrder = 5;

    int sampleCount = 0;
    int windowLength = 0;
    int noiseStart = 0;   // sample index
    int signalStart = 0;  // sample index

    // Chooses the window length, the noise window and the signal window of samples x for a
    // centre frequency in Hz (not above 0: 100) and an interval in ms. False, with the starts
    // at 0, when the trace is too short for two windows or the interval is not usable.
    bool SetupWindows(std::span<const double> x, float centreFrequency, float intervalMs);

    // The AIC pick over the stretch from a tenth of a window before the noise start to one and
    // a half windows after the signal start. kModelFailed (times 0) when the noise window gives
    // no autoregressive model.
    AicPick PickAic(std::span<const double> x, float intervalMs) const;

    // The five prediction coefficients of y (mean removed, autocorrelations 0..5 by the
    // number of products, Levinson recursion). False when r(0) is not above 0, y has no more
    // than five samples or the recursion fails.
    static bool FitArModel(std::span<const double> y, std::array<double, kArOrder>& a);

    // Indices into aic of the smallest, second and third smallest local minima (first of
    // equals); with fewer minima the last found repeats; none: all three 0.
    static std::array<int, 3> FindAicMinima(std::span<const double> aic);
};

// Picks traces 0..traceCount-1 (bounded by rows, headers, times and codes): every trace's
// time t1 in ms from its first sample with layer code 1, or time 0 and code 3 when it cannot
// be picked; then settings.numberOfChecking rounds of CheckPicks on the unfiltered samples.
// Traces are picked in parallel, on up to `threads` threads (0: the machine's), with the same
// result as a serial run. With logFlag 1 returns the text of "automatic.txt" (" %f %f %f \n"
// per trace, then the check's lines); otherwise an empty text.
std::string AutoPickFirstBreaks(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                                int logFlag, std::span<float> times, std::span<int32_t> codes,
                                const AutoPickSettings& settings, int threads = 0);

// The rounds of checking over picked traces (serial: a repick may use a neighbour's time of
// the same round). Appends the log lines to *log when it is not null.
void CheckPicks(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                std::span<float> times, std::span<int32_t> codes, const AutoPickSettings& settings, int rounds,
                std::string* log);

}  // namespace velk
