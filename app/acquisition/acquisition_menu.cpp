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

    struct Row {
        int id;
        const char* menu;
        int order;
        const char* english;
        const char* japanese;
        const char* accelerator;
        int enableRule;
        CommandAction action;
    };
    const Row rows[] = {
        {cmd::kNoiseMonitorStart, "acquisition.monitor", 10, "Start(&M)", "開始(&M)", "Ctrl+M", kRuleMonitorStartable,
         Cycle(OnNoiseMonitorStart)},
        {cmd::kNoiseMonitorStop, "acquisition.monitor", 20, "Stop", "停止", "", kRuleMonitorRunning,
         Cycle([](Workspace& ws, UiHost&) { return OnNoiseMonitorStop(ws); })},
        {cmd::kManualTrigger, "acquisition.trigger", 10, "Manual trigger(&T)", "手動トリガー(&T)", "Ctrl+T",
         kRuleInstrumentPresent, Cycle(OnManualTrigger)},
        {cmd::kTriggerArm, "acquisition.trigger", 20, "Arm(&A)", "トリガー待ち(&A)", "Ctrl+A", kRuleArmable,
         Cycle(OnTriggerArm)},
    };
    for (const Row& row : rows) {
        CommandRow r = MakeRow(row.id, row.menu, row.order, row.english, row.japanese, row.action, row.enableRule);
        r.menus = kInFullMenus;
        r.accelerator = row.accelerator;
        t.Add(r);
    }

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
