#pragma once
// Correlation and convolution with a reference trace, autocorrelation, the automatic time
// alignment of other components by correlation or semblance (also for S-wave records), the
// refraction convolutions, "Reduce DC", "Select all traces" and "Sort respect to trace
// distance(depth)"; with the menu rows of these and of the stacking commands.
//
// The reference trace is the first selected trace (the lowest index whose selection flag is
// 1), copied before anything changes. Within a command, a trace contributes its own samples
// (its header's count) and zeros beyond them. Every command returns 1 when the view must be
// repainted. Capacity and interval refusals come with their message before any change.

#include <string>

namespace velk {

class CommandTable;
class ProgressSink;
class UiHost;
class Workspace;

// Command ids: 25000..25199; rule ids 2500..2519.
namespace cmd {
constexpr int kCorrelationTimeDomain = 25000;   // Option > Processing > Option
constexpr int kCrossCorrelation = 25001;        // Option > Processing
constexpr int kConvolutionTimeDomain = 25002;   // Option > Processing > Option
constexpr int kConvolution = 25003;             // Option > Processing
constexpr int kAutoCorrelation = 25004;         // Option > Processing
constexpr int kCrossCorrelation2048 = 25005;    // Option > etc. > etc. > Old FFT
constexpr int kAutoShiftCorrelation = 25006;    // Edit > Time shift traces > Automatic shift
constexpr int kAutoShiftSemblance = 25007;
constexpr int kSWaveCorrelation = 25008;        // Edit > Time shift traces > ... for S-waves
constexpr int kSWaveSemblance = 25009;
constexpr int kRefractionConvolution = 25010;   // Option > Under construction > Refraction analysis
constexpr int kReversedConvolution = 25011;
constexpr int kReduceDc = 25012;                // Option > Processing
constexpr int kCoherence = 25013;               // Option > Processing (Japanese menu only)
constexpr int kSelectAllTraces = 25014;         // Edit
constexpr int kSortByDistance = 25015;          // Option > etc.
constexpr int kVerticalStack = 25020;           // Option > Processing
constexpr int kSubtract = 25021;                // Option > Processing > Option
constexpr int kConnect = 25022;                 // Option > Processing > Option
}  // namespace cmd

enum CorrelationRule : int {
    // Traces are selected and the surface-wave subsystem provides "Coherence".
    kRuleCoherence = 2500,
    // Time-domain traces and the surface-wave subsystem provides the correlation up to 2048.
    kRuleCorrelation2048 = 2501,
};

// Progress texts, trace numbers from 1.
std::string CorrelationProgressText(int trace);  // " Correlation : trace = %d "
std::string ConvolutionProgressText(int trace);  // " Convolution : trace = %d "
std::string SemblanceProgressText(int trace);    // " Semblance calculation : trace = %d "

// The first selected trace, or -1.
int ReferenceTrace(const Workspace& ws);

// Correlation(time domain): each trace becomes minus its circular correlation with the
// reference over n = max(512, PowerOfTwoLength(samples)) samples, both zero-filled to n
// (records of at most 512, exactly 1024 or exactly 2048 samples keep their length); samples
// per trace and every count := n. Without a reference: "基本波形が指定されていません" and no
// undo snapshot.
int OnCorrelationTimeDomain(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Cross correlation: every trace, the reference too, becomes (1/N) sum_m ref[m] x[m + lag],
// N = PowerOfTwoLength(samples) lags; samples per trace and every count := N. Pushes its undo
// snapshot before it looks for the reference ("基本波形が指定されていません").
int OnCrossCorrelation(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Convolution(time domain): each trace becomes minus its circular convolution with the
// reference over the samples per trace; every count := samples per trace.
int OnConvolutionTimeDomain(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Convolution: every trace that is not selected becomes (1/N) x its circular convolution with
// the reference at N = PowerOfTwoLength(samples), first `samples` values; selected traces are
// left as they are. Pushes its snapshot before it looks for the reference ("Select a trace !").
int OnConvolution(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Auto correlation: every trace becomes (1/N) x its circular autocorrelation at N, first
// `samples` values.
int OnAutoCorrelation(Workspace& ws, UiHost& ui, ProgressSink& progress);

// The automatic shift: for every trace at the reference's receiver with another component,
// the lag of the largest |circular correlation| (the first one on ties; above samples/2 it
// counts from the end, lag - samples) shifts every trace of that component by lag x dt ms:
// mode 1 circularly, any other mode with zero fill. The component to be edited is -1
// afterwards. Pushes its snapshot, then returns 0 without a reference ("Select a trace !"),
// else 1.
int AutoShiftByCorrelation(Workspace& ws, UiHost& ui, int mode);
// Edit > ... > Automatic shift > Correlation: mode 0; on success the data is modified.
int OnAutoShiftByCorrelation(Workspace& ws, UiHost& ui);
// Automatic shift > Semblance: the same with SemblanceCorrelation and zero fill
// ("基本波形が指定されていません").
int OnAutoShiftBySemblance(Workspace& ws, UiHost& ui);

// Automatic correction for S-waves: pairs every trace of the first trace's component with
// every trace of another component at its receiver, measures |correlation| of the first trace
// with the negated second (by correlation over the first M = PowerOfTwoLength(samples)/2
// samples, or by semblance over all samples), sums the pairs each divided by its own peak,
// and shifts every trace of the paired component by the lag of the largest sum. The
// component to be edited stays at the shifted component.
int OnSWaveCorrectionByCorrelation(Workspace& ws, UiHost& ui, ProgressSink& progress);
int OnSWaveCorrectionBySemblance(Workspace& ws, UiHost& ui, ProgressSink& progress);

// Refraction analysis > Convolution / Reversed convolution: one output trace per pair of a
// component-1 and a component-2 trace at one receiver, (1/N) x the circular convolution at N
// (the second trace reversed into the end of the N points for `reversed` 1), with the first
// trace's header. Refused before any change when the pairs outnumber the trace capacity.
int OnRefractionConvolution(Workspace& ws, UiHost& ui, ProgressSink& progress, int reversed);

// Reduce DC: every trace minus its mean over its own samples, with undo.
int OnReduceDc(Workspace& ws);

// Select all traces: every trace of the component to be edited is selected (other flags stay);
// edit mode 5 (trace selection).
int OnSelectAllTraces(Workspace& ws);
// Sort respect to trace distance(depth): every per-trace array of the record in one stable
// receiver order.
int OnSortByDistance(Workspace& ws);

// Adds the rows above and the stacking rows (app/dsp/stack_commands.h) with their menus and rules.
void AddCorrelationCommands(CommandTable& table);

}  // namespace velk
