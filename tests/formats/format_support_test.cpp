// The format groundwork: bounded text scans, checked conversions, capacity messages, log sinks.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "formats/format_support.h"
#include "platform/language.h"
#include "platform/message_catalogue.h"
#include "tools/test_support.h"

namespace velk {
namespace {

std::vector<uint8_t> Bytes(std::string_view s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(ScanPrefix, IntReadsLikePercentDAndFailsAsAbsent)
{
    EXPECT_EQ(ScanIntPrefix(" 12"), 12);
    EXPECT_EQ(ScanIntPrefix("\t-7abc"), -7);
    EXPECT_EQ(ScanIntPrefix("+3 4"), 3);
    EXPECT_EQ(ScanIntPrefix("36 DB"), 36);
    EXPECT_EQ(ScanIntPrefix("2147483647"), 2147483647);
    EXPECT_EQ(ScanIntPrefix("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_FALSE(ScanIntPrefix("2147483648"));  // out of range: absent, not garbage
    EXPECT_FALSE(ScanIntPrefix("99999999999999999999"));
    EXPECT_FALSE(ScanIntPrefix("SEISMIC_DATA"));
    EXPECT_FALSE(ScanIntPrefix(""));
    EXPECT_FALSE(ScanIntPrefix("   "));
    EXPECT_FALSE(ScanIntPrefix("-"));
}

TEST(ScanPrefix, DoubleReadsLikePercentFAndRefusesNonFinite)
{
    EXPECT_DOUBLE_EQ(*ScanDoublePrefix(" 0.00025"), 0.00025);
    EXPECT_DOUBLE_EQ(*ScanDoublePrefix("-2.300000 "), -2.3);
    EXPECT_DOUBLE_EQ(*ScanDoublePrefix("4.270400E-005"), 4.2704e-5);
    EXPECT_DOUBLE_EQ(*ScanDoublePrefix(".5x"), 0.5);
    EXPECT_DOUBLE_EQ(*ScanDoublePrefix("5."), 5.0);
    EXPECT_DOUBLE_EQ(*ScanDoublePrefix("1e"), 1.0);  // an exponent without digits is not part of it
    EXPECT_DOUBLE_EQ(*ScanDoublePrefix("+7"), 7.0);
    EXPECT_DOUBLE_EQ(*ScanDoublePrefix("1e-400"), 0.0);
    EXPECT_FALSE(ScanDoublePrefix("1e400"));
    EXPECT_FALSE(ScanDoublePrefix("inf"));
    EXPECT_FALSE(ScanDoublePrefix("nan"));
    EXPECT_FALSE(ScanDoublePrefix("."));
    EXPECT_FALSE(ScanDoublePrefix("-.e5"));
    EXPECT_FALSE(ScanDoublePrefix(""));
}

TEST(ScanPrefix, DoubleIgnoresTheGlobalLocale)
{
    testing::ScopedGlobalLocale german("de_DE.UTF-8");
    VELK_SKIP_WITHOUT_LOCALE(german);
    EXPECT_DOUBLE_EQ(*ScanDoublePrefix("12.5"), 12.5);
}

TEST(FieldUpToCR, StopsAtCrNulTwentyCharactersOrTheEnd)
{
    const auto b = Bytes("xx12\r34");
    EXPECT_EQ(FieldUpToCR(b, 2), "12");
    EXPECT_EQ(FieldUpToCR(b, 5), "34");
    EXPECT_EQ(FieldUpToCR(b, 7), "");
    EXPECT_EQ(FieldUpToCR(b, 100), "");
    const auto z = Bytes(std::string("10\0\0\r", 5));
    EXPECT_EQ(FieldUpToCR(z, 0), "10");
    const auto longField = Bytes("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(FieldUpToCR(longField, 0), "abcdefghijklmnopqrst");
    EXPECT_EQ(FieldUpToCR(longField, 0, 3), "abc");
}

TEST(FixedColumns, EmptyBeyondTheLineEnd)
{
    EXPECT_EQ(FixedColumns("0123456789", 2, 3), "234");
    EXPECT_EQ(FixedColumns("0123456789", 8, 5), "89");
    EXPECT_EQ(FixedColumns("0123456789", 10, 5), "");
    EXPECT_EQ(FixedColumns("", 0, 5), "");
}

TEST(TextWindow, BlanksNulAndLineFeedAndStaysInside)
{
    const std::string raw("A\0B\nSAMPLE_INTERVAL 0.5\0RECEIVER_LOCATION", 40);
    const TextWindow w(Bytes(raw));
    EXPECT_EQ(w.Size(), raw.size());
    EXPECT_EQ(w.Text().substr(0, 4), "A B ");
    EXPECT_EQ(w.Find("SAMPLE_INTERVAL"), 4u);
    EXPECT_DOUBLE_EQ(*w.DoubleAfter("SAMPLE_INTERVAL"), 0.5);
    EXPECT_FALSE(w.DoubleAfter("RECEIVER_LOCATION"));  // key at the very end: nothing to scan
    EXPECT_FALSE(w.IntAfter("MISSING"));
    EXPECT_EQ(w.At(1), ' ');
    EXPECT_EQ(w.At(1000), '\0');
    EXPECT_EQ(w.From(1000), "");
    EXPECT_EQ(TextWindow().Find("X"), std::string::npos);
}

TEST(TextWindow, UnparsableValueIsAbsent)
{
    const TextWindow w(Bytes("TRACE_TYPE SEISMIC_DATA"));
    EXPECT_FALSE(w.IntAfter("TRACE_TYPE"));
}

TEST(CheckedConversions, ClampCountAndWarn)
{
    ConversionCount c;
    EXPECT_EQ(NearestInt32Checked(1.9, c), 2);
    EXPECT_EQ(NearestInt32Checked(-2.5, c), -3);
    EXPECT_EQ(NearestInt32Checked(2.49, c), 2);
    EXPECT_EQ(NearestInt32Checked(3e9, c), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(NearestInt32Checked(-3e9, c), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(NearestInt32Checked(INFINITY, c), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(NearestInt32Checked(NAN, c), 0);
    EXPECT_EQ(c.clamped, 3);
    EXPECT_EQ(c.nonFinite, 1);
    EXPECT_EQ(ToInt16Checked(40000.0, c), 32767);
    EXPECT_EQ(ToInt16Checked(-40000.0, c), -32768);
    EXPECT_EQ(c.clamped, 5);

    ConversionCount f;
    EXPECT_EQ(ToFiniteFloat(1e300, f), FLT_MAX);
    EXPECT_EQ(ToFiniteFloat(-1e300, f), -FLT_MAX);
    EXPECT_EQ(ToFiniteFloat(NAN, f), 0.0f);
    EXPECT_EQ(ToFiniteFloat(-INFINITY, f), 0.0f);
    EXPECT_EQ(ToFiniteFloat(0.5, f), 0.5f);
    EXPECT_EQ(f.clamped, 2);
    EXPECT_EQ(f.nonFinite, 2);

    EXPECT_EQ(ConversionWarning(kLanguageEnglish, {}), "");
    EXPECT_EQ(ConversionWarning(kLanguageEnglish, f),
              "2 samples were not numbers and have been set to 0 !\n2 samples were out of range and have been clipped !");
    EXPECT_EQ(ConversionWarning(kLanguageJapanese, ConversionCount{0, 3}), "数値でないサンプル 3 個を 0 にしました !");
}

TEST(CapacityMessages, ExactTextsWithTheAddedLine)
{
    EXPECT_EQ(TracesMessage(kLanguageEnglish, kTotalTracesReadMsg, 0),
              "The total number of traces was too large ! \n Only 0 traces has been read !\n"
              " Change maximum traces by 'Option', 'Dimension size' !");
    EXPECT_EQ(TracesMessage(kLanguageEnglish, kTracesMaxHeadersMsg, 128),
              "The number of traces was too large ! \n Maximum trace number is  128\n"
              " Change maximum traces by 'Option', 'Dimension size' !");
    EXPECT_EQ(SamplesMessage(kLanguageEnglish, kSamplesTruncatedMsg),
              " Number of samples is too large ! \n\n Data will be truncated. \n\n"
              " Change maximum samples by 'Option', 'Dimension size' !");
    EXPECT_EQ(SamplesMessage(kLanguageEnglish, kSamplesMaxMsg, 4100),
              "The number of samples was too large ! \n Maximum sample number is 4100 ");
    EXPECT_EQ(TracesMessage(kLanguageJapanese, kTotalTracesReadMsg, 5),
              "合計トレース数が多すぎます ! \n 5 トレースだけ読み込みました !\n"
              " 'Option'、'Dimension size' でトレース数の最大値を変更してください !");
}

TEST(CapacityMessages, EveryMessageHasAJapaneseTwin)
{
    for (const char* english : {kChangeMaxTracesLine, kTotalTracesReadMsg, kTotalTracesSetMsg, kTracesMaxHeadersMsg,
                                kTracesMaxPacked20Msg, kSamplesTruncatedMsg, kSamplesMaxMsg}) {
        EXPECT_FALSE(CatalogueJapanese(english).empty()) << english;
    }
}

TEST(FileSaveFailedMessage, NamesThePathAndTheReason)
{
    EXPECT_EQ(FileSaveFailedMessage(kLanguageEnglish, "/x/a.dat", "disk full"),
              "The file could not be saved. The old file was not changed.\n\n/x/a.dat\ndisk full");
}

TEST(LogSinks, FolderSinkRewritesNullAndMemorySinks)
{
    testing::TempFolder folder;
    FolderLogSink sink(folder.Path());
    sink.Rewrite("seg2.txt", "first\n");
    sink.Rewrite("seg2.txt", "second\n");
    EXPECT_EQ(testing::ReadFileText(folder.File("seg2.txt")), "second\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"seg2.txt"});

    NullLog().Rewrite("seg2.txt", "dropped");
    MemoryLogSink memory;
    memory.Rewrite("a.txt", "1");
    memory.Rewrite("a.txt", "2");
    EXPECT_EQ(memory.Text("a.txt"), "2");
    EXPECT_EQ(memory.Text("b.txt"), "");
}

TEST(LogSinks, AFolderThatCannotBeWrittenIsNoError)
{
    FolderLogSink sink("/nonexistent-folder-for-velkarine-tests");
    sink.Rewrite("seg2.txt", "x");  // nothing happens, nothing throws
}

}  // namespace
}  // namespace velk
