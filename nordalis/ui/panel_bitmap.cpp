#include "nordalis/ui/panel_bitmap.h"

#include <algorithm>
#include <cstdint>

#include <wx/bitmap.h>
#include <wx/image.h>

namespace velk::nordalis {

void DrawPanelImage(wxDC& dc, const LogicalMapping& mapping, const PanelImage& image, LRect where, wxRect clip)
{
    if (image.width <= 0 || image.height <= 0) return;
    const DevicePoint a = mapping.ToDevice({where.left, where.top});
    const DevicePoint b = mapping.ToDevice({where.right, where.bottom});
    const int64_t left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const int64_t top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
    if (right <= left || bottom <= top) return;
    const int64_t x0 = std::max<int64_t>(left, clip.x), x1 = std::min<int64_t>(right, clip.x + int64_t{clip.width});
    const int64_t y0 = std::max<int64_t>(top, clip.y), y1 = std::min<int64_t>(bottom, clip.y + int64_t{clip.height});
    if (x1 <= x0 || y1 <= y0) return;
    const int w = static_cast<int>(x1 - x0), h = static_cast<int>(y1 - y0);
    wxImage part(w, h, false);
    unsigned char* out = part.GetData();
    const int64_t dw = right - left, dh = bottom - top;
    std::vector<int> columns(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) {
        columns[static_cast<size_t>(x)] =
            static_cast<int>(std::min<int64_t>((x0 + x - left) * image.width / dw, image.width - 1));
    }
    for (int y = 0; y < h; ++y) {
        const int row = static_cast<int>(std::min<int64_t>((y0 + y - top) * image.height / dh, image.height - 1));
        const uint8_t* src = image.rgb.data() + static_cast<size_t>(row) * image.width * 3;
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = src + static_cast<size_t>(columns[static_cast<size_t>(x)]) * 3;
            *out++ = p[0];
            *out++ = p[1];
            *out++ = p[2];
        }
    }
    dc.DrawBitmap(wxBitmap(part), static_cast<int>(x0), static_cast<int>(y0));
}

}  // namespace velk::nordalis
