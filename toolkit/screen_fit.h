#pragma once
// Dialogs that fit the screen. A dialog whose fields would make it taller than the work area of
// its display keeps its buttons: the fields lie in a scrolled panel that is cut to the room
// left, and the dialog is moved so that it lies wholly on the work area (a dialog that grows,
// as one whose "Advanced menu" shows more fields, is moved up rather than left hanging below
// the screen's edge).

#include <wx/gdicmn.h>

class wxScrolledWindow;
class wxTopLevelWindow;
class wxWindow;

namespace velk {

// The work area of the display that shows most of `window` (the first display when none does).
wxRect WorkAreaOf(const wxWindow* window);

// Sizes `dialog`, whose fields are the sizer of `body`: the body as large as its fields, or
// scrolling when that would make the dialog taller than the work area; then fits the dialog
// and keeps it on the work area. Call it again after fields are shown or hidden.
void FitOnScreen(wxTopLevelWindow* dialog, wxScrolledWindow* body);

// Moves `window` up and left as far as needed to lie within the work area (never above or left
// of it).
void KeepOnScreen(wxTopLevelWindow* window);

}  // namespace velk
