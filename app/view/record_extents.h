#pragma once
// The extents of the record on show and the display window into it: recomputed after a record
// was read or a gather built, and kept inside the record by every command that moves it.

#include <string>

namespace velk {

class Workspace;

// Scales are kept within these limits, so that repeated reductions never reach 0 (from which
// no enlargement returns) and repeated enlargements never reach infinity.
constexpr float kScaleMin = 1e-20f;
constexpr float kScaleMax = 1e20f;
// The value within [kScaleMin, kScaleMax]; a NaN becomes kScaleMin.
float ClampScale(float value);
// scale := ClampScale(scale x factor), the product taken in double.
void MultiplyScale(float& scale, double factor);

// The set-up step after a record was read or built (replace 1 on a first load):
//   - samples per trace := the largest sample count of the traces (0 without traces); the
//     interval := the first header's interval (µs) x 0.001 ms; without traces it stays;
//   - the receivers of the titles := the first and last header's receiver;
//   - time-axis start 0, samples shown := samples per trace, traces shown := trace count,
//     shown time := samples per trace x interval; the window starts at the first trace and
//     sample;
//   - with replace 1, once per run: plotscale 50 and hscale 25 (5 above 2048 samples, 2 above
//     4096);
//   - the trace maxima, and the axes are no longer fixed.
// Returns false when the interval is 0, negative or not finite (everything else is still
// set); the caller says so with InvalidIntervalMessage. Nothing here divides by it.
bool RecalcRecordExtents(Workspace& ws, int replace);

// The sample step (µs) a trace is drawn and read with: its header's interval word, except on a
// dispersion or coherence image whose header word holds the step cut to whole thousandths
// (trunc(df x 1000)): there the exact step that the store's interval carries beside it.
double DrawnIntervalUs(const Workspace& ws, int trace);

// Whether a sample interval (ms) can be drawn and processed.
bool IsValidInterval(float intervalMs);
// "The sampling time of this record is not valid." in the language.
std::string InvalidIntervalMessage(int language);

// After a return from a real-valued spectrum: traces shown, samples shown, hscale,
// normalisation and the axis kinds come back from the level-1 parameter set, kept inside the
// record; the data kind becomes time domain.
void RestoreDisplayFromLevel1(Workspace& ws);

// Keeps the display window inside the record: traces and samples shown at most the counts
// (and not negative), the first trace and sample at most count - shown and at least 0; the
// window start and shown time follow the first sample and the samples shown.
void ClampDisplayWindow(Workspace& ws);
// The same after a command that changed the trace count from `tracesBefore`: when the record
// has more traces now, all of them are shown, from the first; fewer are kept as above.
void FitDisplayWindow(Workspace& ws, int tracesBefore);

}  // namespace velk
