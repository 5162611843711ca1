#pragma once
// The relatives of the instrument .ORG record and the field loggers' files:
//
//   ReadTorvane9Text     three-channel text of the Torvane9: a header line (ranges at columns
//                        24-27, 28-31, 32-35, "k" meaning 10000; the interval in us at 41-43),
//                        then 3 x 990 integers, channel after channel
//   ReadQkOrg            "TQ***_QK.ORG": the .ORG header and block, C + 1 traces of int32,
//                        sample = -value (the gains are only logged)
//   Read470Org           "TQ***.ORG": C traces of int16, sample = -value / gain factor
//   ReadShuttleFile      "SUSPE***.ORG": a 1024-byte header (interval "%5d" us at 76), then up
//                        to 50 blocks of 1024 int16, sample = -value
//   WriteShuttleFile     the same layout (with a kept header or a fresh one)
//   ReadKeshFile         a 156-byte header (int16 traces at 4, samples at 6), per trace a
//                        20-byte header and float32 samples; interval 1 ms
//   ReadSuspensionFile   intervals A and B (three characters at 88 and 91), then up to 50
//                        blocks of 1024 int16; traces 3 and 6 have interval B
//   WriteSuspensionFile  the same layout, intervals A and B "%3d" us
//   WriteQkOrg           the QK layout, samples written as -(nearest integer)
//
// Each reader fills a load target from k = 0 and reports samples, interval and traces; every
// count from the file is checked against the file size and the target's room, a record that
// does not fit is refused with the capacity messages (the loggers' 50 blocks keep what fits,
// with the traces message), and a file that ends inside a trace keeps the complete traces with
// a warning. Diagnostic files go to the context's log sink.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/matrix2d.h"
#include "formats/format_support.h"
#include "formats/load_target.h"

namespace velk {

class ByteSink;
class ByteSource;

// What a reader of this family read: the outcome (NothingRead after a message; Torvane9
// reports Appended when its target starts above 0), samples per trace, the interval in ms and
// the traces read into target rows 0 .. traces-1.
struct InstrumentReadResult {
    OpenOutcome outcome = OpenOutcome::NothingRead;
    int samples = 0;
    float intervalMs = 0.0f;
    int traces = 0;
    explicit operator bool() const { return outcome != OpenOutcome::NothingRead; }
};

inline constexpr int kTorvane9Channels = 3;
inline constexpr int kTorvane9Samples = 990;
inline constexpr int kLoggerBlockSamples = 1024;  // shuttle and suspension files
inline constexpr int kLoggerMaxBlocks = 50;
inline constexpr size_t kShuttleHeaderSize = 1024;
using ShuttleHeader = std::array<uint8_t, kShuttleHeaderSize>;

// The message of rows that cannot open their file (shown in Japanese in either language).
inline constexpr std::string_view kCannotOpenDataFileJa = "ﾃﾞｰﾀﾌｧｲﾙをｵｰﾌﾟﾝできません";

// Row 1. NothingRead unless exactly 2970 values were read and the three traces fit (log
// "torvane9.txt").
InstrumentReadResult ReadTorvane9Text(ByteSource& file, LoadTarget& target, FormatContext& ctx);
InstrumentReadResult ReadTorvane9Text(const std::string& path, LoadTarget& target, FormatContext& ctx);

// Rows 2 and 3 (logs "read.txt" and "read470.txt").
InstrumentReadResult ReadQkOrg(ByteSource& file, LoadTarget& target, FormatContext& ctx);
InstrumentReadResult ReadQkOrg(const std::string& path, LoadTarget& target, FormatContext& ctx);
InstrumentReadResult Read470Org(ByteSource& file, LoadTarget& target, FormatContext& ctx);
InstrumentReadResult Read470Org(const std::string& path, LoadTarget& target, FormatContext& ctx);

// Row 4: the first 1024 bytes go to `header` (log "read.txt"). Interval ms = value x 0.001 +
// 0.0000001.
InstrumentReadResult ReadShuttleFile(ByteSource& file, LoadTarget& target, ShuttleHeader& header, FormatContext& ctx);
InstrumentReadResult ReadShuttleFile(const std::string& path, LoadTarget& target, ShuttleHeader& header,
                                     FormatContext& ctx);

// Row 5: `header` (when not null) as it is, else a zero header with the interval in whole us
// (rounded) as "%5d" and a carriage return at 76 (refused unless 1 .. 99999 us); then rows 0 ..
// min(traces, 50)-1, each as one block of 1024 int16 = round(-sample), clamped (counted in the
// status): a longer trace is cut, and from `samples` on the block holds zeros.
WriteStatus WriteShuttleFile(ByteSink& sink, int samples, float intervalMs, int traces, const Matrix2D<float>& rows,
                             const ShuttleHeader* header);
WriteStatus WriteShuttleFile(const std::string& path, int samples, float intervalMs, int traces,
                             const Matrix2D<float>& rows, const ShuttleHeader* header);
// The interval a shuttle header holds (ms as the reader takes it), and whether it is absent.
std::optional<double> ShuttleHeaderIntervalMs(const ShuttleHeader& header);

// Row 6 (log "read.txt"). Negative counts, traces beyond the room or samples beyond
// MAX_SAMPLE are refused.
InstrumentReadResult ReadKeshFile(ByteSource& file, LoadTarget& target, FormatContext& ctx);
InstrumentReadResult ReadKeshFile(const std::string& path, LoadTarget& target, FormatContext& ctx);

// Row 7: fills the target's headers too (trace number 2, receivers 0, 1, 2 ... m, gain 10,
// interval B on traces 3 and 6, A on the others, 1024 samples). Intervals A or B that are not
// above 0 refuse the file (log "read.txt").
InstrumentReadResult ReadSuspensionFile(ByteSource& file, LoadTarget& target, FormatContext& ctx);
InstrumentReadResult ReadSuspensionFile(const std::string& path, LoadTarget& target, FormatContext& ctx);
// What ReadSuspensionFile reads back: a zero header with intervals A and B in whole us (rounded)
// as "%3d" at 88 and 91 (refused unless 1 .. 999 us) and A as a shuttle header has it at 76,
// then the blocks as WriteShuttleFile writes them.
WriteStatus WriteSuspensionFile(ByteSink& sink, int samples, float intervalAUs, float intervalBUs, int traces,
                                const Matrix2D<float>& rows);
WriteStatus WriteSuspensionFile(const std::string& path, int samples, float intervalAUs, float intervalBUs, int traces,
                                const Matrix2D<float>& rows);

// Row 8: traces above 99 or samples outside 1 .. 9999 are refused (their fields would cut
// them); the interval has 5 characters (OrgIntervalWarning says when digits are lost).
WriteStatus WriteQkOrg(ByteSink& sink, int samples, float intervalMs, int traces, const Matrix2D<float>& rows);
WriteStatus WriteQkOrg(const std::string& path, int samples, float intervalMs, int traces, const Matrix2D<float>& rows);

// What the commands of this family keep between files, in the workspace.
struct InstrumentFileState {
    ShuttleHeader shuttleHeader{};  // the header of the last shuttle file read
    int shuttleHeaderHeld = 0;      // 1 once a shuttle file was read
    // "Open Torvane9 file": the source position of "Source location etc." and the geometry of
    // "Make trace header key", kept for the next file (m).
    float torvane9Source = 0.0f;
    float torvane9FirstReceiver = 0.0f;
    float torvane9Spacing = 1.0f;
    int oldEightHeaderFile = 0;     // 1 after an old 8-header file was opened
    int textEightHeaderRecord = 0;  // 1 after the text form was opened
};

}  // namespace velk
