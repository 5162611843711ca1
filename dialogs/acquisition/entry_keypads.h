#pragma once
// The windows of the acquisition screen's entry dialogs (acquisition/keypad_dialogs.h) and of
// the start menus (acquisition/start_dialogs.h), on the keypad window: the keys and buttons work the core
// dialog, these only place its controls.
//
// CEntryKeypadWnd shows the request's read-only texts without a label (a title, a prompt, a
// message, a welcome) as lines at the top, then the fields, one under the other or side by side
// as the digits of a number, then the request's buttons with OK and Cancel.
// CGeometrySetupWnd puts each action's button on the row of the value it sets.

#include <set>
#include <string>

#include "dialogs/acquisition/keypad_dialog.h"

class wxSizer;

namespace velk {

class WxUiHost;

// Registers the windows below for their dialog classes.
void RegisterEntryKeypads(WxUiHost& ui);

class CEntryKeypadWnd : public KeypadDialog {
public:
    struct Layout {
        bool row = false;         // fields side by side, without their labels (the digits of a number)
        std::string pointBefore;  // the field a decimal point stands before
        std::string okLabel;      // the text of OK, when not "OK", and its Japanese twin
        std::string okLabelJa;
        int choiceColumns = 0;    // a choice's buttons in one row, or in columns (a menu: 1)
    };
    CEntryKeypadWnd(wxWindow* parent, DialogRequest& request, int language, const Layout& layout);

protected:
    CEntryKeypadWnd(wxWindow* parent, DialogRequest& request, int language);

    // A window of this dialog placed anew: taken out of the sizer it stands in.
    wxWindow* Take(wxWindow* window);
    // The label the keypad window put before a field's edit box, or null.
    wxWindow* LabelOf(const std::string& field);
    // The request's lines of text (see above), each a static text.
    void AddLines(wxSizer* into);
    // The request's buttons other than the keys and those placed already, OK and Cancel, in a row.
    wxSizer* ButtonRow();
    // The new layout in place: every window not placed is hidden; the focus is set again.
    void Finish(wxSizer* top);

private:
    std::set<wxWindow*> placed_;
};

class CGeometrySetupWnd : public CEntryKeypadWnd {
public:
    CGeometrySetupWnd(wxWindow* parent, DialogRequest& request, int language);
};

}  // namespace velk
