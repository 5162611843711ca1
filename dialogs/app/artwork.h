#pragma once
// The program's own artwork, drawn at run time: the icon (a wiggle trace over a shot record's
// first-arrival line) and the banner of the About box, the start panel and the splash.

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/iconbndl.h>

namespace velk {

// The program icon at the given edge length in pixels.
wxBitmap ProgramBitmap(int size);
// 16, 32, 48 and 64 pixel icons for the frame and the dialogs.
wxIconBundle ProgramIcons();
// The frame's icon by its resource: 128 the program's; 228 automatic processing's blink (the
// traces on green with a watching dot); 238 the armed instrument's blink (on red). Others: 128.
wxIconBundle FrameIcons(int resource);

// A banner of seismic traces with a first-arrival line, filling `rect` of the DC. `accent`
// tints the traces (the acquisition splash uses its own).
void DrawBanner(wxDC& dc, const wxRect& rect, const wxColour& accent);

}  // namespace velk
