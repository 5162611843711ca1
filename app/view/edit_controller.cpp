#include "app/view/edit_controller.h"

#include <utility>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/acquisition/acquisition_commands.h"
#include "app/acquisition/acquisition_menu_commands.h"
#include "app/acquisition/disk_commands.h"
#include "app/acquisition/record_saving.h"
#include "app/dsp/data_kind.h"
#include "draw/coordinates.h"
#include "draw/fonts.h"
#include "app/dsp/filter_test.h"
#include "app/operations.h"
#include "app/view/plot_mapping.h"
#include "app/view/record_axes.h"
#include "app/view/record_extents.h"
#include "app/store_commands.h"
#include "app/dsp/time_shift.h"
#include "app/dsp/trace_edit_commands.h"
#include "app/view/view_commands.h"
#include "app/workspace.h"
#include "platform/file_ops.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "app/survey/automatic_processing.h"

namespace velk {

namespace {

struct Frame {
    int a0 = 0;  // A: origin along time
    int b0 = 0;  // B: origin along distance
    bool vertical = false;
};

Frame FrameOf(const Workspace& ws)
{
    const bool vertical = ws.settings.plotDirection == 1;
    return vertical ? Frame{ws.settings.yOrg0, ws.settings.xOrg0, true}
                    : Frame{ws.settings.xOrg0, ws.settings.yOrg0, false};
}

float ReceiverMetres(const Workspace& ws, int trace)
{
    return static_cast<float>(ws.store.current.headers[static_cast<size_t>(trace)].receiverHundredths * 0.01);
}

// The sample interval (ms) the read-outs index with: the record's, else the trace's own.
float IntervalOf(const Workspace& ws, int trace)
{
    const float interval = ws.store.Params().sampleInterval;
    if (interval > 0.0f && std::isfinite(interval)) return interval;
    const float own = ws.store.current.headers[static_cast<size_t>(trace)].intervalUs * 0.001f;
    return own > 0.0f && std::isfinite(own) ? own : 0.0f;
}

// trunc(time / interval), or -1 when it does not name a sample of the trace.
int SampleIndex(const Workspace& ws, int trace, float time)
{
    const float interval = IntervalOf(ws, trace);
    if (interval <= 0.0f) return -1;
    const double k = std::trunc(static_cast<double>(time) / interval);
    const int n = ws.store.TraceSamples(trace);
    if (!(k >= 0.0) || k >= n) return -1;
    return static_cast<int>(k);
}

OverlayFigure TextFigure(const Workspace& ws, const std::string& text, LPoint at)
{
    OverlayFigure f;
    f.kind = OverlayFigure::Kind::Text;
    f.transient = true;
    f.points = {at};
    f.text = text;
    f.font = SelectAxisFont(ws);
    f.opaque = true;
    return f;
}

OverlayFigure LineFigure(LPoint from, LPoint to, bool transient)
{
    OverlayFigure f;
    f.kind = OverlayFigure::Kind::Line;
    f.transient = transient;
    f.points = {from, to};
    f.pen = Pen{PenStyle::Solid, 1, EditController::kRubberColour};
    return f;
}

bool FiniteAndPositive(double v) { return std::isfinite(v) && v > 0.0; }

// The workspace's own instrument, acquisition manager and automatic processing.
class WorkspaceAcquisition : public AcquisitionKeyTarget {
public:
    explicit WorkspaceAcquisition(Workspace& ws) : ws_(ws) {}
    void ManualTrigger() override { effects_.Merge(OnManualTrigger(ws_, ws_.ui())); }
    void StepMode() override
    {
        if (ws_.acquisitionManager) ws_.acquisitionManager->StepMode();
    }
    void OnNoiseMonitorStart() override { effects_.Merge(velk::OnNoiseMonitorStart(ws_, ws_.ui())); }
    void OnTriggerArm() override { effects_.Merge(velk::OnTriggerArm(ws_, ws_.ui())); }
    void OnAcquisitionMenu() override { effects_.Merge(velk::OnAcquisitionMenu(ws_, ws_.ui())); }
    int EditModeGeometry() override { return ws_.acquisitionManager ? ws_.acquisitionManager->EditModeGeometry() : 0; }
    int EditSettings() override
    {
        CAcquisitionDevice::SettingsEdit edit{ws_.ui(), ws_.profile(), ws_.acquisitionManager.get(),
                                              ws_.geometry.receiverInterval, ws_.startup.language};
        return ws_.acquisitionDevice.EditSettings(edit);
    }
    int DiskMenu() override
    {
        PosixFileOps files;
        std::string saved;
        const int closedOk = RunDiskMenu(ws_, ws_.ui(), files, saved);
        if (!saved.empty()) effects_.recentFile = saved;
        return closedOk;
    }
    int EditDisplay() override
    {
        return ws_.acquisitionDevice.EditDisplay(ws_.ui(), ws_.startup.language, ws_.store.Params().normalisation,
                                                 ws_.settings.shading);
    }
    void Disarm() override { ws_.acquisitionDevice.Disarm(); }
    // The common stop without its question (the controller asks it once the window shows
    // the stack).
    void RequestStop() override { effects_.Merge(StopAcquisition(ws_, ws_.ui(), false)); }
    void AutomaticProcessingStop() override
    {
        // The timer itself stops through the effects (stopTimer).
        const bool running = ws_.display.automaticProcessing == 1;
        OnAutomaticProcessingStop(ws_, nullptr, nullptr);
        if (running) effects_.icon = kMainFrameIcon;
    }
    // The paint draws bar A or B from the Shift state; the key's repaint shows it.
    void DrawKeyBar() override {}
    void DrawMenuKeyBar() override {}
    bool StackedRecordsWaiting() override
    {
        return ws_.acquisitionDevice.stackCount > 0 && ws_.acquisitionDevice.parm.stk_flg != 1;
    }
    void CopyStackIntoStore() override { velk::CopyStackIntoStore(ws_); }
    void MakeTraceHeaders() override { MakeAcquiredTraceHeaders(ws_); }
    void ComputeDisplayScale() override { ComputeAcquiredDisplayScale(ws_); }
    int SaveRecord(std::string& savedPath) override { return SaveAcquiredRecord(ws_, ws_.ui(), savedPath); }
    void ClearStackCount() override { ws_.acquisitionDevice.ResetStack(); }
    AcquisitionEffects TakeEffects() override { return std::exchange(effects_, {}); }

private:
    Workspace& ws_;
    AcquisitionEffects effects_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Conversions

CursorData CursorToData(const Workspace& ws, LPoint point)
{
    const Frame f = FrameOf(ws);
    const CParameterSet& p = ws.store.Params();
    CursorData c;
    c.a = f.vertical ? -point.y : point.x;
    c.b = f.vertical ? point.x : -point.y;
    c.tr = static_cast<float>((c.a - f.a0) / static_cast<double>(p.hscale) + p.windowStartTime);
    c.t = ws.store.dataKind() == kTimeDomain ? c.tr + ws.display.layout.timeOffset : c.tr;
    c.d = static_cast<float>((c.b - f.b0) / static_cast<double>(p.plotscale) + ws.display.layout.distanceOrigin);
    return c;
}

LPoint DataToCursor(const Workspace& ws, float rawTime, float distance)
{
    return PlotMapping::ForRecord(ws, ws.settings.xOrg0, ws.settings.yOrg0).Point(rawTime, distance);
}

int TraceAlongDistance(const Workspace& ws, int trace)
{
    return PlotMapping::ForRecord(ws, ws.settings.xOrg0, ws.settings.yOrg0).AlongDistance(ReceiverMetres(ws, trace));
}

int HitTrace(const Workspace& ws, int b, bool componentFilter)
{
    const int n = ws.store.TraceCount();
    for (int i = 0; i < n; ++i) {
        if (componentFilter && ws.componentToEdit != -1 &&
            ws.store.current.headers[static_cast<size_t>(i)].component != ws.componentToEdit) {
            continue;
        }
        if (std::abs(static_cast<int64_t>(TraceAlongDistance(ws, i)) - b) < EditController::kHitDistance) return i;
    }
    return -1;
}

int NearestTrace(const Workspace& ws, int b)
{
    int best = -1;
    int64_t bestDistance = 0;
    for (int i = 0; i < ws.store.TraceCount(); ++i) {
        const int64_t dist = std::abs(static_cast<int64_t>(TraceAlongDistance(ws, i)) - b);
        if (best < 0 || dist <= bestDistance) {
            best = i;
            bestDistance = dist;
        }
    }
    return best;
}

void EditEffects::Merge(const EditEffects& other)
{
    Repaint(other.repaint);
    panes.insert(panes.end(), other.panes.begin(), other.panes.end());
    if (other.followUp != FollowUp::None) followUp = other.followUp;
    stopTimer = stopTimer || other.stopTimer;
    close = close || other.close;
    shutdown = shutdown || other.shutdown;
    acquisitionMenu = acquisitionMenu || other.acquisitionMenu;
    skip = skip && other.skip;
    if (!other.recentFile.empty()) recentFile = other.recentFile;
    acquisition.Merge(other.acquisition);
}

void RecomputeTheoreticalCurves(Workspace& ws)
{
    CTheoreticalTraveltime& m = ws.theoretical;
    const int n = ws.store.TraceCount();
    for (int j = 0; j < n; ++j) {
        const CTraceHeader& h = ws.store.current.headers[static_cast<size_t>(j)];
        const CTheoreticalTraveltime::Times times = m.ComputeTheoreticalTimes(
            static_cast<float>(h.receiverHundredths * 0.01), static_cast<float>(h.sourceHundredths * 0.01));
        const float values[CTheoreticalTraveltime::kCurves] = {times.direct, times.head, times.reflection};
        for (int c = 0; c < CTheoreticalTraveltime::kCurves; ++c) {
            std::vector<float>& curve = m.curves[static_cast<size_t>(c)];
            if (static_cast<size_t>(j) < curve.size()) curve[static_cast<size_t>(j)] = values[c];
        }
    }
}

void ShowTheoreticalTraveltimeTexts(Workspace& ws, const std::string& status)
{
    const std::string hint = Msg(ws.startup.language, "Use a mouse to modify traveltime curve",
                                 "マウスで走時曲線を変更してください");
    ws.display.overlay.Replace(EditController::kTextOwner,
                               {TextFigure(ws, status, LPoint{10, -18}), TextFigure(ws, hint, LPoint{10, -68})});
}

// ---------------------------------------------------------------------------------------------

AcquisitionKeyTarget& EditController::Acquisition(Workspace& ws)
{
    if (acquisition_) return *acquisition_;
    if (!own_) own_ = std::make_unique<WorkspaceAcquisition>(ws);
    return *own_;
}

bool EditController::Dragging(const Workspace& ws) const
{
    switch (ws.display.editMode) {
    case 1: return dragFlag == 1;
    case 4: return velocityLineState == 1;
    case 5: return selection.active == 1;
    case 7: return ws.theoretical.modifiedParameter >= 0;
    case 8: return ws.filterTest.grabbedCut >= 0;
    case 9: return ws.display.mute.state == 1 || ws.display.mute.state == 3;
    default: return false;
    }
}

void EditController::EnterVelocityMode(Workspace& ws)
{
    velocityLineState = 0;
    rubberDrawn = 0;
    ws.display.editMode = 4;
    ClearDragFigures(ws);
}

void EditController::ClearDragFigures(Workspace& ws)
{
    for (int owner : {kRubberOwner, kLineOwner, kTextOwner, kVelocityOwner}) ws.display.overlay.RemoveOwner(owner);
    rubberDrawn = 0;
}

void EditController::ShowRubber(Workspace& ws, LPoint from, LPoint to)
{
    std::vector<OverlayFigure> figures;
    figures.push_back(LineFigure(from, to, false));
    ws.display.overlay.Replace(kRubberOwner, std::move(figures));
    rubberLine[0] = from;
    rubberLine[1] = to;
    rubberDrawn = 1;
}

// ---------------------------------------------------------------------------------------------
// Left button

EditEffects EditController::OnLButtonDown(Workspace& ws, UiHost& ui, LPoint point)
{
    (void)ui;
    EditEffects e;
    moved = 0;
    DisplayState& d = ws.display;
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const CursorData c = CursorToData(ws, point);
    const bool traces = store.TraceCount() > 0;
    switch (d.editMode) {
    case 1:
        if (continuousPicking == 1) {
            dragFlag = 1;
            pickStartTime = c.t;
            pickStartDistance = c.d;
            pickStartPoint = point;
            rubberDrawn = 0;
            ws.display.overlay.RemoveOwner(kRubberOwner);
        } else if (traces) {
            const int i = HitTrace(ws, c.b, false);
            if (i >= 0) {
                p.pickTimes[static_cast<size_t>(i)] = c.t;
                p.layerCodes[static_cast<size_t>(i)] = d.currentLayerCode;
                e.Repaint(RepaintKind::Record);
            }
        }
        break;
    case 2:
        if (!traces) break;
        // A record with a bad interval is refused with its message and stays as it is, delays
        // included; the mode stays on for another click after a fix.
        if (!CheckTraceIntervals(ws, ui) || !CheckRecordFitsMaxSample(ws, ui, ShiftedTraceLength(ws, c.tr)) ||
            ShiftTraces(ws, c.tr, 1) == 0)
            break;
        for (int i = 0; i < store.TraceCount(); ++i) store.current.headers[static_cast<size_t>(i)].delayUs = 0.0f;
        d.displayTimeOffset = 0.0f;
        d.layout.timeOffset = 0.0f;
        ws.settings.triggerPlot = 1;
        d.modified = 1;
        d.editMode = 0;
        e.Repaint(RepaintKind::Record);
        break;
    case 3: {
        if (!traces) break;
        const int i = HitTrace(ws, c.b, false);
        if (i < 0) break;
        // The sample under the cursor: indexed by the raw time, which counts from the first
        // sample whatever the trigger delay.
        const int k = SampleIndex(ws, i, c.tr);
        if (k < 0) break;
        const size_t capacity = static_cast<size_t>(store.MaxTraces());
        if (d.amplitudePickTimes.size() < capacity) d.amplitudePickTimes.resize(capacity, 0.0f);
        p.pickTimes[static_cast<size_t>(i)] = std::fabs(store.current.rows.Row(i)[static_cast<size_t>(k)]);
        p.layerCodes[static_cast<size_t>(i)] = d.currentLayerCode;
        d.amplitudePickTimes[static_cast<size_t>(i)] = c.tr;
        e.Repaint(RepaintKind::Record);
        break;
    }
    case 4:
        velocityLine.startTime = c.tr;
        velocityLine.startDistance = c.d;
        velocityLineState = 1;
        ClearDragFigures(ws);
        e.Repaint(RepaintKind::Overlay);
        break;
    case 5: {
        selection.startDistance = c.d;
        selection.active = 1;
        const int i = HitTrace(ws, c.b, true);
        if (i >= 0) selection.startIndex = i;
        break;
    }
    case 7: {
        CTheoreticalTraveltime& m = ws.theoretical;
        const Frame f = FrameOf(ws);
        const int count = std::min(m.curveCount, CTheoreticalTraveltime::kCurves);
        for (int curve = 0; curve < count; ++curve) {
            if (m.mode == 1 && curve > 1) break;
            const std::vector<float>& times = m.curves[static_cast<size_t>(curve)];
            const int n = std::min(store.TraceCount(), static_cast<int>(times.size()));
            bool grabbed = false;
            for (int j = 0; j < n && !grabbed; ++j) {
                const int32_t na = SaturatingAdd(
                    f.a0, SaturatingTrunc((static_cast<double>(times[static_cast<size_t>(j)]) - p.windowStartTime) *
                                          p.hscale));
                const int32_t nb = TraceAlongDistance(ws, j);
                grabbed = std::abs(static_cast<int64_t>(na) - c.a) <= kGrabDistance &&
                          std::abs(static_cast<int64_t>(nb) - c.b) <= kGrabDistance;
            }
            if (grabbed) {
                m.modifiedParameter = curve;
                const int language = ws.startup.language;
                ShowTheoreticalTraveltimeTexts(ws, m.FormatTheoreticalTraveltimeStatus(language) +
                                                       m.FormatModifyLabel(language));
                e.Repaint(RepaintKind::Overlay);
                break;
            }
        }
        break;
    }
    case 8: {
        const FilterTestGeometry g{ws.settings.xOrg0, ws.settings.yOrg0, d.layout.distanceOrigin, d.layout.meanSpacing};
        if (GrabCut(ws, ws.filterTest, c.a, c.b, g)) e.Repaint(RepaintKind::Record);
        break;
    }
    case 9: {
        MuteLines& mute = d.mute;
        if (mute.state == 0 || mute.state == 2) {
            mute.startTime = c.tr;
            mute.startDistance = c.d;
            mute.state += 1;
            ws.display.overlay.Replace(
                kTextOwner, {TextFigure(ws, Msg(ws.startup.language, "（drag a mouth to end）", "（ドラッグして終点へ）"),
                                        LPoint{500, -18})});
            e.Repaint(RepaintKind::Overlay);
        } else if (mute.state == 4) {
            mute.state = 0;
            e.Repaint(RepaintKind::Record);
        }
        break;
    }
    default:
        break;
    }
    d.drawing.mutePointState = d.mute.state;
    if (e.repaint == RepaintKind::Record) ws.display.overlay.ClearTransient();
    return e;
}

// ---------------------------------------------------------------------------------------------
// Moves

EditEffects EditController::ReadOuts(const Workspace& ws, const CursorData& c) const
{
    EditEffects e;
    const WaveformStore& store = ws.store;
    const int recordKind = store.Params().recordKind;
    const int dataKind = store.dataKind();
    if (dataKind == kTimeDomain) {
        e.panes.push_back({2, 80, FormatC("time=%4.1fmsec", static_cast<double>(c.t))});
    } else if (dataKind == kRealSpectrum) {
        e.panes.push_back({2, 80, recordKind == 1 ? FormatC("c=%4.1fm/s", static_cast<double>(c.t))
                                                  : FormatC("freq.=%4.1fHz", static_cast<double>(c.t))});
    }
    if (recordKind == 1) {
        e.panes.push_back({3, 70, FormatC("freq.=%4.2fHz", static_cast<double>(c.d))});
    } else if (ws.settings.unitText == "m") {
        e.panes.push_back({3, 70, FormatC("dist.=%4.2fm", static_cast<double>(c.d))});
    } else {
        e.panes.push_back({3, 70, FormatC("dist.=%4.3fft", static_cast<double>(c.d))});
    }
    if (ws.display.editMode != 4) {
        const int i = NearestTrace(ws, c.b);
        const int n = store.TraceSamples(i);
        if (i >= 0 && n > 0) {
            // The sample shown under the cursor: the raw time counts from the trace's first
            // sample, whichever sample the window starts at.
            const float interval = IntervalOf(ws, i);
            double k = interval > 0.0f ? std::trunc(static_cast<double>(c.tr) / interval) : 0.0;
            if (!(k >= 0.0)) k = 0.0;
            if (k > n - 1) k = n - 1;
            const float value = store.current.rows.Row(i)[static_cast<size_t>(k)];
            e.panes.push_back({4, 100, FormatC("%d:amp.=%4.5f", i, static_cast<double>(value))});
        }
    }
    return e;
}

void EditController::MoveCurve(Workspace& ws, const CursorData& c)
{
    CTheoreticalTraveltime& m = ws.theoretical;
    const double x = std::fabs(ws.store.current.headers[0].sourceHundredths * 0.01 - c.d);
    const double t = c.t;
    if (x < 0.01 && t < 0.01) return;
    const double v1 = m.v1, v2 = m.v2, depth = m.depth;
    // An update that is not a finite positive value (V1 not below V2, a zero denominator, a
    // point inside the direct arrival) keeps the old value.
    auto accept = [](float& value, double candidate) {
        if (FiniteAndPositive(candidate)) value = static_cast<float>(candidate);
    };
    const double root = std::sqrt(1.0 - (v1 / v2) * (v1 / v2));
    if (m.mode == 1) {
        if (m.modifiedParameter == 0) accept(m.v1, x / t);
        if (m.modifiedParameter == 1) accept(m.depth, (t - x / v2) * v1 / (2.0 * root));
    } else {
        if (m.modifiedParameter == 0) accept(m.v1, x / t);
        if (m.modifiedParameter == 1) {
            const double candidate = x / (t - 2.0 * depth * root / v1);
            if (FiniteAndPositive(candidate)) m.v2 = static_cast<float>(std::max(candidate, v1 + 0.05));
        }
        if (m.modifiedParameter == 2) accept(m.depth, 0.5 * std::sqrt(v1 * v1 * t * t - x * x));
    }
    RecomputeTheoreticalCurves(ws);
}

EditEffects EditController::OnMouseMove(Workspace& ws, UiHost& ui, LPoint point)
{
    (void)ui;
    EditEffects e;
    moved = 1;
    DisplayState& d = ws.display;
    const CursorData c = CursorToData(ws, point);
    if (ws.startup.instrumentMenu == 0 && showMouseLocation == 1 && ws.store.TraceCount() > 0) e.Merge(ReadOuts(ws, c));

    switch (d.editMode) {
    case 1:
        if (dragFlag == 1) {
            ShowRubber(ws, pickStartPoint, point);
            e.Repaint(RepaintKind::Overlay);
        }
        break;
    case 4:
        if (velocityLineState == 1) {
            const float dt = c.tr - velocityLine.startTime;
            std::vector<OverlayFigure> texts;
            if (dt != 0.0f) {
                const double v = std::fabs((c.d - velocityLine.startDistance) / static_cast<double>(dt)) * 1000.0;
                const std::string text = ws.settings.unitText == "m" ? FormatC("velocity=%4.1fm/sec ", v)
                                                                     : FormatC("velocity=%4.1fft/sec ", v);
                texts.push_back(TextFigure(ws, text, LPoint{650, -68}));
                e.panes.push_back({4, 100, text});
            }
            d.overlay.Replace(kVelocityOwner, std::move(texts));
            ShowRubber(ws, DataToCursor(ws, velocityLine.startTime, velocityLine.startDistance), point);
            e.Repaint(RepaintKind::Overlay);
        }
        break;
    case 7:
        if (ws.theoretical.modifiedParameter >= 0) {
            MoveCurve(ws, c);
            const CTheoreticalTraveltime& m = ws.theoretical;
            const int language = ws.startup.language;
            d.overlay.ClearTransient();
            ShowTheoreticalTraveltimeTexts(ws, m.FormatModifyLabel(language) + " " +
                                                   m.FormatTheoreticalTraveltimeStatus(language));
            e.Repaint(RepaintKind::Record);
        }
        break;
    case 8:
        if (ws.filterTest.grabbedCut >= 0) {
            const FilterTestGeometry g{ws.settings.xOrg0, ws.settings.yOrg0, d.layout.distanceOrigin,
                                       d.layout.meanSpacing};
            if (MoveCut(ws, ws.filterTest, c.a, g)) e.Repaint(RepaintKind::Record);
        }
        break;
    default:
        break;
    }
    return e;
}

// ---------------------------------------------------------------------------------------------

EditEffects EditController::OnLButtonUp(Workspace& ws, UiHost& ui, LPoint point)
{
    (void)ui;
    EditEffects e;
    DisplayState& d = ws.display;
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const CursorData c = CursorToData(ws, point);
    switch (d.editMode) {
    case 1: {
        const bool wasDragging = dragFlag == 1;
        dragFlag = 0;
        d.overlay.RemoveOwner(kRubberOwner);
        rubberDrawn = 0;
        if (!wasDragging || continuousPicking != 1) break;
        const Frame f = FrameOf(ws);
        const int b0 = f.vertical ? pickStartPoint.x : -pickStartPoint.y;
        const int low = std::min(b0, c.b), high = std::max(b0, c.b);
        bool picked = false;
        for (int i = 0; i < store.TraceCount(); ++i) {
            const int pi = TraceAlongDistance(ws, i);
            const bool reach = std::abs(static_cast<int64_t>(pi) - b0) < kHitDistance ||
                               std::abs(static_cast<int64_t>(pi) - c.b) < kHitDistance || (pi > low && pi < high);
            if (!reach) continue;
            float time = c.t;
            if (c.d != pickStartDistance) {
                time = static_cast<float>(pickStartTime + (static_cast<double>(c.t) - pickStartTime) *
                                                              (ReceiverMetres(ws, i) - pickStartDistance) /
                                                              (static_cast<double>(c.d) - pickStartDistance));
            }
            p.pickTimes[static_cast<size_t>(i)] = time;
            p.layerCodes[static_cast<size_t>(i)] = d.currentLayerCode;
            picked = true;
            if (moved == 0) break;
        }
        moved = 1;
        e.Repaint(picked ? RepaintKind::Record : RepaintKind::Overlay);
        break;
    }
    case 4:
        if (velocityLineState == 1) {
            velocityLineState = 0;
            velocityLine.endTime = c.tr;
            velocityLine.endDistance = c.d;
            d.overlay.RemoveOwner(kRubberOwner);
            d.overlay.RemoveOwner(kVelocityOwner);
            rubberDrawn = 0;
            std::vector<OverlayFigure> figures;
            figures.push_back(LineFigure(DataToCursor(ws, velocityLine.startTime, velocityLine.startDistance),
                                         point, true));
            if (velocityLine.endTime != velocityLine.startTime) {
                const int language = ws.startup.language;
                figures.push_back(TextFigure(
                    ws, Msg(language, "Push right button of mouse to complete", "マウスの右ボタンで確定"),
                    LPoint{10, -68}));
                figures.push_back(TextFigure(
                    ws, Msg(language, "(Pont left end to re-start)", "(左端を指定してやり直し)"), LPoint{10, -118}));
            }
            d.overlay.Replace(kLineOwner, std::move(figures));
            e.Repaint(RepaintKind::Overlay);
        }
        break;
    case 5:
        if (selection.active == 1) {
            const int i = HitTrace(ws, c.b, true);
            if (i >= 0) selection.endIndex = i;
            selection.endDistance = c.d;
            selection.active = 0;
            int first = selection.startIndex, last = selection.endIndex;
            if (first > last) std::swap(first, last);
            float near = selection.startDistance, far = selection.endDistance;
            if (near > far) std::swap(near, far);
            for (int j = 0; j < store.TraceCount(); ++j) {
                if (ws.componentToEdit != -1 &&
                    store.current.headers[static_cast<size_t>(j)].component != ws.componentToEdit) {
                    continue;
                }
                const float r = ReceiverMetres(ws, j);
                const bool byIndex = first >= 0 && last >= 0 && j >= first && j <= last;
                if (byIndex || (r >= near && r <= far)) {
                    int32_t& flag = p.selectionFlags[static_cast<size_t>(j)];
                    flag = flag == 1 ? 0 : 1;
                }
            }
            selection.startIndex = selection.endIndex = -1;
            e.Repaint(RepaintKind::Record);
        }
        break;
    case 7:
        ws.theoretical.modifiedParameter = -1;
        ShowTheoreticalTraveltimeTexts(ws, ws.theoretical.FormatTheoreticalTraveltimeStatus(ws.startup.language));
        e.Repaint(RepaintKind::Overlay);
        break;
    case 8:
        if (ws.filterTest.grabbedCut >= 0) {
            ReleaseCut(ws.filterTest);
            e.Repaint(RepaintKind::Record);
        }
        break;
    case 9: {
        MuteLines& mute = d.mute;
        if (mute.state != 1 && mute.state != 3) break;
        const float slope = mute.startTime == c.tr
                                ? 100000.0f
                                : (mute.startDistance - c.d) / (mute.startTime - c.tr);
        d.overlay.RemoveOwner(kTextOwner);
        if (mute.state == 1) {
            if (slope == 0.0f) {
                mute.state = 0;
            } else {
                mute.slope1 = slope;
                mute.intercept1 = c.tr - c.d / slope;
                mute.state = 2;
            }
            e.Repaint(RepaintKind::Record);
        } else if (slope == 0.0f) {
            mute.state = 2;
            e.Repaint(RepaintKind::Overlay);
        } else {
            mute.slope2 = slope;
            mute.intercept2 = c.tr - c.d / slope;
            mute.state = 4;
            e.Repaint(RepaintKind::Record);
            e.followUp = EditEffects::FollowUp::MuteQuestion;
        }
        break;
    }
    default:
        break;
    }
    d.drawing.mutePointState = d.mute.state;
    if (e.repaint == RepaintKind::Record && d.editMode != 7) d.overlay.ClearTransient();
    return e;
}

EditEffects EditController::RunFollowUp(Workspace& ws, UiHost& ui, EditEffects::FollowUp followUp)
{
    EditEffects e;
    const int language = ws.startup.language;
    if (followUp == EditEffects::FollowUp::MuteQuestion) {
        MuteLines& mute = ws.display.mute;
        const MsgResult answer = ui.Message(Msg(language, "Are you sure to mute the data ?", "データをミュートしますか ?"),
                                            MsgButtons::OkCancel, MsgIcon::Question);
        if (answer == MsgResult::Ok) {
            if (TaperAllTraces(ws, ui, mute.intercept1, mute.intercept2, mute.slope1, mute.slope2) == 1) {
                ws.display.editMode = 0;
                ws.display.drawing.mutePointState = 0;  // the next mute starts at its left side
                e.Repaint(RepaintKind::Record);
            }
        } else {
            mute.state = 0;
            ws.display.drawing.mutePointState = 0;
            e.Repaint(RepaintKind::Record);
        }
    } else if (followUp == EditEffects::FollowUp::SaveQuestion) {
        AcquisitionKeyTarget& acquisition = Acquisition(ws);
        // As every question about the stack in hand: a close while it is open saves the stack.
        if (AskRecordQuestion(ws, ui, "Save to HDD?", "ハードディスクに保存しますか?") != RecordAnswer::No) {
            std::string saved;
            if (acquisition.SaveRecord(saved) == 1) {
                acquisition.ClearStackCount();
                e.recentFile = saved;
            }
        }
        e.acquisition.Merge(acquisition.TakeEffects());
        acquisition.ComputeDisplayScale();
        e.Repaint(RepaintKind::Record);
    }
    if (e.repaint == RepaintKind::Record) ws.display.overlay.ClearTransient();
    return e;
}

// ---------------------------------------------------------------------------------------------

EditEffects EditController::OnRButtonDown(Workspace& ws, LPoint point)
{
    (void)point;
    EditEffects e;
    if (ws.display.editMode == 4) {
        // Beyond the capacity the line is not kept.
        ws.display.velocityLines.Append(velocityLine, ws.store.MaxTraces());
        rubberDrawn = 0;
    }
    ws.display.overlay.ClearTransient();
    e.Repaint(RepaintKind::Record);
    return e;
}

EditEffects EditController::OnCaptureLost(Workspace& ws)
{
    EditEffects e;
    if (!Dragging(ws)) return e;
    dragFlag = 0;
    velocityLineState = 0;
    selection.active = 0;
    selection.startIndex = selection.endIndex = -1;
    if (ws.display.editMode == 7) ws.theoretical.modifiedParameter = -1;
    if (ws.display.editMode == 8) ReleaseCut(ws.filterTest);
    MuteLines& mute = ws.display.mute;
    if (ws.display.editMode == 9 && (mute.state == 1 || mute.state == 3)) mute.state -= 1;
    ClearDragFigures(ws);
    e.Repaint(RepaintKind::Overlay);
    return e;
}

// ---------------------------------------------------------------------------------------------
// Keys

EditEffects EditController::OnKeyDown(Workspace& ws, UiHost& ui, int key)
{
    EditEffects e;
    CAcquisitionDevice& device = ws.acquisitionDevice;
    const bool acquisition = ws.startup.acquisitionMode != 0;
    const bool busy = device.monitorRunning == 1 || device.armed == 1;
    altAlone = key == kKeyAlt;
    switch (key) {
    case kKeyControl:
        ctrlState = 1;
        break;
    case kKeyShift:
        shiftState = 1;
        if (acquisition) {
            Acquisition(ws).DrawMenuKeyBar();
            e.Repaint(RepaintKind::Record);  // the paint draws bar B while Shift is held
        }
        break;
    case kKeyLeft:
    case kKeyRight:
        if (key == kKeyLeft) {
            OnReduceTimeScale(ws);
        } else {
            OnEnlargeTimeScale(ws);
        }
        e.Repaint(RepaintKind::Record);
        e.skip = false;
        break;
    case kKeyUp:
    case kKeyDown:
        if (shiftState == 1) {
            if (key == kKeyUp) {
                OnEnlargeDistanceScale(ws);
            } else {
                OnReduceDistanceScale(ws);
            }
            e.Repaint(RepaintKind::Record);
        } else {
            if (key == kKeyUp) {
                OnEnlargeAmplitude(ws);
            } else {
                OnReduceAmplitude(ws);
            }
            if (device.monitorRunning != 1) e.Repaint(RepaintKind::Record);
        }
        e.skip = false;
        break;
    case kKeyEnter:
    case kKeyF1:
    case kKeyF2:
    case kKeyF3:
    case kKeyF4:
    case kKeyF5:
        if (acquisition) e.Merge(AcquisitionKey(ws, ui, key));
        break;
    case kKeyEscape:
        if (busy) {
            e.Merge(AcquisitionStop(ws));
        } else {
            stopFlag = 1;
            ws.display.editMode = 0;
            dragFlag = 0;
            velocityLineState = 0;
            selection.active = 0;
            ClearDragFigures(ws);
            ws.display.overlay.ClearTransient();
            e.Repaint(RepaintKind::Record);
        }
        break;
    case kKeyDelete:
        if (!busy && ws.store.TraceCount() > 0) {
            CWaveOperations ops(ws, ui);
            if (ops.DeleteSelectedTraces() == 1) e.Repaint(RepaintKind::Record);
        }
        break;
    default:
        break;
    }
    if (acquisition) e.acquisition.Merge(Acquisition(ws).TakeEffects());
    if (e.repaint == RepaintKind::Record) ws.display.overlay.ClearTransient();
    return e;
}

EditEffects EditController::OnKeyUp(Workspace& ws, int key)
{
    EditEffects e;
    if (key == kKeyControl) ctrlState = 0;
    // GTK opens no menu on a lone Alt: on the acquisition screen it pops the acquisition menu up.
    if (key == kKeyAlt && altAlone && ws.startup.acquisitionMode != 0) e.acquisitionMenu = true;
    altAlone = false;
    if (key == kKeyShift) {
        shiftState = 0;
        if (ws.startup.acquisitionMode != 0) {
            Acquisition(ws).DrawKeyBar();
            e.Repaint(RepaintKind::Record);
        }
    }
    return e;
}

EditEffects EditController::TakeModifiers(Workspace& ws, bool shift, bool ctrl)
{
    EditEffects e;
    ctrlState = ctrl ? 1 : 0;
    if ((shiftState == 1) == shift) return e;
    shiftState = shift ? 1 : 0;
    if (ws.startup.acquisitionMode != 0) {
        if (shift) {
            Acquisition(ws).DrawMenuKeyBar();
        } else {
            Acquisition(ws).DrawKeyBar();
        }
        e.Repaint(RepaintKind::Record);
    }
    return e;
}

EditEffects EditController::AcquisitionStop(Workspace& ws)
{
    EditEffects e;
    AcquisitionKeyTarget& acquisition = Acquisition(ws);
    stopFlag = 1;
    acquisition.Disarm();
    acquisition.RequestStop();
    if (ws.display.timerRunning == 1) e.stopTimer = true;
    if (acquisition.StackedRecordsWaiting()) {
        acquisition.CopyStackIntoStore();  // with its own headers: the true source and count
        RecalcRecordExtents(ws, 0);
        acquisition.ComputeDisplayScale();
        e.followUp = EditEffects::FollowUp::SaveQuestion;
    } else {
        acquisition.ComputeDisplayScale();
    }
    e.Repaint(RepaintKind::Record);
    return e;
}

EditEffects EditController::AcquisitionKey(Workspace& ws, UiHost& ui, int key)
{
    EditEffects e;
    AcquisitionKeyTarget& acquisition = Acquisition(ws);
    const CAcquisitionDevice& device = ws.acquisitionDevice;
    const bool present = ws.startup.instrumentMenu == 1;
    const bool armed = device.armed == 1;
    const bool monitor = device.monitorRunning == 1;
    auto normalBar = [&] {
        shiftState = 0;
        acquisition.DrawKeyBar();
    };
    auto repaintOn = [&](int result) {
        if (result == 1) e.Repaint(RepaintKind::Record);
    };
    if (shiftState == 1) {
        switch (key) {
        case kKeyF1:
            acquisition.OnAcquisitionMenu();
            normalBar();
            break;
        case kKeyF2:
            if (!monitor && present) repaintOn(acquisition.EditModeGeometry());
            normalBar();
            break;
        case kKeyF3:
            ResetDisplayFilter(ws.displayFilter);
            RestoreUndo(ws);
            e.Repaint(RepaintKind::Record);
            break;
        case kKeyF4:
            // The frame's close stops the acquisition and offers the stack in hand, as every
            // way out does.
            if (ws.display.automaticProcessing == 1) e.stopTimer = true;
            acquisition.AutomaticProcessingStop();
            e.close = true;
            break;
        case kKeyF5:
            if (ui.Message(Msg(ws.startup.language, "Are you sure to shutdown?", "シャットダウンしますか?"),
                           MsgButtons::OkCancel, MsgIcon::Question) == MsgResult::Ok) {
                e.shutdown = true;  // through the frame's close as well
            }
            break;
        default:
            break;
        }
        return e;
    }
    switch (key) {
    case kKeyEnter:
        if (armed) {
            acquisition.ManualTrigger();
        } else {
            acquisition.StepMode();
            e.Repaint(RepaintKind::Record);
        }
        break;
    case kKeyF1:
        if (present) acquisition.OnNoiseMonitorStart();
        break;
    case kKeyF2:
        if (!monitor && present) repaintOn(acquisition.EditSettings());
        break;
    case kKeyF3:
        if (!armed && present) acquisition.OnTriggerArm();
        break;
    case kKeyF4:
        if (present) repaintOn(acquisition.DiskMenu());
        break;
    case kKeyF5:
        repaintOn(acquisition.EditDisplay());
        break;
    default:
        break;
    }
    return e;
}

}  // namespace velk
