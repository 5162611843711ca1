#include "acquisition/receiver_interval_dlg.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "base/position.h"
#include "platform/language.h"

namespace velk {

DialogRequest CReceiverIntervalDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Receiver interval", "受振点間隔"));
    r.Choice("Interval", choice,
             {"20cm", "25cm", "50cm", "75cm", "1m", "1.5m", "2m", "2.5m", "4m", "5m", "10m",
              Msg(language, "Option", "オプション")});
    r.Float("Free value", freeValue, 0.0, 1000000.0).Label(Msg(language, "Option", "オプション")).Unit("m");
    return r;
}

int CReceiverIntervalDlg::ApplySpacing(int traceCount, std::span<CTraceHeader> headers, float& spacingCm, UiHost& ui,
                                       int language)
{
    accepted = false;
    traceCount = std::clamp(traceCount, 0, static_cast<int>(headers.size()));
    choice = kOption;
    for (int i = 0; i < kPresetCount; ++i) {
        if (std::fabs(spacingCm - kPresets[static_cast<size_t>(i)]) < 0.1f) {
            choice = i;
            break;
        }
    }
    if (choice == kOption && traceCount >= 2) {
        freeValue = static_cast<float>(
            HundredthsToMetres(std::abs(headers[1].receiverHundredths - headers[0].receiverHundredths)));
    }
    DialogRequest request = Request(language);
    if (!ui.RunDialog(request) || choice < 0 || choice > kOption) return 1;
    accepted = true;
    const bool free = choice == kOption;
    spacingCm = free ? freeValue * 100.0f : kPresets[static_cast<size_t>(choice)];
    for (int i = 0; i < traceCount; ++i) {
        const double metres = free ? static_cast<double>(i) * freeValue
                                   : static_cast<double>(i) * kPresets[static_cast<size_t>(choice)] * 0.01;
        if (const std::optional<int32_t> h = MetresToHundredths(metres)) {
            headers[static_cast<size_t>(i)].receiverHundredths = *h;
        }
    }
    return 1;
}

}  // namespace velk
