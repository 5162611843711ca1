// The menus of the program and the shell's own rows (File, Help, the operations holder's test
// command, the recent files and the module items), the rules they use, and the road by which
// the shell runs a command.

#include <new>
#include <stdexcept>

#include "app/acquisition/acquisition_menu.h"
#include "app/acquisition/acquisition_menu_commands.h"
#include "app/view/axis_config.h"
#include "app/command_table.h"
#include "app/dsp/deconvolution_commands.h"
#include "app/view/edit_mode_commands.h"
#include "app/formats/eight_header_commands.h"
#include "app/formats/file_commands.h"
#include "app/formats/instrument_commands.h"
#include "app/view/interactive_edit.h"
#include "app/dsp/gain_commands.h"
#include "app/formats/memory_recorder_commands.h"
#include "app/operations.h"
#include "app/picking/auto_picking.h"
#include "app/picking/pick_commands.h"
#include "app/picking/pick_matching.h"
#include "app/record_arrival.h"
#include "app/view/print_view_commands.h"
#include "platform/recent_files.h"
#include "app/dsp/resampling_commands.h"
#include "app/formats/seg1_segy_gpr_commands.h"
#include "app/dsp/velocity_filter_commands.h"
#include "app/formats/seg2_commands.h"
#include "app/shell_services.h"
#include "app/survey/automatic_processing.h"
#include "app/survey/batch_commands.h"
#include "app/survey/exchange_commands.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/surfacewave/spac_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "app/formats/key_file_commands.h"
#include "app/traveltime/migration_commands.h"
#include "app/traveltime/modelling_commands.h"
#include "app/dsp/signal_commands.h"
#include "app/formats/text_import_commands.h"
#include "app/traveltime/model_commands.h"
#include "app/traveltime/theoretical_commands.h"
#include "app/dsp/trace_edit_menu.h"
#include "app/surfacewave/taup_commands.h"
#include "app/surfacewave/cmp_commands.h"
#include "app/surfacewave/trace_pair_commands.h"
#include "app/view/view_commands.h"
#include "app/workspace.h"
#include "platform/uihost.h"

namespace velk {

void AddShellCommands(CommandTable& t)
{
    // Top-level menus. The full menus (128 and 297) begin with the two acquisition shortcut
    // menus, which the frame removes outside the modes that use them; the short English menu
    // (285) has File, Edit, View, Pick first arrivals, Surface-wave analysis, Option and Help.
    t.AddMenu({"refraction", "", "Refraction analysis", "屈折法解析", kInFullMenus, 10});
    t.AddMenu({"acquisition", "", "Data acquisition(&D)", "測定(&D)", kInFullMenus, 20});
    t.AddMenu({"file", "", "&File", "ファイル(&F)", kInAllMenus, 30});
    t.AddMenu({"edit", "", "&Edit", "編集(&E)", kInAllMenus, 40});
    t.AddMenu({"view", "", "&View", "表示(&V)", kInAllMenus, 50});
    t.AddMenu({"pick", "", "&Pick first arrivals", "初動読み取り(&P)", kInAllMenus, 60});
    t.AddMenu({"surfacewave", "", "&Surface-wave analysis", "表面波解析(&S)", kInAllMenus, 70});
    t.AddMenu({"group", "", "&Group (File list)", "グループ (ファイルリスト)(&G)", kInFullMenus, 80});
    t.AddMenu({"module", "", "&Module", "モジュール(&M)", kInFullMenus, 90});
    t.AddMenu({"option", "", "&Option", "オプション(&O)", kInAllMenus, 100});
    t.AddMenu({"help", "", "&Help", "ヘルプ(&H)", kInAllMenus, 110});
    t.AddMenu({"option.construction", "option", "Under construction", "工事中", kInAllMenus, 900});

    auto row = [&](int id, const char* menu, double order, const char* en, const char* ja,
                   CommandAction action) {
        return MakeRow(id, menu, order, en, ja, std::move(action));
    };
    auto separator = [&](const char* menu, double order) {
        return SeparatorRow(menu, order);
    };

    // File: New, Open, Save, Save As at the top; the recent files and Exit at the bottom.
    CommandRow r = row(cmd::kFileNew, "file", 10, "&New", "新規作成(&N)", OnFileNew);
    r.accelerator = "Ctrl+N";
    r.toolbar = 1;
    r.icon = "new";
    t.Add(r);
    r = row(cmd::kFileOpen, "file", 20, "&Open...", "開く(&O)...", OnFileOpen);
    r.accelerator = "Ctrl+O";
    r.toolbar = 2;
    r.icon = "open";
    t.Add(r);
    r = row(cmd::kFileSave, "file", 30, "&Save", "上書き保存(&S)", OnFileSave);
    r.accelerator = "Ctrl+S";
    r.toolbar = 3;
    r.icon = "save";
    t.Add(r);
    t.Add(row(cmd::kFileSaveAs, "file", 40, "Save &As...", "名前を付けて保存(&A)...", OnFileSaveAs));
    t.Add(separator("file", 9000));
    r = row(0, "file", 9100, "Recent file", "最近使ったファイル", {});
    r.kind = ItemKind::RecentFiles;
    r.enableRule = kRuleRecentFiles;
    t.Add(r);
    t.Add(separator("file", 9200));
    t.Add(row(cmd::kAppExit, "file", 9300, "E&xit", "アプリケーションの終了(&X)", [](CommandContext& ctx) {
        // The frame's close is the one way out: on the acquisition screen it stops the
        // acquisition and offers the stack in hand before its exit question.
        if (ctx.frame) ctx.frame->RequestClose();
        return 0;
    }));
    for (int i = 0; i < kRecentFileCount; ++i) {
        CommandRow recent = row(cmd::kFileRecent1 + i, "file", 9100, "", "",
                                [i](CommandContext& ctx) { return OnOpenRecentFile(ctx, i); });
        recent.menus = 0;  // the frame makes these items from the list
        t.Add(recent);
    }

    // Module items: made by the frame from the registered modules.
    for (int i = 0; i < cmd::kModuleCount; ++i) {
        CommandRow module = row(cmd::kModuleFirst + i, "module", 0, "", "", [i](CommandContext& ctx) {
            if (i >= ctx.ws.modules.Count()) return 0;
            return RunModuleCommand(ctx, ctx.ws.modules.names[static_cast<size_t>(i)]);
        });
        module.menus = 0;
        t.Add(module);
    }

    // Option > Under construction > test: the operations holder's own command.
    t.Add(row(cmd::kOperationsTest, "option.construction", 10, "test", "テスト", [](CommandContext& ctx) {
        if (ctx.view) {
            CWaveOperations ops(ctx.ws, ctx.ui, *ctx.view);
            ops.OnTest();  // the holder repaints its owner
        }
        return 0;
    }));

    // Help.
    r = row(cmd::kAppAbout, "help", 10, "&About Velkarine...", "バージョン情報(&A)...", [](CommandContext& ctx) {
        if (ctx.frame) ctx.frame->ShowAbout();
        return 0;
    });
    r.toolbar = 90;
    r.icon = "about";
    t.Add(r);

    t.SetRule(kRuleAlways, [](const Workspace&, const RecentFileList&) { return true; });
    t.SetRule(kRuleTracesLoaded, [](const Workspace& ws, const RecentFileList&) { return ws.store.TraceCount() > 0; });
    t.SetRule(kRuleTimeDomain, [](const Workspace& ws, const RecentFileList&) {
        return ws.store.TraceCount() > 0 && ws.store.dataKind() == kTimeDomain;
    });
    t.SetRule(kRuleRecentFiles, [](const Workspace&, const RecentFileList& recent) { return !recent.Empty(); });
}

CommandTable BuildCommandTable()
{
    CommandTable table;
    AddShellCommands(table);
    AddViewCommands(table);
    AddRecordDrawingCommands(table);
    AddSeg2FileCommands(table);
    AddSeg1SegYGprCommands(table);
    AddMemoryRecorderCommands(table);
    AddTextImportCommands(table);
    AddEightHeaderCommands(table);
    AddInstrumentFileCommands(table);
    AddSignalCommands(table);  // last: reuses the menus the others made
    AddVelocityFilterCommands(table);  // after the signal commands, whose menus it reuses
    AddDeconvolutionCommands(table);  // after the signal commands, whose menus it reuses
    AddResamplingCommands(table);
    AddGainCommands(table);    // after the signal commands, whose menus it reuses
    AddTraceEditCommands(table);  // after the signal commands, whose menus it reuses
    AddEditModeCommands(table);
    AddPickCommands(table);       // after the others, whose menus it reuses
    AddAutoPickCommands(table);   // in the picking menu
    AddPrintViewCommands(table);  // after the trace editing, whose Earthquakes menu it reuses
    AddInteractiveEditCommands(table);  // after the trace-editing commands, whose menus it reuses
    AddTheoreticalTraveltimeCommands(table);  // after the picking commands, whose menus it reuses
    AddModelCommands(table);                  // after the trace editing, whose generator menu it reuses
    AddExchangeCommands(table);
    AddFileListCommands(table);
    AddGroupCommands(table);     // after the file lists, whose menu it fills
    AddKeyFileCommands(table);   // after the memory-recorder commands, whose key menu it reuses
    AddTauPCommands(table);
    AddCmpCommands(table);
    AddAcquisitionCommands(table);
    AddAcquisitionMenuCommands(table);  // after the record cycle, whose menus it reuses
    AddModellingCommands(table);  // after the instrument files and the generators, whose menus it reuses
    AddMigrationCommands(table);  // after the modelling commands, whose menus it reuses
    AddPhaseVelocityCommands(table);
    AddTracePairCommands(table);  // after the phase-velocity commands, in the same menu
    AddSpacCommands(table);       // after the modelling commands, whose generator menu it reuses
    AddBatchCommands(table);      // after the file commands, whose File > Option menu it reuses
    AddAutomaticProcessingCommands(table);  // after the file lists, whose Group menu it reuses
    return table;
}

int RunCommand(const CommandTable& table, int id, CommandContext& ctx)
{
    const CommandRow* row = table.Find(id);
    if (!row || !row->action) return 0;
    if (!table.IsEnabled(id, ctx.ws, ctx.recent)) return 0;
    int result = 0;
    try {
        result = row->action(ctx);
    } catch (const std::bad_alloc&) {
        ctx.ui.Message(NotEnoughMemoryMessage(ctx.ws.startup.language), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    } catch (const std::length_error&) {  // a matrix larger than the address space
        ctx.ui.Message(NotEnoughMemoryMessage(ctx.ws.startup.language), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    ApplyPendingRecordTitle(ctx);
    ReportPicksLeftOut(ctx.ws, ctx.ui);
    if (result == 1 && ctx.view) ctx.view->Repaint();
    return result;
}

std::string FrameTitle(const std::string& documentTitle)
{
    return documentTitle.empty() ? std::string("Velkarine") : documentTitle + " - Velkarine";
}

}  // namespace velk
