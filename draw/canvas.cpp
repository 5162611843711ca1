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

void Canvas::FillPolygons(std::span<const LPoint> points, std::span<const FillShape> shapes)
{
    ScopedPen pen(*this, Pen{PenStyle::Null, 0, {}});
    ScopedBrush brush(*this, CurrentBrush());
    size_t first = 0;
    for (const FillShape& shape : shapes) {
        if (shape.count > points.size() - first) return;
        SetBrush(Brush{shape.colour, false});
        Polygon(points.subspan(first, shape.count), FillMode::Alternate);
        first += shape.count;
    }
}

}  // namespace velk
