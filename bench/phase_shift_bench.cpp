// The phase-shift dispersion image (PhaseShiftImage: packing, FFTs and the stack) of 24 traces
// x 1500 samples at 1 ms (nfft 2048), 0-95 Hz (195 rows), 0-0.5 km/s by 0.0025 (200
// velocities), against a straightforward stack with a cosine and sine per term over the same
// spectra, in the same run. bench/phase_shift.py runs it and numpy's vectorised phase shift:
//
//   cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target phase_shift_bench
//   /usr/bin/python3 bench/phase_shift.py build-bench/bench/phase_shift
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "dsp/fourier.h"
#include "surfacewave/phase_velocity.h"

namespace {

using namespace velk;

constexpr int kTraces = 24, kSamples = 1500;

struct Shot {
    Shot() : rows(0, kTraces - 1, 0, kSamples - 1), headers(kTraces)
    {
        for (int i = 0; i < kTraces; ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, 100 * (i + 2), 0, 1, 1, 0.0f, 1000.0f, kSamples);
            for (int j = 0; j < kSamples; ++j) rows[i][j] = static_cast<float>(std::sin(0.05 * j - 0.3 * i) * std::exp(-0.002 * j) + 0.01 * ((i * 7 + j * 13) % 17));
        }
        settings.endFrequency = 95.0f;
    }
    SurfaceWaveRecord View() const { return {rows, headers, kTraces, kSamples, 1.0f}; }
    Matrix2D<float> rows;
    std::vector<CTraceHeader> headers;
    CContourSettings settings;
};

void PhaseShiftImageWhole(benchmark::State& state)
{
    const Shot shot;
    PhaseVelocityImage image;
    for (auto _ : state) {
        PhaseShiftImage(shot.View(), shot.settings, {256, 4100}, image);
        benchmark::DoNotOptimize(image.values.data());
    }
}
BENCHMARK(PhaseShiftImageWhole)->Unit(benchmark::kMillisecond);

// The reference: the same spectra, then cos and sin for every term.
void StraightforwardStack(benchmark::State& state)
{
    const Shot shot;
    const int nfft = 2048, bins = 195;
    const double df = 1000.0 / nfft;
    std::vector<std::complex<double>> u(static_cast<size_t>(kTraces) * bins);
    std::vector<double> re(nfft), im(nfft), x(kTraces);
    std::vector<float> out(static_cast<size_t>(bins) * 200);
    for (auto _ : state) {
        for (int q = 0; q < kTraces; ++q) {
            CFourier::PackRowNormalized(shot.rows.Row(q), kSamples, nfft, re.data(), im.data());
            CFourier::Fft(re.data(), im.data(), nfft, 0, 0);
            for (int k = 0; k < bins; ++k) {
                const std::complex<double> z(re[static_cast<size_t>(k)], im[static_cast<size_t>(k)]);
                u[static_cast<size_t>(q) * bins + k] = std::abs(z) > 0 ? z / std::abs(z) : 0.0;
            }
            x[static_cast<size_t>(q)] = q;
        }
        for (int j = 0; j < 200; ++j) {
            const double v = j == 0 ? 0.1 : j * 2.5;
            for (int k = 0; k < bins; ++k) {
                std::complex<double> s;
                for (int q = 0; q < kTraces; ++q) {
                    const double phi = 2 * std::numbers::pi * k * df * x[static_cast<size_t>(q)] / v;
                    s += u[static_cast<size_t>(q) * bins + k] * std::complex<double>(std::cos(phi), std::sin(phi));
                }
                out[static_cast<size_t>(k) * 200 + j] = static_cast<float>(std::abs(s) / kTraces);
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(StraightforwardStack)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
