// Redraw of a 1024-trace x 16384-sample record (colour pens, scales that fit the record into
// 1920 x 1080 pixels) through DrawRecord, as wiggles and with the positive lobes shaded:
//   BM_Record*ToBitmap      the view's road: the wx canvas into a wxMemoryDC, thin trace lines
//                           through the raster; the counters split the time into the raster
//                           (raster_ms), laying it onto the bitmap (blit_ms) and the rest, the
//                           core's own drawing and the axes and texts (core_ms);
//   BM_Record*EveryPointDc  the same with every point handed to the device context's own lines;
//   BM_Record*CoreOnly      the drawing core alone on a canvas that only counts the points.
// Needs an X display: xvfb-run build-bench/bench/record_draw --benchmark_repetitions=5

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

namespace velk {
namespace {

constexpr int kTraces = 1024;
constexpr int kSamples = 16384;

class CountingCanvas : public Canvas {
public:
    void SetPen(const Pen& p) override { pen_ = p; }
    void SetBrush(const Brush& b) override { brush_ = b; }
    void SetFont(const Font& f) override { font_ = f; }
    void SetTextColour(Rgb) override {}
    void SetTextAlign(TextAlign) override {}
    void SetTextBackground(bool, Rgb) override {}
    void MoveTo(LPoint) override {}
    void LineTo(LPoint) override { ++points; }
    void Polyline(std::span<const LPoint> p) override
    {
        points += p.size();
        if (!p.empty()) sum += p.back().y;
    }
    void Polygon(std::span<const LPoint> p, FillMode) override { points += p.size(); }
    void Rectangle(LRect) override {}
    void Ellipse(LRect) override {}
    void SetPixel(LPoint, Rgb) override {}
    void TextOut(LPoint, std::string_view) override {}
    LSize TextExtent(std::string_view t) override { return {static_cast<int32_t>(t.size()) * 17, 35}; }
    Pen CurrentPen() const override { return pen_; }
    Brush CurrentBrush() const override { return brush_; }
    Font CurrentFont() const override { return font_; }
    size_t points = 0;
    int64_t sum = 0;

private:
    Pen pen_;
    Brush brush_;
    Font font_;
};

struct Record : SyntheticRecord {
    Record() : SyntheticRecord(kTraces, kSamples, 4000.0)
    {
        CParameterSet& p = ws->store.Params();
        p.hscale = 1.1f;     // 4096 ms in 4505 units: 1703 pixels at 96 dpi
        p.plotscale = 2.0f;  // 1023 m and two 50 m margins in 2300 units: 870 pixels
        p.vscale = 0.005f;
        p.normalisation = 0;
        ws->settings.shading = 0;
        ws->display.colourFlag = 1;
    }
};

Record& TheRecord()
{
    static Record record;
    return record;
}

void Bitmap(benchmark::State& state, bool fastLines, int shading)
{
    Record& r = TheRecord();
    r.ws->settings.shading = shading;
    wxBitmap bitmap(1920, 1080, 24);
    const LogicalMapping mapping = LogicalMapping::ForDpi(96.0, 96.0);
    // The raster lives as long as the view does: from paint to paint.
    static LineRaster raster;
    WxDcCanvasStages stages;
    RecordRenderInfo info;
    info.documentTitle = "record.sg2";
    info.fastLines = fastLines;
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
    state.counters["points"] = static_cast<double>(kTraces) * kSamples;
    state.counters["raster_ms"] = stages.raster / n;
    state.counters["blit_ms"] = stages.blit / n;
    state.counters["core_ms"] = (total - stages.raster - stages.blit) / n;
}

void BM_RecordToBitmap(benchmark::State& state) { Bitmap(state, true, 0); }
void BM_RecordEveryPointDc(benchmark::State& state) { Bitmap(state, false, 0); }
void BM_RecordShadedToBitmap(benchmark::State& state) { Bitmap(state, true, 1); }
void BM_RecordShadedEveryPointDc(benchmark::State& state) { Bitmap(state, false, 1); }

void CoreOnly(benchmark::State& state, int shading)
{
    Record& r = TheRecord();
    r.ws->settings.shading = shading;
    for (auto _ : state) {
        CountingCanvas canvas;
        RecordPaint paint{canvas, nullptr, false, "record.sg2", {}};
        DrawRecord(paint, *r.ws);
        benchmark::DoNotOptimize(canvas.sum);
        state.counters["points"] = static_cast<double>(canvas.points);
    }
}

void BM_RecordCoreOnly(benchmark::State& state) { CoreOnly(state, 0); }
void BM_RecordShadedCoreOnly(benchmark::State& state) { CoreOnly(state, 1); }

BENCHMARK(BM_RecordToBitmap)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RecordEveryPointDc)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RecordCoreOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RecordShadedToBitmap)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RecordShadedEveryPointDc)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RecordShadedCoreOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
