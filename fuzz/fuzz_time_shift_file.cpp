// The time-shift file: whatever the text, at most the table's room of pairs is read, the
// table beyond the pairs read is untouched, and every value read is finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "base/edit_text_files.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "time-shift file: %s\n", rule);
        std::abort();
    }
}

constexpr size_t kRoom = 9;
constexpr float kUntouched = -12345.0f;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<float> positions(kRoom + 1, kUntouched);
    std::vector<float> shifts(kRoom + 1, kUntouched);
    const int n = velk::ReadReceiverShiftPairs(text, std::span<float>(positions).first(kRoom),
                                               std::span<float>(shifts).first(kRoom));
    Require(n >= 0 && static_cast<size_t>(n) <= kRoom, "pair count outside the table");
    for (size_t k = 0; k <= kRoom; ++k) {
        if (k < static_cast<size_t>(n)) {
            Require(std::isfinite(positions[k]) && std::isfinite(shifts[k]), "a value read is not finite");
        } else {
            Require(positions[k] == kUntouched && shifts[k] == kUntouched, "table touched beyond the pairs read");
        }
    }
    return 0;
}
