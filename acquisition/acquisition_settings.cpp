// The device's measuring conditions (dialog 244 and the dialogs it opens), the signal trigger
// level, and the noise-monitor log.

#include <algorithm>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_manager.h"
#include "acquisition/keypad_dialogs.h"
#include "acquisition/measuring_conditions_dlg.h"
#include "base/settings_io.h"
#include "platform/clock.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace velk {

namespace {

template <class Array>
void CopySteps(const Array& from, std::array<int8_t, kInstrumentRows>& to, int hi)
{
    for (size_t i = 0; i < from.size(); ++i) to[i] = static_cast<int8_t>(std::clamp(static_cast<int>(from[i]), 0, hi));
}

}  // namespace

int CAcquisitionDevice::EditTriggerLevel(UiHost& ui, int language, Profile& profile)
{
    CSignalTriggerLevelDlg dlg;
    dlg.level = SignalTriggerLevel;
    DialogRequest r = dlg.Request(language);
    if (!ui.RunDialog(r)) return 0;
    SignalTriggerLevel = dlg.level;
    WriteSettingFloat(profile, "SignalTriggerLevel", SignalTriggerLevel);
    return 1;
}

int CAcquisitionDevice::EditSettings(const SettingsEdit& edit)
{
    UiHost& ui = edit.ui;
    const int language = edit.language;
    CAcquisitionManager* manager = edit.manager;
    auto repaint = [this] {
        if (ownerRepaint) ownerRepaint();
    };
    auto index = [](int8_t v, int hi) { return v >= 0 && v <= hi ? static_cast<int>(v) : -1; };

    CMeasuringConditionsDlg dlg;
    dlg.id = NextID;
    dlg.channels = index(parm.disp_ch, 4);
    dlg.dataLength = index(parm.m_size, 4);
    dlg.sampling = index(parm.rate, 6);
    dlg.preTrigger = index(parm.pre_trig, 1);
    dlg.stack = index(parm.stk_flg, 3);
    dlg.triggerLevel = TriggerMode >= 0 && TriggerMode <= 11 ? TriggerMode : -1;
    dlg.sourceLocation = sourcePosition;
    dlg.firstReceiver = firstReceiverPosition;
    dlg.receiverInterval = edit.receiverInterval;
    dlg.lineId = manager ? manager->LineId() : std::string("aa");
    dlg.signalTriggerLevel = SignalTriggerLevel;
    dlg.auxiliary = SaveAux == 0 || SaveAux == 1 ? SaveAux : -1;
    dlg.Open();

    // The actions work on the dialog's values and, for the live tables, on the device.
    int spreadFirst = iDirectionFirst;
    int spreadSecond = iDirectionSecond;
    int autoShift = bAutomaticShift;
    int referenceChannel = iReferenceChannel;
    auto run = [&](int action) {
        using D = CMeasuringConditionsDlg;
        switch (action) {
        case D::kSetupId: CSetIdDlg::Edit(ui, language, dlg.id); break;
        case D::kGain1:
        case D::kHold: {
            const bool hold = action == D::kHold;
            std::array<int8_t, kInstrumentRows>& table = hold ? hold_bf : gain_bf;
            CGainDlg gain;
            gain.hold = hold;
            DialogRequest r = gain.Request(language, table, repaint);
            if (ui.RunDialog(r)) CopySteps(gain.steps, table, hold ? 1 : 3);
            repaint();
            break;
        }
        case D::kGain2: {
            CGainAllDlg all;
            DialogRequest r = all.Request(language, gain_bf, repaint);
            if (ui.RunDialog(r)) CopySteps(all.steps, gain_bf, 3);
            repaint();
            break;
        }
        case D::kSpread: {
            CSpreadDlg spread;
            spread.first = spreadFirst;
            spread.second = spreadSecond;
            DialogRequest r = spread.Request(language);
            if (ui.RunDialog(r)) {
                spreadFirst = std::clamp(spread.first, 0, 1);
                spreadSecond = std::clamp(spread.second, 0, 1);
            }
            break;
        }
        case D::kSetupSource:
            CSetPositionDlg::Edit(ui, language, dlg.sourceLocation, SetPositionTitle(0, language));
            break;
        case D::kSetupFirstReceiver:
            CSetPositionDlg::Edit(ui, language, dlg.firstReceiver, SetPositionTitle(1, language));
            break;
        case D::kSetupReceiverInterval:
            CSetPositionDlg::Edit(ui, language, dlg.receiverInterval, SetPositionTitle(2, language));
            break;
        case D::kSetupLineId: {
            if (!manager) break;
            manager->lineIndex = std::max(manager->lineIndex, 0);
            int chosen = manager->lineIndex;
            if (!CSetLineIdDlg::Edit(ui, language, chosen)) break;
            const bool changed = chosen != manager->lineIndex;
            if (changed) {
                manager->ChangeLineIndex(chosen);
            } else {
                manager->lineIndex = chosen;
            }
            dlg.lineId = manager->LineId();
            break;
        }
        case D::kSetupSignalTrigger:
            if (EditTriggerLevel(ui, language, edit.profile) == 1) dlg.signalTriggerLevel = SignalTriggerLevel;
            break;
        case D::kSetupAutoShift: {
            CAutoShiftStackDlg shift;
            shift.automaticShift = autoShift;
            shift.referenceChannel = referenceChannel;
            DialogRequest r = shift.Request(language);
            if (ui.RunDialog(r)) {
                autoShift = std::clamp(shift.automaticShift, 0, 1);
                referenceChannel = std::clamp(shift.referenceChannel, 0, 24);
            }
            break;
        }
        default: break;
        }
    };
    DialogRequest request = dlg.Request(language, run);
    if (!ui.RunDialog(request)) return 0;

    NextID = dlg.id;
    auto put = [](int8_t& to, int v) {
        if (v >= 0) to = static_cast<int8_t>(v);
    };
    put(parm.disp_ch, dlg.channels);
    put(parm.m_size, dlg.dataLength);
    put(parm.rate, dlg.sampling);
    put(parm.pre_trig, dlg.preTrigger);
    put(parm.stk_flg, dlg.stack);
    if (dlg.triggerLevel >= 0) TriggerMode = dlg.triggerLevel;
    parm.trig_level = static_cast<int8_t>(TriggerMode == 11 ? 0 : TriggerMode);
    sourcePosition = dlg.sourceLocation;
    firstReceiverPosition = dlg.firstReceiver;
    edit.receiverInterval = dlg.receiverInterval;
    SignalTriggerLevel = dlg.signalTriggerLevel;
    if (dlg.auxiliary >= 0) SaveAux = dlg.auxiliary;
    iDirectionFirst = spreadFirst;
    iDirectionSecond = spreadSecond;
    bAutomaticShift = autoShift;
    iReferenceChannel = referenceChannel;
    gainCableOrder = GainsInCableOrder();
    SaveSettings(edit.profile, manager ? manager->lineIndex : 0);
    return 1;
}

// --- The noise log ----------------------------------------------------------------------------

int CAcquisitionDevice::OpenNoiseLog(const std::string& folder, UiHost& ui, int language)
{
    if (noiseLogOpen == 1) return 0;
    const std::string name = FormatC("monitor_%04d.dat", noiseLogNumber);
    const std::string path = folder.empty() ? name : folder + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        ui.Message(IsJapanese(language) ? path + " を作成できません" : "Cannot create " + path, MsgButtons::Ok,
                   MsgIcon::Error);
        return 0;
    }
    noiseLog_.reset(file);
    ++noiseLogNumber;
    noiseLogOpen = 1;
    return 1;
}

void CAcquisitionDevice::AppendNoiseLog(int32_t value, const LocalTime& now, uint32_t tickMs)
{
    if (noiseLogOpen != 1 || !noiseLog_) return;
    const std::string line = FormatC("%d %d %d %d %d %d %u %u %f\n", now.year, now.month, now.day, now.hour,
                                     now.minute, now.second, tickMs, tickMs - noiseLogStartTick,
                                     static_cast<double>(value));
    std::fputs(line.c_str(), noiseLog_.get());
    std::fflush(noiseLog_.get());
}

int CAcquisitionDevice::CloseNoiseLog()
{
    if (noiseLogOpen != 1) return 0;
    noiseLog_.reset();
    noiseLogOpen = 0;
    return 1;
}

}  // namespace velk
