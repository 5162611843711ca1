#pragma once
// Files of general-purpose multichannel memory recorders: the 8840 binary file (a text header,
// then channel after channel of 12-bit codes from byte 2048) and the 8826/8841/8842 file (a
// 512-byte file header, one 512-byte header per channel, then interleaved big-endian 16-bit
// samples after a number of 512-byte blocks the user confirms); the two key files that turn
// recorder channels into traces with positions; and the input gain of the first eight
// channels. Both readers write the diagnostic file "mr.txt".
//
// The readers fill a LoadTarget (traces from k = 0); a count that does not fit the store is
// never cut silently, and a file shorter than its header says gives a message.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "formats/format_support.h"
#include "formats/trace_arrays.h"
#include "platform/uihost.h"

namespace velk {

class ByteSource;
class LoadTarget;

// What a reader found: samples per channel as stored (at most MAX_SAMPLE), the interval in ms
// and the channels stored as traces.
struct MemoryRecorderRead {
    int samples = 0;
    float intervalMs = 0.0f;
    int traces = 0;
};

// The readers' message for a file that cannot be opened (Japanese in both languages).
inline constexpr const char* kCannotOpenRecorderFileJa = "ﾃﾞｰﾀﾌｧｲﾙをｵｰﾌﾟﾝできません";

inline constexpr size_t k8840HeaderSize = 134;
inline constexpr size_t k8840ChannelRecordSize = 28;
inline constexpr size_t k8840DataOffset = 2048;
inline constexpr size_t k8826BlockSize = 512;

// "Check # of headers": the number of 512-byte blocks before the data, confirmed by the user,
// with the channel and sample counts it was computed from (shown, not edited).
struct CHeaderCountDlg {
    static constexpr const char* kClass = "CHeaderCountDlg";
    int headers = 0;
    int channels = 0;
    int samples = 0;
    std::string formula;  // the dialog's text (set by Request)

    DialogRequest Request(int language);
};

// "Set gain": a gain for each of the first eight channels, 1.0 each when built.
struct CInputGainDlg {
    static constexpr const char* kClass = "CInputGainDlg";
    static constexpr int kChannels = 8;
    std::array<float, kChannels> gains{1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    std::string text;  // "Set gain for Hioki Memory-recorder" (set by Request)

    DialogRequest Request(int language);
};

// The 8840 file. Returns 1 with the channels read, or 0 when the file holds no complete
// channel (message shown). Channels beyond the target's room and samples beyond MAX_SAMPLE are
// left out with the capacity messages; a file that ends inside a channel keeps the complete
// channels and says so.
int ReadHioki8840(ByteSource& file, LoadTarget& target, FormatContext& ctx, MemoryRecorderRead& out);

// The 8826/8841/8842 file. The header count (file size - channels x samples x 2) / 512 is
// shown in "Check # of headers"; Cancel gives -1. Data that would pass the end of the file from
// the confirmed count give " Reading error ! ret=%d \n" in the log, a message and -1. Returns 1
// with the channels read (each scaled by its range x 0.0000125 when the range is not 0).
int ReadHioki8826(ByteSource& file, LoadTarget& target, FormatContext& ctx, MemoryRecorderRead& out);

// ---------------------------------------------------------------------------------------------
// Key files

// A line of the memory-recorder key file: channel (from 1), receiver x 100, source x 100, two
// integers not used, gain.
struct MemoryRecorderKey {
    int32_t channel = 0;
    int32_t receiver = 0;
    int32_t source = 0;
    float gain = 1.0f;
};
// "%d%d%d%d%d%f" per line; stops at the first line that does not scan, after kMaxKeyLines.
std::vector<MemoryRecorderKey> ParseMemoryRecorderKeyText(std::string_view text);

// One trace of a rebuild: the recorder channel it takes (from 1) and what it becomes.
struct KeyTrace {
    int32_t channel = 0;
    int32_t receiver = 0;
    int32_t source = 0;
    int32_t component = 1;
    float gain = 1.0f;
};
std::vector<KeyTrace> KeyTracesOf(std::span<const MemoryRecorderKey> keys);
// The key file's traces: the line's component, or 1000 when times are shown in seconds.
std::vector<KeyTrace> KeyTracesOf(std::span<const KeyLine> keys, bool secondsFlag);

// Builds the traces the keys name from the `count` channels of `rows` into the target from
// k = 0: for each channel k = 1 .. count and each key naming k, in file order, a trace with
// channel k's first `samples` samples x the key's gain, trace number i, the key's receiver,
// source and component, gain 1, delay 0, the interval (µs) and the sample count. Keys naming no
// channel are ignored; the build stops at the target's capacity (*cut set). Returns the traces
// made.
int RebuildTracesFromKeys(const Matrix2D<float>& rows, int count, int samples, float intervalUs,
                          std::span<const KeyTrace> keys, LoadTarget& target, bool* cut = nullptr);

// "Input gain": traces 0..7 (of `count`) and their peaks times the gains of the dialog.
void ApplyInputGain(Matrix2D<float>& rows, std::span<float> peaks, int count, int samples, const CInputGainDlg& gains);

}  // namespace velk
