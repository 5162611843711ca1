#include "traveltime/auto_pick_settings.h"

#include "base/settings_io.h"
#include "platform/profile.h"

namespace velk {

void LoadAutoPickSettings(const Profile& profile, AutoPickSettings& s)
{
    ReadSettingInt(profile, "PICKNCHECK", s.numberOfChecking);
    ReadSettingInt(profile, "PICKPORTION", s.portion);
    ReadSettingFloat(profile, "PICKFREQENCY", s.centreFrequency);
    ReadSettingFloat(profile, "PICKNEAROFFSETLIMIT", s.nearOffsetLimit);
    ReadSettingInt(profile, "PICKBPF", s.bandPass);
}

void SaveAutoPickSettings(Profile& profile, const AutoPickSettings& s)
{
    Profile::Batch batch(profile);
    WriteSettingFloat(profile, "PICKFREQENCY", s.centreFrequency);
    WriteSettingInt(profile, "PICKNCHECK", s.numberOfChecking);
    WriteSettingInt(profile, "PICKPORTION", s.portion);
    WriteSettingFloat(profile, "PICKNEAROFFSETLIMIT", s.nearOffsetLimit);
    WriteSettingInt(profile, "PICKBPF", s.bandPass);
}

}  // namespace velk
