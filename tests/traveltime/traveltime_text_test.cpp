// The set's own traveltime reader: what it keeps of the golden files, and how it stops on
// hostile text.

#include "traveltime/traveltime_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tools/test_support.h"
#include "traveltime/traveltime_set.h"

namespace velk {
namespace {

std::string Golden(const std::string& name) { return std::string(VELK_TEST_DATA) + "/picks/" + name; }

struct TraveltimeTextTest : ::testing::Test {
    std::unique_ptr<CTraveltimeSet> set = std::make_unique<CTraveltimeSet>();
};

TEST_F(TraveltimeTextTest, SetReaderDropsEmptyShotsAndKeepsTheHeaderAsRead)
{
    ASSERT_EQ(ReadTraveltimeText(*set, Golden("v1996-kind0.vs")), 2);  // the file says 3, one is empty
    EXPECT_EQ(set->kindRead, 0);
    EXPECT_EQ(set->spacingRead, 0.1f);  // 0.05 in the file
    EXPECT_EQ(set->sourcePosition[1], 62.5f);
    EXPECT_EQ(set->T(1, 1), 55.75f);
    EXPECT_EQ(set->K(1, 1), 3);
    EXPECT_EQ(set->F(1, 1), 1.0f);
    // Sections A, B and C.
    const CTraveltimeSet::Sections& sec = set->sections();
    EXPECT_EQ(set->rowsA, 2);
    EXPECT_EQ(set->colsA, 3);
    EXPECT_EQ(sec.aLine1[1][2], 12.0f);
    EXPECT_EQ(sec.aFirst[1], 10.0f);
    EXPECT_EQ(sec.aLine2[1][2], 2.25f);
    EXPECT_EQ(set->entriesB, 2);
    EXPECT_EQ(sec.bCount[0], 2);
    EXPECT_EQ(sec.bValue3[0], 3.0f);
    EXPECT_EQ(sec.bSecond[0][1], 6.5f);
    EXPECT_EQ(set->rowsC, 2);
    EXPECT_EQ(set->colsC, 3);
    EXPECT_EQ(sec.cHeader1[1], 200.0f);
    EXPECT_EQ(sec.cLine1[1][1], 7.0f);
    EXPECT_EQ(sec.cLine2[1][2], 10.0f);

    ASSERT_EQ(ReadTraveltimeText(*set, Golden("v2000-kind20.pvs")), 2);
    EXPECT_EQ(set->kindRead, 20);
    EXPECT_EQ(set->F(0, 0), 0.25f);
    ASSERT_EQ(ReadTraveltimeText(*set, Golden("v1996-kind3.vs")), 2);
    EXPECT_EQ(set->W(1, 0), 0.5f);
    EXPECT_EQ(set->F(1, 0), 1.0f);
    ASSERT_EQ(ReadTraveltimeText(*set, Golden("v1996-level9.vs")), 1);
    EXPECT_EQ(set->formatLevel, 9);
    EXPECT_EQ(set->sections().cHeader2[1], -2.0f);
    EXPECT_EQ(set->sections().cLine2[1][1], 10.0f);
    ASSERT_EQ(ReadTraveltimeText(*set, Golden("old-headerless.vs")), 2);
    EXPECT_EQ(set->formatLevel, 7);  // not N
    EXPECT_EQ(set->spacingRead, 5.0f);

    // A path that cannot be opened leaves everything as it was.
    EXPECT_EQ(ReadTraveltimeText(*set, Golden("no-such-file.vs")), 0);
    EXPECT_EQ(set->shotCount, 2);
    EXPECT_EQ(set->spacingRead, 5.0f);
}

TEST_F(TraveltimeTextTest, HostileTextStopsWithinTheLimitsAndSaysWhere)
{
    using S = RostrelSection;
    using E = TextReadEnd;
    const std::string head = "1996 7 3.0\n0 2 1.0\n";
    const std::string shot = "0.0 2 0.0\n1.0 2.0 1\n2.0 3.0 1\n";
    struct Case {
        std::string text;
        E end;
        S where;
        int shots;
        int rowsA, entriesB, rowsC;
    };
    const Case cases[] = {
        {"1996 7 3.0\n0 1000000 1.0\n" + shot, E::EndOfFile, S::Shots, 1, 0, 0, 0},
        {head + "0.0 1000000 0.0\n", E::TooLarge, S::Shots, 0, 0, 0, 0},
        {head + "0.0 -4 0.0\n", E::TooLarge, S::Shots, 0, 0, 0, 0},
        {"1996 7 3.0\n0 -1 1.0\n", E::TooLarge, S::Shots, 0, 0, 0, 0},
        {head + shot + "5.0 2 0.0\n1.0 abc 1\n", E::BadValue, S::Shots, 1, 0, 0, 0},
        {"1996 7 x\n", E::BadValue, S::Header, 0, 0, 0, 0},
        {"1996 7 3.0\n0 2", E::EndOfFile, S::Header, 0, 0, 0, 0},
        {head + shot + shot + "2 2\n1 2\n3 4\n5 6", E::EndOfFile, S::SectionA, 2, 1, 0, 0},
        {head + shot + shot + "1 1000000\n", E::TooLarge, S::SectionA, 2, 0, 0, 0},
        {head + shot + shot + "0 0\n2\n1 1 1 1\n1 1\n2 1 1 1\n1 1\n", E::EndOfFile, S::SectionB, 2, 0, 1, 0},
        {head + shot + shot + "0 0\n1\n-3 1 1 1\n", E::TooLarge, S::SectionB, 2, 0, 0, 0},
        {head + shot + shot + "0 0\n0\n2 2\n1\n2\n3 4\n5\n6", E::EndOfFile, S::SectionC, 2, 0, 0, 1},
        {head + shot + shot + "0 0\n0\n1 2\n1\n2\nz", E::BadValue, S::SectionC, 2, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        set->Reset();
        const TraveltimeTextRead read = ReadTraveltimeSetText(*set, c.text);
        EXPECT_EQ(read.end, c.end);
        EXPECT_EQ(read.where, c.where);
        EXPECT_EQ(set->shotCount, c.shots);
        EXPECT_EQ(read.shotsStored, c.shots);
        EXPECT_EQ(set->rowsA, c.rowsA);
        EXPECT_EQ(set->entriesB, c.entriesB);
        EXPECT_EQ(set->rowsC, c.rowsC);
        for (int s = 0; s < set->shotCount; ++s) EXPECT_LE(set->pickCount[s], CTraveltimeSet::kMaxPicks);
    }
}

TEST_F(TraveltimeTextTest, NormalizeCurveAmplitudes)
{
    ASSERT_EQ(ReadTraveltimeText(*set, Golden("v2000-kind20.pvs")), 2);
    set->NormalizeCurveAmplitudes();
    EXPECT_EQ(set->F(0, 1), 1.0f);
    EXPECT_EQ(set->F(1, 0), 0.125f);
    for (int p = 0; p < 3; ++p) set->F(0, p) = 0.0f;
    for (int p = 0; p < 2; ++p) set->F(1, p) = 0.0f;
    set->NormalizeCurveAmplitudes();  // all 0: nothing happens
    EXPECT_EQ(set->F(1, 1), 0.0f);
}

TEST(TraveltimeTextSetOf, TheDeclaredKindDecidesNeverTheName)
{
    EXPECT_EQ(TraveltimeTextSetOf("2000 9 3.0\n20 2 1.0\n"), TraveltimeTextSet::PhaseVelocityCurves);
    EXPECT_EQ(TraveltimeTextSetOf("2000 9 3.0\n0 2 1.0\n"), TraveltimeTextSet::FirstArrivals);  // a .pvs of old
    EXPECT_EQ(TraveltimeTextSetOf("1996 7 3.0\n3 1 1.0\n"), TraveltimeTextSet::FirstArrivals);
    EXPECT_EQ(TraveltimeTextSetOf("20 1 1.0\n"), TraveltimeTextSet::PhaseVelocityCurves);  // old form, no version
    EXPECT_EQ(TraveltimeTextSetOf("2000 9 3.0\n"), TraveltimeTextSet::None);
    EXPECT_EQ(TraveltimeTextSetOf("x"), TraveltimeTextSet::None);
    EXPECT_EQ(TraveltimeFileSetOf(Golden("v2000-kind20.pvs")), TraveltimeTextSet::PhaseVelocityCurves);
    EXPECT_EQ(TraveltimeFileSetOf(Golden("v1996-kind0.vs")), TraveltimeTextSet::FirstArrivals);
    EXPECT_EQ(TraveltimeFileSetOf("/nonexistent/x.pvs"), TraveltimeTextSet::None);
}

}  // namespace
}  // namespace velk
