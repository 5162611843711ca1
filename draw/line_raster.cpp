#include "draw/line_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "draw/parallel.h"
#include "draw/trace_line.h"

namespace velk {

void LineRaster::Box::Add(int ax0, int ay0, int ax1, int ay1)
{
    if (Empty()) {
        *this = Box{ax0, ay0, ax1, ay1};
        return;
    }
    x0 = std::min(x0, ax0);
    y0 = std::min(y0, ay0);
    x1 = std::max(x1, ax1);
    y1 = std::max(y1, ay1);
}

void LineRaster::Reset(int width, int height)
{
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0u);
    dirty_ = Box{};
    shapes_.clear();
    fillPoints_.clear();
    mappedShapes_ = 0;
}

void LineRaster::ClearDirty()
{
    shapes_.clear();
    fillPoints_.clear();
    mappedShapes_ = 0;
    if (!dirty_.Empty()) {
        for (int y = dirty_.y0; y <= dirty_.y1; ++y) {
            uint32_t* row = pixels_.data() + static_cast<size_t>(y) * width_;
            std::fill(row + dirty_.x0, row + dirty_.x1 + 1, 0u);
        }
    }
    dirty_ = Box{};
}

void LineRaster::VerticalRun(int64_t x, int64_t y0, int64_t y1, uint32_t colour, const Window& w)
{
    if (x < w.x0 || x > w.x1) return;
    if (y0 > y1) std::swap(y0, y1);
    y0 = std::max<int64_t>(y0, w.y0);
    y1 = std::min<int64_t>(y1, w.y1);
    if (y0 > y1) return;
    uint32_t* p = pixels_.data() + static_cast<size_t>(y0) * width_ + static_cast<size_t>(x);
    for (int64_t y = y0; y <= y1; ++y, p += width_) *p = colour;
    w.dirty->Add(static_cast<int>(x), static_cast<int>(y0), static_cast<int>(x), static_cast<int>(y1));
}

void LineRaster::Segment(DevicePoint a, DevicePoint b, uint32_t colour)
{
    FlushFills();
    Segment(a, b, colour, Whole());
}

void LineRaster::Segment(DevicePoint a, DevicePoint b, uint32_t colour, const Window& w)
{
    const int64_t dx = static_cast<int64_t>(b.x) - a.x, dy = static_cast<int64_t>(b.y) - a.y;
    const int64_t adx = std::llabs(dx), ady = std::llabs(dy);
    if (adx == 0) {
        VerticalRun(a.x, a.y, b.y, colour, w);
        return;
    }
    const bool xMajor = adx >= ady;
    const int64_t n = xMajor ? adx : ady;  // steps along the major axis
    const int64_t minor = xMajor ? ady : adx;
    const int64_t majorStart = xMajor ? a.x : a.y;
    const int64_t minorStart = xMajor ? a.y : a.x;
    const int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t majorLow = xMajor ? w.x0 : w.y0, majorHigh = xMajor ? w.x1 : w.y1;
    const int64_t minorLow = xMajor ? w.y0 : w.x0, minorHigh = xMajor ? w.y1 : w.x1;

    // The steps whose major coordinate lies inside the window.
    int64_t lo, hi;
    if (majorSign > 0) {
        lo = majorLow - majorStart;
        hi = majorHigh - majorStart;
    } else {
        lo = majorStart - majorHigh;
        hi = majorStart - majorLow;
    }
    lo = std::max<int64_t>(lo, 0);
    hi = std::min<int64_t>(hi, n);
    if (lo > hi) return;

    // Minor offset of step i: floor((2 i minor + n) / 2n), walked with its remainder.
    const int64_t twoN = 2 * n, twoMinor = 2 * minor;
    int64_t off = 0, rem = n;  // step 0: the first point itself
    if (lo > 0) {
        const __int128 num = static_cast<__int128>(2) * lo * minor + n;
        off = static_cast<int64_t>(num / twoN);
        rem = static_cast<int64_t>(num % twoN);
    }
    int bx0 = width_, by0 = height_, bx1 = -1, by1 = -1;
    for (int64_t i = lo; i <= hi; ++i) {
        const int64_t major = majorStart + majorSign * i;
        const int64_t m = minorStart + minorSign * off;
        if (m >= minorLow && m <= minorHigh) {
            const int64_t x = xMajor ? major : m, y = xMajor ? m : major;
            pixels_[static_cast<size_t>(y) * width_ + static_cast<size_t>(x)] = colour;
            bx0 = std::min<int>(bx0, static_cast<int>(x));
            bx1 = std::max<int>(bx1, static_cast<int>(x));
            by0 = std::min<int>(by0, static_cast<int>(y));
            by1 = std::max<int>(by1, static_cast<int>(y));
        }
        rem += twoMinor;
        if (rem >= twoN) {
            rem -= twoN;
            ++off;
        }
    }
    if (bx1 >= 0) w.dirty->Add(bx0, by0, bx1, by1);
}

void LineRaster::Polyline(std::span<const DevicePoint> points, uint32_t colour)
{
    // A single point draws nothing, as a polyline of one point does on every device.
    if (points.size() < 2) return;
    FlushFills();
    const Window w = Whole();
    int32_t runX = points[0].x, low = points[0].y, high = low, last = low;
    for (size_t i = 1; i < points.size(); ++i) {
        const DevicePoint& p = points[i];
        if (p.x == runX) {
            low = std::min(low, p.y);
            high = std::max(high, p.y);
            last = p.y;
            continue;
        }
        VerticalRun(runX, low, high, colour, w);
        Segment({runX, last}, p, colour, w);
        runX = p.x;
        low = high = last = p.y;
    }
    VerticalRun(runX, low, high, colour, w);
}

// The polyline being drawn: the current column's run, kept in logical units. The mapping is
// monotonic, so the run's pixels are those of its highest and lowest logical points, and only
// they, the run's last point and the first point of the next column are mapped. A trace has
// several samples to a logical unit of time, and several units to a pixel column.
struct ColumnRuns {
    LineRaster& raster;
    const LogicalMapping& mapping;
    uint32_t colour;
    const LineRaster::Window& window;
    size_t count = 0;
    int32_t lastX = 0, runX = 0, low = 0, high = 0, last = 0;

    void Add(LPoint p)
    {
        if (count++ == 0) {
            lastX = p.x;
            runX = mapping.DeviceX(p.x);
            low = high = last = p.y;
            return;
        }
        if (p.x != lastX) {
            lastX = p.x;
            const int32_t x = mapping.DeviceX(p.x);
            if (x != runX) {
                raster.VerticalRun(runX, mapping.DeviceY(high), mapping.DeviceY(low), colour, window);
                raster.Segment({runX, mapping.DeviceY(last)}, {x, mapping.DeviceY(p.y)}, colour, window);
                runX = x;
                low = high = last = p.y;
                return;
            }
        }
        low = p.y < low ? p.y : low;
        high = p.y > high ? p.y : high;
        last = p.y;
    }
    // A single point draws nothing, as a polyline of one point does on every device.
    void Finish()
    {
        if (count >= 2) raster.VerticalRun(runX, mapping.DeviceY(high), mapping.DeviceY(low), colour, window);
    }
};

void LineRaster::Polyline(std::span<const LPoint> points, const LogicalMapping& mapping, uint32_t colour)
{
    FlushFills();
    const Window w = Whole();
    ColumnRuns runs{*this, mapping, colour, w};
    for (const LPoint& p : points) runs.Add(p);
    runs.Finish();
}

namespace {

// The pixel columns of a time axis: the samples k in [starts[c], starts[c + 1]) all map to
// column xs[c]. Lines drawn on this axis (horizontal) are drawn column by column: the pixels a
// column's points give are those of its largest and smallest deflections, which come from its
// largest and smallest samples (the deflection is monotonic in the sample), and the base when
// a shaded lobe passes; a column's last point and the next one's first are those of its last
// sample and the next one's first, shaded or not.
struct AxisColumns {
    const int32_t* along = nullptr;
    std::vector<int> starts;  // ends with the sample count
    std::vector<int32_t> xs;
};

AxisColumns ColumnsOf(const int32_t* along, int n, const LogicalMapping& mapping)
{
    AxisColumns c;
    c.along = along;
    int32_t lastX = 0, lastColumn = 0;
    for (int k = 0; k < n; ++k) {
        if (k > 0 && along[k] == lastX) continue;
        lastX = along[k];
        const int32_t column = mapping.DeviceX(lastX);
        if (k > 0 && column == lastColumn) continue;
        lastColumn = column;
        c.starts.push_back(k);
        c.xs.push_back(column);
    }
    c.starts.push_back(n);
    return c;
}

int32_t Deflection(const TraceLine& l, float sample)
{
    double a = sample * l.factor;
    if (!(a == a)) a = 0.0;
    double c = a < -l.limit ? -l.limit : a;
    c = c > l.limit ? l.limit : c;
    return static_cast<int32_t>(c);
}

}  // namespace

void LineRaster::TraceLines(std::span<const TraceLine> lines, const LogicalMapping& mapping, WorkerPool* pool)
{
    if (lines.empty() || width_ <= 0 || height_ <= 0) return;
    FlushFills();
    // Bands across the lines' narrow direction, so a line touches few of them.
    int64_t wide = 0, tall = 0;
    for (const TraceLine& l : lines) {
        wide += static_cast<int64_t>(l.bounds.right) - l.bounds.left;
        tall += static_cast<int64_t>(l.bounds.top) - l.bounds.bottom;
    }
    const bool rowBands = wide >= tall;
    // The bands share out the rows (or columns) the batch's lines reach, not the whole buffer:
    // a batch of a few hundred traces of a thousand covers a quarter of the picture, and bands
    // over all of it left three quarters of the threads idle while the others drew.
    int64_t reachLow = INT64_MAX, reachHigh = INT64_MIN;
    for (const TraceLine& l : lines) {
        reachLow = std::min<int64_t>(reachLow, rowBands ? mapping.DeviceY(l.bounds.top) : mapping.DeviceX(l.bounds.left));
        reachHigh = std::max<int64_t>(reachHigh, rowBands ? mapping.DeviceY(l.bounds.bottom) : mapping.DeviceX(l.bounds.right));
    }
    const int limit = rowBands ? height_ : width_;
    const int offset = static_cast<int>(std::clamp<int64_t>(reachLow, 0, limit - 1));
    const int span = static_cast<int>(std::clamp<int64_t>(reachHigh, 0, limit - 1)) - offset + 1;
    // Enough bands to keep every core busy, few enough that a line seldom crosses into a
    // second one (each band walks all the samples of every line it meets).
    const int bands = std::clamp(span / 24, 1, 2 * ThreadPool::Shared().Threads());

    // The columns of each time axis of the batch (usually one).
    std::vector<AxisColumns> axes;
    for (const TraceLine& l : lines) {
        if (l.vertical) continue;
        auto same = [&](const AxisColumns& a) { return a.along == l.along; };
        if (std::find_if(axes.begin(), axes.end(), same) != axes.end()) continue;
        int n = 0;
        for (const TraceLine& m : lines)
            if (m.along == l.along) n = std::max(n, m.n);
        axes.push_back(ColumnsOf(l.along, n, mapping));
    }

    std::vector<Box> boxes(static_cast<size_t>(bands));
    auto band = [&](int b) {
        // The first and last bands take in what lies beyond the lines' reach.
        const int first = b == 0 ? 0 : offset + static_cast<int>(static_cast<int64_t>(span) * b / bands);
        const int last = b == bands - 1 ? limit - 1 : offset + static_cast<int>(static_cast<int64_t>(span) * (b + 1) / bands) - 1;
        // The band's box on its own stack: neighbouring boxes share a cache line, and every run
        // and segment grows the box.
        Box box;
        const Window w = rowBands ? Window{0, first, width_ - 1, last, &box} : Window{first, 0, last, height_ - 1, &box};
        for (const TraceLine& l : lines) {
            // Device rows run down as logical y runs up.
            const int64_t a0 = rowBands ? mapping.DeviceY(l.bounds.top) : mapping.DeviceX(l.bounds.left);
            const int64_t a1 = rowBands ? mapping.DeviceY(l.bounds.bottom) : mapping.DeviceX(l.bounds.right);
            if (a1 < first || a0 > last || l.n < 2) continue;
            const uint32_t colour = Colour(l.pen.colour);
            const auto axis = std::find_if(axes.begin(), axes.end(), [&](const AxisColumns& a) { return a.along == l.along; });
            if (axis == axes.end()) {
                ColumnRuns runs{*this, mapping, colour, w};
                ForEachTracePoint(l, [&runs](LPoint p) { runs.Add(p); });
                runs.Finish();
                continue;
            }
            // The device rows of the line's deflections, looked up rather than mapped at every
            // column (a trace's deflections span a few hundred units at most, as a rule).
            const int32_t dLow = l.bounds.bottom - l.base, dHigh = l.bounds.top - l.base;
            thread_local std::vector<int32_t> rows;
            const bool table = static_cast<int64_t>(dHigh) - dLow < 4096;
            if (table) {
                rows.resize(static_cast<size_t>(dHigh - dLow + 1));
                for (int32_t d = dLow; d <= dHigh; ++d) rows[static_cast<size_t>(d - dLow)] = mapping.DeviceY(l.base + d);
            }
            auto row = [&](int32_t d) {
                return table && d >= dLow && d <= dHigh ? rows[static_cast<size_t>(d - dLow)] : mapping.DeviceY(l.base + d);
            };
            int32_t previousX = 0, previousY = 0;
            for (size_t c = 0; c + 1 < axis->starts.size() && axis->starts[c] < l.n; ++c) {
                const int k0 = axis->starts[c], k1 = std::min(axis->starts[c + 1], l.n);
                // The extremes of the samples that are numbers (a column whose first sample is
                // not one still shows the others).
                float low = INFINITY, high = -INFINITY;
                bool nan = false;
                for (int k = k0; k < k1; ++k) {
                    const float s = l.samples[k];
                    low = s < low ? s : low;
                    high = s > high ? s : high;
                    nan |= s != s;
                }
                if (low > high) low = high = 0.0f;
                int32_t d0 = Deflection(l, low), d1 = Deflection(l, high);
                if (d0 > d1) std::swap(d0, d1);
                // A sample that is not a number lies on the base; so do the strokes of a shaded
                // lobe: a column holds one when its largest (or, shading the negative lobes,
                // smallest) product of sample and factor has the lobe's sign.
                const double lobe = l.shading == 0 ? 0.0 : ((l.shading > 0) == (l.factor > 0) ? high : low) * l.factor;
                if (nan || (l.shading > 0 && lobe > 0) || (l.shading < 0 && lobe < 0)) {
                    d0 = std::min(d0, 0);
                    d1 = std::max(d1, 0);
                }
                const int32_t x = axis->xs[c];
                if (c > 0) {
                    const int32_t y = row(Deflection(l, l.samples[k0]));
                    if (x - previousX == 1) {
                        // A segment to the next column is two runs: the steps of its first half
                        // (rounded down) in the column it leaves, the rest in the next.
                        const int64_t n = std::llabs(static_cast<int64_t>(y) - previousY);
                        const int64_t sign = y < previousY ? -1 : 1;
                        const int64_t half = (n + 1) / 2;
                        if (n == 0) {
                            VerticalRun(previousX, previousY, previousY, colour, w);
                        } else {
                            VerticalRun(previousX, previousY, previousY + sign * (half - 1), colour, w);
                        }
                        VerticalRun(x, previousY + sign * half, y, colour, w);
                    } else {
                        Segment({previousX, previousY}, {x, y}, colour, w);
                    }
                }
                VerticalRun(x, row(d1), row(d0), colour, w);
                previousX = x;
                previousY = row(Deflection(l, l.samples[k1 - 1]));
            }
        }
        boxes[static_cast<size_t>(b)] = box;
    };
    ParallelFor(bands, band, pool);
    for (const Box& b : boxes)
        if (!b.Empty()) dirty_.Add(b.x0, b.y0, b.x1, b.y1);
}

void LineRaster::PolylineEverySegment(std::span<const DevicePoint> points, uint32_t colour)
{
    FlushFills();
    for (size_t i = 1; i < points.size(); ++i) Segment(points[i - 1], points[i], colour, Whole());
}

}  // namespace velk
