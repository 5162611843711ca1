#pragma once
// The filter test (edit mode 8): one selected trace, filtered with the current band-pass cuts
// and drawn over the record, its power spectrum drawn 30 mm below it, and two markers on the
// spectrum's frequency axis that the mouse drags to move the low and the high cut.
//
// The state is overlay state: the command computes it, the paint draws it (and recomputes it
// when the record or the cuts changed since), the mouse moves the cuts. A paint never changes
// data, never shows a dialog and never writes a header.
//
// Coordinates are logical units of 0.1 mm with y up, as on the Canvas. The drawing puts the
// test trace's baseline at y = -B', B' = YORG + trunc((receiver - distance origin) x
// plotscale); the mouse functions take the press point as (a, b) with b = -y (distance
// downwards), as the view's mouse handling computes it.

#include <cstdint>
#include <string>
#include <vector>

#include "draw/canvas.h"

namespace velk {

class UiHost;
class Workspace;

// What the record drawing decided and the overlay needs.
struct FilterTestGeometry {
    int xorg = 300;               // XORG: x of time 0
    int yorg = 300;               // YORG: the distance axis' origin
    float distanceOrigin = 0.0f;  // m, the distance at the plot origin
    float meanSpacing = 0.0f;     // m, the mean trace spacing (clip limit)
};

struct FilterTest {
    static constexpr Rgb kColour{255, 0, 255};
    static constexpr int kCurvePen = 4;
    static constexpr int kMarkerPen = 6;
    static constexpr int kSpectrumOffset = 300;  // spectrum baseline below the trace's
    static constexpr int kMarkerTop = 100;       // markers from B' + 100 to B' + 300
    static constexpr int kGrabDistance = 30;
    // The test's status line: on the view's second status line, below the edit-mode status
    // at (10, -18), so that both read.
    static constexpr LPoint kStatusAt{10, -68};

    int length = 0;             // L: transform length of the test trace
    int testTrace = -1;         // store index of the trace under test, -1 none
    int grabbedCut = -1;        // -1 none, 0 low cut, 1 high cut
    int spectrumBins = 0;       // K: L/2 for L <= 256, else L/16
    float df = 0.0f;            // Hz: 1000 / (L x interval)
    float frequencyScale = 0.0f;  // k: frequency f lies at XORG + trunc(f x k x hscale)
    std::vector<double> spectrumRe;  // the test trace's transform (L values)
    std::vector<double> spectrumIm;
    std::vector<float> power;   // -(re^2 + im^2) per bin
    float powerMaximum = 0.0f;  // largest |power|; 0 for a silent trace (no spectrum drawn)
    std::vector<float> filtered;  // the test trace filtered with the cuts below

    // What the arrays above were computed from; a paint recomputes what no longer matches.
    uint64_t signature = 0;     // test trace, its samples, interval and the transform length
    float filteredLow = -1.0f;  // cuts and slopes of `filtered`
    float filteredHigh = -1.0f;
    float filteredLowSlope = -1.0f;
    float filteredHighSlope = -1.0f;

    // The figures of the last drawing.
    std::vector<LPoint> tracePoints;
    std::vector<LPoint> spectrumPoints;
    LPoint lowMarker[2]{};
    LPoint highMarker[2]{};
};

// Option > Processing > Filter test: the first selected trace becomes the test trace ("Select
// a trace" and nothing else when none is selected); the high cut is limited to the spectrum's
// last bin; edit mode 8. Returns 1 (repaint) or 0.
int OnFilterTest(Workspace& ws, UiHost& ui);

// The first selected trace, or -1.
int FirstSelectedTrace(const Workspace& ws);

// Computes the test state for the given trace from the store and the cuts: the transform at L
// with zero padding, the power, the filtered samples. False (state cleared) when the trace has
// no samples or no usable interval.
bool ComputeFilterTest(const Workspace& ws, FilterTest& test, int trace);
// Filters the kept spectrum again with the current cuts (as the first drawing filters).
void RefilterTest(const Workspace& ws, FilterTest& test);

// The cuts the test shows: the remembered band-pass corners, the high cut at most K x df.
float FilterTestHighCut(const Workspace& ws, const FilterTest& test);

// Draws the overlay: filtered trace, spectrum, the two markers and the status line, magenta.
// The test trace is the first selected trace; without one (or without a usable trace) nothing
// is drawn. Recomputes the state first when the record or the cuts changed.
void DrawFilterTest(Canvas& canvas, const Workspace& ws, FilterTest& test, const FilterTestGeometry& geometry);

// "Status : filter test Low cut=%fHz High cut=%fHz", with " modify：Low cut frequency" or
// " modify：High cut frequency" while a cut is grabbed.
std::string FilterTestStatus(const Workspace& ws, const FilterTest& test);

// Mouse: a press in the marker band (B' + 100 < b < B' + 300) within 30 units of the low
// marker grabs the low cut, else within 30 of the high marker the high cut. True when grabbed.
bool GrabCut(const Workspace& ws, FilterTest& test, int a, int b, const FilterTestGeometry& geometry);
// A move while a cut is grabbed: the cut follows the pointer (f = (a - XORG) / hscale / k);
// the low cut stays within [1, high - 1], the high cut within [low + 1, K x df]. The trace is
// filtered again. True when a cut moved (repaint).
bool MoveCut(Workspace& ws, FilterTest& test, int a, const FilterTestGeometry& geometry);
void ReleaseCut(FilterTest& test);

}  // namespace velk
