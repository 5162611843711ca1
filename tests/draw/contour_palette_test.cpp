// The palette: automatic levels, colour tables and their reversal; the cell operations: band
// polygons, saddles and their split, single-band cells, values on a level, and the drawing's
// pen and brush discipline.

#include <gtest/gtest.h>

#include <cmath>

#include "draw/recording_canvas.h"
#include "draw/contour_palette.h"

namespace velk {
namespace {

using Kind = RecordingCanvas::Kind;

TEST(ContourPalette, AutomaticLevels)
{
    ContourPalette p;
    SetContourLevelCount(p, 12);
    SetAutomaticLevels(p, -10.0f);
    EXPECT_FLOAT_EQ(p.levels[0], -10000.0f);
    for (int i = 1; i <= 10; ++i) EXPECT_FLOAT_EQ(p.levels[static_cast<size_t>(i)], -11.0f + 2.0f * i) << i;
    EXPECT_NEAR(p.levels[11], 10.999f, 1e-5);
    EXPECT_FLOAT_EQ(p.levels[12], 100000.0f);

    // A spectrum's twenty levels: 0.2778 .. 10.2768 in steps of 10 / 18.
    SetContourLevelCount(p, 20);
    SetAutomaticLevels(p, 0.0f);
    EXPECT_NEAR(p.levels[1], 0.27778f, 1e-4);
    EXPECT_NEAR(p.levels[2] - p.levels[1], 10.0f / 18.0f, 1e-4);
    EXPECT_NEAR(p.levels[19], 10.2768f, 1e-4);
    EXPECT_FLOAT_EQ(p.levels[20], 100000.0f);

    // Logarithmic spacing needs a positive bound; with 0 or -10 the levels are linear.
    p.logLevels = 1;
    const auto linear = p.levels;
    SetAutomaticLevels(p, 0.0f);
    EXPECT_EQ(p.levels, linear);
    SetAutomaticLevels(p, 0.1f);
    EXPECT_NEAR(p.levels[1], 0.1f, 1e-6);
    EXPECT_NEAR(p.levels[10], std::pow(10.0f, -1.0f + 9.0f * 2.0f / 18.0f), 1e-4);
    EXPECT_NEAR(p.levels[19], 9.999f, 1e-4);

    // The count stays within 3..36 however it is set.
    SetContourLevelCount(p, 80);
    EXPECT_EQ(p.levelCount, 36);
    p.levelCount = 1;  // stored directly: still read as 3
    EXPECT_EQ(ContourLevelCount(p), 3);
    SetAutomaticLevels(p, -10.0f);
    EXPECT_TRUE(std::isfinite(p.levels[1]));
}

TEST(ContourPalette, ColourTablesAndReversal)
{
    ContourPalette p;
    // The base tables as tabled: magenta, red, yellow, green, blue; greys 0 .. 255.
    EXPECT_EQ((Rgb{255, 0, 255}), (Rgb{uint8_t(p.baseColourR[0]), uint8_t(p.baseColourG[0]), uint8_t(p.baseColourB[0])}));
    EXPECT_EQ(p.baseColourG[9], 135);
    EXPECT_EQ(p.baseColourR[13] + p.baseColourG[13], 510);
    EXPECT_EQ(p.baseColourR[24], 25);
    EXPECT_EQ(p.baseColourG[31], 100);
    EXPECT_EQ(p.baseColourB[31], 150);
    EXPECT_EQ(p.baseColourB[36], 255);
    EXPECT_EQ(p.baseGreyR[5], 35);
    EXPECT_EQ(p.baseGreyR[6], 43);
    EXPECT_EQ(p.baseGreyR[18], 128);
    EXPECT_EQ(p.baseGreyR[29], 205);
    EXPECT_EQ(p.baseGreyB[36], 255);

    // Entry i takes base entry trunc(i x 37 / n), at most 36.
    BuildColourTable(p);  // n = 20
    EXPECT_EQ(p.colourR[1], p.baseColourR[1]);
    EXPECT_EQ(p.colourG[10], p.baseColourG[18]);
    EXPECT_EQ(p.colourG[19], p.baseColourG[35]);
    EXPECT_EQ(p.colourB[20], p.baseColourB[36]);
    EXPECT_EQ(p.greyR[10], p.baseGreyR[18]);
    EXPECT_EQ(BandColour(p, 0), (Rgb{255, 0, 255}));
    p.colourScheme = 1;
    EXPECT_EQ(BandColour(p, 20), (Rgb{255, 255, 255}));
    p.colourScheme = -1;

    ContourPalette reversed = p;
    ReverseColourTable(reversed);
    for (int i = 0; i <= 20; ++i) {
        EXPECT_EQ(reversed.colourG[static_cast<size_t>(i)], p.colourG[static_cast<size_t>(20 - i)]);
        EXPECT_EQ(reversed.greyR[static_cast<size_t>(i)], p.greyR[static_cast<size_t>(20 - i)]);
    }
    EXPECT_EQ(reversed.colourR[21], p.colourR[21]);  // beyond n: untouched

    // User tables are copied as they are and never reversed.
    ContourPalette user;
    user.useUserColours = 1;
    for (int i = 0; i < kContourTableSize; ++i) user.userR[static_cast<size_t>(i)] = i;
    BuildColourTable(user);
    EXPECT_EQ(user.colourR[7], 7);
    ReverseColourTable(user);
    EXPECT_EQ(user.colourR[7], 7);
}

class ContourCells : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetContourLevelCount(p, 12);
        SetAutomaticLevels(p, -10.0f);  // -9, -7, ..., 9, 10.999
        BuildColourTable(p);
    }
    static ContourQuad Square(float v0, float v1, float v2, float v3)
    {
        ContourQuad q;
        q.p = {LPoint{0, 0}, LPoint{0, -1000}, LPoint{1000, -1000}, LPoint{1000, 0}};
        q.v = {v0, v1, v2, v3};
        return q;
    }
    static double Area(const ContourPolygon& poly)
    {
        double a = 0.0;
        for (int i = 0; i < poly.count; ++i) {
            const LPoint u = poly.points[static_cast<size_t>(i)], w = poly.points[static_cast<size_t>((i + 1) % poly.count)];
            a += static_cast<double>(u.x) * w.y - static_cast<double>(w.x) * u.y;
        }
        return std::fabs(a) * 0.5;
    }
    ContourPalette p;
    ContourCellPieces pieces;
};

TEST_F(ContourCells, BandPolygonsOfARampCoverTheCell)
{
    // v = -10 + 0.02 x - 0.005 y (y down to -1000): a plane, so the level lines are straight.
    const ContourQuad q = Square(-10.0f, -5.0f, 15.0f, 10.0f);
    ASSERT_EQ(ComputeContourQuad(p, q, 1, pieces), 2);
    // The whole cell first (band below the first level inside), then one polygon per level.
    ASSERT_GE(pieces.polygonCount, 2);
    EXPECT_EQ(pieces.polygons[0].count, 4);
    EXPECT_EQ(pieces.polygons[0].band, 0);
    double visible = 0.0;
    for (int i = 0; i < pieces.polygonCount; ++i) {
        const double own = Area(pieces.polygons[static_cast<size_t>(i)]);
        const double next = i + 1 < pieces.polygonCount ? Area(pieces.polygons[static_cast<size_t>(i + 1)]) : 0.0;
        EXPECT_GE(own + 2000.0, next) << "each band lies inside the one below";
        visible += own - next;
        if (i > 0) {
            // The part at or above level L: exact area of the plane's region, within the
            // truncation of the crossing points (a unit along two edges of 1000).
            const float level = p.levels[static_cast<size_t>(pieces.polygons[static_cast<size_t>(i)].band)];
            double exact = 0.0;
            const int steps = 400;
            for (int a = 0; a < steps; ++a)
                for (int b = 0; b < steps; ++b) {
                    const double x = (a + 0.5) * 1000.0 / steps, y = -(b + 0.5) * 1000.0 / steps;
                    if (-10.0 + 0.02 * x - 0.005 * y >= level) exact += (1000.0 / steps) * (1000.0 / steps);
                }
            EXPECT_NEAR(own, exact, 6000.0) << "level " << level;
        }
    }
    EXPECT_NEAR(visible, 1.0e6, 1.0);
    EXPECT_EQ(pieces.segmentCount, pieces.polygonCount - 1);  // one line per crossing level
}

TEST_F(ContourCells, SaddlesEqualCornersAndValuesOnALevel)
{
    // A saddle: level 1 crosses all four edges; the fill stops there.
    const ContourQuad saddle = Square(6.0f, -4.0f, 6.0f, -4.0f);
    EXPECT_EQ(ComputeContourQuad(p, saddle, 0, pieces), 1);
    EXPECT_EQ(ComputeContourQuadLines(p, saddle, pieces), 1);
    RecordingCanvas canvas;
    EXPECT_EQ(FillContourQuad(p, canvas, saddle, 0), 1);
    canvas.Clear();
    FillContourQuadSplit(p, canvas, saddle, 0);
    // Each quarter gets its own whole fill: four polygons spanning the four quarters.
    int quarters = 0;
    for (const auto* op : canvas.OpsOf(Kind::Polygon)) {
        const auto box = RecordingCanvas::BoundingBox({op});
        if (op->points.size() == 4 && box->right - box->left == 500 && box->top - box->bottom == 500) ++quarters;
    }
    EXPECT_EQ(quarters, 4);
    canvas.Clear();
    DrawContourQuadSplit(p, canvas, saddle);
    EXPECT_GE(canvas.OpsOf(Kind::LineTo).size(), 4u);

    // Four equal corners: one band, result 3; exactly on a level: the band above it.
    EXPECT_EQ(ComputeContourQuad(p, Square(2.5f, 2.5f, 2.5f, 2.5f), 0, pieces), 3);
    EXPECT_EQ(pieces.polygons[0].band, 6);  // between 1 and 3
    EXPECT_EQ(ComputeContourQuad(p, Square(3.0f, 3.0f, 3.0f, 3.0f), 0, pieces), 3);
    EXPECT_EQ(pieces.polygons[0].band, 7);
    EXPECT_EQ(ContourCellBand(p, 3.0f), 7);
    EXPECT_EQ(ContourCellBand(p, 2.99f), 6);
    EXPECT_EQ(ContourCellBand(p, -50.0f), 0);
    EXPECT_EQ(ContourCellBand(p, 1e30f), 11);
    // Two corners on the level, two above: the above part is the whole cell, in the band above.
    ASSERT_EQ(ComputeContourQuad(p, Square(3.0f, 3.0f, 4.0f, 4.0f), 0, pieces), 2);
    EXPECT_EQ(pieces.polygons[pieces.polygonCount - 1].band, 7);
    EXPECT_NEAR(Area(pieces.polygons[pieces.polygonCount - 1]), 1.0e6, 1.0);
    // A cell of no value (NaN) gets the top band and no line.
    EXPECT_EQ(ComputeContourQuad(p, Square(NAN, 0.0f, 0.0f, 0.0f), 1, pieces), 4);
    EXPECT_EQ(ComputeContourQuadLines(p, Square(NAN, 0.0f, 5.0f, 0.0f), pieces), 0);
}

TEST_F(ContourCells, DrawingUsesANullPenAndRestoresTheCallers)
{
    RecordingCanvas canvas;
    const Pen caller{PenStyle::Dash, 3, {1, 2, 3}};
    const Brush brush{{9, 9, 9}, true};
    canvas.SetPen(caller);
    canvas.SetBrush(brush);
    FillContourQuad(p, canvas, Square(-10.0f, -5.0f, 15.0f, 10.0f), 1);
    FillContourCell(p, canvas, Square(0, 0, 0, 0), 0.0f);
    EXPECT_EQ(canvas.CurrentPen(), caller);
    EXPECT_EQ(canvas.CurrentBrush(), brush);
    for (const auto* op : canvas.OpsOf(Kind::Polygon)) {
        EXPECT_EQ(op->pen.style, PenStyle::Null);
        EXPECT_EQ(op->fill, FillMode::Alternate);
    }
    // The contour lines over the fill are drawn with the caller's pen.
    const auto lines = canvas.OpsOf(Kind::LineTo);
    ASSERT_FALSE(lines.empty());
    for (const auto* op : lines) EXPECT_EQ(op->pen, caller);
    // FillContourCell paints the band of the value given.
    const auto polys = canvas.OpsOf(Kind::Polygon);
    EXPECT_EQ(polys.back()->brush.colour, BandColour(p, 5));
}

}  // namespace
}  // namespace velk
