#pragma once
// Dialog 253 "Receiver interval": a spacing chosen among eleven presets (cm) or typed in
// metres ("Option"), and the rewrite of every receiver position as trace index x spacing.

#include <array>
#include <span>

#include "base/trace_header.h"
#include "platform/uihost.h"

namespace velk {

struct CReceiverIntervalDlg {
    static constexpr const char* kClass = "CReceiverIntervalDlg";
    static constexpr int kPresetCount = 11;
    static constexpr int kOption = 11;  // the choice of the free value
    static constexpr std::array<float, kPresetCount> kPresets = {20, 25, 50, 75, 100, 150, 200, 250, 400, 500, 1000};
    float freeValue = 20.0f;  // m, 0..1000000
    int choice = -1;          // 0..10 a preset, 11 the free value
    bool accepted = false;    // the last ApplySpacing ended with OK

    DialogRequest Request(int language);

    // Chooses the preset within 0.1 cm of the spacing (cm), else "Option" with the free value
    // taken from the first two receivers (when there are two); shows the dialog; on OK the
    // spacing becomes the chosen one (cm) and trace i's receiver i x spacing, in hundredths.
    // Cancel changes nothing. Returns 1.
    int ApplySpacing(int traceCount, std::span<CTraceHeader> headers, float& spacingCm, UiHost& ui, int language);
};

}  // namespace velk
