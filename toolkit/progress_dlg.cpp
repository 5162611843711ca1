#include "toolkit/progress_dlg.h"

#include <algorithm>

#include <wx/evtloop.h>
#include <wx/sizer.h>

#include "platform/language.h"

namespace velk {

wxString ProgressCaption(int language)
{
    return wxString::FromUTF8(Msg(language, "Now calculating !", "計算中です !"));
}

CProgressDlg::CProgressDlg(wxWindow* parent, const wxString& caption)
    : wxDialog(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    text_ = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(320, -1),
                             wxST_NO_AUTORESIZE);
    gauge_ = new wxGauge(this, wxID_ANY, 100, wxDefaultPosition, wxSize(320, -1),
                         wxGA_HORIZONTAL | wxGA_SMOOTH);
    top->Add(text_, 0, wxEXPAND | wxALL, 12);
    top->Add(gauge_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizerAndFit(top);
    CentreOnParent();
    Show();
    gauge_->SetFocus();
    ShowNow();
}

void CProgressDlg::SetRange(int n)
{
    range_ = std::max(n, 0);
    position_ = 0;
    gauge_->SetRange(std::max(range_, 1));
    gauge_->SetValue(0);
    ShowNow();
}

void CProgressDlg::StepIt()
{
    position_ = std::min(position_ + 1, range_);
    gauge_->SetValue(position_);
    ShowNow();
}

void CProgressDlg::SetText(const std::string& text)
{
    text_->SetLabel(wxString::FromUTF8(text));
    ShowNow();
}

// The command runs on the interface thread: paint the window now rather than when the
// command has finished. A window just shown is painted only once the toolkit has mapped it, so
// the interface events (painting, sizing; no input, no timers) run here as well, a few times a
// second at most.
void CProgressDlg::ShowNow()
{
    Refresh();
    Update();
    const auto now = std::chrono::steady_clock::now();
    if (painted_ && now - painted_.value() < std::chrono::milliseconds(100)) return;
    painted_ = now;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (loop && !loop->IsYielding()) loop->YieldFor(wxEVT_CATEGORY_UI);
}

}  // namespace velk
