#include "traveltime/zero_offset_models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "traveltime/theoretical_traveltime.h"

namespace velk {
namespace {

// A wavelet whose only value is w[2]: every arrival at sample k leaves -1/L at sample k + 1,
// whether it counts from k or from k + 1, so each arrival is one non-zero sample.
std::vector<float> Spike(int samples)
{
    std::vector<float> w(static_cast<size_t>(samples) + 1, 0.0f);
    w[2] = 1.0f;
    return w;
}

std::vector<int> NonZero(const Matrix2D<float>& rows, int trace, int samples)
{
    std::vector<int> at;
    for (int j = 0; j < samples; ++j)
        if (rows.Row(trace)[static_cast<size_t>(j)] != 0.0f) at.push_back(j);
    return at;
}

// The nearest point of a segment by ternary search (the distance is convex along it).
double NearestTwoWayTime(double x, int segment, double from, double to, double velocity)
{
    auto d = [&](double m) { return std::hypot(x - m, DippingSegmentDepth(segment, m)); };
    for (int i = 0; i < 200; ++i) {
        const double a = from + (to - from) / 3.0, b = to - (to - from) / 3.0;
        if (d(a) < d(b)) {
            to = b;
        } else {
            from = a;
        }
    }
    return 2.0 * d(0.5 * (from + to)) / velocity;
}

TEST(ZeroOffsetModels, DippingSegmentsArriveFromTheirNearestPoints)
{
    const double ranges[4][2] = {{0, 75}, {75, 150}, {150, 225}, {225, 2000}};
    for (int x = 1; x <= 301; ++x) {
        const auto arrivals = DippingSegmentArrivals(x, 4.0f);
        for (int s = 0; s < 4; ++s) {
            EXPECT_NEAR(arrivals[static_cast<size_t>(s)].timeMs,
                        NearestTwoWayTime(x, s + 1, ranges[s][0], ranges[s][1], 4.0), 1e-4)
                << x << " " << s;
        }
    }
    // The desired migration jumps where the segments end, and nowhere else.
    Matrix2D<float> rows(0, 300, 0, 1023);
    const std::vector<float> w = Spike(1024);
    ModelDesiredMigration({rows, 301, 1024, 0.1f, w}, 4.0f);
    std::vector<int> jumps;
    for (int t = 1; t < 301; ++t) {
        const int step = NonZero(rows, t, 1024).front() - NonZero(rows, t - 1, 1024).front();
        if (std::abs(step) > 50) jumps.push_back(t + 1);  // x of the later trace
    }
    EXPECT_EQ(jumps, (std::vector<int>{75, 150, 225}));
}

TEST(ZeroOffsetModels, TwoLayerRecordHasOneReflectionInsideTheCriticalDistanceAndNoHeadWaveWithoutOne)
{
    CTheoreticalTraveltime model(1);  // 0.3, 1.5 km/s, 5 m: critical distance 2.04 m
    const int n = 1024;
    const std::vector<float> w = Spike(n);
    Matrix2D<float> rows(0, 23, 0, n - 1);
    ModelTwoLayerRecord({rows, 24, n, 0.1f, w}, model, 1.0f, 0.0f, false);
    EXPECT_EQ(NonZero(rows, 1, n).size(), 1u);  // x = 2 m
    for (int t : {5, 23}) {                     // beyond it: head wave first, then the reflection
        const auto at = NonZero(rows, t, n);
        const auto times = model.ComputeTheoreticalTimes(static_cast<float>(t + 1), 0.0f);
        ASSERT_EQ(at.size(), 2u);
        EXPECT_EQ(at[0], static_cast<int>(times.head / static_cast<double>(0.1f)) + 1);
    }
    rows = Matrix2D<float>(0, 23, 0, n - 1);
    model.v1 = 2.0f;  // faster on top: no head wave
    ModelTwoLayerRecord({rows, 24, n, 0.1f, w}, model, 1.0f, 0.0f, true);
    for (int t = 0; t < 24; ++t) {
        EXPECT_EQ(NonZero(rows, t, n).size(), 2u) << t;  // direct and reflection
        for (int j = 0; j < n; ++j) ASSERT_TRUE(std::isfinite(rows.Row(t)[static_cast<size_t>(j)]));
    }
}

TEST(ZeroOffsetModels, ComplexStructureTableAndImpulseBelow101Traces)
{
    EXPECT_DOUBLE_EQ(ComplexStructureDepth(0), 45.0);
    EXPECT_DOUBLE_EQ(ComplexStructureDepth(4), 43.0);
    EXPECT_DOUBLE_EQ(ComplexStructureDepth(112), 69.1);
    EXPECT_DOUBLE_EQ(ComplexStructureDepth(300), 56.5);
    const std::vector<float> w = Spike(400);
    Matrix2D<float> rows(0, 100, 0, 399);
    ModelImpulse({rows, 100, 400, 0.1f, w});
    for (int t = 0; t < 100; ++t) EXPECT_TRUE(NonZero(rows, t, 400).empty());
    ModelImpulse({rows, 101, 400, 0.1f, w});
    EXPECT_EQ(NonZero(rows, 100, 400), std::vector<int>{201});
}

}  // namespace
}  // namespace velk
