#pragma once
// CTheoreticalTraveltime: the theoretical traveltime curves over the shown record (two-layer or
// ground-water model, and the direct and reflected waves of a vertical seismic profile), with
// the model values kept in the profile.

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

    // "velocity1", "velocity2", "depth_2nd_layer", "iTheoreticalTraveltimeMode"; after reading,
    // the curve count follows the mode (2 for the ground-water model, else 3).
    void LoadSettings(const Profile& profile);
    void SaveSettings(Profile& profile) const;

    // Mode 1 with V2 = 1.5 km/s and two curves (the ground-water model), or mode 0 with three.
    void SetupGroundWaterTable();
    void SetupTwoLayerModel();
    // The curves the current mode draws: 2 for the ground-water model, else 3.
    int ModeCurveCount() const { return mode == 1 ? 2 : 3; }

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
    // distance (2 s D / c > x) is the reflection time. With V1 not below V2 there is no head
    // wave: its time is -1. A velocity that is not above 0 gives no curve at all: every time
    // is -1.
    struct Times {
        float direct = -1.0f;
        float head = -1.0f;
        float reflection = -1.0f;
    };
    Times ComputeTheoreticalTimes(float receiver, float source) const;
    // Whether a head wave reaches `offset` (m) as a wave of its own: V1 below V2 and the offset
    // beyond the critical distance.
    bool HeadWaveAt(double offset) const;

    // A vertical seismic profile: source and receiver at depths along the well (m), the
    // reflector a straight line through the well axis at `distance` m, at `angle` degrees to
    // it; velocity in km/s. Direct time |source - receiver| / velocity; the reflection from the
    // mirror image of the source in the reflector (within 0.1 degree of 90:
    // 2 |distance - receiver| + |source - receiver|). A reflection earlier than the direct wave
    // is -1 (none). A velocity that is not above 0 gives -1 for both.
    struct VspTimes {
        float direct = -1.0f;
        float reflection = -1.0f;
    };
    static VspTimes ComputeVspTimes(float receiver, float source, float distance, float angle, float velocity);

    // "Status : theoretical traveltime V1=%.1f V2=%.1f D=%.1f " (English); in Japanese the
    // two-layer or the ground-water text by the mode.
    std::string FormatTheoreticalTraveltimeStatus(int language) const;
    // By the parameter being modified: "modify:V1", "modify:V2" (mode 0) or "modify:D1" (mode
    // 1), "modify:D1"; empty for none.
    std::string FormatModifyLabel(int language) const;
};

}  // namespace velk
