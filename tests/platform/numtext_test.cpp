#include "platform/numtext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <locale.h>
#include <string>
#include <thread>

#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::ScopedGlobalLocale;

TEST(FormatC, PrintfFormats) {
    EXPECT_EQ(FormatC("%f", 1.5), "1.500000");
    EXPECT_EQ(FormatC("%10.3f", 3.14159), "     3.142");
    EXPECT_EQ(FormatC("%d %d %f\n", 1, -2, 0.25), "1 -2 0.250000\n");
    EXPECT_EQ(FormatC("%d %d %d %d %d %f %f %d \n", 0, 0, 0, 0, 1, 0.0, 0.0, 0),
              "0 0 0 0 1 0.000000 0.000000 0 \n");
    EXPECT_EQ(FormatC("%s=%g", "key", 1e-7), "key=1e-07");
    EXPECT_EQ(FormatC("plain"), "plain");
    EXPECT_EQ(FormatC("%s", ""), "");
}

TEST(FormatC, LongOutput) {
    std::string big(5000, 'x');
    std::string out = FormatC("[%s] %.3f", big.c_str(), 2.5);
    EXPECT_EQ(out, "[" + big + "] 2.500");
    // Exactly around the internal first-try buffer.
    for (size_t n = 250; n < 262; ++n) {
        std::string s(n, 'y');
        EXPECT_EQ(FormatC("%s", s.c_str()), s);
    }
}

std::string CallFormatCv(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string CallFormatCv(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string s = FormatCv(format, args);
    va_end(args);
    return s;
}

TEST(FormatC, VaListForm) {
    EXPECT_EQ(CallFormatCv("%d|%f", 7, 1.5), "7|1.500000");
    std::string big(1000, 'z');
    EXPECT_EQ(CallFormatCv("%s%d", big.c_str(), 3), big + "3");
}

TEST(FormatC, IgnoresTheGermanGlobalLocale) {
    ScopedGlobalLocale german("de_DE.UTF-8");
    VELK_SKIP_WITHOUT_LOCALE(german);
    // The locale is in force: the plain C library now writes a decimal comma.
    char raw[32];
    std::snprintf(raw, sizeof raw, "%f", 1.5);
    ASSERT_STREQ(raw, "1,500000");
    EXPECT_EQ(FormatC("%f", 1.5), "1.500000");
    EXPECT_EQ(FormatC("%10.3f", -2.25), "    -2.250");
    EXPECT_EQ(FormatC("%d %d %f\n", 1000000, 2, 1234.5), "1000000 2 1234.500000\n");
    // FormatC must not disturb the caller's locale.
    std::snprintf(raw, sizeof raw, "%.1f", 0.5);
    EXPECT_STREQ(raw, "0,5");
}

TEST(FormatC, IgnoresAGermanThreadLocale) {
    locale_t german = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(nullptr));
    if (!german) GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/setup-deps.sh)";
    std::string inside, after;
    std::thread t([&] {
        ::uselocale(german);
        inside = FormatC("%.2f", 3.5);
        char raw[16];
        std::snprintf(raw, sizeof raw, "%.2f", 3.5);
        after = raw;
        ::uselocale(LC_GLOBAL_LOCALE);
    });
    t.join();
    ::freelocale(german);
    EXPECT_EQ(inside, "3.50");
    EXPECT_EQ(after, "3,50");  // the thread's own locale came back
}

TEST(ParseInt, Accepts) {
    EXPECT_EQ(ParseInt("0"), 0);
    EXPECT_EQ(ParseInt("42"), 42);
    EXPECT_EQ(ParseInt("-17"), -17);
    EXPECT_EQ(ParseInt("+5"), 5);
    EXPECT_EQ(ParseInt("  12 \t\r\n"), 12);
    EXPECT_EQ(ParseInt("\t-3"), -3);
    EXPECT_EQ(ParseInt("007"), 7);
    EXPECT_EQ(ParseInt("2147483647"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseInt("-2147483648"), std::numeric_limits<int32_t>::min());
}

TEST(ParseInt, Rejects) {
    for (const char* bad : {"", "   ", "\r\n", "abc", "1.5", "12x", "x12", "1 2", "+", "-", "+-1",
                            "++1", "-+1", "+ 1", "- 1", "0x10", "1e3", "2147483648",
                            "-2147483649", "99999999999999999999", "1,000", "nan", "inf"}) {
        EXPECT_FALSE(ParseInt(bad).has_value()) << "\"" << bad << "\"";
    }
    // Blanks are only space, tab, CR and LF; a NUL inside is junk.
    EXPECT_FALSE(ParseInt(std::string_view("1\0", 2)).has_value());
    EXPECT_FALSE(ParseInt("\v1").has_value());
}

TEST(ParseInt64, Range) {
    EXPECT_EQ(ParseInt64("2147483648"), 2147483648LL);
    EXPECT_EQ(ParseInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(ParseInt64("+9223372036854775807"), std::numeric_limits<int64_t>::max());
    EXPECT_FALSE(ParseInt64("9223372036854775808").has_value());
    EXPECT_FALSE(ParseInt64("1.0").has_value());
}

TEST(ParseDouble, Accepts) {
    EXPECT_EQ(ParseDouble("1.5"), 1.5);
    EXPECT_EQ(ParseDouble(" -2.25 \r\n"), -2.25);
    EXPECT_EQ(ParseDouble("+3"), 3.0);
    EXPECT_EQ(ParseDouble("+.5"), 0.5);
    EXPECT_EQ(ParseDouble(".5"), 0.5);
    EXPECT_EQ(ParseDouble("-.5"), -0.5);
    EXPECT_EQ(ParseDouble("5."), 5.0);
    EXPECT_EQ(ParseDouble("1e3"), 1000.0);
    EXPECT_EQ(ParseDouble("1E-3"), 1e-3);
    EXPECT_EQ(ParseDouble("1.000000"), 1.0);
    EXPECT_EQ(ParseDouble("0.1"), 0.1);  // correctly rounded
    EXPECT_EQ(ParseDouble("1e300"), 1e300);
    auto negZero = ParseDouble("-0");
    ASSERT_TRUE(negZero.has_value());
    EXPECT_TRUE(std::signbit(*negZero));
}

TEST(ParseDouble, Rejects) {
    for (const char* bad : {"", " ", "abc", "1.5x", "x1.5", "1.5 2", "1,5", "nan", "NaN", "-nan",
                            "inf", "-inf", "+inf", "infinity", "1e400", "-1e400", "1e", "1e+",
                            ".", "+", "+-1", "0x1p3", "1..2", "--1"}) {
        EXPECT_FALSE(ParseDouble(bad).has_value()) << "\"" << bad << "\"";
    }
}

TEST(ParseFloat, AcceptsAndRejects) {
    EXPECT_EQ(ParseFloat("1.5"), 1.5f);
    EXPECT_EQ(ParseFloat("1e-7"), 1e-7f);
    EXPECT_EQ(ParseFloat(" 3.4028234e38 "), std::numeric_limits<float>::max());
    EXPECT_EQ(ParseFloat("0.1"), 0.1f);  // rounded once, to float
    EXPECT_FALSE(ParseFloat("1e40").has_value());
    EXPECT_FALSE(ParseFloat("-1e40").has_value());
    EXPECT_FALSE(ParseFloat("nan").has_value());
    EXPECT_FALSE(ParseFloat("inf").has_value());
    EXPECT_FALSE(ParseFloat("1.5x").has_value());
    EXPECT_FALSE(ParseFloat("abc").has_value());
    // A value too small for a float is out of range too, rather than silently 0.
    EXPECT_FALSE(ParseFloat("1e-50").has_value());
    EXPECT_TRUE(ParseDouble("1e-50").has_value());
}

TEST(ParseDouble, IgnoresTheGermanGlobalLocale) {
    ScopedGlobalLocale german("de_DE.UTF-8");
    VELK_SKIP_WITHOUT_LOCALE(german);
    EXPECT_EQ(ParseDouble("1.5"), 1.5);
    EXPECT_FALSE(ParseDouble("1,5").has_value());
    EXPECT_EQ(ParseFloat("1.500000"), 1.5f);
    EXPECT_EQ(ParseInt("1000"), 1000);
    EXPECT_FALSE(ParseInt("1.000").has_value());
}

TEST(TextScanner, NumbersAcrossLinesAndBlanks) {
    TextScanner s("  12 -3\t4.5\r\n 1e3\n\n7 ");
    int32_t a = 0, b = 0, e = 0;
    float c = 0;
    double d = 0;
    EXPECT_FALSE(s.AtEnd());
    EXPECT_TRUE(s.ReadInt(a));
    EXPECT_TRUE(s.ReadInt(b));
    EXPECT_TRUE(s.ReadFloat(c));
    EXPECT_TRUE(s.ReadDouble(d));
    EXPECT_TRUE(s.ReadInt(e));
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -3);
    EXPECT_EQ(c, 4.5f);
    EXPECT_EQ(d, 1000.0);
    EXPECT_EQ(e, 7);
    EXPECT_TRUE(s.AtEnd());
    EXPECT_FALSE(s.ReadInt(a));
    EXPECT_EQ(a, 12);
}

TEST(TextScanner, BadTokenLeavesTargetAndMovesOn) {
    TextScanner s("5 abc 1.5x 6");
    int32_t v = 0;
    EXPECT_TRUE(s.ReadInt(v));
    EXPECT_EQ(v, 5);
    EXPECT_FALSE(s.ReadInt(v));
    EXPECT_EQ(v, 5);
    EXPECT_EQ(s.Position(), 5u);  // after "abc"
    double d = -1;
    EXPECT_FALSE(s.ReadDouble(d));
    EXPECT_EQ(d, -1);
    EXPECT_TRUE(s.ReadInt(v));
    EXPECT_EQ(v, 6);
}

TEST(TextScanner, IntRejectsAFloatToken) {
    TextScanner s("1.5");
    int32_t v = 9;
    EXPECT_FALSE(s.ReadInt(v));
    EXPECT_EQ(v, 9);
    EXPECT_TRUE(s.AtEnd());
}

TEST(TextScanner, WordsAreCutToTheirLength) {
    TextScanner s("short averyveryverylongword\tnext");
    std::string w = "old";
    EXPECT_TRUE(s.ReadWord(w, 10));
    EXPECT_EQ(w, "short");
    EXPECT_TRUE(s.ReadWord(w, 10));
    EXPECT_EQ(w, "averyveryv");  // the rest of the token is dropped, not read as the next word
    EXPECT_TRUE(s.ReadWord(w, 10));
    EXPECT_EQ(w, "next");
    EXPECT_FALSE(s.ReadWord(w, 10));
    EXPECT_EQ(w, "next");
    TextScanner z("abc");
    EXPECT_TRUE(z.ReadWord(w, 0));
    EXPECT_EQ(w, "");
}

TEST(TextScanner, Lines) {
    TextScanner s("first line\r\nsecond\n\nlast");
    std::string line;
    EXPECT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "first line");
    EXPECT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "second");
    EXPECT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(s.ReadLine(line));
    EXPECT_EQ(line, "last");
}

TEST(TextScanner, NumbersThenTheRestOfTheLine) {
    // A header line of numbers followed by a free-text line, as the text formats have.
    TextScanner s("3 4\nSite name with blanks\r\n8");
    int32_t a = 0, b = 0, c = 0;
    std::string line;
    ASSERT_TRUE(s.ReadInt(a));
    ASSERT_TRUE(s.ReadInt(b));
    ASSERT_TRUE(s.ReadLine(line));  // the rest of the numbers' line
    EXPECT_EQ(line, "");
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "Site name with blanks");
    ASSERT_TRUE(s.ReadInt(c));
    EXPECT_EQ(c, 8);
    EXPECT_TRUE(s.AtEnd());
}

TEST(TextScanner, AtEndDoesNotMove) {
    TextScanner s("1\n  \n");
    int32_t v = 0;
    ASSERT_TRUE(s.ReadInt(v));
    size_t pos = s.Position();
    EXPECT_TRUE(s.AtEnd());
    EXPECT_EQ(s.Position(), pos);
    std::string line = "x";
    EXPECT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "");
}

TEST(TextScanner, EmptyText) {
    TextScanner s("");
    std::string w;
    int32_t v = 1;
    EXPECT_TRUE(s.AtEnd());
    EXPECT_FALSE(s.ReadWord(w, 5));
    EXPECT_FALSE(s.ReadInt(v));
    EXPECT_FALSE(s.ReadLine(w));
    EXPECT_EQ(v, 1);
}

TEST(TextScanner, GermanLocaleDoesNotMatter) {
    ScopedGlobalLocale german("de_DE.UTF-8");
    VELK_SKIP_WITHOUT_LOCALE(german);
    TextScanner s("2.5 3,5");
    double a = 0, b = 0;
    EXPECT_TRUE(s.ReadDouble(a));
    EXPECT_EQ(a, 2.5);
    EXPECT_FALSE(s.ReadDouble(b));
    EXPECT_EQ(b, 0);
}

}  // namespace
}  // namespace velk
