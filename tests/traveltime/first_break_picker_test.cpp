// The automatic first-break picker: the AIC split, a synthetic record with known onsets, the
// check that repicks an outlier, and repeatability across runs and threads.

#include "traveltime/first_break_picker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/synthetic.h"

namespace velk {
namespace {

constexpr double kPi = 3.14159265358979323846;

// 24 traces at 2, 4 .. 48 m, source at 0, 0.25 ms, 2048 samples: a causal damped 100 Hz sine
// from t_i = 20 ms + x_i / 500 m/s, and Gaussian noise of 1 % of the peak.
struct SyntheticRecord {
    static constexpr int kTraces = 24;
    static constexpr int kSamples = 2048;
    static constexpr float kIntervalMs = 0.25f;
    Matrix2D<float> rows{0, kTraces - 1, 0, kSamples - 1};
    std::vector<CTraceHeader> headers = std::vector<CTraceHeader>(kTraces);
    std::vector<float> times = std::vector<float>(kTraces);
    std::vector<int32_t> codes = std::vector<int32_t>(kTraces);

    SyntheticRecord()
    {
        SyntheticRandom random(7);
        FillGaussianNoise(rows, kTraces, kSamples, 0.01f, random);
        for (int i = 0; i < kTraces; ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, 200 * (i + 1), 0, 1, 1, 0.0f, 250.0f, kSamples);
            const double onset = Onset(i);
            for (int j = 0; j < kSamples; ++j) {
                const double t = j * kIntervalMs - onset;
                if (t >= 0.0) rows[i][j] += static_cast<float>(std::sin(2.0 * kPi * 0.1 * t) * std::exp(-t / 15.0));
            }
        }
    }
    static double Onset(int i) { return 20.0 + 2.0 * (i + 1) / 500.0 * 1000.0; }
    std::string Pick(const AutoPickSettings& s, int threads = 0)
    {
        return AutoPickFirstBreaks(rows, headers, kTraces, 1, times, codes, s, threads);
    }
};

AutoPickSettings NoBandPass(int rounds)
{
    AutoPickSettings s;
    s.bandPass = 0;
    s.numberOfChecking = rounds;
    return s;
}

TEST(FirstBreakPicker, AicOfAVarianceStepHasItsMinimumAtTheStep)
{
    std::vector<double> x(400);
    SyntheticRandom random(3);
    for (size_t j = 0; j < x.size(); ++j) {
        const double u = random.Uniform() - 0.5;
        x[j] = j < 200 ? u : 10.0 * u;
    }
    FirstBreakPicker picker;
    picker.windowLength = 100;
    picker.noiseStart = 50;
    picker.signalStart = 200;
    const AicPick pick = picker.PickAic(x, 1.0f);
    ASSERT_EQ(pick.status, AicPick::kPicked);
    EXPECT_NEAR(pick.t1, 200.0f, 1.0f);
}

// The noise model needs a window of noise: an onset inside the first window (one window is 128
// samples, 32 ms, at 100 Hz and 0.25 ms) is picked by chance, so those two traces are only
// required to be picked.
TEST(FirstBreakPicker, SyntheticRecordIsPickedAtItsOnsets)
{
    SyntheticRecord r;
    r.Pick(NoBandPass(1));
    for (int i = 0; i < SyntheticRecord::kTraces; ++i) {
        EXPECT_EQ(r.codes[static_cast<size_t>(i)], 1) << i;
        if (SyntheticRecord::Onset(i) < 32.0) continue;
        EXPECT_NEAR(r.times[static_cast<size_t>(i)], SyntheticRecord::Onset(i), 3 * SyntheticRecord::kIntervalMs) << i;
    }
}

TEST(FirstBreakPicker, CheckRepicksASpikeBeforeAFarOnset)
{
    SyntheticRecord r;
    constexpr int kFar = 15;  // 32 m
    const int spike = static_cast<int>((SyntheticRecord::Onset(kFar) - 30.0) / SyntheticRecord::kIntervalMs);
    r.rows[kFar][spike] = 2.0f;
    r.Pick(NoBandPass(0));
    const float unchecked = r.times[kFar];
    EXPECT_GT(std::fabs(unchecked - SyntheticRecord::Onset(kFar)), 10.0);  // the spike fooled the first pick
    const std::string log = r.Pick(NoBandPass(1));
    EXPECT_NEAR(r.times[kFar], SyntheticRecord::Onset(kFar), 5 * SyntheticRecord::kIntervalMs) << unchecked;
    EXPECT_NE(log.find("Check 1 15 "), std::string::npos) << log;
}

TEST(FirstBreakPicker, BandPassedPicksRepeatAndDoNotDependOnThreads)
{
    SyntheticRecord r;
    const AutoPickSettings s;  // band-pass on, one round
    const std::string log = r.Pick(s, 1);
    const std::vector<float> serial = r.times;
    EXPECT_EQ(r.Pick(s, 1), log);
    EXPECT_EQ(r.times, serial);
    EXPECT_EQ(r.Pick(s, 8), log);
    EXPECT_EQ(r.times, serial);
    for (int i = 0; i < SyntheticRecord::kTraces; ++i) {
        EXPECT_NEAR(serial[static_cast<size_t>(i)], SyntheticRecord::Onset(i), 12 * SyntheticRecord::kIntervalMs) << i;
    }
}

}  // namespace
}  // namespace velk
