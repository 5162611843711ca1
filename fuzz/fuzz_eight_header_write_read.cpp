// Write -> read of the 8-header file: a record made from the input is written and read back;
// headers and samples must come back bit for bit (samples that are not numbers as 0).
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/eight_header.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    if (size < 1) return 0;
    size_t at = 1;
    auto take = [&](void* out, size_t n) {
        std::memset(out, 0, n);
        const size_t got = std::min(n, size - std::min(size, at));
        if (got) std::memcpy(out, data + at, got);
        at += n;
    };
    const int count = data[0] % 5 + 1;
    constexpr int kColumns = 24;
    Matrix2D<float> rows(0, count - 1, 0, kColumns - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        CTraceHeader& h = headers[static_cast<size_t>(i)];
        take(&h, sizeof h);
        uint8_t n = 0;
        take(&n, 1);
        h.samples = n % (kColumns + 1);
        for (int k = 0; k < h.samples; ++k) take(&rows[i][k], 4);
    }
    ByteSink sink;
    const WriteStatus status = WriteEightHeader(sink, rows, headers, count);
    fuzzing::Require(status.ok, "the writer refused a record it can hold");

    LoadTarget target(0, 8, StoreRowLength(kColumns), kColumns);
    fuzzing::FuzzUiHost ui;
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    ByteSource source = ByteSource::FromSpan(sink.Bytes());
    fuzzing::Require(ReadEightHeader(source, target, 1, ctx) == count, "read back another number of traces");
    for (int i = 0; i < count; ++i) {
        const CTraceHeader& h = headers[static_cast<size_t>(i)];
        fuzzing::Require(std::memcmp(&target.HeaderAt(i), &h, sizeof h) == 0, "a header did not come back bit for bit");
        const std::span<const float> row = target.RowIfAny(i);
        for (int k = 0; k < h.samples; ++k) {
            const float wrote = rows[i][k];
            const float expected = std::isfinite(wrote) ? wrote : 0.0f;
            fuzzing::Require(std::bit_cast<uint32_t>(row[static_cast<size_t>(k)]) == std::bit_cast<uint32_t>(expected),
                             "a sample did not come back bit for bit");
        }
    }
    return 0;
}
