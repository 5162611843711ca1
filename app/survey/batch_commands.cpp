#include "app/survey/batch_commands.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>

#include "app/command_table.h"
#include "app/formats/load_setup.h"
#include "app/formats/strong_motion_commands.h"
#include "app/record_arrival.h"
#include "app/shell_services.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "platform/choose_folder.h"
#include "base/position.h"
#include "dsp/band_pass.h"
#include "dsp/edit_helpers.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/org_file.h"
#include "formats/eight_header.h"
#include "formats/strong_motion.h"
#include "formats/three_component.h"
#include "formats/trace_arrays.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

// The number in a file name (the file-list rule), when there is one.
std::optional<int> NumberInName(std::string_view name)
{
    const std::string key = FileNameSortKey(name);
    int value = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), value);
    if (key.empty() || ec != std::errc() || end != key.data() + key.size()) return std::nullopt;
    return value;
}

std::string CapacityMessage(const Workspace& ws)
{
    return RecordTooLargeMessage(ws.startup.language, ws.store.MaxTraces(), ws.store.MaxSample());
}

// Reads one file of an append into the target; the traces it gives (a component text file
// gives its one trace).
int ReadAppendedFile(const std::string& path, int type, LoadTarget& target, FormatContext& ctx)
{
    switch (type) {
    case kFileSeg2: return ReadSeg2FileEx(path, target, 1, ctx);
    case kFileTorvaneOrg: return ReadTorvaneOrgFile(path, target, ctx);
    case kFileEightHeader: return ReadEightHeaderFile(path, target, 1, ctx);
    case kFileThreeComponentDat: return ReadComponentDatFile(path, target, ctx) == 1 ? 1 : 0;
    default: return 0;
    }
}

// Adds one strong-motion file to the set; true when it gave a trace.
bool ReadStrongMotionFile(Workspace& ws, UiHost& ui, const std::string& path, int type)
{
    CStrongMotionSet& set = ws.strongMotion;
    set.Allocate(ws.store.MaxTraces());
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) return false;
    if (type == kFileStrongMotionSet) return set.ReadSgm(file) > 0;
    StationLoadReport report;
    const int read = set.ReadStationFiles(path, file, ws.coordinateOrigin, DiagnosticLog(ws), report);
    const std::string refused = StationLoadMessage(ws.startup.language, report);
    if (!refused.empty()) ui.Message(refused, MsgButtons::Ok, MsgIcon::Warning);
    return read == 1;
}

int AppendPaths(Workspace& ws, UiHost& ui, ViewSurface* view, const std::vector<std::string>& paths, bool folder,
                std::string* log)
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    const bool headerComponent =
        ui.Message(Msg(language, "Use receiver component in trace header ?", "トレースヘッダーの受振器成分を使いますか ?"),
                   MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes;
    FormatContext read{ui, language, DiagnosticLog(ws)};
    int count = store.TraceCount();
    int files = 0;
    bool pushed = false;
    bool strongMotion = false;
    auto pushOnce = [&] {
        if (!pushed) store.PushUndo();
        pushed = true;
    };
    for (size_t f = 0; f < paths.size(); ++f) {
        const std::string& path = paths[f];
        const std::string name(FileNamePart(path));
        const int type = folder ? FileTypeOfGroupMember(path, 0) : FileTypeFromExtension(path, 0);
        if (folder) {
            *log += FormatC("%s %d \n", name.c_str(), type);
            if (view) view->ShowTransientText(FormatC("%d %s %d", count, name.c_str(), type), {10, -18});
            if (type == kFile560QX || type == kFileUnclaimed) continue;
        }
        if (type == kFileStrongMotionText || type == kFileStrongMotionSet) {
            if (ReadStrongMotionFile(ws, ui, path, type)) {
                strongMotion = true;
                ++files;
            }
            continue;
        }
        // Scratch of a whole store, so that a file too large for the room left is seen whole
        // and not read at all.
        LoadTarget target(count, store.MaxTraces(), store.RowLength(), store.MaxSample());
        int k = 0;
        try {
            k = ReadAppendedFile(path, type, target, read);
        } catch (const TargetOverflow&) {
            k = store.MaxTraces() + 1;
        }
        if (k <= 0) continue;
        if (k > store.MaxTraces() - count) {
            ui.Message(CapacityMessage(ws), MsgButtons::Ok, MsgIcon::Warning);
            break;
        }
        for (int t = 0; t < k; ++t) {
            if (!headerComponent) target.Header(t).component = static_cast<int32_t>(f + 1);
        }
        if (k == 1 && target.HeaderExAt(0).latitude > CTraceHeaderEx::kUnknownDegrees) {
            if (const std::optional<int> number = NumberInName(name)) {
                if (const std::optional<int32_t> hundredths = MetresToHundredths(static_cast<double>(*number))) {
                    target.Header(0).receiverHundredths = *hundredths;
                }
            }
        }
        pushOnce();
        CommitLoadTarget(ws, target, k, true);
        count += k;
        store.Params().traceCount = count;
        ++files;
    }
    if (strongMotion) {
        CStrongMotionSet& set = ws.strongMotion;
        set.WriteSummaryText(DiagnosticLog(ws), store.MaxSample());
        LoadTarget target(count, store.MaxTraces() - count, store.RowLength(), store.MaxSample());
        StrongMotionFill fill = set.FillTraces(target);
        if (fill.tracesCut) ui.Message(CapacityMessage(ws), MsgButtons::Ok, MsgIcon::Warning);
        const int filled = fill.end - count;
        if (filled > 0) {
            pushOnce();
            CommitLoadTarget(ws, target, filled, true);
            set.CommitShownRecords(count, std::move(fill.records));
            ws.strongMotionFlag = 1;
            count = fill.end;
            store.Params().traceCount = count;
        }
    }
    ui.Message(FormatC(Msg(language, "%d files have been appended !", "%d 個のファイルを追加しました !").c_str(), files),
               MsgButtons::Ok, MsgIcon::Info);
    ws.survey.appendFiles = 1;
    return count;
}

// What both commands do after traces were appended to the `before` traces loaded.
int FinishAppend(CommandContext& ctx, int before, int total, bool folder)
{
    if (total <= 0) return 0;
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    store.Params().traceCount = total;
    store.ComputeTraceMaxima();
    if (folder) {
        SortStoreByReceiver(store, total, StationRecordMover(ws));
    } else {
        SortStoreByReceiver(store, total);
    }
    RecalcRecordExtents(ws, 0);
    AfterRecordReplaced(ctx, ShotArrival(RecordTitle::Kept, before > 0));
    return 1;
}

}  // namespace

BatchContext MakeBatchContext(Workspace& ws, UiHost& ui, ViewSurface* view)
{
    BatchContext ctx{ui, ws.startup.language, DiagnosticLog(ws), ws.store.MaxTraces(), ws.store.MaxSample(),
                     ws.store.RowLength(), ws.workingFolder, {}};
    if (view) ctx.progress = [view](const std::string& text, int x, int y) { view->ShowTransientText(text, {x, y}); };
    return ctx;
}

int BatchSourceReceiverLocations(CommandContext& ctx)
{
    CBatchDlg dlg;
    dlg.fileByFile = 1;
    dlg.outputFormat = 1;
    dlg.keySource = 1;
    DialogRequest request = dlg.Request(ctx.ws.startup.language);
    if (!ctx.ui.RunDialog(request)) return 0;
    BatchContext batch = MakeBatchContext(ctx.ws, ctx.ui, ctx.view);
    BatchLocationsFromKeyFile(batch, dlg.fileByFile, dlg.outputFormat, dlg.keySource);
    return 0;
}

int BatchBandPassCommand(CommandContext& ctx)
{
    ViewSettings& s = ctx.ws.settings;
    CBandPassDlg settings;
    settings.lowCut = s.bpfLowCut;
    settings.highCut = s.bpfHighCut;
    settings.lowSlope = s.bpfLowSlope;
    settings.highSlope = s.bpfHighSlope;
    BatchContext batch = MakeBatchContext(ctx.ws, ctx.ui, ctx.view);
    BatchBandPass(batch, settings);
    s.bpfLowCut = settings.lowCut;
    s.bpfHighCut = settings.highCut;
    s.bpfLowSlope = settings.lowSlope;
    s.bpfHighSlope = settings.highSlope;
    return 0;
}

int AppendFiles(Workspace& ws, UiHost& ui, ViewSurface* view, const std::vector<std::string>& paths)
{
    if (paths.empty()) return ws.store.TraceCount();
    return AppendPaths(ws, ui, view, paths, false, nullptr);
}

int AppendFolderFiles(Workspace& ws, UiHost& ui, ViewSurface* view, const std::string& folder)
{
    std::vector<std::string> paths;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) paths.push_back(it->path().string());
    }
    std::sort(paths.begin(), paths.end());
    std::string log = FormatC("%s\n", (std::filesystem::path(folder) / "*.*").string().c_str());
    const int total = AppendPaths(ws, ui, view, paths, true, &log);
    // The log goes into the chosen folder, beside the files it lists.
    FolderLogSink(folder).Rewrite("multi_select.txt", log);
    return total;
}

int AppendSelectedFilesCommand(CommandContext& ctx)
{
    FileRequest request;
    request.filters = {{"All files(*.*)", "*.*"}};
    request.initialName = "*.*";
    const std::vector<std::string> paths = ctx.ui.OpenFiles(request);
    if (paths.empty()) return 0;
    const int before = ctx.ws.store.TraceCount();
    return FinishAppend(ctx, before, AppendFiles(ctx.ws, ctx.ui, ctx.view, paths), false);
}

int AppendFolderCommand(CommandContext& ctx)
{
    std::string folder = ctx.ws.workingFolder;
    if (ChooseFolder(ctx.ui, folder) != 1) return 0;
    const int before = ctx.ws.store.TraceCount();
    return FinishAppend(ctx, before, AppendFolderFiles(ctx.ws, ctx.ui, ctx.view, folder), true);
}

void AddBatchCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"option.batch", "option", "Batch processing", "バッチ処理", kInAllMenus, 740});
    t.AddMenuIfMissing({"file.option", "file", "Option", "オプション", kInAllMenus, 60});
    t.Add(cmd::kBatchSourceReceiver, "option.batch", 10, "Source-receiver location", "震源・受振点位置",
          BatchSourceReceiverLocations, kRuleAlways);
    t.Add(cmd::kBatchBandPass, "option.batch", 20, "BPF(cos function taper)", "BPF(cos関数テーパー)",
          BatchBandPassCommand, kRuleAlways);
    // The cross-correlation batch has no work of its own here.
    t.Add(cmd::kBatchCrossCorrelation, "option.batch", 30, "Cross correlation", "相互相関",
          [](CommandContext&) { return 0; }, kRuleAlways);
    t.Add(cmd::kAppendSelectedFiles, "file.option", 200, "Append files (select files < 50 files)",
          "ファイルの追加 (ファイルを選択 < 50 ファイル)", AppendSelectedFilesCommand, kRuleAlways);
    t.Add(cmd::kAppendFolder, "file.option", 210, "Append files (select a folder)", "ファイルの追加 (フォルダを選択)",
          AppendFolderCommand, kRuleAlways);
}

}  // namespace velk
