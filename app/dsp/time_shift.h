#pragma once
// The time-shift routines of trace editing. Every trace of the component to be edited
// (Workspace::componentToEdit, -1 for all) is shifted in time; a positive time moves the
// waveforms to earlier times (the sample at that time becomes sample 0). Each trace is read
// from a copy of its own current samples, so the result is the same whether or not the caller
// pushed an undo snapshot, and the undo levels never leak into the record.
//
// A sample interval that is not above 0 is refused: the routines then change nothing and
// return 0 (the commands check the intervals with their message first, app/dsp/data_kind.h).

#include "app/view/interactive_edit_state.h"

namespace velk {

class Workspace;

// Shift with zero fill. Each trace uses its own header's interval: h = timeMs / interval
// rounded half away from zero; sample j := old sample h + j inside the old count, else 0.
// With bChangeDataLength 1 the trace's count becomes n - h, kept within 0 .. MAX_SAMPLE (the
// commands refuse a longer result first, with ShiftedTraceLength).
// pushUndo 1 takes the snapshot first. Returns 0 (nothing changed) when a trace to be shifted
// has an interval that is not above 0, else 1.
int ShiftTraces(Workspace& ws, float timeMs, int pushUndo);

// The longest trace ShiftTraces (ws, timeMs) would leave: with bChangeDataLength 1, the largest
// n - h over the traces it shifts; 0 when the lengths do not change.
long long ShiftedTraceLength(const Workspace& ws, float timeMs);

// Circular shift of the first `samples per trace` values by k = trunc(timeMs / the store's
// interval) samples (a whole number of samples up to rounding counts as that number): sample
// j := old sample (j + k) mod N, the modulo taken into 0 .. N - 1. Returns 0 (nothing changed)
// when the store's interval is not above 0, else 1.
int ShiftTracesCircular(Workspace& ws, float timeMs, int pushUndo);

// The table shift: undo first, then for each of the first `count` pairs in order and each
// trace whose receiver (m) lies within 0.1 m of the pair's position: d = trunc(shift / the
// store's interval); sample m := old sample d + m for 0 <= d + m < N, else 0, over the store's
// samples per trace N (bounded by the row). A trace matched by two pairs is shifted twice.
// Returns 0 (nothing changed) when the store's interval is not above 0 or nothing is loaded.
int ShiftTracesByReceiverTable(Workspace& ws, int count);

}  // namespace velk
