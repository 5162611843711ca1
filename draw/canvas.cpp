#include "draw/canvas.h"

#include <vector>

#include "draw/trace_line.h"

namespace velk {

void Canvas::TraceLines(std::span<const TraceLine> lines)
{
    const Pen old = CurrentPen();
    std::vector<LPoint> points;
    for (const TraceLine& line : lines) {
        points.resize(static_cast<size_t>(std::max(line.n, 0)) * 3);
        points.resize(TraceLinePoints(line, points.data()));
        SetPen(line.pen);
        ForEachTracePiece(points, line.chunk, [this](std::span<const LPoint> piece) { Polyline(piece); });
    }
    SetPen(old);
}

}  // namespace velk
