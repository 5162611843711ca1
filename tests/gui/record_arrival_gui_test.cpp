// Records that replace the one shown, in the real program: the picks of a file-list load go
// to its own shot, and the image of 2D SPAC is shown rather than the array geometry
// (screenshots in <build>/gui-shots/record-arrival-*.png).

#include <gtest/gtest.h>

#include <cmath>
#include <vector>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "app/command_table.h"
#include "app/formats/seg2_commands.h"
#include "app/picking/auto_picking.h"
#include "app/picking/pick_commands.h"
#include "app/simulated_line.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/surfacewave/spac_commands.h"
#include "app/survey/automatic_processing.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "app/view/view_commands.h"
#include "gui_support.h"
#include "tools/test_support.h"
#include "traveltime/traveltime_set.h"
#include "traveltime/traveltime_text.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::SimulatedLine;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

std::string Command(int id) { return "; command " + std::to_string(id) + "; sleep 400"; }

// The value of `key=` in the program's report.
std::string ReportValue(const std::string& report, const std::string& key)
{
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

// Runs the program on `script` until `report` is written, then photographs it.
void RunProgram(const PrivateDisplay& display, const TempFolder& folder, const std::string& script,
                const std::string& report, const std::string& shotName, const std::string& profileKeys = {})
{
    const std::string profile = folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\nWindowX=0\nWindowY=0\nWindowW=1270\nWindowH=1000\n" +
                               profileKeys);
    const std::string output = folder.File("output.txt");
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM},
                              ScriptedRun(display, profile, folder.File("home"), script, {{"LANG", "C.UTF-8"}}),
                              output, {}, folder.Path()));
    ASSERT_TRUE(WaitForFile(report, 60s)) << ReadFileText(output);
    std::this_thread::sleep_for(300ms);
    const std::string shot = ShotPath(shotName);
    EXPECT_TRUE(Screenshot(display.Name(), shot));
    std::cout << "[ screenshot ] " << shot << '\n';
    program.Kill();
}

// Open the shot at 27.5 m, pick it automatically, update the traveltime curves; make a file
// list of the shot at -2.5 m, pick it, save the traveltime set: the new picks are stored under
// -2.5 m, the first shot's stay as they were, and the frame names the record shown.
TEST(RecordArrivalInTheProgram, PicksAfterAFileListLoadGoToItsOwnShot)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    if (!HaveProgram("import")) GTEST_SKIP() << "no screenshot tool (ImageMagick import)";
    TempFolder folder;
    SimulatedLine line;
    const std::string first = folder.File("shot_a.sg2"), second = folder.File("shot_b.sg2");
    ASSERT_TRUE(line.WriteShot(first, 27.5f, 1));
    ASSERT_TRUE(line.WriteShot(second, -2.5f, 2));
    const std::string saved = folder.File("picks.vs"), report = folder.File("report.txt");
    const std::string script = "sleep 300; answer " + first + Command(cmd::kOpenSeg2) +
                               Command(cmd::kAutoPickFirstArrivals) + Command(cmd::kUpdateTraveltimeCurves) +
                               "; answer " + second + "; answer OK; answer OK; answer OK" + Command(cmd::kMakeFileList) +
                               Command(cmd::kAutoPickFirstArrivals) + "; answer " + saved + "; answer OK" +
                               Command(cmd::kSaveRostrelFile) + "; report " + report;
    RunProgram(display, folder, script, report, "record-arrival-file-list.png");

    const std::string text = ReadFileText(report);
    EXPECT_EQ(ReportValue(text, "title"), "shot_b.sg2 - Velkarine");
    EXPECT_NE(ReportValue(text, "status").find("|shot_b.sg2|"), std::string::npos) << ReportValue(text, "status");

    auto set = std::make_unique<CTraveltimeSet>();
    ASSERT_GT(ReadTraveltimeText(*set, saved), 0) << ReadFileText(saved);
    ASSERT_EQ(set->shotCount, 2);
    for (int s = 0; s < 2; ++s) {
        SCOPED_TRACE(set->sourcePosition[s]);
        ASSERT_EQ(set->pickCount[s], 24);
        // Each shot's earliest pick lies at the receiver next to its own source.
        int earliest = 0;
        for (int k = 1; k < 24; ++k)
            if (set->T(s, k) < set->T(s, earliest)) earliest = k;
        EXPECT_LT(std::fabs(set->X(s, earliest) - set->sourcePosition[s]), 3.0f);
    }
    EXPECT_FLOAT_EQ(std::fmin(set->sourcePosition[0], set->sourcePosition[1]), -2.5f);
    EXPECT_FLOAT_EQ(std::fmax(set->sourcePosition[0], set->sourcePosition[1]), 27.5f);
}

// A three-shot line listed from its folder, its geometry set and picked over the list; the shot
// at -2.5 m opened and three of its picks corrected with the mouse; then group picking again,
// answered No (keep the picks held), or the right and left side waveforms and back; then the
// traveltime data saved. The corrections are in the saved file both times.
class HandCorrectionsInTheProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
        if (!HaveProgram("import")) GTEST_SKIP() << "no screenshot tool (ImageMagick import)";
        std::filesystem::create_directories(lineFolder);
        SimulatedLine line;
        ASSERT_TRUE(line.WriteShot(lineFolder + "/shot1.sg2", 27.5f, 1));
        ASSERT_TRUE(line.WriteShot(shot, -2.5f, 2));
        ASSERT_TRUE(line.WriteShot(lineFolder + "/shot3.sg2", 57.5f, 3));
    }
    // The line listed, its geometry and data set, picked over the list, the shot at -2.5 m opened.
    std::string Opened() const
    {
        return "sleep 300; answer " + lineFolder + "; answer OK; answer OK; answer OK" + Command(cmd::kMakeFileListFromFolder) +
               "; answer OK; answer OK; answer OK; answer OK" + Command(cmd::kSetUpGeometry) + Command(cmd::kGroupAutoPickFirstArrivals) + "; answer " +
               shot + "; answer OK" + Command(cmd::kOpenSeg2);
    }

    // A first run shows where the shot is drawn; the three corrections are clicked there, where
    // the automatic picks are not: 90 ms at 10 m, 100 ms at 20 m, 110 ms at 30 m.
    std::string Clicks()
    {
        const std::string layoutReport = folder.File("layout.txt");
        RunProgram(display, folder, Opened() + "; report " + layoutReport, layoutReport, "hand-corrections-opened.png");
        const std::string layout = ReadFileText(layoutReport);
        std::vector<double> frame;
        receivers.clear();
        for (auto [key, into] : {std::pair{"layout", &frame}, std::pair{"receivers", &receivers}}) {
            std::istringstream in(ReportValue(layout, key));
            for (std::string item; std::getline(in, item, ',');) into->push_back(std::stod(item));
        }
        EXPECT_EQ(frame.size(), 5u) << layout;
        EXPECT_EQ(receivers.size(), 24u);
        if (frame.size() != 5u || frame[4] != 0 || receivers.size() != 24u) return {};  // time-horizontal layout expected
        const double hscale = std::stod(ReportValue(layout, "display.hscale"));
        const double plotscale = std::stod(ReportValue(layout, "display.plotscale"));
        std::string clicks;
        for (const auto& [trace, t] : corrections) {
            const int x = static_cast<int>(frame[0] + t * hscale);
            const int y = -static_cast<int>(frame[1] + (receivers[static_cast<size_t>(trace)] * 0.01 - frame[2]) * plotscale);
            clicks += "; mouse " + std::to_string(x) + " " + std::to_string(y) + "; sleep 150; press; sleep 100; release; sleep 200";
        }
        return clicks;
    }

    // The saved traveltime data holds the three shots and the corrections under the one at -2.5 m.
    void ExpectCorrections(const std::string& saved)
    {
        auto set = std::make_unique<CTraveltimeSet>();
        ASSERT_EQ(ReadTraveltimeText(*set, saved), 3) << ReadFileText(saved);
        ASSERT_FLOAT_EQ(set->sourcePosition[0], -2.5f);
        for (const auto& [trace, t] : corrections) {
            const float x = static_cast<float>(receivers[static_cast<size_t>(trace)] * 0.01);
            float stored = 0.0f;
            for (int k = 0; k < set->pickCount[0]; ++k)
                if (std::fabs(set->X(0, k) - x) < 0.01f) stored = set->T(0, k);
            EXPECT_NEAR(stored, t, 3.0) << "receiver " << x << " m";
        }
    }

    PrivateDisplay display;
    TempFolder folder;
    std::string lineFolder = folder.File("line");
    std::string shot = lineFolder + "/shot2.sg2";
    const std::vector<std::pair<int, double>> corrections = {{5, 90.0}, {10, 100.0}, {15, 110.0}};
    std::vector<double> receivers;
};

TEST_F(HandCorrectionsInTheProgram, SurviveGroupPickingAnsweredNoAndTheSideWaveforms)
{
    std::string clicks = Clicks();
    ASSERT_FALSE(clicks.empty());
    const std::string picked = folder.File("picked.txt");
    clicks += "; report " + picked;

    // Group picking again, answered No (keep the held shots), then the save.
    const std::string again = folder.File("again.vs"), report = folder.File("again.txt");
    RunProgram(display, folder,
               Opened() + clicks + "; answer No" + Command(cmd::kGroupAutoPickFirstArrivals) + "; answer " + again +
                   "; answer OK" + Command(cmd::kSaveRostrelFile) + "; report " + report,
               report, "hand-corrections-group-picking.png");
    std::istringstream clicked(ReportValue(ReadFileText(picked), "picks"));
    std::vector<double> picks;
    for (std::string item; std::getline(clicked, item, ',');) picks.push_back(std::stod(item));
    ASSERT_EQ(picks.size(), 24u);
    for (const auto& [trace, t] : corrections) EXPECT_NEAR(picks[static_cast<size_t>(trace)], t, 3.0) << trace;
    ExpectCorrections(again);

    // The right side waveforms (a receiver gather) and back, then the save.
    const std::string side = folder.File("side.vs"), sideReport = folder.File("side.txt");
    RunProgram(display, folder,
               Opened() + clicks + Command(cmd::kShowRightSide) + Command(cmd::kShowLeftSide) + "; answer " + side +
                   "; answer OK" + Command(cmd::kSaveRostrelFile) + "; report " + sideReport,
               sideReport, "hand-corrections-side-waveforms.png");
    ExpectCorrections(side);
}

// After the corrections, the shot's phase-velocity image is made and its curve picked and
// saved in a phase-velocity file; then the next file of the list is shown and the traveltime data
// saved. The traveltime file holds the three shots, 24 picks each, with the corrections, in its
// own format; the curve file holds the one curve; the shot shown carries its picks.
TEST_F(HandCorrectionsInTheProgram, PhaseVelocityPicksStayOutOfTheShots)
{
    const std::string clicks = Clicks();
    ASSERT_FALSE(clicks.empty());
    const std::string curve = folder.File("curve.pvs"), saved = folder.File("line.vs"), report = folder.File("pv.txt");
    RunProgram(display, folder,
               Opened() + clicks + "; answer OK" + Command(cmd::kPhaseVelocityTransform) + "; answer OK" +
                   Command(cmd::kPickPhaseVelocity) + "; answer " + curve + "; answer OK" + Command(cmd::kSaveRostrelFile) +
                   Command(cmd::kShowNextFile) + "; answer " + saved + "; answer OK" + Command(cmd::kSaveRostrelFile) +
                   "; sleep 500; report " + report,
               report, "hand-corrections-phase-velocity.png");

    const std::string text = ReadFileText(saved);
    EXPECT_EQ(text.rfind("1996 ", 0), 0u) << text.substr(0, 40);  // the traveltime format
    ExpectCorrections(saved);
    auto set = std::make_unique<CTraveltimeSet>();
    ASSERT_EQ(ReadTraveltimeText(*set, saved), 3);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(set->pickCount[s], 24) << set->sourcePosition[s];
    EXPECT_LT(set->kindRead, 10);

    auto curves = std::make_unique<CTraveltimeSet>();
    ASSERT_EQ(ReadTraveltimeText(*curves, curve), 1) << ReadFileText(curve);
    EXPECT_EQ(curves->kindRead, 20);
    EXPECT_FLOAT_EQ(curves->sourcePosition[0], -2.5f);
    EXPECT_GT(curves->pickCount[0], 0);

    // The list was on its first member (group picking leaves the record on show), so the next
    // file is its second, the shot at -2.5 m: it shows its own picks, corrections included.
    const std::string shown = ReadFileText(report);
    EXPECT_EQ(ReportValue(shown, "title"), "shot2.sg2 - Velkarine");
    std::istringstream picks(ReportValue(shown, "picks"));
    int picked = 0;
    for (std::string item; std::getline(picks, item, ',');) picked += std::stod(item) > 0.0 ? 1 : 0;
    EXPECT_EQ(picked, 24);
}

// Synthetic microtremor-array data (its records are longer than the default MAX_SAMPLE), its
// geometry shown, then 2D SPAC: the view shows the SPAC image (a row per spacing of the array),
// not the geometry picture.
TEST(RecordArrivalInTheProgram, TwoDimensionalSpacImageIsShown)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    if (!HaveProgram("import")) GTEST_SKIP() << "no screenshot tool (ImageMagick import)";
    TempFolder folder;
    const std::string report = folder.File("report.txt");
    // The generator's array and record dialogs, the geometry dialog of each of the other two.
    const std::string script = "sleep 300; answer OK; answer OK" + Command(cmd::kMicrotremorArrayData) +
                               "; answer OK" + Command(cmd::kSetUpMamGeometry) + "; answer OK" +
                               Command(cmd::kSpac2DRecord) + "; sleep 500; report " + report;
    RunProgram(display, folder, script, report, "record-arrival-spac.png", "MAX_SAMPLE=33000\n");
    const std::string text = ReportValue(ReadFileText(report), "checked");
    // View > Option > "Waveform data" is checked (display mode 0), "Geometry" is not.
    std::istringstream ids(text);
    std::string id;
    bool waveform = false, geometry = false;
    while (std::getline(ids, id, ',')) {
        waveform = waveform || id == std::to_string(cmd::kWaveformData);
        geometry = geometry || id == std::to_string(cmd::kGeometry);
    }
    EXPECT_TRUE(waveform) << text;
    EXPECT_FALSE(geometry) << text;
}

}  // namespace
}  // namespace velk
