// The drawing layer: the mapping at screen and printer resolutions, the scoped selectors, the
// recording canvas's queries, the SVG document and the overlay layer.

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <climits>
#include <cmath>

#include "draw/coordinates.h"
#include "draw/mapping.h"
#include "draw/overlay.h"
#include "draw/recording_canvas.h"
#include "draw/svg_canvas.h"

namespace velk {
namespace {

TEST(LogicalMapping, RoundTripsWithinAPixelAtScreenAndPrinterResolutions)
{
    for (double dpi : {96.0, 600.0}) {
        for (DevicePoint scroll : {DevicePoint{0, 0}, DevicePoint{137, 2045}}) {
            LogicalMapping m = LogicalMapping::ForDpi(dpi, dpi);
            m.scrollX = scroll.x;
            m.scrollY = scroll.y;
            for (LPoint p : {LPoint{300, -300}, LPoint{12345, -6789}, LPoint{-40, 25}, LPoint{127999, -31999}}) {
                const DevicePoint d = m.ToDevice(p);
                // The pixel is where the unit lies on the device.
                EXPECT_NEAR(d.x, p.x * dpi / 254.0 - scroll.x, 0.5) << dpi;
                EXPECT_NEAR(d.y, -p.y * dpi / 254.0 - scroll.y, 0.5) << dpi;
                // And back within one pixel's worth of units.
                const LPoint back = m.ToLogical(d);
                EXPECT_LE(std::abs(back.x - p.x), 254.0 / dpi) << dpi;
                EXPECT_LE(std::abs(back.y - p.y), 254.0 / dpi) << dpi;
            }
        }
    }
    // Far-off coordinates stay defined on the device side.
    const LogicalMapping m = LogicalMapping::ForDpi(600.0, 600.0);
    const DevicePoint far = m.ToDevice({INT32_MAX, INT32_MIN});
    EXPECT_EQ(far.x, 1 << 30);
    EXPECT_EQ(far.y, 1 << 30);
    EXPECT_EQ(SaturatingTrunc(1e300), kCoordinateLimit);
    EXPECT_EQ(SaturatingTrunc(-2.9), -2);
    EXPECT_EQ(SaturatingTrunc(std::nan("")), 0);
}

TEST(RecordingCanvas, ScopedSelectorsAndQueries)
{
    RecordingCanvas c;
    const Pen red{PenStyle::Solid, 1, {255, 0, 0}};
    {
        ScopedPen pen(c, red);
        ScopedFont font(c, Font{"IPAGothic", 30, 400, 0});
        const LPoint line[] = {{10, -10}, {50, -80}, {90, -20}};
        c.Polyline(line);
        c.TextOut({5, -100}, "label");
    }
    EXPECT_EQ(c.CurrentPen(), Pen{});
    EXPECT_EQ(c.CurrentFont(), Font{});
    c.SetPen({PenStyle::Null, 1, {255, 0, 0}});
    c.MoveTo({0, 0});
    c.LineTo({1000, 1000});  // a null pen draws nothing in red
    EXPECT_EQ(c.OpsInColour({255, 0, 0}).size(), 1u);
    EXPECT_EQ(c.Ops()[0].font.face, "IPAGothic");
    const auto box = RecordingCanvas::BoundingBox(c.OpsInColour({255, 0, 0}));
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(*box, (LRect{10, -10, 90, -80}));
    EXPECT_EQ(c.BoundingBox()->right, 1000);
}

TEST(SvgCanvas, WritesAParsableDocumentAtTrueSize)
{
    SvgCanvas svg(SvgFrame{0.0, 0.0, 200.0, 150.0});
    svg.SetPen({PenStyle::Dash, 2, {0, 0, 255}});
    const LPoint line[] = {{300, -300}, {301, -350}, {302, -310}};
    svg.Polyline(line);
    svg.SetFont(Font{"", 35, 400, 900});
    svg.TextOut({70, -500}, "D i s t a n c e (m) <&>");
    const std::string doc = svg.Document();

    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(doc.c_str())) << doc;
    const pugi::xml_node root = xml.child("svg");
    EXPECT_STREQ(root.attribute("width").value(), "200mm");
    EXPECT_STREQ(root.attribute("height").value(), "150mm");
    EXPECT_STREQ(root.attribute("viewBox").value(), "0 0 2000 1500");
    const pugi::xml_node polyline = root.child("polyline");
    EXPECT_STREQ(polyline.attribute("points").value(), "300,300 301,350 302,310");
    EXPECT_STREQ(polyline.attribute("stroke").value(), "rgb(0,0,255)");
    EXPECT_NE(std::string(polyline.attribute("stroke-dasharray").value()), "");
    const pugi::xml_node text = root.child("text");
    EXPECT_STREQ(text.text().get(), "D i s t a n c e (m) <&>");
    EXPECT_STREQ(text.attribute("transform").value(), "rotate(-90 70 500)");
}

TEST(OverlayLayer, FiguresByOwnerAndTransientTexts)
{
    OverlayLayer layer;
    OverlayFigure rubber;
    rubber.kind = OverlayFigure::Kind::Line;
    rubber.points = {{0, 0}, {100, -100}};
    rubber.pen = {PenStyle::Solid, 1, {255, 0, 255}};
    layer.Replace(7, {rubber});
    layer.SetTransientText(OverlayLayer::kProgressOwner, " BPF calculation : trace = 3 ", OverlayLayer::kProgressAt);
    const uint64_t revision = layer.Revision();

    RecordingCanvas c;
    layer.Draw(c);
    ASSERT_EQ(c.OpsOf(RecordingCanvas::Kind::LineTo).size(), 1u);
    const auto* text = c.FindText("trace = 3");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->points[0], (LPoint{10, -18}));
    EXPECT_TRUE(text->opaque);
    // Its white ground runs on past the text, over the tail of a longer status line under it.
    const auto grounds = c.OpsOf(RecordingCanvas::Kind::Rectangle);
    ASSERT_EQ(grounds.size(), 1u);
    EXPECT_EQ(grounds[0]->points[0], (LPoint{10, -18}));
    EXPECT_GE(grounds[0]->points[1].x, 10 + OverlayLayer::kTransientGroundWidth);
    EXPECT_EQ(grounds[0]->brush.colour, (Rgb{255, 255, 255}));
    EXPECT_EQ(c.CurrentPen(), Pen{});  // the layer leaves the canvas as it found it

    layer.ClearTransient();  // the record is drawn again
    EXPECT_GT(layer.Revision(), revision);
    ASSERT_EQ(layer.Figures().size(), 1u);
    EXPECT_EQ(layer.Figures()[0].owner, 7);
    layer.Replace(7, {});
    EXPECT_TRUE(layer.Empty());
}

}  // namespace
}  // namespace velk
