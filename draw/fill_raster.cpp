// The fills of the line raster: polygons without outline, painted by the rule of the toolkit's
// aliased fill (draw/line_raster.h), in bands of rows on several threads.

#include <algorithm>

#include "draw/line_raster.h"
#include "draw/parallel.h"

namespace velk {
namespace {

// Fixed point of the rule: 1/256 pixel.
constexpr int64_t kOne = 256;
// A row's sample lies this far below its top; a crossing's pixel is floor(x + kRound).
constexpr int64_t kSample = 127;
constexpr int64_t kRound = 127;
// Shapes waiting before they are drawn on their own: the cells of a colour image of a screen's
// size in one go, within about 30 megabytes.
constexpr size_t kMaxShapes = 1 << 19;
constexpr size_t kMaxFillPoints = 1 << 21;

int64_t FloorDiv(int64_t a, int64_t b)  // b > 0
{
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

struct Edge {
    int64_t x, y, dx, dy;  // top point and extent, dy > 0
    int first, last;       // rows
    int dir;
};

struct Crossing {
    int64_t x;
    int dir;
};

// Scratch of one band's thread, kept between polygons.
struct FillScratch {
    std::vector<Edge> edges;
    std::vector<const Edge*> active;
    std::vector<Crossing> crossings;
};

thread_local FillScratch tScratch;

}  // namespace

void LineRaster::Fill(std::span<const LPoint> points, const LogicalMapping& mapping, uint32_t colour, FillMode mode)
{
    if (points.size() < 3) return;
    mapped_.resize(points.size());
    for (size_t i = 0; i < points.size(); ++i) mapped_[i] = mapping.ToDevice(points[i]);
    Fill(mapped_, colour, mode);
}

bool LineRaster::Prepare(std::span<const DevicePoint> points, Shape& s) const
{
    int32_t x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (const DevicePoint& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    if (x0 < -kFillLimit || y0 < -kFillLimit || x1 > kFillLimit || y1 > kFillLimit) return false;
    // Rows whose sample lies in [y0, y1); crossings are kept within [0, width], so a shape
    // wholly beside the buffer paints nothing, and neither does one without width (all its
    // crossings lie at one x).
    if (x1 <= 0 || x0 >= width_ || x0 == x1) return false;
    const int32_t rowLow = std::max(y0, 0), rowHigh = std::min(y1 - 1, height_ - 1);
    if (rowLow > rowHigh) return false;
    s.x0 = x0;
    s.y0 = rowLow;
    s.x1 = x1;
    s.y1 = rowHigh;
    const bool rectangle =
        points.size() == 4 && ((points[0].x == points[1].x && points[1].y == points[2].y && points[2].x == points[3].x &&
                                points[3].y == points[0].y) ||
                               (points[0].y == points[1].y && points[1].x == points[2].x && points[2].y == points[3].y &&
                                points[3].x == points[0].x));
    if (rectangle) {
        // Its pixels are those whose centres lie inside.
        s.count = 0;
        s.x0 = std::max(x0, 0);
        s.x1 = std::min(x1, width_);
        if (s.x0 >= s.x1) return false;
    }
    return true;
}

void LineRaster::Fill(std::span<const DevicePoint> points, uint32_t colour, FillMode mode)
{
    if (points.size() < 3 || width_ <= 0 || height_ <= 0) return;
    MapBatches();
    Shape s{colour, 0, static_cast<uint32_t>(points.size()), mode == FillMode::Winding, 0, 0, 0, 0};
    if (!Prepare(points, s)) return;
    if (FillQueueFull()) FlushFills();
    s.first = static_cast<uint32_t>(fillPoints_.size());
    if (s.count > 0) fillPoints_.insert(fillPoints_.end(), points.begin(), points.end());
    shapes_.push_back(s);
    mappedShapes_ = shapes_.size();
}

void LineRaster::Fill(std::span<const LPoint> points, std::span<const FillShape> shapes, const LogicalMapping& mapping)
{
    if (width_ <= 0 || height_ <= 0) return;
    if (mappedShapes_ < shapes_.size() && !(mapping == batchMapping_)) MapBatches();
    if (FillQueueFull()) FlushFills();
    batchMapping_ = mapping;
    // All the points in one go (those of shapes of fewer than three points are never read).
    const size_t base = fillPoints_.size();
    fillPoints_.resize(base + points.size());
    DevicePoint* const out = fillPoints_.data() + base;
    for (size_t k = 0; k < points.size(); ++k) out[k] = {points[k].x, points[k].y};
    size_t first = 0;
    for (const FillShape& f : shapes) {
        if (f.count > points.size() - first) break;
        if (f.count >= 3) {
            shapes_.push_back(Shape{Colour(f.colour), static_cast<uint32_t>(base + first), f.count, false, 0, 0, 0, 0});
        }
        first += f.count;
    }
}

void LineRaster::MapBatches()
{
    if (mappedShapes_ >= shapes_.size()) return;
    // Chunks of shapes on several threads; a shape that paints nothing is marked by an empty
    // row range and dropped after.
    constexpr size_t kChunk = 4096;
    const size_t pending = shapes_.size() - mappedShapes_;
    auto chunk = [&](int c) {
        const size_t end = std::min(shapes_.size(), mappedShapes_ + (static_cast<size_t>(c) + 1) * kChunk);
        for (size_t i = mappedShapes_ + static_cast<size_t>(c) * kChunk; i < end; ++i) {
            Shape& s = shapes_[i];
            DevicePoint* const out = fillPoints_.data() + s.first;
            for (uint32_t k = 0; k < s.count; ++k) out[k] = batchMapping_.ToDevice(LPoint{out[k].x, out[k].y});
            if (!Prepare(std::span<const DevicePoint>(out, s.count), s)) s.y0 = 1, s.y1 = 0;
        }
    };
    const int chunks = static_cast<int>((pending + kChunk - 1) / kChunk);
    if (chunks == 1) {
        chunk(0);
    } else {
        ParallelFor(chunks, chunk, pool_);
    }
    shapes_.erase(std::remove_if(shapes_.begin() + static_cast<std::ptrdiff_t>(mappedShapes_), shapes_.end(),
                                 [](const Shape& s) { return s.y0 > s.y1; }),
                  shapes_.end());
    mappedShapes_ = shapes_.size();
}

bool LineRaster::FillQueueFull() const
{
    return shapes_.size() >= kMaxShapes || fillPoints_.size() >= kMaxFillPoints;
}

void LineRaster::FillRows(const Shape& shape, int r0, int r1, Box& box)
{
    r0 = std::max(r0, shape.y0);
    r1 = std::min(r1, shape.y1);
    if (r0 > r1) return;
    if (shape.count == 0) {
        for (int y = r0; y <= r1; ++y) {
            uint32_t* row = pixels_.data() + static_cast<size_t>(y) * width_;
            std::fill(row + shape.x0, row + shape.x1, shape.colour);
        }
        box.Add(shape.x0, r0, shape.x1 - 1, r1);
        return;
    }
    FillScratch& s = tScratch;
    s.edges.clear();
    const DevicePoint* p = fillPoints_.data() + shape.first;
    const uint32_t n = shape.count;
    for (uint32_t i = 0; i < n; ++i) {
        DevicePoint a = p[i], b = p[i + 1 < n ? i + 1 : 0];
        if (a.y == b.y) continue;
        int dir = 1;
        if (a.y > b.y) {
            std::swap(a, b);
            dir = -1;
        }
        // Rows whose sample y + 127/256 lies in [a.y, b.y): a.y .. b.y - 1.
        const int first = std::max(a.y, r0), last = std::min(b.y - 1, r1);
        if (first > last) continue;
        s.edges.push_back({a.x, a.y, static_cast<int64_t>(b.x) - a.x, static_cast<int64_t>(b.y) - a.y, first, last, dir});
    }
    if (s.edges.empty()) return;
    std::sort(s.edges.begin(), s.edges.end(), [](const Edge& e, const Edge& f) { return e.first < f.first; });
    const int64_t right = kOne * width_;
    int bx0 = width_, bx1 = -1, by0 = height_, by1 = -1;
    size_t next = 0;
    s.active.clear();
    for (int y = s.edges.front().first; y <= r1; ++y) {
        std::erase_if(s.active, [y](const Edge* e) { return e->last < y; });
        while (next < s.edges.size() && s.edges[next].first == y) s.active.push_back(&s.edges[next++]);
        if (s.active.empty()) {
            if (next == s.edges.size()) break;
            continue;
        }
        s.crossings.clear();
        const int64_t sample = kOne * y + kSample;
        for (const Edge* e : s.active) {
            const int64_t x = kOne * e->x + FloorDiv((sample - kOne * e->y) * e->dx, e->dy);
            s.crossings.push_back({std::clamp<int64_t>(x, 0, right), e->dir});
        }
        // Few crossings to a row: insertion sort.
        for (size_t i = 1; i < s.crossings.size(); ++i) {
            const Crossing c = s.crossings[i];
            size_t j = i;
            for (; j > 0 && s.crossings[j - 1].x > c.x; --j) s.crossings[j] = s.crossings[j - 1];
            s.crossings[j] = c;
        }
        uint32_t* row = pixels_.data() + static_cast<size_t>(y) * width_;
        int winding = 0;
        int64_t start = -1;
        for (size_t i = 0; i < s.crossings.size(); ++i) {
            const int64_t end = (s.crossings[i].x + kRound) / kOne;
            winding += s.crossings[i].dir;
            const bool inside = shape.winding ? winding != 0 : (winding & 1) != 0;
            if (inside) {
                if (start < 0) start = end;
                continue;
            }
            // A gap of at most one pixel to the next span is painted.
            const int64_t following = i + 1 < s.crossings.size() ? (s.crossings[i + 1].x + kRound) / kOne : INT64_MAX;
            if (following <= end + 1 || start < 0) continue;
            if (end > start) {
                std::fill(row + start, row + end, shape.colour);
                bx0 = std::min(bx0, static_cast<int>(start));
                bx1 = std::max(bx1, static_cast<int>(end - 1));
                by0 = std::min(by0, y);
                by1 = std::max(by1, y);
            }
            start = -1;
        }
    }
    if (bx1 >= 0) box.Add(bx0, by0, bx1, by1);
}

void LineRaster::FlushFills()
{
    MapBatches();
    if (shapes_.empty()) return;
    // Bands of rows, enough to keep every core busy.
    const int bands = std::clamp(height_ / 24, 1, 2 * ThreadPool::Shared().Threads());
    std::vector<Box> boxes(static_cast<size_t>(bands));
    auto band = [&](int b) {
        const int first = static_cast<int>(static_cast<int64_t>(height_) * b / bands);
        const int last = static_cast<int>(static_cast<int64_t>(height_) * (b + 1) / bands) - 1;
        Box box;
        for (const Shape& shape : shapes_) {
            if (shape.y1 < first || shape.y0 > last) continue;
            FillRows(shape, first, last, box);
        }
        boxes[static_cast<size_t>(b)] = box;
    };
    ParallelFor(bands, band, pool_);
    for (const Box& b : boxes)
        if (!b.Empty()) dirty_.Add(b.x0, b.y0, b.x1, b.y1);
    shapes_.clear();
    fillPoints_.clear();
    mappedShapes_ = 0;
}

}  // namespace velk
