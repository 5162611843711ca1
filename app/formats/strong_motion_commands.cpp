#include "app/formats/strong_motion_commands.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app/record_arrival.h"
#include "app/formats/document.h"
#include "app/formats/load_setup.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/strong_motion.h"
#include "formats/trace_arrays.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

// The messages a fill may leave: traces beyond the store, samples beyond a row, samples that
// were not numbers. Each at most once.
void ShowFillMessages(UiHost& ui, int language, const StrongMotionFill& fill, int start)
{
    if (fill.tracesCut) {
        ui.Message(TracesMessage(language, kTotalTracesReadMsg, fill.end - start), MsgButtons::Ok, MsgIcon::Warning);
    }
    if (fill.samplesCut) ui.Message(SamplesMessage(language, kSamplesTruncatedMsg), MsgButtons::Ok, MsgIcon::Warning);
    const std::string conversions = ConversionWarning(language, fill.conversions);
    if (!conversions.empty()) ui.Message(conversions, MsgButtons::Ok, MsgIcon::Warning);
}

// The end of both readers: the set's traces into the target from its start, the shown records
// kept for the commit. Returns the traces filled (the fill's end less the start).
int FillForLoad(LoadTarget& target, LoadContext& ctx, bool messageShown)
{
    CStrongMotionSet& set = ctx.ws.strongMotion;
    StrongMotionFill fill = set.FillTraces(target);
    const int filled = fill.end - target.Start();
    ShowFillMessages(ctx.ui, ctx.language, fill, target.Start());
    if (filled <= 0) {
        if (!messageShown && !fill.tracesCut) {
            ctx.ui.Message(Msg(ctx.language, "The strong-motion set holds no trace to show ! \n The data was not changed.",
                               "強震記録に表示するトレースがありません ! \n データは変更されていません。"),
                           MsgButtons::Ok, MsgIcon::Warning);
        }
        return 0;
    }
    set.pendingRecords = std::move(fill.records);
    return filled;
}

// Code 3: one station file joins the set; the whole set is then shown.
int ReadStationRecord(ByteSource& file, LoadTarget& target, LoadContext& ctx)
{
    Workspace& ws = ctx.ws;
    CStrongMotionSet& set = ws.strongMotion;
    set.Allocate(ws.store.MaxTraces());
    set.pendingRecords.clear();
    LogSink& log = DiagnosticLog(ws);
    StationLoadReport report;
    set.ReadStationFiles(ctx.path, file, ws.coordinateOrigin, log, report);
    set.WriteSummaryText(log, ws.store.MaxSample());
    const std::string refused = StationLoadMessage(ctx.language, report);
    if (!refused.empty()) ctx.ui.Message(refused, MsgButtons::Ok, MsgIcon::Warning);
    return FillForLoad(target, ctx, !refused.empty());
}

// Code 4: a set file replaces the stations.
int ReadSetRecord(ByteSource& file, LoadTarget& target, LoadContext& ctx)
{
    Workspace& ws = ctx.ws;
    CStrongMotionSet& set = ws.strongMotion;
    set.Allocate(ws.store.MaxTraces());
    set.pendingRecords.clear();
    std::string error;
    if (set.ReadSgm(file, &error) < 0) {
        ctx.ui.Message(Msg(ctx.language, "The strong-motion set file cannot be read ! \n The data was not changed.",
                           "強震記録セットファイルを読み込めません ! \n データは変更されていません。") +
                           "\n\n" + error,
                       MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    return FillForLoad(target, ctx, false);
}

bool WriteSetRecord(ByteSink& sink, SaveContext& ctx)
{
    const WriteStatus status = ctx.ws.strongMotion.WriteSgm(sink);
    if (!status) ctx.error = status.error;
    return status.ok;
}

bool SetLoaded(const Workspace& ws, const CVelkarineDoc&) { return ws.strongMotionFlag != 0 && ws.strongMotion.allocated; }

}  // namespace

void RegisterStrongMotionFormats(FormatRegistry& registry)
{
    registry.SetReader(kFileStrongMotionText, ReadStationRecord);
    registry.SetReader(kFileStrongMotionSet, ReadSetRecord);
    registry.SetWriter(kFileStrongMotionSet, WriteSetRecord, SetLoaded);
}

void CommitStrongMotionLoad(Workspace& ws, int start, int count)
{
    CStrongMotionSet& set = ws.strongMotion;
    std::vector<CStrongMotionTrace> records = std::move(set.pendingRecords);
    set.pendingRecords.clear();
    records.resize(static_cast<size_t>(std::max(count, 0)));
    set.CommitShownRecords(start, std::move(records));
    ws.strongMotionFlag = 1;
}

std::function<void(std::span<const int>)> StationRecordMover(Workspace& ws)
{
    if (!ws.strongMotionFlag) return {};
    return [&set = ws.strongMotion](std::span<const int> order) { set.ApplyOrderToShownRecords(order); };
}

int RefillEarthquakeTraces(Workspace& ws, UiHost& ui, CVelkarineDoc* doc)
{
    WaveformStore& store = ws.store;
    CStrongMotionSet& set = ws.strongMotion;
    if (!ws.strongMotionFlag || !store.IsAllocated()) return 0;
    const int language = ws.startup.language;

    // The traces of the view mode, into scratch first.
    LoadTarget target(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    StrongMotionFill fill = set.FillTraces(target);
    ShowFillMessages(ui, language, fill, 0);
    const int count = fill.end;

    BeforeRecordReplaced(ws);
    store.PushUndo();
    CommitLoadTarget(ws, target, count, true);
    set.CommitShownRecords(0, std::move(fill.records));
    CParameterSet& p = store.Params();
    p.traceCount = count;

    // The time axis, and the start at the earthquake time.
    LogSink& log = DiagnosticLog(ws);
    set.CorrectTimeAxis(count, log);
    if (ws.coordinateOrigin.startWithEarthquakeTime) {
        set.StartAtEarthquakeTime(store.current.rows, store.current.headers, count, store.MaxSample(), ui, language, log);
        for (int i = 0; i < count; ++i) {
            static_cast<CTraceHeader&>(store.headersEx[static_cast<size_t>(i)]) = store.current.headers[static_cast<size_t>(i)];
        }
    }

    // Peaks, the window over the whole record, the order by receiver.
    for (int i = 0; i < count; ++i) store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    p.samplesPerTrace = MaxSampleCount(count, store.current.headers);
    if (count > 0 && store.current.headers[0].intervalUs > 0.0f) {
        p.sampleInterval = static_cast<float>(store.current.headers[0].intervalUs * 0.001);
    }
    p.samplesShown = p.samplesPerTrace;
    p.shownTime = static_cast<float>(p.samplesPerTrace * static_cast<double>(p.sampleInterval));
    p.timeAxisStart = 0.0f;
    p.tracesShown = count;
    ws.display.firstTraceShown = 0;
    ws.display.firstSampleShown = 0;
    SortStoreByReceiver(store, count, StationRecordMover(ws));
    store.ComputeTraceMaxima();
    if (doc && !fill.stationName.empty()) doc->currentFileName = fill.stationName;
    return 1;
}

}  // namespace velk
