#pragma once
// CAutoPickSetupDlg, dialog 235 "Automatic picking": the settings of the automatic picker as
// the set-up command edits them. The command presets the fields from the automatic-picking
// settings and stores them back after OK.

#include "platform/uihost.h"

namespace velk {

struct AutoPickSettings;

struct CAutoPickSetupDlg {
    static constexpr const char* kClass = "CAutoPickSetupDlg";
    static constexpr const char* kTitle = "Automatic picking";
    static constexpr int kTemplate = 235;
    // Control ids of the window, in the order of the fields.
    static constexpr int kCentreFrequencyId = 1162;
    static constexpr int kNumberOfCheckingId = 1163;
    static constexpr int kPortionId = 1164;
    static constexpr int kBandPassId = 1254;
    // Field names of the request.
    static constexpr const char* kCentreFrequency = "Center frequency";
    static constexpr const char* kNumberOfChecking = "Number of checking";
    static constexpr const char* kPortion = "Portion";
    static constexpr const char* kBandPass = "BPF";

    float centreFrequency = 100.0f;  // Hz
    int numberOfChecking = 1;        // 0..20
    int portion = 8;                 // 1..20
    int bandPass = 1;                // 0/1

    void Preset(const AutoPickSettings& settings);
    void StoreTo(AutoPickSettings& settings) const;
    DialogRequest Request(int language);
};

}  // namespace velk
