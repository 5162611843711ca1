// The instrument .ORG record and its relatives: the written layout, read-back, the sample forms,
// short files, the header-only variant, refusals of records the fields cannot hold; the QK,
// 470, Torvane9, Kesh, shuttle and suspension readers and the two variant writers.

#include <gtest/gtest.h>

#include <cmath>

#include "formats/org_file.h"
#include "formats/org_variants.h"
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

std::string Text(const std::vector<uint8_t>& b, size_t at, size_t n) { return std::string(b.begin() + at, b.begin() + at + n); }

// A record of `traces` x `samples` with sample k of trace i = value(i, k).
testing::Record MakeRecord(int traces, int samples, float intervalUs, float (*value)(int, int))
{
    testing::Record r(traces, samples);
    for (int i = 0; i < traces; ++i) {
        r.headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 0, 1, 0.0f, intervalUs, samples);
        for (int k = 0; k < samples; ++k) r.rows[i][k] = value(i, k);
    }
    return r;
}

float Wave(int i, int k) { return static_cast<float>((i + 1) * 100.25 * std::sin(0.3 * k + i)); }

// ---------------------------------------------------------------------------------------------
// .ORG

TEST(TorvaneOrg, WrittenLayoutAndReadBack)
{
    const testing::Record r = MakeRecord(4, 6, 250.0f, Wave);
    ByteSink sink;
    ASSERT_TRUE(WriteTorvaneOrg(sink, r.rows, r.headers, 4).ok);
    const std::vector<uint8_t>& b = sink.Bytes();
    ASSERT_EQ(b.size(), 6144u + 4 * 6 * 4);
    EXPECT_EQ(Text(b, 0, 2), "04");
    EXPECT_EQ(Text(b, 2, 10), "001Tq470FP");
    EXPECT_EQ(Text(b, 12, 14), "010198100636PM");
    EXPECT_EQ(Text(b, 2867, 1), "4");
    EXPECT_EQ(b[2869], 13);
    EXPECT_EQ(Text(b, 2816 + 59, 5), "0.250");
    EXPECT_EQ(Text(b, 2928 + 28, 2), "10");
    const int32_t first = static_cast<int32_t>(b[6144] | (b[6145] << 8) | (b[6146] << 16) | (b[6147] << 24));
    EXPECT_EQ(first, static_cast<int32_t>(std::round(Wave(0, 0) * kOrgWrittenGainFactor)));

    Reading run;
    LoadTarget target = TargetFor(8, 16);
    ByteSource source = ByteSource::FromSpan(b);
    ASSERT_EQ(ReadTorvaneOrg(source, target, run.ctx), 4) << "the two extra traces are not there: a complete file";
    EXPECT_TRUE(run.ui.Messages().empty());
    for (int i = 0; i < 4; ++i) {
        const CTraceHeader& h = target.HeaderAt(i);
        EXPECT_EQ(h.traceNumber, i + 1);
        EXPECT_EQ(h.receiverHundredths, (i + 1) * 100);
        EXPECT_EQ(h.gain, 10);
        EXPECT_EQ(h.samples, 6);
        EXPECT_EQ(h.intervalUs, 250.0f);
        EXPECT_EQ(h.delayUs, 0.0f);
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(target.RowIfAny(i)[static_cast<size_t>(k)], Wave(i, k), 1.0 / kOrgWrittenGainFactor);
    }
    EXPECT_NE(run.log.Text("read_Torvane_file.txt").find("cha=0 gain=10 db -> 3.162278 倍\n"), std::string::npos);
}

TEST(TorvaneOrg, SampleFormByModelAndShortFiles)
{
    ix::OrgRecord r;
    r.model = "002TQ300  ";  // "TQ" without "470F": 16-bit samples
    r.channels = "2";
    r.samples = "3";
    r.intervalMs = "0.125";
    r.delayMs = "-0002.500";
    r.gainsDb = {"20", "0"};
    r.width = 2;
    r.data = {{10, -20, 30}, {1, 2, 3}, {-7, 8, 9}, {4, 5, 6}};
    Reading run;
    LoadTarget target = TargetFor(8, 16);
    Owned s16Bytes(ix::OrgFile(r));
    ByteSource& s16 = s16Bytes.source;
    ASSERT_EQ(ReadTorvaneOrg(s16, target, run.ctx), 4) << "C + 2 traces";
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{1.0f, -2.0f, 3.0f}));
    EXPECT_EQ(Samples(target, 2), (std::vector<float>{-7.0f, 8.0f, 9.0f})) << "the extra traces have factor 1";
    EXPECT_EQ(target.HeaderAt(0).delayUs, -2500.0f);
    EXPECT_EQ(target.HeaderAt(0).intervalUs, 125.0f);
    EXPECT_EQ(target.HeaderAt(0).gain, 20);
    EXPECT_NE(run.log.Text("read_Torvane_file.txt").find("cha=0 1 -20/10.000000 = -2.000000 \n"), std::string::npos);

    r.model = "001Tq470FP";  // 32-bit, the same values
    r.width = 4;
    r.cutBytes = 4 * 3 + 2;  // the file ends inside trace 3
    Reading cut;
    LoadTarget t32 = TargetFor(8, 16);
    Owned s32Bytes(ix::OrgFile(r));
    ByteSource& s32 = s32Bytes.source;
    ASSERT_EQ(ReadTorvaneOrg(s32, t32, cut.ctx), 2);
    EXPECT_EQ(Samples(t32, 1), (std::vector<float>{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(cut.ui.Messages(),
              std::vector<std::string>{" The .ORG file ends inside trace 3 ! \n 2 complete traces have been read."});
}

TEST(TorvaneOrg, CountsAndGainsFromTheTextAreChecked)
{
    ix::OrgRecord r;
    r.gainsDb = {"10", "10"};
    r.data = {{1, 2, 3, 4}, {5, 6, 7, 8}};
    auto read = [](const ix::OrgRecord& rec, int maxTraces, int maxSample, Reading& run) {
        LoadTarget target = TargetFor(maxTraces, maxSample);
        Owned sBytes(ix::OrgFile(rec));
    ByteSource& s = sBytes.source;
        return ReadTorvaneOrg(s, target, run.ctx);
    };
    Reading ok;
    EXPECT_EQ(read(r, 2, 8, ok), 2) << "two traces in the file fit two rows";
    Reading small;
    EXPECT_EQ(read(r, 1, 8, small), -1);
    Reading shortRows;
    EXPECT_EQ(read(r, 4, 3, shortRows), -1);
    EXPECT_EQ(shortRows.ui.Messages()[0], SamplesMessage(kLanguageEnglish, kSamplesMaxMsg, 3) + "\n\n The data was not changed.");
    ix::OrgRecord manyChannels = r;
    manyChannels.channels = "10";  // channel blocks past the end of the file
    manyChannels.cutBytes = 32 + 6144 - 3000;
    Reading blocks;
    EXPECT_EQ(read(manyChannels, 4, 8, blocks), -1);
    ix::OrgRecord oddGain = r;
    oddGain.gainsDb = {"-999", "10"};
    Reading gain;
    LoadTarget t = TargetFor(4, 8);
    Owned sBytes(ix::OrgFile(oddGain));
    ByteSource& s = sBytes.source;
    ASSERT_EQ(ReadTorvaneOrg(s, t, gain.ctx), 2);
    EXPECT_EQ(Samples(t, 0), (std::vector<float>{1.0f, 2.0f, 3.0f, 4.0f}));
    EXPECT_EQ(gain.ui.Messages().size(), 1u);
}

TEST(TorvaneOrg, VariantCountsHeadersByForm)
{
    testing::TempFolder folder;
    ix::OrgRecord r;
    r.channels = "3";
    r.gainsDb = {"6", "12", "18"};
    const std::string p32 = folder.File("a.ORG");
    testing::WriteFileBytes(p32, ix::OrgFile(r));
    r.model = "001Tq300  ";
    const std::string p16 = folder.File("b_ifp.ORG");
    testing::WriteFileBytes(p16, ix::OrgFile(r));
    Reading run;
    std::vector<CTraceHeader> headers(8);
    EXPECT_EQ(ReadTorvaneOrgVariantFile(p32, headers, run.ctx), 4);
    EXPECT_EQ(headers[1].gain, 12);
    EXPECT_EQ(headers[3].gain, 0);
    EXPECT_EQ(headers[3].receiverHundredths, 400);
    EXPECT_EQ(headers[0].samples, 4);
    EXPECT_EQ(ReadTorvaneOrgVariantFile(p16, headers, run.ctx), 2) << "C in the 16-bit form, one less for ifp";
}

TEST(TorvaneOrg, RecordsTheFieldsCannotHoldAreRefusedAndTheOldFileStays)
{
    testing::TempFolder folder;
    const std::string path = folder.File("old.ORG");
    testing::WriteFileText(path, "old");
    const testing::Record many = MakeRecord(120, 4, 250.0f, Wave);
    const WriteStatus traces = WriteTorvaneOrgFile(path, many.rows, many.headers, 120);
    EXPECT_FALSE(traces.ok);
    EXPECT_EQ(traces.error, "an .ORG file holds at most 99 traces; the record has 120");
    const testing::Record longer = MakeRecord(2, 16400, 250.0f, Wave);
    EXPECT_FALSE(WriteTorvaneOrgFile(path, longer.rows, longer.headers, 2).ok);
    EXPECT_EQ(testing::ReadFileText(path), "old");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"old.ORG"});

    EXPECT_EQ(OrgIntervalWarning(kLanguageEnglish, 0.25), "");
    EXPECT_EQ(OrgIntervalWarning(kLanguageEnglish, 0.03125),
              " The sampling time 0.03125 ms is written as \"0.031\" ! \n The file has room for 5 characters.");
}

// ---------------------------------------------------------------------------------------------
// Torvane9

TEST(Torvane9, ThreeChannelsOf990Values)
{
    Reading run;
    LoadTarget target = TargetFor(8, 1024);
    Owned file(ix::Torvane9Text(" 10k", "5000", " 200", 250, 2970));
    ByteSource& s = file.source;
    const InstrumentReadResult r = ReadTorvane9Text(s, target, run.ctx);
    EXPECT_EQ(r.outcome, OpenOutcome::NewRecord);
    EXPECT_EQ(r.traces, 3);
    EXPECT_EQ(r.samples, 990);
    EXPECT_FLOAT_EQ(r.intervalMs, 0.25f);
    EXPECT_EQ(target.RowIfAny(0)[0], 500.0f);
    EXPECT_EQ(target.RowIfAny(2)[989], 3000.0f + 989.0f - 500.0f);
    EXPECT_EQ(run.log.Text("torvane9.txt").substr(run.log.Text("torvane9.txt").find('\n') + 1),
              "10000 \n5000 \n200 \n250 \n");

    Reading shortRun;
    LoadTarget t2 = TargetFor(8, 1024, 2);
    Owned file2(ix::Torvane9Text("1000", "1000", "1000", 500, 2969));
    ByteSource& s2 = file2.source;
    EXPECT_FALSE(ReadTorvane9Text(s2, t2, shortRun.ctx));
    EXPECT_EQ(shortRun.ui.Messages(), std::vector<std::string>{" The Torvane9 file holds 2969 of its 2970 values.\n\n The data was not changed."});
}

// ---------------------------------------------------------------------------------------------
// QK and 470

TEST(QkAnd470, QkReadsOneMoreTraceWithThePolarityFlipped)
{
    ix::OrgRecord r;
    r.channels = "2";
    r.samples = "3";
    r.intervalMs = "0.125";
    r.gainsDb = {"20", "20"};  // logged, not applied
    r.data = {{1, -2, 3}, {4, 5, 6}, {-7, 8, 2147483647}};
    Reading run;
    LoadTarget target = TargetFor(8, 8);
    Owned sBytes(ix::OrgFile(r));
    ByteSource& s = sBytes.source;
    const InstrumentReadResult got = ReadQkOrg(s, target, run.ctx);
    ASSERT_EQ(got.traces, 3);
    EXPECT_EQ(got.samples, 3);
    EXPECT_FLOAT_EQ(got.intervalMs, 0.125f);
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{-1.0f, 2.0f, -3.0f}));
    EXPECT_EQ(Samples(target, 2)[2], -2147483647.0f);
    EXPECT_EQ(run.log.Text("read.txt"), "04001Tq470FP\n001Tq470FP\n\n2\n3\n0.125\n+0000.000\n 0 20 10.000000 \n 1 20 10.000000 \n");
}

TEST(QkAnd470, Reads470SamplesAsMinusValueOverFactorAndStopsAtAShortTrace)
{
    ix::OrgRecord r;
    r.model = "001TQ470  ";
    r.channels = "3";
    r.samples = "2";
    r.gainsDb = {"20", "0", "0"};
    r.width = 2;
    r.data = {{100, -50}, {3, 4}, {5, 6}};
    r.cutBytes = 2;
    Reading run;
    LoadTarget target = TargetFor(8, 8);
    Owned sBytes(ix::OrgFile(r));
    ByteSource& s = sBytes.source;
    const InstrumentReadResult got = Read470Org(s, target, run.ctx);
    ASSERT_EQ(got.traces, 2) << "the third trace is cut: it is not read";
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{-10.0f, 5.0f}));
    EXPECT_EQ(Samples(target, 1), (std::vector<float>{-3.0f, -4.0f}));
    EXPECT_EQ(run.ui.Messages().size(), 1u);
    EXPECT_NE(run.log.Text("read470.txt").find(" 0 20 10.000000 \n"), std::string::npos);
}

TEST(QkAnd470, WriteQkOrgFieldsAndReadBack)
{
    const testing::Record r = MakeRecord(2, 5, 125.0f, Wave);
    ByteSink sink;
    ASSERT_TRUE(WriteQkOrg(sink, 5, 0.125f, 2, r.rows).ok);
    const std::vector<uint8_t>& b = sink.Bytes();
    EXPECT_EQ(Text(b, 0, 27), std::string("04001Tq470FP010198100636PM\r"));
    const size_t k = 2816;
    EXPECT_EQ(Text(b, k + 0, 2), "1\r");
    EXPECT_EQ(Text(b, k + 5, 2), "1\r");
    EXPECT_EQ(Text(b, k + 10, 5), "date\r");
    EXPECT_EQ(Text(b, k + 22, 10), "Velkarine\r");
    EXPECT_EQ(Text(b, k + 45, 4), "ZAV\r");
    EXPECT_EQ(Text(b, k + 51, 2), "2\r");
    EXPECT_EQ(Text(b, k + 54, 2), "5\r");
    EXPECT_EQ(Text(b, k + 59, 6), "0.125\r");
    EXPECT_EQ(Text(b, k + 65, 10), "+0000.000\r");
    EXPECT_EQ(Text(b, k + 75, 5), "0.00\r");
    EXPECT_EQ(Text(b, k + 80, 5), "0.00\r");
    EXPECT_EQ(Text(b, 2928 + 32 + 28, 3), "10\r");
    ASSERT_EQ(b.size(), 6144u + 2 * 5 * 4);

    Reading run;
    LoadTarget target = TargetFor(8, 8);
    ByteSource s = ByteSource::FromSpan(b);
    const InstrumentReadResult got = ReadQkOrg(s, target, run.ctx);
    ASSERT_EQ(got.traces, 2);
    EXPECT_EQ(got.samples, 5);
    EXPECT_FLOAT_EQ(got.intervalMs, 0.125f);
    for (int i = 0; i < 2; ++i)
        for (int m = 0; m < 5; ++m) EXPECT_EQ(target.RowIfAny(i)[static_cast<size_t>(m)], std::round(Wave(i, m)));

    ByteSink refused;
    const testing::Record many = MakeRecord(100, 2, 125.0f, Wave);
    EXPECT_FALSE(WriteQkOrg(refused, 2, 0.125f, 100, many.rows).ok);
    EXPECT_FALSE(WriteQkOrg(refused, 10000, 0.125f, 2, r.rows).ok);
    EXPECT_EQ(refused.Written(), 0u);
}

// ---------------------------------------------------------------------------------------------
// Shuttle, suspension, Kesh

int Block(int b, int m) { return (b + 1) * 100 - m % 7; }

TEST(Loggers, ShuttleOf51BlocksLoads50)
{
    Reading run;
    LoadTarget target = TargetFor(64, 1024);
    ShuttleHeader header{};
    Owned sBytes(ix::ShuttleFile("  500", 51, Block));
    ByteSource& s = sBytes.source;
    const InstrumentReadResult got = ReadShuttleFile(s, target, header, run.ctx);
    EXPECT_EQ(got.traces, 50);
    EXPECT_EQ(got.samples, 1024);
    EXPECT_FLOAT_EQ(got.intervalMs, 0.5000001f);
    EXPECT_EQ(target.RowIfAny(49)[3], -4997.0f);
    EXPECT_EQ(header[76 + 2], '5');

    Reading small;
    LoadTarget fewRows = TargetFor(4, 1024);
    Owned s2Bytes(ix::ShuttleFile("  500", 6, Block));
    ByteSource& s2 = s2Bytes.source;
    EXPECT_EQ(ReadShuttleFile(s2, fewRows, header, small.ctx).traces, 4);
    EXPECT_EQ(small.ui.Messages(), std::vector<std::string>{TracesMessage(kLanguageEnglish, kTotalTracesReadMsg, 4)});
}

TEST(Loggers, ShuttleRoundTripWithAndWithoutTheKeptHeader)
{
    testing::Record r(3, 1024);
    for (int i = 0; i < 3; ++i)
        for (int m = 0; m < 1024; ++m) r.rows[i][m] = static_cast<float>(Block(i, m)) + 0.75f;
    ShuttleHeader kept{};
    kept[0] = 'Q';
    kept[76] = ' ';
    kept[77] = '2';
    kept[78] = '5';
    kept[79] = '0';
    for (const ShuttleHeader* header : {static_cast<const ShuttleHeader*>(nullptr), static_cast<const ShuttleHeader*>(&kept)}) {
        ByteSink sink;
        ASSERT_TRUE(WriteShuttleFile(sink, 1024, 0.25f, 3, r.rows, header).ok);
        Reading run;
        LoadTarget target = TargetFor(8, 1024);
        ShuttleHeader read{};
        ByteSource s = ByteSource::FromSpan(sink.Bytes());
        const InstrumentReadResult got = ReadShuttleFile(s, target, read, run.ctx);
        ASSERT_EQ(got.traces, 3);
        EXPECT_FLOAT_EQ(got.intervalMs, 0.2500001f);
        EXPECT_EQ(read[0], header ? 'Q' : 0);
        for (int i = 0; i < 3; ++i)
            for (int m = 0; m < 1024; m += 97) EXPECT_EQ(target.RowIfAny(i)[static_cast<size_t>(m)], std::round(r.rows[i][m]));
    }
    ByteSink refused;
    EXPECT_FALSE(WriteShuttleFile(refused, 1024, 100.0f, 3, r.rows, nullptr).ok) << "100000 us needs six characters";
}

TEST(Loggers, SuspensionGivesIntervalBOnTracesThreeAndSix)
{
    Reading run;
    LoadTarget target = TargetFor(8, 1024);
    Owned sBytes(ix::SuspensionFile("500", "250", 6, Block));
    ByteSource& s = sBytes.source;
    const InstrumentReadResult got = ReadSuspensionFile(s, target, run.ctx);
    ASSERT_EQ(got.traces, 6);
    for (int k = 0; k < 6; ++k) {
        const CTraceHeader& h = target.HeaderAt(k);
        EXPECT_EQ(h.intervalUs, k == 2 || k == 5 ? 250.0f : 500.0f) << k;
        EXPECT_EQ(h.receiverHundredths, k * 100);
        EXPECT_EQ(h.traceNumber, 2);
        EXPECT_EQ(h.gain, 10);
    }
    Reading zero;
    LoadTarget t2 = TargetFor(8, 1024);
    Owned s2Bytes(ix::SuspensionFile("500", "  0", 2, Block));
    ByteSource& s2 = s2Bytes.source;
    EXPECT_FALSE(ReadSuspensionFile(s2, t2, zero.ctx));
}

TEST(Loggers, KeshCountsAreChecked)
{
    Reading run;
    LoadTarget target = TargetFor(8, 8);
    Owned sBytes(ix::KeshFile(2, 3, {{1.5f, 2.5f, -3.0f}, {4.0f, 5.0f, 6.0f}}));
    ByteSource& s = sBytes.source;
    const InstrumentReadResult got = ReadKeshFile(s, target, run.ctx);
    ASSERT_EQ(got.traces, 2);
    EXPECT_EQ(got.intervalMs, 1.0f);
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{1.5f, 2.5f, -3.0f}));
    EXPECT_EQ(run.log.Text("read.txt"), " 1 7 13 11 0.500000 17 \n 2 7 13 11 0.500000 17 \n");
    for (const auto& [traces, samples] : {std::pair<int16_t, int16_t>{-1, 3}, {2, -3}, {9, 3}, {2, 9}}) {
        Reading bad;
        LoadTarget t = TargetFor(8, 8);
        Owned bBytes(ix::KeshFile(traces, samples, {{1, 2, 3}, {4, 5, 6}}));
    ByteSource& b = bBytes.source;
        EXPECT_FALSE(ReadKeshFile(b, t, bad.ctx)) << traces << " " << samples;
    }
}

}  // namespace
}  // namespace velk
