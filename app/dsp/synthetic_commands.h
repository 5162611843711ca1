#pragma once
// The synthetic-record generators of Option > "Genarate waveform data" and the noise routines
// the modelling commands call. The generators are members of CWaveOperations
// (app/operations.h):
//
//   GenerateTimeDomain        dialog 164; ten waveform types with a linear moveout, trace i
//                             divided by i + 1
//   GenerateFrequencyDomain   dialog 165; five types as complex spectra of 512, 1024 or 2048
//                             bins (data kind 2)
//   GenerateFkDomain          dialog 165; types 0..2 on K wavenumber rows (data kind 2)
//   GenerateNoiseGaussianSpectrum, GenerateNoiseFromCorrelation
//                             dialog 171; 24 traces of 1024 samples at 1 ms of noise shaped by
//                             a correlation function; "correlation_function.txt" is written
//                             into the diagnostic log
//
// Each generator checks its input before anything changes (the capacity of the store, the
// interval, a zero velocity or a frequency that is not above 0 where they divide), pushes an
// undo snapshot, and replaces the record: trace count, samples, interval, samples, headers
// (trace i + 1, source 0, gain 1, component 1, delay 1.0 µs), the per-trace arrays (no picks,
// no selection, display factors 1) and the display values. Cancel returns 0 and changes
// nothing. Random numbers come from the workspace's seed (ws.traceEdit.Seed()).

#include <string>

namespace velk {

class Workspace;

// Random spectrum on the current complex record: the bins j < n/2 strictly between low and
// high Hz (j x df): mode 1 replaces the real and imaginary parts by u - 0.5; any other mode
// adds 0.02 x factor x the record maximum x (u - 0.5). The maxima are refreshed.
void GenerateRandomSpectrum(Workspace& ws, int mode, float factor, float low, float high, float df);

// " Frequency of sin waves is %f Hz"; the F-K twin has a wide space before the number.
std::string SineFrequencyMessage(double frequency);
std::string FkSineFrequencyMessage(double frequency);

}  // namespace velk
