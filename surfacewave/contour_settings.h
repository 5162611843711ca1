#pragma once
// CContourSettings: the surface-wave settings record the view shares: the phase
// velocity-frequency transformation fields, the picking and limit-line values, and the
// contour display keys. The view reads F_END, PV_END, PV_INTERVAL, PV_DIRECTION, bMedianFilter
// and MinMaxPlot with its settings; SaveContourSettings writes the two display keys at the end
// of the program.

#include <string>

#include "formats/trace_arrays.h"

namespace velk {

class Profile;

struct CContourSettings {
    int yAxis = 1;                    // 0 velocity traces, 1 frequency traces
    float startFrequency = 0.0f;      // Hz
    float endFrequency = 40.0f;       // Hz, F_END
    float startVelocity = 0.0f;       // km/s
    float endVelocity = 0.5f;         // km/s, PV_END
    float velocityInterval = 0.0025f; // km/s, PV_INTERVAL
    int direction = 0;                // 0 forward, 1 backward, PV_DIRECTION
    int imageKind = 0;
    int frequencyResolution = 1;      // 1..10
    int traceSkip = 1;                // 1..100000
    float minimumOffset = 0.0f;       // m
    float maximumOffset = 100000.0f;  // m
    int mode = 0;                     // 0 shot gather, 1 CMP gather
    int normalisation = 1;
    // The picking limits and the limit lines (one holder: the picker gets them through
    // PickParametersOf and gives them back through TakePickParameters).
    float minimumPhaseVelocity = 0.035f;  // km/s
    float minimumFrequency = 3.5f;        // Hz
    float maximumWavelengthFactor = 2.0f; // times the largest receiver spacing
    float minimumWavelengthFactor = 2.0f; // times the smallest receiver spacing
    float minimumReceiverSpacing = 0.0f;  // m, computed
    float maximumReceiverSpacing = 0.0f;  // m, computed
    int method = 0;                   // 0 phase shift, 1 SPAC
    int spacDimension = 1;
    std::string velocityUnitText;
    std::string distanceUnitText;
    int distanceUnitIndex = 0;
    int medianFilter = 1;             // bMedianFilter
    int minMaxPlot = 1;               // MinMaxPlot: wavelength limits on picking, limit lines
    int firstUse = 0;                 // while 0 the picking dialog loads its defaults first
    int medianSamples = 5;            // window of the running median, 1..255
    int nShift = 0;                   // "N shift" of the two-trace curves (dialog 205), for the run
};

// The phase-velocity picker's parameters on a dispersion image, where a trace's "offset" is
// its frequency (receiver word x 0.01 Hz) and a sample's "time" its velocity (sample x header
// interval x 0.001 m/s): minimum offset = minimum frequency, minimum time = minimum phase
// velocity, maximum time = end velocity x 1000, the ratio check = the wavelength limitation
// with ratio limits = the maximum and minimum wavelength factors and thresholds = the maximum
// and minimum receiver spacings; mode 1 with the one-dimensional SPAC.
PeakPickParameters PickParametersOf(const CContourSettings& settings);
// Takes back what the picker's dialog may have changed (the limits, the counter, the median).
void TakePickParameters(const PeakPickParameters& parameters, CContourSettings& settings);

// Writes bMedianFilter and MinMaxPlot (integers, section "General").
void SaveContourSettings(Profile& profile, const CContourSettings& settings);

}  // namespace velk
