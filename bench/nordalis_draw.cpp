// The time-frequency viewer's paint of 48 panels x 2045 windows x 128 frequencies into a
// window-sized bitmap:
//   BM_PanelImages          the panel pictures built once (what a change of scheme costs);
//   BM_ViewerPaint/zoom     one paint from the kept pictures, only the exposed part scaled;
//   BM_StackedStretch/zoom  the reference: the whole stacked picture built and stretched onto
//                           the window at every paint.
// Zoom 1 and 8 apply to both scales. Needs an X display: xvfb-run build-bench/bench/nordalis_draw

#include <benchmark/benchmark.h>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cmath>

#include "draw/mapping.h"
#include "nordalis/panel_image.h"
#include "nordalis/ui/panel_bitmap.h"
#include "toolkit/wx_dc_canvas.h"

namespace velk::nordalis {
namespace {

constexpr int kPanels = 48, kWindows = 2045, kFrequencies = 128;
constexpr int kWidth = 1920, kHeight = 1080;

const PanelData& Data()
{
    static const PanelData data = [] {
        PanelData d;
        d.n1 = kPanels;
        d.n2 = kWindows;
        d.n3 = kFrequencies;
        d.timeStep = 4.0f;
        d.frequencyStep = 7.8125f;
        d.values = Float3D(kPanels, kWindows, kFrequencies);
        for (int i = 0; i < kPanels; ++i)
            for (int j = 0; j < kWindows; ++j)
                for (int k = 0; k < kFrequencies; ++k)
                    d.values(i, j, k) = static_cast<float>(std::exp(-0.02 * std::abs(k - (j + i) % kFrequencies)));
        return d;
    }();
    return data;
}

void BM_PanelImages(benchmark::State& state)
{
    for (auto _ : state) {
        PanelImageCache cache;
        benchmark::DoNotOptimize(cache.Images(Data(), kColourScheme).size());
    }
}

void BM_ViewerPaint(benchmark::State& state)
{
    const float zoom = static_cast<float>(state.range(0));
    PanelImageCache cache;
    const auto& images = cache.Images(Data(), kColourScheme);
    const PanelView view{zoom, zoom, 1};
    wxBitmap bitmap(kWidth, kHeight, 24);
    const LogicalMapping mapping = LogicalMapping::ForDpi(96.0, 96.0);
    for (auto _ : state) {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        WxDcCanvas canvas(dc, mapping);
        DrawPanels(canvas, Data(), view, images, 100, -100, [&](const PanelImage& image, LRect where) {
            DrawPanelImage(dc, mapping, image, where, wxRect(0, 0, kWidth, kHeight));
        });
        canvas.Flush();
    }
}

void BM_StackedStretch(benchmark::State& state)
{
    const double zoom = static_cast<double>(state.range(0));
    const PanelData& d = Data();
    const int rows = d.n1 * (d.n3 + kPanelGapRows);
    wxBitmap target(kWidth, kHeight, 24);
    const double pixelsPerUnit = 96.0 / 254.0;
    for (auto _ : state) {
        wxImage stacked(d.n2, rows);
        stacked.SetRGB(wxRect(0, 0, d.n2, rows), 255, 255, 255);
        unsigned char* px = stacked.GetData();
        for (int i = 0; i < d.n1; ++i) {
            const auto [lo, hi] = PanelMinMax(d, i);
            const auto& palette = Palette(kColourScheme);
            for (int k = 0; k < d.n3; ++k) {
                unsigned char* row = px + (static_cast<size_t>(i) * (d.n3 + kPanelGapRows) + k) * d.n2 * 3;
                for (int j = 0; j < d.n2; ++j) {
                    const Rgb c = palette[static_cast<size_t>(PanelLevel(d.values(i, j, d.n3 - 1 - k), lo, hi))];
                    row[j * 3] = c.r;
                    row[j * 3 + 1] = c.g;
                    row[j * 3 + 2] = c.b;
                }
            }
        }
        wxBitmap source(stacked);
        wxMemoryDC from(source);
        wxMemoryDC to(target);
        const int w = static_cast<int>(std::lround(d.n2 * zoom * pixelsPerUnit));
        const int h = static_cast<int>(std::lround(rows * zoom * pixelsPerUnit));
        to.StretchBlit(38, 38, w, h, &from, 0, 0, d.n2, rows);
    }
}

BENCHMARK(BM_PanelImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewerPaint)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StackedStretch)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velk::nordalis

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
