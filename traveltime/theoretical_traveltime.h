#pragma once
// CTheoreticalTraveltime: the data of the theoretical traveltime curves over the shown record
// (two-layer or ground-water model). The curves, the fitting and the drawing come with the
// theoretical-traveltime work; LoadSettings and SaveSettings are the places its profile keys
// will be read and written, empty until then.

#include <array>
#include <vector>

namespace velk {

class Profile;

class CTheoreticalTraveltime {
public:
    static constexpr int kCurves = 3;

    CTheoreticalTraveltime() = default;
    // Curve arrays of `capacity` times each (the store's trace capacity).
    explicit CTheoreticalTraveltime(int capacity);

    void LoadSettings(const Profile& profile);  // hook: no keys yet
    void SaveSettings(Profile& profile) const;  // hook: no keys yet

    int capacity = 0;
    int mode = 0;               // 0 two-layer model, 1 ground-water level
    int shown = 0;              // 1: draw the curves
    int curveCount = 3;
    int pointCount = 0;
    int modifiedParameter = -1; // -1 none; 0 V1; 1 V2 (mode 0) or D (mode 1); 2 D
    std::array<std::vector<float>, kCurves> curves;  // ms per trace
    float v1 = 0.3f;            // km/s
    float v2 = 1.5f;            // km/s
    float depth = 5.0f;         // m
};

}  // namespace velk
