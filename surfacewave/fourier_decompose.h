#pragma once
// Fourier decomposition of one trace into its cosine components, one trace per frequency.

namespace velk {

class UiHost;
class WaveformStore;

// Takes the first selected trace (without one: "Error ! No trace is selected !" and 0). With N
// the power-of-two length of its sample count and X its spectrum (forward FFT scaled 1/N), the
// record becomes min(N/2, the store's trace capacity) traces: trace j is the component
// A_j cos(2 pi j t / N + phase X_j) over the selected trace's samples, A_0 = |X_0| and
// A_j = 2 |X_j| above, so that the traces add up to the selected trace (less its Nyquist bin).
// Trace j's receiver word is j x df x 100 (df = 1000 / (N x interval ms) Hz), fixed gain 10,
// component 1, delay 0, and the selected trace's interval and sample count. The selection is
// cleared and the data kind is time domain. Returns 1; 0 (store unchanged) when no trace is
// selected or the selected trace has no positive interval. The caller refreshes the maxima.
int HarmonicDecompositionSelected(WaveformStore& store, UiHost& ui, int language);

}  // namespace velk
