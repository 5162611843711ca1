#include "app/view/plot_mapping.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "draw/coordinates.h"
#include "app/workspace.h"

namespace velk {

PlotMapping PlotMapping::ForRecord(const Workspace& ws, int xorg, int yorg)
{
    const CParameterSet& p = ws.store.Params();
    PlotMapping m;
    m.vertical = ws.settings.plotDirection == 1;
    m.originTime = m.vertical ? yorg : xorg;
    m.originDistance = m.vertical ? xorg : yorg;
    m.startTime = p.windowStartTime;
    m.hscale = p.hscale;
    m.plotscale = p.plotscale;
    m.distanceOrigin = ws.display.layout.distanceOrigin;
    return m;
}

int32_t PlotMapping::AlongTime(double t) const { return SaturatingAdd(originTime, SaturatingTrunc((t - startTime) * hscale)); }

int32_t PlotMapping::AlongDistance(double r) const
{
    return SaturatingAdd(originDistance, SaturatingTrunc((r - distanceOrigin) * plotscale));
}

PlotFrame PlotFrame::Spanning(LPoint a, LPoint b)
{
    return PlotFrame{std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y), std::max(a.y, b.y)};
}

bool PlotFrame::Clip(LPoint& a, LPoint& b) const
{
    // Liang-Barsky: the part of a + u (b - a), 0 <= u <= 1, inside the four edges.
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    double u0 = 0.0, u1 = 1.0;
    auto edge = [&](double p, double q) {  // inside where p u <= q
        if (p == 0.0) return q >= 0.0;
        const double u = q / p;
        if (p < 0.0) {
            if (u > u1) return false;
            u0 = std::max(u0, u);
        } else {
            if (u < u0) return false;
            u1 = std::min(u1, u);
        }
        return true;
    };
    if (!edge(-dx, static_cast<double>(a.x) - left) || !edge(dx, static_cast<double>(right) - a.x) ||
        !edge(-dy, static_cast<double>(a.y) - bottom) || !edge(dy, static_cast<double>(top) - a.y)) {
        return false;
    }
    // Rounded toward the inside, so a cut end never lies beyond the edge it was cut at.
    auto at = [&](double u) {
        const double x = std::clamp(a.x + u * dx, static_cast<double>(left), static_cast<double>(right));
        const double y = std::clamp(a.y + u * dy, static_cast<double>(bottom), static_cast<double>(top));
        return LPoint{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
    };
    const LPoint from = u0 > 0.0 ? at(u0) : a;
    const LPoint to = u1 < 1.0 ? at(u1) : b;
    a = from;
    b = to;
    return true;
}

void FramedLine(Canvas& c, const std::optional<PlotFrame>& frame, LPoint a, LPoint b)
{
    if (frame && !frame->Clip(a, b)) return;
    c.MoveTo(a);
    c.LineTo(b);
}

void FramedPolyline(Canvas& c, const std::optional<PlotFrame>& frame, std::span<const LPoint> points)
{
    if (!frame) {
        c.Polyline(points);
        return;
    }
    // The inside runs of the polyline, each drawn as a polyline of its own.
    std::vector<LPoint> run;
    auto flush = [&] {
        if (run.size() >= 2) c.Polyline(run);
        run.clear();
    };
    for (size_t k = 1; k < points.size(); ++k) {
        LPoint a = points[k - 1], b = points[k];
        if (!frame->Clip(a, b)) {
            flush();
            continue;
        }
        if (run.empty() || !(run.back() == a)) {
            flush();
            run.push_back(a);
        }
        run.push_back(b);
        if (!(b == points[k])) flush();
    }
    flush();
}

}  // namespace velk
