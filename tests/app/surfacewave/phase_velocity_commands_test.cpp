// The phase-velocity commands on a workspace: transformation and picking of a synthetic
// record, refusals that leave the store alone, the picker's mapping, the curves handed to the
// dispersion program, the velocity-depth image, and the limit lines and legend of the drawing.

#include "app/surfacewave/phase_velocity_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/acquisition/mode_services.h"
#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/view/edit_controller.h"
#include "platform/recent_files.h"
#include "app/view/draw_fixture.h"
#include "formats/format_support.h"
#include "surfacewave/phase_velocity_test_record.h"
#include "platform/shared_block.h"
#include "tools/fake_launcher.h"
#include "traveltime/publish_traveltime_set.h"

#include <unistd.h>

namespace velk {
namespace {

class PhaseVelocityCommandTest : public drawtest::DrawTest {
protected:
    void SetUp() override { Build("[General]\nMAXTRACES=64\nMAX_SAMPLE=4100\n"); }

    void LoadRecord(const testrecord::Record& r)
    {
        WaveformStore& s = ws->store;
        s.Params().traceCount = r.traces;
        for (int i = 0; i < r.traces; ++i) {
            s.current.headers[static_cast<size_t>(i)] = r.headers[static_cast<size_t>(i)];
            for (int j = 0; j < r.samples; ++j) s.current.rows[i][j] = r.rows[i][j];
        }
        RecalcRecordExtents(*ws, 0);
    }

    // The record as the store holds it: rows, headers, the record kind, the undo depth.
    std::vector<float> Snapshot() const
    {
        const WaveformStore& s = ws->store;
        std::vector<float> out;
        for (int i = 0; i < s.TraceCount(); ++i) {
            const auto row = s.current.rows.Row(i);
            out.insert(out.end(), row.begin(), row.end());
            float words[8];
            std::memcpy(words, &s.current.headers[static_cast<size_t>(i)], sizeof words);
            out.insert(out.end(), words, words + 8);
        }
        out.push_back(static_cast<float>(s.Params().recordKind));
        out.push_back(static_cast<float>(s.undoDepth));
        return out;
    }
};

TEST_F(PhaseVelocityCommandTest, TransformAndPickTheDispersiveRecord)
{
    const testrecord::Record r = testrecord::Dispersive(false);
    for (const char* start : {"0", "50"}) {
        LoadRecord(r);
        const std::vector<float> before = Snapshot();
        ui.AnswerDialog("CPhaseVelocityDlg", {{"Phase velocity Start", start}});
        ASSERT_TRUE(RunPhaseVelocityAnalysis(*ws, ui, nullptr, true, 40.0f, false, "shot.sg2"));
        const WaveformStore& s = ws->store;
        EXPECT_EQ(s.DispersionFlag(), 1);
        // The image is titled with the shot it was made from.
        Paint();
        const auto texts = canvas.OpsOf(drawtest::Kind::Text);
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                                [](const drawtest::Op* op) { return op->text == "Dispersion curve : shot.sg2"; }));
        EXPECT_EQ(s.dataKind(), kRealSpectrum);
        EXPECT_FLOAT_EQ(s.Params().recordMaximum, 1.0f);
        ws->contour.firstUse = 0;
        ui.AnswerDialog("CMinMaxFrequencyDlg");
        ASSERT_EQ(PickPhaseVelocity(*ws, ui), 1);
        EXPECT_EQ(ws->contour.minimumFrequency, 5.0f);  // the first use loaded the defaults
        EXPECT_EQ(ws->display.editMode, 1);
        for (int k = 0; k < s.TraceCount(); ++k) {
            const double f = s.current.headers[static_cast<size_t>(k)].receiverHundredths * 0.01;
            if (f >= 5.0 && f < 39.5) {
                EXPECT_NEAR(s.Params().pickTimes[static_cast<size_t>(k)], testrecord::C0(f), 2.5) << f;
            }
        }
        // Escape ends the picking and keeps the picks.
        const std::vector<float> picks = s.Params().pickTimes;
        ws->editController.OnKeyDown(*ws, ui, kKeyEscape);
        EXPECT_EQ(ws->display.editMode, 0);
        EXPECT_EQ(s.Params().pickTimes, picks);
        ws->store.RestoreUndo();
        EXPECT_EQ(Snapshot(), before);  // undo brings back the record and its kind 0
    }
}

TEST_F(PhaseVelocityCommandTest, RefusalsLeaveTheStoreAsItWas)
{
    LoadRecord(testrecord::Dispersive(false, 24, 1024));
    const std::vector<float> before = Snapshot();
    ui.CancelDialog("CPhaseVelocityDlg");
    EXPECT_FALSE(RunPhaseVelocityAnalysis(*ws, ui, nullptr, true, 40.0f));
    ui.AnswerDialog("CPhaseVelocityDlg", {{"Y-axis", "Velocity"}});  // 200 velocity traces, capacity 64
    ui.ExpectMessage("The number of traces was too large ! \n Maximum trace number is 64\n Change maximum traces by 'Option', 'Dimension size' !");
    EXPECT_FALSE(RunPhaseVelocityAnalysis(*ws, ui, nullptr, true, 40.0f));
    ws->contour.yAxis = 1;
    ui.AnswerDialog("CPhaseVelocityDlg", {{"Offset range used in transformation", "1000"}});
    ui.ExpectMessage("No trace is used in the transformation !");
    EXPECT_FALSE(RunPhaseVelocityAnalysis(*ws, ui, nullptr, true, 40.0f));
    ws->contour.maximumOffset = 100000.0f;
    // Reversed and empty ranges, by either method: a message and no image.
    const FieldValues ranges[] = {{{"Phase velocity Start", "400"}, {"Phase velocity End", "100"}},
                                  {{"Phase velocity Start", "300"}, {"Phase velocity End", "300"}},
                                  {{"Frequency Start", "30"}, {"Frequency End", "10"}},
                                  {{"Method", "SPAC"}, {"Frequency Start", "20"}, {"Frequency End", "20"}}};
    for (const FieldValues& values : ranges) {
        ws->contour = CContourSettings{};
        ui.AnswerDialog("CPhaseVelocityDlg", values);
        ui.ExpectMessage("The frequency or phase velocity range gives no image !");
        EXPECT_FALSE(RunPhaseVelocityAnalysis(*ws, ui, nullptr, true, 40.0f)) << values[0].second;
    }
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(PhaseVelocityCommandTest, PickerMappingFollowsThePickingRule)
{
    // A hand-made image: 12 frequencies 0, 2, ..., 22 Hz, 40 velocities by 2.5 m/s.
    WaveformStore& s = ws->store;
    s.Params().traceCount = 12;
    for (int t = 0; t < 12; ++t) {
        s.current.headers[static_cast<size_t>(t)].Set(t + 1, 200 * t, 0, 1, 1, 0.0f, 2500.0f, 40);
        for (int i = 0; i < 40; ++i) s.current.rows[t][i] = static_cast<float>(std::sin(1.7 * t * t + 0.9 * i * i + i) * (1 + (i % 7)));
    }
    s.Params().recordKind = 1;
    CContourSettings& c = ws->contour;
    c.firstUse = 1, c.medianFilter = 0, c.endVelocity = 0.09f;
    c.minimumReceiverSpacing = 1.0f, c.maximumReceiverSpacing = 5.0f;
    ui.AnswerDialog("CMinMaxFrequencyDlg");
    PickPhaseVelocity(*ws, ui);
    for (int t = 0; t < 12; ++t) {
        // The rule, literally: velocity i x dv above the minimum, strictly larger wins, not the
        // last sample, 0 < v < end, wavelength within the factors x the spacings.
        const double f = t * 2.0;
        float expected = -0.1f, best = 0.0f;
        int found = -1;
        for (int i = 0; t > 0 && f >= c.minimumFrequency && i < 40; ++i)
            if (i * 2.5 > c.minimumPhaseVelocity * 1000.0 && std::fabs(s.current.rows[t][i]) > best) best = std::fabs(s.current.rows[t][i]), found = i;
        if (found >= 0 && found != 39) {
            const double v = found * 2.5, lambda = v / f;
            if (v > 0 && v < c.endVelocity * 1000.0 && lambda <= 2.0 * 5.0 && lambda >= 2.0 * 1.0) expected = static_cast<float>(v);
        }
        EXPECT_FLOAT_EQ(s.Params().pickTimes[static_cast<size_t>(t)], expected) << t;
    }
    // Cancel counts the use; the defaults are not loaded again.
    c.firstUse = 0;
    c.minimumFrequency = 7.0f;
    ui.CancelDialog("CMinMaxFrequencyDlg");
    PickPhaseVelocity(*ws, ui);
    EXPECT_EQ(c.firstUse, 1);
    EXPECT_EQ(c.minimumFrequency, 7.0f);
    c.minimumFrequency = 8.0f;
    ui.AnswerDialogWith("CMinMaxFrequencyDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Minimum Frequency")->Text(), "8");
        EXPECT_EQ(r.Find("Maximum Frequency")->Text(), "22");
        return true;
    });
    PickPhaseVelocity(*ws, ui);
}

TEST_F(PhaseVelocityCommandTest, AllCurvesUpTo251)
{
    auto* launcher = new FakeLauncher;
    ws->launcher.reset(launcher);
    ws->programPaths.quessil = "/opt/Quessil";
    ws->curveSet.shotCount = 252;
    ui.ExpectMessage("The number of phase velocity curves is larger than 251 !");
    EXPECT_EQ(ShowAllCurvesInQuessil(*ws, ui, "-Velkarine"), 0);
    EXPECT_TRUE(launcher->starts.empty());
    SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-pv-");
    ws->curveSet.shotCount = 251;
    EXPECT_EQ(ShowAllCurvesInQuessil(*ws, ui, "-Velkarine"), 1);
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(launcher->starts[0].args, (std::vector<std::string>{"-2", "-Velkarine"}));
    const uint8_t* block = ws->traveltimeSet.BlockView();
    ASSERT_NE(block, nullptr);
    int32_t words[2];
    std::memcpy(&words[0], block + rostrel_block::kRequest, 4);
    std::memcpy(&words[1], block + rostrel_block::kShotCount, 4);
    EXPECT_EQ(words[0], -1);
    EXPECT_EQ(words[1], 251);
    EXPECT_EQ(ws->ReleaseSharedBlocks(), "");
    SetSharedBlockPrefix("");
}

// Each road that hands the picked curve to the dispersion program: the name slot carries the
// mode's switch (a blank from the menu), the file-name slot the record's bare name.
TEST_F(PhaseVelocityCommandTest, CurveHandOffsPutSwitchAndFileInTheirSlots)
{
    auto* launcher = new FakeLauncher;
    ws->launcher.reset(launcher);
    Fill(2, 10, [](int, int) { return 0.0f; });  // frequencies 0 and 1 Hz, a dispersion image
    ws->store.Params().recordKind = 1;
    ws->store.Params().pickTimes[0] = -0.1f, ws->store.Params().pickTimes[1] = 150.0f;
    ws->store.pickAmplitude.assign(2, 0.5f);
    CVelkarineDoc doc(*ws);
    doc.currentFileName = "/data/line/shot.sg2";
    RecentFileList recent;
    CommandContext ctx{*ws, ui, doc, recent, nullptr, nullptr};
    ws->ModeServicesOf().SetContextSource([&]() -> std::optional<CommandContext> { return ctx; });
    auto args = [&](const std::string& name, const std::string& file) {
        EXPECT_EQ(launcher->starts.back().args,
                  (std::vector<std::string>{"-1", name, "-1", "-1.000000", "-150.000000", "-0.500000", "-" + file}));
    };
    for (const char* sw : {"-MASW1D", "-MAM", "-QD7000MASW1D"}) {
        ws->ModeServicesOf().ShowPhaseVelocityCurve(sw);
        args(sw, "shot.sg2");
    }
    ws->ModeServicesOf().ShowPhaseVelocityCurveNamed("-QD7000MASW1D", "a1-a20");
    args("-QD7000MASW1D", "a1-a20");
    RunCommand(BuildCommandTable(), cmd::kShowPhaseVelocityCurve, ctx);
    args(" ", "shot.sg2");
}

TEST_F(PhaseVelocityCommandTest, VelocityDepthOfAConstantVelocity)
{
    // 20 frequencies 0..19 Hz, 120 velocities by 2.5 m/s, all energy at 200 m/s (sample 80).
    WaveformStore& s = ws->store;
    s.Params().traceCount = 1;
    s.current.headers[0].Set(1, 0, 0, 1, 1, 0.0f, 2500.0f, 120);
    ui.ExpectMessage("The velocity-depth transformation needs two traces or more !");
    EXPECT_EQ(VelocityDepthTransform(*ws, ui), 0);
    s.Params().traceCount = 20;
    for (int t = 0; t < 20; ++t) {
        s.current.headers[static_cast<size_t>(t)].Set(t + 1, 100 * t, 0, 1, 1, 0.0f, 2500.0f, 120);
        for (int i = 0; i < 120; ++i) s.current.rows[t][i] = i == 80 ? 1.0f : 0.0f;
    }
    s.Params().recordKind = 1;
    ui.AnswerDialog("CVelocityDepthConversionDlg", {{"Depth", "19"}});  // dz = 1 m
    ASSERT_EQ(VelocityDepthTransform(*ws, ui), 1);
    for (int f = 4; f < 20; ++f) EXPECT_FLOAT_EQ(s.current.rows[static_cast<int>(200.0 / (3.0 * f))][80], 1.0f) << f;
    for (int i = 24; i < 120; ++i) EXPECT_EQ(s.current.rows[0][i], 0.0f) << i;  // empty depth-0 cells
    EXPECT_EQ(ws->contour.imageKind, 2);
}

TEST_F(PhaseVelocityCommandTest, LimitLinesAndLegend)
{
    Fill(16, 100, [](int i, int j) { return static_cast<float>((i + j) % 10); }, 2500.0f);  // 16 Hz x 250 m/s
    ws->store.Params().recordKind = 1;
    ws->display.plotMode = 1;
    ws->display.axesFixed = 1;
    CContourSettings& c = ws->contour;
    c.minimumReceiverSpacing = 1.0f, c.maximumReceiverSpacing = 10.0f;
    c.minimumWavelengthFactor = 2.0f, c.maximumWavelengthFactor = 2.0f;
    Paint();
    std::vector<const drawtest::Op*> lines;
    for (const drawtest::Op* op : canvas.OpsOf(drawtest::Kind::LineTo))
        if (op->pen == Pen{PenStyle::Solid, 2, Rgb{0, 0, 255}}) lines.push_back(op);
    ASSERT_EQ(lines.size(), 2u);
    const CParameterSet& p = ws->store.Params();
    for (size_t k = 0; k < 2; ++k) {
        const double slope = k == 0 ? 2.0 : 20.0;  // m/s per Hz
        const LPoint a = lines[k]->points[0], b = lines[k]->points[1];
        EXPECT_NEAR(static_cast<double>(b.x - a.x) / (a.y - b.y), slope * p.hscale / p.plotscale, 0.05);
    }
    // The legend: n framed boxes, band 0 lowest, labels closer than 46 units skipped.
    std::vector<const drawtest::Op*> boxes;
    for (const drawtest::Op* op : canvas.OpsOf(drawtest::Kind::Polyline))
        if (op->points.size() == 5 && op->pen.width == 2) boxes.push_back(op);
    const int n = ContourLevelCount(ws->palette);
    ASSERT_EQ(boxes.size(), static_cast<size_t>(n));
    EXPECT_LT(boxes.front()->points[0].y, boxes.back()->points[0].y);
    const int32_t box = boxes[0]->points[2].y - boxes[0]->points[0].y;
    int labels = 0;
    for (const drawtest::Op* op : canvas.OpsOf(drawtest::Kind::Text))
        if (op->points[0].x > boxes[0]->points[1].x) ++labels;
    EXPECT_EQ(labels, box > 45 ? n - 1 : (n - 1 + 1) / 2) << box;

    // A velocity-depth image has no wavelength limits.
    c.imageKind = 2;
    Paint();
    for (const drawtest::Op* op : canvas.OpsOf(drawtest::Kind::LineTo)) EXPECT_NE(op->pen.colour, (Rgb{0, 0, 255}));
}

}  // namespace
}  // namespace velk

namespace velk {
namespace {

TEST_F(PhaseVelocityCommandTest, FieldShotGivesAFallingCurve)
{
    const std::string path = std::string(VELK_SHARED_DATA) + "/field-shot-24ch.sg2";
    CVelkarineDoc doc(*ws);
    RegisterFileFormats(doc.Formats());
    ui.SetStrict(false);
    if (!doc.LoadRecord(*ws, path, ui)) GTEST_SKIP() << "no " << path;
    ASSERT_TRUE(RunPhaseVelocityAnalysis(*ws, ui, nullptr, false, 40.0f));
    EXPECT_EQ(ws->contour.direction, 0);
    const WaveformStore& s = ws->store;
    std::vector<double> curve;
    for (int k = 0; k < s.TraceCount(); ++k) {
        const double f = s.current.headers[static_cast<size_t>(k)].receiverHundredths * 0.01;
        if (f < 5.0 || f > 20.0) continue;
        const auto row = s.current.rows.Row(k);
        int best = 40;  // above 0.1 km/s
        for (int j = 41; j < s.TraceSamples(k); ++j)
            if (row[static_cast<size_t>(j)] > row[static_cast<size_t>(best)]) best = j;
        curve.push_back(best * 2.5);
    }
    ASSERT_GT(curve.size(), 10u);
    for (size_t i = 0; i < curve.size(); ++i) {
        EXPECT_GE(curve[i], 190.0);
        EXPECT_LE(curve[i], 320.0);
        if (i > 0) {
            EXPECT_LE(curve[i] - curve[i - 1], 5.0);
        }
    }
    EXPECT_GE(curve.front() - curve.back(), 60.0);
}

}  // namespace
}  // namespace velk
