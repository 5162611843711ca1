#pragma once
// A trace as a line, described by its samples rather than by its points: sample k lies at
// along[k] on the time axis and at a deflection d_k = trunc(a_k) from the base across it, with
// a_k = sample x factor clamped to +-limit (so beyond the clip limit the deflection is
// +-trunc(limit)). Across the time axis means up in the horizontal layout (point (along, base
// + d)) and left in the vertical one (point (base - d, along)). Shading follows every sample of
// a shaded lobe (a > 0 for +1, a < 0 for -1) with a stroke back to the base and out again.
//
// A canvas may draw such a line without making its points (the line raster reads the samples
// straight away); the points are the same either way.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "draw/canvas.h"
#include "draw/coordinates.h"

namespace velk {

struct TraceLine {
    const float* samples = nullptr;
    int n = 0;
    const int32_t* along = nullptr;  // n positions on the time axis
    double factor = 0.0;
    double limit = kCoordinateLimit;  // at most kCoordinateLimit, not negative
    int32_t base = 0;
    bool vertical = false;
    int shading = 0;
    int chunk = 8210;  // polylines of at most chunk + 1 points, overlapping by one
    Pen pen;
    LRect bounds;      // holds every point: set by MeasureTraceLine
};

// Every point of the line in order: sink(LPoint).
template <bool Vertical, int Shading, class Sink>
void ForEachTracePoint(const TraceLine& l, Sink&& sink)
{
    const int32_t base = l.base;
    for (int k = 0; k < l.n; ++k) {
        double a = l.samples[k] * l.factor;
        if (!(a == a)) a = 0.0;
        double c = a < -l.limit ? -l.limit : a;
        c = c > l.limit ? l.limit : c;
        const int32_t d = static_cast<int32_t>(c);
        const LPoint p = Vertical ? LPoint{base - d, l.along[k]} : LPoint{l.along[k], base + d};
        sink(p);
        if ((Shading > 0 && a > 0) || (Shading < 0 && a < 0)) {
            sink(Vertical ? LPoint{base, p.y} : LPoint{p.x, base});
            sink(p);
        }
    }
}

template <class Sink>
void ForEachTracePoint(const TraceLine& l, Sink&& sink)
{
    const int s = l.shading > 0 ? 1 : (l.shading < 0 ? -1 : 0);
    if (l.vertical) {
        if (s > 0) ForEachTracePoint<true, 1>(l, sink);
        else if (s < 0) ForEachTracePoint<true, -1>(l, sink);
        else ForEachTracePoint<true, 0>(l, sink);
    } else {
        if (s > 0) ForEachTracePoint<false, 1>(l, sink);
        else if (s < 0) ForEachTracePoint<false, -1>(l, sink);
        else ForEachTracePoint<false, 0>(l, sink);
    }
}

// The points of the line into `out`, which holds at least 3 n points; returns their count.
size_t TraceLinePoints(const TraceLine& line, LPoint* out);
// Sets the line's bounds from its samples.
void MeasureTraceLine(TraceLine& line);
// The polylines a line is drawn as: consecutive pieces of at most chunk + 1 points.
void ForEachTracePiece(std::span<const LPoint> points, int chunk, const std::function<void(std::span<const LPoint>)>& piece);

}  // namespace velk
