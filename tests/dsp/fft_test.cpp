// The radix-2 family: CFourier::Fft, CBandPassDlg::Fft, CFourier::FftFloat and
// CBandPassDlg::FftOneBased against numpy and against a long-double transform; refusals; the
// work buffer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/fft_engine.h"
#include "dsp/fft_work_buffer.h"
#include "dsp/fourier.h"
#include "fixture.h"

namespace velk {
namespace {

using dsptest::ComplexInput;
using dsptest::Fixture;

const Fixture& FftFixture()
{
    static const Fixture fixture("fft.txt");
    return fixture;
}

// The fixture's bins for length n: all of them for small n, else the sampled list.
std::vector<int> BinsOf(int n)
{
    const std::string key = "bins_" + std::to_string(n);
    if (FftFixture().Has(key)) {
        return FftFixture().Indices(key);
    }
    std::vector<int> all(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        all[static_cast<size_t>(i)] = i;
    }
    return all;
}

struct Expected {
    std::vector<double> re, im;
    double max = 0.0;
};

// Expected values at the fixture's bins, multiplied by scale. which: "fwd" or "inv".
Expected ExpectedOf(const std::string& which, int n, double scale)
{
    const std::string suffix = "_" + std::to_string(n);
    Expected e;
    e.re = FftFixture().Get(which + "_re" + suffix);
    e.im = FftFixture().Get(which + "_im" + suffix);
    for (double& v : e.re) v *= scale;
    for (double& v : e.im) v *= scale;
    e.max = FftFixture().Scalar("max_" + which + suffix) * scale;
    return e;
}

template <class T>
double MaxErrorAtBins(const std::vector<T>& re, const std::vector<T>& im, const std::vector<int>& bins,
                      const Expected& e, size_t offset = 0)
{
    double err = 0.0;
    for (size_t b = 0; b < bins.size(); ++b) {
        const size_t i = static_cast<size_t>(bins[b]) + offset;
        const double dr = static_cast<double>(re[i]) - e.re[b];
        const double di = static_cast<double>(im[i]) - e.im[b];
        err = std::max(err, std::hypot(dr, di));
    }
    return err;
}

using ZeroBasedFft = void (*)(double*, double*, int, int, int);

void CheckZeroBasedAgainstNumpy(ZeroBasedFft fft)
{
    for (int p = 1; p <= 16; ++p) {
        const int n = 1 << p;
        const std::vector<int> bins = BinsOf(n);
        for (int flag : {0, 1, 2, -1}) {
            std::vector<double> re, im;
            ComplexInput(1000 + static_cast<uint32_t>(p), static_cast<size_t>(n), re, im);
            fft(re.data(), im.data(), n, flag % 2 == 0 ? 0 : p, flag);  // both log2 forms
            // flag 0: fft(x)/n; flag 1: ifft(x)*n; other flags: ifft(x), scaled 1/n.
            const Expected e = flag == 0 ? ExpectedOf("fwd", n, 1.0)
                             : flag == 1 ? ExpectedOf("inv", n, 1.0)
                                         : ExpectedOf("inv", n, 1.0 / n);
            const double tolerance = 1e-12 * e.max * p;
            EXPECT_LE(MaxErrorAtBins(re, im, bins, e), tolerance) << "n " << n << " flag " << flag;
        }
    }
}

TEST(FftFamily, FourierFftMatchesNumpy)
{
    CheckZeroBasedAgainstNumpy(&CFourier::Fft);
}

TEST(FftFamily, BandPassFftMatchesNumpy)
{
    CheckZeroBasedAgainstNumpy(&CBandPassDlg::Fft);
}

TEST(FftFamily, OneBasedScalesTheInverse)
{
    const double sentinel = -12345.5;
    for (int p = 1; p <= 16; ++p) {
        const int n = 1 << p;
        const std::vector<int> bins = BinsOf(n);
        for (int flag : {0, 1, 3}) {
            std::vector<double> re0, im0;
            ComplexInput(1000 + static_cast<uint32_t>(p), static_cast<size_t>(n), re0, im0);
            std::vector<double> re(1, sentinel), im(1, sentinel);
            re.insert(re.end(), re0.begin(), re0.end());
            im.insert(im.end(), im0.begin(), im0.end());
            CBandPassDlg::FftOneBased(re.data(), im.data(), n, 0, flag);
            // flag 0: fft(x) = n (fft(x)/n); other flags: ifft(x) = (ifft(x) n)/n.
            const Expected e = flag == 0 ? ExpectedOf("fwd", n, n) : ExpectedOf("inv", n, 1.0 / n);
            EXPECT_LE(MaxErrorAtBins(re, im, bins, e, 1), 1e-12 * e.max * p) << "n " << n << " flag " << flag;
            EXPECT_EQ(re[0], sentinel);
            EXPECT_EQ(im[0], sentinel);
        }
    }
}

TEST(FftFamily, FloatMatchesNumpy)
{
    for (int p = 1; p <= 16; ++p) {
        const int n = 1 << p;
        const std::vector<int> bins = BinsOf(n);
        for (int flag : {0, 1, 5}) {
            std::vector<double> re0, im0;
            ComplexInput(1000 + static_cast<uint32_t>(p), static_cast<size_t>(n), re0, im0);
            // The generator's values are exact in float.
            std::vector<float> re(re0.begin(), re0.end()), im(im0.begin(), im0.end());
            CFourier::FftFloat(re.data(), im.data(), n, 0, flag);
            const Expected e = flag == 0 ? ExpectedOf("fwd", n, 1.0)
                             : flag == 1 ? ExpectedOf("inv", n, 1.0)
                                         : ExpectedOf("inv", n, 1.0 / n);
            EXPECT_LE(MaxErrorAtBins(re, im, bins, e), 2e-6 * std::sqrt(double(p)) * e.max)
                << "n " << n << " flag " << flag;
        }
    }
}

// The plain algorithm (radix-2 decimation in frequency, then bit reversal) in long double:
// an independent check of every bin at every length.
void LongDoubleFft(std::vector<long double>& re, std::vector<long double>& im, bool inverse)
{
    const size_t n = re.size();
    const long double pi = 3.141592653589793238462643383279502884L;
    for (size_t len = n; len >= 2; len /= 2) {
        const size_t half = len / 2;
        const long double step = (inverse ? 2.0L : -2.0L) * pi / static_cast<long double>(len);
        for (size_t k = 0; k < half; ++k) {
            const long double c = std::cos(step * static_cast<long double>(k));
            const long double s = std::sin(step * static_cast<long double>(k));
            for (size_t b = 0; b + len <= n; b += len) {
                const long double ar = re[b + k], ai = im[b + k];
                const long double dr = re[b + k + half], di = im[b + k + half];
                re[b + k] = ar + dr;
                im[b + k] = ai + di;
                const long double xr = ar - dr, xi = ai - di;
                re[b + k + half] = c * xr - s * xi;
                im[b + k + half] = s * xr + c * xi;
            }
        }
    }
    for (size_t i = 1, j = n / 2; i + 1 < n; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        size_t g = n / 2;
        while (j >= g && g > 0) {
            j -= g;
            g /= 2;
        }
        j += g;
    }
}

TEST(FftFamily, EveryBinMatchesALongDoubleTransform)
{
    for (int p = 1; p <= 16; ++p) {
        const int n = 1 << p;
        for (int flag : {0, 1}) {
            std::vector<double> re, im;
            ComplexInput(7000 + static_cast<uint32_t>(p), static_cast<size_t>(n), re, im);
            std::vector<long double> lr(re.begin(), re.end()), li(im.begin(), im.end());
            LongDoubleFft(lr, li, flag != 0);
            CFourier::Fft(re.data(), im.data(), n, 0, flag);
            const long double scale = flag == 0 ? 1.0L / n : 1.0L;
            double err = 0.0, peak = 0.0;
            for (size_t i = 0; i < re.size(); ++i) {
                const double er = static_cast<double>(lr[i] * scale), ei = static_cast<double>(li[i] * scale);
                err = std::max(err, std::hypot(re[i] - er, im[i] - ei));
                peak = std::max(peak, std::hypot(er, ei));
            }
            EXPECT_LE(err, 1e-14 * p * peak) << "n " << n << " flag " << flag;
        }
    }
}

TEST(FftFamily, ForwardThenInverseGivesTheInputBack)
{
    for (int p : {1, 2, 3, 5, 10, 11, 12, 13, 17, 18}) {
        const int n = 1 << p;
        std::vector<double> re, im;
        ComplexInput(9000 + static_cast<uint32_t>(p), static_cast<size_t>(n), re, im);
        const std::vector<double> re0 = re, im0 = im;
        CFourier::Fft(re.data(), im.data(), n, 0, 0);
        CFourier::Fft(re.data(), im.data(), n, 0, 1);
        EXPECT_LE(dsptest::MaxComplexError(re, im, re0, im0), 1e-15 * p) << n;

        std::vector<float> fr(re0.begin(), re0.end()), fi(im0.begin(), im0.end());
        CFourier::FftFloat(fr.data(), fi.data(), n, 0, 0);
        CFourier::FftFloat(fr.data(), fi.data(), n, 0, 1);
        double err = 0.0;
        for (size_t i = 0; i < fr.size(); ++i) {
            err = std::max(err, std::hypot(fr[i] - re0[i], fi[i] - im0[i]));
        }
        EXPECT_LE(err, 1e-6 * p) << n;
    }
}

// Every refusal leaves the arrays bit for bit as they were, NaN payloads included.
TEST(FftFamily, RefusedLengthsLeaveTheArraysBitIdentical)
{
    struct Case {
        int n;
        int log2n;
    };
    const Case cases[] = {{0, 0}, {1, 0}, {-8, 0}, {1000, 0}, {1000, 10}, {8, 4}, {8, 2},
                          {3, 0}, {6, 0}, {12, 0}, {1024, 9}, {16, 31}, {16, 40}};
    for (const Case& c : cases) {
        std::vector<double> re(1100), im(1100);
        for (size_t i = 0; i < re.size(); ++i) {
            re[i] = 0.25 * static_cast<double>(i) - 3.0;
            im[i] = i % 7 == 0 ? std::numeric_limits<double>::quiet_NaN() : -0.5 * static_cast<double>(i);
        }
        std::vector<float> fre(re.begin(), re.end()), fim(im.begin(), im.end());
        const std::vector<double> re0 = re, im0 = im;
        const std::vector<float> fre0 = fre, fim0 = fim;
        for (int flag : {0, 1, 2}) {
            CFourier::Fft(re.data(), im.data(), c.n, c.log2n, flag);
            CBandPassDlg::Fft(re.data(), im.data(), c.n, c.log2n, flag);
            CBandPassDlg::FftOneBased(re.data(), im.data(), c.n, c.log2n, flag);
            CFourier::FftFloat(fre.data(), fim.data(), c.n, c.log2n, flag);
        }
        EXPECT_EQ(std::memcmp(re.data(), re0.data(), re.size() * sizeof(double)), 0) << c.n << " " << c.log2n;
        EXPECT_EQ(std::memcmp(im.data(), im0.data(), im.size() * sizeof(double)), 0) << c.n << " " << c.log2n;
        EXPECT_EQ(std::memcmp(fre.data(), fre0.data(), fre.size() * sizeof(float)), 0) << c.n << " " << c.log2n;
        EXPECT_EQ(std::memcmp(fim.data(), fim0.data(), fim.size() * sizeof(float)), 0) << c.n << " " << c.log2n;
    }
}

TEST(FftFamily, Log2IsWorkedOutByHalving)
{
    EXPECT_EQ(fft_engine::CheckedLog2(2, 0), 1);
    EXPECT_EQ(fft_engine::CheckedLog2(1024, 0), 10);
    EXPECT_EQ(fft_engine::CheckedLog2(1024, -3), 10);
    EXPECT_EQ(fft_engine::CheckedLog2(1024, 10), 10);
    EXPECT_EQ(fft_engine::CheckedLog2(1 << 30, 0), 30);
    EXPECT_EQ(fft_engine::CheckedLog2(1000, 0), -1);  // 9 halvings, 2^9 != 1000
    EXPECT_EQ(fft_engine::CheckedLog2(1024, 11), -1);
    EXPECT_EQ(fft_engine::CheckedLog2(1, 0), -1);
    EXPECT_EQ(fft_engine::CheckedLog2(0, 0), -1);
}

TEST(FftFamily, ImpulseOfEightPoints)
{
    std::vector<double> re(8, 0.0), im(8, 0.0);
    re[0] = 1.0;
    CFourier::Fft(re.data(), im.data(), 8, 0, 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_DOUBLE_EQ(re[static_cast<size_t>(i)], 0.125) << i;
        EXPECT_EQ(im[static_cast<size_t>(i)], 0.0) << i;
    }
    CFourier::Fft(re.data(), im.data(), 8, 0, 1);
    for (int i = 0; i < 8; ++i) {
        EXPECT_DOUBLE_EQ(re[static_cast<size_t>(i)], i == 0 ? 1.0 : 0.0) << i;
        EXPECT_EQ(im[static_cast<size_t>(i)], 0.0) << i;
    }
}

TEST(FftFamily, OneBasedImpulseIsUnscaledForward)
{
    std::vector<double> re(9, 0.0), im(9, 0.0);
    re[1] = 1.0;
    CBandPassDlg::FftOneBased(re.data(), im.data(), 8, 0, 0);
    for (int i = 1; i <= 8; ++i) {
        EXPECT_DOUBLE_EQ(re[static_cast<size_t>(i)], 1.0) << i;
        EXPECT_EQ(im[static_cast<size_t>(i)], 0.0) << i;
    }
    EXPECT_EQ(re[0], 0.0);
}

TEST(FftFamily, CosineOfTwoCyclesOverSixteenPoints)
{
    std::vector<double> re(16), im(16, 0.0);
    for (int i = 0; i < 16; ++i) {
        re[static_cast<size_t>(i)] = std::cos(2.0 * std::numbers::pi * 2.0 * i / 16.0);
    }
    CBandPassDlg::Fft(re.data(), im.data(), 16, 4, 0);
    for (int k = 0; k < 16; ++k) {
        const double expected = (k == 2 || k == 14) ? 0.5 : 0.0;
        EXPECT_NEAR(re[static_cast<size_t>(k)], expected, 1e-15) << k;
        EXPECT_NEAR(im[static_cast<size_t>(k)], 0.0, 1e-15) << k;
    }
}

// The twiddle tables are per thread: concurrent transforms of several lengths give the same
// bits as one thread alone.
TEST(FftFamily, ThreadsGiveTheSameBits)
{
    const int lengths[] = {8, 1024, 4096, 65536};
    std::vector<std::vector<double>> expectedRe, expectedIm;
    for (int n : lengths) {
        std::vector<double> re, im;
        ComplexInput(11 + static_cast<uint32_t>(n), static_cast<size_t>(n), re, im);
        CFourier::Fft(re.data(), im.data(), n, 0, 0);
        expectedRe.push_back(re);
        expectedIm.push_back(im);
    }
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round) {
                for (size_t l = 0; l < 4; ++l) {
                    const size_t which = (l + t) % 4;
                    const int n = lengths[which];
                    std::vector<double> re, im;
                    ComplexInput(11 + static_cast<uint32_t>(n), static_cast<size_t>(n), re, im);
                    CFourier::Fft(re.data(), im.data(), n, 0, 0);
                    if (re != expectedRe[which] || im != expectedIm[which]) {
                        ++mismatches[t];
                    }
                }
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

// The short lengths work beside the caller's arrays in a scratch area placed after their
// addresses: wherever the arrays lie, the results are the same bits.
TEST(FftFamily, PlaceOfTheArraysDoesNotChangeTheBits)
{
    for (int n : {64, 512, 1024, 2048}) {
        std::vector<double> re0, im0;
        ComplexInput(31 + static_cast<uint32_t>(n), static_cast<size_t>(n), re0, im0);
        std::vector<double> expectedRe = re0, expectedIm = im0;
        CFourier::Fft(expectedRe.data(), expectedIm.data(), n, 0, 0);
        std::vector<double> room(4 * static_cast<size_t>(n) + 2048);
        for (size_t reAt : {0, 1, 5, 160, 511}) {
            for (size_t imAt : {size_t{0}, size_t{3}, size_t{256}}) {
                double* re = room.data() + reAt;
                double* im = re + n + imAt;
                std::copy(re0.begin(), re0.end(), re);
                std::copy(im0.begin(), im0.end(), im);
                CFourier::Fft(re, im, n, 0, 0);
                EXPECT_TRUE(std::equal(re, re + n, expectedRe.begin()) && std::equal(im, im + n, expectedIm.begin()))
                    << n << " " << reAt << " " << imAt;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------

TEST(FftWorkBuffer, HoldsTheRowsTransformLength)
{
    FftWorkBuffer buffer(4100);
    EXPECT_EQ(buffer.Length(), 8192u);
    FftWorkBuffer exact(8192);  // one-based use needs MAX_SAMPLE + 1
    EXPECT_EQ(exact.Length(), 8193u);
    FftWorkBuffer tiny(1);
    EXPECT_EQ(tiny.Length(), 8u);
}

TEST(FftWorkBuffer, GrowsOnlyAndNeverPerTrace)
{
    FftWorkBuffer buffer(4100);
    const double* before = buffer.Re();
    for (int trace = 0; trace < 10; ++trace) {
        buffer.Reserve(8192);
        buffer.Reserve(1024);
    }
    EXPECT_EQ(buffer.Re(), before);
    buffer.Reserve(16384);
    EXPECT_EQ(buffer.Length(), 16384u);
    EXPECT_EQ(buffer.ImSpan().size(), 16384u);
    const double* grown = buffer.Re();
    buffer.Reserve(16384);
    EXPECT_EQ(buffer.Re(), grown);
}

TEST(FftWorkBuffer, ClearZerosThePrefix)
{
    FftWorkBuffer buffer(8);
    for (size_t i = 0; i < buffer.Length(); ++i) {
        buffer.Re()[i] = 1.0;
        buffer.Im()[i] = 2.0;
    }
    buffer.Clear(3);
    EXPECT_EQ(buffer.Re()[2], 0.0);
    EXPECT_EQ(buffer.Im()[2], 0.0);
    EXPECT_EQ(buffer.Re()[3], 1.0);
    buffer.Clear(1000);  // limited to the length
    EXPECT_EQ(buffer.Im()[buffer.Length() - 1], 0.0);
}

TEST(FftWorkBuffer, ServesATransformOfARow)
{
    FftWorkBuffer buffer(100);
    std::vector<float> row(100);
    for (size_t i = 0; i < row.size(); ++i) {
        row[i] = static_cast<float>(i % 5) - 2.0f;
    }
    const int n = PowerOfTwoLength(100, 1);
    CBandPassDlg::PackRowComplex(row, 100, n, buffer.Re(), buffer.Im());
    CBandPassDlg::Fft(buffer.Re(), buffer.Im(), n, 0, 0);
    CBandPassDlg::Fft(buffer.Re(), buffer.Im(), n, 0, 1);
    std::vector<float> back(100);
    EXPECT_EQ(CBandPassDlg::UnpackRowReal(back, 100, buffer.Re()), 100);
    for (size_t i = 0; i < row.size(); ++i) {
        EXPECT_NEAR(back[i], row[i], 1e-6) << i;
    }
}

}  // namespace
}  // namespace velk
