#include "app/ui/velkarine_view.h"

#include <wx/dcbuffer.h>

#include "app/ui/gtk_settings.h"
#include "app/workspace.h"
#include "platform/language.h"

namespace velk {

CVelkarineView::CVelkarineView(wxWindow* parent, Workspace& ws)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                       wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE),
      ws_(ws)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    SetScrollRate(10, 10);
    Bind(wxEVT_PAINT, &CVelkarineView::OnPaint, this);
}

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

void CVelkarineView::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    DoPrepareDC(dc);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (!transient_.empty()) {
        wxFont font = GetFont();
        if (IsJapanese(ws_.startup.language)) font.SetFaceName(kJapaneseFontFace);
        dc.SetFont(font);
        dc.SetTextForeground(*wxBLACK);
        dc.DrawText(wxString::FromUTF8(transient_), 10, 18);
    }
}

}  // namespace velk
