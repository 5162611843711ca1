#pragma once
// The record drawn as a colour image (plot modes -1, 0, 1 and 2): one cell between every two
// adjacent shown traces and two adjacent samples, filled with the palette's colours by its
// corner values, in either plot direction.
//
// A corner's value is vscale x sample x the display gain of the cell's first trace. Plot mode
// 0 fills each cell with the band of the mean of its corners, mode 1 with colour bands split
// at the levels, other modes fill nothing; the line flag (the display state's sub-flag) adds
// the contour lines.

#include <cstdint>

#include "app/view/record_paint.h"
#include "draw/contour_palette.h"

namespace velk {

class Workspace;

// The palette's colour table for the paint, and its reversal when the palette asks for it.
void BuildColourTable(Workspace& ws);
void ReverseColourTable(Workspace& ws);
bool ColourTableReversed(const Workspace& ws);

// The lower bound of the automatic levels: -10 for a coherence image; 0 for spectra (and with
// the spectrum fill on while the store holds an undo level), else -10. The upper bound is 10.
float ContourLowerBound(const Workspace& ws);
// The automatic levels over [ContourLowerBound, 10] unless the user fixed them; returns the
// mean trace spacing of the last layout.
float SetContourLevels(Workspace& ws);

// One legend box of `band`: the rectangle between two opposite corners, painted with the
// band's colour (all four corners at the middle of its levels, L[band] + 100 for the last band)
// while the plot mode is below 2, and framed with a black solid pen 2 units wide.
void DrawLegendBox(Canvas& canvas, const ContourPalette& palette, int plotMode, int band, LPoint a, LPoint b);

// The legend beside a dispersion or coherence image: n boxes 100 to 150 units right of the
// image's right edge, box 0 at the image's bottom, each trunc(height x 0.8) / n high; the lower
// level of every box but the first written "%.2f" 20 units right of the boxes with its top 20
// units above the box edge, skipped within 45 units of the last label written; headed "Legend"
// (the palette's two captions in Japanese). Returns the right-most x of its boxes and texts.
int32_t DrawImageLegend(RecordPaint& paint, const Workspace& ws, int32_t right, int32_t bottom, int32_t height);

// The two layouts; each returns its depth below the origin, as the wiggle layouts do.
int DrawContourTimeHorizontal(RecordPaint& paint, Workspace& ws, int xorg, int yorg);
int DrawContourTimeVertical(RecordPaint& paint, Workspace& ws, int xorg, int yorg);

}  // namespace velk
