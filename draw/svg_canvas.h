#pragma once
// A canvas that writes an SVG document, for the clipboard and for export. One user unit is one
// logical unit (0.1 mm); the document shows the frame given in millimetres, so a viewer or an
// office program gets the drawing at its true size. y is flipped into SVG's downward axis.

#include <sstream>
#include <string>

#include "draw/canvas.h"

namespace velk {

// The part of the logical plane that the document shows: its top-left corner lies leftMm to the
// right of the logical origin and topMm below it.
struct SvgFrame {
    double leftMm = 0.0;
    double topMm = 0.0;
    double widthMm = 210.0;
    double heightMm = 297.0;
};

class SvgCanvas : public Canvas {
public:
    explicit SvgCanvas(const SvgFrame& frame);

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

    void MoveTo(LPoint p) override { current_ = p; }
    void LineTo(LPoint p) override;
    void Polyline(std::span<const LPoint> points) override;
    void Polygon(std::span<const LPoint> points, FillMode mode) override;
    void Rectangle(LRect r) override;
    void Ellipse(LRect bounds) override;
    void SetPixel(LPoint p, Rgb colour) override;
    void TextOut(LPoint p, std::string_view utf8) override;
    // An estimate (the document has no fonts to measure): half the height per character.
    LSize TextExtent(std::string_view utf8) override;
    Pen CurrentPen() const override { return pen_; }
    Brush CurrentBrush() const override { return brush_; }
    Font CurrentFont() const override { return font_; }

    // The whole document, closed.
    std::string Document() const;

private:
    std::string Stroke() const;
    std::string Fill() const;
    void Points(std::span<const LPoint> points);

    SvgFrame frame_;
    std::ostringstream body_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Rgb textColour_;
    TextAlign align_ = TextAlign::TopLeft;
    bool opaque_ = false;
    Rgb background_{255, 255, 255};
    LPoint current_;
};

// Text made safe for XML content and attribute values.
std::string XmlEscape(std::string_view text);

}  // namespace velk
