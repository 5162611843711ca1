// Text and binary imports and the text exports: complete traces, counted traces, grouped
// lines, per-trace headers, int32 words, the round trip through the row layout, Perrow files,
// energy, and the capacity rules that leave rows outside the read untouched.

#include <gtest/gtest.h>

#include <cmath>

#include "formats/load_target.h"
#include "formats/text_imports.h"
#include "base/waveform_store.h"
#include "platform/numtext.h"
#include "tests/formats/import_fixtures.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

namespace fx = velk::testing::importfixture;

struct Import {
    ScriptedUiHost ui;
    MemoryLogSink log;
    LoadTarget target;
    TextImport out;
    explicit Import(int traces = 8, int maxSample = 16) : target(0, traces, StoreRowLength(maxSample), maxSample) {}
    FormatContext Ctx() { return FormatContext{ui, -1, log}; }
    std::vector<float> Row(int k, int n) const
    {
        const auto row = target.RowIfAny(k);
        return row.empty() ? std::vector<float>() : std::vector<float>(row.begin(), row.begin() + n);
    }
};

TEST(TextImports, TextColumnsKeepOnlyCompleteTraces)
{
    Import in;
    FormatContext ctx = in.Ctx();
    EXPECT_EQ(ReadTextTraces(fx::Numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), 4, in.target, ctx, in.out), 2);
    EXPECT_EQ(in.Row(1, 4), (std::vector<float>{5, 6, 7, 8}));
    EXPECT_FALSE(in.target.HasRow(2));
    EXPECT_EQ(in.out.samples, 4);
}

TEST(TextImports, MorvathCountsTheVsAndSpansRowsMinusOne)
{
    Import in;
    FormatContext ctx = in.Ctx();
    in.ui.ExpectMessage("Number of traces=3");
    ASSERT_EQ(ReadMorvathFile(fx::MorvathFile(3, {{0.0, 1, 2, 3}, {0.001, 4, 5, 6}, {0.002, 7, 8, 9}}), in.target, ctx, in.out), 3);
    EXPECT_EQ(in.Row(2, 3), (std::vector<float>{3, 6, 9}));
    EXPECT_EQ(in.target.HeaderAt(2), (CTraceHeader{1, 200, 0, 10, 1, 0.0f, 1000.0f, 3}));

    Import none;
    FormatContext noneCtx = none.Ctx();
    none.ui.ExpectMessage("Number of traces=0");
    none.ui.ExpectAnyMessage();
    EXPECT_EQ(ReadMorvathFile("a\nData\nc\nd\ne\nTime only\n0 1\n", none.target, noneCtx, none.out), 0);
}

TEST(TextImports, DwmGroupsMakeTraces)
{
    Import in;
    FormatContext ctx = in.Ctx();
    ASSERT_EQ(ReadDwmFile(fx::DwmFile({1, 1, 2, 2, 2}, 0.5), in.target, ctx, in.out), 2);
    EXPECT_EQ(in.target.HeaderAt(0).samples, 2);
    EXPECT_EQ(in.target.HeaderAt(1).samples, 3);
    EXPECT_EQ(in.Row(1, 3), (std::vector<float>{-1.0f, -1.5f, -2.0f}));
    EXPECT_EQ(in.out.samples, 3);
    EXPECT_FLOAT_EQ(in.out.intervalMs, 2.5f);  // the last line's time
}

TEST(TextImports, RowsRoundTripWithinSevenDigits)
{
    Matrix2D<float> rows(0, 1, 0, 7);
    std::vector<CTraceHeader> headers(2);
    headers[0].intervalUs = 250.0f;
    for (int k = 0; k < 5; ++k) {
        rows[0][k] = 1.234567f * static_cast<float>(k + 1);
        rows[1][k] = -98765.43f / static_cast<float>(k + 1);
    }
    const std::string text = TextExportAsRows(rows, headers, 2, 5);
    EXPECT_EQ(text.substr(0, 4), "2 5\n");
    Import in;
    FormatContext ctx = in.Ctx();
    ASSERT_EQ(ReadTextRows(text, in.target, ctx, in.out), 2);
    EXPECT_NEAR(in.out.intervalMs, 0.25, 0.25e-6);
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < 5; ++k) EXPECT_NEAR(in.target.RowIfAny(i)[static_cast<size_t>(k)], rows[i][k], std::fabs(rows[i][k]) * 1e-6);
    }
}

TEST(TextImports, LaserDopplerPerTraceHeaders)
{
    Import in;
    FormatContext ctx = in.Ctx();
    const std::string text = fx::LaserDopplerFile({0.5, 0.25}, {3.0, 4.0}, {3, 2}, {{1, 10}, {2, 20}, {3, 30}});
    ASSERT_EQ(ReadLaserDopplerFile(text, in.target, ctx, in.out), 2);
    EXPECT_EQ(in.target.HeaderAt(0), (CTraceHeader{1, 0, 0, 1, 1, 3.0f, static_cast<float>(0.5 * 1000.0001), 3}));
    EXPECT_EQ(in.target.HeaderAt(1), (CTraceHeader{2, 400, 0, 1, 1, 4.0f, static_cast<float>(0.25 * 1000.0001), 2}));
    EXPECT_EQ(in.Row(0, 3), (std::vector<float>{-1, -2, -3}));
    EXPECT_EQ(in.Row(1, 3), (std::vector<float>{-10, -20, 0}));
    EXPECT_EQ(in.out.samples, 3);
}

TEST(TextImports, BinaryWordsAreLittleEndianInt32)
{
    Import in;
    FormatContext ctx = in.Ctx();
    // 3.5 traces of 4 words.
    const fx::Bytes bytes = fx::Int32Words({1, -2, 16843009, 0x7fffffff, 5, 6, 7, 8, -9, 10, 11, 12, 13, 14});
    ASSERT_EQ(ReadBinaryTraces(bytes, 4, in.target, ctx, in.out), 3);
    EXPECT_EQ(in.Row(0, 4), (std::vector<float>{1, -2, 16843009.0f, 2147483647.0f}));
    EXPECT_EQ(in.Row(2, 4), (std::vector<float>{-9, 10, 11, 12}));
    EXPECT_EQ(in.log.Text("open_binary_file.txt").substr(0, 19), "1.000000\n-2.000000\n");
}

TEST(TextImports, OskerbyAndBrevikPairs)
{
    Import in(8, 4);
    FormatContext ctx = in.Ctx();
    ASSERT_EQ(ReadOskerbyFile(fx::PairsFile(6, 0.002), in.target, ctx, in.out), 2);  // 4 + 2 values
    EXPECT_FLOAT_EQ(in.out.intervalMs, 2.0f);
    EXPECT_EQ(in.target.HeaderAt(1).samples, 2);

    Import one;
    FormatContext oneCtx = one.Ctx();
    one.ui.ExpectAnyMessage();
    EXPECT_EQ(ReadOskerbyFile("0.0 1.0\n", one.target, oneCtx, one.out), 0);

    Import brevik(8, 4);
    FormatContext brevikCtx = brevik.Ctx();
    std::vector<std::pair<int, CTraceHeader>> sides;
    ASSERT_EQ(ReadBrevikFile(fx::PairsFile(9, 0.001), 2.5f, brevik.target, brevikCtx, brevik.out,
                             [&](int index, const CTraceHeader& h, std::span<const float>) { sides.emplace_back(index, h); }),
              2);
    ASSERT_EQ(sides.size(), 2u);
    EXPECT_EQ(sides[1].second, (CTraceHeader{2, 250, 0, 1, 1, 1.0f, 1000.0f, 4}));
    EXPECT_EQ(BrevikSideFileName(1, "line"), "mam1_line.8hd");
}

TEST(TextImports, CapacityMessagesAndUntouchedRows)
{
    // Five traces of 20 samples into 3 traces of at most 16.
    Import in(3, 16);
    FormatContext ctx = in.Ctx();
    in.ui.ExpectMessage(TracesMessage(-1, kTotalTracesReadMsg, 3));
    in.ui.ExpectMessage(SamplesMessage(-1, kSamplesTruncatedMsg));
    std::vector<double> values(100, 1.0);
    ASSERT_EQ(ReadTextTraces(fx::Numbers(values), 20, in.target, ctx, in.out), 3);
    EXPECT_EQ(in.out.samples, 16);
    EXPECT_EQ(in.target.RowIfAny(2)[16], 0.0f);

    // Every reader stops at the room it was given; no row beyond it is made.
    auto readers = std::vector<std::function<int(LoadTarget&, FormatContext&, TextImport&)>>{
        [](LoadTarget& t, FormatContext& c, TextImport& o) { return ReadTextRows("4 3\n0 1 2 3 4\n1 1 2 3 4\n2 1 2 3 4\n", t, c, o); },
        [](LoadTarget& t, FormatContext& c, TextImport& o) { return ReadDwmFile(fx::DwmFile({1, 2, 3, 4}, 1.0), t, c, o); },
        [](LoadTarget& t, FormatContext& c, TextImport& o) {
            return ReadLaserDopplerFile(fx::LaserDopplerFile({1, 1, 1, 1}, {0, 0, 0, 0}, {1, 1, 1, 1}, {{1, 2, 3, 4}}), t, c, o);
        },
        [](LoadTarget& t, FormatContext& c, TextImport& o) {
            return ReadMorvathFile(fx::MorvathFile(4, {{0, 1, 2, 3, 4}, {1, 1, 2, 3, 4}}), t, c, o);
        },
        [](LoadTarget& t, FormatContext& c, TextImport& o) { return ReadBinaryTraces(fx::Int32Words(std::vector<int32_t>(8, 1)), 2, t, c, o); },
        [](LoadTarget& t, FormatContext& c, TextImport& o) {
            const std::string text = " 4 2 0 \n 1 \n 2 \n 3 \n 4 \n 5 \n 6 \n 7 \n 8 \n";
            return ReadVarnelSamples(text, *ReadVarnelHeader(text), 2, t, c, o);
        },
    };
    for (const auto& read : readers) {
        Import small(2, 16);
        small.ui.SetStrict(false);
        FormatContext c = small.Ctx();
        EXPECT_EQ(read(small.target, c, small.out), 2);
        EXPECT_NE(small.ui.Messages().back().find("Only 2 traces has been read"), std::string::npos);
    }
}

TEST(TextExports, LayoutsPerrowAndEnergy)
{
    Matrix2D<float> rows(0, 1, 0, 3);
    std::vector<CTraceHeader> headers(2);
    headers[0].intervalUs = headers[1].intervalUs = 1000.0f;
    rows[0][0] = 1.0f;
    rows[0][1] = -2.0f;
    rows[1][0] = 0.5f;
    rows[1][1] = 3.0f;
    EXPECT_EQ(TextExportAsARow(rows, 2, 2), " 1.000000e+00 \n -2.000000e+00 \n 5.000000e-01 \n 3.000000e+00 \n");
    EXPECT_EQ(TextExportByTrace(rows, 2, 2), " 1.000000e+00  -2.000000e+00 \n 5.000000e-01  3.000000e+00 \n");
    EXPECT_EQ(VarnelText(rows, 1, 2), " 1 2 0 \n 1.000000 \n -2.000000 \n");
    EXPECT_EQ(EnergyText(rows, 2, 2), " 1.500000 \n 5.000000 \n");

    const auto files = PerrowFiles("survey01.dat", rows, headers, 2, 2);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[1].first, "rvey0102.cdm");
    EXPECT_EQ(files[1].second, " File=rvey0102.cdm    ch. 2\n                        unit\n\n"
                               "       0 00:00:00.000 500.000000\n       1 00:00:00.001 3000.000000\n");
    EXPECT_EQ(PerrowFiles("ab.sg", rows, headers, 1, 0)[0].first, ".sg01.cdm");
    EXPECT_EQ(PerrowPrefix("ab"), "");
}

}  // namespace
}  // namespace velk
