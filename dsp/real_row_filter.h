#pragma once
// Filtering many real rows through one transform length: the hot loop of the band-pass
// commands and the display filter.
//
// Each row is taken zero-padded to the transform length n, transformed (e^(-i...), scaled 1/n),
// multiplied by its curve with the conjugate pairing of CBandPassDlg::FilterSymmetric (bins i
// and n - i take curve[i], bins 0 and n/2 their own values, bins beyond the curve its last
// value), transformed back (e^(+i...), unscaled) and its real part written back. That is
// CBandPassDlg::FilterArray row by row; the results agree with it to rounding.
//
// Two real rows share one complex transform (the first in the real parts, the second in the
// imaginary parts); with different curves the spectrum of the pair is split and recombined
// bin by bin. Rows are spread over the program's thread pool, each thread with its own work
// buffer; the rows of one call must not overlap.

#include <span>

namespace velk {

struct RealRowJob {
    float* row = nullptr;           // read and written in place
    int copyCount = 0;              // samples taken into the transform (clamped to [0, n])
    int writeCount = 0;             // filtered samples written back (clamped to [0, n])
    const double* curve = nullptr;  // factors of bins 0 .. curveCount - 1 (zero-based)
    int curveCount = 0;             // at least 1
};

// Filters every job with a transform of length n (a power of two, 2 .. 2^30; otherwise
// nothing changes). threads < 1: as many as the pool has, fewer for small work.
void FilterRealRows(std::span<const RealRowJob> jobs, int n, int threads = 0);

// The number of threads FilterRealRows uses for `rows` rows of length n when asked for
// `threads` (< 1: the pool's count). Small work stays on the calling thread.
int FilterThreadCount(int rows, int n, int threads);

}  // namespace velk
