#pragma once
// The window of dialog 235 "Automatic picking": the centre frequency, the number of checking
// and the portion in edits 1162, 1163 and 1164 with their units, and the "BPF" check box 1254.

#include <wx/dialog.h>

#include "platform/uihost.h"

class wxCheckBox;
class wxTextCtrl;

namespace velk {

class CAutoPickSetupWnd : public wxDialog {
public:
    CAutoPickSetupWnd(wxWindow* parent, DialogRequest& request, int language);

    // Copies the controls into the request's edited values; the first error, or empty.
    wxString TakeValues();

private:
    void OnOk(wxCommandEvent& event);

    DialogRequest& request_;
    int language_;
    wxTextCtrl* edits_[3] = {};
    wxCheckBox* bandPass_ = nullptr;
};

}  // namespace velk
