#include "traveltime/theoretical_traveltime.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/profile.h"

namespace velk {
namespace {

TEST(TheoreticalTraveltime, TimesOfTheTwoLayerModelAndTheStatusTexts)
{
    CTheoreticalTraveltime m(4);
    // V1 0.3, V2 1.5, D 5: inside 2 D tan(critical angle) = 2.04 m the head wave is the reflection.
    auto near = m.ComputeTheoreticalTimes(3.0f, 1.0f);
    EXPECT_FLOAT_EQ(near.direct, 2.0f / 0.3f);
    EXPECT_FLOAT_EQ(near.reflection, std::sqrt(100.0f + 4.0f) / 0.3f);
    EXPECT_FLOAT_EQ(near.head, near.reflection);
    auto far = m.ComputeTheoreticalTimes(-29.0f, 1.0f);  // 30 m on the other side
    const double c = std::sqrt(1.0 - 0.2 * 0.2);
    EXPECT_NEAR(far.head, 2 * 5 * c / 0.3 + 30 / 1.5, 1e-4);
    EXPECT_LT(far.head, far.direct);

    EXPECT_EQ(m.FormatTheoreticalTraveltimeStatus(-1), "Status : theoretical traveltime V1=0.3 V2=1.5 D=5.0 ");
    EXPECT_EQ(m.FormatModifyLabel(-1), "");
    m.modifiedParameter = 1;
    EXPECT_EQ(m.FormatModifyLabel(-1), "modify:V2");
    m.mode = 1;
    EXPECT_EQ(m.FormatModifyLabel(-1), "modify:D1");
    m.modifiedParameter = 2;
    EXPECT_EQ(m.FormatModifyLabel(-1), "modify:D1");
}

TEST(TheoreticalTraveltime, CriticalDistanceCrossoverAndModelsWithoutAHeadWave)
{
    CTheoreticalTraveltime m(1);
    const double s = 0.3 / 1.5, c = std::sqrt(1.0 - s * s);
    const double critical = 2.0 * 5.0 * s / c;          // 2.04 m
    const double crossover = 10.0 * std::sqrt(1.8 / 1.2);  // 12.25 m
    EXPECT_NEAR(critical, 2.04, 0.01);
    const auto inside = m.ComputeTheoreticalTimes(static_cast<float>(critical - 0.01), 0.0f);
    EXPECT_EQ(inside.head, inside.reflection);
    EXPECT_FALSE(m.HeadWaveAt(critical - 0.01));
    EXPECT_TRUE(m.HeadWaveAt(critical + 0.01));
    const auto cross = m.ComputeTheoreticalTimes(static_cast<float>(crossover), 0.0f);
    EXPECT_NEAR(cross.direct, cross.head, 1e-4);

    struct Case {
        float v1, v2;
        bool direct;
    };
    for (const Case& k : {Case{1.5f, 1.5f, true}, Case{2.0f, 1.5f, true}, Case{0.0f, 1.5f, false}}) {
        m.v1 = k.v1;
        m.v2 = k.v2;
        for (float x : {0.0f, 1.0f, 30.0f}) {
            const auto t = m.ComputeTheoreticalTimes(x, 0.0f);
            EXPECT_EQ(t.head, -1.0f) << k.v1;
            EXPECT_FALSE(m.HeadWaveAt(x));
            EXPECT_EQ(t.direct >= 0.0f, k.direct);
            EXPECT_FALSE(std::isnan(t.direct) || std::isnan(t.reflection));
        }
    }
}

// The reflection of a VSP by Fermat's principle: the shortest path from the source over a point
// of the reflector line to the receiver, searched along the line.
double FermatTime(double zs, double zr, double x, double angle, double velocity)
{
    const double a = angle * 3.14159265358979 / 180.0;
    const double dz = std::cos(a), dy = std::sin(a);
    double lo = -500.0, hi = 500.0;
    auto path = [&](double s) {
        const double pz = x + s * dz, py = s * dy;
        return std::hypot(pz - zs, py) + std::hypot(pz - zr, py);
    };
    for (int i = 0; i < 200; ++i) {  // the path is convex along the line
        const double m1 = lo + (hi - lo) / 3.0, m2 = hi - (hi - lo) / 3.0;
        if (path(m1) < path(m2)) {
            hi = m2;
        } else {
            lo = m1;
        }
    }
    return path(0.5 * (lo + hi)) / velocity;
}

TEST(TheoreticalTraveltime, VspReflectionIsTheFermatMinimum)
{
    for (float angle : {30.0f, 60.0f, 120.0f}) {
        for (float zr : {0.0f, 5.0f, 12.0f, 23.0f}) {
            const auto t = CTheoreticalTraveltime::ComputeVspTimes(zr, 0.0f, 30.0f, angle, 3.0f);
            EXPECT_NEAR(t.reflection, FermatTime(0.0, zr, 30.0, angle, 3.0), 1e-4 * t.reflection) << angle << " " << zr;
            EXPECT_FLOAT_EQ(t.direct, zr / 3.0f);
        }
    }
    // At 90 degrees: 2 |x - zr| + |zs - zr|.
    EXPECT_FLOAT_EQ(CTheoreticalTraveltime::ComputeVspTimes(10.0f, 0.0f, 30.0f, 90.05f, 2.0f).reflection, 25.0f);
    // The source and the receiver on either side of the reflector: the image path is shorter.
    EXPECT_EQ(CTheoreticalTraveltime::ComputeVspTimes(40.0f, 0.0f, 30.0f, 60.0f, 3.0f).reflection, -1.0f);
}

TEST(TheoreticalTraveltime, KeysSurviveASaveAndTheModelSwitchesSetTheCurves)
{
    CTheoreticalTraveltime m(4);
    m.v1 = 0.4f;
    m.v2 = 2.0f;
    m.depth = 7.5f;
    m.SetupGroundWaterTable();
    EXPECT_EQ(m.v2, 1.5f);
    EXPECT_EQ(m.curveCount, 2);
    Profile p = Profile::FromText("");
    m.SaveSettings(p);
    EXPECT_EQ(p.GetString("General", "depth_2nd_layer"), "7.500000");
    CTheoreticalTraveltime back(4);
    back.LoadSettings(p);
    EXPECT_EQ(back.v1, 0.4f);
    EXPECT_EQ(back.v2, 1.5f);
    EXPECT_EQ(back.depth, 7.5f);
    EXPECT_EQ(back.mode, 1);
    EXPECT_EQ(back.curveCount, 2);
    back.SetupTwoLayerModel();
    EXPECT_EQ(back.curveCount, 3);
    EXPECT_EQ(back.mode, 0);
}

}  // namespace
}  // namespace velk
