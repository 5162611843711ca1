#pragma once
// The record's data to logical units, as the layouts place the traces, for the overlays and
// the mouse alike.

#include <cstdint>
#include <optional>
#include <span>

#include "draw/canvas.h"

namespace velk {

class Workspace;

// Time and distance to logical units, as the layouts place the traces: along the time axis
// originTime + trunc((t - start) x hscale), along the distance axis originDistance +
// trunc((r - distance origin) x plotscale); direction 0 draws time across and distance down,
// direction 1 distance across and time down. Every value is saturated.
struct PlotMapping {
    int32_t originTime = 300;
    int32_t originDistance = 300;
    bool vertical = false;
    double startTime = 0.0;       // ms at the time origin
    double hscale = 1.0;          // units per ms
    double plotscale = 1.0;       // units per m
    double distanceOrigin = 0.0;  // m at the distance origin

    // From the display state of the last paint; xorg and yorg as the layouts take them.
    static PlotMapping ForRecord(const Workspace& ws, int xorg, int yorg);

    int32_t AlongTime(double t) const;    // t in ms, counted like startTime
    int32_t AlongDistance(double r) const;
    // The point of an along-time and an along-distance position.
    LPoint At(int32_t alongTime, int32_t alongDistance) const
    {
        return vertical ? LPoint{alongDistance, -alongTime} : LPoint{alongTime, -alongDistance};
    }
    LPoint Point(double t, double r) const { return At(AlongTime(t), AlongDistance(r)); }
};

// The plot frame of the last paint in logical units (y upward): the overlays of picks, curves
// and lines stay inside it, as the traces do.
struct PlotFrame {
    int32_t left = 0, right = 0, bottom = 0, top = 0;  // left <= right, bottom <= top

    // Spans two corners given in any order.
    static PlotFrame Spanning(LPoint a, LPoint b);
    bool Contains(LPoint p) const { return p.x >= left && p.x <= right && p.y >= bottom && p.y <= top; }
    // Cuts the segment a-b to the frame; false when no part of it lies inside.
    bool Clip(LPoint& a, LPoint& b) const;
};

// A line and a polyline drawn only where they lie inside `frame` (all of them without one).
void FramedLine(Canvas& c, const std::optional<PlotFrame>& frame, LPoint a, LPoint b);
void FramedPolyline(Canvas& c, const std::optional<PlotFrame>& frame, std::span<const LPoint> points);

}  // namespace velk
