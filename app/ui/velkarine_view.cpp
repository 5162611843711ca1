#include "app/ui/velkarine_view.h"

#include <wx/dcbuffer.h>

#include "app/display_state.h"
#include "app/ui/gtk_settings.h"
#include "app/view_seams.h"
#include "app/workspace.h"
#include "platform/language.h"

namespace velk {

CVelkarineView::CVelkarineView(wxWindow* parent, Workspace& ws, std::function<CommandContext()> context)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                       wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE),
      ws_(ws),
      context_(std::move(context)),
      timer_(this, DisplayState::kTimerId)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    SetScrollRate(10, 10);
    Bind(wxEVT_PAINT, &CVelkarineView::OnPaint, this);
    Bind(wxEVT_TIMER, &CVelkarineView::OnTimerTick, this, DisplayState::kTimerId);
}

CVelkarineView::~CVelkarineView() { timer_.Stop(); }

void CVelkarineView::Repaint()
{
    transient_.clear();
    Refresh(true);
}

void CVelkarineView::ShowTransientText(const std::string& text)
{
    transient_ = text;
    Refresh(false);
    Update();
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
    wxAutoBufferedPaintDC dc(this);
    DoPrepareDC(dc);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    OnDraw(dc);
    if (!transient_.empty()) {
        wxFont font = GetFont();
        if (IsJapanese(ws_.startup.language)) font.SetFaceName(kJapaneseFontFace);
        dc.SetFont(font);
        dc.SetTextForeground(*wxBLACK);
        dc.DrawText(wxString::FromUTF8(transient_), 10, 18);
    }
}

void CVelkarineView::OnDraw(wxDC&)
{
    // The record drawing paints here; until then the view shows its background.
}

}  // namespace velk
