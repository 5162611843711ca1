#include "dsp/matrix_product.h"

namespace velk {

void MultiplyTransposed(int n, const double* v, const double* matrix, int rowStride, double* out)
{
    for (int i = 0; i < n; ++i) {
        out[i] = 0.0;
    }
    // Row by row, so the matrix is read in its storage order.
    for (int j = 0; j < n; ++j) {
        const double* row = matrix + static_cast<long>(j) * rowStride;
        const double vj = v[j];
        for (int i = 0; i < n; ++i) {
            out[i] += row[i] * vj;
        }
    }
}

}  // namespace velk
