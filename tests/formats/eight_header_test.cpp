// The 8-header family: the binary layout and its round trip, short and damaged files, the
// sample skip, the header-only count, the text form, the oldest layout and the join.

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "formats/eight_header.h"
#include "fuzz/reader_harness.h"
#include "instrument_fixture_writer.h"
#include "platform/byte_io.h"
#include "seg2_test_support.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

namespace ix = testing::instrumentfixture;
using testing::Owned;
using testing::Reading;
using testing::Samples;
using testing::TargetFor;

int Read(const std::vector<uint8_t>& bytes, LoadTarget& target, Reading& run, int skip = 1)
{
    ByteSource source = ByteSource::FromSpan(bytes);
    return ReadEightHeader(source, target, skip, run.ctx);
}

ix::EightHeaderTrace Trace(int32_t number, int32_t receiver, std::vector<float> samples, float intervalUs = 250.0f)
{
    ix::EightHeaderTrace t;
    t.number = number;
    t.receiver = receiver;
    t.source = -150;
    t.gain = 24;
    t.component = 3;
    t.delayUs = -1250.5f;
    t.intervalUs = intervalUs;
    t.samples = std::move(samples);
    return t;
}

std::vector<float> Ramp(int n, float scale = 1.0f)
{
    std::vector<float> v(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) v[static_cast<size_t>(k)] = scale * static_cast<float>(k) - 0.375f;
    return v;
}

// ---------------------------------------------------------------------------------------------
// Binary layout and round trip

TEST(EightHeader, WriterLaysOutHeadersLittleEndianAndReadsBackBitForBit)
{
    const std::vector<ix::EightHeaderTrace> traces = {
        Trace(1, 1250, {0.5f, -1.0e-30f, 3.0e30f}), Trace(2, -250, Ramp(7)), Trace(3, 0, {}), Trace(4, 99, {1.0f})};
    testing::Record rec(4, 8);
    for (int i = 0; i < 4; ++i) {
        const ix::EightHeaderTrace& t = traces[static_cast<size_t>(i)];
        rec.headers[static_cast<size_t>(i)].Set(t.number, t.receiver, t.source, t.gain, t.component, t.delayUs,
                                                t.intervalUs, static_cast<int32_t>(t.samples.size()));
        for (size_t k = 0; k < t.samples.size(); ++k) rec.rows[i][static_cast<int>(k)] = t.samples[k];
    }
    ByteSink sink;
    ASSERT_TRUE(WriteEightHeader(sink, rec.rows, rec.headers, 4).ok);
    // The documented layout: words at 0..16, floats at 20 and 24, the count at 28, samples at 32.
    EXPECT_EQ(sink.Bytes(), ix::EightHeaderFile(traces));
    EXPECT_EQ(sink.Bytes()[20 + 3], std::bit_cast<uint32_t>(-1250.5f) >> 24);

    Reading run;
    LoadTarget target = TargetFor(8, 16);
    ASSERT_EQ(Read(sink.Bytes(), target, run), 4);
    EXPECT_TRUE(run.ui.Messages().empty());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(target.HeaderAt(i), rec.headers[static_cast<size_t>(i)]) << i;
        const std::vector<float> got = Samples(target, i);
        ASSERT_EQ(got.size(), traces[static_cast<size_t>(i)].samples.size());
        if (!got.empty()) {
            EXPECT_EQ(std::memcmp(got.data(), traces[static_cast<size_t>(i)].samples.data(), 4 * got.size()), 0) << i;
        }
    }
    ByteSink again;
    ASSERT_TRUE(WriteEightHeader(again, rec.rows, std::vector<CTraceHeader>{target.HeaderAt(0), target.HeaderAt(1),
                                                                             target.HeaderAt(2), target.HeaderAt(3)},
                                 4)
                    .ok);
    EXPECT_EQ(again.Bytes(), sink.Bytes());
}

TEST(EightHeader, EmptyFileGivesNoTraces)
{
    Reading run;
    LoadTarget target = TargetFor(8, 16);
    EXPECT_EQ(Read({}, target, run), 0);
    EXPECT_TRUE(run.ui.Messages().empty());
    EXPECT_FALSE(target.HasRow(0));
}

TEST(EightHeader, CutLastTraceKeepsTheSamplesPresentAndSaysSo)
{
    std::vector<uint8_t> bytes = ix::EightHeaderFile({Trace(1, 0, Ramp(5)), Trace(2, 100, Ramp(6))});
    bytes.resize(bytes.size() - 4 * 4 - 2);  // trace 2 keeps one whole sample and half of another
    Reading run;
    LoadTarget target = TargetFor(8, 16);
    ASSERT_EQ(Read(bytes, target, run), 2);
    EXPECT_EQ(target.HeaderAt(1).samples, 1);
    EXPECT_EQ(Samples(target, 1), std::vector<float>{-0.375f});
    EXPECT_EQ(target.RowIfAny(1)[1], 0.0f) << "no stale sample after the count";
    ASSERT_EQ(run.ui.Messages().size(), 1u);
    EXPECT_EQ(run.ui.Messages()[0],
              " The file ends inside the samples of trace 2 ! \n It keeps the 1 samples present.");
}

TEST(EightHeader, SkipThreeKeepsEveryThirdSampleAndTriplesTheInterval)
{
    Reading run;
    LoadTarget target = TargetFor(8, 16);
    ASSERT_EQ(Read(ix::EightHeaderFile({Trace(1, 0, Ramp(10), 500.0f)}), target, run, 3), 1);
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{-0.375f, 2.625f, 5.625f}));
    EXPECT_EQ(target.HeaderAt(0).intervalUs, 1500.0f);
    EXPECT_EQ(target.HeaderAt(0).samples, 3);
    LoadTarget refused = TargetFor(8, 16);
    EXPECT_EQ(Read(ix::EightHeaderFile({Trace(1, 0, Ramp(10))}), refused, run, 0), -1);
}

TEST(EightHeader, CountsFromTheFileAreChecked)
{
    // Trace 2 declares more samples than MAX_SAMPLE (all present): 8 kept with the capacity
    // message, the surplus skipped so trace 3 reads right; trace 4 is negative: the read ends.
    ix::EightHeaderTrace negative = Trace(4, 300, {9.0f});
    negative.declared = -5;
    const std::vector<uint8_t> bytes =
        ix::EightHeaderFile({Trace(1, 0, Ramp(3)), Trace(2, 100, Ramp(12)), Trace(3, 200, {7.0f, 8.0f}), negative});
    Reading run;
    LoadTarget target = TargetFor(8, 8);
    ASSERT_EQ(Read(bytes, target, run), 3);
    EXPECT_EQ(target.HeaderAt(1).samples, 8);
    EXPECT_EQ(Samples(target, 2), (std::vector<float>{7.0f, 8.0f}));
    EXPECT_EQ(run.ui.Messages(),
              (std::vector<std::string>{" Trace 4 of the file declares -5 samples ! \n Reading stops before it.",
                                        SamplesMessage(kLanguageEnglish, kSamplesTruncatedMsg)}));

    // The same files through the harness of the fuzz targets: a commit leaves every sentinel row
    // and header outside the traces read as it was, whatever the counts say.
    ix::EightHeaderTrace huge = Trace(2, 100, Ramp(4));
    huge.declared = 2000000000;
    for (const std::vector<uint8_t>& file : {bytes, ix::EightHeaderFile({Trace(1, 0, Ramp(3)), huge})}) {
        for (int start : {0, 3}) {
            velk::fuzzing::CheckReader(file, {}, start, [](ByteSource& s, LoadTarget& t, FormatContext& c) {
                return ReadEightHeader(s, t, 1, c);
            });
        }
    }
}

TEST(EightHeader, MoreTracesThanTheRoomKeepTheRoomWithTheTracesMessage)
{
    const std::vector<uint8_t> bytes = ix::EightHeaderFile({Trace(1, 0, {1}), Trace(2, 1, {2}), Trace(3, 2, {3})});
    Reading run;
    LoadTarget target = TargetFor(4, 8, 2);
    ASSERT_EQ(Read(bytes, target, run), 2);
    EXPECT_EQ(run.ui.Messages(), std::vector<std::string>{TracesMessage(kLanguageEnglish, kTotalTracesReadMsg, 2)});
}

TEST(EightHeader, HeaderCountAgreesWithTheReader)
{
    ix::EightHeaderTrace negative = Trace(3, 0, {});
    negative.declared = -1;
    ix::EightHeaderTrace past = Trace(2, 0, Ramp(2));
    past.declared = 9;
    const std::vector<std::vector<uint8_t>> files = {
        {},
        ix::EightHeaderFile({Trace(1, 0, Ramp(4)), Trace(2, 5, Ramp(1))}),
        ix::EightHeaderFile({Trace(1, 0, Ramp(4)), past}),
        ix::EightHeaderFile({Trace(1, 0, Ramp(4)), Trace(2, 0, {}), negative, Trace(4, 0, {})}),
        ix::EightHeaderFile({Trace(1, 0, {}), Trace(2, 0, {}), Trace(3, 0, {}), Trace(4, 0, {}), Trace(5, 0, {})}),
    };
    for (size_t f = 0; f < files.size(); ++f) {
        Reading run;
        LoadTarget target = TargetFor(4, 64);
        std::vector<CTraceHeader> headers(4);
        ByteSource source = ByteSource::FromSpan(files[f]);
        const int counted = CountEightHeaderTraces(source, headers);
        EXPECT_EQ(counted, Read(files[f], target, run)) << f;
        for (int k = 0; k < counted; ++k) EXPECT_EQ(headers[static_cast<size_t>(k)], target.HeaderAt(k)) << f << " " << k;
    }
    std::vector<CTraceHeader> headers(4);
    EXPECT_EQ(CountEightHeaderTraces("/nonexistent/a.8hd", headers), -1);
}

// ---------------------------------------------------------------------------------------------
// Oldest layout

TEST(EightHeader, OldestLayoutHasIntegerTimes)
{
    ix::EightHeaderTrace t = Trace(1, 0, Ramp(3), 500.0f);
    t.delayUs = 2000.0f;
    Reading run;
    LoadTarget target = TargetFor(4, 8);
    Owned sourceBytes(ix::EightHeaderFile({t}, true));
    ByteSource& source = sourceBytes.source;
    ASSERT_EQ(ReadOldestEightHeader(source, target, run.ctx), 1);
    EXPECT_EQ(target.HeaderAt(0).delayUs, 2000.0f);
    EXPECT_EQ(target.HeaderAt(0).intervalUs, 500.0f);
}

// ---------------------------------------------------------------------------------------------
// Text form

TEST(EightHeaderText, ReadsWhatTheBinaryFormHolds)
{
    const std::vector<ix::EightHeaderTrace> traces = {Trace(1, 1250, {0.5f, -1.25f, 3.0e-8f}), Trace(2, -250, Ramp(7))};
    Reading run;
    LoadTarget binary = TargetFor(8, 16);
    LoadTarget text = TargetFor(8, 16);
    ASSERT_EQ(Read(ix::EightHeaderFile(traces), binary, run), 2);
    ASSERT_EQ(ReadEightHeaderText(ix::EightHeaderText(traces), text, run.ctx), 2);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(text.HeaderAt(k), binary.HeaderAt(k));
        EXPECT_EQ(Samples(text, k), Samples(binary, k));
    }
    EXPECT_TRUE(run.ui.Messages().empty());
}

TEST(EightHeaderText, StopsAtAValueThatDoesNotScanAndRefusesWhatDoesNotFit)
{
    Reading run;
    LoadTarget target = TargetFor(8, 16);
    EXPECT_EQ(ReadEightHeaderText("1 0 0 0 1 0 250 2\n 1 2\n2 100 0 0 1 0 250 3\n 4 x 6\n", target, run.ctx), 2);
    EXPECT_EQ(target.HeaderAt(1).samples, 1) << "the trace keeps the sample before the bad value";
    EXPECT_EQ(Samples(target, 1), std::vector<float>{4.0f});

    Reading tooMany;
    LoadTarget small = TargetFor(1, 16);
    EXPECT_EQ(ReadEightHeaderText("1 0 0 0 1 0 250 1 5\n2 0 0 0 1 0 250 1 6\n", small, tooMany.ctx), -1);
    EXPECT_EQ(tooMany.ui.Messages(), std::vector<std::string>{TracesMessage(kLanguageEnglish, kTracesMaxHeadersMsg, 1)});

    Reading tooLong;
    LoadTarget shortRows = TargetFor(4, 2);
    EXPECT_EQ(ReadEightHeaderText("1 0 0 0 1 0 250 3 1 2 3\n", shortRows, tooLong.ctx), -1);

    Reading noInterval;
    LoadTarget t2 = TargetFor(4, 16);
    EXPECT_EQ(ReadEightHeaderText("1 0 0 0 1 0 0 2 1 2\n", t2, noInterval.ctx), -1);
    EXPECT_EQ(noInterval.ui.Messages(),
              std::vector<std::string>{" The sampling time of the file is not larger than 0 ! \n The file has not been read."});
}

// ---------------------------------------------------------------------------------------------
// Join

TEST(EightHeaderJoin, JoinsRecordByRecordWithTheFirstFilesWords)
{
    testing::TempFolder folder;
    ix::EightHeaderTrace a1 = Trace(1, 500, Ramp(100));
    ix::EightHeaderTrace b1 = Trace(9, 900, Ramp(50, -2.0f), 125.0f);
    testing::WriteFileBytes(folder.File("a.8hd"), ix::EightHeaderFile({a1, Trace(2, 600, Ramp(3))}));
    testing::WriteFileBytes(folder.File("b.8hd"), ix::EightHeaderFile({b1}));
    Reading run;
    EXPECT_EQ(ConnectEightHeaderFiles(folder.File("a.8hd"), folder.File("b.8hd"), folder.File("a.8hd"), run.ctx), 1)
        << "the output may name an input";
    ix::EightHeaderTrace joined = a1;
    joined.samples.insert(joined.samples.end(), b1.samples.begin(), b1.samples.end());
    EXPECT_EQ(testing::ReadFileBytes(folder.File("a.8hd")), ix::EightHeaderFile({joined}));
    EXPECT_TRUE(run.ui.Messages().empty());

    // A second file cut inside its record: nothing joined, and said.
    std::vector<uint8_t> cut = ix::EightHeaderFile({b1});
    cut.resize(cut.size() - 4);
    testing::WriteFileBytes(folder.File("cut.8hd"), cut);
    EXPECT_EQ(ConnectEightHeaderFiles(folder.File("b.8hd"), folder.File("cut.8hd"), folder.File("out.8hd"), run.ctx), 0);
    EXPECT_EQ(run.ui.Messages().size(), 1u);
    EXPECT_EQ(ConnectEightHeaderFiles(folder.File("none.8hd"), folder.File("b.8hd"), folder.File("out.8hd"), run.ctx), -1);
}

}  // namespace
}  // namespace velk
