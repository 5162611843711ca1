#pragma once
// An independent SEG-2 conformance checker for the tests, written from the public standard
// (Pullan, 1990, "Recommended standard for seismic (/radar) data files in the personal
// computer environment"), revision 1, little-endian files. It shares no code with formats/
// (nor with platform/), so a misreading of the standard in our reader or writer cannot hide
// itself here.
//
// What a file must satisfy:
//   - file descriptor block ID 0x3A55 (bytes 55 3A) and revision number 1;
//   - the trace pointer sub-block size M a multiple of 4 with 4N <= M, and the sub-block
//     inside the file; string terminator size 1 or 2, line terminator size 0 to 2;
//   - every trace pointer inside the file; trace descriptor block ID 0x4422; block size a
//     multiple of 4 and at least 32; data format code 1 to 5; data block size = number of
//     samples x bytes per sample (2, 4, 2.5, 4, 8); descriptor and data inside the file;
//   - no two blocks overlapping, and none overlapping the file descriptor block with its
//     strings;
//   - string lists (file descriptor from 32 + M, each trace descriptor from offset 32) made of
//     entries [uint16 distance to the next entry][text][terminator], ended by a distance of 0,
//     every entry and the closing 0 inside their block, texts non-empty, printable ASCII (the
//     line terminator characters allowed);
//   - a parseable, positive SAMPLE_INTERVAL in every trace.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace seg2_conformance {

struct TraceInfo {
    uint32_t pointer = 0;
    uint32_t blockSize = 0;
    uint32_t dataSize = 0;
    uint32_t samples = 0;
    int formatCode = 0;
    std::vector<std::string> strings;  // the texts of the trace's string list, in order
};

struct Report {
    std::vector<std::string> problems;  // empty: the file conforms
    int revision = 0;
    uint32_t pointerTableSize = 0;  // M
    uint32_t traceCount = 0;        // N
    std::vector<std::string> fileStrings;
    std::vector<TraceInfo> traces;

    bool Ok() const { return problems.empty(); }
    std::string Describe() const;  // the problems, one per line
    // The value text after "KEY " in trace t's strings, or "" when none.
    std::string TraceValue(size_t t, const std::string& key) const;
};

Report Check(std::span<const uint8_t> file);

}  // namespace seg2_conformance
