// Surface-wave roads in the real program on a 1024 x 768 screen: a line carrying a microtremor
// array asks for it in "2D SPAC" after the list dialog; a new phase-velocity image shows whole,
// its legend inside the window.

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

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

class SurfaceWaveView : public ::testing::Test {
protected:
    // Runs the program on `script` in the folder, where the sample record lies.
    void Run(const std::string& script)
    {
        if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
        velk::testing::WriteFileText(folder.File("Velkarine.ini"), "[General]\nLanguageRegister=1\nLanguage=-1\n");
        std::filesystem::copy_file(std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2", folder.File("shot.sg2"));
        ASSERT_TRUE(program.Start({VELK_PROGRAM},
                                  ScriptedRun(display, folder.File("Velkarine.ini"), folder.File("home"), script,
                                              {{"LANG", "C.UTF-8"}}),
                                  folder.File("output.txt"), {}, folder.Path()));
    }
    std::string Output() { return ReadFileText(folder.File("output.txt")); }
    void Shot(const std::string& name)
    {
        std::this_thread::sleep_for(800ms);
        if (Screenshot(display.Name(), ShotPath(name))) std::cout << "[ screenshot ] " << name << '\n';
        program.Kill();
    }

    PrivateDisplay display{"1024x768x24"};
    velk::testing::TempFolder folder;
    Child program;
};

TEST_F(SurfaceWaveView, ArrayLineShowsTheArrayDialogAfterTheList)
{
    const std::string line = folder.File("array-line.xml");
    velk::testing::WriteFileText(line, "<?xml version='1.0'?><line><file_list><file><file_name>shot.sg2</file_name>"
                                       "<id>1</id></file></file_list><mam_geometry><iGeometry>11</iGeometry>"
                                       "<nReceiver>24</nReceiver></mam_geometry></line>");
    // The list dialog is answered; the array dialog comes up as a window.
    Run("sleep 300; answer " + line + "; answer OK; command " + std::to_string(cmd::kOpenFileList));
    for (int i = 0; i < 300 && Output().find("CArrayGeometryDlg") == std::string::npos; ++i)
        std::this_thread::sleep_for(100ms);
    Shot("array-line-dialog.png");
    const std::string out = Output();
    ASSERT_NE(out.find("dialog \"CFileListDlg\" -> OK"), std::string::npos) << out;
    EXPECT_GT(out.find("dialog \"CArrayGeometryDlg\" -> (window)"), out.find("CFileListDlg")) << out;
}

TEST_F(SurfaceWaveView, NewPhaseVelocityImageShowsItsLegendInTheWindow)
{
    const std::string report = folder.File("report.txt");
    Run("sleep 300; answer " + folder.File("shot.sg2") + "; command " + std::to_string(cmd::kOpenSeg2) +
        "; sleep 500; answer OK; command " + std::to_string(cmd::kPhaseVelocityTransform) + "; command " +
        std::to_string(cmd::kContourPlot) + "; sleep 1000; report " + report);
    ASSERT_TRUE(WaitForFile(report, 30s)) << Output();
    Shot("phase-velocity-image.png");
    const std::string r = ReadFileText(report);
    int right = 0, bottom = 0, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(r.substr(r.find("display.extent=")).c_str(), "display.extent=%d,%d", &right, &bottom), 2);
    ASSERT_EQ(std::sscanf(r.substr(r.find("view.visible=")).c_str(), "view.visible=%d,%d", &width, &height), 2);
    EXPECT_NE(r.find("display.recordKind=1"), std::string::npos);
    EXPECT_GT(right, 1000);  // the image and its legend were drawn ...
    EXPECT_LE(right, width);  // ... inside the window
    EXPECT_LE(bottom, height);
}

}  // namespace
}  // namespace velk
