#include "app/formats/memory_recorder_commands.h"
#include "app/picking/pick_matching.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/formats/import_roads.h"
#include "app/formats/load_setup.h"
#include "app/record_arrival.h"
#include "app/view/record_extents.h"
#include "app/formats/seg2_commands.h"
#include "app/formats/strong_motion_commands.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/memory_recorder.h"
#include "formats/trace_arrays.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

int Language(const CommandContext& ctx) { return ctx.ws.startup.language; }

std::optional<std::string> AskFile(CommandContext& ctx, const char* filter)
{
    FileRequest request;
    request.initialName = "*.*";
    request.filters = {{filter, "*"}};
    return ctx.ui.OpenFile(request);
}

// The text of a key file, or nullopt after "error in opening file".
std::optional<std::string> ReadKeyFile(CommandContext& ctx, const char* filter)
{
    const std::optional<std::string> path = AskFile(ctx, filter);
    if (!path) return std::nullopt;
    ByteSource file = ByteSource::FromFile(*path);
    if (!file.Ok()) {
        ctx.ui.Message(ErrorOpeningFileText(Language(ctx)), MsgButtons::Ok, MsgIcon::Error);
        return std::nullopt;
    }
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    return std::string(bytes.begin(), bytes.end());
}

// The rebuild of both key-file commands.
int RebuildFromKeys(CommandContext& ctx, const std::vector<KeyTrace>& keys, float intervalExtraUs)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int count = store.TraceCount();
    const int samples = std::clamp(p.samplesPerTrace, 0, store.RowLength());
    LoadTarget target(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    bool cut = false;
    const int made = RebuildTracesFromKeys(store.current.rows, count, samples,
                                           p.sampleInterval * 1000.0f + intervalExtraUs, keys, target, &cut);
    if (cut) {
        ctx.ui.Message(TracesMessage(Language(ctx), kTotalTracesReadMsg, made), MsgButtons::Ok, MsgIcon::Warning);
    }
    if (made <= 0) {
        ctx.ui.Message(Msg(Language(ctx), "The key file names no channel of the record ! \n The data was not changed.",
                           "キーファイルにこのレコードのチャンネルがありません ! \n データは変更されていません。"),
                       MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }

    // The record before the keys can be had back with Edit > Undo.
    BeforeRecordReplaced(ws);
    store.PushUndo();
    CommitLoadTarget(ws, target, made, true);
    p.traceCount = made;
    for (int i = 0; i < made; ++i) store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    WidenReceiverRange(ws, made, ws.display.firstReceiver, ws.display.lastReceiver);
    SortStoreByReceiver(store, made, StationRecordMover(ws));
    store.ComputeTraceMaxima();
    FitDisplayWindow(ws, count);  // traces the keys added are shown
    ws.display.showTraveltimeCurves = -ws.display.showTraveltimeCurves;
    return 1;
}

}  // namespace

int OpenMemoryRecorderRecord(CommandContext& ctx, int form)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);
    if (!store.IsAllocated()) return 0;
    const std::optional<std::string> path =
        AskFile(ctx, form == kHioki8826Form ? "日置ﾒﾓﾘｰﾚｺｰﾀﾞｰ8826, 8841, 8842(*.*)" : "日置ﾒﾓﾘｰﾚｺｰﾀﾞｰ(*.*)");
    if (!path) return 0;
    ByteSource file = ByteSource::FromFile(*path);
    if (!file.Ok()) {
        ctx.ui.Message(MsgJa(kCannotOpenRecorderFileJa), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }

    LoadTarget target(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    FormatContext fc{ctx.ui, language, DiagnosticLog(ws)};
    MemoryRecorderRead read;
    const int result = form == kHioki8826Form ? ReadHioki8826(file, target, fc, read) : ReadHioki8840(file, target, fc, read);
    if (result != 1 || read.traces <= 0) return 0;
    const std::optional<float> interval = ConfirmSamplingTime(ctx.ui, language, read.intervalMs);
    if (!interval) return 0;

    CommitImport(ctx, target, read.traces, false, *path);
    GenericSetUpOptions options;
    options.showSummary = true;
    options.verticalScale = 100.0f;
    options.horizontalScale = 50.0f;
    options.timeDomain = true;
    GenericSetUp(ws, ctx.ui, read.traces, read.samples, *interval, options);
    store.Params().recordKind = kRecordWaveform;
    ws.display.firstTraceShown = 0;
    ws.display.firstSampleShown = 0;
    ws.display.recordLoaded = 1;
    AfterRecordReplaced(ctx, ShotArrival());
    return 1;
}

int OnInputGain(CommandContext& ctx)
{
    WaveformStore& store = ctx.ws.store;
    CInputGainDlg dlg;
    DialogRequest request = dlg.Request(Language(ctx));
    if (!ctx.ui.RunDialog(request)) return 0;
    ApplyInputGain(store.current.rows, store.Params().traceMaxima, store.TraceCount(),
                   std::clamp(store.Params().samplesPerTrace, 0, store.RowLength()), dlg);
    store.ComputeTraceMaxima();  // the record's maximum follows its traces
    return 1;
}

int OpenMemoryRecorderKeyFile(CommandContext& ctx)
{
    const std::optional<std::string> text = ReadKeyFile(ctx, "Key file for memory recorders(*.*)");
    if (!text) return 0;
    const std::vector<MemoryRecorderKey> keys = ParseMemoryRecorderKeyText(*text);
    // The memory recorders' interval is taken 0.01 µs longer, as their key files always were.
    return RebuildFromKeys(ctx, KeyTracesOf(keys), 0.01f);
}

int OpenKeyFile(CommandContext& ctx)
{
    const std::optional<std::string> text = ReadKeyFile(ctx, "Key file(*.*)");
    if (!text) return 0;
    const std::vector<KeyLine> keys = ParseKeyText(*text);
    return RebuildFromKeys(ctx, KeyTracesOf(keys, ctx.ws.display.secondsFlag == 1), 0.0f);
}

void AddMemoryRecorderCommands(CommandTable& t)
{
    auto hasMenu = [&](const char* key) {
        return std::any_of(t.Menus().begin(), t.Menus().end(), [&](const MenuDef& m) { return m.key == key; });
    };
    if (!hasMenu("file.memory")) {
        t.AddMenu({"file.memory", "file", "Memory recorder", "メモリーレコーダー", kInAllMenus, 62});
    }
    if (!hasMenu("edit.keys")) {
        t.AddMenu({"edit.keys", "edit", "Edit sorce/receiver locations (with key)", "震源・受振点位置の編集 (キー)",
                   kInAllMenus, 150});
    }
    auto row = [&](int id, const char* menu, double order, const char* en, const char* ja, int rule, CommandAction action) {
        t.Add(MakeRow(id, menu, order, en, ja, std::move(action), rule));
    };
    row(cmd::kOpenHioki8840, "file.memory", 10, "Open Hioki memory recorder (8840) file", "日置メモリーレコーダー (8840) ファイルを開く",
        kRuleAlways, [](CommandContext& ctx) { return OpenMemoryRecorderRecord(ctx, kHioki8840Form); });
    row(cmd::kOpenHioki8826, "file.memory", 11, "Open Hioki memory recorder (8826, 8841, 8842) file",
        "日置メモリーレコーダー (8826, 8841, 8842) ファイルを開く", kRuleAlways,
        [](CommandContext& ctx) { return OpenMemoryRecorderRecord(ctx, kHioki8826Form); });
    row(cmd::kInputGain, "file.memory", 20, "Input gain", "入力ゲイン", kRuleTracesLoaded, OnInputGain);
    row(cmd::kOpenMemoryRecorderKeyFile, "file.memory", 30, "Open Key file for Hioki memory recorder",
        "日置メモリーレコーダーのキーファイルを開く", kRuleTracesLoaded, OpenMemoryRecorderKeyFile);
    row(cmd::kOpenKeyFile, "edit.keys", 10, "Open Key file", "キーファイルを開く", kRuleTracesLoaded, OpenKeyFile);
}

}  // namespace velk
