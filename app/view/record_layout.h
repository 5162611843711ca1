#pragma once
// What the record drawing keeps between paints, besides the scales it may reduce:
//   RecordLayout  the values the last paint derived (distance range and origin, spacing, time
//                 offset, the gains it applied ...), which the overlays and the mouse read to
//                 turn screen points back into time, distance and amplitude;
//   AxisState     the axis choices of the paint and of the "Axis configuration" dialog (the
//                 time-axis range and the two tick steps are the profile's kept values xst, xe,
//                 xi, yi in ViewSettings);
//   RecordDrawFlags the view's flags that only the drawing reads, and its reused point buffer.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/view/plot_mapping.h"
#include "draw/canvas.h"

namespace velk {

class WorkerPool;

struct RecordLayout {
    int xorg = 300;                // the plot origin of the last paint (logical units)
    int yorg = 300;
    int direction = 0;             // its plot direction
    float distanceMinimum = 0.0f;  // m: the first and last shown receivers, ordered
    float distanceMaximum = 0.0f;
    float distanceOrigin = 0.0f;   // m: the distance at the plot origin
    float distanceEnd = 0.0f;      // m: the distance at the far end of the distance axis
    int distanceTickCount = 0;
    float meanSpacing = 0.0f;      // m: (maximum - minimum) / traces shown
    float timeOffset = 0.0f;       // ms: trace 1's delay when the trigger is plotted, else 0
    float sourcePosition = 0.0f;   // m: trace 1's source
    int lowestComponent = 100;     // component codes drawn by the last time-horizontal paint
    int highestComponent = 0;
    int rightExtent = 0;           // the largest x and y the axes frame reached
    int bottomExtent = 0;
    int extent = 0;                // what the layout returned: its depth below the origin
    std::optional<PlotFrame> frame;  // the frame the axes of the last paint drew, if they drew one
    // The titles the axes of the last paint wrote above the frame (left, top, right, bottom):
    // the acquisition screen's line banner keeps clear of them.
    std::vector<LRect> topTitles;
};

struct AxisState {
    int timeTickCount = 0;
    int timeDecimals = 0;       // 1: time labels "%7.1f", 0: "%6.0f"
    int distanceDecimals = 0;   // 1: distance labels "%6.1f", 0: "%5.0f"
    int gridFlag = 0;           // >= 0: a grid line at every time tick; < 0 only the frame
    int reciprocalAxis = 0;     // 1: time labels show 1000 / time
    int timeUnit = 0;           // 1: time values x 0.001 and "(nsec)" beside the title
    int captionFlag = 0;        // 1: `caption` is written at the frame
    std::string caption;
    int fixedGainFlag = 0;      // 1: "by file" uses fixedFileGain instead of 1000 / file peak
    float fixedFileGain = -1.0f;
};

struct RecordDrawFlags {
    int dspStarted = 0;              // the acquisition DSP was started by the first show
    int secondFileNameFlag = 0;      // 1: titles of derived records name `secondFileName`
    std::string secondFileName;
    int velocityLinePointState = 0;  // 0 left end next, 1 right end next, 2 done
    int mutePointState = 0;          // 0 left side next, 2 right side next
    // 1 while the record goes to a printer, a preview or the clipboard (no trigger line); the
    // screen flag is 0 then (the edit status writes no text). See app/view/paper_output.h.
    int printing = 0;
    int screen = 1;
    // The points of a trace drawn on its own, reused from trace to trace and paint to paint; it
    // grows to what a trace needs (three points per sample with shading).
    std::vector<LPoint> points;
    std::vector<int32_t> sampleX;    // x of each sample of the window, for one interval
    // The colour cells between two traces as a batch of fills, one per pair of a block, made
    // on the workers and handed to the canvas in order; reused from paint to paint.
    struct CellRow {
        std::vector<LPoint> points;
        std::vector<FillShape> shapes;
    };
    std::vector<CellRow> cellRows;
    // The threads that make the points (and draw the lines on a bitmap), made at the first
    // paint that needs them.
    std::shared_ptr<WorkerPool> workers;
};

}  // namespace velk
