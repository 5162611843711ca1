#pragma once
// One component of a three-component station in the .DAT text form: pairs of a time in seconds
// and a value, to the end of the file. The file is one trace; its component comes from the
// file's name ("ns"/"NS" 1, "ew"/"EW" 2, "ud"/"UD" 3, a later one winning), never from the
// folders above it.

#include <string>
#include <string_view>

#include "formats/format_support.h"
#include "formats/load_target.h"

namespace velk {

// The component of a path by its file name: 1, 2 or 3 as above, 1 when none is named.
int ComponentFromFileName(std::string_view path);

// Reads the pairs of `text` into the target's trace 0 until the end of the text, the first
// value that does not scan, or MAX_SAMPLE samples (more give the samples message); value x
// 0.01, then the mean removed. Header: trace number 1, receiver 0, source 0, gain 10, the
// component of `path`, delay 0, interval (second time - first time) x 1e6 us (0 with fewer than
// two samples), the samples read. Returns 1 when at least one sample was read, else 0 (after a
// message).
int ReadComponentDat(std::string_view text, std::string_view path, LoadTarget& target, FormatContext& ctx);

// The same over a file; 0 with "Cannot open the file" when it cannot be read.
int ReadComponentDatFile(const std::string& path, LoadTarget& target, FormatContext& ctx);

}  // namespace velk
