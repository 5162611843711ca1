#include "app/acquisition/acquisition_menu_commands.h"

#include "acquisition/keypad_dialogs.h"
#include "acquisition/measuring_conditions_dlg.h"
#include "app/acquisition/continuous_measurement.h"
#include "app/command_table.h"
#include "app/shell_services.h"
#include "acquisition/start_dialogs.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/paths.h"
#include "platform/uihost.h"

namespace velk {

namespace {

bool Confirm(Workspace& ws, UiHost& ui, const char* english, const char* japanese)
{
    return ui.Message(Msg(ws.startup.language, english, japanese), MsgButtons::OkCancel, MsgIcon::Question) ==
           MsgResult::Ok;
}

bool MonitorStopped(const Workspace& ws) { return ws.acquisitionDevice.monitorRunning == 0; }

// A dialog of the acquisition keys, with the effects its road left for the view.
CommandAction KeyDialog(int (AcquisitionKeyTarget::*dialog)())
{
    return [dialog](CommandContext& ctx) {
        AcquisitionKeyTarget& target = ctx.ws.editController.Acquisition(ctx.ws);
        const int result = (target.*dialog)();
        if (ctx.view) ctx.view->ApplyAcquisition(target.TakeEffects());
        return result == 1 ? 1 : 0;
    };
}

}  // namespace

AcquisitionEffects OnAcquisitionMenu(Workspace& ws, UiHost& ui)
{
    if (!Confirm(ws, ui, "Are you sure to go new survey line ?", "新しい測線に移りますか ?")) return {};
    AcquisitionEffects e = StopAcquisition(ws, ui, true);
    CAcquisitionManager& manager = ws.acquisitionManager ? *ws.acquisitionManager : ws.CreateAcquisitionManager();
    CAcquisitionMenuDlg dlg;
    dlg.type = manager.surveyType;
    DialogRequest request = dlg.Request(ws.startup.language);
    ui.RunDialog(request);  // the type shown when it closed, whichever button closed it
    ws.store.Params().traceCount = 0;
    StartRecordList(ws.fileGroup);
    manager.surveyType = dlg.type;
    manager.DestroyMode();
    manager.CreateMode();
    if (CAcquisitionMode* mode = manager.Mode()) mode->Welcome();
    ws.editController.shiftState = 0;
    e.repaint = true;
    return e;
}

AcquisitionEffects OnAcquisitionExit(Workspace& ws, UiHost& ui, bool& close)
{
    AcquisitionEffects e = StopAcquisition(ws, ui, true);
    close = Confirm(ws, ui, "Are you sure you want to exit?", "終了してもよろしいですか?");
    return e;
}

int OnNoiseMonitorRecord(Workspace& ws, UiHost& ui)
{
    CAcquisitionDevice& device = ws.acquisitionDevice;
    if (device.monitorRunning != 1 || device.armed != 0) return 0;
    return device.OpenNoiseLog(ws.workingFolder, ui, ws.startup.language);
}

void ChooseMoDrive(Workspace& ws, char letter)
{
    ws.moDriveLetter = letter;
    ws.driveText = DriveMountPoint(ws.profile(), letter);
}

int SetupFirstReceiver(Workspace& ws, UiHost& ui)
{
    float& first = ws.acquisitionDevice.firstReceiverPosition;
    const int language = ws.startup.language;
    return CSetPositionDlg::Edit(ui, language, first, SetPositionTitle(1, language)) ? 1 : 0;
}

void AddAcquisitionMenuCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"acquisition.geometry", "acquisition", "Geometry", "ジオメトリ", kInFullMenus, 60});
    t.AddMenuIfMissing({"acquisition.option", "acquisition", "Option", "オプション", kInFullMenus, 80});
    t.AddMenuIfMissing({"acquisition.option.mo", "acquisition.option", "Select MO drive", "MOﾄﾞﾗｲﾌﾞの選択", kIn128, 30});

    auto add = [&t](int id, const char* menu, double order, const char* en, const char* ja, int rule,
                    CommandAction action, unsigned menus = kInFullMenus) {
        CommandRow r = MakeRow(id, menu, order, en, ja, std::move(action), rule);
        r.menus = menus;
        t.Add(r);
        return r;
    };

    add(cmd::kAcquisitionSetting, "acquisition", 30, "Setting(&S)", "設定(&S)", kRuleStoppedWithInstrument,
        KeyDialog(&AcquisitionKeyTarget::EditSettings));
    add(cmd::kAcquisitionDisk, "acquisition", 40, "Disk(&K)", "ディスク(&K)", kRuleStoppedWithInstrument,
        KeyDialog(&AcquisitionKeyTarget::DiskMenu));
    add(cmd::kAcquisitionDisplay, "acquisition", 50, "Display(&P)", "表示(&P)", kRuleMonitorStopped,
        KeyDialog(&AcquisitionKeyTarget::EditDisplay));

    add(cmd::kSetupReceiverCount, "acquisition.geometry", 10, "Setup number of receiver", "受振器数の設定", kRuleAlways,
        [](CommandContext& ctx) {
            const int language = ctx.ws.startup.language;
            int receivers = 24;  // asked for, not used further
            CShotCountDlg::Edit(ctx.ui, language, receivers, ShotCountPrompt(false, language));
            return 0;
        });
    add(cmd::kSetupFirstReceiver, "acquisition.geometry", 20, "Setup first receiver location", "最初の受振器位置の設定",
        kRuleAlways, [](CommandContext& ctx) { return SetupFirstReceiver(ctx.ws, ctx.ui); });
    add(cmd::kSetupGeometry, "acquisition.geometry", 30, "Setup", "設定", kRuleAlways,
        KeyDialog(&AcquisitionKeyTarget::EditModeGeometry));

    add(cmd::kQkwMenu, "acquisition", 70, "QKW menu", "QKW メニュー", kRuleAlways, [](CommandContext& ctx) {
        const AcquisitionEffects e = OnAcquisitionMenu(ctx.ws, ctx.ui);
        if (ctx.view) ctx.view->ApplyAcquisition(e);
        return 0;
    });
    add(cmd::kSignalTriggerLevel, "acquisition.option", 10, "Signal trigger level", "信号トリガーレベル", kRuleAlways,
        [](CommandContext& ctx) {
            ctx.ws.acquisitionDevice.EditTriggerLevel(ctx.ui, ctx.ws.startup.language, ctx.ws.profile());
            return 0;
        });

    // The Japanese menu's own items.
    add(cmd::kNoiseMonitorRecord, "acquisition.monitor", 30, "Record monitor", "ﾓﾆﾀｰの記録", kRuleMonitorOn,
        [](CommandContext& ctx) {
            OnNoiseMonitorRecord(ctx.ws, ctx.ui);
            return 0;
        },
        kIn128);
    add(cmd::kContinuousMeasurement, "acquisition.option", 20, "Continuous measurement", "連続測定", kRuleAlways,
        [](CommandContext& ctx) {
            ctx.ws.continuousMeasurement.Start(ctx.ws, ctx.ui, ctx.view, kContinuousShotsPerPass);
            return 0;
        },
        kIn128);
    for (const auto& [id, letter, rule] : {std::tuple{cmd::kMoDriveD, 'd', kRuleMoDriveD},
                                           std::tuple{cmd::kMoDriveE, 'e', kRuleMoDriveE}}) {
        const char* text = letter == 'd' ? "D" : "E";
        CommandRow r = MakeRow(id, "acquisition.option.mo", letter == 'd' ? 10 : 20, text, text,
                               [drive = letter](CommandContext& ctx) {
                                   ChooseMoDrive(ctx.ws, drive);
                                   return 0;
                               },
                               kRuleAlways, ItemKind::Check, rule);
        r.menus = kIn128;
        t.Add(r);
    }

    t.SetRule(kRuleMonitorStopped, [](const Workspace& ws, const RecentFileList&) { return MonitorStopped(ws); });
    t.SetRule(kRuleStoppedWithInstrument, [](const Workspace& ws, const RecentFileList&) {
        return MonitorStopped(ws) && ws.startup.instrumentMenu == 1;
    });
    t.SetRule(kRuleMonitorOn, [](const Workspace& ws, const RecentFileList&) { return !MonitorStopped(ws); });
    t.SetRule(kRuleMoDriveD, [](const Workspace& ws, const RecentFileList&) { return ws.moDriveLetter == 'd'; });
    t.SetRule(kRuleMoDriveE, [](const Workspace& ws, const RecentFileList&) { return ws.moDriveLetter == 'e'; });
}

}  // namespace velk
