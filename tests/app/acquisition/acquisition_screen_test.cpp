#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/acquisition/acquisition_screen.h"
#include "app/shell_services.h"
#include "app/view/record_drawing.h"
#include "app/view/record_extents.h"
#include "app/view/record_paint.h"
#include "app/workspace.h"
#include "draw/recording_canvas.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

using Op = RecordingCanvas::Op;
using Kind = RecordingCanvas::Kind;

struct PaneLog : StatusPanes {
    void SetPaneText(int pane, const std::string& text) override { texts[pane] = text; }
    void SetPaneWidth(int, int) override {}
    std::map<int, std::string> texts;
};

struct Screen {
    Screen() : profile(Profile::FromText("[General]\n")), ws(profile, ui)
    {
        ws.startup.acquisitionMode = 1;
        ws.startup.instrumentMenu = 1;
        ws.InitForView();
        ws.acquisitionDevice.acquisitionScreen = 1;
    }
    // One paint of the view, in a window whose right edge is `right` (0: none).
    RecordingCanvas Paint(int right = 0)
    {
        RecordingCanvas canvas;
        RecordPaint paint{canvas, &panes, false, {}, {}};
        paint.visibleRight = right;
        OnDraw(paint, ws);
        return canvas;
    }
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    PaneLog panes;
};

std::vector<LRect> Boxes(const RecordingCanvas& c, Rgb colour, int y)
{
    std::vector<LRect> boxes;
    for (const Op* op : c.OpsOf(Kind::Rectangle)) {
        const LRect r{op->points[0].x, op->points[0].y, op->points[1].x, op->points[1].y};
        if (op->brush.colour == colour && r.top == y - 10) boxes.push_back(r);
    }
    return boxes;
}

TEST(AcquisitionScreen, MonitorPanelRowsGainsHoldsAndBanner)
{
    Screen s;
    CAcquisitionDevice& device = s.ws.acquisitionDevice;
    device.parm.disp_ch = 3;  // 12 channels
    device.hold_bf[2] = 1;
    device.gain_bf[2] = 3;
    device.gain_bf[4] = 2;
    device.monitorRunning = 1;
    const RecordingCanvas c = s.Paint();
    const int x0 = s.ws.display.layout.xorg;
    const int y0 = s.ws.display.layout.yorg;
    std::vector<std::string> labels;
    std::vector<LPoint> at;
    for (const Op* op : c.OpsOf(Kind::Text)) {
        if (op->font.height != 20) continue;
        labels.push_back(op->text);
        at.push_back(op->points[0]);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "AUX"}));
    ASSERT_EQ(at.size(), 13u);
    EXPECT_EQ(at[11], (LPoint{x0 - 40, 15 - (13 * 34 + y0)}));
    EXPECT_EQ(at[12], (LPoint{x0 - 50, 15 - (14 * 34 + y0)}));

    const Rgb blue{0, 0, 255}, red{255, 0, 0};
    const int heldY = -(4 * 34 + y0);
    EXPECT_EQ(Boxes(c, blue, heldY), (std::vector<LRect>{{15, heldY - 10, 67, heldY + 10}}));
    EXPECT_TRUE(Boxes(c, red, heldY).empty());
    const int gainY = -(6 * 34 + y0);
    std::vector<int> lefts;
    for (const LRect& r : Boxes(c, red, gainY)) lefts.push_back(r.left);
    EXPECT_EQ(lefts, (std::vector<int>{15, 29, 43}));

    const Op* banner = c.FindText("Line ID=aa");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->points[0], (LPoint{1250, -1160}));
    EXPECT_EQ(banner->font.height, 40);
    EXPECT_EQ(c.FindText("Amp.=")->points[0], (LPoint{10, -1160}));
    EXPECT_EQ(s.panes.texts[1], "Next ID=1(-0.5m)");
}

TEST(AcquisitionScreen, KeyBarsByShiftAndInstrument)
{
    const std::string barA = "F1:Noise F2:Settings F3:Arm F4:Disk F5:Disp. Alt:Menu Enter:Proc.";
    const std::string barB = "F1:Acquisition menu F2:Geometry F3:Undo F4:Exit F5:Exit Windows";
    const struct {
        int language, instrument, shift;
        std::string bar;
    } cases[] = {
        {kLanguageEnglish, 1, 0, barA},
        {kLanguageEnglish, 1, 1, barB},
        {kLanguageJapanese, 0, 0, "F5:画面 Alt:メニュー Enter:実行"},
    };
    for (const auto& k : cases) {
        Screen s;
        s.ws.startup.language = k.language;
        s.ws.startup.instrumentMenu = k.instrument;
        s.ws.editController.shiftState = k.shift;
        const RecordingCanvas c = s.Paint();
        const Op* bar = c.FindText(k.bar);
        ASSERT_NE(bar, nullptr) << k.bar;
        EXPECT_EQ(bar->points[0], (LPoint{10, -18}));
        EXPECT_EQ(bar->font.face, k.language == kLanguageJapanese ? "IPAGothic" : "Times New Roman");
        // The mode's status text; the line banner while the monitor is stopped.
        EXPECT_EQ(c.FindText("Next ID=1(-0.5m)")->points[0], (LPoint{1400, -8}));
        EXPECT_NE(c.FindText("General data acquisition(0)"), nullptr);
    }
}

// The line banner keeps clear of the other texts of its row: the status text on the record's
// top row, the strip's prompt on the monitor's bottom row; in a narrow window it keeps inside
// it, on a row of its own where the others leave no room.
TEST(AcquisitionScreen, LineBannerClearOfTheTextsOfItsRowAndInsideTheWindow)
{
    const auto span = [](const Op* op) {
        const int width = static_cast<int>(op->text.size()) * op->font.height / 2;  // the recording canvas's extent
        return std::pair{op->points[0].x, op->points[0].x + width};
    };
    const auto apart = [](std::pair<int, int> a, std::pair<int, int> b) { return a.second <= b.first || b.second <= a.first; };
    Screen s;
    CAcquisitionDevice& device = s.ws.acquisitionDevice;
    RecordingCanvas top = s.Paint();
    const Op* status = top.FindText("Next ID=1(-0.5m)");
    ASSERT_NE(status, nullptr);
    for (const char* banner : {"Line ID=aa", "General data acquisition(0)"}) {
        ASSERT_NE(top.FindText(banner), nullptr);
        EXPECT_TRUE(apart(span(top.FindText(banner)), span(status))) << banner;
    }
    const int narrow = span(status).second + 600;
    RecordingCanvas window = s.Paint(narrow);
    const Op* moved = window.FindText("General data acquisition(0)");
    ASSERT_NE(moved, nullptr);
    EXPECT_LE(span(moved).second, narrow);
    EXPECT_LT(moved->points[0].y, -10);
    EXPECT_EQ(window.FindText("Line ID=aa")->points[0].y, moved->points[0].y);

    // Nor on an axis title above the frame (a wide record's, from the middle of the frame).
    WaveformStore& store = s.ws.store;
    store.Params().traceCount = 4;
    for (int i = 0; i < 4; ++i) {
        store.current.headers[static_cast<size_t>(i)].Set(i + 1, 100 * i, 0, 1, 1, 0.0f, 1000.0f, 256);
        for (int j = 0; j < 256; ++j) store.current.rows[i][j] = static_cast<float>((i + j) % 7);
    }
    RecalcRecordExtents(s.ws, 0);
    int clashes = 0;
    for (const float hscale : {2.0f, 4.0f, 8.0f}) {
        store.Params().hscale = hscale;
        for (int right = 1500; right <= 4000; right += 100) {
            RecordingCanvas c = s.Paint(right);
            for (const LRect& t : s.ws.display.layout.topTitles) {
                for (const char* text : {"Line ID=aa", "General data acquisition(0)"}) {
                    const Op* b = c.FindText(text);
                    ASSERT_NE(b, nullptr);
                    const bool rowApart = t.bottom >= b->points[0].y || t.top <= b->points[0].y - b->font.height;
                    clashes += !(rowApart || apart(span(b), {t.left, t.right}));
                }
            }
        }
    }
    EXPECT_EQ(clashes, 0);
    store.Params().traceCount = 0;

    device.monitorRunning = 1;
    device.strip.x0 = s.ws.display.layout.xorg;
    device.strip.prompt = "Ready for trigger:No(Cancel) Yes(Enter)";
    RecordingCanvas bottom = s.Paint();
    DrawMonitorStrip(bottom, s.ws);  // the strip over the kept picture, as the window paints it
    const Op* prompt = bottom.FindText(device.strip.prompt);
    const Op* banner = bottom.FindText("Line ID=aa");
    ASSERT_NE(prompt, nullptr);
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->points[0].y, -1160);
    EXPECT_GE(banner->points[0].x, span(prompt).second);
    RecordingCanvas monitor = s.Paint(span(prompt).second + 300);
    EXPECT_LE(span(monitor.FindText("General data acquisition(0)")).second, span(prompt).second + 300);
}

}  // namespace
}  // namespace velk
