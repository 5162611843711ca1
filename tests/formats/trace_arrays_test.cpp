// Trace-array helpers: the stable sort by receiver over every per-trace array, the key file,
// the repeated-configuration test and the per-trace measurements.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "base/waveform_store.h"
#include "formats/trace_arrays.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::TempFolder;
using velk::testing::WriteFileText;

// n traces; trace i has receiver receivers[i] (hundredths), number i + 1, gain 10 + i, delay
// i us, and samples i*100 + k for k < 4.
struct Record {
    explicit Record(std::vector<int32_t> receivers) : rows(0, static_cast<int>(receivers.size()) - 1, 0, 7)
    {
        const int n = static_cast<int>(receivers.size());
        headers.resize(static_cast<size_t>(n));
        ex.resize(static_cast<size_t>(n));
        peaks.resize(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, receivers[static_cast<size_t>(i)], -i, 10 + i, 1 + i,
                                                static_cast<float>(i), 250.0f, 4);
            ex[static_cast<size_t>(i)].latitude = static_cast<float>(i);
            peaks[static_cast<size_t>(i)] = static_cast<float>(i) * 0.5f;
            for (int k = 0; k < 4; ++k) rows[i][k] = static_cast<float>(i * 100 + k);
        }
    }
    Matrix2D<float> rows;
    std::vector<CTraceHeader> headers;
    std::vector<CTraceHeaderEx> ex;
    std::vector<float> peaks;
};

// The original index of each position, read back from the samples.
std::vector<int> Origins(const Record& r)
{
    std::vector<int> origins;
    for (size_t i = 0; i < r.headers.size(); ++i) origins.push_back(static_cast<int>(r.rows[static_cast<int>(i)][0]) / 100);
    return origins;
}

TEST(SortTracesByReceiver, StableAndEveryArrayMovesTogether)
{
    Record r({300, 100, 200, 100, 0});
    const std::vector<int> order = SortTracesByReceiver(5, r.headers, r.rows, r.peaks, r.ex);
    EXPECT_EQ(order, (std::vector<int>{4, 1, 3, 2, 0}));
    EXPECT_EQ(Origins(r), order);
    for (int i = 0; i < 5; ++i) {
        const int from = order[static_cast<size_t>(i)];
        const CTraceHeader& h = r.headers[static_cast<size_t>(i)];
        EXPECT_EQ(h.traceNumber, i + 1) << "the number stays with the position";
        EXPECT_EQ(h.sourceHundredths, -from);
        EXPECT_EQ(h.gain, 10 + from) << "gain moves with the samples";
        EXPECT_EQ(h.component, 1 + from);
        EXPECT_EQ(h.delayUs, static_cast<float>(from)) << "delay moves with the samples";
        EXPECT_EQ(r.peaks[static_cast<size_t>(i)], from * 0.5f);
        EXPECT_EQ(r.ex[static_cast<size_t>(i)].latitude, static_cast<float>(from));
        EXPECT_EQ(r.ex[static_cast<size_t>(i)].traceNumber, 0) << "the extended number stays too";
        EXPECT_EQ(r.rows[i][3], from * 100 + 3.0f);
    }
}

TEST(SortTracesByReceiver, LargeReceiversGoLastAndNothingIsLost)
{
    Record r({100000000, 5, INT32_MAX, -7, 100000000, INT32_MIN});
    SortTracesByReceiver(6, r.headers, r.rows, r.peaks);
    std::vector<int32_t> receivers;
    for (const CTraceHeader& h : r.headers) receivers.push_back(h.receiverHundredths);
    EXPECT_EQ(receivers, (std::vector<int32_t>{INT32_MIN, -7, 5, 100000000, 100000000, INT32_MAX}));
    EXPECT_EQ(Origins(r), (std::vector<int>{5, 3, 1, 0, 4, 2}));
}

TEST(SortTracesByReceiver, OneTraceOrOnlyAPrefix)
{
    Record one({7});
    EXPECT_TRUE(SortTracesByReceiver(1, one.headers, one.rows, one.peaks).empty());
    Record r({300, 200, 100});
    SortTracesByReceiver(2, r.headers, r.rows, r.peaks);
    EXPECT_EQ(Origins(r), (std::vector<int>{1, 0, 2}));
}

TEST(SortTracesWithStationRecords, StationRecordsFollow)
{
    Record r({30, 10, 20});
    std::vector<std::string> stations{"C", "A", "B"};
    SortTracesWithStationRecords(3, r.headers, r.rows, r.peaks,
                                 [&](std::span<const int> order) { ApplyTraceOrder<std::string>(order, stations); });
    EXPECT_EQ(stations, (std::vector<std::string>{"A", "B", "C"}));
}

TEST(SortStoreByReceiver, EveryPerTraceArrayOfTheStore)
{
    WaveformStore store;
    store.SetCapacity(8, 16);
    store.AllocateParameterSets();
    ASSERT_TRUE(store.AllocateWaveformStore());
    const int32_t receivers[] = {500, 100, 300};
    for (int i = 0; i < 3; ++i) {
        store.current.headers[static_cast<size_t>(i)].Set(i + 1, receivers[i], 0, 0, 1, 0.0f, 100.0f, 4);
        store.headersEx[static_cast<size_t>(i)].x = static_cast<float>(i);
        store.current.rows[i][0] = static_cast<float>(i);
        CParameterSet& p = store.Params();
        p.traceMaxima[static_cast<size_t>(i)] = 10.0f + i;
        p.pickTimes[static_cast<size_t>(i)] = 20.0f + i;
        p.layerCodes[static_cast<size_t>(i)] = 30 + i;
        p.selectionFlags[static_cast<size_t>(i)] = i == 0;
        store.displayFactor[static_cast<size_t>(i)] = 40.0f + i;
        store.mark[static_cast<size_t>(i)] = 50 + i;
        store.pickAmplitude[static_cast<size_t>(i)] = 60.0f + i;
        store.timeShift[static_cast<size_t>(i)] = 70.0f + i;
    }
    store.Params().traceCount = 3;
    SortStoreByReceiver(store, 3);
    const int expected[] = {1, 2, 0};
    for (int i = 0; i < 3; ++i) {
        const int from = expected[i];
        const auto at = static_cast<size_t>(i);
        EXPECT_EQ(store.current.rows[i][0], static_cast<float>(from));
        EXPECT_EQ(store.current.headers[at].receiverHundredths, receivers[from]);
        EXPECT_EQ(store.current.headers[at].traceNumber, i + 1);
        EXPECT_EQ(store.headersEx[at].x, static_cast<float>(from));
        EXPECT_EQ(store.Params().traceMaxima[at], 10.0f + from);
        EXPECT_EQ(store.Params().pickTimes[at], 20.0f + from);
        EXPECT_EQ(store.Params().layerCodes[at], 30 + from);
        EXPECT_EQ(store.Params().selectionFlags[at], from == 0 ? 1 : 0);
        EXPECT_EQ(store.displayFactor[at], 40.0f + from);
        EXPECT_EQ(store.mark[at], 50 + from);
        EXPECT_EQ(store.pickAmplitude[at], 60.0f + from);
        EXPECT_EQ(store.timeShift[at], 70.0f + from);
    }
}

TEST(HasRepeatedConfiguration, SameReceiverAndSource)
{
    Record r({100, 200, 100});
    EXPECT_EQ(HasRepeatedConfiguration(3, r.headers), 0);  // sources differ (0, -1, -2)
    r.headers[2].sourceHundredths = 0;
    EXPECT_EQ(HasRepeatedConfiguration(3, r.headers), 1);
    EXPECT_EQ(HasRepeatedConfiguration(2, r.headers), 0);
    EXPECT_EQ(HasRepeatedConfiguration(0, r.headers), 0);
}

TEST(ApplyKeyFile, KeepsTheNamedTracesOrderedByTheNewReceivers)
{
    TempFolder folder;
    const std::string key = folder.File("key.txt");
    WriteFileText(key, "3 700 -100 2 9 9\n1 500 -100 4 0 0\n");
    Record r({0, 100, 200, 300});
    r.headers[0].samples = 3;
    r.headers[0].intervalUs = 125.0f;
    EXPECT_EQ(ApplyKeyFile(r.rows, r.headers, 4, key), 2);
    // Trace 1 (receiver 500) before trace 3 (receiver 700).
    EXPECT_EQ(r.rows[0][0], 0.0f);
    EXPECT_EQ(r.rows[1][0], 200.0f);
    EXPECT_EQ(r.headers[0].receiverHundredths, 500);
    EXPECT_EQ(r.headers[1].receiverHundredths, 700);
    EXPECT_EQ(r.headers[0].component, 4);
    EXPECT_EQ(r.headers[1].component, 2);
    EXPECT_EQ(r.headers[0].traceNumber, 0);
    EXPECT_EQ(r.headers[1].traceNumber, 1);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(r.headers[static_cast<size_t>(i)].sourceHundredths, -100);
        EXPECT_EQ(r.headers[static_cast<size_t>(i)].gain, 1);
        EXPECT_EQ(r.headers[static_cast<size_t>(i)].delayUs, 0.0f);
        EXPECT_EQ(r.headers[static_cast<size_t>(i)].intervalUs, 125.0f);
        EXPECT_EQ(r.headers[static_cast<size_t>(i)].samples, 3);
    }
}

TEST(ApplyKeyFile, MissingFileChangesNothingAndABadLineEndsTheKeys)
{
    Record r({0, 100, 200});
    const std::vector<CTraceHeader> before = r.headers;
    EXPECT_EQ(ApplyKeyFile(r.rows, r.headers, 3, "/nonexistent/key.txt"), 0);
    EXPECT_EQ(r.headers, before);

    const std::vector<KeyLine> lines = ParseKeyText("1 1 1 1 1 1\n\n2 2 2 2 2 2\n3 3 x 3 3 3\n1 9 9 9 9 9\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].trace, 2);
    EXPECT_TRUE(ParseKeyText("1 2 3 4 5\n").empty()) << "five values do not scan";
    EXPECT_EQ(ParseKeyText("1 2 3 4 5 6").size(), 1u) << "no final line feed";

    TempFolder folder;
    WriteFileText(folder.File("k"), "2 10 0 1 0 0\n2 90 0 1 0 0\n");
    EXPECT_EQ(ApplyKeyFile(r.rows, r.headers, 3, folder.File("k")), 1);
    EXPECT_EQ(r.headers[0].receiverHundredths, 10) << "the first line naming a trace counts";
    EXPECT_EQ(r.rows[0][1], 101.0f);
}

TEST(NormalizeTracesByMax, DividesByTheLargestSignedValue)
{
    Record r({0, 1, 2});
    r.rows[0][0] = -8.0f;
    r.rows[0][1] = 4.0f;
    r.rows[0][2] = 2.0f;
    r.rows[0][3] = 0.0f;
    for (int k = 0; k < 4; ++k) r.rows[1][k] = -1.0f - k;  // never above 0: unchanged
    for (int k = 0; k < 4; ++k) r.rows[2][k] = 0.0f;
    NormalizeTracesByMax(r.rows, r.headers, 3);
    EXPECT_EQ(r.rows[0][0], -2.0f);
    EXPECT_EQ(r.rows[0][1], 1.0f);
    EXPECT_EQ(r.rows[1][3], -4.0f);
    EXPECT_EQ(r.rows[2][0], 0.0f);
}

TEST(TraceMeasurements, MaxSampleCountAndPeakTimes)
{
    Record r({0, 100, 200});
    r.headers[1].samples = 7;
    EXPECT_EQ(MaxSampleCount(3, r.headers), 7);
    EXPECT_EQ(MaxSampleCount(1, r.headers), 4);
    EXPECT_EQ(MaxSampleCount(0, r.headers), 0);

    r.headers[1].samples = 4;
    for (int k = 0; k < 4; ++k) {
        r.rows[0][k] = 0.0f;
        r.rows[1][k] = 0.0f;
    }
    r.rows[1][2] = -3.0f;
    r.rows[1][3] = 3.0f;  // equal |value| later: the first counts
    std::vector<float> times(3);
    std::vector<int32_t> flags(3, 7);
    PeakTimePerTrace(r.rows, r.headers, 3, times, flags);
    EXPECT_EQ(times[0], kNoPeakTime);
    EXPECT_EQ(flags[0], 0) << "an all-zero trace has no peak";
    EXPECT_FLOAT_EQ(times[1], 0.5f);  // sample 2 x 250 us
    EXPECT_EQ(flags[1], 1);
    EXPECT_FLOAT_EQ(times[2], 0.75f);  // 203 at sample 3
}

TEST(PickPeakTimes, FirstTraceNoPickOffsetsAndLimits)
{
    // 5 traces of 8 samples at 10 ms: receivers 0, 1, 5, 10, 20 m.
    Matrix2D<float> rows(0, 4, 0, 7);
    std::vector<CTraceHeader> h(5);
    const int32_t receivers[] = {0, 100, 500, 1000, 2000};
    for (int i = 0; i < 5; ++i) h[static_cast<size_t>(i)].Set(i, receivers[i], 0, 0, 1, 0.0f, 10000.0f, 8);
    rows[2][3] = 5.0f;   // 30 ms
    rows[3][7] = 9.0f;   // on the last sample: no pick
    rows[3][1] = 2.0f;
    rows[4][0] = 99.0f;  // at 0 ms, not later than the minimum time
    rows[4][5] = 4.0f;   // 50 ms
    std::vector<float> times(5), offsets(5), out(5);
    std::vector<int32_t> flags(5);
    PeakPickParameters p;
    p.medianSmoothing = 0;
    p.minimumTime = 0.005f;  // 5 ms
    EXPECT_EQ(PickPeakTimes(rows, h, 5, times, flags, offsets, out, p, false), 5);
    EXPECT_EQ(times[0], kNoPeakTime);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(times[1], kNoPeakTime) << "offset 1 m is below the minimum offset of 2 m";
    EXPECT_EQ(times[2], 30.0f);
    EXPECT_EQ(out[2], 5.0f);
    EXPECT_EQ(times[3], kNoPeakTime);
    EXPECT_EQ(times[4], 50.0f);
    EXPECT_EQ(offsets[4], 20.0f);

    // With the ratio check: 30 ms at 5 m is 6 ms/m, above 4 x 1.0.
    p.ratioCheck = 1;
    PickPeakTimes(rows, h, 5, times, flags, offsets, out, p, false);
    EXPECT_EQ(times[2], kNoPeakTime);
    EXPECT_EQ(times[4], 50.0f);  // 2.5 ms/m
}

TEST(PickPeakTimes, DialogDefaultsAndCancel)
{
    Matrix2D<float> rows(0, 1, 0, 3);
    std::vector<CTraceHeader> h(2);
    std::vector<float> times{-0.1f, 3.0f}, offsets(2), out(2);
    std::vector<int32_t> flags(2);
    PeakPickParameters p;
    p.mode = 1;
    p.distanceUnit = "ft";
    p.minimumOffset = 99.0f;
    int shown = 0;
    EXPECT_EQ(PickPeakTimes(rows, h, 2, times, flags, offsets, out, p, true, [&](PeakPickParameters& q) {
                  ++shown;
                  EXPECT_EQ(q.minimumOffset, 5.0f);
                  EXPECT_EQ(q.minimumTime, 0.1f);
                  return false;
              }),
              0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(p.firstUse, 1);
    EXPECT_EQ(times[1], 3.0f);
}

TEST(MedianSmoothPicks, WindowInsideTheRecord)
{
    std::vector<float> t{-0.1f, 10.0f, 50.0f, 12.0f, 14.0f, -0.1f};
    MedianSmoothPicks(6, t, 3);
    EXPECT_EQ(t[0], -0.1f);
    EXPECT_EQ(t[1], 50.0f);  // window {10, 50} (index 0 excluded): upper middle
    EXPECT_EQ(t[2], 12.0f);
    EXPECT_EQ(t[3], 14.0f);
    EXPECT_EQ(t[4], 12.0f);  // {12, 14, -0.1}
    EXPECT_EQ(t[5], -0.1f) << "no pick stays no pick";
}

TEST(DurationTime, FirstToLastAboveTheThreshold)
{
    const std::vector<float> s{0.0f, 0.2f, -1.0f, 0.0f, 0.6f, 0.1f};
    EXPECT_DOUBLE_EQ(DurationTime(1000.0f, 6, 0.5f, s), 0.002);  // samples 2 to 4
    EXPECT_DOUBLE_EQ(DurationTime(1000.0f, 6, 0.1f, s), 0.003);  // 1 to 4 (0.1 is not above 0.1)
    EXPECT_EQ(DurationTime(1000.0f, 6, 1.0f, s), 0.0);
    EXPECT_EQ(DurationTime(1000.0f, 0, 0.5f, s), 0.0);
}

}  // namespace
}  // namespace velk
