#pragma once
// The three dialogs that start acquisition mode: each is one radio group and a welcome line,
// worked with the keypad: Up/Down step the choice, Enter OK, Esc Cancel.
//
// Closing any of them, or Cancel, answers 0: work without the acquisition screens. (The
// toolkit's own Cancel value would otherwise be read as a survey method.)

#include <string>

#include "acquisition/keypad.h"
#include "platform/uihost.h"

namespace velk {

// "QKW menu": the instrument's own acquisition menu. The caller presets the current type and
// takes the answer as the manager's survey type (0 no data acquisition, 1..7 the methods).
struct CAcquisitionMenuDlg {
    static constexpr const char* kClass = "CAcquisitionMenuDlg";
    static constexpr int kLast = 7;
    int type = -1;
    std::string welcome;

    DialogRequest Request(int language);
    // Runs the dialog: the chosen type after OK, 0 after Cancel.
    int Run(UiHost& ui, int language);

private:
    KeypadState keypad_;
};

// "QKW Menu on PC": 0 work without the menu, 1 open an existing file list, 2..4 a method. The
// focus starts on OK; "Make new file list" does nothing.
struct CAcquisitionMenuPcDlg {
    static constexpr const char* kClass = "CAcquisitionMenuPcDlg";
    static constexpr int kLast = 4;
    int choice = -1;
    std::string welcome;

    DialogRequest Request(int language);
    int Run(UiHost& ui, int language);  // 0 after Cancel

private:
    KeypadState keypad_;
};

// The QD7000 wizard choice: 0 active source MASW, 1 passive source MAM.
struct CSurfaceWaveStartDlg {
    static constexpr const char* kClass = "CSurfaceWaveStartDlg";
    static constexpr int kLast = 1;
    int wizard = -1;
    std::string welcome;

    DialogRequest Request(int language);
    // The chosen wizard after OK; nullopt-like -1 after Cancel (the caller then works without
    // the acquisition screens, since 0 is a real choice here).
    int Run(UiHost& ui, int language);

private:
    KeypadState keypad_;
};

}  // namespace velk
