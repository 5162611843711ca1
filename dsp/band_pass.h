#pragma once
// CBandPassDlg: the band-pass dialog's four values and the first library of transforms and
// filters, which lives under the dialog's name. The numerical members are static and use no
// state of an object, so a command calls them without building a dialog.
//
// Array conventions as in fourier.h: complex vectors are separate real and imaginary arrays;
// "one-based" arrays hold elements 1..n and need n + 1 elements.
//
// Filter curves hold amplitude factors per frequency bin from 0 Hz to the Nyquist frequency:
// count = N/2 + 1 values for a transform of N points, bin k at k x df with
// df = (500 / interval) / (count - 1). The appliers filter both halves of a spectrum and keep
// it conjugate-symmetric: bins i and N - i (0 < i < N/2) take curve[i], bins 0 and N/2 their
// own values. A curve with fewer values than N/2 + 1 gives its last value to the bins above it.

#include <span>
#include <string>

#include "dsp/accept_flag.h"

namespace velk {

class DialogRequest;
class UiHost;

struct CBandPassDlg {
    // The dialog's values (template 151, "Band-pass filter"), in the dialog's order.
    float highCut = 5000.0f;  // Hz, edit 1008 "High-cut freq."
    float lowCut = 1.0f;      // Hz, edit 1006 "Low-cut freq."
    float highSlope = 20.0f;  // dB per octave above the high cut, edit 1009
    float lowSlope = 20.0f;   // dB per octave below the low cut, edit 1007

    // The shared accept flag: 1 after OK, 0 after Cancel.
    static int WasAccepted(const AcceptFlag& flag) { return flag.Value(); }

    // ---- Radix-2 transforms (see fft_engine.h for the algorithm) ----

    // Zero-based, n points in place. log2n < 1: worked out from n. flag 0: e^(-i...), scaled
    // 1/n; flag 1: e^(+i...), unscaled; any other flag: e^(+i...), scaled 1/n. n < 2, n not a
    // power of two, or log2n >= 1 not matching n: the arrays stay exactly as they were.
    static void Fft(double* re, double* im, int n, int log2n, int flag);
    // One-based (elements 1..n). flag 0: e^(-i...), unscaled; any other flag: e^(+i...),
    // scaled 1/n. Same refusals as Fft.
    static void FftOneBased(double* re, double* im, int n, int log2n, int flag);

    // ---- The tabled transform of at most 2048 points ----

    // One-based, N = 2^m points, 1 <= m <= 11 (other m: the arrays are left unchanged), with
    // the twiddles read from a quarter-wave table made by BuildCosTable(m). sign -1: forward
    // e^(-i...), unscaled; sign +1 (any sign > 0): inverse e^(+i...), scaled 1/N. A table with
    // fewer than N/4 + 2 elements leaves the arrays unchanged.
    static void FftTabled(double* re, double* im, std::span<const double> cosTable, int m,
                          int sign);
    // The first 2^i >= n for i = 1..11, with m = i; (2048, 12) for every n above 2048 (a
    // length the tabled transform refuses).
    static void PowerOfTwoAtLeast(int n, int& length, int& m);
    // table[i] = cos((i-1) x 2pi/N), i = 1..N/4+1, N = 2^m, the step 2pi/N in single precision
    // from 2pi = 6.2831855. Returns N/4 + 1; 0 (nothing written) when m is outside 1..11 or
    // the table has fewer than N/4 + 2 elements.
    static int BuildCosTable(int m, std::span<double> table);
    // Elements 1..n set to 0.
    static void ZeroComplex(double* values, int n);

    // PowerOfTwoLength under its dialog-class name.
    static int FftLength(int n, int factor);

    // ---- Packing store rows ----

    // re[i] = row[i], im[i] = 0 for i < min(copyCount, totalLength, row length); zeros up to
    // totalLength.
    static void PackRowComplex(std::span<const float> row, int copyCount, int totalLength,
                               double* re, double* im);
    // row[i] = values[i] rounded to float, i < n (within the row); returns the number written.
    static int UnpackRowReal(std::span<float> row, int n, const double* values);

    // ---- Polar form, in place (the arrays are input and output) ----

    // (re, im) -> (amplitude, atan2(im, re)), elements 1..n.
    static void RectToPolar1(int n, double* reAmplitude, double* imPhase);
    // The same over elements 0..n-1.
    static void RectToPolar(int n, double* reAmplitude, double* imPhase);
    // (amplitude, phase) -> (re, im), elements 1..n.
    static void PolarToRect1(int n, double* amplitudeRe, double* phaseIm);
    // The same over elements 0..n-1.
    static void PolarToRect(int n, double* amplitudeRe, double* phaseIm);

    // ---- Filter curves ----

    // Band-pass with straight slopes in dB per octave below the low cut and above the high
    // cut, count values (zero-based curve[0..count-1]). Single-precision corner arithmetic;
    // no factor exceeds 1. A high cut <= 0 gives 0 above it (1 with a zero slope).
    static void MakeSlopeFilter(int count, float intervalMs, float lowCut, float highCut,
                                float lowSlope, float highSlope, double* curve);
    // The same into curve[1..count].
    static void MakeSlopeFilter1(int count, float intervalMs, float lowCut, float highCut,
                                 float lowSlope, float highSlope, double* curve);
    // Band-pass with cosine tapers from 0.6x to 1.4x each corner. Writes the diagnostic
    // "filter.txt" into `folder` (empty: the current folder), C locale; a file that cannot be
    // written does not stop the curve. Returns 1, or 0 without touching the curve when the
    // tapers overlap (1.4 x low cut > 0.6 x high cut).
    static int MakeCosineTaperFilter(int count, float intervalMs, float lowCut, float highCut,
                                     double* curve, const std::string& folder);

    // ---- Applying a curve ----

    // Multiplies the spectrum re/im[0..n-1] by the curve (count values, zero-based), both
    // halves, conjugate pairs alike.
    static void FilterSymmetric(const double* curve, double* re, double* im, int n, int count);
    // The same one-based: spectrum elements 1..n, curve elements 1..count; element n-i+1
    // pairs with element i+1.
    static void FilterSymmetric1(const double* curve, double* re, double* im, int n, int count);
    // Filters n samples (zero-based, in place) through a transform of length
    // transformLength (a power of two >= 2; otherwise nothing changes) with the curve
    // (normally transformLength/2 + 1 values). Samples beyond transformLength are untouched.
    static void FilterArray(int n, int transformLength, double* samples,
                            std::span<const double> curve);
    // Filters samples[1..n] (one-based, n = 2^m, 1 <= m <= 11, a table from BuildCosTable(m))
    // with the curve (one-based, count values) by the tabled transform, and writes the power
    // |X|^2/n of every bin before filtering into power[1..n]. Other n or m: nothing changes.
    static void FilterSpectrumTabled(double* samples, const double* curve,
                                     std::span<const double> cosTable, double* power, int n,
                                     int count, int m);

    // ---- Interpolation helpers ----

    // Doubles the sampling by midpoints in the frequency domain: the first L/2 samples in,
    // L samples out over the same array (L a power of two >= 2; otherwise nothing changes).
    // The output carries twice the amplitude and no Nyquist component: a constant v gives 2v.
    static void InterpolateMidpoints(int length, double* samples);
    // out = sqrt(A B) on the bisector of A and B, in single precision, for each of count
    // pairs; 0 when A or B is 0. Inputs may alias outputs.
    static void ComplexGeometricMean(int count, const double* aRe, const double* aIm,
                                     const double* bRe, const double* bIm, double* outRe,
                                     double* outIm);
};

// The dialog's fields for the UiHost dialog road, in the order of their edits (1006-1009).
DialogRequest BandPassDialogRequest(CBandPassDlg& values);

// Shows the dialog; sets the accept flag from the result (1 after OK, 0 after Cancel) and
// returns it. The values change only on OK.
int RunBandPassDialog(UiHost& ui, CBandPassDlg& values, AcceptFlag& accept);

}  // namespace velk
