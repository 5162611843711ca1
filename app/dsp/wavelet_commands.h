#pragma once
// The commands that use the program's wavelets on the loaded record: "Wavelet convolution"
// (Option > Processing > Option) and "Source convolution" (Option > Fourier analysis), and the
// Wavelet dialog road they share with the other commands that choose a wavelet.
//
// Each command returns 1 when the view must be repainted. Cancel changes nothing; refusals come
// with a message before any change.

#include <string>

namespace velk {

class ProgressSink;
class UiHost;
class Workspace;

// " Convolution : trace = %d "
std::string WaveletConvolutionProgressText(int trace);

// Dialog 169 preset with the shared wavelet choice (ws.wavelet); on OK the choice takes the
// dialog's values and true is returned.
bool RunWaveletDialog(Workspace& ws, UiHost& ui);

// The message of a wavelet frequency that is not above 0 for a type that divides by it.
std::string WaveletFrequencyRefusal(int language);

// Wavelet convolution: after OK, undo; every trace's sample count becomes
// N = PowerOfTwoLength(samples) (new columns zero) and the trace becomes (1/N) x its circular
// convolution with the wavelet of the choice (MakeWavelet with N + 1 samples, the default
// delay, phase 0, width 1), through the polar product of both spectra. Display factors 1.
int OnWaveletConvolution(Workspace& ws, UiHost& ui, ProgressSink& progress);

// Source convolution of complex FFT data (data kind 2 or 3 from the FFT): after OK every
// spectrum's bins 0 .. n/2 are multiplied by the source spectrum of the chosen type (5 or 8;
// other types are refused) and the upper half made their conjugates. No undo snapshot.
int OnSourceConvolution(Workspace& ws, UiHost& ui);

}  // namespace velk
