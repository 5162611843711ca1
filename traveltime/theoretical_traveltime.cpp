#include "traveltime/theoretical_traveltime.h"

#include <algorithm>

namespace velk {

CTheoreticalTraveltime::CTheoreticalTraveltime(int capacity_) : capacity(std::max(capacity_, 0))
{
    for (auto& curve : curves) {
        curve.assign(static_cast<size_t>(capacity), 0.0f);
    }
}

void CTheoreticalTraveltime::LoadSettings(const Profile&) {}

void CTheoreticalTraveltime::SaveSettings(Profile&) const {}

}  // namespace velk
