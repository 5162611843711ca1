// The overlays of picking and editing on the recording canvas: the record's pick marks, the
// shots of the traveltime set, the theoretical curves, velocity lines and mute lines.

#include "app/picking/pick_overlay.h"
#include "app/view/draw_fixture.h"

namespace velk {
namespace {

using drawtest::DrawTest;
using drawtest::Kind;
using drawtest::Op;

constexpr Rgb kRed{255, 0, 0}, kOlive{175, 175, 0}, kBlue{0, 0, 255}, kMagenta{255, 0, 255}, kGreen{0, 255, 0};

class PickOverlay : public DrawTest {
protected:
    // Four traces 1 m apart, a spike of 4.0 at sample 100 of each; first-arrival picking.
    void SetUp() override
    {
        DrawTest::SetUp();
        Fill(4, 400, [](int, int j) { return j == 100 ? 4.0f : 0.0f; });
        for (int i = 0; i < 4; ++i) Pick(i, 0.0f, 3);  // no picks, as after a load
        ws->display.editMode = 1;
    }

    void Pick(int trace, float time, int code)
    {
        ws->store.Params().pickTimes[static_cast<size_t>(trace)] = time;
        ws->store.Params().layerCodes[static_cast<size_t>(trace)] = code;
    }

    // The ops of one kind drawn with a pen of this colour and width.
    std::vector<const Op*> Drawn(Kind kind, Rgb colour, int width) const
    {
        std::vector<const Op*> out;
        for (const Op* op : canvas.OpsOf(kind))
            if (op->pen.colour == colour && op->pen.width == width) out.push_back(op);
        return out;
    }

    // Where the last paint put distance r (m) along the distance axis, and its y in direction 0.
    int32_t Across(double r) const { return 300 + static_cast<int32_t>((r - ws->display.layout.distanceOrigin) * 50.0); }
    int32_t Y(double r) const { return -Across(r); }
};

TEST_F(PickOverlay, MarksFollowLayerCodesAndOneReceiverKeepsOnePick)
{
    ws->store.current.headers[2].receiverHundredths = 100;  // trace 2 at trace 1's receiver
    Pick(0, 10.0f, 1);
    Pick(1, 20.0f, 2);
    Pick(2, 30.0f, 1);
    Pick(3, 40.0f, 3);
    Paint();
    EXPECT_FLOAT_EQ(ws->store.Params().pickTimes[2], -1.0f);
    EXPECT_EQ(ws->store.Params().layerCodes[2], 3);
    EXPECT_EQ(ws->display.pickMarkStyle, -1);  // ticks for a waveform record

    const auto red = Drawn(Kind::LineTo, kRed, 2), olive = Drawn(Kind::LineTo, kOlive, 2), blue = Drawn(Kind::LineTo, kBlue, 2);
    ASSERT_EQ(red.size(), 1u);
    ASSERT_EQ(olive.size(), 1u);
    ASSERT_EQ(blue.size(), 1u);  // trace 3; trace 2 draws nothing
    EXPECT_EQ(red[0]->points, (std::vector<LPoint>{{310, Y(0) - 20}, {310, Y(0) + 20}}));
    EXPECT_EQ(olive[0]->points[0].x, 320);
    EXPECT_EQ(blue[0]->points[0], (LPoint{340, Y(3) - 20}));

    // Time vertical: the ticks lie across the columns.
    ws->settings.plotDirection = 1;
    Paint();
    const auto across = Drawn(Kind::LineTo, kRed, 2);
    ASSERT_EQ(across.size(), 1u);
    EXPECT_EQ(across[0]->points[0].y, across[0]->points[1].y);
    EXPECT_EQ(across[0]->points[1].x - across[0]->points[0].x, 40);
    EXPECT_EQ(across[0]->points[0].y, -310);

    // A dispersion record's picks are dots, and only in phase-velocity-file mode.
    ws->settings.plotDirection = 0;
    ws->store.Params().recordKind = 1;
    Paint();
    EXPECT_TRUE(canvas.OpsOf(Kind::Ellipse).empty());
    ws->display.phaseVelocityFileMode = 1;
    Paint();
    const auto dots = canvas.OpsOf(Kind::Ellipse);
    ASSERT_EQ(dots.size(), 3u);
    EXPECT_EQ(dots[0]->points, (std::vector<LPoint>{{305, Y(0) + 5}, {315, Y(0) - 5}}));
    EXPECT_EQ(dots[0]->brush.colour, kRed);
    EXPECT_EQ(dots[1]->pen.colour, kOlive);
    // A frequency without a pick (the picker leaves -0.1) has no dot at 0 m/s.
    Pick(3, -0.1f, 1);
    Paint();
    EXPECT_EQ(canvas.OpsOf(Kind::Ellipse).size(), 2u);
}

TEST_F(PickOverlay, TheDistanceRangeKeepsMarksWithinATenthOfAMillimetre)
{
    ws->display.axesFixed = 1;  // the range below stays
    ws->display.layout.distanceMaximum = 3.0f;
    ws->display.layout.distanceMinimum = 0.0001f;
    Paint();
    EXPECT_EQ(Drawn(Kind::LineTo, kBlue, 2).size(), 4u);  // unpicked traces: code 3 at time 0
    ws->display.layout.distanceMinimum = 0.0003f;
    Paint();
    EXPECT_EQ(Drawn(Kind::LineTo, kBlue, 2).size(), 3u);

    // The reference times of amplitude picking: blue ticks inside the range too.
    ws->display.referenceTimesFlag = 1;
    ws->display.referenceTimes = {5.0f, 6.0f, 7.0f, 8.0f};
    Paint();
    EXPECT_EQ(Drawn(Kind::LineTo, kBlue, 2).size(), 6u);
}

TEST_F(PickOverlay, ShotsOfTheSetAreCurvesCurrentMagentaOthersGreen)
{
    CTraveltimeSet& set = ws->traveltimeSet;
    set.hasData = 1;
    set.shotCount = 2;
    const float positions[] = {0.0f, 10.0f};  // trace 1's source is at 0 m
    for (int s = 0; s < 2; ++s) {
        set.sourcePosition[s] = positions[s];
        set.pickCount[s] = 5;
        for (int k = 0; k < 5; ++k) {
            set.X(s, k) = k == 2 ? 50.0f : static_cast<float>(k);  // one pick off the record
            set.T(s, k) = 10.0f * (k + 1) + s;
        }
    }
    ws->display.showTraveltimeCurves = 1;
    Paint();
    const auto magenta = Drawn(Kind::Polyline, kMagenta, 2), green = Drawn(Kind::Polyline, kGreen, 2);
    ASSERT_EQ(magenta.size(), 1u);
    ASSERT_EQ(green.size(), 1u);
    EXPECT_EQ(magenta[0]->points, (std::vector<LPoint>{{310, Y(0)}, {320, Y(1)}, {340, Y(3)}}));
    EXPECT_EQ(green[0]->points.size(), 3u);
    EXPECT_EQ(green[0]->points[0].x, 311);

    ws->display.showTraveltimeCurves = -1;
    Paint();
    EXPECT_TRUE(Drawn(Kind::Polyline, kMagenta, 2).empty());
    EXPECT_TRUE(Drawn(Kind::Polyline, kGreen, 2).empty());
    EXPECT_EQ(Drawn(Kind::LineTo, kBlue, 2).size(), 4u);  // the marks stay

    // An amplitude set: a logarithmic scale 1000 units wide (on a plot as wide); zero and
    // negative values have no place on it, and equal values sit in its middle.
    Fill(4, 1200, [](int, int) { return 0.0f; });
    ws->display.showTraveltimeCurves = 1;
    set.kindWritten = 10;
    set.shotCount = 1;
    set.pickCount[0] = 4;
    const float values[] = {1.0f, 2.0f, 0.0f, 8.0f};
    for (int k = 0; k < 4; ++k) {
        set.X(0, k) = static_cast<float>(k);
        set.T(0, k) = values[k];
    }
    Paint();
    auto curve = Drawn(Kind::Polyline, kMagenta, 2);
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_EQ(curve[0]->points, (std::vector<LPoint>{{300, Y(0)}, {633, Y(1)}, {1300, Y(3)}}));
    const float flat[] = {0.0f, 3.0f, -2.0f, 3.0f};
    for (int k = 0; k < 4; ++k) set.T(0, k) = flat[k];
    Paint();
    curve = Drawn(Kind::Polyline, kMagenta, 2);
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_EQ(curve[0]->points, (std::vector<LPoint>{{800, Y(1)}, {800, Y(3)}}));
    for (int k = 0; k < 4; ++k) set.T(0, k) = 0.0f;
    Paint();
    EXPECT_TRUE(Drawn(Kind::Polyline, kMagenta, 2).empty());
}

TEST_F(PickOverlay, AmplitudeDotSitsOnTheDrawnTrace)
{
    ws->display.editMode = 3;
    ws->display.amplitudePickTimes = {100.0f, 100.0f, 100.0f, 100.0f};
    Paint();
    auto dots = canvas.OpsOf(Kind::Ellipse);
    ASSERT_EQ(dots.size(), 4u);
    // Normalised by trace, the spike is 1000 x vscale = 50 units up from the baseline.
    EXPECT_EQ(dots[0]->points, (std::vector<LPoint>{{395, Y(0) + 55}, {405, Y(0) + 45}}));
    EXPECT_EQ(Drawn(Kind::LineTo, kBlue, 2).size(), 4u);  // and the ticks of amplitude picking

    // Reversed polarity and time vertical: positive deflections go left, so this one goes right.
    ws->settings.polarity = -1;
    ws->settings.plotDirection = 1;
    Paint();
    dots = canvas.OpsOf(Kind::Ellipse);
    ASSERT_EQ(dots.size(), 4u);
    const int32_t xb = 300 + static_cast<int32_t>((0 - ws->display.layout.distanceOrigin) * 50.0);
    EXPECT_EQ(dots[0]->points, (std::vector<LPoint>{{xb + 45, -395}, {xb + 55, -405}}));
}

TEST_F(PickOverlay, TheoreticalCurvesVelocityLinesAndMuteLines)
{
    CTheoreticalTraveltime& th = ws->theoretical;
    th.shown = 1;
    th.curveCount = 1;
    th.curves[0] = {12.0f, 0.0f, 14.0f, 15.0f};
    ws->display.editMode = 0;
    Paint();
    const auto curves = Drawn(Kind::Polyline, kBlue, 2);
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_EQ(curves[0]->points, (std::vector<LPoint>{{312, Y(0)}, {314, Y(2)}, {315, Y(3)}}));
    th.shown = 0;

    // 3 m over 5 ms: 0.60 m/ms, written 120 units before the midpoint along the time axis. A
    // line to 10 m runs off the plot: it is cut at the frame, its middle is off it, no label.
    ws->display.velocityLines.lines = {
        {10.0f, 0.0f, 15.0f, 3.0f}, {20.0f, 0.0f, 20.0f, 3.0f}, {10.0f, 0.0f, 15.0f, 10.0f}};
    Paint();
    const auto cut = Drawn(Kind::LineTo, kRed, 1);
    ASSERT_EQ(cut.size(), 3u);
    ASSERT_TRUE(ws->display.layout.frame.has_value());
    EXPECT_EQ(cut[2]->points[1].y, ws->display.layout.frame->bottom);
    const Op* label = canvas.FindText("0.60");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->points[0], (LPoint{312 - 120, -(Across(0) + Across(3)) / 2}));
    EXPECT_EQ(canvas.FindText("inf"), nullptr);  // the line at one time has no velocity
    EXPECT_EQ(canvas.FindText("2.00"), nullptr);
    ws->settings.plotDirection = 1;
    Paint();
    const auto lines = Drawn(Kind::LineTo, kRed, 1);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]->points, (std::vector<LPoint>{{Across(0), -310}, {Across(3), -315}}));
    label = canvas.FindText("0.60");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->points[0], (LPoint{(Across(0) + Across(3)) / 2, -(312 - 120)}));
    ws->settings.plotDirection = 0;
    ws->display.velocityLines.Clear();

    // Mute lines: the left one from state 2, the right one at state 4.
    ws->display.editMode = 9;
    MuteLines& mute = ws->display.mute;
    mute.slope1 = 0.5f;
    mute.intercept1 = 10.0f;
    mute.slope2 = 0.25f;
    mute.intercept2 = 30.0f;
    const size_t expected[] = {0, 0, 1, 1, 2};
    for (int state = 0; state <= 4; ++state) {
        mute.state = state;
        Paint();
        const auto lines = Drawn(Kind::LineTo, kMagenta, 1);
        ASSERT_EQ(lines.size(), expected[state]) << "state " << state;
        if (state == 4) {
            EXPECT_EQ(lines[0]->points, (std::vector<LPoint>{{310, Y(0)}, {316, Y(3)}}));
            EXPECT_EQ(lines[1]->points, (std::vector<LPoint>{{330, Y(0)}, {342, Y(3)}}));
        }
    }
}

}  // namespace
}  // namespace velk
