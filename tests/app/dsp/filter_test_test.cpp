#include "app/dsp/filter_test.h"

#include <gtest/gtest.h>

#include <cmath>

#include "draw/recording_canvas.h"
#include "dsp/band_pass.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class FilterTestOverlay : public SignalTest {
protected:
    void Select(int trace) { ws->store.Params().selectionFlags[static_cast<size_t>(trace)] = 1; }
    RecordingCanvas Paint()
    {
        RecordingCanvas canvas;
        DrawFilterTest(canvas, *ws, ws->filterTest, geometry);
        return canvas;
    }
    // The baseline B' of trace i: receivers at (i + 1) m, plotscale 20, distance origin 0.
    int Baseline(int i) const { return geometry.yorg + (i + 1) * 20; }

    FilterTestGeometry geometry{300, 300, 0.0f, 1.0f};
};

TEST_F(FilterTestOverlay, ARecordOf1024SamplesAt1msGivesItsSpectrumScales)
{
    LoadLcg(500, 3, 1024, 1000.0f);
    Select(1);
    ASSERT_EQ(OnFilterTest(*ws, ui), 1);
    const FilterTest& t = ws->filterTest;
    EXPECT_EQ(t.testTrace, 1);
    EXPECT_EQ(t.length, 1024);
    EXPECT_EQ(t.spectrumBins, 64);
    EXPECT_EQ(t.df, 0.9765625f);
    EXPECT_EQ(ws->settings.bpfHighCut, 62.5f);  // 5000 Hz cut back to K x df
    EXPECT_EQ(ws->display.editMode, 8);
    EXPECT_EQ(t.grabbedCut, -1);

    LoadLcg(500, 3, 200, 1000.0f);  // L = 256
    ASSERT_EQ(OnFilterTest(*ws, ui), 1);
    EXPECT_EQ(ws->filterTest.length, 256);
    EXPECT_EQ(ws->filterTest.spectrumBins, 128);
}

TEST_F(FilterTestOverlay, WithoutASelectionTheCommandSaysSoAndThePaintDrawsNothing)
{
    LoadLcg(502, 2, 300, 1000.0f);
    ui.ExpectMessage("Select a trace");
    EXPECT_EQ(OnFilterTest(*ws, ui), 0);
    EXPECT_EQ(ws->display.editMode, 0);
    EXPECT_TRUE(ui.VerifyAndClear());
    ui.ClearCalls();

    ws->display.editMode = 8;
    const std::vector<uint8_t> before = Snapshot();
    const RecordingCanvas canvas = Paint();  // the strict host fails on any dialog
    EXPECT_TRUE(canvas.Ops().empty());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(ui.Calls().empty());
}

TEST_F(FilterTestOverlay, ThePaintDrawsTheFilteredTraceTheSpectrumTheMarkersAndTheStatus)
{
    LoadLcg(504, 3, 500, 1000.0f);
    Select(2);
    ws->settings.bpfLowCut = 10.0f;
    ws->settings.bpfHighCut = 40.0f;
    ASSERT_EQ(OnFilterTest(*ws, ui), 1);
    const std::vector<uint8_t> before = Snapshot();
    const RecordingCanvas canvas = Paint();
    EXPECT_EQ(Snapshot(), before);  // a paint changes no data and no header

    const FilterTest& t = ws->filterTest;
    const int base = Baseline(2);
    const auto lines = canvas.OpsOf(RecordingCanvas::Kind::Polyline);
    ASSERT_EQ(lines.size(), 2u);  // trace, spectrum (no fill)
    for (const auto* op : lines) {
        EXPECT_EQ(op->pen.colour, (Rgb{255, 0, 255}));
        EXPECT_EQ(op->pen.width, 4);
    }
    // The trace: the filtered samples, the same filter the band-pass uses, gain 1000/peak.
    std::vector<double> x(500);
    const auto row = ws->store.current.rows.Row(2);
    for (size_t j = 0; j < 500; ++j) x[j] = row[j];
    std::vector<double> curve(257);
    CBandPassDlg::MakeSlopeFilter(257, 1.0f, 10.0f, 40.0f, 20.0f, 20.0f, curve.data());
    CBandPassDlg::FilterArray(500, 512, x.data(), curve);
    const std::vector<LPoint>& trace = lines[0]->points;
    ASSERT_EQ(trace.size(), 500u);  // the defined samples only
    const double gain = 1000.0 / ws->store.Params().traceMaxima[2] * ws->store.Params().vscale;
    for (size_t s = 0; s < 500; s += 37) {
        EXPECT_EQ(trace[s].x, 300 + static_cast<int>(s));  // hscale 1, 1 ms
        EXPECT_NEAR(trace[s].y, -base + static_cast<int>(gain * x[s]), 1) << s;
    }
    // The spectrum: K = 32 points, its baseline 300 below the trace's, peaks towards it.
    const std::vector<LPoint>& spectrum = lines[1]->points;
    ASSERT_EQ(spectrum.size(), 32u);
    for (const LPoint& p : spectrum) {
        EXPECT_LE(p.y, -(base + 300) + static_cast<int>(ws->store.Params().vscale * 4000.0) + 1);
        EXPECT_GE(p.y, -(base + 300));
    }
    EXPECT_EQ(spectrum.back().x, 300 + static_cast<int>(31 * t.df * t.frequencyScale));

    const auto markers = canvas.OpsOf(RecordingCanvas::Kind::LineTo);
    ASSERT_EQ(markers.size(), 2u);
    const int lowX = 300 + static_cast<int>(t.frequencyScale * 10.0f);
    EXPECT_EQ(markers[0]->points, (std::vector<LPoint>{{lowX, -base - 300}, {lowX, -base - 100}}));
    EXPECT_EQ(markers[0]->pen.width, 6);
    EXPECT_EQ(markers[1]->points[0].x, 300 + static_cast<int>(t.frequencyScale * 40.0f));
    ASSERT_NE(canvas.FindText("Status : filter test"), nullptr);
    EXPECT_EQ(canvas.FindText("Status")->text, "Status : filter test Low cut=10.000000Hz High cut=40.000000Hz");
    EXPECT_EQ(canvas.FindText("Status")->points[0], (LPoint{10, -68}));
}

TEST_F(FilterTestOverlay, TheOverlayFollowsPolarityAndTheSpectrumFill)
{
    LoadLcg(506, 2, 300, 1000.0f);
    Select(0);
    ASSERT_EQ(OnFilterTest(*ws, ui), 1);
    const std::vector<LPoint> normal = Paint().OpsOf(RecordingCanvas::Kind::Polyline)[0]->points;
    ws->settings.polarity = -1;
    ws->display.spectrumFill = 1;
    const RecordingCanvas canvas = Paint();
    const std::vector<LPoint> reversed = canvas.OpsOf(RecordingCanvas::Kind::Polyline)[0]->points;
    const int base = Baseline(0);
    for (size_t s = 0; s < normal.size(); s += 13) EXPECT_NEAR(reversed[s].y + base, -(normal[s].y + base), 1) << s;
    const auto polygons = canvas.OpsOf(RecordingCanvas::Kind::Polygon);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0]->points.size(), static_cast<size_t>(ws->filterTest.spectrumBins) + 2);
    EXPECT_EQ(polygons[0]->points.back().y, -(base + 300));
    EXPECT_EQ(polygons[0]->brush.colour, (Rgb{255, 0, 255}));
}

TEST_F(FilterTestOverlay, DragsClampTheCutsAndARedrawEqualsAFreshDrawing)
{
    LoadLcg(508, 2, 1024, 1000.0f);
    Select(0);
    ws->settings.bpfLowCut = 10.0f;
    ASSERT_EQ(OnFilterTest(*ws, ui), 1);  // high cut 62.5
    FilterTest& t = ws->filterTest;
    const int base = Baseline(0);
    const int lowX = 300 + static_cast<int>(t.frequencyScale * 10.0f);
    EXPECT_FALSE(GrabCut(*ws, t, lowX, base + 50, geometry));  // above the marker band
    EXPECT_FALSE(GrabCut(*ws, t, lowX + 40, base + 200, geometry));
    ASSERT_TRUE(GrabCut(*ws, t, lowX + 20, base + 200, geometry));
    EXPECT_EQ(t.grabbedCut, 0);
    EXPECT_EQ(FilterTestStatus(*ws, t),
              "Status : filter test Low cut=10.000000Hz High cut=62.500000Hz modify：Low cut frequency");

    auto xOf = [&](double f) { return 300 + static_cast<int>(std::lround(f * t.frequencyScale)); };
    EXPECT_TRUE(MoveCut(*ws, t, xOf(100.0), geometry));
    EXPECT_EQ(ws->settings.bpfLowCut, 61.5f);  // 1 Hz below the high cut
    EXPECT_TRUE(MoveCut(*ws, t, xOf(0.2), geometry));
    EXPECT_EQ(ws->settings.bpfLowCut, 1.0f);
    EXPECT_TRUE(MoveCut(*ws, t, xOf(20.0), geometry));
    EXPECT_NEAR(ws->settings.bpfLowCut, 20.0f, 0.1f);
    ReleaseCut(t);
    EXPECT_FALSE(MoveCut(*ws, t, xOf(30.0), geometry));

    ASSERT_TRUE(GrabCut(*ws, t, 300 + static_cast<int>(t.frequencyScale * 62.5f), base + 150, geometry));
    EXPECT_EQ(t.grabbedCut, 1);
    EXPECT_TRUE(MoveCut(*ws, t, xOf(5.0), geometry));
    EXPECT_EQ(ws->settings.bpfHighCut, ws->settings.bpfLowCut + 1.0f);
    EXPECT_TRUE(MoveCut(*ws, t, xOf(45.0), geometry));
    const RecordingCanvas redrawn = Paint();

    FilterTest fresh;
    RecordingCanvas first;
    DrawFilterTest(first, *ws, fresh, geometry);
    ASSERT_EQ(redrawn.Ops().size(), first.Ops().size());
    for (size_t k = 0; k < first.Ops().size(); ++k) {
        EXPECT_EQ(redrawn.Ops()[k].points, first.Ops()[k].points) << k;
    }
    EXPECT_EQ(fresh.filtered, t.filtered);
}

TEST_F(FilterTestOverlay, ASilentTraceHasNoSpectrumAndNoNaN)
{
    Load({std::vector<double>(256, 0.0)}, 1000.0f);
    Select(0);
    ASSERT_EQ(OnFilterTest(*ws, ui), 1);
    const RecordingCanvas canvas = Paint();
    const auto lines = canvas.OpsOf(RecordingCanvas::Kind::Polyline);
    ASSERT_EQ(lines.size(), 1u);  // the trace only
    for (const LPoint& p : lines[0]->points) EXPECT_EQ(p.y, -Baseline(0));
}

TEST_F(FilterTestOverlay, ThePaintFollowsTheSelectionAndTheRecord)
{
    LoadLcg(510, 3, 300, 1000.0f);
    Select(0);
    ASSERT_EQ(OnFilterTest(*ws, ui), 1);
    ws->store.Params().selectionFlags[0] = 0;
    Select(2);
    Paint();
    EXPECT_EQ(ws->filterTest.testTrace, 2);

    const std::vector<float> before = ws->filterTest.filtered;
    ws->store.current.rows[2][10] += 1.0f;  // a command changed the trace
    Paint();
    EXPECT_NE(ws->filterTest.filtered, before);
}

}  // namespace
}  // namespace velk
