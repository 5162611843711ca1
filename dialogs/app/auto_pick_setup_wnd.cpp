#include "dialogs/app/auto_pick_setup_wnd.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/picking/auto_pick_setup.h"
#include "platform/language.h"
#include "toolkit/screen_fit.h"
#include "toolkit/value_error.h"

namespace velk {

namespace {

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

constexpr const char* kEdits[] = {CAutoPickSetupDlg::kCentreFrequency, CAutoPickSetupDlg::kNumberOfChecking,
                                  CAutoPickSetupDlg::kPortion};
constexpr int kEditIds[] = {CAutoPickSetupDlg::kCentreFrequencyId, CAutoPickSetupDlg::kNumberOfCheckingId,
                            CAutoPickSetupDlg::kPortionId};

}  // namespace

CAutoPickSetupWnd::CAutoPickSetupWnd(wxWindow* parent, DialogRequest& request, int language)
    : wxDialog(parent, wxID_ANY, U(request.Title()), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      request_(request),
      language_(language)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(3, 6, 8);
    grid->AddGrowableCol(1, 1);
    for (size_t k = 0; k < std::size(kEdits); ++k) {
        DialogField* field = request_.Find(kEdits[k]);
        if (!field) continue;
        edits_[k] = new wxTextCtrl(this, kEditIds[k], U(field->Text()), wxDefaultPosition, wxSize(100, -1));
        grid->Add(new wxStaticText(this, wxID_ANY, U(field->LabelText())), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(edits_[k], 1, wxEXPAND);
        grid->Add(new wxStaticText(this, wxID_ANY, U(field->UnitText())), 0, wxALIGN_CENTER_VERTICAL);
    }
    top->Add(grid, 1, wxEXPAND | wxALL, 12);
    if (DialogField* field = request_.Find(CAutoPickSetupDlg::kBandPass)) {
        bandPass_ = new wxCheckBox(this, CAutoPickSetupDlg::kBandPassId, U(field->LabelText()));
        bandPass_->SetValue(field->BoolValue());
        top->Add(bandPass_, 0, wxLEFT | wxRIGHT | wxBOTTOM, 12);
    }

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(this, wxID_OK, "OK");
    auto* cancel = new wxButton(this, wxID_CANCEL, U(Msg(language_, "Cancel")));
    buttons->Add(ok, 0, wxRIGHT, 6);
    buttons->Add(cancel);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    ok->SetDefault();
    ok->Bind(wxEVT_BUTTON, &CAutoPickSetupWnd::OnOk, this);
    SetSizerAndFit(top);
    CentreOnParent();
    KeepOnScreen(this);
}

wxString CAutoPickSetupWnd::TakeValues()
{
    for (size_t k = 0; k < std::size(kEdits); ++k) {
        DialogField* field = request_.Find(kEdits[k]);
        if (!field || !edits_[k]) continue;
        const std::string error = field->SetFromText(edits_[k]->GetValue().utf8_string());
        if (!error.empty()) {
            edits_[k]->SetFocus();
            return U(field->LabelText()) + ": " + U(Msg(language_, error));
        }
    }
    if (DialogField* field = request_.Find(CAutoPickSetupDlg::kBandPass); field && bandPass_) {
        field->SetBool(bandPass_->GetValue());
    }
    return U(request_.Check());
}

void CAutoPickSetupWnd::OnOk(wxCommandEvent&)
{
    if (ShowValueError(this, TakeValues())) return;
    EndModal(wxID_OK);
}

}  // namespace velk
