#pragma once
// Products of a square matrix of doubles with a vector, shared by the least-squares fits and
// the iterative solvers of the signal commands.

namespace velk {

// out[i] = sum over j of M[j][i] x v[j], i, j < n: the transposed matrix times v (for a
// symmetric matrix the plain product). M is row-major with rowStride values a row (at least
// n); out must not alias v. n <= 0 does nothing.
void MultiplyTransposed(int n, const double* v, const double* matrix, int rowStride, double* out);

}  // namespace velk
