#include "app/formats/text_import_commands.h"
#include "app/picking/pick_matching.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>

#include "app/formats/document.h"
#include "app/formats/import_roads.h"
#include "app/formats/load_setup.h"
#include "app/operations.h"
#include "app/record_arrival.h"
#include "app/view/record_extents.h"
#include "platform/recent_files.h"
#include "app/formats/strong_motion_commands.h"
#include "app/workspace.h"
#include "formats/eight_header.h"
#include "formats/entry_dialogs.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/text_imports.h"
#include "formats/trace_arrays.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

int Language(const CommandContext& ctx) { return ctx.ws.startup.language; }

std::string_view TextOf(const ByteSource& file)
{
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::optional<std::string> AskFile(CommandContext& ctx, const char* initialName, const char* description,
                                   const char* pattern)
{
    FileRequest request;
    request.initialName = initialName;
    request.filters = {{description, pattern}};
    return ctx.ui.OpenFile(request);
}

// The file name without folder and extension (the title of a file dialog's choice).
std::string FileTitle(const std::string& path)
{
    std::string name = FileNameOf(path);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// "Read text-format file" preset with `samples` and `samplingTime`; nullopt on Cancel.
std::optional<CReadTextFormatDlg> AskTextFormat(CommandContext& ctx, int samples, float samplingTime)
{
    CReadTextFormatDlg dlg;
    dlg.samples = std::clamp(samples, 1, CReadTextFormatDlg::kMaxSamples);
    dlg.samplingTime = samplingTime > 0.0f ? samplingTime : 1.0f;
    DialogRequest request = dlg.Request(Language(ctx));
    if (!ctx.ui.RunDialog(request)) return std::nullopt;
    return dlg;
}

// The imports' common set-up after the commit: summary, headers (numbers from 1, receivers
// (i + 1) x 100, the delay), the whole record shown, scales 50 and 25, time domain.
void CommonSetUp(CommandContext& ctx, const TextImport& read, float delayUs,
                 std::optional<std::pair<float, float>> receiverRange = std::nullopt)
{
    Workspace& ws = ctx.ws;
    GenericSetUpOptions options;
    options.showSummary = true;
    options.numberFromOne = true;
    options.delayUs = delayUs;
    options.verticalScale = 50.0f;
    options.horizontalScale = 25.0f;
    options.timeDomain = true;
    options.receiverRange = receiverRange;
    GenericSetUp(ws, ctx.ui, read.traces, read.samples, read.intervalMs, options);
    ws.store.Params().recordKind = kRecordWaveform;
    ws.display.firstTraceShown = 0;
    ws.display.firstSampleShown = 0;
    ws.display.recordLoaded = 1;
    AfterRecordReplaced(ctx, ShotArrival());
}

using TextReader = std::function<int(std::string_view text, LoadTarget& target, FormatContext& fc, TextImport& out)>;

// The road of a text import: the file, the reader into scratch, the commit and the common
// set-up with the reader's delay.
int RunTextImport(CommandContext& ctx, const std::optional<std::string>& path, const TextReader& read, float delayUs)
{
    WaveformStore& store = ctx.ws.store;
    if (!path || !store.IsAllocated()) return 0;
    std::optional<ByteSource> file = OpenImportFile(ctx, *path);
    if (!file) return 0;
    LoadTarget target(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    FormatContext fc{ctx.ui, Language(ctx), DiagnosticLog(ctx.ws)};
    TextImport out;
    if (read(TextOf(*file), target, fc, out) <= 0) return 0;
    CommitImport(ctx, target, out.traces, false, *path);
    CommonSetUp(ctx, out, delayUs);
    return 1;
}

constexpr const char* kTextFilter = "Text file(*.*)";

// The rows and samples of the store that the writes take.
int Samples(const WaveformStore& store) { return std::clamp(store.Params().samplesPerTrace, 0, store.RowLength()); }

int SaveText(CommandContext& ctx, const char* initialName, const std::function<std::string(const WaveformStore&)>& make)
{
    FileRequest request;
    request.initialName = initialName;
    request.filters = {{kTextFilter, "*"}};
    const std::optional<std::string> path = ctx.ui.SaveFile(request);
    if (!path) return 0;
    std::string error;
    if (!WriteFileAtomically(*path, make(ctx.ws.store), &error)) {
        ctx.ui.Message(FileSaveFailedMessage(Language(ctx), *path, error), MsgButtons::Ok, MsgIcon::Error);
    }
    return 0;
}

// Brevik's side files: each trace as an 8-header file of its own in the working folder.
void WriteBrevikSideFile(LogSink& log, const std::string& title, int index, const CTraceHeader& header,
                         std::span<const float> samples)
{
    Matrix2D<float> row(0, 0, 0, std::max<int>(static_cast<int>(samples.size()), 1) - 1);
    std::copy(samples.begin(), samples.end(), row.Row(0).begin());
    ByteSink sink;
    const CTraceHeader headers[1] = {header};
    if (WriteEightHeader(sink, row, headers, 1).ok) {
        log.Rewrite(BrevikSideFileName(index, title),
                    std::string_view(reinterpret_cast<const char*>(sink.Bytes().data()), sink.Bytes().size()));
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Imports

int OpenTextDataFile(CommandContext& ctx)
{
    const std::optional<std::string> path = AskFile(ctx, "*.*", kTextFilter, "*");
    if (!path) return 0;
    const CParameterSet& p = ctx.ws.store.Params();
    const std::optional<CReadTextFormatDlg> format = AskTextFormat(ctx, p.samplesPerTrace, p.sampleInterval);
    if (!format) return 0;
    return RunTextImport(
        ctx, path,
        [&](std::string_view text, LoadTarget& target, FormatContext& fc, TextImport& out) {
            const int read = ReadTextTraces(text, format->samples, target, fc, out);
            out.intervalMs = format->samplingTime;
            return read;
        },
        1.0f);
}

int ReadOskerbyRecord(CommandContext& ctx)
{
    return RunTextImport(ctx, AskFile(ctx, "*.*", kTextFilter, "*"), ReadOskerbyFile, 1.0f);
}

int OpenTextRowsFile(CommandContext& ctx)
{
    return RunTextImport(ctx, AskFile(ctx, "*.*", kTextFilter, "*"), ReadTextRows, 1.0f);
}

int ReadDwmRecord(CommandContext& ctx)
{
    return RunTextImport(ctx, AskFile(ctx, "*.*", "lab2 file(*.*)", "*"), ReadDwmFile, 1.0f);
}

int ReadVarnelRecord(CommandContext& ctx)
{
    const std::optional<std::string> path = AskFile(ctx, "*.*", "text file(*.*)", "*");
    if (!path) return 0;
    return RunTextImport(
        ctx, path,
        [&](std::string_view text, LoadTarget& target, FormatContext& fc, TextImport& out) {
            const std::optional<VarnelHeader> header = ReadVarnelHeader(text);
            if (!header) {
                fc.ui.Message(Msg(fc.language, "The file does not start with its numbers of traces and samples ! \n The file has not been read.",
                                  "ファイルの先頭にトレース数とサンプル数がありません ! \n ファイルは読み込まれていません。"),
                              MsgButtons::Ok, MsgIcon::Error);
                return 0;
            }
            const std::optional<CReadTextFormatDlg> format =
                AskTextFormat(ctx, header->samples, ctx.ws.store.Params().sampleInterval);
            if (!format) return 0;
            const int read = ReadVarnelSamples(text, *header, format->samples, target, fc, out);
            out.intervalMs = format->samplingTime;
            return read;
        },
        0.0f);
}

int ReadMorvathRecord(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const std::optional<std::string> path = AskFile(ctx, "*.*", "Morvath's file (*.*)", "*");
    if (!path || !store.IsAllocated()) return 0;
    std::optional<ByteSource> file = OpenImportFile(ctx, *path);
    if (!file) return 0;
    LoadTarget target(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    FormatContext fc{ctx.ui, Language(ctx), DiagnosticLog(ws)};
    TextImport out;
    if (ReadMorvathFile(TextOf(*file), target, fc, out) <= 0) return 0;

    // The file's own headers; then peaks, order and extents.
    CommitImport(ctx, target, out.traces, true, *path);
    CParameterSet& p = store.Params();
    p.traceCount = out.traces;
    for (int i = 0; i < out.traces; ++i) store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    store.ComputeTraceMaxima();
    SortStoreByReceiver(store, out.traces, StationRecordMover(ws));
    RecalcRecordExtents(ws, 0);
    store.dataKind() = kTimeDomain;
    p.recordKind = kRecordWaveform;
    ws.display.recordLoaded = 1;
    AfterRecordReplaced(ctx, ShotArrival());
    return 1;
}

int ReadLaserDopplerRecord(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const std::optional<std::string> path = AskFile(ctx, "*.*", "laser doppler file(*.*)", "*");
    if (!path || !store.IsAllocated()) return 0;
    std::optional<ByteSource> file = OpenImportFile(ctx, *path);
    if (!file) return 0;
    LoadTarget target(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    FormatContext fc{ctx.ui, Language(ctx), DiagnosticLog(ws)};
    TextImport out;
    if (ReadLaserDopplerFile(TextOf(*file), target, fc, out) <= 0) return 0;

    // The common set-up over the first trace's interval and count, then every trace keeps the
    // delay, interval and count the file gives it.
    CommitImport(ctx, target, out.traces, true, *path);
    CommonSetUp(ctx, out, 0.0f, std::pair<float, float>{1.0f, 2.0f * static_cast<float>(out.traces - 1)});
    for (int k = 0; k < out.traces; ++k) {
        store.current.headers[static_cast<size_t>(k)] = target.HeaderAt(k);
        static_cast<CTraceHeader&>(store.headersEx[static_cast<size_t>(k)]) = target.HeaderAt(k);
    }
    store.ComputeTraceMaxima();
    return 1;
}

int ReadBrevikRecord(CommandContext& ctx)
{
    const std::optional<std::string> path = AskFile(ctx, "*.txt", "Brevik univ's text file(*.txt)", "*.txt");
    if (!path) return 0;
    CReceiverLocationDlg location;
    DialogRequest request = location.Request(Language(ctx));
    if (!ctx.ui.RunDialog(request)) return 0;
    LogSink& log = DiagnosticLog(ctx.ws);
    const std::string title = FileTitle(*path);
    return RunTextImport(
        ctx, path,
        [&](std::string_view text, LoadTarget& target, FormatContext& fc, TextImport& out) {
            return ReadBrevikFile(text, location.receiverLocation, target, fc, out,
                                  [&](int index, const CTraceHeader& header, std::span<const float> samples) {
                                      WriteBrevikSideFile(log, title, index, header, samples);
                                  });
        },
        1.0f);
}

int CWaveOperations::OpenBinaryDataFile(CommandContext& ctx)
{
    WaveformStore& store = ws.store;
    const std::optional<std::string> path = AskFile(ctx, "*.*", "Waveform data file", "*");
    if (!path || !store.IsAllocated()) return 0;
    std::optional<ByteSource> file = OpenImportFile(ctx, *path);
    if (!file) return 0;
    const uint64_t size = file->Size();
    ui.Message(FormatC("%llu %llu", static_cast<unsigned long long>(size), static_cast<unsigned long long>(size / 4)));
    const int words = static_cast<int>(std::min<uint64_t>(size / 4, static_cast<uint64_t>(store.MaxSample())));
    const std::optional<CReadTextFormatDlg> format = AskTextFormat(ctx, std::max(words, 1), 10.0f);
    if (!format) return 0;

    LoadTarget target(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    FormatContext fc{ui, Language(ctx), DiagnosticLog(ws)};
    TextImport out;
    if (ReadBinaryTraces(file->Peek(static_cast<size_t>(size)), format->samples, target, fc, out) <= 0) return 0;
    out.intervalMs = format->samplingTime;
    CommitImport(ctx, target, out.traces, false, *path);
    CommonSetUp(ctx, out, 1.0f);
    return 1;
}

int OpenBinaryDataRecord(CommandContext& ctx)
{
    CWaveOperations holder(ctx.ws, ctx.ui);
    return holder.OpenBinaryDataFile(ctx);
}

// ---------------------------------------------------------------------------------------------
// Writes

int SaveTextAsARow(CommandContext& ctx)
{
    return SaveText(ctx, "*.*", [](const WaveformStore& s) { return TextExportAsARow(s.current.rows, s.TraceCount(), Samples(s)); });
}

int SaveTextByTrace(CommandContext& ctx)
{
    return SaveText(ctx, "*.*", [](const WaveformStore& s) { return TextExportByTrace(s.current.rows, s.TraceCount(), Samples(s)); });
}

int SaveTextAsRows(CommandContext& ctx)
{
    return SaveText(ctx, "*.*", [](const WaveformStore& s) {
        return TextExportAsRows(s.current.rows, s.current.headers, s.TraceCount(), Samples(s));
    });
}

int WriteVarnelRecord(CommandContext& ctx)
{
    return SaveText(ctx, "*.*", [](const WaveformStore& s) { return VarnelText(s.current.rows, s.TraceCount(), Samples(s)); });
}

int SavePerrowFiles(CommandContext& ctx)
{
    const Workspace& ws = ctx.ws;
    const WaveformStore& store = ws.store;
    std::string failed;
    for (const auto& [name, text] :
         PerrowFiles(ctx.doc.currentFileName, store.current.rows, store.current.headers, store.TraceCount(), Samples(store))) {
        const std::string path = ws.workingFolder.empty() ? name : ws.workingFolder + "/" + name;
        std::string error;
        if (!WriteFileAtomically(path, text, &error)) failed += (failed.empty() ? "" : "\n") + path + " " + error;
    }
    if (!failed.empty()) ctx.ui.Message(FileSaveFailedMessage(Language(ctx), failed, ""), MsgButtons::Ok, MsgIcon::Error);
    return 0;
}

int SaveTotalEnergy(CommandContext& ctx)
{
    const WaveformStore& store = ctx.ws.store;
    DiagnosticLog(ctx.ws).Rewrite("energy.txt", EnergyText(store.current.rows, store.TraceCount(), Samples(store)));
    return 0;
}

// ---------------------------------------------------------------------------------------------

void AddTextImportCommands(CommandTable& t)
{
    const bool hasMenu = std::any_of(t.Menus().begin(), t.Menus().end(), [](const MenuDef& m) { return m.key == "file.text"; });
    if (!hasMenu) t.AddMenu({"file.text", "file", "Text and binary data", "テキスト・バイナリデータ", kInAllMenus, 64});
    t.SetRule(kRulePerrowTraces, [](const Workspace& ws, const RecentFileList&) {
        const int n = ws.store.TraceCount();
        return n > 0 && n < 100;
    });
    auto row = [&](int id, double order, const char* en, const char* ja, int rule, CommandAction action) {
        t.Add(MakeRow(id, "file.text", order, en, ja, std::move(action), rule));
    };
    row(cmd::kOpenTextData, 10, "Open text data file", "テキストデータファイルを開く", kRuleAlways, OpenTextDataFile);
    row(cmd::kOpenTextRows, 11, "Open text data file (as rows)", "テキストデータファイルを開く (行単位)", kRuleAlways, OpenTextRowsFile);
    row(cmd::kOpenBinaryData, 12, "Open binary data file", "バイナリデータファイルを開く", kRuleAlways, OpenBinaryDataRecord);
    row(cmd::kReadOskerby, 20, "Read Danvel Oskerby's file", "Danvel Oskerby のファイルを読む", kRuleAlways, ReadOskerbyRecord);
    row(cmd::kReadMorvath, 21, "Read Morvath Delquin's file", "Morvath Delquin のファイルを読む", kRuleAlways, ReadMorvathRecord);
    row(cmd::kReadLaserDoppler, 22, "Read laser doppler file", "レーザードップラーファイルを読む", kRuleAlways, ReadLaserDopplerRecord);
    row(cmd::kReadBrevik, 23, "Read Brevik university's file", "Brevik 大学のファイルを読む", kRuleAlways, ReadBrevikRecord);
    row(cmd::kReadDwm, 24, "Read DWM file", "DWM ファイルを読む", kRuleAlways, ReadDwmRecord);
    row(cmd::kReadVarnel, 25, "Read Varnel Delquin's file", "Varnel Delquin のファイルを読む", kRuleAlways, ReadVarnelRecord);
    row(cmd::kSaveTextAsARow, 30, "Save text data file (as a row)", "テキストデータファイルを保存 (1 列)", kRuleTracesLoaded, SaveTextAsARow);
    row(cmd::kSaveText, 31, "Save text data file", "テキストデータファイルを保存", kRuleTracesLoaded, SaveTextByTrace);
    row(cmd::kSaveTextAsRows, 32, "Save text data file (as rows)", "テキストデータファイルを保存 (行単位)", kRuleTracesLoaded, SaveTextAsRows);
    row(cmd::kWriteVarnel, 33, "Write Varnel Delquin's file", "Varnel Delquin のファイルを書く", kRuleTracesLoaded, WriteVarnelRecord);
    row(cmd::kSavePerrow, 34, "Save Perrow data files", "Perrow データファイルを保存", kRulePerrowTraces, SavePerrowFiles);
    row(cmd::kSaveEnergy, 35, "Save total energy", "全エネルギーを保存", kRuleTracesLoaded, SaveTotalEnergy);
}

}  // namespace velk
