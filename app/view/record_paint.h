#pragma once
// Where one drawing of the record goes: the canvas, the status bar to write to (if any), and
// whether the target is paper (printer, print preview, clipboard copy) rather than the window.

#include <string>

#include "draw/canvas.h"

namespace velk {

class StatusPanes;

struct RecordPaint {
    Canvas& canvas;
    StatusPanes* status = nullptr;  // null: no status bar (tests, export)
    bool printing = false;          // no trigger line, no status texts in the picture
    std::string documentTitle;      // the record title's file name
    std::string currentFileName;    // shown in status pane 5 on the screen
    int32_t visibleRight = 0;       // the window's right edge in logical units; 0: no window
};

}  // namespace velk
