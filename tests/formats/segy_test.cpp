// The SEG-Y reader: IbmToIeee against an independent reference, every fixture against
// segyio's reading of it, the question road, the capacity, appending, the cut file, the trace
// layout of a 1000-sample file, extended textual headers and the files that are refused.

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>

#include "formats/segy.h"
#include "formats/segy_reference.h"
#include "seg2_test_support.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using testing::LoadSegYReference;
using testing::MaxDifference;
using testing::Samples;
using testing::SegYFixture;
using testing::TargetFor;

// ---------------------------------------------------------------------------------------------
// IbmToIeee

// The IBM value as its definition gives it, in double, then to float (clamped as the reader
// clamps).
float IbmReference(uint32_t w)
{
    const double fraction = w & 0xFFFFFF;
    const int exponent = static_cast<int>((w >> 24) & 0x7F);
    double v = std::ldexp(fraction, 4 * (exponent - 64) - 24);
    if (w & 0x80000000u) v = -v;
    if (v > FLT_MAX) return FLT_MAX;
    if (v < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(v);
}

std::vector<uint8_t> BigEndian(const std::vector<uint32_t>& words)
{
    std::vector<uint8_t> b;
    for (uint32_t w : words) {
        for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(w >> s));
    }
    return b;
}

TEST(IbmToIeee, RandomWordsAndEveryExponentEdgeMatchTheDefinition)
{
    std::vector<uint32_t> words;
    std::mt19937 random(13);
    for (int i = 0; i < 10'000'000; ++i) words.push_back(static_cast<uint32_t>(random()));
    for (uint32_t sign : {0u, 0x80000000u}) {
        for (uint32_t e = 0; e < 128; ++e) {
            for (uint32_t f : {0x000001u, 0x0FFFFFu, 0x100000u, 0x7FFFFFu, 0x800000u, 0xFFFFFFu})
                words.push_back(sign | (e << 24) | f);
        }
    }
    const std::vector<uint8_t> bytes = BigEndian(words);
    std::vector<float> out(words.size());
    ConversionCount cc;
    IbmToIeee(bytes, out, words.size(), kIbmSingle, cc);
    int64_t clamped = 0;
    for (size_t i = 0; i < words.size(); ++i) {
        const float want = IbmReference(words[i]);
        if (std::fabs(std::ldexp(static_cast<double>(words[i] & 0xFFFFFF), 4 * static_cast<int>((words[i] >> 24) & 0x7F) - 280)) > FLT_MAX)
            ++clamped;
        ASSERT_EQ(std::bit_cast<uint32_t>(out[i]), std::bit_cast<uint32_t>(want)) << std::hex << words[i];
    }
    EXPECT_EQ(cc.clamped, clamped);
    EXPECT_GT(clamped, 0);
    EXPECT_EQ(cc.nonFinite, 0);
}

TEST(IbmToIeee, KnownWordsAndZero)
{
    ConversionCount cc;
    const std::vector<uint8_t> hundred = {0x42, 0x64, 0x00, 0x00};
    float v = 0.0f;
    IbmToIeee(hundred, {&v, 1}, 1, kIbmSingle, cc);
    EXPECT_EQ(v, 100.0f);
    EXPECT_EQ(IbmWordToFloat(0xC2640000u, cc), -100.0f);
    EXPECT_EQ(IbmWordToFloat(0x41100000u, cc), 1.0f);
    // A dead trace stays exactly 0 in both modes.
    for (int mode : {kIbmSingle, kIeeeBigEndian}) {
        const std::vector<uint8_t> zero(4, 0);
        float z = 1.0f;
        IbmToIeee(zero, {&z, 1}, 1, mode, cc);
        EXPECT_EQ(std::bit_cast<uint32_t>(z), 0u) << mode;
    }
    EXPECT_FALSE(cc.Any());
    // Beyond the float range: the range's end, counted.
    EXPECT_EQ(IbmWordToFloat(0x7FFFFFFFu, cc), FLT_MAX);
    EXPECT_EQ(IbmWordToFloat(0xFFFFFFFFu, cc), -FLT_MAX);
    EXPECT_EQ(cc.clamped, 2);
}

TEST(IbmToIeee, Mode1IsTheByteSwappedWord)
{
    std::mt19937 random(7);
    std::vector<uint32_t> words;
    for (int i = 0; i < 1'000'000; ++i) words.push_back(static_cast<uint32_t>(random()));
    const std::vector<uint8_t> bytes = BigEndian(words);
    std::vector<float> out(words.size());
    ConversionCount cc;
    IbmToIeee(bytes, out, words.size(), kIeeeBigEndian, cc);
    int64_t nonFinite = 0;
    for (size_t i = 0; i < words.size(); ++i) {
        uint32_t swapped;
        std::memcpy(&swapped, &bytes[4 * i], 4);
        swapped = __builtin_bswap32(swapped);
        float want;
        std::memcpy(&want, &swapped, 4);
        if (!std::isfinite(want)) {
            ++nonFinite;
            want = 0.0f;
        }
        ASSERT_EQ(std::bit_cast<uint32_t>(out[i]), std::bit_cast<uint32_t>(want)) << i;
    }
    EXPECT_EQ(cc.nonFinite, nonFinite);
}

// ---------------------------------------------------------------------------------------------
// Fixtures

struct Read {
    int count = 0;
    std::vector<std::string> messages;
};

Read ReadFile(const std::string& name, LoadTarget& target, std::optional<MsgResult> answer = {},
              SegYRoad road = SegYRoad::Document, MemoryLogSink* log = nullptr)
{
    ScriptedUiHost ui;
    ui.SetStrict(false);
    if (answer) ui.ExpectMessage("Convert to IEEE format ?", MsgButtons::YesNo, *answer);
    ByteSource file = ByteSource::FromFile(SegYFixture(name));
    EXPECT_TRUE(file.Ok()) << name;
    MemoryLogSink memory;
    FormatContext ctx{ui, kLanguageEnglish, log ? *log : memory};
    Read r;
    if (road == SegYRoad::Document) {
        r.count = ReadSegY(file, target, ctx);
    } else {
        SegYLayout layout;
        r.count = DecodeSegYLayout(file, road, ctx, layout) ? ReadSegYTraces(file, layout, target, ctx) : -1;
    }
    r.messages = ui.Messages();
    return r;
}

void ExpectLikeReference(LoadTarget& target, int count, const std::string& reference, int firstTrace = 0)
{
    const testing::SegYReference ref = LoadSegYReference(reference);
    ASSERT_EQ(count, ref.traces - firstTrace) << reference;
    for (int k = 0; k < count; ++k) {
        EXPECT_EQ(MaxDifference(Samples(target, k), ref.data[static_cast<size_t>(firstTrace + k)]), 0.0)
            << reference << " trace " << k;
        EXPECT_EQ(target.HeaderAt(k).intervalUs, static_cast<float>(ref.intervalUs));
        EXPECT_EQ(target.HeaderAt(k).samples, ref.samples);
    }
}

TEST(ReadSegY, EveryFormatAndByteOrderReadsAsSegyioReadsIt)
{
    for (const char* name : {"segy-ibm-be.sgy", "segy-int32-be.sgy", "segy-int16-be.sgy", "segy-ieee-be-1000x25.sgy",
                             "segy-int8-be.sgy", "segy-ibm-le.sgy", "segy-ieee-le.sgy", "segy-ext2.sgy",
                             "segy-ext-endtext.sgy", "segy-bom-le.sgy", "segy-dead.sgy", "segy-240tr.sgy"}) {
        SCOPED_TRACE(name);
        LoadTarget target = TargetFor(300, 1000);
        const Read r = ReadFile(name, target);
        EXPECT_TRUE(r.messages.empty()) << r.messages.front();
        ExpectLikeReference(target, r.count, name);
    }
}

TEST(ReadSegY, HeadersNumberAndSpaceTheTraces)
{
    LoadTarget target = TargetFor(10, 100);
    ASSERT_EQ(ReadFile("segy-int8-be.sgy", target).count, 3);
    CTraceHeader want;
    want.Set(3, 200, 0, 10, 1, 0.0f, 2000.0f, 20);
    EXPECT_EQ(target.HeaderAt(2), want);
}

TEST(ReadSegY, DeadTraceStaysZero)
{
    LoadTarget target = TargetFor(10, 100);
    ASSERT_EQ(ReadFile("segy-dead.sgy", target).count, 4);
    for (float v : Samples(target, 2)) EXPECT_EQ(std::bit_cast<uint32_t>(v), 0u);
}

TEST(ReadSegY, Code0AsksAndEachRoadFollowsItsMeaning)
{
    // Document road, Yes: big-endian IBM, as the file was written.
    LoadTarget doc = TargetFor(10, 300);
    ExpectLikeReference(doc, ReadFile("segy-code0.sgy", doc, MsgResult::Yes).count, "segy-code0.sgy");

    // "Open SEGY file", Yes: the same words as big-endian IEEE; No (both roads): little-endian
    // int32. The header values 257 and 514 read the same either way.
    const std::vector<uint8_t> bytes = testing::ReadFileBytes(SegYFixture("segy-code0.sgy"));
    for (MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
        for (SegYRoad road : {SegYRoad::Document, SegYRoad::Menu}) {
            if (answer == MsgResult::Yes && road == SegYRoad::Document) continue;
            LoadTarget target = TargetFor(10, 300);
            ASSERT_EQ(ReadFile("segy-code0.sgy", target, answer, road).count, 2);
            for (int k = 0; k < 2; ++k) {
                const std::vector<float> got = Samples(target, k);
                ASSERT_EQ(got.size(), 257u);
                for (size_t s = 0; s < got.size(); ++s) {
                    uint32_t word;
                    std::memcpy(&word, &bytes[3600 + static_cast<size_t>(k) * (240 + 257 * 4) + 240 + 4 * s], 4);
                    const float want = answer == MsgResult::Yes
                                           ? std::bit_cast<float>(__builtin_bswap32(word))
                                           : static_cast<float>(static_cast<int32_t>(word));
                    ASSERT_EQ(got[s], std::isfinite(want) ? want : 0.0f) << k << " " << s;
                }
            }
        }
    }
}

TEST(ReadSegY, MoreTracesThanRoomReadsTheRoomWithTheMessage)
{
    LoadTarget target = TargetFor(128, 100);
    const Read r = ReadFile("segy-240tr.sgy", target);
    ASSERT_EQ(r.count, 128);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], TracesMessage(kLanguageEnglish, kTotalTracesReadMsg, 128));
    const testing::SegYReference ref = LoadSegYReference("segy-240tr.sgy");
    EXPECT_EQ(MaxDifference(Samples(target, 127), ref.data[127]), 0.0);
}

TEST(ReadSegY, AppendingFillsFromTheStartIndex)
{
    LoadTarget target = TargetFor(20, 100, 10);
    ASSERT_EQ(ReadFile("segy-ibm-be.sgy", target).count, 6);
    ExpectLikeReference(target, 6, "segy-ibm-be.sgy");
    EXPECT_EQ(target.HeaderAt(0).traceNumber, 11);
    EXPECT_EQ(target.HeaderAt(0).receiverHundredths, 1000);
}

TEST(ReadSegY, CutFileGivesItsCompleteTracesAndAWarning)
{
    LoadTarget target = TargetFor(20, 100);
    const Read r = ReadFile("segy-truncated.sgy", target);
    ExpectLikeReference(target, r.count, "segy-truncated.sgy");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].find("ends inside a trace"), std::string::npos);
}

TEST(ReadSegY, TracesFollowEachOtherWhateverTheEnsembleSize)
{
    // 1000 float samples, 24 traces per ensemble: trace 24 starts at 3600 + 1060 x 24 x 4.
    const std::vector<uint8_t> bytes = testing::ReadFileBytes(SegYFixture("segy-ieee-be-1000x25.sgy"));
    LoadTarget target = TargetFor(30, 1000);
    ASSERT_EQ(ReadFile("segy-ieee-be-1000x25.sgy", target).count, 25);
    const size_t at = 3600 + 1060 * 24 * 4;
    const std::vector<float> got = Samples(target, 24);
    for (size_t s = 0; s < 1000; ++s) {
        uint32_t word;
        std::memcpy(&word, &bytes[at + 240 + 4 * s], 4);
        ASSERT_EQ(got[s], std::bit_cast<float>(__builtin_bswap32(word))) << s;
    }
}

TEST(ReadSegY, LogNamesTheEnsembleAndEveryTenthTracesSamples)
{
    LoadTarget target = TargetFor(300, 100);
    MemoryLogSink log;
    ASSERT_EQ(ReadFile("segy-240tr.sgy", target, {}, SegYRoad::Document, &log).count, 240);
    const std::string text = log.Text("segy_read.txt");
    EXPECT_EQ(text.rfind("trace_per_rec=24 \n0 0 240 \n", 0), 0u);
    EXPECT_NE(text.find("25 1 240 \n"), std::string::npos);
    EXPECT_NE(text.find(" 230 14 1 " + FormatC("%f", static_cast<double>(Samples(target, 230)[1])) + "\n"),
              std::string::npos);
    EXPECT_EQ(text.find(" 231 15 0 "), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Layout rules over patched copies of a fixture

std::vector<uint8_t> Patched(const std::string& name, const std::function<void(std::vector<uint8_t>&)>& change)
{
    std::vector<uint8_t> b = testing::ReadFileBytes(SegYFixture(name));
    change(b);
    return b;
}

void PutBig16(std::vector<uint8_t>& b, size_t at, int v)
{
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}

Read ReadBytes(const std::vector<uint8_t>& bytes, LoadTarget& target)
{
    ScriptedUiHost ui;
    ui.SetStrict(false);
    ByteSource file = ByteSource::FromSpan(bytes);
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    Read r;
    r.count = ReadSegY(file, target, ctx);
    r.messages = ui.Messages();
    return r;
}

TEST(ReadSegY, ExtendedHeadersEndAtTheAsciiStanza)
{
    const auto bytes = Patched("segy-ext2.sgy", [](std::vector<uint8_t>& b) {
        PutBig16(b, 3504, -1);
        const std::string stanza = "((SEG: EndText))";
        std::memcpy(&b[3600 + 3200 + 100], stanza.data(), stanza.size());
    });
    LoadTarget target = TargetFor(10, 100);
    ExpectLikeReference(target, ReadBytes(bytes, target).count, "segy-ext2.sgy");
}

TEST(ReadSegY, FilesThatAreRefused)
{
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> change;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"no end stanza", [](auto& b) { PutBig16(b, 3504, -1); }, "no end stanza"},
        {"extended headers past the end", [](auto& b) { PutBig16(b, 3504, 3); }, "reach past the end"},
        {"additional trace headers", [](auto& b) { PutBig16(b, 3506, 1); }, "additional trace headers"},
        {"mark with an unknown code", [](auto& b) {
             b[3296] = 1; b[3297] = 2; b[3298] = 3; b[3299] = 4;
             PutBig16(b, 3224, 4);
         }, "byte-order mark"},
        {"no samples anywhere", [](auto& b) {
             PutBig16(b, 3220, 0);
             PutBig16(b, 3600 + 2 * 3200 + 114, 0);
         }, "no number of samples"},
        {"headers cut", [](auto& b) { b.resize(3599); }, "too short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The extended-header file, so that its count can be changed.
        const auto bytes = Patched("segy-ext2.sgy", [&](std::vector<uint8_t>& b) {
            PutBig16(b, 3504, 2);
            c.change(b);
        });
        LoadTarget target = TargetFor(10, 100);
        const Read r = ReadBytes(bytes, target);
        EXPECT_EQ(r.count, -1);
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_NE(r.messages[0].find(c.message), std::string::npos) << r.messages[0];
        EXPECT_FALSE(target.HasRow(0));
    }
}

TEST(ReadSegY, SamplesFromTheFirstTraceHeaderWhenTheBinaryHeaderHasNone)
{
    const auto bytes = Patched("segy-ibm-be.sgy", [](std::vector<uint8_t>& b) { PutBig16(b, 3220, 0); });
    LoadTarget target = TargetFor(10, 100);
    ExpectLikeReference(target, ReadBytes(bytes, target).count, "segy-ibm-be.sgy");
}

TEST(ReadSegY, SamplesBeyondMaxSampleAreCutWithTheMessage)
{
    LoadTarget target = TargetFor(10, 32);
    const Read r = ReadFile("segy-ibm-be.sgy", target);
    ASSERT_EQ(r.count, 6);
    EXPECT_EQ(target.HeaderAt(0).samples, 32);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], SamplesMessage(kLanguageEnglish, kSamplesTruncatedMsg));
}

}  // namespace
}  // namespace velk
