#pragma once
// Option > Processing > De-convolution: "Compute Wiener filter opereaor", "Known wavelet" and
// "Unknown wavelet", with their menu rows. The operator design is in dsp/deconvolution.h.
//
// Every command asks for the method, the pre-whitening and the operator length in dialog 196,
// preset from ws.deconvolution (a negative length becomes 100 x the interval), and stores the
// accepted values back. The operator has n = OperatorSamples(...) samples; fewer than 2, or a
// sample interval not above 0, is refused with a message. A trace whose operator cannot be
// solved gets a zero operator. The designed operators are written to "Wiener.txt" in the
// working folder (a failed write does not fail the command). Each returns 1 when the view must
// be repainted.

#include <string>

namespace velk {

class CommandTable;
class ProgressSink;
class UiHost;
class Workspace;

// Command ids: 26000..26019 (resampling and interpolation: 26020..26039).
namespace cmd {
constexpr int kWienerOperator = 26000;
constexpr int kKnownWavelet = 26001;
constexpr int kUnknownWavelet = 26002;
}  // namespace cmd

// " Deconvolution : trace = %d "
std::string DeconvolutionProgressText(int trace);

// Every trace becomes its own operator: designed from its first N/2 samples (N the transform
// length of the samples per trace), operator in samples 0..n-1, zeros up to N/2; samples per
// trace and every count := N/2. The undo snapshot is taken after OK.
int OnWienerOperator(Workspace& ws, UiHost& ui, ProgressSink& progress);
// The operator of the first selected trace convolved (circularly, at N) with every trace
// zero-filled to N; samples per trace and every count := N. The snapshot is taken before the
// dialog; without a selected trace "基本波形が指定されていません".
int OnKnownWavelet(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Each trace zero-filled to N and convolved with its own operator; counts := N. The snapshot
// is taken before the dialog.
int OnUnknownWavelet(Workspace& ws, UiHost& ui, ProgressSink& progress);

void AddDeconvolutionCommands(CommandTable& table);

}  // namespace velk
