#pragma once
// Panels as pictures: the 37-level colour and grey palettes, one RGB image per panel (windows
// across, the highest frequency on the top row), and the drawing of the stacked panels with
// their frames and labels in 0.1 mm units, y upwards.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "draw/canvas.h"
#include "nordalis/panel_data.h"

namespace velk::nordalis {

constexpr int kLevels = 37;
constexpr int kColourScheme = 1;
constexpr int kGreyScheme = -1;
constexpr int kPanelGapRows = 5;  // blank rows between stacked panels

// The palette of a scheme (1 colour, -1 grey): level 0..36.
const std::array<Rgb, kLevels>& Palette(int scheme);

// trunc((v - lo) x 36 / (hi - lo)) clamped to 0..36; 0 for a flat panel or a value that is not
// finite.
int PanelLevel(float v, float lo, float hi);

struct PanelImage {
    int width = 0;   // windows
    int height = 0;  // frequencies
    std::vector<uint8_t> rgb;  // row after row from the top, 3 bytes a pixel
    Rgb Pixel(int x, int y) const
    {
        const size_t at = (static_cast<size_t>(y) * width + x) * 3;
        return {rgb[at], rgb[at + 1], rgb[at + 2]};
    }
};

PanelImage MakePanelImage(const PanelData& data, int panel, int scheme);

// The images of every panel, made once per scheme and kept.
class PanelImageCache {
public:
    const std::vector<PanelImage>& Images(const PanelData& data, int scheme);
    void Clear() { images_.clear(); }

private:
    int scheme_ = 0;
    std::vector<PanelImage> images_;
};

// What the stacked picture needs of the view.
struct PanelView {
    float yScale = 1.0f;
    float xScale = 1.0f;
    int labelUnit = 1;
};

// The logical rectangle that the stretch of the whole stacked picture gives the rows of panel i
// (left, top, right, bottom; the bottom below the top).
LRect PanelRect(const PanelData& data, const PanelView& view, int x0, int y0, int panel);

// Every panel's image goes to `drawImage` with its rectangle; then each frame and its labels are
// drawn on the canvas.
using ImageSink = std::function<void(const PanelImage&, LRect)>;
void DrawPanels(Canvas& canvas, const PanelData& data, const PanelView& view,
                const std::vector<PanelImage>& images, int x0, int y0, const ImageSink& drawImage);
void DrawPanelFrame(Canvas& canvas, const PanelData& data, const PanelView& view, int x, int y);

}  // namespace velk::nordalis
