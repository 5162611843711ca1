// A SEG-Y record named on the command line opens through File > Open's road in the real
// program on a virtual display, and is photographed (<build>/gui-shots/segy-open.png).

#include <gtest/gtest.h>

#include <iostream>

#include "gui_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

TEST(SegYOpen, CommandLineSgyShowsItsTraces)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    TempFolder folder;
    const std::string profile = folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\n");
    const std::string report = folder.File("r1.txt");
    const std::string go = folder.File("go");
    // The summary of the load, then the frame with the record.
    const std::string script = "answer OK; sleep 500; report " + report + "; waitfile " + go + "; answer OK; close";
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM, std::string(VELK_TEST_DATA) + "/segy-ibm-be.sgy"},
                              ScriptedRun(display, profile, folder.File("home"), script),
                              folder.File("output.txt")));
    ASSERT_TRUE(WaitForFile(report, 30s)) << ReadFileText(folder.File("output.txt"));
    const std::string shot = ShotPath("segy-open.png");
    if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(go, "");
    const std::optional<int> rc = program.Wait(30s);
    ASSERT_TRUE(rc.has_value());
    EXPECT_EQ(*rc, 0);
    const std::string out = ReadFileText(folder.File("output.txt"));
    EXPECT_NE(out.find("Number of trace = 6"), std::string::npos) << out;
    EXPECT_NE(ReadFileText(report).find("title=segy-ibm-be.sgy"), std::string::npos) << ReadFileText(report);
}

// A record larger than the store: after the capacity message and the summary, both shown in
// windows of their own while the frame paints behind them, the record is drawn without a scroll.
TEST(SegYOpen, ARecordCutToTheCapacityIsDrawnAfterItsMessages)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    if (!HaveProgram("import")) GTEST_SKIP() << "no screenshot tool (ImageMagick import)";
    TempFolder folder;
    const std::string profile = folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\nMAXTRACES=4\nWindowX=0\nWindowY=0\n"
                           "WindowW=1000\nWindowH=800\n");
    const std::string report = folder.File("r.txt"), go = folder.File("go");
    const std::string script = "answer window OK; answer window OK; sleep 2500; report " + report + "; waitfile " + go;
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM, std::string(VELK_TEST_DATA) + "/segy-ibm-be.sgy"},
                              ScriptedRun(display, profile, folder.File("home"), script),
                              folder.File("output.txt")));
    ASSERT_TRUE(WaitForFile(report, 40s)) << ReadFileText(folder.File("output.txt"));
    const std::string shot = ShotPath("segy-cut-to-capacity.png");
    ASSERT_TRUE(Screenshot(display.Name(), shot));
    std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(go, "");
    program.Kill();
    const std::string out = ReadFileText(folder.File("output.txt"));
    EXPECT_NE(out.find("Only 4 traces has been read !"), std::string::npos) << out;
    EXPECT_NE(out.find("Number of trace = 4"), std::string::npos) << out;
    // The frame, the ticks and four traces in black; the "No waveform data" notice alone is a
    // few hundred pixels.
    EXPECT_GT(Pixels(shot, 0, 0, 0), 3000);
}

}  // namespace
}  // namespace velk
