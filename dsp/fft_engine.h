#pragma once
// The one complex FFT behind the radix-2 members of CBandPassDlg and CFourier.
//
// In-place, split real/imaginary arrays, natural order in and out. Radix-4 butterflies
// (with one radix-2 stage for odd powers), decimation in frequency, then the bit-reversal
// permutation. Each 4-point butterfly is exactly two radix-2 stages, so the results agree with
// the plain radix-2 algorithm to rounding. Large transforms run depth first, so that the
// later stages work on blocks that stay in the first-level cache; short ones (64 to 2048
// points, where the processor has 256-bit vectors) work in a scratch area and write their
// last stage straight to the bit-reversed places. Every road gives the same bits.
//
// Twiddle tables (per stage length) and bit-reversal tables (per transform length) are built
// on first use and cached per thread: the routines stay reentrant, and threads never share
// mutable state. Building a length's tables costs O(n) sines and cosines once per thread.

#include <cstdint>

namespace velk::fft_engine {

// Largest log2 length the engine accepts (n = 2^30 still fits an int).
inline constexpr int kMaxLog2 = 30;

// Transforms n = 2^log2n points in place. Forward is e^(-i 2 pi kn/n), inverse e^(+i ...);
// every output value is multiplied by `scale` (1.0 for none, 1/n for a scaled transform).
// 1 <= log2n <= kMaxLog2; anything else leaves the arrays untouched.
void Transform(double* re, double* im, int log2n, bool inverse, double scale);

// The same in single precision. Its twiddles are the sines and cosines of angles built from
// the single-precision value of pi (3.14159274...), rounded to float.
void Transform(float* re, float* im, int log2n, bool inverse, float scale);

// log2 n for the members' length check: n >= 2, and m (when m >= 1) must equal log2 n;
// m < 1 means "work it out by halving n". Returns -1 when the transform must not run
// (n < 2, n not a power of two, m not matching).
int CheckedLog2(int n, int m);

// True when n >= 1 has no prime factor other than 2, 3, 5 and 7.
bool HasSmallFactors(int n);

// Transforms n points in place, n >= 1 with HasSmallFactors(n), by mixed-radix stages
// (radix 4, 2, 3, 5, 7) that leave the values in natural order (each stage writes into a
// second array). Same sign and scale convention as Transform. The twiddles of a length are
// built on its first use and kept per thread while the length stays the same. Lengths
// with another factor leave the arrays untouched. Throws std::bad_alloc when its tables
// cannot be had (the arrays are then unchanged).
void TransformSmallFactors(double* re, double* im, int n, bool inverse, double scale);

}  // namespace velk::fft_engine
