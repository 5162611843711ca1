#include "app/time_shift.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/workspace.h"

namespace velk {

namespace {

bool EditsTrace(const Workspace& ws, const CTraceHeader& h)
{
    return ws.componentToEdit == -1 || h.component == ws.componentToEdit;
}

// The set the shift reads: undo level 1 when a snapshot exists, else the record itself (read
// through a copy of each row).
const DataSet& Source(const WaveformStore& store)
{
    return store.undoDepth > 0 ? store.level1 : store.current;
}

}  // namespace

void ShiftTraces(Workspace& ws, float timeMs, int pushUndo)
{
    WaveformStore& store = ws.store;
    if (!store.IsAllocated()) return;
    if (pushUndo == 1) store.PushUndo();
    const DataSet& from = Source(store);
    const int rowLength = store.RowLength();
    const int traces = store.TraceCount();
    std::vector<float> old;
    for (int i = 0; i < traces; ++i) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        if (!EditsTrace(ws, h)) continue;
        const float dt = h.intervalUs * 0.001f;
        if (!(dt > 0.0f) || !std::isfinite(dt)) continue;
        const float q = timeMs / dt;
        const double rounded = q > 0.0f ? std::trunc(q + 0.5f) : std::trunc(q - 0.5f);
        if (!std::isfinite(rounded) || std::fabs(rounded) > 1e9) continue;
        const long long shift = static_cast<long long>(rounded);
        const int oldCount = std::clamp(from.headers[static_cast<size_t>(i)].samples, 0, rowLength);
        int newCount = std::clamp(h.samples, 0, rowLength);
        if (ws.settings.changeDataLength == 1) {
            newCount = static_cast<int>(std::clamp<long long>(oldCount - shift, 0, store.MaxSample()));
            h.samples = newCount;
        }
        const auto src = from.rows.Row(i);
        old.assign(src.begin(), src.begin() + oldCount);
        const auto row = store.current.rows.Row(i);
        for (int j = 0; j < newCount; ++j) {
            const long long k = shift + j;
            row[static_cast<size_t>(j)] = k >= 0 && k < oldCount ? old[static_cast<size_t>(k)] : 0.0f;
        }
    }
}

void ShiftTracesCircular(Workspace& ws, float timeMs, int pushUndo)
{
    WaveformStore& store = ws.store;
    if (!store.IsAllocated()) return;
    const float interval = store.Params().sampleInterval;
    if (!(interval > 0.0f) || !std::isfinite(interval)) return;
    if (pushUndo == 1) store.PushUndo();
    const DataSet& from = Source(store);
    const long long n = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    // Truncated toward zero; a time that is a whole number of samples up to float rounding
    // (a lag times the interval) counts as that number, not one less.
    const double q = static_cast<double>(timeMs) / static_cast<double>(interval);
    const double k = std::fabs(q - std::round(q)) < 1e-4 ? std::round(q) : std::trunc(q);
    if (n == 0 || !std::isfinite(k)) return;
    const long long shift = static_cast<long long>(std::fmod(k, static_cast<double>(n)));
    const int traces = store.TraceCount();
    std::vector<float> old;
    for (int i = 0; i < traces; ++i) {
        if (!EditsTrace(ws, store.current.headers[static_cast<size_t>(i)])) continue;
        // A snapshot holds a trace's own samples only; beyond them the trace counts as zero.
        const long long own = std::clamp<long long>(from.headers[static_cast<size_t>(i)].samples, 0, n);
        const auto src = from.rows.Row(i);
        old.assign(static_cast<size_t>(n), 0.0f);
        std::copy(src.begin(), src.begin() + own, old.begin());
        const auto row = store.current.rows.Row(i);
        for (long long j = 0; j < n; ++j) {
            const long long m = ((j + shift) % n + n) % n;
            row[static_cast<size_t>(j)] = old[static_cast<size_t>(m)];
        }
    }
}

}  // namespace velk
