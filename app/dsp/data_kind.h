#pragma once
// What the store holds (the data kind of its current data set and the transform flag) as the
// commands see it: the predicates behind the menus' enable rules, and the small steps every
// command that moves the store between the domains shares.
//
// Kinds (base/waveform_store.h): 0 time-domain traces, 1 a real-valued spectrum, 2 complex
// frequency-domain data showing the real part, 3 the same showing the imaginary part. The
// imaginary parts lie in the data set's own matrix with their own peaks, and every undo
// snapshot keeps them with the kind and the transform flag (0 FFT, 1 DFT).

#include <cstdint>
#include <string>

namespace velk {

class CommandTable;
class UiHost;
class WaveformStore;
class Workspace;

// ---------------------------------------------------------------------------------------------
// Predicates.

bool HoldsTimeDomain(const Workspace& ws);     // kind 0
bool HoldsRealSpectrum(const Workspace& ws);   // kind 1
bool HoldsComplexData(const Workspace& ws);    // kind 2 or 3
bool HoldsFftData(const Workspace& ws);        // kind 2 or 3 made by the FFT
bool HoldsDftData(const Workspace& ws);        // kind 2 or 3 made by the DFT

// Rule ids of the data kind and the Fourier, band-pass and display-filter commands:
// 1400..1499. Registered by RegisterDataKindRules; commands of other features name them too.
enum DataKindRule : int {
    // Complex data of the FFT: inverse FFT, "Source convolution".
    kRuleFftData = 1400,
    // Complex data of the DFT: inverse DFT.
    kRuleDftData = 1401,
    // Complex data of either: show real/imaginary part, save frequency-domain data, the
    // Fourier menu's "BPF", "Differential", "Time shift", "Add random noise in frequency
    // domain".
    kRuleComplexData = 1402,
    // A real-valued spectrum: "Show the time domain of waveform data".
    kRuleRealSpectrum = 1403,
    // Check mark of "Shade spectrum" (the value is 1).
    kRuleShadeSpectrum = 1404,
    // Time-domain data without traces being required: "Fourier transform(FFT)" and
    // "Fourier transform(DFT)" (kRuleTimeDomain also wants traces).
    kRuleKindTime = 1405,
    // The display filter is applied: Filter (enable and check).
    kRuleDisplayFilterApplied = 1406,
    // Redo: an undo came last and the display filter is not applied.
    kRuleRedo = 1407,
};

// Registers the rules above (the display-filter ones with their commands' predicates).
void RegisterDataKindRules(CommandTable& table);

// ---------------------------------------------------------------------------------------------
// Shared steps of the commands.

// The refusal texts of the capacity checks: "The number of samples was too large ! \n Maximum
// sample number is %d " and the trace twin, each followed by the line that names Option >
// Dimension size.
std::string SamplesTooLargeText(int language, int maxSamples);
std::string TracesTooLargeText(int language, int maxTraces);

// The one refusal of every command whose record would have more samples per trace than the
// readers take back (MAX_SAMPLE): it names the length, MAX_SAMPLE and where to raise it, and
// says that nothing was changed.
std::string RecordLongerThanMaxSampleText(int language, int64_t samples, int maxSample);
// True when records of `samples` samples per trace fit MAX_SAMPLE; otherwise shows that
// refusal and returns false. Commands call it before they change or write anything.
bool CheckRecordFitsMaxSample(const Workspace& ws, UiHost& ui, int64_t samples);

// True when every header interval of traces 0..count-1 is a usable interval (finite, > 0);
// otherwise shows the invalid-interval message and returns false.
bool CheckTraceIntervals(Workspace& ws, UiHost& ui);
// The same for one interval in µs (a header's) or ms (the store's).
bool CheckIntervalUs(Workspace& ws, UiHost& ui, float intervalUs);
bool CheckIntervalMs(Workspace& ws, UiHost& ui, float intervalMs);

// True when traces are loaded and hold time-domain samples; a record of another kind is
// refused with "Not time domain data". False without a message when nothing is loaded.
bool TimeDomainTraces(Workspace& ws, UiHost& ui);
// TimeDomainTraces and then a usable store interval (CheckIntervalMs): the preamble of the gain
// and notch commands.
bool TimeDomainWithInterval(Workspace& ws, UiHost& ui);
// The record's samples per trace, within the rows.
int RecordSamples(const WaveformStore& store);

// Raises every trace's sample count to n (at most the row length): the columns between a
// trace's old count and n become zero in the rows and, for complex data, in the imaginary
// rows, so that no stale row contents come into view.
void RaiseSampleCounts(Workspace& ws, int n);

// Every trace's display factor := 1.0.
void ResetDisplayFactors(Workspace& ws);

// The display window after a transform: samples shown, traces shown := trace count, the
// window starts at the first sample, shown time := trace 1's sample count x interval.
void ShowWholeTransform(Workspace& ws, int samplesShown, float intervalMs);

// The peaks of the real and of the imaginary rows (per trace and overall).
void ComputeComplexMaxima(Workspace& ws);

}  // namespace velk
