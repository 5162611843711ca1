#pragma once
// SEG-Y: records that the program imports but never writes.
//
// The reader follows the binary header: the data sample format code (1 IBM float, 2 int32,
// 3 int16, 5 IEEE float, 8 int8, each with its own size), the byte order (the rev-2 byte-order
// mark when present, else the order in which the format code is one of those five, else the
// user's answer to "Convert to IEEE format ?"), extended textual headers (a count, or -1 with
// an end stanza), the samples per trace (binary header, else the first trace header) and the
// interval. Traces follow one another after the headers; their count comes from the file size
// (traces per ensemble play no part), a trailing partial trace is dropped with a warning, and
// at most the room the target gives is read, with the "too many traces" message. Trace headers
// are skipped: receivers 0, 1, 2 ... m, source 0, delay 0.
//
// Every read rewrites the diagnostic log "segy_read.txt" (built in memory, written once).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "base/waveform_store.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "platform/byte_io.h"

namespace velk {

class UiHost;

// ---------------------------------------------------------------------------------------------
// Sample conversion

inline constexpr int kIbmSingle = 0;      // IBM System/360 single precision
inline constexpr int kIeeeBigEndian = 1;  // IEEE single, big-endian

// Converts `count` big-endian 32-bit words (4 x count bytes in file order) into floats.
// Mode 0: IBM single precision (sign, excess-64 base-16 exponent, 24-bit fraction), rounded to
// the nearest float; values beyond the float range become +-FLT_MAX (counted as clamped).
// Mode 1: the word's bits as an IEEE single; NaN and infinities become 0 (counted as
// non-finite). Converts no more words than `words` and `out` hold.
void IbmToIeee(std::span<const uint8_t> words, std::span<float> out, size_t count, int mode, ConversionCount& cc);

// One word of either mode, as above.
float IbmWordToFloat(uint32_t word, ConversionCount& cc);
float IeeeWordToFloat(uint32_t word, ConversionCount& cc);

// ---------------------------------------------------------------------------------------------
// Layout

// Binary data sample format codes that are read.
inline constexpr int kSegYIbm = 1;
inline constexpr int kSegYInt32 = 2;
inline constexpr int kSegYInt16 = 3;
inline constexpr int kSegYIeee = 5;
inline constexpr int kSegYInt8 = 8;
inline constexpr size_t kSegYTextHeader = 3200;
inline constexpr size_t kSegYBinaryHeader = 400;
inline constexpr size_t kSegYTraceHeader = 240;

// Bytes of one sample of a format code; 0 for a code that is not read.
int SegYSampleBytes(int formatCode);

// Which road reads the file; it gives the meaning of Yes when the question has to be asked
// (document road: big-endian IBM floats; "Open SEGY file": big-endian IEEE floats; No on both:
// little-endian int32).
enum class SegYRoad { Document, Menu };

// What the headers say about the file.
struct SegYLayout {
    ByteOrder order = ByteOrder::Big;
    int format = kSegYIbm;
    int sampleBytes = 4;
    bool asked = false;               // the byte order came from the user's answer
    int tracesPerEnsemble = 0;        // logged only
    uint16_t intervalUs = 0;          // 0: the file gives none
    int samples = 0;                  // samples per trace in the file
    uint64_t dataStart = 0;           // first trace header
    uint64_t traceBytes = 0;          // trace header + samples
    uint64_t traces = 0;              // complete traces in the file
    bool partialTrace = false;        // bytes after the last complete trace
};

// Reads the binary header, asks the question when the byte order is undecided, and finds the
// traces. False (after a message) for a file that cannot be read: shorter than the headers, a
// byte-order mark with an unknown format code, extended textual headers beyond the end or
// without their end stanza, additional trace headers, no samples per trace, or no complete
// trace. The diagnostic text so far goes to `log` when given.
bool DecodeSegYLayout(ByteSource& file, SegYRoad road, FormatContext& ctx, SegYLayout& layout,
                      std::string* log = nullptr);

// Reads the traces of a decoded file into the target from k = 0: at most target.Capacity()
// (with the "too many traces" message), at most MAX_SAMPLE samples each (with the samples
// message), a warning for a dropped partial trace and for samples that had to be changed.
// Headers: trace number h + 1 and receiver h x 100 for store index h = target.Start() + k,
// source 0, gain 10, component 1, delay 0, the file's interval, the samples kept. Rewrites
// "segy_read.txt" with `log` followed by the traces' lines. Returns the traces read.
int ReadSegYTraces(ByteSource& file, const SegYLayout& layout, LoadTarget& target, FormatContext& ctx,
                   std::string log = {});

// The document road: DecodeSegYLayout then ReadSegYTraces. Returns the traces read, or -1
// for a refused file. (The document refuses a file without an interval afterwards.)
int ReadSegY(ByteSource& file, LoadTarget& target, FormatContext& ctx);

// ---------------------------------------------------------------------------------------------
// "Read SegY file": the holder of the "Open SEGY file" command.

struct SegYOpenResult {
    OpenOutcome outcome = OpenOutcome::NothingRead;
    std::string path;
    int samples = 0;          // per trace, as kept
    float intervalMs = 0.0f;
    int traces = 0;
    std::unique_ptr<LoadTarget> target;  // traces at k = 0 .. traces-1, a new record from 0
};

class CSegYFileDlg {
public:
    static constexpr const char* kClass = "CSegYFileDlg";

    // File dialog ("*.*", "SegY file(*.*)"), then the menu road's reading. A file without an
    // interval is refused with a message. NothingRead on cancel or any refusal.
    SegYOpenResult OpenSegYDialog(UiHost& ui, int language, LogSink& log, const WaveformStore& store);
};

}  // namespace velk
