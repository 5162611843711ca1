#include "app/formats/seg2_commands.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/display_filter.h"
#include "base/position.h"
#include "app/formats/document.h"
#include "app/formats/file_road_steps.h"
#include "app/formats/load_setup.h"
#include "app/record_arrival.h"
#include "app/view/record_extents.h"
#include "platform/recent_files.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "formats/trace_arrays.h"
#include "platform/language.h"

namespace velk {

namespace {

int Language(const CommandContext& ctx) { return ctx.ws.startup.language; }

// The document now stands for the file read; the frame and the recent-file list follow.
void AdoptFile(CommandContext& ctx, const std::string& path)
{
    ctx.doc.AdoptPath(path, kFileSeg2);
    ctx.recent.Add(path);
    if (ctx.frame) {
        ctx.frame->RecentFilesChanged();
        ctx.frame->DocumentTitleChanged(ctx.doc.Title());
    }
}

// Interval words of the traces read that have none, after "Set sampling time" gave one.
void FillMissingIntervals(LoadTarget& target, int count, float intervalMs)
{
    for (int k = 0; k < count; ++k) {
        CTraceHeader& h = target.Header(k);
        if (!(h.intervalUs > 0.0f)) h.intervalUs = intervalMs * 1000.0f;
    }
}

// The extended headers' base words follow the headers of traces first .. end-1.
void SyncExtendedHeaders(WaveformStore& store, int first, int end)
{
    for (int i = first; i < end; ++i) {
        static_cast<CTraceHeader&>(store.headersEx[static_cast<size_t>(i)]) = store.current.headers[static_cast<size_t>(i)];
    }
}

// The first step of the main open roads: the picks of the record being left go to the
// traveltime set when picking is on (before the file dialog, so a cancel keeps them there).
// Returns the trace count loaded.
int LeaveRecord(Workspace& ws)
{
    const int loaded = ws.store.TraceCount();
    BeforeRecordReplaced(ws);
    return loaded;
}

// The undo snapshot and the commit of what a road read. The snapshot is taken only here, when
// the record really changes: a cancelled or failed open would otherwise push out the oldest
// undo level for a copy of the record that stays.
void CommitRead(Workspace& ws, const LoadTarget& target, int count, bool copyHeaders)
{
    BeforeRecordReplaced(ws);
    if (ws.store.TraceCount() > 0) ws.store.PushUndo();
    CommitLoadTarget(ws, target, count, copyHeaders);
}

bool NothingRead(const Seg2OpenResult& read)
{
    return read.outcome == OpenOutcome::NothingRead || !read.target || read.tracesRead <= 0;
}

// "Source location etc." for appended traces first .. end-1, seeded with trace 1's component
// and the given source, its component "Change" ticked. On OK the source (always) and the
// component (when ticked) go into `apply`; Cancel leaves the file's values.
bool AskAppendedSource(CommandContext& ctx, float seedSource,
                       const std::function<void(const CSourceLocationDlg&)>& apply)
{
    CSourceLocationDlg dlg;
    dlg.component = ComponentIndexOf(ctx.ws.store.current.headers[0].component);
    dlg.sourceLocation = seedSource;
    dlg.changeComponent = 1;
    DialogRequest request = dlg.Request(Language(ctx));
    if (!ctx.ui.RunDialog(request)) return false;
    apply(dlg);
    return true;
}

float RecordPeak(const WaveformStore& store)
{
    float peak = 0.0f;
    for (int i = 0; i < store.TraceCount(); ++i) {
        std::span<const float> row = store.current.rows.Row(i).first(static_cast<size_t>(store.TraceSamples(i)));
        for (float v : row) {
            if (std::isfinite(v)) peak = std::max(peak, std::fabs(v));
        }
    }
    return peak;
}

}  // namespace

std::optional<float> ConfirmSamplingTime(UiHost& ui, int language, float intervalMs)
{
    if (intervalMs > 0.0f && std::isfinite(intervalMs)) return intervalMs;
    CSamplingTimeDlg dlg;
    dlg.interval = std::isfinite(intervalMs) ? intervalMs : 0.0f;
    DialogRequest request = dlg.Request(language);
    if (ui.RunDialog(request) && dlg.interval > 0.0f && std::isfinite(dlg.interval)) return dlg.interval;
    ui.Message(Msg(language, kNoSamplingTime, "サンプリング時間は 0 より大きくしてください ! \n ファイルは読み込まれていません。"),
               MsgButtons::Ok, MsgIcon::Warning);
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// "Open SEG2 file"

int OpenSeg2Record(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);

    // 1-2. The picks of the record being left.
    const int loaded = LeaveRecord(ws);

    // 3. The file, read into scratch.
    CSeg2FileDlg holder;
    Seg2OpenResult read = holder.OpenSeg2Dialog(ctx.ui, language, store, loaded);
    if (NothingRead(read)) return store.TraceCount();
    const bool append = read.outcome == OpenOutcome::Appended;
    if (append && read.image.present) {
        ctx.ui.Message(Msg(language, "The file holds a coherence image: it cannot be added to the traces shown.\n\n The data was not changed.",
                           "このファイルはコヒーレンス画像です: 表示中のトレースには追加できません。\n\n データは変更されていません。"),
                       MsgButtons::Ok, MsgIcon::Error);
        return store.TraceCount();
    }

    // 5. A new record without a sampling time asks for one, or stops here.
    float interval = read.intervalMs;
    if (!append) {
        const std::optional<float> confirmed = ConfirmSamplingTime(ctx.ui, language, interval);
        if (!confirmed) return store.TraceCount();
        interval = *confirmed;
        FillMissingIntervals(*read.target, read.tracesRead, interval);
    }

    // 4, 6. The snapshot and the commit; the document stands for the new file.
    CommitRead(ws, *read.target, read.tracesRead, true);
    AdoptFile(ctx, read.path);
    CParameterSet& p = store.Params();
    const int count = std::min(read.start + read.tracesRead, store.MaxTraces());
    p.traceCount = count;
    p.samplesPerTrace = MaxSampleCount(count, store.current.headers);
    if (!append) p.sampleInterval = interval;

    // 7. Appended traces: their source and component; a new record: no selection.
    if (append) {
        AskAppendedSource(ctx, static_cast<float>(store.current.headers[0].sourceHundredths * 0.01),
                          [&](const CSourceLocationDlg& dlg) {
                              const std::optional<int32_t> source = MetresToHundredths(dlg.sourceLocation);
                              for (int i = read.start; i < count; ++i) {
                                  CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
                                  if (dlg.changeComponent) h.component = dlg.component + 1;
                                  if (source) h.sourceHundredths = *source;
                                  p.selectionFlags[static_cast<size_t>(i)] = 0;
                              }
                          });
        SyncExtendedHeaders(store, read.start, count);
    } else {
        p.ClearFlags();
    }

    // 8-11.
    FinishOpenRoad(ctx, count, append, &read.image);
    return store.TraceCount();
}

// ---------------------------------------------------------------------------------------------
// "Open SEG2 file(20bit float)"

int OpenSeg2Packed20Record(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);

    const int loaded = LeaveRecord(ws);
    CSeg2FileDlg holder;
    Seg2OpenResult read = holder.OpenSeg2Packed20Dialog(ctx.ui, language, DiagnosticLog(ws), store, loaded);
    if (NothingRead(read)) return store.TraceCount();
    const bool append = read.outcome == OpenOutcome::Appended;
    const int n = read.tracesRead;

    float interval = read.intervalMs;
    if (!append) {
        const std::optional<float> confirmed = ConfirmSamplingTime(ctx.ui, language, interval);
        if (!confirmed) return store.TraceCount();
        interval = *confirmed;
    }
    const int count = std::min(read.start + n, store.MaxTraces());
    ctx.ui.Message(RecordSummaryMessageMsec(count, interval, read.samples, Language(ctx)));

    // Positions and components of the new traces, from the reader's arrays.
    std::vector<float> receivers = read.receivers;
    std::vector<float> sources = read.sources;
    std::vector<int> components = read.components;
    receivers.resize(static_cast<size_t>(n), 0.0f);
    sources.resize(static_cast<size_t>(n), 0.0f);
    components.resize(static_cast<size_t>(n), 1);
    if (append) {
        AskAppendedSource(ctx, sources.empty() ? 0.0f : sources[0], [&](const CSourceLocationDlg& dlg) {
            for (int k = 0; k < n; ++k) {
                if (dlg.changeComponent) components[static_cast<size_t>(k)] = dlg.component + 1;
                sources[static_cast<size_t>(k)] = dlg.sourceLocation;
            }
        });
    }
    for (int k = 0; k < n; ++k) {
        CTraceHeader& h = read.target->Header(k);
        const CTraceHeader asRead = h;
        h.Set(1, MetresToHundredths(receivers[static_cast<size_t>(k)]).value_or(asRead.receiverHundredths),
              MetresToHundredths(sources[static_cast<size_t>(k)]).value_or(asRead.sourceHundredths), 1,
              components[static_cast<size_t>(k)], 0.0f, interval * 1000.0f, read.samples);
    }

    CommitRead(ws, *read.target, n, true);
    AdoptFile(ctx, read.path);
    CParameterSet& p = store.Params();
    p.traceCount = count;
    p.samplesPerTrace = MaxSampleCount(count, store.current.headers);
    if (!append) p.sampleInterval = interval;
    FinishOpenRoad(ctx, count, append);
    return store.TraceCount();
}

// ---------------------------------------------------------------------------------------------
// Skip road

SkipRoadReader Seg2SkipReader()
{
    return {"*.*", {"Seg2 file (*.*)", "*"}, [](const std::string& path, LoadTarget& target, int skip, FormatContext& fc) {
                return ReadSeg2File(path, target, skip, fc);
            }};
}

int OpenWithSampleSkip(CommandContext& ctx, const SkipRoadReader& reader)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);
    if (!store.IsAllocated()) return 0;

    // 1. The skip, remembered for the next time.
    CSampleSkipDlg skipDlg;
    skipDlg.skip = std::clamp(ws.display.sampleSkip, 1, CSampleSkipDlg::kMaxSkip);
    DialogRequest skipRequest = skipDlg.Request(language);
    if (!ctx.ui.RunDialog(skipRequest)) return 0;
    ws.display.sampleSkip = skipDlg.skip;

    // 2-3. The file; new record or appended.
    FileRequest fileRequest;
    fileRequest.initialName = reader.initialName;
    fileRequest.filters = {reader.filter};
    const std::optional<std::string> path = ctx.ui.OpenFile(fileRequest);
    if (!path) return 0;
    const int loaded = store.TraceCount();
    int start = 0;
    if (loaded > 0) {
        const int answer = COpenDataFileDlg::Ask(ctx.ui, language);
        if (answer < 0) return 0;
        if (answer == COpenDataFileDlg::kAppend) start = loaded;
    }
    const bool append = start > 0;
    if (start >= store.MaxTraces()) {
        ctx.ui.Message(TracesMessage(language, kTotalTracesReadMsg, 0), MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }

    // 4. The read, into scratch.
    LoadTarget target(start, store.MaxTraces() - start, store.RowLength(), store.MaxSample());
    FormatContext fc{ctx.ui, language, DiagnosticLog(ws)};
    const int read = reader.read ? reader.read(*path, target, skipDlg.skip, fc) : -1;
    if (read <= 0) return 0;
    const int count = std::min(start + read, store.MaxTraces());

    // 5-6. Samples, interval, the summary.
    const CTraceHeader& lead = append ? store.current.headers[0] : target.HeaderAt(0);
    float interval = static_cast<float>(lead.intervalUs * 0.001);
    if (!append) {
        const std::optional<float> confirmed = ConfirmSamplingTime(ctx.ui, language, interval);
        if (!confirmed) return 0;
        interval = *confirmed;
        FillMissingIntervals(target, read, interval);
    }
    const int samples = append ? store.TraceSamples(0) : std::clamp(target.HeaderAt(0).samples, 0, store.RowLength());
    ctx.ui.Message(RecordSummaryMessageMsec(count, interval, samples, Language(ctx)));

    // 7. The picks of the record being left, then the commit.
    BeforeRecordReplaced(ws);
    CommitRead(ws, target, read, true);
    ctx.doc.AdoptPath(*path, reader.fileType);
    CParameterSet& p = store.Params();
    p.traceCount = count;
    if (!append) p.ClearFlags();
    for (int i = start; i < count; ++i) store.displayFactor[static_cast<size_t>(i)] = 1.0f;

    // 8. Extents; the common step matches the stored picks of a new shot.
    RecalcRecordExtents(ws, 0);
    store.dataKind() = kTimeDomain;
    p.recordKind = kRecordWaveform;
    ResetDisplayFilter(ws.displayFilter);
    ws.display.recordLoaded = 1;
    AfterRecordReplaced(ctx, ShotArrival(RecordTitle::Kept, append));
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Saves

int SaveSeg2Record(CommandContext& ctx)
{
    WaveformStore& store = ctx.ws.store;
    CSeg2FileDlg holder;
    const Seg2Image image = RecordSeg2Image(ctx.ws);
    holder.SaveSeg2Dialog(ctx.ui, Language(ctx), store.current.rows, store.current.headers, store.TraceCount(),
                          image.present ? &image : nullptr);
    return 0;
}

int SaveSeg2Int32Record(CommandContext& ctx)
{
    WaveformStore& store = ctx.ws.store;
    const int language = Language(ctx);
    // Integers scaled by the record's peak would not read back as the image's coherences.
    const Seg2Image image = RecordSeg2Image(ctx.ws);
    if (image.present) {
        ctx.ui.Message(Msg(language, "A coherence image cannot be saved as 32-bit integers: save it with \"Save SEG2 file\".",
                           "コヒーレンス画像は32ビット整数では保存できません: \"SEG2ファイルを保存\" で保存してください。"),
                       MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    FileRequest request;
    request.initialName = "*.dat";
    request.filters = {{"Seg2 file (*.dat)", "*.dat"}};
    request.defaultExtension = "dat";
    const std::optional<std::string> path = ctx.ui.SaveFile(request);
    if (!path) return 0;
    const WriteStatus status = WriteSeg2File(*path, store.current.rows, store.current.headers, store.TraceCount(),
                                             2, RecordPeak(store), nullptr, nullptr);
    if (!status) ctx.ui.Message(FileSaveFailedMessage(language, *path, status.error), MsgButtons::Ok, MsgIcon::Error);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// "Open Seg2 file (float data)"

int OpenSeg2FloatRecord(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);
    CSeg2FileDlg holder;
    Seg2OpenResult read = holder.OpenSeg2FloatDialog(ctx.ui, language, store);
    if (NothingRead(read)) return 0;
    const std::optional<float> interval = ConfirmSamplingTime(ctx.ui, language, read.intervalMs);
    if (!interval) return 0;

    CommitRead(ws, *read.target, read.tracesRead, false);
    ctx.doc.AdoptPath(read.path, kFileSeg2);
    store.Params().ClearFlags();
    GenericSetUp(ws, ctx.ui, std::min(read.tracesRead, store.MaxTraces()), read.samples, *interval, {});
    AfterRecordReplaced(ctx, ShotArrival());
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Command rows

void AddSeg2FileCommands(CommandTable& t)
{
    const bool hasOption = std::any_of(t.Menus().begin(), t.Menus().end(),
                                       [](const MenuDef& m) { return m.key == "file.option"; });
    if (!hasOption) t.AddMenu({"file.option", "file", "Option", "オプション", kInAllMenus, 60});

    auto row = [&](int id, const char* menu, double order, const char* en, const char* ja, int rule,
                   CommandAction action) {
        t.Add(MakeRow(id, menu, order, en, ja, std::move(action), rule));
    };
    // An open road repaints when it read something.
    auto repaintIfRead = [](int (*open)(CommandContext&)) {
        return [open](CommandContext& ctx) {
            const int before = ctx.ws.store.loadCounter;
            open(ctx);
            return ctx.ws.store.loadCounter != before ? 1 : 0;
        };
    };

    t.Add(SeparatorRow("file", 45));
    row(cmd::kOpenSeg2, "file", 50, "Open SEG2 file", "SEG2ファイルを開く", kRuleAlways, repaintIfRead(OpenSeg2Record));
    row(cmd::kSaveSeg2, "file", 51, "Save SEG2 file", "SEG2ファイルを保存", kRuleTracesLoaded, SaveSeg2Record);
    row(cmd::kSaveSeg2Int32, "file", 52, "Save SEG2 file(32bit integer)", "SEG2ファイルを保存(32ビット整数)",
        kRuleTracesLoaded, SaveSeg2Int32Record);

    row(cmd::kOpenSeg2WithSkip, "file.option", 10, "Open SEG2 file (with sample skip)",
        "SEG2ファイルを開く(サンプル間引き)", kRuleAlways,
        [](CommandContext& ctx) { return OpenWithSampleSkip(ctx, Seg2SkipReader()); });
    row(cmd::kOpenSeg2Packed20, "file.option", 20, "Open SEG2 file(20bit float)", "SEG2ファイルを開く(20ビット)",
        kRuleAlways, repaintIfRead(OpenSeg2Packed20Record));
    row(cmd::kOpenSeg2Float, "file.option", 30, "Open Seg2 file (float data)", "Seg2ファイルを開く(浮動小数点データ)",
        kRuleAlways, OpenSeg2FloatRecord);
}

}  // namespace velk
