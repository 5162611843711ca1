#include "dialogs/surfacewave/advanced_form_wnd.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobox.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/language.h"
#include "toolkit/form_dlg.h"
#include "toolkit/screen_fit.h"
#include "toolkit/value_error.h"

namespace velk {

namespace {

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

}  // namespace

CAdvancedFormWnd::CAdvancedFormWnd(wxWindow* parent, DialogRequest& request, int language, AdvancedFormLayout layout)
    : wxDialog(parent, wxID_ANY, U(request.Title()), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      request_(request),
      language_(language),
      layout_(std::move(layout))
{
    // The fields scroll in a panel of their own when the screen is too low for them all.
    body_ = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL);
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* fields = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(3, 6, 8);
    grid->AddGrowableCol(1, 1);
    for (DialogField& field : request_.Fields()) {
        Control c;
        c.field = &field;
        auto* label = new wxStaticText(body_, wxID_ANY, field.Type() == FieldType::Bool ? wxString() : U(field.LabelText()));
        wxWindow* editor = nullptr;
        if (field.Type() == FieldType::Choice) {
            wxArrayString choices;
            for (const std::string& s : field.Choices()) choices.Add(U(s));
            // Long groups (the array presets) go in rows of four.
            const int columns = choices.size() > 6 ? 4 : 0;
            c.radio = new wxRadioBox(body_, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, choices, columns,
                                     wxRA_SPECIFY_COLS);
            editor = c.radio;
            c.radio->Bind(wxEVT_RADIOBOX, [this](wxCommandEvent&) { UpdateVisibility(); });
        } else if (field.Type() == FieldType::Bool) {
            c.check = new wxCheckBox(body_, wxID_ANY, U(field.LabelText()));
            editor = c.check;
        } else {
            c.text = new wxTextCtrl(body_, wxID_ANY, wxString(), wxDefaultPosition, wxSize(120, -1),
                                    field.IsReadOnly() ? wxTE_READONLY : 0);
            editor = c.text;
        }
        auto* unit = new wxStaticText(body_, wxID_ANY, U(field.UnitText()));
        grid->Add(label, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(editor, 1, wxEXPAND);
        grid->Add(unit, 0, wxALIGN_CENTER_VERTICAL);
        c.windows = {label, editor, unit};
        controls_.push_back(c);
    }
    fields->Add(grid, 1, wxEXPAND | wxALL, 12);
    body_->SetSizer(fields);
    top->Add(body_, 1, wxEXPAND);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    for (const DialogRequest::Button& b : request_.Buttons()) {
        auto* button = new wxButton(this, wxID_ANY, U(b.label.empty() ? b.name : b.label));
        const std::string name = b.name;
        button->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { PressButton(name); });
        buttons->Add(button, 0, wxRIGHT, 6);
        buttons_.emplace_back(name, button);
    }
    auto* advanced = new wxButton(this, wxID_ANY, U(Msg(language_, "Advanced menu", "詳細メニュー")));
    auto* ok = new wxButton(this, wxID_OK, "OK");
    auto* cancel = new wxButton(this, wxID_CANCEL, U(Msg(language_, "Cancel")));
    buttons->Add(advanced, 0, wxRIGHT, 24);
    buttons->Add(ok, 0, wxRIGHT, 6);
    buttons->Add(cancel);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    ok->SetDefault();
    ok->Bind(wxEVT_BUTTON, &CAdvancedFormWnd::OnOk, this);
    advanced->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ToggleAdvanced(); });
    ShowValues();
    SetSizer(top);
    UpdateVisibility();
    CentreOnParent();
    KeepOnScreen(this);
    if (layout_.focusOk) ok->SetFocus();
}

CAdvancedFormWnd::Control* CAdvancedFormWnd::Find(const std::string& name)
{
    for (Control& c : controls_)
        if (c.field->Name() == name) return &c;
    return nullptr;
}

const CAdvancedFormWnd::Control* CAdvancedFormWnd::Find(const std::string& name) const
{
    return const_cast<CAdvancedFormWnd*>(this)->Find(name);
}

void CAdvancedFormWnd::ShowValues()
{
    for (Control& c : controls_) {
        if (c.text) {
            c.text->ChangeValue(U(c.field->Text()));
        } else if (c.check) {
            c.check->SetValue(c.field->BoolValue());
        } else if (c.radio && c.field->IntValue() >= 0 && c.field->IntValue() < static_cast<int>(c.radio->GetCount())) {
            c.radio->SetSelection(c.field->IntValue());
        }
    }
}

void CAdvancedFormWnd::UpdateVisibility()
{
    for (Control& c : controls_) {
        const std::string& name = c.field->Name();
        bool shown = std::find(layout_.advanced.begin(), layout_.advanced.end(), name) == layout_.advanced.end() ||
                     advancedShown_;
        if (!layout_.dependent.empty() && name == layout_.dependent) {
            const Control* selector = Find(layout_.selector);
            shown = shown && selector && selector->radio && selector->radio->GetSelection() == layout_.selectorChoice;
        }
        for (wxWindow* w : c.windows) w->Show(shown);
        if (c.radio && name == layout_.advancedChoiceField) {
            for (int choice : layout_.advancedChoices) {
                if (choice >= 0 && choice < static_cast<int>(c.radio->GetCount())) {
                    c.radio->Show(static_cast<unsigned>(choice), advancedShown_);
                }
            }
        }
    }
    for (auto& [name, button] : buttons_) {
        const bool advanced =
            std::find(layout_.advancedButtons.begin(), layout_.advancedButtons.end(), name) != layout_.advancedButtons.end();
        button->Show(!advanced || advancedShown_);
    }
    body_->Layout();
    FitOnScreen(this, body_);
}

bool CAdvancedFormWnd::FieldShown(const std::string& name) const
{
    const Control* c = Find(name);
    return c && c->windows[1]->IsShown();
}

void CAdvancedFormWnd::Choose(const std::string& name, int choice)
{
    Control* c = Find(name);
    if (!c || !c->radio) return;
    c->radio->SetSelection(choice);
    UpdateVisibility();
}

wxString CAdvancedFormWnd::TakeValues()
{
    for (Control& c : controls_) {
        const std::string error = TakeEditorValue(*c.field, c.text, c.check, c.radio);
        if (!error.empty()) {
            if (c.text) c.text->SetFocus();
            return U(c.field->LabelText()) + ": " + U(Msg(language_, error));
        }
    }
    return U(request_.Check());
}

bool CAdvancedFormWnd::ButtonShown(const std::string& name) const
{
    for (const auto& [n, button] : buttons_)
        if (n == name) return button->IsShown();
    return false;
}

bool CAdvancedFormWnd::PressButton(const std::string& name)
{
    if (ShowValueError(this, TakeValues())) return false;
    if (!request_.Press(name)) return false;
    ShowValues();
    UpdateVisibility();
    return true;
}

bool CAdvancedFormWnd::ToggleAdvanced()
{
    if (ShowValueError(this, TakeValues())) return false;
    advancedShown_ = !advancedShown_;
    UpdateVisibility();
    return true;
}

void CAdvancedFormWnd::OnOk(wxCommandEvent&)
{
    if (ShowValueError(this, TakeValues())) return;
    EndModal(wxID_OK);
}

}  // namespace velk
