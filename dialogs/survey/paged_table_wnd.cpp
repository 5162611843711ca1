#include "dialogs/survey/paged_table_wnd.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/language.h"
#include "toolkit/screen_fit.h"
#include "toolkit/value_error.h"

namespace velk {

namespace {

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

}  // namespace

CPagedTableWnd::CPagedTableWnd(wxWindow* parent, DialogRequest& request, int language,
                               const std::vector<std::string>& columns, int rows)
    : wxDialog(parent, wxID_ANY, U(request.Title()), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      request_(request),
      language_(language)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(static_cast<int>(columns.size()), 4, 4);
    for (const std::string& title : columns) {
        auto* label = new wxStaticText(this, wxID_ANY, U(Msg(language, title)), wxDefaultPosition, wxSize(-1, -1),
                                       wxALIGN_CENTRE_HORIZONTAL);
        label->Wrap(110);
        grid->Add(label, 0, wxALIGN_CENTER_HORIZONTAL | wxALIGN_BOTTOM);
    }
    for (int r = 1; r <= rows; ++r) {
        DialogField* key = request_.Find(columns.front() + " " + std::to_string(r));
        for (size_t c = 0; c < columns.size(); ++c) {
            Cell cell;
            cell.field = request_.Find(columns[c] + " " + std::to_string(r));
            cell.rowKey = key;
            const int width = c == 0 ? 50 : 100;
            if (cell.field && cell.field->Type() == FieldType::Bool) {
                cell.check = new wxCheckBox(this, wxID_ANY, wxString());
                grid->Add(cell.check, 0, wxALIGN_CENTER);
            } else {
                cell.text = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(width, -1),
                                           cell.field && cell.field->IsReadOnly() ? wxTE_READONLY : 0);
                grid->Add(cell.text, 0, wxEXPAND);
            }
            if (cell.field) cells_.push_back(cell);
        }
    }
    top->Add(grid, 0, wxALL, 12);

    // The fields outside the grid.
    auto* others = new wxFlexGridSizer(3, 6, 8);
    auto* radios = new wxBoxSizer(wxHORIZONTAL);
    for (DialogField& field : request_.Fields()) {
        bool inGrid = false;
        for (const Cell& c : cells_) inGrid = inGrid || c.field == &field;
        if (inGrid) continue;
        Cell cell;
        cell.field = &field;
        if (field.Type() == FieldType::Choice) {
            wxArrayString choices;
            for (const std::string& s : field.Choices()) choices.Add(U(Msg(language, s)));
            cell.radio = new wxRadioBox(this, wxID_ANY, U(Msg(language, field.LabelText())), wxDefaultPosition,
                                        wxDefaultSize, choices, 1, wxRA_SPECIFY_ROWS);
            radios->Add(cell.radio, 0, wxRIGHT, 8);
        } else if (field.Type() == FieldType::Bool) {
            cell.check = new wxCheckBox(this, wxID_ANY, U(Msg(language, field.LabelText())));
            others->Add(cell.check, 0, wxALIGN_CENTER_VERTICAL);
            others->AddSpacer(1);
            others->AddSpacer(1);
        } else {
            cell.text = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(120, -1),
                                       field.IsReadOnly() ? wxTE_READONLY : 0);
            others->Add(new wxStaticText(this, wxID_ANY, U(Msg(language, field.LabelText()))), 0, wxALIGN_CENTER_VERTICAL);
            others->Add(cell.text, 0);
            others->Add(new wxStaticText(this, wxID_ANY, U(field.UnitText())), 0, wxALIGN_CENTER_VERTICAL);
        }
        cells_.push_back(cell);
    }
    auto* lower = new wxBoxSizer(wxHORIZONTAL);
    lower->Add(others, 0, wxRIGHT, 16);
    lower->Add(radios, 0);
    top->Add(lower, 0, wxLEFT | wxRIGHT | wxBOTTOM, 12);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    for (const DialogRequest::Button& b : request_.Buttons()) {
        auto* button = new wxButton(this, wxID_ANY, U(b.label));
        const std::string name = b.name;
        button->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { Press(name); });
        buttons->Add(button, 0, wxRIGHT, 6);
    }
    auto* ok = new wxButton(this, wxID_OK, "OK");
    auto* cancel = new wxButton(this, wxID_CANCEL, U(Msg(language_, "Cancel")));
    buttons->AddSpacer(18);
    buttons->Add(ok, 0, wxRIGHT, 6);
    buttons->Add(cancel);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    ok->SetDefault();
    ok->Bind(wxEVT_BUTTON, &CPagedTableWnd::OnOk, this);
    ShowValues();
    SetSizerAndFit(top);
    CentreOnParent();
    KeepOnScreen(this);
    for (const Cell& c : cells_) {
        if (!c.field->HasFocus() || !c.text) continue;
        c.text->SetFocus();
        c.text->SelectAll();
        break;
    }
}

bool CPagedTableWnd::Blank(const Cell& c) const { return c.rowKey && c.rowKey->Text().empty(); }

void CPagedTableWnd::ShowValues()
{
    for (Cell& c : cells_) {
        if (c.radio) {
            if (c.field->IntValue() >= 0 && c.field->IntValue() < static_cast<int>(c.radio->GetCount())) {
                c.radio->SetSelection(c.field->IntValue());
            }
            continue;
        }
        const bool blank = Blank(c);
        if (c.check) {
            c.check->SetValue(!blank && c.field->BoolValue());
            c.check->Enable(!blank);
            continue;
        }
        c.text->ChangeValue(blank ? wxString() : U(c.field->Text()));
        c.text->Enable(!blank);
    }
}

wxString CPagedTableWnd::TakeValues()
{
    for (Cell& c : cells_) {
        if (c.field->IsReadOnly() || Blank(c)) continue;
        const std::string error = c.text    ? c.field->SetFromText(c.text->GetValue().utf8_string())
                                  : c.check ? c.field->SetBool(c.check->GetValue())
                                            : c.field->SetInt(c.radio->GetSelection());
        if (!error.empty()) {
            if (c.text) c.text->SetFocus();
            return U(c.field->LabelText()) + ": " + U(Msg(language_, error));
        }
    }
    return U(request_.Check());
}

void CPagedTableWnd::Press(const std::string& name)
{
    if (ShowValueError(this, TakeValues())) return;
    request_.Press(name);
    ShowValues();
}

void CPagedTableWnd::OnOk(wxCommandEvent&)
{
    if (ShowValueError(this, TakeValues())) return;
    EndModal(wxID_OK);
}

}  // namespace velk
