// Key files, applied, saved and applied again: whatever key text a record takes, the key file
// "Save Key file" writes of the result applied to that result changes nothing (headers and
// samples), and saving again gives the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
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
    velk::Matrix2D<float> rows(0, kTraces - 1, 0, kColumns - 1);
    std::vector<velk::CTraceHeader> headers(kTraces);
    for (int b = 0; b < kTraces; ++b) {
        headers[static_cast<size_t>(b)].Set(b + 1, b * 100, 0, 0, 1, 0.0f, 250.0f, kColumns);
        for (int k = 0; k < kColumns; ++k) rows[b][k] = static_cast<float>(b * 10 + k);
    }
    const int kept = velk::ApplyKeyLines(velk::ParseKeyText(text), rows, headers, kTraces);
    if (kept <= 0) return 0;

    const std::string saved = velk::KeyFileText(headers, kept);
    velk::Matrix2D<float> rows2 = rows;
    std::vector<velk::CTraceHeader> headers2 = headers;
    Require(velk::ApplyKeyLines(velk::ParseKeyText(saved), rows2, headers2, kept) == kept, "traces lost");
    for (int j = 0; j < kept; ++j) {
        Require(headers2[static_cast<size_t>(j)] == headers[static_cast<size_t>(j)], "a header changed");
        for (int k = 0; k < kColumns; ++k) Require(rows2[j][k] == rows[j][k], "a trace's samples changed");
    }
    Require(velk::KeyFileText(headers2, kept) == saved, "save, apply and save again changed the text");
    return 0;
}
