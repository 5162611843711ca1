#pragma once
// The window of a keypad dialog (acquisition/keypad.h): one control per field (a radio group
// per choice, an edit box per number or text, a check box per flag), the request's buttons
// other than the keys, then OK and Cancel. The arrows, Enter and Esc go to the request's key
// actions before any control sees them (the toolkit's radio groups and the default button would
// take them otherwise); the focus follows the request's focus field, and a key that asks to
// close ends the dialog. A click on a button runs that button's action the same way.
//
// A choice is a framed row of radio buttons, each a window of its own, so that the keys reach
// the dialog whichever button has the focus (a toolkit radio box keeps the arrows for its own
// focus ring and hands the dialog nothing).
//
// The dialogs of the acquisition screen are shown in this window or in one derived from it.

#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/panel.h>

#include "acquisition/keypad.h"

class wxButton;
class wxCheckBox;
class wxKeyEvent;
class wxRadioButton;
class wxTextCtrl;
class wxWindow;

namespace velk {

// A choice of the keypad window: its label on a frame round one radio button per choice, in
// one row or in rows of `columns`. Focusing the group focuses the chosen button.
class KeypadChoice : public wxPanel {
public:
    KeypadChoice(wxWindow* parent, const wxString& label, const std::vector<wxString>& choices, int columns = 0);
    int GetSelection() const;
    void SetSelection(int index);
    int GetCount() const { return static_cast<int>(buttons_.size()); }
    void SetFocus() override;

private:
    std::vector<wxRadioButton*> buttons_;
};

class KeypadDialog : public wxDialog {
public:
    // `headline` (may be empty) stands above the controls, which stand in `fieldColumns`
    // columns; a choice's buttons stand in one row, or in `choiceColumns` columns (a menu: 1);
    // more than four buttons wrap in rows of four.
    KeypadDialog(wxWindow* parent, DialogRequest& request, int language, const std::string& headline = {},
                 int fieldColumns = 1, int choiceColumns = 0);

    // The edit boxes into the request; the first error, or empty. The limits of the fields are
    // checked with `checkLimits` only (on OK): a key or button reads the edits, and a value out
    // of range is reported when the dialog is to close with it.
    wxString TakeValues(bool checkLimits = true);
    void ShowValues();
    // A key of the keypad (keypad::kKeyUp ..) as pressing it does, or a button of the request
    // as clicking it does.
    void Press(const std::string& name);

protected:
    DialogRequest& Request() { return request_; }
    int Language() const { return language_; }
    // The control named by the request's focus field: a field's, a button's, OK or Cancel.
    wxWindow* ControlNamed(const std::string& name);

private:
    struct Control {
        DialogField* field = nullptr;
        wxTextCtrl* text = nullptr;
        KeypadChoice* radio = nullptr;
        wxCheckBox* check = nullptr;
        wxWindow* Window() const;
    };
    void OnKey(wxKeyEvent& event);
    void OnOk(wxCommandEvent& event);
    // After a key or a button: the values shown, then the focus or the end of the dialog.
    void Settle(keypad::Close close);
    bool EndWithValues();

    DialogRequest& request_;
    int language_;
    std::vector<Control> controls_;
    std::vector<std::pair<std::string, wxButton*>> buttons_;
    wxButton* ok_ = nullptr;
    wxButton* cancel_ = nullptr;
};

}  // namespace velk
