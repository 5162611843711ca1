#include "surfacewave/contour_settings.h"

#include "base/settings_io.h"
#include "platform/profile.h"

namespace velk {

void SaveContourSettings(Profile& profile, const CContourSettings& s)
{
    Profile::Batch batch(profile);
    WriteSettingInt(profile, "bMedianFilter", s.medianFilter);
    WriteSettingInt(profile, "MinMaxPlot", s.minMaxPlot);
}

}  // namespace velk
