// The mouse in the real program: real pointer and button events (the window system's input
// simulation) drag a pick line across a SEG-2 record, click a shot mark and drag a trace
// selection; the frame's reports and screenshots show what the user sees.

#include <gtest/gtest.h>

#include <wx/image.h>
#include <wx/imagpng.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include "app/view/interactive_edit.h"
#include "app/picking/pick_commands.h"
#include "app/formats/seg2_commands.h"
#include "gui_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

std::vector<double> Numbers(const std::string& list)
{
    std::vector<double> out;
    std::istringstream in(list);
    for (std::string item; std::getline(in, item, ',');) out.push_back(std::stod(item));
    return out;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, separator);) out.push_back(item);
    if (!text.empty() && text.back() == separator) out.emplace_back();
    return out;
}

// Pixels near this colour in a screenshot (lines may be smoothed), right of column `fromX`.
int CountColour(const std::string& path, int r, int g, int b, int fromX = 0)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxImage image;
    if (!image.LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) return -1;
    int n = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = fromX; x < image.GetWidth(); ++x)
            if (std::abs(image.GetRed(x, y) - r) < 60 && std::abs(image.GetGreen(x, y) - g) < 60 &&
                std::abs(image.GetBlue(x, y) - b) < 60) {
                ++n;
            }
    return n;
}

// The leftmost column holding at least `least` pixels near this colour, or -1.
int FirstColumn(const std::string& path, int r, int g, int b, int least = 1)
{
    wxImage image;
    if (!image.LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) return -1;
    for (int x = 0; x < image.GetWidth(); ++x) {
        int n = 0;
        for (int y = 0; y < image.GetHeight(); ++y)
            if (std::abs(image.GetRed(x, y) - r) < 60 && std::abs(image.GetGreen(x, y) - g) < 60 &&
                std::abs(image.GetBlue(x, y) - b) < 60) {
                ++n;
            }
        if (n >= least) return x;
    }
    return -1;
}

class MouseInTheProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
        if (!HaveProgram("import")) GTEST_SKIP() << "no screenshot tool (ImageMagick import)";
        WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\n");
    }
    bool Start(const std::string& script)
    {
        return program.Start({VELK_PROGRAM},
                             ScriptedRun(display, profile, folder.File("home"), script,
                                         {{"VELKARINE_SHUTDOWN_COMMAND", "true"}, {"LANG", "C.UTF-8"}}),
                             folder.File("output.txt"));
    }
    // Waits for a report, takes a screenshot, lets the script go on.
    std::map<std::string, std::string> Stage(const std::string& name)
    {
        const std::string report = folder.File(name + ".txt");
        EXPECT_TRUE(WaitForFile(report, 40s)) << ReadFileText(folder.File("output.txt"));
        std::this_thread::sleep_for(300ms);
        const std::string shot = ShotPath("mouse-" + name + ".png");
        if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
        shots[name] = shot;
        WriteFileText(folder.File("go-" + name), "");
        return ParseReport(ReadFileText(report));
    }
    std::string Steps(const std::string& name)
    {
        return "sleep 500; report " + folder.File(name + ".txt") + "; waitfile " + folder.File("go-" + name) + "; ";
    }

    PrivateDisplay display;
    TempFolder folder;
    std::string profile = folder.File("Velkarine.ini");
    std::string record = std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2";
    std::string open = "sleep 300; answer " + record + "; command " + std::to_string(cmd::kOpenSeg2) + "; sleep 800; ";
    Child program;
    std::map<std::string, std::string> shots;
};

TEST_F(MouseInTheProgram, PickDragShotMarkAndSelection)
{
    // First run: where the record is drawn.
    ASSERT_TRUE(Start(open + Steps("layout") + "answer OK; close"));
    auto layout = Stage("layout");
    program.Wait(20s);
    program.Kill();
    const std::vector<double> frame = Numbers(layout["layout"]);
    ASSERT_EQ(frame.size(), 5u) << layout["layout"];
    ASSERT_EQ(frame[4], 0) << "time-horizontal layout expected";
    const std::vector<double> receivers = Numbers(layout["receivers"]);
    ASSERT_GE(receivers.size(), 10u);
    const double hscale = std::stod(layout["display.hscale"]), plotscale = std::stod(layout["display.plotscale"]);
    const double interval = std::stod(layout["interval"]);
    auto at = [&](double t, int trace) {
        const int x = static_cast<int>(frame[0] + t * hscale);
        const int y = -static_cast<int>(frame[1] + (receivers[static_cast<size_t>(trace)] * 0.01 - frame[2]) * plotscale);
        return "mouse " + std::to_string(x) + " " + std::to_string(y) + "; sleep 150; ";
    };

    // Second run: a pick drag from trace 2 at 100 ms to trace 6 at 200 ms, a shot mark at 20 ms,
    // a selection drag from trace 3 to trace 6.
    std::string script = open + "command " + std::to_string(cmd::kPickFirstArrivalManually) + "; sleep 200; " + at(100, 2) + "press; sleep 100; " + at(150, 4) + at(200, 6) +
                         Steps("drag") + "release; " + Steps("picked") + "command " + std::to_string(cmd::kPointShotMark) + "; sleep 300; " + at(20, 0) +
                         "press; sleep 100; release; " + Steps("shifted") + "command " + std::to_string(cmd::kSelectTrace) + "; sleep 300; " + at(50, 3) +
                         "press; sleep 100; " + at(50, 5) + at(50, 6) + "release; " + Steps("selected") +
                         "key right; sleep 300; key escape; " + Steps("keys") + "answer OK; close";
    ASSERT_TRUE(Start(script));
    auto drag = Stage("drag");
    auto picked = Stage("picked");
    auto shifted = Stage("shifted");
    auto selected = Stage("selected");
    auto keys = Stage("keys");
    const std::optional<int> rc = program.Wait(30s);
    ASSERT_TRUE(rc.has_value()) << ReadFileText(folder.File("output.txt"));

    // During the drag: the rubber line from the press to the pointer, the read-outs.
    EXPECT_NE(drag["overlay"].find("40:"), std::string::npos) << drag["overlay"];
    const std::vector<std::string> panes = Split(drag["status"], '|');
    ASSERT_GE(panes.size(), 5u) << drag["status"];
    EXPECT_TRUE(std::regex_match(panes[2], std::regex(R"(time=\s*\d+\.\dmsec)"))) << panes[2];
    EXPECT_TRUE(std::regex_match(panes[3], std::regex(R"(dist\.=\d+\.\d\dm)"))) << panes[3];
    EXPECT_TRUE(std::regex_match(panes[4], std::regex(R"(6:amp\.=-?\d+\.\d{5})"))) << panes[4];
    EXPECT_GT(CountColour(shots["drag"], 255, 0, 255), 20);
    EXPECT_EQ(drag["picks"].find_first_not_of("0.,"), std::string::npos) << drag["picks"];

    // After the release: traces 2 to 6 picked along the line, the rubber line gone, red ticks.
    const std::vector<double> picks = Numbers(picked["picks"]);
    ASSERT_EQ(picks.size(), receivers.size());
    for (size_t i = 0; i < picks.size(); ++i) {
        if (i >= 2 && i <= 6) {
            EXPECT_NEAR(picks[i], 100.0 + 25.0 * static_cast<double>(i - 2), 3.0) << i;
        } else {
            EXPECT_EQ(picks[i], 0.0) << i;
        }
    }
    EXPECT_EQ(picked["overlay"].find("40:"), std::string::npos) << picked["overlay"];
    // Red ticks away from time zero, where the unpicked traces have their blue ones (the
    // leftmost column with a tick on several traces: the toolbar's blue is less).
    const int zero = FirstColumn(shots["drag"], 0, 0, 255, 30);
    ASSERT_GE(zero, 0);
    EXPECT_EQ(CountColour(shots["drag"], 255, 0, 0, zero + 6), 0);
    EXPECT_GT(CountColour(shots["picked"], 255, 0, 0, zero + 6), 20);

    // The shot mark at 20 ms: that sample is the first one now (within the pixel's few samples).
    const std::vector<double> before = Numbers(picked["samples0"]), after = Numbers(shifted["samples0"]);
    ASSERT_FALSE(after.empty());
    const int k20 = static_cast<int>(std::lround(20.0 / interval));
    int found = -1;
    for (int k = std::max(0, k20 - 8); k <= k20 + 8 && k < static_cast<int>(before.size()); ++k)
        if (before[static_cast<size_t>(k)] == after[0] && before[static_cast<size_t>(k + 1)] == after[1]) found = k;
    EXPECT_NE(found, -1) << "the first sample is not one near 20 ms";
    EXPECT_EQ(shifted["display.editMode"], "0");
    EXPECT_EQ(shifted["display.modified"], "1");

    // The selection drag turned traces 3 to 6 red.
    const std::string flags = selected["selected"];
    ASSERT_EQ(flags.size(), receivers.size());
    EXPECT_EQ(flags.substr(0, 10), "0001111000") << flags;
    EXPECT_GT(CountColour(shots["selected"], 255, 0, 0), 200);

    // The keys reach the view: Right enlarges the time scale, Escape ends the edit mode.
    EXPECT_NEAR(std::stod(keys["display.hscale"]), hscale * 1.5, 1e-3 * hscale);
    EXPECT_EQ(keys["display.editMode"], "0");
}

}  // namespace
}  // namespace velk
