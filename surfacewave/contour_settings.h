#pragma once
// CContourSettings: the surface-wave settings record the view shares: the phase
// velocity-frequency transformation fields, the picking and limit-line values, and the
// contour display keys. The view reads F_END, PV_END, PV_INTERVAL, PV_DIRECTION, bMedianFilter
// and MinMaxPlot with its settings; SaveContourSettings writes the two display keys at the end
// of the program.

#include <string>

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
    float pickingValues[4] = {0.035f, 3.5f, 2.0f, 2.0f};
    float minimumReceiverSpacing = 0.0f;  // m, computed
    float maximumReceiverSpacing = 0.0f;  // m, computed
    int method = 0;                   // 0 phase shift, 1 SPAC
    int spacDimension = 1;
    std::string velocityUnitText;
    std::string distanceUnitText;
    int distanceUnitIndex = 0;
    int medianFilter = 1;             // bMedianFilter
    int minMaxPlot = 1;               // MinMaxPlot
};

// Writes bMedianFilter and MinMaxPlot (integers, section "General").
void SaveContourSettings(Profile& profile, const CContourSettings& settings);

}  // namespace velk
