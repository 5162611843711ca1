#pragma once
// The record view's paint: the paint entry, the layout dispatcher, the two wiggle layouts, the
// per-trace wiggle drawer with its gain and pens, and the chunked line and polygon primitives.
//
// A paint draws and does nothing else: no message box, no file, no header rewrite. The few
// state changes the drawing has always made (the data kind taken from the record kind, the
// time offset, the scales reduced by the automatic fit, the derived values of the layout) are
// named steps at the start of DrawRecord and of the layouts, so the window, the printer and
// the clipboard all see the same record.

#include <span>

#include "base/matrix2d.h"
#include "draw/canvas.h"
#include "app/view/record_paint.h"

namespace velk {

struct CommandContext;

class Workspace;

// Chunks of the primitives: no single call receives more points than this (+1 for the
// overlap, +2 for a polygon's closing points).
inline constexpr int kPolylineChunk = 8210;
inline constexpr int kPolygonChunk = 8200;

// The first show of the view, once, after the window is up (not inside a paint): open the
// survey line asked for at start (a failure leaves acquisition mode), then start the
// acquisition DSP once.
void OnFirstShow(CommandContext& ctx);

// The paint entry: the acquisition's key bar and status panes, the record (unless the
// acquisition has suspended drawing), the acquisition's line banner, the file name in pane 5.
void OnDraw(RecordPaint& paint, Workspace& ws);

// The layout dispatcher: data kind and time offset, the layout of the display mode, plot
// direction and plot mode, the overlays, and the record title. Also the print and copy path.
void DrawRecord(RecordPaint& paint, Workspace& ws);

// The two wiggle layouts; each returns its depth below the origin (logical units, positive).
int DrawWiggleTimeHorizontal(RecordPaint& paint, Workspace& ws, int xorg, int yorg);
int DrawWiggleTimeVertical(RecordPaint& paint, Workspace& ws, int xorg, int yorg);

struct WiggleTraceArgs {
    int xorg = 300;
    int yorg = 300;
    const Matrix2D<float>* rows = nullptr;  // the sample rows to draw
    int penWidth = 1;
    float meanSpacing = 0.0f;     // m: the clip limit is 0.49 of it
    float distanceOrigin = 0.0f;  // m
    int shading = 0;              // 1 fill positive lobes, -1 negative, 0 none
    int overlay = 0;              // 1: every trace drawn with component code 7
};

// Every shown trace in the time-horizontal layout; widens the component range it is given.
void DrawWiggleTraces(RecordPaint& paint, Workspace& ws, const WiggleTraceArgs& args, int& minComponent,
                      int& maxComponent);

// The automatic fit that every layout of the record runs unless the axes are fixed: the
// distance range of the shown traces, then the scales reduced until the record fits.
void MeasureAndFitScales(Workspace& ws);
// The store indices of the shown traces: [first, last).
void ShownTraceRange(const Workspace& ws, int& first, int& last);

// The display gain of a trace: by trace (gain mode 0) 1000 / its peak, by file (1) 1000 / the
// record's peak or the fixed file gain, otherwise 1; times its display factor. 0 for a zero
// peak.
float TraceDisplayGain(const Workspace& ws, int trace);

// The pen of a trace component (width 1): colours in colour mode, dash styles in monochrome,
// solid red for a selected trace; widens the running range [minComponent, maxComponent]
// within 1..10.
Pen TracePen(int component, int selected, int colourFlag, int& minComponent, int& maxComponent);

// `count` points as polylines of at most min(chunk, 8210) + 1 points, each starting at the
// previous one's last point.
void PolylineChunked(std::span<const LPoint> points, int count, int chunk, Canvas& canvas);
// `count` points as filled polygons of at most min(chunk, 8200) + 1 points, each closed to the
// horizontal line y = baselineY (time horizontal) or the vertical line x = baselineX.
void PolygonToBaselineY(std::span<const LPoint> points, int count, int chunk, Canvas& canvas, int32_t baselineY);
void PolygonToBaselineX(std::span<const LPoint> points, int count, int chunk, Canvas& canvas, int32_t baselineX);

}  // namespace velk
