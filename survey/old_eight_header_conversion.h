#pragma once
// Old "8 header" files go through the converter program Kelvarn, which lies beside our
// executable: one file into the temporary file that becomes the record, or many files into
// new files beside them.
//
// The temporary file holds traces one after the other, each the 32-byte little-endian header
// (CTraceHeader) and then its sample count of float32 samples.

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

#include "platform/byte_io.h"

namespace velk {

class LoadTarget;
class ProcessLauncher;

inline constexpr const char* kConverterTempFile = "temp_8hd_file.8hd";

// Where the converter is looked for.
std::string KelvarnPath();

// The output of a conversion: the path up to the first ".8hd" of its file name (case as
// written) followed by "_new.8hd"; a name without ".8hd" gets "_new.8hd" appended whole.
std::string ConvertedOutputPath(const std::string& path);

// Reads the complete traces of the temporary file into the target (trace k into Row(k) and
// Header(k)). The record ends at the first header or sample block that is cut short, or at a
// sample count below 1. Returns the traces read, or -1 when the file holds more traces than
// the target's capacity or a trace of more samples than its MaxSample().
int ReadConverterOutput(ByteSource& file, LoadTarget& target);

// Waits for the converter's output the way its start is paced: 500 ms, then up to five tries
// 1000 ms apart (the first right away), and 500 ms more after the last failed one. A try
// succeeds once the converter `pid` has ended and the file opens. The opened file, or nullopt.
using Sleeper = std::function<void(int milliseconds)>;
std::optional<ByteSource> AwaitConverterOutput(const std::string& path, pid_t pid, ProcessLauncher& launcher,
                                               const Sleeper& sleep);

}  // namespace velk
