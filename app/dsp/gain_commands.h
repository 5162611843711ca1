#pragma once
// The gain commands: "ZAV AGC" and "Instantaneous AGC" (Option > Processing > AGC), "Normalize
// by each trace" and "Multiply constant" (Option > etc. > Amplitude correction). Both AGC
// dialogs are preset from the remembered values (ws.agc) and store them back on OK.
//
// Each command returns 1 when the view must be repainted. Cancel changes nothing; a refusal
// (no traces, an unusable sample interval) shows its message before any change.

#include <string>

namespace velk {

class CommandTable;
class ProgressSink;
class UiHost;
class WaveformStore;
class Workspace;

// " AGC calculation : trace = %d "
std::string AgcProgressText(int trace);

// ZAV AGC: the record grows to N = PowerOfTwoLength(samples) samples (new columns zero); each
// trace becomes CAgcDlg::ZavAgcTrace of itself with the smoothing curve of the dialog's high
// cut and slope; with "Normalize trace" each trace is then divided by its largest |x| (a trace
// of zeros stays). Display factors 1, maxima recomputed.
int OnZavAgc(Workspace& ws, UiHost& ui, ProgressSink& progress);

// Instantaneous AGC: the window in samples is the window length / sample interval, truncated;
// CAgcDlg::ApplyInstantaneousAgc on the samples of every trace, then the normalisation as above.
int OnInstantaneousAgc(Workspace& ws, UiHost& ui, ProgressSink& progress);

// Pushes undo and divides every trace by its largest |x| over the record's samples, with its
// display factor 1 and its maximum recomputed; a trace whose largest |x| is 0 keeps its samples
// and its maximum. The record maximum is the largest of the trace maxima. Returns the trace
// count. Time-domain records only (the caller checks).
int NormalizeEachTrace(WaveformStore& store);
// The menu command: NormalizeEachTrace when traces are loaded; 1 (repaint) when it ran.
int OnNormalizeEachTrace(Workspace& ws, UiHost& ui);

// Multiply constant: the "Input float" dialog with "Enter float multiplier !" and 1.0; on OK
// every trace's header count of samples is multiplied by the value; maxima follow.
int OnMultiplyConstant(Workspace& ws, UiHost& ui);

// Command ids of the gain, notch and wavelet commands: 25200..25399.
namespace cmd {
constexpr int kZavAgc = 25200;
constexpr int kInstantaneousAgc = 25201;
constexpr int kNormalizeEachTrace = 25202;
constexpr int kMultiplyConstant = 25203;
constexpr int kNotchFilter = 25210;
constexpr int kLsqNotchFilter = 25211;
constexpr int kCutDominantFrequency = 25212;
constexpr int kWaveletConvolution = 25220;
constexpr int kSourceConvolution = 25221;
}  // namespace cmd

// The menu rows of the gain (Option > Processing > AGC, Option > etc. > Amplitude correction),
// notch (Pick first arrivals, its Option menu, Option > Under construction) and wavelet
// (Option > Processing > Option, Option > Fourier analysis) commands (app/dsp/gain_menu.cpp).
void AddGainCommands(CommandTable& table);

}  // namespace velk
