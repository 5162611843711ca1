#pragma once
// The record's data to logical units, as the layouts place the traces, for the overlays and
// the mouse alike.

#include <cstdint>

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

}  // namespace velk
