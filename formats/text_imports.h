#pragma once
// Small waveform layouts from laboratories, other instruments and spreadsheets, read into a
// LoadTarget (traces from k = 0), and the text layouts the store is written back as.
//
// Readers: columns of numbers m to a trace ("Open text data file"), time/value pairs
// (Oskerby), a table of a time and one value per trace ("as rows"), Morvath's text, a laser
// doppler vibrometer export, a binary dump of little-endian int32 words, Brevik's time/value
// pairs (each trace also as its own 8-header file), DWM's grouped lines and Varnel's text.
// Every reader takes the text (or bytes) and its parameters, shows its own messages and
// returns the traces read, or 0 or less when nothing can be committed. A file with more traces
// than the room left keeps the traces that fit, and one with traces longer than MAX_SAMPLE
// keeps the file's trace boundaries and stores MAX_SAMPLE samples of each; both say so.
//
// Writers make the whole text; the commands write it through an atomic file.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "formats/format_support.h"
#include "platform/uihost.h"

namespace velk {

class LoadTarget;

// The shape of what a reader read.
struct TextImport {
    int traces = 0;
    int samples = 0;        // per trace as stored (at most MAX_SAMPLE)
    float intervalMs = 0.0f;
};

// "Read text-format file": the samples per trace and the sampling time of a text file.
struct CReadTextFormatDlg {
    static constexpr const char* kClass = "CReadTextFormatDlg";
    static constexpr int kMaxSamples = 2000000;
    int samples = 0;
    float samplingTime = 0.0f;  // ms

    DialogRequest Request(int language);
};

// "# of samples and sampling frequency" (the opening of frequency-domain data uses it too).
struct CSamplesFrequencyDlg {
    static constexpr const char* kClass = "CSamplesFrequencyDlg";
    int samples = 0;
    float samplingFrequency = 0.0f;  // Hz

    DialogRequest Request(int language);
};

// "Open text data file": numbers m to a trace, trace after trace; only complete traces count.
int ReadTextTraces(std::string_view text, int samplesPerTrace, LoadTarget& target, FormatContext& ctx, TextImport& out);

// "Read Danvel Oskerby's file": time (s) and value pairs; MAX_SAMPLE values to a trace, further
// pairs in the next; the interval from the first two times. Fewer than two pairs are refused.
int ReadOskerbyFile(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out);

// "Open text data file (as rows)": "n m", then m rows of a time and n values; the interval from
// the first and last time of the rows read. Fewer than two rows are refused.
int ReadTextRows(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out);

// "Read Morvath Delquin's file": five lines (six when line 2 holds "Data", whose "V"s count the
// traces), then rows of a time (s) and one value per trace. Shows "Number of traces=%d". The
// interval spans the rows read: (last - first) / (rows - 1). The headers are the file's: trace
// number 1, receivers 0, 1, 2 ... m, gain 10.
int ReadMorvathFile(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out);

// "Read laser doppler file": per-trace intervals (x 1000.0001 µs), delays and sample counts in
// the headers, samples negated.
int ReadLaserDopplerFile(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out);

// "Open binary data file": traces of `wordsPerTrace` little-endian int32 words, as many as the
// file holds whole; "open_binary_file.txt" gets the first 4000 samples of each.
int ReadBinaryTraces(std::span<const uint8_t> bytes, int wordsPerTrace, LoadTarget& target, FormatContext& ctx,
                     TextImport& out);

// "Read Brevik university's file": min(MAX_SAMPLE, 16384) time/value pairs to a trace, only
// complete traces; each also goes to `sideFile` (index, header, samples) with the receiver at
// `receiverLocation` m.
using BrevikSideFile = std::function<void(int index, const CTraceHeader& header, std::span<const float> samples)>;
int ReadBrevikFile(std::string_view text, float receiverLocation, LoadTarget& target, FormatContext& ctx,
                   TextImport& out, const BrevikSideFile& sideFile);
// The side file's name: "mam%d_%s.8hd" (trace index from 0, the file's title).
std::string BrevikSideFileName(int index, std::string_view fileTitle);

// "Read DWM file": lines of a group number, a time and a value; consecutive lines of one group
// form a trace (samples negated). The interval is the time of the last line, the sample count
// the last trace's.
int ReadDwmFile(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out);

// "Read Varnel Delquin's file": the first line's "n m 0", then the samples. The first function
// gives n and m (nullopt when the line does not scan) and where the samples start; the second
// reads them m to a trace, at most n traces.
struct VarnelHeader {
    int traces = 0;
    int samples = 0;
    size_t dataOffset = 0;
};
std::optional<VarnelHeader> ReadVarnelHeader(std::string_view text);
int ReadVarnelSamples(std::string_view text, const VarnelHeader& header, int samplesPerTrace, LoadTarget& target,
                      FormatContext& ctx, TextImport& out);

// ---------------------------------------------------------------------------------------------
// Writers: traces 0..count-1 of `samples` samples each (the row beyond a trace's own count
// reads 0). Numbers in the C locale.

// "Save text data file (as a row)": every sample " %e \n".
std::string TextExportAsARow(const Matrix2D<float>& rows, int count, int samples);
// "Save text data file": one line per trace.
std::string TextExportByTrace(const Matrix2D<float>& rows, int count, int samples);
// "Save text data file (as rows)": "%d %d\n", then per sample index the time (s, from the first
// trace's interval) and the sample of each trace.
std::string TextExportAsRows(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int count,
                             int samples);
// "Write Varnel Delquin's file".
std::string VarnelText(const Matrix2D<float>& rows, int count, int samples);
// "energy.txt": per sample index the sum of |sample| over the traces.
std::string EnergyText(const Matrix2D<float>& rows, int count, int samples);

// The Perrow data files: one ".cdm" file per trace, named "%s%02d.cdm" with the six characters
// of the document's file name from its third (fewer when the name is shorter).
std::string PerrowPrefix(std::string_view documentFileName);
std::vector<std::pair<std::string, std::string>> PerrowFiles(std::string_view documentFileName,
                                                             const Matrix2D<float>& rows,
                                                             std::span<const CTraceHeader> headers, int count,
                                                             int samples);

}  // namespace velk
