// AlignByCorrelation, which the acquisition runs on every stack: a record of 24 traces is
// aligned to a reference record by the circular correlation of one trace pair. Our route
// computes the correlation by FFT; the reference in the same run is the direct sum
// c[i] = sum_j x[j] y[(i + j) mod n], O(n^2), followed by the same move of the rows.
//
//   cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target align_bench && build-bench/bench/align
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "base/matrix2d.h"
#include "dsp/trace_edit.h"

namespace {

constexpr int kTraces = 24;

void Fill(velk::Matrix2D<float>& m, int n, uint32_t seed, int delay)
{
    for (int t = 0; t < kTraces; ++t) {
        uint32_t s = seed + static_cast<uint32_t>(t);
        std::vector<float> x(static_cast<size_t>(n));
        for (float& v : x) {
            s = s * 1664525u + 1013904223u;
            v = static_cast<float>(s >> 8) / 16777216.0f - 0.5f;
        }
        for (int j = 0; j < n; ++j) m[t][j] = j >= delay ? x[static_cast<size_t>(j - delay)] : 0.0f;
    }
}

// The direct route: the O(n^2) correlation, the first largest |c|, the move of every row.
void AlignDirect(int count, int reference, int n, const velk::Matrix2D<float>& a, velk::Matrix2D<float>& b)
{
    const auto x = a.Row(reference);
    const auto y = b.Row(reference);
    int lag = 0;
    double best = -1.0;
    for (int i = 0; i < n; ++i) {
        double c = 0.0;
        for (int j = 0; j < n; ++j) c += static_cast<double>(x[static_cast<size_t>(j)]) * y[static_cast<size_t>((i + j) % n)];
        if (std::fabs(c) > best) {
            best = std::fabs(c);
            lag = i;
        }
    }
    if (lag > n / 2) lag -= n;
    std::vector<float> old(static_cast<size_t>(n));
    for (int r = 0; r < count; ++r) {
        const auto row = b.Row(r);
        std::copy_n(row.begin(), n, old.begin());
        for (int j = 0; j < n; ++j) {
            const int from = j + lag;
            row[static_cast<size_t>(j)] = from >= 0 && from < n ? old[static_cast<size_t>(from)] : 0.0f;
        }
    }
}

template <bool kFft>
void BM_Align(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    velk::Matrix2D<float> a(0, kTraces - 1, 0, n - 1);
    velk::Matrix2D<float> b(0, kTraces - 1, 0, n - 1);
    Fill(a, n, 11, 0);
    for (auto _ : state) {
        state.PauseTiming();
        Fill(b, n, 11, 7);
        state.ResumeTiming();
        if constexpr (kFft) {
            velk::AlignByCorrelation(kTraces, 0, n, a, b);
        } else {
            AlignDirect(kTraces, 0, n, a, b);
        }
        benchmark::DoNotOptimize(b.Elements().data());
    }
}

}  // namespace

BENCHMARK(BM_Align<true>)->Name("AlignByCorrelation/fft")->Arg(1024)->Arg(4096)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Align<false>)->Name("AlignByCorrelation/direct")->Arg(1024)->Arg(4096)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
