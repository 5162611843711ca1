#include "draw/trace_line.h"

#include <algorithm>
#include <iterator>

namespace velk {

size_t TraceLinePoints(const TraceLine& line, LPoint* out)
{
    size_t m = 0;
    ForEachTracePoint(line, [&](LPoint p) { out[m++] = p; });
    return m;
}

void MeasureTraceLine(TraceLine& line)
{
    if (line.n <= 0) {
        line.bounds = LRect{line.base, line.base, line.base, line.base};
        return;
    }
    // The largest and smallest deflections come from the largest and smallest products; a
    // negative factor swaps them.
    // Eight running extremes side by side (the loop is bound by memory, not by comparisons,
    // once they do not wait on each other).
    float lows[8], highs[8];
    std::fill(std::begin(lows), std::end(lows), line.samples[0]);
    std::fill(std::begin(highs), std::end(highs), line.samples[0]);
    int k = 0;
    for (; k + 8 <= line.n; k += 8) {
        for (int j = 0; j < 8; ++j) {
            const float s = line.samples[k + j];
            lows[j] = s < lows[j] ? s : lows[j];
            highs[j] = s > highs[j] ? s : highs[j];
        }
    }
    for (; k < line.n; ++k) {
        const float s = line.samples[k];
        lows[0] = s < lows[0] ? s : lows[0];
        highs[0] = s > highs[0] ? s : highs[0];
    }
    float low = lows[0], high = highs[0];
    for (int j = 1; j < 8; ++j) {
        low = lows[j] < low ? lows[j] : low;
        high = highs[j] > high ? highs[j] : high;
    }
    auto deflection = [&](double s) {
        double a = s * line.factor;
        if (!(a == a)) a = 0.0;
        return static_cast<int32_t>(std::clamp(a, -line.limit, line.limit));
    };
    int32_t d0 = deflection(low), d1 = deflection(high);
    if (d0 > d1) std::swap(d0, d1);
    // Shading strokes and NaN samples sit on the base; take it in always.
    d0 = std::min(d0, 0);
    d1 = std::max(d1, 0);
    const int32_t a0 = std::min(line.along[0], line.along[line.n - 1]);
    const int32_t a1 = std::max(line.along[0], line.along[line.n - 1]);
    line.bounds = line.vertical ? LRect{line.base - d1, a1, line.base - d0, a0}
                                : LRect{a0, line.base + d1, a1, line.base + d0};
}

void ForEachTracePiece(std::span<const LPoint> points, int chunk,
                       const std::function<void(std::span<const LPoint>)>& piece)
{
    const size_t count = points.size();
    if (count == 0) return;
    if (count == 1) {
        piece(points);
        return;
    }
    const size_t c = static_cast<size_t>(std::max(chunk, 1));
    for (size_t start = 0; start + 1 < count; start += c) piece(points.subspan(start, std::min(c + 1, count - start)));
}

}  // namespace velk
