#pragma once
// The "Receiver interval" window (acquisition/receiver_interval_dlg.h) as the acquisition's
// geometry entry shows it: the presets as radio buttons that the arrows step through (Left and
// Up the one before, Right and Down the next), the free value in metres, OK and Cancel. Enter is
// OK and Esc Cancel whatever has the focus, so that the instrument's keypad alone works it.

#include <wx/dialog.h>

#include "platform/uihost.h"

class wxKeyEvent;
class wxTextCtrl;

namespace velk {

class KeypadChoice;

class CReceiverIntervalWnd : public wxDialog {
public:
    CReceiverIntervalWnd(wxWindow* parent, DialogRequest& request, int language);

private:
    void OnKey(wxKeyEvent& event);
    // The controls into the request; closes with OK unless a value is refused (then says so).
    void Accept();

    DialogRequest& request_;
    int language_;
    KeypadChoice* choice_ = nullptr;
    wxTextCtrl* value_ = nullptr;
};

}  // namespace velk
