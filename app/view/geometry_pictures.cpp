#include "app/view/geometry_pictures.h"

#include <algorithm>
#include <vector>

#include "draw/coordinates.h"
#include "app/view/view_seams.h"
#include "app/workspace.h"
#include "platform/numtext.h"

namespace velk {
namespace {

constexpr int kDotRadius = 6;

void Dot(Canvas& c, LPoint p, Rgb fill)
{
    ScopedBrush brush(c, Brush{fill, false});
    c.Ellipse(LRect{p.x - kDotRadius, p.y + kDotRadius, p.x + kDotRadius, p.y - kDotRadius});
}

// Logical units below the origin, drawn at their negatives.
int32_t Down(int yorg, double offset) { return -SaturatingAdd(yorg, SaturatingTrunc(offset)); }

}  // namespace

Rgb GeometryReceiverColour(int first, int second, int third)
{
    if (first == 0) return kGeometryBlue;
    if (second == 0) return kGeometryBlack;
    return third == 1 ? kGeometryRed : kGeometryYellow;
}

void DrawGeometry(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    Canvas& c = paint.canvas;
    const CFileGroup& g = ws.fileGroup;
    const double xscale = ws.display.geometryXScale, yscale = ws.display.geometryYScale;
    const int64_t reference = g.minPosition;
    auto across = [&](int32_t hundredths) {
        return SaturatingAdd(xorg, SaturatingTrunc(static_cast<double>(hundredths - reference) * 0.01 * xscale));
    };
    ScopedPen pen(c, Pen{PenStyle::Solid, 2, kGeometryBlack});
    const int sources = std::clamp(g.sourceCount, 0, static_cast<int>(g.sourcePositions.size()));
    const int receivers = std::clamp(g.receiverCount, 0, static_cast<int>(g.receiverPositions.size()));
    for (int i = 0; i < sources; ++i) {
        const int32_t y = Down(yorg, i * yscale);
        if (static_cast<size_t>(i) < g.table.size()) {
            const std::vector<CTraceEntry>& row = g.table[static_cast<size_t>(i)];
            const int n = std::min(receivers, static_cast<int>(row.size()));
            for (int j = 0; j < n; ++j) {
                const CTraceEntry& e = row[static_cast<size_t>(j)];
                const LPoint p{across(g.receiverPositions[static_cast<size_t>(j)]), y};
                if (e.use == 1) {
                    Dot(c, p, GeometryReceiverColour(e.hasSamples, e.alive, e.mark));
                } else {
                    c.SetPixel(p, kGeometryBlack);
                }
            }
        }
        Dot(c, LPoint{across(g.sourcePositions[static_cast<size_t>(i)]), y}, kGeometryCyan);
    }
}

bool ArrayGeometryPresent(const Workspace& ws)
{
    return ws.arrayGeometry.shown == 1 && !ws.arrayGeometry.points.empty();
}

void DrawArrayGeometry(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    const ArrayGeometryView& a = ws.arrayGeometry;
    if (a.shown != 1 || a.points.empty()) return;
    Canvas& c = paint.canvas;
    const double scale = ws.display.geometryXScale;
    float smallestX = a.points[0].x, largestY = a.points[0].y;
    for (const ArrayGeometryView::Point& p : a.points) {
        smallestX = std::min(smallestX, p.x);
        largestY = std::max(largestY, p.y);
    }
    std::vector<LPoint> at;
    at.reserve(a.points.size());
    for (const ArrayGeometryView::Point& p : a.points) {
        at.push_back({SaturatingAdd(xorg, SaturatingTrunc((static_cast<double>(p.x) - smallestX) * scale)),
                      Down(yorg, (static_cast<double>(largestY) - p.y) * scale)});
    }
    ScopedPen pen(c, Pen{PenStyle::Solid, 2, kGeometryBlack});
    c.Polyline(at);
    ScopedFont font(c, Font{});
    c.SetTextColour(kGeometryBlack);
    int number = a.firstNumber;
    for (size_t k = 0; k < at.size(); ++k) {
        Dot(c, at[k], kGeometryYellow);
        if (a.points[k].used == 0) continue;
        c.TextOut({SaturatingAdd(at[k].x, 10), at[k].y}, FormatC("%d", number));
        ++number;
    }
}

}  // namespace velk
