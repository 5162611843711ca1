#pragma once
// The settings helpers over the program's profile: read and write one value under section
// "General" (the explicit-section overloads serve the keys stored under "general"; look-ups
// ignore case, so both spellings name one section).
//
// Reading: the variable's current value is the default. A missing key, or text that does not
// parse as one whole number in the C locale, leaves the variable bit-identical. A bool is any
// non-zero integer. Writing: floats as "%f" text, ints and bools as decimal integers.

#include <cstdint>
#include <string>
#include <string_view>

namespace velk {

class Profile;

inline constexpr std::string_view kSettingsSection = "General";

bool ReadSettingFloat(const Profile& profile, std::string_view key, float& value);
bool ReadSettingInt(const Profile& profile, std::string_view key, int32_t& value);
bool ReadSettingBool(const Profile& profile, std::string_view key, bool& value);
bool ReadSettingString(const Profile& profile, std::string_view key, std::string& value);

bool WriteSettingFloat(Profile& profile, std::string_view key, float value);
bool WriteSettingInt(Profile& profile, std::string_view key, int32_t value);
bool WriteSettingBool(Profile& profile, std::string_view key, bool value);
bool WriteSettingString(Profile& profile, std::string_view key, std::string_view value);

// The same under an explicit section.
bool ReadSettingFloat(const Profile& profile, std::string_view section, std::string_view key,
                      float& value);
bool ReadSettingInt(const Profile& profile, std::string_view section, std::string_view key,
                    int32_t& value);
bool ReadSettingString(const Profile& profile, std::string_view section, std::string_view key,
                       std::string& value);
bool WriteSettingFloat(Profile& profile, std::string_view section, std::string_view key,
                       float value);
bool WriteSettingInt(Profile& profile, std::string_view section, std::string_view key,
                     int32_t value);
bool WriteSettingString(Profile& profile, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace velk
