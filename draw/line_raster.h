#pragma once
// Thin solid lines straight into a pixel buffer, for the trace lines of a record picture: a
// record of a thousand traces of sixteen thousand samples holds far more points than a bitmap
// has pixel columns, and a vector renderer spends its time on segments that all land in the
// same few pixels.
//
// The lines are aliased, one pixel wide, with both end pixels set: a segment sets, for every
// step along its longer axis, the pixel nearest the exact line (halves rounded up, counted from
// its first point). A polyline is the union of its segments. Consecutive points in one pixel
// column form a vertical run whose pixels are the run's full extent, so a polyline is drawn as
// those runs plus the segments between columns, and the result is the same pixel for pixel as
// drawing every segment. Segments are clipped to the buffer before they are walked, so far-off
// points cost nothing. A batch of polylines is drawn by several threads at once, each owning a
// band of the buffer and drawing every line of the batch in order there, so the later line
// still wins where lines cross.
//
// Solid fills without an outline (the cells of a colour image, the areas under a spectrum) are
// painted by the rule of the toolkit's aliased fill, so a picture is the same whichever road
// its fills take: each row is sampled 127/256 of a pixel below its top; an edge crosses the rows
// whose sample lies in [top, bottom), at x rounded down to 1/256 of a pixel and kept within the
// buffer; a span covers the pixels from floor(x + 127/256) of the crossing where the inside
// begins to that of the crossing where it ends, and a gap of at most one pixel between two
// spans of one polygon is painted too. Fills wait in order and are drawn in bands of rows on
// several threads before the next line, so the later shape wins where shapes overlap.

#include <cstdint>
#include <span>
#include <vector>

#include "draw/mapping.h"

namespace velk {

class WorkerPool;
struct TraceLine;

class LineRaster {
public:
    // A colour as 0xFFRRGGBB; 0 marks a pixel nothing was drawn on.
    static constexpr uint32_t Colour(Rgb c) { return 0xFF000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b; }

    struct Box {
        int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // inclusive; empty when x1 < x0
        bool Empty() const { return x1 < x0 || y1 < y0; }
        void Add(int ax0, int ay0, int ax1, int ay1);
    };

    // A buffer of width x height pixels, all untouched.
    void Reset(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Polyline(std::span<const DevicePoint> points, uint32_t colour);
    // A polyline of logical points, mapped to pixels on the way (the same pixels as mapping each
    // point and drawing the result).
    void Polyline(std::span<const LPoint> points, const LogicalMapping& mapping, uint32_t colour);
    // Trace lines in order, straight from their samples, on several threads (bands across the
    // lines' narrow direction); the pool's, when one is given.
    void TraceLines(std::span<const TraceLine> lines, const LogicalMapping& mapping, WorkerPool* pool = nullptr);

    // A filled polygon without outline, by the winding or the alternate rule; points in device
    // pixels or mapped from logical units. A polygon reaching beyond +-kFillLimit pixels draws
    // nothing (no toolkit draws it faithfully, and it is no picture of anything).
    static constexpr int32_t kFillLimit = 1 << 22;
    void Fill(std::span<const DevicePoint> points, uint32_t colour, FillMode mode);
    void Fill(std::span<const LPoint> points, const LogicalMapping& mapping, uint32_t colour, FillMode mode);
    // A batch of polygons by the alternate rule, each the next `count` of the logical points in
    // its colour: the same pixels as filling them one by one. Their points are kept as they are
    // and mapped on several threads when the fills are drawn (or before the next other fill).
    void Fill(std::span<const LPoint> points, std::span<const FillShape> shapes, const LogicalMapping& mapping);
    // Draws the fills waiting (also done by every line call, and by a fill that finds the queue
    // full).
    void FlushFills();
    bool FillQueueFull() const;
    // Threads for the bands of fills (none: threads made for each batch).
    void SetWorkerPool(WorkerPool* pool) { pool_ = pool; }

    // Every segment on its own, without merging: the reference the merged drawing matches.
    void PolylineEverySegment(std::span<const DevicePoint> points, uint32_t colour);
    void Segment(DevicePoint a, DevicePoint b, uint32_t colour);

    // Pixels as drawn so far; fills still waiting are not among them (FlushFills first).
    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    // The pixels drawn since the last ClearDirty.
    const Box& Dirty() const { return dirty_; }
    // Marks the pixels of the dirty box untouched again.
    void ClearDirty();

private:
public:
    // Where one drawing pass may set pixels (inclusive), and the box of what it set.
    struct Window {
        int x0, y0, x1, y1;
        Box* dirty;
    };

private:
    Window Whole() { return {0, 0, width_ - 1, height_ - 1, &dirty_}; }
    void VerticalRun(int64_t x, int64_t y0, int64_t y1, uint32_t colour, const Window& w);
    void Segment(DevicePoint a, DevicePoint b, uint32_t colour, const Window& w);
    friend struct ColumnRuns;

    // A fill waiting: a polygon of `count` points from `first`, or with count 0 the rectangle
    // of pixels [x0, x1) x [y0, y1 + 1); rows y0..y1 are the rows it may paint.
    struct Shape {
        uint32_t colour;
        uint32_t first;
        uint32_t count;
        bool winding;
        int32_t x0, y0, x1, y1;
    };
    void FillRows(const Shape& shape, int r0, int r1, Box& box);
    // The rows and columns a polygon may paint, and whether it is a rectangle (count 0); false
    // when it paints nothing.
    bool Prepare(std::span<const DevicePoint> points, Shape& shape) const;
    // Maps the points of the batches waiting and prepares their shapes.
    void MapBatches();

    WorkerPool* pool_ = nullptr;
    std::vector<DevicePoint> fillPoints_;
    std::vector<DevicePoint> mapped_;
    std::vector<Shape> shapes_;
    // Shapes from mappedShapes_ on came in batches: their points in fillPoints_ are still the
    // logical ones, for batchMapping_.
    size_t mappedShapes_ = 0;
    LogicalMapping batchMapping_;
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
    Box dirty_;
};

}  // namespace velk
