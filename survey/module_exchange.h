#pragma once
// The exchange files of a registered module: the record goes out as two text files in the
// working folder, the module rewrites them, and they come back as the new record.
//
//   tmp_header.txt  " %d %d %f \n" traces, samples per trace, interval (ms); then per trace
//                   " %d %d %d %d %d %f %f %d \n", the eight header words
//   tmp.txt         " %.9g \n" per sample, trace after trace (samples per trace values each)
//
// Samples go out with nine significant digits so that a module that changes nothing gives
// the record back bit for bit; any reader of "%f" still reads them. Both are read back with
// any white space between numbers.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

inline constexpr const char* kModuleHeaderFile = "tmp_header.txt";
inline constexpr const char* kModuleDataFile = "tmp.txt";

// The texts of the two files for traces 0..traces-1 (samples values of each row, zeros
// beyond the row).
std::string ModuleHeaderText(int traces, int samples, float intervalMs, std::span<const CTraceHeader> headers);
std::string ModuleDataText(const Matrix2D<float>& rows, int traces, int samples);

struct ModuleOutput {
    int traces = 0;
    int samples = 0;
    float intervalMs = 0.0f;
    std::vector<CTraceHeader> headers;  // traces records
    std::vector<float> values;          // traces x samples, trace after trace
};

// Reads the module's output. False (out unspecified) unless every header line scans, the
// traces are 1..maxTraces, the samples 1..maxSample, the interval finite and above 0, and the
// data text holds traces x samples numbers.
bool ReadModuleOutput(std::string_view headerText, std::string_view dataText, int maxTraces, int maxSample,
                      ModuleOutput& out);

}  // namespace velk
