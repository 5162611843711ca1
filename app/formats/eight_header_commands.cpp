#include "app/formats/eight_header_commands.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "base/display_filter.h"
#include "app/formats/document.h"
#include "app/formats/file_road_steps.h"
#include "app/formats/load_setup.h"
#include "app/picking/pick_matching.h"
#include "app/record_arrival.h"
#include "app/shell_services.h"
#include "app/view/view_commands.h"
#include "app/workspace.h"
#include "formats/eight_header.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/trace_arrays.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "traveltime/publish_traveltime_set.h"

namespace velk {

namespace {

int Language(const CommandContext& ctx) { return ctx.ws.startup.language; }

FileRequest OpenRequest(const char* initialName, const char* description, const char* pattern)
{
    FileRequest request;
    request.initialName = initialName;
    request.filters = {{description, pattern}};
    return request;
}

LoadTarget TargetAt(const WaveformStore& store, int start)
{
    return LoadTarget(start, store.MaxTraces() - start, store.RowLength(), store.MaxSample());
}

// Interval words of the traces read that have none, after "Set sampling time" gave one.
void FillMissingIntervals(LoadTarget& target, int count, float intervalMs)
{
    for (int k = 0; k < count; ++k) {
        CTraceHeader& h = target.Header(k);
        if (!(h.intervalUs > 0.0f)) h.intervalUs = intervalMs * 1000.0f;
    }
}

// The sampling-time question of a new record read into `target`; false when it was refused.
bool ConfirmNewRecordInterval(CommandContext& ctx, LoadTarget& target, int count)
{
    const std::optional<float> interval =
        ConfirmSamplingTime(ctx.ui, Language(ctx), static_cast<float>(target.HeaderAt(0).intervalUs * 0.001));
    if (!interval) return false;
    FillMissingIntervals(target, count, *interval);
    return true;
}

// The display after a new record of the old-layout roads and of the text form: the window
// from its start, trace 1's interval and count, the scales of very short intervals and the
// seconds flag.
void ShowOldRecord(Workspace& ws, int count)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws.display;
    const CTraceHeader& first = store.current.headers[0];
    p.sampleInterval = static_cast<float>(first.intervalUs * 0.001);
    p.samplesPerTrace = store.TraceSamples(0);
    p.samplesShown = p.samplesPerTrace;
    p.shownTime = static_cast<float>(p.samplesPerTrace * p.sampleInterval);
    p.tracesShown = count;
    p.timeAxisStart = 0.0f;
    d.firstTraceShown = 0;
    d.firstSampleShown = 0;
    if (p.sampleInterval < 0.02f) {
        p.plotscale = 100.0f;
        p.hscale = 50.0f;
    }
    if (first.component == 1000) d.secondsFlag = 1;
}

// The new record of "(oldest)", "(older)" and the text form is the current record now.
void StartNewRecord(Workspace& ws, int count)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    p.traceCount = count;
    p.ClearFlags();
    for (int i = 0; i < count; ++i) store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    store.ComputeTraceMaxima();
    store.dataKind() = kTimeDomain;
    p.recordKind = kRecordWaveform;
    ws.display.recordLoaded = 1;
}

// "(oldest)" and "(older)" read a new record from index 0 with `read`, then set it up.
int OpenOldLayout(CommandContext& ctx, const FileRequest& request,
                  int (*read)(ByteSource&, LoadTarget&, FormatContext&), bool older)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);
    if (!store.IsAllocated()) return 0;
    const int loaded = store.TraceCount();
    if (older && loaded > 0) {
        BeforeRecordReplaced(ws);
        if (ws.traveltimeSet.blockOpen == 1 && PublishTraveltimeSet(ws.traveltimeSet) && ctx.view) ctx.view->Repaint();
    }
    const std::optional<std::string> path = ctx.ui.OpenFile(request);
    if (!path) return 0;
    ByteSource file = ByteSource::FromFile(*path);
    if (!file.Ok()) {
        ctx.ui.Message(Msg(language, "Cannot open the file") + "\n\n" + *path, MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    LoadTarget target = TargetAt(store, 0);
    FormatContext fc{ctx.ui, language, DiagnosticLog(ws)};
    const int count = read(file, target, fc);
    if (count <= 0) {
        if (count == 0) ctx.ui.Message(Msg(language, " The file holds no trace.", " ファイルにトレースがありません。"));
        return 0;
    }
    if (!ConfirmNewRecordInterval(ctx, target, count)) return 0;

    CommitReadRecord(ws, target, count, true);
    ws.instrumentFiles.oldEightHeaderFile = 1;
    if (older) {
        AdoptReadFile(ctx, *path, kFileEightHeader);
    } else {
        AdoptUntitled(ctx, *path, kFileEightHeader);  // Save writes the current layout, never over this file
    }
    StartNewRecord(ws, count);
    WidenReceiverRange(ws, count, 100000.0f, -100000.0f);
    ResetDisplayFilter(ws.displayFilter);
    ShowOldRecord(ws, count);
    ctx.ui.Message(RecordSummaryMessage(count, store.Params().sampleInterval, store.Params().samplesPerTrace, Language(ctx)));
    if (older) {
        KilometresForWideRecords(ws);
        if (store.loadCounter > 0 && count > 1) {
            const auto& h = store.current.headers;
            ws.geometry.receiverInterval = static_cast<float>((h[1].receiverHundredths - h[0].receiverHundredths) * 0.01);
        }
    }
    AfterRecordReplaced(ctx, ShotArrival());
    return 1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

SkipRoadReader EightHeaderSkipReader()
{
    SkipRoadReader reader{"*.8hd", {"8 header file (*.8hd)", "*.8hd"},
                          [](const std::string& path, LoadTarget& target, int skip, FormatContext& fc) {
                              return ReadEightHeaderFile(path, target, skip, fc);
                          }};
    reader.fileType = kFileEightHeader;
    return reader;
}

int OpenEightHeaderText(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);
    if (!store.IsAllocated()) return 0;

    // 1. The picks of the record being left; its overlays are repainted once with the new record.
    if (store.loadCounter > 0 && store.TraceCount() > 0) {
        MergeRecordPicks(ws);
        if (ws.traveltimeSet.blockOpen == 1) PublishTraveltimeSet(ws.traveltimeSet);
    }

    // 2-3. The file, read into scratch.
    const std::optional<std::string> path = ctx.ui.OpenFile(OpenRequest("*.*", "ZAV 8 header file(*.*)", "*.*"));
    if (!path) return 0;
    ByteSource file = ByteSource::FromFile(*path);
    if (!file.Ok()) {
        ctx.ui.Message(Msg(language, kCouldNotOpenFile, "ファイルを開けませんでした"), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    LoadTarget target = TargetAt(store, 0);
    FormatContext fc{ctx.ui, language, DiagnosticLog(ws)};
    const int count = ReadEightHeaderText(file, target, fc);
    if (count <= 0) {
        if (count == 0) ctx.ui.Message(Msg(language, " The file holds no trace.", " ファイルにトレースがありません。"));
        return 0;
    }

    // 4-6. The record and its display.
    CommitReadRecord(ws, target, count, true);
    AdoptUntitled(ctx, *path, kFileEightHeader);
    ws.instrumentFiles.textEightHeaderRecord = 1;
    StartNewRecord(ws, count);
    WidenReceiverRange(ws, count, 1e7f, -1e7f);
    ShowOldRecord(ws, count);
    AfterRecordReplaced(ctx, ShotArrival());
    return 1;
}

int OpenOldestEightHeader(CommandContext& ctx)
{
    return OpenOldLayout(ctx, OpenRequest("*.*", "8 header file(*.*)", "*.*"), ReadOldestEightHeader, false);
}

int OpenOlderEightHeader(CommandContext& ctx)
{
    return OpenOldLayout(
        ctx, OpenRequest("*.8hd", "8 header file(*.8hd)", "*.8hd"),
        [](ByteSource& file, LoadTarget& target, FormatContext& fc) { return ReadEightHeader(file, target, 1, fc); },
        true);
}

int AppendEightHeader(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);
    if (!store.IsAllocated()) return 0;
    const std::optional<std::string> path = ctx.ui.OpenFile(OpenRequest("*.*", "8 header file(*.*)", "*.*"));
    if (!path) return 0;
    ByteSource file = ByteSource::FromFile(*path);
    if (!file.Ok()) {
        ctx.ui.Message(Msg(language, kCanNotOpenFile, "ファイルを開けません"), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    const int start = store.TraceCount();
    if (start >= store.MaxTraces()) {
        ctx.ui.Message(TracesMessage(language, kTotalTracesReadMsg, 0), MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    LoadTarget target = TargetAt(store, start);
    FormatContext fc{ctx.ui, language, DiagnosticLog(ws)};
    const int read = ReadAppendedEightHeader(file, target, fc);
    if (read <= 0) return 0;
    if (start == 0 && !ConfirmNewRecordInterval(ctx, target, read)) return 0;

    CommitReadRecord(ws, target, read, true);
    CParameterSet& p = store.Params();
    const int count = start + read;
    p.traceCount = count;
    for (int i = start; i < count; ++i) {
        p.selectionFlags[static_cast<size_t>(i)] = 0;
        store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    }
    // As the maker's program always did: each append switches the vertical axis title between
    // distance and depth.
    OnVerticalAxisTitle(ws);
    WidenReceiverRange(ws, count, 100000.0f, -100000.0f);
    store.ComputeTraceMaxima();
    const CTraceHeader& first = store.current.headers[0];
    p.sampleInterval = static_cast<float>(first.intervalUs * 0.001);
    p.samplesPerTrace = store.TraceSamples(0);
    p.samplesShown = p.samplesPerTrace;
    p.shownTime = static_cast<float>(p.samplesPerTrace * p.sampleInterval);
    p.tracesShown = count;
    ws.display.recordLoaded = 1;
    ctx.ui.Message(RecordSummaryMessage(count, p.sampleInterval, p.samplesPerTrace, Language(ctx)));
    SortStoreByReceiver(store, count);
    // Into an empty store the file is a record of its own, which the document does not stand for.
    AfterRecordReplaced(ctx, ShotArrival(start > 0 ? RecordTitle::Kept : RecordTitle::Untitled, start > 0));
    return 1;
}

int SaveEightHeaderRecord(CommandContext& ctx)
{
    WaveformStore& store = ctx.ws.store;
    FileRequest request = OpenRequest("*.8hd", "8 header file(*.8hd)", "*.8hd");
    request.defaultExtension = "8hd";
    const std::optional<std::string> path = ctx.ui.SaveFile(request);
    if (!path) return 0;
    const WriteStatus status = WriteEightHeaderFile(*path, store.current.rows, store.current.headers, store.TraceCount());
    if (!status) {
        ctx.ui.Message(FileSaveFailedMessage(Language(ctx), *path, status.error), MsgButtons::Ok, MsgIcon::Error);
    }
    return 0;
}

int ConnectEightHeaderFilesCommand(CommandContext& ctx)
{
    const int language = Language(ctx);
    const std::optional<std::string> first = ctx.ui.OpenFile(OpenRequest("*.*", "8 header file 1 (*.*)", "*.*"));
    if (!first) return 0;
    const std::optional<std::string> second = ctx.ui.OpenFile(OpenRequest("*.*", "8 header file 2 (*.*)", "*.*"));
    if (!second) return 0;
    const std::optional<std::string> output = ctx.ui.SaveFile(OpenRequest("*.*", "New 8 header file (*.*)", "*.*"));
    if (!output) return 0;
    FormatContext fc{ctx.ui, language, DiagnosticLog(ctx.ws)};
    const int records = ConnectEightHeaderFiles(*first, *second, *output, fc);
    if (records >= 0) ctx.ui.Message(FormatC(Msg(language, kNumberOfTracesJoined, "トレース数 = %d").c_str(), records));
    return 0;
}

// ---------------------------------------------------------------------------------------------

void RegisterEightHeaderFormat(FormatRegistry& registry)
{
    registry.SetReader(kFileEightHeader, [](ByteSource& file, LoadTarget& target, LoadContext& ctx) {
        FormatContext fc{ctx.ui, ctx.language, DiagnosticLog(ctx.ws)};
        const int read = ReadEightHeader(file, target, 1, fc);
        if (read == 0) ctx.ui.Message(Msg(ctx.language, " The file holds no trace.", " ファイルにトレースがありません。"));
        return read;
    });
    registry.SetWriter(kFileEightHeader, [](ByteSink& sink, SaveContext& ctx) {
        const WriteStatus status = WriteEightHeader(sink, ctx.ws.store.current.rows, ctx.headers, ctx.ws.store.TraceCount());
        if (!status) ctx.error = status.error;
        return status.ok;
    });
}

void AddEightHeaderCommands(CommandTable& t)
{
    auto ensureMenu = [&](const MenuDef& def) {
        const bool has = std::any_of(t.Menus().begin(), t.Menus().end(), [&](const MenuDef& m) { return m.key == def.key; });
        if (!has) t.AddMenu(def);
    };
    ensureMenu({"file.option", "file", "Option", "オプション", kInAllMenus, 60});
    ensureMenu({"file.eightheader", "file", "8 header files", "8ヘッダーファイル", kInAllMenus, 62});
    ensureMenu({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});

    auto row = [&](int id, const char* menu, double order, const char* en, const char* ja, int rule,
                   CommandAction action) {
        t.Add(MakeRow(id, menu, order, en, ja, std::move(action), rule));
    };
    row(cmd::kOpenEightHeaderWithSkip, "file.option", 12, "Open 8header file (with sample_skip)",
        "8ヘッダーファイルを開く(サンプル間引き)", kRuleAlways,
        [](CommandContext& ctx) { return OpenWithSampleSkip(ctx, EightHeaderSkipReader()); });
    row(cmd::kOpenEightHeaderText, "file.eightheader", 10, "Open 8 header file (text format, FD results)",
        "8ヘッダーファイルを開く(テキスト形式、FD結果)", kRuleAlways, OpenEightHeaderText);
    row(cmd::kAppendEightHeader, "file.eightheader", 20, "Append 8 header file", "8ヘッダーファイルを追加",
        kRuleAlways, AppendEightHeader);
    row(cmd::kSaveEightHeader, "file.eightheader", 30, "Save 8 header file", "8ヘッダーファイルを保存",
        kRuleTracesLoaded, SaveEightHeaderRecord);
    row(cmd::kConnectEightHeaderFiles, "file.eightheader", 40, "Connect 2 files (8 header files)",
        "2つのファイルを結合(8ヘッダーファイル)", kRuleAlways, ConnectEightHeaderFilesCommand);
    row(cmd::kOpenOldestEightHeader, "option.etc", 50, "Open old 8 header file(oldest)",
        "古い8ヘッダーファイルを開く(最古)", kRuleAlways, OpenOldestEightHeader);
    row(cmd::kOpenOlderEightHeader, "option.etc", 51, "Open old 8 header file(older)",
        "古い8ヘッダーファイルを開く(旧)", kRuleAlways, OpenOlderEightHeader);
}

}  // namespace velk
