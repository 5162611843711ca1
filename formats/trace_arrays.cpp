#include "formats/trace_arrays.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numeric>

#include "base/waveform_store.h"
#include "platform/numtext.h"

namespace velk {

namespace {

int Clamp(int count, size_t size) { return std::clamp(count, 0, static_cast<int>(size)); }

// Samples of trace i that the row holds: its count word within [0, row length].
int SamplesOf(const CTraceHeader& h, const Matrix2D<float>& rows)
{
    return std::clamp(h.samples, 0, static_cast<int>(rows.Cols()));
}

bool HasRow(const Matrix2D<float>& rows, int i) { return !rows.Empty() && i >= rows.RowLow() && i <= rows.RowHigh(); }

}  // namespace

std::vector<int> ReceiverOrder(int count, std::span<const CTraceHeader> headers)
{
    count = Clamp(count, headers.size());
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return headers[static_cast<size_t>(a)].receiverHundredths < headers[static_cast<size_t>(b)].receiverHundredths;
    });
    return order;
}

void ApplyOrderToHeaders(std::span<const int> order, std::span<CTraceHeader> headers)
{
    if (headers.size() < order.size()) return;
    std::vector<CTraceHeader> old(headers.begin(), headers.begin() + static_cast<std::ptrdiff_t>(order.size()));
    for (size_t i = 0; i < order.size(); ++i) {
        CTraceHeader moved = old[static_cast<size_t>(order[i])];
        moved.traceNumber = old[i].traceNumber;
        headers[i] = moved;
    }
}

void ApplyOrderToHeaders(std::span<const int> order, std::span<CTraceHeaderEx> headers)
{
    if (headers.size() < order.size()) return;
    std::vector<CTraceHeaderEx> old(headers.begin(), headers.begin() + static_cast<std::ptrdiff_t>(order.size()));
    for (size_t i = 0; i < order.size(); ++i) {
        CTraceHeaderEx moved = old[static_cast<size_t>(order[i])];
        moved.traceNumber = old[i].traceNumber;
        headers[i] = moved;
    }
}

void ApplyOrderToRows(std::span<const int> order, Matrix2D<float>& rows)
{
    if (order.empty() || !HasRow(rows, 0) || !HasRow(rows, static_cast<int>(order.size()) - 1)) return;
    // Follow each cycle of the permutation with one row of scratch.
    std::vector<float> scratch(rows.Cols());
    std::vector<char> done(order.size(), 0);
    for (size_t start = 0; start < order.size(); ++start) {
        if (done[start] || order[start] == static_cast<int>(start)) {
            done[start] = 1;
            continue;
        }
        std::span<float> first = rows.Row(static_cast<int>(start));
        std::copy(first.begin(), first.end(), scratch.begin());
        size_t i = start;
        while (true) {
            done[i] = 1;
            const size_t from = static_cast<size_t>(order[i]);
            std::span<float> dest = rows.Row(static_cast<int>(i));
            if (from == start) {
                std::copy(scratch.begin(), scratch.end(), dest.begin());
                break;
            }
            std::span<const float> src = rows.Row(static_cast<int>(from));
            std::copy(src.begin(), src.end(), dest.begin());
            i = from;
        }
    }
}

std::vector<int> SortTracesByReceiver(int count, std::span<CTraceHeader> headers, Matrix2D<float>& rows,
                                      std::span<float> peaks, std::span<CTraceHeaderEx> records)
{
    return SortTracesWithStationRecords(count, headers, rows, peaks, {}, records);
}

std::vector<int> SortTracesWithStationRecords(int count, std::span<CTraceHeader> headers, Matrix2D<float>& rows,
                                              std::span<float> peaks,
                                              const std::function<void(std::span<const int>)>& moveStationRecords,
                                              std::span<CTraceHeaderEx> records)
{
    if (count <= 1) return {};
    const std::vector<int> order = ReceiverOrder(count, headers);
    ApplyOrderToHeaders(order, headers);
    ApplyOrderToRows(order, rows);
    ApplyTraceOrder<float>(order, peaks);
    ApplyOrderToHeaders(order, records);
    if (moveStationRecords) moveStationRecords(order);
    return order;
}

std::vector<int> SortStoreByReceiver(WaveformStore& store, int count,
                                     const std::function<void(std::span<const int>)>& moveStationRecords)
{
    DataSet& set = store.current;
    count = std::clamp(count, 0, std::min<int>(store.MaxTraces(), static_cast<int>(set.headers.size())));
    if (count <= 1) return {};
    CParameterSet& p = set.params;
    const std::vector<int> order = SortTracesWithStationRecords(count, set.headers, set.rows, p.traceMaxima,
                                                                moveStationRecords, store.headersEx);
    ApplyTraceOrder<float>(order, p.pickTimes);
    ApplyTraceOrder<int32_t>(order, p.layerCodes);
    ApplyTraceOrder<int32_t>(order, p.selectionFlags);
    ApplyTraceOrder<float>(order, store.displayFactor);
    ApplyTraceOrder<int32_t>(order, store.mark);
    ApplyTraceOrder<float>(order, store.pickAmplitude);
    ApplyTraceOrder<float>(order, store.timeShift);
    if (IsComplexKind(set.dataKind)) ApplyOrderToRows(order, set.imag);
    return order;
}

int HasRepeatedConfiguration(int count, std::span<const CTraceHeader> headers)
{
    count = Clamp(count, headers.size());
    std::vector<std::pair<int32_t, int32_t>> pairs;
    pairs.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const CTraceHeader& h = headers[static_cast<size_t>(i)];
        pairs.emplace_back(h.receiverHundredths, h.sourceHundredths);
    }
    std::sort(pairs.begin(), pairs.end());
    return std::adjacent_find(pairs.begin(), pairs.end()) != pairs.end() ? 1 : 0;
}

void ReorderTracesByKey(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int count)
{
    if (count <= 1) return;
    const std::vector<int> order = ReceiverOrder(count, headers);
    ApplyOrderToHeaders(order, headers);
    ApplyOrderToRows(order, rows);
}

std::vector<KeyLine> ParseKeyText(std::string_view text)
{
    std::vector<KeyLine> lines;
    std::vector<KeyLine> written;
    bool savedLayout = true;
    size_t pos = 0;
    while (pos < text.size() && lines.size() < static_cast<size_t>(kMaxKeyLines)) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        TextScanner scan(line);
        if (scan.AtEnd()) {
            // A blank line ends the key lines only at the end of the file.
            if (pos >= text.size()) break;
            continue;
        }
        int32_t v[6] = {};
        bool ok = true;
        for (int32_t& value : v) ok = ok && scan.ReadInt(value);
        if (!ok) break;
        lines.push_back({v[0], v[1], v[2], v[3]});
        written.push_back({v[2], v[3], v[4], v[5]});
        savedLayout = savedLayout && v[0] == 1 && v[1] == 1 && v[2] == static_cast<int32_t>(lines.size());
    }
    // "Save Key file" writes "1 1 trace receiver source component": a file whose every line starts
    // with 1 1 and whose third values count 1..n is read in that layout.
    if (savedLayout && !lines.empty()) return written;
    return lines;
}

std::string KeyFileText(std::span<const CTraceHeader> headers, int count)
{
    count = Clamp(count, headers.size());
    std::string text;
    for (int i = 0; i < count; ++i) {
        const CTraceHeader& h = headers[static_cast<size_t>(i)];
        text += FormatC("%d %d %d %d %d %d \n", 1, 1, i + 1, h.receiverHundredths, h.sourceHundredths, h.component);
    }
    return text;
}

int ApplyKeyLines(std::span<const KeyLine> lines, Matrix2D<float>& rows, std::span<CTraceHeader> headers, int count)
{
    count = Clamp(count, headers.size());
    if (count <= 0 || !HasRow(rows, count - 1) || !HasRow(rows, 0)) return 0;
    const CTraceHeader first = headers[0];
    // The rows as they were: the kept traces are written over them in place.
    std::vector<float> old(static_cast<size_t>(count) * rows.Cols());
    for (int b = 0; b < count; ++b) {
        std::span<const float> row = rows.Row(b);
        std::copy(row.begin(), row.end(), old.begin() + static_cast<std::ptrdiff_t>(b) * static_cast<std::ptrdiff_t>(rows.Cols()));
    }
    int j = 0;
    for (int b = 1; b <= count; ++b) {
        const auto line = std::find_if(lines.begin(), lines.end(), [b](const KeyLine& l) { return l.trace == b; });
        if (line == lines.end()) continue;
        CTraceHeader& h = headers[static_cast<size_t>(j)];
        h.Set(j, line->receiver, line->source, 1, line->component, 0.0f, first.intervalUs, first.samples);
        const auto from = old.begin() + static_cast<std::ptrdiff_t>(b - 1) * static_cast<std::ptrdiff_t>(rows.Cols());
        std::span<float> dest = rows.Row(j);
        std::copy(from, from + static_cast<std::ptrdiff_t>(rows.Cols()), dest.begin());
        ++j;
    }
    ReorderTracesByKey(rows, headers, j);
    return j;
}

int ApplyKeyFile(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int count, const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return 0;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<KeyLine> lines = ParseKeyText(text);
    return ApplyKeyLines(lines, rows, headers, count);
}

void NormalizeTracesByMax(Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int count)
{
    count = Clamp(count, headers.size());
    for (int i = 0; i < count && HasRow(rows, i); ++i) {
        std::span<float> row = rows.Row(i).first(static_cast<size_t>(SamplesOf(headers[static_cast<size_t>(i)], rows)));
        float largest = 0.0f;
        for (float v : row) largest = std::max(largest, v);
        if (!(largest > 0.0f)) continue;
        for (float& v : row) v /= largest;
    }
}

int MaxSampleCount(int count, std::span<const CTraceHeader> headers)
{
    count = Clamp(count, headers.size());
    int largest = 0;
    for (int i = 0; i < count; ++i) largest = std::max(largest, headers[static_cast<size_t>(i)].samples);
    return largest;
}

void PeakTimePerTrace(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int count,
                      std::span<float> times, std::span<int32_t> flags)
{
    count = std::min({Clamp(count, headers.size()), static_cast<int>(times.size()), static_cast<int>(flags.size())});
    for (int i = 0; i < count; ++i) {
        const CTraceHeader& h = headers[static_cast<size_t>(i)];
        times[static_cast<size_t>(i)] = kNoPeakTime;
        flags[static_cast<size_t>(i)] = 0;
        if (!HasRow(rows, i)) continue;
        std::span<const float> row = rows.Row(i).first(static_cast<size_t>(SamplesOf(h, rows)));
        float best = 0.0f;
        int at = -1;
        for (size_t k = 0; k < row.size(); ++k) {
            if (std::fabs(row[k]) > best) {
                best = std::fabs(row[k]);
                at = static_cast<int>(k);
            }
        }
        if (at < 0) continue;
        times[static_cast<size_t>(i)] = static_cast<float>(at) * h.intervalUs * 0.001f;
        flags[static_cast<size_t>(i)] = 1;
    }
}

void LoadPeakPickDefaults(PeakPickParameters& p)
{
    const bool feet = p.distanceUnit.find("ft") != std::string::npos;
    if (p.mode == 1) {
        p.ratioLimit1 = 2.0f;
        p.ratioLimit2 = 2.0f;
        p.minimumOffset = 5.0f;
        p.minimumTime = feet ? 0.1f : 0.035f;
    } else {
        p.ratioLimit1 = 4.0f;
        p.ratioLimit2 = 4.0f;
        p.minimumOffset = 2.0f;
        p.minimumTime = feet ? 0.2f : 0.07f;
    }
}

int PickPeakTimes(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int count,
                  std::span<float> times, std::span<int32_t> flags, std::span<float> offsets,
                  std::span<float> out, PeakPickParameters& parameters, bool ask, const PeakPickDialog& dialog)
{
    count = std::min({Clamp(count, headers.size()), static_cast<int>(times.size()), static_cast<int>(flags.size()),
                      static_cast<int>(offsets.size()), static_cast<int>(out.size())});
    if (ask && dialog) {
        if (parameters.firstUse == 0) LoadPeakPickDefaults(parameters);
        if (!dialog(parameters)) {
            ++parameters.firstUse;
            if (parameters.medianSmoothing) MedianSmoothPicks(count, times, parameters.medianWindow);
            return 0;
        }
    }
    if (count <= 0) return 0;
    times[0] = kNoPeakTime;
    flags[0] = 1;
    out[0] = 0.0f;
    offsets[0] = static_cast<float>(headers[0].receiverHundredths * 0.01);
    const double minimumTimeMs = parameters.minimumTime * 1000.0;
    for (int i = 1; i < count; ++i) {
        const CTraceHeader& h = headers[static_cast<size_t>(i)];
        const auto at = static_cast<size_t>(i);
        const double offset = h.receiverHundredths * 0.01;
        offsets[at] = static_cast<float>(offset);
        times[at] = kNoPeakTime;
        flags[at] = 1;
        out[at] = 0.0f;
        if (offset < parameters.minimumOffset || !HasRow(rows, i)) continue;
        const double step = h.intervalUs * 0.001;  // ms
        std::span<const float> row = rows.Row(i).first(static_cast<size_t>(SamplesOf(h, rows)));
        float best = 0.0f;
        int found = -1;
        for (size_t k = 0; k < row.size(); ++k) {
            if (static_cast<double>(k) * step <= minimumTimeMs) continue;
            if (std::fabs(row[k]) > best) {
                best = std::fabs(row[k]);
                found = static_cast<int>(k);
            }
        }
        if (found < 0 || found == static_cast<int>(row.size()) - 1) continue;
        const double time = found * step;
        const double maximumTime = parameters.maximumTime > 0.0f ? parameters.maximumTime : row.size() * step;
        out[at] = best;
        if (!(time > 0.0) || !(time < maximumTime)) continue;
        if (parameters.ratioCheck && offset != 0.0) {
            const double ratio = time / offset;
            if (parameters.ratioLimit1 != 0.0f && ratio / parameters.ratioLimit1 > parameters.ratioUpperThreshold) continue;
            if (parameters.ratioLimit2 != 0.0f && ratio / parameters.ratioLimit2 < parameters.ratioLowerThreshold) continue;
        }
        times[at] = static_cast<float>(time);
    }
    if (parameters.medianSmoothing) MedianSmoothPicks(count, times, parameters.medianWindow);
    return count;
}

void MedianSmoothPicks(int count, std::span<float> times, int window)
{
    count = Clamp(count, times.size());
    if (count <= 1 || window <= 0) return;
    const std::vector<float> before(times.begin(), times.begin() + count);
    const int half = window / 2;
    std::vector<float> values;
    for (int i = 1; i < count; ++i) {
        if (!(before[static_cast<size_t>(i)] >= 0.0f)) continue;
        values.clear();
        const int low = std::max(1, i - half);
        const int high = std::min(count - 1, i - half + window - 1);
        for (int k = low; k <= high; ++k) values.push_back(before[static_cast<size_t>(k)]);
        std::sort(values.begin(), values.end(), std::greater<float>());
        times[static_cast<size_t>(i)] = values[(values.size() - 1) / 2];
    }
}

double DurationTime(float intervalUs, int count, float fraction, std::span<const float> samples)
{
    count = Clamp(count, samples.size());
    float peak = 0.0f;
    for (int k = 0; k < count; ++k) peak = std::max(peak, std::fabs(samples[static_cast<size_t>(k)]));
    const float threshold = peak * fraction;
    int first = -1;
    int last = -1;
    for (int k = 0; k < count; ++k) {
        if (std::fabs(samples[static_cast<size_t>(k)]) > threshold) {
            if (first < 0) first = k;
            last = k;
        }
    }
    if (first < 0) return 0.0;
    return (last - first) * static_cast<double>(intervalUs) * 1e-6;
}

}  // namespace velk
