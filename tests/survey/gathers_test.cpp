// The gathers cut out of the trace table, on tables filled in memory.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "survey/file_group.h"

namespace velk {
namespace {

// A table with the given source and receiver positions (cm); every cell listed in `filled`
// (or every cell when it is empty, except `hole`) holds 4 samples of value 100 s + r.
class Table {
public:
    Table(std::vector<int32_t> sources, std::vector<int32_t> receivers, std::pair<int, int> hole = {-1, -1})
    {
        const int S = static_cast<int>(sources.size());
        const int R = static_cast<int>(receivers.size());
        g.AllocateTable(S, R);
        g.sourceCount = S;
        g.receiverCount = R;
        std::set<int32_t> cdps;
        for (int s = 0; s < S; ++s) {
            g.sourcePositions[static_cast<size_t>(s)] = sources[static_cast<size_t>(s)];
            for (int r = 0; r < R; ++r) {
                g.receiverPositions[static_cast<size_t>(r)] = receivers[static_cast<size_t>(r)];
                cdps.insert((sources[static_cast<size_t>(s)] + receivers[static_cast<size_t>(r)]) / 2);
                if (std::pair(s, r) != hole) Fill(s, r);
            }
        }
        g.cdpCount = static_cast<int>(cdps.size());
        std::copy(cdps.begin(), cdps.end(), g.cdpPositions.begin());
        g.dataLoaded = 1;
    }
    void Fill(int s, int r)
    {
        CTraceHeader h;
        h.Set(r + 1, g.receiverPositions[static_cast<size_t>(r)], g.sourcePositions[static_cast<size_t>(s)], 1, 1,
              0.0f, 1000.0f, 4);
        g.table[static_cast<size_t>(s)][static_cast<size_t>(r)].SetTrace(
            std::vector<float>(4, static_cast<float>(100 * s + r)), h);
    }
    int CdpIndex(int32_t m) const
    {
        return static_cast<int>(std::find(g.cdpPositions.begin(), g.cdpPositions.begin() + g.cdpCount, m) -
                                g.cdpPositions.begin());
    }
    // The values (100 s + r) of the traces written, and their header words.
    std::vector<int> Values(int n) const
    {
        std::vector<int> v;
        for (int k = 0; k < n; ++k) v.push_back(static_cast<int>(rows[k][0]));
        return v;
    }
    std::vector<std::pair<int, int>> Marked() const
    {
        std::vector<std::pair<int, int>> m;
        for (int s = 0; s < g.sourceCount; ++s) {
            for (int r = 0; r < g.receiverCount; ++r) {
                if (g.table[static_cast<size_t>(s)][static_cast<size_t>(r)].mark == 1) m.emplace_back(s, r);
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
    struct Case {
        int index;
        int first;          // value of the first trace of the shot gather
        int firstReceiver;  // and of the receiver gather
    };
    for (const Case c : {Case{-3, 0, 0}, Case{99, 400, 23}}) {
        ASSERT_EQ(t.g.BuildGather(t.rows, t.headers, c.index), 24);
        EXPECT_EQ(t.Values(1)[0], c.first) << c.index;
        ASSERT_GT(t.g.CommonReceiverGather(t.rows, t.headers, c.index), 0);
        EXPECT_EQ(t.Values(1)[0], c.firstReceiver) << c.index;
        ASSERT_GT(t.g.TakeTracesByOffset(t.rows, t.headers, c.index, 0.0, 100.0), 0);
        EXPECT_EQ(t.Values(1)[0], c.first) << c.index;
    }

    std::vector<int32_t> receivers;
    for (int r = 0; r < 100; ++r) receivers.push_back(100 * r);
    Table wide({0}, receivers);
    bool stopped = false;
    EXPECT_EQ(wide.g.BuildGather(wide.rows, wide.headers, 0, &stopped), 64);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(wide.g.ShotGatherSize(0), 100);
    // Exactly full is not a stop.
    Table small({0}, {100, 200});
    std::vector<CTraceHeader> two(2);
    EXPECT_EQ(small.g.GatherAllTraces(small.rows, two, &stopped), 2);
    EXPECT_FALSE(stopped);
}

TEST(Gathers, CommonSpacingTakesTheNearestReceiverWithinAMetre)
{
    Table t({-50, 300}, {950, 1050, 1200});
    t.g.table[0][2] = CTraceEntry{};
    t.g.table[1][0] = CTraceEntry{};
    t.g.table[1][1] = CTraceEntry{};
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
    for (auto [s, r] : {std::pair{2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}}) {
        t.g.table[static_cast<size_t>(s)][static_cast<size_t>(r)] = CTraceEntry{};
    }
    EXPECT_EQ(t.g.ExtrapolateMissingTraces(), 2);
    const CTraceEntry& filled = t.g.table[2][0];
    EXPECT_EQ(filled.hasSamples, 1);
    EXPECT_EQ(filled.samples, std::vector<float>(4, 100.0f));  // from the shot at 20 m
    EXPECT_EQ(filled.header.sourceHundredths, 4000);
    EXPECT_EQ(t.g.table[3][0].hasSamples, 0);  // 30 m from every shot present before
    EXPECT_EQ(t.g.table[2][1].samples, std::vector<float>(4, 301.0f));
    EXPECT_EQ(t.g.table[1][1].hasSamples, 0);
    EXPECT_EQ(t.g.table[1][1].header.receiverHundredths, 10000);

    CFileGroup empty;
    empty.AllocateTable(2, 0);
    empty.sourceCount = 2;
    EXPECT_EQ(empty.ExtrapolateMissingTraces(), 0);
}

TEST(Gathers, StoreRowWritesNoMoreThanTheRecordHolds)
{
    Table t({0}, {100, 200, 300});
    t.g.table[0][1] = CTraceEntry{};
    for (int k = 0; k < 3; ++k) {
        t.headers[static_cast<size_t>(k)].Set(k + 1, 7, 0, 1, 1, 0.0f, 1000.0f, 2);
        t.rows[k][0] = 50.0f + static_cast<float>(k);
    }
    EXPECT_EQ(t.g.StoreRow(t.rows, t.headers, 0, 1), 1);
    EXPECT_EQ(t.g.table[0][0].samples, (std::vector<float>{50.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(t.g.table[0][0].header.samples, 2);
    EXPECT_EQ(t.g.table[0][2].header.receiverHundredths, 300);  // beyond the count: unchanged
    EXPECT_EQ(t.g.StoreRow(t.rows, t.headers, 0, 3), 2);
    EXPECT_EQ(t.g.table[0][1].hasSamples, 0);
    EXPECT_EQ(t.g.table[0][2].samples[0], 51.0f);
}

}  // namespace
}  // namespace velk
