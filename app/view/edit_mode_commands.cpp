#include "app/view/edit_mode_commands.h"

#include <algorithm>
#include <utility>

#include "app/workspace.h"

namespace velk {

int OnExitEditMode(Workspace& ws)
{
    ws.display.editMode = 0;
    ws.editController.ClearDragFigures(ws);
    return 1;
}

int OnVelocityLineMode(Workspace& ws)
{
    ws.editController.EnterVelocityMode(ws);
    return 1;
}

int OnDeleteAllVelocities(Workspace& ws)
{
    ws.display.velocityLines.Clear();
    return 1;
}

int OnShowMouseLocation(Workspace& ws)
{
    ws.editController.showMouseLocation = -ws.editController.showMouseLocation;
    return 0;
}

int OnPickContinuously(Workspace& ws)
{
    ws.editController.continuousPicking = -ws.editController.continuousPicking;
    return 0;
}

void AddEditModeCommands(CommandTable& t)
{
    // Menus another feature may have made already are reused.
    t.AddMenuIfMissing({"pick.option", "pick", "Option", "オプション", kInAllMenus, 900});
    t.AddMenuIfMissing({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});

    auto add = [&](int id, const char* where, double order, const char* en, const char* ja, int (*action)(Workspace&),
                   ItemKind kind = ItemKind::Command, int check = kRuleNone) {
        t.Add(MakeRow(id, where, order, en, ja, [action](CommandContext& c) { return action(c.ws); }, kRuleAlways,
                      kind, check));
    };
    add(cmd::kExitEditMode, "edit", 5, "Exit edit mode", "編集モードの終了", OnExitEditMode);
    add(cmd::kVelocityLine, "pick.option", 40, "Velocity", "速度", OnVelocityLineMode);
    add(cmd::kDeleteAllVelocities, "pick.option", 41, "Delete all velocities", "全ての速度線の削除",
        OnDeleteAllVelocities);
    add(cmd::kShowMouseLocation, "option.etc", 20, "Show mouse location", "マウス位置の表示", OnShowMouseLocation);
    add(cmd::kPickContinuously, "option.etc", 21, "Pick traveltimes continuously", "走時を連続して読み取る",
        OnPickContinuously, ItemKind::Check, kRulePickContinuously);
    t.SetRule(kRulePickContinuously,
              [](const Workspace& ws, const RecentFileList&) { return ws.editController.continuousPicking == 1; });
}

}  // namespace velk
