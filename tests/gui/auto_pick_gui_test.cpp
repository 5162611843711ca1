// "Pick first arrival time automatically" in the real program: the synthetic sample shot is
// opened, picked by the command, and photographed (<build>/gui-shots/auto-pick.png) with a red
// tick at every trace's onset.

#include <gtest/gtest.h>

#include <wx/image.h>
#include <wx/imagpng.h>

#include <iostream>
#include <thread>

#include "app/formats/seg2_commands.h"
#include "app/picking/auto_picking.h"
#include "app/view/view_commands.h"
#include "gui_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

int RedPixels(const std::string& png)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxImage image;
    if (!image.LoadFile(wxString::FromUTF8(png), wxBITMAP_TYPE_PNG)) return -1;
    int n = 0;
    for (int py = 0; py < image.GetHeight(); ++py)
        for (int px = 0; px < image.GetWidth(); ++px)
            n += image.GetRed(px, py) == 255 && image.GetGreen(px, py) == 0 && image.GetBlue(px, py) == 0 ? 1 : 0;
    return n;
}

TEST(AutoPickInTheProgram, TicksAppearAtTheOnsets)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    if (!HaveProgram("import")) GTEST_SKIP() << "no screenshot tool (ImageMagick import)";
    TempFolder folder;
    const std::string profile = folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\nWindowX=0\nWindowY=0\nWindowW=1270\nWindowH=1000\n");
    const std::string record = std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2";
    const std::string output = folder.File("output.txt"), report = folder.File("report.txt");
    auto command = [](int id) { return "; command " + std::to_string(id); };
    std::string zoom = command(cmd::kSamplesShownFirst + 3);
    for (int i = 0; i < 5; ++i) zoom += command(cmd::kEnlargeTimeScale);
    const std::string script = "sleep 300; answer " + record + command(cmd::kOpenSeg2) + zoom +
                               command(cmd::kAutoPickFirstArrivals) + "; sleep 800; report " + report;
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM},
                              ScriptedRun(display, profile, folder.File("home"), script, {{"LANG", "C.UTF-8"}}),
                              output));
    ASSERT_TRUE(WaitForFile(report, 30s)) << ReadFileText(output);
    std::this_thread::sleep_for(300ms);
    const std::string shot = ShotPath("auto-pick.png");
    EXPECT_TRUE(Screenshot(display.Name(), shot));
    std::cout << "[ screenshot ] " << shot << '\n';
    program.Kill();
    EXPECT_GT(RedPixels(shot), 24 * 10);
}

}  // namespace
}  // namespace velk
