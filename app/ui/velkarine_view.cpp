#include "app/ui/velkarine_view.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>

#include "app/display_state.h"
#include "app/draw/parallel.h"
#include "app/document.h"
#include "app/record_drawing.h"
#include "app/record_paint.h"
#include "app/ui/record_render.h"
#include "app/ui/wx_dc_canvas.h"
#include "app/view_seams.h"
#include "app/workspace.h"

namespace velk {

CVelkarineView::CVelkarineView(wxWindow* parent, Workspace& ws, std::function<CommandContext()> context)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                       wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE),
      ws_(ws),
      context_(std::move(context)),
      timer_(this, DisplayState::kTimerId)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    OnInitialUpdate();
    Bind(wxEVT_PAINT, &CVelkarineView::OnPaint, this);
    Bind(wxEVT_TIMER, &CVelkarineView::OnTimerTick, this, DisplayState::kTimerId);
    // What the first paint used to do besides drawing: once the window is up.
    CallAfter([this] {
        OnFirstShow(ws_);
        Repaint();
    });
}

CVelkarineView::~CVelkarineView() { timer_.Stop(); }

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

void CVelkarineView::RequestRepaint(RepaintKind kind)
{
    if (kind == RepaintKind::Record) {
        Repaint();
    } else if (kind == RepaintKind::Overlay) {
        Refresh(false);
    }
}

void CVelkarineView::ShowTransientText(const std::string& text)
{
    ws_.display.overlay.SetTransientText(OverlayLayer::kProgressOwner, text, OverlayLayer::kProgressAt);
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
    if (OnTimer(ctx) == 1) Repaint();
}

void CVelkarineView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    const LogicalMapping mapping = Mapping();
    const wxSize size = GetClientSize();
    if (size.x <= 0 || size.y <= 0) return;
    if (pictureStale_ || !picture_.IsOk() || picture_.GetSize() != size || mapping.scrollX != pictureMapping_.scrollX ||
        mapping.scrollY != pictureMapping_.scrollY) {
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
    }
    dc.DrawBitmap(picture_, 0, 0);
    DrawOverlay(dc, mapping, ws_);
}

void CVelkarineView::OnDraw(wxDC& dc, const LogicalMapping& mapping, wxSize rasterSize)
{
    WxDcCanvas canvas(dc, mapping, rasterSize);
    if (!ws_.display.drawing.workers) ws_.display.drawing.workers = std::make_shared<WorkerPool>();
    canvas.SetWorkerPool(ws_.display.drawing.workers.get());
    RecordPaint paint{canvas, nullptr, false, {}, {}};
    if (context_) {
        CommandContext ctx = context_();
        paint.status = ctx.frame ? ctx.frame->Status() : nullptr;
        paint.documentTitle = ctx.doc.Title();
        paint.currentFileName = ctx.doc.currentFileName;
    }
    velk::OnDraw(paint, ws_);
    canvas.Flush();
}

}  // namespace velk
