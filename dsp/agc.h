#pragma once
// Gain kernels: the "ZAV AGC" (gain from a low-passed envelope, itself low-passed), the
// instantaneous AGC (gain from a running median of |x|), and the dialogs of the gain commands.
// The kernels are members of the AGC dialog's class, CAgcDlg, and keep no state.

#include <span>
#include <string>

namespace velk {

class DialogRequest;

// The values the gain commands remember for the process (both AGC commands share the critical
// gain and the normalise flag).
struct AgcSettings {
    float criticalGain = 10.0f;  // dB
    int normalize = 1;
    float windowLength = 10.0f;  // ms, instantaneous AGC
    float highCut = 50.0f;       // Hz, ZAV AGC smoothing
    float highSlope = 20.0f;     // dB/oct, ZAV AGC smoothing
};

// Dialog 177 "AGC". All four values are 0 when built.
struct CAgcDlg {
    static constexpr const char* kClass = "CAgcDlg";
    static constexpr const char* kTitle = "AGC";

    float criticalGain = 0.0f;  // dB
    float highCut = 0.0f;       // Hz
    float highSlope = 0.0f;     // dB per octave
    int normalize = 0;

    // Fields "Critical Gain", "Hi-cut freq.", "Cut off", "Normalize trace".
    DialogRequest Request();

    // gains[0..count-1] holds an envelope on entry and gain factors on return: with peak the
    // largest envelope value (from 0) and limit = 10^(critical / 20), g = peak / e for e > 0,
    // else 1e6; where g reaches the limit the factor is 1.0 (not the limit), otherwise g.
    static void ApplyAgc(double* gains, double criticalDb, int count);

    // Multiplies values[0..count-1] by their instantaneous gains. The window is `window`
    // samples, at least 21; the window of sample i runs from i - w/2 over w samples, cut at
    // the ends of the trace. With peak the largest |x| and med the upper-middle median of |x|
    // in the window (as floats), the gain is peak / med, or 1.0 where that reaches
    // 10^(critical / 20) or med is 0. The gains are smoothed 1-2-1 inside; the first and last
    // keep their own values (fewer than 3 samples: no smoothing). O(count log count).
    static void ApplyInstantaneousAgc(double* values, int window, int count, double criticalDb);

    // The upper-middle value of count floats (the median for an odd count, the upper of the two
    // middle values for an even one), never below -100000.0; 0 for no values.
    static float MedianOfWindow(const float* values, int count);

    // The smoothing curve of the ZAV AGC for a transform of n points at intervalMs: n/2 + 1
    // slope-filter factors with low cut 0 Hz (bin 0 passes: the envelope keeps its mean), the
    // given high cut and slope, and 20 dB/oct below the (absent) low cut.
    static void ZavAgcCurve(int n, float intervalMs, float highCut, float highSlope, double* curve);

    // The ZAV AGC of one trace of n points (a power of two): the envelope |before| low-passed
    // by the curve (n/2 + 1 values, conjugate pairs alike), ApplyAgc, the gain low-passed the
    // same way, out[j] = gain[j] x before[j]. re and im are work arrays of n values.
    static void ZavAgcTrace(std::span<const float> before, std::span<float> out, int n, const double* curve,
                            double criticalDb, double* re, double* im);
};

// Dialog 198 "Instantaneous AGC".
struct CInstantaneousAgcDlg {
    static constexpr const char* kClass = "CInstantaneousAgcDlg";
    static constexpr const char* kTitle = "Instantaneous AGC";

    float windowLength = 0.0f;  // ms, 0 .. 100000
    int normalize = 0;
    float criticalGain = 0.0f;  // dB, 1 .. 1000

    // Fields "Window length", "Normalize trace", "Critical Gain".
    DialogRequest Request();
};

// Dialog 329 "Input float": a prompt line and one float.
struct CInputFloatDlg {
    static constexpr const char* kClass = "CInputFloatDlg";
    static constexpr const char* kTitle = "Input float";

    std::string prompt;
    float value = 0.0f;

    // Fields "Prompt" (a line of text) and "Value".
    DialogRequest Request();
};

// Divides the first n values by their largest |value|; returns that value. A row whose
// largest |value| is 0 is left as it is.
float NormalizeByPeak(std::span<float> row, int n);

}  // namespace velk
