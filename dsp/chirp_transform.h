#pragma once
// The discrete Fourier transform of any length in O(n log n): lengths that are powers of two go
// straight to the radix-2 engine, lengths made of the factors 2, 3, 5 and 7 to its mixed-radix
// transform, others (with a larger prime factor) through the chirp-z identity
//   jk = (j^2 + k^2 - (k - j)^2) / 2,
// which turns the length-n sum into a circular convolution of a power-of-two length M >= 2n - 1
// (three radix-2 transforms of M points; the chirp's own transform is kept per thread while the
// length stays the same). The chirp e^(-i pi m^2 / n) is computed in double from m^2 mod 2n, so
// its angle stays exact however long the transform. A length with a power of two in it,
// n = 2^a m (m odd), is first split into 2^a transforms of m points (radix-2 butterflies
// between rows of m values, then twiddles), so that the chirp convolution runs on the odd part
// with short transforms.
//
// Zero-based, split real and imaginary arrays, in place.

namespace velk {

// X[k] = scale * sum_j x[j] e^(-2 pi i jk/n) (inverse: e^(+2 pi i jk/n)), k = 0..n-1.
// n < 1 does nothing. Throws std::bad_alloc when the work arrays cannot be had (the arrays
// are then unchanged).
void TransformAnyLength(double* re, double* im, int n, bool inverse, double scale);

// The same forward transform of n real values x: re[k] + i im[k] = scale * sum_j x[j]
// e^(-2 pi i jk/n), k = 0..n-1. Even lengths go through one complex transform of n/2 points
// (even samples in the real parts, odd ones in the imaginary parts) and are taken apart
// afterwards. x may be re or im.
void TransformRealAnyLength(const double* x, double* re, double* im, int n, double scale);

}  // namespace velk
