#pragma once
// The display low-cut/high-cut filter (View > Option > Fuzz filter: Filter, LCF, HCF) and
// Edit > Redo.
//
// LCF and HCF always filter the record from its unfiltered state: the first press pushes an
// undo snapshot and filters; a later press restores that snapshot, pushes it again and filters
// with the next cut. Filter takes the record back in one step. The filter counts as applied
// only while its own snapshot is the newest one: a command that pushed since (or an undo) has
// made the filtered record its own, and restoring the snapshot would throw that away.

#include <string>

namespace velk {

class UiHost;
class Workspace;

// The filter is on and no other command has pushed an undo snapshot since its own.
bool IsDisplayFilterApplied(const Workspace& ws);

// "Status :" followed by " LCF=%fHz " when the low cut is above 0 and " HCF=%fHz " when the
// high cut is above 0.
std::string DisplayFilterStatus(const Workspace& ws);

// Filters every trace with the display filter's curve: transform length
// L = FftLength(largest header sample count, 2), a slope curve of L/2 values on trace 1's
// interval. highCut >= 0: slopes 20/20 dB per octave, and without a low cut (lowCut < 0)
// 1.0 Hz with a flat low side; highCut < 0: no high side (1000.0 Hz, flat) and the low cut with
// 20 dB per octave. Returns L (0 when there is nothing to filter or no usable interval).
int ApplyDisplayFilter(Workspace& ws, float highCut, float lowCut);

// One step of the cuts, then filter and refresh the trace maxima. Both return the new cut.
// High: the initial high cut first, then x the high-cut step, never below the low cut.
// Low: the initial low cut first, then x the low-cut step, never above a set high cut.
float StepHighCut(Workspace& ws);
float StepLowCut(Workspace& ws);

// LCF (Ctrl+L) and HCF (Ctrl+H): restore the unfiltered record when the filter is applied,
// push it, step the cut and filter. Refuse a record without a usable interval with a message.
// Return 1 (repaint) or 0.
int OnLowCutFilter(Workspace& ws, UiHost& ui);
int OnHighCutFilter(Workspace& ws, UiHost& ui);
// Filter: while applied, the unfiltered record comes back and nothing is left to undo or redo.
int OnDisplayFilter(Workspace& ws);

// Edit > Redo: the state the last undo replaced comes back (Undo then returns to the state
// before the redo). Enabled after an undo while the display filter is not applied.
bool CanRedo(const Workspace& ws);
int OnEditRedo(Workspace& ws);

}  // namespace velk
