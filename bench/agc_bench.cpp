// The AGC kernels over a record of 48 x 4096 samples: the instantaneous AGC (running order
// statistic) for windows of 21, 201 and 801 samples against two references measured in the
// same run, a median taken afresh for every window with nth_element (O(samples x window)) and,
// for the 21-sample window only, the repeated-maximum selection (O(samples x window^2)); and the
// ZAV AGC (four transforms per trace).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/agc.h"

namespace {

constexpr int kTraces = 48;
constexpr int kSamples = 4096;

std::vector<std::vector<double>> Record()
{
    std::vector<std::vector<double>> traces(kTraces, std::vector<double>(kSamples));
    uint32_t state = 12345;
    for (int t = 0; t < kTraces; ++t) {
        for (int j = 0; j < kSamples; ++j) {
            state = state * 1664525u + 1013904223u;
            const double noise = static_cast<double>(state >> 8) / 16777216.0 - 0.5;
            traces[static_cast<size_t>(t)][static_cast<size_t>(j)] = noise * std::exp(-j / 1000.0);
        }
    }
    return traces;
}

// The gains of the instantaneous AGC with the median found by `median` for every window.
template <class Median>
void ReferenceAgc(std::vector<double>& x, int w, double criticalDb, Median median)
{
    const int n = static_cast<int>(x.size());
    std::vector<float> a(x.size());
    double peak = 0.0;
    for (int i = 0; i < n; ++i) {
        a[static_cast<size_t>(i)] = static_cast<float>(std::fabs(x[static_cast<size_t>(i)]));
        peak = std::max(peak, std::fabs(x[static_cast<size_t>(i)]));
    }
    const double limit = std::pow(10.0, 0.05 * criticalDb);
    std::vector<double> g(x.size());
    std::vector<float> window;
    for (int i = 0; i < n; ++i) {
        window.clear();
        for (int k = std::max(0, i - w / 2); k < std::min(n, i - w / 2 + w); ++k) window.push_back(a[static_cast<size_t>(k)]);
        const double med = median(window);
        g[static_cast<size_t>(i)] = (med > 0.0 && peak / med < limit) ? peak / med : 1.0;
    }
    for (int i = 1; i + 1 < n; ++i) {
        x[static_cast<size_t>(i)] *= (g[static_cast<size_t>(i) - 1] + 2.0 * g[static_cast<size_t>(i)] + g[static_cast<size_t>(i) + 1]) / 4.0;
    }
}

float NthElementMedian(std::vector<float>& v)
{
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Pass r takes the largest value not yet taken; pass (count - 1)/2 + 1 gives the result.
float RepeatedMaximumMedian(std::vector<float>& v)
{
    const size_t passes = (v.size() - 1) / 2 + 1;
    std::vector<char> taken(v.size(), 0);
    float value = -100000.0f;
    for (size_t r = 0; r < passes; ++r) {
        value = -100000.0f;
        size_t at = v.size();
        for (size_t k = 0; k < v.size(); ++k) {
            if (!taken[k] && v[k] > value) {
                value = v[k];
                at = k;
            }
        }
        if (at < v.size()) taken[at] = 1;
    }
    return value;
}

void BM_InstantaneousAgc(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const auto record = Record();
    for (auto _ : state) {
        auto work = record;
        for (auto& trace : work) velk::CAgcDlg::ApplyInstantaneousAgc(trace.data(), w, kSamples, 60.0);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
}
BENCHMARK(BM_InstantaneousAgc)->Arg(21)->Arg(201)->Arg(801)->Unit(benchmark::kMillisecond);

void BM_ReferenceNthElement(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const auto record = Record();
    for (auto _ : state) {
        auto work = record;
        for (auto& trace : work) ReferenceAgc(trace, w, 60.0, NthElementMedian);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
}
BENCHMARK(BM_ReferenceNthElement)->Arg(21)->Arg(201)->Arg(801)->Unit(benchmark::kMillisecond);

void BM_ReferenceRepeatedMaximum(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const auto record = Record();
    for (auto _ : state) {
        auto work = record;
        for (auto& trace : work) ReferenceAgc(trace, w, 60.0, RepeatedMaximumMedian);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
}
BENCHMARK(BM_ReferenceRepeatedMaximum)->Arg(21)->Unit(benchmark::kMillisecond);

void BM_ZavAgc(benchmark::State& state)
{
    const auto record = Record();
    std::vector<std::vector<float>> traces;
    for (const auto& t : record) traces.emplace_back(t.begin(), t.end());
    std::vector<double> curve(kSamples / 2 + 1), re(kSamples), im(kSamples);
    velk::CAgcDlg::ZavAgcCurve(kSamples, 1.0f, 50.0f, 20.0f, curve.data());
    std::vector<float> out(kSamples);
    for (auto _ : state) {
        for (const auto& trace : traces) {
            velk::CAgcDlg::ZavAgcTrace(trace, out, kSamples, curve.data(), 10.0, re.data(), im.data());
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
}
BENCHMARK(BM_ZavAgc)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
