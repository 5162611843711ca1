// WriteSeg2, WriteSeg2File: the golden bytes of a 2-trace float file, round trips of every
// header word the format keeps, the int32 scaling, grown string blocks, refusals, and the
// atomic file.

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/position.h"
#include "platform/atomic_file.h"
#include "seg2_conformance.h"
#include "seg2_test_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using testing::ReadBytes;
using testing::Record;
using testing::Samples;
using testing::TargetFor;
using testing::WriteToBytes;

uint32_t U32At(const std::vector<uint8_t>& b, size_t at)
{
    uint32_t v;
    std::memcpy(&v, &b[at], 4);
    return v;
}

uint16_t U16At(const std::vector<uint8_t>& b, size_t at)
{
    uint16_t v;
    std::memcpy(&v, &b[at], 2);
    return v;
}

// The string list at `at`: the texts, checking every distance.
std::vector<std::string> ListAt(const std::vector<uint8_t>& b, size_t at)
{
    std::vector<std::string> out;
    for (;;) {
        const uint16_t distance = U16At(b, at);
        if (distance == 0) break;
        const std::string text(reinterpret_cast<const char*>(&b[at + 2]));
        EXPECT_EQ(distance, 2 + text.size() + 1) << text;
        out.push_back(text);
        at += distance;
    }
    return out;
}

Record TwoTraceRecord()
{
    Record r(2, 16);
    r.Fill(0, 3, [](int k) { return 0.5f * static_cast<float>(k) - 1.0f; });
    r.Fill(1, 5, [](int k) { return static_cast<float>(k * k); });
    for (int i = 0; i < 2; ++i) {
        r.headers[i].receiverHundredths = 1250;
        r.headers[i].sourceHundredths = -230;
        r.headers[i].delayUs = -2000.0f;
        r.headers[i].intervalUs = 250.0f;
        r.headers[i].component = 1;
    }
    return r;
}

TEST(WriteSeg2Golden, TwoTraceFloatFile)
{
    const Record r = TwoTraceRecord();
    const std::vector<uint8_t> b = WriteToBytes(r, 2);

    const std::vector<uint8_t> descriptor = {0x55, 0x3A, 0x01, 0x00, 0x08, 0x00, 0x02, 0x00,
                                             0x01, 0x00, 0x00, 0x01, 0x0A, 0x00};
    ASSERT_GE(b.size(), 32u);
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 14), descriptor);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 14, b.begin() + 32), std::vector<uint8_t>(18, 0));

    const uint32_t p0 = U32At(b, 32), p1 = U32At(b, 36);
    EXPECT_EQ(p0, 552u);
    EXPECT_EQ(p1, 552u + 512u + 4u * 3u);

    const std::vector<uint8_t> fileList = {0x07, 0x00, 0x4E, 0x4F, 0x54, 0x45, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 40, b.begin() + 49), fileList);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 49, b.begin() + 552), std::vector<uint8_t>(552 - 49, 0));

    for (int i = 0; i < 2; ++i) {
        const uint32_t p = i == 0 ? p0 : p1;
        const uint32_t ns = i == 0 ? 3 : 5;
        EXPECT_EQ(std::vector<uint8_t>(b.begin() + p, b.begin() + p + 4), (std::vector<uint8_t>{0x22, 0x44, 0x00, 0x02}));
        EXPECT_EQ(U32At(b, p + 4), 4 * ns);
        EXPECT_EQ(U32At(b, p + 8), ns);
        EXPECT_EQ(b[p + 12], 4);
        EXPECT_EQ(std::vector<uint8_t>(b.begin() + p + 13, b.begin() + p + 32), std::vector<uint8_t>(19, 0));
        EXPECT_EQ(U16At(b, p + 32), 30);  // "ACQUISITION_DATE 01/01/2001": 2 + 27 + 1
        const std::vector<std::string> expected = {
            "ACQUISITION_DATE 01/01/2001", "ACQUISITION_TIME 00:00:00",  "CLIENT ZAV_CORPORATION",
            "COMPANY ZAV_CORPORATION",     "*DELAY -0.002000",           "GENERAL_CONSTANT 1",
            "INSTRUMENT VELKARINE",        "JOB_ID 1",                   "OBSERVER ZAV_CORPORATION",
            "PROCESSING_DATE 01/01/2001",  "PROCESSING_TIME 00:00:00",   "RECEIVER_LOCATION 12.500000",
            "SAMPLE_INTERVAL 0.00025000",  "SOURCE_LOCATION -2.300000",  "TRACE_SORT COMMON_SOURCE",
            "TRACE_TYPE 1",                "*UNITS METERS",              "NOTE",
        };
        EXPECT_EQ(ListAt(b, p + 32), expected);
        for (uint32_t k = 0; k < ns; ++k) {
            float v;
            std::memcpy(&v, &b[p + 512 + 4 * k], 4);
            EXPECT_EQ(std::bit_cast<uint32_t>(v), std::bit_cast<uint32_t>(r.rows[i][static_cast<int>(k)]));
        }
    }
    EXPECT_EQ(b.size(), p1 + 512u + 4u * 5u);  // the file ends at the last data block
}

TEST(WriteSeg2Golden, ConformsToTheStandard)
{
    const seg2_conformance::Report report = seg2_conformance::Check(WriteToBytes(TwoTraceRecord(), 2));
    EXPECT_TRUE(report.Ok()) << report.Describe();
    EXPECT_EQ(report.fileStrings, std::vector<std::string>{"NOTE"});
    EXPECT_EQ(report.TraceValue(1, "SAMPLE_INTERVAL"), "0.00025000");
}

// ---------------------------------------------------------------------------------------------
// Round trips

TEST(WriteSeg2RoundTrip, EveryKeptWordAndBitExactFloats)
{
    const int32_t receivers[] = {-230, -250, 250, 0, std::numeric_limits<int32_t>::max(),
                                 std::numeric_limits<int32_t>::min(), 1, -1};
    const int32_t sources[] = {std::numeric_limits<int32_t>::min(), 0, 12345, -1, 7, std::numeric_limits<int32_t>::max(),
                               -230, 250};
    const float delays[] = {-2000.0f, 0.0f, 1.0f, 123457.0f, -1.0f, 999999.0f, 5.0f, 250.0f};
    const float intervals[] = {250.0f, 125.0f, 1000.0f, 33.33f, 0.5f, 2000000.0f, 62.5f, 1.0f};
    const int counts[] = {3, 1, 1000, 0, 17, 2, 64, 5};
    const int components[] = {1, 2, 3, 100, 50, 1, 7, 99};
    const float specials[] = {-0.0f, 1e-40f, FLT_MAX, -FLT_MIN, 0.1f, -3.5f, 1e30f};

    Record r(8, 1000);
    for (int i = 0; i < 8; ++i) {
        r.Fill(i, counts[i], [&](int k) { return k < 7 ? specials[k] : static_cast<float>(k) * 0.37f - i; });
        r.headers[i].receiverHundredths = receivers[i];
        r.headers[i].sourceHundredths = sources[i];
        r.headers[i].delayUs = delays[i];
        r.headers[i].intervalUs = intervals[i];
        r.headers[i].component = components[i];
        r.headers[i].traceNumber = 77;  // not stored
        r.headers[i].gain = 12;         // not stored
    }
    const std::vector<uint8_t> bytes = WriteToBytes(r, 8);
    const seg2_conformance::Report report = seg2_conformance::Check(bytes);
    EXPECT_TRUE(report.Ok()) << report.Describe();

    ScriptedUiHost ui;
    LoadTarget target = TargetFor(8, 1000);
    ASSERT_EQ(ReadBytes(bytes, target, ui), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const CTraceHeader& h = target.HeaderAt(i);
        EXPECT_EQ(h.traceNumber, i);
        EXPECT_EQ(h.gain, 0);
        EXPECT_EQ(h.receiverHundredths, receivers[i]);
        EXPECT_EQ(h.sourceHundredths, sources[i]);
        EXPECT_EQ(h.component, components[i]);
        EXPECT_EQ(h.delayUs, delays[i]);
        EXPECT_EQ(h.intervalUs, intervals[i]);
        EXPECT_EQ(h.samples, counts[i]);
        const std::vector<float> got = Samples(target, i);
        ASSERT_EQ(got.size(), static_cast<size_t>(counts[i]));
        for (int k = 0; k < counts[i]; ++k)
            EXPECT_EQ(std::bit_cast<uint32_t>(got[k]), std::bit_cast<uint32_t>(r.rows[i][k])) << k;
    }
}

TEST(WriteSeg2RoundTrip, PositionsFromMetresToHundredths)
{
    // The words a record holds after the helper's rounding come back unchanged.
    const double metres[] = {-2.3, -2.5, 2.5, 0.004, 12.345, -0.125};
    const int32_t words[] = {-230, -250, 250, 0, 1235, -13};
    Record r(6, 4);
    for (int i = 0; i < 6; ++i) {
        r.Fill(i, 1, [](int) { return 1.0f; });
        r.headers[i].receiverHundredths = *MetresToHundredths(metres[i]);
        r.headers[i].sourceHundredths = *MetresToHundredths(metres[5 - i]);
        r.headers[i].intervalUs = 100.0f;
        EXPECT_EQ(r.headers[i].receiverHundredths, words[i]);
    }
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(8, 10);
    ASSERT_EQ(ReadBytes(WriteToBytes(r, 6), target, ui), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(target.HeaderAt(i).receiverHundredths, words[i]);
        EXPECT_EQ(target.HeaderAt(i).sourceHundredths, words[5 - i]);
    }
}

TEST(WriteSeg2Int32, ScaledByThePeakClampedAndZeroScale)
{
    Record r(1, 8);
    const float values[] = {2.0f, 1.0f, -2.0f, 0.0f, 3.0f, NAN};
    r.Fill(0, 6, [&](int k) { return values[k]; });
    r.headers[0].intervalUs = 500.0f;
    r.headers[0].receiverHundredths = 100;

    ByteSink sink;
    const WriteStatus status = WriteSeg2(sink, r.rows, r.headers, 1, 2, 2.0f, {});
    ASSERT_TRUE(status.ok);
    EXPECT_EQ(status.conversions.clamped, 1);    // 3.0 / 2.0 x 1925431424 is beyond int32
    EXPECT_EQ(status.conversions.nonFinite, 1);  // NaN written as 0
    const std::vector<uint8_t>& b = sink.Bytes();
    EXPECT_TRUE(seg2_conformance::Check(b).Ok()) << seg2_conformance::Check(b).Describe();
    const uint32_t p = U32At(b, 32);
    EXPECT_EQ(b[p + 12], 2);
    const int32_t expected[] = {1925431424, 962715712, -1925431424, 0, std::numeric_limits<int32_t>::max(), 0};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(static_cast<int32_t>(U32At(b, p + 512 + 4 * k)), expected[k]) << k;

    // Read back as integers, without scaling.
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(2, 10);
    ASSERT_EQ(ReadBytes(b, target, ui), 1);
    EXPECT_EQ(Samples(target, 0)[0], 1925431424.0f);
    EXPECT_EQ(Samples(target, 0)[1], 962715712.0f);

    for (float scale : {0.0f, -1.0f}) {
        ByteSink zeros;
        ASSERT_TRUE(WriteSeg2(zeros, r.rows, r.headers, 1, 2, scale, {}).ok);
        for (int k = 0; k < 6; ++k) EXPECT_EQ(U32At(zeros.Bytes(), p + 512 + 4 * k), 0u);
    }
}

TEST(WriteSeg2Grown, ExtremeStringsGrowTheBlockAndStillConform)
{
    Record r(3, 4);
    for (int i = 0; i < 3; ++i) {
        r.Fill(i, 4, [&](int k) { return static_cast<float>(k + i); });
        r.headers[i].receiverHundredths = std::numeric_limits<int32_t>::min() + i;
        r.headers[i].sourceHundredths = std::numeric_limits<int32_t>::min();
        r.headers[i].delayUs = -3.0e38f;  // "%f" prints 33 digits
        r.headers[i].intervalUs = 3.0e38f;
        r.headers[i].component = std::numeric_limits<int32_t>::min();
        r.records[i].latitude = 3.0e38f;
        r.records[i].longitude = -999.5f;
    }
    r.headers[1].intervalUs = 250.0f;
    const std::vector<uint8_t> b = WriteToBytes(r, 3, 4, 1.0f, true);
    const seg2_conformance::Report report = seg2_conformance::Check(b);
    EXPECT_TRUE(report.Ok()) << report.Describe();
    for (const auto& t : report.traces) {
        EXPECT_GT(t.blockSize, 512u);
        EXPECT_EQ(t.blockSize % 4, 0u);
    }
    EXPECT_EQ(report.TraceValue(0, "LONGITUDE"), "-999.500000 ");

    ScriptedUiHost ui;
    LoadTarget target = TargetFor(4, 10);
    ASSERT_EQ(ReadBytes(b, target, ui), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(target.HeaderAt(i).receiverHundredths, std::numeric_limits<int32_t>::min() + i);
        EXPECT_EQ(target.HeaderExAt(i).latitude, 3.0e38f);
        EXPECT_EQ(target.HeaderExAt(i).longitude, -999.5f);
        EXPECT_EQ(Samples(target, i), (std::vector<float>{0.0f + i, 1.0f + i, 2.0f + i, 3.0f + i}));
    }
    EXPECT_EQ(target.HeaderAt(1).intervalUs, 250.0f);
}

TEST(WriteSeg2Grown, LatitudeOnlyAboveMinusThousand)
{
    Record r(1, 2);
    r.Fill(0, 1, [](int) { return 1.0f; });
    r.headers[0].intervalUs = 100.0f;
    r.records[0].latitude = 35.25f;
    const seg2_conformance::Report report = seg2_conformance::Check(WriteToBytes(r, 1, 4, 1.0f, true));
    EXPECT_EQ(report.TraceValue(0, "LATITUDE"), "35.250000");
    EXPECT_EQ(report.TraceValue(0, "LONGITUDE"), "");  // -1000: unknown, not written
}

// ---------------------------------------------------------------------------------------------
// Refusals

TEST(WriteSeg2Refused, CountsCodesAndShortArrays)
{
    Record r(2, 4);
    r.Fill(0, 2, [](int) { return 1.0f; });
    r.Fill(1, 2, [](int) { return 1.0f; });
    ByteSink sink;
    EXPECT_FALSE(WriteSeg2(sink, r.rows, r.headers, 0, 4, 1.0f, {}).ok);
    EXPECT_FALSE(WriteSeg2(sink, r.rows, r.headers, 3, 4, 1.0f, {}).ok);  // more than headers and rows
    EXPECT_FALSE(WriteSeg2(sink, r.rows, r.headers, 2, 3, 1.0f, {}).ok);
    EXPECT_FALSE(WriteSeg2(sink, r.rows, r.headers, 2, 1, 1.0f, {}).ok);
    EXPECT_FALSE(WriteSeg2(sink, r.rows, r.headers, 2, 4, 1.0f, std::span<const CTraceHeaderEx>(r.records).first(1)).ok);
    EXPECT_EQ(sink.Written(), 0u);

    Record big(kSeg2MaxWriteTraces + 1, 1);
    const WriteStatus status = WriteSeg2(sink, big.rows, big.headers, kSeg2MaxWriteTraces + 1, 4, 1.0f, {});
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.error, "SEG-2 holds at most 16383 traces; the record has 16384");
    EXPECT_EQ(sink.Written(), 0u);
}

TEST(WriteSeg2Refused, TheLargestCountWrites)
{
    Record big(kSeg2MaxWriteTraces, 1);
    for (auto& h : big.headers) h.intervalUs = 100.0f;
    ByteSink sink;
    ASSERT_TRUE(WriteSeg2(sink, big.rows, big.headers, kSeg2MaxWriteTraces, 4, 1.0f, {}).ok);
    EXPECT_EQ(U16At(sink.Bytes(), 4), 4 * kSeg2MaxWriteTraces);
    EXPECT_TRUE(seg2_conformance::Check(sink.Bytes()).Ok());
}

TEST(WriteSeg2Refused, SamplesBeyondTheRowAreNotWritten)
{
    Record r(1, 4);
    r.Fill(0, 4, [](int k) { return static_cast<float>(k); });
    r.headers[0].samples = 1000;  // a header claiming more than the row holds
    r.headers[0].intervalUs = 1.0f;
    const seg2_conformance::Report report = seg2_conformance::Check(WriteToBytes(r, 1));
    ASSERT_TRUE(report.Ok()) << report.Describe();
    EXPECT_EQ(report.traces[0].samples, 4u);
}

// ---------------------------------------------------------------------------------------------
// The atomic file

TEST(WriteSeg2File, WritesTheSameBytesAtomically)
{
    testing::TempFolder folder;
    const Record r = TwoTraceRecord();
    const std::string path = folder.File("shot.sg2");
    const WriteStatus status = WriteSeg2File(path, r.rows, r.headers, 2, 4, 1.0f);
    ASSERT_TRUE(status.ok) << status.error;
    EXPECT_EQ(testing::ReadFileBytes(path), WriteToBytes(r, 2));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"shot.sg2"});
}

TEST(WriteSeg2File, AFailedWriteLeavesTheOldFile)
{
    testing::TempFolder folder;
    const std::string path = folder.File("shot.dat");
    testing::WriteFileText(path, "the old record");
    const Record r = TwoTraceRecord();
    AtomicFileWriter::SetFaultInjector([](size_t soFar) { return soFar < 600; });
    const WriteStatus status = WriteSeg2File(path, r.rows, r.headers, 2, 4, 1.0f);
    AtomicFileWriter::SetFaultInjector({});
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.error.empty());
    EXPECT_EQ(testing::ReadFileText(path), "the old record");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"shot.dat"});

    const WriteStatus missing = WriteSeg2File(folder.File("no/such/folder.dat"), r.rows, r.headers, 2, 4, 1.0f);
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());

    // A refused record touches no file at all.
    EXPECT_FALSE(WriteSeg2File(path, r.rows, r.headers, 2, 3, 1.0f).ok);
    EXPECT_EQ(testing::ReadFileText(path), "the old record");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"shot.dat"});
}

TEST(WriteSeg2AsFloat, NoLatitudeStrings)
{
    Record r(1, 2);
    r.Fill(0, 2, [](int) { return 1.0f; });
    r.headers[0].intervalUs = 10.0f;
    ByteSink sink;
    ASSERT_TRUE(WriteSeg2AsFloat(sink, r.rows, r.headers, 1, 4, 1.0f).ok);
    EXPECT_EQ(sink.Bytes(), WriteToBytes(r, 1));
}

}  // namespace
}  // namespace velk
