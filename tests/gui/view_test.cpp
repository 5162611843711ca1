// The view in the real program: it fills the frame, a scripted series of menu commands changes
// the display state, and the View menu's check marks follow through the update-UI events.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "app/view/view_commands.h"
#include "gui_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

std::set<int> Ids(const std::string& list)
{
    std::set<int> ids;
    std::istringstream in(list);
    for (std::string item; std::getline(in, item, ',');) ids.insert(std::stoi(item));
    return ids;
}

std::string Command(int id) { return "command " + std::to_string(id) + "; "; }

TEST(ViewInTheProgram, CommandsChangeTheStateAndTheCheckMarksFollow)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    TempFolder folder;
    const std::string profile = folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\n");
    const std::string r1 = folder.File("r1.txt"), r2 = folder.File("r2.txt"), go = folder.File("go");

    std::string script = "sleep 300; report " + r1 + "; ";
    for (int id : {cmd::kShadePositive, cmd::kVerticalDirection, cmd::kContourPlot, cmd::kVelocityModel,
                   cmd::kEnlargeAmplitude, cmd::kNormalizeByFile, cmd::kSelectedTraceOnly, cmd::kComponentFirst + 1,
                   cmd::kEnglish}) {
        script += Command(id);
    }
    script += "sleep 300; report " + r2 + "; waitfile " + go + "; answer OK; close";

    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM},
                              ScriptedRun(display, profile, folder.File("home"), script, {{"LANG", "C.UTF-8"}}),
                              folder.File("output.txt")));
    const bool reported = WaitForFile(r2, 30s);
    ASSERT_TRUE(reported) << ReadFileText(folder.File("output.txt"));
    const std::string shot = ShotPath("view-commands.png");
    if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(go, "");
    const std::optional<int> rc = program.Wait(30s);
    ASSERT_TRUE(rc.has_value()) << ReadFileText(folder.File("output.txt"));
    EXPECT_EQ(*rc, 0);

    auto before = ParseReport(ReadFileText(r1));
    auto after = ParseReport(ReadFileText(r2));

    // The view fills the client area of the frame.
    const std::string client = before["client.size"];
    const size_t x = client.find('x');
    ASSERT_NE(x, std::string::npos) << client;
    EXPECT_EQ(before["view.rect"], "0,0," + client.substr(0, x) + "," + client.substr(x + 1));
    EXPECT_EQ(after["view.rect"], before["view.rect"]);

    const std::set<int> checkedBefore = Ids(before["checked"]);
    for (int id : {cmd::kNoShading, cmd::kHorizontalDirection, cmd::kWaveformPlot, cmd::kWaveformData,
                   cmd::kComponentAll, cmd::kEnglish}) {
        EXPECT_TRUE(checkedBefore.count(id)) << id << " in " << before["checked"];
    }
    for (int id : {cmd::kShadePositive, cmd::kVerticalDirection, cmd::kContourPlot, cmd::kVelocityModel,
                   cmd::kSelectedTraceOnly}) {
        EXPECT_FALSE(checkedBefore.count(id)) << id << " in " << before["checked"];
    }

    const std::set<int> checkedAfter = Ids(after["checked"]);
    for (int id : {cmd::kShadePositive, cmd::kVerticalDirection, cmd::kContourPlot, cmd::kVelocityModel,
                   cmd::kSelectedTraceOnly, cmd::kComponentFirst + 1}) {
        EXPECT_TRUE(checkedAfter.count(id)) << id << " in " << after["checked"];
    }
    for (int id : {cmd::kNoShading, cmd::kHorizontalDirection, cmd::kWaveformPlot, cmd::kWaveformData,
                   cmd::kComponentAll, cmd::kEnglish}) {
        EXPECT_FALSE(checkedAfter.count(id)) << id << " in " << after["checked"];
    }

    EXPECT_EQ(before["display.shading"], "0");
    EXPECT_EQ(after["display.shading"], "1");
    EXPECT_EQ(after["display.direction"], "1");
    EXPECT_EQ(after["display.plotMode"], "0,0");
    EXPECT_EQ(after["display.displayMode"], "1");
    EXPECT_EQ(after["display.vscale"], "0.015");
    EXPECT_EQ(after["display.normalisation"], "1");
    EXPECT_EQ(after["display.selectedOnly"], "1");
    EXPECT_EQ(after["display.component"], "2");
    EXPECT_EQ(after["display.language"], "1");
    // Messages follow the language at once; the menus keep theirs until the next start.
    EXPECT_EQ(after["menus"], before["menus"]);
    const std::string out = ReadFileText(folder.File("output.txt"));
    EXPECT_NE(out.find("終了してもよろしいですか?"), std::string::npos) << out;
}

}  // namespace
}  // namespace velk
