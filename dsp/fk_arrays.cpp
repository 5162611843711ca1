#include "dsp/fk_arrays.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <numbers>
#include <vector>

#include "dsp/velocity_parallel.h"

namespace velk {

namespace {

using velocity_detail::ParallelFor;

// cos and sin of 2 pi m / n, m = 0..n-1.
void Twiddles(int n, std::vector<double>& c, std::vector<double>& s)
{
    c.resize(static_cast<size_t>(n));
    s.resize(static_cast<size_t>(n));
    for (int m = 0; m < n; ++m) {
        const double a = 2.0 * std::numbers::pi * m / n;
        c[static_cast<size_t>(m)] = std::cos(a);
        s[static_cast<size_t>(m)] = std::sin(a);
    }
}

int Limit(int n, size_t limit) { return std::clamp(n, 0, static_cast<int>(std::min<size_t>(limit, 1u << 30))); }

}  // namespace

CFkArraysDlg::CFkArraysDlg(int rows, int columns)
    : output_(0, std::max(rows, 1) - 1, 0, std::max(columns, 1) - 1),
      input_(0, std::max(rows, 1) - 1, 0, std::max(columns, 1) - 1)
{
}

void CFkArraysDlg::Dft2dMagnitude(int k, int l)
{
    const int rows = Limit(k, input_.Rows());
    const int cols = Limit(l, input_.Cols());
    if (rows == 0 || cols == 0) {
        return;
    }
    const auto ur = static_cast<size_t>(rows);
    const auto uc = static_cast<size_t>(cols);
    std::vector<double> cl, sl, ck, sk;
    Twiddles(cols, cl, sl);
    Twiddles(rows, ck, sk);

    // Along the rows: partial[r][j] = sum_l in[r][l] e^(-2 pi i l j / L).
    std::vector<std::complex<double>> partial(ur * uc);
    ParallelFor(rows, static_cast<int64_t>(cols) * cols, [&](int first, int last) {
        for (int r = first; r < last; ++r) {
            const std::span<const float> in = input_.Row(r);
            for (size_t j = 0; j < uc; ++j) {
                double re = 0.0;
                double im = 0.0;
                size_t index = 0;  // l j mod L
                for (size_t x = 0; x < uc; ++x) {
                    re += in[x] * cl[index];
                    im -= in[x] * sl[index];
                    index += j;
                    if (index >= uc) {
                        index -= uc;
                    }
                }
                partial[static_cast<size_t>(r) * uc + j] = {re, im};
            }
        }
    });

    // Along the columns: out[i][j] = | sum_r partial[r][j] e^(-2 pi i r i / K) |.
    ParallelFor(rows, static_cast<int64_t>(rows) * cols, [&](int first, int last) {
        std::vector<std::complex<double>> sum(uc);
        for (int i = first; i < last; ++i) {
            std::fill(sum.begin(), sum.end(), std::complex<double>());
            size_t index = 0;  // r i mod K
            for (size_t r = 0; r < ur; ++r) {
                const std::complex<double> w(ck[index], -sk[index]);
                const std::complex<double>* p = partial.data() + r * uc;
                for (size_t j = 0; j < uc; ++j) {
                    sum[j] += p[j] * w;
                }
                index += static_cast<size_t>(i);
                index %= ur;
            }
            const std::span<float> out = output_.Row(i);
            for (size_t j = 0; j < uc; ++j) {
                out[j] = static_cast<float>(std::abs(sum[j]));
            }
        }
    });
}

int CFkArraysDlg::SetInputRow(const double* values, int row, int count)
{
    if (row < input_.RowLow() || row > input_.RowHigh()) {
        return 0;
    }
    const std::span<float> out = input_.Row(row);
    const int n = Limit(count, out.size());
    for (int j = 0; j < n; ++j) {
        out[static_cast<size_t>(j)] = static_cast<float>(values[j]);
    }
    return n;
}

int CFkArraysDlg::GetOutputRow(double* values, int row, int count) const
{
    if (row < output_.RowLow() || row > output_.RowHigh()) {
        return 0;
    }
    const std::span<const float> in = output_.Row(row);
    const int n = Limit(count, in.size());
    for (int j = 0; j < n; ++j) {
        values[j] = in[static_cast<size_t>(j)];
    }
    return n;
}

}  // namespace velk
