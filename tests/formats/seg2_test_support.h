#pragma once
// Small helpers of the reader tests: reading bytes through ReadSeg2 with a scripted UiHost,
// building a record to write, and a reader's run kept with the bytes it reads.

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "tools/scripted_uihost.h"

namespace velk::testing {

// A reader run over bytes with a non-strict scripted host, so the test reads what was shown.
struct Reading {
    ScriptedUiHost ui;
    MemoryLogSink log;
    FormatContext ctx{ui, kLanguageEnglish, log};
    Reading() { ui.SetStrict(false); }
};

// Bytes and a source over them, kept together (a source over a temporary would dangle).
struct Owned {
    std::vector<uint8_t> bytes;
    ByteSource source;
    explicit Owned(std::vector<uint8_t> b) : bytes(std::move(b)), source(ByteSource::FromSpan(bytes)) {}
    explicit Owned(const std::string& text) : Owned(std::vector<uint8_t>(text.begin(), text.end())) {}
};

// A load target as a store of these capacities gives it.
inline LoadTarget TargetFor(int maxTraces, int maxSample, int start = 0)
{
    return LoadTarget(start, maxTraces - start, StoreRowLength(maxSample), maxSample);
}

inline int ReadBytes(const std::vector<uint8_t>& bytes, LoadTarget& target, UiHost& ui, int skip = 1,
                     int language = kLanguageEnglish)
{
    ByteSource source = ByteSource::FromSpan(bytes);
    FormatContext ctx{ui, language, NullLog()};
    return ReadSeg2(source, target, skip, ctx);
}

// The samples of trace k of the target (its header's count of them).
inline std::vector<float> Samples(LoadTarget& target, int k)
{
    std::span<const float> row = target.RowIfAny(k);
    const int n = target.HeaderAt(k).samples;
    if (row.empty() || n <= 0) return {};
    return std::vector<float>(row.begin(), row.begin() + n);
}

// A record to write: rows 0..traces-1 of `columns` floats and their headers.
struct Record {
    Matrix2D<float> rows;
    std::vector<CTraceHeader> headers;
    std::vector<CTraceHeaderEx> records;

    Record(int traces, int columns) : rows(0, traces - 1, 0, columns - 1), headers(traces), records(traces) {}

    // Trace i gets n samples made from `f(k)`.
    template <typename F>
    void Fill(int i, int n, F f)
    {
        for (int k = 0; k < n; ++k) rows[i][k] = f(k);
        headers[i].samples = n;
    }
};

inline std::vector<uint8_t> WriteToBytes(const Record& r, int count, int code = 4, float scale = 1.0f,
                                         bool withRecords = false)
{
    ByteSink sink;
    const WriteStatus status =
        WriteSeg2(sink, r.rows, r.headers, count, code, scale,
                  withRecords ? std::span<const CTraceHeaderEx>(r.records) : std::span<const CTraceHeaderEx>());
    EXPECT_TRUE(status.ok) << status.error;
    return sink.Bytes();
}

}  // namespace velk::testing
