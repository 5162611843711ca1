#pragma once
// The generic form: a modal dialog built from a DialogRequest's field list. Numbers and texts
// get an edit box (with the unit after it), a bool a check box, a choice a radio group; a
// read-only text without a label of its own (its label is its name) is a line of text
// across the dialog. Labels, units, choices, lines of text
// and the title are shown in the interface language (their Japanese twins come from the
// message catalogue when the request carries English). OK takes every value through the
// field's own checks and stays open, with the error shown, while one is refused.

#include <string>
#include <vector>

#include <wx/dialog.h>

#include "platform/uihost.h"

class wxCheckBox;
class wxRadioBox;
class wxTextCtrl;

namespace velk {

// Takes the value of a field's editor (edit box, check box or radio group, whichever is not
// null) through the field's own checks. Returns the field's error text; empty when the value
// was taken or the field is read-only.
std::string TakeEditorValue(DialogField& field, wxTextCtrl* text, wxCheckBox* check, wxRadioBox* radio);

class CFormDlg : public wxDialog {
public:
    CFormDlg(wxWindow* parent, DialogRequest& request, int language);

    // Copies the controls into the request's edited values. Returns the first error text
    // ("<label>: <error>"), or empty when all were taken.
    wxString TakeValues();

private:
    struct Control {
        DialogField* field = nullptr;
        wxTextCtrl* text = nullptr;
        wxCheckBox* check = nullptr;
        wxRadioBox* radio = nullptr;
    };
    void OnOk(wxCommandEvent& event);

    DialogRequest& request_;
    int language_;
    std::vector<Control> controls_;
};

}  // namespace velk
