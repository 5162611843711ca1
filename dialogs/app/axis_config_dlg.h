#pragma once
// The window of the "Axis configuration" dialog: the fields of CAxisConfigDlg in their groups,
// each control under its dialog id. Choosing the other units rescales the six axis values and
// relabels their units at once, through the core's rules.

#include <map>

#include <wx/dialog.h>

#include "platform/uihost.h"

class wxCheckBox;
class wxRadioBox;
class wxStaticText;
class wxTextCtrl;

namespace velk {

class CAxisConfigWnd : public wxDialog {
public:
    CAxisConfigWnd(wxWindow* parent, DialogRequest& request, int language);

    // Copies the controls into the request's edited values; the first error, or empty.
    wxString TakeValues();

private:
    wxTextCtrl* Edit(wxWindow* parent, int id, const char* field);
    wxCheckBox* Check(wxWindow* parent, int id, const char* field);
    wxRadioBox* Radio(wxWindow* parent, int id, const char* field);
    wxString Label(const char* field) const;
    void OnUnits(wxCommandEvent& event);
    void OnOk(wxCommandEvent& event);

    DialogRequest& request_;
    int language_;
    int units_ = 0;
    bool feet_ = false;
    std::map<std::string, wxTextCtrl*> edits_;
    std::map<std::string, wxCheckBox*> checks_;
    std::map<std::string, wxRadioBox*> radios_;
    wxStaticText* unitLabels_[8] = {};
};

}  // namespace velk
