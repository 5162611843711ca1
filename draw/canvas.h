#pragma once
// The drawing surface of the record view. Coordinates are integer logical units of 0.1 mm with
// y pointing up, so a point below the plot origin has a negative y, exactly as the drawing code
// computes it. Backends: the wx device context (window, bitmap, printer), a recording canvas
// for tests and SVG for export. Every pen, brush and font is chosen for one drawing step.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velk {

struct LPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const LPoint&) const = default;
};

struct LRect {  // left/right and top/bottom as the caller gives them (top may be below bottom)
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const LRect&) const = default;
};

struct LSize {
    int32_t cx = 0, cy = 0;
    bool operator==(const LSize&) const = default;
};

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1;  // logical units; 0 and 1 both mean the thinnest line
    Rgb colour{};
    bool operator==(const Pen&) const = default;
};

struct Brush {
    Rgb colour{};
    bool hollow = false;  // no fill
    bool operator==(const Brush&) const = default;
};

struct Font {
    std::string face;     // empty: the interface's default face
    int height = 0;       // logical units; 0: the default height
    int weight = 400;     // 100..900, 400 normal, 700 bold
    int escapement = 0;   // tenths of a degree counter-clockwise; -900 reads top to bottom,
                          // 900 bottom to top
    bool operator==(const Font&) const = default;
};

enum class FillMode { Alternate, Winding };

// Where TextOut's point lies on the text: the default is its top-left corner.
enum class TextAlign { TopLeft, TopCentre, TopRight, BaselineLeft, BottomLeft };

struct TraceLine;  // draw/trace_line.h

// One polygon of a batch of fills: the next `count` points of the batch, filled with `colour`.
struct FillShape {
    uint32_t count = 0;
    Rgb colour{};
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void SetPen(const Pen& pen) = 0;
    virtual void SetBrush(const Brush& brush) = 0;
    virtual void SetFont(const Font& font) = 0;
    virtual void SetTextColour(Rgb colour) = 0;
    virtual void SetTextAlign(TextAlign align) = 0;
    // Transparent text background (the default) or filled with the colour.
    virtual void SetTextBackground(bool opaque, Rgb colour) = 0;

    virtual void MoveTo(LPoint p) = 0;
    virtual void LineTo(LPoint p) = 0;  // with the current pen, then moves there
    virtual void Polyline(std::span<const LPoint> points) = 0;
    // Trace lines one after the other, each in its pen, as polylines of at most chunk + 1
    // points; the current pen stays. A backend may draw them without making their points (the
    // line raster does); the result is the same.
    virtual void TraceLines(std::span<const TraceLine> lines);
    virtual void Polygon(std::span<const LPoint> points, FillMode mode) = 0;  // pen outline, brush fill
    // Polygons without an outline one after the other, each filled with its colour by the
    // alternate rule, as Polygon fills them with a null pen and a solid brush; the pen and brush
    // stay. A backend may take the batch in one go (the line raster does); the result is the same.
    virtual void FillPolygons(std::span<const LPoint> points, std::span<const FillShape> shapes);
    virtual void Rectangle(LRect r) = 0;                                      // pen outline, brush fill
    virtual void Ellipse(LRect bounds) = 0;                                   // pen outline, brush fill
    virtual void SetPixel(LPoint p, Rgb colour) = 0;
    virtual void TextOut(LPoint p, std::string_view utf8) = 0;

    // The extent of a text in the current font, in logical units.
    virtual LSize TextExtent(std::string_view utf8) = 0;

    // The state last set, for the scoped selectors below.
    virtual Pen CurrentPen() const = 0;
    virtual Brush CurrentBrush() const = 0;
    virtual Font CurrentFont() const = 0;
};

// Select a pen, brush or font for one drawing step; the previous one comes back at the end of
// the scope.
class ScopedPen {
public:
    ScopedPen(Canvas& canvas, const Pen& pen) : canvas_(canvas), old_(canvas.CurrentPen()) { canvas.SetPen(pen); }
    ~ScopedPen() { canvas_.SetPen(old_); }
    ScopedPen(const ScopedPen&) = delete;
    ScopedPen& operator=(const ScopedPen&) = delete;

private:
    Canvas& canvas_;
    Pen old_;
};

class ScopedBrush {
public:
    ScopedBrush(Canvas& canvas, const Brush& brush) : canvas_(canvas), old_(canvas.CurrentBrush())
    {
        canvas.SetBrush(brush);
    }
    ~ScopedBrush() { canvas_.SetBrush(old_); }
    ScopedBrush(const ScopedBrush&) = delete;
    ScopedBrush& operator=(const ScopedBrush&) = delete;

private:
    Canvas& canvas_;
    Brush old_;
};

class ScopedFont {
public:
    ScopedFont(Canvas& canvas, const Font& font) : canvas_(canvas), old_(canvas.CurrentFont()) { canvas.SetFont(font); }
    ~ScopedFont() { canvas_.SetFont(old_); }
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

private:
    Canvas& canvas_;
    Font old_;
};

}  // namespace velk
