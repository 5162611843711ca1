#pragma once
// SEG-2: the program's main shot-record format.
//
// Reading takes both layouts: the standard's (Pullan, 1990: string lists of [uint16 distance to
// the next entry][text][NUL], trace strings from P + 32) and the program's older layout
// (strings at P + 48 without distances). Keys are found by a substring scan over
// [P + 32, P + block size), clipped to the file. Every count, pointer, offset and length is
// checked against the file size and the target's capacity; a bad or short file gives a
// message and the reader returns -1, so the caller commits nothing and the store stays as it
// was. Data codes 1 int16, 2 int32, 3 20-bit (one's-complement mantissa, per the standard),
// 4 float32, 5 float64.
//
// Writing produces the standard's layout with the program's own keys and values: a 512-byte file
// string block holding the one entry "NOTE", trace blocks of block size 512 (or the next
// multiple of 4 that holds a long list), samples at P + block size, the file ending at the last
// data block. Codes 2 (int32 scaled by the peak) and 4 (float32).

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "base/waveform_store.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "platform/clock.h"

namespace velk {

class ByteSink;
class ByteSource;
class UiHost;

inline constexpr uint16_t kSeg2FileId = 0x3A55;   // bytes 55 3A
inline constexpr uint16_t kSeg2TraceId = 0x4422;  // bytes 22 44
// More traces do not fit: the pointer-table size 4N is a uint16.
inline constexpr int kSeg2MaxWriteTraces = 16383;

// ---------------------------------------------------------------------------------------------
// Reading

// Reads the record into the target: trace k of the file (k < target.Capacity()) into
// target.Row(k), target.Header(k) and the latitude/longitude of target.HeaderEx(k). Trace
// numbers count from target.Start(). `skip` keeps every skip-th sample and multiplies the
// interval (skip < 1 is refused). Returns the traces read (0 when the target has no room left,
// after the "Only 0 traces has been read !" message), or -1 when the file was refused, after a
// message; the target's contents are then meaningless.
//
// A file that holds a coherence image (see Seg2Image) fills `image` when one is given and is
// refused with a message otherwise: its rows are not waveforms.
struct Seg2Image;
int ReadSeg2(ByteSource& file, LoadTarget& target, int skip, FormatContext& ctx, Seg2Image* image = nullptr);

// The header-only reader of the file lists: headers[start + i] and records[start + i] for
// i < min(N, headers.size() - start); no samples. headers.size() is MAXTRACES; records is
// empty or as long as headers. Returns N (clamped to MAXTRACES, with the capacity messages), or
// -1 for a refused file (message shown, headers unspecified).
int ReadSeg2Headers(ByteSource& file, std::span<CTraceHeader> headers,
                    std::span<CTraceHeaderEx> records, int start, int maxSample,
                    FormatContext& ctx);

// The latitude/longitude of a NOTE text: "NOTE" is searched in `text`, the fields
// at their offsets from it, never past the end of `text`. True (values written) when the
// first pair is complete; the second pair's values win when it is complete too.
bool ParseSeg2Note(std::string_view text, double& latitude, double& longitude);

// Format code 3: groups of four samples in 10 bytes (a uint16 of four 4-bit shift counts, the
// first sample's in the lowest bits, then four int16 one's-complement mantissas); sample =
// (m + (m < 0 ? 1 : 0)) shifted left by its count. Decodes exactly samples.size() values; bytes
// missing from `packed` read as zero.
void Unpack20BitSamples(std::span<const uint8_t> packed, std::span<int32_t> samples);

struct Seg2OpenResult;

// The readers behind OpenSeg2FloatDialog and OpenSeg2Packed20Dialog, over a byte source, with
// the checks and limits of ReadSeg2. They fill the target from k = 0 and the result's
// samples, intervalMs (and, for the 20-bit road, the position and component arrays); the
// caller sets start, path and outcome. Return the traces read, or -1 for a refused file.
int ReadSeg2FloatData(ByteSource& file, LoadTarget& target, FormatContext& ctx, Seg2OpenResult& out);
int ReadSeg2Packed20(ByteSource& file, LoadTarget& target, FormatContext& ctx, Seg2OpenResult& out);

// ---------------------------------------------------------------------------------------------
// Writing

// What a record made by the acquisition says of itself beyond its headers: when it was
// recorded and how many shots were summed into it. Written as ACQUISITION_DATE "dd/mm/yyyy",
// ACQUISITION_TIME "hh:mm:ss" and STACK (unless no record has been read yet), and the
// standard "DELAY" string beside "*DELAY" with the same value, so that any reader finds the
// pre-trigger. Records written without it keep the fixed date strings and carry neither STACK
// nor DELAY.
struct Seg2RecordFacts {
    LocalTime time;
    int stack = 1;
    bool recorded = true;  // false: no record read yet; the fixed date strings, no STACK
};

// A coherence image saved as SEG-2: rows of separations, samples of frequency bins. Its traces
// carry the strings "VELK_COHERENCE_IMAGE <dimension>" and "VELK_COHERENCE_SHOWN <bins shown>"
// (other readers ignore them) and the exact step as SAMPLE_INTERVAL in the unit of the headers'
// interval word (Hz x 0.001).
inline constexpr const char* kSeg2ImageKey = "VELK_COHERENCE_IMAGE";
inline constexpr const char* kSeg2ImageShownKey = "VELK_COHERENCE_SHOWN";
struct Seg2Image {
    bool present = false;        // set by the reader when the file holds an image
    int dimension = 1;           // 1 or 2: the SPAC that made it
    double frequencyStep = 0.0;  // Hz per sample
    int shown = 0;               // bins up to the Nyquist frequency (0: all)
};

// Writes traces 0..count-1 (rows.Row(i), headers[i], headers[i].samples samples, clamped to the
// row) at the sink's position. formatCode 4: float32 as stored; 2: int32 = the nearest integer
// to sample / scale x 1925431424 clamped to int32 (scale <= 0: zeros), the clamps counted in the
// status. `records` (empty, or at least count entries) adds LATITUDE/LONGITUDE strings above
// -1000. Refuses count < 0, count > kSeg2MaxWriteTraces, other codes, rows or headers too
// short. A failed sink fails the status.
// `image` (not null) writes the record as that coherence image.
WriteStatus WriteSeg2(ByteSink& sink, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                      int count, int formatCode, float scale, std::span<const CTraceHeaderEx> records,
                      const Seg2RecordFacts* facts = nullptr, const Seg2Image* image = nullptr);

// Creates `path` through an atomic file (temporary file, then rename): a failure leaves the old
// file as it was. No LATITUDE/LONGITUDE strings; `facts` as in Seg2RecordFacts.
WriteStatus WriteSeg2File(const std::string& path, const Matrix2D<float>& rows,
                          std::span<const CTraceHeader> headers, int count, int formatCode, float scale,
                          const Seg2RecordFacts* facts = nullptr, const Seg2Image* image = nullptr);

// As WriteSeg2 without records, on an already open sink (the document's 560QX save, code 4,
// scale 1.0).
WriteStatus WriteSeg2AsFloat(ByteSink& sink, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                             int count, int formatCode, float scale);

// The strings of one trace as the writer makes them (for tests and the conformance tools).
std::vector<std::string> Seg2TraceStrings(const CTraceHeader& header, const CTraceHeaderEx* record,
                                          const Seg2RecordFacts* facts = nullptr, const Seg2Image* image = nullptr);

// ---------------------------------------------------------------------------------------------
// The holder of the SEG-2 menu commands' dialogs (never shown itself).

struct Seg2OpenResult {
    OpenOutcome outcome = OpenOutcome::NothingRead;
    std::string path;        // the full path chosen ("" when cancelled)
    int start = 0;           // store index of the first trace read
    int tracesRead = 0;
    int traceCount = 0;      // start + tracesRead: the reader's out trace count
    int samples = 0;         // trace 1's sample count (float dialog: the last trace's)
    float intervalMs = 0.0f; // trace 1's interval in ms (float and 20-bit: the last trace's)
    Seg2Image image;         // OpenSeg2Dialog: the file holds a coherence image
    // The traces read, at k = 0 .. tracesRead-1 for store index start + k; the road commits
    // them only when it goes on. Null when nothing was read.
    std::unique_ptr<LoadTarget> target;
    // OpenSeg2Packed20Dialog only, indexed by k: positions in metres and components as the
    // file gives them (absent receiver: k; absent source 0; absent component 1).
    std::vector<float> receivers;
    std::vector<float> sources;
    std::vector<int> components;
};

class CSeg2FileDlg {
public:
    static constexpr const char* kClass = "CSeg2FileDlg";

    // "Open SEG2 file": file dialog, then (traces loaded) "Open data file"; reads with skip 1
    // from start 0 (new) or loadedCount (append). NothingRead on cancel, an unreadable or
    // refused file.
    Seg2OpenResult OpenSeg2Dialog(UiHost& ui, int language, const WaveformStore& store, int loadedCount);

    // "Open Seg2 file (float data)": a file whose interval stands at string offset 290 (or
    // 293) and whose samples are int32 of the opposite sign, x -0.001. A new record from 0.
    // NewRecord when read, NothingRead when no file or a refused file.
    Seg2OpenResult OpenSeg2FloatDialog(UiHost& ui, int language, const WaveformStore& store);

    // "Save SEG2 file": file dialog, ".dat" added unless the name has a SEG-2 extension, the
    // overwrite question, then WriteSeg2File code 4 scale 1.0 (`image`: as that coherence
    // image). A failed write shows FileSaveFailedMessage and gives Failed (the old file unchanged).
    SaveOutcome SaveSeg2Dialog(UiHost& ui, int language, const Matrix2D<float>& rows,
                               std::span<const CTraceHeader> headers, int count, const Seg2Image* image = nullptr);

    // "Open SEG2 file(20bit float)": every trace unpacked as 20-bit data whatever its code;
    // the diagnostic log "seg2.txt" is rewritten on every call. Fills the target's rows, the
    // position and component arrays, and the target headers with the sample count, the
    // interval and the positions (the road may replace them).
    Seg2OpenResult OpenSeg2Packed20Dialog(UiHost& ui, int language, LogSink& log,
                                          const WaveformStore& store, int loadedCount);
};

}  // namespace velk
