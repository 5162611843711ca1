// The tabled transform of at most 2048 points: CBandPassDlg::FftTabled, BuildCosTable,
// PowerOfTwoAtLeast and ZeroComplex.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "dsp/band_pass.h"
#include "fixture.h"

namespace velk {
namespace {

using dsptest::ComplexInput;
using dsptest::Fixture;

std::vector<double> CosTable(int m)
{
    std::vector<double> table(static_cast<size_t>((1 << m) / 4 + 2), -99.0);
    EXPECT_EQ(CBandPassDlg::BuildCosTable(m, table), (1 << m) / 4 + 1);
    return table;
}

// A one-based copy with a sentinel in element 0.
std::vector<double> OneBased(const std::vector<double>& v, double sentinel)
{
    std::vector<double> out(1, sentinel);
    out.insert(out.end(), v.begin(), v.end());
    return out;
}

TEST(TabledFft, PowerOfTwoAtLeast)
{
    struct Case {
        int n, length, m;
    };
    const Case cases[] = {{-5, 2, 1},     {0, 2, 1},      {1, 2, 1},      {2, 2, 1},
                          {3, 4, 2},      {5, 8, 3},      {1000, 1024, 10}, {1024, 1024, 10},
                          {1025, 2048, 11}, {2048, 2048, 11}, {2049, 2048, 12}, {100000, 2048, 12}};
    for (const Case& c : cases) {
        int length = -1, m = -1;
        CBandPassDlg::PowerOfTwoAtLeast(c.n, length, m);
        EXPECT_EQ(length, c.length) << c.n;
        EXPECT_EQ(m, c.m) << c.n;
    }
}

TEST(TabledFft, CosTableUsesTheSinglePrecisionStep)
{
    for (int m = 1; m <= 11; ++m) {
        const int n = 1 << m;
        const std::vector<double> table = CosTable(m);
        EXPECT_EQ(table[0], -99.0);  // one-based: element 0 untouched
        const float step = 6.2831855f / static_cast<float>(n);
        for (int i = 1; i <= n / 4 + 1; ++i) {
            const float angle = static_cast<float>(i - 1) * step;
            EXPECT_EQ(table[static_cast<size_t>(i)], std::cos(static_cast<double>(angle))) << m << " " << i;
            // Within the single-precision angle's error of the exact cosine.
            EXPECT_NEAR(table[static_cast<size_t>(i)], std::cos(2.0 * std::numbers::pi * (i - 1) / n), 3e-7);
        }
    }
}

TEST(TabledFft, CosTableRefusesWhatTheTransformRefuses)
{
    std::vector<double> table(1100, 7.0);
    EXPECT_EQ(CBandPassDlg::BuildCosTable(0, table), 0);
    EXPECT_EQ(CBandPassDlg::BuildCosTable(12, table), 0);
    std::vector<double> shortTable(513, 7.0);  // m = 11 needs 514
    EXPECT_EQ(CBandPassDlg::BuildCosTable(11, shortTable), 0);
    for (double v : table) EXPECT_EQ(v, 7.0);
    for (double v : shortTable) EXPECT_EQ(v, 7.0);
}

TEST(TabledFft, MatchesNumpyInBothDirections)
{
    const Fixture fixture("fft.txt");
    for (int m = 1; m <= 11; ++m) {
        const int n = 1 << m;
        const std::string suffix = "_" + std::to_string(n);
        std::vector<int> bins;
        if (fixture.Has("bins" + suffix)) {
            bins = fixture.Indices("bins" + suffix);
        } else {
            for (int i = 0; i < n; ++i) bins.push_back(i);
        }
        const std::vector<double> table = CosTable(m);
        for (int sign : {-1, 1}) {
            std::vector<double> re0, im0;
            ComplexInput(1000 + static_cast<uint32_t>(m), static_cast<size_t>(n), re0, im0);
            std::vector<double> re = OneBased(re0, 5.5), im = OneBased(im0, 6.5);
            CBandPassDlg::FftTabled(re.data(), im.data(), table, m, sign);
            // sign -1: fft(x) = n (fft(x)/n); sign +1: ifft(x) = (ifft(x) n)/n.
            const std::string which = sign < 0 ? "fwd" : "inv";
            const double scale = sign < 0 ? n : 1.0 / n;
            const std::vector<double>& er = fixture.Get(which + "_re" + suffix);
            const std::vector<double>& ei = fixture.Get(which + "_im" + suffix);
            const double peak = fixture.Scalar("max_" + which + suffix) * scale;
            double err = 0.0;
            for (size_t b = 0; b < bins.size(); ++b) {
                const size_t i = static_cast<size_t>(bins[b]) + 1;
                err = std::max(err, std::hypot(re[i] - er[b] * scale, im[i] - ei[b] * scale));
            }
            EXPECT_LE(err, 1e-6 * peak) << "n " << n << " sign " << sign;
            EXPECT_EQ(re[0], 5.5);
            EXPECT_EQ(im[0], 6.5);
        }
    }
}

// With exact cosines in the table the tabled butterflies and lookups give the radix-2
// transform to rounding: a check of the quarter-wave lookup independent of the float step.
TEST(TabledFft, ExactTableGivesTheRadix2Transform)
{
    for (int m = 1; m <= 11; ++m) {
        const int n = 1 << m;
        std::vector<double> table(static_cast<size_t>(n / 4 + 2), 0.0);
        for (int i = 1; i <= n / 4 + 1; ++i) {
            table[static_cast<size_t>(i)] = std::cos(2.0 * std::numbers::pi * (i - 1) / n);
        }
        for (int sign : {-1, 1}) {
            std::vector<double> re0, im0;
            ComplexInput(300 + static_cast<uint32_t>(m), static_cast<size_t>(n), re0, im0);
            std::vector<double> re = OneBased(re0, 0.0), im = OneBased(im0, 0.0);
            std::vector<double> rr = re, ri = im;
            CBandPassDlg::FftTabled(re.data(), im.data(), table, m, sign);
            CBandPassDlg::FftOneBased(rr.data(), ri.data(), n, m, sign < 0 ? 0 : 1);
            EXPECT_LE(dsptest::MaxComplexError(re, im, rr, ri), 1e-13 * m * dsptest::MaxAbs(rr) + 1e-15)
                << "n " << n << " sign " << sign;
        }
    }
}

TEST(TabledFft, RoundTripReturnsTheInput)
{
    for (int m : {1, 2, 5, 11}) {
        const int n = 1 << m;
        const std::vector<double> table = CosTable(m);
        std::vector<double> re0, im0;
        ComplexInput(77 + static_cast<uint32_t>(m), static_cast<size_t>(n), re0, im0);
        std::vector<double> re = OneBased(re0, 0.0), im = OneBased(im0, 0.0);
        const std::vector<double> reIn = re, imIn = im;
        CBandPassDlg::FftTabled(re.data(), im.data(), table, m, -1);
        CBandPassDlg::FftTabled(re.data(), im.data(), table, m, 1);
        EXPECT_LE(dsptest::MaxComplexError(re, im, reIn, imIn), 1e-6) << n;
    }
}

TEST(TabledFft, RefusalsLeaveTheArraysUntouched)
{
    const std::vector<double> table = CosTable(11);
    std::vector<double> re(4098), im(4098);
    for (size_t i = 0; i < re.size(); ++i) {
        re[i] = std::sin(0.37 * static_cast<double>(i));
        im[i] = std::cos(1.3 * static_cast<double>(i));
    }
    const std::vector<double> re0 = re, im0 = im;
    std::vector<double> bigTable(2000, 1.0);
    CBandPassDlg::FftTabled(re.data(), im.data(), bigTable, 12, -1);  // m = 12: beyond the table
    CBandPassDlg::FftTabled(re.data(), im.data(), table, 0, -1);
    CBandPassDlg::FftTabled(re.data(), im.data(), table, -1, 1);
    const std::vector<double> shortTable(table.begin(), table.end() - 1);
    CBandPassDlg::FftTabled(re.data(), im.data(), shortTable, 11, -1);
    EXPECT_EQ(std::memcmp(re.data(), re0.data(), re.size() * sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(im.data(), im0.data(), im.size() * sizeof(double)), 0);
}

TEST(TabledFft, ZeroComplexClearsElementsOneToN)
{
    std::vector<double> v(7, 3.0);
    CBandPassDlg::ZeroComplex(v.data(), 5);
    EXPECT_EQ(v, (std::vector<double>{3.0, 0.0, 0.0, 0.0, 0.0, 0.0, 3.0}));
    CBandPassDlg::ZeroComplex(v.data(), 0);
    EXPECT_EQ(v[6], 3.0);
}

}  // namespace
}  // namespace velk
