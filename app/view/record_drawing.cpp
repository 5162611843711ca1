#include "app/view/record_drawing.h"

#include <algorithm>
#include <cmath>

#include "app/acquisition/acquisition_screen.h"
#include "app/acquisition/record_saving.h"
#include "app/view/contour_display.h"
#include "draw/coordinates.h"
#include "draw/fonts.h"
#include "draw/parallel.h"
#include "draw/trace_line.h"
#include "app/dsp/filter_test.h"
#include "app/picking/pick_overlay.h"
#include "app/view/record_axes.h"
#include "app/view/record_extents.h"
#include "app/view/record_seams.h"
#include "app/shell_services.h"
#include "app/command_table.h"
#include "app/survey/file_list_commands.h"
#include "app/view/velocity_model_display.h"
#include "app/view/view_seams.h"
#include "app/record_arrival.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr int kMaxFitSteps = 10;
constexpr float kFitFactor = 0.6666667f;

bool Japanese(const Workspace& ws) { return IsJapanese(ws.startup.language); }

// The store indices of the traces in the window: [first, last).
struct TraceWindow {
    int first = 0;
    int last = 0;
    int Count() const { return last - first; }
};

TraceWindow ShownTraces(const Workspace& ws)
{
    const int count = ws.store.TraceCount();
    TraceWindow w;
    w.first = std::clamp(ws.display.firstTraceShown, 0, count);
    w.last = w.first + std::clamp(ws.store.Params().tracesShown, 0, count - w.first);
    return w;
}

double Receiver(const Workspace& ws, int i) { return ws.store.current.headers[static_cast<size_t>(i)].receiverHundredths * 0.01; }

// The distance range of the shown traces; with none shown the range stays as it was.
void MeasureDistanceRange(Workspace& ws)
{
    const TraceWindow w = ShownTraces(ws);
    if (w.Count() <= 0) return;
    RecordLayout& l = ws.display.layout;
    const double a = Receiver(ws, w.first), b = Receiver(ws, w.last - 1);
    l.distanceMinimum = static_cast<float>(std::min(a, b));
    l.distanceMaximum = static_cast<float>(std::max(a, b));
}

// The automatic fit: the distance axis within 9999 units and the time axis below MAX_X_SIZE,
// each scale reduced by a third at most ten times. The reduced scales stay.
void FitScales(Workspace& ws)
{
    CParameterSet& p = ws.store.Params();
    const RecordLayout& l = ws.display.layout;
    const double span = static_cast<double>(l.distanceMaximum) - l.distanceMinimum;
    for (int n = 0; n < kMaxFitSteps && std::trunc(p.plotscale * span) > 9999.0; ++n) p.plotscale *= kFitFactor;
    const double time = static_cast<double>(p.shownTime) - p.timeAxisStart;
    for (int n = 0; n < kMaxFitSteps && std::trunc(time * p.hscale) >= ws.settings.maxXSize; ++n) p.hscale *= kFitFactor;
}

void EnsureAppliedGains(Workspace& ws)
{
    std::vector<float>& g = ws.display.appliedGain;
    const size_t n = static_cast<size_t>(std::max(ws.store.MaxTraces(), 0));
    if (g.size() < n) g.resize(n, 1.0f);
}

// Positions along the time axis of samples 0, 1, ... of the window, for one sample interval:
// x = xorg + trunc(k x interval x hscale x 0.001) across, or -(yorg + ...) down. The
// horizontal layout stops at the shown time.
struct TimeTable {
    double interval = -1.0;
    int count = 0;
};

void BuildTimeTable(Workspace& ws, TimeTable& table, double intervalUs, bool vertical, int xorg, int yorg)
{
    const CParameterSet& p = ws.store.Params();
    std::vector<int32_t>& at = ws.display.drawing.sampleX;
    const int shown = std::max(p.samplesShown, 0);
    if (at.size() < static_cast<size_t>(shown)) at.resize(static_cast<size_t>(shown));
    int k = 0;
    for (; k < shown; ++k) {
        const double step = static_cast<double>(k) * intervalUs;
        if (!vertical && !(step * 0.001 <= p.shownTime)) break;
        const int32_t along = SaturatingTrunc(step * p.hscale * 0.001);
        at[static_cast<size_t>(k)] = vertical ? -SaturatingAdd(yorg, along) : SaturatingAdd(xorg, along);
    }
    table.interval = intervalUs;
    table.count = k;
}

// A batch of traces is measured on several threads and handed to the canvas as one call; about
// this many samples at a time.
constexpr size_t kBatchSamples = size_t{1} << 22;

// The shown traces of `rows`, in either direction. Traces with labels beside them, and spectra
// drawn as areas, go one by one (their texts and polygons keep their places between the lines);
// the others in batches.
template <bool Vertical>
void DrawTraces(RecordPaint& paint, Workspace& ws, const WiggleTraceArgs& args, int& minComponent, int& maxComponent)
{
    if (!args.rows || args.rows->Empty()) return;
    Canvas& c = paint.canvas;
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    DisplayState& d = ws.display;
    const bool jp = Japanese(ws);
    const bool threeComponent = !Vertical && ws.settings.threeComponentLabel == 1;
    const bool peakLabels = !Vertical && ws.settings.showAmplitude == 1;
    const bool areas = store.dataKind() == kRealSpectrum && d.spectrumFill == 1;
    const bool strongMotion = !Vertical && StrongMotionDisplay(ws);
    const bool oneByOne = threeComponent || peakLabels || areas || strongMotion;
    const double clipLimit = static_cast<double>(p.plotscale) * args.meanSpacing * 0.49;
    const double limit = d.clip == -1 && clipLimit < kCoordinateLimit ? std::max(clipLimit, 0.0) : kCoordinateLimit;
    const int chunk = Vertical ? kPolygonChunk : kPolylineChunk;
    const int32_t labelRight = SaturatingAdd(SaturatingTrunc(static_cast<double>(p.shownTime) * p.hscale), args.xorg);
    const int firstSample = std::max(d.firstSampleShown, 0);
    EnsureAppliedGains(ws);
    const TraceWindow w = ShownTraces(ws);

    TimeTable table;
    std::vector<TraceLine> lines;
    size_t batchSamples = 0;
    auto flush = [&] {
        if (lines.empty()) return;
        if (!d.drawing.workers) d.drawing.workers = std::make_shared<WorkerPool>();
        d.drawing.workers->Run(static_cast<int>(lines.size()),
                               [&](int j) { MeasureTraceLine(lines[static_cast<size_t>(j)]); });
        c.TraceLines(lines);
        lines.clear();
        batchSamples = 0;
    };

    for (int i = w.first; i < w.last; ++i) {
        if (strongMotion && ws.strongMotion.IsInDisplayRange(i) == 0) continue;
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const size_t t = static_cast<size_t>(i);
        TraceLine line;
        const int selected = t < p.selectionFlags.size() ? p.selectionFlags[t] : 0;
        line.pen = TracePen(args.overlay == 1 ? 7 : h.component, selected, d.colourFlag, minComponent, maxComponent);
        line.pen.width = args.penWidth;
        const int32_t position = SaturatingAdd(
            Vertical ? args.xorg : args.yorg,
            SaturatingTrunc((h.receiverHundredths * 0.01 - args.distanceOrigin) * static_cast<double>(p.plotscale)));
        line.base = Vertical ? position : -position;
        line.vertical = Vertical;
        line.shading = args.shading;
        line.limit = limit;
        line.chunk = chunk;
        const float g = TraceDisplayGain(ws, i);
        d.appliedGain[t] = g;
        line.factor = static_cast<double>(ws.settings.polarity) * g * p.vscale;

        const double intervalUs = DrawnIntervalUs(ws, i);
        if (table.interval != intervalUs) {
            flush();
            BuildTimeTable(ws, table, intervalUs, Vertical, args.xorg, args.yorg);
        }
        line.along = d.drawing.sampleX.data();
        line.n = std::clamp(store.TraceSamples(i) - firstSample, 0, table.count);
        const bool hasRow = i >= args.rows->RowLow() && i <= args.rows->RowHigh() &&
                            static_cast<size_t>(firstSample) + static_cast<size_t>(line.n) <= args.rows->Cols();
        if (!hasRow) line.n = 0;
        if (line.n > 0) line.samples = args.rows->Row(i).data() + firstSample;

        if (!oneByOne) {
            if (line.n > 0) {
                lines.push_back(line);
                batchSamples += static_cast<size_t>(line.n);
            }
            if (batchSamples >= kBatchSamples) flush();
            continue;
        }

        ScopedPen pen(c, line.pen);
        if (threeComponent && h.component >= 1 && h.component <= 6) {
            static constexpr const char* kNames[] = {"NS", "EW", "UD", "NS-D", "EW-D", "UD-D"};
            ScopedFont font(c, FontFor(FontUse::ComponentName, jp));
            c.SetTextColour(kBlack);
            c.TextOut({args.xorg - 120, 25 + line.base}, kNames[h.component - 1]);
        }
        if (line.n > 0) {
            std::vector<LPoint>& points = d.drawing.points;
            if (points.size() < static_cast<size_t>(line.n) * 3) points.resize(static_cast<size_t>(line.n) * 3);
            size_t count = TraceLinePoints(line, points.data());
            if (const int32_t shift = strongMotion ? StrongMotionTimeShift(ws, i) : 0; shift != 0) {
                for (size_t k = 0; k < count; ++k) points[k].x = SaturatingAdd(points[k].x, shift);
                // A shifted trace still ends at the end of the time axis.
                if (!areas) {
                    while (count > 0 && points[count - 1].x > labelRight) --count;
                }
            }
            const std::span<const LPoint> list(points.data(), count);
            if (areas) {
                if (Vertical) {
                    PolygonToBaselineX(list, line.n, kPolygonChunk, c, line.base);
                } else {
                    PolygonToBaselineY(list, line.n, kPolylineChunk, c, line.base);
                }
            } else {
                PolylineChunked(list, static_cast<int>(count), chunk, c);
            }
        }
        if (peakLabels) {
            const double v = (t < p.traceMaxima.size() ? p.traceMaxima[t] : 0.0f) *
                             static_cast<double>(ws.settings.amplitudeConstant);
            const std::string text = FormatC(v >= 1.0 ? "%.2f" : "%.4f", v) + ws.settings.amplitudeUnit;
            const bool sameReceiver = i > w.first && h.receiverHundredths == store.current.headers[t - 1].receiverHundredths;
            ScopedFont font(c, FontFor(FontUse::PeakLabel, jp));
            c.SetTextColour(kBlack);
            c.TextOut({threeComponent ? labelRight + 20 : labelRight - 250, (sameReceiver ? -60 : -5) + line.base}, text);
        }
        if (strongMotion) DrawStationLabel(paint, ws, i, labelRight - 250, 50 + line.base);
    }
    flush();
}

void DrawRecordTitle(RecordPaint& paint, const Workspace& ws, int xorg, int extent)
{
    const bool jp = Japanese(ws);
    const std::string text = RecordTitleText(ws, paint.documentTitle);
    Canvas& c = paint.canvas;
    ScopedFont font(c, FontFor(FontUse::RecordTitle, jp));
    c.SetTextColour(kBlack);
    c.TextOut({xorg, -extent - 10}, text);
}

void DrawComponentLegend(Canvas& c, const Workspace& ws, int xorg, int extent, int lowest, int highest)
{
    for (int code = lowest; code <= highest; ++code) {
        int lo = 100, hi = 0;
        Pen pen = TracePen(code, 0, ws.display.colourFlag, lo, hi);
        pen.width = 1;
        const int32_t y = -(extent + 50 * (code - lowest + 1));
        const LPoint line[] = {{xorg, y}, {xorg + 200, y}};
        ScopedPen scoped(c, pen);
        c.Polyline(line);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------

void MeasureAndFitScales(Workspace& ws)
{
    MeasureDistanceRange(ws);
    FitScales(ws);
}

void ShownTraceRange(const Workspace& ws, int& first, int& last)
{
    const TraceWindow w = ShownTraces(ws);
    first = w.first;
    last = w.last;
}

float TraceDisplayGain(const Workspace& ws, int trace)
{
    const WaveformStore& s = ws.store;
    const CParameterSet& p = s.Params();
    if (trace < 0) return 0.0f;
    const size_t t = static_cast<size_t>(trace);
    const float f = t < s.displayFactor.size() ? s.displayFactor[t] : 1.0f;
    switch (p.normalisation) {
    case 0: {
        const std::vector<float>& peaks = s.dataKind() == kComplexShowImag ? s.current.imagMaxima : p.traceMaxima;
        const float peak = t < peaks.size() ? peaks[t] : 0.0f;
        return peak == 0.0f ? 0.0f : f * 1000.0f / peak;
    }
    case 1: {
        const float peak = p.recordMaximum;
        if (peak == 0.0f) return 0.0f;
        const AxisState& a = ws.display.axes;
        return a.fixedGainFlag == 1 ? a.fixedFileGain * f : f * 1000.0f / peak;
    }
    default: return f;
    }
}

Pen TracePen(int component, int selected, int colourFlag, int& minComponent, int& maxComponent)
{
    minComponent = std::max(1, std::min(minComponent, component));
    maxComponent = std::min(10, std::max(maxComponent, component));
    if (selected == 1) return Pen{PenStyle::Solid, 1, {255, 0, 0}};
    PenStyle style = PenStyle::Solid;
    Rgb colour = kBlack;
    switch (component) {
    case 2: style = PenStyle::Dot; colour = {0, 0, 255}; break;
    case 3: style = PenStyle::Dash; colour = {0, 150, 100}; break;
    case 4: style = PenStyle::DashDot; colour = {150, 0, 150}; break;
    case 5: style = PenStyle::DashDotDot; colour = {150, 150, 0}; break;
    case 6: colour = {0, 255, 0}; break;
    case 7: colour = {255, 0, 255}; break;
    case 8: colour = {255, 255, 0}; break;
    default: break;
    }
    return colourFlag == 1 ? Pen{PenStyle::Solid, 1, colour} : Pen{style, 1, kBlack};
}

void PolylineChunked(std::span<const LPoint> points, int count, int chunk, Canvas& canvas)
{
    count = std::clamp(count, 0, static_cast<int>(std::min<size_t>(points.size(), INT32_MAX)));
    const int c = std::clamp(chunk, 1, kPolylineChunk);
    if (count == 1) {
        canvas.Polyline(points.first(1));
        return;
    }
    for (int start = 0; start < count - 1; start += c) {
        const int n = std::min(c + 1, count - start);
        canvas.Polyline(points.subspan(static_cast<size_t>(start), static_cast<size_t>(n)));
    }
}

namespace {

template <bool AlongX>
void PolygonsToBaseline(std::span<const LPoint> points, int count, int chunk, Canvas& canvas, int32_t baseline)
{
    count = std::clamp(count, 0, static_cast<int>(std::min<size_t>(points.size(), INT32_MAX)));
    const int c = std::clamp(chunk, 1, kPolygonChunk);
    std::vector<LPoint> polygon;
    polygon.reserve(static_cast<size_t>(std::min(count, c + 1)) + 2);
    for (int start = 0; start < count; start += c) {
        const int n = std::min(c + 1, count - start);
        const auto part = points.subspan(static_cast<size_t>(start), static_cast<size_t>(n));
        polygon.assign(part.begin(), part.end());
        if (AlongX) {
            polygon.push_back({baseline, part.back().y});
            polygon.push_back({baseline, part.front().y});
        } else {
            polygon.push_back({part.back().x, baseline});
            polygon.push_back({part.front().x, baseline});
        }
        canvas.Polygon(polygon, FillMode::Winding);
        if (start + n >= count) break;
    }
}

}  // namespace

void PolygonToBaselineY(std::span<const LPoint> points, int count, int chunk, Canvas& canvas, int32_t baselineY)
{
    PolygonsToBaseline<false>(points, count, chunk, canvas, baselineY);
}

void PolygonToBaselineX(std::span<const LPoint> points, int count, int chunk, Canvas& canvas, int32_t baselineX)
{
    PolygonsToBaseline<true>(points, count, chunk, canvas, baselineX);
}

// ---------------------------------------------------------------------------------------------

void DrawWiggleTraces(RecordPaint& paint, Workspace& ws, const WiggleTraceArgs& args, int& minComponent,
                      int& maxComponent)
{
    DrawTraces<false>(paint, ws, args, minComponent, maxComponent);
}

int DrawWiggleTimeHorizontal(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    Canvas& c = paint.canvas;
    WaveformStore& store = ws.store;
    DisplayState& d = ws.display;
    RecordLayout& l = d.layout;
    CAcquisitionDevice& device = ws.acquisitionDevice;
    const bool acquisition = ws.startup.acquisitionMode != 0;

    l.lowestComponent = 100;
    l.highestComponent = 0;
    l.xorg = xorg;
    l.yorg = yorg;
    l.direction = 0;
    if (store.TraceCount() <= 0) {
        if (!acquisition) {
            DrawNoData(paint, ws);
        } else if (device.monitorRunning == 1) {
            DrawMonitorPanel(paint, ws);
        }
        return 0;
    }
    c.SetTextBackground(false, Rgb{255, 255, 255});
    l.sourcePosition = static_cast<float>(store.current.headers[0].sourceHundredths * 0.01);

    if (store.dataKind() == kTimeDomain && acquisition && device.displayRefreshRequest && AcquiredRecordShown(ws)) {
        ComputeAcquiredDisplayScale(ws);
        device.displayRefreshRequest = 0;
    } else if (d.axesFixed != 1) {
        MeasureDistanceRange(ws);
        FitScales(ws);
    }

    const AxisChoice axes = ChooseAxisTickSteps(AxisInputFrom(ws));
    StoreAxisChoice(ws, axes);
    const int extent = DrawAxesHorizontal(paint, ws, xorg, yorg, axes.distanceOrigin, axes.distanceTickCount,
                                          axes.distanceEnd);
    const TraceWindow w = ShownTraces(ws);
    l.meanSpacing = w.Count() > 0 ? (l.distanceMaximum - l.distanceMinimum) / static_cast<float>(w.Count()) : 0.0f;

    ScopedBrush brush(c, Brush{kBlack, false});
    WiggleTraceArgs args;
    args.xorg = xorg;
    args.yorg = yorg;
    args.meanSpacing = l.meanSpacing;
    args.distanceOrigin = l.distanceOrigin;
    args.shading = store.dataKind() == kRealSpectrum ? 0 : ws.settings.shading;
    const Matrix2D<float>* stack = RunningStackRows(ws);
    const bool stackPending = device.stackPending != 0 && stack != nullptr;
    if (store.dataKind() == kComplexShowImag) {
        args.rows = &store.current.imag;
        DrawWiggleTraces(paint, ws, args, l.lowestComponent, l.highestComponent);
    } else {
        if (stackPending) {
            WiggleTraceArgs under = args;
            under.rows = stack;
            under.overlay = 1;
            DrawWiggleTraces(paint, ws, under, l.lowestComponent, l.highestComponent);
        }
        args.rows = &store.current.rows;
        DrawWiggleTraces(paint, ws, args, l.lowestComponent, l.highestComponent);
    }

    if (!paint.printing && d.drawing.printing != 1 && ws.settings.triggerPlot == 1 && store.dataKind() == kTimeDomain) {
        DrawTriggerLine(paint, ws, xorg, yorg);
    }
    DrawVelocityLines(paint, ws, xorg, yorg);
    if (d.editMode == 9 && store.dataKind() == kTimeDomain) DrawMuteLines(paint, ws, xorg, yorg);
    if (l.highestComponent - l.lowestComponent >= 1 && !stackPending && ws.settings.threeComponentLabel == 0) {
        DrawComponentLegend(c, ws, xorg, extent, l.lowestComponent, l.highestComponent);
    }
    if (ws.settings.threeComponentLabel != 1) DrawGatherTitle(paint, ws, xorg, yorg);
    DrawEditStatus(paint, ws);
    l.extent = extent;
    return extent;
}

int DrawWiggleTimeVertical(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    Canvas& c = paint.canvas;
    WaveformStore& store = ws.store;
    DisplayState& d = ws.display;
    RecordLayout& l = d.layout;

    l.xorg = xorg;
    l.yorg = yorg;
    l.direction = 1;
    if (store.TraceCount() <= 0) {
        DrawNoData(paint, ws);
        return 0;
    }
    c.SetTextBackground(false, Rgb{255, 255, 255});
    l.sourcePosition = static_cast<float>(store.current.headers[0].sourceHundredths * 0.01);
    if (d.axesFixed != 1) {
        MeasureDistanceRange(ws);
        FitScales(ws);
    }
    const AxisChoice axes = ChooseAxisTickStepsVertical(AxisInputFrom(ws));
    StoreAxisChoice(ws, axes);
    const int extent =
        DrawAxesVertical(paint, ws, xorg, yorg, axes.distanceOrigin, axes.distanceTickCount, axes.distanceEnd);
    const TraceWindow w = ShownTraces(ws);
    l.meanSpacing = w.Count() > 0 ? (l.distanceMaximum - l.distanceMinimum) / static_cast<float>(w.Count()) : 0.0f;

    ScopedBrush brush(c, Brush{kBlack, false});
    WiggleTraceArgs args;
    args.xorg = xorg;
    args.yorg = yorg;
    args.rows = store.dataKind() == kComplexShowImag ? &store.current.imag : &store.current.rows;
    args.meanSpacing = l.meanSpacing;
    args.distanceOrigin = l.distanceOrigin;
    args.shading = store.dataKind() == kRealSpectrum ? 0 : ws.settings.shading;
    int lowest = 100, highest = 0;  // the legend is not drawn in this direction
    DrawTraces<true>(paint, ws, args, lowest, highest);

    if (!paint.printing && d.drawing.printing != 1 && ws.settings.triggerPlot == 1 && store.dataKind() == kTimeDomain) {
        DrawTriggerLine(paint, ws, xorg, yorg);
    }
    DrawVelocityLines(paint, ws, xorg, yorg);
    if (ws.settings.threeComponentLabel != 1) DrawGatherTitle(paint, ws, xorg, yorg);
    DrawEditStatus(paint, ws);
    l.extent = extent;
    return extent;
}

// ---------------------------------------------------------------------------------------------

void DrawRecord(RecordPaint& paint, Workspace& ws)
{
    WaveformStore& store = ws.store;
    DisplayState& d = ws.display;
    const int recordKind = store.Params().recordKind;
    if (recordKind == 1) store.dataKind() = kRealSpectrum;
    if (recordKind == 2) store.dataKind() = kComplexShowReal;
    d.layout.timeOffset = ws.settings.triggerPlot == 1 && store.TraceCount() > 0
                              ? static_cast<float>(store.current.headers[0].delayUs * 0.001)
                              : 0.0f;
    const int xorg = ws.settings.xOrg0, yorg = ws.settings.yOrg0;
    const bool vertical = ws.settings.plotDirection == 1;
    const bool wiggle = d.plotMode == -3 || d.plotMode == -2;
    d.layout.frame.reset();  // until the axes of this paint draw one
    int extent = 0;
    const bool pickOverlay = PickOverlayShown(ws);
    if (pickOverlay) {
        ClearSameReceiverPicks(ws);
        ChoosePickMarkStyle(ws);
    }

    if (d.displayMode == 0) {
        if (wiggle) {
            extent = vertical ? DrawWiggleTimeVertical(paint, ws, xorg, yorg) : DrawWiggleTimeHorizontal(paint, ws, xorg, yorg);
        } else {
            BuildColourTable(ws);
            if (ColourTableReversed(ws)) ReverseColourTable(ws);
            extent = vertical ? DrawContourTimeVertical(paint, ws, xorg, yorg) : DrawContourTimeHorizontal(paint, ws, xorg, yorg);
        }
        if (store.TraceCount() > 0) {
            if (pickOverlay) {
                if (vertical) {
                    DrawPickOverlay(paint, ws, yorg, xorg);
                } else {
                    DrawPickOverlay(paint, ws, xorg, yorg);
                }
            }
            if (ws.theoretical.shown == 1) DrawTheoreticalCurves(paint, ws, xorg, yorg);
        }
        // The limit lines are wavelengths over frequency: they have no place on a depth image.
        if (recordKind == 1 && !vertical && ws.contour.minMaxPlot == 1 && ws.contour.imageKind != 2) {
            DrawWavelengthLimitLines(paint, ws, xorg, yorg);
        }
        if (d.editMode == 7) DrawTwoLayerTraveltime(paint, ws, xorg, yorg);
        if (d.editMode == 8 && !vertical) {
            const FilterTestGeometry geometry{xorg, yorg, d.layout.distanceOrigin, d.layout.meanSpacing};
            DrawFilterTest(paint.canvas, ws, ws.filterTest, geometry);
        }
    } else if (d.displayMode == 1) {
        BuildColourTable(ws);
        if (ColourTableReversed(ws)) ReverseColourTable(ws);
        extent = DrawVelocityModel(paint, ws, 0, yorg);
    } else if (d.displayMode == 3) {
        DrawGeometry(paint, ws, xorg, yorg);
    } else if (d.displayMode == 4 && ArrayGeometryPresent(ws)) {
        DrawArrayGeometry(paint, ws, xorg, yorg);
    }

    const bool namedImage = store.Params().recordKind != 0 && d.drawing.secondFileNameFlag == 1;
    if ((!paint.documentTitle.empty() || namedImage) && store.TraceCount() > 0 && d.displayMode < 3) {
        DrawRecordTitle(paint, ws, xorg, extent);
    }
}

void OnFirstShow(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    if (ws.survey.openLineRequest == 1) {
        if (OpenFileList(ctx, true) == 0) {
            ws.startup.acquisitionMode = 0;
            ws.acquisitionDevice.acquisitionScreen = 0;
            return;
        }
        ws.survey.openLineRequest = 0;
    }
    if (ws.startup.acquisitionMode != 0 && ws.display.drawing.dspStarted == 0) {
        ws.acquisitionDevice.StartDsp(ws.ui(), ws.startup.language);
        ws.display.drawing.dspStarted = 1;
    }
}

void OnDraw(RecordPaint& paint, Workspace& ws)
{
    CAcquisitionDevice& device = ws.acquisitionDevice;
    const bool acquisition = ws.startup.acquisitionMode != 0;
    if (acquisition) UpdateAcquisitionPanes(paint, ws);
    if (device.suspendDrawing == 0) DrawRecord(paint, ws);
    if (acquisition && !paint.printing) DrawAcquisitionBars(paint, ws);
    if (acquisition && device.monitorRunning == 0) DrawLineBannerOf(paint, ws);
    // The file pane names the record shown; a record built in memory empties it.
    if (!acquisition && paint.status) {
        paint.status->SetPaneWidth(5, 200);
        paint.status->SetPaneText(5, paint.currentFileName);
    }
}

}  // namespace velk
