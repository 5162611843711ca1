#include "traveltime/theoretical_traveltime.h"

#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
}  // namespace velk
