// Axes, titles and status lines: the tick choosers, the frame and grid, labels and titles by
// data kind, units and language, the trigger line, and the edit-mode status.

#include <algorithm>

#include "app/dsp/filter_test.h"
#include "app/view/record_axes.h"
#include "draw/fonts.h"
#include "app/view/draw_fixture.h"

namespace velk {
namespace {

using drawtest::DrawTest;
using drawtest::Kind;
using drawtest::Op;

AxisChoiceInput Input(float hscale, float plotscale, float shownTime, float minimum, float maximum)
{
    AxisChoiceInput in;
    in.hscale = hscale;
    in.plotscale = plotscale;
    in.shownTime = shownTime;
    in.distanceMinimum = minimum;
    in.distanceMaximum = maximum;
    return in;
}

TEST(AxisTickChoosers, StepsCountsAndTheExtraTick)
{
    EXPECT_EQ(ChooseAxisTickSteps(Input(1.0f, 20.0f, 1000.0f, 0, 10)).timeStep, 200.0f);
    EXPECT_EQ(ChooseAxisTickSteps(Input(3.0f, 20.0f, 1000.0f, 0, 10)).timeStep, 50.0f);
    EXPECT_EQ(ChooseAxisTickSteps(Input(1.0f, 20.0f, 1000.0f, 0, 10)).distanceStep, 5.0f);  // 2 x 20 < 50

    // Rounded counts, one more tick where the rounded axis ends short of the data.
    AxisChoice c = ChooseAxisTickSteps(Input(1.0f, 20.0f, 1023.0f, 0.0f, 23.0f));
    EXPECT_FLOAT_EQ(c.distanceOrigin, -5.0f);
    EXPECT_EQ(c.distanceTickCount, 8);  // round((28 - -5) / 5) + 1
    EXPECT_FLOAT_EQ(c.distanceEnd, 30.0f);
    EXPECT_EQ(c.timeTickCount, 7);        // round(1023 / 200) + 1 = 6 ends at 1000 < 1023: 7
    EXPECT_FLOAT_EQ(c.timeEnd, 1200.0f);

    // Fixed axes keep their steps and truncate the counts.
    AxisChoiceInput fixed = Input(1.0f, 20.0f, 1000.0f, 0.0f, 23.0f);
    fixed.axesFixed = true;
    fixed.timeStep = 300.0f;
    fixed.distanceStep = 4.0f;
    c = ChooseAxisTickSteps(fixed);
    EXPECT_EQ(c.timeStep, 300.0f);
    EXPECT_EQ(c.timeTickCount, 4);       // trunc(1000 / 300) + 1
    EXPECT_EQ(c.distanceTickCount, 8);   // trunc((27 - -4) / 4) + 1
    // A kept step of 0 (an old profile) is chosen afresh; absurd counts are bounded.
    fixed.timeStep = 0.0f;
    fixed.distanceStep = 1e-9f;
    c = ChooseAxisTickSteps(fixed);
    EXPECT_EQ(c.timeStep, 200.0f);
    EXPECT_EQ(c.distanceTickCount, kMaxTickCount);

    // The vertical twin: its own sequences, truncated counts.
    c = ChooseAxisTickStepsVertical(Input(1.0f, 100.0f, 1000.0f, 0.0f, 10.0f));
    EXPECT_EQ(c.timeStep, 200.0f);
    EXPECT_EQ(c.distanceStep, 2.0f);     // 1 x 100 < 150
    EXPECT_EQ(ChooseAxisTickStepsVertical(Input(1.0f, 30.0f, 1000.0f, 0, 10)).distanceStep, 5.0f);
    EXPECT_EQ(c.distanceTickCount, 8);   // trunc((12 - -2) / 2) + 1

    // An image spans itself, whatever configuration a waveform record kept: no margin, no tick
    // beyond its last sample (497.5 m/s) or its last frequency (39 Hz).
    AxisChoiceInput image = Input(1.0f, 20.0f, 5000.0f, 0.0f, 39.0f);
    image.image = image.keepAxes = true;
    image.imageTimeEnd = 497.5f;
    image.timeEnd = 5000.0f, image.timeStep = 1000.0f;
    c = ChooseAxisTickSteps(image);
    EXPECT_EQ(std::vector<float>({c.timeEnd, c.distanceOrigin, c.distanceEnd}), std::vector<float>({497.5f, 0.0f, 39.0f}));
    EXPECT_EQ(c.timeTickCount, 3);      // 0, 200, 400
    EXPECT_EQ(c.distanceTickCount, 8);  // 0 .. 35 by 5
}

using Axes = DrawTest;

bool HasText(const RecordingCanvas& c, const std::string& text)
{
    const std::vector<std::string> texts = c.Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<const Op*> Lines(const RecordingCanvas& c, Rgb colour)
{
    std::vector<const Op*> found;
    for (const Op* op : c.OpsInColour(colour))
        if (op->kind == Kind::LineTo) found.push_back(op);
    return found;
}

TEST_F(Axes, FrameGridLabelsAndTrigger)
{
    Fill(4, 1000, [](int i, int j) { return static_cast<float>((j % 13) - 6 + i); });
    Paint();
    const CParameterSet& p = ws->store.Params();
    const int right = 300 + static_cast<int>(p.hscale * ws->settings.xe);
    // The frame: black lines of width 2 from XORG to XORG + trunc(hscale x end), top and bottom.
    const auto black = Lines(canvas, {0, 0, 0});
    int frameLines = 0;
    for (const Op* op : black) {
        if (op->points[0].x == 300 && op->points[1].x == right && op->points[0].y == op->points[1].y) {
            ++frameLines;
            EXPECT_EQ(op->pen.width, 2);
        }
    }
    EXPECT_EQ(frameLines, 2);
    EXPECT_EQ(ws->display.layout.rightExtent, right);
    // Distance labels on the inner lines only: receivers 0..3 m, origin -1, end 4, step 1.
    std::vector<std::string> besideTheFrame;
    for (const Op* op : canvas.OpsOf(Kind::Text))
        if (op->points[0].x < 300 && op->points[0].y < -300 && op->font.escapement == 0) besideTheFrame.push_back(op->text);
    EXPECT_EQ(besideTheFrame, (std::vector<std::string>{"0", "1", "2", "3"}));

    // Inner time lines in blue only while the grid flag is >= 0.
    const size_t grid = Lines(canvas, {0, 100, 200}).size();
    EXPECT_EQ(grid, static_cast<size_t>(ws->display.axes.timeTickCount - 2));
    EXPECT_GT(grid, 0u);
    ws->display.axes.gridFlag = -1;
    Paint();
    EXPECT_TRUE(Lines(canvas, {0, 100, 200}).empty());
    EXPECT_TRUE(HasText(canvas, "200"));  // the labels stay

    // A delay of 2000 us puts the trigger point 2 ms left of time zero.
    for (int i = 0; i < 4; ++i) ws->store.current.headers[static_cast<size_t>(i)].delayUs = 2000.0f;
    ws->store.Params().hscale = 10.0f;
    ws->settings.triggerPlot = 1;
    Paint();
    const auto trigger = canvas.OpsInColour({200, 200, 0});
    ASSERT_FALSE(trigger.empty());
    EXPECT_EQ(trigger[0]->kind, Kind::Polyline);
    EXPECT_EQ(trigger[0]->points[0].x, 300 - 20);
    EXPECT_NE(canvas.FindText("Trigger"), nullptr);
    // Time labels count from the trigger: the first whole step, 20 ms, lies 18 ms into the axis.
    const Op* twenty = nullptr;
    for (const Op* op : canvas.OpsOf(Kind::Text))
        if (op->text == "20" && op->points[0].y == 60 - 300) twenty = op;
    ASSERT_NE(twenty, nullptr);
    EXPECT_EQ(twenty->points[0].x + canvas.TextExtent("20").cx / 2, 300 + 180);
    // Not on paper.
    Paint(true);
    EXPECT_TRUE(canvas.OpsInColour({200, 200, 0}).empty());

    // Reciprocal labels: 1000 / time, and none at time zero.
    ws->settings.triggerPlot = -1;
    ws->display.axes.reciprocalAxis = 1;
    Paint();
    EXPECT_TRUE(HasText(canvas, "50"));  // 1000 / 20 ms
    for (const std::string& t : canvas.Texts()) EXPECT_EQ(t.find("inf"), std::string::npos);
}

// The time labels of a paint, in order: above the frame (direction 0) or left of it (1).
std::vector<std::string> TimeLabels(const RecordingCanvas& c, int direction)
{
    std::vector<std::string> labels;
    for (const Op* op : c.OpsOf(Kind::Text)) {
        const LPoint at = op->points[0];
        if (op->font.escapement != 0) continue;
        if (direction == 0 ? at.y == 60 - 300 : (at.x < 300 && at.y < -260)) labels.push_back(op->text);
    }
    return labels;
}

TEST_F(Axes, TimeTicksFallOnWholeStepsFromARecordStartingBeforeZero)
{
    Fill(4, 1000, [](int i, int j) { return static_cast<float>((j % 13) - 6 + i); });
    ws->settings.triggerPlot = 1;
    const struct {
        float delayUs;
        std::vector<std::string> labels;
    } cases[] = {
        {-10000.0f, {"0", "200", "400", "600", "800"}},
        {-500000.0f, {"-400", "-200", "0", "200", "400"}},
    };
    for (const auto& k : cases) {
        for (int i = 0; i < 4; ++i) ws->store.current.headers[static_cast<size_t>(i)].delayUs = k.delayUs;
        for (int direction : {0, 1}) {
            for (bool printing : {false, true}) {
                ws->settings.plotDirection = direction;
                Paint(printing);
                EXPECT_EQ(TimeLabels(canvas, direction), k.labels) << k.delayUs << " direction " << direction;
            }
        }
    }
}

TEST_F(Axes, TitlesByDataKindUnitsAndLanguage)
{
    Fill(3, 200, [](int, int j) { return static_cast<float>(j % 5); });
    auto titles = [&] {
        Paint();
        std::vector<std::string> t;
        for (const Op* op : canvas.OpsOf(Kind::Text))
            if (op->font.weight == 400 && op->font.height == 35 && op->text.find("Status") == std::string::npos &&
                op->font.face.empty())
                t.push_back(op->text);
        return t;
    };
    EXPECT_EQ(titles(), (std::vector<std::string>{"D i s t a n c e (m)", "T i m e (msec)"}));
    const Op* rotated = canvas.FindText("D i s t a n c e");
    EXPECT_EQ(rotated->font.escapement, 900);  // reads upwards from below the middle
    EXPECT_EQ(rotated->points[0].x, 300 - 230);

    ws->settings.kmDisplay = 1;
    ws->settings.unitText = "km";
    EXPECT_EQ(titles(), (std::vector<std::string>{"D i s t a n c e (km)", "T i m e (sec)"}));
    ws->settings.kmDisplay = 0;
    ws->settings.unitText = "m";

    ws->store.dataKind() = kRealSpectrum;
    EXPECT_EQ(titles()[1], "Frequency (Hz)");
    // A phase-velocity image: frequencies across, until a velocity-depth image has depths.
    ws->display.spectrumAxisKind = 2;
    EXPECT_EQ(titles(), (std::vector<std::string>{"F r e q u e n c y (Hz)", "Phase velocity (m/sec)"}));
    EXPECT_EQ(canvas.FindText("F r e q u e n c y")->points[0].x, 300 - 230);
    ws->contour.imageKind = 2;
    EXPECT_EQ(titles(), (std::vector<std::string>{"D e p t h  (m)", "Phase velocity (m/sec)"}));
    EXPECT_EQ(canvas.FindText("D e p t h")->points[0].x, 300 - 235);
    ws->contour.imageKind = 0;
    ws->display.spectrumAxisKind = 0;
    ws->store.dataKind() = kComplexShowReal;
    EXPECT_EQ(titles()[1], "Frequency domain(Real part)");
    ws->store.dataKind() = kComplexShowImag;
    EXPECT_EQ(titles()[1], "Frequency domain(Imaginary part)");

    ws->store.dataKind() = kTimeDomain;
    ws->startup.language = 1;
    Paint();
    EXPECT_NE(canvas.FindText("時間(msec)"), nullptr);
    EXPECT_NE(canvas.FindText("距離 (m)"), nullptr);
    EXPECT_EQ(canvas.FindText("距離 (m)")->font.face, "IPAGothic");
    EXPECT_NE(canvas.FindText("状態 : 編集なし"), nullptr);
}

TEST_F(Axes, EditStatusLinesAndPanes)
{
    Fill(2, 100, [](int, int j) { return static_cast<float>(j % 5); });
    const struct { int mode; const char* line; const char* pane; } cases[] = {
        {0, "Status : No editing", "No editing"},
        {1, "Status : Pick first arrival", "Pick first arrival"},
        {2, "Status : point shot-mark", "Point shot-mark"},
        {3, "Status : in edit mode        ", "        "},
        {4, "Status : set velocity line", "Set velocity line"},
        {9, "Status : Manual mute", "Manual mute"},
    };
    for (const auto& c : cases) {
        ws->display.editMode = c.mode;
        status = {};
        Paint();
        const Op* line = canvas.FindText(c.line);
        ASSERT_NE(line, nullptr) << c.mode;
        EXPECT_EQ(line->points[0], (LPoint{10, -18}));
        EXPECT_EQ(status.texts[1], c.pane);
        EXPECT_EQ(status.widths[0], 50);
        EXPECT_EQ(status.widths[1], 100);
    }
    // The filter test's status line and the edit-mode status both read: a line height apart.
    ws->store.Params().selectionFlags[0] = 1;
    ASSERT_EQ(OnFilterTest(*ws, ui), 1);
    Paint();
    const Op* edit = canvas.FindText("Status : in edit mode");
    const Op* test = canvas.FindText("Status : filter test");
    ASSERT_TRUE(edit && test);
    EXPECT_GE(std::abs(edit->points[0].y - test->points[0].y),
              std::max({edit->font.height, test->font.height, kDefaultTextHeight}));
    ws->store.Params().selectionFlags[0] = 0;

    ws->display.editMode = 1, ws->store.Params().recordKind = 1, ws->display.phaseVelocityFileMode = 1;
    Paint();  // picking on a dispersion image
    EXPECT_EQ(status.texts[1], "Pick phase velocity");
    ws->store.Params().recordKind = 0, ws->display.phaseVelocityFileMode = 0;

    ws->display.editMode = 4;
    Paint();
    EXPECT_EQ(canvas.FindText("（point left end）")->points[0], (LPoint{10, -68}));
    ws->display.drawing.velocityLinePointState = 2;
    Paint();
    EXPECT_NE(canvas.FindText("Status : no editing"), nullptr);
    EXPECT_EQ(status.texts[1], "No editing");
    ws->display.editMode = 9;
    ws->display.drawing.mutePointState = 2;
    Paint();
    EXPECT_EQ(canvas.FindText("（point right side）")->points[0], (LPoint{500, -18}));

    // The print path: only the pane widths, no text anywhere.
    status = {};
    Paint(true);
    EXPECT_EQ(canvas.FindText("Status"), nullptr);
    EXPECT_TRUE(status.texts.empty());
    EXPECT_EQ(status.widths[1], 100);
}

}  // namespace
}  // namespace velk
