#include "formats/frequency_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "tools/test_support.h"

namespace velk {
namespace {

using Error = FrequencyReadError;

Error ParseError(std::string_view text, int maxTraces = 8, int maxValues = 16)
{
    return ParseFrequencyDomainText(text, maxTraces, maxValues).error;
}

TEST(FrequencyText, EveryFloatComesBackBitForBit)
{
    const float specials[] = {0.0f,        -0.0f,         1.0f,          -1.0f / 3.0f,     1e-4f * 1.2345678f,
                              FLT_MAX,     -FLT_MAX,      FLT_MIN,       FLT_TRUE_MIN,     -FLT_TRUE_MIN * 3,
                              123456.789f, 0.1f,          16777217.0f,   2.5e-38f,         7.0e37f,
                              0.29f};
    Matrix2D<float> re(0, 2, 0, 15), im(0, 2, 0, 15);
    for (int t = 0; t < 3; ++t) {
        for (int j = 0; j < 16; ++j) {
            re[t][j] = specials[(j + t) % 16];
            im[t][j] = -specials[(j + 5 * t) % 16] * 0.7f;
        }
    }
    const std::string text = FrequencyDomainText(re, im, 3, 16, 0.9765625f, 0.29f);
    EXPECT_EQ(text.substr(0, 29), " 3 16 0.9765625 0.289999992 \n");
    const FrequencyReadResult read = ParseFrequencyDomainText(text, 3, 16);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.data.traceCount, 3);
    EXPECT_EQ(read.data.valuesPerTrace, 16);
    EXPECT_EQ(read.data.frequencyStep, 0.9765625f);
    EXPECT_EQ(read.data.spacingHundredths, 29);  // nearest, not 28
    for (int t = 0; t < 3; ++t) {
        for (int j = 0; j < 16; ++j) {
            const size_t k = static_cast<size_t>(t * 16 + j);
            EXPECT_EQ(std::bit_cast<uint32_t>(read.data.re[k]), std::bit_cast<uint32_t>(re[t][j])) << t << " " << j;
            EXPECT_EQ(std::bit_cast<uint32_t>(read.data.im[k]), std::bit_cast<uint32_t>(im[t][j])) << t << " " << j;
        }
    }
}

TEST(FrequencyText, AnyWhiteSpaceAndSixDecimalFilesRead)
{
    const FrequencyReadResult read =
        ParseFrequencyDomainText(" 2 1 1.953125 2.000000 \n 0.500000 \n-0.250000\r\n\t1.000000   -1e-3", 4, 4);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.data.re, (std::vector<float>{0.5f, 1.0f}));
    EXPECT_EQ(read.data.im, (std::vector<float>{-0.25f, -1e-3f}));
    EXPECT_EQ(read.data.spacingHundredths, 200);
}

TEST(FrequencyText, CountsAreCheckedBeforeAnyValueIsRead)
{
    EXPECT_EQ(ParseError(" 9 4 1 1 \n"), Error::TooManyTraces);
    EXPECT_EQ(ParseError(" 2 17 1 1 \n"), Error::TooManyValues);
    EXPECT_EQ(ParseError(" 0 4 1 1 \n"), Error::NoTraces);
    EXPECT_EQ(ParseError(" 2 -4 1 1 \n"), Error::NoTraces);
    EXPECT_EQ(ParseError(" 2147483647 2147483647 1 0 \n", INT_MAX, INT_MAX), Error::Short);  // nothing allocated up front
    EXPECT_EQ(ParseError(" 99999999999 4 1 1 \n"), Error::Malformed);
}

TEST(FrequencyText, ImpossibleStepsSpacingsAndValuesAreRefused)
{
    EXPECT_EQ(ParseError(" 1 1 0 1 \n 1 \n 1 \n"), Error::Malformed);
    EXPECT_EQ(ParseError(" 1 1 -2 1 \n 1 \n 1 \n"), Error::Malformed);
    EXPECT_EQ(ParseError(" 1 1 nan 1 \n 1 \n 1 \n"), Error::Malformed);
    EXPECT_EQ(ParseError(" 1 1 1 inf \n 1 \n 1 \n"), Error::Malformed);
    EXPECT_EQ(ParseError(" 1 1 1 3e7 \n 1 \n 1 \n"), Error::Malformed);        // beyond a header word
    EXPECT_EQ(ParseError(" 8 1 1 3e6 \n"), Error::Malformed);                 // 8 x 3e8 hundredths overflow
    EXPECT_EQ(ParseError(" 1 1 1 1 \n 3.4028236e38 \n 1 \n"), Error::Malformed);  // rounds to infinity
    EXPECT_EQ(ParseError(" 1 1 1 1 \n 0x10 \n 1 \n"), Error::Malformed);
    EXPECT_EQ(ParseError(" 1 2 1 1 \n 1 \n 2 \n 3 \n"), Error::Short);
    EXPECT_EQ(ParseError(" 1 1 1 1 \n 1 \n 2 \n 3 \n"), Error::Trailing);
    EXPECT_EQ(ParseError(" 1 1"), Error::Short);
    EXPECT_EQ(ParseError(""), Error::Short);
    EXPECT_EQ(ParseError("x"), Error::Malformed);
}

TEST(FrequencyText, TheCLocaleIsUsedWhateverTheProcessLocale)
{
    Matrix2D<float> re(0, 0, 0, 1), im(0, 0, 0, 1);
    re[0][0] = 1.5f;
    im[0][1] = -2.25f;
    std::string text;
    FrequencyReadResult read;
    {
        testing::ScopedGlobalLocale german("de_DE.utf8");
        if (!german.Ok()) GTEST_SKIP() << "no German locale";
        text = FrequencyDomainText(re, im, 1, 2, 0.5f, 0.0f);
        read = ParseFrequencyDomainText(text, 1, 2);
    }
    EXPECT_EQ(text, " 1 2 0.5 0 \n 1.5 \n 0 \n 0 \n -2.25 \n");
    ASSERT_TRUE(read);
    EXPECT_EQ(read.data.im[1], -2.25f);
}

TEST(FrequencyText, FilesAreWrittenAtomicallyAndReadWhole)
{
    testing::TempFolder folder;
    Matrix2D<float> re(0, 1, 0, 3), im(0, 1, 0, 3);
    re[1][3] = 4.0f;
    const std::string path = folder.File("f.txt");
    std::string error;
    ASSERT_TRUE(WriteFrequencyDomainFile(path, re, im, 2, 4, 2.0f, 1.0f, &error)) << error;
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"f.txt"});
    const FrequencyReadResult read = ReadFrequencyDomainFile(path, 2, 4);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.data.re[7], 4.0f);
    EXPECT_EQ(ReadFrequencyDomainFile(folder.File("none.txt"), 2, 4).error, Error::CannotOpen);
    EXPECT_FALSE(WriteFrequencyDomainFile(folder.File("no/such/dir.txt"), re, im, 2, 4, 2.0f, 1.0f, &error));
    EXPECT_FALSE(error.empty());

    // A file far longer than its limits allow is refused without being read whole.
    testing::WriteFileText(path, " 1 1 1 1 \n 1 \n 1 \n" + std::string(5000, ' '));
    EXPECT_EQ(ReadFrequencyDomainFile(path, 1, 1).error, Error::Trailing);
}

}  // namespace
}  // namespace velk
