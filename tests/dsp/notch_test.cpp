#include "dsp/notch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/fixture.h"

namespace velk {
namespace {

TEST(Notch, FiftyHertzAtOneMillisecondZeroesTheListedBinsUpToTheMiddle)
{
    const dsptest::Fixture fx("notch.txt");
    const int n = 2048;
    std::vector<double> re(n, 1.0), im(n, 1.0);
    ZeroNotchBins(re.data(), im.data(), n, 50.0, 1000.0 / 2048.0, true);
    std::vector<int> zeroed;
    for (int k = 0; k < n; ++k) {
        if (re[static_cast<size_t>(k)] == 0.0) {
            EXPECT_EQ(im[static_cast<size_t>(k)], 0.0);
            zeroed.push_back(k);
        }
    }
    EXPECT_EQ(zeroed, fx.Indices("bins"));
    for (int k : {102, 103, 1945, 1946, 204, 205, 1023, 1024, 1025}) {
        EXPECT_EQ(re[static_cast<size_t>(k)], 0.0) << k;
    }
    EXPECT_EQ(re[1026], 1.0);

    // Without harmonics only the four bins of the fundamental; a notch below the first bin
    // never reaches beyond the spectrum.
    std::vector<double> r2(n, 1.0), i2(n, 1.0);
    ZeroNotchBins(r2.data(), i2.data(), n, 50.0, 1000.0 / 2048.0, false);
    EXPECT_EQ(std::count(r2.begin(), r2.end(), 0.0), 4);
    std::vector<double> r3(8, 1.0), i3(8, 1.0);
    ZeroNotchBins(r3.data(), i3.data(), 8, 0.1, 1.0, false);
    EXPECT_EQ(r3, (std::vector<double>{0, 0, 1, 1, 1, 1, 1, 0}));
}

TEST(Notch, SubtractingTheHumLeavesTheRest)
{
    const double dt = 2.0;
    std::vector<float> x(300);
    for (size_t k = 0; k < x.size(); ++k) {
        const double t = static_cast<double>(k) * dt / 1000.0;
        x[k] = static_cast<float>(0.7 * std::sin(2 * M_PI * 50.0 * t + 0.3) + 0.2 * std::sin(2 * M_PI * 100.0 * t - 1.0) + 0.01);
    }
    const double a[] = {0.7, 0.2};
    const double p[] = {0.3, -1.0};
    SubtractSinusoids(x, 300, dt, 50.0, a, p);
    for (float v : x) EXPECT_NEAR(v, 0.01, 1e-5);
}

}  // namespace
}  // namespace velk
