// The record view's mouse and keys: conversions, picking, selection, velocity lines, the
// mouse mute, the curve fit, the keys and the acquisition keys.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "draw/mapping.h"
#include "app/view/edit_controller.h"

#include "app/dsp/data_kind.h"
#include "app/view/edit_mode_commands.h"
#include "app/dsp/filter_test.h"
#include "app/view/record_extents.h"
#include "app/dsp/trace_edit_commands.h"
#include "app/view/view_fixture.h"

namespace velk {
namespace {

using viewtest::ViewTest;

// 8 traces at receivers 0..7 m, 200 samples at 1 ms; 10 units per ms, 100 units per m, the
// distance origin at -1 m: trace i lies at b = 300 + (i + 1) x 100.
class EditControllerTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        Load(8, 200);
        RecalcRecordExtents(*ws, 1);
        CParameterSet& p = ws->store.Params();
        p.hscale = 10.0f;
        p.plotscale = 100.0f;
        ws->display.layout.distanceOrigin = -1.0f;
        ws->display.layout.timeOffset = 0.0f;
    }
    // The logical point of a raw time and a distance in direction 0.
    static LPoint At(float tr, float d)
    {
        return {static_cast<int32_t>(300 + tr * 10), -static_cast<int32_t>(std::lround(300 + (d + 1) * 100))};
    }
    EditController& ctl() { return ws->editController; }
    float Pick(int i) const { return ws->store.Params().pickTimes[static_cast<size_t>(i)]; }
    int Flag(int i) const { return ws->store.Params().selectionFlags[static_cast<size_t>(i)]; }
    std::vector<std::string> OverlayTexts() const
    {
        std::vector<std::string> out;
        for (const OverlayFigure& f : ws->display.overlay.Figures())
            if (f.kind == OverlayFigure::Kind::Text) out.push_back(f.text);
        return out;
    }
    const OverlayFigure* Rubber() const
    {
        for (const OverlayFigure& f : ws->display.overlay.Figures())
            if (f.owner == EditController::kRubberOwner) return &f;
        return nullptr;
    }
    static std::string Pane(const EditEffects& e, int pane)
    {
        std::string text = "<none>";
        for (const PaneText& p : e.panes)
            if (p.pane == pane) text = p.text;
        return text;
    }
};

TEST_F(EditControllerTest, ConversionsBothDirectionsAndScrolled)
{
    ws->display.layout.timeOffset = -2.0f;
    ws->store.Params().windowStartTime = 50.0f;
    CursorData c = CursorToData(*ws, LPoint{400, -700});
    EXPECT_FLOAT_EQ(c.tr, 60.0f);
    EXPECT_FLOAT_EQ(c.t, 58.0f);
    EXPECT_FLOAT_EQ(c.d, 3.0f);
    ws->settings.plotDirection = 1;  // a = -y, b = x
    c = CursorToData(*ws, LPoint{700, -400});
    EXPECT_FLOAT_EQ(c.tr, 60.0f);
    EXPECT_FLOAT_EQ(c.d, 3.0f);
    EXPECT_EQ(DataToCursor(*ws, 60.0f, 3.0f), (LPoint{700, -400}));

    // Every trace, drawn at its baseline, comes back to the pixel it was drawn at, in a
    // scrolled window and in both directions; the hit test finds it there.
    LogicalMapping m = LogicalMapping::ForDpi(96, 96);
    m.scrollX = 37;
    m.scrollY = 211;
    for (int direction : {0, 1}) {
        ws->settings.plotDirection = direction;
        for (int i = 0; i < 8; ++i) {
            const LPoint drawn = DataToCursor(*ws, 80.0f, static_cast<float>(i));
            const DevicePoint pixel = m.ToDevice(drawn);
            const CursorData back = CursorToData(*ws, m.ToLogical(pixel));
            const DevicePoint again = m.ToDevice(DataToCursor(*ws, back.tr, back.d));
            EXPECT_LE(std::abs(again.x - pixel.x), 1) << direction << " " << i;
            EXPECT_LE(std::abs(again.y - pixel.y), 1) << direction << " " << i;
            EXPECT_EQ(HitTrace(*ws, back.b, false), i);
            EXPECT_NEAR(back.tr, 80.0f, 0.3f);
        }
    }
}

TEST_F(EditControllerTest, PickDragInterpolatesAndAClickPicksOneTrace)
{
    ws->display.editMode = 1;
    ws->display.currentLayerCode = 2;
    ctl().OnLButtonDown(*ws, ui, At(10, 2));
    EXPECT_TRUE(ctl().Dragging(*ws));
    EditEffects e = ctl().OnMouseMove(*ws, ui, At(20, 4));
    EXPECT_EQ(e.repaint, RepaintKind::Overlay);
    ASSERT_NE(Rubber(), nullptr);
    EXPECT_EQ(Rubber()->points, (std::vector<LPoint>{At(10, 2), At(20, 4)}));
    EXPECT_EQ(Rubber()->pen.colour, (Rgb{255, 0, 255}));
    EXPECT_EQ(Pane(e, 2), "time=20.0msec");
    EXPECT_EQ(Pane(e, 3), "dist.=4.00m");
    EXPECT_EQ(Pane(e, 4), "4:amp.=40021.00000");
    e = ctl().OnLButtonUp(*ws, ui, At(30, 6));
    EXPECT_EQ(e.repaint, RepaintKind::Record);
    EXPECT_EQ(Rubber(), nullptr);
    const float expected[8] = {0, 0, 10, 15, 20, 25, 30, 0};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(Pick(i), expected[i], 1e-4) << i;
    EXPECT_EQ(ws->store.Params().layerCodes[4], 2);

    // Traces 10 units apart: a click without motion picks only the first in reach.
    ws->store.Params().plotscale = 10.0f;
    const LPoint atTrace3{500, -(300 + 40)};
    ctl().OnLButtonDown(*ws, ui, atTrace3);
    ctl().OnLButtonUp(*ws, ui, atTrace3);
    EXPECT_FLOAT_EQ(Pick(2), 20.0f);
    EXPECT_FLOAT_EQ(Pick(3), 15.0f);  // from the drag
    EXPECT_FLOAT_EQ(Pick(4), 20.0f);
    // One pick per click: the first hit trace.
    ctl().continuousPicking = -1;
    e = ctl().OnLButtonDown(*ws, ui, LPoint{700, -(300 + 40)});
    EXPECT_EQ(e.repaint, RepaintKind::Record);
    EXPECT_FLOAT_EQ(Pick(2), 40.0f);
    EXPECT_FLOAT_EQ(Pick(3), 15.0f);
}

TEST_F(EditControllerTest, SelectionDragInvertsTheEditedComponent)
{
    for (int i = 0; i < 8; ++i) ws->store.current.headers[static_cast<size_t>(i)].component = 1 + i % 2;
    ws->store.Params().selectionFlags[3] = 1;
    ws->display.editMode = 5;
    ctl().OnLButtonDown(*ws, ui, At(5, 1));
    EXPECT_EQ(ctl().OnLButtonUp(*ws, ui, At(5, 4)).repaint, RepaintKind::Record);
    EXPECT_EQ((std::vector<int>{Flag(0), Flag(1), Flag(2), Flag(3), Flag(4), Flag(5)}),
              (std::vector<int>{0, 1, 1, 0, 1, 0}));
    // Only the component to be edited; ends between traces select by distance.
    ws->componentToEdit = 2;
    ctl().OnLButtonDown(*ws, ui, At(5, 2.5f));
    ctl().OnLButtonUp(*ws, ui, At(5, 6.5f));
    EXPECT_EQ((std::vector<int>{Flag(2), Flag(3), Flag(4), Flag(5), Flag(6)}), (std::vector<int>{1, 1, 1, 1, 0}));
    EXPECT_EQ(ctl().selection.startIndex, -1);
}

TEST_F(EditControllerTest, MouseMute)
{
    OnMuteByMouse(*ws);
    ctl().OnLButtonDown(*ws, ui, At(20, 0));
    EXPECT_EQ(OverlayTexts(), std::vector<std::string>{"（drag a mouth to end）"});
    ctl().OnLButtonUp(*ws, ui, At(20, 7));  // constant time
    const MuteLines& mute = ws->display.mute;
    EXPECT_EQ(mute.state, 2);
    EXPECT_FLOAT_EQ(mute.slope1, 100000.0f);
    EXPECT_NEAR(mute.intercept1, 20.0f, 1e-3);
    ctl().OnLButtonDown(*ws, ui, At(10, 3));
    ctl().OnLButtonUp(*ws, ui, At(50, 3));  // constant distance: dropped
    EXPECT_EQ(mute.state, 2);
    // A proper second line, then Cancel: back to state 0, data untouched.
    const std::vector<float> before = Row(5, 200);
    ctl().OnLButtonDown(*ws, ui, At(100, 0));
    EditEffects e = ctl().OnLButtonUp(*ws, ui, At(170, 7));
    EXPECT_EQ(mute.state, 4);
    EXPECT_FLOAT_EQ(mute.slope2, 0.1f);
    ASSERT_EQ(e.followUp, EditEffects::FollowUp::MuteQuestion);
    ui.ExpectMessage("Are you sure to mute the data ?", MsgButtons::OkCancel, MsgResult::Cancel);
    ctl().RunFollowUp(*ws, ui, e.followUp);
    EXPECT_EQ(mute.state, 0);
    EXPECT_EQ(Row(5, 200), before);
    // Again with OK: the traces are muted and the mode ends.
    for (auto [t0, d0, t1, d1] : {std::array<float, 4>{20, 0, 20, 7}, std::array<float, 4>{100, 0, 170, 7}}) {
        ctl().OnLButtonDown(*ws, ui, At(t0, d0));
        e = ctl().OnLButtonUp(*ws, ui, At(t1, d1));
    }
    ui.ExpectMessage("Are you sure to mute the data ?", MsgButtons::OkCancel, MsgResult::Ok);
    EXPECT_EQ(ctl().RunFollowUp(*ws, ui, e.followUp).repaint, RepaintKind::Record);
    EXPECT_EQ(ws->display.editMode, 0);
    EXPECT_NE(Row(5, 200), before);
    EXPECT_FLOAT_EQ(ws->store.current.rows.Row(0)[190], 0.0f);
    EXPECT_TRUE(ui.VerifyAndClear());

    // Escape ends the mode with the data unchanged.
    const std::vector<float> now = Row(5, 200);
    OnMuteByMouse(*ws);
    ctl().OnLButtonDown(*ws, ui, At(20, 0));
    ctl().OnKeyDown(*ws, ui, kKeyEscape);
    EXPECT_EQ(ws->display.editMode, 0);
    EXPECT_EQ(Row(5, 200), now);
}

TEST_F(EditControllerTest, VelocityLine)
{
    OnVelocityLineMode(*ws);
    ctl().OnLButtonDown(*ws, ui, At(0, 0));
    EditEffects e = ctl().OnMouseMove(*ws, ui, At(0, 3));  // no time difference: nothing shown
    EXPECT_TRUE(OverlayTexts().empty());
    EXPECT_EQ(Pane(e, 4), "<none>");
    e = ctl().OnMouseMove(*ws, ui, At(5, 10));
    EXPECT_EQ(OverlayTexts(), std::vector<std::string>{"velocity=2000.0m/sec "});
    EXPECT_EQ(Pane(e, 4), "velocity=2000.0m/sec ");
    ASSERT_NE(Rubber(), nullptr);
    EXPECT_EQ(Rubber()->points.front(), At(0, 0));
    ctl().OnLButtonUp(*ws, ui, At(5, 10));
    EXPECT_EQ(OverlayTexts(), (std::vector<std::string>{"Push right button of mouse to complete",
                                                        "(Pont left end to re-start)"}));
    EXPECT_EQ(ctl().OnRButtonDown(*ws, At(5, 10)).repaint, RepaintKind::Record);
    ASSERT_EQ(ws->display.velocityLines.Count(), 1);
    EXPECT_FLOAT_EQ(ws->display.velocityLines.lines[0].endDistance, 10.0f);
    EXPECT_TRUE(OverlayTexts().empty());
    // The store keeps at most MAXTRACES lines.
    for (int i = 1; i < 70; ++i) ctl().OnRButtonDown(*ws, At(5, 10));
    EXPECT_EQ(ws->display.velocityLines.Count(), ws->store.MaxTraces());
    OnDeleteAllVelocities(*ws);
    EXPECT_EQ(ws->display.velocityLines.Count(), 0);
}

TEST_F(EditControllerTest, ShotMarkAmplitudeAndScrolledReadOut)
{
    // Amplitude click with a -10 ms trigger delay reads the sample under the cursor.
    for (int i = 0; i < 8; ++i) ws->store.current.headers[static_cast<size_t>(i)].delayUs = -10000.0f;
    ws->display.layout.timeOffset = -10.0f;
    ws->display.editMode = 3;
    ctl().OnLButtonDown(*ws, ui, At(25, 3));
    EXPECT_FLOAT_EQ(Pick(3), 30026.0f);
    EXPECT_FLOAT_EQ(ws->display.amplitudePickTimes[3], 25.0f);
    ctl().OnLButtonDown(*ws, ui, At(250, 4));  // beyond the trace: ignored
    EXPECT_FLOAT_EQ(Pick(4), 0.0f);

    // Pane 4 in a window scrolled to 100 ms reads sample 105 at 105 ms.
    ws->display.editMode = 0;
    ws->display.firstSampleShown = 100;
    ws->store.Params().windowStartTime = 100.0f;
    EXPECT_EQ(Pane(ctl().OnMouseMove(*ws, ui, At(5, 2)), 4), "2:amp.=20106.00000");
    ws->store.Params().windowStartTime = 0.0f;

    // A shot mark on a record with a bad interval is refused: samples and delays stay.
    ws->display.editMode = 2;
    ws->store.current.headers[2].intervalUs = 0.0f;
    ui.ExpectMessage(InvalidIntervalMessage(ws->startup.language));
    ctl().OnLButtonDown(*ws, ui, At(20, 0));
    EXPECT_FLOAT_EQ(ws->store.current.headers[6].delayUs, -10000.0f);
    EXPECT_EQ(ws->display.editMode, 2);
    ws->store.current.headers[2].intervalUs = ws->store.current.headers[3].intervalUs;

    // Shot mark at 20 ms: the sample at 20 ms becomes sample 0, delays 0, mode 0.
    ctl().OnLButtonDown(*ws, ui, At(20, 0));
    EXPECT_FLOAT_EQ(ws->store.current.rows.Row(6)[0], 60021.0f);
    EXPECT_FLOAT_EQ(ws->store.current.headers[6].delayUs, 0.0f);
    EXPECT_EQ(ws->display.editMode, 0);
    EXPECT_EQ(ws->display.modified, 1);
}

TEST_F(EditControllerTest, CurveFitKeepsTheModelWhereTheFormulaFails)
{
    CTheoreticalTraveltime& m = ws->theoretical = CTheoreticalTraveltime(ws->store.MaxTraces());
    RecomputeTheoreticalCurves(*ws);  // source at -1 m
    ws->display.editMode = 7;
    // Grab the direct wave at trace 5 (x = 6 m, 20 ms).
    ctl().OnLButtonDown(*ws, ui, At(m.curves[0][5], 5));
    ASSERT_EQ(m.modifiedParameter, 0);
    ctl().OnMouseMove(*ws, ui, At(12, 5));
    EXPECT_FLOAT_EQ(m.v1, 0.5f);
    EXPECT_FLOAT_EQ(m.curves[0][5], 12.0f);
    ctl().OnLButtonUp(*ws, ui, At(12, 5));
    EXPECT_EQ(m.modifiedParameter, -1);
    EXPECT_EQ(OverlayTexts(), (std::vector<std::string>{"Status : theoretical traveltime V1=0.5 V2=1.5 D=5.0 ",
                                                        "Use a mouse to modify traveltime curve"}));
    // V2 from a time inside the delay term: negative, kept. D from x > V1 t: NaN, kept.
    m.modifiedParameter = 1;
    ctl().OnMouseMove(*ws, ui, At(5, 5));
    m.modifiedParameter = 2;
    ctl().OnMouseMove(*ws, ui, At(5, 5));
    EXPECT_FLOAT_EQ(m.v1, 0.5f);
    EXPECT_FLOAT_EQ(m.v2, 1.5f);
    EXPECT_FLOAT_EQ(m.depth, 5.0f);
    // V1 >= V2 in the ground-water model gives no root: D kept.
    m.mode = 1;
    m.v1 = 2.0f;
    m.modifiedParameter = 1;
    ctl().OnMouseMove(*ws, ui, At(30, 5));
    EXPECT_FLOAT_EQ(m.depth, 5.0f);
    EXPECT_EQ(m.FormatModifyLabel(-1), "modify:D1");
}

TEST_F(EditControllerTest, FilterTestCutFollowsTheDrag)
{
    ws->store.Params().selectionFlags[2] = 1;
    ASSERT_EQ(OnFilterTest(*ws, ui), 1);
    FilterTest& test = ws->filterTest;
    ASSERT_TRUE(ComputeFilterTest(*ws, test, 2));
    test.testTrace = 2;
    const float k = test.frequencyScale * ws->store.Params().hscale;
    const int lowX = 300 + static_cast<int>(ws->settings.bpfLowCut * k);
    const int band = TraceAlongDistance(*ws, 2) + 200;  // between the markers' ends
    ctl().OnLButtonDown(*ws, ui, LPoint{lowX + 5, -band});
    ASSERT_EQ(test.grabbedCut, 0);
    EXPECT_TRUE(ctl().Dragging(*ws));
    EXPECT_EQ(ctl().OnMouseMove(*ws, ui, LPoint{300 + static_cast<int>(20 * k), -band}).repaint, RepaintKind::Record);
    EXPECT_NEAR(ws->settings.bpfLowCut, 20.0f, 0.5f);
    ctl().OnLButtonUp(*ws, ui, LPoint{300 + static_cast<int>(20 * k), -band});
    EXPECT_EQ(test.grabbedCut, -1);
}

struct FakeAcquisition : AcquisitionKeyTarget {
    std::vector<std::string> calls;
    int result = 0;
    bool stack = false;
    void ManualTrigger() override { calls.push_back("trigger"); }
    void StepMode() override { calls.push_back("step"); }
    void OnNoiseMonitorStart() override { calls.push_back("monitor"); }
    void OnTriggerArm() override { calls.push_back("arm"); }
    void OnAcquisitionMenu() override { calls.push_back("menu"); }
    int EditModeGeometry() override { return calls.push_back("geometry"), result; }
    int EditSettings() override { return calls.push_back("settings"), result; }
    int DiskMenu() override { return calls.push_back("disk"), result; }
    int EditDisplay() override { return calls.push_back("display"), result; }
    void Disarm() override { calls.push_back("disarm"); }
    void RequestStop() override { calls.push_back("stop"); }
    void AutomaticProcessingStop() override { calls.push_back("automatic-stop"); }
    void DrawKeyBar() override { calls.push_back("bar"); }
    void DrawMenuKeyBar() override { calls.push_back("menu-bar"); }
    bool StackedRecordsWaiting() override { return stack; }
    void CopyStackIntoStore() override { calls.push_back("copy-stack"); }
    void MakeTraceHeaders() override { calls.push_back("headers"); }
    void ComputeDisplayScale() override { calls.push_back("scale"); }
    int SaveRecord(std::string& savedPath) override
    {
        calls.push_back("save");
        savedPath = "/data/qkaa0001.sg2";
        return saveResult;
    }
    int saveResult = 1;
    void ClearStackCount() override { calls.push_back("clear-stack"); }
};

TEST_F(EditControllerTest, ScaleEscapeAndDeleteKeys)
{
    CParameterSet& p = ws->store.Params();
    EXPECT_EQ(ctl().OnKeyDown(*ws, ui, kKeyLeft).skip, false);
    EXPECT_FLOAT_EQ(p.hscale, 10.0f * 2 / 3);
    ctl().OnKeyDown(*ws, ui, kKeyRight);
    EXPECT_NEAR(p.hscale, 10.0f, 1e-4);
    ws->settings.plotDirection = 1;
    ctl().OnKeyDown(*ws, ui, kKeyRight);
    EXPECT_FLOAT_EQ(p.plotscale, 150.0f);
    ws->display.displayMode = 3;
    ctl().OnKeyDown(*ws, ui, kKeyRight);
    EXPECT_FLOAT_EQ(ws->display.geometryXScale, 30.0f);
    ws->settings.plotDirection = 0;
    ws->display.displayMode = 4;
    ctl().OnKeyDown(*ws, ui, kKeyShift);
    ctl().OnKeyDown(*ws, ui, kKeyUp);  // the axis, not the geometry y scale
    EXPECT_FLOAT_EQ(p.plotscale, 225.0f);
    EXPECT_FLOAT_EQ(ws->display.geometryYScale, 20.0f);
    ctl().OnKeyUp(*ws, kKeyShift);
    const float v = p.vscale;
    ctl().OnKeyDown(*ws, ui, kKeyUp);
    EXPECT_FLOAT_EQ(p.vscale, v * 1.5f);
    p.recordKind = 1;
    ctl().OnKeyDown(*ws, ui, kKeyUp);
    EXPECT_FLOAT_EQ(p.vscale, v * 1.5f * 1.2f);
    EXPECT_TRUE(ctl().OnKeyDown(*ws, ui, 65).skip);

    p.selectionFlags[1] = p.selectionFlags[2] = 1;
    EXPECT_EQ(ctl().OnKeyDown(*ws, ui, kKeyDelete).repaint, RepaintKind::Record);
    EXPECT_EQ(ws->store.TraceCount(), 6);
    ws->display.editMode = 5;
    ctl().OnKeyDown(*ws, ui, kKeyEscape);
    EXPECT_EQ(ctl().stopFlag, 1);
    EXPECT_EQ(ws->display.editMode, 0);
}

TEST_F(EditControllerTest, AcquisitionKeys)
{
    FakeAcquisition fake;
    ctl().SetAcquisitionTarget(&fake);
    ctl().OnKeyDown(*ws, ui, kKeyF1);  // not in acquisition mode
    EXPECT_TRUE(fake.calls.empty());
    ws->startup.acquisitionMode = 1;
    ws->startup.instrumentMenu = 1;
    for (int key : {kKeyEnter, kKeyF1, kKeyF2, kKeyF3, kKeyF4, kKeyF5}) ctl().OnKeyDown(*ws, ui, key);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"step", "monitor", "settings", "arm", "disk", "display"}));
    fake.calls.clear();
    ws->acquisitionDevice.armed = 1;
    ctl().OnKeyDown(*ws, ui, kKeyEnter);
    ctl().OnKeyDown(*ws, ui, kKeyF3);
    EXPECT_EQ(fake.calls, std::vector<std::string>{"trigger"});
    // Escape while armed: the stop sequence, the stacked record, "Save to HDD?".
    fake.calls.clear();
    fake.stack = true;
    EditEffects e = ctl().OnKeyDown(*ws, ui, kKeyEscape);
    ASSERT_EQ(e.followUp, EditEffects::FollowUp::SaveQuestion);
    ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Ok);
    EXPECT_EQ(ctl().RunFollowUp(*ws, ui, e.followUp).recentFile, "/data/qkaa0001.sg2");
    // The stack keeps its own headers (true source, its trace count).
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"disarm", "stop", "copy-stack", "scale", "save",
                                                    "clear-stack", "scale"}));
    // A save that did not happen keeps the stack and names no file.
    fake.calls.clear();
    fake.saveResult = 0;
    ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Ok);
    EXPECT_TRUE(ctl().RunFollowUp(*ws, ui, e.followUp).recentFile.empty());
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"save", "scale"}));
    EXPECT_EQ(ctl().stopFlag, 1);
    ws->acquisitionDevice.armed = 0;

    // The second key bar.
    fake.calls.clear();
    ctl().OnKeyDown(*ws, ui, kKeyShift);
    ctl().OnKeyDown(*ws, ui, kKeyF1);
    EXPECT_EQ(ctl().shiftState, 0);
    ctl().OnKeyDown(*ws, ui, kKeyShift);
    e = ctl().OnKeyDown(*ws, ui, kKeyF4);
    EXPECT_TRUE(e.close);
    // The frame's close offers the pending stack (closing and shutting down go through it).
    EXPECT_EQ(e.followUp, EditEffects::FollowUp::None);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"menu-bar", "menu", "bar", "menu-bar", "automatic-stop"}));
    ui.ExpectMessage("Are you sure to shutdown?", MsgButtons::OkCancel, MsgResult::Cancel);
    e = ctl().OnKeyDown(*ws, ui, kKeyF5);
    EXPECT_FALSE(e.shutdown);
    EXPECT_EQ(e.followUp, EditEffects::FollowUp::None);
    ui.ExpectMessage("Are you sure to shutdown?", MsgButtons::OkCancel, MsgResult::Ok);
    e = ctl().OnKeyDown(*ws, ui, kKeyF5);
    EXPECT_TRUE(e.shutdown);
    EXPECT_EQ(e.followUp, EditEffects::FollowUp::None);
    EXPECT_TRUE(ui.VerifyAndClear());
}

TEST_F(EditControllerTest, LoneAltPopsTheAcquisitionMenuUpAndCtrlIsTracked)
{
    const struct {
        int acquisitionMode;
        int between;  // a key between Alt's press and release, or 0
        bool menu;
    } cases[] = {{1, 0, true}, {1, kKeyLeft, false}, {0, 0, false}};
    for (const auto& c : cases) {
        ws->startup.acquisitionMode = c.acquisitionMode;
        ctl().OnKeyDown(*ws, ui, kKeyAlt);
        if (c.between != 0) ctl().OnKeyDown(*ws, ui, c.between);
        EXPECT_EQ(ctl().OnKeyUp(*ws, kKeyAlt).acquisitionMenu, c.menu);
    }
    ctl().OnKeyDown(*ws, ui, kKeyControl);
    EXPECT_EQ(ctl().ctrlState, 1);
    ctl().OnKeyUp(*ws, kKeyControl);
    EXPECT_EQ(ctl().ctrlState, 0);
}

TEST_F(EditControllerTest, CaptureLostEndsTheDragWithoutPicks)
{
    ws->display.editMode = 1;
    ctl().OnLButtonDown(*ws, ui, At(10, 2));
    ctl().OnMouseMove(*ws, ui, At(20, 5));
    ctl().OnCaptureLost(*ws);
    EXPECT_FALSE(ctl().Dragging(*ws));
    EXPECT_EQ(Rubber(), nullptr);
    ctl().OnLButtonUp(*ws, ui, At(20, 5));
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(Pick(i), 0.0f);
    // The continuous-picking command toggles its check.
    OnPickContinuously(*ws);
    EXPECT_EQ(ctl().continuousPicking, -1);
}

}  // namespace
}  // namespace velk
