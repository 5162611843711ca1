#include "dialogs/acquisition/entry_keypads.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "acquisition/keypad_dialogs.h"
#include "acquisition/start_dialogs.h"
#include "platform/language.h"
#include "toolkit/wx_uihost.h"

namespace velk {

namespace {

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

// A read-only text without a label of its own: a line of the dialog, not a field.
bool IsLine(const DialogField& f)
{
    return f.IsReadOnly() && f.Type() == FieldType::String && f.LabelText() == f.Name() &&
           f.Name() != keypad::kFocusField && f.Name() != keypad::kCloseField;
}

bool IsState(const DialogField& f) { return f.Name() == keypad::kFocusField || f.Name() == keypad::kCloseField; }

}  // namespace

CEntryKeypadWnd::CEntryKeypadWnd(wxWindow* parent, DialogRequest& request, int language)
    : KeypadDialog(parent, request, language)
{
}

CEntryKeypadWnd::CEntryKeypadWnd(wxWindow* parent, DialogRequest& request, int language, const Layout& layout)
    : KeypadDialog(parent, request, language, {}, 1, layout.choiceColumns)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    AddLines(top);
    wxSizer* fields = layout.row ? static_cast<wxSizer*>(new wxBoxSizer(wxHORIZONTAL))
                                 : static_cast<wxSizer*>(new wxFlexGridSizer(2, 6, 8));
    for (const DialogField& f : Request().Fields()) {
        if (IsLine(f) || IsState(f)) continue;
        wxWindow* control = ControlNamed(f.Name());
        if (!control) continue;
        wxWindow* label = LabelOf(f.Name());
        if (layout.row) {
            if (f.Name() == layout.pointBefore) fields->Add(Take(new wxStaticText(this, wxID_ANY, ".")), 0, wxALIGN_BOTTOM | wxLEFT | wxRIGHT, 2);
            control->SetMinSize(wxSize(44, -1));
            if (auto* text = dynamic_cast<wxTextCtrl*>(control)) {
                text->SetMaxLength(2);
                text->SetWindowStyleFlag(text->GetWindowStyleFlag() | wxTE_CENTRE);
                // Only the field under the cursor stands out (selected after each key, below).
                text->Bind(wxEVT_KILL_FOCUS, [text](wxFocusEvent& e) {
                    text->SelectNone();
                    e.Skip();
                });
            }
            fields->Add(Take(control), 0, wxLEFT, 4);
            if (!f.UnitText().empty())
                fields->Add(Take(new wxStaticText(this, wxID_ANY, U(f.UnitText()))), 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 6);
        } else if (label) {
            fields->Add(Take(label), 0, wxALIGN_CENTER_VERTICAL);
            fields->Add(Take(control), 0);
        } else {
            fields->Add(Take(control), 0, wxEXPAND);
            fields->AddSpacer(1);
        }
    }
    if (layout.row) {
        // Bound after the keypad window's own handler, so called before it: once the key has
        // been worked, the field under the cursor is selected, whatever the key did to its text.
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            CallAfter([this] {
                auto* text = dynamic_cast<wxTextCtrl*>(FindFocus());
                if (text && text->GetParent() == this) text->SelectAll();
            });
            e.Skip();
        });
    }
    if (!fields->IsEmpty()) top->Add(fields, 0, wxALIGN_CENTER_HORIZONTAL | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    else delete fields;
    if (!layout.okLabel.empty())
        if (auto* ok = dynamic_cast<wxButton*>(ControlNamed(keypad::kFocusOk)))
            ok->SetLabel(U(Msg(Language(), layout.okLabel, layout.okLabelJa)));
    top->Add(ButtonRow(), 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    Finish(top);
}

wxWindow* CEntryKeypadWnd::Take(wxWindow* window)
{
    if (wxSizer* s = window->GetContainingSizer()) s->Detach(window);
    placed_.insert(window);
    window->Show();
    return window;
}

wxWindow* CEntryKeypadWnd::LabelOf(const std::string& field)
{
    auto* text = dynamic_cast<wxTextCtrl*>(ControlNamed(field));
    wxSizer* sizer = text ? text->GetContainingSizer() : nullptr;
    if (!sizer) return nullptr;
    wxWindow* before = nullptr;
    for (wxSizerItem* item : sizer->GetChildren()) {
        if (item->GetWindow() == text) return dynamic_cast<wxStaticText*>(before);
        before = item->GetWindow();
    }
    return nullptr;
}

void CEntryKeypadWnd::AddLines(wxSizer* into)
{
    for (const DialogField& f : Request().Fields()) {
        if (!IsLine(f) || f.Text().empty()) continue;
        into->Add(Take(new wxStaticText(this, wxID_ANY, U(f.Text()))), 0, wxLEFT | wxRIGHT | wxTOP, 12);
    }
    into->AddSpacer(12);
}

wxSizer* CEntryKeypadWnd::ButtonRow()
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (const DialogRequest::Button& b : Request().Buttons()) {
        if (keypad::IsKeyName(b.name)) continue;
        wxWindow* w = ControlNamed(b.name);
        if (w && !placed_.count(w)) row->Add(Take(w), 0, wxRIGHT, 6);
    }
    if (!row->IsEmpty()) row->AddSpacer(18);
    if (wxWindow* ok = ControlNamed(keypad::kFocusOk)) row->Add(Take(ok), 0, wxRIGHT, 6);
    if (wxWindow* cancel = ControlNamed(keypad::kFocusCancel)) row->Add(Take(cancel));
    return row;
}

void CEntryKeypadWnd::Finish(wxSizer* top)
{
    for (wxWindow* child : GetChildren())
        if (!placed_.count(child)) child->Hide();
    SetSizer(top);  // the keypad window's sizer goes; the windows stay
    GetSizer()->SetSizeHints(this);
    Fit();
    CentreOnParent();
    if (wxWindow* w = ControlNamed(KeypadFocus(Request()))) w->SetFocus();
}

CGeometrySetupWnd::CGeometrySetupWnd(wxWindow* parent, DialogRequest& request, int language)
    : CEntryKeypadWnd(parent, request, language)
{
    // Row by row: the action's button, the value it sets, the unit; then the move-receivers
    // choice, which Left and Right work.
    const char* const values[5] = {nullptr, CGeometrySetupDlg::kId, CGeometrySetupDlg::kSource,
                                   CGeometrySetupDlg::kSourceInterval, CGeometrySetupDlg::kFirstReceiver};
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* rows = new wxFlexGridSizer(3, 6, 8);
    for (int r = 0; r < 5; ++r) {
        wxWindow* button = ControlNamed(CGeometrySetupDlg::kActions[r]);
        wxWindow* value = values[r] ? ControlNamed(values[r]) : nullptr;
        if (!button) continue;
        rows->Add(Take(button), 0, wxEXPAND);
        if (value) {
            rows->Add(Take(value), 0, wxALIGN_CENTER_VERTICAL);
            rows->Add(Take(new wxStaticText(this, wxID_ANY, r == 1 ? "" : "m")), 0, wxALIGN_CENTER_VERTICAL);
        } else {
            rows->AddSpacer(1);
            rows->AddSpacer(1);
        }
    }
    top->Add(rows, 0, wxALL, 12);
    if (wxWindow* move = ControlNamed(CGeometrySetupDlg::kMoveReceivers))
        top->Add(Take(move), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    top->Add(ButtonRow(), 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    Finish(top);
}

void RegisterEntryKeypads(WxUiHost& ui)
{
    // Digits side by side; the step confirmation's OK is "Yes".
    const auto entry = [&ui](const char* dialogClass, CEntryKeypadWnd::Layout layout) {
        ui.RegisterDialog(dialogClass, [layout](wxWindow* parent, DialogRequest& request, int language) {
            CEntryKeypadWnd dlg(parent, request, language, layout);
            return dlg.ShowModal() == wxID_OK;
        });
    };
    entry(CSetIdDlg::kClass, {true, "", "", "", 0});
    entry(CSetLineIdDlg::kClass, {true, "", "", "", 0});
    entry(CSetPositionDlg::kClass, {true, CSetPositionDlg::FieldName(CSetPositionDlg::kLast), "", "", 0});
    entry(CShotCountDlg::kClass, {true, "", "", "", 0});
    entry(CStepConfirmDlg::kClass, {false, "", "Yes", "はい", 0});
    // The start menus list their choices one under the other.
    for (const char* menu : {CAcquisitionMenuPcDlg::kClass, CAcquisitionMenuDlg::kClass, CSurfaceWaveStartDlg::kClass})
        entry(menu, {false, "", "", "", 1});
    ui.RegisterDialog(CGeometrySetupDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        CGeometrySetupWnd dlg(parent, request, language);
        return dlg.ShowModal() == wxID_OK;
    });
}

}  // namespace velk
