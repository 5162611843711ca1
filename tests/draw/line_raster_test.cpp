// The line raster: merging the points of a pixel column and clipping segments to the buffer
// give the same pixels as drawing every segment in full.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "draw/line_raster.h"
#include "draw/trace_line.h"

namespace velk {
namespace {

bool SamePixels(const LineRaster& a, const LineRaster& b, int dx = 0, int dy = 0)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x + dx, y + dy)) return false;
    return true;
}

TEST(LineRaster, MergedColumnsEqualEverySegment)
{
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 1.0);
    const uint32_t colours[] = {LineRaster::Colour({0, 0, 0}), LineRaster::Colour({255, 0, 0})};
    for (int pass = 0; pass < 40; ++pass) {
        // Dense wiggles (many points to a column), sparse ones, spikes far off the buffer, and
        // lines running back in x, in two colours that overlap.
        const double pointsPerColumn = pass % 4 == 0 ? 0.3 : 1.0 + pass * 0.7;
        std::vector<DevicePoint> line;
        for (int k = 0; k < 1500; ++k) {
            double y = 40 + 25 * std::sin(k * 0.05) + 6 * noise(random);
            if (k % 97 == 0) y = pass % 2 ? 3e8 : -2e7;
            double x = k / pointsPerColumn - 20;
            if (pass % 5 == 1) x = 140 - x;
            line.push_back({static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))});
        }
        LineRaster merged, every;
        merged.Reset(120, 80);
        every.Reset(120, 80);
        for (int c = 0; c < 2; ++c) {
            std::vector<DevicePoint> shifted = line;
            for (DevicePoint& p : shifted) p.y += c * 7;
            merged.Polyline(shifted, colours[c]);
            every.PolylineEverySegment(shifted, colours[c]);
        }
        EXPECT_TRUE(SamePixels(merged, every)) << "pass " << pass;
        EXPECT_FALSE(merged.Dirty().Empty());
    }
}

TEST(LineRaster, TraceLinesFromSamplesEqualEverySegmentOfTheirPoints)
{
    // Lines of samples (dense, sparse, with spikes, NaN, a negative factor, clipping, in both
    // directions, shaded or not) drawn in one batch in bands, against their points drawn
    // segment by segment, one line after the other.
    std::mt19937 random(5);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    const LogicalMapping mapping = LogicalMapping::ForDpi(96.0, 96.0);
    for (int pass = 0; pass < 12; ++pass) {
        const bool vertical = pass % 4 == 3;
        const int n = 3000;
        const double unitsPerSample = 0.05 + pass * 0.2;
        std::vector<int32_t> along(n);
        for (int k = 0; k < n; ++k) {
            const int32_t a = static_cast<int32_t>(40 + k * unitsPerSample);
            along[static_cast<size_t>(k)] = vertical ? -a : a;
        }
        std::vector<std::vector<float>> samples(20);
        std::vector<TraceLine> lines;
        for (int t = 0; t < 20; ++t) {
            std::vector<float>& s = samples[static_cast<size_t>(t)];
            for (int k = 0; k < n; ++k) s.push_back(noise(random) * 3.0f + std::sin(k * 0.01f) * 20.0f);
            s[100] = 1e30f;
            for (int k = 777; k < n; k += 401) s[static_cast<size_t>(k)] = std::nanf("");
            TraceLine l;
            l.samples = s.data();
            l.n = n - t * 37;
            l.along = along.data();
            l.factor = (t % 3 == 0 ? -1.0 : 1.0) * (0.5 + t * 0.2);
            l.limit = t % 2 ? 15.0 : kCoordinateLimit;
            l.base = vertical ? 60 + t * 27 : -(60 + t * 27);
            l.vertical = vertical;
            l.shading = pass % 3 == 1 ? 1 : (pass % 3 == 2 ? -1 : 0);
            l.pen.colour = {static_cast<uint8_t>(t * 12), 0, static_cast<uint8_t>(255 - t * 12)};
            MeasureTraceLine(l);
            lines.push_back(l);
        }
        LineRaster batch, reference;
        batch.Reset(320, 300);
        reference.Reset(320, 300);
        batch.TraceLines(lines, mapping);
        for (const TraceLine& l : lines) {
            std::vector<LPoint> points(static_cast<size_t>(l.n) * 3);
            points.resize(TraceLinePoints(l, points.data()));
            std::vector<DevicePoint> device;
            for (const LPoint& p : points) device.push_back(mapping.ToDevice(p));
            reference.PolylineEverySegment(device, LineRaster::Colour(l.pen.colour));
        }
        EXPECT_TRUE(SamePixels(batch, reference)) << "pass " << pass;
    }
}

TEST(LineRaster, ClippedSegmentsMatchTheUnclippedOnes)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> coordinate(-150, 210);
    LineRaster small, large;
    small.Reset(64, 64);
    large.Reset(400, 400);
    for (int n = 0; n < 3000; ++n) {
        const DevicePoint a{coordinate(random), coordinate(random)}, b{coordinate(random), coordinate(random)};
        small.Segment(a, b, 0xFF000000u | static_cast<uint32_t>(n));
        large.Segment({a.x + 160, a.y + 160}, {b.x + 160, b.y + 160}, 0xFF000000u | static_cast<uint32_t>(n));
    }
    EXPECT_TRUE(SamePixels(small, large, 160, 160));

    // Both end pixels are set, and a single point draws nothing.
    LineRaster r;
    r.Reset(10, 10);
    const DevicePoint one[] = {{3, 3}};
    r.Polyline(one, 0xFFFFFFFFu);
    EXPECT_TRUE(r.Dirty().Empty());
    r.Segment({1, 1}, {8, 4}, 0xFF00FF00u);
    EXPECT_EQ(r.Pixel(1, 1), 0xFF00FF00u);
    EXPECT_EQ(r.Pixel(8, 4), 0xFF00FF00u);
    r.ClearDirty();
    EXPECT_EQ(r.Pixel(8, 4), 0u);
}

TEST(LineRaster, FillsKeepTheirOrderAmongLinesAndRectanglesTakeTheGeneralRule)
{
    // Rectangles (straight to their pixels) against the same rectangles with a closing point
    // (through the edges and crossings), overlapping, partly off the buffer; a line drawn after
    // them lies on top, a fill after the line covers it.
    const int rectangles[][4] = {{2, 3, 30, 20}, {-5, -4, 8, 9}, {25, 15, 70, 50}, {60, 40, 90, 61}, {10, 10, 10, 30}};
    LineRaster direct, general;
    for (LineRaster* r : {&direct, &general}) {
        r->Reset(64, 48);
        uint32_t colour = 0xFF000010u;
        for (const auto& q : rectangles) {
            std::vector<DevicePoint> points = {{q[0], q[1]}, {q[2], q[1]}, {q[2], q[3]}, {q[0], q[3]}};
            if (r == &general) points.push_back(points.front());
            r->Fill(points, colour++, FillMode::Winding);
        }
        r->Segment({0, 25}, {63, 25}, 0xFFFF0000u);
        const DevicePoint cover[] = {{40, 20}, {50, 20}, {50, 30}};
        r->Fill(cover, 0xFF00FF00u, FillMode::Alternate);
        r->FlushFills();
    }
    EXPECT_TRUE(SamePixels(direct, general));
    EXPECT_EQ(direct.Pixel(10, 3), 0xFF000010u);
    EXPECT_EQ(direct.Pixel(2, 3), 0xFF000011u);
    EXPECT_EQ(direct.Pixel(29, 19), 0xFF000012u);  // the later rectangle on top
    EXPECT_EQ(direct.Pixel(30, 10), 0u);           // right and bottom edges are outside
    EXPECT_EQ(direct.Pixel(20, 25), 0xFFFF0000u);
    EXPECT_EQ(direct.Pixel(49, 25), 0xFF00FF00u);
    EXPECT_EQ(direct.Dirty().x0, 0);
    EXPECT_EQ(direct.Dirty().y1, 47);
}

TEST(LineRaster, BatchesOfFillsPaintWhatTheirPolygonsPaintOneByOne)
{
    // Random polygons, rectangles, polygons without width, too few points, far beyond the
    // limit, in three batches between a single fill and a line, the later two scrolled; the
    // last shape counts more points than are left and is not drawn.
    std::mt19937 random(5);
    std::vector<LPoint> points;
    std::vector<FillShape> shapes;
    for (int k = 0; k < 300; ++k) {
        const uint32_t n = k % 5 == 0 ? 4 : 1 + random() % 8;
        const int32_t x = static_cast<int32_t>(random() % 600) - 100, y = -(static_cast<int32_t>(random() % 500) - 100);
        for (uint32_t i = 0; i < n; ++i) {
            LPoint p{x + static_cast<int32_t>(random() % 200), y - static_cast<int32_t>(random() % 200)};
            if (k % 5 == 0) p = {x + (i == 1 || i == 2 ? 150 : 0), y - (i >= 2 ? 90 : 0)};
            if (k % 17 == 3) p.x = x;
            if (k % 41 == 9 && i == 0) p.y = INT32_MIN;
            points.push_back(p);
        }
        shapes.push_back({n, Rgb{static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8), 7}});
    }
    const LogicalMapping mapping = LogicalMapping::ForDpi(96.0, 96.0);
    LogicalMapping scrolled = mapping;
    scrolled.scrollX = 13;
    scrolled.scrollY = -7;
    const LPoint single[] = {{0, 0}, {300, -40}, {120, -260}};
    const size_t cuts[] = {0, 150, 190, shapes.size()};
    std::vector<size_t> starts = {0};  // the first point of each shape
    for (const FillShape& f : shapes) starts.push_back(starts.back() + f.count);

    LineRaster batched, each;
    for (LineRaster* r : {&batched, &each}) {
        r->Reset(200, 150);
        for (int b = 0; b < 3; ++b) {
            if (b == 1) r->Fill(single, mapping, 0xFF0000FFu, FillMode::Winding);
            if (b == 2) r->Segment({0, 70}, {199, 75}, 0xFFFF0000u);
            const LogicalMapping& m = b == 0 ? mapping : scrolled;
            if (r == &batched) {
                std::vector<FillShape> batch(shapes.begin() + static_cast<std::ptrdiff_t>(cuts[b]),
                                             shapes.begin() + static_cast<std::ptrdiff_t>(cuts[b + 1]));
                if (b == 2) batch.back().count += 1;
                r->Fill(std::span(points.begin() + static_cast<std::ptrdiff_t>(starts[cuts[b]]),
                                  points.begin() + static_cast<std::ptrdiff_t>(starts[cuts[b + 1]])),
                        batch, m);
                continue;
            }
            for (size_t k = cuts[b]; k < cuts[b + 1] && k + 1 < shapes.size(); ++k) {
                r->Fill(std::span(points.data() + starts[k], shapes[k].count), m, LineRaster::Colour(shapes[k].colour),
                        FillMode::Alternate);
            }
        }
        r->FlushFills();
    }
    EXPECT_TRUE(SamePixels(batched, each));
    int painted = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) painted += each.Pixel(x, y) != 0 ? 1 : 0;
    EXPECT_GT(painted, 10000);
}

}  // namespace
}  // namespace velk
