#include "app/formats/load_setup.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "base/display_filter.h"
#include "app/record_arrival.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/trace_arrays.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/uihost.h"

namespace velk {

namespace {

int Language(const Workspace& ws) { return ws.startup.language; }

}  // namespace

void WidenReceiverRange(Workspace& ws, int count, float first, float last)
{
    for (int i = 0; i < count; ++i) {
        const float r = static_cast<float>(ws.store.current.headers[static_cast<size_t>(i)].receiverHundredths * 0.01);
        first = std::min(first, r);
        last = std::max(last, r);
    }
    ws.display.firstReceiver = first;
    ws.display.lastReceiver = last;
}

void KilometresForWideRecords(Workspace& ws)
{
    if (ws.display.lastReceiver - ws.display.firstReceiver > 5000.0f) ws.settings.kmDisplay = 1;
}

namespace {

// The neglect answer of "Source and receiver location": receivers 0, 1, 2 ... m.
void AskRepeatedConfiguration(Workspace& ws, UiHost& ui, int count)
{
    std::vector<CTraceHeader>& headers = ws.store.current.headers;
    if (!HasRepeatedConfiguration(count, headers)) return;
    CSourceReceiverLocationDlg dlg;
    dlg.choice = CSourceReceiverLocationDlg::kNeglect;
    DialogRequest request = dlg.Request(Language(ws));
    ui.RunDialog(request);  // OK only: closing keeps the preset
    if (dlg.choice != CSourceReceiverLocationDlg::kUseHeaders) {
        for (int i = 0; i < count; ++i) headers[static_cast<size_t>(i)].receiverHundredths = i * 100;
    }
}

}  // namespace

std::string ResultFolder(const Workspace& ws)
{
    if (ws.startup.acquisitionMode != 0 && ws.acquisitionManager) {
        // The line's records go to the process's folder while it has no data folder.
        const std::string& data = ws.acquisitionManager->GetDataFolder();
        return data.empty() ? WorkingFolder() : data;
    }
    return ws.workingFolder;
}

LogSink& DiagnosticLog(Workspace& ws)
{
    const std::string folder = ResultFolder(ws);
    if (!ws.diagnostics) {
        ws.diagnostics = std::make_shared<FolderLogSink>(folder);
    } else if (auto* sink = dynamic_cast<FolderLogSink*>(ws.diagnostics.get()); sink && sink->Folder() != folder) {
        sink->SetFolder(folder);  // in place: a reader may still hold it
    }
    return *ws.diagnostics;
}

void SetWorkingFolder(Workspace& ws, const std::string& folder)
{
    if (folder.empty() || folder == ws.workingFolder) return;
    ws.workingFolder = folder;
    if (dynamic_cast<FolderLogSink*>(ws.diagnostics.get()) != nullptr) {
        ws.diagnostics = std::make_shared<FolderLogSink>(folder);
    }
}

std::string RecordSummaryMessage(int traces, float intervalMs, int samples, int language)
{
    return FormatC(Msg(language, " Number of trace = %d \n Sampling time = %f \n Number of sample = %d ").c_str(),
                   traces, static_cast<double>(intervalMs), samples);
}

std::string RecordSummaryMessageMsec(int traces, float intervalMs, int samples, int language)
{
    return FormatC(Msg(language, " Number of trace = %d \n Sampling time = %f(msec) \n Number of sample = %d ").c_str(),
                   traces, static_cast<double>(intervalMs), samples);
}

bool HasUsableInterval(const CTraceHeader& first) { return first.intervalUs * 0.001 >= 1e-9; }

void ShowUnknownFileFormat(UiHost& ui, int language)
{
    ui.Message(Msg(language, kUnknownFileFormat,
                   " ファイル形式が不明です ! \n\n プログラムを終了し、\n Option - etc. - Open 8 header file (older) を使ってください"),
               MsgButtons::Ok, MsgIcon::Error);
}

void CommitLoadTarget(Workspace& ws, const LoadTarget& target, int count, bool copyHeaders)
{
    WaveformStore& store = ws.store;
    const int start = target.Start();
    count = std::clamp(count, 0, std::min(target.Capacity(), store.MaxTraces() - start));
    for (int k = 0; k < count; ++k) {
        const auto i = static_cast<size_t>(start + k);
        std::span<float> row = store.current.rows.Row(start + k);
        std::span<const float> read = target.RowIfAny(k);
        const size_t n = std::min(row.size(), read.size());
        std::copy_n(read.begin(), n, row.begin());
        std::fill(row.begin() + static_cast<std::ptrdiff_t>(n), row.end(), 0.0f);
        store.headersEx[i] = target.HeaderExAt(k);
        if (copyHeaders) {
            store.current.headers[i] = target.HeaderAt(k);
            static_cast<CTraceHeader&>(store.headersEx[i]) = target.HeaderAt(k);
        }
    }
}

bool ReplaceLoadedTraces(Workspace& ws, UiHost& ui, int count, std::span<const CTraceHeader> records,
                         const LoadSetupInfo& info)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws.display;
    count = std::clamp(count, 0, std::min<int>(store.MaxTraces(), static_cast<int>(records.size())));

    // 1-2. The old record's flags go, and its picks go to the traveltime set.
    p.ClearFlags();
    if (store.TraceCount() > 0 && d.editMode == 1) {
        d.sourcePosition = static_cast<float>(store.current.headers[0].sourceHundredths * 0.01);
    }
    BeforeRecordReplaced(ws);

    // 3-5. The headers, the order, the repeated-configuration question.
    p.traceCount = count;
    for (int i = 0; i < count; ++i) {
        store.current.headers[static_cast<size_t>(i)] = records[static_cast<size_t>(i)];
        static_cast<CTraceHeader&>(store.headersEx[static_cast<size_t>(i)]) = records[static_cast<size_t>(i)];
    }
    SortStoreByReceiver(store, count, info.moveStationRecords);
    AskRepeatedConfiguration(ws, ui, count);

    // 6. The receiver range.
    d.recordLoaded = 1;
    if (!(ws.settings.applyCurrentConfigurationDistance && d.axesFixed)) {
        WidenReceiverRange(ws, count, 1e8f, -1e8f);
    }

    // 7. Samples per trace, the longest duration, peaks and display factors.
    int samples = count > 0 ? store.TraceSamples(0) : 0;
    float longest = 0.0f;
    for (int i = 0; i < count; ++i) {
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        samples = std::max(samples, store.TraceSamples(i));
        longest = std::max(longest, static_cast<float>(h.samples * h.intervalUs * 0.001));
        store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    }
    p.samplesPerTrace = samples;
    store.ComputeTraceMaxima();

    // 8. Data kind and record kind, the display filter test.
    store.dataKind() = kTimeDomain;
    if (p.recordKind != kRecordCoherence) {
        p.recordKind = kRecordWaveform;
        KilometresForWideRecords(ws);
        ResetDisplayFilter(ws.displayFilter);
    }

    // 9. The interval.
    if (count <= 0 || !HasUsableInterval(store.current.headers[0])) {
        ShowUnknownFileFormat(ui, Language(ws));
        p.traceCount = 0;
        return false;
    }
    p.sampleInterval = static_cast<float>(store.current.headers[0].intervalUs * 0.001);

    // 10-11. The window and the summary.
    if (!(ws.settings.applyCurrentConfiguration && d.axesFixed)) {
        p.timeAxisStart = 0.0f;
        p.shownTime = longest;
        p.samplesShown = samples;
        p.tracesShown = count;
    }
    ui.Message(RecordSummaryMessage(count, p.sampleInterval, samples, Language(ws)));

    // 12-13. Scales for very short intervals and long spreads; seconds.
    if (!ws.settings.applyCurrentConfiguration) {
        if (p.sampleInterval < 0.02f && p.plotscale < 100.0f) {
            p.plotscale = 100.0f;
            p.hscale = 50.0f;
        }
        if (std::fabs(d.lastReceiver - d.firstReceiver) > 1000.0f && p.plotscale >= 10.0f) p.plotscale = 10.0f;
    }
    if (store.current.headers[0].component == 1000) d.secondsFlag = 1;

    // 14-15. The time offset, the CMP mark (the command that loaded the record matches its
    // stored picks once the document names it).
    d.displayTimeOffset = static_cast<float>(store.current.headers[0].delayUs * 0.001);
    if (info.fileName.find("cmp") != std::string::npos) d.cmpRecord = 1;
    return true;
}

void AppendLoadedTraces(Workspace& ws, UiHost& ui, int newCount, std::span<const CTraceHeader> records,
                        const LoadSetupInfo& info)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int old = store.TraceCount();
    const int end = std::clamp(old + std::max(newCount, 0), old,
                               std::max(old, std::min<int>(store.MaxTraces(), static_cast<int>(records.size()))));

    // 1. Flags and headers of the new traces.
    for (int i = old; i < end; ++i) {
        if (static_cast<size_t>(i) < p.selectionFlags.size()) p.selectionFlags[static_cast<size_t>(i)] = 0;
        store.current.headers[static_cast<size_t>(i)] = records[static_cast<size_t>(i)];
    }

    // 2. Their source and component; Cancel keeps what the file gave.
    EditSourceLocation(store.current.headers, old, end, ui, Language(ws));
    for (int i = old; i < end; ++i) {
        static_cast<CTraceHeader&>(store.headersEx[static_cast<size_t>(i)]) = store.current.headers[static_cast<size_t>(i)];
    }

    // 3. Count, samples, receiver range, peaks.
    p.traceCount = end;
    p.samplesPerTrace = MaxSampleCount(end, store.current.headers);
    WidenReceiverRange(ws, end, 100000.0f, -100000.0f);
    for (int i = old; i < end; ++i) store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    store.ComputeTraceMaxima();

    // 4. Kinds and display state of a waveform record.
    if (p.recordKind == kRecordWaveform) {
        store.dataKind() = kTimeDomain;
        KilometresForWideRecords(ws);
        ResetDisplayFilter(ws.displayFilter);
    }

    // 5-6. The window, the summary, the order.
    const CTraceHeader& first = store.current.headers[0];
    p.timeAxisStart = 0.0f;
    p.sampleInterval = static_cast<float>(first.intervalUs * 0.001);
    p.samplesShown = p.samplesPerTrace;
    p.tracesShown = end;
    p.shownTime = static_cast<float>(first.samples * p.sampleInterval);
    ui.Message(RecordSummaryMessage(end, p.sampleInterval, p.samplesPerTrace, Language(ws)));
    SortStoreByReceiver(store, end, info.moveStationRecords);
}

void GenericSetUp(Workspace& ws, UiHost& ui, int traceCount, int samples, float intervalMs,
                  const GenericSetUpOptions& options)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws.display;
    const int count = std::clamp(traceCount, 0, store.MaxTraces());
    samples = std::clamp(samples, 0, store.RowLength());

    p.traceCount = count;
    p.samplesPerTrace = samples;
    p.sampleInterval = intervalMs;
    if (options.showSummary) ui.Message(RecordSummaryMessage(count, intervalMs, samples, Language(ws)));

    for (int i = 0; i < count; ++i) {
        const int number = options.numberFromOne ? i + 1 : 1;
        const int64_t receiver = (static_cast<int64_t>(i) + options.firstReceiverNumber) * 100;
        store.current.headers[static_cast<size_t>(i)].Set(number, static_cast<int32_t>(receiver), 0, 1,
                                                          options.component, options.delayUs, intervalMs * 1000.0f,
                                                          samples);
        static_cast<CTraceHeader&>(store.headersEx[static_cast<size_t>(i)]) = store.current.headers[static_cast<size_t>(i)];
        store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    }
    store.ComputeTraceMaxima();

    const auto range = options.receiverRange.value_or(std::pair<float, float>{1.0f, static_cast<float>(count - 1)});
    d.firstReceiver = range.first;
    d.lastReceiver = range.second;
    p.timeAxisStart = 0.0f;
    p.samplesShown = samples;
    p.tracesShown = count;
    p.shownTime = static_cast<float>(samples * intervalMs);

    if (options.resetDisplayWindow) ResetDisplayFilter(ws.displayFilter);
    if (options.verticalScale) p.plotscale = *options.verticalScale;
    if (options.horizontalScale) p.hscale = *options.horizontalScale;
    if (options.secondsFlag) d.secondsFlag = *options.secondsFlag;
    if (options.timeDomain) store.dataKind() = kTimeDomain;
}

}  // namespace velk
