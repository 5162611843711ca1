// The tau-p energy of a record.

#include "surfacewave/taup_stack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "surfacewave/taup_settings.h"

namespace velk {
namespace {

// 24 traces at 1..24 m from a source at 0, 1 ms sampling, one spike per trace along the
// moveout t = 20 ms + p0 x.
struct LinearEvent {
    explicit LinearEvent(float p0) : rows(0, 23, 0, 255), headers(24)
    {
        for (int t = 0; t < 24; ++t) {
            headers[static_cast<size_t>(t)].Set(t + 1, 100 * (t + 1), 0, 1, 1, 0.0f, 1000.0f, 256);
            rows[t][20 + static_cast<int>(std::lround(p0 * (t + 1)))] = 1.0f;
        }
    }
    Matrix2D<float> rows;
    std::vector<CTraceHeader> headers;
};

TEST(TauPStackRecord, LargestEnergyAtTheEventsSlownessAndNoDivisionByZero)
{
    const LinearEvent record(2.5f);
    struct Case {
        float start, end, step;
        int expectedCount;
        float expectedAxisAtBest;
    };
    const Case cases[] = {
        {0.5f, 5.0f, 0.25f, 19, 0.4f},  // 1 / 2.5 s/km
        {0.0f, 5.0f, 0.25f, 21, 0.4f},  // p = 0 gives axis 0, never inf
    };
    for (const Case& c : cases) {
        TauPSettings s;
        s.startSlowness = c.start, s.endSlowness = c.end, s.slownessStep = c.step, s.stackingMode = 0;
        std::vector<float> energy, axis;
        ASSERT_EQ(TauPStackRecord(record.rows, record.headers, 24, s, energy, axis, 0), c.expectedCount);
        const auto best = std::max_element(energy.begin(), energy.end()) - energy.begin();
        EXPECT_FLOAT_EQ(energy[static_cast<size_t>(best)], 1.0f);
        EXPECT_NEAR(axis[static_cast<size_t>(best)], c.expectedAxisAtBest, 1e-5f);
        for (size_t i = 0; i < axis.size(); ++i) EXPECT_TRUE(std::isfinite(axis[i]) && std::isfinite(energy[i]));
        if (c.start == 0.0f) {
            EXPECT_EQ(axis[0], 0.0f);
        }
    }
}

TEST(TauPStackRecord, SilentRecordAndEmptyRangeGiveZeros)
{
    Matrix2D<float> rows(0, 3, 0, 63);
    std::vector<CTraceHeader> headers(4);
    for (int t = 0; t < 4; ++t) headers[static_cast<size_t>(t)].Set(t + 1, 100 * t, 0, 1, 1, 0.0f, 1000.0f, 64);
    TauPSettings s;  // defaults: 10 slownesses
    std::vector<float> energy, axis;
    ASSERT_EQ(TauPStackRecord(rows, headers, 4, s, energy, axis, 0), 10);
    for (const float e : energy) EXPECT_EQ(e, 0.0f);
    s.slownessStep = 0.0f;
    EXPECT_EQ(TauPStackRecord(rows, headers, 4, s, energy, axis, 0), 0);
    EXPECT_TRUE(energy.empty());
}

}  // namespace
}  // namespace velk
