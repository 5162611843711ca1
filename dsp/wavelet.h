#pragma once
// The program's source wavelets: the generator of eleven wavelet types that the synthetic-record,
// modelling and filtering commands call, the "Wavelet" dialog that chooses type and frequency,
// the analytic source spectra, and the two windowed-spectrum helpers of the time-frequency
// export.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "base/matrix2d.h"

namespace velk {

class DialogRequest;

// The recorded wavelet of type 7 (see dsp/wavelet_table.py; the table is synthetic).
inline constexpr int kWaveletTableLength = 1024;
extern const std::array<double, kWaveletTableLength> kWaveletTable;

// Type 9 leaves an empty diagnostic file of this name; the commands that make a type-9 wavelet
// create it through their diagnostic sink (the generator itself touches no file).
inline constexpr const char* kWindowedWaveletFile = "windowed_wavelet.txt";

// The shared wavelet choice of the commands that show the dialog (kept for the process). The
// frequency is also the value "Extract single frequency" edits.
struct WaveletChoice {
    int type = 5;
    float frequency = 0.0f;  // Hz
};

struct CWaveletDlg {
    static constexpr const char* kClass = "CWaveletDlg";
    static constexpr const char* kTitle = "Wavelet";
    static constexpr int kTypeCount = 11;

    float frequency = 0.0f;  // Hz
    int type = -1;           // 0..10, -1 none chosen

    // The radio texts, in the order of the types.
    static const std::array<const char*, kTypeCount>& TypeTexts();
    // Fields "Frequency" (Hz) and "Type" (a choice of the eleven texts).
    DialogRequest Request();

    // Fills out[0 .. WaveletLength - 1] with zeros, then with the wavelet of `type`, and returns the delay
    // used in seconds (0 for the types that have none). Types 0..6 write sample i (i < count)
    // at out[i + 1], so they need count + 1 values (WaveletLength); types 7, 9 and 10 write
    // out[i]; type 8 sets out[0] and out[1]. Nothing is ever written at or beyond out.size().
    //   delayGiven 0: the type's default delay; else `delay` (s).
    //   frequency F in Hz; phase (radians) and width K for types 0 and 1; dt in s.
    // A frequency that is not above 0 for the types that divide by it (0, 1, 2, 5, 6), a width
    // not above 0 for types 0 and 1, or dt not above 0 for the types that step in time leave
    // the zeros (and return 0). Another type prints "Error: wavlet: ichoix = %d is not
    // implemented." on the console and leaves the zeros.
    static float MakeWavelet(int type, int delayGiven, int count, std::span<float> out, float frequency, float phase,
                             float width, float delay, float dt);

    // The values MakeWavelet writes for `count` samples of `type`: count + 1 for types 0..6,
    // count otherwise (at least 2 for type 8).
    static int WaveletLength(int type, int count);
    // Whether the type divides by its frequency (a frequency <= 0 is refused for it).
    static bool NeedsFrequency(int type);
};

// values[i] = 0.25 (x[i-1] + x[i+1]) + 0.5 x[i] for i = 1..count-2 from a copy; the ends stay.
void SmoothThree(float* values, int count);

// The real amplitude spectrum of the source of `type` at f_i = i df, m = count / 2:
//   type 5: S[i] = 2 pi^(-1/2) (f_i^2 / F^3) exp(-f_i^2 / F^2) for i < m;
//   type 8: S[i] = exp(-0.02 f_i) for i < m;
// S[m .. count-1] = 0. Returns 1; other types (or F <= 0 for type 5) write nothing and return 0.
// At most out.size() values are written.
int SourceSpectrum(int type, int count, std::span<double> out, float frequency, float df);

// For window w = 0 .. windows-1: windowLength values of re and im from w x step (zeros beyond
// the arrays) are transformed (CFourier::Fft, flag 0), put in polar form, and the first
// windowLength / 2 amplitudes written as floats into row RowLow() + w of `rows` (within its
// columns and rows). windowLength is at most 512. Returns 0.
int WfftSpectra(int windowLength, int windows, int step, std::span<const double> re, std::span<const double> im,
                Matrix2D<float>& rows);

// The number of positions start, start + step, ... that are <= length, at most 100000; 0 when
// step <= 0 or start > length.
int WfftWindowCount(int length, int step, int start);

}  // namespace velk
