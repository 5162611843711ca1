#pragma once
// CTheoreticalTraveltime: the data of the theoretical traveltime curves over the shown record
// (two-layer or ground-water model). The curves, the fitting and the drawing come with the
// theoretical-traveltime work; LoadSettings and SaveSettings are the places its profile keys
// will be read and written, empty until then.

#include <array>
#include <string>
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

    // The three times (ms) of one trace at `receiver` with the source at `source` (metres),
    // from V1, V2 (km/s) and D (m): direct x / V1; reflection sqrt(4 D^2 + x^2) / V1; head
    // wave 2 D c / V1 + x / V2 with s = V1 / V2, c = sqrt(1 - s^2), which inside the critical
    // distance (2 s D / c > x) is the reflection time. The head-wave time is NaN when V1 is
    // not below V2 (no head wave).
    struct Times {
        float direct = 0.0f;
        float head = 0.0f;
        float reflection = 0.0f;
    };
    Times ComputeTheoreticalTimes(float receiver, float source) const;

    // "Status : theoretical traveltime V1=%.1f V2=%.1f D=%.1f " (English); in Japanese the
    // two-layer or the ground-water text by the mode.
    std::string FormatTheoreticalTraveltimeStatus(int language) const;
    // By the parameter being modified: "modify:V1", "modify:V2" (mode 0) or "modify:D1" (mode
    // 1), "modify:D1"; empty for none.
    std::string FormatModifyLabel(int language) const;
};

}  // namespace velk
