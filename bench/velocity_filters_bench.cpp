// The velocity filters and the 2-D DFT over records of 48 traces x 4096 samples (48 x 1024 for
// the DFT), each kernel as the commands call it (threads over traces, slownesses or bins).
// References in the same run: the repeated-maximum median the across-trace median replaces,
// and the direct four-fold DFT sum the separable 2-D DFT replaces (on 16 x 64, where the direct
// sum still finishes).
//
//   cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target velocity_filters_bench && build-bench/bench/velocity_filters
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/fk_arrays.h"
#include "dsp/fk_filter.h"
#include "dsp/median_filter.h"
#include "dsp/taup.h"

namespace {

using velk::Matrix2D;

Matrix2D<float> Noise(int traces, int samples)
{
    Matrix2D<float> m(0, traces - 1, 0, samples - 1);
    uint32_t state = 12345;
    for (float& v : m.Elements()) {
        state = state * 1664525u + 1013904223u;
        v = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
    }
    return m;
}

std::vector<double> Positions(int traces)
{
    std::vector<double> x;
    for (int t = 0; t < traces; ++t) x.push_back(2.0 * t);
    return x;
}

void FkFilter(benchmark::State& state)
{
    const Matrix2D<float> input = Noise(48, 4096);
    velk::CFkFilterDlg d;
    d.velocity1121 = 0.3f;
    d.velocity1123 = 1.5f;
    d.velocity1125 = 1.6f;
    d.velocity1126 = 0.2f;
    for (auto _ : state) {
        Matrix2D<float> m = input;
        velk::CFkFilterDlg::Filter(m, 48, 4096, 0.25, 2.0, d.Velocities(), velk::CFkFilterDlg::kFanReject);
        benchmark::DoNotOptimize(m.Elements().data());
    }
}
BENCHMARK(FkFilter)->Unit(benchmark::kMillisecond);

void MedianAlongSlowness(benchmark::State& state)
{
    const Matrix2D<float> input = Noise(48, 4096);
    Matrix2D<float> out(0, 47, 0, 4095);
    const std::vector<double> x = Positions(48);
    for (auto _ : state) {
        velk::MedianAlongSlowness(48, 11, input, out, 4096, 0.25f, x, 0.5f, 1.5f, 20, 1);
        benchmark::DoNotOptimize(out.Elements().data());
    }
}
BENCHMARK(MedianAlongSlowness)->Unit(benchmark::kMillisecond);

void MedianAcrossTraces(benchmark::State& state)
{
    const Matrix2D<float> input = Noise(48, 4096);
    Matrix2D<float> out(0, 47, 0, 4095);
    for (auto _ : state) {
        velk::MedianAcrossTraces(48, 11, input, out, 4096);
        benchmark::DoNotOptimize(out.Elements().data());
    }
}
BENCHMARK(MedianAcrossTraces)->Unit(benchmark::kMillisecond);

// The reference: selection by repeated maximum over at most 21 values, one thread.
float RepeatedMaximum(const float* values, int count)
{
    bool taken[21] = {};
    float value = -100000.0f;
    for (int pass = 0; pass < (count - 1) / 2 + 1; ++pass) {
        value = -100000.0f;
        int at = -1;
        for (int i = 0; i < count; ++i) {
            if (!taken[i] && values[i] > value) {
                value = values[i];
                at = i;
            }
        }
        if (at >= 0) taken[at] = true;
    }
    return value;
}

void MedianAcrossTracesRepeatedMaximum(benchmark::State& state)
{
    const Matrix2D<float> input = Noise(48, 4096);
    Matrix2D<float> out(0, 47, 0, 4095);
    float window[21];
    for (auto _ : state) {
        for (int i = 0; i < 48; ++i) {
            for (int k = 0; k < 4096; ++k) {
                int n = 0;
                for (int t = std::max(i - 5, 0); t < std::min(i + 6, 48); ++t) window[n++] = input[t][k];
                out[i][k] = RepeatedMaximum(window, n);
            }
        }
        benchmark::DoNotOptimize(out.Elements().data());
    }
}
BENCHMARK(MedianAcrossTracesRepeatedMaximum)->Unit(benchmark::kMillisecond);

void SlantStack(benchmark::State& state)
{
    const Matrix2D<float> input = Noise(48, 4096);
    Matrix2D<float> out(0, 999, 0, 4095);
    const std::vector<double> x = Positions(48);
    for (auto _ : state) {
        velk::CTauPTransformDlg::SlantStack(input, out, 0.05f, 0.002f, 1000, 4096, 48, 0.25f, x, 0.0,
                                            velk::CTauPTransformDlg::kAmplitudeBySemblance, 0);
        benchmark::DoNotOptimize(out.Elements().data());
    }
}
BENCHMARK(SlantStack)->Unit(benchmark::kMillisecond);

void Dft2dSeparable(benchmark::State& state)
{
    const int k = static_cast<int>(state.range(0));
    const int l = static_cast<int>(state.range(1));
    velk::CFkArraysDlg holder(k, l);
    holder.Input() = Noise(k, l);
    for (auto _ : state) {
        holder.Dft2dMagnitude(k, l);
        benchmark::DoNotOptimize(holder.Output().Elements().data());
    }
}
BENCHMARK(Dft2dSeparable)->Args({48, 1024})->Args({16, 64})->Unit(benchmark::kMillisecond);

// The reference: every output cell as the direct double sum over the whole input, with the
// angles and their sines and cosines in single precision.
void Dft2dDirect(benchmark::State& state)
{
    const int k = static_cast<int>(state.range(0));
    const int l = static_cast<int>(state.range(1));
    const Matrix2D<float> in = Noise(k, l);
    Matrix2D<float> out(0, k - 1, 0, l - 1);
    const float wk = 6.2831855f / static_cast<float>(k);
    const float wl = 6.2831855f / static_cast<float>(l);
    for (auto _ : state) {
        for (int i = 0; i < k; ++i) {
            for (int j = 0; j < l; ++j) {
                long double cc = 0, ss = 0, sc = 0, cs = 0;
                for (int r = 0; r < k; ++r) {
                    const float a = wk * static_cast<float>(r * i);
                    const float ca = std::cos(a), sa = std::sin(a);
                    for (int c = 0; c < l; ++c) {
                        const float b = wl * static_cast<float>(c * j);
                        const float cb = std::cos(b), sb = std::sin(b);
                        const long double v = in[r][c];
                        cc += v * ca * cb;
                        ss += v * sa * sb;
                        sc += v * sa * cb;
                        cs += v * ca * sb;
                    }
                }
                out[i][j] = static_cast<float>(std::sqrt((cc - ss) * (cc - ss) + (sc + cs) * (sc + cs)));
            }
        }
        benchmark::DoNotOptimize(out.Elements().data());
    }
}
BENCHMARK(Dft2dDirect)->Args({16, 64})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
