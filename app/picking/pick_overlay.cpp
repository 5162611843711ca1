#include "app/picking/pick_overlay.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "draw/coordinates.h"
#include "app/view/record_axes.h"
#include "app/view/record_drawing.h"
#include "app/workspace.h"
#include "platform/numtext.h"

namespace velk {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlack{0, 0, 0};

constexpr double kSameShot = 0.01;        // m: a shot of the set is the record's shot
constexpr double kRangeTolerance = 1e-4;  // m: marks this far outside the distance range stay
// A float receiver compared with a float range end picks up rounding far below a millimetre;
// this keeps "exactly on the edge" on the edge.
constexpr double kRounding = 1e-6;
constexpr int kMarkHalf = 20;       // a tick is 40 units across the trace
constexpr int kDotRadius = 5;
constexpr int kLogScaleWidth = 1000;  // units the logarithmic amplitude scale spans
constexpr int kVelocityLabelOffset = 120;

Rgb LayerColour(int code)
{
    if (code == 1) return kRed;
    if (code == 2) return Rgb{175, 175, 0};
    return kBlue;
}

double Receiver(const Workspace& ws, int i) { return ws.store.current.headers[static_cast<size_t>(i)].receiverHundredths * 0.01; }

bool InRange(double r, double minimum, double maximum, double tolerance)
{
    return r >= minimum - tolerance - kRounding && r <= maximum + tolerance + kRounding;
}

// The time offset of the record's picks: the trigger delay for waveform records, else 0.
double PickOffset(const Workspace& ws)
{
    return ws.store.Params().recordKind == 0 ? static_cast<double>(ws.display.layout.timeOffset) : 0.0;
}

// The source position the set's shots are compared with: trace 1's for waveform and
// dispersion records, the record's own otherwise.
double RecordSource(const Workspace& ws)
{
    const int kind = ws.store.Params().recordKind;
    if ((kind == 0 || kind == 1) && ws.store.TraceCount() > 0) return ws.store.current.headers[0].sourceHundredths * 0.01;
    return ws.display.sourcePosition;
}

// The plot frame the marks, curves and lines stay inside.
const std::optional<PlotFrame>& Frame(const Workspace& ws) { return ws.display.layout.frame; }

void Tick(Canvas& c, const Workspace& ws, const PlotMapping& m, LPoint p)
{
    if (m.vertical) {
        FramedLine(c, Frame(ws), {SaturatingAdd(p.x, -kMarkHalf), p.y}, {SaturatingAdd(p.x, kMarkHalf), p.y});
    } else {
        FramedLine(c, Frame(ws), {p.x, SaturatingAdd(p.y, -kMarkHalf)}, {p.x, SaturatingAdd(p.y, kMarkHalf)});
    }
}

// A dot is drawn whole, when the pick it marks (`pick`, on the trace) lies inside the frame.
void Dot(Canvas& c, const Workspace& ws, LPoint p, LPoint pick)
{
    if (Frame(ws) && !Frame(ws)->Contains(pick)) return;
    ScopedBrush brush(c, Brush{kRed, false});
    c.Ellipse({SaturatingAdd(p.x, -kDotRadius), SaturatingAdd(p.y, kDotRadius), SaturatingAdd(p.x, kDotRadius),
               SaturatingAdd(p.y, -kDotRadius)});
}

// The smallest and largest ln(value) over the positive values of every shot; false when there
// is none.
bool LogRange(const CTraveltimeSet& set, int shots, double& smallest, double& largest)
{
    smallest = std::numeric_limits<double>::infinity();
    largest = -smallest;
    for (int s = 0; s < shots; ++s) {
        const int n = std::clamp(static_cast<int>(set.pickCount[s]), 0, CTraveltimeSet::kMaxPicks);
        for (int k = 0; k < n; ++k) {
            const double v = set.T(s, k);
            if (!(v > 0.0) || !std::isfinite(v)) continue;
            smallest = std::min(smallest, std::log(v));
            largest = std::max(largest, std::log(v));
        }
    }
    return smallest <= largest;
}

// The set whose shots are drawn over the record: the phase-velocity curves over a dispersion
// image, the first arrivals over anything else.
const CTraveltimeSet& ShownSet(const Workspace& ws)
{
    return ws.store.Params().recordKind == 1 ? ws.curveSet : ws.traveltimeSet;
}

// Step 1: the shots of the set shown as polylines through their picks in the distance range.
void DrawShots(Canvas& c, const Workspace& ws, const PlotMapping& m)
{
    const CTraveltimeSet& set = ShownSet(ws);
    const RecordLayout& l = ws.display.layout;
    const int shots = std::clamp(set.shotCount, 0, CTraveltimeSet::kMaxShots);
    const bool amplitudes = set.kindWritten >= 10 && set.kindWritten <= 19;
    double smallest = 0.0, largest = 0.0;
    if (amplitudes && !LogRange(set, shots, smallest, largest)) return;
    const double offset = PickOffset(ws);
    const double source = RecordSource(ws);
    std::vector<LPoint> points;
    for (int s = 0; s < shots; ++s) {
        const int n = std::clamp(static_cast<int>(set.pickCount[s]), 0, CTraveltimeSet::kMaxPicks);
        points.clear();
        for (int k = 0; k < n; ++k) {
            const double x = set.X(s, k);
            if (!InRange(x, l.distanceMinimum, l.distanceMaximum, 0.0)) continue;
            const double v = set.T(s, k);
            int32_t along = 0;
            if (!amplitudes) {
                along = m.AlongTime(v - offset);
            } else if (!(v > 0.0) || !std::isfinite(v)) {
                continue;  // no amplitude: nothing on a logarithmic scale
            } else if (largest > smallest) {
                along = SaturatingAdd(m.originTime,
                                      SaturatingTrunc((std::log(v) - smallest) / (largest - smallest) * kLogScaleWidth));
            } else {
                along = SaturatingAdd(m.originTime, kLogScaleWidth / 2);
            }
            points.push_back(m.At(along, m.AlongDistance(x)));
        }
        if (points.size() < 2) continue;
        const bool current = std::abs(static_cast<double>(set.sourcePosition[s]) - source) < kSameShot;
        ScopedPen pen(c, Pen{PenStyle::Solid, 2, current ? kMagenta : kGreen});
        FramedPolyline(c, Frame(ws), points);
    }
}

// The amplitude dot sits on the drawn trace: the baseline plus the wiggle's deflection of the
// sample at the pick time, with the polarity, gain, amplitude scale and clip of the wiggle.
int32_t DeflectionAt(const Workspace& ws, int i, double time)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    if (!(p.sampleInterval > 0.0f) || !std::isfinite(time)) return 0;
    const double index = std::trunc(time / p.sampleInterval);
    if (!(index >= 0.0) || index >= store.TraceSamples(i)) return 0;
    const Matrix2D<float>& rows = store.dataKind() == kComplexShowImag ? store.current.imag : store.current.rows;
    const size_t k = static_cast<size_t>(index);
    if (rows.Empty() || i < rows.RowLow() || i > rows.RowHigh() || k >= rows.Cols()) return 0;
    const double a = static_cast<double>(ws.settings.polarity) * rows.Row(i)[k] * TraceDisplayGain(ws, i) *
                     static_cast<double>(p.vscale);
    const double limit = static_cast<double>(p.plotscale) * ws.display.layout.meanSpacing * 0.49;
    if (ws.display.clip == -1 && std::abs(a) > limit) return a > 0 ? SaturatingTrunc(limit) : -SaturatingTrunc(limit);
    return SaturatingTrunc(a);
}

// Step 2: the record's picks.
void DrawRecordPicks(Canvas& c, const Workspace& ws, const PlotMapping& m)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const DisplayState& d = ws.display;
    const RecordLayout& l = d.layout;
    const bool amplitudeMode = d.editMode == 3;
    const double offset = PickOffset(ws);
    const int count = store.TraceCount();
    for (int i = 0; i < count; ++i) {
        const size_t t = static_cast<size_t>(i);
        const double r = Receiver(ws, i);
        if (i > 0 && store.current.headers[t].receiverHundredths == store.current.headers[t - 1].receiverHundredths) {
            continue;  // its pick was cleared before the paint
        }
        if (!InRange(r, l.distanceMinimum, l.distanceMaximum, kRangeTolerance)) continue;
        double time = 0.0;
        if (amplitudeMode) {
            time = t < d.amplitudePickTimes.size() ? d.amplitudePickTimes[t] : 0.0;
        } else {
            time = (t < p.pickTimes.size() ? p.pickTimes[t] : 0.0) - offset;
        }
        // On a dispersion or coherence image a pick at or below 0 marks a frequency without a
        // pick (the picker leaves -0.1 there): no mark, rather than one at 0 m/s.
        if (!amplitudeMode && p.recordKind != 0 && !(time > 0.0)) continue;
        const int code = t < p.layerCodes.size() ? p.layerCodes[t] : 3;
        const int32_t across = m.AlongDistance(r);
        const LPoint at = m.At(m.AlongTime(time), across);
        ScopedPen pen(c, Pen{PenStyle::Solid, 2, LayerColour(code)});
        if (d.pickMarkStyle == -1 || amplitudeMode) {
            Tick(c, ws, m, at);
        } else if (d.pickMarkStyle == 1) {
            Dot(c, ws, at, at);
        }
        if (amplitudeMode) {
            const int32_t deflection = DeflectionAt(ws, i, time);
            // Positive amplitudes go up in direction 0 and to the left in direction 1.
            Dot(c, ws, m.vertical ? LPoint{SaturatingAdd(at.x, -deflection), at.y} : LPoint{at.x, SaturatingAdd(at.y, deflection)},
                at);
        }
    }
}

// Step 3: the reference times of amplitude picking from a file, as blue ticks.
void DrawReferenceTimes(Canvas& c, const Workspace& ws, const PlotMapping& m)
{
    const DisplayState& d = ws.display;
    const RecordLayout& l = d.layout;
    const int count = std::min(ws.store.TraceCount(), static_cast<int>(std::min<size_t>(d.referenceTimes.size(), INT32_MAX)));
    ScopedPen pen(c, Pen{PenStyle::Solid, 2, kBlue});
    for (int i = 0; i < count; ++i) {
        const double r = Receiver(ws, i);
        if (!InRange(r, l.distanceMinimum, l.distanceMaximum, kRangeTolerance)) continue;
        Tick(c, ws, m, m.Point(d.referenceTimes[static_cast<size_t>(i)], r));
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------

bool PickOverlayShown(const Workspace& ws)
{
    const DisplayState& d = ws.display;
    return d.displayMode == 0 && ws.store.TraceCount() > 0 && (d.editMode == 1 || d.editMode == 3 || d.editMode == 4) &&
           ws.store.dataKind() == d.phaseVelocityFileMode;
}

void ClearSameReceiverPicks(Workspace& ws)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const size_t count = static_cast<size_t>(store.TraceCount());
    for (size_t i = 1; i < count; ++i) {
        // Receivers are whole hundredths of a metre: within 0.01 m is the same receiver.
        if (store.current.headers[i].receiverHundredths != store.current.headers[i - 1].receiverHundredths) continue;
        if (i < p.pickTimes.size()) p.pickTimes[i] = -1.0f;
        if (i < p.layerCodes.size()) p.layerCodes[i] = 3;
    }
}

void ChoosePickMarkStyle(Workspace& ws)
{
    DisplayState& d = ws.display;
    if (d.pickMarkStyleSet == 1) return;
    d.pickMarkStyle = ws.store.Params().recordKind == 0 ? -1 : 1;
}

void DrawPickOverlay(RecordPaint& paint, Workspace& ws, int originTime, int originDistance)
{
    if (ws.store.TraceCount() <= 0) return;
    // The layouts pass the origins along time and distance; the mapping takes them as x and y.
    const bool vertical = ws.settings.plotDirection == 1;
    const PlotMapping m = PlotMapping::ForRecord(ws, vertical ? originDistance : originTime,
                                                 vertical ? originTime : originDistance);
    Canvas& c = paint.canvas;
    if (ShownSet(ws).hasData == 1 && ws.display.showTraveltimeCurves == 1) DrawShots(c, ws, m);
    DrawRecordPicks(c, ws, m);
    if (ws.display.referenceTimesFlag == 1) DrawReferenceTimes(c, ws, m);
}

void DrawTheoreticalCurves(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    const CTheoreticalTraveltime& th = ws.theoretical;
    if (th.shown != 1) return;
    const PlotMapping m = PlotMapping::ForRecord(ws, xorg, yorg);
    const RecordLayout& l = ws.display.layout;
    const int count = ws.store.TraceCount();
    const int curves = std::clamp(th.curveCount, 0, CTheoreticalTraveltime::kCurves);
    Canvas& c = paint.canvas;
    ScopedPen pen(c, Pen{PenStyle::Solid, 2, kBlue});
    std::vector<LPoint> points;
    for (int k = 0; k < curves; ++k) {
        const std::vector<float>& times = th.curves[static_cast<size_t>(k)];
        points.clear();
        const int n = std::min(count, static_cast<int>(std::min<size_t>(times.size(), INT32_MAX)));
        for (int i = 0; i < n; ++i) {
            const double r = Receiver(ws, i);
            const double t = times[static_cast<size_t>(i)];
            if (!(t > 0.0) || !InRange(r, l.distanceMinimum, l.distanceMaximum, kSameShot)) continue;
            points.push_back(m.Point(t, r));
        }
        if (points.size() >= 2) FramedPolyline(c, Frame(ws), points);
    }
}

void DrawVelocityLines(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    const std::vector<VelocityLine>& lines = ws.display.velocityLines.lines;
    if (lines.empty()) return;
    const PlotMapping m = PlotMapping::ForRecord(ws, xorg, yorg);
    Canvas& c = paint.canvas;
    ScopedPen pen(c, Pen{PenStyle::Solid, 1, kRed});
    ScopedFont font(c, SelectAxisFont(ws));
    c.SetTextColour(kBlack);
    for (const VelocityLine& v : lines) {
        // The times are as the cursor gave them, without the trigger offset.
        FramedLine(c, Frame(ws), m.Point(v.startTime, v.startDistance), m.Point(v.endTime, v.endDistance));
        const double dt = static_cast<double>(v.endTime) - v.startTime;
        if (dt == 0.0) continue;
        const double velocity = std::abs((static_cast<double>(v.endDistance) - v.startDistance) / dt);
        const int32_t alongTime = static_cast<int32_t>((static_cast<int64_t>(m.AlongTime(v.startTime)) + m.AlongTime(v.endTime)) / 2);
        const int32_t alongDistance =
            static_cast<int32_t>((static_cast<int64_t>(m.AlongDistance(v.startDistance)) + m.AlongDistance(v.endDistance)) / 2);
        // Beside the midpoint toward earlier times: left of it across, above it down the page.
        if (Frame(ws) && !Frame(ws)->Contains(m.At(alongTime, alongDistance))) continue;  // its line's middle is off the plot
        c.TextOut(m.At(SaturatingAdd(alongTime, -kVelocityLabelOffset), alongDistance), FormatC("%2.2f", velocity));
    }
}

void DrawMuteLines(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    const MuteLines& mute = ws.display.mute;
    if (mute.state < 2) return;
    const PlotMapping m = PlotMapping::ForRecord(ws, xorg, yorg);
    const RecordLayout& l = ws.display.layout;
    Canvas& c = paint.canvas;
    ScopedPen pen(c, Pen{PenStyle::Solid, 1, kMagenta});
    auto line = [&](double slope, double intercept) {
        if (slope == 0.0 || !std::isfinite(slope)) return;  // no time along a line of slope 0
        const double d0 = l.distanceMinimum, d1 = l.distanceMaximum;
        FramedLine(c, Frame(ws), m.Point(d0 / slope + intercept, d0), m.Point(d1 / slope + intercept, d1));
    };
    line(mute.slope1, mute.intercept1);
    if (mute.state > 3) line(mute.slope2, mute.intercept2);
}

}  // namespace velk
