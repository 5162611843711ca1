#include "surfacewave/taup_settings.h"

#include "base/settings_io.h"
#include "platform/profile.h"

namespace velk {

TauPSettings::TauPSettings(const Profile& profile) { Load(profile); }

void TauPSettings::Load(const Profile& profile)
{
    ReadSettingFloat(profile, kStartKey, startSlowness);
    ReadSettingFloat(profile, kEndKey, endSlowness);
    ReadSettingFloat(profile, kStepKey, slownessStep);
    ReadSettingInt(profile, kModeKey, stackingMode);
}

void SaveTauPSettings(Profile& profile, const TauPSettings& s)
{
    Profile::Batch batch(profile);
    WriteSettingFloat(profile, TauPSettings::kStartKey, s.startSlowness);
    WriteSettingFloat(profile, TauPSettings::kEndKey, s.endSlowness);
    WriteSettingFloat(profile, TauPSettings::kStepKey, s.slownessStep);
    WriteSettingInt(profile, TauPSettings::kModeKey, s.stackingMode);
}

}  // namespace velk
