#include "dialogs/acquisition/receiver_interval_wnd.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "acquisition/receiver_interval_dlg.h"
#include "dialogs/acquisition/keypad_dialog.h"
#include "platform/language.h"
#include "toolkit/value_error.h"

namespace velk {

namespace {

constexpr const char* kChoice = "Interval";
constexpr const char* kFreeValue = "Free value";
constexpr int kColumns = 6;

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

}  // namespace

CReceiverIntervalWnd::CReceiverIntervalWnd(wxWindow* parent, DialogRequest& request, int language)
    : wxDialog(parent, wxID_ANY, U(request.Title())), request_(request), language_(language)
{
    DialogField* choice = request_.Find(kChoice);
    DialogField* value = request_.Find(kFreeValue);
    std::vector<wxString> labels;
    if (choice)
        for (const std::string& s : choice->Choices()) labels.push_back(U(s));
    auto* top = new wxBoxSizer(wxVERTICAL);
    choice_ = new KeypadChoice(this, wxString(), labels, kColumns);
    if (choice) choice_->SetSelection(choice->IntValue());
    top->Add(choice_, 0, wxEXPAND | wxALL, 12);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, value ? U(value->LabelText()) : wxString()), 0,
             wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    value_ = new wxTextCtrl(this, wxID_ANY, value ? U(value->Text()) : wxString(), wxDefaultPosition, wxSize(120, -1));
    row->Add(value_, 0);
    row->Add(new wxStaticText(this, wxID_ANY, "m"), 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 6);
    top->Add(row, 0, wxLEFT | wxRIGHT | wxBOTTOM, 12);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(this, wxID_OK, "OK");
    ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Accept(); });
    buttons->Add(ok, 0, wxRIGHT, 6);
    buttons->Add(new wxButton(this, wxID_CANCEL, U(Msg(language_, "Cancel"))));
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizerAndFit(top);
    CentreOnParent();
    Bind(wxEVT_CHAR_HOOK, &CReceiverIntervalWnd::OnKey, this);
    // On the chosen preset; on the free value when it is chosen.
    if (choice && choice->IntValue() == CReceiverIntervalDlg::kOption) value_->SetFocus();
    else choice_->SetFocus();
}

void CReceiverIntervalWnd::OnKey(wxKeyEvent& event)
{
    if (event.HasAnyModifiers()) {
        event.Skip();
        return;
    }
    const int code = event.GetKeyCode();
    if (code == WXK_RETURN || code == WXK_NUMPAD_ENTER) {
        Accept();
        return;
    }
    if (code == WXK_ESCAPE) {
        EndModal(wxID_CANCEL);
        return;
    }
    const bool back = code == WXK_LEFT || code == WXK_UP || code == WXK_NUMPAD_LEFT || code == WXK_NUMPAD_UP;
    const bool next = code == WXK_RIGHT || code == WXK_DOWN || code == WXK_NUMPAD_RIGHT || code == WXK_NUMPAD_DOWN;
    // In the free value the arrows move the text cursor.
    if ((!back && !next) || FindFocus() == value_) {
        event.Skip();
        return;
    }
    const int chosen = choice_->GetSelection();
    choice_->SetSelection(std::clamp(chosen < 0 ? 0 : chosen + (next ? 1 : -1), 0, choice_->GetCount() - 1));
    choice_->SetFocus();
}

void CReceiverIntervalWnd::Accept()
{
    std::string error;
    if (DialogField* f = request_.Find(kChoice)) error = f->SetInt(choice_->GetSelection());
    if (DialogField* f = request_.Find(kFreeValue); f && error.empty()) {
        error = f->SetFromText(value_->GetValue().utf8_string());
        if (!error.empty()) {
            error = f->LabelText() + ": " + Msg(language_, error);
            value_->SetFocus();
        }
    }
    if (error.empty()) error = request_.Check();
    if (ShowValueError(this, U(error))) return;
    EndModal(wxID_OK);
}

}  // namespace velk
