#pragma once
// Logical units (0.1 mm, y up) to device pixels (y down) and back, for the paint, the overlays,
// printing and the mouse alike, so a click lands on the same logical point the drawing used.
// Pixels per unit are the device's pixels per inch / 254: a screen's, or a printer's, so that
// one unit is 0.1 mm on paper. The scroll position is in device pixels, as the scrolled window
// reports it.

#include <cmath>
#include <cstdint>

#include "draw/canvas.h"

namespace velk {

struct DevicePoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const DevicePoint&) const = default;
};

struct LogicalMapping {
    // Device coordinates stay within this, whatever the logical value (the toolkits' own
    // arithmetic is not safe near the int limits).
    static constexpr double kDeviceLimit = 1 << 30;

    double pixelsPerUnitX = 96.0 / 254.0;  // 96 dpi: 0.1 mm is 0.378 pixels
    double pixelsPerUnitY = 96.0 / 254.0;
    int32_t scrollX = 0;  // pixels scrolled off the left
    int32_t scrollY = 0;  // pixels scrolled off the top
    bool operator==(const LogicalMapping&) const = default;

    static LogicalMapping ForDpi(double dpiX, double dpiY)
    {
        LogicalMapping m;
        if (dpiX > 0 && std::isfinite(dpiX)) m.pixelsPerUnitX = dpiX / 254.0;
        if (dpiY > 0 && std::isfinite(dpiY)) m.pixelsPerUnitY = dpiY / 254.0;
        return m;
    }

    // Nearest pixel, halves away from zero, clamped to +-kDeviceLimit; NaN gives 0. (Every point
    // of a record passes here, so no library call.)
    static int32_t Round(double v)
    {
        if (!(v >= -kDeviceLimit)) {
            v = v == v ? -kDeviceLimit : 0.0;
        } else if (v > kDeviceLimit) {
            v = kDeviceLimit;
        }
        return static_cast<int32_t>(v + std::copysign(0.5, v));
    }

    // The scroll offsets are window-sized, far below the limit, so the differences fit.
    int32_t DeviceX(int32_t x) const { return Round(x * pixelsPerUnitX) - scrollX; }
    int32_t DeviceY(int32_t y) const { return Round(-static_cast<double>(y) * pixelsPerUnitY) - scrollY; }
    DevicePoint ToDevice(LPoint p) const { return {DeviceX(p.x), DeviceY(p.y)}; }

    LPoint ToLogical(DevicePoint d) const
    {
        return {static_cast<int32_t>(std::lround((d.x + static_cast<double>(scrollX)) / pixelsPerUnitX)),
                static_cast<int32_t>(std::lround(-(d.y + static_cast<double>(scrollY)) / pixelsPerUnitY))};
    }
    // Lengths (pen widths, font heights) in pixels, at least 1.
    int32_t ToDeviceLength(int32_t units) const
    {
        const int32_t px = Round(units * pixelsPerUnitY);
        return px < 1 ? 1 : px;
    }
};

}  // namespace velk
