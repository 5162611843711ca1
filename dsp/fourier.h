#pragma once
// The FFT and spectral core: the second transform library (CFourier), the direct transforms,
// transform lengths, the frequency step and the small per-trace helpers every processing
// command uses.
//
// Complex vectors are two separate arrays (real parts, imaginary parts), never interleaved.
// "Zero-based" arrays hold elements 0..n-1; "one-based" arrays hold elements 1..n, element 0
// is never touched, so they need n + 1 elements. Everything here is reentrant: no routine
// keeps state between calls (the FFT's twiddle tables are cached per thread).
//
// Store rows are taken as spans (one row of the sample matrix, `matrix.Row(i)`), trace sets as
// the sample matrix itself, whose i-th row (row RowLow() + i) belongs to trace i. A header's
// sample count is never trusted beyond the row's length.

#include <cstdint>
#include <span>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

// The transform length for n samples: the first of 8, 16, ..., 131072 that is not less than n,
// 262144 for every larger n; times factor.
int PowerOfTwoLength(int n, int factor);

// The transform length of the surface-wave analyses for n samples at a frequency resolution
// factor: the smallest power of two at or above PowerOfTwoLength(n, 1) x factor, so that the
// radix-2 transform accepts it (a factor of 3 on 1000 samples gives 4096, not 3072). A factor
// below 1 counts as 1; never above 2^30.
int ResolutionFftLength(int n, int factor);

// 1000 / (n x interval) Hz for n points at `intervalMs` milliseconds; 0 when n <= 0 or the
// interval is not above 0 (the commands refuse such intervals with a message first).
double FrequencyStep(int n, double intervalMs);

// The discrete Fourier transform of any length, O(n log n), one-based arrays of n + 1 elements.
// Dft: re[i] + i im[i] = (1/n) sum_j x[j] e^(-2 pi i (i-1)(j-1)/n), i, j = 1..n.
// InverseDft: x[i] = Re sum_j (re[j] + i im[j]) e^(+2 pi i (i-1)(j-1)/n), unscaled.
// Computed through TransformAnyLength (dsp/chirp_transform.h). Inputs may alias
// outputs. n <= 0 does nothing.
void Dft(const double* samples, double* re, double* im, int n);
void InverseDft(double* samples, const double* re, const double* im, int n);

// Per-trace peaks: maxima[i] = the largest |sample| of the first n_i samples of trace i, n_i
// its header's sample count limited to the row length (0 for none). Covers the first
// traceCount traces that have a header, a row and a maxima slot. Returns the largest of all,
// 0 when there is none.
float TraceMaxima(int traceCount, std::span<float> maxima, const Matrix2D<float>& samples,
                  std::span<const CTraceHeader> headers);

// Writes the index of every trace whose flag equals 1, in increasing order, and returns how
// many it wrote (at most indices.size()).
int SelectedTraceIndices(std::span<int> indices, std::span<const int> selectionFlags);
int SelectedTraceIndices(std::span<int> indices, std::span<const uint8_t> selectionFlags);

// Subtracts the mean of the n values (summed in extended precision). n <= 0 does nothing.
void RemoveMean(float* values, int n);

// The second transform library: a holder of routines without data.
class CFourier {
public:
    // Radix-2 transform of n points, zero-based, in place. log2n < 1: worked out from n.
    // flag 0: e^(-i...), scaled 1/n. flag 1: e^(+i...), unscaled. Any other flag: e^(+i...),
    // scaled 1/n. n < 2, n not a power of two, or log2n >= 1 not matching n: the arrays are
    // left exactly as they were.
    static void Fft(double* re, double* im, int n, int log2n, int flag);
    // The same on 32-bit values, with 32-bit sines and cosines built from pi as a float.
    static void FftFloat(float* re, float* im, int n, int log2n, int flag);

    // re[i] = samples[i], im[i] = 0 for i < min(copyCount, totalLength); zeros up to
    // totalLength.
    static void PackComplex(int copyCount, int totalLength, const float* samples, double* re,
                            double* im);
    // Like CBandPassDlg::PackRowComplex, then the real parts are divided by the largest
    // |sample| of the copied samples; a trace of zeros is packed unscaled.
    static void PackRowNormalized(std::span<const float> row, int copyCount, int totalLength,
                                  double* re, double* im);
    // row[i] = values[i] for i < n (within the row); returns the number written.
    static int UnpackRowFloat(std::span<float> row, int n, const float* values);

    // Zero-based, in place: (re, im) -> (amplitude, phase = atan2(im, re)).
    static void RectToPolar(int n, double* reAmplitude, double* imPhase);
    // One-based, in place: (amplitude, phase) -> (re, im).
    static void PolarToRect1(int n, double* amplitudeRe, double* phaseIm);

    // The amplitude spectrum of `sampleCount` samples zero-filled to the transform length N
    // (PowerOfTwoLength of the count): out[i] = |X[i]| with X = fft(x)/N, for
    // i < min(N, outLength); the rest of out is 0. N goes to *transformLength (when not null).
    // Returns 1 / (N x interval), the frequency step in the reciprocal of the interval's unit;
    // 0 when the interval is not above 0.
    static float AmplitudeSpectrum(float* out, int outLength, const float* samples,
                                   int sampleCount, float interval, int* transformLength);

    // Replaces each trace by the sinusoid of the bin nearest `frequencyHz` (bins 0..N/2 of its
    // own transform length N; the lower bin on a tie), with the trace's amplitude and phase
    // at that bin. A trace whose header gives no positive interval is left unchanged.
    static void KeepOneFrequency(int traceCount, Matrix2D<float>& samples,
                                 std::span<const CTraceHeader> headers, float frequencyHz);
};

}  // namespace velk
