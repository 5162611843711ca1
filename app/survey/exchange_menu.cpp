// The menu rows of the exchange commands.

#include "app/survey/exchange_commands.h"
#include "app/workspace.h"

namespace velk {

void AddExchangeCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"file.eightheader", "file", "8 header files", "8ヘッダーファイル", kInAllMenus, 62});
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});

    auto row = [&](int id, const char* menu, unsigned menus, double order, const char* en, const char* ja,
                   int rule, CommandAction action) {
        CommandRow r = MakeRow(id, menu, order, en, ja, std::move(action), rule);
        r.menus = menus;
        t.Add(std::move(r));
    };
    // The module items (61446 + i) follow these three at the end of the menu.
    row(cmd::kExecutableModule, "module", kInFullMenus, 10, "Executable module", "実行モジュール", kRuleAlways,
        OnExecutableModule);
    row(cmd::kModuleRegistration, "module", kInFullMenus, 20, "Module registration", "モジュール登録", kRuleAlways,
        OnModuleRegistration);
    row(cmd::kDeleteModule, "module", kInFullMenus, 30, "Delete module", "モジュール削除", kRuleModuleRegistered,
        OnDeleteModule);
    row(cmd::kOptionWfft, "option.processing", kInAllMenus, 60, "WFFT", "WFFT", kRuleAlways,
        [](CommandContext& ctx) { return OnOptionWfft(ctx.ws, ctx.ui); });
    row(cmd::kOpenOld8HeaderFile, "file.eightheader", kInAllMenus, 50, "Open old 8header file",
        "古い8ヘッダーファイルを開く", kRuleAlways, OnOpenOld8HeaderFile);
    row(cmd::kConvertOld8HeaderFiles, "file.eightheader", kInAllMenus, 60, "Convert old 8hd files to new one",
        "古い8hdファイルを新しい形式に変換", kRuleAlways, OnConvertOld8HeaderFiles);

    t.SetRule(kRuleModuleRegistered, [](const Workspace& ws, const RecentFileList&) { return ws.modules.Count() > 0; });
}

}  // namespace velk
