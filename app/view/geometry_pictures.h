#pragma once
// The two geometry pictures of the view: the survey line's sources and receivers as rows of
// dots (display mode 3, from the file group), and the microtremor array (display mode 4).
// Both are drawn on the canvas from the plot origin downwards, with the geometry viewer's
// scales (ws.display.geometryXScale and geometryYScale, profile keys GEOMETRY_XSCALE and
// GEOMETRY_YSCALE, 20.0 each by default).

#include "draw/canvas.h"
#include "app/view/record_paint.h"

namespace velk {

class Workspace;

// Colours of the geometry picture.
inline constexpr Rgb kGeometryBlue{0, 0, 255};
inline constexpr Rgb kGeometryBlack{0, 0, 0};
inline constexpr Rgb kGeometryRed{255, 0, 0};
inline constexpr Rgb kGeometryYellow{255, 255, 0};
inline constexpr Rgb kGeometryCyan{0, 255, 255};

// A receiver in use by its three state flags: blue when the first (samples held) is 0, else
// black when the second (alive) is 0, else red when the third (taken into the gather shown) is
// 1, else yellow.
Rgb GeometryReceiverColour(int first, int second, int third);

// Display mode 3: for each source row i, at y = yorg + trunc(i x y scale) below the origin,
// its receivers at x = xorg + trunc((position - reference) x 0.01 x x scale) as filled circles
// of radius 6 (a receiver not in use is one black pixel), then the row's source as a cyan
// circle. The reference is the smallest source or receiver position of the group.
void DrawGeometry(RecordPaint& paint, Workspace& ws, int xorg, int yorg);

// Display mode 4: the array's points joined by a polyline, a yellow circle of radius 6 at each
// and its number 10 units to the right; x = xorg + trunc((x - smallest x) x x scale), and
// y = yorg + trunc((largest y - y) x x scale) below the origin (north up, one scale for both
// axes). The numbers start at the array's first number and pass over unused points.
void DrawArrayGeometry(RecordPaint& paint, Workspace& ws, int xorg, int yorg);

}  // namespace velk
