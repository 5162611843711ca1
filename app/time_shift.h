#pragma once
// The time-shift routines of trace editing: every trace of the component to be edited
// (Workspace::componentToEdit, -1 for all) is shifted in time, reading its samples from undo
// level 1, so that a command that shifts several times after one snapshot never shifts a
// trace twice. A positive time moves the waveforms to earlier times (the sample at that time
// becomes sample 0).

namespace velk {

class Workspace;

// Shift with zero fill. Each trace uses its own header's interval: h = timeMs / interval
// rounded half away from zero; sample j := old sample h + j inside the old count, else 0.
// With bChangeDataLength 1 the trace's count becomes n - h, kept within 0..MAX_SAMPLE.
// pushUndo 1 takes the snapshot first. A trace whose interval is not above 0 is left alone.
void ShiftTraces(Workspace& ws, float timeMs, int pushUndo);

// Circular shift of the first `samples per trace` values by k = trunc(timeMs / the store's
// interval) samples (a whole number of samples up to rounding counts as that number): sample
// j := old sample (j + k) mod N. Nothing when the store's interval is not above 0.
void ShiftTracesCircular(Workspace& ws, float timeMs, int pushUndo);

}  // namespace velk
