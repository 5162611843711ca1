#pragma once
// The record itself in the F-K domain: the forward transform over time and then over trace
// position, each e^(-i...) scaled 1/n, and its inverse, each e^(+i...) unscaled, on the real and
// imaginary rows of a store (trace i in row RowLow() + i of both matrices).

#include "base/matrix2d.h"

namespace velk {

// Traces 0..traceCount-1 (their first n values; n a power of two of at least 2) become rows
// 0..nx-1 of complex values: row k holds wavenumber bin k (positions beyond the traces count as
// zero traces), column i frequency bin i, i < n. Both matrices need nx rows of n columns, and
// traceCount <= nx (a power of two of at least 2); otherwise nothing changes (returns 0).
int FkForwardTransform(Matrix2D<float>& re, Matrix2D<float>& im, int traceCount, int n, int nx);

// The inverse: the nx wavenumber rows back over position, then traces 0..traceCount-1 back over
// time; the real parts become the first n values of each trace's row of `re`. The imaginary
// rows are used as work space. Same conditions and result as the forward transform.
int FkInverseTransform(Matrix2D<float>& re, Matrix2D<float>& im, int traceCount, int n, int nx);

}  // namespace velk
