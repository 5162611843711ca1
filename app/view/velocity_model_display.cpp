#include "app/view/velocity_model_display.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/view/contour_display.h"
#include "draw/coordinates.h"
#include "draw/fonts.h"
#include "app/view/record_axes.h"
#include "app/view/record_drawing.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "draw/contour_palette.h"

namespace velk {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr int32_t kModelLeft = 300;
constexpr int32_t kModelTop = 200;

bool Japanese(const Workspace& ws) { return IsJapanese(ws.startup.language); }

void Line(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    c.MoveTo({x0, y0});
    c.LineTo({x1, y1});
}

// The tick step of an axis drawn at `scale` units per metre: the time-vertical chooser's
// distance step.
float TickStep(double scale, float extentM)
{
    AxisChoiceInput in;
    in.plotscale = static_cast<float>(scale);
    in.hscale = 1.0f;
    in.distanceMinimum = 0.0f;
    in.distanceMaximum = extentM;
    return ChooseAxisTickStepsVertical(in).distanceStep;
}

std::string Label(double v, float step) { return FormatC(step < 1.0f ? "%4.1f" : "%4.0f", v); }

}  // namespace

// ---------------------------------------------------------------------------------------------

StoreModelGrid::StoreModelGrid(const Workspace& ws) : ws_(ws)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    int last = 0;
    ShownTraceRange(ws, first_, last);
    firstSample_ = std::max(ws.display.firstSampleShown, 0);
    if (last <= first_) return;
    int samples = std::max(p.samplesShown, 0);
    for (int i = first_; i < last; ++i) samples = std::min(samples, store.TraceSamples(i) - firstSample_);
    samples = std::min<int64_t>(samples, static_cast<int64_t>(store.current.rows.Cols()) - firstSample_);
    if (samples <= 0) return;
    columns_ = last - first_;
    rows_ = samples;
    const auto& h = store.current.headers;
    if (columns_ > 1) {
        const double span = std::fabs((h[static_cast<size_t>(last - 1)].receiverHundredths -
                                       h[static_cast<size_t>(first_)].receiverHundredths) *
                                      0.01);
        if (span > 0.0) width_ = static_cast<float>(span / (columns_ - 1));
    }
    const double interval = h[static_cast<size_t>(first_)].intervalUs * 0.001;
    if (interval > 0.0 && std::isfinite(interval)) height_ = static_cast<float>(interval);
}

float StoreModelGrid::Value(int column, int row) const
{
    const int i = first_ + column;
    const std::vector<float>& gains = ws_.display.appliedGain;
    const float g = static_cast<size_t>(i) < gains.size() ? gains[static_cast<size_t>(i)] : 1.0f;
    return ws_.store.Params().vscale * g * ws_.store.current.rows[i][firstSample_ + row];
}

std::optional<double> StoreModelGrid::LevelValue(float level) const
{
    const std::vector<float>& gains = ws_.display.appliedGain;
    auto gainOf = [&](int i) { return static_cast<size_t>(i) < gains.size() ? gains[static_cast<size_t>(i)] : 1.0f; };
    const float gain = gainOf(first_);
    for (int c = 1; c < columns_; ++c) {
        if (gainOf(first_ + c) != gain) return std::nullopt;
    }
    const double scale = static_cast<double>(ws_.store.Params().vscale) * gain;
    if (!(scale != 0.0) || !std::isfinite(scale)) return std::nullopt;
    const double value = level / scale;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::vector<std::string> LegendLabels(const ModelGrid& grid, std::span<const float> levels)
{
    std::vector<std::optional<double>> values;
    values.reserve(levels.size());
    for (const float level : levels) values.push_back(grid.LevelValue(level));
    // The smallest step between neighbouring mapped values sets the decimals.
    double step = HUGE_VAL;
    for (size_t k = 1; k < values.size(); ++k) {
        if (values[k] && values[k - 1]) step = std::min(step, std::fabs(*values[k] - *values[k - 1]));
    }
    const int decimals = step >= 10.0 ? 0 : 2;
    std::vector<std::string> labels;
    labels.reserve(levels.size());
    for (size_t k = 0; k < levels.size(); ++k) {
        labels.push_back(values[k] ? FormatC("%.*f", decimals, *values[k])
                                   : FormatC("%.2f", static_cast<double>(levels[k])));
    }
    return labels;
}

std::string ModelScaleText(const Workspace& ws)
{
    const double n = 10000.0 / static_cast<double>(ws.store.Params().plotscale);
    const int value = std::isfinite(n) ? static_cast<int>(std::clamp(std::trunc(n), -2.0e9, 2.0e9)) : 0;
    return FormatC(Japanese(ws) ? " 縮尺 = 1 / %d " : " Scale = 1 / %d ", value);
}

// ---------------------------------------------------------------------------------------------

void DrawVelocityModelAxes(RecordPaint& paint, const Workspace& ws, const ModelPlacement& at)
{
    Canvas& c = paint.canvas;
    const bool jp = Japanese(ws);
    const int32_t left = at.left, right = SaturatingAdd(at.left, at.width);
    const int32_t top = -at.top, bottom = -at.Bottom();
    ScopedPen pen(c, Pen{PenStyle::Solid, 2, kBlack});
    ScopedFont font(c, SelectAxisFont(ws));
    c.SetTextColour(kBlack);
    const LPoint frame[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    c.Polyline(frame);

    // Elevation: 0 at the top, negative downward, ticks outside the left edge.
    const float es = TickStep(at.vertical, at.heightM);
    const int ecount = std::clamp(static_cast<int>(std::floor(at.heightM / es + 1e-6)) + 1, 1, kMaxTickCount);
    for (int k = 0; k < ecount; ++k) {
        const int32_t y = SaturatingAdd(top, -SaturatingTrunc(k * static_cast<double>(es) * at.vertical));
        Line(c, left - 10, y, left, y);
        c.TextOut({left - 160, y + 25}, Label(-k * static_cast<double>(es), es));
    }
    // Distance along the top of the grid, labels below the frame.
    const float ds = TickStep(at.plotscale, at.widthM);
    const int dcount = std::clamp(static_cast<int>(std::floor(at.widthM / ds + 1e-6)) + 1, 1, kMaxTickCount);
    for (int k = 0; k < dcount; ++k) {
        const int32_t x = SaturatingAdd(left, SaturatingTrunc(k * static_cast<double>(ds) * at.plotscale));
        Line(c, x, bottom, x, bottom - 10);
        c.TextOut({x - 60, bottom - 20}, Label(at.leftM + k * static_cast<double>(ds), ds));
    }

    // The title reads upward beside the labels, its unit below it.
    const int32_t middle = (top + bottom) / 2;
    {
        ScopedFont rotated(c, FontFor(FontUse::AxisTitleRotated, jp));
        c.TextOut({left - 240, middle - 150}, jp ? "標 高" : "E l e v a t i o n");
    }
    ScopedFont title(c, FontFor(FontUse::AxisTitle, jp));
    c.TextOut({left - 260, middle - 170}, "(m)");
}

void DrawColourLegend(RecordPaint& paint, const Workspace& ws, const ModelPlacement& at, const ModelGrid& grid)
{
    Canvas& c = paint.canvas;
    const ContourPalette& palette = ws.palette;
    const int n = ContourLevelCount(palette);
    const std::vector<std::string> labels =
        LegendLabels(grid, std::span<const float>(palette.levels.data(), static_cast<size_t>(n)));
    const std::string unit = grid.Unit().empty() ? std::string() : " (" + grid.Unit() + ")";
    const int32_t x0 = SaturatingAdd(at.left, at.width) + 170;
    const int32_t top = -at.top;
    const int32_t box = SaturatingTrunc(static_cast<double>(at.heightM) * at.vertical * 0.8) / n;
    const bool jp = Japanese(ws);
    c.SetTextColour(kBlack);
    {
        ScopedFont font(c, FontFor(FontUse::AxisTitle, jp));
        if (jp) {
            c.TextOut({x0, top + 100}, palette.legendTitle1);
            c.TextOut({x0, top + 55}, palette.legendTitle2 + unit);
        } else {
            c.TextOut({x0, top + 60}, "Legend" + unit);
        }
    }
    ScopedFont font(c, SelectAxisFont(ws));
    bool labelled = false;
    int32_t lastLabel = 0;
    for (int k = 0; k < n; ++k) {
        const int32_t y0 = top - k * box, y1 = top - (k + 1) * box;
        DrawLegendBox(c, palette, ws.display.plotMode, k, LPoint{x0 + 100, y0}, LPoint{x0 + 150, y1});
        if (k == 0) continue;  // the open lowest level has no label
        const int32_t y = y0 - 20;
        if (labelled && std::abs(static_cast<int64_t>(y) - lastLabel) <= 45) continue;
        c.TextOut({x0, y}, labels[static_cast<size_t>(k)]);
        labelled = true;
        lastLabel = y;
    }
}

int DrawVelocityModel(RecordPaint& paint, Workspace& ws, int xorg, int yorg, int noLegend)
{
    (void)yorg;  // the model hangs 200 units below the origin whatever the margins
    Canvas& c = paint.canvas;
    const WaveformStore& store = ws.store;
    DisplayState& d = ws.display;
    const VelocityModelView& view = ws.modelView;
    const ContourPalette& palette = ws.palette;

    // The gains the store grid reads.
    std::shared_ptr<const ModelGrid> grid = view.grid;
    if (!grid) {
        if (store.TraceCount() <= 0) {
            DrawNoData(paint, ws);
            return 0;
        }
        int first = 0, last = 0;
        ShownTraceRange(ws, first, last);
        if (d.appliedGain.size() < static_cast<size_t>(std::max(store.MaxTraces(), 0))) {
            d.appliedGain.resize(static_cast<size_t>(std::max(store.MaxTraces(), 0)), 1.0f);
        }
        for (int i = first; i < last; ++i) d.appliedGain[static_cast<size_t>(i)] = TraceDisplayGain(ws, i);
        grid = std::make_shared<StoreModelGrid>(ws);
    }
    c.SetTextBackground(false, Rgb{255, 255, 255});
    SetContourLevels(ws);

    const int columns = grid->Columns(), rows = grid->Rows();
    const double ps = store.Params().plotscale;
    const double ex = view.verticalExaggeration;
    ModelPlacement at;
    at.left = SaturatingAdd(xorg, kModelLeft);
    at.top = kModelTop;
    at.plotscale = ps;
    at.vertical = ps * ex;
    at.widthM = static_cast<float>(std::max(columns - 1, 0) * static_cast<double>(grid->ColumnWidth()));
    at.heightM = static_cast<float>(std::max(rows - 1, 0) * static_cast<double>(grid->RowHeight()));
    at.leftM = grid->Left();
    at.width = SaturatingTrunc(at.widthM * ps);
    at.height = SaturatingTrunc(at.heightM * at.vertical);

    DrawVelocityModelAxes(paint, ws, at);

    // Node positions: x from the left edge, y from the row's height above the model's bottom.
    std::vector<int32_t> xs(static_cast<size_t>(std::max(columns, 0)));
    std::vector<int32_t> ys(static_cast<size_t>(std::max(rows, 0)));
    for (int col = 0; col < columns; ++col) {
        xs[static_cast<size_t>(col)] =
            SaturatingAdd(at.left, SaturatingTrunc((col * static_cast<double>(grid->ColumnWidth()) - 0.0) * ps));
    }
    const int32_t topOffset = SaturatingAdd(SaturatingTrunc(at.heightM * at.vertical), kModelTop);
    for (int r = 0; r < rows; ++r) {
        const double above = at.heightM - r * static_cast<double>(grid->RowHeight());
        ys[static_cast<size_t>(r)] = SaturatingAdd(-topOffset, SaturatingTrunc(above * at.vertical));
    }

    const int mode = d.plotMode;
    const double range = 10.0 - ContourLowerBound(ws);
    const double factor = d.amplitudeFactor;
    auto displacement = [&](float v) { return SaturatingTrunc(-(v / range) * factor); };
    if (mode >= 0) {
        ScopedPen pen(c, Pen{PenStyle::Solid, 1, kBlack});
        ContourQuad q;
        for (int col = 0; col + 1 < columns; ++col) {
            for (int r = 0; r + 1 < rows; ++r) {
                const size_t a = static_cast<size_t>(col), b = static_cast<size_t>(col + 1);
                const size_t r0 = static_cast<size_t>(r), r1 = static_cast<size_t>(r + 1);
                q.p = {LPoint{xs[a], ys[r0]}, LPoint{xs[b], ys[r0]}, LPoint{xs[b], ys[r1]}, LPoint{xs[a], ys[r1]}};
                q.v = {grid->Value(col, r), grid->Value(col + 1, r), grid->Value(col + 1, r + 1), grid->Value(col, r + 1)};
                if (std::any_of(q.v.begin(), q.v.end(), [&](float v) { return !(v >= view.blankThreshold); })) continue;
                if (mode == 1) {
                    if (FillContourQuad(palette, c, q, d.plotSubFlag) == 1) FillContourQuadSplit(palette, c, q, d.plotSubFlag);
                } else if (mode == 0) {
                    FillContourCell(palette, c, q, (q.v[0] + q.v[1] + q.v[2] + q.v[3]) * 0.25f);
                    if (palette.drawCellOutlines == 1) {
                        const LPoint outline[] = {q.p[0], q.p[1], q.p[2], q.p[3], q.p[0]};
                        c.Polyline(outline);
                    }
                } else {
                    if (DrawContourQuadLines(palette, c, q) == 1) DrawContourQuadSplit(palette, c, q);
                }
            }
        }
    } else if (mode == -1) {
        ScopedPen pen(c, Pen{PenStyle::Null, 0, {}});
        for (int col = 0; col < columns; ++col) {
            for (int r = 0; r < rows; ++r) {
                const float v = grid->Value(col, r);
                const double size = std::fabs(v) / range * factor;
                const int32_t radius = std::min<int32_t>(15, SaturatingTrunc(size));
                ScopedBrush brush(c, Brush{v >= 0.0f ? Rgb{0, 0, 255} : Rgb{255, 0, 0}, false});
                const int32_t x = xs[static_cast<size_t>(col)], y = ys[static_cast<size_t>(r)];
                c.Ellipse(LRect{x - radius, y + radius, x + radius, y - radius});
            }
        }
    } else if (mode == -3) {
        ScopedPen pen(c, Pen{PenStyle::Solid, 1, kBlack});
        std::vector<LPoint> points;
        for (int col = 0; col < columns; ++col) {
            points.clear();
            for (int r = 0; r < rows; ++r) {
                points.push_back({SaturatingAdd(xs[static_cast<size_t>(col)], displacement(grid->Value(col, r))),
                                  ys[static_cast<size_t>(r)]});
            }
            c.Polyline(points);
        }
        for (int r = 0; r < rows; ++r) {
            points.clear();
            for (int col = 0; col < columns; ++col) {
                points.push_back({xs[static_cast<size_t>(col)],
                                  SaturatingAdd(ys[static_cast<size_t>(r)], displacement(grid->Value(col, r)))});
            }
            c.Polyline(points);
        }
    }

    if (store.dataKind() != -2 && noLegend != 1 && mode >= 0) DrawColourLegend(paint, ws, at, *grid);
    c.SetTextColour(kBlack);
    if (store.dataKind() == 4) {
        ScopedFont font(c, FontFor(FontUse::Status, Japanese(ws)));
        c.TextOut({30, -10}, " Test ");
    }
    const std::string scale = ModelScaleText(ws);
    {
        ScopedFont font(c, SelectAxisFont(ws));
        c.TextOut({SaturatingAdd(at.left, at.width), -SaturatingAdd(at.Bottom(), 130)}, scale);
    }
    if (paint.status) {
        paint.status->SetPaneWidth(4, 80);
        paint.status->SetPaneText(4, scale);
    }
    return SaturatingAdd(at.Bottom(), 190);
}

}  // namespace velk
