#pragma once
// Notch filters against power-line hum: the spectral notch's bin rule, the subtraction of
// fitted sinusoids, and the two notch dialogs. The fits themselves are the least-squares
// routines of dsp/least_squares.h; the commands are in app/dsp/notch_commands.h.

#include <span>

namespace velk {

class DialogRequest;

// Values the notch commands remember for the process. The hum frequency is read and written
// by the spectral notch (as its other frequency), the least-squares notch and the
// dominant-frequency command.
struct NotchSettings {
    float humFrequency = 55.0f;  // Hz
    int frequencyChoice = 0;     // spectral notch: 0 50 Hz, 1 60 Hz, 2 other
    int deleteHarmonics = 1;     // spectral notch
    int mode = 1;                // least-squares notch: 0 automatic, 1 50 Hz, 2 60 Hz
    int harmonics = 1;           // least-squares notch
    int coarseSampling = 0;      // least-squares notch
    double alpha = 0.1;          // least-squares notch and dominant frequency
    double beta = 1.1;
    int iterations = 100;
    int commonFrequency = 0;     // least-squares notch
};

// Dialog 214 "Notch filter" (spectral notch).
struct CNotchFilterDlg {
    static constexpr const char* kClass = "CNotchFilterDlg";
    static constexpr const char* kTitle = "Notch filter";

    float otherFrequency = 0.0f;  // Hz
    int choice = -1;              // 0 "50Hz", 1 "60Hz", 2 "Other frequency"
    int deleteHarmonics = 0;

    // Fields "Other frequency" (Hz), "Frequency" (the radio group), "Delete harmonic components".
    DialogRequest Request();
    // 50, 60 or the other frequency, by the choice.
    float Frequency() const;
};

// Dialog 194 "Notch filter" (least-squares notch).
struct CLsqNotchDlg {
    static constexpr const char* kClass = "CLsqNotchDlg";
    static constexpr const char* kTitle = "Notch filter";

    int mode = -1;  // 0 "Automatic", 1 "50Hz", 2 "60Hz"
    int harmonics = 0;
    int coarseSampling = 0;
    double alpha = 0.0;
    double beta = 0.0;
    int iterations = 0;
    int commonFrequency = 0;
    float initialFrequency = 0.0f;  // Hz

    // Fields "Fixed frequency" (the radio group), "Number of harmonics" (1 .. 100), "Coarse
    // sampling", "Alpha", "Beta", "Iteration", "Common frequency", "Initial frequency".
    DialogRequest Request();
};

// Zeroes (both parts) the bins a, a + 1, n - a and n - a - 1 of a spectrum of n bins, a = f0 / df
// truncated; with harmonics also e, e + 1, n - e, n - e - 1 for e = h f0 / df truncated,
// h = 2, 3, ... while h < 100 and e <= n / 2. Bins outside 0 .. n-1 are left alone.
void ZeroNotchBins(double* re, double* im, int n, double f0, double df, bool harmonics);

// The bin of largest modulus among bins 0 .. count-1 (the first of equals); 0 for none.
int LargestBin(const double* re, const double* im, int count);

// x[k] -= sum over h of A_h sin(2 pi h k dt / T + phase_h), k < count, T = 1000 / f ms, harmonic
// h = 1 .. amplitudes.size(), with 2 pi taken as 6.2831855.
void SubtractSinusoids(std::span<float> x, int count, double intervalMs, double frequency,
                       std::span<const double> amplitudes, std::span<const double> phases);

}  // namespace velk
