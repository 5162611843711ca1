#include "toolkit/two_choice_dlg.h"

#include <wx/sizer.h>

#include "toolkit/wx_uihost.h"

namespace velk {

CTwoChoiceDlg::CTwoChoiceDlg(wxWindow* parent, const wxString& message, int defaultChoice,
                             const wxString& first, const wxString& second)
    : wxDialog(parent, wxID_ANY, ProgramCaption(), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE),
      choice_(defaultChoice == 2 ? 2 : 1)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    text_ = new wxTextCtrl(this, wxID_ANY, message, wxDefaultPosition, wxSize(300, -1),
                           wxTE_READONLY | wxTE_MULTILINE | wxTE_NO_VSCROLL | wxBORDER_NONE);
    text_->SetBackgroundColour(GetBackgroundColour());
    const int lines = std::max(1, static_cast<int>(message.Freq('\n')) + 1);
    text_->SetMinSize(wxSize(300, text_->GetCharHeight() * lines + 8));
    top->Add(text_, 1, wxEXPAND | wxALL, 12);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    first_ = new wxButton(this, wxID_OK, first);
    second_ = new wxButton(this, wxID_CANCEL, second);
    buttons->Add(first_, 0, wxRIGHT, 8);
    buttons->Add(second_, 0);
    top->Add(buttons, 0, wxALIGN_CENTER | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizerAndFit(top);
    CentreOnScreen();

    first_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(1); });
    second_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(2); });
    Bind(wxEVT_CHAR_HOOK, &CTwoChoiceDlg::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Finish(2); });

    (choice_ == 1 ? first_ : second_)->SetDefault();
    (choice_ == 1 ? first_ : second_)->SetFocus();
}

int CTwoChoiceDlg::Ask()
{
    ShowModal();
    return choice_;
}

void CTwoChoiceDlg::Finish(int choice)
{
    choice_ = choice;
    if (IsModal()) EndModal(choice == 1 ? wxID_OK : wxID_CANCEL);
}

bool CTwoChoiceDlg::HandleKey(int keyCode)
{
    switch (keyCode) {
    case WXK_LEFT:
        first_->SetFocus();
        first_->SetDefault();
        choice_ = 1;
        return true;
    case WXK_RIGHT:
        second_->SetFocus();
        second_->SetDefault();
        choice_ = 2;
        return true;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: {
        const wxWindow* focus = FindFocus();
        Finish(focus == first_ ? 1 : focus == second_ ? 2 : choice_);
        return true;
    }
    case WXK_ESCAPE:
        Finish(2);
        return true;
    default:
        return false;
    }
}

void CTwoChoiceDlg::OnCharHook(wxKeyEvent& event)
{
    if (!HandleKey(event.GetKeyCode())) event.Skip();
}

}  // namespace velk
