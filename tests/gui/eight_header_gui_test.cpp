// An 8-header file opened through File > Open in the real program: the document, the title and
// the record on show follow, and a screenshot shows it.

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

#include "app/command_table.h"
#include "formats/eight_header.h"
#include "gui_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

TEST(EightHeaderInTheProgram, FileOpenShowsTheRecord)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    TempFolder folder;
    const std::string profile = folder.File("Velkarine.ini");
    WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\n");

    // Twelve traces of a decaying wave arriving later with distance.
    constexpr int kTraces = 12, kSamples = 400;
    Matrix2D<float> rows(0, kTraces - 1, 0, kSamples - 1);
    std::vector<CTraceHeader> headers(kTraces);
    for (int i = 0; i < kTraces; ++i) {
        headers[static_cast<size_t>(i)].Set(i + 1, i * 200, -100, 0, 1, 0.0f, 250.0f, kSamples);
        for (int k = 0; k < kSamples; ++k) {
            const double t = (k - 20 - 12 * i) * 0.05;
            rows[i][k] = t > 0 ? static_cast<float>(std::exp(-t * 0.4) * std::sin(2.0 * t)) : 0.0f;
        }
    }
    const std::string record = folder.File("shot.8hd");
    ASSERT_TRUE(WriteEightHeaderFile(record, rows, headers, kTraces).ok);

    const std::string report = folder.File("report.txt"), go = folder.File("go");
    const std::string script = "sleep 300; answer " + record + "; answer OK; command " +
                               std::to_string(cmd::kFileOpen) + "; sleep 500; report " + report + "; waitfile " + go +
                               "; answer OK; close";
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM},
                              ScriptedRun(display, profile, folder.File("home"), script, {{"LANG", "C.UTF-8"}}),
                              folder.File("output.txt")));
    ASSERT_TRUE(WaitForFile(report, 30s)) << ReadFileText(folder.File("output.txt"));
    const std::string shot = ShotPath("eight-header-file-open.png");
    if (Screenshot(display.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(go, "");
    const std::optional<int> rc = program.Wait(30s);
    ASSERT_TRUE(rc.has_value()) << ReadFileText(folder.File("output.txt"));
    EXPECT_EQ(*rc, 0);

    const std::string text = ReadFileText(report);
    EXPECT_NE(text.find("title=shot.8hd - Velkarine\n"), std::string::npos) << text;
    EXPECT_NE(text.find("traces=0+12/12\n"), std::string::npos) << text;
    EXPECT_NE(text.find("samples=0+400/400\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace velk
