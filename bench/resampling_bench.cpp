// Spline re-sampling of 48 x 4096 samples to half the interval, and "Unknown wavelet" with
// Gauss and a 200-sample operator over 48 x 4096 samples, on a stored record.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include "app/dsp/deconvolution_commands.h"
#include "app/dsp/resampling_commands.h"
#include "app/workspace.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace velk {
namespace {

class AnswerAll : public NullUiHost {
public:
    std::string field, value;
    std::string field2, value2, field3, value3;

protected:
    bool DoRunDialog(DialogRequest& request) override
    {
        for (auto* pair : {&field, &field2, &field3}) {
            const std::string& v = pair == &field ? value : pair == &field2 ? value2 : value3;
            if (!pair->empty()) request.SetFromText(*pair, v);
        }
        return true;
    }
};

struct Record {
    Record()
    {
        profile = std::make_unique<Profile>(Profile::FromText("[General]\nMAXTRACES=48\nMAX_SAMPLE=8200\n"));
        ws = std::make_unique<Workspace>(*profile, ui);
        ws->InitForView("/tmp");
    }
    void Fill()
    {
        WaveformStore& s = ws->store;
        for (int i = 0; i < 48; ++i) {
            s.current.headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 1, 1, 0.0f, 1000.0f, 4096);
            const auto row = s.current.rows.Row(i);
            for (int k = 0; k < 4096; ++k) row[static_cast<size_t>(k)] = static_cast<float>(std::sin(0.05 * k + i));
        }
        s.Params().traceCount = 48;
        s.Params().samplesPerTrace = 4096;
        s.Params().samplesShown = 4096;
        s.Params().sampleInterval = 1.0f;
    }
    AnswerAll ui;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<Workspace> ws;
};

void SplineResample48x4096(benchmark::State& state)
{
    Record r;
    r.ui.field = "Sampling time";
    r.ui.value = "0.5";
    NullUiHost null;
    auto progress = null.BeginProgress("");
    for (auto _ : state) {
        state.PauseTiming();
        r.Fill();
        state.ResumeTiming();
        benchmark::DoNotOptimize(OnSplineResample(*r.ws, r.ui, *progress));
    }
}
BENCHMARK(SplineResample48x4096)->Unit(benchmark::kMillisecond);

void UnknownWaveletGauss200(benchmark::State& state)
{
    Record r;
    r.ui.field = "Method";
    r.ui.value = "Gauss method";
    r.ui.field2 = "Opelator length";
    r.ui.value2 = "200";
    NullUiHost null;
    auto progress = null.BeginProgress("");
    for (auto _ : state) {
        state.PauseTiming();
        r.Fill();
        state.ResumeTiming();
        benchmark::DoNotOptimize(OnUnknownWavelet(*r.ws, r.ui, *progress));
    }
}
BENCHMARK(UnknownWaveletGauss200)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velk

BENCHMARK_MAIN();
