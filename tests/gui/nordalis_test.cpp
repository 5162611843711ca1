// The time-frequency viewer in a real window: panels of an exchange file with their frames and
// labels, the grey scheme, wider panels after two zooms, and the settings file and recent list
// it keeps (<build>/gui-shots/nordalis-*.png).

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <thread>

#include "gui_support.h"
#include "platform/byte_io.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileBytes;
using velk::testing::WriteFileText;

// Three panels of a sweep whose frequency rises with time, as the export writes them.
void WriteSweep(const std::string& path, int panels, int windows, int frequencies)
{
    ByteSink sink;
    sink.WriteI32(panels, ByteOrder::Little);
    sink.WriteI32(windows, ByteOrder::Little);
    sink.WriteI32(frequencies, ByteOrder::Little);
    sink.WriteF32(1.0f, ByteOrder::Little);
    sink.WriteF32(31.25f, ByteOrder::Little);
    for (int i = 0; i < panels; ++i)
        for (int j = 0; j < windows; ++j)
            for (int k = 0; k < frequencies; ++k) {
                const double peak = (0.2 + 0.6 * j / std::max(windows - 1, 1)) * frequencies + i;
                sink.WriteF32(static_cast<float>(std::exp(-0.5 * std::pow((k - peak) / 3.0, 2))), ByteOrder::Little);
            }
    WriteFileBytes(path, sink.Bytes());
}

struct ViewerRun {
    TempFolder folder;
    std::string home = folder.File("home");
    std::map<std::string, std::string> Env(const PrivateDisplay& display, const std::string& script) const
    {
        return {{"DISPLAY", display.Name()},
                {"VELKARINE_HOME", home},
                {"NORDALIS_PROFILE", folder.File("Nordalis.ini")},
                {"NORDALIS_UI_SCRIPT", script}};
    }
};

TEST(NordalisViewer, PanelsZoomColourAndKeptSettings)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    ViewerRun run;
    std::filesystem::create_directories(run.home);
    WriteSweep(run.home + "/wfft.dat", 3, 120, 64);
    WriteFileText(run.folder.File("Nordalis.ini"), "[Recent File List]\nFile1=/data/a.dat\n");
    std::string script;
    const char* shots[] = {"nordalis-colour.png", "nordalis-grey.png", "nordalis-zoomed.png"};
    const char* steps[] = {"", "command 32776; ", "command 32775; command 32775; "};
    for (int i = 0; i < 3; ++i) {
        script += std::string(steps[i]) + "sleep 700; report " + run.folder.File("r" + std::to_string(i)) +
                  "; waitfile " + run.folder.File("go" + std::to_string(i)) + "; ";
    }
    script += "close";
    Child viewer;
    ASSERT_TRUE(viewer.Start({NORDALIS_PROGRAM}, run.Env(display, script), run.folder.File("output.txt"), {},
                             run.folder.Path()));
    for (int i = 0; i < 3; ++i) {
        const std::string report = run.folder.File("r" + std::to_string(i));
        ASSERT_TRUE(WaitForFile(report, 30s)) << ReadFileText(run.folder.File("output.txt"));
        const std::string shot = ShotPath(shots[i]);
        if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
        WriteFileText(run.folder.File("go" + std::to_string(i)), "");
    }
    const std::optional<int> rc = viewer.Wait(30s);
    ASSERT_TRUE(rc.has_value()) << ReadFileText(run.folder.File("output.txt"));
    EXPECT_EQ(*rc, 0);
    EXPECT_NE(ReadFileText(run.folder.File("r0")).find("colour=1"), std::string::npos);
    EXPECT_NE(ReadFileText(run.folder.File("r1")).find("colour=0"), std::string::npos);
    EXPECT_NE(ReadFileText(run.folder.File("r2")).find("xscale=2.25"), std::string::npos);
    EXPECT_NE(ReadFileText(run.folder.File("r0")).find("panels=3 windows=120 frequencies=64"), std::string::npos);

    // Six lines at exit, the scales as zoomed; the recent list comes through unchanged.
    const std::string kept = ReadFileText(run.folder.File("nordalis_profile.txt"));
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 6) << kept;
    EXPECT_NE(kept.find(" 1.000000 \n 2.250000 \n"), std::string::npos) << kept;
    EXPECT_NE(ReadFileText(run.folder.File("Nordalis.ini")).find("File1=/data/a.dat"), std::string::npos);
}

TEST(NordalisViewer, KilledViewerLeavesSettingsAndWidePanelsOpen)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    ViewerRun run;
    std::filesystem::create_directories(run.home);
    WriteSweep(run.home + "/wfft.dat", 1, 100000, 8);
    const std::string before = " 10 \n 20 \n 500 \n 400 \n 1.500000 \n 0.100000 \n";
    WriteFileText(run.folder.File("nordalis_profile.txt"), before);
    const std::string report = run.folder.File("r");
    Child viewer;
    ASSERT_TRUE(viewer.Start({NORDALIS_PROGRAM}, run.Env(display, "sleep 500; report " + report),
                             run.folder.File("output.txt"), {}, run.folder.Path()));
    ASSERT_TRUE(WaitForFile(report, 30s)) << ReadFileText(run.folder.File("output.txt"));
    EXPECT_NE(ReadFileText(report).find("windows=100000"), std::string::npos);
    viewer.Kill();
    EXPECT_EQ(ReadFileText(run.folder.File("nordalis_profile.txt")), before);
}

// The road from the main program: the sample shot, Select all traces, WFFT with its defaults;
// the viewer beside it starts and shows one panel per trace.
TEST(NordalisViewer, StartedByTheMainProgramsExport)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    ViewerRun run;
    const std::string profile = run.folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\n");
    const std::string record = std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2";
    const std::string done = run.folder.File("done"), go = run.folder.File("go");
    const std::string viewerReport = run.folder.File("viewer"), viewerGo = run.folder.File("viewer-go");
    const std::string script = "answer OK; sleep 300; command 25014; answer OK; command 28100; sleep 300; report " +
                               done + "; waitfile " + go;
    std::map<std::string, std::string> env =
        run.Env(display, "sleep 800; report " + viewerReport + "; waitfile " + viewerGo + "; close");
    env["VELKARINE_PROFILE"] = profile;
    env["VELKARINE_UI_SCRIPT"] = script;
    env["LANG"] = "C.UTF-8";
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM, record}, env, run.folder.File("output.txt"), {}, run.folder.Path()));
    ASSERT_TRUE(WaitForFile(viewerReport, 30s)) << ReadFileText(run.folder.File("output.txt"));
    const std::string shot = ShotPath("nordalis-from-wfft.png");
    if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(viewerGo, "");
    WriteFileText(go, "");
    program.Kill();
    // 24 traces of 2000 samples: P 2048, window 32, hop 8, "1/2" keeps 8 of the 16 bins.
    EXPECT_NE(ReadFileText(viewerReport).find("panels=24 windows=247 frequencies=8"), std::string::npos)
        << ReadFileText(viewerReport);
}

// With no panels to read, the viewer says so in boxes that carry its own name.
TEST(NordalisViewer, NoDataSaidInTheViewersOwnBoxes)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    ViewerRun run;
    std::filesystem::create_directories(run.home);  // no wfft.dat
    Child viewer;
    ASSERT_TRUE(viewer.Start({NORDALIS_PROGRAM}, run.Env(display, "answer OK; sleep 500; answer OK; command 32771; close"),
                             run.folder.File("output.txt"), {}, run.folder.Path()));
    ASSERT_TRUE(viewer.Wait(30s).has_value()) << ReadFileText(run.folder.File("output.txt"));
    const std::string out = ReadFileText(run.folder.File("output.txt"));
    EXPECT_NE(out.find("message \"There is no data to save: no time-frequency panels have been read.\" -> OK [Nordalis]"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("[Velkarine]"), std::string::npos) << out;  // nor the unreadable file's box
}

// Closed while its start-up warning is still open: the box ends, the settings are written and
// the viewer exits 0.
TEST(NordalisViewer, CloseOverTheStartUpWarning)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    ViewerRun run;
    std::filesystem::create_directories(run.home);  // no wfft.dat
    const std::string go = run.folder.File("go"), out = run.folder.File("output.txt");
    Child viewer;
    ASSERT_TRUE(viewer.Start({NORDALIS_PROGRAM}, run.Env(display, "waitfile " + go + "; close"), out, {},
                             run.folder.Path()));
    for (int i = 0; i < 300 && ReadFileText(out).find("-> (window)") == std::string::npos; ++i)
        std::this_thread::sleep_for(100ms);
    ASSERT_NE(ReadFileText(out).find("-> (window)"), std::string::npos) << ReadFileText(out);
    WriteFileText(go, "");
    const std::optional<int> rc = viewer.Wait(30s);
    ASSERT_TRUE(rc.has_value()) << ReadFileText(out);
    EXPECT_EQ(*rc, 0) << ReadFileText(out);
    EXPECT_FALSE(ReadFileText(run.folder.File("nordalis_profile.txt")).empty());
}

}  // namespace
}  // namespace velk
