#pragma once
// The instrument ".ORG" record: a 2816-byte binary header whose bytes 2..11 name the model, a
// 112-byte block of text fields (each up to a carriage return), one 32-byte text block per
// channel with its gain in dB at offset 28, and from byte 6144 the samples, trace after trace:
// int32 when the model names "Tq470F"/"TQ470F", int16 for other "Tq"/"TQ" models, else int32.
//
// Text block fields (offsets from 2816): 51 channel count C ("%d"), 54 samples per trace n
// ("%d"), 59 interval in ms ("%f"), 65 delay in ms ("%f"). The record holds C channels and
// up to two further traces (gain factor 1); a file that ends at a trace boundary before them
// is complete. A sample is the stored value divided by its channel's factor 10^(dB x 0.05).
//
// The writer declares 10 dB on every channel, so it stores trunc(sample x 10^0.5): reading
// the file back gives the samples within one count / 10^0.5.

#include <cstdint>
#include <optional>
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

inline constexpr size_t kOrgBlockOffset = 2816;   // the text block
inline constexpr size_t kOrgBlockSize = 112;
inline constexpr size_t kOrgChannelOffset = 2928; // the first channel block
inline constexpr size_t kOrgChannelSize = 32;
inline constexpr size_t kOrgGainField = 28;       // in a channel block
inline constexpr size_t kOrgDataOffset = 6144;
// What the written fields hold: two digits of channels, four of samples.
inline constexpr int kOrgMaxWriteTraces = 99;
inline constexpr int kOrgMaxWriteSamples = 9999;
// The gain every written channel declares, in dB, and its factor 10^(10 x 0.05).
inline constexpr int kOrgWrittenGainDb = 10;
inline constexpr double kOrgWrittenGainFactor = 3.16227766016837933;

// The model text of a header (bytes 2..11, up to a zero byte) and the sample width it selects.
std::string OrgModelText(std::span<const uint8_t> header);
int OrgSampleBytes(std::string_view model);  // 4 or 2

// The fields of header and text block that the readers of the family use. False when the
// bytes do not hold the header and the text block.
struct OrgLayout {
    std::string model;
    int sampleBytes = 4;
    std::optional<int32_t> channels;  // block offset 51
    std::optional<int32_t> samples;   // block offset 54
    double intervalMs = 0.0;          // block offset 59 (0 when absent)
    double delayMs = 0.0;             // block offset 65 (0 when absent)
};
bool ParseOrgLayout(std::span<const uint8_t> bytes, OrgLayout& layout);
// The gain in dB of channel c (0 when its field is absent); the caller checks that the block
// lies inside `bytes`.
int32_t OrgChannelGainDb(std::span<const uint8_t> bytes, int64_t c);

// The checks of the family's readers before they read samples: a channel count of at least 0,
// 1 .. maxSample samples, the channel blocks inside the file. False after a message.
bool CheckOrgLayout(std::span<const uint8_t> bytes, const OrgLayout& layout, int maxSample, FormatContext& ctx);

// The gain factor of a dB value: 10^(dB x 0.05), or 1 (*odd set) when that is 0 or infinite as a float.
double OrgGainFactor(int32_t db, bool* odd = nullptr);

// Reads the record into the target from k = 0 (store index Start() + k): C + 2 traces at
// most, as many complete ones as the file holds. Headers: trace number k + 1, receiver
// (k + 1) x 100, source 0, gain the channel's dB (0 for the two extra traces), component 1,
// delay and interval x 1000, count n. Rewrites the log "read_Torvane_file.txt". Refuses (-1,
// after a message) a short header, a missing count, n above MAX_SAMPLE, channel blocks past
// the end of the file, or more traces than the room left. Otherwise returns the traces read.
int ReadTorvaneOrg(ByteSource& file, LoadTarget& target, FormatContext& ctx);
int ReadTorvaneOrgFile(const std::string& path, LoadTarget& target, FormatContext& ctx);

// Headers only, into headers[0 ..]: C + 1 of them for 32-bit samples, C for 16-bit ones,
// with the words ReadTorvaneOrg gives (the header beyond the channels: gain 0). At most
// headers.size() (with the traces message). -1 after a message for a refused file.
int ReadTorvaneOrgVariant(ByteSource& file, std::span<CTraceHeader> headers, FormatContext& ctx);
// The same from a path; one less for paths that contain "ifp" or "IFP".
int ReadTorvaneOrgVariantFile(const std::string& path, std::span<CTraceHeader> headers, FormatContext& ctx);

// Writes traces 0 .. count-1 as a 32-bit .ORG record: C = count, n and the interval from the
// first trace; every trace n samples (zeros beyond its own count), each the nearest integer to
// the sample times the written gain factor, so a record read back and saved again keeps its
// integers. Refused (nothing written):
// C above 99, n above 9999 or below 1, too few rows or headers. The interval field has five
// characters (OrgIntervalWarning says when that loses digits); the clamps of the int32
// conversion are counted in the status.
WriteStatus WriteTorvaneOrg(ByteSink& sink, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                            int count);
WriteStatus WriteTorvaneOrgFile(const std::string& path, const Matrix2D<float>& rows,
                                std::span<const CTraceHeader> headers, int count);

// The first five characters of "%f" of an interval, and the warning when they do not read
// back as the same float (0.03125 ms is written "0.031"); empty when they do.
std::string OrgIntervalText(double intervalMs);
std::string OrgIntervalWarning(int language, double intervalMs);

}  // namespace velk
