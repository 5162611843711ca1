#include "base/matrix2d.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <utility>

namespace velk {
namespace {

TEST(Matrix2D, StoreSizedFloatMatrixIsContiguousZeros)
{
    Matrix2D<float> m = Alloc2dFloat(0, 128, 0, 4100);
    EXPECT_EQ(m.Rows(), 129u);
    EXPECT_EQ(m.Cols(), 4101u);
    EXPECT_EQ(m.Elements().size(), 129u * 4101u);
    for (float v : m.Elements()) {
        ASSERT_EQ(v, 0.0f);
    }
    m[128][4100] = 1.5f;
    EXPECT_EQ(m[128][4100], 1.5f);
    EXPECT_EQ(&m[128][4100], &m.Elements().back());
    EXPECT_EQ(&m[1][0], &m[0][4100] + 1);
    EXPECT_EQ(&m[0][0], m.Elements().data());
}

TEST(Matrix2D, BoundsStartingAtOne)
{
    const int n = 5;
    const int cols = 7;
    Matrix2D<double> m = Alloc2dDouble(1, n, 1, cols);
    EXPECT_EQ(m.RowLow(), 1);
    EXPECT_EQ(m.RowHigh(), n);
    EXPECT_EQ(m.ColLow(), 1);
    EXPECT_EQ(m.ColHigh(), cols);
    EXPECT_EQ(m.Rows(), static_cast<size_t>(n));
    EXPECT_EQ(m.Cols(), static_cast<size_t>(cols));
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= cols; ++j) {
            m[i][j] = i * 100 + j;
        }
    }
    // Element [1][1] is the first of the block and [n][cols] the last.
    EXPECT_EQ(m.Elements().front(), 101.0);
    EXPECT_EQ(m.Elements().back(), n * 100.0 + cols);
    const std::span<const double> row3 = std::as_const(m).Row(3);
    ASSERT_EQ(row3.size(), static_cast<size_t>(cols));
    EXPECT_EQ(row3[0], 301.0);
    EXPECT_EQ(row3[cols - 1], 300.0 + cols);
    EXPECT_EQ(row3.data(), &m[3][1]);
}

TEST(Matrix2D, NegativeBounds)
{
    Matrix2D<float> m(-2, 2, -3, -1);
    EXPECT_EQ(m.Rows(), 5u);
    EXPECT_EQ(m.Cols(), 3u);
    m[-2][-3] = 1.0f;
    m[2][-1] = 2.0f;
    EXPECT_EQ(m.Elements().front(), 1.0f);
    EXPECT_EQ(m.Elements().back(), 2.0f);
    EXPECT_EQ(&m[0][-3], m.Row(0).data());
}

TEST(Matrix2D, OneByOneIsValid)
{
    Matrix2D<double> m = Alloc2dDouble(4, 4, 9, 9);
    EXPECT_FALSE(m.Empty());
    EXPECT_EQ(m.Rows(), 1u);
    EXPECT_EQ(m.Cols(), 1u);
    EXPECT_EQ(m[4][9], 0.0);
    m[4][9] = 3.0;
    EXPECT_EQ(m.Row(4)[0], 3.0);
}

TEST(Matrix2D, InvertedBoundsThrow)
{
    EXPECT_THROW(Alloc2dFloat(1, 0, 0, 0), std::invalid_argument);
    EXPECT_THROW(Alloc2dFloat(0, 0, 1, 0), std::invalid_argument);
    EXPECT_THROW(Alloc2dDouble(5, -5, 5, -5), std::invalid_argument);
}

TEST(Matrix2D, OverflowingSizesThrowBeforeAllocating)
{
    // Element count beyond size_t.
    EXPECT_THROW(Alloc2dDouble(INT_MIN, INT_MAX, INT_MIN, INT_MAX), std::length_error);
    // Element count fits, byte count does not.
    EXPECT_THROW(Alloc2dDouble(0, INT_MAX - 1, 0, INT_MAX - 1), std::length_error);
    EXPECT_THROW(Alloc2dFloat(0, INT_MAX - 1, 0, INT_MAX - 1), std::length_error);
}

TEST(Matrix2D, DefaultIsEmpty)
{
    const Matrix2D<float> m;
    EXPECT_TRUE(m.Empty());
    EXPECT_EQ(m.Rows(), 0u);
    EXPECT_EQ(m.Cols(), 0u);
    EXPECT_TRUE(m.Elements().empty());
}

TEST(Matrix2D, FreeResetsToEmpty)
{
    Matrix2D<float> f = Alloc2dFloat(0, 3, 0, 3);
    Free2dFloat(f);
    EXPECT_TRUE(f.Empty());
    EXPECT_EQ(f.Rows(), 0u);
    Free2dFloat(f);  // twice is harmless
    Matrix2D<double> d = Alloc2dDouble(1, 2, 1, 2);
    Free2dDouble(d);
    EXPECT_TRUE(d.Empty());
}

TEST(Matrix2D, FillSetsEveryElement)
{
    Matrix2D<double> m = Alloc2dDouble(1, 3, 1, 4);
    m.Fill(2.5);
    for (double v : m.Elements()) {
        EXPECT_EQ(v, 2.5);
    }
    m.Fill(0);
    for (double v : m.Elements()) {
        EXPECT_EQ(v, 0.0);
    }
}

TEST(Matrix2D, CopiesAreIndependentSnapshots)
{
    Matrix2D<float> m = Alloc2dFloat(1, 2, 1, 3);
    m[2][3] = 7.0f;
    Matrix2D<float> snapshot = m;
    m[2][3] = 8.0f;
    EXPECT_EQ(snapshot[2][3], 7.0f);
    EXPECT_EQ(snapshot.RowLow(), 1);
    EXPECT_EQ(snapshot.ColHigh(), 3);
    EXPECT_NE(snapshot.Elements().data(), m.Elements().data());

    m = snapshot;
    EXPECT_EQ(m[2][3], 7.0f);
    m = Matrix2D<float>();
    EXPECT_TRUE(m.Empty());
    Matrix2D<float> emptyCopy = m;
    EXPECT_TRUE(emptyCopy.Empty());
}

TEST(Matrix2D, MovesLeaveTheSourceEmpty)
{
    Matrix2D<double> m = Alloc2dDouble(0, 9, 0, 9);
    m[9][9] = 1.0;
    const double* block = m.Elements().data();
    Matrix2D<double> moved = std::move(m);
    EXPECT_TRUE(m.Empty());  // NOLINT(bugprone-use-after-move): the empty state is specified
    EXPECT_EQ(moved.Elements().data(), block);
    EXPECT_EQ(moved[9][9], 1.0);
}

#ifdef VELK_CHECKED_INDEX
TEST(Matrix2DDeathTest, CheckedIndicesAbortWithAMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Matrix2D<float> m = Alloc2dFloat(1, 3, 1, 4);
    EXPECT_DEATH(m[0][1] = 1.0f, "row index 0 outside \\[1, 3\\]");
    EXPECT_DEATH(m[4][1] = 1.0f, "row index 4 outside \\[1, 3\\]");
    EXPECT_DEATH(m[1][0] = 1.0f, "column index 0 outside \\[1, 4\\]");
    EXPECT_DEATH(m[1][5] = 1.0f, "column index 5 outside \\[1, 4\\]");
    EXPECT_DEATH(m.Row(9), "row index 9");
    const Matrix2D<float> empty;
    EXPECT_DEATH((void)empty[0][0], "row index 0");
}
#endif

}  // namespace
}  // namespace velk
