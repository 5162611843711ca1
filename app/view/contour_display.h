#pragma once
// The record drawn as a colour image (plot modes -1, 0, 1 and 2): one cell between every two
// adjacent shown traces and two adjacent samples, filled with the palette's colours by its
// corner values, in either plot direction.
//
// A corner's value is vscale x sample x the display gain of the cell's first trace. Plot mode
// 0 fills each cell with the band of the mean of its corners, mode 1 with colour bands split
// at the levels, other modes fill nothing; the line flag (the display state's sub-flag) adds
// the contour lines.

#include "app/view/record_paint.h"

namespace velk {

class Workspace;

// The palette's colour table for the paint, and its reversal when the palette asks for it.
void BuildColourTable(Workspace& ws);
void ReverseColourTable(Workspace& ws);
bool ColourTableReversed(const Workspace& ws);

// The lower bound of the automatic levels: 0 for spectra (and with the spectrum fill on while
// the store holds an undo level), else -10. The upper bound is 10.
float ContourLowerBound(const Workspace& ws);
// The automatic levels over [ContourLowerBound, 10] unless the user fixed them; returns the
// mean trace spacing of the last layout.
float SetContourLevels(Workspace& ws);

// The two layouts; each returns its depth below the origin, as the wiggle layouts do.
int DrawContourTimeHorizontal(RecordPaint& paint, Workspace& ws, int xorg, int yorg);
int DrawContourTimeVertical(RecordPaint& paint, Workspace& ws, int xorg, int yorg);

}  // namespace velk
