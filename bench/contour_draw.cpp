// Paint of a 128-trace x 4100-sample record as a colour contour image (about 525,000 cells):
//   BM_ContourFlatToBitmap    plot mode 0 ("Color contour plot") through the wx canvas into a
//                             bitmap, the view's road: the cells filled in the raster; the
//                             counters split the time into the raster (raster_ms), laying it
//                             onto the bitmap (blit_ms) and the rest, the core's cell loop and
//                             the axes and texts (core_ms);
//   BM_ContourFlatToolkit     the same with the cells filled by the device context (one path per
//                             run of cells of one colour), the road before the raster;
//   BM_ContourBands*          plot mode 1 ("Fine color contour plot") likewise;
//   BM_ContourCellGeometry    the band polygons of every cell computed alone, no canvas.
// Needs an X display: xvfb-run build-bench/bench/contour_draw --benchmark_repetitions=5

#include <benchmark/benchmark.h>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/init.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>

#include "toolkit/wx_dc_canvas.h"
#include "draw/line_raster.h"
#include "draw/mapping.h"
#include "app/view/record_drawing.h"
#include "app/view/record_extents.h"
#include "app/ui/record_render.h"
#include "app/workspace.h"
#include "bench/synthetic_record.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "draw/contour_palette.h"

namespace velk {
namespace {

constexpr int kTraces = 128;
constexpr int kSamples = 4100;

struct Record : SyntheticRecord {
    Record() : SyntheticRecord(kTraces, kSamples, 400.0)
    {
        CParameterSet& p = ws->store.Params();
        p.hscale = 4.0f;     // 1025 ms in 4100 units: 1550 pixels at 96 dpi
        p.plotscale = 20.0f; // 127 m and two margins in 2640 units: 1000 pixels
        p.vscale = 0.01f;    // by trace: the values span the levels
        p.normalisation = 0;
    }
};

Record& TheRecord()
{
    static Record record;
    return record;
}

void Paint(benchmark::State& state, int plotMode, bool fastFills)
{
    Record& r = TheRecord();
    r.ws->display.plotMode = plotMode;
    r.ws->display.plotSubFlag = 0;
    wxBitmap bitmap(1920, 1200, 24);
    const LogicalMapping mapping = LogicalMapping::ForDpi(96.0, 96.0);
    // The raster lives as long as the view does: from paint to paint.
    static LineRaster raster;
    WxDcCanvasStages stages;
    RecordRenderInfo info;
    info.documentTitle = "record.sg2";
    info.fastFills = fastFills;
    info.raster = &raster;
    info.stages = &stages;
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        RenderRecordBitmap(bitmap, mapping, *r.ws, info);
        benchmark::ClobberMemory();
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["cells"] = static_cast<double>(kTraces - 1) * (kSamples - 1);
    state.counters["raster_ms"] = stages.raster / n;
    state.counters["blit_ms"] = stages.blit / n;
    state.counters["core_ms"] = (total - stages.raster - stages.blit) / n;
}

void BM_ContourFlatToBitmap(benchmark::State& state) { Paint(state, 0, true); }
void BM_ContourFlatToolkit(benchmark::State& state) { Paint(state, 0, false); }
void BM_ContourBandsToBitmap(benchmark::State& state) { Paint(state, 1, true); }
void BM_ContourBandsToolkit(benchmark::State& state) { Paint(state, 1, false); }

void BM_ContourCellGeometry(benchmark::State& state)
{
    Record& r = TheRecord();
    ContourPalette palette;
    SetAutomaticLevels(palette, -10.0f);
    BuildColourTable(palette);
    const WaveformStore& s = r.ws->store;
    ContourCellPieces pieces;
    for (auto _ : state) {
        int64_t polygons = 0;
        for (int i = 0; i + 1 < kTraces; ++i) {
            const float g = 0.01f * 1000.0f / s.Params().traceMaxima[static_cast<size_t>(i)];
            const auto a = s.current.rows.Row(i), b = s.current.rows.Row(i + 1);
            for (int j = 0; j + 1 < kSamples; ++j) {
                ContourQuad q;
                q.p = {LPoint{300 + j, -300 - i * 20}, LPoint{300 + j, -320 - i * 20}, LPoint{301 + j, -320 - i * 20},
                       LPoint{301 + j, -300 - i * 20}};
                q.v = {g * a[static_cast<size_t>(j)], g * b[static_cast<size_t>(j)], g * b[static_cast<size_t>(j + 1)],
                       g * a[static_cast<size_t>(j + 1)]};
                ComputeContourQuad(palette, q, 0, pieces);
                polygons += pieces.polygonCount;
            }
        }
        benchmark::DoNotOptimize(polygons);
        state.counters["polygons"] = static_cast<double>(polygons);
    }
}

BENCHMARK(BM_ContourFlatToBitmap)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ContourFlatToolkit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ContourBandsToBitmap)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ContourBandsToolkit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ContourCellGeometry)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace velk

int main(int argc, char** argv)
{
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(wxArgc, wxArgv)) return 1;
    wxTheApp->CallOnInit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxEntryCleanup();
    return 0;
}
