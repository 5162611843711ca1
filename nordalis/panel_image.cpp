#include "nordalis/panel_image.h"

#include <algorithm>
#include <cmath>

#include "platform/numtext.h"

namespace velk::nordalis {

namespace {

std::array<Rgb, kLevels> ColourPalette()
{
    // Magenta at level 0, about red at 6, yellow at 13, green at 25, blue at 36.
    static constexpr uint8_t rFalling[] = {240, 220, 200, 180, 160, 140, 120, 100, 75, 50, 25};  // 14..24
    static constexpr uint8_t gRising[] = {35, 70, 105, 135, 165, 195, 225};                       // 6..12
    static constexpr uint8_t gFalling[] = {225, 200, 170, 150, 125, 100, 75, 50, 25, 0};          // 26..35
    std::array<Rgb, kLevels> p{};
    for (int m = 0; m < kLevels; ++m) {
        Rgb& c = p[static_cast<size_t>(m)];
        c.r = m <= 13 ? 255 : m <= 24 ? rFalling[m - 14] : 0;
        c.g = m <= 5 ? 0 : m <= 12 ? gRising[m - 6] : m <= 25 ? 255 : m <= 35 ? gFalling[m - 26] : 0;
        c.b = static_cast<uint8_t>(m <= 4 ? 255 - 50 * m : m <= 24 ? 0 : m <= 34 ? 25 * (m - 25) : 255);
    }
    return p;
}

std::array<Rgb, kLevels> GreyPalette()
{
    std::array<Rgb, kLevels> p{};
    for (int m = 0; m < kLevels; ++m) {
        const auto v = static_cast<uint8_t>(std::floor(255.0 * m / 36.0 + 0.5));
        p[static_cast<size_t>(m)] = {v, v, v};
    }
    return p;
}

int32_t Trunc(double v)
{
    if (!(v > -2e9)) return v == v ? -2000000000 : 0;
    if (v > 2e9) return 2000000000;
    return static_cast<int32_t>(v);
}

}  // namespace

const std::array<Rgb, kLevels>& Palette(int scheme)
{
    static const std::array<Rgb, kLevels> colour = ColourPalette();
    static const std::array<Rgb, kLevels> grey = GreyPalette();
    return scheme == kColourScheme ? colour : grey;
}

int PanelLevel(float v, float lo, float hi)
{
    if (!std::isfinite(v) || !(hi > lo)) return 0;
    const double m = std::trunc((static_cast<double>(v) - lo) * 36.0 / (static_cast<double>(hi) - lo));
    return static_cast<int>(std::clamp(m, 0.0, 36.0));
}

PanelImage MakePanelImage(const PanelData& data, int panel, int scheme)
{
    PanelImage image;
    image.width = data.n2;
    image.height = data.n3;
    image.rgb.resize(static_cast<size_t>(data.n2) * static_cast<size_t>(data.n3) * 3);
    const auto& palette = Palette(scheme);
    const auto [lo, hi] = PanelMinMax(data, panel);
    for (int k = 0; k < data.n3; ++k) {
        const int frequency = data.n3 - 1 - k;
        for (int j = 0; j < data.n2; ++j) {
            const Rgb c = palette[static_cast<size_t>(PanelLevel(data.values(panel, j, frequency), lo, hi))];
            const size_t at = (static_cast<size_t>(k) * data.n2 + j) * 3;
            image.rgb[at] = c.r;
            image.rgb[at + 1] = c.g;
            image.rgb[at + 2] = c.b;
        }
    }
    return image;
}

const std::vector<PanelImage>& PanelImageCache::Images(const PanelData& data, int scheme)
{
    if (scheme != scheme_ || static_cast<int>(images_.size()) != data.n1) {
        images_.clear();
        for (int i = 0; i < data.n1 && data.HasValues(); ++i) images_.push_back(MakePanelImage(data, i, scheme));
        scheme_ = scheme;
    }
    return images_;
}

LRect PanelRect(const PanelData& data, const PanelView& view, int x0, int y0, int panel)
{
    const double rowTop = static_cast<double>(panel) * (data.n3 + kPanelGapRows);
    const double ys = view.yScale;
    LRect r;
    r.left = x0;
    r.right = Trunc(x0 + std::round(data.n2 * static_cast<double>(view.xScale)));
    r.top = Trunc(y0 - std::round(rowTop * ys));
    r.bottom = Trunc(y0 - std::round((rowTop + data.n3) * ys));
    return r;
}

void DrawPanels(Canvas& canvas, const PanelData& data, const PanelView& view,
                const std::vector<PanelImage>& images, int x0, int y0, const ImageSink& drawImage)
{
    const int n = std::min<int>(data.n1, static_cast<int>(images.size()));
    for (int i = 0; i < n; ++i) drawImage(images[static_cast<size_t>(i)], PanelRect(data, view, x0, y0, i));
    for (int i = 0; i < n; ++i) {
        const int y = Trunc(y0 - std::trunc(static_cast<double>(i) * (data.n3 + kPanelGapRows) * view.yScale));
        DrawPanelFrame(canvas, data, view, x0, y);
    }
}

void DrawPanelFrame(Canvas& canvas, const PanelData& data, const PanelView& view, int x, int y)
{
    const int32_t w = Trunc(data.n2 * static_cast<double>(view.xScale));
    const int32_t h = -Trunc(data.n3 * static_cast<double>(view.yScale));
    const int u = view.labelUnit;
    const LPoint corners[] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}};
    canvas.Polyline(corners);
    const double df = data.frequencyStep, dt = data.timeStep;
    // The frequency labels stand left of the frame; one that would reach into the panel moves
    // further left (on a dark panel, as the grey scheme's lowest levels are, it would vanish).
    const auto leftOfFrame = [&](int32_t wantedX, int32_t at, const std::string& text) {
        canvas.TextOut({std::min(wantedX, x - 2 * u - canvas.TextExtent(text).cx), at}, text);
    };
    leftOfFrame(x - 50 * u, y + h - 10 * u, FormatC("%4.1f", 0.0));
    leftOfFrame(x - 55 * u, y - 5 * u, FormatC("%4.1f", data.n3 * df));
    canvas.TextOut({x - 15 * u, y + h + 2 * u}, FormatC("%5.1f", 0.5 * dt));
    canvas.TextOut({x + w - 20 * u, y + h + 2 * u}, FormatC("%5.1f", (data.n2 + 0.5) * dt));
}

}  // namespace velk::nordalis
