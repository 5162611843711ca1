#pragma once
// The steps every generator of a synthetic record shares: the capacity check before anything
// changes, the empty record after an undo snapshot, and the display of the new record.

namespace velk {

class UiHost;
class Workspace;

// Refuses a record that does not fit the store, or an unusable interval.
bool FitsStore(Workspace& ws, UiHost& ui, int traces, int samples, float intervalMs);

// Undo, then an empty record of `traces` x `samples` at the interval: zero rows (and
// imaginary rows), default headers with the generators' words, fresh per-trace arrays.
void BeginRecord(Workspace& ws, int traces, int samples, float intervalMs, int kind, float headerIntervalUs);

// The display of a generated record: the whole of it from its first sample.
void ShowRecord(Workspace& ws, float firstReceiver, float lastReceiver, float plotscale, float hscale);

// The horizontal (time) scale of a record of `samples` samples.
float TimeScaleFor(int samples);

}  // namespace velk
