#pragma once
// Phase velocities read from the trace pairs of the record in the store: two selected traces
// ("From two traces(cross correlation)"), the stacked cross-correlation of neighbouring traces
// ("From all traces (cross correlation average)") and their mean phase difference ("From all
// traces (phase difference average)"), whose velocities become the traces' picks. The kernels
// are in surfacewave/phase_difference.h.
//
// Command ids 28850..28899, enable rules 2900..2909.

namespace velk {

class CommandTable;
struct CommandContext;

namespace cmd {
constexpr int kPhaseFromTwoTraces = 28850;
constexpr int kCrossCorrelationAverage = 28851;
constexpr int kPhaseDifferenceAverage = 28852;
}  // namespace cmd

enum TracePairRule : int {
    kRuleMoreThanOneTrace = 2900,  // the record holds more than one trace
};

// The first two selected traces (lowest indices) to ShowPhaseDifference, with the settings'
// "N shift"; fewer than two: " Select 2 traces ! ". Returns 0 (no repaint).
int OnPhaseFromTwoTraces(CommandContext& ctx);
// CrossCorrelationAverageCurve on the record, its dialog included. Returns 0.
int OnCrossCorrelationAverage(CommandContext& ctx);
// PhaseDifferenceCurve on the record (time-domain data) or on undo level 1, the record the
// transformation kept (any other data kind); bin k's velocity becomes trace k's pick, for the
// traces of the current record only. Then the automatic picker when automatic processing runs
// in its refraction mode, else the picks are marked as phase-velocity picks. Returns 1 to
// repaint, 0 on Cancel.
int OnPhaseDifferenceAverage(CommandContext& ctx);

void AddTracePairCommands(CommandTable& table);

}  // namespace velk
