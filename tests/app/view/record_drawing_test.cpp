// The record layouts: trace positions, gains, clipping, shading, spectra, chunking, the
// automatic fit and the values it leaves for the overlays, pens and legend, peak labels, and
// the paints that must stay defined whatever the data.

#include <cmath>

#include "app/view/record_axes.h"
#include "app/view/draw_fixture.h"

namespace velk {
namespace {

using drawtest::DrawTest;
using drawtest::Kind;
using drawtest::Op;

constexpr double kPi = 3.14159265358979323846;

int LargestDeflection(const Op& op, int32_t base)
{
    int largest = 0;
    for (const LPoint& p : op.points)
        if (std::abs(p.y - base) > std::abs(largest)) largest = p.y - base;
    return largest;
}

using RecordLayouts = DrawTest;

TEST_F(RecordLayouts, TracesSitAtTheirBaselinesWithTheirGainAndClip)
{
    // One spike per trace, of a different size and sign each, on a small wiggle.
    Fill(3, 1000, [](int i, int j) { return j == 100 * (i + 1) ? (i == 1 ? -8.0f : 4.0f * (i + 1)) : 0.01f * (j % 7); });
    Paint();
    const auto traces = Polylines(1000);
    ASSERT_EQ(traces.size(), 3u);
    // Distance step 1 m at 50 units/m, so the origin is 1 m before the first receiver.
    EXPECT_FLOAT_EQ(ws->display.layout.distanceOrigin, -1.0f);
    for (int i = 0; i < 3; ++i) {
        const Op& t = *traces[static_cast<size_t>(i)];
        const int32_t base = -(300 + (i + 1) * 50);
        EXPECT_EQ(t.points[0].x, 300);
        EXPECT_EQ(t.points[999].x, 300 + 999);  // x = XORG + trunc(k x interval x hscale x 0.001)
        EXPECT_EQ(t.points[0].y, base);
        // Normalised by trace: the spike is 1000 x vscale = 50 units, up for a positive one.
        EXPECT_EQ(LargestDeflection(t, base), i == 1 ? -50 : 50);
        EXPECT_EQ(t.pen.colour, (Rgb{0, 0, 0}));
        EXPECT_FLOAT_EQ(ws->display.appliedGain[static_cast<size_t>(i)], 1000.0f / ws->store.Params().traceMaxima[static_cast<size_t>(i)]);
    }

    // Clip on: 0.49 x mean spacing (2 m / 3 traces) x 50 = 16.33, drawn as 16 with its sign.
    ws->display.clip = -1;
    Paint();
    const auto clipped = Polylines(1000);
    ASSERT_EQ(clipped.size(), 3u);
    EXPECT_EQ(LargestDeflection(*clipped[0], -350), 16);
    EXPECT_EQ(LargestDeflection(*clipped[1], -400), -16);
}

TEST_F(RecordLayouts, ShadingAddsStrokesAndSpectraCloseToTheBaseline)
{
    const int n = 400;
    Fill(1, n, [](int, int j) { return static_cast<float>(std::sin(2 * kPi * j / 50.0 + 0.3)); });
    int positive = 0;
    for (int j = 0; j < n; ++j) positive += std::sin(2 * kPi * j / 50.0 + 0.3) > 0 ? 1 : 0;
    ws->settings.shading = 1;
    Paint();
    ASSERT_EQ(Polylines(static_cast<size_t>(n + 2 * positive)).size(), 1u);
    ws->settings.shading = -1;
    Paint();
    ASSERT_EQ(Polylines(static_cast<size_t>(n + 2 * (n - positive))).size(), 1u);

    // A spectrum with the fill on: polygons closed to the baseline, whatever the shading.
    ws->store.dataKind() = kRealSpectrum;
    ws->display.spectrumFill = 1;
    Paint();
    const auto polygons = canvas.OpsOf(Kind::Polygon);
    ASSERT_EQ(polygons.size(), 1u);
    const std::vector<LPoint>& pts = polygons[0]->points;
    ASSERT_EQ(pts.size(), static_cast<size_t>(n + 2));
    EXPECT_EQ(pts[n], (LPoint{pts[n - 1].x, -350}));
    EXPECT_EQ(pts[n + 1], (LPoint{pts[0].x, -350}));
    EXPECT_EQ(polygons[0]->fill, FillMode::Winding);
    EXPECT_FALSE(polygons[0]->brush.hollow);
    // The fill off (monochrome toggled it to -1): a plain line again.
    ws->display.spectrumFill = -1;
    Paint();
    EXPECT_TRUE(canvas.OpsOf(Kind::Polygon).empty());
    EXPECT_EQ(Polylines(static_cast<size_t>(n)).size(), 1u);
}

TEST_F(RecordLayouts, LongTracesAreCutIntoOverlappingChunks)
{
    std::vector<LPoint> points(16422);
    for (size_t k = 0; k < points.size(); ++k) points[k] = {static_cast<int32_t>(k), static_cast<int32_t>(k % 3)};
    const struct { int count; std::vector<size_t> sizes; } cases[] = {
        {8210, {8210}}, {8211, {8211}}, {16421, {8211, 8211}}, {16422, {8211, 8211, 2}}};
    for (const auto& c : cases) {
        RecordingCanvas rc;
        PolylineChunked(points, c.count, kPolylineChunk, rc);
        const auto lines = rc.OpsOf(Kind::Polyline);
        ASSERT_EQ(lines.size(), c.sizes.size()) << c.count;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i]->points.size(), c.sizes[i]);
            EXPECT_EQ(lines[i]->points[0], points[i * 8210]);  // the second starts at point 8211
        }
    }
    // Polygons: chunks of 8201 points plus the two closing ones.
    RecordingCanvas rc;
    PolygonToBaselineY(points, 16421, kPolylineChunk, rc, -5);
    const auto polygons = rc.OpsOf(Kind::Polygon);
    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_EQ(polygons[0]->points.size(), 8203u);
    EXPECT_EQ(polygons[1]->points[0], points[8200]);
    EXPECT_EQ(polygons[1]->points.back(), (LPoint{8200, -5}));

    // Through the paint: a trace of 16421 samples comes out in two pieces.
    Fill(1, 16421, [](int, int j) { return static_cast<float>(j % 11); }, 100.0f);
    Paint();
    EXPECT_EQ(Polylines(8211).size(), 2u);
}

TEST_F(RecordLayouts, TheAutomaticFitReducesTheScalesAndLeavesTheDerivedValues)
{
    Fill(3, 500, [](int i, int j) { return static_cast<float>((i + 1) * ((j % 20) - 10)); }, 1000.0f, 500.0f);
    ws->store.current.headers[0].sourceHundredths = -250;
    ws->store.Params().plotscale = 30.0f;  // 1000 m x 30 = 30000 units: 30000, 20000, 13333, 8889
    Paint();
    const float expected = 30.0f * 0.6666667f * 0.6666667f * 0.6666667f;
    EXPECT_FLOAT_EQ(ws->store.Params().plotscale, expected);  // three reductions, no fourth
    const RecordLayout& l = ws->display.layout;
    EXPECT_FLOAT_EQ(l.distanceMinimum, 0.0f);
    EXPECT_FLOAT_EQ(l.distanceMaximum, 1000.0f);
    EXPECT_FLOAT_EQ(l.meanSpacing, 1000.0f / 3.0f);  // divided by the traces shown
    EXPECT_FLOAT_EQ(l.sourcePosition, -2.5f);
    EXPECT_FLOAT_EQ(l.distanceOrigin, -10.0f);       // 10 m steps at 8.9 units/m
    EXPECT_GT(ws->display.appliedGain[2], 0.0f);

    // A time axis beyond MAX_X_SIZE is reduced the same way; fixed axes are left alone.
    ws->settings.maxXSize = 300;
    Paint();
    EXPECT_LT(ws->store.Params().hscale * 500.0f, 300.0f);
    ws->display.axesFixed = 1;
    ws->store.Params().plotscale = 30.0f;
    Paint();
    EXPECT_EQ(ws->store.Params().plotscale, 30.0f);
}

TEST_F(RecordLayouts, ComponentPensSelectionLegendAndPeakLabels)
{
    Fill(8, 100, [](int i, int j) { return static_cast<float>((j % 10) - 5 + i); });
    for (int i = 0; i < 8; ++i) ws->store.current.headers[static_cast<size_t>(i)].component = i + 1;
    const Rgb colours[] = {{0, 0, 0}, {0, 0, 255}, {0, 150, 100}, {150, 0, 150}, {150, 150, 0},
                           {0, 255, 0}, {255, 0, 255}, {255, 255, 0}};
    const PenStyle styles[] = {PenStyle::Solid, PenStyle::Dot, PenStyle::Dash, PenStyle::DashDot,
                               PenStyle::DashDotDot, PenStyle::Solid, PenStyle::Solid, PenStyle::Solid};
    Paint();
    auto traces = Polylines(100);
    ASSERT_EQ(traces.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(traces[i]->pen.colour, colours[i]) << i;
        EXPECT_EQ(traces[i]->pen.style, PenStyle::Solid) << i;
    }
    ws->display.colourFlag = -1;
    ws->store.Params().selectionFlags[3] = 1;
    Paint();
    traces = Polylines(100);
    ASSERT_EQ(traces.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        if (i == 3) continue;
        EXPECT_EQ(traces[i]->pen.style, styles[i]) << i;
        EXPECT_EQ(traces[i]->pen.colour, (Rgb{0, 0, 0})) << i;
    }
    EXPECT_EQ(traces[3]->pen, (Pen{PenStyle::Solid, 1, {255, 0, 0}}));  // red in monochrome too
    ws->display.colourFlag = 1;
    Paint();
    EXPECT_EQ(Polylines(100)[3]->pen.colour, (Rgb{255, 0, 0}));

    // Codes 1..3: a three-line legend below the frame, one line per code in its pen.
    Fill(3, 100, [](int, int j) { return static_cast<float>(j % 10); });
    for (int i = 0; i < 3; ++i) ws->store.current.headers[static_cast<size_t>(i)].component = i + 1;
    Paint();
    const int extent = ws->display.layout.extent;
    const auto legend = Polylines(2);
    ASSERT_EQ(legend.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(legend[k]->points[0], (LPoint{300, -(extent + 50 * static_cast<int>(k + 1))}));
        EXPECT_EQ(legend[k]->points[1].x, 500);
        EXPECT_EQ(legend[k]->pen.colour, colours[k]);
    }

    // Two traces at one receiver: the second peak label sits 55 units lower.
    Fill(2, 100, [](int i, int j) { return static_cast<float>((j % 10) * (i + 1)); }, 1000.0f, 0.0f);
    ws->settings.showAmplitude = 1;
    Paint();
    const auto labels = canvas.OpsOf(Kind::Text);
    std::vector<const Op*> peaks;
    for (const Op* t : labels)
        if (t->text.find('V') != std::string::npos) peaks.push_back(t);
    ASSERT_EQ(peaks.size(), 2u);
    EXPECT_EQ(peaks[0]->text, "9.00V");
    EXPECT_EQ(peaks[1]->text, "18.00V");
    EXPECT_EQ(peaks[1]->points[0].y, peaks[0]->points[0].y - 55);
}

TEST_F(RecordLayouts, PaintsStayDefinedForExtremeDataEmptyWindowsAndEmptyStores)
{
    // Raw counts of 1e30 without normalisation: every coordinate saturates instead of
    // overflowing, in both directions of the time axis.
    Fill(2, 200, [](int i, int j) { return (j % 2 ? 1e30f : -1e30f) * static_cast<float>(i + 1); });
    ws->store.Params().normalisation = 2;
    ws->store.Params().vscale = 1e20f;
    for (int direction : {0, 1}) {
        ws->settings.plotDirection = direction;
        for (int shading : {-1, 0, 1}) {
            ws->settings.shading = shading;
            Paint();
            ASSERT_FALSE(canvas.OpsOf(Kind::Polyline).empty());
        }
    }

    // No trace in the window: the axes and titles, no trace.
    ws->settings.plotDirection = 0;
    ws->store.Params().tracesShown = 0;
    Paint();
    EXPECT_TRUE(Polylines(200).empty());
    EXPECT_NE(canvas.FindText("T i m e (msec)"), nullptr);
    EXPECT_FALSE(canvas.OpsOf(Kind::LineTo).empty());

    // An empty store: the notice and nothing else.
    ws->store.Params().traceCount = 0;
    for (int direction : {0, 1}) {
        ws->settings.plotDirection = direction;
        Paint();
        EXPECT_EQ(canvas.Texts(), std::vector<std::string>{"No waveform data"});
        EXPECT_EQ(canvas.Ops().size(), 1u);
    }
}

TEST_F(RecordLayouts, AStrongMotionSetShowsTheTracesInItsAzimuthRange)
{
    Fill(3, 100, [](int, int j) { return static_cast<float>(j % 10); });
    ws->strongMotionFlag = 1;
    ws->strongMotion.shownRecords.resize(3);
    const float azimuths[] = {10.0f, 200.0f, 90.0f};
    for (size_t i = 0; i < 3; ++i) ws->strongMotion.shownRecords[i].azimuth = azimuths[i];
    ws->strongMotion.minimumAngle = 0.0f;
    ws->strongMotion.maximumAngle = 180.0f;
    Paint();
    const auto traces = Polylines(100);
    ASSERT_EQ(traces.size(), 2u);
    EXPECT_EQ(traces[0]->points[0].y, -350);
    EXPECT_EQ(traces[1]->points[0].y, -450);  // the second trace is outside the range

    // With the set's label flag, each trace shown carries its station code and component.
    ws->strongMotion.shownRecords[2].stationCode = "TKY007";
    ws->strongMotion.shownRecords[2].componentLabel = "ud";
    Paint();
    EXPECT_EQ(canvas.FindText("TKY007"), nullptr);
    ws->strongMotion.labelFlag = 1;
    Paint();
    const auto* label = canvas.FindText("TKY007 : ud");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->points[0].y, 50 - 450);
    EXPECT_EQ(label->font.weight, 45);
}

TEST_F(RecordLayouts, TimeVerticalTracesAreColumnsDeflectingLeft)
{
    Fill(2, 300, [](int, int j) { return j == 50 ? 2.0f : 0.0f; });
    ws->settings.plotDirection = 1;
    ws->store.Params().plotscale = 100.0f;  // distance step 2 m (2 x 100 >= 150)
    Paint();
    const auto traces = Polylines(300);
    ASSERT_EQ(traces.size(), 2u);
    const int32_t xb = 300 + static_cast<int32_t>((0.0 - ws->display.layout.distanceOrigin) * 100.0);
    EXPECT_EQ(traces[0]->points[0], (LPoint{xb, -300}));
    EXPECT_EQ(traces[0]->points[50], (LPoint{xb - 50, -350}));  // positive to the left
    EXPECT_EQ(traces[1]->points[0].x, xb + 100);
    EXPECT_EQ(ws->display.layout.direction, 1);
}

}  // namespace
}  // namespace velk
