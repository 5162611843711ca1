#pragma once
// Operations on a record held as rows of float samples plus per-trace arrays: the sort by
// receiver position that follows nearly every load, reordering by a key file, the
// repeated-configuration test, and a few per-trace measurements of the surface-wave analysis.
//
// Every sort computes one stable order (ascending receiver word; equal receivers keep their
// order; nothing is lost or repeated) and applies it to every per-trace array it is given. A
// moved header takes all its words with it except the trace number, which stays with the
// position (so numbers that read 1, 2, 3 ... before still do).

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class WaveformStore;

// The stable order of the first `count` traces by receiver word: order[i] is the index of the
// trace that goes to position i.
std::vector<int> ReceiverOrder(int count, std::span<const CTraceHeader> headers);

// Applies an order to one per-trace array: array[i] := old array[order[i]] for i < order.size().
template <class T>
void ApplyTraceOrder(std::span<const int> order, std::span<T> array)
{
    if (array.size() < order.size()) return;
    std::vector<T> old(array.begin(), array.begin() + static_cast<std::ptrdiff_t>(order.size()));
    for (size_t i = 0; i < order.size(); ++i) array[i] = old[static_cast<size_t>(order[i])];
}

// Applies an order to headers (the trace number stays with the position) and to the rows of a
// sample matrix (whole rows, one row of scratch).
void ApplyOrderToHeaders(std::span<const int> order, std::span<CTraceHeader> headers);
void ApplyOrderToHeaders(std::span<const int> order, std::span<CTraceHeaderEx> headers);
void ApplyOrderToRows(std::span<const int> order, Matrix2D<float>& rows);

// Sorts the first `count` traces by receiver: headers, rows, peaks, and the extended records
// when given (empty span: none). Count 1 or less: nothing happens. Returns the order applied.
std::vector<int> SortTracesByReceiver(int count, std::span<CTraceHeader> headers, Matrix2D<float>& rows,
                                      std::span<float> peaks, std::span<CTraceHeaderEx> records = {});

// The same, and each trace's strong-motion record moves with it: `moveStationRecords` gets the
// order to apply to the station set's per-trace records (ApplyTraceOrder does it for an array).
std::vector<int> SortTracesWithStationRecords(int count, std::span<CTraceHeader> headers, Matrix2D<float>& rows,
                                              std::span<float> peaks,
                                              const std::function<void(std::span<const int>)>& moveStationRecords,
                                              std::span<CTraceHeaderEx> records = {});

// Sorts every per-trace array of the current record of the store: rows, headers, extended
// headers, the parameter set's maxima, picks, layer codes and selection flags, and the
// display factor, mark, pick amplitude and time shift; the imaginary parts of complex data;
// and, when given, the strong-motion set's records. Returns the order applied.
std::vector<int> SortStoreByReceiver(WaveformStore& store, int count,
                                     const std::function<void(std::span<const int>)>& moveStationRecords = {});

// 1 when two of the first `count` traces share both receiver and source word, else 0.
int HasRepeatedConfiguration(int count, std::span<const CTraceHeader> headers);

// The key-file reorder: the same stable receiver order over the given arrays.
void ReorderTracesByKey(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int count);

// One line of a key file: trace (1-based, in the loaded record), receiver word, source word,
// component; the other two values of the line are read and not used.
struct KeyLine {
    int32_t trace = 0;
    int32_t receiver = 0;
    int32_t source = 0;
    int32_t component = 0;
};
constexpr int kMaxKeyLines = 48001;

// The lines of a key file: six integers each, read free-format; reading stops at the first
// line that does not scan (and after kMaxKeyLines lines). Two layouts: "trace receiver source
// component - -", and the one "Save Key file" writes, "1 1 trace receiver source component",
// recognised when every line starts with 1 1 and the third values count 1, 2, ..., n.
std::vector<KeyLine> ParseKeyText(std::string_view text);
// The key file of the first `count` traces as "Save Key file" writes it: per trace
// "1 1 trace receiver source component" (trace from 1), each line ending " \n".
std::string KeyFileText(std::span<const CTraceHeader> headers, int count);

// Applies key lines to the first `count` traces: for each trace b (1-based, in order) that a
// line names (the first such line), the next kept trace j gets number j (from 0), receiver,
// source and component of the line, gain 1, delay 0, the interval and sample count of the
// first trace, and trace b's samples. Traces no line names are dropped. Then the kept traces
// are sorted by receiver. Returns the number kept.
int ApplyKeyLines(std::span<const KeyLine> lines, Matrix2D<float>& rows, std::span<CTraceHeader> headers, int count);
// The same from a file; a file that cannot be read returns 0 and changes nothing.
int ApplyKeyFile(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int count, const std::string& path);

// Divides each trace by its largest sample value (signed). A trace whose largest value is 0 or
// less stays as it is.
void NormalizeTracesByMax(Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int count);

// The largest sample-count word of the first `count` traces (0 with none).
int MaxSampleCount(int count, std::span<const CTraceHeader> headers);

// No-pick time of the peak pickers.
constexpr float kNoPeakTime = -0.1f;

// Per trace, the time (ms) of the first sample with the largest |value|, flag 1. A trace with
// no non-zero sample has no peak: time kNoPeakTime, flag 0.
void PeakTimePerTrace(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int count,
                      std::span<float> times, std::span<int32_t> flags);

// The parameters of the peak picker (the fields of the "Min. and Max. frequency" dialog that
// it uses), with their defaults loaded while firstUse is 0.
struct PeakPickParameters {
    int mode = 0;                 // 1: the defaults of the one-dimensional array
    std::string distanceUnit = "m";
    int firstUse = 0;             // while 0, a picking with the dialog first loads the defaults
    float ratioLimit1 = 4.0f;     // upper limit of time/offset (ms per distance unit)
    float ratioLimit2 = 4.0f;     // lower limit divisor
    float minimumOffset = 2.0f;   // distance unit
    float minimumTime = 0.07f;    // s (shown in ms)
    float maximumTime = 0.0f;     // ms; 0 or less: the trace's length
    int ratioCheck = 0;           // 1: refuse times outside the ratio limits
    float ratioUpperThreshold = 1.0f;
    float ratioLowerThreshold = 0.25f;
    int medianSmoothing = 1;
    int medianWindow = 5;         // 1..255
};

// Loads the defaults of the mode: mode 1 ratio limits 2.0 and 2.0, minimum offset 5.0,
// minimum time 0.035 s (0.1 with a unit containing "ft"); otherwise 4.0, 4.0, 2.0 and 0.07 s
// (0.2 with "ft").
void LoadPeakPickDefaults(PeakPickParameters& p);

// The dialog of the picker: edits the parameters, true for OK.
using PeakPickDialog = std::function<bool(PeakPickParameters&)>;

// Peak picking of the surface-wave analysis. With `ask` and a dialog, the dialog edits the
// parameters first (the defaults loaded on its first use); Cancel counts the use, smooths when
// smoothing is on and returns 0. Trace 0 gets no pick (time kNoPeakTime, flag 1, output 0).
// Every further trace: offset = receiver (distance unit) into offsets; below the minimum
// offset no pick; otherwise the time of the largest |sample| later than the minimum time (a
// maximum on the last sample counts as none); a time not above 0 or not below the maximum time
// is no pick; with the ratio check, time/offset/ratioLimit1 above ratioUpperThreshold or
// time/offset/ratioLimit2 below ratioLowerThreshold is no pick. out[i] holds the |peak| found
// (0 with none). Then the median smoothing when on. Returns the count picked over (count).
int PickPeakTimes(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int count,
                  std::span<float> times, std::span<int32_t> flags, std::span<float> offsets,
                  std::span<float> out, PeakPickParameters& parameters, bool ask,
                  const PeakPickDialog& dialog = {});

// For every trace i from 1 with a time of at least 0: the median of the times as they were
// before smoothing, over a window of `window` traces centred on i (indices 1 .. count-1 only),
// replaces its time. An even number of values gives the upper middle value.
void MedianSmoothPicks(int count, std::span<float> times, int window);

// The time from the first to the last sample whose |value| exceeds fraction x the peak
// |value|, in seconds (interval in µs); 0 when none exceeds it.
double DurationTime(float intervalUs, int count, float fraction, std::span<const float> samples);

}  // namespace velk
