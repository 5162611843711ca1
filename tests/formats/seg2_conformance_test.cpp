// The conformance checker itself: it accepts the standard's layout in every data code, rejects
// the older layout of the first SEG-2 writer, and names each broken rule.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "seg2_conformance.h"
#include "seg2_fixture_writer.h"
#include "tools/test_support.h"

namespace velk {
namespace {

namespace fx = testing::seg2fixture;
using seg2_conformance::Check;

bool Mentions(const seg2_conformance::Report& r, const std::string& text)
{
    for (const std::string& p : r.problems)
        if (p.find(text) != std::string::npos) return true;
    return false;
}

TEST(Seg2Conformance, StandardFixturesOfEveryCodePass)
{
    for (const auto& f : fx::StandardFixtures()) {
        if (f.name == "seg2-old-layout.sg2") continue;
        const auto r = Check(f.bytes);
        EXPECT_TRUE(r.Ok()) << f.name << "\n" << r.Describe();
    }
}

TEST(Seg2Conformance, ProgramsOldLayoutFails)
{
    fx::OldTrace t;
    t.receiverHundredths = 100;
    t.samples = {1.0f, 2.0f, 3.0f};
    const auto r = Check(fx::WriteOldLayout({t, t}));
    EXPECT_FALSE(r.Ok());
    EXPECT_TRUE(Mentions(r, "trace 1: no SAMPLE_INTERVAL string")) << r.Describe();
    EXPECT_TRUE(r.traces[0].strings.empty());  // at P + 32 the old layout has zeros: an empty list
}

TEST(Seg2Conformance, TheFieldRecordPasses)
{
    const std::string path = std::string(VELK_SHARED_DATA) + "/field-shot-24ch.sg2";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
    const auto r = Check(testing::ReadFileBytes(path));
    EXPECT_TRUE(r.Ok()) << r.Describe();
    EXPECT_EQ(r.traceCount, 24u);
    EXPECT_EQ(r.TraceValue(23, "RECEIVER_LOCATION"), "115.00");
}

std::vector<uint8_t> Good()
{
    fx::File f;
    f.traces.push_back(fx::MakeTrace(4, 2, fx::Float32Data({1, 2}), 0.001, 1, 0));
    f.traces.push_back(fx::MakeTrace(2, 2, fx::Int32Data({1, 2}), 0.001, 2, 0));
    return fx::WriteStandard(f);
}

uint32_t Pointer(const std::vector<uint8_t>& b, int i) { return b[32 + 4 * i] | (b[33 + 4 * i] << 8) | (b[34 + 4 * i] << 16); }

TEST(Seg2Conformance, EachBrokenRuleIsNamed)
{
    ASSERT_TRUE(Check(Good()).Ok()) << Check(Good()).Describe();
    struct Case {
        const char* problem;
        std::function<void(std::vector<uint8_t>&)> change;
    };
    const std::vector<Case> cases = {
        {"file descriptor block ID", [](auto& b) { std::swap(b[0], b[1]); }},
        {"revision number is 2", [](auto& b) { b[2] = 2; }},
        {"M is smaller than 4N", [](auto& b) { b[4] = 4; }},
        {"not a multiple of 4", [](auto& b) { b[4] = 9; }},
        {"trace 1: trace descriptor block ID", [](auto& b) { b[Pointer(b, 0)] = 0; }},
        {"trace 2: block size below 32", [](auto& b) { b[Pointer(b, 1) + 2] = 28; b[Pointer(b, 1) + 3] = 0; }},
        {"trace 1: data block size does not match", [](auto& b) { b[Pointer(b, 0) + 4] = 12; }},
        {"trace 2: data format code 9", [](auto& b) { b[Pointer(b, 1) + 12] = 9; }},
        {"trace 2: data block runs past the end", [](auto& b) { b.resize(b.size() - 1); }},
        {"blocks overlap", [](auto& b) { b[32 + 4] = b[32]; b[33 + 4] = b[33]; }},
        {"trace 1: descriptor block outside the file", [](auto& b) { b[35] = 0x7F; }},
        {"trace 1: string entry at byte", [](auto& b) { b[Pointer(b, 0) + 32] = 0xFF; }},
        {"trace 1: non-text byte", [](auto& b) { b[Pointer(b, 0) + 35] = 0x01; }},
        {"trace 2: SAMPLE_INTERVAL is not a positive number",
         [](auto& b) {
             const std::string key = "SAMPLE_INTERVAL 0.001";
             auto it = std::search(b.begin() + Pointer(b, 1), b.end(), key.begin(), key.end());
             *(it + 16) = '-';
         }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = Good();
        c.change(b);
        const auto r = Check(b);
        EXPECT_TRUE(Mentions(r, c.problem)) << c.problem << "\n" << r.Describe();
    }
}

}  // namespace
}  // namespace velk
