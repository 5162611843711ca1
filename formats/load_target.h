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

#include "app/base/trace_header.h"

namespace velk {

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
    std::vector<std::unique_ptr<float[]>> rows_;
    std::vector<CTraceHeader> headers_;
    std::vector<CTraceHeaderEx> headersEx_;
};

// The message for a record that does not fit the store, naming the two capacity keys with
// their values and the command that raises them.
std::string RecordTooLargeMessage(int language, int maxTraces, int maxSample);

}  // namespace velk
