#include "toolkit/form_dlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobox.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/language.h"
#include "toolkit/screen_fit.h"
#include "toolkit/value_error.h"
#include "toolkit/wx_uihost.h"

namespace velk {

namespace {

wxString Text(int language, const std::string& english)
{
    return wxString::FromUTF8(Msg(language, english));
}

}  // namespace

CFormDlg::CFormDlg(wxWindow* parent, DialogRequest& request, int language)
    : wxDialog(parent, wxID_ANY, Text(language, request.Title()), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      request_(request),
      language_(language)
{
    // The fields lie in a panel of their own that scrolls when the screen is too low for them;
    // the buttons stay below it.
    auto* body = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL);
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* fields = new wxBoxSizer(wxVERTICAL);
    // Consecutive edit boxes share one three-column grid (label, box, unit); anything else
    // ends the grid, so the fields keep their order.
    wxFlexGridSizer* grid = nullptr;

    for (DialogField& field : request.Fields()) {
        Control c;
        c.field = &field;
        const bool unlabelled = field.LabelText() == field.Name();
        const wxString label = Text(language, field.LabelText());
        if (field.Type() == FieldType::Choice || field.Type() == FieldType::Bool ||
            (field.IsReadOnly() && field.Type() == FieldType::String && unlabelled)) {
            grid = nullptr;
        }
        switch (field.Type()) {
        case FieldType::Choice: {
            wxArrayString choices;
            for (const std::string& s : field.Choices()) choices.Add(Text(language, s));
            c.radio = new wxRadioBox(body, wxID_ANY, label, wxDefaultPosition, wxDefaultSize,
                                     choices, 1, wxRA_SPECIFY_COLS);
            if (field.IntValue() >= 0 && field.IntValue() < static_cast<int>(choices.size())) {
                c.radio->SetSelection(field.IntValue());
            }
            c.radio->Enable(!field.IsReadOnly());
            fields->Add(c.radio, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 12);
            break;
        }
        case FieldType::Bool:
            c.check = new wxCheckBox(body, wxID_ANY, label);
            c.check->SetValue(field.BoolValue());
            c.check->Enable(!field.IsReadOnly());
            fields->Add(c.check, 0, wxLEFT | wxRIGHT | wxTOP, 12);
            break;
        default:
            if (field.IsReadOnly() && field.Type() == FieldType::String && unlabelled) {
                // A line of text across the dialog (a welcome line, a notice).
                auto* line = new wxStaticText(body, wxID_ANY, Text(language, field.Text()));
                line->Wrap(420);
                fields->Add(line, 0, wxLEFT | wxRIGHT | wxTOP, 12);
                continue;
            }
            if (!grid) {
                grid = new wxFlexGridSizer(3, 6, 8);
                grid->AddGrowableCol(1, 1);
                fields->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 12);
            }
            c.text = new wxTextCtrl(body, wxID_ANY, wxString::FromUTF8(field.Text()),
                                    wxDefaultPosition, wxSize(160, -1),
                                    field.IsReadOnly() ? wxTE_READONLY : 0);
            grid->Add(new wxStaticText(body, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
            grid->Add(c.text, 1, wxEXPAND);
            grid->Add(new wxStaticText(body, wxID_ANY, Text(language, field.UnitText())), 0,
                      wxALIGN_CENTER_VERTICAL);
            break;
        }
        controls_.push_back(c);
    }

    auto* buttons = new wxStdDialogButtonSizer();
    auto* ok = new wxButton(this, wxID_OK, "OK");
    buttons->AddButton(ok);
    if (!request.IsOkOnly()) {
        buttons->AddButton(new wxButton(this, wxID_CANCEL, Text(language, "Cancel")));
    } else {
        SetEscapeId(wxID_OK);  // the close box and Escape count as OK
    }
    buttons->Realize();
    body->SetSizer(fields);
    top->Add(body, 1, wxEXPAND);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 12);
    ok->SetDefault();
    ok->Bind(wxEVT_BUTTON, &CFormDlg::OnOk, this);
    SetSizer(top);
    FitOnScreen(this, body);
    CentreOnParent();
    KeepOnScreen(this);
    for (const Control& c : controls_) {
        if (!c.field->HasFocus()) continue;
        wxWindow* control = c.text ? static_cast<wxWindow*>(c.text)
                            : c.check ? static_cast<wxWindow*>(c.check)
                                      : static_cast<wxWindow*>(c.radio);
        if (control) control->SetFocus();
        if (c.text) c.text->SelectAll();
        break;
    }
}

std::string TakeEditorValue(DialogField& field, wxTextCtrl* text, wxCheckBox* check, wxRadioBox* radio)
{
    if (field.IsReadOnly()) return {};
    if (text) return field.SetFromText(text->GetValue().utf8_string());
    if (check) return field.SetBool(check->GetValue());
    if (radio) return field.SetInt(radio->GetSelection());
    return {};
}

wxString CFormDlg::TakeValues()
{
    for (Control& c : controls_) {
        const std::string error = TakeEditorValue(*c.field, c.text, c.check, c.radio);
        if (!error.empty()) {
            if (c.text) c.text->SetFocus();
            return Text(language_, c.field->LabelText()) + ": " + Text(language_, error);
        }
    }
    return wxString::FromUTF8(request_.Check());
}

void CFormDlg::OnOk(wxCommandEvent&)
{
    if (ShowValueError(this, TakeValues())) return;
    EndModal(wxID_OK);
}

}  // namespace velk
