// Packing store rows into complex work arrays and back, and the polar conversions.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/fourier.h"

namespace velk {
namespace {

TEST(Packing, RowComplexCopiesAndZeroFills)
{
    const std::vector<float> row = {1.5f, -2.0f, 3.25f, 4.0f, 5.0f, 6.0f};
    std::vector<double> re(8, 9.0), im(8, 9.0);
    CBandPassDlg::PackRowComplex(std::span<const float>(row).first(6), 3, 6, re.data(), im.data());
    EXPECT_EQ(re, (std::vector<double>{1.5, -2.0, 3.25, 0.0, 0.0, 0.0, 9.0, 9.0}));
    EXPECT_EQ(im, (std::vector<double>{0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 9.0, 9.0}));
}

TEST(Packing, RowComplexCopiesAtMostTheTotalLength)
{
    const std::vector<float> row = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f};
    std::vector<double> re(5, 9.0), im(5, 9.0);
    CBandPassDlg::PackRowComplex(row, 5, 3, re.data(), im.data());
    EXPECT_EQ(re, (std::vector<double>{1.0, 2.0, 3.0, 9.0, 9.0}));
    EXPECT_EQ(im, (std::vector<double>{0.0, 0.0, 0.0, 9.0, 9.0}));
}

TEST(Packing, RowComplexNeverReadsPastTheRow)
{
    const std::vector<float> row = {1.0f, 2.0f};
    std::vector<double> re(6, 9.0), im(6, 9.0);
    CBandPassDlg::PackRowComplex(row, 100, 4, re.data(), im.data());  // a header's count lies
    EXPECT_EQ(re, (std::vector<double>{1.0, 2.0, 0.0, 0.0, 9.0, 9.0}));
    CBandPassDlg::PackRowComplex(row, -3, 2, re.data(), im.data());
    EXPECT_EQ(re[0], 0.0);
    EXPECT_EQ(re[1], 0.0);
}

TEST(Packing, PlainSamplesComplex)
{
    const std::vector<float> samples = {0.5f, -0.25f, 8.0f};
    std::vector<double> re(5, 9.0), im(5, 9.0);
    CFourier::PackComplex(3, 4, samples.data(), re.data(), im.data());
    EXPECT_EQ(re, (std::vector<double>{0.5, -0.25, 8.0, 0.0, 9.0}));
    EXPECT_EQ(im, (std::vector<double>{0.0, 0.0, 0.0, 0.0, 9.0}));
}

TEST(Packing, NormalizedDividesByTheLargestMagnitude)
{
    // The negative peak decides, not the signed maximum.
    const std::vector<float> row = {-4.0f, 2.0f, 1.0f, 100.0f};
    std::vector<double> re(6, 9.0), im(6, 9.0);
    CFourier::PackRowNormalized(row, 3, 5, re.data(), im.data());
    EXPECT_EQ(re, (std::vector<double>{-1.0, 0.5, 0.25, 0.0, 0.0, 9.0}));
    EXPECT_EQ(im, (std::vector<double>{0.0, 0.0, 0.0, 0.0, 0.0, 9.0}));
}

TEST(Packing, NormalizedZeroTraceIsPackedUnscaled)
{
    const std::vector<float> row = {0.0f, 0.0f, 0.0f};
    std::vector<double> re(4, 9.0), im(4, 9.0);
    CFourier::PackRowNormalized(row, 3, 4, re.data(), im.data());
    EXPECT_EQ(re, std::vector<double>(4, 0.0));
    for (double v : re) EXPECT_FALSE(std::isnan(v));
}

TEST(Packing, UnpackRoundsToFloatWithinTheRow)
{
    std::vector<float> row(3, 7.0f);
    const std::vector<double> values = {0.1, -1.0 / 3.0, 2.5, 99.0};
    EXPECT_EQ(CBandPassDlg::UnpackRowReal(row, 2, values.data()), 2);
    EXPECT_EQ(row, (std::vector<float>{0.1f, static_cast<float>(-1.0 / 3.0), 7.0f}));
    EXPECT_EQ(CBandPassDlg::UnpackRowReal(row, 4, values.data()), 3);  // limited to the row
    EXPECT_EQ(row[2], 2.5f);

    const std::vector<float> fvalues = {1.0f, 2.0f, 3.0f, 4.0f};
    EXPECT_EQ(CFourier::UnpackRowFloat(row, 4, fvalues.data()), 3);
    EXPECT_EQ(row, (std::vector<float>{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(CFourier::UnpackRowFloat(row, 0, fvalues.data()), 0);
}

// ---------------------------------------------------------------------------------------------

TEST(PolarForm, ZeroBasedMembers)
{
    for (auto toPolar : {&CBandPassDlg::RectToPolar, &CFourier::RectToPolar}) {
        std::vector<double> a = {3.0, -1.0, 0.0, -2.0, 7.0};
        std::vector<double> b = {4.0, 0.0, -2.0, -2.0, 9.0};
        toPolar(4, a.data(), b.data());
        EXPECT_DOUBLE_EQ(a[0], 5.0);
        EXPECT_DOUBLE_EQ(b[0], std::atan2(4.0, 3.0));
        EXPECT_DOUBLE_EQ(a[1], 1.0);
        EXPECT_DOUBLE_EQ(b[1], std::numbers::pi);
        EXPECT_DOUBLE_EQ(a[2], 2.0);
        EXPECT_DOUBLE_EQ(b[2], -std::numbers::pi / 2);
        EXPECT_DOUBLE_EQ(a[3], std::sqrt(8.0));
        EXPECT_DOUBLE_EQ(b[3], -3.0 * std::numbers::pi / 4);
        EXPECT_EQ(a[4], 7.0);  // beyond n
        EXPECT_EQ(b[4], 9.0);
    }
    std::vector<double> a = {2.0, 1.0}, b = {std::numbers::pi / 2, std::numbers::pi};
    CBandPassDlg::PolarToRect(2, a.data(), b.data());
    EXPECT_NEAR(a[0], 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(b[0], 2.0);
    EXPECT_DOUBLE_EQ(a[1], -1.0);
    EXPECT_NEAR(b[1], 0.0, 1e-15);
}

TEST(PolarForm, OneBasedMembersLeaveElementZero)
{
    std::vector<double> a = {-5.0, 3.0, -4.0}, b = {-6.0, 4.0, 3.0};
    CBandPassDlg::RectToPolar1(2, a.data(), b.data());
    EXPECT_EQ(a[0], -5.0);
    EXPECT_EQ(b[0], -6.0);
    EXPECT_DOUBLE_EQ(a[1], 5.0);
    EXPECT_DOUBLE_EQ(a[2], 5.0);
    EXPECT_DOUBLE_EQ(b[2], std::atan2(3.0, -4.0));
    for (auto toRect : {&CBandPassDlg::PolarToRect1, &CFourier::PolarToRect1}) {
        std::vector<double> r = a, p = b;
        toRect(2, r.data(), p.data());
        EXPECT_EQ(r[0], -5.0);
        EXPECT_EQ(p[0], -6.0);
        EXPECT_NEAR(r[1], 3.0, 1e-15);
        EXPECT_NEAR(p[1], 4.0, 1e-15);
        EXPECT_NEAR(r[2], -4.0, 1e-15);
        EXPECT_NEAR(p[2], 3.0, 1e-15);
    }
}

}  // namespace
}  // namespace velk
