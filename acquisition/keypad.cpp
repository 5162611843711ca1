#include "acquisition/keypad.h"

#include <array>

namespace velk {

bool keypad::IsKeyName(std::string_view name)
{
    static constexpr std::array<std::string_view, 6> kKeys{kKeyUp, kKeyDown, kKeyLeft, kKeyRight, kKeyEnter, kKeyEsc};
    for (std::string_view k : kKeys)
        if (k == name) return true;
    return false;
}

void AddKeypadState(DialogRequest& request, KeypadState& state)
{
    request.String(keypad::kFocusField, state.focus).ReadOnly();
    request.Int(keypad::kCloseField, state.close, keypad::kStayOpen, keypad::kCloseCancel).ReadOnly();
}

std::string KeypadFocus(const DialogRequest& request)
{
    const DialogField* f = request.Find(keypad::kFocusField);
    return f ? f->StringValue() : std::string();
}

void SetKeypadFocus(DialogRequest& request, const std::string& control)
{
    if (DialogField* f = request.Find(keypad::kFocusField)) f->SetString(control);
}

void RequestKeypadClose(DialogRequest& request, keypad::Close close)
{
    if (DialogField* f = request.Find(keypad::kCloseField)) f->SetInt(close);
}

keypad::Close PressKey(DialogRequest& request, std::string_view key)
{
    RequestKeypadClose(request, keypad::kStayOpen);
    if (!request.Press(key)) {
        if (key == keypad::kKeyEnter) return keypad::kCloseOk;
        if (key == keypad::kKeyEsc) return keypad::kCloseCancel;
        return keypad::kStayOpen;
    }
    const DialogField* f = request.Find(keypad::kCloseField);
    const int close = f ? f->IntValue() : keypad::kStayOpen;
    RequestKeypadClose(request, keypad::kStayOpen);
    return close == keypad::kCloseOk ? keypad::kCloseOk : close == keypad::kCloseCancel ? keypad::kCloseCancel
                                                                                       : keypad::kStayOpen;
}

}  // namespace velk
