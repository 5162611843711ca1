// The set-up step after a record arrives: scales of a first record, the window, the interval
// check; and the clamps that keep scales and windows in range.

#include <cmath>
#include <limits>

#include "app/view/record_extents.h"
#include "app/view/view_fixture.h"

namespace velk {
namespace {

using viewtest::ViewTest;

using RecordExtents = ViewTest;

TEST_F(RecordExtents, FirstLoadScalesByRecordLength)
{
    const struct { int samples; float hscale; } cases[] = {
        {1000, 25.0f}, {2048, 25.0f}, {2049, 5.0f}, {3000, 5.0f}, {4096, 5.0f}, {4097, 2.0f}, {4101, 2.0f},
    };
    for (const auto& c : cases) {
        Build("[General]\nMAXTRACES=4\n");
        Load(2, c.samples);
        EXPECT_TRUE(RecalcRecordExtents(*ws, 1));
        EXPECT_EQ(ws->store.Params().hscale, c.hscale) << c.samples;
        EXPECT_EQ(ws->store.Params().plotscale, 50.0f) << c.samples;
    }
}

TEST_F(RecordExtents, LaterLoadsAndReplaceZeroKeepTheScales)
{
    Load(3, 1000);
    RecalcRecordExtents(*ws, 0);  // not a first load: the profile's scales stay
    EXPECT_EQ(ws->store.Params().hscale, 1.0f);
    EXPECT_EQ(ws->store.Params().plotscale, 20.0f);

    RecalcRecordExtents(*ws, 1);
    EXPECT_EQ(ws->store.Params().hscale, 25.0f);
    ws->store.Params().hscale = 7.0f;
    Load(3, 5000);
    RecalcRecordExtents(*ws, 1);
    EXPECT_EQ(ws->store.Params().hscale, 7.0f);
    EXPECT_EQ(ws->store.Params().plotscale, 50.0f);
}

TEST_F(RecordExtents, WindowCountsReceiversAndMaxima)
{
    Load(4, 800, 250.0f, 1.0f, 12.5f);
    ws->store.current.headers[2].samples = 1200;  // the longest trace decides
    ws->store.current.rows[1][3] = -90000.0f;
    ws->display.firstSampleShown = 300;
    ws->display.firstTraceShown = 2;
    ws->display.axesFixed = 1;
    ws->store.Params().timeAxisStart = 40.0f;

    ASSERT_TRUE(RecalcRecordExtents(*ws, 0));
    const CParameterSet& p = ws->store.Params();
    EXPECT_EQ(p.samplesPerTrace, 1200);
    EXPECT_FLOAT_EQ(p.sampleInterval, 0.25f);
    EXPECT_EQ(p.samplesShown, 1200);
    EXPECT_EQ(p.tracesShown, 4);
    EXPECT_FLOAT_EQ(p.shownTime, 300.0f);
    EXPECT_EQ(p.timeAxisStart, 0.0f);
    EXPECT_EQ(ws->display.firstSampleShown, 0);
    EXPECT_EQ(ws->display.firstTraceShown, 0);
    EXPECT_EQ(ws->display.axesFixed, 0);
    EXPECT_FLOAT_EQ(ws->display.firstReceiver, 12.5f);
    EXPECT_FLOAT_EQ(ws->display.lastReceiver, 15.5f);
    EXPECT_EQ(p.traceMaxima[1], 90000.0f);
    EXPECT_EQ(p.recordMaximum, 90000.0f);
}

TEST_F(RecordExtents, AnIntervalThatCannotBeUsedIsReported)
{
    for (float us : {0.0f, -250.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        Load(2, 100, us);
        EXPECT_FALSE(RecalcRecordExtents(*ws, 0)) << us;
        EXPECT_EQ(ws->store.Params().samplesShown, 100);  // the rest is still set
    }
    EXPECT_EQ(InvalidIntervalMessage(-1), "The sampling time of this record is not valid.");
    EXPECT_NE(InvalidIntervalMessage(1), InvalidIntervalMessage(-1));
}

TEST_F(RecordExtents, AnEmptyRecordKeepsItsInterval)
{
    ws->store.Params().traceCount = 0;
    ws->store.Params().sampleInterval = 0.5f;
    EXPECT_TRUE(RecalcRecordExtents(*ws, 1));
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 0);
    EXPECT_EQ(ws->store.Params().sampleInterval, 0.5f);
    EXPECT_EQ(ws->store.Params().recordMaximum, 0.0f);
}

TEST(ScaleLimits, ProductsStayFinitePositiveAndNaNIsRefused)
{
    float s = 1.0f;
    for (int i = 0; i < 500; ++i) MultiplyScale(s, 2.0 / 3.0);
    EXPECT_EQ(s, kScaleMin);
    for (int i = 0; i < 500; ++i) MultiplyScale(s, 5.0);
    EXPECT_EQ(s, kScaleMax);
    EXPECT_EQ(ClampScale(std::numeric_limits<float>::quiet_NaN()), kScaleMin);
    EXPECT_EQ(ClampScale(-3.0f), kScaleMin);
    EXPECT_EQ(ClampScale(3.0f), 3.0f);
}

TEST_F(RecordExtents, WindowClampAppliesTheLowerBoundLast)
{
    Load(5, 300);
    RecalcRecordExtents(*ws, 0);
    CParameterSet& p = ws->store.Params();
    p.tracesShown = 12;   // more than exist
    p.samplesShown = 200;
    ws->display.firstTraceShown = 3;
    ws->display.firstSampleShown = 250;
    ClampDisplayWindow(*ws);
    EXPECT_EQ(p.tracesShown, 5);
    EXPECT_EQ(ws->display.firstTraceShown, 0);
    EXPECT_EQ(ws->display.firstSampleShown, 100);
    EXPECT_FLOAT_EQ(p.windowStartTime, 100.0f);
    EXPECT_FLOAT_EQ(p.shownTime, 200.0f);
}

}  // namespace
}  // namespace velk
