// IbmToIeee in both modes over arbitrary words: every result finite, mode 0 equal to the
// definition (clamped to the float range), mode 1 the word's own bits unless they are not a
// number.
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/segy.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t count = size / 4;
    std::vector<float> ibm(count), ieee(count);
    velk::ConversionCount cc;
    velk::IbmToIeee({data, size}, ibm, count, velk::kIbmSingle, cc);
    velk::IbmToIeee({data, size}, ieee, count, velk::kIeeeBigEndian, cc);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t w = (static_cast<uint32_t>(data[4 * i]) << 24) | (static_cast<uint32_t>(data[4 * i + 1]) << 16) |
                           (static_cast<uint32_t>(data[4 * i + 2]) << 8) | data[4 * i + 3];
        double v = std::ldexp(static_cast<double>(w & 0xFFFFFF), 4 * static_cast<int>((w >> 24) & 0x7F) - 280);
        if (w & 0x80000000u) v = -v;
        const float want = v > FLT_MAX ? FLT_MAX : v < -FLT_MAX ? -FLT_MAX : static_cast<float>(v);
        velk::fuzzing::Require(std::bit_cast<uint32_t>(ibm[i]) == std::bit_cast<uint32_t>(want), "IBM word converted wrongly");
        const float bits = std::bit_cast<float>(w);
        velk::fuzzing::Require(std::bit_cast<uint32_t>(ieee[i]) == std::bit_cast<uint32_t>(std::isfinite(bits) ? bits : 0.0f),
                               "IEEE word converted wrongly");
    }
    return 0;
}
