// Surface-wave pictures and dialogs in the real program: a line that carries a microtremor
// array asks for its array in the "2D SPAC" dialog after the list dialog, and a new
// phase-velocity image is shown whole, its legend inside the window.

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#include "app/formats/seg2_commands.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/view/view_commands.h"
#include "gui_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

std::map<std::string, std::string> Report(const std::string& text)
{
    std::map<std::string, std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) out[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

// The two numbers of "a,b".
std::pair<int, int> Pair(const std::string& text)
{
    const size_t comma = text.find(',');
    return {std::atoi(text.c_str()), comma == std::string::npos ? 0 : std::atoi(text.c_str() + comma + 1)};
}

class SurfaceWaveView : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
        WriteFileText(folder.File("Velkarine.ini"), "[General]\nLanguageRegister=1\nLanguage=-1\n");
        std::filesystem::copy_file(std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2",
                                   folder.File("sample-shot.sg2"));
    }

    bool Start(const std::string& script)
    {
        return program.Start({VELK_PROGRAM},
                             {{"DISPLAY", display.Name()},
                              {"VELKARINE_PROFILE", folder.File("Velkarine.ini")},
                              {"VELKARINE_HOME", folder.File("home")},
                              {"LANG", "C.UTF-8"},
                              {"VELKARINE_UI_SCRIPT", script}},
                             folder.File("output.txt"), {}, folder.Path());
    }

    // Waits until the program's output holds `text`.
    bool WaitForOutput(const std::string& text)
    {
        for (int i = 0; i < 300; ++i) {
            if (ReadFileText(folder.File("output.txt")).find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    PrivateDisplay display{"1024x768x24"};
    TempFolder folder;
    Child program;
};

TEST_F(SurfaceWaveView, ArrayLineShowsTheArrayDialogAfterTheList)
{
    const std::string line = folder.File("array-line.xml");
    WriteFileText(line, "<?xml version='1.0'?><line><line_name>A</line_name><file_type>0</file_type><file_list>"
                        "<file><file_name>sample-shot.sg2</file_name><id>1</id><file_type>0</file_type>"
                        "<shot_distance>0</shot_distance><first_receiver>0</first_receiver>"
                        "<receiver_interval>1</receiver_interval><number_of_auxiliary>0</number_of_auxiliary>"
                        "</file></file_list><mam_geometry><iGeometry>11</iGeometry><nReceiver>24</nReceiver>"
                        "</mam_geometry></line>");
    // The list dialog is answered; the array dialog comes up as a window of its own.
    ASSERT_TRUE(Start("sleep 300; answer " + line + "; answer OK; command " + std::to_string(cmd::kOpenFileList)));
    ASSERT_TRUE(WaitForOutput("\"CArrayGeometryDlg\" -> (window)")) << ReadFileText(folder.File("output.txt"));
    std::this_thread::sleep_for(800ms);
    const std::string shot = ShotPath("array-line-dialog.png");
    if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    program.Kill();
    const std::string output = ReadFileText(folder.File("output.txt"));
    const size_t list = output.find("dialog \"CFileListDlg\" -> OK");
    ASSERT_NE(list, std::string::npos) << output;
    EXPECT_LT(list, output.find("dialog \"CArrayGeometryDlg\""));
}

TEST_F(SurfaceWaveView, NewPhaseVelocityImageShowsItsLegendInTheWindow)
{
    const std::string report = folder.File("report.txt");
    ASSERT_TRUE(Start("sleep 300; answer " + folder.File("sample-shot.sg2") + "; command " +
                      std::to_string(cmd::kOpenSeg2) + "; sleep 500; answer OK; command " +
                      std::to_string(cmd::kPhaseVelocityTransform) + "; command " + std::to_string(cmd::kContourPlot) +
                      "; sleep 1000; report " + report));
    ASSERT_TRUE(WaitForFile(report, 30s)) << ReadFileText(folder.File("output.txt"));
    std::this_thread::sleep_for(300ms);
    const std::string shot = ShotPath("phase-velocity-image.png");
    if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    program.Kill();
    const auto r = Report(ReadFileText(report));
    EXPECT_EQ(r.at("display.recordKind"), "1");
    const auto [right, bottom] = Pair(r.at("display.extent"));
    const auto [width, height] = Pair(r.at("view.visible"));
    ASSERT_GT(width, 0);
    EXPECT_GT(right, 1000);  // the image and its legend were drawn
    EXPECT_LE(right, width);
    EXPECT_LE(bottom, height);
}

}  // namespace
}  // namespace velk
