#include "draw/overlay.h"

#include <algorithm>

#include "draw/coordinates.h"

namespace velk {

void OverlayLayer::Add(OverlayFigure figure)
{
    figures_.push_back(std::move(figure));
    ++revision_;
}

void OverlayLayer::Replace(int owner, std::vector<OverlayFigure> figures)
{
    std::erase_if(figures_, [owner](const OverlayFigure& f) { return f.owner == owner; });
    for (OverlayFigure& f : figures) {
        f.owner = owner;
        figures_.push_back(std::move(f));
    }
    ++revision_;
}

void OverlayLayer::RemoveOwner(int owner)
{
    std::erase_if(figures_, [owner](const OverlayFigure& f) { return f.owner == owner; });
    ++revision_;
}

void OverlayLayer::SetTransientText(int owner, const std::string& text, LPoint at)
{
    std::vector<OverlayFigure> figures;
    if (!text.empty()) {
        OverlayFigure f;
        f.kind = OverlayFigure::Kind::Text;
        f.transient = true;
        f.points = {at};
        f.text = text;
        f.opaque = true;
        f.groundWidth = kTransientGroundWidth;
        figures.push_back(std::move(f));
    }
    Replace(owner, std::move(figures));
}

void OverlayLayer::ClearTransient()
{
    const size_t before = figures_.size();
    std::erase_if(figures_, [](const OverlayFigure& f) { return f.transient; });
    if (figures_.size() != before) ++revision_;
}

void OverlayLayer::Clear()
{
    figures_.clear();
    ++revision_;
}

void OverlayLayer::Draw(Canvas& canvas) const
{
    if (figures_.empty()) return;
    ScopedPen pen(canvas, canvas.CurrentPen());
    ScopedBrush brush(canvas, canvas.CurrentBrush());
    ScopedFont font(canvas, canvas.CurrentFont());
    for (const OverlayFigure& f : figures_) {
        switch (f.kind) {
        case OverlayFigure::Kind::Line:
            if (f.points.size() >= 2) {
                canvas.SetPen(f.pen);
                canvas.MoveTo(f.points[0]);
                canvas.LineTo(f.points[1]);
            }
            break;
        case OverlayFigure::Kind::Polyline:
            canvas.SetPen(f.pen);
            canvas.Polyline(f.points);
            break;
        case OverlayFigure::Kind::Polygon:
            canvas.SetPen(f.pen);
            canvas.SetBrush(f.brush);
            canvas.Polygon(f.points, f.fill);
            break;
        case OverlayFigure::Kind::Text:
            if (!f.points.empty()) {
                canvas.SetFont(f.font);
                if (f.opaque && f.groundWidth > 0) {
                    const LSize extent = canvas.TextExtent(f.text);
                    const LPoint at = f.points[0];
                    canvas.SetPen(Pen{PenStyle::Null, 0, {}});
                    canvas.SetBrush(Brush{f.background, false});
                    canvas.Rectangle(LRect{at.x, at.y, SaturatingAdd(at.x, std::max(extent.cx, f.groundWidth)),
                                           SaturatingAdd(at.y, -extent.cy)});
                }
                canvas.SetTextColour(f.textColour);
                canvas.SetTextBackground(f.opaque, f.background);
                canvas.TextOut(f.points[0], f.text);
                canvas.SetTextBackground(false, f.background);
            }
            break;
        }
    }
}

}  // namespace velk
