#include "draw/recording_canvas.h"

#include <algorithm>

namespace velk {

RecordingCanvas::Op RecordingCanvas::Make(Kind kind) const
{
    Op op{kind, {}, {}, pen_, brush_, font_, textColour_, align_, FillMode::Alternate, Rgb{}, opaque_, background_};
    return op;
}

void RecordingCanvas::MoveTo(LPoint p)
{
    Op op = Make(Kind::MoveTo);
    op.points = {p};
    ops_.push_back(std::move(op));
    current_ = p;
}

void RecordingCanvas::LineTo(LPoint p)
{
    Op op = Make(Kind::LineTo);
    op.points = {current_, p};
    ops_.push_back(std::move(op));
    current_ = p;
}

void RecordingCanvas::Polyline(std::span<const LPoint> points)
{
    Op op = Make(Kind::Polyline);
    op.points.assign(points.begin(), points.end());
    ops_.push_back(std::move(op));
}

void RecordingCanvas::Polygon(std::span<const LPoint> points, FillMode mode)
{
    Op op = Make(Kind::Polygon);
    op.points.assign(points.begin(), points.end());
    op.fill = mode;
    ops_.push_back(std::move(op));
}

void RecordingCanvas::Rectangle(LRect r)
{
    Op op = Make(Kind::Rectangle);
    op.points = {{r.left, r.top}, {r.right, r.bottom}};
    ops_.push_back(std::move(op));
}

void RecordingCanvas::Ellipse(LRect bounds)
{
    Op op = Make(Kind::Ellipse);
    op.points = {{bounds.left, bounds.top}, {bounds.right, bounds.bottom}};
    ops_.push_back(std::move(op));
}

void RecordingCanvas::SetPixel(LPoint p, Rgb colour)
{
    Op op = Make(Kind::SetPixel);
    op.points = {p};
    op.pixel = colour;
    ops_.push_back(std::move(op));
}

void RecordingCanvas::TextOut(LPoint p, std::string_view utf8)
{
    Op op = Make(Kind::Text);
    op.points = {p};
    op.text.assign(utf8);
    ops_.push_back(std::move(op));
}

LSize RecordingCanvas::TextExtent(std::string_view utf8)
{
    const int height = font_.height > 0 ? font_.height : 35;
    return {static_cast<int32_t>(utf8.size()) * height / 2, height};
}

std::vector<const RecordingCanvas::Op*> RecordingCanvas::OpsOf(Kind kind) const
{
    std::vector<const Op*> found;
    for (const Op& op : ops_)
        if (op.kind == kind) found.push_back(&op);
    return found;
}

std::vector<std::string> RecordingCanvas::Texts() const
{
    std::vector<std::string> texts;
    for (const Op& op : ops_)
        if (op.kind == Kind::Text) texts.push_back(op.text);
    return texts;
}

const RecordingCanvas::Op* RecordingCanvas::FindText(std::string_view part) const
{
    for (const Op& op : ops_)
        if (op.kind == Kind::Text && op.text.find(part) != std::string::npos) return &op;
    return nullptr;
}

std::vector<const RecordingCanvas::Op*> RecordingCanvas::OpsInColour(Rgb colour) const
{
    std::vector<const Op*> found;
    for (const Op& op : ops_) {
        bool match = false;
        switch (op.kind) {
        case Kind::MoveTo: break;
        case Kind::Text: match = op.textColour == colour; break;
        case Kind::SetPixel: match = op.pixel == colour; break;
        case Kind::Polygon:
        case Kind::Rectangle:
        case Kind::Ellipse:
            match = (op.pen.style != PenStyle::Null && op.pen.colour == colour) ||
                    (!op.brush.hollow && op.brush.colour == colour);
            break;
        case Kind::LineTo:
        case Kind::Polyline: match = op.pen.style != PenStyle::Null && op.pen.colour == colour; break;
        }
        if (match) found.push_back(&op);
    }
    return found;
}

std::optional<LRect> RecordingCanvas::BoundingBox(const std::vector<const Op*>& ops)
{
    std::optional<LRect> box;
    for (const Op* op : ops) {
        for (const LPoint& p : op->points) {
            if (!box) {
                box = LRect{p.x, p.y, p.x, p.y};
                continue;
            }
            box->left = std::min(box->left, p.x);
            box->right = std::max(box->right, p.x);
            box->bottom = std::min(box->bottom, p.y);
            box->top = std::max(box->top, p.y);
        }
    }
    return box;
}

std::optional<LRect> RecordingCanvas::BoundingBox() const
{
    std::vector<const Op*> all;
    for (const Op& op : ops_)
        if (op.kind != Kind::MoveTo) all.push_back(&op);
    return BoundingBox(all);
}

}  // namespace velk
