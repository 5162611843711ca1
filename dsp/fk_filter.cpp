#include "dsp/fk_filter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "dsp/fft_engine.h"
#include "dsp/velocity_parallel.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

using Cell = std::complex<float>;
using velocity_detail::ParallelFor;

int Log2(int n) { return fft_engine::CheckedLog2(n, 0); }

// The smallest power of two, at least 2, not below n (n limited to 2^30).
int PowerOfTwoAtLeastTwo(int n)
{
    int length = 2;
    while (length < n && length < (1 << 30)) {
        length *= 2;
    }
    return length;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The dialog

DialogRequest CFkFilterDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, kTitle, "速度フィルター (F-K)"));
    const std::string unit = "km/s";
    request.Float(kInnerLow, velocity1121).Label(Msg(language, "1: low", "1: 下限")).Unit(unit);
    request.Float(kInnerHigh, velocity1123).Label(Msg(language, "1: high", "1: 上限")).Unit(unit);
    request.Choice(kFan, fanMode, {Msg(language, "Fan-pass", "ファンパス"), Msg(language, "Fan-reject", "ファンリジェクト")});
    request.Float(kOuterLow, velocity1126).Label(Msg(language, "2: low", "2: 下限")).Unit(unit);
    request.Float(kOuterHigh, velocity1125).Label(Msg(language, "2: high", "2: 上限")).Unit(unit);
    return request;
}

void CFkFilterDlg::OrderRoles()
{
    if (velocity1126 > velocity1125) {
        std::swap(velocity1121, velocity1123);
        std::swap(velocity1125, velocity1126);
    }
}

FanVelocities CFkFilterDlg::Velocities() const
{
    return {static_cast<double>(velocity1125) * 1000.0, static_cast<double>(velocity1123) * 1000.0,
            static_cast<double>(velocity1121) * 1000.0, static_cast<double>(velocity1126) * 1000.0};
}

double CFkFilterDlg::FanWeight(double h, const FanVelocities& v, double outerWeight, double innerWeight)
{
    // The transitions use 3.1416 for pi, as the filter always has.
    constexpr double kPi = 3.1416;
    const double depth = std::fabs(outerWeight - innerWeight);
    const bool innerHigher = innerWeight >= outerWeight;
    if (h >= v.v1) {
        return outerWeight;
    }
    if (h > v.v2) {  // only when v1 > v2
        const double start = innerHigher ? v.v2 : v.v1;
        return depth * 0.5 * (1.0 + std::cos(kPi * (h - start) / (v.v1 - v.v2)));
    }
    if (h >= v.v3) {
        return innerWeight;
    }
    if (h > v.v4) {  // only when v3 > v4
        const double start = innerHigher ? v.v3 : v.v4;
        return depth * 0.5 * (1.0 + std::cos(kPi * (h - start) / (v.v3 - v.v4)));
    }
    return outerWeight;
}

double CFkFilterDlg::ApparentVelocity(double f, double dk, int j, int nx)
{
    if (j == 0) {
        return 1e9;
    }
    if (j < nx / 2) {
        return -f / (dk * j);
    }
    return f / (dk * (nx - j));
}

int CFkFilterDlg::TimeLength(int samples) { return PowerOfTwoAtLeastTwo(samples); }

int CFkFilterDlg::PositionCount(int traceCount) { return traceCount <= 256 ? 256 : PowerOfTwoAtLeastTwo(traceCount); }

// ---------------------------------------------------------------------------------------------
// Time transforms, two real traces per complex transform: trace a in the real parts, trace b
// in the imaginary parts, split by the symmetry of real signals.

namespace fk_detail {

std::vector<Cell> ForwardTimeBins(const Matrix2D<float>& rows, int traceCount, int samples, int nt, int bins,
                                  int nx)
{
    std::vector<Cell> grid(static_cast<size_t>(bins) * static_cast<size_t>(nx));
    const int m = Log2(nt);
    const int copied = std::min(samples, nt);
    const int pairs = (traceCount + 1) / 2;
    ParallelFor(pairs, static_cast<int64_t>(nt) * (m + 1), [&](int first, int last) {
        std::vector<double> re(static_cast<size_t>(nt)), im(static_cast<size_t>(nt));
        for (int pair = first; pair < last; ++pair) {
            const int a = 2 * pair;
            const int b = a + 1;
            const bool twin = b < traceCount;
            std::fill(re.begin(), re.end(), 0.0);
            std::fill(im.begin(), im.end(), 0.0);
            const std::span<const float> ra = rows.Row(rows.RowLow() + a);
            std::copy_n(ra.begin(), copied, re.begin());
            if (twin) {
                const std::span<const float> rb = rows.Row(rows.RowLow() + b);
                std::copy_n(rb.begin(), copied, im.begin());
            }
            fft_engine::Transform(re.data(), im.data(), m, false, 1.0);
            for (int k = 0; k < bins; ++k) {
                const auto uk = static_cast<size_t>(k);
                const auto mirror = static_cast<size_t>((nt - k) % nt);
                const std::complex<double> z(re[uk], im[uk]);
                const std::complex<double> zc(re[mirror], -im[mirror]);
                const size_t at = uk * static_cast<size_t>(nx);
                grid[at + static_cast<size_t>(a)] = Cell((z + zc) * 0.5);
                if (twin) {
                    const std::complex<double> d = z - zc;  // B = d / 2i
                    grid[at + static_cast<size_t>(b)] = Cell(std::complex<double>(d.imag() * 0.5, -d.real() * 0.5));
                }
            }
        }
    });
    return grid;
}

}  // namespace fk_detail

namespace {

// The inverse of ForwardTimeBins for bins 0..nt/2: each column is completed by conjugate
// symmetry (its bins 0 and nt/2 taken by their real parts, which is what the real part of
// the inverse takes of them), transformed e^(+i...) with 1/nt, and written into the first
// `samples` values of its trace.
void InverseTimeBins(const std::vector<Cell>& grid, int nx, Matrix2D<float>& rows, int traceCount, int samples,
                     int nt)
{
    const int m = Log2(nt);
    const int half = nt / 2;
    const int written = std::min(samples, nt);
    const int pairs = (traceCount + 1) / 2;
    ParallelFor(pairs, static_cast<int64_t>(nt) * (m + 1), [&](int first, int last) {
        std::vector<double> re(static_cast<size_t>(nt)), im(static_cast<size_t>(nt));
        for (int pair = first; pair < last; ++pair) {
            const int a = 2 * pair;
            const int b = a + 1;
            const bool twin = b < traceCount;
            auto at = [&](int k, int column) {
                return std::complex<double>(grid[static_cast<size_t>(k) * static_cast<size_t>(nx) +
                                                 static_cast<size_t>(column)]);
            };
            for (int k = 0; k <= half; ++k) {
                std::complex<double> ya = at(k, a);
                std::complex<double> yb = twin ? at(k, b) : std::complex<double>();
                if (k == 0 || k == half) {
                    ya = ya.real();
                    yb = yb.real();
                }
                // S = A + iB at bin k, and conj(A) + i conj(B) at bin nt - k.
                const auto uk = static_cast<size_t>(k);
                re[uk] = ya.real() - yb.imag();
                im[uk] = ya.imag() + yb.real();
                if (k != 0 && k != half) {
                    const auto mirror = static_cast<size_t>(nt - k);
                    re[mirror] = ya.real() + yb.imag();
                    im[mirror] = -ya.imag() + yb.real();
                }
            }
            fft_engine::Transform(re.data(), im.data(), m, true, 1.0 / nt);
            const std::span<float> ra = rows.Row(rows.RowLow() + a);
            for (int n = 0; n < written; ++n) {
                ra[static_cast<size_t>(n)] = static_cast<float>(re[static_cast<size_t>(n)]);
            }
            if (twin) {
                const std::span<float> rb = rows.Row(rows.RowLow() + b);
                for (int n = 0; n < written; ++n) {
                    rb[static_cast<size_t>(n)] = static_cast<float>(im[static_cast<size_t>(n)]);
                }
            }
        }
    });
}

// Counts a grid can be built for: traces that have rows, samples within a row.
bool UsableGrid(const Matrix2D<float>& rows, int& traceCount, int& samples)
{
    traceCount = std::min(traceCount, static_cast<int>(rows.Rows()));
    samples = std::min(samples, static_cast<int>(rows.Cols()));
    return traceCount > 0 && samples > 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The filter

int CFkFilterDlg::Filter(Matrix2D<float>& rows, int traceCount, int samples, double dtMs, double dxM,
                         const FanVelocities& velocities, int fanMode)
{
    if (!UsableGrid(rows, traceCount, samples) || !(dtMs > 0.0) || !(dxM > 0.0) || !std::isfinite(dtMs) ||
        !std::isfinite(dxM)) {
        return 0;
    }
    const int nt = TimeLength(samples);
    const int nx = PositionCount(traceCount);
    const int bins = nt / 2 + 1;
    std::vector<Cell> grid = fk_detail::ForwardTimeBins(rows, traceCount, samples, nt, bins, nx);

    const double outer = fanMode == kFanReject ? 1.0 : 0.0;
    const double inner = fanMode == kFanReject ? 0.0 : 1.0;
    const double df = 1000.0 / (dtMs * nt);
    const double dk = 1.0 / (dxM * nx);
    const int mx = Log2(nx);
    ParallelFor(bins, static_cast<int64_t>(nx) * (2 * mx + 8), [&](int first, int last) {
        std::vector<double> re(static_cast<size_t>(nx)), im(static_cast<size_t>(nx));
        for (int i = first; i < last; ++i) {
            Cell* row = grid.data() + static_cast<size_t>(i) * static_cast<size_t>(nx);
            for (int j = 0; j < nx; ++j) {
                re[static_cast<size_t>(j)] = row[j].real();
                im[static_cast<size_t>(j)] = row[j].imag();
            }
            fft_engine::Transform(re.data(), im.data(), mx, false, 1.0);
            const double f = i * df;
            for (int j = 0; j < nx; ++j) {
                const double w = FanWeight(ApparentVelocity(f, dk, j, nx), velocities, outer, inner);
                re[static_cast<size_t>(j)] *= w;
                im[static_cast<size_t>(j)] *= w;
            }
            fft_engine::Transform(re.data(), im.data(), mx, true, 1.0 / nx);
            for (int j = 0; j < nx; ++j) {
                row[j] = Cell(static_cast<float>(re[static_cast<size_t>(j)]), static_cast<float>(im[static_cast<size_t>(j)]));
            }
        }
    });
    InverseTimeBins(grid, nx, rows, traceCount, samples, nt);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// The power spectrum

int FkPowerSpectrum(Matrix2D<float>& rows, int traceCount, int samples, int nt, int nx, int bins)
{
    if (!UsableGrid(rows, traceCount, samples) || Log2(nt) < 0 || Log2(nx) < 0 || bins < 1 || bins > nt / 2 + 1 ||
        static_cast<size_t>(nx) > rows.Rows() || static_cast<size_t>(bins) > rows.Cols() || traceCount > nx) {
        return 0;
    }
    const std::vector<Cell> grid = fk_detail::ForwardTimeBins(rows, traceCount, samples, nt, bins, nx);
    const int mx = Log2(nx);
    // Each bin's spatial transform fills one column of every row.
    ParallelFor(bins, static_cast<int64_t>(nx) * (mx + 4), [&](int first, int last) {
        std::vector<double> re(static_cast<size_t>(nx)), im(static_cast<size_t>(nx));
        for (int i = first; i < last; ++i) {
            const Cell* row = grid.data() + static_cast<size_t>(i) * static_cast<size_t>(nx);
            for (int j = 0; j < nx; ++j) {
                re[static_cast<size_t>(j)] = row[j].real();
                im[static_cast<size_t>(j)] = row[j].imag();
            }
            fft_engine::Transform(re.data(), im.data(), mx, false, 1.0);
            for (int j = 0; j < nx; ++j) {
                const double a = re[static_cast<size_t>(j)];
                const double b = im[static_cast<size_t>(j)];
                rows[rows.RowLow() + j][rows.ColLow() + i] = static_cast<float>((a * a + b * b) * 1e6);
            }
        }
    });
    return 1;
}

}  // namespace velk
