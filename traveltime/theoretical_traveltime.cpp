#include "traveltime/theoretical_traveltime.h"

#include <algorithm>
#include <cmath>

#include "platform/numtext.h"

namespace velk {

CTheoreticalTraveltime::CTheoreticalTraveltime(int capacity_) : capacity(std::max(capacity_, 0))
{
    for (auto& curve : curves) {
        curve.assign(static_cast<size_t>(capacity), 0.0f);
    }
}

void CTheoreticalTraveltime::LoadSettings(const Profile&) {}

void CTheoreticalTraveltime::SaveSettings(Profile&) const {}

CTheoreticalTraveltime::Times CTheoreticalTraveltime::ComputeTheoreticalTimes(float receiver, float source) const
{
    const double x = std::fabs(static_cast<double>(receiver) - source);
    const double s = static_cast<double>(v1) / v2;
    const double c = std::sqrt(1.0 - s * s);
    Times t;
    t.direct = static_cast<float>(x / v1);
    t.reflection = static_cast<float>(std::sqrt(4.0 * depth * depth + x * x) / v1);
    t.head = static_cast<float>(2.0 * depth * c / v1 + x / v2);
    if (2.0 * s * depth / c > x) t.head = t.reflection;  // inside the critical distance
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
