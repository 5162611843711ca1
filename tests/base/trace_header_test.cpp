#include "base/trace_header.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/position.h"
#include "platform/byte_io.h"
#include "tools/test_support.h"

namespace velk {
namespace {

// Words 1-8: 7, 1250, -300, 24, 2, -2000.0f, 250.0f, 4096, little-endian.
constexpr std::array<uint8_t, 32> kSampleBytes = {
    0x07, 0x00, 0x00, 0x00,  // trace number 7
    0xE2, 0x04, 0x00, 0x00,  // receiver 1250
    0xD4, 0xFE, 0xFF, 0xFF,  // source -300
    0x18, 0x00, 0x00, 0x00,  // gain 24
    0x02, 0x00, 0x00, 0x00,  // component 2
    0x00, 0x00, 0xFA, 0xC4,  // delay -2000.0f
    0x00, 0x00, 0x7A, 0x43,  // interval 250.0f
    0x00, 0x10, 0x00, 0x00,  // samples 4096
};

CTraceHeader SampleHeader()
{
    CTraceHeader h;
    h.Set(7, 1250, -300, 24, 2, -2000.0f, 250.0f, 4096);
    return h;
}

// A header whose every word differs from SampleHeader(), standing for earlier contents.
CTraceHeader EarlierHeader()
{
    CTraceHeader h;
    h.Set(-1, -2, -3, -4, -5, 11.5f, 12.5f, -8);
    return h;
}

std::vector<uint8_t> BinaryOf(const CTraceHeader& h)
{
    ByteSink sink;
    EXPECT_EQ(h.WriteBinary(sink), 1);
    return sink.Bytes();
}

std::string TextOf(const CTraceHeader& h)
{
    ByteSink sink;
    EXPECT_EQ(h.WriteText(sink), 1);
    return std::string(sink.Bytes().begin(), sink.Bytes().end());
}

using velk::testing::ScopedGlobalLocale;

TEST(TraceHeader, DefaultWordsAreZeroExceptComponent)
{
    const CTraceHeader h;
    EXPECT_EQ(h.traceNumber, 0);
    EXPECT_EQ(h.receiverHundredths, 0);
    EXPECT_EQ(h.sourceHundredths, 0);
    EXPECT_EQ(h.gain, 0);
    EXPECT_EQ(h.component, 1);
    EXPECT_EQ(h.delayUs, 0.0f);
    EXPECT_EQ(h.intervalUs, 0.0f);
    EXPECT_EQ(h.samples, 0);
}

TEST(TraceHeader, SetAssignsTheWordsInOrder)
{
    const CTraceHeader h = SampleHeader();
    EXPECT_EQ(h.traceNumber, 7);
    EXPECT_EQ(h.receiverHundredths, 1250);
    EXPECT_EQ(h.sourceHundredths, -300);
    EXPECT_EQ(h.gain, 24);
    EXPECT_EQ(h.component, 2);
    EXPECT_EQ(h.delayUs, -2000.0f);
    EXPECT_EQ(h.intervalUs, 250.0f);
    EXPECT_EQ(h.samples, 4096);
}

TEST(TraceHeader, WriteBinaryGivesTheLittleEndianWords)
{
    const std::vector<uint8_t> bytes = BinaryOf(SampleHeader());
    EXPECT_EQ(bytes, std::vector<uint8_t>(kSampleBytes.begin(), kSampleBytes.end()));
}

TEST(TraceHeader, BinaryRoundTripReturns32AndEqualWords)
{
    const CTraceHeader written = SampleHeader();
    const std::vector<uint8_t> bytes = BinaryOf(written);
    ByteSource source = ByteSource::FromSpan(bytes);
    CTraceHeader read = EarlierHeader();
    EXPECT_EQ(read.ReadBinary(source), 32u);
    EXPECT_EQ(read, written);
}

TEST(TraceHeader, NegativeDelayStaysNegativeThroughTheRoundTrip)
{
    CTraceHeader written;
    written.delayUs = -2000.0f;  // a pre-trigger of 2 ms
    const std::vector<uint8_t> bytes = BinaryOf(written);
    ByteSource source = ByteSource::FromSpan(bytes);
    CTraceHeader read;
    ASSERT_EQ(read.ReadBinary(source), 32u);
    EXPECT_LT(read.delayUs, 0.0f);
    EXPECT_EQ(read.delayUs, -2000.0f);
}

TEST(TraceHeader, ReceiverOf12Point5MetresRoundTripsAs1250)
{
    CTraceHeader written;
    written.receiverHundredths = MetresToHundredths(12.5).value();
    const std::vector<uint8_t> bytes = BinaryOf(written);
    ByteSource source = ByteSource::FromSpan(bytes);
    CTraceHeader read;
    ASSERT_EQ(read.ReadBinary(source), 32u);
    EXPECT_EQ(read.receiverHundredths, 1250);
    EXPECT_EQ(HundredthsToMetres(read.receiverHundredths), 12.5);
}

TEST(TraceHeader, TwentyBytesReturn20AndLeaveWords6To8)
{
    const std::span<const uint8_t> bytes(kSampleBytes.data(), 20);
    ByteSource source = ByteSource::FromSpan(bytes);
    const CTraceHeader earlier = EarlierHeader();
    CTraceHeader h = earlier;
    EXPECT_EQ(h.ReadBinary(source), 20u);
    EXPECT_EQ(h.traceNumber, 7);
    EXPECT_EQ(h.receiverHundredths, 1250);
    EXPECT_EQ(h.sourceHundredths, -300);
    EXPECT_EQ(h.gain, 24);
    EXPECT_EQ(h.component, 2);
    EXPECT_EQ(h.delayUs, earlier.delayUs);
    EXPECT_EQ(h.intervalUs, earlier.intervalUs);
    EXPECT_EQ(h.samples, earlier.samples);
}

TEST(TraceHeader, TwentyTwoBytesReturn22AndLeaveWord6Whole)
{
    const std::span<const uint8_t> bytes(kSampleBytes.data(), 22);
    ByteSource source = ByteSource::FromSpan(bytes);
    const CTraceHeader earlier = EarlierHeader();
    CTraceHeader h = earlier;
    EXPECT_EQ(h.ReadBinary(source), 22u);
    EXPECT_EQ(h.component, 2);
    EXPECT_EQ(h.delayUs, earlier.delayUs);  // not half overwritten
    EXPECT_EQ(h.intervalUs, earlier.intervalUs);
    EXPECT_EQ(h.samples, earlier.samples);
}

TEST(TraceHeader, EveryShortLengthReturnsItsByteCountAndCommitsOnlyWholeWords)
{
    const CTraceHeader full = SampleHeader();
    const CTraceHeader earlier = EarlierHeader();
    for (size_t length = 0; length < 32; ++length) {
        SCOPED_TRACE(length);
        ByteSource source = ByteSource::FromSpan(std::span<const uint8_t>(kSampleBytes.data(), length));
        CTraceHeader h = earlier;
        EXPECT_EQ(h.ReadBinary(source), length);
        const size_t whole = length / 4;
        EXPECT_EQ(h.traceNumber, whole > 0 ? full.traceNumber : earlier.traceNumber);
        EXPECT_EQ(h.receiverHundredths, whole > 1 ? full.receiverHundredths : earlier.receiverHundredths);
        EXPECT_EQ(h.sourceHundredths, whole > 2 ? full.sourceHundredths : earlier.sourceHundredths);
        EXPECT_EQ(h.gain, whole > 3 ? full.gain : earlier.gain);
        EXPECT_EQ(h.component, whole > 4 ? full.component : earlier.component);
        EXPECT_EQ(h.delayUs, whole > 5 ? full.delayUs : earlier.delayUs);
        EXPECT_EQ(h.intervalUs, whole > 6 ? full.intervalUs : earlier.intervalUs);
        EXPECT_EQ(h.samples, earlier.samples);
    }
}

TEST(TraceHeader, ConsecutiveRecordsReadOneAfterTheOther)
{
    CTraceHeader first = SampleHeader();
    CTraceHeader second = first;
    second.traceNumber = 8;
    second.receiverHundredths = 1500;
    ByteSink sink;
    first.WriteBinary(sink);
    second.WriteBinary(sink);
    ASSERT_EQ(sink.Bytes().size(), 64u);

    ByteSource source = ByteSource::FromSpan(sink.Bytes());
    CTraceHeader a;
    CTraceHeader b;
    CTraceHeader c = EarlierHeader();
    EXPECT_EQ(a.ReadBinary(source), 32u);
    EXPECT_EQ(b.ReadBinary(source), 32u);
    EXPECT_EQ(c.ReadBinary(source), 0u);
    EXPECT_EQ(a, first);
    EXPECT_EQ(b, second);
    EXPECT_EQ(c, EarlierHeader());
}

TEST(TraceHeader, WriteBinaryReturns1EvenWhenTheSinkFailed)
{
    ByteSink sink;
    sink.MarkFailed();
    EXPECT_EQ(SampleHeader().WriteBinary(sink), 1);
    EXPECT_FALSE(sink.Ok());
    EXPECT_EQ(SampleHeader().WriteText(sink), 1);
    EXPECT_FALSE(sink.Ok());
}

TEST(TraceHeader, DefaultTextLine)
{
    EXPECT_EQ(TextOf(CTraceHeader()), "0 0 0 0 1 0.000000 0.000000 0 \n");
}

TEST(TraceHeader, TextLineOfSetWords)
{
    EXPECT_EQ(TextOf(SampleHeader()), "7 1250 -300 24 2 -2000.000000 250.000000 4096 \n");
}

TEST(TraceHeader, TextLineIgnoresAGermanGlobalLocale)
{
    ScopedGlobalLocale german("de_DE.UTF-8");
    if (!german.Ok()) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/setup-deps.sh generates it)";
    }
    EXPECT_EQ(TextOf(CTraceHeader()), "0 0 0 0 1 0.000000 0.000000 0 \n");
    EXPECT_EQ(TextOf(SampleHeader()), "7 1250 -300 24 2 -2000.000000 250.000000 4096 \n");
}

TEST(TraceHeader, CopiesAreWordByWord)
{
    const std::array<CTraceHeader, 3> source = {SampleHeader(), EarlierHeader(), CTraceHeader()};
    std::array<CTraceHeader, 3> copy{};
    std::memcpy(copy.data(), source.data(), sizeof source);  // bulk copy, as undo does
    EXPECT_EQ(copy, source);
}

TEST(TraceHeaderEx, NewRecordHasUnknownGeographicPositionAndZeroPlanePosition)
{
    const CTraceHeaderEx h;
    EXPECT_EQ(h.latitude, -1000.0f);
    EXPECT_EQ(h.longitude, -1000.0f);
    EXPECT_EQ(h.x, 0.0f);
    EXPECT_EQ(h.y, 0.0f);
    EXPECT_EQ(h.component, 1);
    EXPECT_EQ(static_cast<const CTraceHeader&>(h), CTraceHeader());
}

TEST(TraceHeaderEx, WritesOnlyThe32ByteBase)
{
    CTraceHeaderEx h;
    static_cast<CTraceHeader&>(h) = SampleHeader();
    h.x = 3.0f;
    h.y = 4.0f;
    h.latitude = 35.5f;
    h.longitude = 139.75f;
    ByteSink sink;
    EXPECT_EQ(h.WriteBinary(sink), 1);
    EXPECT_EQ(sink.Bytes().size(), 32u);
    EXPECT_EQ(sink.Bytes(), std::vector<uint8_t>(kSampleBytes.begin(), kSampleBytes.end()));

    ByteSink defaultSink;
    CTraceHeaderEx().WriteBinary(defaultSink);
    EXPECT_EQ(defaultSink.Bytes().size(), 32u);
}

TEST(TraceHeaderEx, ReadsOnlyThe32ByteBase)
{
    CTraceHeaderEx h;
    h.x = 3.0f;
    h.y = 4.0f;
    h.latitude = 35.5f;
    h.longitude = 139.75f;
    ByteSource source = ByteSource::FromSpan(kSampleBytes);
    EXPECT_EQ(h.ReadBinary(source), 32u);
    EXPECT_EQ(static_cast<const CTraceHeader&>(h), SampleHeader());
    EXPECT_EQ(h.x, 3.0f);
    EXPECT_EQ(h.y, 4.0f);
    EXPECT_EQ(h.latitude, 35.5f);
    EXPECT_EQ(h.longitude, 139.75f);
}

TEST(TraceHeaderEx, DistanceIsTheSameBothWays)
{
    CTraceHeaderEx origin;
    CTraceHeaderEx other;
    other.x = 3.0f;
    other.y = 4.0f;
    other.latitude = 12.0f;     // plays no part
    other.traceNumber = 99;     // plays no part
    EXPECT_EQ(origin.DistanceTo(other), 5.0f);
    EXPECT_EQ(other.DistanceTo(origin), 5.0f);
    EXPECT_EQ(other.DistanceTo(other), 0.0f);
}

TEST(TraceHeaderEx, CopyIntoABaseHeaderTakesTheEightWords)
{
    CTraceHeaderEx ex;
    static_cast<CTraceHeader&>(ex) = SampleHeader();
    ex.x = 1.0f;
    const CTraceHeader base = ex;
    EXPECT_EQ(base, SampleHeader());
}

}  // namespace
}  // namespace velk
