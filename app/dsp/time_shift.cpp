#include "app/dsp/time_shift.h"

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

bool ValidInterval(float dt) { return dt > 0.0f && std::isfinite(dt); }

// A sample count from a shift quotient, kept where an index can reach without overflow.
long long ClampedShift(double q) { return static_cast<long long>(std::clamp(q, -1.0e12, 1.0e12)); }

}  // namespace

long long ShiftedTraceLength(const Workspace& ws, float timeMs)
{
    const WaveformStore& store = ws.store;
    if (ws.settings.changeDataLength != 1 || !std::isfinite(timeMs)) return 0;
    const int rowLength = store.RowLength();
    long long longest = 0;
    for (int i = 0; i < store.TraceCount(); ++i) {
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const float dt = h.intervalUs * 0.001f;
        if (!EditsTrace(ws, h) || !ValidInterval(dt)) continue;
        const float q = timeMs / dt;
        const long long shift = ClampedShift(q > 0.0f ? std::trunc(q + 0.5f) : std::trunc(q - 0.5f));
        longest = std::max(longest, std::clamp(h.samples, 0, rowLength) - shift);
    }
    return longest;
}

int ShiftTraces(Workspace& ws, float timeMs, int pushUndo)
{
    WaveformStore& store = ws.store;
    if (!store.IsAllocated()) return 0;
    const int traces = store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        if (EditsTrace(ws, h) && !ValidInterval(h.intervalUs * 0.001f)) return 0;
    }
    if (!std::isfinite(timeMs)) return 0;
    if (pushUndo == 1) store.PushUndo();
    const int rowLength = store.RowLength();
    std::vector<float> old;
    for (int i = 0; i < traces; ++i) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        if (!EditsTrace(ws, h)) continue;
        const float dt = h.intervalUs * 0.001f;
        const float q = timeMs / dt;
        const long long shift = ClampedShift(q > 0.0f ? std::trunc(q + 0.5f) : std::trunc(q - 0.5f));
        const int oldCount = std::clamp(h.samples, 0, rowLength);
        int newCount = oldCount;
        if (ws.settings.changeDataLength == 1) {
            // A negative shift lengthens the trace, a shift beyond its length empties it: both
            // stay within what the readers take back (the commands refuse longer ones first).
            newCount = static_cast<int>(std::clamp<long long>(oldCount - shift, 0, std::min(rowLength, store.MaxSample())));
            h.samples = newCount;
        }
        const auto row = store.current.rows.Row(i);
        old.assign(row.begin(), row.begin() + oldCount);
        for (int j = 0; j < newCount; ++j) {
            const long long k = shift + j;
            row[static_cast<size_t>(j)] = k >= 0 && k < oldCount ? old[static_cast<size_t>(k)] : 0.0f;
        }
    }
    return 1;
}

int ShiftTracesCircular(Workspace& ws, float timeMs, int pushUndo)
{
    WaveformStore& store = ws.store;
    if (!store.IsAllocated()) return 0;
    const float interval = store.Params().sampleInterval;
    if (!ValidInterval(interval) || !std::isfinite(timeMs)) return 0;
    if (pushUndo == 1) store.PushUndo();
    const long long n = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    // Truncated toward zero; a time that is a whole number of samples up to float rounding
    // (a lag times the interval) counts as that number, not one less.
    const double q = static_cast<double>(timeMs) / static_cast<double>(interval);
    const double k = std::fabs(q - std::round(q)) < 1e-4 ? std::round(q) : std::trunc(q);
    if (n == 0) return 1;
    const long long shift = static_cast<long long>(std::fmod(k, static_cast<double>(n)));
    const int traces = store.TraceCount();
    std::vector<float> old;
    for (int i = 0; i < traces; ++i) {
        if (!EditsTrace(ws, store.current.headers[static_cast<size_t>(i)])) continue;
        const auto row = store.current.rows.Row(i);
        // Beyond a trace's own samples the row counts as zero.
        const long long own = std::clamp<long long>(store.current.headers[static_cast<size_t>(i)].samples, 0, n);
        old.assign(static_cast<size_t>(n), 0.0f);
        std::copy(row.begin(), row.begin() + own, old.begin());
        for (long long j = 0; j < n; ++j) {
            const long long m = ((j + shift) % n + n) % n;
            row[static_cast<size_t>(j)] = old[static_cast<size_t>(m)];
        }
    }
    return 1;
}

int ShiftTracesByReceiverTable(Workspace& ws, int count)
{
    WaveformStore& store = ws.store;
    if (!store.IsAllocated()) return 0;
    const float interval = store.Params().sampleInterval;
    if (!ValidInterval(interval)) return 0;
    const ReceiverShiftTable& table = ws.interactiveEdit.shiftTable;
    count = std::clamp(count, 0, table.Capacity());
    store.PushUndo();
    const int n = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const int traces = store.TraceCount();
    std::vector<float> old;
    for (int k = 0; k < count; ++k) {
        const float position = table.positions[static_cast<size_t>(k)];
        const float shift = table.shifts[static_cast<size_t>(k)];
        if (!std::isfinite(shift)) continue;
        const long long d = ClampedShift(std::trunc(static_cast<double>(shift / interval)));
        for (int i = 0; i < traces; ++i) {
            // Within 0.1 m, compared in hundredths; the position is taken as the decimal it
            // was written as, so 0.1 m away does not match whatever the float rounding.
            const double receiver = store.current.headers[static_cast<size_t>(i)].receiverHundredths;
            if (!(std::fabs(receiver - static_cast<double>(position) * 100.0) < 10.0 - 1e-3)) continue;
            const auto row = store.current.rows.Row(i);
            old.assign(row.begin(), row.begin() + n);
            for (int m = 0; m < n; ++m) {
                const long long from = d + m;
                row[static_cast<size_t>(m)] = from >= 0 && from < n ? old[static_cast<size_t>(from)] : 0.0f;
            }
        }
    }
    return 1;
}

}  // namespace velk
