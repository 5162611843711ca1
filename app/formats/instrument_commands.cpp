#include "app/formats/instrument_commands.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "base/display_filter.h"
#include "base/position.h"
#include "app/formats/document.h"
#include "app/formats/file_road_steps.h"
#include "app/formats/load_setup.h"
#include "app/picking/pick_matching.h"
#include "app/record_arrival.h"
#include "app/view/record_extents.h"
#include "app/formats/seg2_commands.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/org_file.h"
#include "formats/org_variants.h"
#include "formats/trace_arrays.h"
#include "formats/trace_header_key_dlg.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {

namespace {

int Language(const CommandContext& ctx) { return ctx.ws.startup.language; }

FileRequest Request(const char* initialName, const char* description, const char* pattern)
{
    FileRequest request;
    request.initialName = initialName;
    request.filters = {{description, pattern}};
    return request;
}

// The dialogs of the loggers' files ("ｼｬﾄﾙ,ｻｽﾍﾟﾝｼｮﾝ" reads "shuttle, suspension").
FileRequest LoggerRequest() { return Request("SUSPE***.ORG", "ｼｬﾄﾙ,ｻｽﾍﾟﾝｼｮﾝ(SUSPE***.ORG)", "SUSPE*.ORG"); }

LoadTarget TargetAt(const WaveformStore& store, int start)
{
    return LoadTarget(start, store.MaxTraces() - start, store.RowLength(), store.MaxSample());
}

// A reader of this family over a path, into a target from index 0.
using PathReader = std::function<InstrumentReadResult(const std::string&, LoadTarget&, FormatContext&)>;

struct ReadFile {
    std::string path;
    InstrumentReadResult result;
    std::optional<LoadTarget> target;
};

// The file dialog and the read; nullopt when cancelled or nothing was read.
std::optional<ReadFile> AskAndRead(CommandContext& ctx, const FileRequest& request, const PathReader& read)
{
    WaveformStore& store = ctx.ws.store;
    if (!store.IsAllocated()) return std::nullopt;
    const std::optional<std::string> path = ctx.ui.OpenFile(request);
    if (!path) return std::nullopt;
    ReadFile r;
    r.path = *path;
    r.target.emplace(TargetAt(store, 0));
    FormatContext fc{ctx.ui, Language(ctx), DiagnosticLog(ctx.ws)};
    r.result = read(*path, *r.target, fc);
    if (!r.result || r.result.traces <= 0) return std::nullopt;
    return r;
}

// The commit of a new record read by a reader that gives samples without usable headers, and
// the generic set-up with the command's options.
void CommitGeneric(CommandContext& ctx, const ReadFile& r, const GenericSetUpOptions& options)
{
    Workspace& ws = ctx.ws;
    CommitReadRecord(ws, *r.target, r.result.traces, false);
    AdoptUntitled(ctx, r.path, kFileSeg2);
    ws.store.Params().ClearFlags();
    GenericSetUp(ws, ctx.ui, r.result.traces, r.result.samples, r.result.intervalMs, options);
    ws.display.recordLoaded = 1;
    AfterRecordReplaced(ctx, ShotArrival());
}

// What the instrument saves write: the loaded traces scaled so that the file peak (or, by
// trace, each trace's peak) is `full`; the store is not changed. A peak of 0 writes zeros.
Matrix2D<float> NormalisedCopy(const WaveformStore& store, double full, bool byTrace)
{
    const double filePeak = LoadedPeak(store);
    return ScaledCopy(store, store.TraceCount(), [&](int i) {
        double peak = filePeak;
        if (byTrace) {
            peak = 0.0;
            const int n = store.TraceSamples(i);
            for (int k = 0; k < n; ++k) peak = std::max(peak, std::fabs(static_cast<double>(store.current.rows[i][k])));
        }
        return full / peak;  // infinite for a dead trace or file: zeros
    });
}

void SaveFailed(CommandContext& ctx, const std::string& path, const WriteStatus& status)
{
    ctx.ui.Message(FileSaveFailedMessage(Language(ctx), path, status.error), MsgButtons::Ok, MsgIcon::Error);
}

void WarnConversions(CommandContext& ctx, const WriteStatus& status)
{
    if (status.conversions.Any()) ctx.ui.Message(ConversionWarning(Language(ctx), status.conversions));
}

}  // namespace

DialogRequest CSave470fFileDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "Save 470f file", "470fファイルの保存"));
    request.Choice("Normalization", normalization,
                   {Msg(language, "File", "ファイル"), Msg(language, "Trace", "トレース")})
        .Label(Msg(language, "Normalization", "正規化"));
    return request;
}

// ---------------------------------------------------------------------------------------------
// "Open Torvane9 file"

int OpenTorvane9File(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    InstrumentFileState& kept = ws.instrumentFiles;
    const int language = Language(ctx);
    if (!store.IsAllocated()) return 0;

    const std::optional<std::string> path = ctx.ui.OpenFile(Request("*.*", "Torvane9 file(*.*)", "*.*"));
    if (!path) return 0;
    const int loaded = LeaveRecordForOpen(ws);

    // New record, or three traces behind the loaded ones ("Append" preselected).
    int start = 0;
    if (loaded > 0) {
        COpenDataFileDlg ask;
        ask.value = COpenDataFileDlg::kAppend;
        DialogRequest request = ask.Request(language);
        if (!ctx.ui.RunDialog(request)) return 0;
        if (ask.value == COpenDataFileDlg::kAppend) start = std::min(loaded, store.MaxTraces());
    }
    LoadTarget target = TargetAt(store, start);
    FormatContext fc{ctx.ui, language, DiagnosticLog(ws)};
    const InstrumentReadResult read = ReadTorvane9Text(*path, target, fc);
    if (!read) return 0;
    const bool append = read.outcome == OpenOutcome::Appended;

    // The component of the new traces, and their source for an append.
    int component = 1;
    float source = kept.torvane9Source;
    if (append) {
        CSourceLocationDlg dlg;
        dlg.sourceLocation = kept.torvane9Source;
        dlg.changeComponent = 1;
        dlg.component = ComponentIndexOf(std::min(store.current.headers[0].component, CSourceLocationDlg::kComponents) + 1);  // the next one
        DialogRequest request = dlg.Request(language);
        if (!ctx.ui.RunDialog(request)) return 0;
        source = dlg.sourceLocation;
        if (dlg.changeComponent) component = dlg.component + 1;
    }
    const std::optional<float> interval = ConfirmSamplingTime(ctx.ui, language, read.intervalMs);
    if (!interval) return 0;

    // The geometry of the new traces (Cancel keeps the values of the last file).
    CTraceHeaderKeyDlg key;
    key.source = source;
    key.firstReceiver = kept.torvane9FirstReceiver;
    key.receiverInterval = kept.torvane9Spacing;
    key.dataLength = read.samples;
    key.traceCount = read.traces;
    DialogRequest keyRequest = key.Request(language);
    ctx.ui.RunDialog(keyRequest);
    std::vector<CTraceHeader> headers(static_cast<size_t>(read.traces));
    const std::optional<int32_t> sourceWord = MetresToHundredths(key.source);
    for (int k = 0; k < read.traces; ++k) {
        const std::optional<int32_t> receiver =
            MetresToHundredths(static_cast<double>(k) * key.receiverInterval + key.firstReceiver);
        if (!receiver || !sourceWord) {
            ctx.ui.Message(Msg(language, " The source or receiver positions are out of range ! \n The file has not been read.",
                               " 震源または受振点の位置が範囲外です ! \n ファイルは読み込まれていません。"),
                           MsgButtons::Ok, MsgIcon::Warning);
            return 0;
        }
        headers[static_cast<size_t>(k)].Set(start + k + 1, *receiver, *sourceWord, 1, component, 0.0f,
                                            *interval * 1000.0f, read.samples);
    }
    kept.torvane9Source = key.source;
    kept.torvane9FirstReceiver = key.firstReceiver;
    kept.torvane9Spacing = key.receiverInterval;

    // The record.
    for (int k = 0; k < read.traces; ++k) target.Header(k) = headers[static_cast<size_t>(k)];
    CommitReadRecord(ws, target, read.traces, true);
    if (!append) AdoptUntitled(ctx, *path, kFileSeg2);
    CParameterSet& p = store.Params();
    const int count = start + read.traces;
    p.traceCount = count;
    if (!append) p.ClearFlags();
    for (int i = start; i < count; ++i) {
        p.selectionFlags[static_cast<size_t>(i)] = 0;
        store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    }
    store.ComputeTraceMaxima();
    store.dataKind() = kTimeDomain;
    p.recordKind = kRecordWaveform;
    WidenReceiverRange(ws, count, 1e8f, -1e8f);
    KilometresForWideRecords(ws);
    ResetDisplayFilter(ws.displayFilter);
    p.samplesPerTrace = MaxSampleCount(count, store.current.headers);
    p.sampleInterval = static_cast<float>(store.current.headers[0].intervalUs * 0.001);
    p.samplesShown = p.samplesPerTrace;
    p.shownTime = static_cast<float>(p.samplesPerTrace * p.sampleInterval);
    p.tracesShown = count;
    p.timeAxisStart = 0.0f;
    ws.display.firstTraceShown = 0;
    ws.display.firstSampleShown = 0;
    if (store.loadCounter == 0) {
        p.plotscale = 200.0f;
        p.hscale = 10.0f;
        p.vscale = 0.05f;
    }
    SortStoreByReceiver(store, count);
    ws.display.recordLoaded = 1;
    if (store.loadCounter > 0 && count > 1) {
        const auto& h = store.current.headers;
        ws.geometry.receiverInterval = static_cast<float>((h[1].receiverHundredths - h[0].receiverHundredths) * 0.01);
    }
    AfterRecordReplaced(ctx, ShotArrival(RecordTitle::Kept, append));
    return 1;
}

// ---------------------------------------------------------------------------------------------
// The 470 and QK variants

namespace {

GenericSetUpOptions VariantOptions()
{
    GenericSetUpOptions o;
    o.resetDisplayWindow = true;
    o.verticalScale = 50.0f;
    o.horizontalScale = 25.0f;
    o.timeDomain = true;
    return o;
}

GenericSetUpOptions LoggerOptions()
{
    GenericSetUpOptions o;
    o.verticalScale = 50.0f;
    o.horizontalScale = 25.0f;
    o.timeDomain = true;
    return o;
}

}  // namespace

int Open470File(CommandContext& ctx)
{
    std::optional<ReadFile> r = AskAndRead(ctx, Request("TQ***.ORG", "Torvane470(TQ***.ORG)", "TQ*.ORG"),
                                           [](const std::string& p, LoadTarget& t, FormatContext& fc) { return Read470Org(p, t, fc); });
    if (!r) return 0;
    CommitGeneric(ctx, *r, VariantOptions());
    return 1;
}

int OpenQkFile(CommandContext& ctx)
{
    std::optional<ReadFile> r = AskAndRead(ctx, Request("TQ***_QK.ORG", "Torvane-QK(TQ***_QK.ORG)", "TQ*_QK.ORG"),
                                           [](const std::string& p, LoadTarget& t, FormatContext& fc) { return ReadQkOrg(p, t, fc); });
    if (!r) return 0;
    CommitGeneric(ctx, *r, VariantOptions());
    return 1;
}

int SaveQkFile(CommandContext& ctx)
{
    const WaveformStore& store = ctx.ws.store;
    const int language = Language(ctx);
    CSave470fFileDlg dlg;
    DialogRequest request = dlg.Request(language);
    if (!ctx.ui.RunDialog(request)) return 0;
    FileRequest save = Request("TQ***_QK.ORG", "Torvane-QK(TQ***_QK.ORG)", "TQ*_QK.ORG");
    const std::optional<std::string> path = ctx.ui.SaveFile(save);
    if (!path) return 0;
    const CParameterSet& p = store.Params();
    const std::string shortened = OrgIntervalWarning(language, p.sampleInterval);
    if (!shortened.empty()) ctx.ui.Message(shortened, MsgButtons::Ok, MsgIcon::Warning);
    const Matrix2D<float> copy = NormalisedCopy(store, 32768.0, dlg.normalization == CSave470fFileDlg::kTrace);
    const WriteStatus status = WriteQkOrg(*path, p.samplesPerTrace, p.sampleInterval, store.TraceCount(), copy);
    if (!status) {
        SaveFailed(ctx, *path, status);
        return 0;
    }
    WarnConversions(ctx, status);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Loggers' files and Kesh's files

int OpenShuttleFile(CommandContext& ctx)
{
    ShuttleHeader header{};
    std::optional<ReadFile> r = AskAndRead(ctx, LoggerRequest(), [&](const std::string& p, LoadTarget& t, FormatContext& fc) {
        return ReadShuttleFile(p, t, header, fc);
    });
    if (!r) return 0;
    ctx.ws.instrumentFiles.shuttleHeader = header;
    ctx.ws.instrumentFiles.shuttleHeaderHeld = 1;
    CommitGeneric(ctx, *r, LoggerOptions());
    return 1;
}

int ReadKeshFileCommand(CommandContext& ctx)
{
    std::optional<ReadFile> r = AskAndRead(ctx, Request("*.*", "すべてのﾌｧｲﾙ(*.*)", "*.*"),
                                           [](const std::string& p, LoadTarget& t, FormatContext& fc) { return ReadKeshFile(p, t, fc); });
    if (!r) return 0;
    CommitGeneric(ctx, *r, LoggerOptions());
    return 1;
}

int OpenSuspensionFile(CommandContext& ctx)
{
    std::optional<ReadFile> r = AskAndRead(ctx, Request("*.*", "Suspension file(*.ORG)", "*.*"),
                                           [](const std::string& p, LoadTarget& t, FormatContext& fc) { return ReadSuspensionFile(p, t, fc); });
    if (!r) return 0;
    Workspace& ws = ctx.ws;
    CommitReadRecord(ws, *r->target, r->result.traces, true);
    AdoptUntitled(ctx, r->path, kFileSeg2);
    CParameterSet& p = ws.store.Params();
    p.traceCount = r->result.traces;
    p.ClearFlags();
    for (int i = 0; i < r->result.traces; ++i) ws.store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    ws.store.dataKind() = kTimeDomain;
    p.recordKind = kRecordWaveform;
    RecalcRecordExtents(ws, 0);
    ws.display.recordLoaded = 1;
    AfterRecordReplaced(ctx, ShotArrival());
    return 1;
}

namespace {

// The kept header says the interval of the file it came from, which the record may no longer
// have (a resampled record): say so; the header is written as it was read.
void WarnStaleShuttleHeader(CommandContext& ctx, const ShuttleHeader& header)
{
    const double held = ShuttleHeaderIntervalMs(header).value_or(0.0);
    const double now = ctx.ws.store.Params().sampleInterval;
    if (std::fabs(held - now) <= 1e-3 * std::max(std::fabs(now), 1e-3)) return;
    const int language = Language(ctx);
    ctx.ui.Message(FormatC(Msg(language, " The kept shuttle header gives a sampling time of %g ms, the record has %g ms ! \n The header is written as it was read.",
                               " 保持しているシャトルヘッダーのサンプリング時間は %g ms、波形は %g ms です ! \n ヘッダーは読み込んだまま書き込みます。")
                               .c_str(),
                           held, now),
                   MsgButtons::Ok, MsgIcon::Warning);
}

// What the loggers' files cannot hold of the record (blocks of 1024 samples, at most 50
// traces), said before the save; empty when the record fits as it is.
std::string LoggerFitMessage(int language, int samples, int traces)
{
    std::string text;
    if (samples != kLoggerBlockSamples) {
        text += FormatC(Msg(language, " %d samples per trace are written as 1024 ! \n The file holds blocks of 1024 samples: longer traces are cut, shorter ones padded with zeros.",
                            " トレースあたり %d サンプルを 1024 サンプルとして書き込みます ! \n ファイルは 1024 サンプルのブロックです。長いトレースは切り詰め、短いトレースは 0 で埋めます。")
                            .c_str(),
                        samples);
    }
    if (traces > kLoggerMaxBlocks) {
        if (!text.empty()) text += "\n\n";
        text += FormatC(Msg(language, " The file holds at most 50 traces ! \n The first 50 of the %d traces are written.",
                            " ファイルは最大 50 トレースです ! \n %d トレースのうち最初の 50 トレースを書き込みます。")
                            .c_str(),
                        traces);
    }
    return text;
}

// The traces a logger's file holds, scaled so that their peak over what is written is 2048 (a
// file read back and saved again keeps its numbers); the store is not changed.
Matrix2D<float> LoggerCopy(const WaveformStore& store)
{
    const int count = std::min(store.TraceCount(), kLoggerMaxBlocks);
    double peak = 0.0;
    for (int i = 0; i < count; ++i) {
        const int n = std::min(store.TraceSamples(i), kLoggerBlockSamples);
        for (int k = 0; k < n; ++k) {
            const double v = std::fabs(static_cast<double>(store.current.rows[i][k]));
            if (std::isfinite(v)) peak = std::max(peak, v);
        }
    }
    return ScaledCopy(store, count, [&](int) { return 2048.0 / peak; });  // a dead record: zeros
}

enum class LoggerLayout { Shuttle, Suspension };

// Both logger saves: the record as the file holds it, written with `header` (or a fresh one)
// for a shuttle file; a suspension file carries interval A of trace 1 and B of trace 3.
int SaveLoggerFile(CommandContext& ctx, LoggerLayout layout, const ShuttleHeader* header)
{
    const WaveformStore& store = ctx.ws.store;
    const std::optional<std::string> path = ctx.ui.SaveFile(LoggerRequest());
    if (!path) return 0;
    if (header) WarnStaleShuttleHeader(ctx, *header);
    const CParameterSet& p = store.Params();
    const int count = store.TraceCount();
    const std::string fit = LoggerFitMessage(Language(ctx), p.samplesPerTrace, count);
    if (!fit.empty()) ctx.ui.Message(fit, MsgButtons::Ok, MsgIcon::Warning);
    const Matrix2D<float> copy = LoggerCopy(store);
    const int written = std::min(count, kLoggerMaxBlocks);
    WriteStatus status;
    if (layout == LoggerLayout::Shuttle) {
        status = WriteShuttleFile(*path, p.samplesPerTrace, p.sampleInterval, written, copy, header);
    } else {
        const auto& h = store.current.headers;
        const float a = h[0].intervalUs, b = count > 2 ? h[2].intervalUs : a;
        status = WriteSuspensionFile(*path, p.samplesPerTrace, a, b, written, copy);
    }
    if (!status) {
        SaveFailed(ctx, *path, status);
        return 0;
    }
    WarnConversions(ctx, status);
    return 0;
}

}  // namespace

int SaveShuttleFile(CommandContext& ctx)
{
    const InstrumentFileState& kept = ctx.ws.instrumentFiles;
    return SaveLoggerFile(ctx, LoggerLayout::Shuttle, kept.shuttleHeaderHeld ? &kept.shuttleHeader : nullptr);
}

int SaveSuspensionFile(CommandContext& ctx) { return SaveLoggerFile(ctx, LoggerLayout::Suspension, nullptr); }

// ---------------------------------------------------------------------------------------------

void RegisterTorvaneOrgFormat(FormatRegistry& registry)
{
    registry.SetReader(kFileTorvaneOrg, [](ByteSource& file, LoadTarget& target, LoadContext& ctx) {
        FormatContext fc{ctx.ui, ctx.language, DiagnosticLog(ctx.ws)};
        const int read = ReadTorvaneOrg(file, target, fc);
        if (read == 0) ctx.ui.Message(Msg(ctx.language, " The file holds no trace.", " ファイルにトレースがありません。"));
        return read;
    });
    registry.SetWriter(kFileTorvaneOrg, [](ByteSink& sink, SaveContext& ctx) {
        const WaveformStore& store = ctx.ws.store;
        const int count = store.TraceCount();
        if (count > 0) {
            const std::string shortened = OrgIntervalWarning(ctx.language, ctx.headers[0].intervalUs * 0.001);
            if (!shortened.empty()) ctx.ui.Message(shortened, MsgButtons::Ok, MsgIcon::Warning);
        }
        const WriteStatus status = WriteTorvaneOrg(sink, store.current.rows, ctx.headers, count);
        if (!status) ctx.error = status.error;
        if (status && status.conversions.Any()) ctx.ui.Message(ConversionWarning(ctx.language, status.conversions));
        return status.ok;
    });
}

void AddInstrumentFileCommands(CommandTable& t)
{
    const bool has = std::any_of(t.Menus().begin(), t.Menus().end(), [](const MenuDef& m) { return m.key == "file.instrument"; });
    if (!has) t.AddMenu({"file.instrument", "file", "Instrument files", "測定器ファイル", kInAllMenus, 64});
    auto row = [&](int id, double order, const char* en, const char* ja, int rule, CommandAction action) {
        t.Add(MakeRow(id, "file.instrument", order, en, ja, std::move(action), rule));
    };
    row(cmd::kOpenTorvane9, 10, "Open Torvane9 file", "Torvane9ファイルを開く", kRuleAlways, OpenTorvane9File);
    row(cmd::kOpen470, 20, "Open ZAV 470 or 46000 file", "ZAV 470/46000ファイルを開く", kRuleAlways, Open470File);
    row(cmd::kOpenQk, 30, "Open ZAV 470f,QK file", "ZAV 470f,QKファイルを開く", kRuleAlways, OpenQkFile);
    row(cmd::kSaveQk, 31, "Save 470f,QK file", "470f,QKファイルを保存", kRuleTracesLoaded, SaveQkFile);
    row(cmd::kOpenShuttle, 40, "Open ZAV shuttle file", "ZAVシャトルファイルを開く", kRuleAlways, OpenShuttleFile);
    row(cmd::kSaveShuttle, 41, "Save ZAV shuttle file", "ZAVシャトルファイルを保存", kRuleTracesLoaded, SaveShuttleFile);
    row(cmd::kOpenSuspension, 50, "Open ZAV suspension file", "ZAVサスペンションファイルを開く", kRuleAlways,
        OpenSuspensionFile);
    row(cmd::kSaveSuspension, 51, "Save ZAV suspension file", "ZAVサスペンションファイルを保存", kRuleTracesLoaded,
        SaveSuspensionFile);
    row(cmd::kReadKesh, 60, "Read Kesh's file", "Keshのファイルを読む", kRuleAlways, ReadKeshFileCommand);
}

}  // namespace velk
