#pragma once
// GPR radar records in the maker's text form: white-space separated, per trace a header
// "%d%f%f%f%d" (samples n, three numbers of which the second is the sample interval in
// seconds, gain points g), g gains in dB, a word and an integer (logged only), then n integer
// samples. Each sample is divided by the gain factor 10^(dB x 0.05) interpolated linearly
// between g break points spread over the trace, and multiplied by 10000.

#include <memory>
#include <string>
#include <string_view>

#include "base/waveform_store.h"
#include "formats/format_support.h"
#include "formats/load_target.h"

namespace velk {

class UiHost;

// What the radar text reader gives besides the traces.
struct GprRadarRead {
    int traces = 0;
    int samples = 0;          // of the last trace read: n less the length of its last gain segment
    float intervalMs = 0.0f;  // of the last trace read
};

// The gain factor at sample k of a trace of n samples with break points at 0, s, 2s ...
// (g - 1)s, s = n / (g - 1) (integer division), interpolated linearly between the break
// points' factors and held at the last one beyond it. With fewer than two gain points, or
// fewer samples than gain segments, the factor is the first point's (1 without any).
double GprGainFactor(std::span<const double> factors, int n, int k);

// Reads traces from `text` into the target from k = 0 until the end of the text, the first
// value that does not scan, a count the text cannot hold, or the room the target gives (with
// the "too many traces" message). A trace that is not complete is not counted (with a warning
// when it is not simply the end of the text). Samples beyond MAX_SAMPLE are cut with the
// samples message. Headers: trace number 1, receiver (k + 1) x 100, source 0, gain 1, component
// 1000, delay 0, the trace's interval and samples. Rewrites "radar.txt". Returns the traces
// read (0 when none, after a message).
int ReadGprRadarText(std::string_view text, LoadTarget& target, FormatContext& ctx, GprRadarRead& out);

struct GprOpenResult {
    OpenOutcome outcome = OpenOutcome::NothingRead;
    std::string path;
    GprRadarRead read;
    std::unique_ptr<LoadTarget> target;  // a new record from 0
};

// The holder of "Open GPR file".
class CGprFileDlg {
public:
    static constexpr const char* kClass = "CGprFileDlg";

    // File dialog ("*.*", "ZAV GPR file(*.*)"); a file that cannot be opened gives "Data file
    // could not be opened". NewRecord when at least one trace was read.
    GprOpenResult ReadGprRadarFile(UiHost& ui, int language, LogSink& log, const WaveformStore& store);
};

inline constexpr const char* kDataFileNotOpened = "Data file could not be opened";

}  // namespace velk
