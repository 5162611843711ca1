#include "dialogs/dsp/taup_transform_wnd.h"

#include <wx/button.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "dsp/taup.h"
#include "platform/language.h"
#include "toolkit/screen_fit.h"
#include "toolkit/value_error.h"

namespace velk {

namespace {

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

}  // namespace

CTauPTransformWnd::CTauPTransformWnd(wxWindow* parent, DialogRequest& request, int language)
    : wxDialog(parent, wxID_ANY, U(request.Title()), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      request_(request),
      language_(language)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(3, 6, 8);
    grid->AddGrowableCol(1, 1);
    wxRadioBox* method = nullptr;
    for (DialogField& field : request_.Fields()) {
        Control c;
        c.field = &field;
        if (field.Type() == FieldType::Choice) {
            wxArrayString choices;
            for (const std::string& s : field.Choices()) choices.Add(U(s));
            c.radio = method = new wxRadioBox(this, wxID_ANY, U(field.LabelText()), wxDefaultPosition, wxDefaultSize,
                                              choices, 1, wxRA_SPECIFY_COLS);
        } else {
            c.text = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(140, -1),
                                    field.IsReadOnly() ? wxTE_READONLY : 0);
            grid->Add(new wxStaticText(this, wxID_ANY, U(field.LabelText())), 0, wxALIGN_CENTER_VERTICAL);
            grid->Add(c.text, 1, wxEXPAND);
            grid->Add(new wxStaticText(this, wxID_ANY, U(field.UnitText())), 0, wxALIGN_CENTER_VERTICAL);
        }
        controls_.push_back(c);
    }
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    columns->Add(grid, 1, wxEXPAND | wxRIGHT, 12);
    if (method) columns->Add(method, 0, wxALIGN_TOP);
    top->Add(columns, 1, wxEXPAND | wxALL, 12);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* calculate = new wxButton(this, wxID_ANY,
                                   U(Msg(language_, CTauPTransformDlg::kCalculate, "速度を計算")));
    auto* ok = new wxButton(this, wxID_OK, "OK");
    auto* cancel = new wxButton(this, wxID_CANCEL, U(Msg(language_, "Cancel")));
    buttons->Add(calculate, 0, wxRIGHT, 24);
    buttons->Add(ok, 0, wxRIGHT, 6);
    buttons->Add(cancel);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    ok->SetDefault();
    ok->Bind(wxEVT_BUTTON, &CTauPTransformWnd::OnOk, this);
    calculate->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CalculateVelocity(); });
    ShowValues();
    SetSizerAndFit(top);
    CentreOnParent();
    KeepOnScreen(this);
}

void CTauPTransformWnd::ShowValues()
{
    for (Control& c : controls_) {
        if (c.text) {
            c.text->ChangeValue(U(c.field->Text()));
        } else if (c.radio && c.field->IntValue() >= 0 &&
                   c.field->IntValue() < static_cast<int>(c.radio->GetCount())) {
            c.radio->SetSelection(c.field->IntValue());
        }
    }
}

wxString CTauPTransformWnd::TakeValues()
{
    for (Control& c : controls_) {
        if (c.field->IsReadOnly()) continue;
        const std::string error = c.text ? c.field->SetFromText(c.text->GetValue().utf8_string())
                                         : c.field->SetInt(c.radio->GetSelection());
        if (!error.empty()) {
            if (c.text) c.text->SetFocus();
            return U(c.field->LabelText()) + ": " + U(Msg(language_, error));
        }
    }
    return U(request_.Check());
}

void CTauPTransformWnd::CalculateVelocity()
{
    if (ShowValueError(this, TakeValues())) return;
    CTauPTransformDlg::CalculateVelocity(request_);
    ShowValues();
}

void CTauPTransformWnd::OnOk(wxCommandEvent&)
{
    if (ShowValueError(this, TakeValues())) return;
    EndModal(wxID_OK);
}

}  // namespace velk
