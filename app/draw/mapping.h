#pragma once
// Logical units (0.1 mm, y up) to device pixels (y down) and back, for the paint and the mouse
// alike, so a click lands on the same logical point the drawing used. The scroll position is
// in device pixels, as the scrolled window reports it.

#include <cmath>
#include <cstdint>

#include "app/draw/canvas.h"

namespace velk {

struct DevicePoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const DevicePoint&) const = default;
};

struct LogicalMapping {
    double pixelsPerUnitX = 96.0 / 254.0;  // 96 dpi: 0.1 mm is 0.378 pixels
    double pixelsPerUnitY = 96.0 / 254.0;
    int32_t scrollX = 0;  // pixels scrolled off the left
    int32_t scrollY = 0;  // pixels scrolled off the top

    static LogicalMapping ForDpi(double dpiX, double dpiY)
    {
        LogicalMapping m;
        if (dpiX > 0 && std::isfinite(dpiX)) m.pixelsPerUnitX = dpiX / 254.0;
        if (dpiY > 0 && std::isfinite(dpiY)) m.pixelsPerUnitY = dpiY / 254.0;
        return m;
    }

    DevicePoint ToDevice(LPoint p) const
    {
        return {static_cast<int32_t>(std::lround(p.x * pixelsPerUnitX)) - scrollX,
                static_cast<int32_t>(std::lround(-p.y * pixelsPerUnitY)) - scrollY};
    }
    LPoint ToLogical(DevicePoint d) const
    {
        return {static_cast<int32_t>(std::lround((d.x + scrollX) / pixelsPerUnitX)),
                static_cast<int32_t>(std::lround(-(d.y + scrollY) / pixelsPerUnitY))};
    }
    // Lengths (pen widths, font heights) in pixels, at least 1.
    int32_t ToDeviceLength(int32_t units) const
    {
        auto px = static_cast<int32_t>(std::lround(units * pixelsPerUnitY));
        return px < 1 ? 1 : px;
    }
};

}  // namespace velk
