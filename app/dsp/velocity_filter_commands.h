#pragma once
// The velocity filters and the two-dimensional transforms: the F-K filter, the record in the
// F-K domain and back, the F-K spectrum and the 2-D DFT (app/dsp/fk_commands.cpp); the medians
// across traces, the first-arrival shift and the tau-p transform and filter
// (app/dsp/median_taup_commands.cpp); the "Old FFT" band-pass and power spectrum
// (app/dsp/old_fft_commands.cpp, members of CWaveOperations); their menu rows
// (app/dsp/velocity_filter_commands.cpp).
//
// Every command returns 1 when the view must be repainted. A refusal shows its message before
// any change: no undo snapshot is pushed until every check has passed. Cancel changes nothing
// (the tau-p velocity filter still refreshes the peaks and repaints, as it always has).

#include <string>

#include "app/command_table.h"
#include "dsp/taup.h"
#include "surfacewave/taup_settings.h"

namespace velk {

class CWaveOperations;
class UiHost;
class Workspace;

// Command ids: 25600..25799.
namespace cmd {
constexpr int kFkFilter = 25600;           // Option > Processing > Velocity filter > F-K
constexpr int kFkTransform = 25601;        // Option > Fourier analysis > Transform to F-K domain(FFT)
constexpr int kFkInverseTransform = 25602; // ... > Inverse transform from F-K domain(FFT)
constexpr int kFkSpectrum = 25603;         // Option > Processing > F-K spectrum
constexpr int kDft2d = 25604;              // no menu text
constexpr int kSubtractFirstArrival = 25610;  // Option > Processing > Median filter > ...
constexpr int kAddFirstArrival = 25611;
constexpr int kEnhanceVertical = 25612;
constexpr int kSubtractVertical = 25613;
constexpr int kMedianVelocityFilter = 25614;  // Option > Processing > Velocity filter > Median
constexpr int kTauPTransform = 25620;         // Option > Processing > tau-P transform
constexpr int kTauPVelocityFilter = 25621;    // Option > Processing > Velocity filter > tau-P
constexpr int kOldBandPass = 25630;           // Option > etc. > etc. > Old FFT > BPF (up to 2048)
constexpr int kOldPowerSpectrum = 25631;      // ... > Power spectrum(up to 2048)
}  // namespace cmd

// Rule ids: 2560..2579.
enum VelocityFilterRule : int {
    // A forward F-K transform waits for its inverse and the store still holds its result.
    kRuleFkInverse = 2560,
    // "Subtract first arrival time" (through the receiver time-shift table of interactive
    // editing): time-domain data loaded.
    kRuleReceiverShiftTable = 2561,
};

// Progress texts, shown as the view's transient text.
inline constexpr const char* kForwardFourierText = " Forward Fourier transform ";
inline constexpr const char* kInverseFourierText = " Inverse Fourier transform ";
inline constexpr const char* kDft2dText = " 2-D DFT 計算中";
inline constexpr const char* kMedianFilterText = "Calculating median filter";
inline constexpr const char* kTauPTransformText = "Forward tau-P transform";
inline constexpr const char* kTauPForwardText = "Forward τ-P transform";
inline constexpr const char* kTauPInverseText = "Inverse τ-P transform";
std::string OldBandPassProgressText(int trace);  // " BPF calculation : Trace = %d "

// Refusal texts of our own.
std::string ReceiverSpacingRefusal(int language);        // no positive spacing of traces 1 and 2
std::string OldBandPassRefusal(int language, int samples);      // more than 2048 samples
std::string OldPowerSpectrumRefusal(int language, int samples); // more than 4096 samples
std::string VelocityRefusal(int language);               // a velocity not above 0
std::string SlownessIntervalRefusal(int language);       // a p interval not above 0

// Dialog 180 preset from the kept tau-p settings; true after OK with a p interval above 0
// (otherwise the refusal is shown and false returned). The settings stay as they were:
// StoreTauPDialog takes the dialog's values into them.
bool RunTauPDialog(CTauPTransformDlg& dlg, const TauPSettings& settings, UiHost& ui, int language);
void StoreTauPDialog(const CTauPTransformDlg& dlg, TauPSettings& settings);

// ---- F-K (app/dsp/fk_commands.cpp) ----

// The F-K filter through dialog 173, preset from and stored back into the remembered values
// (in their ordered roles). Nt and Nx as CFkFilterDlg gives them; every trace is filtered.
int OnFkFilter(CWaveOperations& ops);
// The record into the F-K domain: N = PowerOfTwoLength(samples) frequency bins, Nx wavenumber
// traces (256, 512 or 1024 by the trace count when the store holds that many, else the
// smallest power of two not below the trace count; refused when neither fits), sorted by
// wavenumber; complex data of the FFT. The inverse is recorded for the inverse transform.
int OnFkTransform(CWaveOperations& ops);
// Back from the F-K domain to the traces the forward transform started from, N samples each.
int OnFkInverseTransform(CWaveOperations& ops);
bool CanInverseFkTransform(const Workspace& ws);
// The F-K power spectrum: Nx wavenumber traces of Nt/16 frequency bins; a real spectrum.
int OnFkSpectrum(CWaveOperations& ops);
// The 2-D DFT magnitude of the record, negated, as complex data with zero imaginary parts.
int OnDft2d(CWaveOperations& ops);

// The wavenumber trace counts of the forward transform and of the spectrum for a record of
// traceCount traces in a store of `capacity` traces; 0 when the record cannot be served.
int FkTransformPositions(int traceCount, int capacity);
int FkSpectrumPositions(int traceCount, int capacity);

// ---- Medians and tau-p (app/dsp/median_taup_commands.cpp) ----

// Add first arrival time: every trace moves later by trunc(pick / interval) samples (its
// first-arrival pick, the store's interval), zeros before.
int OnAddFirstArrivalTime(Workspace& ws, UiHost& ui);
// Enhance / Subtract vertical trajectories: the median across M traces (dialog 182), or each
// sample minus it.
int OnEnhanceVerticalTrajectories(Workspace& ws, UiHost& ui);
int OnSubtractVerticalTrajectories(Workspace& ws, UiHost& ui);
// The median velocity filter (dialog 183).
int OnMedianVelocityFilter(CWaveOperations& ops);
// The tau-p transform (dialog 180, preset from and stored into TauPSettings): the record,
// each trace normalised first, becomes np slowness traces.
int OnTauPTransform(CWaveOperations& ops);
// The tau-p velocity filter (dialog 181).
int OnTauPVelocityFilter(CWaveOperations& ops);

// The rows of the commands above, with their rules.
void AddVelocityFilterCommands(CommandTable& table);

}  // namespace velk
