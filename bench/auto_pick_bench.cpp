// AutoPickFirstBreaks over 1024 traces x 16384 samples at 0.25 ms (the synthetic record of the
// drawing benchmarks), band-pass on and off, no checking rounds. The reference, measured in the
// same run, is a straightforward single-threaded picker written here in plain loops, trace after
// trace: the same band-pass, windows, noise model and AIC. Before timing, every pick of the
// two must agree within one sample.
//
//   cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target auto_pick_bench && build-bench/bench/auto_pick
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/synthetic_record.h"
#include "dsp/band_pass.h"
#include "dsp/synthetic.h"
#include "traveltime/first_break_picker.h"

namespace {

using velk::CTraceHeader;
using velk::Matrix2D;

constexpr int kTraces = 1024;
constexpr int kSamples = 16384;

velk::SyntheticRecord& Record()
{
    static velk::SyntheticRecord record(kTraces, kSamples, 2000.0);
    return record;
}

velk::AutoPickSettings Settings(int bandPass)
{
    velk::AutoPickSettings s;
    s.bandPass = bandPass;
    s.numberOfChecking = 0;
    return s;
}

// The reference: one trace at a time, every step in its own plain loop.
bool Levinson(const double* r, double* a, int order)
{
    std::vector<double> prev(static_cast<size_t>(order) + 1, 0.0), cur(static_cast<size_t>(order) + 1, 0.0);
    double error = r[0];
    if (!(error > 0.0)) return false;
    for (int m = 1; m <= order; ++m) {
        double acc = r[m];
        for (int j = 1; j < m; ++j) acc -= prev[static_cast<size_t>(j)] * r[m - j];
        const double k = acc / error;
        cur[static_cast<size_t>(m)] = k;
        for (int j = 1; j < m; ++j) cur[static_cast<size_t>(j)] = prev[static_cast<size_t>(j)] - k * prev[static_cast<size_t>(m - j)];
        error *= 1.0 - k * k;
        if (error == 0.0 || !std::isfinite(error)) return false;
        prev = cur;
    }
    for (int j = 1; j <= order; ++j) a[j - 1] = prev[static_cast<size_t>(j)];
    return true;
}

float ReferencePick(std::vector<double>& x, float dt)
{
    const int n = static_cast<int>(x.size());
    const int l0 = std::max(10, static_cast<int>(std::min(3.0 / 100.0 / (dt * 0.001), 0.1 * n)));
    const int w = n / l0 >= 2 ? n / l0 - 1 : 1;
    const int length = n / w;
    const int count = 2 * w - 2;
    if (count <= 0) return 0.0f;
    std::vector<double> d(static_cast<size_t>(count)), a(static_cast<size_t>(count));
    std::vector<int> start(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        start[static_cast<size_t>(k)] = static_cast<int>(k * length / 2.0);
        for (int j = start[static_cast<size_t>(k)]; j < start[static_cast<size_t>(k)] + length - 1; ++j) {
            d[static_cast<size_t>(k)] += std::fabs(x[static_cast<size_t>(j) + 1] - x[static_cast<size_t>(j)]);
            a[static_cast<size_t>(k)] += std::fabs(x[static_cast<size_t>(j)]);
        }
    }
    int signal = count - 1, noise = count - 1;
    for (int k = count - 2; k >= 0; --k) {
        if (d[static_cast<size_t>(k)] > d[static_cast<size_t>(signal)]) {
            signal = noise = k;
        } else if (d[static_cast<size_t>(k)] < d[static_cast<size_t>(noise)]) {
            noise = k;
        }
    }
    int signalStart = start[static_cast<size_t>(signal)], noiseStart = start[static_cast<size_t>(noise)];
    const double aSignal = a[static_cast<size_t>(signal)];
    if (aSignal > 0.0) {
        const double q = a[static_cast<size_t>(noise)] != 0.0 ? a[static_cast<size_t>(noise)] : 0.01 * aSignal;
        if (q / aSignal < 0.1) {
            for (int k = noise + 1; k < signal; ++k) {
                if (a[static_cast<size_t>(k)] > q + 0.3 * (aSignal - q)) {
                    signalStart = start[static_cast<size_t>(k)];
                    break;
                }
            }
            for (int k = noise + 1; k < signal && a[static_cast<size_t>(k)] <= q; ++k) noiseStart = start[static_cast<size_t>(k)];
        }
    }
    // Noise model.
    velk::SyntheticRandom random(0);
    std::vector<double> y(static_cast<size_t>(length));
    double mean = 0.0;
    for (int j = 0; j < length; ++j) {
        y[static_cast<size_t>(j)] = x[static_cast<size_t>(noiseStart + j)] + (random.Uniform() - 0.5) * 0.001;
        mean += y[static_cast<size_t>(j)];
    }
    mean /= length;
    double r[6] = {};
    for (int k = 0; k <= 5; ++k) {
        for (int j = 0; j + k < length; ++j) r[k] += (y[static_cast<size_t>(j)] - mean) * (y[static_cast<size_t>(j + k)] - mean);
        r[k] /= length - k;
    }
    double coef[5] = {};
    if (!Levinson(r, coef, 5)) return 0.0f;
    // AIC over the stretch.
    const int s = std::max(0, static_cast<int>(noiseStart - 0.1 * length));
    const int e = std::min(n - 1, static_cast<int>(signalStart + 1.5 * length));
    const int total = e - s + 1;
    std::vector<double> err(static_cast<size_t>(total));
    double after = 0.0;
    for (int i = 0; i < total; ++i) {
        double v = x[static_cast<size_t>(s + i)];
        for (int m = 1; m <= 5; ++m) {
            if (s + i - m >= 0) v -= coef[m - 1] * x[static_cast<size_t>(s + i - m)];
        }
        err[static_cast<size_t>(i)] = v * v;
        after += v * v;
    }
    const int first = std::max(2, noiseStart - s);
    std::vector<double> aic;
    double before = 0.0;
    for (int k = 0; k <= total - 3; ++k) {
        if (k >= first) {
            const double sb = before > 0.0 ? before : 0.0001, sa = after > 0.0 ? after : 0.0001;
            aic.push_back((total - k) * std::log(sa / (total - k) * 0.0001) + k * std::log(sb / k * 0.0001));
        }
        before += err[static_cast<size_t>(k)];
        after -= err[static_cast<size_t>(k)];
    }
    int best = -1;
    for (size_t i = 1; i + 1 < aic.size(); ++i) {
        const double d1 = aic[i] - aic[i - 1], d2 = aic[i + 1] - aic[i];
        if (d1 < 0.0 && d2 >= 0.0 && d2 - d1 > 0.0 && (best < 0 || aic[i] < aic[static_cast<size_t>(best)])) best = static_cast<int>(i);
    }
    return static_cast<float>((s + first + std::max(best, 0)) * static_cast<double>(dt));
}

std::vector<float> ReferencePicks(const Matrix2D<float>& rows, const std::vector<CTraceHeader>& headers, int bandPass)
{
    std::vector<double> curve;
    const int length = velk::CBandPassDlg::FftLength(kSamples, 1);
    if (bandPass == 1) {
        curve.assign(static_cast<size_t>(length / 2 + 1), 0.0);
        velk::CBandPassDlg::MakeSlopeFilter(static_cast<int>(curve.size()), 0.25f, 1.0f, 500.0f, 20.0f, 20.0f, curve.data());
    }
    std::vector<float> picks(kTraces);
    std::vector<double> x;
    for (int i = 0; i < kTraces; ++i) {
        const auto row = rows.Row(i);
        x.assign(row.begin(), row.begin() + headers[static_cast<size_t>(i)].samples);
        if (bandPass == 1) velk::CBandPassDlg::FilterArray(kSamples, length, x.data(), curve);
        picks[static_cast<size_t>(i)] = ReferencePick(x, 0.25f);
    }
    return picks;
}

std::vector<CTraceHeader> Headers()
{
    const auto& h = Record().ws->store.current.headers;
    return std::vector<CTraceHeader>(h.begin(), h.begin() + kTraces);
}

void CheckAgreement(int bandPass)
{
    const Matrix2D<float>& rows = Record().ws->store.current.rows;
    const std::vector<CTraceHeader> headers = Headers();
    std::vector<float> times(kTraces);
    std::vector<int32_t> codes(kTraces);
    velk::AutoPickFirstBreaks(rows, headers, kTraces, 0, times, codes, Settings(bandPass));
    const std::vector<float> reference = ReferencePicks(rows, headers, bandPass);
    for (int i = 0; i < kTraces; ++i) {
        if (std::fabs(times[static_cast<size_t>(i)] - reference[static_cast<size_t>(i)]) > 0.25f + 1e-4f) {
            std::fprintf(stderr, "band-pass %d, trace %d: %f against the reference %f\n", bandPass, i,
                         static_cast<double>(times[static_cast<size_t>(i)]), static_cast<double>(reference[static_cast<size_t>(i)]));
            std::exit(1);
        }
    }
}

void BM_AutoPick(benchmark::State& state)
{
    const int bandPass = static_cast<int>(state.range(0));
    CheckAgreement(bandPass);
    const Matrix2D<float>& rows = Record().ws->store.current.rows;
    const std::vector<CTraceHeader> headers = Headers();
    std::vector<float> times(kTraces);
    std::vector<int32_t> codes(kTraces);
    for (auto _ : state) {
        velk::AutoPickFirstBreaks(rows, headers, kTraces, 0, times, codes, Settings(bandPass));
        benchmark::DoNotOptimize(times.data());
    }
}

void BM_Reference(benchmark::State& state)
{
    const int bandPass = static_cast<int>(state.range(0));
    const Matrix2D<float>& rows = Record().ws->store.current.rows;
    const std::vector<CTraceHeader> headers = Headers();
    for (auto _ : state) benchmark::DoNotOptimize(ReferencePicks(rows, headers, bandPass));
}

BENCHMARK(BM_AutoPick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reference)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
