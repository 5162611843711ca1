#include "app/acquisition/acquisition_screen.h"

#include <algorithm>
#include <vector>

#include "app/shell_services.h"
#include "app/view/record_axes.h"
#include "app/view/record_paint.h"
#include "app/workspace.h"
#include "acquisition/acquisition_manager.h"
#include "platform/numtext.h"

namespace velk {

namespace {

constexpr float kMonitorTimeScale = 0.85f;  // units per ms
constexpr float kMonitorRecordMs = 2000.0f;
constexpr int kSpreadIntervals = 23;

std::string LineIdOf(const Workspace& ws)
{
    return ws.acquisitionManager ? ws.acquisitionManager->LineId() : CAcquisitionManager().LineId();
}

// A text already on the banner's row: from `left` to `right`.
struct RowText {
    int left = 0;
    int right = 0;
};

constexpr int kGap = 50;
constexpr int kBannerHeight = 58;  // a row of the banner, the distance between rows

// The banner's left edge: `x`, or past every text of its row it would run into.
int BannerClearOf(int x, int width, std::vector<RowText> texts)
{
    std::sort(texts.begin(), texts.end(), [](const RowText& a, const RowText& b) { return a.left < b.left; });
    for (const RowText& t : texts)
        if (t.right > t.left && x < t.right + kGap && x + width + kGap > t.left) x = t.right + kGap;
    return x;
}

// A row the banner may stand on, with the texts already on it.
struct BannerRow {
    int y = 0;
    std::vector<RowText> texts;
};

// Where the banner stands: at `x` on the first row, clear of its texts, while it ends inside the
// window; else at the window's right edge on the first row where that is clear of the texts
// (the first row when none is).
LPoint PlaceBanner(const RecordPaint& paint, int x, int width, const std::vector<BannerRow>& rows)
{
    const int first = BannerClearOf(x, width, rows.front().texts);
    const int edge = paint.visibleRight - kGap;
    if (paint.visibleRight <= 0 || first + width <= edge) return {first, rows.front().y};
    const int right = std::max(edge - width, 0);
    for (const BannerRow& row : rows)
        if (BannerClearOf(right, width, row.texts) == right) return {right, row.y};
    return {right, rows.front().y};
}

}  // namespace

ModeScreenTexts ModeTexts(const Workspace& ws)
{
    const CAcquisitionMode* mode = ws.acquisitionManager ? ws.acquisitionManager->Mode() : nullptr;
    if (!mode) {
        // Without a mode the screen shows what general acquisition would.
        const CAcquisitionMode general(1);
        ModeScreenTexts t;
        t.name = general.GetName();
        t.status = FormatC("Next ID=%d(%.1fm)", ws.acquisitionDevice.NextID,
                           static_cast<double>(ws.acquisitionDevice.sourcePosition));
        return t;
    }
    return {mode->GetName(), mode->GetStep(), mode->GetStatusText(), mode->GetGuideText(), mode->GetPrompt()};
}

void UpdateAcquisitionPanes(RecordPaint& paint, Workspace& ws)
{
    if (!paint.status || paint.printing) return;
    for (const AcquisitionPane& p : ws.acquisitionDevice.ReadStatusPanes()) {
        paint.status->SetPaneWidth(p.pane, p.width);
        paint.status->SetPaneText(p.pane, p.text);
    }
}

void DrawAcquisitionBars(RecordPaint& paint, Workspace& ws)
{
    const int language = ws.startup.language;
    const CAcquisitionDevice& device = ws.acquisitionDevice;
    const ModeScreenTexts mode = ModeTexts(ws);
    const std::string bar = ws.editController.shiftState == 1
                                ? CAcquisitionDevice::MenuKeyBarText(language)
                                : CAcquisitionDevice::KeyBarText(language, ws.startup.instrumentMenu == 1, mode.prompt);
    CAcquisitionDevice::DrawKeyBar(paint.canvas, bar, language);
    device.UpdateStatusBar(paint.canvas, language, ws.store.Params().vscale, mode.status, mode.guide);
}

void DrawLineBannerOf(RecordPaint& paint, Workspace& ws)
{
    const ModeScreenTexts mode = ModeTexts(ws);
    const int language = ws.startup.language;
    const std::string lineId = LineIdOf(ws);
    Canvas& c = paint.canvas;
    // The mode's status text shares the top row (from 1400), its guide the next (from 1700): the
    // banner keeps clear of them and inside the window.
    const int width = CAcquisitionDevice::LineBannerWidth(c, lineId, mode.name, mode.step, language);
    const int status = CAcquisitionDevice::ScreenTextWidth(c, mode.status, 45, language);
    const int guide = CAcquisitionDevice::ScreenTextWidth(c, mode.guide, 45, language);
    std::vector<BannerRow> rows = {{-10, {{1400, 1400 + status}}}, {-68, {{1700, 1700 + guide}}}, {-126, {}}};
    // The axis titles above the frame (a SPAC image's may reach these rows) are texts of the
    // rows they share.
    for (BannerRow& row : rows) {
        for (const LRect& t : ws.display.layout.topTitles)
            if (t.bottom < row.y && t.top > row.y - kBannerHeight) row.texts.push_back({t.left, t.right});
    }
    const LPoint at = PlaceBanner(paint, std::max(ws.display.layout.rightExtent - 700, 1250), width, rows);
    CAcquisitionDevice::DrawLineBanner(c, at.x, at.y, lineId, mode.name, mode.step, language);
}

void DrawMonitorPanel(RecordPaint& paint, Workspace& ws)
{
    CAcquisitionDevice& device = ws.acquisitionDevice;
    CParameterSet& p = ws.store.Params();
    RecordLayout& l = ws.display.layout;
    ViewSettings& s = ws.settings;
    const int language = ws.startup.language;
    const int x0 = l.xorg;
    const int y0 = l.yorg;

    // The frame on the monitor's scales; the view keeps its own.
    {
        const float hscale = p.hscale, plotscale = p.plotscale, shownTime = p.shownTime;
        const float timeAxisStart = p.timeAxisStart;
        const RecordLayout keptLayout = l;
        const AxisState keptAxes = ws.display.axes;
        const float xst = s.xst, xe = s.xe, xi = s.xi, yi = s.yi;
        const float interval = ws.geometry.receiverInterval > 0.0f ? ws.geometry.receiverInterval : 1.0f;
        p.hscale = kMonitorTimeScale;
        p.plotscale = device.rowHeight / interval;
        p.shownTime = kMonitorRecordMs;
        p.timeAxisStart = 0.0f;
        l.distanceMinimum = device.firstReceiverPosition;
        l.distanceMaximum = device.firstReceiverPosition + kSpreadIntervals * interval;
        AxisChoiceInput in = AxisInputFrom(ws);
        in.keepAxes = false;
        in.axesFixed = false;
        in.image = false;  // the monitor's frame, whatever the store holds
        const AxisChoice axes = ChooseAxisTickSteps(in);
        StoreAxisChoice(ws, axes);
        DrawAxesHorizontal(paint, ws, x0, y0, axes.distanceOrigin, axes.distanceTickCount, axes.distanceEnd);
        p.hscale = hscale;
        p.plotscale = plotscale;
        p.shownTime = shownTime;
        p.timeAxisStart = timeAxisStart;
        l = keptLayout;
        ws.display.axes = keptAxes;
        s.xst = xst;
        s.xe = xe;
        s.xi = xi;
        s.yi = yi;
    }
    device.DrawChannelLabels(paint.canvas, x0, y0, language);
    const ModeScreenTexts mode = ModeTexts(ws);
    {
        // The amplitude, the strip's banner and its prompt share the bottom row: the line banner
        // keeps clear of them.
        Canvas& c = paint.canvas;
        const std::string lineId = LineIdOf(ws);
        const MonitorStrip& strip = device.strip;
        const int width = CAcquisitionDevice::LineBannerWidth(c, lineId, mode.name, mode.step, language);
        const std::string amplitude = CAcquisitionDevice::AmplitudeText(p.vscale);
        const std::vector<RowText> bottom = {
            {10, 10 + CAcquisitionDevice::ScreenTextWidth(c, amplitude, 35, language)},
            {x0, x0 + CAcquisitionDevice::ScreenTextWidth(c, strip.banner, 35, language)},
            {x0 + 500, x0 + 500 + CAcquisitionDevice::ScreenTextWidth(c, strip.prompt, 35, language)}};
        const LPoint at = PlaceBanner(paint, 1250, width, {{-1160, bottom}, {-1218, {}}});
        CAcquisitionDevice::DrawLineBanner(c, at.x, at.y, lineId, mode.name, mode.step, language);
    }
    UpdateAcquisitionPanes(paint, ws);
    CAcquisitionDevice::DrawKeyBar(paint.canvas,
                                   CAcquisitionDevice::KeyBarText(language, ws.startup.instrumentMenu == 1, mode.prompt),
                                   language);
    device.DrawGainHold(paint.canvas, y0);
}

LPoint ProgressTextPlace(const Workspace& ws, LPoint at)
{
    constexpr int kKeyBarTop = -18, kKeyBarBottom = -60, kKeyBarRight = 1400;
    if (ws.startup.acquisitionMode == 0 || at.x >= kKeyBarRight || at.y <= kKeyBarBottom) return at;
    return LPoint{at.x, at.y - (kKeyBarTop - kKeyBarBottom)};
}

void DrawMonitorStrip(Canvas& canvas, const Workspace& ws)
{
    const CAcquisitionDevice& device = ws.acquisitionDevice;
    if (device.monitorRunning != 1 || ws.store.TraceCount() > 0) return;
    device.DrawMonitorStrip(canvas, ws.startup.language);
}

}  // namespace velk
