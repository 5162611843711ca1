#include "dsp/wavelet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/fixture.h"

namespace velk {
namespace {

using dsptest::Fixture;

std::vector<float> Make(int type, int count, float frequency, float dt, float* delay = nullptr)
{
    std::vector<float> out(static_cast<size_t>(CWaveletDlg::WaveletLength(type, count)), -7.0f);
    const float d = CWaveletDlg::MakeWavelet(type, 0, count, out, frequency, 0.0f, 1.0f, 0.0f, dt);
    if (delay) *delay = d;
    return out;
}

TEST(Wavelet, RickerMatchesScipyWithItsPeakAtTheDelay)
{
    const Fixture fx("wavelet.txt");
    struct Case { float f, dt; const char* name; };
    for (const Case c : {Case{50.0f, 0.001f, "ricker_50_1000"}, Case{25.0f, 0.001f, "ricker_25_1000"},
                         Case{100.0f, 0.00025f, "ricker_100_250"}}) {
        const std::vector<double>& ref = fx.Get(c.name);
        float delay = 0.0f;
        const std::vector<float> out = Make(5, 200, c.f, c.dt, &delay);
        EXPECT_FLOAT_EQ(delay, 1.0f / c.f);
        EXPECT_EQ(out[0], 0.0f);
        for (size_t i = 0; i < ref.size(); ++i) EXPECT_NEAR(out[i + 1], ref[i], 1e-6) << c.name << " " << i;
    }
    // 50 Hz at 1 ms: out[1] holds t = -0.02 s, the peak 1.0 sits at out[21] (t = 0), nothing
    // after t = 0.04 s.
    const std::vector<float> out = Make(5, 200, 50.0f, 0.001f);
    EXPECT_FLOAT_EQ(out[21], 1.0f);
    for (size_t i = 62; i < out.size(); ++i) EXPECT_EQ(out[i], 0.0f) << i;
}

TEST(Wavelet, SmallTypesGiveTheirExactValues)
{
    const std::vector<float> sine = Make(10, 8, 10.0f, 0.025f);  // sin of multiples of pi/2
    const float expected[] = {0, 1, 0, -1, 0, 1, 0, -1};
    for (size_t i = 0; i < 8; ++i) EXPECT_NEAR(sine[i], expected[i], 1e-6) << i;

    const std::vector<float> delta = Make(8, 6, 30.0f, 0.001f);
    EXPECT_EQ(delta, (std::vector<float>{1, 1, 0, 0, 0, 0}));

    // Type 7 at 150 Hz reads the table one value per sample.
    const std::vector<float> table = Make(7, 1100, 150.0f, 0.001f);
    const float first[] = {-0.067678f, -0.051754f, -0.027868f, 0.003981f};
    for (size_t i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(table[i], first[i]);
    EXPECT_FLOAT_EQ(table[43], -53.660866f);
    for (size_t i = 0; i < table.size(); ++i) {
        if (i != 43) {
            EXPECT_LT(std::fabs(table[i]), 53.660866f) << i;
        }
    }
    EXPECT_NE(table[728], 0.0f);
    for (size_t i = 729; i < table.size(); ++i) EXPECT_EQ(table[i], 0.0f) << i;
}

TEST(Wavelet, UnknownTypesAndUnusableValuesLeaveZeros)
{
    testing::internal::CaptureStdout();
    std::vector<float> out = Make(11, 16, 30.0f, 0.001f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: wavlet: ichoix = 11 is not implemented.\n");
    EXPECT_EQ(out, std::vector<float>(16, 0.0f));
    for (int type : {0, 1, 2, 5, 6}) {
        out = Make(type, 16, 0.0f, 0.001f);
        EXPECT_EQ(out[16], 0.0f) << type;
        for (float v : out) EXPECT_FALSE(std::isnan(v)) << type;
    }
    // A buffer shorter than the count is never overrun.
    std::vector<float> shortBuffer(10, -1.0f);
    CWaveletDlg::MakeWavelet(9, 0, 400, shortBuffer, 60.0f, 0, 1, 0, 0.001f);
    EXPECT_EQ(shortBuffer, std::vector<float>(10, 0.0f));
}

TEST(Wavelet, WindowedWaveletMatchesNumpy)
{
    const Fixture fx("wavelet.txt");
    const std::vector<double>& ref = fx.Get("windowed");
    const std::vector<float> out = Make(9, 400, 60.0f, 0.001f);
    const double peak = dsptest::MaxAbs(ref);
    ASSERT_GT(peak, 1.0);
    for (size_t i = 0; i < ref.size(); ++i) EXPECT_NEAR(out[i], ref[i], 1e-5 * peak) << i;
}

TEST(Wavelet, SmoothThreeKeepsTheEnds)
{
    const Fixture fx("wavelet.txt");
    const std::vector<double> in = dsptest::SignalLcg(8100, 64);
    std::vector<float> x(in.begin(), in.end());
    SmoothThree(x.data(), 64);
    const std::vector<double>& ref = fx.Get("smooth_out");
    for (size_t i = 0; i < 64; ++i) EXPECT_EQ(x[i], static_cast<float>(ref[i])) << i;
    EXPECT_EQ(x[0], static_cast<float>(in[0]));
}

TEST(Wavelet, WindowedSpectraAndTheirCount)
{
    EXPECT_EQ(WfftWindowCount(1000, 100, 0), 11);
    EXPECT_EQ(WfftWindowCount(1000, 0, 0), 0);
    EXPECT_EQ(WfftWindowCount(10, 1, 20), 0);
    EXPECT_EQ(WfftWindowCount(2000000, 1, 0), 100000);

    const Fixture fx("wavelet.txt");
    const std::vector<double> re = dsptest::SignalLcg(8200, 300), im = dsptest::SignalLcg(8201, 300);
    Matrix2D<float> rows(0, 4, 0, 31);
    EXPECT_EQ(WfftSpectra(64, 5, 40, re, im, rows), 0);
    const std::vector<double>& ref = fx.Get("wfft");
    for (int w = 0; w < 5; ++w) {
        for (int j = 0; j < 32; ++j) EXPECT_NEAR(rows[w][j], ref[static_cast<size_t>(w * 32 + j)], 1e-6) << w << " " << j;
    }
}

}  // namespace
}  // namespace velk
