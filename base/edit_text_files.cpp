#include "base/edit_text_files.h"

#include <algorithm>
#include <cstdint>

#include "platform/numtext.h"

namespace velk {

int ReadReceiverShiftPairs(std::string_view text, std::span<float> positions, std::span<float> shifts)
{
    const size_t room = std::min(positions.size(), shifts.size());
    TextScanner in(text);
    size_t n = 0;
    while (n < room) {
        float position = 0.0f;
        float shift = 0.0f;
        if (!in.ReadFloat(position) || !in.ReadFloat(shift)) break;
        positions[n] = position;
        shifts[n] = shift;
        ++n;
    }
    return static_cast<int>(n);
}

int ReadDisplayFactors(std::string_view text, std::span<float> factors)
{
    TextScanner in(text);
    size_t n = 0;
    while (n < factors.size()) {
        int32_t number = 0;
        float receiver = 0.0f;
        float maximum = 0.0f;
        float factor = 0.0f;
        if (!in.ReadInt(number) || !in.ReadFloat(receiver) || !in.ReadFloat(maximum) || !in.ReadFloat(factor)) break;
        factors[n++] = factor;
    }
    return static_cast<int>(n);
}

std::string FormatDisplayFactors(std::span<const float> receiversM, std::span<const float> maxima,
                                 std::span<const float> factors)
{
    const size_t n = std::min({receiversM.size(), maxima.size(), factors.size()});
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += FormatC(" %d %f %f %f \n", static_cast<int>(i) + 1, static_cast<double>(receiversM[i]),
                       static_cast<double>(maxima[i]), static_cast<double>(factors[i]));
    }
    return out;
}

}  // namespace velk
