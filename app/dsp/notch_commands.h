#pragma once
// The notch commands against power-line hum: "Notch filetr" (the spectral notch) and "Notch
// filter(Least Square Method)" of the Pick first arrivals menu, and "Cutting dominant
// frequency" (Option > Under construction). They share the remembered values of ws.notch;
// the hum frequency is read and written by all three.
//
// Each returns 1 when the view must be repainted. Cancel changes nothing; refusals (no traces,
// an unusable sample interval, a notch frequency outside the spectrum) come with a message
// before any change.

#include <string>

namespace velk {

class ProgressSink;
class UiHost;
class Workspace;

// " Calculating notch filter : trace = %d "
std::string NotchProgressText(int trace);

// The message of a refused notch frequency (not above 0 Hz, or at or above the Nyquist
// frequency, which is given).
std::string NotchFrequencyRefusal(int language, double nyquistHz);

// Spectral notch: dialog 214; every trace zero-filled to N = PowerOfTwoLength(samples, 2),
// transformed, the notch bins of ZeroNotchBins (harmonics when ticked) zeroed, transformed back.
int OnNotchFilter(Workspace& ws, UiHost& ui);

// Least-squares notch: the hum frequency first becomes the mean over the traces of the
// strongest bin (0 .. 255) of their first 512 samples and presets dialog 194; after OK each
// trace picked at K >= 10 samples gets a sinusoid fit over its pre-arrival window (at most 100
// values, decimated by K / 100 with coarse sampling) that is subtracted from the whole trace.
// With "Automatic" and "Common frequency" ten passes first move the hum frequency to the mean
// of the fitted frequencies, and the eleventh subtracts. With no usable pick: the message
// "初動を読み取って下さい", the data unchanged (the undo snapshot stays).
int OnLsqNotchFilter(Workspace& ws, UiHost& ui, ProgressSink& progress);

// Cutting dominant frequency: every trace loses the sinusoid fitted (over its first 100
// samples) from the strongest bin (0 .. 127) of its first 256 samples.
int OnCutDominantFrequency(Workspace& ws, UiHost& ui);

}  // namespace velk
