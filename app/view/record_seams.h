#pragma once
// Where the record drawing meets pictures and overlays that other parts of the program draw.
// Each function is called at its place in the drawing and draws nothing until its feature
// fills it in; those that return an extent return 0.

#include <cstdint>

#include "base/matrix2d.h"
#include "app/view/geometry_pictures.h"
#include "app/view/record_paint.h"

namespace velk {

class Workspace;

// The geometry pictures (display modes 3 and 4): app/view/geometry_pictures.h.

// The minimum- and maximum-wavelength lines over a dispersion image, blue, solid, width 2,
// from the image's origin to its edge (app/surfacewave/wavelength_lines.cpp).
void DrawWavelengthLimitLines(RecordPaint& paint, Workspace& ws, int xorg, int yorg);
// Edit mode 7: the two-layer traveltime curves that the mouse fits
// (app/traveltime/theoretical_commands.cpp).
void DrawTwoLayerTraveltime(RecordPaint& paint, Workspace& ws, int xorg, int yorg);

// Strong-motion display: on while a strong-motion set is loaded; the time-horizontal layout
// then leaves out the traces whose azimuth lies outside the set's display range.
bool StrongMotionDisplay(const Workspace& ws);
// The shift (logical units) of trace i by its station's start offset, for the earthquake view's
// time-axis correction; the drawing stops at the time-axis end counted from the shifted start.
// 0 while the correction is off (app/view/print_view_commands.cpp).
int32_t StrongMotionTimeShift(const Workspace& ws, int trace);
// The station label right of trace i ("%s : %s": the station code and the component of its
// shown record) when the set's label flag is 1.
void DrawStationLabel(RecordPaint& paint, const Workspace& ws, int trace, int32_t x, int32_t y);

// The acquisition's running stack, drawn under a new record while the stack decision is
// pending; null while there is none.
const Matrix2D<float>* RunningStackRows(const Workspace& ws);

}  // namespace velk
