#pragma once
// Where a reader puts a record while it is being read. The reader never writes the waveform
// store: it fills scratch rows and header records here, and the document copies them into the
// store only when the reader reports success. A reader that fails, or a file that is short,
// therefore leaves the store exactly as it was.
//
// Indices are relative to the start index: trace k of the file goes to store index Start() + k.
// A reader may use k = 0 .. Capacity() - 1, where Capacity() is the room left in the store
// (MAXTRACES - start); a record with more traces, or with more samples than MaxSample(), must
// not be cut silently: the reader refuses it with its own message or with
// RecordTooLargeMessage(). A reader that reaches past the capacity anyway gets an exception,
// which the document turns into that message.

#include <cstddef>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/trace_header.h"

namespace velk {

// The memory of a target's rows: fresh anonymous pages, zero without being written, so that
// the part of a row a reader never writes (rows are at least twice MAX_SAMPLE long) costs
// nothing. Rows of 64 KiB and more come from blocks of huge pages (a large record then takes
// few page faults); smaller ones are allocated one by one.
class RowPool {
public:
    RowPool(size_t rowFloats, size_t rowsAtMost);
    ~RowPool();
    RowPool(RowPool&& other) noexcept;
    RowPool& operator=(RowPool&& other) noexcept;
    RowPool(const RowPool&) = delete;
    RowPool& operator=(const RowPool&) = delete;

    // A zero row of rowFloats floats, valid while the pool lives. Throws std::bad_alloc.
    float* NewRow();

private:
    struct Block {
        void* memory = nullptr;
        size_t bytes = 0;  // 0: from calloc
    };
    void Release() noexcept;

    size_t rowFloats_ = 0;
    size_t rowsLeft_ = 0;          // rows that may still be asked for
    std::vector<Block> blocks_;
    float* next_ = nullptr;        // the next free row of the last block
    size_t freeInBlock_ = 0;
};

// Thrown when a reader asks for a trace beyond the room it was given.
class TargetOverflow : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class LoadTarget {
public:
    // start: store index of the first trace read; capacity: traces that still fit;
    // rowLength: floats per row; maxSample: the store's MAX_SAMPLE, for messages.
    LoadTarget(int start, int capacity, int rowLength, int maxSample);

    int Start() const { return start_; }
    int Capacity() const { return capacity_; }
    int RowLength() const { return rowLength_; }
    int MaxSample() const { return maxSample_; }
    int MaxTraces() const { return start_ + capacity_; }

    // Scratch row of trace k, RowLength() floats, zero until written. Rows are made on first
    // use, so a reader pays only for the traces it reads. Throws std::out_of_range for k
    // outside 0 .. Capacity() - 1 (TargetOverflow), std::bad_alloc when memory runs out.
    std::span<float> Row(int k);
    // The header and the extended header of trace k (defaults until written); same range.
    CTraceHeader& Header(int k);
    CTraceHeaderEx& HeaderEx(int k);

    // For the commit: whether the reader touched row k, and the row (empty when untouched).
    bool HasRow(int k) const;
    std::span<const float> RowIfAny(int k) const;
    const CTraceHeader& HeaderAt(int k) const;
    const CTraceHeaderEx& HeaderExAt(int k) const;

private:
    void Check(int k) const;

    int start_;
    int capacity_;
    int rowLength_;
    int maxSample_;
    std::vector<float*> rows_;  // null until made
    RowPool pool_;
    std::vector<CTraceHeader> headers_;
    std::vector<CTraceHeaderEx> headersEx_;
};

// The message for a record that does not fit the store, naming the two capacity keys with
// their values and the command that raises them.
std::string RecordTooLargeMessage(int language, int maxTraces, int maxSample);

}  // namespace velk
