#include "base/position.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace velk {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The double a reader gets from the decimal text.
double Parse(const std::string& text)
{
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(result.ec, std::errc());
    return value;
}

// "-12.345" from -12345 thousandths.
std::string ThousandthsText(int64_t thousandths)
{
    const int64_t magnitude = thousandths < 0 ? -thousandths : thousandths;
    std::string fraction = std::to_string(magnitude % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    return (thousandths < 0 ? "-" : "") + std::to_string(magnitude / 1000) + "." + fraction;
}

TEST(Position, NamedValues)
{
    EXPECT_EQ(MetresToHundredths(12.5), 1250);
    EXPECT_EQ(MetresToHundredths(-0.126), -13);
    EXPECT_EQ(MetresToHundredths(0.29), 29);
    EXPECT_EQ(MetresToHundredths(0.0), 0);
    EXPECT_EQ(MetresToHundredths(-0.0), 0);
}

TEST(Position, HalvesGoAwayFromZero)
{
    EXPECT_EQ(MetresToHundredths(0.125), 13);
    EXPECT_EQ(MetresToHundredths(-0.125), -13);
    EXPECT_EQ(MetresToHundredths(0.005), 1);
    EXPECT_EQ(MetresToHundredths(-0.005), -1);
    EXPECT_EQ(MetresToHundredths(0.0049), 0);
    EXPECT_EQ(MetresToHundredths(-0.0049), 0);
    // Halves that binary cannot hold: 1.005 * 100 is 100.49999999999999 in double.
    EXPECT_EQ(MetresToHundredths(1.005), 101);
    EXPECT_EQ(MetresToHundredths(2.675), 268);
    EXPECT_EQ(MetresToHundredths(-2.675), -268);
}

TEST(Position, RefusesNaNInfinityAndOutOfRange)
{
    EXPECT_EQ(MetresToHundredths(kNaN), std::nullopt);
    EXPECT_EQ(MetresToHundredths(kInf), std::nullopt);
    EXPECT_EQ(MetresToHundredths(-kInf), std::nullopt);
    EXPECT_EQ(MetresToHundredths(3e7), std::nullopt);
    EXPECT_EQ(MetresToHundredths(-3e7), std::nullopt);
    EXPECT_EQ(MetresToHundredths(1e300), std::nullopt);
    EXPECT_EQ(MetresToHundredths(std::numeric_limits<double>::max()), std::nullopt);
}

TEST(Position, Int32LimitsAreExact)
{
    EXPECT_EQ(MetresToHundredths(21474836.47), 2147483647);
    EXPECT_EQ(MetresToHundredths(21474836.474), 2147483647);
    EXPECT_EQ(MetresToHundredths(21474836.475), std::nullopt);
    EXPECT_EQ(MetresToHundredths(21474836.48), std::nullopt);
    EXPECT_EQ(MetresToHundredths(-21474836.48), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(MetresToHundredths(-21474836.484), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(MetresToHundredths(-21474836.485), std::nullopt);
    EXPECT_EQ(MetresToHundredths(-21474836.49), std::nullopt);
    EXPECT_EQ(MetresToHundredthsTruncated(21474836.479), 2147483647);
    EXPECT_EQ(MetresToHundredthsTruncated(-21474836.489), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(MetresToHundredthsTruncated(21474836.48), std::nullopt);
}

TEST(Position, TinyValuesBecomeZero)
{
    EXPECT_EQ(MetresToHundredths(1e-300), 0);
    EXPECT_EQ(MetresToHundredths(-1e-300), 0);
    EXPECT_EQ(MetresToHundredths(std::numeric_limits<double>::denorm_min()), 0);
    EXPECT_EQ(MetresToHundredthsTruncated(4e-5), 0);
}

TEST(Position, TruncatedTwin)
{
    EXPECT_EQ(MetresToHundredthsTruncated(12.5), 1250);
    EXPECT_EQ(MetresToHundredthsTruncated(0.29), 29);  // not 28
    EXPECT_EQ(MetresToHundredthsTruncated(0.299), 29);
    EXPECT_EQ(MetresToHundredthsTruncated(-0.126), -12);
    EXPECT_EQ(MetresToHundredthsTruncated(-0.129), -12);
    EXPECT_EQ(MetresToHundredthsTruncated(kNaN), std::nullopt);
    EXPECT_EQ(MetresToHundredthsTruncated(kInf), std::nullopt);
    EXPECT_EQ(MetresToHundredthsTruncated(3e7), std::nullopt);
}

TEST(Position, FloatAndIntegerArguments)
{
    EXPECT_EQ(MetresToHundredths(0.29f), 29);
    EXPECT_EQ(MetresToHundredths(1.005f), 101);
    EXPECT_EQ(MetresToHundredths(-0.126f), -13);
    EXPECT_EQ(MetresToHundredths(std::numeric_limits<float>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(MetresToHundredths(3e7f), std::nullopt);
    EXPECT_EQ(MetresToHundredthsTruncated(0.299f), 29);
    EXPECT_EQ(MetresToHundredths(12), 1200);
    EXPECT_EQ(MetresToHundredths(-7L), -700);
    EXPECT_EQ(MetresToHundredths(int64_t{30000000}), std::nullopt);
    EXPECT_EQ(MetresToHundredthsTruncated(5u), 500);
}

// Every millimetre value from -200 m to 200 m, read from its decimal text, against integer
// rounding of the same decimal.
TEST(Position, AgreesWithDecimalRoundingForEveryMillimetre)
{
    for (int64_t mm = -200000; mm <= 200000; ++mm) {
        const double metres = Parse(ThousandthsText(mm));
        const int64_t truncated = mm / 10;  // toward zero
        const int64_t remainder = mm % 10;
        const int64_t nearest =
            remainder >= 5 ? truncated + 1 : (remainder <= -5 ? truncated - 1 : truncated);
        ASSERT_EQ(MetresToHundredths(metres), nearest) << ThousandthsText(mm);
        ASSERT_EQ(MetresToHundredthsTruncated(metres), truncated) << ThousandthsText(mm);
    }
}

// Centimetre values over the whole range come back exactly and invert exactly.
TEST(Position, CentimetresOverTheWholeRangeAreExact)
{
    uint64_t state = 12345;
    for (int n = 0; n < 100000; ++n) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto hundredths = static_cast<int32_t>(state >> 32);
        const double metres = HundredthsToMetres(hundredths);
        ASSERT_EQ(MetresToHundredths(metres), hundredths) << metres;
        ASSERT_EQ(MetresToHundredthsTruncated(metres), hundredths) << metres;
    }
}

TEST(Position, HundredthsToMetres)
{
    EXPECT_EQ(HundredthsToMetres(1250), 12.5);
    EXPECT_EQ(HundredthsToMetres(-13), -0.13);
    EXPECT_EQ(HundredthsToMetres(29), 0.29);
    EXPECT_EQ(HundredthsToMetres(0), 0.0);
}

}  // namespace
}  // namespace velk
