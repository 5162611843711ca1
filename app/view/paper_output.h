#pragma once
// The record on paper: printing and the clipboard copy.
//
// While the record goes to a printer, a print preview or the clipboard, the printing flag is 1
// (no trigger line) and the screen flag 0 (the edit status writes no text into the picture);
// both come back to 0 and 1 at the end, however the job ends. PaperScope holds them.
//
// The copy: the record drawn as SVG over the frame (0, 0) to (right extent x 10 + 2500,
// bottom extent x 10 + 2000) in 0.01 mm, the extents being those of the last paint, and a
// bitmap of the same frame at the screen's scale; both go onto the clipboard together.

#include <string>

#include "draw/svg_canvas.h"

namespace velk {

class UiHost;
class Workspace;
struct RecordLayout;

// Printing flag := 1 and screen flag := 0 for its life; the values found come back at its end.
class PaperScope {
public:
    explicit PaperScope(Workspace& ws);
    ~PaperScope();
    PaperScope(const PaperScope&) = delete;
    PaperScope& operator=(const PaperScope&) = delete;

private:
    Workspace& ws_;
    int printing_;
    int screen_;
};

// The frame of the copy in 0.01 mm.
struct CopyFrame {
    int width = 0;
    int height = 0;
    SvgFrame Svg() const { return SvgFrame{0.0, 0.0, width / 100.0, height / 100.0}; }
    // In logical units (0.1 mm), rounded up.
    int WidthUnits() const { return (width + 9) / 10; }
    int HeightUnits() const { return (height + 9) / 10; }
};
CopyFrame CopyFrameFor(const RecordLayout& layout);

// The record as an SVG document over the frame, drawn as on paper (the caller holds a
// PaperScope).
std::string DrawRecordSvg(Workspace& ws, const CopyFrame& frame, const std::string& documentTitle);

// The system clipboard as the copy needs it (the shell's; tests record).
class RecordClipboard {
public:
    virtual ~RecordClipboard() = default;
    // Draws the record as a bitmap of the frame at the screen's scale, for Place; called while
    // the paper flags are set.
    virtual void DrawBitmap(Workspace& ws, const CopyFrame& frame, const std::string& documentTitle) = 0;
    // Opens the clipboard, empties it, puts the SVG and the bitmap drawn last, leaves the data
    // on the clipboard when the program ends and closes it. False when the clipboard could not
    // be opened (nothing placed).
    virtual bool Place(const std::string& svg) = 0;
};

// Edit > Copy to clipboard. Returns 0 (no repaint); a clipboard that cannot be opened shows
// "The clipboard cannot be opened !" and places nothing.
int CopyToClipboard(Workspace& ws, UiHost& ui, RecordClipboard& clipboard, const std::string& documentTitle);

}  // namespace velk
