// Strong-motion station files opened one after another through File > Open in the real program:
// they gather into one set, the record on show holds every station, and a screenshot shows it.

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

#include "app/command_table.h"
#include "gui_support.h"
#include "tests/formats/import_fixtures.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
namespace fx = velk::testing::importfixture;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

TEST(StrongMotionInTheProgram, StationFilesGatherIntoOneRecord)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    TempFolder folder;
    const std::string profile = folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\n");

    // Three stations east of the epicentre, the wave reaching the farther ones later.
    std::vector<std::string> paths;
    for (int s = 0; s < 3; ++s) {
        fx::StationText station;
        station.code = "STN00" + std::to_string(s + 1);
        station.frequency = 100;
        station.duration = 4;
        station.stationLatitude = 36.0;
        station.stationLongitude = 137.2 + 0.1 * s;
        for (int k = 0; k < 400; ++k) {
            const double t = (k - 60 - 50 * s) * 0.03;
            station.counts.push_back(t > 0 ? static_cast<int>(400000.0 * std::exp(-t * 0.3) * std::sin(2.0 * t)) : 0);
        }
        paths.push_back(folder.File(station.code + ".ns"));
        WriteFileText(paths.back(), fx::StationTextFile(station));
    }

    // File > Open of each: the file, "Open data file" (new record) once traces are loaded, the
    // summary.
    const std::string report = folder.File("report.txt"), go = folder.File("go");
    std::string script = "sleep 300";
    for (size_t i = 0; i < paths.size(); ++i) {
        script += "; answer " + paths[i] + (i > 0 ? "; answer OK" : "") + "; answer OK; command " +
                  std::to_string(cmd::kFileOpen) + "; sleep 300";
    }
    script += "; report " + report + "; waitfile " + go + "; answer OK; close";
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM},
                              ScriptedRun(display, profile, folder.File("home"), script, {{"LANG", "C.UTF-8"}}),
                              folder.File("output.txt")));
    ASSERT_TRUE(WaitForFile(report, 30s)) << ReadFileText(folder.File("output.txt"));
    const std::string shot = ShotPath("strong-motion-file-open.png");
    if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(go, "");
    const std::optional<int> rc = program.Wait(30s);
    ASSERT_TRUE(rc.has_value()) << ReadFileText(folder.File("output.txt"));
    EXPECT_EQ(*rc, 0);

    const std::string text = ReadFileText(report);
    EXPECT_NE(text.find("title=STN003.ns - Velkarine\n"), std::string::npos) << text;
    EXPECT_NE(text.find("traces=0+3/3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("samples=0+400/400\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace velk
