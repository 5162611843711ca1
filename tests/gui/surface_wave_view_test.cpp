// Surface-wave roads in the real program on a 1024 x 768 screen: a line carrying a microtremor
// array asks for it in "2D SPAC" after the list dialog; a new phase-velocity image and a new
// coherence image show whole as colour contours, their legends inside the window.

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "app/formats/seg2_commands.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/surfacewave/spac_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/view/view_commands.h"
#include "gui_support.h"
#include "platform/numtext.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;

class SurfaceWaveView : public ::testing::Test {
protected:
    // Runs the program on `script` in the folder, where the sample record lies.
    void Run(const std::string& script, const std::string& profile = {})
    {
        if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
        velk::testing::WriteFileText(folder.File("Velkarine.ini"),
                                     "[General]\nLanguageRegister=1\nLanguage=-1\n" + profile);
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

// The picture a report describes is drawn (the image and its legend reach across most of the
// window) and lies inside the window.
void ExpectFitted(const std::string& r)
{
    int right = 0, bottom = 0, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(r.substr(r.find("display.extent=")).c_str(), "display.extent=%d,%d", &right, &bottom), 2);
    ASSERT_EQ(std::sscanf(r.substr(r.find("view.visible=")).c_str(), "view.visible=%d,%d", &width, &height), 2);
    EXPECT_GT(right, width / 2);
    EXPECT_LE(right, width);
    EXPECT_GT(bottom, height / 2);
    EXPECT_LE(bottom, height);
}

// The record is shown as wiggles; the new image comes as a colour contour, whole, its legend in
// the window, and so does its velocity-depth image; the record brought back by undo is shown as
// wiggles again.
TEST_F(SurfaceWaveView, NewPhaseVelocityImageShowsItsLegendInTheWindow)
{
    const std::string image = folder.File("image.txt"), depth = folder.File("depth.txt");
    const std::string record = folder.File("record.txt");
    Run("sleep 300; answer " + folder.File("shot.sg2") + "; command " + std::to_string(cmd::kOpenSeg2) +
        "; sleep 500; answer OK; command " + std::to_string(cmd::kPhaseVelocityTransform) + "; sleep 1000; report " +
        image + "; sleep 2000; answer OK; command " + std::to_string(cmd::kVelocityDepthTransform) +
        "; sleep 1000; report " + depth + "; sleep 2000; command " + std::to_string(cmd::kEditUndo) + "; command " +
        std::to_string(cmd::kEditUndo) + "; sleep 500; report " + record);
    for (const auto& [report, shot] : {std::pair{image, "phase-velocity-image.png"}, {depth, "velocity-depth-image.png"}}) {
        ASSERT_TRUE(WaitForFile(report, 30s)) << Output();
        std::this_thread::sleep_for(500ms);
        if (Screenshot(display.Name(), ShotPath(shot))) std::cout << "[ screenshot ] " << shot << "\n";
        const std::string r = ReadFileText(report);
        EXPECT_NE(r.find("display.recordKind=1"), std::string::npos);
        EXPECT_NE(r.find("display.plotMode=0,0"), std::string::npos) << r;
        ExpectFitted(r);
    }
    ASSERT_TRUE(WaitForFile(record, 30s)) << Output();
    program.Kill();
    EXPECT_NE(ReadFileText(record).find("display.plotMode=-2,0"), std::string::npos) << ReadFileText(record);
}

// The generator's array records listed and averaged by "Spatial autocorrelation (MAM : SPAC)":
// the coherence image shows from 0 Hz to the Nyquist frequency, fills the window and carries
// its titles (screenshot).
TEST_F(SurfaceWaveView, CoherenceImageOfTheArrayFillsTheWindow)
{
    std::string files;
    for (int i = 1; i <= 10; ++i) {
        files += FormatC("<file><file_name>MicrotremorArrayData_%02d.8hd</file_name><id>%d</id>"
                         "<file_type>2</file_type></file>",
                         i, i);
    }
    const std::string list = folder.File("array-list.xml");
    velk::testing::WriteFileText(list, "<?xml version='1.0'?><line><file_list>" + files + "</file_list></line>");
    const std::string report = folder.File("report.txt");
    Run("sleep 300; answer OK; answer OK; command " + std::to_string(cmd::kMicrotremorArrayData) + "; sleep 500; answer " +
            list + "; answer OK; command " + std::to_string(cmd::kOpenFileList) + "; sleep 500; answer OK; command " +
            std::to_string(cmd::kSpac2DFileGroup) + "; sleep 1500; report " + report,
        "MAX_SAMPLE=8192\n");
    ASSERT_TRUE(WaitForFile(report, 60s)) << Output();
    Shot("coherence-image.png");
    const std::string r = ReadFileText(report);
    EXPECT_NE(r.find("display.recordKind=2"), std::string::npos) << r;
    EXPECT_NE(r.find("display.plotMode=0,0"), std::string::npos) << r;
    EXPECT_NE(r.find("display.samples=0+4097/8192"), std::string::npos) << r;  // 0 .. 125 Hz at 4 ms
    ExpectFitted(r);
}

}  // namespace
}  // namespace velk
