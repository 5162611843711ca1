#pragma once
// What a window with its own controls does when a value it takes is refused: show the error in
// a warning box over the window, which then stays open for the value to be corrected.

#include <wx/string.h>

class wxWindow;

namespace velk {

// Shows `error` in a warning box over `parent` when it is not empty. Returns whether it did
// (the caller then stays as it is).
bool ShowValueError(wxWindow* parent, const wxString& error);

}  // namespace velk
