#pragma once
// The "Fourier analysis" menu: the FFT and the DFT with their inverses and spectra (members of
// CWaveOperations, app/operations.h), showing the real or the imaginary part, returning from a
// spectrum, the spectrum shading, the frequency-domain text file, and two small commands of the
// same menu ("Memory present amplitude", "Change sampling time"); the "Data length" dialog.
//
// Every command returns 1 when the view must be repainted. A refusal shows its message and
// changes nothing: no undo snapshot is pushed before every check has passed.

#include <string>

#include "platform/uihost.h"

namespace velk {

class Workspace;

// Progress texts of the transforms (shown for long transforms, or for every trace of the
// direct ones).
std::string FourierProgressText(int trace, int length);  // " Calculating Fourier spectrum : ..."
std::string DftProgressText(int trace);                  // " DFT calculation : trace = %d "

// Show real part (cos) / Show imaginary part (sin): complex data only (kind 2 or 3).
int OnShowRealPart(Workspace& ws, UiHost& ui);
int OnShowImaginaryPart(Workspace& ws, UiHost& ui);

// Show the time domain of waveform data: from a real-valued spectrum (kind 1) back to the
// snapshot the spectrum command took; the display filter is reset. Nothing on other kinds.
int OnShowTimeDomain(Workspace& ws);

// Shade spectrum: the spectrum shading value flips between 1 and -1.
int OnShadeSpectrum(Workspace& ws);

// Save frequency domain data: the real and imaginary rows as the frequency-domain text file
// (formats/frequency_text.h), written atomically. Changes nothing in the store.
int OnSaveFrequencyDomainData(Workspace& ws, UiHost& ui);
// Open frequency domain data: reads the whole file first; only a complete file replaces the
// record (data kind 2, the transform flag kept). Every other outcome leaves the store as it was.
int OnOpenFrequencyDomainData(Workspace& ws, UiHost& ui);
// The same without the file dialog (the roads share it).
int OpenFrequencyDomainFile(Workspace& ws, UiHost& ui, const std::string& path);

// Memory present amplitude: every trace is multiplied by the gain the last wiggle paint
// applied to it (1.0 before any paint), with undo; the display factors become 1.0. Complex
// data is scaled in both parts, so that it stays the same spectrum.
int OnMemoryPresentAmplitude(Workspace& ws);

// Change sampling time: the "Set sampling time" dialog, preset with trace 1's interval; every
// header takes the new interval. No undo. A new interval that is not above 0 is refused.
int OnChangeSamplingTime(Workspace& ws, UiHost& ui);

// Dialog 166 "Data length": one number of samples.
struct CDataLengthDlg {
    static constexpr const char* kClass = "CDataLengthDlg";
    static constexpr const char* kTitle = "Data length";
    static constexpr const char* kField = "Data length";
    int length = 0;

    DialogRequest Request(int language);
};

}  // namespace velk
