#include "platform/screen_rect.h"

#include <algorithm>

namespace velk {

ScreenRect ClampToWorkArea(ScreenRect rect, const ScreenRect& area)
{
    rect.width = std::max(rect.width, kMinFrameWidth);
    rect.height = std::max(rect.height, kMinFrameHeight);
    if (area.width <= 0 || area.height <= 0) return rect;
    rect.width = std::min(rect.width, std::max(area.width, kMinFrameWidth));
    rect.height = std::min(rect.height, std::max(area.height, kMinFrameHeight));
    // In 64 bits: a stored position may be anywhere in the int range.
    const long long right = static_cast<long long>(area.x) + area.width;
    const long long bottom = static_cast<long long>(area.y) + area.height;
    long long x = std::min<long long>(rect.x, right - rect.width);
    long long y = std::min<long long>(rect.y, bottom - rect.height);
    x = std::max<long long>(x, area.x);
    y = std::max<long long>(y, area.y);
    rect.x = static_cast<int>(x);
    rect.y = static_cast<int>(y);
    return rect;
}

}  // namespace velk
