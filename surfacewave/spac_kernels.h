#pragma once
// The spatial-autocorrelation kernels: the coherence of two spectra, the one-dimensional SPAC of
// a linear spread (one averaged coherence row per receiver separation) and the per-cell misfit
// value of a SPAC dispersion image.
//
// Nothing here touches the WaveformStore: the callers hand in a record (rows and headers) and
// get rows back, so that the line analyses can run them on scratch records.

#include <span>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

// rho = (Ar Br + Ai Bi) / sqrt((Ar^2 + Ai^2)(Br^2 + Bi^2)) for bins 0 .. bins-1, through the
// product A x conj(B) in single precision; 0 where either spectrum is 0. bins is limited to
// the shortest of the five arrays.
void CoherencyFromSpectra(int bins, std::span<const double> ar, std::span<const double> ai,
                          std::span<const double> br, std::span<const double> bi, std::span<float> out);

// One-dimensional SPAC of a linear spread. Each of the first traceCount traces (its first
// `samples` values) is zero-padded to nfft = ResolutionFftLength(samples, resolution) and
// transformed; a trace is valid when its largest sample value (signed) is above 0. For every
// pair e <= g of valid traces the coherence of their spectra (first `samples` bins) is added
// to row g - e, the separation in trace steps, and that row's pair counter raised; each row
// with pairs is then divided by its count, the others are 0. Rows 0 .. traceCount-1 are
// overwritten (each at most its row length); every header's receiver word becomes its offset
// from the first trace's receiver. Returns nfft, or 0 when nothing was done (no trace, no
// sample).
int SpacSpectra(int traceCount, int samples, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                int resolution);

// The value of one cell of a SPAC dispersion image: for each of the rowCount coherence rows,
// r = receiver word x 0.01 m, x = r x frequency x 2 pi / velocity, model = cos x (dimension 1)
// or J0(x) (otherwise), S += (row[bin] - model)^2; the value is (0.5 - S / rowCount) x 2 clamped
// to [0, 1]. A rowCount of 0 or less gives 1; a bin outside a row reads 0.
float SpacCellValue(int rowCount, int bin, double frequency, const Matrix2D<float>& rows,
                    std::span<const CTraceHeader> headers, double velocity, int dimension);

}  // namespace velk
