// Records that replace the one shown, in the real program: the picks of a file-list load go
// to its own shot, and the image of 2D SPAC is shown rather than the array geometry
// (screenshots in <build>/gui-shots/record-arrival-*.png).

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "app/command_table.h"
#include "app/formats/seg2_commands.h"
#include "app/picking/auto_picking.h"
#include "app/picking/pick_commands.h"
#include "app/simulated_line.h"
#include "app/surfacewave/spac_commands.h"
#include "app/survey/file_list_commands.h"
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
