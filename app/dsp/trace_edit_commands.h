#pragma once
// The trace-editing commands: delete, kill and insert traces, reverse a 24-channel spread, the
// apparent-velocity and mouse mutes, pre-trigger, the Fourier time shift and derivative, the
// time shift by component, decimation, record length, "Set maximum amplitude to 1",
// integration in time, "Duration time", single-frequency extraction, Fourier decomposition,
// the strong-motion spectra, and the small settings commands of the same menus; with the
// operations the mouse, the mute and the file-group commands call.
//
// Each command gathers its input through the UiHost, checks it, pushes undo where it changes
// the record, transforms it, refreshes the maxima and returns 1 when the view must be
// repainted. A refusal shows its message before anything changes; Cancel changes nothing.

#include <cstdint>

#include "base/trace_header.h"

namespace velk {

class CFileGroup;
class UiHost;
class WaveformStore;
class Workspace;

// The eight words of a header.
void CopyTraceHeader(CTraceHeader& destination, const CTraceHeader& source);

// Edit > Selected traces > "Kill trace": the selected traces become zero (undo first; the
// modified flag). With a file group holding files, "Kill trace for all waveform data ?"
// (Yes/No): Yes zeroes the traces at the same receivers in every file of the group.
int OnKillTrace(Workspace& ws, UiHost& ui);

// Edit > Option > "Insert trace": dialog 140 preset with the last distance; on OK one zero
// trace at that receiver position (cm) is appended with the last trace's sample count, delay,
// gain, component, interval and source; into an empty store with the store's interval and
// sample count (1 ms and the capacity, at most 1024 samples, where the store has none). Then
// the traces are sorted by receiver. Refused when the store is full.
int OnInsertTrace(Workspace& ws, UiHost& ui);

// Edit > Option > Reverse spread > "1 to 24": traces 0..23 exchange their samples and sample
// counts end for end (their other header words stay). Enabled with more than 23 traces.
int OnReverseSpread(Workspace& ws);
bool CanReverseSpread(const Workspace& ws);
// The reversal itself, without undo: the record's first 24 traces as above, then sorted by
// receiver, maxima, receiver range.
void ReverseTraceOrder(Workspace& ws);
// Every shot of the group's table with at least 24 traces: its gather is built into the store, undo is
// pushed, the spread reversed and the gather written back. Returns the shots reversed.
int ReverseTraceOrderInGroup(Workspace& ws, CFileGroup& group);

// Option > Processing > Mute > "Mute(apparent velocity)": dialog 232 preset from the mute
// record; every trace muted outside the arrivals between the two velocities. A maximum
// velocity that is not above 0 is refused.
int OnApparentVelocityMute(Workspace& ws, UiHost& ui);
// Option > Processing > Mute > "Mute(by mouse)": edit mode 9, no mute points yet.
int OnMuteByMouse(Workspace& ws);
// The mouse mute's end: every trace at receiver x (m) is kept from intercept1 + x / velocity1
// to intercept2 + x / velocity2 (ms; velocities in km/s), with 30 ms tapers. Undo first. A
// velocity of 0 is refused.
int TaperAllTraces(Workspace& ws, UiHost& ui, float intercept1, float intercept2, float velocity1,
                   float velocity2);

// Edit > Time shift traces > "Edit pre-trigger": dialog 240 preset with minus the display time
// offset; on OK the offset becomes minus the value, every delay word the offset in µs, and
// the time axis starts at trace 1's delay. No undo.
int OnEditPretrigger(Workspace& ws, UiHost& ui);

// Option > Fourier analysis > "Time shift" (dialog 144) and "Differential": complex
// frequency-domain data only ("周波数領域の波形ではありません" otherwise, in every language).
// No undo; the maxima of the real and imaginary rows are refreshed.
int OnFourierTimeShift(Workspace& ws, UiHost& ui);
int OnFourierDifferential(Workspace& ws, UiHost& ui);

// Edit > Time shift traces > "Time-shift (by component)": dialog 328; component c's traces
// (c = 1 up to the largest component of the record, at most 10) move by the c-th value
// (positive = earlier). Undo first; the modified flag.
int OnTimeShiftByComponent(Workspace& ws, UiHost& ui);

// Edit > Resample data > "Every other", "Every 4th", "Every 8th", "Every 5th": every k-th
// sample; trunc(n / k) samples at k times the interval; the modified flag.
int OnDecimate(Workspace& ws, int k);

// Edit > Change record length > "Arbitrary": dialog 166 "Data length" preset with the samples
// per trace, then the record-length change of the view core.
int OnRecordLengthArbitrary(Workspace& ws, UiHost& ui);

// Option > etc. > Amplitude correction > "Set maximum amplitude to 1": every sample divided by
// the record maximum (undo first). A record maximum of 0 leaves the record as it is.
int NormalizeToMax(Workspace& ws);

// Option > Processing > Option > "Integration in time": the running sum of absolute values.
int OnIntegrationInTime(Workspace& ws);

// Edit > Option > "Duration time": writes "Duration.dat" into the working folder, one line
// "%d %f %f %f \n" per trace (index, receiver m, source m, duration s). The store is not
// changed. Returns 0.
int WriteDuration(Workspace& ws, UiHost& ui);

// Option > Processing > Option > "Extract single frequency": dialog 210 preset with the
// frequency the wavelet dialogs share (ws.wavelet); every trace keeps only its bin nearest to it.
int OnExtractSingleFrequency(Workspace& ws, UiHost& ui);

// Option > Processing > Option > "Fourier decomposition": the first selected trace becomes its
// cosine components (undo first when a trace is selected).
int OnFourierDecomposition(Workspace& ws, UiHost& ui);

// Edit > Selected traces > "Show Fourier amplitude spectrum": the first selected trace's
// amplitude spectrum (8192 values, times N dt / 2) to the data viewer, at most 8192 points.
int StrongMotionSpectrum(Workspace& ws, UiHost& ui);
// Edit > Option > "Show Fourier amplitude spectrum (multi compnents)": the first three traces
// as three channels; spectra of a record that is already a spectrum are scaled as they are.
int StrongMotionSpectrum3C(Workspace& ws, UiHost& ui);

// Option > Earthquakes > "Set up min. and max. angle to be plotted": dialog 242 on the set's
// two angles (ws.strongMotion). Enabled with traces loaded and a record built by appending
// files.
int OnAngleRange(Workspace& ws, UiHost& ui);
bool CanSetAngleRange(const Workspace& ws);

// Option > etc. > "Setup coordinate": dialog 296 titled "XY Coordinate" on the coordinate
// mode; OK keeps it and writes the profile key iCoordinate.
int OnSetupCoordinate(Workspace& ws, UiHost& ui);

// Option > Processing > Velocity filter > "Spacial filter": "No service !".
int OnSpacialFilter(Workspace& ws, UiHost& ui);

// The enable rule of Edit > "Receiver interval(&I)...": more than one trace, or in acquisition
// mode a survey method chosen (the manager's type above 0).
bool CanSetReceiverInterval(const Workspace& ws);

// The view geometry a point is read back with: where time and distance run, their scales
// (logical units per ms and per m) and origins, the first receiver (m), and the time at the
// time origin, which is the time of sample 0.
struct TracePointGeometry {
    bool timeVertical = false;  // axes swapped: time runs down the view
    float timeScale = 1.0f;
    float distanceScale = 1.0f;
    int timeOrigin = 0;
    int distanceOrigin = 0;
    float firstReceiver = 0.0f;
    float startTime = 0.0f;
};
// The trace and time under a view point (logical units; y as the device gives it, negated
// here): time = (x - time origin) / time scale + start time; the trace whose
// |trunc(distance scale x (receiver - first receiver)) + distance origin - y| is smallest (the
// later one on ties); `value` its sample at that time (index clamped to the trace). Returns
// the trace index, or -1 without traces.
int PointToTraceTime(const WaveformStore& store, const TracePointGeometry& geometry, int x, int y, float& time,
                     float& value);

}  // namespace velk
