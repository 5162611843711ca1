// The rows of a LoadTarget: zero, distinct, valid while the target lives, moved with it.

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "base/waveform_store.h"
#include "formats/load_target.h"

namespace velk {
namespace {

void CheckRows(int maxSample, int traces)
{
    LoadTarget target(0, traces, StoreRowLength(maxSample), maxSample);
    std::set<const float*> seen;
    for (int k = traces - 1; k >= 0; --k) {  // in any order
        std::span<float> row = target.Row(k);
        ASSERT_EQ(row.size(), static_cast<size_t>(StoreRowLength(maxSample)));
        for (float v : row) ASSERT_EQ(v, 0.0f);
        row.front() = static_cast<float>(k);
        row.back() = static_cast<float>(-k);
        EXPECT_TRUE(seen.insert(row.data()).second);
        EXPECT_EQ(target.Row(k).data(), row.data());  // the same row again
    }
    LoadTarget moved = std::move(target);
    for (int k = 0; k < traces; ++k) {
        EXPECT_EQ(moved.RowIfAny(k).front(), static_cast<float>(k));
        EXPECT_EQ(moved.RowIfAny(k).back(), static_cast<float>(-k));
    }
}

TEST(LoadTargetRows, SmallRowsOneByOne) { CheckRows(100, 5); }

TEST(LoadTargetRows, LargeRowsFromHugePageBlocks) { CheckRows(16384, 300); }  // 128 KiB rows, 2 blocks

TEST(LoadTargetRows, RowsNotAskedForStayUnmade)
{
    LoadTarget target(2, 4, StoreRowLength(20000), 20000);
    target.Row(1)[5] = 1.0f;
    EXPECT_FALSE(target.HasRow(0));
    EXPECT_TRUE(target.HasRow(1));
    EXPECT_TRUE(target.RowIfAny(3).empty());
    EXPECT_THROW(target.Row(4), TargetOverflow);
}

}  // namespace
}  // namespace velk
