#pragma once
// The three dialogs that start acquisition mode, as plain structs shown through the UiHost's
// generic form: each is one radio group and a welcome line. The keypad keys of the acquisition
// screens come with the acquisition work.
//
// Closing any of them, or Cancel, answers 0: work without the acquisition screens. (The
// toolkit's own Cancel value would otherwise be read as a survey method.)

#include <string>

#include "platform/uihost.h"

namespace velk {

// "QKW menu": the instrument's own acquisition menu. The caller presets the current type and
// takes the answer as the manager's survey type (0 no data acquisition, 1..7 the methods).
struct CAcquisitionMenuDlg {
    static constexpr const char* kClass = "CAcquisitionMenuDlg";
    int type = -1;
    std::string welcome;

    DialogRequest Request(int language);
    // Runs the dialog: the chosen type after OK, 0 after Cancel.
    int Run(UiHost& ui, int language);
};

// "QKW Menu on PC": 0 work without the menu, 1 open an existing file list, 2..4 a method.
struct CAcquisitionMenuPcDlg {
    static constexpr const char* kClass = "CAcquisitionMenuPcDlg";
    int choice = -1;
    std::string welcome;

    DialogRequest Request(int language);
    int Run(UiHost& ui, int language);  // 0 after Cancel
};

// The QD7000 wizard choice: 0 active source MASW, 1 passive source MAM.
struct CSurfaceWaveStartDlg {
    static constexpr const char* kClass = "CSurfaceWaveStartDlg";
    int wizard = -1;
    std::string welcome;

    DialogRequest Request(int language);
    // The chosen wizard after OK; nullopt-like -1 after Cancel (the caller then works without
    // the acquisition screens, since 0 is a real choice here).
    int Run(UiHost& ui, int language);
};

}  // namespace velk
