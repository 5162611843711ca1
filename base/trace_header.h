#pragma once
// The per-trace header records of the waveform store.
//
// CTraceHeader is a plain, trivially copyable struct of eight 32-bit words, so that header
// arrays copy word by word (undo snapshots, bulk reads) and no class identity ever reaches a
// file. CTraceHeaderEx adds plane coordinates and a geographic position that never reach a
// file through these operations: both serialise only the 32-byte base.

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace velk {

class ByteSink;
class ByteSource;

struct CTraceHeader {
    static constexpr size_t kBinarySize = 32;  // eight little-endian words, no padding

    int32_t traceNumber = 0;         // word 1: plain count, as the file gives it
    int32_t receiverHundredths = 0;  // word 2: receiver position x 100 (distance unit)
    int32_t sourceHundredths = 0;    // word 3: source position x 100 (distance unit)
    int32_t gain = 0;                // word 4: fixed gain, as the instrument gives it
    int32_t component = 1;           // word 5: component code, 1 for single-component data
    float delayUs = 0.0f;            // word 6: first sample relative to the trigger, µs
    float intervalUs = 0.0f;         // word 7: sample interval, µs
    int32_t samples = 0;             // word 8: samples held in this trace's row

    // Assigns all eight words in word order.
    void Set(int32_t traceNumber_, int32_t receiverHundredths_, int32_t sourceHundredths_,
             int32_t gain_, int32_t component_, float delayUs_, float intervalUs_,
             int32_t samples_);

    // Writes the 32-byte little-endian form. Returns 1; a failed write shows in the sink's
    // sticky error flag, which decides the result of the save.
    int WriteBinary(ByteSink& sink) const;

    // Reads the 32-byte form word by word and returns the bytes actually read (32 for a
    // complete record). Only complete words are committed: at an end of data inside a word,
    // that word and the following ones keep their earlier values.
    size_t ReadBinary(ByteSource& source);

    // Writes the text line "%d %d %d %d %d %f %f %d \n" in the C locale. Returns 1; a failed
    // write shows in the sink's sticky error flag.
    int WriteText(ByteSink& sink) const;

    bool operator==(const CTraceHeader&) const = default;
};

static_assert(sizeof(CTraceHeader) == CTraceHeader::kBinarySize);
static_assert(std::is_trivially_copyable_v<CTraceHeader>);
static_assert(std::is_standard_layout_v<CTraceHeader>);

// A header with a plane position (x east, y north, distance unit; 0 until a geometry command
// or a reader sets them) and a geographic one (degrees, -1000 = unknown).
//
// The base is public and non-virtual, so a CTraceHeaderEx copies into a CTraceHeader by
// slicing (the eight words, as intended). Never walk an array of CTraceHeaderEx through a
// CTraceHeader pointer: the element sizes differ.
struct CTraceHeaderEx : CTraceHeader {
    static constexpr float kUnknownDegrees = -1000.0f;

    float x = 0.0f;
    float y = 0.0f;
    float latitude = kUnknownDegrees;
    float longitude = kUnknownDegrees;

    // Plane distance between this record's (x, y) and the other's; the base words and the
    // geographic position play no part.
    float DistanceTo(const CTraceHeaderEx& other) const;

    bool operator==(const CTraceHeaderEx&) const = default;
};

static_assert(sizeof(CTraceHeaderEx) == CTraceHeader::kBinarySize + 4 * sizeof(float));
static_assert(std::is_trivially_copyable_v<CTraceHeaderEx>);

}  // namespace velk
