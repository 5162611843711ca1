#pragma once
// The Canvas on a wx device context: the window, a bitmap, a printer or a print preview. The
// mapping turns logical units into the device's pixels (its own resolution, its scroll
// position), so one unit is 0.1 mm on paper.
//
// On a bitmap the canvas may take thin solid polylines (the trace lines) into a line raster of
// the bitmap's size and lay them onto the bitmap in one go before anything else is drawn, so
// the picture keeps the order of the drawing calls.
//
// Fills without an outline (the cells of a colour image) are drawn with sharp edges: a pixel is
// painted when its centre lies inside. On a bitmap they go into the raster too, by the rule of
// the toolkit's aliased fill (draw/line_raster.h), with their outline, when they have one of a
// thin solid pen, as a line of the raster. Elsewhere consecutive ones of one colour are drawn
// as one path, each polygon turned the same way round and filled by the winding rule, so the
// path covers their union. A fill reaching beyond the raster's limit draws nothing.

#include <memory>
#include <vector>

#include <wx/dc.h>

#include "draw/canvas.h"
#include "draw/line_raster.h"
#include "draw/mapping.h"

namespace velk {

// Where the time of paints went, in milliseconds, added up: drawing into the raster (lines and
// fills), and laying the raster onto the device.
struct WxDcCanvasStages {
    double raster = 0.0;
    double blit = 0.0;
};

class WxDcCanvas : public Canvas {
public:
    // `rasterSize`: the size of the bitmap the DC draws on, to draw thin lines through the line
    // raster; wxDefaultSize draws everything through the DC.
    // `raster`: the raster to draw into (reset to the size and left clean), kept by the caller
    // from paint to paint; none: one of the canvas's own.
    WxDcCanvas(wxDC& dc, const LogicalMapping& mapping, wxSize rasterSize = wxDefaultSize, LineRaster* raster = nullptr);
    ~WxDcCanvas() override;

    void SetPen(const Pen& pen) override;
    void SetBrush(const Brush& brush) override;
    void SetFont(const Font& font) override;
    void SetTextColour(Rgb colour) override { textColour_ = colour; }
    void SetTextAlign(TextAlign align) override { align_ = align; }
    void SetTextBackground(bool opaque, Rgb colour) override;

    void MoveTo(LPoint p) override { current_ = p; }
    void LineTo(LPoint p) override;
    void Polyline(std::span<const LPoint> points) override;
    void TraceLines(std::span<const TraceLine> lines) override;
    void Polygon(std::span<const LPoint> points, FillMode mode) override;
    void FillPolygons(std::span<const LPoint> points, std::span<const FillShape> shapes) override;
    void Rectangle(LRect r) override;
    void Ellipse(LRect bounds) override;
    void SetPixel(LPoint p, Rgb colour) override;
    void TextOut(LPoint p, std::string_view utf8) override;
    LSize TextExtent(std::string_view utf8) override;
    Pen CurrentPen() const override { return pen_; }
    Brush CurrentBrush() const override { return brush_; }
    Font CurrentFont() const override { return font_; }

    // Lays the raster's lines onto the device (also done before every other drawing call and at
    // the end of the canvas's life).
    void Flush();

    // Off: the raster is laid on the device after every line (for comparisons).
    void SetBatchLines(bool on) { batch_ = on; }
    // Off: every polygon goes to the device on its own (for comparisons).
    void SetBatchPolygons(bool on) { batchPolygons_ = on; }
    // Off: fills go to the device even on a bitmap with a raster (for comparisons).
    void SetRasterFills(bool on) { rasterFills_ = on; }
    // On: every font is measured on the device and its height corrected so that text has the
    // size it has on the screen for the same logical height (printer contexts whose text comes
    // out larger than asked).
    void SetMatchScreenText(bool on) { matchScreenText_ = on; }
    // Threads for drawing batches of lines (none: threads made for each batch).
    void SetWorkerPool(WorkerPool* pool);

    void SetStages(WxDcCanvasStages* stages) { stages_ = stages; }

    const LogicalMapping& Mapping() const { return mapping_; }

private:
    wxPoint Device(LPoint p) const;
    bool RasterLine(const Pen& pen) const;
    void ApplyFont();
    void ApplyPen();
    void ApplyBrush();
    void FlushRaster();
    void FlushPolygons();
    bool FillWithinLimit(std::span<const LPoint> points) const;
    void RasterOutline(std::span<const LPoint> points);
    void DevicePolygon(std::span<const LPoint> points, FillMode mode);

    wxDC& dc_;
    LogicalMapping mapping_;
    std::unique_ptr<LineRaster> ownRaster_;
    LineRaster* raster_ = nullptr;
    bool rasterFills_ = true;
    WxDcCanvasStages* stages_ = nullptr;
    Pen pen_;
    Brush brush_;
    Font font_;
    Rgb textColour_;
    TextAlign align_ = TextAlign::TopLeft;
    bool opaque_ = false;
    Rgb background_{255, 255, 255};
    LPoint current_;
    bool fontApplied_ = false;
    bool batch_ = true;
    bool matchScreenText_ = false;
    WorkerPool* pool_ = nullptr;
    // The pen and brush are handed to the device when a call draws with them.
    bool penApplied_ = false;
    bool brushApplied_ = false;
    // Fills waiting to be drawn as one path, all of `pendingColour_`.
    bool batchPolygons_ = true;
    Rgb pendingColour_;
    std::vector<wxPoint> pendingPoints_;
    std::vector<int> pendingCounts_;
};

}  // namespace velk
