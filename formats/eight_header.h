#pragma once
// The "8 header" file (".8hd"): the program's own plain trace file and the output of many
// analysis commands. No file header; each trace is the 32-byte binary form of its CTraceHeader
// (little-endian: five int32 words, delay and interval as float32 at 20 and 24, the sample
// count n at 28) followed by n float32 samples, until the end of the file.
//
// Relatives kept here: the oldest layout (delay and interval as int32 microseconds), the text
// form of the same words ("%d%d%d%d%d%f%f%d" then n "%f" values, any white space between),
// a header-only count, and the join of two files trace by trace.
//
// Every count comes from the file and is checked: a negative n ends the read with a warning;
// a trace that runs past the end of the file keeps the samples present (its count word says
// how many) with a warning; more than MAX_SAMPLE samples keep MAX_SAMPLE with the capacity
// message; more traces than the room left keep the room with the traces message. Samples that
// are not finite numbers become 0 (counted, one warning).

#include <span>
#include <string>
#include <string_view>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "formats/format_support.h"
#include "formats/load_target.h"

namespace velk {

class ByteSink;
class ByteSource;

// The most records a join writes.
inline constexpr int kEightHeaderJoinLimit = 48001;

// ---------------------------------------------------------------------------------------------
// Binary form

// Reads the traces from the start of the file into the target (trace k into Row(k),
// Header(k)). `skip` keeps samples 0, skip, 2 skip, ... and multiplies the interval by it;
// skip < 1 is refused (-1). Returns the traces read (0 for an empty file).
int ReadEightHeader(ByteSource& file, LoadTarget& target, int skip, FormatContext& ctx);

// The same from a path; -1 with "Cannot open the file" when it cannot be opened.
int ReadEightHeaderFile(const std::string& path, LoadTarget& target, int skip, FormatContext& ctx);

// The oldest layout: delay and interval words are int32 microseconds. Otherwise as
// ReadEightHeader with skip 1.
int ReadOldestEightHeader(ByteSource& file, LoadTarget& target, FormatContext& ctx);

// The reader of "Append 8 header file": the current layout word for word from the target's
// start index on (ReadEightHeader with skip 1).
int ReadAppendedEightHeader(ByteSource& file, LoadTarget& target, FormatContext& ctx);

// Headers only, into headers[0 ..]: stops at the end of the file, at a header whose n is
// negative, after a trace whose samples run past the end (counted, with its count word set to
// the samples present), or when `headers` is full. Agrees with ReadEightHeader (skip 1) on
// the number of traces whenever the room is the same. -1 when the path cannot be opened.
int CountEightHeaderTraces(ByteSource& file, std::span<CTraceHeader> headers);
int CountEightHeaderTraces(const std::string& path, std::span<CTraceHeader> headers);

// Writes traces 0 .. count-1: each header's binary form with its count word n clamped to
// [0, row length], then n samples bit for bit. Refuses count < 1, too few headers or rows.
WriteStatus WriteEightHeader(ByteSink& sink, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                             int count);

// Creates `path` through an atomic file: a failure leaves the old file as it was.
WriteStatus WriteEightHeaderFile(const std::string& path, const Matrix2D<float>& rows,
                                 std::span<const CTraceHeader> headers, int count);

// ---------------------------------------------------------------------------------------------
// Text form ("Open 8 header file (text format, FD results)")

// Reads traces until the text ends or a value does not scan (a warning unless at the end, or
// when a trace's samples stop early: the trace keeps those it has). A record with more traces
// than the room left or more than MAX_SAMPLE samples in a trace is refused with the capacity
// messages; so is a first trace whose interval is not above 0. Returns the traces read, 0 for
// a text without a complete header, or -1 for a refused file (message shown).
int ReadEightHeaderText(std::string_view text, LoadTarget& target, FormatContext& ctx);
int ReadEightHeaderText(ByteSource& file, LoadTarget& target, FormatContext& ctx);

// ---------------------------------------------------------------------------------------------
// The join of two files ("Connect 2 files (8 header files)")

// Record by record, while both files hold a complete one (and fewer than
// kEightHeaderJoinLimit are written): file 1's header with its count word A replaced by A + B,
// then A samples of file 1 and B samples of file 2, bit for bit. A negative count, samples
// past the end of their file or A + B beyond int32 end the join there with a warning. The
// inputs are read whole before the output is written (atomically), so the output may name one
// of them. Returns the records written, or -1 after a message (an input that cannot be opened,
// a failed write: the old output file is then unchanged).
int ConnectEightHeaderFiles(const std::string& first, const std::string& second, const std::string& output,
                            FormatContext& ctx);

}  // namespace velk
