#pragma once
// SEG-1 records of the maker's 560QX seismograph.
//
// A 158-byte text header (model text at 31, channel count C at 99 in 3 characters, samples per
// trace n at 102 in 5, interval ms at 107 and delay ms at 114, each read up to a carriage
// return, its length or byte 158), a 32-byte block per channel from byte 158 whose text at
// offset 28 is the channel's gain in dB, and from byte 1024 the int16 samples trace after
// trace. C + 1 traces are stored: the channels, each divided by its gain factor 10^(dB x 0.05),
// and one extra trace with factor 1.
//
// C and n are checked against the room left, MAX_SAMPLE and the file size: the traces that do
// not fit are left out and the samples beyond MAX_SAMPLE cut, each with its capacity message;
// a file that ends at a trace boundary simply has fewer traces, a trace cut inside its samples
// is dropped with a warning. A sample that its gain carries past the float range is clamped
// to it, with the conversion warning.

#include <string>

#include "formats/format_support.h"
#include "formats/load_target.h"

namespace velk {

class ByteSource;

inline constexpr size_t kSeg1DataStart = 1024;

// Reads the record into the target from k = 0: trace number k + 1, receiver (k + 1) x 100,
// source 0, gain word = dB (0 for the extra trace), component 1, delay and interval in us, the
// samples kept. Returns the traces read (at least 1), or -1 for a refused file after a message.
int Read560QX(ByteSource& file, LoadTarget& target, FormatContext& ctx);

// The same over a path; -1 with "Cannot open the file" when it cannot be opened.
int Read560QXFile(const std::string& path, LoadTarget& target, FormatContext& ctx);

}  // namespace velk
