#include "app/acquisition/acquisition_menu.h"

#include "app/acquisition/acquisition_commands.h"
#include "app/command_table.h"
#include "app/shell_services.h"
#include "app/workspace.h"

namespace velk {

namespace {

bool InstrumentPresent(const Workspace& ws) { return ws.startup.instrumentMenu == 1; }
bool ScreenWithInstrument(const Workspace& ws)
{
    return ws.acquisitionDevice.acquisitionScreen == 1 && InstrumentPresent(ws);
}

// Runs a record-cycle command and hands its effects to the view; the view repaints itself.
CommandAction Cycle(AcquisitionEffects (*command)(Workspace&, UiHost&))
{
    return [command](CommandContext& ctx) {
        const AcquisitionEffects e = command(ctx.ws, ctx.ui);
        if (ctx.view) ctx.view->ApplyAcquisition(e);
        return 0;
    };
}

}  // namespace

void AddAcquisitionCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"acquisition.monitor", "acquisition", "Noise monitor", "ノイズモニター", kInFullMenus, 10});
    t.AddMenuIfMissing({"acquisition.trigger", "acquisition", "Trigger", "トリガー", kInFullMenus, 20});

    CommandRow r;
    r.id = cmd::kNoiseMonitorStart;
    r.menu = "acquisition.monitor";
    r.order = 10;
    r.english = "Start(&M)";
    r.japanese = "開始(&M)";
    r.menus = kInFullMenus;
    r.accelerator = "Ctrl+M";
    r.enableRule = kRuleMonitorStartable;
    r.action = Cycle(OnNoiseMonitorStart);
    t.Add(r);

    r = {};
    r.id = cmd::kNoiseMonitorStop;
    r.menu = "acquisition.monitor";
    r.order = 20;
    r.english = "Stop";
    r.japanese = "停止";
    r.menus = kInFullMenus;
    r.enableRule = kRuleMonitorRunning;
    r.action = Cycle([](Workspace& ws, UiHost&) { return OnNoiseMonitorStop(ws); });
    t.Add(r);

    r = {};
    r.id = cmd::kManualTrigger;
    r.menu = "acquisition.trigger";
    r.order = 10;
    r.english = "Manual trigger(&T)";
    r.japanese = "手動トリガー(&T)";
    r.menus = kInFullMenus;
    r.accelerator = "Ctrl+T";
    r.enableRule = kRuleInstrumentPresent;
    r.action = Cycle(OnManualTrigger);
    t.Add(r);

    r = {};
    r.id = cmd::kTriggerArm;
    r.menu = "acquisition.trigger";
    r.order = 20;
    r.english = "Arm(&A)";
    r.japanese = "トリガー待ち(&A)";
    r.menus = kInFullMenus;
    r.accelerator = "Ctrl+A";
    r.enableRule = kRuleArmable;
    r.action = Cycle(OnTriggerArm);
    t.Add(r);

    t.SetRule(kRuleMonitorStartable, [](const Workspace& ws, const RecentFileList&) { return ScreenWithInstrument(ws); });
    t.SetRule(kRuleMonitorRunning, [](const Workspace& ws, const RecentFileList&) {
        return ScreenWithInstrument(ws) && ws.acquisitionDevice.monitorRunning == 1;
    });
    t.SetRule(kRuleInstrumentPresent, [](const Workspace& ws, const RecentFileList&) { return InstrumentPresent(ws); });
    t.SetRule(kRuleArmable, [](const Workspace& ws, const RecentFileList&) {
        return ws.acquisitionDevice.armed == 0 && ScreenWithInstrument(ws);
    });
}

}  // namespace velk
