// Fuzzes the viewer's settings file: any text gives a usable window size and finite positive
// scales, and what is written back reads back the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "nordalis/viewer_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const velk::nordalis::ViewerSettings s = velk::nordalis::ParseViewerSettings(text);
    if (s.width <= 0 || s.height <= 0) std::abort();
    if (!std::isfinite(s.yScale) || !(s.yScale > 0.0f) || !std::isfinite(s.xScale) || !(s.xScale > 0.0f)) std::abort();
    const velk::nordalis::ViewerSettings back =
        velk::nordalis::ParseViewerSettings(velk::nordalis::FormatViewerSettings(s));
    if (back.left != s.left || back.top != s.top || back.width != s.width || back.height != s.height) std::abort();
    return 0;
}
