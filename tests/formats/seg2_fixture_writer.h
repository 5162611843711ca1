#pragma once
// A test-only generator of SEG-2 files, independent of formats/: standard-layout files with any
// of the data codes 1-5, block sizes and string lists chosen by the test, and files in the
// older layout that the program's first SEG-2 writer produced (strings at P + 48 without
// distances). Tests build their fixtures here instead of committing files of other programs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velk::testing::seg2fixture {

// ---------------------------------------------------------------------------------------------
// Data blocks, little-endian

std::vector<uint8_t> Int16Data(const std::vector<int16_t>& values);
std::vector<uint8_t> Int32Data(const std::vector<int32_t>& values);
std::vector<uint8_t> Float32Data(const std::vector<float>& values);
std::vector<uint8_t> Float64Data(const std::vector<double>& values);

// One 20-bit sample as the standard codes it: a 16-bit one's-complement mantissa and a 4-bit
// left shift; its value is (mantissa + (mantissa < 0 ? 1 : 0)) << shift.
struct Packed20 {
    int16_t mantissa = 0;
    int shift = 0;
};
// Groups of four in 10 bytes: a uint16 of the four shifts (first sample in the lowest four
// bits), then the four mantissas. A last partial group is written in full (missing samples
// zero) when `wholeGroups`, else cut to ns x 5 / 2 bytes in all.
std::vector<uint8_t> Packed20Data(const std::vector<Packed20>& samples, bool wholeGroups = true);

// ---------------------------------------------------------------------------------------------
// Standard layout

struct Trace {
    int code = 4;
    uint32_t samples = 0;                  // the descriptor's number of samples
    std::vector<uint8_t> data;             // the data block, written as given
    std::vector<std::string> strings;      // the trace's string list, in order
    std::optional<uint32_t> dataSizeField; // default: data.size()
    uint16_t blockSize = 0;                // 0: the smallest multiple of 4 that holds the strings
};

struct File {
    std::vector<std::string> strings = {"NOTE"};  // the file descriptor's string list
    std::vector<Trace> traces;
    uint16_t extraPointerRoom = 0;  // M = 4N + this (a multiple of 4 keeps the file conforming)
    uint16_t revision = 1;
};

// The standard's layout: descriptor, pointer sub-block of M bytes, the file strings, then each
// trace's descriptor block followed by its data block, without gaps.
std::vector<uint8_t> WriteStandard(const File& file);

// Convenience traces with the strings a real instrument writes (SAMPLE_INTERVAL, positions).
Trace MakeTrace(int code, uint32_t samples, std::vector<uint8_t> data, double intervalSeconds, double receiver,
                double source);

// The same file in big-endian byte order (IDs 3A 55 and 44 22, every field and sample swapped).
std::vector<uint8_t> ToBigEndian(const std::vector<uint8_t>& littleEndian);

// ---------------------------------------------------------------------------------------------
// The older layout of the first SEG-2 writer

struct OldTrace {
    int32_t receiverHundredths = 0;
    int32_t sourceHundredths = 0;
    int32_t component = 1;
    float delayUs = 0.0f;
    float intervalUs = 250.0f;
    std::vector<float> samples;
};

// Descriptor as written there; pointers 544 + 4N and P + 512 + 4 ns; a 512-byte file string
// block holding "NOTE" as four 16-bit values; trace strings from P + 48 as text, NUL and two
// more zero bytes, "NOTE" last with only its NUL; samples at P + 512 (code 4 floats, code 2
// int32 = truncation of sample / scale x 1925431424); the file ends at the larger of
// P + 512 + 4 ns and P + 1072 for the last trace.
std::vector<uint8_t> WriteOldLayout(const std::vector<OldTrace>& traces, int code = 4, float scale = 1.0f);

// The fixture set the tests and `seg2_fixtures` share: name -> bytes.
struct NamedFixture {
    std::string name;         // file name, e.g. "seg2-code1-int16.sg2"
    std::string description;  // one line for tests/data/README.md
    std::vector<uint8_t> bytes;
};
std::vector<NamedFixture> StandardFixtures();

}  // namespace velk::testing::seg2fixture
