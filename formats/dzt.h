#pragma once
// GPR radar records in the binary .DZT form: a 1024-byte header (little-endian: samples per
// trace n as a uint16 at 4, bits per sample as an int16 at 6, scans per metre as a float at
// 16, another float at 12 that is only shown), then the traces, n unsigned samples each, 8 or
// 16 bits, re-centred on zero.

#include "formats/format_support.h"
#include "formats/load_target.h"

namespace velk {

class ByteSource;

inline constexpr size_t kDztHeaderSize = 1024;

// The trace spacing in metres of a scans-per-metre value: 1 / v above 0.1, else (and for a
// value that is not finite) 0.02.
float DztTraceSpacing(float scansPerMetre);

// Reads the traces into the target from k = 0 while it has room (more traces give the "too
// many traces" message, samples beyond MAX_SAMPLE are cut with the samples message, a trace
// cut by the end of the file is dropped with a warning), then shows the summary
// "# of traces=%d # of samples=%d bits=%d Trace spacing=%f %f %f". Header of store index
// h = target.Start() + k: trace number h + 1, receiver h x spacing in hundredths (the one
// rounding helper), source 0, gain 10, component 1, delay 0, interval 1000 us, the samples
// kept. Returns the traces read, or -1 for a refused file (short header, bits other than 8 or
// 16, no samples, no complete trace) after a message.
int ReadDzt(ByteSource& file, LoadTarget& target, FormatContext& ctx);

}  // namespace velk
