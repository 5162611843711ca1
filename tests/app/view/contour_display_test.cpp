// The record as a colour image and the velocity model, on the recording canvas: cell counts and
// corners, the scrolled window, short traces, the plot modes and the line flag; the model's
// cells, blank threshold, bubbles, legend and scale text.

#include <cmath>

#include "app/view/contour_display.h"
#include "app/view/velocity_model_display.h"
#include "app/view/draw_fixture.h"
#include "app/traveltime/modelling_commands.h"
#include "app/operations.h"
#include "tools/scripted_uihost.h"
#include "draw/contour_palette.h"

namespace velk {
namespace {

using drawtest::DrawTest;
using drawtest::Kind;
using drawtest::Op;

class ContourLayouts : public DrawTest {
protected:
    void Contour(int plotMode, int lines = 0)
    {
        ws->display.plotMode = plotMode;
        ws->display.plotSubFlag = lines;
        Paint();
    }
    // The filled cells: polygons drawn with the null pen.
    std::vector<const Op*> Cells() const
    {
        std::vector<const Op*> cells;
        for (const Op* op : canvas.OpsOf(Kind::Polygon))
            if (op->pen.style == PenStyle::Null) cells.push_back(op);
        return cells;
    }
    size_t ContourLines() const
    {
        size_t n = 0;
        for (const Op* op : canvas.OpsOf(Kind::LineTo))
            if (op->pen.width == 1 && op->pen.style == PenStyle::Solid) ++n;
        return n;
    }
};

TEST_F(ContourLayouts, OneCellPerPairOfTracesAndSamples)
{
    Fill(2, 2, [](int i, int j) { return static_cast<float>(i + j); });
    Contour(0);
    ASSERT_EQ(Cells().size(), 1u);
    // Corners (x_j, y_i), (x_j, y_i+1), (x_j+1, y_i+1), (x_j+1, y_i): origin 1 m before the
    // first receiver, 50 units per m, 1 unit per ms.
    EXPECT_EQ(Cells()[0]->points, (std::vector<LPoint>{{300, -350}, {300, -400}, {301, -400}, {301, -350}}));
    EXPECT_EQ(Cells()[0]->fill, FillMode::Alternate);

    Fill(1, 50, [](int, int j) { return static_cast<float>(j); });
    Contour(0);
    EXPECT_TRUE(Cells().empty());
    Fill(5, 1, [](int i, int) { return static_cast<float>(i); });
    Contour(1);
    EXPECT_TRUE(Cells().empty());

    Fill(4, 6, [](int i, int j) { return std::sin(0.3f * static_cast<float>(i * 6 + j)); });
    Contour(0);
    EXPECT_EQ(Cells().size(), 15u);

    // Time vertical: traces are columns, time runs down from the origin.
    Fill(2, 2, [](int i, int j) { return static_cast<float>(i + j); });
    ws->settings.plotDirection = 1;
    Contour(0);
    ASSERT_EQ(Cells().size(), 1u);
    EXPECT_EQ(Cells()[0]->points, (std::vector<LPoint>{{550, -300}, {600, -300}, {600, -301}, {550, -301}}));
}

TEST_F(ContourLayouts, ScrolledWindowAndShortTraces)
{
    // Positive only from trace 5 and sample 100 on: the first cell of the window is the top band.
    Fill(10, 300, [](int i, int j) { return i >= 5 && j >= 100 ? 1.0f : -1.0f; });
    ws->store.Params().vscale = 0.01f;  // by trace: the values are +-10
    ws->display.firstTraceShown = 5;
    ws->store.Params().tracesShown = 3;
    ws->display.firstSampleShown = 100;
    ws->store.Params().samplesShown = 50;
    Contour(0);
    const auto cells = Cells();
    ASSERT_EQ(cells.size(), 2u * 49u);
    EXPECT_EQ(cells[0]->points[0], (LPoint{300, -350}));  // trace 5 one step below the origin
    EXPECT_EQ(cells[0]->brush.colour, BandColour(ws->palette, ContourCellBand(ws->palette, 10.0f)));
    EXPECT_EQ(cells[48]->points[2], (LPoint{349, -400}));

    // A trace shorter than the window ends the cells on both sides of it; a count beyond the
    // row's capacity is not read past the row.
    Fill(3, 50, [](int, int j) { return static_cast<float>(j % 5); });
    ws->store.current.headers[1].samples = 10;
    Contour(0);
    EXPECT_EQ(Cells().size(), 18u);
    ws->store.current.headers[0].samples = 1 << 30;
    ws->store.current.headers[1].samples = 1 << 30;
    ws->store.Params().samplesShown = 1 << 30;
    Contour(0);
    EXPECT_EQ(Cells().size(), static_cast<size_t>(ws->store.current.rows.Cols() - 1) + 49u);
}

TEST_F(ContourLayouts, PlotModesAndTheLineFlag)
{
    Fill(3, 4, [](int i, int j) { return static_cast<float>(i * 4 + j) - 5.0f; });
    ws->store.Params().vscale = 0.01f;
    Contour(0);
    ASSERT_EQ(Cells().size(), 6u);  // one flat fill per cell, the band of the mean
    const float g = ws->display.appliedGain[0] * 0.01f;
    const float mean = g * (-5.0f - 1.0f - 0.0f - 4.0f) / 4.0f;
    EXPECT_EQ(Cells()[0]->brush.colour, BandColour(ws->palette, ContourCellBand(ws->palette, mean)));
    EXPECT_EQ(ContourLines(), 0u);

    Contour(1);  // banded: more polygons than cells where levels cross
    EXPECT_GT(Cells().size(), 6u);
    EXPECT_EQ(ContourLines(), 0u);
    Contour(1, 1);
    EXPECT_GT(ContourLines(), 0u);
    Contour(2, 1);  // lines only
    EXPECT_TRUE(Cells().empty());
    EXPECT_GT(ContourLines(), 0u);
    Contour(-1);
    EXPECT_TRUE(Cells().empty());

    // No traces: the notice only.
    ws->store.Params().traceCount = 0;
    Contour(0);
    EXPECT_NE(canvas.FindText("No waveform data"), nullptr);
    EXPECT_TRUE(Cells().empty());
}

class VelocityModel : public ContourLayouts {
protected:
    void Model(int plotMode)
    {
        ws->display.displayMode = 1;
        Contour(plotMode);
    }
    std::vector<const Op*> ModelCells() const  // left of the legend column
    {
        std::vector<const Op*> cells;
        for (const Op* op : Cells())
            if (op->points[0].x < 500) cells.push_back(op);
        return cells;
    }
};

TEST_F(VelocityModel, CellsBlankThresholdAndBubbles)
{
    // Three traces 1 m apart, four samples of 1 ms (1 m rows): 100 x 150 units at 50 per m.
    Fill(3, 4, [](int, int j) { return static_cast<float>(j); });
    ws->store.Params().vscale = 0.01f;  // by trace: 0, 3.33, 6.67, 10
    Model(0);
    const auto cells = ModelCells();
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(cells[0]->points, (std::vector<LPoint>{{300, -200}, {350, -200}, {350, -250}, {300, -250}}));
    EXPECT_TRUE(canvas.OpsOf(Kind::Polyline).size() > 0);
    EXPECT_NE(canvas.FindText("E l e v a t i o n"), nullptr);
    const size_t outlines = canvas.OpsOf(Kind::Polyline).size();
    ws->palette.drawCellOutlines = 1;
    Model(0);
    EXPECT_EQ(canvas.OpsOf(Kind::Polyline).size(), outlines + 6);

    ws->modelView.blankThreshold = 1.0f;  // the cells touching row 0 (value 0) are left out
    Model(0);
    EXPECT_EQ(ModelCells().size(), 4u);
    Model(1);
    for (const Op* op : ModelCells()) EXPECT_LE(op->points[0].y, -250);

    // Bubbles at every node: blue at or above 0, red below, radius min(15, |v| / 20 x 50).
    Fill(3, 4, [](int, int j) { return static_cast<float>(j) - 1.5f; });
    ws->store.Params().vscale = 0.01f;  // -10, -3.33, 3.33, 10
    Model(-1);
    const auto bubbles = canvas.OpsOf(Kind::Ellipse);
    ASSERT_EQ(bubbles.size(), 12u);
    auto radius = [](const Op* op) { return (op->points[1].x - op->points[0].x) / 2; };
    EXPECT_EQ(radius(bubbles[0]), 15);
    EXPECT_EQ(bubbles[0]->brush.colour, (Rgb{255, 0, 0}));
    EXPECT_EQ(radius(bubbles[1]), 8);
    EXPECT_EQ(bubbles[2]->brush.colour, (Rgb{0, 0, 255}));
    EXPECT_EQ(bubbles[2]->pen.style, PenStyle::Null);
    EXPECT_TRUE(ModelCells().empty());
    EXPECT_EQ(canvas.FindText("Legend"), nullptr);  // no legend for negative plot modes

    Model(-3);  // wiggle grid: a polyline per column and per row
    size_t grid = 0;
    for (const Op* op : canvas.OpsOf(Kind::Polyline)) grid += op->pen.width == 1 ? 1 : 0;
    EXPECT_EQ(grid, 3u + 4u);
}

TEST_F(VelocityModel, LegendAndScaleText)
{
    Fill(3, 4, [](int, int j) { return static_cast<float>(j); });
    Model(0);
    // The scale beside the model's bottom right corner and in pane 4.
    const Op* scale = canvas.FindText(" Scale = 1 / 200 ");
    ASSERT_NE(scale, nullptr);
    EXPECT_EQ(scale->points[0], (LPoint{400, -480}));
    EXPECT_EQ(status.texts[4], " Scale = 1 / 200 ");
    EXPECT_EQ(status.widths[4], 80);

    // Twenty boxes of trunc(150 x 0.8) / 20 = 6 units from the model's top, 170 units right of
    // it; labels of the levels 20 units below a box top, one within 45 units of the last left out.
    size_t boxes = 0;
    for (const Op* op : canvas.OpsOf(Kind::Polyline))
        if (op->pen.width == 2 && op->points.size() == 5 && op->points[0].x == 670) ++boxes;
    EXPECT_EQ(boxes, 20u);
    std::vector<std::string> labels;
    for (const Op* op : canvas.OpsOf(Kind::Text))
        if (op->points[0].x == 570) labels.push_back(op->text);
    // The levels -9.44, -0.56 and 8.33 as the samples they stand for (level / (vscale x gain)).
    EXPECT_EQ(labels, (std::vector<std::string>{"Legend", "-0.57", "-0.03", "0.50"}));
    ASSERT_NE(canvas.FindText("-0.57"), nullptr);
    EXPECT_EQ(canvas.FindText("-0.57")->points[0].y, -200 - 6 - 20);

    ws->startup.language = 1;
    Model(0);
    EXPECT_NE(canvas.FindText(" 縮尺 = 1 / 200 "), nullptr);
    EXPECT_NE(canvas.FindText(ws->palette.legendTitle1), nullptr);
}

TEST_F(VelocityModel, LegendLabelsTheModelsValuesInTheirUnit)
{
    // The legend's texts at its column, the title first.
    auto legend = [&] {
        Paint();
        std::vector<std::string> texts;
        const Op* title = canvas.FindText("Legend");
        if (!title) return texts;
        for (const Op* op : canvas.OpsOf(Kind::Text))
            if (op->points[0].x == title->points[0].x) texts.push_back(op->text);
        return texts;
    };
    // Two layers of 2000 and 4000 m/s: 20 levels from 2056 m/s up, one label at least 45 units
    // from the last.
    OnNewTwoLayerModel(*ws);
    ws->display.plotMode = 0;
    std::vector<std::string> texts = legend();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Legend (m/s)");
    EXPECT_EQ(texts[1], "2056");
    EXPECT_EQ(texts.back(), "4055");

    // The traveltimes of a source in it, in ms from their least to their greatest.
    ScriptedUiHost ui;
    ViewProgressText progress(nullptr);
    ui.AnswerDialog("CModelingDlg", {{"Source location", "100"}, {"Source depth", "50"}});
    ASSERT_EQ(OnRaytracing(*ws, ui, progress), 1);
    ws->display.plotMode = 0;
    texts = legend();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Legend (ms)");
    const velk::VelocityModel& m = ws->velocityModel;
    const double first = m.traveltimeMin + (m.traveltimeMax - m.traveltimeMin) / 36.0;  // level -9.44 of -10..10
    EXPECT_NEAR(std::stod(texts[1]), first, 0.01);
}

}  // namespace
}  // namespace velk
