// The band-pass batch's filtering of one file's record through FilterRealRows (two traces per
// transform, threads) against the per-trace loop it replaces, measured in the same run: pack
// the trace, CBandPassDlg::Fft forward, FilterSymmetric with the cosine-taper curve, inverse,
// unpack. Records of 48 x 4096 and 1000 x 65536 samples.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "base/matrix2d.h"
#include "dsp/band_pass.h"
#include "dsp/real_row_filter.h"

namespace {

velk::Matrix2D<float> MakeRows(int traces, int samples)
{
    velk::Matrix2D<float> rows(0, traces - 1, 0, samples - 1);
    uint32_t state = 4711;
    for (float& v : rows.Elements()) {
        state = state * 1664525u + 1013904223u;
        v = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
    }
    return rows;
}

std::vector<double> Curve(int length)
{
    std::vector<double> curve(static_cast<size_t>(length / 2 + 1));
    velk::CBandPassDlg::MakeCosineTaperFilter(length / 2 + 1, 1.0f, 10.0f, 120.0f, curve.data(), "/tmp");
    return curve;
}

void BatchKernel(benchmark::State& state)
{
    const int traces = static_cast<int>(state.range(0));
    const int samples = static_cast<int>(state.range(1));
    const int length = velk::CBandPassDlg::FftLength(samples, 1);
    velk::Matrix2D<float> rows = MakeRows(traces, length);
    const std::vector<double> curve = Curve(length);
    std::vector<velk::RealRowJob> jobs(static_cast<size_t>(traces));
    for (int t = 0; t < traces; ++t) {
        jobs[static_cast<size_t>(t)] = {rows.Row(t).data(), samples, samples, curve.data(),
                                        static_cast<int>(curve.size())};
    }
    for (auto _ : state) {
        velk::FilterRealRows(jobs, length);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * traces);
}

void PerTraceReference(benchmark::State& state)
{
    const int traces = static_cast<int>(state.range(0));
    const int samples = static_cast<int>(state.range(1));
    const int length = velk::CBandPassDlg::FftLength(samples, 1);
    velk::Matrix2D<float> rows = MakeRows(traces, length);
    const std::vector<double> curve = Curve(length);
    std::vector<double> re(static_cast<size_t>(length)), im(static_cast<size_t>(length));
    for (auto _ : state) {
        for (int t = 0; t < traces; ++t) {
            velk::CBandPassDlg::PackRowComplex(rows.Row(t), samples, length, re.data(), im.data());
            velk::CBandPassDlg::Fft(re.data(), im.data(), length, 0, 0);
            velk::CBandPassDlg::FilterSymmetric(curve.data(), re.data(), im.data(), length, length / 2);
            velk::CBandPassDlg::Fft(re.data(), im.data(), length, 0, 1);
            velk::CBandPassDlg::UnpackRowReal(rows.Row(t), samples, re.data());
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * traces);
}

}  // namespace

BENCHMARK(BatchKernel)->Args({48, 4096})->Args({1000, 65536})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PerTraceReference)->Args({48, 4096})->Args({1000, 65536})->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
