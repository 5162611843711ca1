#pragma once
// "Vertical stack", "Subtract" and "Connect": each group of consecutive traces with one
// receiver word (after the traces are sorted by receiver) becomes one trace. The sort comes
// before the undo snapshot, so Undo returns the sorted record. Group g becomes trace g with
// the header of the group's last trace, numbered g from 0; the record then holds one trace
// per group. Groups may hold any number of traces.
//
// Vertical stack and Subtract work over trace 1's sample count; a shorter trace contributes
// zeros beyond its own samples. Connect joins each trace's own samples.

#include <string>

namespace velk {

class ProgressSink;
class UiHost;
class Workspace;

std::string StackProgressText(int trace);                // "Vertical stacking : trace = %d       "
std::string SubtractProgressText(int trace);             // "Subtracting : trace = %d       "
std::string ConnectProgressText(int trace, int count);   // "Connecting : trace = %d N = %d      "

// Vertical stack without the dialog: method and window in samples as CVerticalStackDlg::Stack
// takes them. Returns 1 (0 with no traces, nothing changed).
int StackGroups(Workspace& ws, ProgressSink& progress, int method, int windowSamples);

// The vertical stack with its dialog is CWaveOperations::VerticalStack (app/operations.h):
// dialog 158 preset with method 0 (Cancel changes nothing); the semblance methods need a
// sample interval above 0 and are refused before any change otherwise.

// Subtract: the second trace of each group minus the first; a group of one trace is kept as
// it is.
int OnSubtract(Workspace& ws, ProgressSink& progress);

// Connect: the traces of each group end to end; the joined trace's count word is the total,
// and the record's samples per trace become the new first trace's count. Refused before any
// change ("The number of samples was too large ! ...") when a joined trace would be longer
// than MAX_SAMPLE.
int OnConnect(Workspace& ws, UiHost& ui, ProgressSink& progress);

}  // namespace velk
