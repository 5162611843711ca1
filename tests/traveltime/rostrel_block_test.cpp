// The shared block "RostrelData" against the words that tests/traveltime/ref/rostrel_block.py
// writes from the block's table (rostrel_block.txt).
#include "traveltime/publish_traveltime_set.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "platform/shared_block.h"
#include "traveltime/traveltime_set.h"

namespace velk {
namespace {

uint32_t WordAt(const uint8_t* block, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | block[at + static_cast<size_t>(i)];
    return v;
}

std::map<size_t, uint32_t> ExpectedWords()
{
    std::ifstream in(std::string(VELK_SOURCE_DIR) + "/tests/traveltime/ref/rostrel_block.txt");
    std::map<size_t, uint32_t> words;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        size_t at = 0;
        uint32_t v = 0;
        fields >> at >> std::hex >> v;
        words[at] = v;
    }
    return words;
}

struct RostrelBlock : ::testing::Test {
    void SetUp() override { SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-rb-"); }
    void TearDown() override
    {
        CloseRostrelData(*set);
        UnlinkSharedBlocks();
        SetSharedBlockPrefix("");
    }
    std::unique_ptr<CTraveltimeSet> set = std::make_unique<CTraveltimeSet>();
};

TEST_F(RostrelBlock, OpensOnceAndRefusesWritesWithoutAMappedBlock)
{
    EXPECT_EQ(SetRostrelParameter(*set, 0, 1.0f), 0);
    EXPECT_EQ(CopyToRostrelData(*set, 1, "p"), 0);
    EXPECT_EQ(PublishTraveltimeSet(*set), 0);

    SetSharedBlockPrefix("no/such/");
    std::string error;
    EXPECT_EQ(OpenRostrelData(*set, &error), 0);
    EXPECT_EQ(set->blockOpen, 0);
    EXPECT_FALSE(error.empty());

    SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-rb-");
    ASSERT_EQ(OpenRostrelData(*set), 1);
    EXPECT_EQ(set->blockOpen, 1);
    EXPECT_EQ(OpenRostrelData(*set), 0);
    EXPECT_EQ(SetRostrelParameter(*set, 10, 1.0f), 0);
    EXPECT_EQ(SetRostrelParameter(*set, -1, 1.0f), 0);
    EXPECT_EQ(PublishTraveltimeSet(*set), 1);
    EXPECT_EQ(WordAt(set->BlockView(), rostrel_block::kRequest), 0xffffffffu);

    CloseRostrelData(*set);
    EXPECT_EQ(CopyToRostrelData(*set, 1, "p"), 0);
    EXPECT_EQ(OpenRostrelData(*set), 0);  // once per run
}

// The input of rostrel_block.py: SHOTS, PARAMETERS, REQUEST, PATH and pick().
TEST_F(RostrelBlock, EveryByteMatchesTheReference)
{
    const struct { float source, third; int count; } shots[] = {{10.5f, 0.0f, 3}, {20.25f, 115.0f, 450}, {-5.0f, 2.5f, 7}};
    set->shotCount = 3;
    for (int s = 0; s < 3; ++s) {
        set->sourcePosition[s] = shots[s].source;
        set->thirdValue[s] = shots[s].third;
        set->pickCount[s] = shots[s].count;
        for (int p = 0; p < shots[s].count; ++p) {
            set->X(s, p) = static_cast<float>(s * 100 + p * 0.5);
            set->T(s, p) = static_cast<float>(10 + s + p * 0.25);
            set->K(s, p) = (p + s) % 4;
            set->W(s, p) = static_cast<float>(p * 0.125 - s);
            set->F(s, p) = static_cast<float>(1 + p * 0.0625);
        }
    }
    std::string path = "/survey/";
    while (path.size() < 320) path += "abcdefghijklmnopqrstuvwxyz";
    path.resize(320);

    ASSERT_EQ(OpenRostrelData(*set), 1);
    ASSERT_EQ(set->blockHolder.Size(), size_t{2016416});
    EXPECT_EQ(SetRostrelParameter(*set, 0, 1.5f), 1);
    EXPECT_EQ(SetRostrelParameter(*set, 4, -2.25f), 1);
    EXPECT_EQ(SetRostrelParameter(*set, 9, 1000.0f), 1);
    EXPECT_EQ(CopyToRostrelData(*set, 7, path), 1);

    const std::map<size_t, uint32_t> expected = ExpectedWords();
    ASSERT_GT(expected.size(), 2000u);
    const uint8_t* block = set->BlockView();
    int mismatches = 0;
    for (size_t at = 0; at < rostrel_block::kSize && mismatches < 10; at += 4) {
        if (at >= 4 && at < 40) continue;  // not written
        const auto it = expected.find(at);
        const uint32_t want = it == expected.end() ? 0u : it->second;
        if (WordAt(block, at) != want) {
            ADD_FAILURE() << "offset " << at << ": " << std::hex << WordAt(block, at) << " != " << want;
            ++mismatches;
        }
    }
}

TEST_F(RostrelBlock, MoreShotsThanRowsKeepNButFillOnlyTheRows)
{
    set->shotCount = 300;
    for (int s = 0; s < 300; ++s) {
        set->pickCount[s] = 1;
        set->X(s, 0) = static_cast<float>(s);
        set->T(s, 0) = 5.0f;
    }
    ASSERT_EQ(OpenRostrelData(*set), 1);
    ASSERT_EQ(PublishTraveltimeSet(*set), 1);
    const uint8_t* block = set->BlockView();
    const auto floatAt = [&](size_t at) {
        const uint32_t w = WordAt(block, at);
        float f;
        std::memcpy(&f, &w, 4);
        return f;
    };
    EXPECT_EQ(WordAt(block, rostrel_block::kShotCount), 300u);
    EXPECT_EQ(WordAt(block, rostrel_block::kPickCounts + 4 * 250), 1u);
    EXPECT_EQ(floatAt(rostrel_block::kX + 4 * 250 * 401), 250.0f);
    // Shot 251 would land on T of shot 0.
    EXPECT_EQ(floatAt(rostrel_block::kT), 5.0f);
    EXPECT_EQ(WordAt(block, rostrel_block::kK), 0u);
}

}  // namespace
}  // namespace velk
