#pragma once
// The band-pass commands and their neighbours in the processing menu: "BPF", "BPF(cos function
// taper)", "BPF(Precise)", "Integration", "Differential", "Power spectrum", "Phase spectrum(FFT)".
// The DFT band-pass and the band-pass of complex Fourier data are members of CWaveOperations
// (app/operations.h). Every band-pass asks for its corners in the band-pass dialog, preset from
// the remembered corners (BPFFL, BPFFH, BPFSL, BPFSH).
//
// Each returns 1 when the view must be repainted. Refusals (an unusable interval, a result
// longer than the rows) come with a message before any change.

#include <string>

namespace velk {

class ProgressSink;
class UiHost;
class Workspace;

// " BPF calculation : trace = %d "
std::string BandPassProgressText(int trace);

// Filters the traces one by one: each trace's spectrum at N = PowerOfTwoLength(samples per
// trace) points, on its own header's interval, times the curve (taperMode 1 cosine taper,
// 0 dB per octave), back to time; `samples` values written. With "Selected trace only" the
// unselected traces are left alone; the record maximum is the largest over all traces.
// keepCorners 0 stores the accepted corners into BPFFL/BPFFH; the slopes are always stored.
// Cancel changes nothing (0). A cosine taper whose tapers overlap shows "Wrong filter
// parameters !" after the undo push and filters nothing (0).
int ApplyBandPass(Workspace& ws, UiHost& ui, ProgressSink& progress, int taperMode, int keepCorners, float lowCut,
                  float highCut);

// The same pass without the dialog, with the given corners and slopes; used by ApplyBandPass
// after OK (and by benchmarks). Returns false when a cosine taper's tapers overlap (nothing
// filtered).
bool BandPassPass(Workspace& ws, ProgressSink& progress, int taperMode, float lowCut, float highCut, float lowSlope,
                  float highSlope);

// BPF(Precise): every trace at twice the transform length, one curve on the store's interval.
int OnBandPassPrecise(Workspace& ws, UiHost& ui, ProgressSink& progress);

// Integration: the cosine-taper band-pass dialog preset 0.1 .. 5000 Hz (its corners are not
// remembered), then the running sum x dt of every trace.
int OnIntegration(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Differential: (x[k+1] - x[k]) / dt, the last value repeating the one before (0 for a
// single sample).
int OnDifferential(Workspace& ws, UiHost& ui);

// Power spectrum: |fft(x, N)|/N of every trace, half of it kept; data kind 1.
int OnPowerSpectrum(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Phase spectrum(FFT): the angle of fft(x, N), an eighth of it kept; data kind 1. Time-domain
// data only.
int OnPhaseSpectrum(Workspace& ws, UiHost& ui);

}  // namespace velk
