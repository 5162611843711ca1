// The time-domain correlation and convolution commands and the automatic shift by correlation
// on a 48 x 4096 record, each beside the direct O(n^2) sums they replace (the same command
// with the circular sums written out), in one run:
//
//   cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target correlation_bench && build-bench/bench/correlation
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/dsp/correlation_commands.h"
#include "app/dsp/time_shift.h"
#include "app/workspace.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace {

constexpr int kTraces = 48;
constexpr int kSamples = 4096;

class NoProgress : public velk::ProgressSink {
public:
    void SetRange(int) override {}
    void StepIt() override {}
    void SetText(const std::string&) override {}
};

// A workspace with 48 x 4096 values in [-0.5, 0.5) at 0.25 ms; trace 0 is selected. All traces
// share one receiver; trace 0 is component 1, the others component 2.
struct Record {
    Record()
        : profile(velk::Profile::FromText("[General]\nMAXTRACES=" + std::to_string(kTraces) +
                                          "\nMAX_SAMPLE=" + std::to_string(kSamples) + "\n")),
          ws(profile, ui)
    {
        folder = std::filesystem::temp_directory_path() / ("velk-correlation-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        ws.startup.language = -1;
        ws.InitForView(folder.string());
        uint32_t state = 12345;
        input.resize(static_cast<size_t>(kTraces) * kSamples);
        for (float& v : input) {
            state = state * 1664525u + 1013904223u;
            v = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
        }
        Reset();
    }
    ~Record()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    void Reset()
    {
        velk::WaveformStore& s = ws.store;
        for (int i = 0; i < kTraces; ++i) {
            s.current.headers[static_cast<size_t>(i)].Set(i + 1, 100, 0, 1, i == 0 ? 1 : 2, 0.0f, 250.0f, kSamples);
            const auto row = s.current.rows.Row(i);
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(i) * kSamples, kSamples, row.begin());
            s.Params().selectionFlags[static_cast<size_t>(i)] = i == 0 ? 1 : 0;
        }
        s.Params().traceCount = kTraces;
        s.Params().samplesPerTrace = kSamples;
        s.Params().sampleInterval = 0.25f;
        s.undoDepth = 0;
        ws.componentToEdit = -1;
    }

    velk::NullUiHost ui;
    velk::Profile profile;
    velk::Workspace ws;
    std::filesystem::path folder;
    std::vector<float> input;
};

// The direct circular sums over n points, the wrap split out of the inner loops.
void DirectCorrelation(const std::vector<double>& x, const std::vector<double>& y, std::vector<double>& out)
{
    const size_t n = x.size();
    for (size_t i = 0; i < n; ++i) {
        double sum = 0.0;
        for (size_t j = 0; j < n - i; ++j) sum += x[j] * y[i + j];
        for (size_t j = n - i; j < n; ++j) sum += x[j] * y[i + j - n];
        out[i] = sum;
    }
}

void DirectConvolution(const std::vector<double>& x, const std::vector<double>& y, std::vector<double>& out)
{
    const size_t n = x.size();
    for (size_t i = 0; i < n; ++i) {
        double sum = 0.0;
        for (size_t m = 0; m <= i; ++m) sum += x[m] * y[i - m];
        for (size_t m = i + 1; m < n; ++m) sum += x[m] * y[i + n - m];
        out[i] = sum;
    }
}

std::vector<double> TraceOf(velk::Workspace& ws, int i)
{
    const auto row = ws.store.current.rows.Row(i);
    return std::vector<double>(row.begin(), row.begin() + kSamples);
}

// Each trace := -(reference (x) trace), undo first, as the command does.
template <class Product>
void DirectCommand(velk::Workspace& ws, Product product)
{
    const std::vector<double> ref = TraceOf(ws, 0);
    ws.store.PushUndo();
    std::vector<double> out(kSamples);
    for (int i = 0; i < kTraces; ++i) {
        product(ref, TraceOf(ws, i), out);
        const auto row = ws.store.current.rows.Row(i);
        for (int j = 0; j < kSamples; ++j) row[static_cast<size_t>(j)] = static_cast<float>(-out[static_cast<size_t>(j)]);
    }
    ws.store.ComputeTraceMaxima();
}

// The automatic shift with the correlation written out.
void DirectAutoShift(velk::Workspace& ws)
{
    ws.store.PushUndo();
    const std::vector<double> ref = TraceOf(ws, 0);
    std::vector<double> c(kSamples);
    for (int i = 1; i < kTraces; ++i) {
        DirectCorrelation(ref, TraceOf(ws, i), c);
        int lag = 0;
        for (int k = 1; k < kSamples; ++k) {
            if (std::abs(c[static_cast<size_t>(k)]) > std::abs(c[static_cast<size_t>(lag)])) lag = k;
        }
        if (lag > kSamples / 2) lag -= kSamples;
        ws.componentToEdit = 2;
        velk::ShiftTraces(ws, static_cast<float>(lag) * 0.25f, 0);
    }
    ws.componentToEdit = -1;
    ws.store.ComputeTraceMaxima();
}

template <class Run>
void Loop(benchmark::State& state, Run run)
{
    auto record = std::make_unique<Record>();
    for (auto _ : state) {
        state.PauseTiming();
        record->Reset();
        state.ResumeTiming();
        run(record->ws);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTraces);
}

void TimeDomainCorrelation(benchmark::State& state)
{
    NoProgress progress;
    velk::NullUiHost ui;
    Loop(state, [&](velk::Workspace& ws) { velk::OnCorrelationTimeDomain(ws, ui, progress); });
}
void TimeDomainCorrelationDirect(benchmark::State& state)
{
    Loop(state, [](velk::Workspace& ws) { DirectCommand(ws, DirectCorrelation); });
}
void TimeDomainConvolution(benchmark::State& state)
{
    NoProgress progress;
    velk::NullUiHost ui;
    Loop(state, [&](velk::Workspace& ws) { velk::OnConvolutionTimeDomain(ws, ui, progress); });
}
void TimeDomainConvolutionDirect(benchmark::State& state)
{
    Loop(state, [](velk::Workspace& ws) { DirectCommand(ws, DirectConvolution); });
}
void AutoShiftByCorrelation(benchmark::State& state)
{
    velk::NullUiHost ui;
    Loop(state, [&](velk::Workspace& ws) { velk::AutoShiftByCorrelation(ws, ui, 0); });
}
void AutoShiftByCorrelationDirect(benchmark::State& state)
{
    Loop(state, [](velk::Workspace& ws) { DirectAutoShift(ws); });
}

}  // namespace

BENCHMARK(TimeDomainCorrelation)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(TimeDomainCorrelationDirect)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(TimeDomainConvolution)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(TimeDomainConvolutionDirect)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(AutoShiftByCorrelation)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(AutoShiftByCorrelationDirect)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_MAIN();
