#pragma once
// Dialog 260 "Display" of the acquisition screen: the view's normalisation and trace style,
// worked with the keypad. Up chooses the normalisation row, Down the waveform row; Left and
// Right step the chosen row's radio group; Enter OK, Esc Cancel.

#include "acquisition/keypad.h"
#include "platform/uihost.h"

namespace velk {

class CAcqDisplayDlg {
public:
    static constexpr const char* kClass = "CAcqDisplayDlg";
    static constexpr const char* kNormalize = "Normalize";
    static constexpr const char* kWaveform = "Waveform";
    static constexpr const char* kRow = "Row";

    int normalize = 0;  // 0 "On", 1 "Off"
    int waveform = 0;   // 0 "Wiggle", 1 "Plus", 2 "Minus"
    int row = 0;        // 0 normalize, 1 waveform

    DialogRequest Request(int language);

    // The view's normalisation (0 each trace by itself, shown as "On"; 1 by the whole record)
    // and trace style (0 wiggle, 1 positive, -1 negative, shown as "Minus") through the dialog;
    // true after OK with both written back.
    static bool Edit(UiHost& ui, int language, int& normalisation, int& traceStyle);

private:
    KeypadState keypad_;
};

}  // namespace velk
