// Key files over a small record: the key lines come from the fuzz input as text. Whatever the
// text, the traces kept are at most the record's, their receivers ascend, their numbers count
// from 0, and each kept trace's samples are those of a trace of the record (nothing invented,
// nothing half-copied); the rows beyond the kept traces are untouched.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "formats/trace_arrays.h"
#include "fuzz/reader_harness.h"

namespace {

using velk::fuzzing::Require;

constexpr int kTraces = 7;
constexpr int kColumns = 5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    velk::Matrix2D<float> rows(0, kTraces, 0, kColumns - 1);  // one spare row after the record
    std::vector<velk::CTraceHeader> headers(kTraces + 1);
    for (int b = 0; b <= kTraces; ++b) {
        headers[static_cast<size_t>(b)].Set(b + 1, b * 100, 0, 0, 1, 0.0f, 250.0f, kColumns);
        for (int k = 0; k < kColumns; ++k) rows[b][k] = static_cast<float>(b * 10 + k);
    }

    const std::vector<velk::KeyLine> lines = velk::ParseKeyText(text);
    Require(lines.size() <= static_cast<size_t>(velk::kMaxKeyLines), "more key lines than allowed");
    const int kept = velk::ApplyKeyLines(lines, rows, headers, kTraces);
    Require(kept >= 0 && kept <= kTraces, "kept count outside the record");
    for (int j = 0; j < kept; ++j) {
        const velk::CTraceHeader& h = headers[static_cast<size_t>(j)];
        Require(h.traceNumber == j, "kept numbers do not count from 0");
        Require(h.gain == 1 && h.delayUs == 0.0f && h.intervalUs == 250.0f && h.samples == kColumns,
                "kept header words not as the key file rule says");
        if (j > 0) Require(headers[static_cast<size_t>(j - 1)].receiverHundredths <= h.receiverHundredths,
                           "receivers do not ascend");
        const float first = rows[j][0];
        const int origin = static_cast<int>(first) / 10;
        Require(first == static_cast<float>(origin * 10) && origin >= 0 && origin < kTraces, "samples invented");
        for (int k = 0; k < kColumns; ++k) Require(rows[j][k] == static_cast<float>(origin * 10 + k), "row half-copied");
    }
    for (int k = 0; k < kColumns; ++k) Require(rows[kTraces][k] == static_cast<float>(kTraces * 10 + k), "spare row touched");
    Require(headers[kTraces].traceNumber == kTraces + 1, "spare header touched");
    return 0;
}
