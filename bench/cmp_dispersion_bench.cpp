// The curves of every CMP of a line by the cross-correlation average: 24 shots of 24 traces of
// 2048 samples at 1 m, a spread that moves 1 m per shot, CMP bins of 1 m, separation 1. Our
// route transforms every trace once and keeps the spectra per shot; the reference in the same
// run keeps none, so that both traces of every pair are transformed anew for each pair. Both
// spread the CMPs over the same threads (argument: 0 as the machine allows, 1 one thread).
//
//   cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target cmp_dispersion_bench && build-bench/bench/cmp_dispersion
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "surfacewave/cmp_dispersion.h"
#include "survey/file_group.h"

namespace {

constexpr int kShots = 24;
constexpr int kTraces = 24;
constexpr int kSamples = 2048;

double Velocity(double f) { return std::clamp(400.0 - 10.0 * f, 100.0, 300.0); }

// Shot n at n - 2 m, its receivers at n .. n + 23 m (columns n .. n + 23).
const velk::CFileGroup& Line()
{
    static velk::CFileGroup g = [] {
        velk::CFileGroup group;
        const int receivers = kShots + kTraces - 1;
        group.AllocateTable(kShots, receivers);
        group.sourceCount = kShots;
        group.receiverCount = receivers;
        std::vector<float> row(kSamples);
        const double df = 1000.0 / kSamples;
        for (int n = 0; n < kShots; ++n) {
            const double xs = n - 2.0;
            for (int i = 0; i < kTraces; ++i) {
                const double x = n + i;
                std::fill(row.begin(), row.end(), 0.0f);
                for (int k = 1; k * df < 40.0; k += 4) {
                    const double f = k * df, tau = (x - xs) / Velocity(f);
                    for (int j = 0; j < kSamples; ++j) {
                        row[static_cast<size_t>(j)] += static_cast<float>(std::cos(2.0 * std::numbers::pi * f * (j * 0.001 - tau)));
                    }
                }
                velk::CTraceHeader h;
                h.Set(i + 1, static_cast<int32_t>(x * 100), static_cast<int32_t>(xs * 100), 1, 1, 0.0f, 1000.0f, kSamples);
                group.table[static_cast<size_t>(n)][static_cast<size_t>(n + i)].SetTrace(row, h);
            }
        }
        group.dataLoaded = 1;
        return group;
    }();
    return g;
}

void Run(benchmark::State& state, size_t budget)
{
    const velk::CFileGroup& g = Line();
    const std::vector<double> positions = velk::CmpPositions(-1.0, 33.5, 1.0);
    const int threads = static_cast<int>(state.range(0));
    size_t points = 0;
    for (auto _ : state) {
        const velk::CmpSpectra spectra(g, 1, budget, threads);
        const auto curves = velk::CmpLineCurves(g, spectra, positions, 1, 1, {}, 4.0f, 40.0f, threads);
        points = 0;
        for (const auto& c : curves) points += c.points.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = static_cast<double>(points);
}

void BM_CmpDispersionKeptSpectra(benchmark::State& state) { Run(state, velk::CmpSpectra::kDefaultBudget); }
void BM_CmpDispersionEveryPairAnew(benchmark::State& state) { Run(state, 0); }

BENCHMARK(BM_CmpDispersionKeptSpectra)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CmpDispersionEveryPairAnew)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
