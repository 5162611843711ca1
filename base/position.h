#pragma once
// The one checked conversion of positions in metres (or feet) into the int32 hundredths that
// headers, exchange files and the view use.
//
// The value is taken as the decimal number it stands for: the shortest decimal that reads
// back as the same floating-point value (what the user typed or the file said). Rounding is
// done on that decimal, so 0.29 gives 29 and 1.005 gives 101 although 0.29 * 100 and
// 1.005 * 100 are 28.999999999999996 and 100.49999999999999 in binary.
// NaN, infinities and results outside int32 are refused (nullopt).

#include <concepts>
#include <cstdint>
#include <optional>

namespace velk {

// Round to nearest, halves away from zero: 12.5 -> 1250, -0.126 -> -13, 0.125 -> 13,
// -0.125 -> -13.
std::optional<int32_t> MetresToHundredths(double metres);
std::optional<int32_t> MetresToHundredths(float metres);

// Truncation toward zero of the decimal value, with the same checks: 0.299 -> 29,
// -0.126 -> -12, 0.29 -> 29. Only for places where a stored file's meaning depends on
// truncation.
std::optional<int32_t> MetresToHundredthsTruncated(double metres);
std::optional<int32_t> MetresToHundredthsTruncated(float metres);

// Integer metres (exact in double for every value that can fit).
template <std::integral I>
std::optional<int32_t> MetresToHundredths(I metres)
{
    return MetresToHundredths(static_cast<double>(metres));
}
template <std::integral I>
std::optional<int32_t> MetresToHundredthsTruncated(I metres)
{
    return MetresToHundredthsTruncated(static_cast<double>(metres));
}

// The inverse, exact up to the rounding of the division: 1250 -> 12.5.
double HundredthsToMetres(int32_t hundredths);

}  // namespace velk
