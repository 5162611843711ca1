#include "toolkit/screen_fit.h"

#include <algorithm>

#include <wx/display.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>

namespace velk {

namespace {

// The fields keep at least this much height when they must scroll.
constexpr int kLeastBodyHeight = 120;

}  // namespace

wxRect WorkAreaOf(const wxWindow* window)
{
    int index = window ? wxDisplay::GetFromWindow(window) : wxNOT_FOUND;
    if (index == wxNOT_FOUND) index = 0;
    return wxDisplay(static_cast<unsigned>(index)).GetClientArea();
}

void FitOnScreen(wxTopLevelWindow* dialog, wxScrolledWindow* body)
{
    wxSizer* fields = body->GetSizer();
    wxSizer* top = dialog->GetSizer();
    if (!fields || !top) return;
    body->SetScrollRate(0, 10);
    const wxSize need = fields->GetMinSize();
    body->SetMinSize(need);
    body->SetVirtualSize(need);
    dialog->SetMinSize(wxDefaultSize);
    top->SetSizeHints(dialog);
    dialog->Fit();
    const wxRect area = WorkAreaOf(dialog);
    const int excess = dialog->GetSize().y - area.height;
    if (excess > 0) {
        // Overlay scroll bars report no width; keep room for a classic one all the same.
        const int bar = std::max(wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, body), 16);
        body->SetMinSize(wxSize(need.x + bar, std::max(need.y - excess, kLeastBodyHeight)));
        dialog->SetMinSize(wxDefaultSize);
        top->SetSizeHints(dialog);
        dialog->Fit();
    }
    body->FitInside();
    dialog->Layout();
    KeepOnScreen(dialog);
}

void KeepOnScreen(wxTopLevelWindow* window)
{
    const wxRect area = WorkAreaOf(window);
    wxRect r = window->GetRect();
    if (r.GetBottom() > area.GetBottom()) r.y = area.GetBottom() - r.height + 1;
    if (r.GetRight() > area.GetRight()) r.x = area.GetRight() - r.width + 1;
    r.y = std::max(r.y, area.y);
    r.x = std::max(r.x, area.x);
    if (r.GetPosition() != window->GetPosition()) window->Move(r.GetPosition());
}

}  // namespace velk
