#pragma once
// Around the traces: the frame with its ticks, labels and axis titles, the trigger line, the
// gather title, the status line of the edit mode, and the "No waveform data" notice. The tick
// steps are chosen from the scales unless the "Axis configuration" dialog fixed them.
//
// Coordinates are logical units (0.1 mm, y up); a distance below the origin is drawn at its
// negative.

#include <string>

#include "draw/canvas.h"
#include "app/view/record_paint.h"

namespace velk {

class Workspace;

// What the tick choosers read.
struct AxisChoiceInput {
    float hscale = 1.0f;           // units per ms
    float plotscale = 20.0f;       // units per m
    float shownTime = 0.0f;        // ms
    float timeAxisStart = 0.0f;    // ms, the display state's time-axis start
    float distanceMinimum = 0.0f;  // m
    float distanceMaximum = 0.0f;
    bool keepAxes = false;         // "Apply current configuration(scale and time axis)"
    bool axesFixed = false;        // set by the axis dialog
    bool threeComponent = false;   // ThreeComponentLabel
    // A dispersion or coherence image: its axes span the image itself (velocity 0 to the last
    // sample, first to last frequency), whatever the kept configuration of waveform records.
    bool image = false;
    float imageTimeEnd = 0.0f;     // the last sample's position along the time axis
    // The image's sample step along the time axis and its trace step across: a whole label step
    // less than one of them beyond the image's edge is still labelled, the axis reaching it.
    float imageSampleStep = 0.0f;
    float imageTraceStep = 0.0f;
    // The current choice: the kept time-axis range and steps.
    float timeStart = 0.0f;
    float timeEnd = 0.0f;
    float timeStep = 0.0f;
    float distanceStep = 0.0f;
};

struct AxisChoice {
    float timeStart = 0.0f;
    float timeEnd = 0.0f;
    float timeStep = 1.0f;
    int timeTickCount = 1;
    float distanceStep = 1.0f;
    float distanceOrigin = 0.0f;
    float distanceEnd = 0.0f;
    int distanceTickCount = 1;
};

// Tick counts never exceed this, whatever steps and ranges the dialog or the profile gave.
inline constexpr int kMaxTickCount = 1000;

// The time-horizontal chooser: time step the first of 0.001 .. 100000 ms with step x hscale
// >= 150, distance step the first of 0.1 .. 50000 m with step x plotscale >= 50; counts
// rounded, with one more tick when the rounded axis ends short of the data. Fixed axes keep
// their steps and truncate the counts; the keep-axes toggle keeps range and steps. A kept
// step that is not positive is chosen afresh.
AxisChoice ChooseAxisTickSteps(const AxisChoiceInput& in);
// The time-vertical twin: its own step sequences and truncated counts.
AxisChoice ChooseAxisTickStepsVertical(const AxisChoiceInput& in);

// The input from the workspace, and the choice back into it (kept range and steps, tick
// counts, distance origin and end).
AxisChoiceInput AxisInputFrom(const Workspace& ws);
void StoreAxisChoice(Workspace& ws, const AxisChoice& choice);

// The frames. Each returns the bottom extent (the depth of the frame below the origin) and
// sets the layout's right and bottom extents.
int DrawAxesHorizontal(RecordPaint& paint, Workspace& ws, int xorg, int yorg, float distanceOrigin,
                       int distanceTickCount, float distanceEnd);
int DrawAxesVertical(RecordPaint& paint, Workspace& ws, int xorg, int yorg, float distanceOrigin,
                     int distanceTickCount, float distanceEnd);

// One point per shown trace at its trigger time (the trace's delay before its first sample),
// yellow; "Trigger" beside the last point. Direction 1 swaps the roles of the axes.
void DrawTriggerLine(RecordPaint& paint, const Workspace& ws, int xorg, int yorg);
// " Source=%5.1f%s", " Receiver=%5.1fm" or " CDP=%5.1fm" above the frame.
void DrawGatherTitle(RecordPaint& paint, const Workspace& ws, int xorg, int yorg);
// The status line of the edit mode in the view and its short text in pane 1.
void DrawEditStatus(RecordPaint& paint, const Workspace& ws);
void DrawNoData(RecordPaint& paint, const Workspace& ws);

// "%s/sec" with the distance unit text.
std::string FormatVelocityUnit(const Workspace& ws);
// The tick-label font for the language (larger while the acquisition monitor runs).
Font SelectAxisFont(const Workspace& ws);

}  // namespace velk
