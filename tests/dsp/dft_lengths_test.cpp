// Transforms of any length (Dft, InverseDft), transform lengths and the frequency step.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/chirp_transform.h"
#include "dsp/fourier.h"
#include "fixture.h"

namespace velk {
namespace {

using dsptest::Fixture;
using dsptest::SignalLcg;

std::vector<double> OneBased(const std::vector<double>& v)
{
    std::vector<double> out(1, -1.0);
    out.insert(out.end(), v.begin(), v.end());
    return out;
}

TEST(DirectTransform, MatchesNumpy)
{
    const Fixture fixture("dft.txt");
    for (int n : {1, 2, 3, 7, 12, 96, 97, 1000, 1500, 4099, 30000}) {
        const std::string suffix = "_" + std::to_string(n);
        const std::vector<double> x = OneBased(SignalLcg(2000 + static_cast<uint32_t>(n), static_cast<size_t>(n)));
        std::vector<double> re(x.size(), -7.0), im(x.size(), -7.0);
        Dft(x.data(), re.data(), im.data(), n);
        const std::vector<int> bins = fixture.Indices("bins" + suffix);
        const std::vector<double>& er = fixture.Get("re" + suffix);
        const std::vector<double>& ei = fixture.Get("im" + suffix);
        double err = 0.0;
        for (size_t b = 0; b < bins.size(); ++b) {
            const size_t i = static_cast<size_t>(bins[b]) + 1;
            err = std::max(err, std::hypot(re[i] - er[b], im[i] - ei[b]));
        }
        EXPECT_LE(err, 1e-9 * fixture.Scalar("max" + suffix)) << n;
        EXPECT_EQ(re[0], -7.0);
        EXPECT_EQ(im[0], -7.0);
    }
}

TEST(DirectTransform, InverseGivesTheSamplesBack)
{
    for (int n : {1, 2, 5, 64, 97, 1000, 1500, 30000}) {
        const std::vector<double> x = OneBased(SignalLcg(40 + static_cast<uint32_t>(n), static_cast<size_t>(n)));
        std::vector<double> re(x.size()), im(x.size()), back(x.size(), -3.0);
        Dft(x.data(), re.data(), im.data(), n);
        InverseDft(back.data(), re.data(), im.data(), n);
        EXPECT_EQ(back[0], -3.0);
        for (size_t i = 1; i < x.size(); ++i) {
            ASSERT_NEAR(back[i], x[i], 1e-9) << n << " " << i;
        }
    }
}

// The plain sum in long double, at the bins listed, with the angle reduced exactly (jk mod n).
void LongDoubleSum(const std::vector<double>& xr, const std::vector<double>& xi, bool inverse,
                   const std::vector<size_t>& bins, std::vector<long double>& outRe, std::vector<long double>& outIm)
{
    const uint64_t n = xr.size();
    outRe.assign(bins.size(), 0.0L);
    outIm.assign(bins.size(), 0.0L);
    const long double sign = inverse ? 1.0L : -1.0L;
    std::vector<long double> cs(n), sns(n);
    for (uint64_t k = 0; k < n; ++k) {
        const long double a = sign * 2.0L * std::numbers::pi_v<long double> * static_cast<long double>(k) /
                              static_cast<long double>(n);
        cs[k] = std::cos(a);
        sns[k] = std::sin(a);
    }
    for (size_t b = 0; b < bins.size(); ++b) {
        long double sr = 0.0L, si = 0.0L;
        uint64_t k = 0;  // j * bin mod n
        for (uint64_t j = 0; j < n; ++j, k = (k + bins[b]) % n) {
            const long double c = cs[k], sn = sns[k];
            sr += xr[j] * c - xi[j] * sn;
            si += xr[j] * sn + xi[j] * c;
        }
        outRe[b] = sr;
        outIm[b] = si;
    }
}

TEST(DirectTransform, EveryRoadMatchesThePlainSum)
{
    // Lengths 1..64 (direct sum, powers of two, small factors, primes with the chirp) and the
    // record lengths of the field; long ones are checked at 97 bins spread over the output.
    std::vector<int> lengths;
    for (int n = 1; n <= 64; ++n) lengths.push_back(n);
    for (int n : {256, 1000, 1024, 2000, 2048, 3000, 4099, 5000, 6000, 10000, 30000, 65537}) lengths.push_back(n);
    for (int n : lengths) {
        const auto un = static_cast<size_t>(n);
        const std::vector<double> xr = SignalLcg(700 + static_cast<uint32_t>(n), un);
        const std::vector<double> xi = SignalLcg(900 + static_cast<uint32_t>(n), un);
        std::vector<size_t> bins;
        const size_t step = un <= 2048 ? 1 : un / 97;
        for (size_t k = 0; k < un; k += step) bins.push_back(k);
        bins.push_back(un - 1);
        for (bool inverse : {false, true}) {
            std::vector<double> re = xr, im = xi;
            TransformAnyLength(re.data(), im.data(), n, inverse, 1.0);
            std::vector<long double> er, ei;
            LongDoubleSum(xr, xi, inverse, bins, er, ei);
            long double err = 0.0L, size = 0.0L;
            for (size_t b = 0; b < bins.size(); ++b) {
                const long double dr = re[bins[b]] - er[b], di = im[bins[b]] - ei[b];
                err += dr * dr + di * di;
                size += er[b] * er[b] + ei[b] * ei[b];
            }
            EXPECT_LE(std::sqrt(static_cast<double>(err / size)), 1e-12) << n << (inverse ? " inverse" : " forward");
        }
    }
}

TEST(DirectTransform, UnitImpulseOfFour)
{
    const std::vector<double> x = {0.0, 1.0, 0.0, 0.0, 0.0};
    std::vector<double> re(5), im(5);
    Dft(x.data(), re.data(), im.data(), 4);
    for (size_t i = 1; i <= 4; ++i) {
        EXPECT_DOUBLE_EQ(re[i], 0.25);
        EXPECT_EQ(im[i], 0.0);
    }
    std::vector<double> back(5, 9.0);
    InverseDft(back.data(), re.data(), im.data(), 4);
    EXPECT_DOUBLE_EQ(back[1], 1.0);
    for (size_t i = 2; i <= 4; ++i) {
        EXPECT_NEAR(back[i], 0.0, 1e-16);
    }
}

TEST(DirectTransform, InputMayBeTheOutputArray)
{
    std::vector<double> x = OneBased(SignalLcg(5, 64));
    std::vector<double> re(x.size(), x[0]), im(x.size());
    Dft(x.data(), re.data(), im.data(), 64);
    std::vector<double> same = x, im2(x.size());
    Dft(same.data(), same.data(), im2.data(), 64);
    EXPECT_EQ(same, re);
    EXPECT_EQ(im2, im);
}

TEST(DirectTransform, NothingForNoSamples)
{
    std::vector<double> x(3, 1.0), re(3, 2.0), im(3, 3.0);
    Dft(x.data(), re.data(), im.data(), 0);
    InverseDft(x.data(), re.data(), im.data(), -4);
    EXPECT_EQ(x, std::vector<double>(3, 1.0));
    EXPECT_EQ(re, std::vector<double>(3, 2.0));
}

TEST(TransformLength, PowerOfTwoLengthTable)
{
    struct Case {
        int n, length;
    };
    const Case cases[] = {{-3, 8},       {0, 8},          {1, 8},           {8, 8},
                          {9, 16},       {1000, 1024},    {4100, 8192},     {65536, 65536},
                          {131072, 131072}, {131073, 262144}, {262144, 262144}, {1000000, 262144}};
    for (const Case& c : cases) {
        EXPECT_EQ(PowerOfTwoLength(c.n, 1), c.length) << c.n;
        EXPECT_EQ(PowerOfTwoLength(c.n, 2), 2 * c.length) << c.n;
        EXPECT_EQ(CBandPassDlg::FftLength(c.n, 1), c.length) << c.n;
    }
}

TEST(TransformLength, FrequencyStep)
{
    EXPECT_EQ(FrequencyStep(1024, 1.0), 0.9765625);
    EXPECT_EQ(FrequencyStep(512, 0.5), 3.90625);
    EXPECT_EQ(FrequencyStep(1024, 0.0), 0.0);
    EXPECT_EQ(FrequencyStep(1024, -1.0), 0.0);
    EXPECT_EQ(FrequencyStep(0, 1.0), 0.0);
}

}  // namespace
}  // namespace velk
