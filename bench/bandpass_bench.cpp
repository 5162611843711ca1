// The band-pass pass of "BPF" (BandPassPass: the pass ApplyBandPass runs after its dialog)
// over a record in the waveform store, dB-per-octave curve, every trace. Shapes 48 x 4096 and
// 1000 x 65536 float samples. The numpy reference runs in the same benchmark run from
// bench/bandpass.py, which starts this program and prints both times and their ratio:
//
//   cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target bandpass_bench
//   /usr/bin/python3 bench/bandpass.py build-bench/bench/bandpass
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "app/dsp/band_pass_commands.h"
#include "app/workspace.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace {

class NoProgress : public velk::ProgressSink {
public:
    void SetRange(int) override {}
    void StepIt() override {}
    void SetText(const std::string&) override {}
};

// A workspace whose store holds `traces` x `samples` values in [-0.5, 0.5) at 0.25 ms.
struct Record {
    Record(int traces, int samples)
        : profile(velk::Profile::FromText("[General]\nMAXTRACES=" + std::to_string(traces) +
                                          "\nMAX_SAMPLE=" + std::to_string(samples) + "\n")),
          ws(profile, ui)
    {
        folder = std::filesystem::temp_directory_path() / ("velk-bandpass-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        ws.startup.language = -1;
        ws.InitForView(folder.string());
        velk::WaveformStore& s = ws.store;
        uint32_t state = 12345;
        for (int i = 0; i < traces; ++i) {
            s.current.headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 1, 1, 0.0f, 250.0f, samples);
            const auto row = s.current.rows.Row(i);
            for (int j = 0; j < samples; ++j) {
                state = state * 1664525u + 1013904223u;
                row[static_cast<size_t>(j)] = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
            }
        }
        s.Params().traceCount = traces;
        s.Params().samplesPerTrace = samples;
        s.Params().sampleInterval = 0.25f;
    }
    ~Record()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    velk::NullUiHost ui;
    velk::Profile profile;
    velk::Workspace ws;
    std::filesystem::path folder;
};

void BandPass(benchmark::State& state)
{
    const int traces = static_cast<int>(state.range(0));
    const int samples = static_cast<int>(state.range(1));
    auto record = std::make_unique<Record>(traces, samples);
    NoProgress progress;
    for (auto _ : state) {
        velk::BandPassPass(record->ws, progress, 0, 10.0f, 400.0f, 24.0f, 24.0f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(traces) * samples);
}

}  // namespace

BENCHMARK(BandPass)->Args({48, 4096})->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BandPass)->Args({1000, 65536})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_MAIN();
