#pragma once
// CTwoChoiceDlg: a question with two buttons whose labels are given at run time, titled with
// the program's name. The first button answers 1, the second 2. Left moves the focus to the
// first button and makes 1 the choice, Right does the same for the second button and 2; Enter
// answers the focused button's choice; Escape and the close box answer 2. The default choice
// has the focus when the dialog opens.

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

namespace velk {

class CTwoChoiceDlg : public wxDialog {
public:
    CTwoChoiceDlg(wxWindow* parent, const wxString& message, int defaultChoice,
                  const wxString& first, const wxString& second);

    // Shows the dialog modally; returns 1 or 2.
    int Ask();
    int Choice() const { return choice_; }

    // The key handling, callable directly (the tests drive it without a keyboard).
    // Returns true when the key was one of the dialog's own.
    bool HandleKey(int keyCode);

    wxButton* FirstButton() const { return first_; }
    wxButton* SecondButton() const { return second_; }

private:
    void OnCharHook(wxKeyEvent& event);
    void Finish(int choice);

    wxTextCtrl* text_ = nullptr;
    wxButton* first_ = nullptr;
    wxButton* second_ = nullptr;
    int choice_ = 1;
};

}  // namespace velk
