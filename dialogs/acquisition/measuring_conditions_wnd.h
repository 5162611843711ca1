#pragma once
// The windows of the measuring conditions (dialog 244) and of the dialogs it opens (gain, gain
// for all channels, hold, spread, automatic shift stack, signal trigger level): the keypad
// window, laid out for each. A click on a button runs the action of the same number, as Enter
// on its row does.

#include <vector>

class wxWindow;

namespace velk {

class DialogRequest;

// True after OK.
bool ShowMeasuringConditionsWindow(wxWindow* parent, DialogRequest& request, int language);
// The dialog classes shown by it.
const std::vector<const char*>& MeasuringConditionsClasses();

}  // namespace velk
