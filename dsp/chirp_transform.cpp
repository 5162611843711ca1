#include "dsp/chirp_transform.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

#include "dsp/fft_engine.h"

namespace velk {

namespace {

// Below this length the direct sum is as quick and keeps the familiar values exactly.
constexpr int kDirectBelow = 32;

// The direct sum, zero-based, in place, with the twiddles cos/sin(2 pi k/n) in double.
void DirectSum(double* re, double* im, int n, bool inverse, double scale)
{
    const auto un = static_cast<size_t>(n);
    std::vector<double> xr(re, re + un), xi(im, im + un), c(un), s(un);
    for (size_t k = 0; k < un; ++k) {
        const double a = 2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n);
        c[k] = std::cos(a);
        s[k] = inverse ? std::sin(a) : -std::sin(a);
    }
    for (size_t i = 0; i < un; ++i) {
        double sr = 0.0, si = 0.0;
        size_t k = 0;  // i * j mod n
        for (size_t j = 0; j < un; ++j) {
            sr += xr[j] * c[k] - xi[j] * s[k];
            si += xr[j] * s[k] + xi[j] * c[k];
            k += i;
            if (k >= un) k -= un;
        }
        re[i] = sr * scale;
        im[i] = si * scale;
    }
}

// What one length needs: the chirp a[m] = e^(-i pi m^2/n), m < n, and the transform of the
// convolution kernel b (b[m] = b[M - m] = conj a[m]), with the work arrays of M points.
struct ChirpPlan {
    int n = 0;
    int log2m = 0;
    std::vector<double> chirpRe, chirpIm;
    std::vector<double> kernelRe, kernelIm;
    std::vector<double> workRe, workIm;
};

void Build(ChirpPlan& plan, int n)
{
    int log2m = 1;
    while ((int64_t{1} << log2m) < 2 * int64_t{n} - 1) ++log2m;
    const size_t M = size_t{1} << log2m;
    const auto un = static_cast<size_t>(n);
    ChirpPlan next;
    next.n = n;
    next.log2m = log2m;
    next.chirpRe.resize(un);
    next.chirpIm.resize(un);
    next.kernelRe.assign(M, 0.0);
    next.kernelIm.assign(M, 0.0);
    next.workRe.resize(M);
    next.workIm.resize(M);
    const auto twoN = static_cast<uint64_t>(2 * int64_t{n});
    for (size_t m = 0; m < un; ++m) {
        // m^2 mod 2n: the angle pi m^2/n reduced exactly, whatever the size of m^2.
        const uint64_t r = (static_cast<uint64_t>(m) * m) % twoN;
        const double a = std::numbers::pi * static_cast<double>(r) / static_cast<double>(n);
        next.chirpRe[m] = std::cos(a);
        next.chirpIm[m] = -std::sin(a);
        next.kernelRe[m] = next.chirpRe[m];
        next.kernelIm[m] = -next.chirpIm[m];
        if (m > 0) {
            next.kernelRe[M - m] = next.kernelRe[m];
            next.kernelIm[M - m] = next.kernelIm[m];
        }
    }
    fft_engine::Transform(next.kernelRe.data(), next.kernelIm.data(), log2m, false, 1.0);
    plan = std::move(next);
}

ChirpPlan& PlanFor(int n)
{
    thread_local ChirpPlan plan;
    if (plan.n != n) Build(plan, n);
    return plan;
}

// The forward transform of n points through the convolution with the chirp.
void Chirp(ChirpPlan& p, double* re, double* im, int n, double scale)
{
    const auto un = static_cast<size_t>(n);
    const size_t M = p.workRe.size();
    double* wr = p.workRe.data();
    double* wi = p.workIm.data();
    for (size_t j = 0; j < un; ++j) {
        const double cr = p.chirpRe[j], ci = p.chirpIm[j];
        wr[j] = re[j] * cr - im[j] * ci;
        wi[j] = re[j] * ci + im[j] * cr;
    }
    for (size_t j = un; j < M; ++j) {
        wr[j] = 0.0;
        wi[j] = 0.0;
    }
    fft_engine::Transform(wr, wi, p.log2m, false, 1.0);
    const double* kr = p.kernelRe.data();
    const double* ki = p.kernelIm.data();
    for (size_t k = 0; k < M; ++k) {
        const double ar = wr[k], ai = wi[k];
        wr[k] = ar * kr[k] - ai * ki[k];
        wi[k] = ar * ki[k] + ai * kr[k];
    }
    fft_engine::Transform(wr, wi, p.log2m, true, 1.0);
    const double s = scale / static_cast<double>(M);
    for (size_t k = 0; k < un; ++k) {
        const double cr = p.chirpRe[k], ci = p.chirpIm[k];
        re[k] = (wr[k] * cr - wi[k] * ci) * s;
        im[k] = (wr[k] * ci + wi[k] * cr) * s;
    }
}

// Lengths n = P m with P = 2^a > 1 and m odd > 1 are split (the four steps): with the input
// laid out as P rows of m (row j1 holds x[m j1 + j2]), the P-point transforms down the columns
// (radix-2 butterflies between whole rows), the twiddles w_n^(j2 k1), the m-point transform of
// every row, and X[k1 + P k2] = value k2 of row k1. The chirp convolution then runs on m points,
// with transforms short enough to stay in the cache, instead of on n.
struct SplitPlan {
    int n = 0;
    int rows = 0;     // P
    int columns = 0;  // m
    std::vector<double> turnRe, turnIm;  // w_n^(j2 k1), k1 * m + j2
    std::vector<double> rowRe, rowIm;    // w_P^j, j < P/2
    std::vector<double> workRe, workIm;  // n values
};

SplitPlan& SplitPlanFor(int n, int rows)
{
    thread_local SplitPlan plan;
    if (plan.n != n) {
        const int columns = n / rows;
        const auto un = static_cast<size_t>(n);
        SplitPlan next;
        next.n = n;
        next.rows = rows;
        next.columns = columns;
        next.turnRe.resize(un);
        next.turnIm.resize(un);
        for (size_t k1 = 0; k1 < static_cast<size_t>(rows); ++k1) {
            for (size_t j2 = 0; j2 < static_cast<size_t>(columns); ++j2) {
                const double a = -2.0 * std::numbers::pi * static_cast<double>((k1 * j2) % un) / static_cast<double>(n);
                next.turnRe[k1 * static_cast<size_t>(columns) + j2] = std::cos(a);
                next.turnIm[k1 * static_cast<size_t>(columns) + j2] = std::sin(a);
            }
        }
        for (int j = 0; j < rows / 2; ++j) {
            const double a = -2.0 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(rows);
            next.rowRe.push_back(std::cos(a));
            next.rowIm.push_back(std::sin(a));
        }
        next.workRe.resize(un);
        next.workIm.resize(un);
        plan = std::move(next);
    }
    return plan;
}

// The forward transform of n = rows * odd points through the split (see SplitPlan).
void Split(double* re, double* im, int n, int rows, double scale)
{
    SplitPlan& p = SplitPlanFor(n, rows);
    const auto m = static_cast<size_t>(p.columns);
    const auto P = static_cast<size_t>(rows);
    double* wr = p.workRe.data();
    double* wi = p.workIm.data();
    std::copy(re, re + P * m, wr);
    std::copy(im, im + P * m, wi);
    // Radix-2 decimation in frequency between rows; the rows end in bit-reversed order.
    for (size_t span = P / 2; span >= 1; span /= 2) {
        const size_t step = P / (2 * span);
        for (size_t first = 0; first < P; first += 2 * span) {
            for (size_t j = 0; j < span; ++j) {
                const double c = p.rowRe[j * step], sn = p.rowIm[j * step];
                double* ar = wr + (first + j) * m;
                double* ai = wi + (first + j) * m;
                double* br = wr + (first + j + span) * m;
                double* bi = wi + (first + j + span) * m;
                for (size_t q = 0; q < m; ++q) {
                    const double xr = ar[q], xi = ai[q], yr = br[q], yi = bi[q];
                    ar[q] = xr + yr;
                    ai[q] = xi + yi;
                    const double dr = xr - yr, di = xi - yi;
                    br[q] = dr * c - di * sn;
                    bi[q] = dr * sn + di * c;
                }
            }
        }
    }
    int bits = 0;
    while ((size_t{1} << bits) < P) ++bits;
    for (size_t r = 0; r < P; ++r) {
        size_t k1 = 0;  // the row's bin: r with its bits reversed
        for (int b = 0; b < bits; ++b) k1 = (k1 << 1) | ((r >> b) & 1u);
        double* rr = wr + r * m;
        double* ri = wi + r * m;
        const double* tr = p.turnRe.data() + k1 * m;
        const double* ti = p.turnIm.data() + k1 * m;
        for (size_t q = 0; q < m; ++q) {
            const double xr = rr[q], xi = ri[q];
            rr[q] = xr * tr[q] - xi * ti[q];
            ri[q] = xr * ti[q] + xi * tr[q];
        }
        TransformAnyLength(rr, ri, p.columns, false, scale);
        for (size_t q = 0; q < m; ++q) {
            re[k1 + P * q] = rr[q];
            im[k1 + P * q] = ri[q];
        }
    }
}

// e^(-2 pi i k/n), k < n/2, for taking apart the transform of a packed real sequence.
struct HalfTurn {
    int n = 0;
    std::vector<double> c, s;
};

const HalfTurn& HalfTurnFor(int n)
{
    thread_local HalfTurn turn;
    if (turn.n != n) {
        const auto h = static_cast<size_t>(n / 2);
        HalfTurn next;
        next.n = n;
        next.c.resize(h);
        next.s.resize(h);
        for (size_t k = 0; k < h; ++k) {
            const double a = 2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n);
            next.c[k] = std::cos(a);
            next.s[k] = -std::sin(a);
        }
        turn = std::move(next);
    }
    return turn;
}

}  // namespace

void TransformRealAnyLength(const double* x, double* re, double* im, int n, double scale)
{
    if (n < 1) return;
    const auto un = static_cast<size_t>(n);
    if (n % 2 != 0 || n < 2 * kDirectBelow) {
        std::vector<double> xr(x, x + un), xi(un, 0.0);
        TransformAnyLength(xr.data(), xi.data(), n, false, scale);
        std::copy(xr.begin(), xr.end(), re);
        std::copy(xi.begin(), xi.end(), im);
        return;
    }
    const size_t h = un / 2;
    std::vector<double> zr(h), zi(h);
    for (size_t j = 0; j < h; ++j) {
        zr[j] = x[2 * j];
        zi[j] = x[2 * j + 1];
    }
    const HalfTurn& w = HalfTurnFor(n);
    TransformAnyLength(zr.data(), zi.data(), static_cast<int>(h), false, 1.0);
    // With E, O the transforms of the even and odd samples: E[k] = (Z[k] + conj Z[h-k]) / 2,
    // O[k] = (Z[k] - conj Z[h-k]) / 2i, X[k] = E[k] + w^k O[k], X[k+h] = E[k] - w^k O[k].
    const double half = 0.5 * scale;
    for (size_t k = 0; k < h; ++k) {
        const size_t m = k == 0 ? 0 : h - k;
        const double ar = zr[k], ai = zi[k], br = zr[m], bi = -zi[m];  // b = conj Z[h-k]
        const double er = ar + br, ei = ai + bi;
        const double odr = ai - bi, odi = br - ar;  // (a - b) / i, times 2
        const double tr = w.c[k] * odr - w.s[k] * odi;
        const double ti = w.c[k] * odi + w.s[k] * odr;
        re[k] = (er + tr) * half;
        im[k] = (ei + ti) * half;
        re[k + h] = (er - tr) * half;
        im[k + h] = (ei - ti) * half;
    }
}

void TransformAnyLength(double* re, double* im, int n, bool inverse, double scale)
{
    if (n < 1) return;
    if (n < kDirectBelow) {
        DirectSum(re, im, n, inverse, scale);
        return;
    }
    const int log2n = fft_engine::CheckedLog2(n, 0);
    if (log2n >= 1) {
        fft_engine::Transform(re, im, log2n, inverse, scale);
        return;
    }
    if (fft_engine::HasSmallFactors(n)) {
        fft_engine::TransformSmallFactors(re, im, n, inverse, scale);
        return;
    }
    int rows = 1;  // the power of two in n
    while (n % (2 * rows) == 0) rows *= 2;
    // The plans may throw: nothing is touched before.
    ChirpPlan* plan = rows > 1 ? nullptr : &PlanFor(n);
    if (rows > 1) {
        SplitPlanFor(n, rows);
        if (n / rows >= kDirectBelow) PlanFor(n / rows);  // the rows' chirp
    }
    // The inverse is the forward transform of the conjugate, conjugated.
    const auto un = static_cast<size_t>(n);
    if (inverse) {
        for (size_t k = 0; k < un; ++k) im[k] = -im[k];
    }
    if (plan != nullptr) {
        Chirp(*plan, re, im, n, scale);
    } else {
        Split(re, im, n, rows, scale);
    }
    if (inverse) {
        for (size_t k = 0; k < un; ++k) im[k] = -im[k];
    }
}

}  // namespace velk
