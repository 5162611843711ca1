#pragma once
// NMO correction of the loaded record, and the reflection gathers of a survey line that the
// file-group commands show: the constant-velocity CDP stack, the common-offset gather (one
// trace per file) and the collection of one trace per shot at the chosen offset.

#include <span>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class CFileGroup;
struct GroupReadContext;
class ProgressSink;
class UiHost;
class Workspace;

// Option > Processing > "NMO correction": dialog 189 preset with the remembered NMO velocity
// (km/s); on OK it is kept, undo is pushed and every trace is corrected.
int OnNmoCorrection(Workspace& ws, UiHost& ui);

// What a gather run needs besides the group and the output: where refusals and progress go,
// and the trace capacity (MAXTRACES) that bounds both a midpoint's traces and the output rows.
struct GatherRun {
    UiHost& ui;
    ProgressSink& progress;
    int language;
    int capacity;
    // How listed files are read (folders, log); none: against the process folder, no log.
    const GroupReadContext* read = nullptr;
};

// The CDP stack at one velocity: for every midpoint of the group its traces are NMO-corrected
// and summed into output row cdp, with the midpoint header (StackToOne). Progress "Constant
// velocity stacking ! CDP=%d # of traces=%d". Returns the number of CDPs; 0 after a refusal
// (more CDPs than the capacity or the output holds, a midpoint with more traces than the
// capacity, or a trace longer than the rows), with the message and nothing written.
int ConstantVelocityStack(CFileGroup& group, Matrix2D<float>& outRows, std::span<CTraceHeader> outHeaders,
                          const GatherRun& run, float velocity);

// One trace per file: each file of the group is made current and read, and its trace whose
// offset |receiver - source| / 100 is nearest the group's chosen offset (the first of equals)
// goes to output row i (a file without traces gives a zero row and a zero header). Progress
// "File=%d/%d". Returns the number of files; 0 after a refusal as above.
int BuildCommonOffsetGather(CFileGroup& group, std::span<CTraceHeader> outHeaders, Matrix2D<float>& outRows,
                            const GatherRun& run);

// One trace per shot at most: the marks are cleared; among a shot's entries with the receiver
// beyond the source (source word < receiver word) the one whose offset is nearest the chosen
// offset is collected and marked, unless its receiver is that of the trace collected before.
// Progress "Source=%d/%d". Returns the number collected; 0 after a refusal as above.
int CollectOffsetTraces(CFileGroup& group, Matrix2D<float>& outRows, std::span<CTraceHeader> outHeaders,
                        const GatherRun& run);

}  // namespace velk
