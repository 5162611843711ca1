// ReadSeg2 and ReadSeg2Headers: the fixtures of every data code, the old layout, the real field
// record, the capacity messages, the keys' rules and the files that must be refused.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "seg2_fixture_writer.h"
#include "seg2_test_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using testing::ReadBytes;
using testing::Samples;
using testing::TargetFor;
namespace fx = testing::seg2fixture;

std::vector<uint8_t> Fixture(const std::string& name)
{
    for (const auto& f : fx::StandardFixtures())
        if (f.name == name) return f.bytes;
    ADD_FAILURE() << "no fixture " << name;
    return {};
}

// A one-trace float file with the given strings and samples.
std::vector<uint8_t> OneTrace(std::vector<std::string> strings, std::vector<float> samples = {1.0f, 2.0f})
{
    fx::File f;
    fx::Trace t;
    t.code = 4;
    t.samples = static_cast<uint32_t>(samples.size());
    t.data = fx::Float32Data(samples);
    t.strings = std::move(strings);
    f.traces.push_back(t);
    return fx::WriteStandard(f);
}

CTraceHeader Header(int32_t number, int32_t receiver, int32_t source, int32_t gain, int32_t component, float delay,
                    float interval, int32_t samples)
{
    CTraceHeader h;
    h.Set(number, receiver, source, gain, component, delay, interval, samples);
    return h;
}

// ---------------------------------------------------------------------------------------------
// Fixtures of codes 1-5

TEST(ReadSeg2Fixtures, Code1Int16)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(8, 100);
    ASSERT_EQ(ReadBytes(Fixture("seg2-code1-int16.sg2"), target, ui), 2);
    EXPECT_EQ(target.HeaderAt(0), Header(0, 0, -100, 0, 1, 0.0f, 500.0f, 6));
    EXPECT_EQ(target.HeaderAt(1), Header(1, 250, -100, 0, 1, 0.0f, 500.0f, 3));
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{0, 1, -1, 32767, -32768, 100}));
    EXPECT_EQ(Samples(target, 1), (std::vector<float>{7, -7, 12345}));
}

TEST(ReadSeg2Fixtures, Code2Int32WithoutScaling)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(8, 100);
    ASSERT_EQ(ReadBytes(Fixture("seg2-code2-int32.sg2"), target, ui), 1);
    EXPECT_EQ(target.HeaderAt(0), Header(0, 1000, 0, 0, 1, 0.0f, 1000.0f, 6));
    EXPECT_EQ(Samples(target, 0),
              (std::vector<float>{0, 1, -1, 2147483647.0f, -2147483648.0f, 123456789.0f}));
}

TEST(ReadSeg2Fixtures, Code3TwentyBitOnesComplementWithAPartialGroup)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(8, 100);
    ASSERT_EQ(ReadBytes(Fixture("seg2-code3-20bit.sg2"), target, ui), 1);
    EXPECT_EQ(target.HeaderAt(0).samples, 7);
    EXPECT_EQ(target.HeaderAt(0).intervalUs, 125.0f);
    // m = -1 -> 0; m = -32768 at shift 0 -> -32767; 1 << 15; 32767 << 15; (-2 + 1) << 3;
    // 100 << 2; (-5 + 1) << 1.
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{0, -32767, 32768, 1073709056, -8, 400, -8}));
}

TEST(ReadSeg2Fixtures, Code4Float32)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(8, 100);
    ASSERT_EQ(ReadBytes(Fixture("seg2-code4-float32.sg2"), target, ui), 1);
    EXPECT_EQ(target.HeaderAt(0), Header(0, 500, -230, 0, 1, 0.0f, 250.0f, 4));
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{1.5f, -2.25f, 1e-30f, 3.4e38f}));
}

TEST(ReadSeg2Fixtures, Code5Float64)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(8, 100);
    ASSERT_EQ(ReadBytes(Fixture("seg2-code5-float64.sg2"), target, ui), 1);
    EXPECT_EQ(target.HeaderAt(0), Header(0, 750, 10000, 0, 1, 0.0f, 2000.0f, 3));
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{0.125f, -1e10f, 3.0f}));
}

TEST(ReadSeg2Fixtures, Code3WithPackedByteCountReadsZeroPadded)
{
    // ns x 5 / 2 bytes only: 7 samples in 17 bytes, so the seventh mantissa has one byte.
    const std::vector<fx::Packed20> s = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 1}, {6, 1}, {0x0107, 0}};
    fx::File f;
    f.traces.push_back(fx::MakeTrace(3, 7, fx::Packed20Data(s, false), 0.001, 1.0, 0.0));
    ASSERT_EQ(f.traces[0].data.size(), 17u);
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(4, 100);
    ASSERT_EQ(ReadBytes(fx::WriteStandard(f), target, ui), 1);
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{1, 2, 3, 4, 10, 12, 7}));
}

TEST(ReadSeg2Fixtures, OldLayoutReads)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(8, 300);
    ASSERT_EQ(ReadBytes(Fixture("seg2-old-layout.sg2"), target, ui), 2);
    EXPECT_EQ(target.HeaderAt(0), Header(0, 250, -230, 0, 1, -2000.0f, 250.0f, 3));
    EXPECT_EQ(target.HeaderAt(1), Header(1, 500, -230, 0, 3, -2000.0f, 250.0f, 200));
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{1.0f, -0.5f, 0.25f}));
    EXPECT_EQ(Samples(target, 1), std::vector<float>(200, 0.75f));
}

// ---------------------------------------------------------------------------------------------
// The real field record

TEST(ReadSeg2Field, TwentyFourChannelShot)
{
    const std::string path = std::string(VELK_SHARED_DATA) + "/field-shot-24ch.sg2";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(128, 4100);
    ByteSource file = ByteSource::FromFile(path);
    ASSERT_TRUE(file.Ok());
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    ASSERT_EQ(ReadSeg2(file, target, 1, ctx), 24);
    const std::vector<uint8_t> bytes = testing::ReadFileBytes(path);
    for (int k = 0; k < 24; ++k) {
        const CTraceHeader& h = target.HeaderAt(k);
        EXPECT_EQ(h.traceNumber, k);
        EXPECT_EQ(h.samples, 4000) << k;
        EXPECT_EQ(h.intervalUs, 250.0f) << k;
        EXPECT_EQ(h.sourceHundredths, 2750) << k;
        EXPECT_EQ(h.receiverHundredths, 500 * k) << k;
        EXPECT_EQ(h.gain, 36) << k;  // "FIXED_GAIN 36 DB"
        EXPECT_EQ(h.component, 1) << k;
        EXPECT_EQ(h.delayUs, 0.0f) << k;
        // Samples straight from the file's bytes: pointer, block size, float32 data.
        uint32_t p = 0;
        std::memcpy(&p, &bytes[32 + 4 * k], 4);
        uint16_t blockSize = 0;
        std::memcpy(&blockSize, &bytes[p + 2], 2);
        for (int s : {0, 1, 1999, 3999}) {
            float v = 0;
            std::memcpy(&v, &bytes[p + blockSize + 4 * s], 4);
            EXPECT_EQ(Samples(target, k)[s], v) << k << " " << s;
        }
    }
    EXPECT_EQ(Samples(target, 0)[0], -79.40048217773438f);
    EXPECT_EQ(target.HeaderExAt(0).latitude, CTraceHeaderEx::kUnknownDegrees);
}

TEST(ReadSeg2Field, HeadersOnly)
{
    const std::string path = std::string(VELK_SHARED_DATA) + "/field-shot-24ch.sg2";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
    ScriptedUiHost ui;
    ByteSource file = ByteSource::FromFile(path);
    std::vector<CTraceHeader> headers(128);
    std::vector<CTraceHeaderEx> records(128);
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    ASSERT_EQ(ReadSeg2Headers(file, headers, records, 0, 4100, ctx), 24);
    EXPECT_EQ(headers[23], Header(23, 11500, 2750, 0, 1, 0.0f, 250.0f, 4000));
    EXPECT_EQ(records[23].receiverHundredths, 11500);
}

// ---------------------------------------------------------------------------------------------
// Capacities and their messages

TEST(ReadSeg2Capacity, TooManyTracesReadsWhatFitsAndSaysSo)
{
    fx::File f;
    for (int i = 0; i < 5; ++i) f.traces.push_back(fx::MakeTrace(4, 2, fx::Float32Data({1.0f * i, 2.0f}), 0.001, i, 0));
    ScriptedUiHost ui;
    ui.ExpectMessage("The total number of traces was too large ! \n Only 3 traces has been read !\n"
                     " Change maximum traces by 'Option', 'Dimension size' !");
    LoadTarget target = TargetFor(5, 100, 2);  // appending behind 2 loaded traces: room for 3
    ASSERT_EQ(ReadBytes(fx::WriteStandard(f), target, ui), 3);
    EXPECT_EQ(target.HeaderAt(2).traceNumber, 4);
    EXPECT_EQ(Samples(target, 2), (std::vector<float>{2.0f, 2.0f}));
}

TEST(ReadSeg2Capacity, StartAtCapacityReadsNothingAndShowsZero)
{
    ScriptedUiHost ui;
    ui.ExpectMessage("The total number of traces was too large ! \n Only 0 traces has been read !\n"
                     " Change maximum traces by 'Option', 'Dimension size' !");
    LoadTarget target = TargetFor(4, 100, 4);
    EXPECT_EQ(ReadBytes(Fixture("seg2-code4-float32.sg2"), target, ui), 0);
}

TEST(ReadSeg2Capacity, TooManySamplesTruncatedWithOneMessagePerRead)
{
    fx::File f;
    std::vector<float> longTrace(50);
    for (int k = 0; k < 50; ++k) longTrace[k] = static_cast<float>(k);
    for (int i = 0; i < 3; ++i) f.traces.push_back(fx::MakeTrace(4, 50, fx::Float32Data(longTrace), 0.001, i, 0));
    ScriptedUiHost ui;
    ui.ExpectMessage(" Number of samples is too large ! \n\n Data will be truncated. \n\n"
                     " Change maximum samples by 'Option', 'Dimension size' !");
    LoadTarget target = TargetFor(4, 20);
    ASSERT_EQ(ReadBytes(fx::WriteStandard(f), target, ui), 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(target.HeaderAt(k).samples, 20);
        EXPECT_EQ(Samples(target, k).back(), 19.0f);
        EXPECT_EQ(target.RowIfAny(k)[20], 0.0f);  // nothing beyond the capacity
    }
}

TEST(ReadSeg2Capacity, JapaneseMessages)
{
    ScriptedUiHost ui;
    ui.ExpectMessage("合計トレース数が多すぎます ! \n 0 トレースだけ読み込みました !\n"
                     " 'Option'、'Dimension size' でトレース数の最大値を変更してください !");
    LoadTarget target = TargetFor(1, 100, 1);
    EXPECT_EQ(ReadBytes(Fixture("seg2-code4-float32.sg2"), target, ui, 1, kLanguageJapanese), 0);
}

// ---------------------------------------------------------------------------------------------
// Sample skip

TEST(ReadSeg2Skip, KeepsEveryNthSampleAndMultipliesTheInterval)
{
    std::vector<float> v(4000);
    for (int k = 0; k < 4000; ++k) v[k] = static_cast<float>(k);
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(4, 4100);
    ASSERT_EQ(ReadBytes(OneTrace({"SAMPLE_INTERVAL 0.00025"}, v), target, ui, 4), 1);
    EXPECT_EQ(target.HeaderAt(0).samples, 1000);
    EXPECT_EQ(target.HeaderAt(0).intervalUs, 1000.0f);
    EXPECT_EQ(Samples(target, 0)[1], 4.0f);
    EXPECT_EQ(Samples(target, 0)[999], 3996.0f);

    LoadTarget t2 = TargetFor(4, 4100);
    ASSERT_EQ(ReadBytes(OneTrace({"SAMPLE_INTERVAL 0.00025"}, std::vector<float>(v.begin(), v.begin() + 1000)), t2, ui, 2), 1);
    EXPECT_EQ(t2.HeaderAt(0).samples, 500);
    EXPECT_EQ(t2.HeaderAt(0).intervalUs, 500.0f);
}

TEST(ReadSeg2Skip, SkipWithEveryCode)
{
    for (const char* name : {"seg2-code1-int16.sg2", "seg2-code2-int32.sg2", "seg2-code3-20bit.sg2",
                             "seg2-code4-float32.sg2", "seg2-code5-float64.sg2"}) {
        ScriptedUiHost ui;
        LoadTarget all = TargetFor(4, 100);
        LoadTarget every3 = TargetFor(4, 100);
        ASSERT_GT(ReadBytes(Fixture(name), all, ui, 1), 0);
        ASSERT_GT(ReadBytes(Fixture(name), every3, ui, 3), 0);
        const std::vector<float> a = Samples(all, 0);
        const std::vector<float> b = Samples(every3, 0);
        ASSERT_EQ(b.size(), a.size() / 3) << name;
        for (size_t k = 0; k < b.size(); ++k) EXPECT_EQ(b[k], a[3 * k]) << name;
        EXPECT_EQ(every3.HeaderAt(0).intervalUs, 3 * all.HeaderAt(0).intervalUs) << name;
    }
}

TEST(ReadSeg2Skip, BelowOneIsRefused)
{
    ScriptedUiHost ui;
    ui.ExpectMessage(" The sample skip must be 1 or more.\n\n The data was not changed.");
    LoadTarget target = TargetFor(4, 100);
    EXPECT_EQ(ReadBytes(Fixture("seg2-code4-float32.sg2"), target, ui, 0), -1);
}

// ---------------------------------------------------------------------------------------------
// Keys

CTraceHeader ReadOne(std::vector<std::string> strings, CTraceHeaderEx* ex = nullptr)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(4, 100);
    EXPECT_EQ(ReadBytes(OneTrace(std::move(strings)), target, ui), 1);
    if (ex) *ex = target.HeaderExAt(0);
    return target.HeaderAt(0);
}

TEST(ReadSeg2Keys, ComponentRules)
{
    EXPECT_EQ(ReadOne({"TRACE_TYPE SEISMIC_DATA"}).component, 1);
    EXPECT_EQ(ReadOne({"TRACE_TYPE 0"}).component, 1);
    EXPECT_EQ(ReadOne({"TRACE_TYPE 101"}).component, 1);
    EXPECT_EQ(ReadOne({"TRACE_TYPE 3"}).component, 3);
    EXPECT_EQ(ReadOne({"RECEIVER_COMPONENT 2", "TRACE_TYPE 3"}).component, 2);
    EXPECT_EQ(ReadOne({"RECEIVER_COMPONENT X", "TRACE_TYPE 3"}).component, 3);
    EXPECT_EQ(ReadOne({"RECEIVER_COMPONENT 100"}).component, 100);
}

TEST(ReadSeg2Keys, SampleIntervalOutOfRangeIsAbsent)
{
    EXPECT_EQ(ReadOne({"SAMPLE_INTERVAL -0.001"}).intervalUs, 0.0f);
    EXPECT_EQ(ReadOne({"SAMPLE_INTERVAL 1001"}).intervalUs, 0.0f);
    EXPECT_EQ(ReadOne({"SAMPLE_INTERVAL nan"}).intervalUs, 0.0f);
    EXPECT_EQ(ReadOne({"SAMPLE_INTERVAL 1e999"}).intervalUs, 0.0f);
    EXPECT_EQ(ReadOne({"SAMPLE_INTERVAL abc"}).intervalUs, 0.0f);
    EXPECT_EQ(ReadOne({"SAMPLE_INTERVAL 1000"}).intervalUs, 1e9f);
}

TEST(ReadSeg2Keys, PositionsRoundToNearestThroughTheHelper)
{
    EXPECT_EQ(ReadOne({"RECEIVER_LOCATION -2.5"}).receiverHundredths, -250);
    EXPECT_EQ(ReadOne({"RECEIVER_LOCATION 2.5"}).receiverHundredths, 250);
    EXPECT_EQ(ReadOne({"RECEIVER_LOCATION 0.004", "SOURCE_LOCATION 1"}).receiverHundredths, 0);
    EXPECT_EQ(ReadOne({"RECEIVER_LOCATION -0.126", "SOURCE_LOCATION -0.125"}).receiverHundredths, -13);
    EXPECT_EQ(ReadOne({"RECEIVER_LOCATION 1", "SOURCE_LOCATION -0.125"}).sourceHundredths, -13);
    EXPECT_EQ(ReadOne({"RECEIVER_LOCATION 1", "SOURCE_LOCATION 1e300"}).sourceHundredths, 0);  // out of range: absent
}

TEST(ReadSeg2Keys, GainDelayAndDelayWithAsterisk)
{
    const CTraceHeader h = ReadOne({"*DELAY -0.002000", "FIXED_GAIN 24"});
    EXPECT_EQ(h.delayUs, -2000.0f);
    EXPECT_EQ(h.gain, 24);
    EXPECT_EQ(ReadOne({"DELAY 0.0105"}).delayUs, 10500.0f);
    EXPECT_EQ(ReadOne({"DELAY 5000"}).delayUs, 0.0f);  // beyond 1000 s: absent
}

TEST(ReadSeg2Keys, AbsentOrZeroReceiversBecomeTheTraceIndex)
{
    fx::File f;
    for (int i = 0; i < 3; ++i) {
        fx::Trace t = fx::MakeTrace(4, 1, fx::Float32Data({1.0f}), 0.001, 0.0, 5.0);
        if (i == 1) t.strings = {"SAMPLE_INTERVAL 0.001"};  // no RECEIVER_LOCATION
        f.traces.push_back(t);
    }
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(4, 10, 1);
    ASSERT_EQ(ReadBytes(fx::WriteStandard(f), target, ui), 3);
    // Trace 1 had none (-> 1 m), traces 0 and 2 said 0: not all zero, so they stay.
    EXPECT_EQ(target.HeaderAt(0).receiverHundredths, 0);
    EXPECT_EQ(target.HeaderAt(1).receiverHundredths, 100);
    EXPECT_EQ(target.HeaderAt(2).receiverHundredths, 0);

    fx::File zeros;
    for (int i = 0; i < 3; ++i) zeros.traces.push_back(fx::MakeTrace(4, 1, fx::Float32Data({1.0f}), 0.001, 0.0, 5.0));
    LoadTarget t2 = TargetFor(4, 10);
    ASSERT_EQ(ReadBytes(fx::WriteStandard(zeros), t2, ui), 3);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(t2.HeaderAt(k).receiverHundredths, 100 * k);
}

TEST(ReadSeg2Keys, LatitudeLongitudeAndTheNoteWins)
{
    CTraceHeaderEx ex;
    ReadOne({"LATITUDE 35.5", "LONGITUDE 139.25 "}, &ex);
    EXPECT_EQ(ex.latitude, 35.5f);
    EXPECT_EQ(ex.longitude, 139.25f);
    EXPECT_EQ(ex.receiverHundredths, 0);

    // A NOTE in the first 256 bytes overrides the trace strings.
    fx::File f;
    f.strings = {"NOTE N 35  30  00.0     E 139 15  00.0"};
    f.traces.push_back(fx::MakeTrace(4, 1, fx::Float32Data({1.0f}), 0.001, 3.0, 0.0));
    f.traces[0].strings.push_back("LATITUDE 10.0");
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(4, 10);
    ASSERT_EQ(ReadBytes(fx::WriteStandard(f), target, ui), 1);
    EXPECT_EQ(target.HeaderExAt(0).latitude, 35.5f);
    EXPECT_EQ(target.HeaderExAt(0).longitude, 139.25f);
}

TEST(ReadSeg2Samples, NonFiniteSamplesBecomeZeroWithOneWarning)
{
    ScriptedUiHost ui;
    ui.ExpectMessage("2 samples were not numbers and have been set to 0 !");
    LoadTarget target = TargetFor(4, 10);
    ASSERT_EQ(ReadBytes(OneTrace({"SAMPLE_INTERVAL 0.001"}, {1.0f, NAN, INFINITY, -3.0f}), target, ui), 1);
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{1.0f, 0.0f, 0.0f, -3.0f}));

    ui.ExpectMessage("1 samples were out of range and have been clipped !");
    fx::File f;
    f.traces.push_back(fx::MakeTrace(5, 2, fx::Float64Data({1e300, 2.0}), 0.001, 1, 0));
    LoadTarget t2 = TargetFor(4, 10);
    ASSERT_EQ(ReadBytes(fx::WriteStandard(f), t2, ui), 1);
    EXPECT_EQ(Samples(t2, 0), (std::vector<float>{FLT_MAX, 2.0f}));
}

// ---------------------------------------------------------------------------------------------
// ParseSeg2Note

TEST(ParseSeg2Note, FirstPairSecondPairAndIncompletePairs)
{
    //                   0    5 7   11  15       24 26  30  34
    const std::string one = "NOTE N 35  41  20.5     E 139 45  30.0";
    double lat = 0, lon = 0;
    ASSERT_TRUE(ParseSeg2Note(one, lat, lon));
    EXPECT_DOUBLE_EQ(lat, 35 + 41 / 60.0 + 20.5 / 3600.0);
    EXPECT_DOUBLE_EQ(lon, 139 + 45 / 60.0 + 30.0 / 3600.0);

    std::string two = one + std::string(54 - one.size(), ' ') + "S 10  30  0.0      W 20  15  0.0";
    ASSERT_TRUE(ParseSeg2Note(two, lat, lon));
    EXPECT_DOUBLE_EQ(lat, -10.5);
    EXPECT_DOUBLE_EQ(lon, -20.25);

    // Only a second pair: no position, nothing written.
    std::string secondOnly = "NOTE" + std::string(50, ' ') + "S 10  30  0.0      W 20  15  0.0";
    lat = lon = 7;
    EXPECT_FALSE(ParseSeg2Note(secondOnly, lat, lon));
    EXPECT_EQ(lat, 7);
    EXPECT_FALSE(ParseSeg2Note("no note here", lat, lon));
    EXPECT_FALSE(ParseSeg2Note("NOTE X 35  41  20.5     E 139 45  30.0", lat, lon));
}

TEST(ParseSeg2Note, StaysInsideItsWindow)
{
    // The text goes on past the view; the view ends before the longitude's seconds.
    const std::string buffer = "NOTE N 35  41  20.5     E 139 45  30.0";
    double lat = 0, lon = 0;
    EXPECT_FALSE(ParseSeg2Note(std::string_view(buffer).substr(0, 34), lat, lon));
    EXPECT_TRUE(ParseSeg2Note(std::string_view(buffer).substr(0, 35), lat, lon));
    EXPECT_DOUBLE_EQ(lon, 139 + 45 / 60.0 + 3 / 3600.0);  // "3", not "30.0"
}

TEST(Unpack20BitSamples, ExactCountAndZeroPadding)
{
    const std::vector<uint8_t> packed = fx::Packed20Data({{-1, 0}, {-32768, 0}, {32767, 15}, {-32767, 15}, {5, 4}});
    std::vector<int32_t> out(5);
    Unpack20BitSamples(packed, out);
    EXPECT_EQ(out, (std::vector<int32_t>{0, -32767, 32767 << 15, -32766 * 32768, 80}));
    std::vector<int32_t> cut(5, 99);
    Unpack20BitSamples(std::span<const uint8_t>(packed).first(12), cut);  // only the second group's shifts
    EXPECT_EQ(cut[4], 0);
    std::vector<int32_t> none(3, 99);
    Unpack20BitSamples({}, none);
    EXPECT_EQ(none, (std::vector<int32_t>{0, 0, 0}));
}

// ---------------------------------------------------------------------------------------------
// Files that must be refused

struct BadFile {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* message;
};

std::vector<BadFile> BadFiles()
{
    const std::vector<uint8_t> good = Fixture("seg2-code4-float32.sg2");
    std::vector<BadFile> bad;
    bad.push_back({"empty", {}, " The file is empty: it holds no bytes.\n\n The data was not changed."});
    bad.push_back({"big-endian", fx::ToBigEndian(good),
                   " This SEG-2 file is in big-endian byte order (it starts with 3A 55). \n"
                   " Only little-endian SEG-2 files (55 3A) can be read.\n\n The data was not changed."});
    {
        std::vector<uint8_t> b = good;
        b[0] = 'M';
        b[1] = 'Z';
        bad.push_back({"bad file ID", b, " This is not a SEG-2 file: it does not start with 55 3A.\n\n The data was not changed."});
    }
    {
        std::vector<uint8_t> b(good.begin(), good.end() - 3);
        bad.push_back({"truncated in the samples", b,
                       " The SEG-2 file is damaged or cut: the samples of trace 1 lie outside the file.\n\n"
                       " The data was not changed."});
    }
    {
        std::vector<uint8_t> b(good.begin(), good.begin() + 20);
        bad.push_back({"truncated in the descriptor", b,
                       " The SEG-2 file is too short: its file descriptor is cut.\n\n The data was not changed."});
    }
    {
        std::vector<uint8_t> b = good;
        b[32] = 0xF0;
        b[35] = 0x7F;
        bad.push_back({"pointer beyond the end", b,
                       " The SEG-2 file is damaged: the descriptor of trace 1 lies outside the file.\n\n"
                       " The data was not changed."});
    }
    {
        std::vector<uint8_t> b = good;
        uint32_t p = b[32] | (b[33] << 8);
        b[p] = 0x44;
        b[p + 1] = 0x22;
        bad.push_back({"bad trace ID", b,
                       " The SEG-2 file is damaged: trace 1 does not start with the ID 22 44.\n\n"
                       " The data was not changed."});
    }
    {
        std::vector<uint8_t> b = good;
        uint32_t p = b[32] | (b[33] << 8);
        b[p + 2] = 28;
        b[p + 3] = 0;
        bad.push_back({"block size below 32", b,
                       " The SEG-2 file is damaged: the descriptor of trace 1 is shorter than 32 bytes.\n\n"
                       " The data was not changed."});
    }
    {
        std::vector<uint8_t> b = good;
        uint32_t p = b[32] | (b[33] << 8);
        b[p + 12] = 6;
        bad.push_back({"unknown data code", b,
                       " Trace 1 of the SEG-2 file has the unknown data format code 6.\n\n The data was not changed."});
    }
    {
        std::vector<uint8_t> b = good;
        b[4] = 0;  // M = 0 < 4N
        bad.push_back({"pointer table smaller than 4N", b,
                       " The SEG-2 file is damaged: 1 traces do not fit its pointer table of 0 bytes.\n\n"
                       " The data was not changed."});
    }
    {
        std::vector<uint8_t> b = good;
        b[6] = 0;
        bad.push_back({"no traces", b, " The SEG-2 file holds no traces.\n\n The data was not changed."});
    }
    {
        std::vector<uint8_t> b = good;
        b[6] = 0xFF;
        b[7] = 0x3F;  // N = 16383 with M = 65532: a pointer table far beyond the file
        b[4] = 0xFC;
        b[5] = 0xFF;
        bad.push_back({"huge N", b,
                       " The SEG-2 file is damaged: its trace pointer table is cut.\n\n The data was not changed."});
    }
    {
        std::vector<uint8_t> b = good;
        uint32_t p = b[32] | (b[33] << 8);
        b[p + 8] = 0xFF;
        b[p + 9] = 0xFF;
        b[p + 10] = 0xFF;
        b[p + 11] = 0xFF;  // ns = 4294967295 (a negative int32 once)
        bad.push_back({"huge ns", b,
                       " The SEG-2 file is damaged or cut: the samples of trace 1 lie outside the file.\n\n"
                       " The data was not changed."});
    }
    return bad;
}

TEST(ReadSeg2Refused, EveryBadFileGivesItsMessageAndMinusOne)
{
    for (const BadFile& b : BadFiles()) {
        SCOPED_TRACE(b.what);
        ScriptedUiHost ui;
        ui.ExpectMessage(b.message);
        LoadTarget target = TargetFor(4, 100);
        EXPECT_EQ(ReadBytes(b.bytes, target, ui), -1);
        EXPECT_FALSE(target.HasRow(0));  // refused before any trace was filled
    }
}

TEST(ReadSeg2Refused, HeadersReaderRefusesTheSame)
{
    for (const BadFile& b : BadFiles()) {
        if (std::string(b.what) == "truncated in the samples" || std::string(b.what) == "huge ns") continue;
        SCOPED_TRACE(b.what);
        ScriptedUiHost ui;
        ui.ExpectMessage(b.message);
        std::vector<CTraceHeader> headers(4);
        ByteSource source = ByteSource::FromSpan(b.bytes);
        FormatContext ctx{ui, kLanguageEnglish, NullLog()};
        EXPECT_EQ(ReadSeg2Headers(source, headers, {}, 0, 100, ctx), -1);
    }
}

TEST(ReadSeg2Refused, AWindowPastTheBlockOrFileIsNoError)
{
    // A block size that claims more than the file holds before the samples would be outside
    // the file; one that ends inside the strings only shortens the key window.
    fx::File f;
    fx::Trace t = fx::MakeTrace(4, 1, fx::Float32Data({5.0f}), 0.001, 3.0, 0.0);
    t.blockSize = 36;  // the list is cut after 4 bytes: every key is absent
    f.traces.push_back(t);
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(4, 10);
    ASSERT_EQ(ReadBytes(fx::WriteStandard(f), target, ui), 1);
    EXPECT_EQ(target.HeaderAt(0).intervalUs, 0.0f);
}

// ---------------------------------------------------------------------------------------------
// ReadSeg2Headers

TEST(ReadSeg2Headers, MessagesWithTheirBlanks)
{
    fx::File f;
    for (int i = 0; i < 3; ++i)
        f.traces.push_back(fx::MakeTrace(4, 30, fx::Float32Data(std::vector<float>(30, 1.0f)), 0.0005, i + 1, -1.25));
    f.traces[1].strings.push_back("RECEIVER_COMPONENT 250");  // no range check here
    ScriptedUiHost ui;
    ui.ExpectMessage("The number of traces was too large ! \n Maximum trace number is  2\n"
                     " Change maximum traces by 'Option', 'Dimension size' !");
    ui.ExpectMessage("The number of samples was too large ! \n Maximum sample number is 20 ");
    ui.ExpectMessage("The number of samples was too large ! \n Maximum sample number is 20 ");
    std::vector<CTraceHeader> headers(2);
    std::vector<CTraceHeaderEx> records(2);
    const std::vector<uint8_t> bytes = fx::WriteStandard(f);
    ByteSource source = ByteSource::FromSpan(bytes);
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    ASSERT_EQ(ReadSeg2Headers(source, headers, records, 0, 20, ctx), 2);
    EXPECT_EQ(headers[0], Header(0, 100, -125, 0, 1, 0.0f, 500.0f, 20));
    EXPECT_EQ(headers[1], Header(1, 200, -125, 0, 250, 0.0f, 500.0f, 20));
}

TEST(ReadSeg2Headers, StartShiftsTheIndices)
{
    ScriptedUiHost ui;
    std::vector<CTraceHeader> headers(5);
    const std::vector<uint8_t> bytes = Fixture("seg2-code1-int16.sg2");
    ByteSource source = ByteSource::FromSpan(bytes);
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    ASSERT_EQ(ReadSeg2Headers(source, headers, {}, 3, 100, ctx), 2);
    EXPECT_EQ(headers[3].traceNumber, 3);
    EXPECT_EQ(headers[4].receiverHundredths, 250);
    EXPECT_EQ(headers[0], CTraceHeader{});
}

}  // namespace
}  // namespace velk
