#include "app/formats/seg1_segy_gpr_commands.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/display_filter.h"
#include "base/position.h"
#include "app/formats/document.h"
#include "app/formats/file_road_steps.h"
#include "app/formats/load_setup.h"
#include "platform/recent_files.h"
#include "app/formats/seg2_commands.h"
#include "app/record_arrival.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "formats/dzt.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/gpr_radar.h"
#include "formats/load_target.h"
#include "formats/seg1_560qx.h"
#include "formats/segy.h"
#include "formats/three_component.h"
#include "formats/trace_arrays.h"
#include "platform/byte_io.h"
#include "platform/language.h"

namespace velk {

namespace {

int Language(const CommandContext& ctx) { return ctx.ws.startup.language; }

// ---------------------------------------------------------------------------------------------
// The document's readers

int Read560QXRecord(ByteSource& file, LoadTarget& target, LoadContext& ctx)
{
    // Only this interactive road names the instrument; classifying a file group stays silent.
    ctx.ui.Message("560QX");
    FormatContext fc{ctx.ui, ctx.language, DiagnosticLog(ctx.ws)};
    return Read560QX(file, target, fc);
}

int ReadComponentDatRecord(ByteSource& file, LoadTarget& target, LoadContext& ctx)
{
    FormatContext fc{ctx.ui, ctx.language, DiagnosticLog(ctx.ws)};
    file.Seek(0);
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (ReadComponentDat(text, ctx.path, target, fc) <= 0) return 0;
    // One sample gives no interval; an appended trace is refused too.
    if (!HasUsableInterval(target.HeaderAt(0))) {
        ShowUnknownFileFormat(ctx.ui, ctx.language);
        return 0;
    }
    return 1;
}

int ReadDztRecord(ByteSource& file, LoadTarget& target, LoadContext& ctx)
{
    FormatContext fc{ctx.ui, ctx.language, DiagnosticLog(ctx.ws)};
    return ReadDzt(file, target, fc);
}

int ReadSegYRecord(ByteSource& file, LoadTarget& target, LoadContext& ctx)
{
    FormatContext fc{ctx.ui, ctx.language, DiagnosticLog(ctx.ws)};
    SegYLayout layout;
    std::string log;
    if (!DecodeSegYLayout(file, SegYRoad::Document, fc, layout, &log)) return -1;
    if (layout.intervalUs == 0) {
        ShowUnknownFileFormat(ctx.ui, ctx.language);
        return -1;
    }
    return ReadSegYTraces(file, layout, target, fc, std::move(log));
}

// ---------------------------------------------------------------------------------------------
// Steps the open roads share with "Open SEG2 file"

// The document now stands for the file read; the frame and the recent-file list follow.
void AdoptFile(CommandContext& ctx, const std::string& path, int code)
{
    ctx.doc.AdoptPath(path, code);
    ctx.recent.Add(path);
    if (ctx.frame) {
        ctx.frame->RecentFilesChanged();
        ctx.frame->DocumentTitleChanged(ctx.doc.Title());
    }
}

// The undo snapshot, taken only when the record really changes, and the commit.
void CommitRead(Workspace& ws, const LoadTarget& target, int count, bool copyHeaders)
{
    BeforeRecordReplaced(ws);
    if (ws.store.TraceCount() > 0) ws.store.PushUndo();
    CommitLoadTarget(ws, target, count, copyHeaders);
}

void FillMissingIntervals(LoadTarget& target, int count, float intervalMs)
{
    for (int k = 0; k < count; ++k) {
        CTraceHeader& h = target.Header(k);
        if (!(h.intervalUs > 0.0f)) h.intervalUs = intervalMs * 1000.0f;
    }
}

FileRequest AllFiles(const char* description)
{
    FileRequest request;
    request.initialName = "*.*";
    request.filters = {{description, "*.*"}};
    return request;
}

}  // namespace

void RegisterSeg1SegYGprFormats(FormatRegistry& registry)
{
    registry.SetReader(kFile560QX, Read560QXRecord);
    registry.SetReader(kFileThreeComponentDat, ReadComponentDatRecord);
    registry.SetReader(kFileGpr, ReadDztRecord);
    registry.SetReader(kFileSegY, ReadSegYRecord);
}

// ---------------------------------------------------------------------------------------------
// "Open ZAV 560QX (SEG1) file"

int Open560QXRecord(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);
    if (!store.IsAllocated()) return store.TraceCount();

    // New record or appended, before the file is chosen.
    const int loaded = store.TraceCount();
    int start = 0;
    if (loaded > 0) {
        const int answer = COpenDataFileDlg::Ask(ctx.ui, language);
        if (answer < 0) return loaded;
        if (answer == COpenDataFileDlg::kAppend) start = loaded;
    }
    const bool append = start > 0;
    const std::optional<std::string> path = ctx.ui.OpenFile(AllFiles("SEG1 file(*.*)"));
    if (!path) return loaded;
    // The picks of the record being left go to the traveltime set.
    BeforeRecordReplaced(ws);
    if (start >= store.MaxTraces()) {
        ctx.ui.Message(TracesMessage(language, kTotalTracesReadMsg, 0), MsgButtons::Ok, MsgIcon::Warning);
        return loaded;
    }

    LoadTarget target(start, store.MaxTraces() - start, store.RowLength(), store.MaxSample());
    FormatContext fc{ctx.ui, language, DiagnosticLog(ws)};
    const int read = Read560QXFile(*path, target, fc);
    if (read <= 0) return loaded;

    float interval = static_cast<float>(target.HeaderAt(0).intervalUs * 0.001);
    if (!append) {
        const std::optional<float> confirmed = ConfirmSamplingTime(ctx.ui, language, interval);
        if (!confirmed) return loaded;
        interval = *confirmed;
        FillMissingIntervals(target, read, interval);
    }

    CommitRead(ws, target, read, true);
    AdoptFile(ctx, *path, kFile560QX);
    CParameterSet& p = store.Params();
    const int count = std::min(start + read, store.MaxTraces());
    p.traceCount = count;
    p.samplesPerTrace = MaxSampleCount(count, store.current.headers);
    if (!append) p.sampleInterval = interval;

    if (append) {
        // "Source location etc." for the appended traces, seeded with trace 1's component and
        // source; Cancel keeps the file's values.
        CSourceLocationDlg dlg;
        dlg.component = ComponentIndexOf(store.current.headers[0].component);
        dlg.sourceLocation = static_cast<float>(store.current.headers[0].sourceHundredths * 0.01);
        dlg.changeComponent = 1;
        DialogRequest request = dlg.Request(language);
        if (ctx.ui.RunDialog(request)) {
            const std::optional<int32_t> source = MetresToHundredths(dlg.sourceLocation);
            for (int i = start; i < count; ++i) {
                CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
                if (dlg.changeComponent) h.component = dlg.component + 1;
                if (source) h.sourceHundredths = *source;
                p.selectionFlags[static_cast<size_t>(i)] = 0;
                static_cast<CTraceHeader&>(store.headersEx[static_cast<size_t>(i)]) = h;
            }
        }
    } else {
        p.ClearFlags();
    }
    FinishOpenRoad(ctx, count, append);
    return store.TraceCount();
}

// ---------------------------------------------------------------------------------------------
// "Open SEGY file"

int OpenSegYRecord(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);
    if (!store.IsAllocated()) return 0;
    CSegYFileDlg holder;
    SegYOpenResult read = holder.OpenSegYDialog(ctx.ui, language, DiagnosticLog(ws), store);
    if (read.outcome == OpenOutcome::NothingRead || !read.target || read.traces <= 0) return 0;

    const int count = std::min(read.traces, store.MaxTraces());
    ctx.ui.Message(RecordSummaryMessageMsec(count, read.intervalMs, read.samples, Language(ctx)));
    CommitRead(ws, *read.target, count, false);
    AdoptFile(ctx, read.path, kFileSegY);
    store.Params().ClearFlags();
    GenericSetUpOptions options;
    options.verticalScale = 50.0f;
    options.horizontalScale = 25.0f;
    options.timeDomain = true;
    GenericSetUp(ws, ctx.ui, count, read.samples, read.intervalMs, options);
    store.Params().recordKind = kRecordWaveform;
    ws.display.recordLoaded = 1;
    AfterRecordReplaced(ctx, ShotArrival());
    return 1;
}

// ---------------------------------------------------------------------------------------------
// "Open GPR file"

int OpenGprRecord(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = Language(ctx);
    if (!store.IsAllocated()) return 0;
    CGprFileDlg holder;
    GprOpenResult read = holder.ReadGprRadarFile(ctx.ui, language, DiagnosticLog(ws), store);
    if (read.outcome == OpenOutcome::NothingRead || !read.target || read.read.traces <= 0) return 0;

    const int count = std::min(read.read.traces, store.MaxTraces());
    CommitRead(ws, *read.target, count, false);
    AdoptFile(ctx, read.path, kFileGpr);
    store.Params().ClearFlags();
    GenericSetUpOptions options;
    options.showSummary = true;
    options.component = 1000;
    options.verticalScale = 100.0f;
    options.horizontalScale = 0.05f;
    options.secondsFlag = 1;
    GenericSetUp(ws, ctx.ui, count, read.read.samples, read.read.intervalMs, options);
    store.dataKind() = kTimeDomain;
    store.Params().recordKind = kRecordWaveform;
    ws.display.recordLoaded = 1;
    AfterRecordReplaced(ctx, ShotArrival());
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Command rows

void AddSeg1SegYGprCommands(CommandTable& t)
{
    const bool hasOption = std::any_of(t.Menus().begin(), t.Menus().end(),
                                       [](const MenuDef& m) { return m.key == "file.option"; });
    if (!hasOption) t.AddMenu({"file.option", "file", "Option", "オプション", kInAllMenus, 60});

    auto row = [&](int id, double order, const char* en, const char* ja, CommandAction action) {
        t.Add(MakeRow(id, "file.option", order, en, ja, std::move(action)));
    };
    row(cmd::kOpen560QX, 40, "Open ZAV 560QX (SEG1) file", "ZAV 560QX (SEG1)ファイルを開く", [](CommandContext& ctx) {
        const int before = ctx.ws.store.loadCounter;
        Open560QXRecord(ctx);
        return ctx.ws.store.loadCounter != before ? 1 : 0;
    });
    row(cmd::kOpenSegY, 41, "Open SEGY file", "SEGYファイルを開く", OpenSegYRecord);
    row(cmd::kOpenGpr, 42, "Open GPR file", "GPRファイルを開く", OpenGprRecord);
}

}  // namespace velk
