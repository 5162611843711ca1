#include "dialogs/acquisition/keypad_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "platform/language.h"
#include "toolkit/value_error.h"

namespace velk {

namespace {

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

bool KeypadStateField(const DialogField& f)
{
    return f.Name() == keypad::kFocusField || f.Name() == keypad::kCloseField;
}

// The keypad's key for a key code; empty for the others.
std::string KeyOf(int code)
{
    switch (code) {
    case WXK_UP:
    case WXK_NUMPAD_UP: return keypad::kKeyUp;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN: return keypad::kKeyDown;
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT: return keypad::kKeyLeft;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT: return keypad::kKeyRight;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: return keypad::kKeyEnter;
    case WXK_ESCAPE: return keypad::kKeyEsc;
    default: return {};
    }
}

}  // namespace

KeypadChoice::KeypadChoice(wxWindow* parent, const wxString& label, const std::vector<wxString>& choices, int columns)
    : wxPanel(parent, wxID_ANY)
{
    auto* frame = new wxStaticBoxSizer(wxHORIZONTAL, this, label);
    wxSizer* into = frame;
    if (columns > 0) {
        into = new wxGridSizer(columns, 0, 0);
        frame->Add(into);
    }
    for (size_t i = 0; i < choices.size(); ++i) {
        auto* button = new wxRadioButton(frame->GetStaticBox(), wxID_ANY, choices[i], wxDefaultPosition,
                                         wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        into->Add(button, 0, wxALL, 3);
        buttons_.push_back(button);
    }
    SetSizerAndFit(frame);
}

int KeypadChoice::GetSelection() const
{
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->GetValue()) return static_cast<int>(i);
    return -1;
}

void KeypadChoice::SetSelection(int index)
{
    if (index >= 0 && index < GetCount()) buttons_[static_cast<size_t>(index)]->SetValue(true);
}

void KeypadChoice::SetFocus()
{
    const int chosen = GetSelection();
    if (!buttons_.empty()) buttons_[static_cast<size_t>(std::max(chosen, 0))]->SetFocus();
}

wxWindow* KeypadDialog::Control::Window() const
{
    if (text) return text;
    if (radio) return radio;
    return check;
}

KeypadDialog::KeypadDialog(wxWindow* parent, DialogRequest& request, int language, const std::string& headline,
                           int fieldColumns, int choiceColumns)
    : wxDialog(parent, wxID_ANY, U(request.Title()), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      request_(request),
      language_(language)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    if (!headline.empty()) top->Add(new wxStaticText(this, wxID_ANY, U(headline)), 0, wxALL, 12);
    auto* fields = new wxFlexGridSizer(2 * std::max(fieldColumns, 1), 6, 8);
    for (DialogField& field : request_.Fields()) {
        if (KeypadStateField(field)) continue;
        Control c;
        c.field = &field;
        const wxString label = U(Msg(language, field.LabelText()));
        if (field.Type() == FieldType::Choice) {
            std::vector<wxString> choices;
            for (const std::string& s : field.Choices()) choices.push_back(U(Msg(language, s)));
            c.radio = new KeypadChoice(this, label, choices, choiceColumns);
            c.radio->Enable(!field.IsReadOnly());
            fields->Add(c.radio, 0, wxEXPAND);
            fields->AddSpacer(1);
        } else if (field.Type() == FieldType::Bool) {
            c.check = new wxCheckBox(this, wxID_ANY, label);
            c.check->Enable(!field.IsReadOnly());
            fields->Add(c.check, 0, wxALIGN_CENTER_VERTICAL);
            fields->AddSpacer(1);
        } else {
            fields->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
            c.text = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(140, -1),
                                    field.IsReadOnly() ? wxTE_READONLY : 0);
            fields->Add(c.text, 0);
        }
        controls_.push_back(c);
    }
    top->Add(fields, 0, wxLEFT | wxRIGHT | wxBOTTOM | (headline.empty() ? wxTOP : 0), 12);

    int shown = 0;
    for (const DialogRequest::Button& b : request_.Buttons()) shown += keypad::IsKeyName(b.name) ? 0 : 1;
    wxSizer* actions = shown > 4 ? static_cast<wxSizer*>(new wxGridSizer(4, 6, 6)) : new wxBoxSizer(wxHORIZONTAL);
    for (const DialogRequest::Button& b : request_.Buttons()) {
        if (keypad::IsKeyName(b.name)) continue;
        auto* button = new wxButton(this, wxID_ANY, U(Msg(language, b.label)));
        const std::string name = b.name;
        button->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { Press(name); });
        actions->Add(button, 0, shown > 4 ? static_cast<int>(wxEXPAND) : static_cast<int>(wxRIGHT), 6);
        buttons_.emplace_back(name, button);
    }
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    if (shown > 4) {
        top->Add(actions, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    } else {
        buttons->Add(actions);
    }
    buttons->AddSpacer(18);
    ok_ = new wxButton(this, wxID_OK, "OK");
    ok_->Bind(wxEVT_BUTTON, &KeypadDialog::OnOk, this);
    buttons->Add(ok_, 0, wxRIGHT, 6);
    if (!request_.IsOkOnly()) {
        cancel_ = new wxButton(this, wxID_CANCEL, U(Msg(language, "Cancel")));
        buttons->Add(cancel_);
    }
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    Bind(wxEVT_CHAR_HOOK, &KeypadDialog::OnKey, this);
    ShowValues();
    SetSizerAndFit(top);
    CentreOnParent();
    if (wxWindow* w = ControlNamed(KeypadFocus(request_))) w->SetFocus();
}

wxWindow* KeypadDialog::ControlNamed(const std::string& name)
{
    if (name == keypad::kFocusOk) return ok_;
    if (name == keypad::kFocusCancel) return cancel_;
    for (const Control& c : controls_)
        if (c.field->Name() == name) return c.Window();
    for (const auto& [button, window] : buttons_)
        if (button == name) return window;
    return nullptr;
}

void KeypadDialog::ShowValues()
{
    for (Control& c : controls_) {
        if (c.radio) {
            const int v = c.field->IntValue();
            c.radio->SetSelection(v);
        } else if (c.check) {
            c.check->SetValue(c.field->BoolValue());
        } else {
            c.text->ChangeValue(U(c.field->Text()));
        }
    }
}

wxString KeypadDialog::TakeValues(bool checkLimits)
{
    for (Control& c : controls_) {
        if (c.field->IsReadOnly()) continue;
        const std::string error = c.text    ? c.field->SetFromText(c.text->GetValue().utf8_string())
                                  : c.check ? c.field->SetBool(c.check->GetValue())
                                            : c.field->SetInt(c.radio->GetSelection());
        if (!error.empty()) {
            if (c.text) c.text->SetFocus();
            return U(Msg(language_, c.field->LabelText())) + ": " + U(Msg(language_, error));
        }
    }
    return checkLimits ? U(request_.Check()) : wxString();
}

bool KeypadDialog::EndWithValues()
{
    if (ShowValueError(this, TakeValues())) return false;
    EndModal(wxID_OK);
    return true;
}

void KeypadDialog::Press(const std::string& name)
{
    const wxString error = TakeValues(false);
    if (!error.empty() && name == keypad::kKeyEsc) {
        EndModal(wxID_CANCEL);  // nothing of the edited values is taken
        return;
    }
    if (ShowValueError(this, error)) return;
    Settle(PressKey(request_, name));
}

void KeypadDialog::Settle(keypad::Close close)
{
    if (close == keypad::kCloseCancel) {
        EndModal(wxID_CANCEL);
        return;
    }
    ShowValues();
    if (close == keypad::kCloseOk && EndWithValues()) return;
    if (wxWindow* w = ControlNamed(KeypadFocus(request_))) w->SetFocus();
}

void KeypadDialog::OnKey(wxKeyEvent& event)
{
    const std::string key = KeyOf(event.GetKeyCode());
    if (key.empty() || event.HasAnyModifiers()) {
        event.Skip();
        return;
    }
    Press(key);
}

void KeypadDialog::OnOk(wxCommandEvent&) { EndWithValues(); }

}  // namespace velk
