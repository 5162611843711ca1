#include "app/formats/file_road_steps.h"

#include <algorithm>
#include <cmath>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/formats/load_setup.h"
#include "app/record_arrival.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "base/display_filter.h"
#include "formats/file_roads.h"
#include "formats/load_target.h"
#include "formats/trace_arrays.h"

namespace velk {

int LeaveRecordForOpen(Workspace& ws)
{
    const int loaded = ws.store.TraceCount();
    BeforeRecordReplaced(ws);
    return loaded;
}

void CommitReadRecord(Workspace& ws, const LoadTarget& target, int count, bool copyHeaders)
{
    BeforeRecordReplaced(ws);
    if (ws.store.TraceCount() > 0) ws.store.PushUndo();
    CommitLoadTarget(ws, target, count, copyHeaders);
}

void AdoptReadFile(CommandContext& ctx, const std::string& path, int code)
{
    ctx.doc.AdoptPath(path, code);
    if (ctx.frame) ctx.frame->DocumentTitleChanged(ctx.doc.Title());
}

void AdoptUntitled(CommandContext& ctx, const std::string& path, int code)
{
    ctx.doc.AdoptPath("", code);
    ctx.doc.currentFileName = FileNameOf(path);
    if (ctx.frame) ctx.frame->DocumentTitleChanged(ctx.doc.Title());
}

namespace {

// A coherence image read back: complex data with zero imaginary parts, the dispersion flag 2.
// The headers keep the step in whole thousandths of a hertz, the record the exact one.
void TakeCoherenceImage(Workspace& ws, int count, const Seg2Image& image)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const double df = image.frequencyStep;
    for (int k = 0; k < count; ++k) {
        store.current.headers[static_cast<size_t>(k)].intervalUs = static_cast<float>(std::trunc(df * 1000.0));
        const std::span<float> im = store.current.imag.Row(store.current.imag.RowLow() + k);
        std::fill(im.begin(), im.end(), 0.0f);
    }
    p.sampleInterval = static_cast<float>(df);
    if (image.shown > 0) p.samplesShown = std::min(p.samplesPerTrace, image.shown);
    p.shownTime = static_cast<float>(p.samplesShown * p.sampleInterval);
    p.recordKind = 2;
    ws.coherenceDimension = image.dimension;
    store.dataKind() = kComplexShowReal;
    store.transformFlag() = 0;
    store.ComputeImagMaxima();
    ws.display.firstReceiver = 0.0f;
}

}  // namespace

void FinishOpenRoad(CommandContext& ctx, int count, bool append, const Seg2Image* image)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    for (int i = 0; i < count; ++i) store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    SortStoreByReceiver(store, count);
    store.ComputeTraceMaxima();
    store.dataKind() = kTimeDomain;
    p.recordKind = kRecordWaveform;
    WidenReceiverRange(ws, count, 1e8f, -1e8f);
    KilometresForWideRecords(ws);
    p.samplesShown = p.samplesPerTrace;
    p.shownTime = static_cast<float>(p.samplesPerTrace * p.sampleInterval);
    ResetDisplayFilter(ws.displayFilter);
    p.timeAxisStart = 0.0f;
    p.tracesShown = count;
    ws.display.firstTraceShown = 0;
    ws.display.firstSampleShown = 0;
    ws.display.recordLoaded = 1;
    if (image && image->present) TakeCoherenceImage(ws, count, *image);
    AfterRecordReplaced(ctx, ShotArrival(RecordTitle::Kept, append));
}

Seg2Image RecordSeg2Image(const Workspace& ws)
{
    const WaveformStore& store = ws.store;
    Seg2Image image;
    image.present = store.DispersionFlag() == 2;
    image.dimension = ws.coherenceDimension == 2 ? 2 : 1;
    image.frequencyStep = store.Params().sampleInterval;
    image.shown = store.Params().samplesShown;
    return image;
}

float LoadedPeak(const WaveformStore& store)
{
    float peak = 0.0f;
    for (int i = 0; i < store.TraceCount(); ++i) {
        const int n = store.TraceSamples(i);
        for (int k = 0; k < n; ++k) {
            const float v = std::fabs(store.current.rows[i][k]);
            if (std::isfinite(v)) peak = std::max(peak, v);
        }
    }
    return peak;
}

}  // namespace velk
