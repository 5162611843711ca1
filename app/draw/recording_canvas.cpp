#include "app/draw/recording_canvas.h"

namespace velk {

RecordingCanvas::Op RecordingCanvas::Make(Kind kind) const
{
    Op op{kind, {}, {}, pen_, brush_, font_, textColour_, align_, FillMode::Alternate, Rgb{}};
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

}  // namespace velk
