#include "base/position.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace velk {

namespace {

enum class Rounding { NearestHalfAway, TowardZero };

// Multiplies the shortest decimal form of `value` by 100 and rounds it, all in decimal digits,
// so that no binary representation error decides a half or a truncation.
template <class F>
std::optional<int32_t> DecimalHundredths(F value, Rounding rounding)
{
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    // Shortest round-trip form, e.g. "-1.26e-01", "1.25e+01", "5e-03".
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value,
                                         std::chars_format::scientific);
    if (ec != std::errc()) {
        return std::nullopt;
    }

    const char* p = text;
    const bool negative = *p == '-';
    if (negative) {
        ++p;
    }
    char digits[sizeof text];
    int count = 0;
    for (; p < end && *p != 'e'; ++p) {
        if (*p != '.') {
            digits[count++] = *p;
        }
    }
    if (p == end || count == 0) {
        return std::nullopt;
    }
    ++p;  // 'e'
    const bool negativeExponent = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) {
        ++p;
    }
    int exponent = 0;
    if (std::from_chars(p, end, exponent).ec != std::errc()) {
        return std::nullopt;
    }
    if (negativeExponent) {
        exponent = -exponent;
    }

    // value = d0.d1d2... x 10^exponent, so value x 100 has exponent + 3 digits before its
    // decimal point (none or a negative count when it is below 1).
    const int integerDigits = exponent + 3;
    constexpr int kMaxDigits = std::numeric_limits<int32_t>::digits10 + 1;  // 10
    if (integerDigits > kMaxDigits) {
        return std::nullopt;
    }
    int64_t magnitude = 0;
    for (int k = 0; k < integerDigits; ++k) {
        magnitude = magnitude * 10 + (k < count ? digits[k] - '0' : 0);
    }
    // Halves away from zero: the first dropped digit alone decides, since any digit after a
    // 5 only makes the fraction larger than one half.
    if (rounding == Rounding::NearestHalfAway && integerDigits >= 0 && integerDigits < count &&
        digits[integerDigits] >= '5') {
        ++magnitude;
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result < std::numeric_limits<int32_t>::min() ||
        result > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(result);
}

}  // namespace

std::optional<int32_t> MetresToHundredths(double metres)
{
    return DecimalHundredths(metres, Rounding::NearestHalfAway);
}

std::optional<int32_t> MetresToHundredths(float metres)
{
    return DecimalHundredths(metres, Rounding::NearestHalfAway);
}

std::optional<int32_t> MetresToHundredthsTruncated(double metres)
{
    return DecimalHundredths(metres, Rounding::TowardZero);
}

std::optional<int32_t> MetresToHundredthsTruncated(float metres)
{
    return DecimalHundredths(metres, Rounding::TowardZero);
}

double HundredthsToMetres(int32_t hundredths)
{
    return static_cast<double>(hundredths) / 100.0;
}

}  // namespace velk
