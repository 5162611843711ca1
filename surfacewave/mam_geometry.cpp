#include "surfacewave/mam_geometry.h"

#include <algorithm>

#include "base/settings_io.h"
#include "platform/profile.h"

namespace velk {

CMamGeometry::CMamGeometry(const Profile& profile, int maxTraces)
    : spacings(static_cast<size_t>(std::max(maxTraces, 0)), 0.0f),
      usable(static_cast<size_t>(std::max(maxTraces, 0)), 1)
{
    ReadSettingFloat(profile, kArraySizeKey, ArraySize);
    ReadSettingInt(profile, kGeometryKey, iGeometry);
    ReadSettingFloat(profile, kAngleKey, Angle);
    ReadSettingInt(profile, kReceiverCountKey, nReceiver);
    ReadSettingFloat(profile, kLinearSpacingKey, SpacingForLinearArray);
}

}  // namespace velk
