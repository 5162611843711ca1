#pragma once
// The velocity model display (display mode 1): a grid of values drawn as colour cells, contour
// lines, bubbles or a wiggle grid, with its elevation axis, the colour legend beside it and the
// scale text.
//
// The grid comes through ModelGrid. Without a grid of its own the waveform store is the grid
// (one column per trace, one row per sample); the velocity modelling sets `grid` to show its
// velocity, traveltime or snapshot grids instead.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/view/record_paint.h"

namespace velk {

class Workspace;

// A regular grid: column c lies c x ColumnWidth() from the grid's origin, row r lies
// r x RowHeight() below its top. Values are display values in the palette's level scale.
class ModelGrid {
public:
    virtual ~ModelGrid() = default;
    virtual int Columns() const = 0;
    virtual int Rows() const = 0;
    virtual float ColumnWidth() const = 0;  // m
    virtual float RowHeight() const = 0;    // m
    virtual float Left() const { return 0.0f; }  // m: the x of the model's left edge
    virtual float Value(int column, int row) const = 0;
    // The grid's own value that a display value (a palette level) stands for, and its unit
    // ("m/s", "ms"; empty when the values have none). Nothing when no one value maps to it: the
    // legend then labels the level itself.
    virtual std::optional<double> LevelValue(float level) const { return level; }
    virtual std::string Unit() const { return {}; }
};

struct VelocityModelView {
    std::shared_ptr<const ModelGrid> grid;    // null: the store is the grid
    float verticalExaggeration = 1.0f;
    float blankThreshold = -1000000.0f;       // cells with a corner below it are left out
};

// The store as a grid: column c is shown trace c, row r sample r of the window; values
// vscale x sample x the display gain of the trace. Empty while the store holds no trace.
class StoreModelGrid : public ModelGrid {
public:
    explicit StoreModelGrid(const Workspace& ws);
    int Columns() const override { return columns_; }
    int Rows() const override { return rows_; }
    float ColumnWidth() const override { return width_; }
    float RowHeight() const override { return height_; }
    float Value(int column, int row) const override;
    // The sample value: the level divided by vscale and the shown traces' display gain (nothing
    // when the traces are shown with different gains, or the scale is 0).
    std::optional<double> LevelValue(float level) const override;

private:
    const Workspace& ws_;
    int first_ = 0;
    int firstSample_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    float width_ = 1.0f;
    float height_ = 1.0f;
};

// Where the model sits: left edge x = 300 from the origin, top edge 200 below it, heights
// scaled by plotscale and the vertical exaggeration.
struct ModelPlacement {
    int32_t left = 300;
    int32_t top = 200;        // depth of the model's top below the origin (positive)
    int32_t width = 0;        // logical units
    int32_t height = 0;
    double plotscale = 20.0;
    double vertical = 20.0;   // plotscale x vertical exaggeration
    float widthM = 0.0f;      // model extent, m
    float heightM = 0.0f;
    float leftM = 0.0f;
    int32_t Bottom() const { return top + height; }  // depth of the bottom edge (positive)
};

// The model in display mode 1. Returns the depth below the origin of what it drew, for the
// record title below it. `noLegend` 1 leaves the legend out.
int DrawVelocityModel(RecordPaint& paint, Workspace& ws, int xorg, int yorg, int noLegend = 0);
// The frame, the elevation axis ("E l e v a t i o n", "(m)") and the distance labels.
void DrawVelocityModelAxes(RecordPaint& paint, const Workspace& ws, const ModelPlacement& at);
// The colour legend: n boxes stacked downward from the model's top, 170 units right of its
// right edge, each boundary but the lowest labelled with the grid's value it stands for (one
// within 45 units of the last written is left out), headed "Legend" and the grid's unit.
void DrawColourLegend(RecordPaint& paint, const Workspace& ws, const ModelPlacement& at, const ModelGrid& grid);

// The legend's labels of the levels: the grid's values, "%.2f", or "%.0f" when neighbouring
// values lie 10 or more apart; a level no one value maps to is labelled "%.2f" of itself.
std::vector<std::string> LegendLabels(const ModelGrid& grid, std::span<const float> levels);

// " Scale = 1 / %d " with trunc(10000 / plotscale), in the interface language.
std::string ModelScaleText(const Workspace& ws);

}  // namespace velk
