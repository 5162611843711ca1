// The picks in the real program's view: a SEG-2 record, a first-arrival file opened through
// File > Option > Open first arrival file (red ticks over the traces and the completion
// message), then a traveltime file of three shots (the record's shot magenta, the others green).

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <sstream>

#include "app/picking/pick_commands.h"
#include "app/formats/seg2_commands.h"
#include "app/view/view_commands.h"
#include "gui_support.h"
#include "platform/numtext.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

// The first arrival at an offset of the sample shot: the direct wave (400 m/s) and the head wave
// behind it (1800 m/s).
double FirstArrival(double offset) { return std::min(std::abs(offset) / 0.4, std::abs(offset) / 1.8 + 29.2); }

TEST(PickOverlayInTheProgram, PicksAndTraveltimeCurvesAreDrawnOverTheRecord)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    if (!HaveProgram("import")) GTEST_SKIP() << "no screenshot tool (ImageMagick import)";
    TempFolder folder;
    const std::string profile = folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\nWindowX=0\nWindowY=0\nWindowW=1270\nWindowH=1000\n");
    // The sample shot: 24 receivers 5 m apart from 0 m, the shot at -2.5 m.
    std::string picks;
    for (int i = 0; i < 24; ++i) picks += FormatC(" %f %f %f \n", i * 5.0, FirstArrival(i * 5.0 + 2.5), 0.0);
    const std::string pickFile = folder.File("shot.fa");
    WriteFileText(pickFile, picks);
    // A traveltime file of the record's shot and two more along the line.
    std::string vs = "1996 7 3.000000\n0 3 5.000000\n";
    for (const double source : {-2.5, 40.0, 117.5}) {
        vs += FormatC("%f %d %f\n", source, 24, 0.0);
        for (int i = 0; i < 24; ++i) vs += FormatC("%f %f %d \n", i * 5.0, FirstArrival(i * 5.0 - source), 1);
    }
    vs += "0 0 \n 0 \n 0 0 \n";
    const std::string vsFile = folder.File("line.vs");
    WriteFileText(vsFile, vs);

    const std::string output = folder.File("output.txt");
    const std::string ticks = folder.File("ticks.txt"), curves = folder.File("curves.txt");
    const std::string go1 = folder.File("go1"), go2 = folder.File("go2");
    const std::string record = std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2";
    auto command = [](int id) { return "; command " + std::to_string(id); };
    // Record; picks (message answered); traveltime file (answered); the picks once more with the
    // message left on the screen.
    // The first 125 ms, the time scale enlarged five times.
    std::string zoom = command(cmd::kSamplesShownFirst + 3);
    for (int i = 0; i < 5; ++i) zoom += command(cmd::kEnlargeTimeScale);
    const std::string script = "sleep 300; answer " + record + command(cmd::kOpenSeg2) + zoom + "; sleep 500; answer " +
                               pickFile + "; answer OK" + command(cmd::kOpenFirstArrivalFile) + "; sleep 800; report " +
                               ticks + "; waitfile " + go1 + "; answer " + vsFile + "; answer OK" +
                               command(cmd::kOpenRostrelFile) + "; sleep 800; report " + curves + "; waitfile " + go2 +
                               "; answer " + pickFile + command(cmd::kOpenFirstArrivalFile);

    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM},
                              ScriptedRun(display, profile, folder.File("home"), script, {{"LANG", "C.UTF-8"}}),
                              output));
    auto screenshot = [&](const std::string& name) {
        const std::string path = ShotPath(name);
        EXPECT_TRUE(Screenshot(display.Name(), path));
        std::cout << "[ screenshot ] " << path << '\n';
        return path;
    };
    ASSERT_TRUE(WaitForFile(ticks, 30s)) << ReadFileText(output);
    std::this_thread::sleep_for(300ms);
    const std::string tickShot = screenshot("pick-overlay-ticks.png");
    WriteFileText(go1, "");
    ASSERT_TRUE(WaitForFile(curves, 30s)) << ReadFileText(output);
    std::this_thread::sleep_for(300ms);
    const std::string curveShot = screenshot("pick-overlay-curves.png");
    WriteFileText(go2, "");
    std::this_thread::sleep_for(1500ms);
    screenshot("pick-overlay-message.png");
    program.Kill();

    const std::string said = ReadFileText(output);
    EXPECT_NE(said.find("First arrival file has beem read !"), std::string::npos) << said;
    EXPECT_NE(said.find("Rostrel file has been read !"), std::string::npos) << said;
    // 24 red ticks of 40 units (4 mm, about 15 pixels) and 2 units wide; no curve yet.
    EXPECT_GT(Pixels(tickShot, 255, 0, 0), 24 * 10);
    EXPECT_EQ(Pixels(tickShot, 0, 255, 0), 0);
    // The record's shot in magenta, the two others in green.
    EXPECT_GT(Pixels(curveShot, 255, 0, 255), 100);
    EXPECT_GT(Pixels(curveShot, 0, 255, 0), 200);
}

// The first record of the run, opened from the command line, picked (here through a first-arrival
// file) and saved as a Rostrel file: the shot is written at the record's source, -2.5 m.
TEST(PickOverlayInTheProgram, PicksOfTheFirstRecordAreSavedAtItsShot)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    TempFolder folder;
    const std::string profile = folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\nWindowX=0\nWindowY=0\nWindowW=1270\nWindowH=1000\n");
    std::string picks;
    for (int i = 0; i < 24; ++i) picks += FormatC(" %f %f %f \n", i * 5.0, FirstArrival(i * 5.0 + 2.5), 0.0);
    const std::string pickFile = folder.File("shot.fa");
    WriteFileText(pickFile, picks);
    const std::string saved = folder.File("line.vs");
    const std::string output = folder.File("output.txt"), done = folder.File("done.txt"), go = folder.File("go");
    const std::string record = std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2";
    const std::string script = "answer OK; sleep 300; answer " + pickFile + "; answer OK; command " +
                               std::to_string(cmd::kOpenFirstArrivalFile) + "; sleep 500; answer " + saved +
                               "; answer OK; command " + std::to_string(cmd::kSaveRostrelFile) + "; sleep 500; report " +
                               done + "; waitfile " + go;
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM, record},
                              ScriptedRun(display, profile, folder.File("home"), script, {{"LANG", "C.UTF-8"}}),
                              output));
    ASSERT_TRUE(WaitForFile(done, 30s)) << ReadFileText(output);
    const std::string shot = ShotPath("pick-first-record-saved.png");
    if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(go, "");
    program.Kill();
    // The header lines, then the shot line: its position, 24 picks, the third value.
    std::istringstream lines(ReadFileText(saved));
    std::string line[3];
    for (std::string& l : line) std::getline(lines, l);
    std::cout << "[ saved file ] " << line[0] << " | " << line[1] << " | " << line[2] << '\n';
    EXPECT_NE(ReadFileText(output).find("Rostrel file has been saved"), std::string::npos) << ReadFileText(output);
    EXPECT_EQ(line[2], "-2.500000 24 0.000000");
}

}  // namespace
}  // namespace velk
