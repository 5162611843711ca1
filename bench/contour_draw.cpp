// Paint of a 128-trace x 4100-sample record as a colour contour image (about 525,000 cells):
//   BM_ContourFlatToBitmap    plot mode 0 ("Color contour plot") through the wx canvas into a
//                             bitmap, the view's road;
//   BM_ContourBandsToBitmap   plot mode 1 ("Fine color contour plot") likewise;
//   BM_ContourCellGeometry    the reference: the band polygons of every cell computed alone, no
//                             canvas.
// Needs an X display: xvfb-run build-bench/bench/contour_draw

#include <benchmark/benchmark.h>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/init.h>

#include <cmath>
#include <memory>
#include <random>

#include "draw/mapping.h"
#include "app/view/record_drawing.h"
#include "app/view/record_extents.h"
#include "app/ui/record_render.h"
#include "app/workspace.h"
#include "bench/synthetic_record.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "surfacewave/contour_palette.h"

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

void Paint(benchmark::State& state, int plotMode)
{
    Record& r = TheRecord();
    r.ws->display.plotMode = plotMode;
    r.ws->display.plotSubFlag = 0;
    wxBitmap bitmap(1920, 1200, 24);
    const LogicalMapping mapping = LogicalMapping::ForDpi(96.0, 96.0);
    RecordRenderInfo info;
    info.documentTitle = "record.sg2";
    for (auto _ : state) {
        RenderRecordBitmap(bitmap, mapping, *r.ws, info);
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = static_cast<double>(kTraces - 1) * (kSamples - 1);
}

void BM_ContourFlatToBitmap(benchmark::State& state) { Paint(state, 0); }
void BM_ContourBandsToBitmap(benchmark::State& state) { Paint(state, 1); }

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

BENCHMARK(BM_ContourFlatToBitmap)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ContourBandsToBitmap)->Unit(benchmark::kMillisecond)->Iterations(3);
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
