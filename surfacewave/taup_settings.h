#pragma once
// TauPSettings: the tau-p stack settings, read from the profile when built and written back by
// SaveTauPSettings (at the end of the program and after every stack over the file list).

namespace velk {

class Profile;

struct TauPSettings {
    static constexpr const char* kStartKey = "TAUP_V_START";
    static constexpr const char* kEndKey = "TAUP_V_END";
    static constexpr const char* kStepKey = "TAUP_V_PITCH";
    static constexpr const char* kModeKey = "TAUP_I_STACK_MENU";

    TauPSettings() = default;               // defaults only
    explicit TauPSettings(const Profile& profile);  // defaults, then the four keys

    void Load(const Profile& profile);

    float startSlowness = 0.05f;  // s/km
    float endSlowness = 0.5f;
    float slownessStep = 0.05f;
    int stackingMode = 2;         // amplitude weighted by semblance
    float minimumOffset = 0.0f;   // m, not saved
    float maximumOffset = 10.0f;  // m, not saved
};

// Writes the four keys (floats as "%f", the mode as an integer).
void SaveTauPSettings(Profile& profile, const TauPSettings& settings);

}  // namespace velk
