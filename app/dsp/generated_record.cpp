#include "app/dsp/generated_record.h"

#include <algorithm>
#include <string>

#include "app/dsp/data_kind.h"
#include "app/record_arrival.h"
#include "app/workspace.h"
#include "platform/uihost.h"

namespace velk {

namespace {

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

}  // namespace

// Refuses a record that does not fit the store, or an unusable interval.
bool FitsStore(Workspace& ws, UiHost& ui, int traces, int samples, float intervalMs)
{
    const WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (traces > store.MaxTraces()) {
        Warn(ui, TracesTooLargeText(language, store.MaxTraces()));
        return false;
    }
    if (!CheckRecordFitsMaxSample(ws, ui, samples)) return false;
    return CheckIntervalMs(ws, ui, intervalMs);
}

// Undo, then an empty record of `traces` x `samples` at the interval: zero rows (and
// imaginary rows), default headers with the generators' words, fresh per-trace arrays.
void BeginRecord(Workspace& ws, int traces, int samples, float intervalMs, int kind, float headerIntervalUs)
{
    WaveformStore& store = ws.store;
    BeforeRecordReplaced(ws);
    store.PushUndo();
    CParameterSet& p = store.Params();
    for (int i = 0; i < traces; ++i) {
        const auto row = store.current.rows.Row(i);
        std::fill(row.begin(), row.end(), 0.0f);
        const auto imag = store.current.imag.Row(i);
        std::fill(imag.begin(), imag.end(), 0.0f);
        store.current.headers[static_cast<size_t>(i)].Set(i + 1, 0, 0, 1, 1, 1.0f, headerIntervalUs, samples);
        store.headersEx[static_cast<size_t>(i)] = CTraceHeaderEx{};
    }
    const auto n = static_cast<size_t>(traces);
    std::fill_n(p.pickTimes.begin(), n, 0.0f);
    std::fill_n(p.layerCodes.begin(), n, 1);
    std::fill_n(p.selectionFlags.begin(), n, 0);
    std::fill_n(store.displayFactor.begin(), n, 1.0f);
    std::fill_n(store.mark.begin(), n, 0);
    std::fill_n(store.pickAmplitude.begin(), n, 0.0f);
    std::fill_n(store.timeShift.begin(), n, 0.0f);
    p.traceCount = traces;
    p.samplesPerTrace = samples;
    p.sampleInterval = intervalMs;
    p.recordKind = 0;
    store.dataKind() = kind;
    store.transformFlag() = 0;
}

// The display of a generated record: the whole of it from its first sample.
void ShowRecord(Workspace& ws, float firstReceiver, float lastReceiver, float plotscale, float hscale)
{
    CParameterSet& p = ws.store.Params();
    DisplayState& d = ws.display;
    p.timeAxisStart = 0.0f;
    p.windowStartTime = 0.0f;
    p.samplesShown = p.samplesPerTrace;
    p.tracesShown = p.traceCount;
    p.plotscale = plotscale;
    p.hscale = hscale;
    p.shownTime = static_cast<float>(p.samplesPerTrace) * p.sampleInterval;
    d.firstSampleShown = 0;
    d.firstTraceShown = 0;
    d.firstReceiver = firstReceiver;
    d.lastReceiver = lastReceiver;
    d.axesFixed = 0;
    AfterRecordBuilt(ws);
}

float TimeScaleFor(int samples) { return samples > 4096 ? 2.0f : samples > 2048 ? 5.0f : 25.0f; }

}  // namespace velk
