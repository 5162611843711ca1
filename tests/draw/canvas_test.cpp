#include <gtest/gtest.h>

#include "draw/mapping.h"
#include "draw/recording_canvas.h"

namespace velk {
namespace {

TEST(LogicalMapping, ClickLandsWhereTheDrawingWas)
{
    LogicalMapping m = LogicalMapping::ForDpi(254.0, 254.0);  // one pixel per 0.1 mm
    m.scrollX = 40;
    m.scrollY = 100;
    // y up in logical units, y down in pixels; the scroll offset shifts both.
    EXPECT_EQ(m.ToDevice({300, -300}), (DevicePoint{260, 200}));
    EXPECT_EQ(m.ToLogical({260, 200}), (LPoint{300, -300}));
    for (LPoint p : {LPoint{0, 0}, LPoint{1234, -5678}, LPoint{-20, 45}})
        EXPECT_EQ(m.ToLogical(m.ToDevice(p)), p);
}

TEST(LogicalMapping, CoarseScreensRoundToTheNearestUnit)
{
    LogicalMapping m = LogicalMapping::ForDpi(96.0, 96.0);
    const DevicePoint d = m.ToDevice({1000, -1000});
    EXPECT_EQ(d, (DevicePoint{378, 378}));
    const LPoint back = m.ToLogical(d);
    EXPECT_NEAR(back.x, 1000, 2);
    EXPECT_NEAR(back.y, -1000, 2);
    EXPECT_EQ(m.ToDeviceLength(1), 1);  // never thinner than a pixel
    // Nonsense resolutions keep the default.
    EXPECT_EQ(LogicalMapping::ForDpi(0.0, -1.0).pixelsPerUnitX, LogicalMapping{}.pixelsPerUnitX);
}

TEST(RecordingCanvas, RemembersCallsWithTheStateOfTheirTime)
{
    RecordingCanvas c;
    c.SetPen({PenStyle::Dash, 4, {255, 0, 255}});
    c.MoveTo({10, -10});
    c.LineTo({20, -30});
    c.SetPen({});
    const LPoint pts[] = {{0, 0}, {5, 5}, {10, 0}};
    c.Polygon(pts, FillMode::Winding);
    c.SetTextColour({255, 0, 0});
    c.TextOut({10, -18}, " BPF calculation : trace = 3 ");

    ASSERT_EQ(c.Ops().size(), 4u);
    const auto lines = c.OpsOf(RecordingCanvas::Kind::LineTo);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->points, (std::vector<LPoint>{{10, -10}, {20, -30}}));
    EXPECT_EQ(lines[0]->pen.style, PenStyle::Dash);
    EXPECT_EQ(lines[0]->pen.colour, (Rgb{255, 0, 255}));
    EXPECT_EQ(c.OpsOf(RecordingCanvas::Kind::Polygon)[0]->fill, FillMode::Winding);
    EXPECT_EQ(c.OpsOf(RecordingCanvas::Kind::Polygon)[0]->pen.style, PenStyle::Solid);
    const auto* text = c.FindText("trace = 3");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->points[0], (LPoint{10, -18}));
    EXPECT_EQ(text->textColour, (Rgb{255, 0, 0}));
    EXPECT_EQ(c.FindText("nothing"), nullptr);
}

}  // namespace
}  // namespace velk
