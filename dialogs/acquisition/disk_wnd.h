#pragma once
// The windows of "Disk" (CDiskDlg) and "Copy files" (CCopyFilesDlg).
//
// "Disk" is the keypad window laid out as the instrument's screen: one row per keypad row,
// top to bottom, with its button; the ID and line-ID edits beside "Set ID" and "Set line ID".
// "Copy files" is a list of the files with OK and Cancel; the arrows move in the list, Enter
// (or a double click) is OK.

#include <wx/dialog.h>

#include "dialogs/acquisition/keypad_dialog.h"

class wxListBox;

namespace velk {

class CDiskWnd : public KeypadDialog {
public:
    CDiskWnd(wxWindow* parent, DialogRequest& request, int language);
};

class CCopyFilesWnd : public wxDialog {
public:
    CCopyFilesWnd(wxWindow* parent, DialogRequest& request, int language);
    // The list's selection into the request; called on OK.
    bool TransferDataFromWindow() override;

private:
    DialogRequest& request_;
    wxListBox* list_ = nullptr;
};

}  // namespace velk
