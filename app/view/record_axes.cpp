#include "app/view/record_axes.h"

#include <algorithm>
#include <cmath>

#include "draw/coordinates.h"
#include "draw/fonts.h"
#include "app/dsp/display_filter_commands.h"
#include "app/shell_services.h"
#include "app/view/record_drawing.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrid{0, 100, 200};
constexpr Rgb kTrigger{200, 200, 0};

bool Japanese(const Workspace& ws) { return IsJapanese(ws.startup.language); }

bool Usable(float step) { return step > 0.0f && std::isfinite(step); }

// Dispersion and coherence images are framed by their own edges.
bool ImageAxes(const Workspace& ws)
{
    const int kind = ws.store.Params().recordKind;
    return kind == 1 || kind == 2;
}

// An image's last shown sample along the time axis, from the image's own interval, as its cells
// are drawn (so the axis and the image agree whatever the record before it left behind).
float ImageTimeEnd(const Workspace& ws)
{
    int first = 0, last = 0;
    ShownTraceRange(ws, first, last);
    const WaveformStore& store = ws.store;
    if (first < 0 || first >= store.TraceCount()) return 0.0f;
    const int samples = std::min(std::max(store.Params().samplesShown, 0),
                                 std::max(store.TraceSamples(first) - std::max(ws.display.firstSampleShown, 0), 0));
    const double interval = DrawnIntervalUs(ws, first) * 0.001;
    const double end = std::max(samples - 1, 0) * interval;
    return std::isfinite(end) && end > 0.0 ? static_cast<float>(end) : 0.0f;
}

// ticks - 1 (a count of steps), bounded: at least one tick, at most kMaxTickCount.
int Ticks(double steps)
{
    if (!(steps >= 0.0)) return 1;
    if (steps >= kMaxTickCount - 1) return kMaxTickCount;
    return static_cast<int>(steps) + 1;
}

// Rounding half up, for the counts of the automatic axes.
double RoundHalfUp(double v) { return std::floor(v + 0.5); }

float FirstStep(std::initializer_list<float> steps, double scale, double need)
{
    for (float s : steps)
        if (s * scale >= need) return s;
    return *(steps.end() - 1);
}

float HorizontalTimeStep(double hscale)
{
    return FirstStep({0.001f, 0.002f, 0.005f, 0.01f, 0.02f, 0.05f, 0.1f, 0.2f, 0.5f, 1, 2, 5, 10, 20, 50, 100, 200,
                      500, 1000, 2000, 5000, 10000, 20000, 50000, 100000},
                     hscale, 150.0);
}

float HorizontalDistanceStep(double plotscale)
{
    return FirstStep({0.1f, 0.2f, 0.5f, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000},
                     plotscale, 50.0);
}

float VerticalTimeStep(double hscale)
{
    return FirstStep({0.5f, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000},
                     hscale, 150.0);
}

float VerticalDistanceStep(double plotscale)
{
    for (float s : {0.5f, 1.0f, 2.0f})
        if (s * plotscale >= 150.0) return s;
    return FirstStep({5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000}, plotscale, 100.0);
}

// The tick count from a first guess, with one more tick when the axis would end short of
// `reach`; the end follows the count.
void ExtendToReach(int& count, float& end, float start, float step, float reach)
{
    end = static_cast<float>(start + (count - 1) * static_cast<double>(step));
    if (end < reach && count < kMaxTickCount) {
        ++count;
        end = static_cast<float>(start + (count - 1) * static_cast<double>(step));
    }
}

// Ticks at whole steps that stay within `steps` steps (never one beyond the end).
int TicksWithin(double steps) { return Ticks(std::floor(steps + 1e-6)); }

// Label steps from `start` to an image's edge at `end`, counting the next whole step when the
// edge falls short of it by less than one of the image's own steps (`slack`): an image of
// 0 .. 597.5 m/s in 2.5 m/s samples is labelled up to 600.
double StepsToEdge(double start, double end, double step, double slack)
{
    const double steps = (end - start) / step;
    const double next = std::ceil(steps - 1e-6);
    if (slack > 0.0 && (next - steps) * step < slack - 1e-6) return next;
    return steps;
}

AxisChoice Choose(const AxisChoiceInput& in, bool vertical)
{
    AxisChoice c;
    c.timeStart = in.timeStart;
    c.timeEnd = in.timeEnd;
    c.timeStep = in.timeStep;
    c.distanceStep = in.distanceStep;
    const bool keepAxes = in.keepAxes && !in.image;
    if (!keepAxes) {
        c.timeStart = in.timeAxisStart;
        c.timeEnd = in.image ? in.imageTimeEnd : in.shownTime;
    }
    const bool choose = !in.axesFixed && !keepAxes;
    if (choose || !Usable(c.timeStep)) {
        c.timeStep = vertical ? VerticalTimeStep(in.hscale) : HorizontalTimeStep(in.hscale);
    }
    if (choose || !Usable(c.distanceStep)) {
        c.distanceStep = vertical ? VerticalDistanceStep(in.plotscale) : HorizontalDistanceStep(in.plotscale);
    }
    if (in.image) {
        // The frame is the image's edge; the numbering stops at the last whole step inside it.
        c.distanceOrigin = in.distanceMinimum;
        c.distanceEnd = std::max(in.distanceMaximum, in.distanceMinimum);
        c.timeEnd = std::max(c.timeEnd, c.timeStart);
        c.timeTickCount = TicksWithin(StepsToEdge(c.timeStart, c.timeEnd, c.timeStep, in.imageSampleStep));
        c.distanceTickCount =
            TicksWithin(StepsToEdge(c.distanceOrigin, c.distanceEnd, c.distanceStep, in.imageTraceStep));
        c.timeEnd = std::max(c.timeEnd, static_cast<float>(c.timeStart + (c.timeTickCount - 1) * static_cast<double>(c.timeStep)));
        c.distanceEnd = std::max(c.distanceEnd, static_cast<float>(c.distanceOrigin + (c.distanceTickCount - 1) *
                                                                                   static_cast<double>(c.distanceStep)));
        return c;
    }
    const double margin = (in.threeComponent && !vertical ? 2.0 : 1.0) * c.distanceStep;
    c.distanceOrigin = static_cast<float>(in.distanceMinimum - margin);
    c.distanceEnd = static_cast<float>(in.distanceMaximum + margin);

    const double timeSteps = (static_cast<double>(c.timeEnd) - c.timeStart) / c.timeStep;
    const double distanceSteps = (static_cast<double>(c.distanceEnd) - c.distanceOrigin) / c.distanceStep;
    if (vertical) {
        c.timeTickCount = Ticks(timeSteps);
        ExtendToReach(c.timeTickCount, c.timeEnd, c.timeStart, c.timeStep, in.shownTime);
        c.distanceTickCount = Ticks(distanceSteps);
        ExtendToReach(c.distanceTickCount, c.distanceEnd, c.distanceOrigin, c.distanceStep, in.distanceMaximum);
    } else if (!in.axesFixed) {
        c.timeTickCount = Ticks(RoundHalfUp(timeSteps));
        c.distanceTickCount = Ticks(RoundHalfUp(distanceSteps));
        ExtendToReach(c.distanceTickCount, c.distanceEnd, c.distanceOrigin, c.distanceStep, in.distanceMaximum);
        ExtendToReach(c.timeTickCount, c.timeEnd, c.timeStart, c.timeStep, in.shownTime);
    } else {
        c.timeTickCount = Ticks(timeSteps);
        c.distanceTickCount = Ticks(distanceSteps);
    }
    return c;
}

int32_t Trunc(double v) { return SaturatingTrunc(v); }

void Line(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    c.MoveTo({x0, y0});
    c.LineTo({x1, y1});
}

std::string DistanceLabel(const Workspace& ws, double v)
{
    if (ws.settings.kmDisplay == 1) v *= 0.001;
    return ws.display.axes.distanceDecimals == 1 ? FormatC("%6.1f", v) : FormatC("%5.0f", v);
}

// Label of the time tick at `t` ms from the axis start, or empty when it has none (the
// reciprocal of time zero).
std::string TimeLabel(const Workspace& ws, double t, double s0)
{
    const AxisState& a = ws.display.axes;
    const bool timeDomain = ws.store.dataKind() == kTimeDomain;
    double v;
    bool decimals = a.timeDecimals == 1;
    if (a.reciprocalAxis == 1) {
        t += s0;
        if (t == 0.0) return {};
        v = 1000.0 / t;
        decimals = false;
    } else if (a.timeUnit == 1) {
        v = t * 0.001;
    } else {
        v = s0 + t;
    }
    if (timeDomain) v += ws.display.layout.timeOffset;
    if ((ws.settings.threeComponentLabel == 1 && timeDomain) || ws.settings.kmDisplay == 1) v *= 0.001;
    return decimals ? FormatC("%7.1f", v) : FormatC("%6.0f", v);
}

// Decimals for steps below 1, unless the axes are fixed: judged on the steps as the labels show
// them (seconds and kilometres are a thousandth of the steps' own units).
void ChooseDecimals(Workspace& ws)
{
    if (ws.display.axesFixed == 1) return;
    const bool kilo = ws.settings.kmDisplay == 1;
    const bool seconds = kilo || (ws.settings.threeComponentLabel == 1 && ws.store.dataKind() == kTimeDomain);
    const double timeStep =
        ws.settings.xi * (seconds ? 0.001 : 1.0) * (ws.display.axes.timeUnit == 1 ? 0.001 : 1.0);
    const double distanceStep = ws.settings.yi * (kilo ? 0.001 : 1.0);
    ws.display.axes.timeDecimals = timeStep < 1.0 ? 1 : 0;
    ws.display.axes.distanceDecimals = distanceStep < 1.0 ? 1 : 0;
}

// The label start time: the first shown sample's time for waveforms, else 0.
double LabelStart(const Workspace& ws)
{
    return ws.store.Params().recordKind == 0 ? static_cast<double>(ws.store.Params().windowStartTime) : 0.0;
}

// The time ticks fall where the labelled time is a whole multiple of the step, from the first
// such time at or after the axis start (a record starting at -10 ms is labelled 0, 200, ...,
// not -10, 190, ...). Returns that first tick's distance from the axis start, in ms of the axis.
double FirstTimeTick(const Workspace& ws, float step, double s0)
{
    if (!Usable(step)) return 0.0;
    const AxisState& a = ws.display.axes;
    const double offset = ws.store.dataKind() == kTimeDomain ? static_cast<double>(ws.display.layout.timeOffset) : 0.0;
    // The labelled time at the axis start, in the units of the step.
    double start = s0 + offset;
    if (a.reciprocalAxis == 1) {
        start = s0;
    } else if (a.timeUnit == 1) {
        start = offset * 1000.0;
    }
    const double steps = start / step;
    const double first = (std::ceil(steps - 1e-6) - steps) * step;
    return std::isfinite(first) && first > 0.0 ? first : 0.0;
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

// A tick label over a tick: the number centred on it. (The labels are printf fields made for a
// fixed-pitch face; in a proportional one their padding would push them off their ticks.)
void LabelOver(Canvas& c, int32_t x, int32_t y, const std::string& field)
{
    const std::string text = Trimmed(field);
    if (!text.empty()) c.TextOut({x - c.TextExtent(text).cx / 2, y}, text);
}

// A tick label beside the frame: the number right-aligned where its field starting at x ends.
void LabelBeside(Canvas& c, int32_t x, int32_t y, const std::string& field)
{
    const std::string text = Trimmed(field);
    if (text.empty()) return;
    const int32_t right = x + c.TextExtent(std::string(field.size(), '0')).cx;
    c.TextOut({right - c.TextExtent(text).cx, y}, text);
}

struct Title {
    std::string text;
    int dx = 0;  // from the middle of the axis; kCentre centres by the text's extent
};
constexpr int kCentre = 1 << 20;

// The title of the time axis (and of the distance axis's spectra alternatives) for this data.
std::vector<Title> TimeAxisTitles(const Workspace& ws)
{
    const bool jp = Japanese(ws);
    const int kind = ws.store.dataKind();
    std::vector<Title> out;
    switch (kind) {
    case kTimeDomain:
        if (ws.display.axes.timeUnit == 1) out.push_back({"(nsec)", 140});
        if (ws.store.Params().horizontalAxisKind != 1) {
            out.push_back({jp ? "深度 (m)" : "D e p t h (m)", -110});
        } else if (ws.settings.threeComponentLabel == 1 || ws.settings.kmDisplay == 1) {
            out.push_back({jp ? "時間(sec)" : "T i m e (sec)", -90});
        } else {
            out.push_back({jp ? "時間(msec)" : "T i m e (msec)", -90});
        }
        break;
    case kRealSpectrum:
        if (ws.display.spectrumAxisKind == 2 || ws.display.spectrumAxisKind == 3) {
            const std::string unit = FormatVelocityUnit(ws);
            out.push_back({jp ? "位相速度 (" + unit + ")" : "Phase velocity (" + unit + ")", -100});
        } else {
            out.push_back({jp ? "周波数(Hz)" : "Frequency (Hz)", -40});
        }
        break;
    case kComplexShowReal:
        out.push_back({jp ? "周波数領域(実部)" : "Frequency domain(Real part)", kCentre});
        break;
    default:
        out.push_back({jp ? "周波数領域(虚部)" : "Frequency domain(Imaginary part)", kCentre});
        break;
    }
    return out;
}

// The titles above the frame, each kept in `drawn`.
void DrawTitles(Canvas& c, const std::vector<Title>& titles, int32_t mid, int32_t y, std::vector<LRect>& drawn)
{
    for (const Title& t : titles) {
        const LSize size = c.TextExtent(t.text);
        const int32_t x = t.dx == kCentre ? mid - size.cx / 2 : mid + t.dx;
        c.TextOut({x, y}, t.text);
        drawn.push_back({x, y, x + size.cx, y - size.cy});
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------

AxisChoice ChooseAxisTickSteps(const AxisChoiceInput& in) { return Choose(in, false); }
AxisChoice ChooseAxisTickStepsVertical(const AxisChoiceInput& in) { return Choose(in, true); }

AxisChoiceInput AxisInputFrom(const Workspace& ws)
{
    const CParameterSet& p = ws.store.Params();
    AxisChoiceInput in;
    in.hscale = p.hscale;
    in.plotscale = p.plotscale;
    in.shownTime = p.shownTime;
    in.timeAxisStart = p.timeAxisStart;
    in.distanceMinimum = ws.display.layout.distanceMinimum;
    in.distanceMaximum = ws.display.layout.distanceMaximum;
    in.keepAxes = ws.settings.applyCurrentConfiguration == 1;
    in.axesFixed = ws.display.axesFixed == 1;
    in.threeComponent = ws.settings.threeComponentLabel == 1;
    in.image = ImageAxes(ws);
    if (in.image) {
        in.imageTimeEnd = ImageTimeEnd(ws);
        int first = 0, last = 0;
        ShownTraceRange(ws, first, last);
        if (first >= 0 && first < ws.store.TraceCount()) {
            in.imageSampleStep = static_cast<float>(DrawnIntervalUs(ws, first) * 0.001);
        }
        if (last - first > 1) {
            in.imageTraceStep = (in.distanceMaximum - in.distanceMinimum) / static_cast<float>(last - first - 1);
        }
    }
    in.timeStart = ws.settings.xst;
    in.timeEnd = ws.settings.xe;
    in.timeStep = ws.settings.xi;
    in.distanceStep = ws.settings.yi;
    return in;
}

void StoreAxisChoice(Workspace& ws, const AxisChoice& c)
{
    ws.settings.xst = c.timeStart;
    ws.settings.xe = c.timeEnd;
    ws.settings.xi = c.timeStep;
    ws.settings.yi = c.distanceStep;
    ws.display.axes.timeTickCount = c.timeTickCount;
    RecordLayout& l = ws.display.layout;
    l.distanceOrigin = c.distanceOrigin;
    l.distanceEnd = c.distanceEnd;
    l.distanceTickCount = c.distanceTickCount;
}

std::string FormatVelocityUnit(const Workspace& ws) { return ws.settings.unitText + "/sec"; }

Font SelectAxisFont(const Workspace& ws)
{
    const bool monitor = ws.startup.acquisitionMode != 0 && ws.acquisitionDevice.monitorRunning == 1;
    return FontFor(monitor ? FontUse::AxisLabelMonitor : FontUse::AxisLabel, Japanese(ws));
}

namespace {

// What both directions do first: no extent yet, the label decimals chosen; returns the time the
// labels start from.
double BeginAxes(Workspace& ws)
{
    ws.display.layout.rightExtent = 0;
    ws.display.layout.bottomExtent = 0;
    ws.display.layout.frame.reset();
    ws.display.layout.topTitles.clear();
    const double s0 = LabelStart(ws);
    ChooseDecimals(ws);
    return s0;
}

// The caption under the record when it is on.
void DrawCaption(Canvas& c, const AxisState& a, bool jp, int xorg, int32_t bottom)
{
    if (a.captionFlag != 1) return;
    ScopedFont caption(c, FontFor(FontUse::Status, jp));
    c.TextOut({xorg + 60, 70 - bottom}, a.caption);
}

// The time lines of either direction, at distances `along` from the origin in logical units: the
// frame's two edges (black), the grid lines between (grey, when the grid is on) and a label at
// every tick. The ticks fall on whole multiples of the step from the first one at or after the
// axis start (FirstTimeTick), so they need not start at the frame's edge.
template <class Edge, class Grid, class Label>
void DrawTimeLines(Canvas& c, const Workspace& ws, double s0, Edge edge, Grid grid, Label label)
{
    const AxisState& a = ws.display.axes;
    const float tstep = ws.settings.xi;
    const double hscale = ws.store.Params().hscale;
    const int tcount = std::clamp(a.timeTickCount, 0, kMaxTickCount);
    const double axisEnd = (tcount - 1) * static_cast<double>(tstep);
    // An image's frame closes at its last sample, which need not be a whole step.
    const bool image = ImageAxes(ws);
    const double frameEnd =
        image ? std::max(axisEnd, static_cast<double>(ws.settings.xe) - ws.settings.xst) : axisEnd;
    const double firstTick = FirstTimeTick(ws, tstep, s0);
    for (int i = 0; i < tcount; ++i) {
        c.SetPen(Pen{PenStyle::Solid, 2, kBlack});
        if (i == 0) edge(0);
        if (i == tcount - 1 && (i != 0 || image)) edge(Trunc(frameEnd * hscale));
        const double t = firstTick + i * static_cast<double>(tstep);
        if (t > axisEnd + 1e-6 * tstep) continue;
        const int32_t along = Trunc(t * hscale);
        if (t > 1e-6 * tstep && t < frameEnd - 1e-6 * tstep && a.gridFlag >= 0) {
            c.SetPen(Pen{PenStyle::Solid, 2, kGrid});
            grid(along);
        }
        label(along, TimeLabel(ws, t, s0));
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------

int DrawAxesHorizontal(RecordPaint& paint, Workspace& ws, int xorg, int yorg, float distanceOrigin,
                       int distanceTickCount, float distanceEnd)
{
    Canvas& c = paint.canvas;
    const CParameterSet& p = ws.store.Params();
    AxisState& a = ws.display.axes;
    RecordLayout& l = ws.display.layout;
    const ViewSettings& s = ws.settings;
    const bool jp = Japanese(ws);
    const bool threeComponent = s.threeComponentLabel == 1;
    const double hscale = p.hscale, plotscale = p.plotscale;
    const float dstep = s.yi;

    const double s0 = BeginAxes(ws);
    const int count = std::clamp(distanceTickCount, 0, kMaxTickCount);
    const int32_t right = SaturatingAdd(xorg, Trunc(hscale * s.xe));

    // Distance lines: the frame's top and bottom; inner ones are ticks with labels.
    ScopedPen pen(c, Pen{PenStyle::Solid, 2, kBlack});
    ScopedFont font(c, SelectAxisFont(ws));
    c.SetTextColour(kBlack);
    int32_t bottom = yorg;
    double largestLabel = 0.0;
    // An image's frame closes at its last trace after the ticks, which stay inside it.
    const bool image = ImageAxes(ws);
    const double frameSpan = static_cast<double>(distanceEnd) - distanceOrigin;
    auto edgeLine = [&](int32_t y) {
        Line(c, xorg, -y, right, -y);
        l.rightExtent = std::max(l.rightExtent, right);
    };
    for (int k = 0; k < count; ++k) {
        const int32_t y = SaturatingAdd(yorg, Trunc(k * static_cast<double>(dstep) * plotscale));
        bottom = y;
        if (k == 0 && image && !threeComponent) {
            // The image starts at the frame's edge: the edge carries the first number.
            LabelBeside(c, xorg - 160, -y + 25, DistanceLabel(ws, distanceOrigin));
        }
        if (k == 0 || (!image && k == count - 1)) {
            edgeLine(y);
        } else if (image && k * static_cast<double>(dstep) >= frameSpan - 1e-6 * dstep) {
            // On the closing edge: its number, no tick.
            if (!threeComponent && k * static_cast<double>(dstep) <= frameSpan + 1e-6 * dstep) {
                LabelBeside(c, xorg - 160, -y + 25, DistanceLabel(ws, distanceOrigin + k * static_cast<double>(dstep)));
            }
            continue;
        } else if (!threeComponent) {
            const double v = distanceOrigin + k * static_cast<double>(dstep);
            largestLabel = std::max(largestLabel, std::fabs(s.kmDisplay == 1 ? v * 0.001 : v));
            LabelBeside(c, xorg - 160, -y + 25, DistanceLabel(ws, v));
            Line(c, xorg - 10, -y, xorg, -y);
            Line(c, right, -y, right + 10, -y);
        }
    }
    if (image && count > 0) {
        bottom = SaturatingAdd(yorg, Trunc(frameSpan * plotscale));
        edgeLine(bottom);
    }
    l.bottomExtent = bottom;

    // Distance-axis title, reading upwards from 200 units below the middle of the axis.
    if (!threeComponent) {
        const int32_t m =
            -SaturatingAdd(yorg, Trunc(0.5 * (static_cast<double>(distanceEnd) - distanceOrigin) * plotscale));
        int32_t x = largestLabel >= 10000.0 ? xorg - 270 : xorg - 230;
        int32_t y = m - 200;
        const std::string unit = s.unitText;
        std::string title;
        if (ws.store.dataKind() != kTimeDomain && ws.display.spectrumAxisKind != 0) {
            switch (ws.display.spectrumAxisKind) {
            case 1:
                title = jp ? "波数 (Cycles/km)" : "Wave number (Cycles/km)";
                x = xorg - 221;
                break;
            case 3: title = jp ? "距離 (" + unit + ")" : "D i s t a n c e (" + unit + ")"; break;
            default:
                // The traces of a phase-velocity image are frequencies; after the velocity-depth
                // transformation (image kind 2) they are depths.
                if (ws.contour.imageKind == 2) {
                    title = jp ? "深度 (" + unit + ")" : "D e p t h  (" + unit + ")";
                    x = xorg - 235;
                } else {
                    title = jp ? "周波数 (Hz)" : "F r e q u e n c y (Hz)";
                }
                break;
            }
        } else if (p.verticalAxisKind == 1) {
            title = jp ? "距離 (" + unit + ")" : "D i s t a n c e (" + unit + ")";
        } else {
            title = jp ? "深度 (" + unit + ")" : "D e p t h  (" + unit + ")";
            y = m - 180;
        }
        ScopedFont rotated(c, FontFor(FontUse::AxisTitleRotated, jp));
        c.TextOut({x, y}, title);
    }

    DrawCaption(c, a, jp, xorg, bottom);

    // Time lines: the frame's left and right, the grid between, labels above the frame.
    int32_t frameRight = right;
    DrawTimeLines(c, ws, s0,
                  [&](int32_t along) {
                      const int32_t x = SaturatingAdd(xorg, along);
                      Line(c, x, -yorg, x, -bottom);
                      l.rightExtent = std::max(l.rightExtent, x);
                      frameRight = std::max(frameRight, x);
                  },
                  [&](int32_t along) {
                      const int32_t x = SaturatingAdd(xorg, along);
                      Line(c, x, -yorg, x, -bottom);
                  },
                  [&](int32_t along, const std::string& text) {
                      LabelOver(c, SaturatingAdd(xorg, along), 60 - yorg, text);
                  });
    l.frame = PlotFrame::Spanning({xorg, -yorg}, {frameRight, -bottom});

    // Time-axis title above the labels.
    {
        ScopedFont title(c, FontFor(FontUse::AxisTitle, jp));
        const int32_t mid = SaturatingAdd(xorg, Trunc(0.5 * s.xe * hscale));
        DrawTitles(c, TimeAxisTitles(ws), mid, 125 - yorg, l.topTitles);
    }
    return bottom;
}

int DrawAxesVertical(RecordPaint& paint, Workspace& ws, int xorg, int yorg, float distanceOrigin,
                     int distanceTickCount, float distanceEnd)
{
    Canvas& c = paint.canvas;
    const CParameterSet& p = ws.store.Params();
    AxisState& a = ws.display.axes;
    RecordLayout& l = ws.display.layout;
    const ViewSettings& s = ws.settings;
    const bool jp = Japanese(ws);
    const double hscale = p.hscale, plotscale = p.plotscale;
    const float dstep = s.yi;

    const double s0 = BeginAxes(ws);
    const int count = std::clamp(distanceTickCount, 0, kMaxTickCount);
    const int32_t bottom = SaturatingAdd(yorg, Trunc(hscale * s.xe));

    // Distance lines: the frame's left and right; inner ones are ticks with labels above.
    ScopedPen pen(c, Pen{PenStyle::Solid, 2, kBlack});
    ScopedFont font(c, SelectAxisFont(ws));
    c.SetTextColour(kBlack);
    int32_t right = xorg;
    // An image's frame closes at its last trace after the ticks, which stay inside it.
    const bool image = ImageAxes(ws);
    const double frameSpan = static_cast<double>(distanceEnd) - distanceOrigin;
    for (int k = 0; k < count; ++k) {
        const int32_t x = SaturatingAdd(xorg, Trunc(k * static_cast<double>(dstep) * plotscale));
        if (image && k > 0 && k * static_cast<double>(dstep) >= frameSpan - 1e-6 * dstep) {
            // On the closing edge: its number, no tick.
            if (k * static_cast<double>(dstep) <= frameSpan + 1e-6 * dstep) {
                LabelOver(c, x, 60 - yorg, DistanceLabel(ws, distanceOrigin + k * static_cast<double>(dstep)));
            }
            continue;
        }
        right = x;
        l.rightExtent = std::max(l.rightExtent, x);
        if (k == 0 && image) LabelOver(c, x, 60 - yorg, DistanceLabel(ws, distanceOrigin));
        if (k == 0 || (!image && k == count - 1)) {
            Line(c, x, -yorg, x, -bottom);
        } else {
            LabelOver(c, x, 60 - yorg, DistanceLabel(ws, distanceOrigin + k * static_cast<double>(dstep)));
            Line(c, x, -yorg + 10, x, -yorg);
            Line(c, x, -bottom, x, -bottom - 10);
        }
    }
    if (image && count > 0) {
        right = SaturatingAdd(xorg, Trunc(frameSpan * plotscale));
        l.rightExtent = std::max(l.rightExtent, right);
        Line(c, right, -yorg, right, -bottom);
    }
    l.bottomExtent = bottom;

    DrawCaption(c, a, jp, xorg, bottom);

    // Time lines across, labels left of the frame.
    auto across = [&](int32_t along) {
        const int32_t y = SaturatingAdd(yorg, along);
        Line(c, xorg, -y, right, -y);
    };
    int32_t frameBottom = bottom;
    auto edge = [&](int32_t along) {
        across(along);
        frameBottom = std::max(frameBottom, SaturatingAdd(yorg, along));
    };
    DrawTimeLines(c, ws, s0, edge, across, [&](int32_t along, const std::string& text) {
        LabelBeside(c, xorg - 160, -SaturatingAdd(yorg, along) + 25, text);
    });
    l.frame = PlotFrame::Spanning({xorg, -yorg}, {right, -frameBottom});

    // Time-axis title along the left side, reading upwards from below its middle.
    {
        std::string title;
        const int kind = ws.store.dataKind();
        if (kind == kRealSpectrum) {
            title = jp ? "周波数 (Hz)" : "Frequency (Hz)";
        } else if (kind == kComplexShowReal) {
            title = jp ? "周波数領域(実部)" : "Frequency domain(Real part)";
        } else if (kind == kComplexShowImag) {
            title = jp ? "周波数領域(虚部)" : "Frequency domain(Imaginary part)";
        } else if (p.horizontalAxisKind != 1) {
            title = (jp ? "深度 (" : "D e p t h (") + s.unitText + ")";
        } else if (s.threeComponentLabel == 1 || s.kmDisplay == 1) {
            title = jp ? "時間(sec)" : "T i m e (sec)";
        } else {
            title = jp ? "時間(msec)" : "T i m e (msec)";
        }
        const int32_t m = -SaturatingAdd(yorg, Trunc(0.5 * s.xe * hscale));
        ScopedFont rotated(c, FontFor(FontUse::AxisTitleRotated, jp));
        c.TextOut({xorg - 230, m - 200}, title);
    }
    // Distance-axis title above the labels.
    {
        const std::string unit = jp ? (s.kmDisplay == 1 ? "(km)" : "(m)") : "(" + s.unitText + ")";
        const std::string title = (jp ? "距離 " : "Distance ") + unit;
        const int32_t mid =
            SaturatingAdd(xorg, Trunc(0.5 * (static_cast<double>(distanceEnd) - distanceOrigin) * plotscale));
        ScopedFont titleFont(c, FontFor(FontUse::AxisTitle, jp));
        DrawTitles(c, {{title, kCentre}}, mid, 125 - yorg, l.topTitles);
    }
    return bottom;
}

// ---------------------------------------------------------------------------------------------

void DrawTriggerLine(RecordPaint& paint, const Workspace& ws, int xorg, int yorg)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const int first = std::max(ws.display.firstTraceShown, 0);
    const int last = std::min(first + std::max(p.tracesShown, 0), store.TraceCount());
    if (last <= first) return;
    const bool vertical = ws.settings.plotDirection == 1;
    const double start = p.windowStartTime;
    const double origin = ws.display.layout.distanceOrigin;
    std::vector<LPoint> points;
    points.reserve(static_cast<size_t>(last - first));
    for (int i = first; i < last; ++i) {
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const double t = -h.delayUs * 0.001 - start;
        const double r = h.receiverHundredths * 0.01 - origin;
        const int32_t along = Trunc(t * p.hscale);
        const int32_t across = Trunc(r * p.plotscale);
        if (vertical) {
            points.push_back({SaturatingAdd(xorg, across), -SaturatingAdd(yorg, along)});
        } else {
            points.push_back({SaturatingAdd(xorg, along), -SaturatingAdd(yorg, across)});
        }
    }
    Canvas& c = paint.canvas;
    ScopedPen pen(c, Pen{PenStyle::Solid, 1, kTrigger});
    c.Polyline(points);
    ScopedFont font(c, FontFor(FontUse::Status, Japanese(ws)));
    c.SetTextColour(kBlack);
    c.TextOut({points.back().x + 10, points.back().y - 10}, "Trigger");
}

void DrawGatherTitle(RecordPaint& paint, const Workspace& ws, int xorg, int yorg)
{
    if (ws.store.TraceCount() <= 0) return;
    const CTraceHeader& h = ws.store.current.headers[0];
    const double source = h.sourceHundredths * 0.01;
    std::string text;
    const bool jp = Japanese(ws);
    if (jp) {
        text = FormatC(" 震源位置=%5.1f", source) + ws.settings.unitText;
    } else if (ws.fileGroup.gatherKind == 1) {
        // A common-receiver gather swaps the words: the source word holds the receiver.
        text = FormatC(" Receiver=%5.1fm", source);
    } else if (ws.fileGroup.gatherKind == 2) {
        text = FormatC(" CDP=%5.1fm", (h.sourceHundredths + static_cast<double>(h.receiverHundredths)) * 0.005);
    } else {
        text = FormatC(" Source=%5.1f", source) + ws.settings.unitText;
    }
    Canvas& c = paint.canvas;
    ScopedFont font(c, FontFor(FontUse::GatherTitle, jp));
    c.SetTextColour(kBlack);
    c.TextOut({xorg - 200, 130 - yorg}, text);
}

void DrawEditStatus(RecordPaint& paint, const Workspace& ws)
{
    StatusPanes* status = paint.status;
    if (status) status->SetPaneWidth(0, 50);
    if (paint.printing || ws.display.drawing.screen == 0 || ws.startup.acquisitionMode != 0) {
        if (status) status->SetPaneWidth(1, 100);
        return;
    }
    const bool jp = ws.startup.language != kLanguageEnglish;
    auto pick = [jp](const char* en, const char* ja) { return std::string(jp ? ja : en); };
    std::string line, pane, second, third;
    const DisplayState& d = ws.display;
    switch (d.editMode) {
    case 0:
        if (IsDisplayFilterApplied(ws)) {
            line = pane = DisplayFilterStatus(ws);
        } else {
            line = pick("Status : No editing", "状態 : 編集なし");
            pane = pick("No editing", "編集なし");
        }
        break;
    case 1:
        if (ws.store.Params().recordKind == 1 && d.phaseVelocityFileMode == 1) {
            line = pick("Status : Pick phase velocity", "状態 : 位相速度の読み取り");
            pane = pick("Pick phase velocity", "位相速度の読み取り");
        } else {
            line = pick("Status : Pick first arrival", "状態 : 初動の読み取り");
            pane = pick("Pick first arrival", "初動の読み取り");
        }
        break;
    case 2:
        line = pick("Status : point shot-mark", "状態 : 発震点の指定");
        pane = pick("Point shot-mark", "発震点の指定");
        break;
    case 4:
        line = pick("Status : set velocity line", "状態 : 速度線の設定");
        pane = pick("Set velocity line", "速度線の設定");
        if (d.drawing.velocityLinePointState == 0) {
            second = pick("（point left end）", "（左端を指定）");
        } else if (d.drawing.velocityLinePointState == 1) {
            second = pick("（point right end）", "（右端を指定）");
        } else if (d.drawing.velocityLinePointState == 2) {
            second = pick("Status : no editing              ", "状態 : 編集なし              ") + std::string(30, ' ');
            pane = pick("No editing", "編集なし");
        }
        break;
    case 9:
        line = pick("Status : Manual mute", "状態 : 手動ミュート");
        pane = pick("Manual mute", "手動ミュート");
        if (d.drawing.mutePointState == 0) {
            third = pick("（point left side）", "（左側を指定）");
        } else if (d.drawing.mutePointState == 2) {
            third = pick("（point right side）", "（右側を指定）");
        }
        break;
    default:
        line = pick("Status : in edit mode        ", "状態 : 編集モード        ");
        pane = std::string(8, ' ');
        break;
    }
    Canvas& c = paint.canvas;
    ScopedFont font(c, FontFor(FontUse::Status, jp));
    c.SetTextColour(kBlack);
    c.TextOut({10, -18}, line);
    if (!second.empty()) c.TextOut({10, -68}, second);
    if (!third.empty()) c.TextOut({500, -18}, third);
    if (status) {
        status->SetPaneWidth(1, 100);
        status->SetPaneText(1, pane);
    }
}

void DrawNoData(RecordPaint& paint, const Workspace& ws)
{
    Canvas& c = paint.canvas;
    ScopedFont font(c, SelectAxisFont(ws));
    c.SetTextColour(kBlack);
    c.TextOut({10, -18}, Japanese(ws) ? "波形データがありません" : "No waveform data");
}

}  // namespace velk
