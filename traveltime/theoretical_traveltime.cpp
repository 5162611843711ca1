#include "traveltime/theoretical_traveltime.h"

#include <algorithm>
#include <cmath>

#include "base/settings_io.h"
#include "platform/numtext.h"
#include "platform/profile.h"

namespace velk {

CTheoreticalTraveltime::CTheoreticalTraveltime(int capacity_) : capacity(std::max(capacity_, 0))
{
    for (auto& curve : curves) {
        curve.assign(static_cast<size_t>(capacity), 0.0f);
    }
}

void CTheoreticalTraveltime::LoadSettings(const Profile& profile)
{
    ReadSettingFloat(profile, "velocity1", v1);
    ReadSettingFloat(profile, "velocity2", v2);
    ReadSettingFloat(profile, "depth_2nd_layer", depth);
    ReadSettingInt(profile, "iTheoreticalTraveltimeMode", mode);
    curveCount = ModeCurveCount();
}

void CTheoreticalTraveltime::SaveSettings(Profile& profile) const
{
    Profile::Batch batch(profile);
    WriteSettingFloat(profile, "velocity1", v1);
    WriteSettingFloat(profile, "velocity2", v2);
    WriteSettingFloat(profile, "depth_2nd_layer", depth);
    WriteSettingInt(profile, "iTheoreticalTraveltimeMode", mode);
}

void CTheoreticalTraveltime::SetupGroundWaterTable()
{
    mode = 1;
    v2 = 1.5f;
    curveCount = 2;
}

void CTheoreticalTraveltime::SetupTwoLayerModel()
{
    mode = 0;
    curveCount = 3;
}

bool CTheoreticalTraveltime::HeadWaveAt(double offset) const
{
    if (!(v1 > 0.0f) || !(v2 > v1)) return false;
    const double s = static_cast<double>(v1) / v2;
    const double c = std::sqrt(1.0 - s * s);
    return !(2.0 * s * depth / c > offset);
}

CTheoreticalTraveltime::Times CTheoreticalTraveltime::ComputeTheoreticalTimes(float receiver, float source) const
{
    Times t;
    if (!(v1 > 0.0f) || !(v2 > 0.0f)) return t;
    const double x = std::fabs(static_cast<double>(receiver) - source);
    t.direct = static_cast<float>(x / v1);
    t.reflection = static_cast<float>(std::sqrt(4.0 * depth * depth + x * x) / v1);
    if (v1 < v2) {
        const double s = static_cast<double>(v1) / v2;
        const double c = std::sqrt(1.0 - s * s);
        t.head = static_cast<float>(2.0 * depth * c / v1 + x / v2);
        if (!HeadWaveAt(x)) t.head = t.reflection;  // inside the critical distance
    }
    return t;
}

CTheoreticalTraveltime::VspTimes CTheoreticalTraveltime::ComputeVspTimes(float receiver, float source, float distance,
                                                                         float angle, float velocity)
{
    VspTimes t;
    if (!(velocity > 0.0f) || !std::isfinite(velocity)) return t;
    const double zr = receiver, zs = source, x = distance;
    const double direct = std::fabs(zs - zr);
    double path = 0.0;
    if (std::fabs(90.0 - angle) <= 0.1) {
        path = 2.0 * std::fabs(x - zr) + direct;
    } else {
        // The reflector y = u (z - x); the source (zs, 0) mirrored in it.
        const double u = std::tan(angle * 0.017452888);
        const double k = u * (zs - x) / (1.0 + u * u);
        const double imageZ = zs - 2.0 * u * k;
        const double imageY = 2.0 * k;
        path = std::hypot(zr - imageZ, imageY);
    }
    t.direct = static_cast<float>(direct / velocity);
    t.reflection = static_cast<float>(path / velocity);
    if (t.reflection < t.direct) t.reflection = -1.0f;
    return t;
}

std::string CTheoreticalTraveltime::FormatTheoreticalTraveltimeStatus(int language) const
{
    const double a = v1, b = v2, d = depth;
    if (language == 1) {
        return mode == 1 ? FormatC("状態 : 地下水位の理論走時 V1=%.1f V2=%.1f D=%.1f ", a, b, d)
                         : FormatC("状態 : 2層モデルの理論走時 V1=%.1f V2=%.1f D=%.1f ", a, b, d);
    }
    return FormatC("Status : theoretical traveltime V1=%.1f V2=%.1f D=%.1f ", a, b, d);
}

std::string CTheoreticalTraveltime::FormatModifyLabel(int language) const
{
    const bool ja = language == 1;
    switch (modifiedParameter) {
    case 0: return ja ? "変更:V1" : "modify:V1";
    case 1:
        if (mode == 1) return ja ? "変更:D1" : "modify:D1";
        return ja ? "変更:V2" : "modify:V2";
    case 2: return ja ? "変更:D1" : "modify:D1";
    default: return {};
    }
}

}  // namespace velk
