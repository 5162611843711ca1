// The two-dimensional SPAC of a "Double circle 37" record of 8192 samples (703 receiver pairs)
// and the synthesis of one such record with three plane waves. bench/spac.py runs this program
// and the numpy reference in one run.

#include <benchmark/benchmark.h>

#include <vector>

#include "formats/format_support.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "surfacewave/mam_geometry.h"
#include "surfacewave/synthetic_microtremor.h"

namespace velk {
namespace {

constexpr int kReceivers = 37;
constexpr int kSamples = SyntheticMicrotremor::kSamples;

struct Array {
    Array() : profile(Profile::FromText("")), geometry(profile, 64)
    {
        geometry.iGeometry = CMamGeometry::kDoubleCircle37;
        geometry.ArraySize = 40.0f;
        std::vector<CTraceHeader> h(kReceivers);
        int traces = kReceivers;
        geometry.BuildArrayGeometry(traces, h, MamContext{ui, -1, NullLog()});
    }
    void Synthesise(Matrix2D<float>& rows, std::vector<CTraceHeader>& headers)
    {
        SyntheticMicrotremor s;
        for (int d = 0; d < 3; ++d) {
            s.Generate(geometry.receivers, headers, rows, kReceivers, 10.0f + 18.5f * static_cast<float>(d),
                       SyntheticMicrotremor::kDelta, d, static_cast<uint32_t>(d + 1), NullLog());
        }
    }
    Profile profile;
    NullUiHost ui;
    CMamGeometry geometry;
};

void BM_Spac2D(benchmark::State& state)
{
    Array a;
    Matrix2D<float> record(0, kReceivers - 1, 0, kSamples - 1);
    std::vector<CTraceHeader> headers(kReceivers);
    a.Synthesise(record, headers);
    Matrix2D<float> rows = record;
    for (auto _ : state) {
        state.PauseTiming();
        rows = record;
        state.ResumeTiming();
        benchmark::DoNotOptimize(a.geometry.Spac2D(kReceivers, kSamples, rows, headers, 1, kReceivers, NullLog()));
    }
}
BENCHMARK(BM_Spac2D)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Synthesis(benchmark::State& state)
{
    Array a;
    Matrix2D<float> rows(0, kReceivers - 1, 0, kSamples - 1);
    std::vector<CTraceHeader> headers(kReceivers);
    for (auto _ : state) {
        a.Synthesise(rows, headers);
        benchmark::DoNotOptimize(rows.Row(0).data());
    }
}
BENCHMARK(BM_Synthesis)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velk

BENCHMARK_MAIN();
