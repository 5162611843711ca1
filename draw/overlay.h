#pragma once
// The overlay layer: figures in logical units drawn over the cached picture of the record at
// every paint. Rubber lines, markers and the texts of running operations live here instead of
// being drawn (or XOR-erased) on the window outside a paint. Changing the layer needs only a
// repaint of the window; the record picture stays.
//
// Figures belong to an owner (a small number the feature chooses), so a feature replaces or
// removes its own figures without touching the others'. Transient figures (the mouse
// handlers' hints, progress texts) end at the next repaint of the record.

#include <cstdint>
#include <string>
#include <vector>

#include "draw/canvas.h"
#include "draw/fonts.h"

namespace velk {

struct OverlayFigure {
    enum class Kind { Line, Polyline, Polygon, Text };
    Kind kind = Kind::Line;
    int owner = 0;
    bool transient = false;
    std::vector<LPoint> points;  // Line: two points; Text: the top-left anchor
    Pen pen;
    Brush brush;                 // Polygon
    FillMode fill = FillMode::Alternate;
    std::string text;            // Text
    Font font{"", kDefaultTextHeight, 400, 0};
    Rgb textColour;
    bool opaque = false;         // Text: background filled with `background`
    Rgb background{255, 255, 255};
    // Opaque texts: the ground reaches at least this far right of the anchor (logical units),
    // so that a text written over the status line leaves none of that line's tail showing.
    int32_t groundWidth = 0;
};

class OverlayLayer {
public:
    // The owner of the progress text of running operations.
    static constexpr int kProgressOwner = 1;
    // Where commands write their progress: the status line's place.
    static constexpr LPoint kProgressAt{10, -18};
    // The second progress line, one text line below the first.
    static constexpr int kSecondProgressOwner = 2;
    static constexpr LPoint kSecondProgressAt{10, -18 - kDefaultTextHeight - 5};

    void Add(OverlayFigure figure);
    // Replaces every figure of the owner by these.
    void Replace(int owner, std::vector<OverlayFigure> figures);
    void RemoveOwner(int owner);
    // A transient text on an opaque white ground at `at` (replacing the owner's figures); the
    // ground runs kTransientGroundWidth to the right, over whatever status text lies under it.
    // An empty text removes them.
    static constexpr int32_t kTransientGroundWidth = 1500;
    void SetTransientText(int owner, const std::string& text, LPoint at);
    // The record is about to be drawn again: transient figures end.
    void ClearTransient();
    void Clear();

    void Draw(Canvas& canvas) const;

    const std::vector<OverlayFigure>& Figures() const { return figures_; }
    bool Empty() const { return figures_.empty(); }
    // Raised by every change, so a window can tell whether it must paint again.
    uint64_t Revision() const { return revision_; }

private:
    std::vector<OverlayFigure> figures_;
    uint64_t revision_ = 0;
};

}  // namespace velk
