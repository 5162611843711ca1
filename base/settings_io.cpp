#include "base/settings_io.h"

#include "platform/profile.h"

namespace velk {

bool ReadSettingFloat(const Profile& p, std::string_view section, std::string_view key, float& v)
{
    return p.ReadFloat(section, key, v);
}
bool ReadSettingInt(const Profile& p, std::string_view section, std::string_view key, int32_t& v)
{
    return p.ReadInt(section, key, v);
}
bool ReadSettingString(const Profile& p, std::string_view section, std::string_view key,
                       std::string& v)
{
    return p.ReadString(section, key, v);
}
bool WriteSettingFloat(Profile& p, std::string_view section, std::string_view key, float v)
{
    return p.SetFloat(section, key, v);
}
bool WriteSettingInt(Profile& p, std::string_view section, std::string_view key, int32_t v)
{
    return p.SetInt(section, key, v);
}
bool WriteSettingString(Profile& p, std::string_view section, std::string_view key,
                        std::string_view v)
{
    return p.SetString(section, key, v);
}

bool ReadSettingFloat(const Profile& p, std::string_view key, float& v)
{
    return ReadSettingFloat(p, kSettingsSection, key, v);
}
bool ReadSettingInt(const Profile& p, std::string_view key, int32_t& v)
{
    return ReadSettingInt(p, kSettingsSection, key, v);
}
bool ReadSettingBool(const Profile& p, std::string_view key, bool& v)
{
    return p.ReadBool(kSettingsSection, key, v);
}
bool ReadSettingString(const Profile& p, std::string_view key, std::string& v)
{
    return ReadSettingString(p, kSettingsSection, key, v);
}
bool WriteSettingFloat(Profile& p, std::string_view key, float v)
{
    return WriteSettingFloat(p, kSettingsSection, key, v);
}
bool WriteSettingInt(Profile& p, std::string_view key, int32_t v)
{
    return WriteSettingInt(p, kSettingsSection, key, v);
}
bool WriteSettingBool(Profile& p, std::string_view key, bool v)
{
    return p.SetBool(kSettingsSection, key, v);
}
bool WriteSettingString(Profile& p, std::string_view key, std::string_view v)
{
    return WriteSettingString(p, kSettingsSection, key, v);
}

}  // namespace velk
