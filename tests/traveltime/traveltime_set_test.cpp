#include "traveltime/traveltime_set.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/profile.h"
#include "traveltime/auto_pick_settings.h"
#include "traveltime/theoretical_traveltime.h"

namespace velk {
namespace {

// A record: receivers in cm, pick times in ms (0 = no pick), layer codes.
struct Record {
    std::vector<CTraceHeader> headers;
    std::vector<float> times;
    std::vector<int32_t> codes;
    void Add(int receiverCm, float time, int code = 1)
    {
        CTraceHeader h;
        h.receiverHundredths = receiverCm;
        headers.push_back(h);
        times.push_back(time);
        codes.push_back(code);
    }
    int Count() const { return static_cast<int>(headers.size()); }
};

int Add(CTraveltimeSet& set, const Record& r, float position, int mode = 0, int* changed = nullptr,
        float positionB = 0.0f, int useA = 1, const Record* spread = nullptr)
{
    int flag = 0;
    const Record empty;
    const Record& sp = spread ? *spread : empty;
    const int dropped = set.AddShotPicks(r.headers, r.Count(), r.times, r.codes, mode, position,
                                         positionB, changed ? changed : &flag, sp.headers,
                                         sp.Count(), useA);
    return dropped;
}

struct TraveltimeSetTest : ::testing::Test {
    std::unique_ptr<CTraveltimeSet> set = std::make_unique<CTraveltimeSet>();
};

TEST_F(TraveltimeSetTest, ResetState)
{
    EXPECT_EQ(set->hasData, 0);
    EXPECT_EQ(set->shotCount, 0);
    EXPECT_EQ(set->blockOpen, 0);
    EXPECT_EQ(set->F(500, 1000), 0.0f);
    EXPECT_EQ(set->sections().aLine1[1000][200], 0.0f);
}

TEST_F(TraveltimeSetTest, FirstCallTakesPicksInTraceOrderUnsorted)
{
    Record r;
    r.Add(500, 12.0f, 2);
    r.Add(100, 0.0f);  // no pick
    r.Add(300, 8.0f);
    r.Add(200, -1.0f);  // no pick
    set->kindWritten = 20;
    int changed = 0;
    EXPECT_EQ(Add(*set, r, 7.5f, 0, &changed), 0);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(set->hasData, 1);
    EXPECT_EQ(set->kindWritten, 0);
    ASSERT_EQ(set->shotCount, 1);
    EXPECT_EQ(set->sourcePosition[0], 7.5f);
    EXPECT_EQ(set->thirdValue[0], 0.0f);
    ASSERT_EQ(set->pickCount[0], 2);
    EXPECT_FLOAT_EQ(set->X(0, 0), 5.0f);
    EXPECT_EQ(set->T(0, 0), 12.0f);
    EXPECT_EQ(set->K(0, 0), 2);
    EXPECT_FLOAT_EQ(set->X(0, 1), 3.0f);
}

TEST_F(TraveltimeSetTest, MatchingShotMergesAndIsSorted)
{
    Record a;
    a.Add(100, 5.0f);
    a.Add(300, 7.0f);
    Add(*set, a, 0.0f);
    Record b;
    b.Add(300, 9.0f, 2);   // within 0.01 m of the stored 3.0: overwrites T and K
    b.Add(200, 6.0f, 1);   // new: appended, then sorted
    b.Add(102, 4.0f, 3);   // 1.02 m: not within 0.01 of 1.00
    Add(*set, b, 0.005f);  // within 0.01 of 0.0
    ASSERT_EQ(set->shotCount, 1);
    ASSERT_EQ(set->pickCount[0], 4);
    const float xs[] = {1.0f, 1.02f, 2.0f, 3.0f};
    const float ts[] = {5.0f, 4.0f, 6.0f, 9.0f};
    const int ks[] = {1, 3, 1, 2};
    for (int p = 0; p < 4; ++p) {
        EXPECT_FLOAT_EQ(set->X(0, p), xs[p]) << p;
        EXPECT_EQ(set->T(0, p), ts[p]) << p;
        EXPECT_EQ(set->K(0, p), ks[p]) << p;
    }
    EXPECT_EQ(set->sourcePosition[0], 0.0f);  // the stored position stays
}

TEST_F(TraveltimeSetTest, TheLastMatchingShotTakesTheMerge)
{
    set->hasData = 1;
    set->shotCount = 2;
    set->sourcePosition[0] = 10.0f;
    set->sourcePosition[1] = 10.008f;
    Record r;
    r.Add(100, 5.0f);
    Add(*set, r, 10.004f);
    EXPECT_EQ(set->shotCount, 2);
    EXPECT_EQ(set->pickCount[0], 0);
    EXPECT_EQ(set->pickCount[1], 1);
}

TEST_F(TraveltimeSetTest, NewShotsAreAppendedAndSortedByPosition)
{
    Record r;
    r.Add(100, 5.0f);
    Add(*set, r, 20.0f);
    Record s;
    s.Add(200, 6.0f);
    s.Add(100, 4.0f);
    Add(*set, s, 10.0f);
    ASSERT_EQ(set->shotCount, 2);
    EXPECT_EQ(set->sourcePosition[0], 10.0f);
    EXPECT_EQ(set->sourcePosition[1], 20.0f);
    ASSERT_EQ(set->pickCount[0], 2);
    EXPECT_FLOAT_EQ(set->X(0, 0), 1.0f);  // sorted within the new shot
    EXPECT_EQ(set->T(0, 0), 4.0f);
    EXPECT_EQ(set->pickCount[1], 1);
    EXPECT_EQ(set->T(1, 0), 5.0f);
}

TEST_F(TraveltimeSetTest, ARecordWithoutPicksStillAddsAnEmptyShot)
{
    Record r;
    r.Add(100, 5.0f);
    Add(*set, r, 0.0f);
    Record none;
    none.Add(100, 0.0f);
    EXPECT_EQ(Add(*set, none, 50.0f), 0);
    ASSERT_EQ(set->shotCount, 2);
    EXPECT_EQ(set->pickCount[1], 0);
}

TEST_F(TraveltimeSetTest, DispersionModeUsesPositionBAndTheSpreadLength)
{
    Record r;
    r.Add(1000, 300.0f);
    Record spread;
    spread.Add(250, 0.0f);
    spread.Add(500, 0.0f);
    spread.Add(2650, 0.0f);
    Add(*set, r, 1.0f, 1, nullptr, 2.0f, 0, &spread);
    EXPECT_EQ(set->sourcePosition[0], 2.0f);
    EXPECT_FLOAT_EQ(set->thirdValue[0], 24.0f);
    Add(*set, r, 5.0f, 1, nullptr, 9.0f, 1, &spread);
    EXPECT_EQ(set->sourcePosition[1], 5.0f);
    EXPECT_EQ(set->thirdValue[1], 0.0f);
}

TEST_F(TraveltimeSetTest, AnotherModeNeverMergesAndKeepsTheThirdValue)
{
    Record r;
    r.Add(100, 5.0f);
    Add(*set, r, 1.0f);
    set->thirdValue[1] = 77.0f;
    Add(*set, r, 1.0f, 2);
    ASSERT_EQ(set->shotCount, 2);
    EXPECT_EQ(set->thirdValue[1], 77.0f);
}

TEST_F(TraveltimeSetTest, PicksBeyondCapacityAreDroppedAndCounted)
{
    Record big;
    for (int i = 0; i < CTraveltimeSet::kMaxPicks + 4; ++i) {
        big.Add(i * 100, 1.0f + i);
    }
    EXPECT_EQ(Add(*set, big, 0.0f), 4);
    EXPECT_EQ(set->pickCount[0], CTraveltimeSet::kMaxPicks);
    // Merging new receivers into the full shot drops them; known receivers still update.
    Record more;
    more.Add(500000, 3.0f);  // new
    more.Add(0, 99.0f);      // known
    int changed = 0;
    EXPECT_EQ(Add(*set, more, 0.0f, 0, &changed), 1);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(set->pickCount[0], CTraveltimeSet::kMaxPicks);
    EXPECT_EQ(set->T(0, 0), 99.0f);
}

TEST_F(TraveltimeSetTest, A502ndShotIsRefusedWithTheCountReported)
{
    Record r;
    r.Add(100, 5.0f);
    r.Add(200, 6.0f);
    r.Add(300, 0.0f);
    for (int s = 0; s < CTraveltimeSet::kMaxShots; ++s) {
        ASSERT_EQ(Add(*set, r, static_cast<float>(s)), 0);
    }
    ASSERT_EQ(set->shotCount, CTraveltimeSet::kMaxShots);
    int changed = 0;
    EXPECT_EQ(Add(*set, r, 10000.0f, 0, &changed), 2);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(set->shotCount, CTraveltimeSet::kMaxShots);
    EXPECT_EQ(set->sourcePosition[CTraveltimeSet::kMaxShots - 1], 500.0f);
    // A matching shot still merges when the set is full.
    Record one;
    one.Add(400, 7.0f);
    EXPECT_EQ(Add(*set, one, 3.0f), 0);
    EXPECT_EQ(set->pickCount[3], 3);
}

TEST_F(TraveltimeSetTest, SortMovesFAndWWithTheirPicks)
{
    set->shotCount = 2;
    set->sourcePosition[0] = 5.0f;
    set->sourcePosition[1] = 1.0f;
    set->pickCount[0] = 2;
    set->pickCount[1] = 3;
    const float xs0[] = {4.0f, 2.0f};
    for (int p = 0; p < 2; ++p) {
        set->X(0, p) = xs0[p];
        set->T(0, p) = 10.0f * xs0[p];
        set->K(0, p) = static_cast<int>(xs0[p]);
        set->F(0, p) = 100.0f * xs0[p];
        set->W(0, p) = 1000.0f * xs0[p];
    }
    const float xs1[] = {3.0f, 1.0f, 3.0f};
    for (int p = 0; p < 3; ++p) {
        set->X(1, p) = xs1[p];
        set->T(1, p) = static_cast<float>(p);  // tells equal X apart
        set->F(1, p) = 100.0f * xs1[p];
        set->W(1, p) = 1000.0f * xs1[p];
    }
    set->thirdValue[0] = 50.0f;
    set->SortShotPicks();
    EXPECT_EQ(set->sourcePosition[0], 1.0f);
    EXPECT_EQ(set->sourcePosition[1], 5.0f);
    EXPECT_EQ(set->pickCount[0], 3);
    EXPECT_EQ(set->thirdValue[1], 50.0f);
    // Shot at 1.0: X 1, 3, 3 with the two 3s in their old order (T 0 then 2).
    EXPECT_EQ(set->X(0, 0), 1.0f);
    EXPECT_EQ(set->F(0, 0), 100.0f);
    EXPECT_EQ(set->W(0, 0), 1000.0f);
    EXPECT_EQ(set->T(0, 1), 0.0f);
    EXPECT_EQ(set->T(0, 2), 2.0f);
    EXPECT_EQ(set->W(0, 2), 3000.0f);
    // Shot at 5.0: X 2, 4.
    EXPECT_EQ(set->X(1, 0), 2.0f);
    EXPECT_EQ(set->T(1, 0), 20.0f);
    EXPECT_EQ(set->K(1, 0), 2);
    EXPECT_EQ(set->F(1, 0), 200.0f);
    EXPECT_EQ(set->W(1, 1), 4000.0f);
}

TEST(AutoPickSettings, DefaultsAndRoundTrip)
{
    AutoPickSettings s;
    EXPECT_EQ(s.centreFrequency, 100.0f);
    EXPECT_EQ(s.numberOfChecking, 1);
    EXPECT_EQ(s.portion, 8);
    EXPECT_EQ(s.nearOffsetLimit, 15.0f);
    EXPECT_EQ(s.bandPass, 1);
    Profile p = Profile::FromText("");
    s.portion = 4;
    s.centreFrequency = 60.0f;
    SaveAutoPickSettings(p, s);
    EXPECT_EQ(p.GetString("General", "PICKFREQENCY"), "60.000000");
    AutoPickSettings back;
    LoadAutoPickSettings(p, back);
    EXPECT_EQ(back.portion, 4);
    EXPECT_EQ(back.centreFrequency, 60.0f);
}

TEST(TheoreticalTraveltime, Defaults)
{
    CTheoreticalTraveltime t(24);
    EXPECT_EQ(t.capacity, 24);
    EXPECT_EQ(t.curves[2].size(), 24u);
    EXPECT_EQ(t.mode, 0);
    EXPECT_EQ(t.modifiedParameter, -1);
    EXPECT_EQ(t.v1, 0.3f);
    EXPECT_EQ(t.v2, 1.5f);
    EXPECT_EQ(t.depth, 5.0f);
}

}  // namespace
}  // namespace velk
