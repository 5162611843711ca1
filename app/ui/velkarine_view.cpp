#include "app/ui/velkarine_view.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <cstdlib>
#include <utility>

#include "app/acquisition/acquisition_screen.h"
#include "app/view/display_state.h"
#include "draw/parallel.h"
#include "app/formats/document.h"
#include "app/picking/pick_matching.h"
#include "app/record_arrival.h"
#include "platform/recent_files.h"
#include "app/view/record_drawing.h"
#include "app/view/record_paint.h"
#include "app/ui/record_render.h"
#include "toolkit/wx_dc_canvas.h"
#include "app/view/view_commands.h"
#include "app/view/view_seams.h"
#include "app/workspace.h"

namespace velk {

namespace {

// The view timer keeps id 1; the record cycle runs timers of its own.
constexpr int kMonitorTickerId = 2;
constexpr int kAcquisitionTimerId = 3;
constexpr int kPendingStartId = 4;
constexpr int kScheduledId = 5;

}  // namespace

CVelkarineView::CVelkarineView(wxWindow* parent, Workspace& ws, std::function<CommandContext()> context)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                       wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      ws_(ws),
      context_(std::move(context)),
      timer_(this, DisplayState::kTimerId),
      monitorTicker_(this, kMonitorTickerId),
      acquisitionTimer_(this, kAcquisitionTimerId),
      pendingStart_(this, kPendingStartId),
      scheduledTimer_(this, kScheduledId)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    OnInitialUpdate();
    Bind(wxEVT_PAINT, &CVelkarineView::OnPaint, this);
    Bind(wxEVT_TIMER, &CVelkarineView::OnTimerTick, this, DisplayState::kTimerId);
    Bind(wxEVT_TIMER, &CVelkarineView::OnMonitorTicker, this, kMonitorTickerId);
    Bind(wxEVT_TIMER, &CVelkarineView::OnAcquisitionTimer, this, kAcquisitionTimerId);
    Bind(wxEVT_TIMER, &CVelkarineView::OnPendingStart, this, kPendingStartId);
    Bind(wxEVT_TIMER, &CVelkarineView::OnScheduled, this, kScheduledId);
    // The gain and hold dialogs show their changes on the monitor while they are open; the
    // record's questions open over the record already on the screen.
    ws_.acquisitionDevice.ownerRepaint = [this] {
        Repaint();
        Update();
    };
    Bind(wxEVT_LEFT_DOWN, &CVelkarineView::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CVelkarineView::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &CVelkarineView::OnLeftUp, this);
    Bind(wxEVT_RIGHT_DOWN, &CVelkarineView::OnRightDown, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CVelkarineView::OnCaptureLost, this);
    Bind(wxEVT_KEY_DOWN, &CVelkarineView::OnKeyDown, this);
    Bind(wxEVT_KEY_UP, &CVelkarineView::OnKeyUp, this);
    // The modifiers as they are when the view has the keys again (a question may have taken a
    // release); the keyboard's state is only known on X11, elsewhere the next key tells it.
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
        if (context_ && wxGetDisplayInfo().type == wxDisplayX11)
            Apply(ws_.editController.TakeModifiers(ws_, wxGetKeyState(WXK_SHIFT), wxGetKeyState(WXK_CONTROL)));
        e.Skip();
    });
    // What the first paint used to do besides drawing: once the window is up.
    CallAfter([this] {
        CommandContext c = context_();
        OnFirstShow(c);
        Repaint();
        SetFocus();  // the keys go to the record
    });
}

CVelkarineView::~CVelkarineView()
{
    timer_.Stop();
    monitorTicker_.Stop();
    acquisitionTimer_.Stop();
    pendingStart_.Stop();
    scheduledTimer_.Stop();
    ws_.acquisitionDevice.ownerRepaint = nullptr;
}

void CVelkarineView::ScheduleOnce(int milliseconds, std::function<void()> then)
{
    scheduled_ = std::move(then);
    scheduledTimer_.StartOnce(std::max(1, milliseconds));
}

void CVelkarineView::OnScheduled(wxTimerEvent&)
{
    // The call may schedule the next one.
    if (std::function<void()> call = std::exchange(scheduled_, nullptr)) call();
}

void CVelkarineView::ApplyAcquisition(const AcquisitionEffects& effects)
{
    if (effects.runEnded) monitorTicker_.Stop();
    if (effects.startTicker) monitorTicker_.Start(5);
    if (effects.stopTimer) acquisitionTimer_.Stop();
    if (effects.startTimer) acquisitionTimer_.Start(DisplayState::kAcquisitionMs);
    if (effects.startLater) pendingStart_.StartOnce(200);
    if (context_ && (!effects.recentFile.empty() || effects.icon != 0)) {
        CommandContext ctx = context_();
        if (!effects.recentFile.empty()) ctx.recent.Add(effects.recentFile);
        if (effects.icon != 0 && ctx.frame) ctx.frame->SetFrameIcon(effects.icon);
    }
    if (effects.repaint) {
        Repaint();
    } else if (effects.invalidate) {
        // The monitor column the strip advanced into; the kept picture stays.
        const LogicalMapping m = Mapping();
        const DevicePoint a = m.ToDevice(LPoint{effects.column.left, effects.column.top});
        const DevicePoint b = m.ToDevice(LPoint{effects.column.right, effects.column.bottom});
        RefreshRect(wxRect(wxPoint(std::min(a.x, b.x) - 1, std::min(a.y, b.y) - 1),
                           wxPoint(std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1)),
                    false);
    }
}

void CVelkarineView::OnMonitorTicker(wxTimerEvent&) { ApplyAcquisition(AcquisitionMonitorTick(ws_)); }

void CVelkarineView::OnAcquisitionTimer(wxTimerEvent&)
{
    if (context_) {
        ApplyAcquisition(AcquisitionTimerStep(ws_, context_().ui));
        CommandContext ctx = context_();
        ApplyPendingRecordTitle(ctx);
        ReportPicksLeftOut(ws_, ctx.ui);
    }
}

void CVelkarineView::OnPendingStart(wxTimerEvent&)
{
    if (context_) ApplyAcquisition(CompletePendingStart(ws_, context_().ui));
}

void CVelkarineView::OnInitialUpdate()
{
    ppi_ = wxScreenDC().GetPPI();
    const LogicalMapping m = LogicalMapping::ForDpi(ppi_.x, ppi_.y);
    SetVirtualSize(LogicalMapping::Round(kDocumentWidth * m.pixelsPerUnitX),
                   LogicalMapping::Round(kDocumentHeight * m.pixelsPerUnitY));
    SetScrollRate(10, 10);
    // The picture is drawn for the scrolled position: a scroll repaints the whole window.
    EnableScrolling(false, false);
}

LogicalMapping CVelkarineView::Mapping() const
{
    LogicalMapping m = LogicalMapping::ForDpi(ppi_.x, ppi_.y);
    const wxPoint origin = CalcUnscrolledPosition(wxPoint(0, 0));
    m.scrollX = origin.x;
    m.scrollY = origin.y;
    return m;
}

void CVelkarineView::Repaint()
{
    ws_.display.overlay.ClearTransient();
    pictureStale_ = true;
    Refresh(false);
}

LSize CVelkarineView::VisibleSize() const
{
    const wxSize size = GetClientSize();
    const LogicalMapping m = LogicalMapping::ForDpi(ppi_.x, ppi_.y);
    if (size.x <= 0 || size.y <= 0 || !(m.pixelsPerUnitX > 0.0) || !(m.pixelsPerUnitY > 0.0)) return {};
    return LSize{static_cast<int32_t>(size.x / m.pixelsPerUnitX), static_cast<int32_t>(size.y / m.pixelsPerUnitY)};
}

void CVelkarineView::RequestRepaint(RepaintKind kind)
{
    if (kind == RepaintKind::Record) {
        Repaint();
    } else if (kind == RepaintKind::Overlay) {
        Refresh(false);
    }
}

void CVelkarineView::ShowTransientText(const std::string& text, LPoint at)
{
    ws_.display.overlay.SetTransientText(OverlayLayer::kProgressOwner, text, ProgressTextPlace(ws_, at));
    Refresh(false);
    Update();
}

void CVelkarineView::ShowSecondTransientText(const std::string& text)
{
    ws_.display.overlay.SetTransientText(OverlayLayer::kSecondProgressOwner, text,
                                         ProgressTextPlace(ws_, OverlayLayer::kSecondProgressAt));
    Refresh(false);
    Update();
}

std::string CVelkarineView::TransientText() const
{
    for (const OverlayFigure& f : ws_.display.overlay.Figures())
        if (f.owner == OverlayLayer::kProgressOwner && f.kind == OverlayFigure::Kind::Text) return f.text;
    return {};
}

void CVelkarineView::StartTimer(int milliseconds) { timer_.Start(std::max(1, milliseconds)); }

void CVelkarineView::StopTimer() { timer_.Stop(); }

void CVelkarineView::OnTimerTick(wxTimerEvent&)
{
    if (!context_) return;
    CommandContext ctx = context_();
    const int repaint = OnTimer(ctx);
    ApplyPendingRecordTitle(ctx);
    ReportPicksLeftOut(ws_, ctx.ui);
    if (repaint == 1) Repaint();
}

void CVelkarineView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    const LogicalMapping mapping = Mapping();
    const wxSize size = GetClientSize();
    if (size.x <= 0 || size.y <= 0) return;
    if (pictureStale_ || pictureLoads_ != ws_.store.loadCounter || !picture_.IsOk() || picture_.GetSize() != size ||
        mapping.scrollX != pictureMapping_.scrollX || mapping.scrollY != pictureMapping_.scrollY) {
        if (!picture_.IsOk() || picture_.GetSize() != size) picture_.Create(size);
        {
            wxMemoryDC memory(picture_);
            memory.SetBackground(*wxWHITE_BRUSH);
            memory.Clear();
            OnDraw(memory, mapping, size);
            memory.SelectObject(wxNullBitmap);
        }
        pictureMapping_ = mapping;
        pictureStale_ = false;
        pictureLoads_ = ws_.store.loadCounter;
    }
    dc.DrawBitmap(picture_, 0, 0);
    if (ws_.startup.acquisitionMode != 0) {
        WxDcCanvas canvas(dc, mapping);
        DrawMonitorStrip(canvas, ws_);
    }
    DrawOverlay(dc, mapping, ws_);
}

void CVelkarineView::OnDraw(wxDC& dc, const LogicalMapping& mapping, wxSize rasterSize)
{
    WxDcCanvas canvas(dc, mapping, rasterSize, &raster_);
    if (!ws_.display.drawing.workers) ws_.display.drawing.workers = std::make_shared<WorkerPool>();
    canvas.SetWorkerPool(ws_.display.drawing.workers.get());
    RecordPaint paint{canvas, nullptr, false, {}, {}};
    if (mapping.pixelsPerUnitX > 0.0) {
        paint.visibleRight = static_cast<int32_t>((mapping.scrollX + rasterSize.x) / mapping.pixelsPerUnitX);
    }
    if (context_) {
        CommandContext ctx = context_();
        paint.status = ctx.frame ? ctx.frame->Status() : nullptr;
        paint.documentTitle = ctx.doc.Title();
        paint.currentFileName = ctx.doc.currentFileName;
    }
    velk::OnDraw(paint, ws_);
    canvas.Flush();
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

namespace {

// The key numbers the input controller knows; 0 for the others.
int KeyNumber(int code)
{
    switch (code) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: return kKeyEnter;
    case WXK_SHIFT: return kKeyShift;
    case WXK_CONTROL: return kKeyControl;
    case WXK_ALT: return kKeyAlt;
    case WXK_ESCAPE: return kKeyEscape;
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT: return kKeyLeft;
    case WXK_UP:
    case WXK_NUMPAD_UP: return kKeyUp;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT: return kKeyRight;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN: return kKeyDown;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE: return kKeyDelete;
    case WXK_F1: return kKeyF1;
    case WXK_F2: return kKeyF2;
    case WXK_F3: return kKeyF3;
    case WXK_F4: return kKeyF4;
    case WXK_F5: return kKeyF5;
    default: return 0;
    }
}

// The station's shut-down: VELKARINE_SHUTDOWN_COMMAND, else the system's power-off.
std::string StationShutdownCommand()
{
    const char* configured = std::getenv("VELKARINE_SHUTDOWN_COMMAND");
    return configured && *configured ? configured : "systemctl poweroff";
}

}  // namespace

LPoint CVelkarineView::LogicalPoint(const wxMouseEvent& event) const
{
    const wxPoint p = event.GetPosition();
    return Mapping().ToLogical(DevicePoint{p.x, p.y});
}

void CVelkarineView::Apply(const EditEffects& effects)
{
    CommandContext ctx = context_();
    if (StatusPanes* status = ctx.frame ? ctx.frame->Status() : nullptr) {
        for (const PaneText& pane : effects.panes) {
            status->SetPaneWidth(pane.pane, pane.width);
            status->SetPaneText(pane.pane, pane.text);
        }
    }
    if (effects.stopTimer) StopViewTimer(ws_, this);
    ApplyAcquisition(effects.acquisition);
    if (!effects.recentFile.empty()) ctx.recent.Add(effects.recentFile);
    if (effects.repaint == RepaintKind::Record) {
        // The controller has already ended the transient figures the change made stale.
        pictureStale_ = true;
        Refresh(false);
    } else if (effects.repaint == RepaintKind::Overlay) {
        Refresh(false);
    }
    const bool dragging = ws_.editController.Dragging(ws_);
    if (dragging && !HasCapture()) {
        CaptureMouse();
    } else if (!dragging && HasCapture()) {
        ReleaseMouse();
    }
    if (effects.followUp != EditEffects::FollowUp::None) {
        Update();  // the change shows before the question
        Apply(ws_.editController.RunFollowUp(ws_, ctx.ui, effects.followUp));
    }
    if (effects.acquisitionMenu && ctx.frame) {
        FrameServices* frame = ctx.frame;
        CallAfter([frame] { frame->PopupAcquisitionMenu(); });
    }
    if (effects.close && ctx.frame) {
        FrameServices* frame = ctx.frame;
        CallAfter([frame] { frame->RequestClose(); });
    }
    if (effects.shutdown) {
        wxWindow* top = wxGetTopLevelParent(this);
        const std::string command = StationShutdownCommand();
        CallAfter([top, command] {
            // Closing saves the settings; then the station goes down.
            if (top) top->Close(true);
            wxExecute(wxString::FromUTF8(command), wxEXEC_ASYNC);
        });
    }
}

void CVelkarineView::OnLeftDown(wxMouseEvent& event)
{
    SetFocus();
    if (context_) Apply(ws_.editController.OnLButtonDown(ws_, context_().ui, LogicalPoint(event)));
    event.Skip();
}

void CVelkarineView::OnMotion(wxMouseEvent& event)
{
    if (context_) Apply(ws_.editController.OnMouseMove(ws_, context_().ui, LogicalPoint(event)));
    event.Skip();
}

void CVelkarineView::OnLeftUp(wxMouseEvent& event)
{
    if (context_) Apply(ws_.editController.OnLButtonUp(ws_, context_().ui, LogicalPoint(event)));
    if (HasCapture()) ReleaseMouse();
    event.Skip();
}

void CVelkarineView::OnRightDown(wxMouseEvent& event)
{
    if (context_) Apply(ws_.editController.OnRButtonDown(ws_, LogicalPoint(event)));
    event.Skip();
}

void CVelkarineView::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    if (context_) Apply(ws_.editController.OnCaptureLost(ws_));
}

void CVelkarineView::OnKeyDown(wxKeyEvent& event)
{
    const int key = KeyNumber(event.GetKeyCode());
    if (key == 0 || !context_) {
        ws_.editController.altAlone = false;  // Alt with another key is no lone Alt
        event.Skip();
        return;
    }
    // A key other than a modifier carries the modifiers' state with it.
    if (key != kKeyShift && key != kKeyControl) {
        Apply(ws_.editController.TakeModifiers(ws_, event.ShiftDown(), event.ControlDown()));
    }
    const EditEffects effects = ws_.editController.OnKeyDown(ws_, context_().ui, key);
    Apply(effects);
    if (effects.skip) event.Skip();
}

void CVelkarineView::OnKeyUp(wxKeyEvent& event)
{
    const int key = KeyNumber(event.GetKeyCode());
    if (key != 0) Apply(ws_.editController.OnKeyUp(ws_, key));
    event.Skip();
}

}  // namespace velk
