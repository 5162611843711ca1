// The display-factor file: whatever the text, at most one factor per trace is read, the traces
// beyond the lines read keep their factors, and every factor read is finite. The factors read
// written out again read back the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/edit_text_files.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "display-factor file: %s\n", rule);
        std::abort();
    }
}

constexpr size_t kTraces = 7;
constexpr float kUntouched = -12345.0f;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<float> factors(kTraces + 1, kUntouched);
    const int n = velk::ReadDisplayFactors(text, std::span<float>(factors).first(kTraces));
    Require(n >= 0 && static_cast<size_t>(n) <= kTraces, "factor count outside the record");
    for (size_t k = 0; k <= kTraces; ++k) {
        if (k < static_cast<size_t>(n)) {
            Require(std::isfinite(factors[k]), "a factor read is not finite");
        } else {
            Require(factors[k] == kUntouched, "factor touched beyond the lines read");
        }
    }
    const std::vector<float> zeros(static_cast<size_t>(n), 0.0f);
    const std::span<const float> read(factors.data(), static_cast<size_t>(n));
    const std::string again = velk::FormatDisplayFactors(zeros, zeros, read);
    std::vector<float> back(static_cast<size_t>(n), kUntouched);
    Require(velk::ReadDisplayFactors(again, back) == n, "written factors do not read back");
    return 0;
}
