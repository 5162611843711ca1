#pragma once
// The picture of the record that the view keeps between paints, and the print path's entry:
// the paint entry of the core drawn through the wx canvas.

#include <string>

#include <wx/bitmap.h>
#include <wx/dc.h>

#include "draw/mapping.h"

namespace velk {

class LineRaster;
class StatusPanes;
struct WxDcCanvasStages;
class Workspace;

struct RecordRenderInfo {
    StatusPanes* status = nullptr;
    std::string documentTitle;
    std::string currentFileName;
    bool fastLines = true;   // thin trace lines through the line raster
    bool batchLines = true;  // ... laid on the bitmap at the next other call, not after each line
    bool batchPolygons = true;  // fills of one colour without outline drawn as one path
    bool fastFills = true;      // fills through the raster too (with fastLines)
    // The raster of the lines and fills, kept by the caller from paint to paint so that its
    // pages stay mapped; none: one made for the paint.
    LineRaster* raster = nullptr;
    // When given: the time spent drawing into the raster and laying it on the bitmap is added.
    WxDcCanvasStages* stages = nullptr;
};

// Draws the record on a white `bitmap` (whose size the caller chose) with this mapping.
void RenderRecordBitmap(wxBitmap& bitmap, const LogicalMapping& mapping, Workspace& ws, const RecordRenderInfo& info);

// Draws the overlay layer on a device context (the window's paint DC) with the same mapping.
void DrawOverlay(wxDC& dc, const LogicalMapping& mapping, const Workspace& ws);

// The mapping of a device context: its pixels per inch and the given scroll offset.
LogicalMapping MappingFor(const wxDC& dc, int scrollX = 0, int scrollY = 0);

}  // namespace velk
