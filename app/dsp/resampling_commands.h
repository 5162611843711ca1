#pragma once
// Re-sampling and interpolation: "Re-sampling (use spline interpolatiopn)" and "Time
// interpolation(Freq. domain)" (Edit > Resample data), "Trace interpolation(FK)" and "Trace
// thinning out" (Option > etc.), and the unfinished "Time interpolation(Freq. domain,
// Unaliased)", "Trace interpolation(FK, Unaliased)" and "Trace interpolation(FX, Unaliased)"
// (Option > Under construction), with their menu rows.
//
// Every command checks its input first and refuses with a message before the undo snapshot;
// then it pushes undo, transforms, recomputes the trace maxima and returns 1 (repaint). The
// interpolations keep unit amplitude and every sample of the traces.

#include <string>

namespace velk {

class CommandTable;
class ProgressSink;
class UiHost;
class Workspace;

namespace cmd {
constexpr int kSplineResample = 26020;
constexpr int kTimeInterpolation = 26021;
constexpr int kTraceInterpolationFk = 26022;
constexpr int kTraceThinning = 26023;
constexpr int kTimeInterpolationUnaliased = 26024;
constexpr int kTraceInterpolationFkUnaliased = 26025;
constexpr int kTraceInterpolationFxUnaliased = 26026;
}  // namespace cmd

std::string ResamplingProgressText(int trace);           // " Resampling : trace = %d "
std::string TimeInterpolationProgressText(int trace);    // " Time interpolation : Trace = %d "
std::string UnaliasedProgressText(int trace);            // " Unaliased interpolation : Trace = %d "

// Dialog 199 preset to the current interval; each trace (on its header's interval dt, with an
// extra end point repeating the last sample) re-sampled by the spline to m = trunc(dt / dt' x
// n) samples at dt'. Refused: dt' not above 0, a trace interval not above 0, or an m above the
// row length ("The number of samples was too large ! \n Maximum sample number is %d ").
int OnSplineResample(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Each trace zero-filled to N = PowerOfTwoLength(samples), zeros stuffed into the middle of a
// 2N spectrum, 2 x samples kept at half the interval (even samples equal the input). Refused
// when 2 x samples exceeds the row length. unaliased: the midpoints of InterpolateMidpoints.
int OnTimeInterpolation(Workspace& ws, UiHost& ui, ProgressSink& progress, bool unaliased);
// 2n traces at half the receiver spacing by zero-stuffing the wavenumber spectrum.
int OnTraceInterpolationFk(Workspace& ws, UiHost& ui, ProgressSink& progress);
// 2n - 1 traces: midpoints of the wavenumber transform of C = 256, 512 or 1024 traces.
int OnTraceInterpolationFkUnaliased(Workspace& ws, UiHost& ui, ProgressSink& progress);
// 2n - 1 traces: between neighbours the complex geometric mean of their spectra, then sorted by
// receiver.
int OnTraceInterpolationFxUnaliased(Workspace& ws, UiHost& ui, ProgressSink& progress);
// n / 2 traces: trace j takes the samples, every header word, the pick and layer code of old
// trace 2j, and the number j + 1.
int OnTraceThinning(Workspace& ws, UiHost& ui);

void AddResamplingCommands(CommandTable& table);

}  // namespace velk
