// Filter response curves: the slope curve (MakeSlopeFilter, MakeSlopeFilter1) and the
// cosine-taper curve (MakeCosineTaperFilter) with its diagnostic "filter.txt".

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/band_pass.h"
#include "fixture.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using dsptest::Fixture;

const Fixture& CurvesFixture()
{
    static const Fixture fixture("curves.txt");
    return fixture;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(SlopeCurve, MatchesNumpyWithTheSameRoundingPoints)
{
    for (int i = 0; CurvesFixture().Has("slope_" + std::to_string(i)); ++i) {
        const std::vector<double>& p = CurvesFixture().Get("slope_params_" + std::to_string(i));
        const std::vector<double>& expected = CurvesFixture().Get("slope_" + std::to_string(i));
        const int count = static_cast<int>(p[0]);
        std::vector<double> curve(static_cast<size_t>(count) + 1, -1.0);
        CBandPassDlg::MakeSlopeFilter(count, static_cast<float>(p[1]), static_cast<float>(p[2]),
                                      static_cast<float>(p[3]), static_cast<float>(p[4]),
                                      static_cast<float>(p[5]), curve.data());
        std::vector<double> curve1(static_cast<size_t>(count) + 2, -1.0);
        CBandPassDlg::MakeSlopeFilter1(count, static_cast<float>(p[1]), static_cast<float>(p[2]),
                                       static_cast<float>(p[3]), static_cast<float>(p[4]),
                                       static_cast<float>(p[5]), curve1.data());
        for (int k = 0; k < count; ++k) {
            const auto uk = static_cast<size_t>(k);
            EXPECT_NEAR(curve[uk], expected[uk], 1e-6) << "case " << i << " bin " << k;
            EXPECT_EQ(curve1[uk + 1], curve[uk]) << "case " << i << " bin " << k;
        }
        EXPECT_EQ(curve[static_cast<size_t>(count)], -1.0) << "case " << i;  // nothing past count
        EXPECT_EQ(curve1[0], -1.0);
        EXPECT_EQ(curve1[static_cast<size_t>(count) + 1], -1.0);
    }
}

TEST(SlopeCurve, DefaultCornersDoNotAmplifyTheFirstBin)
{
    // 1024 points at 0.5 ms: df = 1.953125 Hz; the 1 Hz corner rounds to bin 1, which lies
    // above the corner. The old curve gave it 9.24 at 20 dB/oct and 208 at 48 dB/oct.
    const CBandPassDlg defaults;
    for (float lowSlope : {defaults.lowSlope, 48.0f}) {
        std::vector<double> curve(513);
        CBandPassDlg::MakeSlopeFilter(513, 0.5f, defaults.lowCut, defaults.highCut, lowSlope,
                                      defaults.highSlope, curve.data());
        EXPECT_EQ(curve[0], 0.0);
        EXPECT_EQ(curve[1], 1.0) << lowSlope;
        EXPECT_EQ(curve[512], 1.0);  // 5000 Hz is above the 1000 Hz Nyquist
    }
}

TEST(SlopeCurve, NoFactorAboveOneOverASweep)
{
    int curves = 0;
    for (int count : {33, 129, 513}) {
        for (float interval : {0.25f, 0.5f, 1.0f, 2.0f}) {
            const float df = (500.0f / interval) / static_cast<float>(count - 1);
            for (int tenth = 0; tenth <= 40; ++tenth) {
                const float lowCut = df * static_cast<float>(tenth) / 10.0f;  // 0.6 df among them
                for (float highFactor : {0.0f, 0.4f, 0.55f, 0.9f, 3.0f}) {
                    const float highCut = 500.0f / interval * highFactor;
                    for (float slope : {-6.0f, 0.0f, 6.0f, 20.0f, 48.0f, 96.0f}) {
                        std::vector<double> curve(static_cast<size_t>(count));
                        CBandPassDlg::MakeSlopeFilter(count, interval, lowCut, highCut, slope,
                                                      slope, curve.data());
                        ++curves;
                        for (int k = 0; k < count; ++k) {
                            const double v = curve[static_cast<size_t>(k)];
                            ASSERT_TRUE(v >= 0.0 && v <= 1.0)
                                << "count " << count << " dt " << interval << " lc " << lowCut
                                << " hc " << highCut << " slope " << slope << " bin " << k << " = " << v;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(curves, 10000);
}

TEST(SlopeCurve, LowCutOfZeroPassesBinZero)
{
    std::vector<double> curve(65);
    CBandPassDlg::MakeSlopeFilter(65, 1.0f, 0.0f, 100.0f, 20.0f, 20.0f, curve.data());
    EXPECT_EQ(curve[0], 1.0);
    EXPECT_EQ(curve[1], 1.0);
}

TEST(SlopeCurve, LowCutOfTwoBins)
{
    // count 33 at 4 ms: df = 125/32 = 3.90625 Hz; low cut 7.8125 Hz = 2 df.
    std::vector<double> curve(33);
    CBandPassDlg::MakeSlopeFilter(33, 4.0f, 7.8125f, 62.5f, 20.0f, 20.0f, curve.data());
    EXPECT_EQ(curve[0], 0.0);
    EXPECT_NEAR(curve[1], 0.1, 1e-6);
    EXPECT_EQ(curve[2], 1.0);
}

TEST(SlopeCurve, LowCutAboveNyquistStaysInsideTheCurve)
{
    std::vector<double> curve(18, -1.0);
    CBandPassDlg::MakeSlopeFilter(17, 1.0f, 1.0e6f, 2.0e6f, 20.0f, 20.0f, curve.data());
    EXPECT_EQ(curve[17], -1.0);
    for (int k = 0; k < 17; ++k) {
        EXPECT_GE(curve[static_cast<size_t>(k)], 0.0);
        EXPECT_LT(curve[static_cast<size_t>(k)], 1e-6);  // all far below the corner
    }
    // Corners beyond what an int holds.
    CBandPassDlg::MakeSlopeFilter(17, 1.0f, 3.0e38f, 3.0e38f, 20.0f, 20.0f, curve.data());
    EXPECT_EQ(curve[17], -1.0);
}

TEST(SlopeCurve, HighCutOfZeroStopsAboveIt)
{
    std::vector<double> curve(33);
    for (float highCut : {0.0f, -50.0f}) {
        CBandPassDlg::MakeSlopeFilter(33, 1.0f, 0.0f, highCut, 20.0f, 20.0f, curve.data());
        EXPECT_EQ(curve[0], 1.0);
        for (int k = 1; k < 33; ++k) EXPECT_EQ(curve[static_cast<size_t>(k)], 0.0) << highCut;
        CBandPassDlg::MakeSlopeFilter(33, 1.0f, 0.0f, highCut, 20.0f, 0.0f, curve.data());
        for (int k = 0; k < 33; ++k) EXPECT_EQ(curve[static_cast<size_t>(k)], 1.0) << highCut;
    }
}

TEST(SlopeCurve, ZeroSlopesPassEverything)
{
    std::vector<double> curve(65);
    CBandPassDlg::MakeSlopeFilter(65, 1.0f, 100.0f, 200.0f, 0.0f, 0.0f, curve.data());
    EXPECT_EQ(curve[0], 0.0);  // the 0 Hz bin below a low cut is stopped whatever the slope
    for (int k = 1; k < 65; ++k) EXPECT_EQ(curve[static_cast<size_t>(k)], 1.0);
}

TEST(SlopeCurve, NoFrequencyStepIsDefined)
{
    std::vector<double> one(1, -1.0);
    CBandPassDlg::MakeSlopeFilter(1, 1.0f, 10.0f, 100.0f, 20.0f, 20.0f, one.data());
    EXPECT_EQ(one[0], 1.0);
    std::vector<double> curve(9, -1.0);
    CBandPassDlg::MakeSlopeFilter(9, 0.0f, 10.0f, 100.0f, 20.0f, 20.0f, curve.data());
    EXPECT_EQ(curve[0], 1.0);
    for (int k = 1; k < 9; ++k) EXPECT_EQ(curve[static_cast<size_t>(k)], 0.0);
    CBandPassDlg::MakeSlopeFilter(0, 1.0f, 10.0f, 100.0f, 20.0f, 20.0f, one.data());
    EXPECT_EQ(one[0], 1.0);
}

// ---------------------------------------------------------------------------------------------

TEST(CosineTaperCurve, MatchesNumpyWithTheSameRoundingPoints)
{
    testing::TempFolder folder;
    for (int i = 0; CurvesFixture().Has("cosine_" + std::to_string(i)); ++i) {
        const std::vector<double>& p = CurvesFixture().Get("cosine_params_" + std::to_string(i));
        const std::vector<double>& expected = CurvesFixture().Get("cosine_" + std::to_string(i));
        const int count = static_cast<int>(p[0]);
        std::vector<double> curve(static_cast<size_t>(count) + 1, -1.0);
        EXPECT_EQ(CBandPassDlg::MakeCosineTaperFilter(count, static_cast<float>(p[1]), static_cast<float>(p[2]),
                                                      static_cast<float>(p[3]), curve.data(), folder.Path()),
                  1);
        for (int k = 0; k < count; ++k) {
            EXPECT_NEAR(curve[static_cast<size_t>(k)], expected[static_cast<size_t>(k)], 1e-6) << i << " " << k;
        }
        EXPECT_EQ(curve[static_cast<size_t>(count)], -1.0);
    }
}

TEST(CosineTaperCurve, HalfAtBothCorners)
{
    testing::TempFolder folder;
    // count 129 at 2 ms: df = 1.953125 Hz; corners on bins 8 and 40.
    const float df = 1.953125f;
    std::vector<double> curve(129);
    ASSERT_EQ(CBandPassDlg::MakeCosineTaperFilter(129, 2.0f, 8 * df, 40 * df, curve.data(), folder.Path()), 1);
    EXPECT_NEAR(curve[8], 0.5, 1e-7);
    EXPECT_NEAR(curve[40], 0.5, 1e-7);
    EXPECT_EQ(curve[0], 0.0);
    EXPECT_EQ(curve[20], 1.0);
    EXPECT_EQ(curve[128], 0.0);
    EXPECT_LT(curve[7], 0.5);
    EXPECT_GT(curve[9], 0.5);
    EXPECT_GT(curve[39], 0.5);
    EXPECT_LT(curve[41], 0.5);
}

TEST(CosineTaperCurve, WritesFilterTxtInTheCLocale)
{
    testing::TempFolder folder;
    testing::ScopedGlobalLocale german("de_DE.UTF-8");
    VELK_SKIP_WITHOUT_LOCALE(german);
    std::vector<double> curve(5);
    // count 5 at 125 ms: df = 1 Hz.
    ASSERT_EQ(CBandPassDlg::MakeCosineTaperFilter(5, 125.0f, 1.0f, 2.5f, curve.data(), folder.Path()), 1);
    const std::vector<std::string> lines = Lines(testing::ReadFileText(folder.File("filter.txt")));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "1.000000");
    EXPECT_EQ(lines[1], "1.000000 : 0.600000 1.400000 ");
    EXPECT_EQ(lines[2], "2.500000 : 1.500000 3.500000 ");
    EXPECT_EQ(lines[3], "0 0.000000 0.000000 ");
    EXPECT_EQ(lines[4], "1 1.000000 0.500000 ");
    EXPECT_EQ(lines[5], "2 2.000000 0.853553 ");
    EXPECT_EQ(lines[6], "3 3.000000 0.146447 ");
    EXPECT_EQ(lines[7], "4 4.000000 0.000000 ");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"filter.txt"});
}

TEST(CosineTaperCurve, OverlappingTapersAreRefused)
{
    testing::TempFolder folder;
    std::vector<double> curve(65, -1.0);
    // 1.4 x 10 = 14 Hz > 0.6 x 15 = 9 Hz.
    EXPECT_EQ(CBandPassDlg::MakeCosineTaperFilter(65, 1.0f, 10.0f, 15.0f, curve.data(), folder.Path()), 0);
    EXPECT_EQ(curve, std::vector<double>(65, -1.0));
    const std::vector<std::string> lines = Lines(testing::ReadFileText(folder.File("filter.txt")));
    EXPECT_EQ(lines, (std::vector<std::string>{"7.812500", "10.000000 : 6.000000 14.000000 ",
                                               "15.000000 : 9.000000 21.000000 "}));
}

TEST(CosineTaperCurve, AnUnwritableFileStillGivesTheCurve)
{
    testing::TempFolder folder;
    const std::string missing = folder.File("no-such-folder");
    std::vector<double> expected(65), curve(65, -1.0);
    ASSERT_EQ(CBandPassDlg::MakeCosineTaperFilter(65, 1.0f, 10.0f, 100.0f, expected.data(), folder.Path()), 1);
    EXPECT_EQ(CBandPassDlg::MakeCosineTaperFilter(65, 1.0f, 10.0f, 100.0f, curve.data(), missing), 1);
    EXPECT_EQ(curve, expected);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(CosineTaperCurve, ZeroCornersAreDefined)
{
    testing::TempFolder folder;
    std::vector<double> curve(17, -1.0);
    ASSERT_EQ(CBandPassDlg::MakeCosineTaperFilter(17, 1.0f, 0.0f, 100.0f, curve.data(), folder.Path()), 1);
    EXPECT_EQ(curve[0], 1.0);  // a low cut of 0 passes 0 Hz
    // A high cut of 0 makes the tapers overlap unless the low cut is not above 0 either.
    EXPECT_EQ(CBandPassDlg::MakeCosineTaperFilter(17, 1.0f, 5.0f, 0.0f, curve.data(), folder.Path()), 0);
    ASSERT_EQ(CBandPassDlg::MakeCosineTaperFilter(17, 1.0f, 0.0f, 0.0f, curve.data(), folder.Path()), 1);
    EXPECT_EQ(curve[0], 1.0);
    for (int k = 1; k < 17; ++k) EXPECT_EQ(curve[static_cast<size_t>(k)], 0.0);
    // No frequency step: every bin sits at 0 Hz.
    ASSERT_EQ(CBandPassDlg::MakeCosineTaperFilter(1, 1.0f, 10.0f, 100.0f, curve.data(), folder.Path()), 1);
    EXPECT_EQ(curve[0], 0.0);
}

}  // namespace
}  // namespace velk
