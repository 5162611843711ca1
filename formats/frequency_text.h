#pragma once
// The frequency-domain text file: complex spectra of a record as plain text, C locale.
//
//   line 1:  " %d %d %.9g %.9g \n"  trace count, values per trace, frequency step (Hz),
//                                    receiver spacing (m; 0 for a single trace)
//   then per trace: its real parts, one per line as " %.9g \n", then its imaginary parts.
//
// Nine significant digits give every float back bit for bit. The reader takes any white space
// between numbers and "%f"-style numbers of any precision (older files wrote "%f"). It trusts
// no count: the trace count must be 1 .. maxTraces and the values per trace 1 .. maxValues,
// the step finite and above 0, the spacing finite and within the positions a header holds,
// every value a finite float, and exactly the announced number of values must follow. A file
// that breaks any rule gives an error and no data.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix2d.h"

namespace velk {

struct FrequencyDomainData {
    int traceCount = 0;
    int valuesPerTrace = 0;
    float frequencyStep = 0.0f;       // Hz
    float spacing = 0.0f;             // m, as written
    int32_t spacingHundredths = 0;    // the spacing x 100, rounded to the nearest
    std::vector<float> re;            // traceCount x valuesPerTrace, trace after trace
    std::vector<float> im;            // the same layout
};

enum class FrequencyReadError {
    None,
    CannotOpen,     // the file could not be opened or read
    Malformed,      // a number that is not one, or an impossible step or spacing
    Short,          // fewer values than announced
    Trailing,       // more text after the announced values
    NoTraces,       // trace count or values per trace below 1
    TooManyTraces,  // trace count above maxTraces
    TooManyValues,  // values per trace above maxValues
};

struct FrequencyReadResult {
    FrequencyReadError error = FrequencyReadError::None;
    FrequencyDomainData data;  // complete only when error is None
    explicit operator bool() const { return error == FrequencyReadError::None; }
};

// Parses the file's text. maxTraces and maxValues bound the counts the file may announce.
FrequencyReadResult ParseFrequencyDomainText(std::string_view text, int maxTraces, int maxValues);
// Reads and parses a file. A file longer than the largest one the limits allow (64 bytes per
// value) is refused as Trailing without being read whole.
FrequencyReadResult ReadFrequencyDomainFile(const std::string& path, int maxTraces, int maxValues);

// The text of a file from rows 0 .. traces-1 of the two matrices (values per row each).
std::string FrequencyDomainText(const Matrix2D<float>& re, const Matrix2D<float>& im, int traces, int values,
                                float frequencyStep, float spacing);

// Writes the file atomically (temporary file, then rename): false with the reason in *error
// when it could not be written; the old file is then unchanged.
bool WriteFrequencyDomainFile(const std::string& path, const Matrix2D<float>& re, const Matrix2D<float>& im,
                              int traces, int values, float frequencyStep, float spacing, std::string* error);

}  // namespace velk
