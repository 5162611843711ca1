// Feeds arbitrary text to the frequency-domain reader with small limits. A file the reader
// takes must hold exactly what it announced, within the limits, every value a finite float,
// and must write back to text that reads to the very same bits.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/frequency_text.h"

namespace {
constexpr int kMaxTraces = 6;
constexpr int kMaxValues = 24;

void Require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const velk::FrequencyReadResult read = velk::ParseFrequencyDomainText(text, kMaxTraces, kMaxValues);
    if (!read) {
        Require(read.data.re.empty() && read.data.im.empty());
        return 0;
    }
    const velk::FrequencyDomainData& d = read.data;
    Require(d.traceCount >= 1 && d.traceCount <= kMaxTraces);
    Require(d.valuesPerTrace >= 1 && d.valuesPerTrace <= kMaxValues);
    const size_t count = static_cast<size_t>(d.traceCount) * static_cast<size_t>(d.valuesPerTrace);
    Require(d.re.size() == count && d.im.size() == count);
    Require(std::isfinite(d.frequencyStep) && d.frequencyStep > 0.0f);
    for (size_t k = 0; k < count; ++k) {
        Require(std::isfinite(d.re[k]) && std::isfinite(d.im[k]));
    }

    velk::Matrix2D<float> re(0, d.traceCount - 1, 0, d.valuesPerTrace - 1);
    velk::Matrix2D<float> im(0, d.traceCount - 1, 0, d.valuesPerTrace - 1);
    for (int t = 0; t < d.traceCount; ++t) {
        for (int j = 0; j < d.valuesPerTrace; ++j) {
            re[t][j] = d.re[static_cast<size_t>(t * d.valuesPerTrace + j)];
            im[t][j] = d.im[static_cast<size_t>(t * d.valuesPerTrace + j)];
        }
    }
    const std::string again =
        velk::FrequencyDomainText(re, im, d.traceCount, d.valuesPerTrace, d.frequencyStep, d.spacing);
    const velk::FrequencyReadResult back = velk::ParseFrequencyDomainText(again, kMaxTraces, kMaxValues);
    Require(static_cast<bool>(back));
    Require(back.data.spacingHundredths == d.spacingHundredths);
    Require(std::bit_cast<uint32_t>(back.data.frequencyStep) == std::bit_cast<uint32_t>(d.frequencyStep));
    for (size_t k = 0; k < count; ++k) {
        Require(std::bit_cast<uint32_t>(back.data.re[k]) == std::bit_cast<uint32_t>(d.re[k]));
        Require(std::bit_cast<uint32_t>(back.data.im[k]) == std::bit_cast<uint32_t>(d.im[k]));
    }
    return 0;
}
