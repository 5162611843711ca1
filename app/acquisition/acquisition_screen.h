#pragma once
// The acquisition screen in the view's paint: the monitor panel (shown while the monitor runs
// and no record is shown), the key bar, the status texts and panes, and the line banner. The
// monitor strip itself is drawn over the kept picture on every paint, so that a tick repaints
// only the column it advanced into.

#include <string>

#include "draw/canvas.h"

namespace velk {

class Canvas;
class Workspace;
struct RecordPaint;

// The current mode's texts on the screen: its name, step, status, guide and prompt. Without a
// mode, those of general acquisition.
struct ModeScreenTexts {
    std::string name;
    int step = 0;
    std::string status;
    std::string guide;
    std::string prompt;
};
ModeScreenTexts ModeTexts(const Workspace& ws);

// The axes frame of a 2000 ms record across the spread (first receiver .. + 23 intervals,
// 0.85 units per ms, 34 units per interval; the view's scales and axis choice are restored),
// the channel labels, the line banner at (1250, -1160), the status texts, key bar A and the
// gain and hold boxes.
void DrawMonitorPanel(RecordPaint& paint, Workspace& ws);
// Key bar A, or B while Shift is held, and the status texts of the paint's top lines.
void DrawAcquisitionBars(RecordPaint& paint, Workspace& ws);
// The line banner where the record leaves room: at the larger of the frame's right edge - 700
// and 1250, 10 below the top.
void DrawLineBannerOf(RecordPaint& paint, Workspace& ws);
// The eight status panes into the paint's status bar.
void UpdateAcquisitionPanes(RecordPaint& paint, Workspace& ws);
// The monitor strip while the monitor runs over its panel (no record shown).
void DrawMonitorStrip(Canvas& canvas, const Workspace& ws);
// Where a running operation's text asked at `at` stands. On the acquisition screen key bar A
// holds the top line (10 to 1400, down to -60): texts asked there stand under it, the first
// at (10, -60); elsewhere at `at`.
LPoint ProgressTextPlace(const Workspace& ws, LPoint at);

}  // namespace velk
