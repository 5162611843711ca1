// The gathers cut out of the trace table, on tables filled in memory.

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "survey/file_group.h"

namespace velk {
namespace {

// A loaded table over the given positions (cm); every cell but `hole` holds 4 samples of value
// 100 s + r.
struct Table {
    Table(std::vector<int32_t> sources, std::vector<int32_t> receivers, std::pair<int, int> hole = {-1, -1})
    {
        g.AllocateTable(static_cast<int>(sources.size()), static_cast<int>(receivers.size()));
        g.sourceCount = static_cast<int>(sources.size());
        g.receiverCount = static_cast<int>(receivers.size());
        std::copy(sources.begin(), sources.end(), g.sourcePositions.begin());
        std::copy(receivers.begin(), receivers.end(), g.receiverPositions.begin());
        std::set<int32_t> cdps;
        for (int s = 0; s < g.sourceCount; ++s) {
            for (int r = 0; r < g.receiverCount; ++r) {
                cdps.insert((sources[static_cast<size_t>(s)] + receivers[static_cast<size_t>(r)]) / 2);
                if (std::pair(s, r) == hole) continue;
                CTraceHeader h;
                h.Set(r + 1, receivers[static_cast<size_t>(r)], sources[static_cast<size_t>(s)], 1, 1, 0.0f, 1000.0f, 4);
                Cell(s, r).SetTrace(std::vector<float>(4, static_cast<float>(100 * s + r)), h);
            }
        }
        g.cdpCount = static_cast<int>(cdps.size());
        std::copy(cdps.begin(), cdps.end(), g.cdpPositions.begin());
    }
    CTraceEntry& Cell(int s, int r) { return g.table[static_cast<size_t>(s)][static_cast<size_t>(r)]; }
    int CdpIndex(int32_t m) const
    {
        return static_cast<int>(std::find(g.cdpPositions.begin(), g.cdpPositions.end(), m) - g.cdpPositions.begin());
    }
    std::vector<int> Values(int n) const  // the values 100 s + r of the traces written
    {
        std::vector<int> v;
        for (int k = 0; k < n; ++k) v.push_back(static_cast<int>(rows[k][0]));
        return v;
    }
    std::vector<std::pair<int, int>> Marked()
    {
        std::vector<std::pair<int, int>> m;
        for (int s = 0; s < g.sourceCount; ++s) {
            for (int r = 0; r < g.receiverCount; ++r) {
                if (Cell(s, r).mark == 1) m.emplace_back(s, r);
            }
        }
        return m;
    }

    CFileGroup g;
    Matrix2D<float> rows{0, 63, 0, 7};
    std::vector<CTraceHeader> headers = std::vector<CTraceHeader>(64);
};

// Five shots at 0, 6, 12, 18 and 24 m over 24 receivers at 1..24 m; shot 2 misses receiver 6 m.
Table Line()
{
    std::vector<int32_t> receivers;
    for (int r = 1; r <= 24; ++r) receivers.push_back(100 * r);
    return Table({0, 600, 1200, 1800, 2400}, receivers, {2, 5});
}

TEST(Gathers, CuttersTakeTheRightCellsInOrder)
{
    Table t = Line();
    bool stopped = true;
    // Receiver gather at 6 m: the shots in order, shot 2 missing; words exchanged.
    ASSERT_EQ(t.g.CommonReceiverGather(t.rows, t.headers, 5, &stopped), 4);
    EXPECT_FALSE(stopped);
    EXPECT_EQ(t.Values(4), (std::vector<int>{5, 105, 305, 405}));
    EXPECT_EQ(t.headers[1].sourceHundredths, 600);
    EXPECT_EQ(t.headers[1].receiverHundredths, 600);
    EXPECT_EQ(t.headers[3].receiverHundredths, 2400);
    EXPECT_EQ(t.Marked(), (std::vector<std::pair<int, int>>{{0, 5}, {1, 5}, {3, 5}, {4, 5}}));

    // The midpoint 7.5 m lies between receivers: shots 0, 1, 2 in shot order.
    ASSERT_EQ(t.g.CdpGather(t.rows, t.headers, t.CdpIndex(750)), 3);
    EXPECT_EQ(t.Values(3), (std::vector<int>{14, 108, 202}));
    EXPECT_EQ(t.g.CdpFold(t.CdpIndex(750)), 3);
    EXPECT_EQ(t.g.CdpGather(t.rows, t.headers, 999), 0);
    EXPECT_EQ(t.g.CdpGather(t.rows, t.headers, -1), 0);

    // Offset window [2 m, 5 m] of shot 1 (6 m): receivers 1..4 m and 8..11 m.
    ASSERT_EQ(t.g.TakeTracesByOffset(t.rows, t.headers, 1, 2.0, 5.0), 8);
    EXPECT_EQ(t.Values(8), (std::vector<int>{100, 101, 102, 103, 107, 108, 109, 110}));
    EXPECT_EQ(t.Marked().size(), 8u);

    // All traces keep the marks of the gather before.
    ASSERT_EQ(t.g.GatherAllTraces(t.rows, t.headers, &stopped), 64);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(t.Marked().size(), 8u);
}

TEST(Gathers, IndicesAreClampedAndCapacityStops)
{
    Table t = Line();
    // Index, first value of the shot, receiver and offset-window gathers.
    for (const auto& [index, shot, receiver] : {std::tuple{-3, 0, 0}, std::tuple{99, 400, 23}}) {
        t.g.BuildGather(t.rows, t.headers, index);
        EXPECT_EQ(t.Values(1)[0], shot) << index;
        t.g.CommonReceiverGather(t.rows, t.headers, index);
        EXPECT_EQ(t.Values(1)[0], receiver) << index;
        t.g.TakeTracesByOffset(t.rows, t.headers, index, 0.0, 100.0);
        EXPECT_EQ(t.Values(1)[0], shot) << index;
    }
    std::vector<int32_t> receivers(100);
    Table wide({0}, receivers);
    bool stopped = false;
    EXPECT_EQ(wide.g.BuildGather(wide.rows, wide.headers, 0, &stopped), 64);
    EXPECT_TRUE(stopped);
    std::vector<CTraceHeader> two(2);  // exactly full is no stop
    EXPECT_EQ(Table({0}, {100, 200}).g.GatherAllTraces(wide.rows, two, &stopped), 2);
    EXPECT_FALSE(stopped);
}

TEST(Gathers, CommonSpacingTakesTheNearestReceiverWithinAMetre)
{
    Table t({-50, 300}, {950, 1050, 1200});
    for (auto [s, r] : {std::pair{0, 2}, {1, 0}, {1, 1}}) t.Cell(s, r) = CTraceEntry{};
    t.g.spacing = 10.0f;
    ASSERT_EQ(t.g.CommonSpacingGather(t.rows, t.headers), 1);
    EXPECT_EQ(t.Values(1), std::vector<int>{0});  // 9.5 m before 10.5 m; nothing at 12 m
    EXPECT_EQ(t.headers[0].receiverHundredths, -50);
    EXPECT_EQ(t.Marked(), (std::vector<std::pair<int, int>>{{0, 0}}));
}

TEST(Gathers, ExtrapolationFillsFromTheNearestShotOnly)
{
    // Receivers to 100 m: the limit is 25 m.
    Table t({0, 2000, 4000, 5000}, {5000, 10000});
    for (auto [s, r] : {std::pair{2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}}) t.Cell(s, r) = CTraceEntry{};
    EXPECT_EQ(t.g.ExtrapolateMissingTraces(), 2);
    EXPECT_EQ(t.Cell(2, 0).samples, std::vector<float>(4, 100.0f));  // from the shot at 20 m
    EXPECT_EQ(t.Cell(2, 0).header.sourceHundredths, 4000);
    EXPECT_EQ(t.Cell(3, 0).hasSamples, 0);  // 30 m from every shot present before
    EXPECT_EQ(t.Cell(2, 1).samples, std::vector<float>(4, 301.0f));
    EXPECT_EQ(t.Cell(1, 1).hasSamples, 0);
    EXPECT_EQ(t.Cell(1, 1).header.receiverHundredths, 10000);

    CFileGroup empty;
    empty.AllocateTable(2, 0);
    empty.sourceCount = 2;
    EXPECT_EQ(empty.ExtrapolateMissingTraces(), 0);
}

TEST(Gathers, StoreRowWritesNoMoreThanTheRecordHolds)
{
    Table t({0}, {100, 200, 300}, {0, 1});
    for (int k = 0; k < 3; ++k) {
        t.headers[static_cast<size_t>(k)].Set(k + 1, 7, 0, 1, 1, 0.0f, 1000.0f, 2);
        t.rows[k][0] = 50.0f + static_cast<float>(k);
    }
    EXPECT_EQ(t.g.StoreRow(t.rows, t.headers, 0, 1), 1);
    EXPECT_EQ(t.Cell(0, 0).samples, (std::vector<float>{50.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(t.Cell(0, 2).header.receiverHundredths, 300);  // beyond the count: unchanged
    EXPECT_EQ(t.g.StoreRow(t.rows, t.headers, 0, 3), 2);
    EXPECT_EQ(t.Cell(0, 1).hasSamples, 0);
    EXPECT_EQ(t.Cell(0, 2).samples[0], 51.0f);
}

}  // namespace
}  // namespace velk
