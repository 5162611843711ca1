#pragma once
// A parameter form with an "Advanced menu" button: the fields named as advanced start hidden;
// the button first takes the values from the controls (refusing a bad one with its message)
// and then shows or hides them. A field may also depend on a radio group: it is shown only
// while the advanced fields are and the group's choice is the given one (the SPAC radios of
// the phase velocity-frequency transformation, shown only for the SPAC method).

#include <string>
#include <utility>
#include <vector>

#include <wx/dialog.h>

#include "platform/uihost.h"

class wxFlexGridSizer;
class wxRadioBox;
class wxScrolledWindow;
class wxTextCtrl;
class wxCheckBox;
class wxWindow;

namespace velk {

struct AdvancedFormLayout {
    std::vector<std::string> advanced;  // field names hidden until "Advanced menu"
    std::string dependent;              // a field shown only when `selector` has `selectorChoice`
    std::string selector;
    int selectorChoice = 0;
    // Radios of one group hidden until "Advanced menu" (the group's name, the choice indices).
    std::string advancedChoiceField;
    std::vector<int> advancedChoices;
    // The request's own buttons hidden until "Advanced menu" (by name); the others always show.
    std::vector<std::string> advancedButtons;
    bool focusOk = false;  // the focus starts on OK
};

class CAdvancedFormWnd : public wxDialog {
public:
    CAdvancedFormWnd(wxWindow* parent, DialogRequest& request, int language, AdvancedFormLayout layout);

    // Copies the controls into the request's edited values; the first error, or empty.
    wxString TakeValues();
    // What the "Advanced menu" button does; false when a value was refused.
    bool ToggleAdvanced();
    bool AdvancedShown() const { return advancedShown_; }
    // Whether the named field's controls are shown.
    bool FieldShown(const std::string& name) const;
    // Chooses a radio of a group as a click would (the dependent field follows).
    void Choose(const std::string& name, int choice);
    // Whether the request's named button is shown.
    bool ButtonShown(const std::string& name) const;
    // What a click on the request's named button does: the values taken, the action, the values
    // shown again. False when a value was refused or there is no such button.
    bool PressButton(const std::string& name);

private:
    struct Control {
        DialogField* field = nullptr;
        std::vector<wxWindow*> windows;  // label, editor, unit
        wxTextCtrl* text = nullptr;
        wxRadioBox* radio = nullptr;
        wxCheckBox* check = nullptr;
    };
    void ShowValues();
    void UpdateVisibility();
    void OnOk(wxCommandEvent& event);
    Control* Find(const std::string& name);
    const Control* Find(const std::string& name) const;

    DialogRequest& request_;
    int language_;
    AdvancedFormLayout layout_;
    std::vector<Control> controls_;
    std::vector<std::pair<std::string, wxWindow*>> buttons_;
    wxScrolledWindow* body_ = nullptr;  // the fields' panel
    bool advancedShown_ = false;
};

}  // namespace velk
