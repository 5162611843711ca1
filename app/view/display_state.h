#pragma once
// The view's display state: what the drawing reads besides the store and the settings values.
//
// Each value has one owner. The scales (hscale, vscale, plotscale), traces and samples shown,
// window start and shown time, normalisation, axis kinds and record kind are fields of the
// current parameter set (store.Params()), so that they follow undo. The values bound to
// profile keys (plot direction, shading, polarity, unit text, kilometre display, show
// amplitude, three-component labels, the keep-axes toggles) are in Workspace::settings. The
// interface language is Workspace::startup.language. Everything else is here.

#include <string>
#include <vector>

#include "draw/overlay.h"
#include "app/view/edit_shapes.h"
#include "app/view/record_layout.h"

namespace velk {

struct DisplayState {
    // Layout.
    int plotMode = -2;          // -3, -2 wiggle layouts; -1, 0, 1, 2 colour layouts
    int plotSubFlag = 0;        // 1 for the fine colour variants
    int waveformPlotMode = 0;   // the wiggle layout (-3, -2) a new image replaced; 0 none
    int spectrumAxisKind = 0;   // second-axis kind of derived displays
    int clip = 1;               // -1 clip deflections, +1 no clipping
    int selectedOnly = -1;      // 1 processing works on the selected traces only, -1 on all
    int displayMode = 0;        // 0 waveforms, 1 velocity model, 3 geometry, 4 array geometry
    float amplitudeFactor = 50.0f;  // second amplitude scale (velocity-model display)
    int colourFlag = 1;         // 1 colour pens, other values monochrome pen styles
    int spectrumFill = 0;       // negated together with colourFlag
    int spectrumShading = 1;    // "Shade spectrum": 1 or -1
    int showStationCode = 0;    // 0 or 1
    int timeAxisCorrection = 0; // 1: earthquake traces start at their station's time offset
    // Geometry viewer scales (display modes 3 and 4).
    float geometryXScale = 20.0f;
    float geometryYScale = 20.0f;
    // 1 after the axis dialog fixed the axes; a new record or the waveform display clears it.
    int axesFixed = 0;

    // The gain the last wiggle paint used for each trace (store index); empty before the
    // first paint, and a trace beyond it counts 1.0. "Memory present amplitude" applies it.
    std::vector<float> appliedGain;

    // Window into the record.
    int firstTraceShown = 0;
    int firstSampleShown = 0;
    // The time window (samples shown, first sample) of the member file that a gather of the
    // line replaced: the next member file shown opens at it again. -1 while none is kept.
    int fileSamplesShown = -1;
    int fileFirstSample = 0;

    // Record titles: the first and last receiver (m), and the position a gather is titled with.
    float firstReceiver = 0.0f;
    float lastReceiver = 0.0f;
    float gatherPosition = 0.0f;
    // 1 once a first record has set the scales; later records keep the user's scales.
    int firstRecordScaled = 0;
    // A record of the instrument is drawn at the time scale of its record length and rate; any
    // other record at the scale it would have outside acquisition, which is kept meanwhile.
    int acquiredRecordLoad = -1;      // the store's load count when the instrument's record came
    int instrumentScaleShown = 0;     // 1 while the time scale is the instrument's
    float instrumentTimeScale = 0.0f; // that scale
    float keptTimeScale = 0.0f;       // the scale it replaced

    // Picks of the record on their way into the traveltime set.
    float sourcePosition = 0.0f;   // current source position, m
    int cmpRecord = 0;             // 1: the record is a CMP record (position choice)
    int showTraveltimeCurves = -1; // 1 draw the traveltime curves, -1 not

    // Edits.
    int modified = 0;           // 1 after a command changed the data of the loaded file
    int editMode = 0;           // 0 none, 1 first-arrival picking, 2 shot mark, 3 amplitude
                                // picking, 4 velocity line, 5 trace selection, 6 mark point,
                                // 7 curve editing, 8 filter test, 9 mute
    int selectionMode = 0;      // 1 while trace selection (edit mode 5) is on
    VelocityLineStore velocityLines;  // kept by the right button in edit mode 4
    MuteLines mute;                   // the two lines of edit mode 9

    // The view timer: automatic processing ticks every 1000 ms, the acquisition every 50 ms.
    static constexpr int kTimerId = 1;
    static constexpr int kAutomaticProcessingMs = 1000;
    static constexpr int kAcquisitionMs = 50;
    int timerRunning = 0;
    int timerInterval = 0;       // ms while running
    int automaticProcessing = 0; // 1 while the timer-driven automatic processing runs

    // What the load set-ups and the open roads write besides the values above.
    int recordLoaded = 0;          // 1 once a record has been set up
    int secondsFlag = 0;           // 1: the record's times are in seconds
    float displayTimeOffset = 0.0f;  // ms: the first trace's delay
    int sampleSkip = 1;            // the last "Sample skip" value of the skip road
    // Picking state the open roads read (first-arrival picking completes it).
    int amplitudeFlag = 0;         // 1: the pick arrays hold amplitudes
    int pendingCurve = 0;          // 1: a phase-velocity curve was found and not yet copied
    int pendingCurveIndex = 0;     // its shot in the traveltime set
    int currentLayerCode = 1;      // 1..3: the code each new pick gets (traveltime quality)
    int referenceTimesLoaded = 0;  // 1 after the first amplitude picking from a file
    int referenceTimesFlag = 0;    // 1: draw the reference times as the second pick set
    int phaseVelocityFileMode = 0; // 1: the picks belong to phase-velocity curves (save .pvs)
    int pickMarkStyle = 1;         // pick marks: negated by "Change traveltime symbol"
    int pickMarkStyleSet = 0;      // 1 once the style was chosen (the overlay then keeps it)
    // Per-trace values beside the pick arrays of the parameter set (store capacity entries,
    // sized by the picking commands as they need them).
    std::vector<float> amplitudePickTimes;  // ms: where the amplitude pick was read
    std::vector<float> thirdValues;         // third column of the first-arrival file
    std::vector<float> referenceTimes;      // ms: near which amplitude picking from a file looks

    // The record drawing: what the last paint derived, the axis choices, the drawing's own
    // flags, and the figures drawn over the record.
    RecordLayout layout;
    AxisState axes;
    RecordDrawFlags drawing;
    OverlayLayer overlay;
};

// The state as "name=value" lines in a fixed order, for reports and test failure messages.
class Workspace;
std::string DescribeDisplayState(const Workspace& ws);

}  // namespace velk
