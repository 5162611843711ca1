#pragma once
// The window of dialog 180 "tau-p transform": its fields in the order of their edits, and the
// "Calculate velocity" button, which runs the core's CTauPTransformDlg::CalculateVelocity on the
// values being edited and shows the number of p and the two velocities it gives.

#include <vector>

#include <wx/dialog.h>

#include "platform/uihost.h"

class wxRadioBox;
class wxTextCtrl;

namespace velk {

class CTauPTransformWnd : public wxDialog {
public:
    CTauPTransformWnd(wxWindow* parent, DialogRequest& request, int language);

    // Copies the controls into the request's edited values; the first error, or empty.
    wxString TakeValues();
    // "Calculate velocity", as its button does it.
    void CalculateVelocity();

private:
    struct Control {
        DialogField* field = nullptr;
        wxTextCtrl* text = nullptr;
        wxRadioBox* radio = nullptr;
    };
    void ShowValues();
    void OnOk(wxCommandEvent& event);

    DialogRequest& request_;
    int language_;
    std::vector<Control> controls_;
};

}  // namespace velk
