#pragma once
// The keypad dialogs of the acquisition screen. The instrument has no mouse: its keypad works
// a dialog with the arrows, Enter and Esc. A keypad dialog is a DialogRequest whose keys are
// buttons named kKeyUp..kKeyEsc; a key's action changes the edited values, names the control
// that has the focus (the field kFocusField: a field's name, a button's name, "OK" or
// "Cancel") and may close the dialog (the field kCloseField). A window runs the same actions
// for the same keys, and a scripted answer presses them by name (PressKey).
//
// Enter without a button of its own closes the dialog as OK, Esc without one as Cancel.

#include <string>
#include <string_view>

#include "platform/uihost.h"

namespace velk {

namespace keypad {
inline constexpr const char* kKeyUp = "Up";
inline constexpr const char* kKeyDown = "Down";
inline constexpr const char* kKeyLeft = "Left";
inline constexpr const char* kKeyRight = "Right";
inline constexpr const char* kKeyEnter = "Enter";
inline constexpr const char* kKeyEsc = "Esc";
inline constexpr const char* kFocusField = "Focus";
inline constexpr const char* kCloseField = "Close";
inline constexpr const char* kFocusOk = "OK";
inline constexpr const char* kFocusCancel = "Cancel";

// kCloseField's values.
enum Close : int { kStayOpen = 0, kCloseOk = 1, kCloseCancel = 2 };

// True for the names of the keypad's keys (the buttons a window does not show).
bool IsKeyName(std::string_view name);
}  // namespace keypad

// A keypad dialog's own state: the control with the focus and the closing request. Add it to
// the request with AddKeypadState before the keys; it must outlive the request.
struct KeypadState {
    std::string focus;
    int close = keypad::kStayOpen;
};
void AddKeypadState(DialogRequest& request, KeypadState& state);

// The focus and the closing request of the values being edited.
std::string KeypadFocus(const DialogRequest& request);
void SetKeypadFocus(DialogRequest& request, const std::string& control);
void RequestKeypadClose(DialogRequest& request, keypad::Close close);

// Presses one key on the values being edited and says how the dialog goes on: kStayOpen,
// kCloseOk or kCloseCancel. The closing request is consumed. A name that is not a key of the
// request and not Enter or Esc does nothing.
keypad::Close PressKey(DialogRequest& request, std::string_view key);

}  // namespace velk
