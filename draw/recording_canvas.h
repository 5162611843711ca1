#pragma once
// A canvas that remembers every call, for tests: "trace 3 was drawn at x = 250", "the pick
// mark sits at 12.4 ms", "this text was written in red".

#include <optional>
#include <string>
#include <vector>

#include "draw/canvas.h"

namespace velk {

class RecordingCanvas : public Canvas {
public:
    enum class Kind { MoveTo, LineTo, Polyline, Polygon, Rectangle, Ellipse, SetPixel, Text };

    struct Op {
        Kind kind;
        std::vector<LPoint> points;  // LineTo: from, to; Rectangle/Ellipse: two corners
        std::string text;            // Text only
        Pen pen;                     // state when the call was made
        Brush brush;
        Font font;
        Rgb textColour;
        TextAlign align = TextAlign::TopLeft;
        FillMode fill = FillMode::Alternate;
        Rgb pixel;  // SetPixel only
        bool opaque = false;  // text background filled
        Rgb background;
    };

    void SetPen(const Pen& pen) override { pen_ = pen; }
    void SetBrush(const Brush& brush) override { brush_ = brush; }
    void SetFont(const Font& font) override { font_ = font; }
    void SetTextColour(Rgb colour) override { textColour_ = colour; }
    void SetTextAlign(TextAlign align) override { align_ = align; }
    void SetTextBackground(bool opaque, Rgb colour) override
    {
        opaque_ = opaque;
        background_ = colour;
    }

    void MoveTo(LPoint p) override;
    void LineTo(LPoint p) override;
    void Polyline(std::span<const LPoint> points) override;
    void Polygon(std::span<const LPoint> points, FillMode mode) override;
    void Rectangle(LRect r) override;
    void Ellipse(LRect bounds) override;
    void SetPixel(LPoint p, Rgb colour) override;
    void TextOut(LPoint p, std::string_view utf8) override;
    // A fixed-pitch estimate: each byte of text is half the font height wide.
    LSize TextExtent(std::string_view utf8) override;
    Pen CurrentPen() const override { return pen_; }
    Brush CurrentBrush() const override { return brush_; }
    Font CurrentFont() const override { return font_; }

    const std::vector<Op>& Ops() const { return ops_; }
    std::vector<const Op*> OpsOf(Kind kind) const;
    // The texts written, in order.
    std::vector<std::string> Texts() const;
    // The first text op whose text contains `part`, or nullptr.
    const Op* FindText(std::string_view part) const;
    // The ops drawn in a colour: lines, polylines and outlines by their pen (a null pen draws
    // nothing and never matches), texts by their text colour, pixels by theirs, fills by the
    // brush.
    std::vector<const Op*> OpsInColour(Rgb colour) const;
    // The smallest rectangle holding every point of the given ops (left <= right, bottom <= top);
    // nullopt when they hold no point. Texts count their anchor only.
    static std::optional<LRect> BoundingBox(const std::vector<const Op*>& ops);
    std::optional<LRect> BoundingBox() const;
    void Clear() { ops_.clear(); }

private:
    Op Make(Kind kind) const;

    std::vector<Op> ops_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Rgb textColour_;
    TextAlign align_ = TextAlign::TopLeft;
    bool opaque_ = false;
    Rgb background_{255, 255, 255};
    LPoint current_;
};

}  // namespace velk
