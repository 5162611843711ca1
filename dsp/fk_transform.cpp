#include "dsp/fk_transform.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "dsp/fft_engine.h"
#include "dsp/velocity_parallel.h"

namespace velk {

namespace {

using velocity_detail::ParallelFor;

// Columns transformed together over position: a block of them is gathered from every row at
// once, which keeps the row reads sequential.
constexpr int kColumnBlock = 16;

bool Usable(const Matrix2D<float>& re, const Matrix2D<float>& im, int traceCount, int n, int nx)
{
    return fft_engine::CheckedLog2(n, 0) >= 0 && fft_engine::CheckedLog2(nx, 0) >= 0 && traceCount >= 1 &&
           traceCount <= nx && re.Rows() >= static_cast<size_t>(nx) && im.Rows() >= static_cast<size_t>(nx) &&
           re.Cols() >= static_cast<size_t>(n) && im.Cols() >= static_cast<size_t>(n);
}

std::span<float> RowOf(Matrix2D<float>& m, int i) { return m.Row(m.RowLow() + i); }

// The time transform of traces 0..count-1 (first n values), in place in their rows.
void TimeTransforms(Matrix2D<float>& re, Matrix2D<float>& im, int count, int n, bool inverse)
{
    const int m = fft_engine::CheckedLog2(n, 0);
    ParallelFor(count, static_cast<int64_t>(n) * (m + 1), [&](int first, int last) {
        std::vector<double> xr(static_cast<size_t>(n)), xi(static_cast<size_t>(n));
        for (int t = first; t < last; ++t) {
            const std::span<float> r = RowOf(re, t);
            const std::span<float> q = RowOf(im, t);
            for (int k = 0; k < n; ++k) {
                xr[static_cast<size_t>(k)] = r[static_cast<size_t>(k)];
                xi[static_cast<size_t>(k)] = inverse ? q[static_cast<size_t>(k)] : 0.0;
            }
            fft_engine::Transform(xr.data(), xi.data(), m, inverse, inverse ? 1.0 : 1.0 / n);
            for (int k = 0; k < n; ++k) {
                r[static_cast<size_t>(k)] = static_cast<float>(xr[static_cast<size_t>(k)]);
                if (!inverse) {
                    q[static_cast<size_t>(k)] = static_cast<float>(xi[static_cast<size_t>(k)]);
                }
            }
        }
    });
}

// The transform over position of every column i < n: rows 0..inputRows-1 in, zero rows up to
// nx, all nx rows out.
void SpatialTransforms(Matrix2D<float>& re, Matrix2D<float>& im, int inputRows, int n, int nx, bool inverse)
{
    const int m = fft_engine::CheckedLog2(nx, 0);
    const int blocks = (n + kColumnBlock - 1) / kColumnBlock;
    ParallelFor(blocks, static_cast<int64_t>(nx) * kColumnBlock * (m + 2), [&](int first, int last) {
        const auto ux = static_cast<size_t>(nx);
        std::vector<double> gr(ux * kColumnBlock), gi(ux * kColumnBlock);
        std::vector<double> xr(ux), xi(ux);
        for (int block = first; block < last; ++block) {
            const int c0 = block * kColumnBlock;
            const int width = std::min(kColumnBlock, n - c0);
            std::fill(gr.begin(), gr.end(), 0.0);
            std::fill(gi.begin(), gi.end(), 0.0);
            for (int t = 0; t < inputRows; ++t) {
                const std::span<float> r = RowOf(re, t);
                const std::span<float> q = RowOf(im, t);
                for (int c = 0; c < width; ++c) {
                    gr[static_cast<size_t>(c) * ux + static_cast<size_t>(t)] = r[static_cast<size_t>(c0 + c)];
                    gi[static_cast<size_t>(c) * ux + static_cast<size_t>(t)] = q[static_cast<size_t>(c0 + c)];
                }
            }
            for (int c = 0; c < width; ++c) {
                double* cr = gr.data() + static_cast<size_t>(c) * ux;
                double* ci = gi.data() + static_cast<size_t>(c) * ux;
                fft_engine::Transform(cr, ci, m, inverse, inverse ? 1.0 : 1.0 / nx);
            }
            for (int k = 0; k < nx; ++k) {
                const std::span<float> r = RowOf(re, k);
                const std::span<float> q = RowOf(im, k);
                for (int c = 0; c < width; ++c) {
                    r[static_cast<size_t>(c0 + c)] = static_cast<float>(gr[static_cast<size_t>(c) * ux + static_cast<size_t>(k)]);
                    q[static_cast<size_t>(c0 + c)] = static_cast<float>(gi[static_cast<size_t>(c) * ux + static_cast<size_t>(k)]);
                }
            }
        }
    });
}

}  // namespace

int FkForwardTransform(Matrix2D<float>& re, Matrix2D<float>& im, int traceCount, int n, int nx)
{
    if (!Usable(re, im, traceCount, n, nx)) {
        return 0;
    }
    TimeTransforms(re, im, traceCount, n, false);
    SpatialTransforms(re, im, traceCount, n, nx, false);
    return 1;
}

int FkInverseTransform(Matrix2D<float>& re, Matrix2D<float>& im, int traceCount, int n, int nx)
{
    if (!Usable(re, im, traceCount, n, nx)) {
        return 0;
    }
    SpatialTransforms(re, im, nx, n, nx, true);
    TimeTransforms(re, im, traceCount, n, true);
    return 1;
}

}  // namespace velk
