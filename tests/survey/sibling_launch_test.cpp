// Command lines of the sibling programs, the launch pattern, and the viewer's block.

#include "survey/sibling_launch.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/shared_block.h"
#include "survey/olvenar_link.h"
#include "tools/fake_launcher.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLines, TextAndArgumentsAreExact)
{
    const float a[] = {-1.5f, 2.0f}, b[] = {100.0f, -200.0f}, c[] = {-1.0f, 0.0f};
    struct Case {
        CommandLine line;
        std::string text;
        Args args;
    };
    const Case cases[] = {
        {RostrelCommandLine("AUTOMATIC"), " -Velkarine -AUTOMATIC", {"-Velkarine", "-AUTOMATIC"}},
        {OlvenarCommandLine("TotalSemblance", ""), " -Velkarine -TotalSemblance -", {"-Velkarine", "-TotalSemblance", "-"}},
        {DispersionCommandLine("-MAM"), " -2 -MAM", {"-2", "-MAM"}},
        {ModuleCommandLine(24, 1024, 0.125f), " 24 1024 0.125000 ", {"24", "1024", "0.125000"}},
        {KelvarnOpenCommandLine("a b.8hd"), "a b.8hd -0", {"a b.8hd", "-0"}},
        {KelvarnConvertCommandLine("/d/a.8hd", "/d/a_new.8hd"), "/d/a.8hd  -1 -/d/a_new.8hd", {"/d/a.8hd", "-1", "-/d/a_new.8hd"}},
        {NordalisCommandLine(), " ", {}},
        {DispersionCurveCommandLine(2, a, b, c, "x", "s.sg2"),
         " -1 x -2  -1.500000 -100.000000 --1.000000  -2.000000 -200.000000 -0.000000  -s.sg2 ",
         {"-1", "x", "-2", "-1.500000", "-100.000000", "--1.000000", "-2.000000", "-200.000000", "-0.000000", "-s.sg2"}},
        {DispersionCurveCommandLine(0, {}, {}, {}, " ", "f"), " -1   -0  -f ", {"-1", " ", "-0", "-f"}},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(k.line.text, k.text);
        EXPECT_EQ(k.line.args, k.args) << k.text;
    }
    testing::ScopedGlobalLocale german("de_DE.UTF-8");
    VELK_SKIP_WITHOUT_LOCALE(german);
    EXPECT_EQ(DispersionCurveCommandLine(2, a, b, c, "x", "s.sg2").text, cases[7].text);
}

class Launch : public ::testing::Test {
protected:
    ScriptedUiHost ui;
    FakeLauncher launcher;
    LaunchServices services{ui, launcher, "/work/folder", -1};
};

TEST_F(Launch, FailingPathAsksForTheProgramAndHoldsThePickedOne)
{
    std::string path = "/bad/Rostrel";
    launcher.failing = {path};
    ui.ExpectMessage("Can not launch Rostrel. ");
    ui.AnswerFileOpen("/opt/Rostrel");
    EXPECT_EQ(LaunchRostrel(path, "AUTOMATIC", services), 1);
    EXPECT_EQ(path, "/opt/Rostrel");
    EXPECT_EQ(ui.Calls()[1].file.initialName, "Rostrel");
    EXPECT_EQ(launcher.Started(), Args{"/opt/Rostrel"});
    EXPECT_EQ(launcher.starts.back().args, (Args{"-Velkarine", "-AUTOMATIC"}));
    EXPECT_EQ(launcher.starts.back().folder, "/work/folder");

    ui.ExpectMessage("Can not launch Nordalis. ");
    ui.CancelFileOpen();
    std::string nordalis = "/bad/Rostrel";
    EXPECT_EQ(LaunchWithRetry(SiblingProgram::Nordalis, nordalis, NordalisCommandLine(), services), 0);
    EXPECT_EQ(nordalis, "/bad/Rostrel");
}

TEST_F(Launch, QuessilTriesItsFixedPathSilently)
{
    std::string path = "/bad/Quessil";
    launcher.failing = {path};
    EXPECT_EQ(LaunchDispersionProgram(path, "-MAM", services), 1);
    EXPECT_EQ(path, MapWindowsPath("c:\\Program Files\\Tarnhold_e\\Quessil"));
    EXPECT_EQ(launcher.Started(), Args{path});
    EXPECT_TRUE(ui.Calls().empty());
}

// ---------------------------------------------------------------------------------------------
// The viewer's block

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
void PutF(std::vector<uint8_t>& b, size_t at, float v) { Put(b, at, std::bit_cast<uint32_t>(v)); }
void PutText(std::vector<uint8_t>& b, size_t at, const std::string& s) { std::memcpy(&b[at], s.data(), s.size()); }

class Olvenar : public Launch {
protected:
    void SetUp() override { SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-"); }
    void TearDown() override
    {
        link.Release(profile);
        UnlinkSharedBlocks();
        SetSharedBlockPrefix("");
    }
    std::vector<uint8_t> Block() const { return {link.Block(), link.Block() + COlvenarLink::kBlockSize}; }

    Profile profile = Profile::FromText("");
    COlvenarLink link{profile};
};

TEST_F(Olvenar, LayoutsAreByteExact)
{
    std::vector<float> x(2000), y(2000);
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = static_cast<float>(i) * 0.5f;
        y[i] = -static_cast<float>(i);
    }
    const std::string longLabel = std::string(77, 'a') + "\xC3\xA9\xC3\xA9" + std::string(19, 'b');  // 100 bytes
    std::vector<uint8_t> want(COlvenarLink::kBlockSize, 0);

    // A: 2000 points give 1024; the long label stops before the character that would cross 79.
    ASSERT_TRUE(link.PutCurve(2000, x.data(), y.data(), "f", longLabel));
    Put(want, 0, 1024);
    for (size_t i = 0; i < 1024; ++i) {
        PutF(want, 4 + 4 * i, x[i]);
        PutF(want, 4100 + 4 * i, y[i]);
    }
    PutText(want, 8196, "f");
    PutText(want, 8276, longLabel.substr(0, 79));
    EXPECT_EQ(Block(), want);
    ASSERT_TRUE(link.PutCurve(1, x.data(), y.data(), "f", std::string(100, 'z')));
    Put(want, 0, 1);
    PutText(want, 8276, std::string(79, 'z'));
    EXPECT_EQ(Block(), want);
    EXPECT_EQ(Block()[8276 + 79], 0);

    // B and C overlap A's labels; bytes a layout does not name keep theirs.
    ASSERT_TRUE(link.PutSpectrum(3, x.data(), y.data(), "Hz", "amp"));
    Put(want, 8356, 3);
    for (size_t i = 0; i < 3; ++i) {
        PutF(want, 8360 + 4 * i, x[i]);
        PutF(want, 41128 + 4 * i, y[i]);
    }
    PutText(want, 73896, "Hz");
    PutText(want, 73976, "amp");
    EXPECT_EQ(Block(), want);

    EXPECT_TRUE(link.PutChannel(0, 9, 2, x.data(), y.data()));  // before BeginChannels: nothing
    EXPECT_EQ(Block(), want);
    ASSERT_TRUE(link.BeginChannels("c1", "c2"));
    ASSERT_TRUE(link.PutChannel(1, 7, 2, x.data(), y.data()));
    ASSERT_TRUE(link.PutChannel(3, 7, 2, x.data(), y.data()));  // no channel 3
    Put(want, 8356, 1);
    Put(want, 8360 + 4, 2);
    Put(want, 8372 + 4, 7);
    for (size_t i = 0; i < 2; ++i) {
        PutF(want, 8384 + 32768 + 4 * i, x[i]);
        PutF(want, 106688 + 32768 + 4 * i, y[i]);
    }
    PutText(want, 204992, "c1");
    PutText(want, 205072, "c2");
    EXPECT_EQ(Block(), want);

    // D: positions are receiver words / 100 in integers.
    Matrix2D<float> rows(0, 1, 0, 7);
    rows[1][2] = 5.0f;
    const CTraceHeader h[2] = {{1, 250, 0, 1, 1, 0.0f, 500.0f, 3}, {2, -150, 0, 1, 1, 0.0f, 500.0f, 3}};
    ASSERT_TRUE(link.PutMatrix(rows, h, 2));
    Put(want, 0, 2);
    Put(want, 4, 3);
    for (size_t k = 8; k < 8 + 2 * 4096; k += 4096)
        for (size_t j = 0; j < 3; ++j) PutF(want, k + 4 * j, 0.0f);
    PutF(want, 8 + 4096 + 8, 5.0f);
    PutF(want, 204808, 2.0f);
    PutF(want, 204812, -1.0f);
    for (size_t j = 0; j < 3; ++j) PutF(want, 205008 + 4 * j, static_cast<float>(j) * 0.5f);
    EXPECT_EQ(Block(), want);

    link.path = "/opt/Olvenar";
    EXPECT_EQ(link.Launch("COHERENCE", "MATRIX", services), 1);
    EXPECT_EQ(launcher.starts.back().args, (Args{"-Velkarine", "-COHERENCE", "-MATRIX"}));
}

TEST_F(Olvenar, BlockThatCannotBeMadeStartsNothing)
{
    SetSharedBlockPrefix("no/such/");
    const float v = 1.0f;
    EXPECT_FALSE(link.PutCurve(1, &v, &v, "a", "b"));
    ui.ExpectMessage("Cannot create the shared memory block MyData.");
    EXPECT_EQ(link.Launch("PhaseDifference", "1024", services), 0);
    EXPECT_TRUE(launcher.starts.empty());
}

}  // namespace
}  // namespace velk
