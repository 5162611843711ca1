// The 560QX SEG-1 reader over hand-built files, the .DZT reader, the radar text reader and the
// three-component .DAT reader.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "formats/dzt.h"
#include "formats/file_roads.h"
#include "formats/gpr_radar.h"
#include "formats/seg1_560qx.h"
#include "formats/three_component.h"
#include "seg2_test_support.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

using testing::Samples;
using testing::TargetFor;

template <class Read>
int ReadWith(ScriptedUiHost& ui, Read read, LogSink& log = NullLog())
{
    ui.SetStrict(false);
    FormatContext ctx{ui, kLanguageEnglish, log};
    return read(ctx);
}

CTraceHeader Header(int32_t number, int32_t receiver, int32_t source, int32_t gain, int32_t component, float delay,
                    float interval, int32_t samples)
{
    CTraceHeader h;
    h.Set(number, receiver, source, gain, component, delay, interval, samples);
    return h;
}

// ---------------------------------------------------------------------------------------------
// 560QX

struct Seg1 {
    std::string channels = "3";
    std::string samples = "4";
    std::string interval = "0.25";
    std::string delay = "-2.5";
    std::vector<std::string> gains = {"0", "6", "20"};
    int tracesWritten = 4;  // channels + 1
    int cut = 0;            // bytes taken from the end

    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> b(kSeg1DataStart, ' ');
        auto put = [&](size_t at, const std::string& text) {
            std::memcpy(&b[at], text.data(), text.size());
            b[at + text.size()] = 13;
        };
        put(31, "Tq560QX");
        put(99, channels);
        put(102, samples);
        put(107, interval);
        put(114, delay);
        for (size_t c = 0; c < gains.size(); ++c) put(158 + 32 * c + 28, gains[c]);
        const int n = samples.empty() || samples[0] == 'x' ? 0 : std::stoi(samples);
        for (int t = 0; t < tracesWritten; ++t) {
            for (int e = 0; e < n; ++e) {
                const int16_t v = static_cast<int16_t>(1000 * (t + 1) + e);
                b.push_back(static_cast<uint8_t>(v & 0xFF));
                b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
            }
        }
        b.resize(b.size() - static_cast<size_t>(cut));
        return b;
    }
};

int Read560(const Seg1& file, LoadTarget& target, ScriptedUiHost& ui)
{
    const std::vector<uint8_t> bytes = file.Bytes();
    return ReadWith(ui, [&](FormatContext& ctx) {
        ByteSource source = ByteSource::FromSpan(bytes);
        return Read560QX(source, target, ctx);
    });
}

TEST(Read560QX, FieldsGainsAndTheExtraTrace)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(10, 100);
    ASSERT_EQ(Read560(Seg1{}, target, ui), 4);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(target.HeaderAt(0), Header(1, 100, 0, 0, 1, -2500.0f, 250.0f, 4));
    EXPECT_EQ(target.HeaderAt(1), Header(2, 200, 0, 6, 1, -2500.0f, 250.0f, 4));
    EXPECT_EQ(target.HeaderAt(3), Header(4, 400, 0, 0, 1, -2500.0f, 250.0f, 4));
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{1000, 1001, 1002, 1003}));
    EXPECT_FLOAT_EQ(Samples(target, 1)[0], static_cast<float>(2000 / std::pow(10.0, 0.3)));
    EXPECT_FLOAT_EQ(Samples(target, 2)[3], 300.3f);                                  // 20 dB: / 10
    EXPECT_EQ(Samples(target, 3), (std::vector<float>{4000, 4001, 4002, 4003}));  // factor 1
}

TEST(Read560QX, TooManyChannelsGiveTheTraceMessage)
{
    ScriptedUiHost ui;
    Seg1 file;
    file.channels = "999";
    LoadTarget target = TargetFor(128, 100);
    EXPECT_EQ(Read560(file, target, ui), 4);  // all the file holds
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], TracesMessage(kLanguageEnglish, kTotalTracesReadMsg, 128));
}

TEST(Read560QX, EndsOfFileAndCapacities)
{
    {  // Ending at a trace boundary before the extra trace is normal.
        ScriptedUiHost ui;
        Seg1 file;
        file.tracesWritten = 3;
        LoadTarget target = TargetFor(10, 100);
        EXPECT_EQ(Read560(file, target, ui), 3);
        EXPECT_TRUE(ui.Messages().empty());
    }
    {  // A trace cut inside its samples is dropped with a warning.
        ScriptedUiHost ui;
        Seg1 file;
        file.cut = 3;
        LoadTarget target = TargetFor(10, 100);
        EXPECT_EQ(Read560(file, target, ui), 3);
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_NE(ui.Messages()[0].find("ends inside trace 4"), std::string::npos);
    }
    {  // Samples beyond MAX_SAMPLE are cut, the traces still found at their places.
        ScriptedUiHost ui;
        LoadTarget target = TargetFor(10, 3);
        EXPECT_EQ(Read560(Seg1{}, target, ui), 4);
        EXPECT_EQ(Samples(target, 3), (std::vector<float>{4000, 4001, 4002}));
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{SamplesMessage(kLanguageEnglish, kSamplesTruncatedMsg)});
    }
    {  // An unusable gain counts as 1, with a warning.
        ScriptedUiHost ui;
        Seg1 file;
        file.gains = {"100000", "-100000", "0"};
        LoadTarget target = TargetFor(10, 100);
        EXPECT_EQ(Read560(file, target, ui), 4);
        EXPECT_EQ(Samples(target, 1)[0], 2000.0f);
        EXPECT_EQ(ui.Messages().size(), 1u);
    }
    for (const char* bad : {"", "x"}) {  // no sample count: refused
        ScriptedUiHost ui;
        Seg1 file;
        file.samples = bad;
        LoadTarget target = TargetFor(10, 100);
        EXPECT_EQ(Read560(file, target, ui), -1);
        EXPECT_FALSE(target.HasRow(0));
    }
}

TEST(Read560QX, ClassifyingShowsNothing)
{
    // The pure predicate of the file lists: no UiHost, no message.
    const std::vector<uint8_t> bytes = Seg1{}.Bytes();
    ByteSource source = ByteSource::FromSpan(bytes);
    EXPECT_TRUE(Is560QXHeader(source));
}

// ---------------------------------------------------------------------------------------------
// .DZT

std::vector<uint8_t> Dzt(int samples, int bits, float scansPerMetre, const std::vector<int>& values)
{
    std::vector<uint8_t> b(kDztHeaderSize, 0);
    b[4] = static_cast<uint8_t>(samples & 0xFF);
    b[5] = static_cast<uint8_t>(samples >> 8);
    b[6] = static_cast<uint8_t>(bits & 0xFF);
    b[7] = static_cast<uint8_t>((bits >> 8) & 0xFF);
    std::memcpy(&b[16], &scansPerMetre, 4);
    const float other = 7.5f;
    std::memcpy(&b[12], &other, 4);
    for (int v : values) {
        b.push_back(static_cast<uint8_t>(v & 0xFF));
        if (bits == 16) b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return b;
}

int ReadDztBytes(const std::vector<uint8_t>& bytes, LoadTarget& target, ScriptedUiHost& ui)
{
    return ReadWith(ui, [&](FormatContext& ctx) {
        ByteSource source = ByteSource::FromSpan(bytes);
        return ReadDzt(source, target, ctx);
    });
}

TEST(ReadDzt, SpacingOfEveryScanRate)
{
    EXPECT_EQ(DztTraceSpacing(0.05f), 0.02f);
    EXPECT_EQ(DztTraceSpacing(50.0f), 1.0f / 50.0f);
    EXPECT_EQ(DztTraceSpacing(NAN), 0.02f);
    EXPECT_EQ(DztTraceSpacing(INFINITY), 0.02f);
}

TEST(ReadDzt, EightBitSamplesAndReceiversEveryTwoCentimetres)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(10, 100);
    ASSERT_EQ(ReadDztBytes(Dzt(2, 8, 50.0f, {0, 128, 255, 129, 127, 1}), target, ui), 3);
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{-128, 0}));
    EXPECT_EQ(Samples(target, 1), (std::vector<float>{127, 1}));
    for (int k = 0; k < 3; ++k) EXPECT_EQ(target.HeaderAt(k).receiverHundredths, 2 * k);
    EXPECT_EQ(target.HeaderAt(2), Header(3, 4, 0, 10, 1, 0.0f, 1000.0f, 2));
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{
                                 "# of traces=3 # of samples=2 bits=8 Trace spacing=0.020000 50.000000 7.500000"});
}

TEST(ReadDzt, SixteenBitSamplesAndAnAppend)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(10, 100, 5);
    // An append returns the traces read, numbered and placed from the start index.
    ASSERT_EQ(ReadDztBytes(Dzt(2, 16, 0.05f, {0, 65535, 32768, 32767}), target, ui), 2);
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{-32768, 32767}));
    EXPECT_EQ(Samples(target, 1), (std::vector<float>{0, -1}));
    EXPECT_EQ(target.HeaderAt(0).traceNumber, 6);
    EXPECT_EQ(target.HeaderAt(0).receiverHundredths, 10);
}

TEST(ReadDzt, RefusalsAndLimits)
{
    {
        ScriptedUiHost ui;
        LoadTarget target = TargetFor(10, 100);
        EXPECT_EQ(ReadDztBytes(Dzt(2, 32, 50.0f, {1, 2, 3, 4}), target, ui), -1);
        EXPECT_NE(ui.Messages().at(0).find("32 bits"), std::string::npos);
    }
    {  // More traces than room, and a cut last trace: the room, with the trace message.
        ScriptedUiHost ui;
        LoadTarget target = TargetFor(2, 100);
        EXPECT_EQ(ReadDztBytes(Dzt(2, 8, 50.0f, {1, 2, 3, 4, 5, 6, 7}), target, ui), 2);
        EXPECT_EQ(ui.Messages().at(0), TracesMessage(kLanguageEnglish, kTotalTracesReadMsg, 2));
    }
    {  // Samples beyond MAX_SAMPLE are cut with the samples message.
        ScriptedUiHost ui;
        LoadTarget target = TargetFor(10, 2);
        EXPECT_EQ(ReadDztBytes(Dzt(3, 8, 50.0f, {1, 2, 3, 4, 5, 6}), target, ui), 2);
        EXPECT_EQ(Samples(target, 1), (std::vector<float>{-124, -123}));
        EXPECT_EQ(ui.Messages().at(0), SamplesMessage(kLanguageEnglish, kSamplesTruncatedMsg));
    }
}

// ---------------------------------------------------------------------------------------------
// Radar text

int ReadRadar(const std::string& text, LoadTarget& target, ScriptedUiHost& ui, GprRadarRead& out,
              LogSink& log = NullLog())
{
    return ReadWith(ui, [&](FormatContext& ctx) { return ReadGprRadarText(text, target, ctx, out); }, log);
}

TEST(ReadGprRadarText, GainInterpolatedOverTwoSegments)
{
    // n = 9, g = 3: break points 0, 4, 8 with 0, 20, 40 dB (factors 1, 10, 100); n - 4 kept.
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(10, 100);
    GprRadarRead out;
    MemoryLogSink log;
    ASSERT_EQ(ReadRadar("9 0.5 0.0001 2 3  0 20 40  ABC 7  10 20 30 40 50 60 70 80 90\n", target, ui, out, log), 1);
    EXPECT_EQ(out.samples, 5);
    EXPECT_FLOAT_EQ(out.intervalMs, 0.1f);
    const std::vector<float> got = Samples(target, 0);
    const double factors[] = {1.0, 3.25, 5.5, 7.75, 10.0};
    ASSERT_EQ(got.size(), 5u);
    for (int k = 0; k < 5; ++k) EXPECT_FLOAT_EQ(got[static_cast<size_t>(k)], static_cast<float>(10 * (k + 1) / factors[k] * 10000));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(log.Text("radar.txt"), "9 0.500000 0.000100 2.000000 3 0.000000 20.000000 40.000000 \nABC  7 \n");
}

TEST(ReadGprRadarText, OneOrNoGainPointIsAConstantFactor)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(10, 100);
    GprRadarRead out;
    ASSERT_EQ(ReadRadar("3 0 0.001 0 1 20 W 0 1 2 3   2 0 0.002 0 0 W 0 5 6", target, ui, out), 2);
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{1000, 2000, 3000}));  // / 10 x 10000
    EXPECT_EQ(Samples(target, 1), (std::vector<float>{50000, 60000}));
    EXPECT_EQ(out.samples, 2);
    EXPECT_FLOAT_EQ(out.intervalMs, 2.0f);
    EXPECT_EQ(GprGainFactor(std::vector<double>{2.0, 3.0, 4.0}, 1, 0), 2.0);  // fewer samples than segments
}

TEST(ReadGprRadarText, StopsAtTheCapacityAndAtABadValue)
{
    {
        ScriptedUiHost ui;
        LoadTarget target = TargetFor(2, 100);
        GprRadarRead out;
        EXPECT_EQ(ReadRadar("1 0 1 0 0 W 0 1  1 0 1 0 0 W 0 2  1 0 1 0 0 W 0 3", target, ui, out), 2);
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{TracesMessage(kLanguageEnglish, kTotalTracesReadMsg, 2)});
    }
    {
        ScriptedUiHost ui;
        LoadTarget target = TargetFor(5, 100);
        GprRadarRead out;
        EXPECT_EQ(ReadRadar("1 0 1 0 0 W 0 1  2 0 1 0 0 W 0 2 x", target, ui, out), 1);
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_NE(ui.Messages()[0].find("Trace 2"), std::string::npos);
    }
    {  // A sample count the text cannot hold.
        ScriptedUiHost ui;
        LoadTarget target = TargetFor(5, 100);
        GprRadarRead out;
        EXPECT_EQ(ReadRadar("2000000000 0 1 0 0 W 0 1", target, ui, out), 0);
        EXPECT_FALSE(target.HasRow(0));
    }
}

// ---------------------------------------------------------------------------------------------
// Three-component .DAT

TEST(ReadComponentDat, ComponentFromTheFileNameOnly)
{
    EXPECT_EQ(ComponentFromFileName("/data/stationNS.DAT"), 1);
    EXPECT_EQ(ComponentFromFileName("/data/ew.dat"), 2);
    EXPECT_EQ(ComponentFromFileName("/data/ewud.dat"), 3);  // a later match wins
    EXPECT_EQ(ComponentFromFileName("/ud_line/xns.dat"), 1);
    EXPECT_EQ(ComponentFromFileName("plain.dat"), 1);
}

TEST(ReadComponentDat, IntervalScaleAndMeanRemoved)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(10, 100, 4);
    const int read = ReadWith(ui, [&](FormatContext& ctx) {
        return ReadComponentDat("0.000 100\n0.005 200\n0.010 600\n", "/a/ud.DAT", target, ctx);
    });
    ASSERT_EQ(read, 1);
    EXPECT_EQ(target.HeaderAt(0), Header(1, 0, 0, 10, 3, 0.0f, 5000.0f, 3));
    EXPECT_EQ(Samples(target, 0), (std::vector<float>{-2.0f, -1.0f, 3.0f}));
}

TEST(ReadComponentDat, OneSampleHasNoIntervalAndNoneIsNothing)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(10, 100);
    EXPECT_EQ(ReadWith(ui, [&](FormatContext& ctx) { return ReadComponentDat("0.5 7", "ns.dat", target, ctx); }), 1);
    EXPECT_EQ(target.HeaderAt(0).intervalUs, 0.0f);
    EXPECT_EQ(target.HeaderAt(0).samples, 1);
    LoadTarget empty = TargetFor(10, 100);
    EXPECT_EQ(ReadWith(ui, [&](FormatContext& ctx) { return ReadComponentDat("x", "ns.dat", empty, ctx); }), 0);
}

TEST(ReadComponentDat, StopsAtMaxSampleWithTheMessage)
{
    ScriptedUiHost ui;
    LoadTarget target = TargetFor(10, 2);
    EXPECT_EQ(ReadWith(ui, [&](FormatContext& ctx) { return ReadComponentDat("0 1 1 2 2 3", "ew.dat", target, ctx); }),
              1);
    EXPECT_EQ(target.HeaderAt(0).samples, 2);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{SamplesMessage(kLanguageEnglish, kSamplesTruncatedMsg)});
}

}  // namespace
}  // namespace velk
