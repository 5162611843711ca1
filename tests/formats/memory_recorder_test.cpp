// Memory-recorder files: the 8840 codes and ranges, the 8826 interleaved channels with the
// header-count question, short and oversized files, the key files and the rebuild, input gain.

#include <gtest/gtest.h>

#include "formats/load_target.h"
#include "formats/memory_recorder.h"
#include "platform/byte_io.h"
#include "tests/formats/import_fixtures.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

namespace fx = velk::testing::importfixture;

struct Reading {
    ScriptedUiHost ui;
    MemoryLogSink log;
    LoadTarget target{0, 4, 16, 8};
    MemoryRecorderRead out;

    int Read8840(const fx::Bytes& bytes)
    {
        ByteSource source = ByteSource::FromSpan(bytes);
        FormatContext ctx{ui, -1, log};
        return ReadHioki8840(source, target, ctx, out);
    }
    int Read8826(const fx::Bytes& bytes)
    {
        ByteSource source = ByteSource::FromSpan(bytes);
        FormatContext ctx{ui, -1, log};
        return ReadHioki8826(source, target, ctx, out);
    }
    float At(int k, int j) const { return target.RowIfAny(k)[static_cast<size_t>(j)]; }
};

TEST(Hioki8840, CodesAndRanges)
{
    Reading r;
    fx::Hioki8840 h;
    h.codes = {{2048, 4095, 0, 2049}, {2048, 2050, 2046, 2048}};
    ASSERT_EQ(r.Read8840(fx::Hioki8840File(h)), 1);
    EXPECT_EQ(r.out.traces, 2);
    EXPECT_EQ(r.out.samples, 4);
    EXPECT_FLOAT_EQ(r.out.intervalMs, 0.001f);
    EXPECT_FLOAT_EQ(r.At(0, 0), 0.0f);
    EXPECT_FLOAT_EQ(r.At(0, 1), static_cast<float>(2047 * 5 * 0.0000125));
    EXPECT_FLOAT_EQ(r.At(0, 2), static_cast<float>(-2048 * 5 * 0.0000125));
    EXPECT_FLOAT_EQ(r.At(1, 1), static_cast<float>(2 * 2000 * 0.0000125));  // "V": range x 1000
    EXPECT_NE(r.log.Text("mr.txt").find(" 1100000000000000 Number of trace = 2 \n"), std::string::npos);
}

TEST(Hioki8840, ShortFilesKeepCompleteChannelsAndCountsAreChecked)
{
    Reading r;
    fx::Hioki8840 h;
    h.codes = {{1, 2, 3, 4}, {5, 6}};  // the second channel is cut
    r.ui.ExpectMessage("The file ends before its last channels ! \n Only 1 channels have been read.");
    ASSERT_EQ(r.Read8840(fx::Hioki8840File(h)), 1);
    EXPECT_EQ(r.out.traces, 1);
    EXPECT_FALSE(r.target.HasRow(1));

    Reading none;
    h.codes = {};
    none.ui.ExpectAnyMessage();
    EXPECT_EQ(none.Read8840(fx::Hioki8840File(h)), 0);

    // 12 samples into rows of MAX_SAMPLE 8, five channels into four traces.
    Reading big;
    h.samplesText = "12";
    h.flags = "1111100000000000";
    h.ranges = {"1", "1", "1", "1", "1"};
    h.units = {"mV", "mV", "mV", "mV", "mV"};
    h.codes.assign(5, std::vector<uint16_t>(12, 2049));
    big.ui.ExpectMessage(TracesMessage(-1, kTotalTracesReadMsg, 4));
    big.ui.ExpectMessage(SamplesMessage(-1, kSamplesTruncatedMsg));
    ASSERT_EQ(big.Read8840(fx::Hioki8840File(h)), 1);
    EXPECT_EQ(big.out.traces, 4);
    EXPECT_EQ(big.out.samples, 8);
    EXPECT_EQ(big.At(3, 8), 0.0f);
}

TEST(Hioki8826, InterleavedBigEndianChannelsAfterTheConfirmedHeaders)
{
    Reading r;
    fx::Hioki8826 h;
    h.samples = {{1, -2, 3}, {100, 200, -300}};
    r.ui.AnswerDialogWith(CHeaderCountDlg::kClass, [](DialogRequest& request) {
        EXPECT_EQ(request.Find("Headers")->Text(), "3");
        EXPECT_EQ(request.Find("Formula")->Text(), "# of headers = (file size-# of channels*2*# of samples)/512");
        return true;
    });
    ASSERT_EQ(r.Read8826(fx::Hioki8826File(h)), 1);
    EXPECT_EQ(r.out.traces, 2);
    EXPECT_FLOAT_EQ(r.out.intervalMs, 0.1f);
    EXPECT_FLOAT_EQ(r.At(0, 1), static_cast<float>(-2 * 5000 * 0.0000125));
    EXPECT_FLOAT_EQ(r.At(1, 2), static_cast<float>(-300 * 500 * 0.0000125));
    EXPECT_NE(r.log.Text("mr.txt").find("Reading file was successfully completed"), std::string::npos);

    Reading cancelled;
    cancelled.ui.CancelDialog(CHeaderCountDlg::kClass);
    EXPECT_EQ(cancelled.Read8826(fx::Hioki8826File(h)), -1);

    // A count the data cannot fill from there: the log line, a message, -1.
    Reading shortData;
    shortData.ui.AnswerDialog(CHeaderCountDlg::kClass, {{"Headers", "4"}});
    shortData.ui.ExpectAnyMessage();
    EXPECT_EQ(shortData.Read8826(fx::Hioki8826File(h)), -1);
    EXPECT_NE(shortData.log.Text("mr.txt").find(" Reading error ! ret="), std::string::npos);
    EXPECT_FALSE(shortData.target.HasRow(0));
}

TEST(KeyFiles, ParsersStopAtTheFirstLineThatDoesNotScan)
{
    const auto keys = ParseMemoryRecorderKeyText("3 100 0 0 0 2.0\n1 200 50 0 0 0.5\nbad line\n2 300 0 0 0 1\n");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[1].source, 50);
    EXPECT_FLOAT_EQ(keys[1].gain, 0.5f);
}

TEST(KeyFiles, RebuildTakesNamedChannelsInChannelOrder)
{
    Matrix2D<float> rows(0, 3, 0, 7);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) rows[i][j] = static_cast<float>(10 * (i + 1) + j);
    }
    // Channel 3 twice (gains 2 and 1), channel 1 once, channel 9 (none) ignored.
    const auto keys = KeyTracesOf(ParseMemoryRecorderKeyText("3 500 0 0 0 2\n9 0 0 0 0 1\n1 100 0 0 0 1\n3 700 0 0 0 1\n"));
    LoadTarget target(0, 8, 8, 8);
    bool cut = true;
    ASSERT_EQ(RebuildTracesFromKeys(rows, 4, 4, 1000.01f, keys, target, &cut), 3);
    EXPECT_FALSE(cut);
    EXPECT_EQ(target.HeaderAt(0).receiverHundredths, 100);
    EXPECT_EQ(target.HeaderAt(1).receiverHundredths, 500);
    EXPECT_EQ(target.RowIfAny(1)[2], 2.0f * 32.0f);
    EXPECT_EQ(target.RowIfAny(2)[2], 32.0f);
    EXPECT_EQ(target.HeaderAt(2), (CTraceHeader{2, 700, 0, 1, 1, 0.0f, 1000.01f, 4}));

    // The plain key file's component, 1000 in seconds mode; the build stops at the room.
    const auto plain = KeyTracesOf(ParseKeyText("2 100 0 3 0 0\n2 200 0 3 0 0\n"), true);
    LoadTarget small(0, 1, 8, 8);
    EXPECT_EQ(RebuildTracesFromKeys(rows, 4, 4, 1000.0f, plain, small, &cut), 1);
    EXPECT_TRUE(cut);
    EXPECT_EQ(small.HeaderAt(0).component, 1000);
}

TEST(InputGain, FirstEightTracesAndTheirPeaks)
{
    Matrix2D<float> rows(0, 9, 0, 3);
    std::vector<float> peaks(10, 1.0f);
    for (int i = 0; i < 10; ++i) rows[i][0] = 1.0f;
    CInputGainDlg dlg;
    dlg.gains[1] = 2.0f;
    dlg.gains[7] = 3.0f;
    ApplyInputGain(rows, peaks, 10, 4, dlg);
    EXPECT_EQ(rows[0][0], 1.0f);
    EXPECT_EQ(rows[1][0], 2.0f);
    EXPECT_EQ(peaks[1], 2.0f);
    EXPECT_EQ(rows[7][0], 3.0f);
    EXPECT_EQ(rows[8][0], 1.0f);
    EXPECT_EQ(rows[9][0], 1.0f);
}

}  // namespace
}  // namespace velk
