#include "draw/svg_canvas.h"

#include <algorithm>
#include <cstdlib>

#include "platform/numtext.h"

namespace velk {
namespace {

std::string Colour(Rgb c) { return FormatC("rgb(%d,%d,%d)", c.r, c.g, c.b); }

// Characters of a UTF-8 text (continuation bytes do not count).
int32_t CodePoints(std::string_view utf8)
{
    int32_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

int Height(const Font& font) { return font.height > 0 ? font.height : 35; }

}  // namespace

std::string XmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            // Control characters are not allowed in XML 1.0.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                out += ' ';
            } else {
                out += c;
            }
        }
    }
    return out;
}

SvgCanvas::SvgCanvas(const SvgFrame& frame) : frame_(frame) {}

std::string SvgCanvas::Stroke() const
{
    if (pen_.style == PenStyle::Null) return "stroke=\"none\"";
    const int w = std::max(pen_.width, 1);
    std::string s = "stroke=\"" + Colour(pen_.colour) + "\" stroke-width=\"" + std::to_string(w) + "\"";
    auto dash = [&](std::initializer_list<int> pattern) {
        std::string d;
        for (int v : pattern) d += (d.empty() ? "" : " ") + std::to_string(v * w);
        return " stroke-dasharray=\"" + d + "\"";
    };
    switch (pen_.style) {
    case PenStyle::Dash: s += dash({18, 6}); break;
    case PenStyle::Dot: s += dash({3, 3}); break;
    case PenStyle::DashDot: s += dash({9, 6, 3, 6}); break;
    case PenStyle::DashDotDot: s += dash({9, 3, 3, 3, 3, 3}); break;
    case PenStyle::Solid:
    case PenStyle::Null: break;
    }
    return s;
}

std::string SvgCanvas::Fill() const { return brush_.hollow ? "fill=\"none\"" : "fill=\"" + Colour(brush_.colour) + "\""; }

void SvgCanvas::Points(std::span<const LPoint> points)
{
    body_ << " points=\"";
    bool first = true;
    for (const LPoint& p : points) {
        body_ << (first ? "" : " ") << p.x << ',' << -static_cast<int64_t>(p.y);
        first = false;
    }
    body_ << '"';
}

void SvgCanvas::LineTo(LPoint p)
{
    body_ << "<line x1=\"" << current_.x << "\" y1=\"" << -static_cast<int64_t>(current_.y) << "\" x2=\"" << p.x
          << "\" y2=\"" << -static_cast<int64_t>(p.y) << "\" " << Stroke() << "/>\n";
    current_ = p;
}

void SvgCanvas::Polyline(std::span<const LPoint> points)
{
    if (points.empty()) return;
    body_ << "<polyline";
    Points(points);
    body_ << " fill=\"none\" " << Stroke() << "/>\n";
}

void SvgCanvas::Polygon(std::span<const LPoint> points, FillMode mode)
{
    if (points.empty()) return;
    body_ << "<polygon";
    Points(points);
    body_ << ' ' << Fill() << " fill-rule=\"" << (mode == FillMode::Winding ? "nonzero" : "evenodd") << "\" "
          << Stroke() << "/>\n";
}

void SvgCanvas::Rectangle(LRect r)
{
    const int64_t x = std::min(r.left, r.right), y = -static_cast<int64_t>(std::max(r.top, r.bottom));
    body_ << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << std::abs(static_cast<int64_t>(r.right) - r.left)
          << "\" height=\"" << std::abs(static_cast<int64_t>(r.top) - r.bottom) << "\" " << Fill() << ' ' << Stroke()
          << "/>\n";
}

void SvgCanvas::Ellipse(LRect b)
{
    const double cx = (static_cast<double>(b.left) + b.right) / 2, cy = -(static_cast<double>(b.top) + b.bottom) / 2;
    const double rx = std::abs(static_cast<double>(b.right) - b.left) / 2;
    const double ry = std::abs(static_cast<double>(b.top) - b.bottom) / 2;
    body_ << "<ellipse cx=\"" << FormatC("%g", cx) << "\" cy=\"" << FormatC("%g", cy) << "\" rx=\""
          << FormatC("%g", rx) << "\" ry=\"" << FormatC("%g", ry) << "\" " << Fill() << ' ' << Stroke() << "/>\n";
}

void SvgCanvas::SetPixel(LPoint p, Rgb colour)
{
    body_ << "<rect x=\"" << p.x << "\" y=\"" << -static_cast<int64_t>(p.y) << "\" width=\"1\" height=\"1\" fill=\""
          << Colour(colour) << "\"/>\n";
}

LSize SvgCanvas::TextExtent(std::string_view utf8)
{
    const int h = Height(font_);
    return {CodePoints(utf8) * h / 2, h};
}

void SvgCanvas::TextOut(LPoint p, std::string_view utf8)
{
    const int h = Height(font_);
    const int64_t x = p.x, y = -static_cast<int64_t>(p.y);
    const std::string rotate =
        font_.escapement != 0 ? FormatC(" transform=\"rotate(%g %lld %lld)\"", -font_.escapement / 10.0,
                                        static_cast<long long>(x), static_cast<long long>(y))
                              : std::string();
    if (opaque_) {
        const LSize size = TextExtent(utf8);
        body_ << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << size.cx << "\" height=\"" << size.cy
              << "\" fill=\"" << Colour(background_) << "\"" << rotate << "/>\n";
    }
    const char* anchor = "start";
    const char* baseline = "text-before-edge";
    switch (align_) {
    case TextAlign::TopLeft: break;
    case TextAlign::TopCentre: anchor = "middle"; break;
    case TextAlign::TopRight: anchor = "end"; break;
    case TextAlign::BaselineLeft: baseline = "auto"; break;
    case TextAlign::BottomLeft: baseline = "text-after-edge"; break;
    }
    body_ << "<text x=\"" << x << "\" y=\"" << y << "\" font-family=\""
          << XmlEscape(font_.face.empty() ? "sans-serif" : font_.face) << "\" font-size=\"" << h
          << "\" font-weight=\"" << std::clamp(font_.weight, 1, 1000) << "\" fill=\"" << Colour(textColour_)
          << "\" text-anchor=\"" << anchor << "\" dominant-baseline=\"" << baseline << "\"" << rotate
          << " xml:space=\"preserve\">" << XmlEscape(utf8) << "</text>\n";
}

std::string SvgCanvas::Document() const
{
    const double u = 10.0;  // units per mm
    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    head += FormatC("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%gmm\" height=\"%gmm\" "
                    "viewBox=\"%g %g %g %g\">\n",
                    frame_.widthMm, frame_.heightMm, frame_.leftMm * u, frame_.topMm * u, frame_.widthMm * u,
                    frame_.heightMm * u);
    return head + body_.str() + "</svg>\n";
}

}  // namespace velk
