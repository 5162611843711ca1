// The first-arrival ray tracer over two-layer models of 201 x 201 and 2001 x 2001 cells (cells
// per second), against a plain reference measured in the same run: the same expanding squares
// with fresh vectors for every side, whole-grid copies in the smoothing and no seeding of sides
// without an interior minimum.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "traveltime/velocity_model.h"

namespace {

std::vector<float> Model(int n)
{
    std::vector<float> v(static_cast<size_t>(n) * n);
    for (int k = 0; k < n; ++k) std::fill_n(v.begin() + static_cast<std::ptrdiff_t>(k) * n, n, k < n / 2 ? 2000.0f : 4000.0f);
    return v;
}

// One smoothing pass from whole-grid copies.
void ReferenceSmooth(int nx, int nz, std::vector<float>& g)
{
    std::vector<float> c = g;
    for (int k = 1; k < nz - 1; ++k)
        for (int i = 1; i < nx - 1; ++i)
            g[k * nx + i] = 0.33333334f * (c[k * nx + i - 1] + c[k * nx + i] + c[k * nx + i + 1]);
    c = g;
    for (int k = 1; k < nz - 1; ++k)
        for (int i = 1; i < nx - 1; ++i)
            g[k * nx + i] = 0.33333334f * (c[(k - 1) * nx + i] + c[k * nx + i] + c[(k + 1) * nx + i]);
}

void ReferenceSide(int n, const std::vector<float>& si, const std::vector<float>& so, const std::vector<float>& t,
                   std::vector<float>& out, float h)
{
    if (n == 1) {
        out[0] = t[0] + h * (si[0] + so[0]) / 2.0f;
        return;
    }
    for (int j = 0; j < n; ++j) out[j] = 10000.0f;
    for (int j = 1; j < n - 1; ++j) {
        if (t[j] < t[j - 1] && t[j] < t[j + 1]) {
            const float a = h * (si[j] + so[j]) / 2.0f;
            const float d = a * a - (t[j - 1] - t[j + 1]) * (t[j - 1] - t[j + 1]) / 4.0f;
            out[j] = d > 1e-6f ? t[j] + std::sqrt(d) : t[j] + a;
        }
    }
    auto step = [&](int j, int m) {
        const float s = (si[j] + si[m] + so[j] + so[m]) / 4.0f;
        const float d = 2.0f * (h * s) * (h * s) - (out[j] - t[m]) * (out[j] - t[m]);
        float c;
        if (d > 1e-6f) {
            c = t[j] + std::sqrt(d);
        } else {
            c = std::min({out[j] + h * (so[j] + so[m]) / 2.0f, t[m] + h * (so[m] + si[m]) / 2.0f,
                          t[j] + std::sqrt(2.0f) * h * (so[m] + si[j]) / 2.0f});
        }
        out[m] = std::min(out[m], c);
    };
    for (int j = 1; j < n - 1; ++j) {
        if (out[j] < 9999.0f) step(j, j + 1);
    }
    for (int j = n - 1; j >= 1; --j) step(j, j - 1);
}

void ReferenceTrace(std::vector<float>& tt, const std::vector<float>& vel, int nz, int nx, float h, int sc, int sr)
{
    std::vector<float> s(vel.size());
    for (size_t c = 0; c < s.size(); ++c) s[c] = 1.0f / (vel[c] * 0.001f);
    ReferenceSmooth(nx, nz, s);
    ReferenceSmooth(nx, nz, s);
    tt.assign(vel.size(), 0.0f);
    auto at = [&](std::vector<float>& g, int i, int k) -> float& { return g[static_cast<size_t>(k) * nx + i]; };
    for (int w = 0;; ++w) {
        const int r = w + 1;
        const int top = sr - r, bottom = sr + r, left = sc - r, right = sc + r;
        if (top < 0 && bottom >= nz && left < 0 && right >= nx) break;
        auto side = [&](bool row, int line, int inner, int first, int last) {
            const int n = last - first + 1;
            std::vector<float> si(n), so(n), t(n), out(n);
            for (int j = 0; j < n; ++j) {
                const int p = first + j;
                si[j] = row ? at(s, p, inner) : at(s, inner, p);
                so[j] = row ? at(s, p, line) : at(s, line, p);
                t[j] = row ? at(tt, p, inner) : at(tt, inner, p);
            }
            ReferenceSide(n, si, so, t, out, h);
            for (int j = 0; j < n; ++j) (row ? at(tt, first + j, line) : at(tt, line, first + j)) = out[j];
        };
        const int i0 = std::max(left + 1, 0), i1 = std::min(right - 1, nx - 1);
        const int k0 = std::max(top + 1, 0), k1 = std::min(bottom - 1, nz - 1);
        if (top >= 0) side(true, top, top + 1, i0, i1);
        if (bottom < nz) side(true, bottom, bottom - 1, i0, i1);
        if (left >= 0) side(false, left, left + 1, k0, k1);
        if (right < nx) side(false, right, right - 1, k0, k1);
        auto corner = [&](int ci, int ck, int di, int dk) {
            const float q = h * (at(s, ci, ck) + at(s, di, dk) + at(s, di, ck) + at(s, ci, dk)) / 4.0f;
            at(tt, ci, ck) = at(tt, di, dk) + std::sqrt(2.0f * q * q);
        };
        if (top >= 0 && left >= 0) corner(left, top, left + 1, top + 1);
        if (top >= 0 && right < nx) corner(right, top, right - 1, top + 1);
        if (bottom < nz && left >= 0) corner(left, bottom, left + 1, bottom - 1);
        if (bottom < nz && right < nx) corner(right, bottom, right - 1, bottom - 1);
    }
}

void BM_TraceTravelTimes(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<float> v = Model(n);
    std::vector<float> tt;
    for (auto _ : state) {
        velk::TraceTravelTimes(tt, v, n, n, 1.0f, n / 2, n / 4);
        benchmark::DoNotOptimize(tt.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(n) * n);
}

void BM_Reference(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<float> v = Model(n);
    std::vector<float> tt;
    for (auto _ : state) {
        ReferenceTrace(tt, v, n, n, 1.0f, n / 2, n / 4);
        benchmark::DoNotOptimize(tt.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(n) * n);
}

}  // namespace

BENCHMARK(BM_TraceTravelTimes)->Arg(201)->Arg(2001)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference)->Arg(201)->Arg(2001)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
