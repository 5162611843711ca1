#pragma once
// The time-frequency export: every selected trace becomes a panel of amplitude spectra of
// short windows sliding along it, written into the exchange file that the viewer Nordalis
// reads ("c:\wfft.dat" under the data root).
//
// File (little-endian, no padding): int32 panels, windows per panel, values per window;
// float32 time step between windows (ms) and frequency step (Hz); then the values, panel
// after panel, window after window, bin after bin.

#include <span>
#include <string>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class ByteSink;

// The exchange file's path; the data root is made when it is missing.
std::string WfftExchangePath();

// The window length the dialog proposes for traces of `samples` samples: 1/64 of their
// transform length, within 4..512.
int WfftDefaultWindow(int samples);

struct WfftLayout {
    int windowLength = 0;  // L
    int hop = 0;           // L / 4
    int bins = 0;          // nf: L/2, L/4, L/8 or L/16 for range 0..3
    int windows = 0;       // nw: windows whose end lies within the trace
    float timeStepMs = 0.0f;
    float frequencyStepHz = 0.0f;
};

// The layout of traces of `samples` samples at intervalUs, window length L (4..512, a power
// of two) and range 0 ("ALL") .. 3 ("1/8").
WfftLayout MakeWfftLayout(int samples, int windowLength, int range, float intervalUs);

// Writes the file atomically: the header, then the panels of the traces `selected` (in the
// order given), each `samples` samples of its row. False with the system's reason in *error
// when it cannot be written (the old file stays).
bool WriteWfftFile(const std::string& path, const Matrix2D<float>& rows, std::span<const int> selected,
                   int samples, const WfftLayout& layout, std::string* error = nullptr);
// The same bytes into a sink.
void WriteWfft(ByteSink& sink, const Matrix2D<float>& rows, std::span<const int> selected, int samples,
               const WfftLayout& layout);

}  // namespace velk
