#include "app/acquisition/acquisition_screen.h"

#include <algorithm>

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
    CAcquisitionDevice::DrawLineBanner(paint.canvas, std::max(ws.display.layout.rightExtent - 700, 1250), -10,
                                       LineIdOf(ws), mode.name, mode.step, ws.startup.language);
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
    CAcquisitionDevice::DrawLineBanner(paint.canvas, 1250, -1160, LineIdOf(ws), mode.name, mode.step, language);
    UpdateAcquisitionPanes(paint, ws);
    CAcquisitionDevice::DrawKeyBar(paint.canvas,
                                   CAcquisitionDevice::KeyBarText(language, ws.startup.instrumentMenu == 1, mode.prompt),
                                   language);
    device.DrawGainHold(paint.canvas, y0);
}

void DrawMonitorStrip(Canvas& canvas, const Workspace& ws)
{
    const CAcquisitionDevice& device = ws.acquisitionDevice;
    if (device.monitorRunning != 1 || ws.store.TraceCount() > 0) return;
    device.DrawMonitorStrip(canvas, ws.startup.language);
}

}  // namespace velk
