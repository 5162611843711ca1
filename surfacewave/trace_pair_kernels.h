#pragma once
// Kernels over pairs of traces of one record: the coherence spectrum of two traces and the
// cross-correlation gather (the stacked correlation of every trace pair, one row per lag in
// trace steps). They work on the rows and headers they are given, never on the store itself.

#include <span>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class UiHost;

// The coherence of two traces per frequency bin: both traces' first `samples` values are
// zero-padded to nfft = PowerOfTwoLength(samples, 1) and transformed; out[i] = rho of bin i
// (CoherencyFromSpectra) for i = 0 .. samples-1, as far as out reaches. A trace shorter than
// `samples` is zero-filled. Returns nfft, or 0 for samples <= 0.
int CoherenceSpectrum(int samples, std::span<const float> a, std::span<const float> b, std::span<float> out);

// CoherenceSpectrum of rows i and j of `rows`, written into row 0 (which may be i or j).
// Returns nfft, or 0 when a row is missing or samples <= 0 (nothing written).
int CoherenceOfRows(int samples, Matrix2D<float>& rows, int i, int j);

// The cross-correlation gather of the first traceCount traces (rows RowLow() + t).
// The receivers must be equally spaced: otherwise "Error : Receiver spacings are not unique !"
// and 0, with nothing changed. The wave runs backward when the peak of the first trace is not
// above that of the last trace but one, else forward. Every trace, divided by its peak
// (peaks[t]; a trace with a peak of 0 is dead: it is not divided and takes part in no pair),
// is zero-padded to nfft = PowerOfTwoLength(largest sample count, 1) and transformed, and its
// row cleared. For every pair i <= j of live traces the cross spectrum (j, i) forward or
// (i, j) backward is taken back to time and, divided by its largest real value, added to row
// j - i over the largest sample count; a term whose largest real value is not above 0 adds
// nothing. So row k peaks at the lag a wave needs to cross k receiver spacings, and row 0
// stacks every live trace with itself. Row k's receiver word becomes k x spacing. Returns
// traceCount. The lags are spread over up to threadCount threads (0: as the machine and the
// size suggest); each row sums its pairs in the same order whatever the count.
int CrossCorrelationGather(UiHost& ui, int language, int traceCount, Matrix2D<float>& rows,
                           std::span<CTraceHeader> headers, std::span<const float> peaks, int threadCount = 0);

}  // namespace velk
