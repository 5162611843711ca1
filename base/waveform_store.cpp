#include "base/waveform_store.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/numtext.h"

namespace velk {

namespace {

constexpr int kSetsWithScratch = 4;  // current, level 1, level 2, scratch
constexpr int kMatricesPerSet = 2;   // samples and imaginary parts

bool MulSize(size_t a, size_t b, size_t& out) { return !__builtin_mul_overflow(a, b, &out); }
bool AddSize(size_t a, size_t b, size_t& out) { return !__builtin_add_overflow(a, b, &out); }

size_t PhysicalMemoryBytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    size_t bytes = 0;
    if (pages <= 0 || pageSize <= 0 ||
        !MulSize(static_cast<size_t>(pages), static_cast<size_t>(pageSize), bytes)) {
        return 0;  // unknown
    }
    return bytes;
}

// Copies the first n floats of a row; n already clamped by the caller.
void CopyRow(const Matrix2D<float>& from, Matrix2D<float>& to, int row, int n)
{
    if (n <= 0) {
        return;
    }
    const auto src = from.Row(row);
    const auto dst = to.Row(row);
    std::memcpy(dst.data(), src.data(), static_cast<size_t>(n) * sizeof(float));
}

}  // namespace

int StoreRowLength(int maxSample)
{
    if (maxSample < 0 || maxSample > (1 << 30) - 1) {
        return 0;
    }
    int length = 8;
    while (length < maxSample + 1) {
        length *= 2;
    }
    return length;
}

struct WaveformStore::Body {
    DataSet sets[kSetsWithScratch];
    std::vector<CTraceHeaderEx> headersEx;
    std::vector<float> displayFactor;
    std::vector<int32_t> mark;
    std::vector<float> pickAmplitude;
    std::vector<float> timeShift;
};

void WaveformStore::SetCapacity(int maxTraces, int maxSample)
{
    maxTraces_ = std::max(maxTraces, 1);
    maxSample_ = std::max(maxSample, 1);
}

size_t WaveformStore::RequiredBytes(int maxTraces, int maxSample)
{
    const int rowLength = StoreRowLength(maxSample);
    if (maxTraces < 1 || maxTraces == INT_MAX || rowLength == 0) {
        return 0;
    }
    const auto traces = static_cast<size_t>(maxTraces);
    size_t matrix = 0, total = 0, part = 0;
    if (!MulSize(traces + 1, static_cast<size_t>(rowLength), matrix) ||
        !MulSize(matrix, sizeof(float) * kSetsWithScratch * kMatricesPerSet, total)) {
        return 0;
    }
    // Headers of the four sets, extended headers, four per-trace store arrays, the four
    // arrays of each of the four parameter sets, and room for the view's per-trace curves.
    const size_t perTrace = kSetsWithScratch * sizeof(CTraceHeader) + sizeof(CTraceHeaderEx) +
                            4 * sizeof(float) + kSetsWithScratch * 4 * sizeof(float) +
                            8 * sizeof(float);
    if (!MulSize(traces, perTrace, part) || !AddSize(total, part, total)) {
        return 0;
    }
    if (!MulSize(static_cast<size_t>(rowLength), 2 * sizeof(double), part) ||
        !AddSize(total, part, total)) {
        return 0;
    }
    return total;
}

std::string WaveformStore::CheckCapacity(int maxTraces, int maxSample)
{
    if (maxTraces < 1 || maxSample < 1) {
        return FormatC("Maximum traces (%d) and maximum samples (%d) must be 1 or more.",
                       maxTraces, maxSample);
    }
    // The in-place transforms work on whole rows, and the longest transform length is 262144.
    if (maxSample > kMaxSampleLimit) {
        return FormatC("Maximum samples (%d) must not exceed %d.", maxSample, kMaxSampleLimit);
    }
    const size_t bytes = RequiredBytes(maxTraces, maxSample);
    if (bytes == 0) {
        return FormatC("%d traces of %d samples are too large to allocate.", maxTraces,
                       maxSample);
    }
    const size_t physical = PhysicalMemoryBytes();
    if (physical != 0 && bytes > physical) {
        return FormatC("%d traces of %d samples need %.0f MB; this computer has %.0f MB.",
                       maxTraces, maxSample, static_cast<double>(bytes) / 1048576.0,
                       static_cast<double>(physical) / 1048576.0);
    }
    return {};
}

bool WaveformStore::BuildBody(int maxTraces, int maxSample, Body& body, std::string* error) const
{
    std::string why = CheckCapacity(maxTraces, maxSample);
    if (why.empty()) {
        const int rowLength = StoreRowLength(maxSample);
        const auto traces = static_cast<size_t>(maxTraces);
        try {
            for (DataSet& set : body.sets) {
                set.rows = Matrix2D<float>(0, maxTraces, 0, rowLength - 1);
                set.imag = Matrix2D<float>(0, maxTraces, 0, rowLength - 1);
                set.headers.assign(traces, CTraceHeader{});
                set.imagMaxima.assign(traces, 0.0f);
            }
            body.sets[kSetsWithScratch - 1].params.Allocate(maxTraces);
            body.headersEx.assign(traces, CTraceHeaderEx{});
            body.displayFactor.assign(traces, 1.0f);
            body.mark.assign(traces, 0);
            body.pickAmplitude.assign(traces, 0.0f);
            body.timeShift.assign(traces, 0.0f);
        } catch (const std::bad_alloc&) {
            why = FormatC("Not enough memory for %d traces of %d samples.", maxTraces, maxSample);
        } catch (const std::length_error&) {
            why = FormatC("%d traces of %d samples are too large to allocate.", maxTraces,
                          maxSample);
        }
    }
    if (!why.empty()) {
        if (error) {
            *error = why;
        }
        return false;
    }
    return true;
}

void WaveformStore::TakeBody(Body& body)
{
    DataSet* mine[kSetsWithScratch] = {&current, &level1, &level2, &scratch_};
    for (int s = 0; s < kSetsWithScratch; ++s) {
        mine[s]->rows = std::move(body.sets[s].rows);
        mine[s]->imag = std::move(body.sets[s].imag);
        mine[s]->headers.swap(body.sets[s].headers);
        mine[s]->imagMaxima.swap(body.sets[s].imagMaxima);
        mine[s]->imagMaximum = 0.0f;
    }
    std::swap(scratch_.params, body.sets[kSetsWithScratch - 1].params);
    headersEx.swap(body.headersEx);
    displayFactor.swap(body.displayFactor);
    mark.swap(body.mark);
    pickAmplitude.swap(body.pickAmplitude);
    timeShift.swap(body.timeShift);
}

int WaveformStore::AllocateParameterSets()
{
    current.params.Allocate(maxTraces_);
    level1.params.Allocate(maxTraces_);
    level2.params.Allocate(maxTraces_);
    return maxTraces_;
}

bool WaveformStore::AllocateWaveformStore(std::string* error)
{
    Body body;
    if (!BuildBody(maxTraces_, maxSample_, body, error)) {
        return false;
    }
    TakeBody(body);
    return true;
}

void WaveformStore::FreeWaveformStore()
{
    Body empty;
    TakeBody(empty);
    scratch_.params = CParameterSet();
}

bool WaveformStore::Resize(int maxTraces, int maxSample, std::string* error)
{
    Body body;
    CParameterSet sets[3];
    try {
        if (!BuildBody(maxTraces, maxSample, body, error)) {
            return false;
        }
        for (CParameterSet& set : sets) {
            set.Allocate(maxTraces);
        }
    } catch (const std::bad_alloc&) {
        if (error) {
            *error = FormatC("Not enough memory for %d traces of %d samples.", maxTraces,
                             maxSample);
        }
        return false;
    }
    // Nothing below allocates: the swap is all or nothing.
    DataSet* mine[3] = {&current, &level1, &level2};
    for (int s = 0; s < 3; ++s) {
        mine[s]->params.CopyScalarsTo(sets[s]);
        sets[s].traceCount = 0;
        sets[s].recordMaximum = 0.0f;
        std::swap(mine[s]->params, sets[s]);
        mine[s]->dataKind = kTimeDomain;
        mine[s]->transformFlag = 0;
    }
    current.params.samplesPerTrace = 0;
    TakeBody(body);
    maxTraces_ = maxTraces;
    maxSample_ = maxSample;
    undoDepth = 0;
    undone = 0;
    current.params.recordKind = 0;
    return true;
}

int WaveformStore::TraceCount() const
{
    return std::clamp(current.params.traceCount, 0, static_cast<int>(current.headers.size()));
}

int WaveformStore::TraceSamples(int i) const
{
    if (i < 0 || i >= static_cast<int>(current.headers.size())) {
        return 0;
    }
    return std::clamp(current.headers[static_cast<size_t>(i)].samples, 0, RowLength());
}

void WaveformStore::ComputeTraceMaxima()
{
    CParameterSet& p = current.params;
    const int count = std::min(TraceCount(), static_cast<int>(p.traceMaxima.size()));
    float recordMax = 0.0f;
    for (int i = 0; i < count; ++i) {
        const int n = TraceSamples(i);
        const auto row = current.rows.Row(i);
        float m = 0.0f;
        for (int j = 0; j < n; ++j) {
            m = std::max(m, std::fabs(row[static_cast<size_t>(j)]));
        }
        p.traceMaxima[static_cast<size_t>(i)] = m;
        recordMax = std::max(recordMax, m);
    }
    p.recordMaximum = recordMax;
}

void WaveformStore::ComputeImagMaxima()
{
    const int count = std::min(TraceCount(), static_cast<int>(current.imagMaxima.size()));
    float all = 0.0f;
    for (int i = 0; i < count; ++i) {
        const int n = TraceSamples(i);
        const auto row = current.imag.Row(i);
        float m = 0.0f;
        for (int j = 0; j < n; ++j) {
            m = std::max(m, std::fabs(row[static_cast<size_t>(j)]));
        }
        current.imagMaxima[static_cast<size_t>(i)] = m;
        all = std::max(all, m);
    }
    current.imagMaximum = all;
}

int WaveformStore::CopyDataSet(const DataSet& from, DataSet& to) const
{
    if (from.params.CopyTo(to.params) == 0) {
        return 0;
    }
    const int rowLength = static_cast<int>(std::min(from.rows.Cols(), to.rows.Cols()));
    const int rows = static_cast<int>(std::min(from.rows.Rows(), to.rows.Rows()));
    const int count = std::min({from.params.traceCount, static_cast<int>(from.headers.size()),
                                static_cast<int>(to.headers.size()), rows});
    const bool complex = IsComplexKind(from.dataKind);
    for (int i = 0; i < count; ++i) {
        const CTraceHeader& h = from.headers[static_cast<size_t>(i)];
        to.headers[static_cast<size_t>(i)] = h;
        const int n = std::clamp(h.samples, 0, rowLength);
        CopyRow(from.rows, to.rows, i, n);
        if (complex) {
            CopyRow(from.imag, to.imag, i, n);
            if (static_cast<size_t>(i) < from.imagMaxima.size() &&
                static_cast<size_t>(i) < to.imagMaxima.size()) {
                to.imagMaxima[static_cast<size_t>(i)] = from.imagMaxima[static_cast<size_t>(i)];
            }
        }
    }
    to.imagMaximum = complex ? from.imagMaximum : 0.0f;
    to.dataKind = from.dataKind;
    to.transformFlag = from.transformFlag;
    return 1;
}

int WaveformStore::PushUndo()
{
    if (!IsAllocated()) {
        return 0;
    }
    if (undoDepth > 0) {
        CopyDataSet(level1, level2);
    }
    CopyDataSet(current, level1);
    if (undoDepth == 0) {
        CopyDataSet(current, level2);
    }
    undoDepth = std::min(undoDepth + 1, kUndoLevels);
    ++pushCount;
    // A new change ends what an undo left to redo: level 2 no longer holds the undone state,
    // and redoing it would throw away this change.
    undone = 0;
    return undoDepth;
}

bool WaveformStore::RestoreUndo()
{
    if (undoDepth <= 0 || !IsAllocated()) {
        return false;
    }
    CopyDataSet(current, scratch_);
    CopyDataSet(level1, current);
    if (undoDepth > 1) {
        CopyDataSet(level2, level1);
    }
    CopyDataSet(scratch_, level2);
    undoDepth -= 1;
    undone = 1;
    return true;
}

bool WaveformStore::Redo()
{
    if (undone != 1 || !IsAllocated()) {
        return false;
    }
    CopyDataSet(level2, scratch_);  // the undone state; PushUndo may overwrite level 2
    PushUndo();
    CopyDataSet(scratch_, current);
    undone = 0;
    return true;
}

void WaveformStore::CopyTraceHeaders(std::span<CTraceHeader> out) const
{
    const size_t n = std::min(static_cast<size_t>(TraceCount()), out.size());
    std::copy_n(current.headers.begin(), n, out.begin());
}

}  // namespace velk
