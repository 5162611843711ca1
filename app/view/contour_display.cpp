#include "app/view/contour_display.h"

#include <algorithm>
#include <vector>

#include "draw/coordinates.h"
#include "draw/parallel.h"
#include "draw/fonts.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "app/view/record_axes.h"
#include "app/view/record_drawing.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "draw/contour_palette.h"

namespace velk {

namespace {
constexpr Rgb kLegendBlack{0, 0, 0};
}  // namespace

void BuildColourTable(Workspace& ws) { BuildColourTable(ws.palette); }
void ReverseColourTable(Workspace& ws) { ReverseColourTable(ws.palette); }
bool ColourTableReversed(const Workspace& ws) { return ws.palette.reverseColours == 1; }

float ContourLowerBound(const Workspace& ws)
{
    if (ws.store.Params().recordKind == 2) return -10.0f;  // coherence lies in [-1, 1]
    if (ws.display.spectrumFill == 1 && ws.store.undoDepth > 0) return 0.0f;
    return ws.store.dataKind() == kRealSpectrum ? 0.0f : -10.0f;
}

float SetContourLevels(Workspace& ws)
{
    if (ws.palette.levelsFixed == 0) SetAutomaticLevels(ws.palette, ContourLowerBound(ws));
    return ws.display.layout.meanSpacing;
}

void DrawLegendBox(Canvas& c, const ContourPalette& palette, int plotMode, int band, LPoint a, LPoint b)
{
    const int n = ContourLevelCount(palette);
    ContourQuad q;
    q.p = {LPoint{a.x, a.y}, LPoint{b.x, a.y}, LPoint{b.x, b.y}, LPoint{a.x, b.y}};
    const float lo = palette.levels[static_cast<size_t>(band)], hi = palette.levels[static_cast<size_t>(band + 1)];
    const float v = band == n - 1 ? lo + 100.0f : (lo + hi) * 0.5f;
    q.v = {v, v, v, v};
    if (plotMode < 2) FillContourQuad(palette, c, q, 0);
    ScopedPen pen(c, Pen{PenStyle::Solid, 2, kLegendBlack});
    const LPoint outline[] = {q.p[0], q.p[1], q.p[2], q.p[3], q.p[0]};
    c.Polyline(outline);
}

int32_t DrawImageLegend(RecordPaint& paint, const Workspace& ws, int32_t right, int32_t bottom, int32_t height)
{
    Canvas& c = paint.canvas;
    const ContourPalette& palette = ws.palette;
    const int n = ContourLevelCount(palette);
    const int32_t box = SaturatingTrunc(static_cast<double>(height) * 0.8) / n;
    const int32_t x0 = SaturatingAdd(right, 100), x1 = SaturatingAdd(right, 150);
    const bool jp = IsJapanese(ws.startup.language);
    c.SetTextColour(kLegendBlack);
    int32_t extent = x1;  // the right-most ink, for the picture's extent
    auto write = [&](LPoint at, const std::string& text) {
        c.TextOut(at, text);
        extent = std::max(extent, SaturatingAdd(at.x, c.TextExtent(text).cx));
    };
    {
        const int32_t top = SaturatingAdd(bottom, SaturatingTrunc(static_cast<double>(box) * n));
        ScopedFont font(c, FontFor(FontUse::AxisTitle, jp));
        if (jp) {
            write({x0, SaturatingAdd(top, 100)}, palette.legendTitle1);
            write({x0, SaturatingAdd(top, 55)}, palette.legendTitle2);
        } else {
            write({x0, SaturatingAdd(top, 60)}, "Legend");
        }
    }
    ScopedFont font(c, SelectAxisFont(ws));
    bool labelled = false;
    int64_t lastLabel = 0;
    for (int k = 0; k < n; ++k) {
        const int32_t y0 = SaturatingAdd(bottom, SaturatingTrunc(static_cast<double>(box) * k));
        const int32_t y1 = SaturatingAdd(y0, box);
        DrawLegendBox(c, palette, ws.display.plotMode, k, LPoint{x0, y0}, LPoint{x1, y1});
        if (k == 0) continue;  // the open lowest level has no label
        const int32_t y = SaturatingAdd(y0, 20);
        if (labelled && std::abs(static_cast<int64_t>(y) - lastLabel) <= 45) continue;
        write({SaturatingAdd(x1, 20), y}, FormatC("%.2f", static_cast<double>(palette.levels[static_cast<size_t>(k)])));
        labelled = true;
        lastLabel = y;
    }
    return extent;
}

namespace {

// Positions along the time axis of samples 0 .. count - 1 for one sample interval:
// trunc(k x interval x hscale x 0.001) from the origin.
void TimePositions(std::vector<int32_t>& at, int count, double intervalUs, float hscale)
{
    at.resize(static_cast<size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        at[static_cast<size_t>(k)] = SaturatingTrunc(static_cast<double>(k) * intervalUs * hscale * 0.001);
    }
}

// Two adjacent traces whose cells are drawn: their samples from the first shown, the number of
// samples, the gain of the first and their positions across the time axis.
struct CellPair {
    const float* a = nullptr;
    const float* b = nullptr;
    int count = 0;
    float scale = 0.0f;
    int32_t ai = 0, ak = 0;
};

// Cell j of a pair. Vertical: traces are columns, time runs down.
template <bool Vertical>
ContourQuad CellQuad(const CellPair& r, const int32_t* along, int j, int xorg, int yorg)
{
    ContourQuad q;
    const int32_t t0 = along[j], t1 = along[j + 1];
    if (Vertical) {
        const int32_t y0 = -SaturatingAdd(yorg, t0), y1 = -SaturatingAdd(yorg, t1);
        q.p = {LPoint{r.ai, y0}, LPoint{r.ak, y0}, LPoint{r.ak, y1}, LPoint{r.ai, y1}};
    } else {
        const int32_t x0 = SaturatingAdd(xorg, t0), x1 = SaturatingAdd(xorg, t1);
        q.p = {LPoint{x0, -r.ai}, LPoint{x0, -r.ak}, LPoint{x1, -r.ak}, LPoint{x1, -r.ai}};
    }
    q.v = {r.scale * r.a[j], r.scale * r.b[j], r.scale * r.b[j + 1], r.scale * r.a[j + 1]};
    return q;
}

// The fills of a pair's cells without contour lines, as FillContourCell (mode 0) and
// FillContourQuad (mode 1) paint them, into one batch.
template <bool Vertical>
void CellFills(const ContourPalette& palette, int fill, const CellPair& r, const int32_t* along, int xorg, int yorg,
               RecordDrawFlags::CellRow& out)
{
    out.points.clear();
    out.shapes.clear();
    ContourCellPieces pieces;
    for (int j = 0; j + 1 < r.count; ++j) {
        const ContourQuad q = CellQuad<Vertical>(r, along, j, xorg, yorg);
        if (fill == 0) {
            out.points.insert(out.points.end(), q.p.begin(), q.p.end());
            const float mean = (q.v[0] + q.v[1] + q.v[2] + q.v[3]) * 0.25f;
            out.shapes.push_back({4, BandColour(palette, ContourCellBand(palette, mean))});
            continue;
        }
        ComputeContourQuad(palette, q, 0, pieces);
        for (int k = 0; k < pieces.polygonCount; ++k) {
            const ContourPolygon& poly = pieces.polygons[static_cast<size_t>(k)];
            out.points.insert(out.points.end(), poly.points.begin(), poly.points.begin() + poly.count);
            out.shapes.push_back({static_cast<uint32_t>(poly.count), BandColour(palette, poly.band)});
        }
    }
}

// Cells handed to the workers at a time, about.
constexpr size_t kBlockCells = size_t{1} << 18;

// The cells of the shown traces and samples. Fills without contour lines are made a block of
// pairs at a time on the workers and handed to the canvas as one batch per pair, in order.
template <bool Vertical>
void DrawCells(Canvas& c, Workspace& ws, int xorg, int yorg)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    DisplayState& d = ws.display;
    const ContourPalette& palette = ws.palette;
    const Matrix2D<float>& rows = store.dataKind() == kComplexShowImag ? store.current.imag : store.current.rows;
    int first = 0, last = 0;
    ShownTraceRange(ws, first, last);
    if (d.appliedGain.size() < static_cast<size_t>(std::max(store.MaxTraces(), 0))) {
        d.appliedGain.resize(static_cast<size_t>(std::max(store.MaxTraces(), 0)), 1.0f);
    }
    for (int i = first; i < last; ++i) d.appliedGain[static_cast<size_t>(i)] = TraceDisplayGain(ws, i);

    const int firstSample = std::max(d.firstSampleShown, 0);
    const int shown = std::max(p.samplesShown, 0);
    const int fill = d.plotMode;
    const int lines = d.plotSubFlag;
    const bool batches = lines != 1 && (fill == 0 || fill == 1);
    const double origin = d.layout.distanceOrigin;
    auto across = [&](int i) {
        return SaturatingAdd(Vertical ? xorg : yorg,
                             SaturatingTrunc((store.current.headers[static_cast<size_t>(i)].receiverHundredths * 0.01 -
                                              origin) *
                                             static_cast<double>(p.plotscale)));
    };

    ScopedPen pen(c, Pen{PenStyle::Solid, 1, {0, 0, 0}});
    std::vector<int32_t> along;
    double tableInterval = -1.0;
    std::vector<CellPair> block;
    size_t blockCells = 0;
    auto flush = [&] {
        if (block.empty()) return;
        std::vector<RecordDrawFlags::CellRow>& out = d.drawing.cellRows;
        if (out.size() < block.size()) out.resize(block.size());
        if (!d.drawing.workers) d.drawing.workers = std::make_shared<WorkerPool>();
        d.drawing.workers->Run(static_cast<int>(block.size()), [&](int k) {
            const size_t u = static_cast<size_t>(k);
            CellFills<Vertical>(palette, fill, block[u], along.data(), xorg, yorg, out[u]);
        });
        for (size_t k = 0; k < block.size(); ++k) c.FillPolygons(out[k].points, out[k].shapes);
        block.clear();
        blockCells = 0;
    };
    ContourCellPieces pieces;
    for (int i = first; i + 1 < last; ++i) {
        const int k = i + 1;
        const bool hasRows = i >= rows.RowLow() && k <= rows.RowHigh();
        if (!hasRows) continue;
        // Each cell reads both traces: stop at the shorter one and at the row's end.
        const size_t cols = rows.Cols();
        const int available = static_cast<int>(std::min<size_t>(
            {static_cast<size_t>(std::max(std::min(store.TraceSamples(i), store.TraceSamples(k)), 0)), cols,
             static_cast<size_t>(INT32_MAX)}));
        const int count = std::min(shown, available - firstSample);
        if (count < 2) continue;
        const double interval = DrawnIntervalUs(ws, i);
        if (interval != tableInterval || along.size() < static_cast<size_t>(count)) {
            flush();
            TimePositions(along, count, interval, p.hscale);
            tableInterval = interval;
        }
        const CellPair pair{rows.Row(i).data() + firstSample, rows.Row(k).data() + firstSample, count,
                            p.vscale * d.appliedGain[static_cast<size_t>(i)], across(i), across(k)};
        if (batches) {
            block.push_back(pair);
            blockCells += static_cast<size_t>(count);
            if (blockCells >= kBlockCells) flush();
            continue;
        }
        for (int j = 0; j + 1 < count; ++j) {
            const ContourQuad q = CellQuad<Vertical>(pair, along.data(), j, xorg, yorg);
            if (fill == 1) {
                ComputeContourQuad(palette, q, lines, pieces);
                DrawContourPieces(palette, c, pieces);
            } else if (fill == 0) {
                FillContourCell(palette, c, q, (q.v[0] + q.v[1] + q.v[2] + q.v[3]) * 0.25f);
            }
            if (lines == 1) {
                ComputeContourQuadLines(palette, q, pieces);
                DrawContourPieces(palette, c, pieces);
            }
        }
    }
    flush();
}

template <bool Vertical>
int DrawContour(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    Canvas& c = paint.canvas;
    WaveformStore& store = ws.store;
    DisplayState& d = ws.display;
    RecordLayout& l = d.layout;
    l.xorg = xorg;
    l.yorg = yorg;
    l.direction = Vertical ? 1 : 0;
    if (store.TraceCount() <= 0) {
        DrawNoData(paint, ws);
        return 0;
    }
    c.SetTextBackground(false, Rgb{255, 255, 255});
    l.sourcePosition = static_cast<float>(store.current.headers[0].sourceHundredths * 0.01);
    if (d.axesFixed != 1) MeasureAndFitScales(ws);
    const AxisChoice axes = Vertical ? ChooseAxisTickStepsVertical(AxisInputFrom(ws)) : ChooseAxisTickSteps(AxisInputFrom(ws));
    StoreAxisChoice(ws, axes);
    const int extent =
        Vertical ? DrawAxesVertical(paint, ws, xorg, yorg, axes.distanceOrigin, axes.distanceTickCount, axes.distanceEnd)
                 : DrawAxesHorizontal(paint, ws, xorg, yorg, axes.distanceOrigin, axes.distanceTickCount, axes.distanceEnd);
    int first = 0, last = 0;
    ShownTraceRange(ws, first, last);
    l.meanSpacing = last > first ? (l.distanceMaximum - l.distanceMinimum) / static_cast<float>(last - first) : 0.0f;
    SetContourLevels(ws);
    DrawCells<Vertical>(c, ws, xorg, yorg);
    const int kind = store.Params().recordKind;
    if (kind == 1 || kind == 2) {
        // The image's edges: its last shown sample along the time axis, its traces across.
        const CParameterSet& p = store.Params();
        const int samples = std::min(std::max(p.samplesShown, 0), std::max(store.TraceSamples(first) - std::max(d.firstSampleShown, 0), 0));
        const int32_t along = SaturatingTrunc(std::max(samples - 1, 0) * DrawnIntervalUs(ws, first) * p.hscale * 0.001);
        int32_t low = INT32_MAX, high = INT32_MIN;
        for (int i = first; i < last; ++i) {
            const int32_t at = SaturatingTrunc((store.current.headers[static_cast<size_t>(i)].receiverHundredths * 0.01 - l.distanceOrigin) * static_cast<double>(p.plotscale));
            low = std::min(low, at);
            high = std::max(high, at);
        }
        if (first < last) {
            // The legend belongs to the picture: the extent (scrolling, copies) takes it in.
            const int32_t legendRight =
                Vertical ? DrawImageLegend(paint, ws, SaturatingAdd(xorg, high), -SaturatingAdd(yorg, along), along)
                         : DrawImageLegend(paint, ws, SaturatingAdd(xorg, along), -SaturatingAdd(yorg, high),
                                           SaturatingAdd(high, -low));
            l.rightExtent = std::max(l.rightExtent, legendRight);
        }
    }
    if (ws.settings.threeComponentLabel != 1) DrawGatherTitle(paint, ws, xorg, yorg);
    DrawEditStatus(paint, ws);
    l.extent = extent;
    return extent;
}

}  // namespace

int DrawContourTimeHorizontal(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    return DrawContour<false>(paint, ws, xorg, yorg);
}

int DrawContourTimeVertical(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    return DrawContour<true>(paint, ws, xorg, yorg);
}

}  // namespace velk
