// The real program on a virtual display: started with a temporary profile and a German
// locale, driven by scripted answers (VELKARINE_UI_SCRIPT), described by its own report, and
// photographed. The screenshots land in <build>/gui-shots/ for a human to look at.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>
#include <tuple>

#include "gui_support.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/uihost.h"
#include "platform/profile.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

struct RunSpec {
    std::string profile;
    std::string script;
    std::vector<std::string> args;
    std::string shot;  // screenshot name once the first report is written
};

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!display_.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    }

    // Starts the program, waits for report r1, takes the screenshot, lets the script go on
    // (file "go") and waits for the end. Returns the exit code.
    std::optional<int> Execute(const RunSpec& run)
    {
        if (!run.profile.empty()) WriteFileText(profilePath_, run.profile);
        std::vector<std::string> argv = {VELK_PROGRAM};
        argv.insert(argv.end(), run.args.begin(), run.args.end());
        Child program;
        const bool started = program.Start(argv,
                                           ScriptedRun(display_, profilePath_, folder_.File("home"), run.script,
                                                       {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", ""}}),
                                           folder_.File("output.txt"));
        EXPECT_TRUE(started);
        if (!started) return std::nullopt;
        const bool reported = WaitForFile(Report(1), 30s);
        EXPECT_TRUE(reported) << ReadFileText(folder_.File("output.txt"));
        if (reported && !run.shot.empty()) {
            const std::string shot = ShotPath(run.shot);
            if (Screenshot(display_.Name(), shot)) {
                std::cout << "[ screenshot ] " << shot << '\n';
            }
        }
        WriteFileText(folder_.File("go"), "");
        return program.Wait(30s);
    }

    // The program on the instrument's screen (its menu answered by the script), with the
    // simulated seismograph in stack mode `stackMode` shooting every 2 s.
    // `extra` adds profile lines.
    bool StartAcquisition(Child& program, int stackMode, const std::string& script, const std::string& extra = "")
    {
        WriteFileText(profilePath_, "[General]\nLanguageRegister=1\nLanguage=-1\nSimulator_Shots=periodic:2\n"
                                    "Simulator_TimeScale=0\nsetPRM.stk_flg=" + std::to_string(stackMode) + "\n" + extra);
        return program.Start({VELK_PROGRAM, "DataAcquisitionONQKW"},
                             ScriptedRun(display_, profilePath_, folder_.File("home"), script,
                                         {{"VELKARINE_SHUTDOWN_COMMAND", "true"}}),
                             folder_.File("output.txt"));
    }
    // The program ends by itself within 30 s, with exit code 0, its settings written.
    void ExpectEnds(Child& program) const
    {
        const std::optional<int> rc = program.Wait(30s);
        ASSERT_TRUE(rc.has_value()) << Output();
        EXPECT_EQ(*rc, 0) << Output();
        EXPECT_TRUE(velk::Profile(profilePath_).GetInt("general", "WindowW").has_value()) << ReadFileText(profilePath_);
    }
    // Waits (at most 30 s) for the program's log to show `text`.
    bool Logged(const std::string& text) const
    {
        for (int i = 0; i < 300 && Output().find(text) == std::string::npos; ++i) std::this_thread::sleep_for(100ms);
        return Output().find(text) != std::string::npos;
    }
    // The first record of the acquisition's line, read back: its trace count (-1 when absent).
    int SavedFirstRecord() const
    {
        ByteSource file = ByteSource::FromFile(folder_.File("home/Data/qkaa0001.sg2"));
        if (!file.Ok()) return -1;
        NullUiHost ui;
        LoadTarget target(0, 64, 16384, 16384);
        FormatContext ctx{ui, kLanguageEnglish, NullLog()};
        return ReadSeg2(file, target, 1, ctx);
    }
    // A saved record of the line: its "STACK" count and the peak of its first trace.
    std::pair<int, float> SavedStack(const std::string& name) const
    {
        const std::string bytes = ReadFileText(folder_.File("home/Data/" + name));
        const size_t at = bytes.find("STACK ");
        ByteSource file = ByteSource::FromFile(folder_.File("home/Data/" + name));
        NullUiHost ui;
        LoadTarget target(0, 64, 16384, 16384);
        FormatContext ctx{ui, kLanguageEnglish, NullLog()};
        if (at == std::string::npos || !file.Ok() || ReadSeg2(file, target, 1, ctx) < 1) return {-1, 0.0f};
        float peak = 0.0f;
        for (const float v : target.Row(0)) peak = std::max(peak, std::abs(v));
        return {std::atoi(bytes.c_str() + at + 6), peak};
    }
    std::string Report(int n) const { return folder_.File("r" + std::to_string(n) + ".txt"); }
    std::string Go() const { return folder_.File("go"); }
    std::string Output() const { return ReadFileText(folder_.File("output.txt")); }

    PrivateDisplay display_;
    TempFolder folder_;
    std::string profilePath_ = folder_.File("Velkarine.ini");
};

TEST_F(ProgramRun, FirstRunInEnglishThenCancelAndOkAtTheExitQuestion)
{
    RunSpec run;
    // Language question, then the message about the missing file, then the frame.
    run.script = "answer 1; answer OK; sleep 300; report " + Report(1) + "; waitfile " + Go() +
                 "; answer Cancel; close; sleep 200; report " + Report(2) + "; answer OK; close";
    run.args = {folder_.File("no-such-record.sg2")};
    run.shot = "english-first-run.png";
    const std::optional<int> rc = Execute(run);
    ASSERT_TRUE(rc.has_value()) << Output();
    EXPECT_EQ(*rc, 0) << Output();

    const std::string out = Output();
    EXPECT_NE(out.find("two-choice \"Select the language !\" -> 1"), std::string::npos) << out;
    EXPECT_NE(out.find("message \"Cannot open the file"), std::string::npos) << out;
    EXPECT_NE(out.find("message \"Are you sure you want to exit?\" -> Cancel"), std::string::npos) << out;
    EXPECT_NE(out.find("message \"Are you sure you want to exit?\" -> OK"), std::string::npos) << out;

    auto first = ParseReport(ReadFileText(Report(1)));
    EXPECT_EQ(first["title"], "Velkarine");
    EXPECT_EQ(first["menu.resource"], "285");  // English chosen at the first run: short menu
    EXPECT_EQ(first["menus"], "File|Edit|View|Pick first arrivals|Surface-wave analysis|Option|Help");
    // The shell's items open and close the File menu; the formats' commands sit between them.
    EXPECT_EQ(first["menu.0"].rfind("New|Open...|Save|Save As...|-|", 0), 0u) << first["menu.0"];
    EXPECT_TRUE(first["menu.0"].ends_with("|-|Recent file|-|Exit")) << first["menu.0"];
    EXPECT_EQ(first["toolbar"], "20001,20002,20003,-,20030");
    EXPECT_EQ(first["toolbar.shown"], "1");
    EXPECT_EQ(first["statusbar.panes"], "12");
    // Cancel kept the frame: the second report was written by the running program.
    auto second = ParseReport(ReadFileText(Report(2)));
    EXPECT_EQ(second["shown"], "1 iconized=0");

    // The write-back keys, with C-locale decimals although the locale is German.
    velk::Profile profile(profilePath_);
    EXPECT_EQ(profile.GetInt("General", "LanguageRegister"), 1);
    EXPECT_EQ(profile.GetInt("General", "Language"), -1);
    EXPECT_EQ(profile.GetString("General", "plotscale"), "20.000000");
    EXPECT_EQ(profile.GetString("General", "BPFFH"), "5000.000000");
    EXPECT_EQ(profile.GetString("General", "UNIT"), "ft");  // feet with the first-run English
    EXPECT_TRUE(profile.GetInt("general", "WindowX").has_value());
    EXPECT_TRUE(profile.GetInt("general", "WindowW").has_value());
    EXPECT_TRUE(profile.GetString("Recent File List", "File1").has_value());
    EXPECT_EQ(ReadFileText(profilePath_).find(",000000"), std::string::npos);
}

TEST_F(ProgramRun, JapaneseMenusInIpaGothic)
{
    RunSpec run;
    run.profile = "[General]\nLanguageRegister=1\nLanguage=1\nNModule=2\n[general]\nModule0=Dispersion\n";
    // "Delete module" by its kept id 33099, as the menu item would send it.
    run.script = "sleep 300; report " + Report(1) + "; command 33099; report " + Report(2) + "; waitfile " + Go() +
                 "; answer OK; close";
    run.shot = "japanese.png";
    const std::optional<int> rc = Execute(run);
    ASSERT_TRUE(rc.has_value()) << Output();
    EXPECT_EQ(*rc, 0) << Output();
    auto report = ParseReport(ReadFileText(Report(1)));
    EXPECT_EQ(report["menu.resource"], "128");
    EXPECT_EQ(report["toolbar.resource"], "128");
    EXPECT_EQ(report["menus"], "ファイル|編集|表示|初動読み取り|表面波解析|グループ (ファイルリスト)|モジュール|オプション|ヘルプ");
    // The Module menu, found by its key: its three commands, then the registered modules.
    EXPECT_EQ(report["menu.6"], "実行モジュール|モジュール登録|モジュール削除|Dispersion|module 1");
    EXPECT_EQ(ParseReport(ReadFileText(Report(2)))["menu.6"], "実行モジュール|モジュール登録|モジュール削除|Dispersion");
    EXPECT_EQ(report["font"], "IPAGothic 10");
    EXPECT_NE(Output().find("終了してもよろしいですか?"), std::string::npos) << Output();
}

TEST_F(ProgramRun, AcquisitionStartDialogCancelledGivesAnOfficeSession)
{
    RunSpec run;
    run.profile = "[General]\nLanguageRegister=1\nLanguage=-1\n[general]\nWindowX=300\nWindowY=200\n";
    run.script = "answer Cancel; sleep 300; report " + Report(1) + "; waitfile " + Go() + "; answer OK; close";
    run.args = {"DataAcquisition"};
    const std::optional<int> rc = Execute(run);
    ASSERT_TRUE(rc.has_value()) << Output();
    EXPECT_EQ(*rc, 0) << Output();
    EXPECT_NE(Output().find("dialog \"CAcquisitionMenuPcDlg\" -> Cancel"), std::string::npos) << Output();
    auto report = ParseReport(ReadFileText(Report(1)));
    EXPECT_EQ(report["menu.resource"], "128");
    EXPECT_EQ(report["menus"].rfind("File|", 0), 0u) << report["menus"];
    EXPECT_EQ(report["rect"].rfind("300,200,", 0), 0u) << report["rect"];
}

TEST_F(ProgramRun, AcquisitionModeFrame)
{
    RunSpec run;
    run.profile = "[General]\nLanguageRegister=1\nLanguage=-1\n[general]\nWindowX=300\nWindowY=200\n";
    // OK on the start dialog keeps its preset, "Open existed file list"; its file dialog is
    // cancelled.
    run.script = "answer OK; answer Cancel; sleep 300; report " + Report(1) + "; waitfile " + Go() + "; answer OK; close";
    run.args = {"DataAcquisition"};
    run.shot = "acquisition.png";
    const std::optional<int> rc = Execute(run);
    ASSERT_TRUE(rc.has_value()) << Output();
    EXPECT_EQ(*rc, 0) << Output();
    auto report = ParseReport(ReadFileText(Report(1)));
    EXPECT_EQ(report["menu.resource"], "297");
    EXPECT_EQ(report["toolbar.resource"], "297");
    // Acquisition mode keeps "Data acquisition" and loses only "Refraction analysis".
    EXPECT_EQ(report["menus"].rfind("Data acquisition|File|", 0), 0u) << report["menus"];
    EXPECT_EQ(report["rect"].rfind("0,0,", 0), 0u) << report["rect"];
}

// The record cycle in the real program: F1 runs the monitor, F3 arms, the simulator's shots
// stack by themselves (Auto), Esc saves the stack after OK into <home>/Data.
TEST_F(ProgramRun, AcquisitionMonitorArmStackAndSave)
{
    const std::string go2 = folder_.File("go2");
    const std::string script = "answer OK; sleep 1500; key f1; sleep 1500; report " + Report(1) + "; waitfile " +
                               Go() + "; key f3; sleep 6000; report " + Report(2) + "; waitfile " + go2 +
                               "; answer OK; key escape; sleep 500; answer OK; close";
    Child program;
    ASSERT_TRUE(StartAcquisition(program, 2, script));
    for (const auto& [report, go, shot] : {std::tuple{Report(1), Go(), "acquisition-monitor.png"},
                                           std::tuple{Report(2), go2, "acquisition-stack.png"}}) {
        ASSERT_TRUE(WaitForFile(report, 30s)) << Output();
        if (Screenshot(display_.Name(), ShotPath(shot))) std::cout << "[ screenshot ] " << ShotPath(shot) << '\n';
        WriteFileText(go, "");
    }
    ExpectEnds(program);
    EXPECT_NE(Output().find("message \"Save to HDD?\" -> OK"), std::string::npos) << Output();
    EXPECT_EQ(SavedFirstRecord(), 25) << Output();
}

// Pre-view: the record is on the screen before "Stack ?" opens over it. The question's box
// stays while the script waits for "go"; behind it the view shows the record's traces and no
// longer the monitor panel (whose gain boxes are the only pure red on the screen).
TEST_F(ProgramRun, RecordDrawnBeforeTheStackQuestion)
{
    const std::string script = "answer OK; sleep 1500; answer window OK; answer Cancel; key f3; waitfile " + Go() +
                               "; sleep 1000; answer OK; close";
    Child program;
    ASSERT_TRUE(StartAcquisition(program, 0, script));
    ASSERT_TRUE(Logged("message \"Stack ?\" -> window OK")) << Output();
    std::this_thread::sleep_for(1s);  // the box is mapped; it stays until "go"
    const std::string shot = ShotPath("acquisition-stack-question.png");
    ASSERT_TRUE(Screenshot(display_.Name(), shot));
    std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(Go(), "");
    ExpectEnds(program);
    EXPECT_EQ(Pixels(shot, 255, 0, 0), 0);  // the monitor panel is gone
    EXPECT_GT(Pixels(shot, 0, 0, 0), 3000);  // the record's traces
    EXPECT_NE(Output().find("message \"Continue(Enter) or Save(Esc) ?\" -> Cancel"), std::string::npos) << Output();
}

// The frame closed (and the exit question answered OK) while a command's dialog is open: the
// dialog ends as cancelled, the command returns, and the program ends cleanly.
TEST_F(ProgramRun, CloseWhileACommandsDialogIsOpen)
{
    WriteFileText(profilePath_, "[General]\nLanguageRegister=1\nLanguage=1\n");
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM, "DataAcquisition"},
                              ScriptedRun(display_, profilePath_, folder_.File("home"),
                                          "answer OK;answer OK;answer OK;sleep 2000;answer OK;close"),
                              folder_.File("output.txt")));
    ExpectEnds(program);
    const std::string out = Output();
    EXPECT_NE(out.find("dialog \"CFileNameOptionDlg\" -> (window)"), std::string::npos) << out;
    EXPECT_NE(out.find("message \"終了してもよろしいですか?\" -> OK"), std::string::npos) << out;
}

// A question opened from a shifted key takes the Shift's release with it: the keys after it are
// unshifted again (F3 arms; bar B's F3 would be Undo). Then the frame is closed while "Stack ?"
// is really open over the new record: the close saves the record in hand and the program ends.
TEST_F(ProgramRun, CloseWhileTheStackQuestionIsOpenSavesTheRecord)
{
    const std::string shifted = folder_.File("shifted");
    const std::string script = "answer OK; sleep 1500; answer window Cancel; key shift+f5; waitfile " + shifted +
                               "; key f3; waitfile " + Go() + "; answer OK; close";
    Child program;
    ASSERT_TRUE(StartAcquisition(program, 0, script));
    ASSERT_TRUE(Logged("message \"Are you sure to shutdown?\" -> window Cancel")) << Output();
    WriteFileText(shifted, "");
    ASSERT_TRUE(Logged("message \"Stack ?\" -> (window)")) << Output();
    WriteFileText(Go(), "");
    ExpectEnds(program);
    EXPECT_NE(Output().find("message \"Are you sure you want to exit?\" -> OK"), std::string::npos) << Output();
    EXPECT_EQ(SavedFirstRecord(), 25) << Output();
}

// Measuring conditions (F2) and its Set ID (Enter) open when the frame is closed: both end as
// cancelled, the settings are written and the program ends.
TEST_F(ProgramRun, CloseWithNestedKeypadDialogsOpen)
{
    const std::string go2 = folder_.File("go2");
    const std::string script = "answer OK; sleep 1500; key f2; waitfile " + Go() + "; key return; waitfile " + go2 +
                               "; answer OK; close";
    Child program;
    ASSERT_TRUE(StartAcquisition(program, 0, script));
    ASSERT_TRUE(Logged("dialog \"CMeasuringConditionsDlg\" -> (window)")) << Output();
    WriteFileText(Go(), "");
    ASSERT_TRUE(Logged("dialog \"CSetIdDlg\" -> (window)")) << Output();
    WriteFileText(go2, "");
    ExpectEnds(program);
}

// "Save to HDD?" open (answered "window OK" and held) when the frame is closed, the exit
// question nested in it, answered "window OK" as well: both end as answered, the record in hand
// is saved, and the program ends.
TEST_F(ProgramRun, NestedSaveAndExitQuestionsAnsweredInWindows)
{
    const std::string script = "answer OK; sleep 1500; answer window OK; key f3; waitfile " + Go() +
                               "; answer window OK; close";
    Child program;
    ASSERT_TRUE(StartAcquisition(program, 1, script));
    ASSERT_TRUE(Logged("message \"Save to HDD?\" -> window OK")) << Output();
    WriteFileText(Go(), "");
    ExpectEnds(program);
    EXPECT_NE(Output().find("message \"Are you sure you want to exit?\" -> window OK"), std::string::npos) << Output();
    EXPECT_EQ(SavedFirstRecord(), 25) << Output();
}

// Closes that pass through no record question keep what the operator confirmed; every shot
// of the noise-free simulator is the same. Manual stacking: shot 1 saved alone, shot 2
// confirmed, then the close while "Stack ?" asks about shot 3: the second file holds shot 2
// alone, not shots 2 and 3. Stack mode Auto after some shots: the close box offers the stack
// ("Save to HDD?") before the exit question, as Shift+F4 does, and the file holds every shot.
TEST_F(ProgramRun, ClosesKeepTheConfirmedShotsOnly)
{
    const std::string quiet = "Simulator_NoiseLevel=0\n";
    std::pair<int, float> single;
    {
        Child program;
        // Shot 1: not stacked, saved (Esc). Shot 2: stacked, go on. Shot 3: "Stack ?" stays open.
        ASSERT_TRUE(StartAcquisition(program, 0, "answer OK; sleep 1500; answer Cancel; answer Cancel; key f3; "
                                                 "sleep 3000; answer OK; answer OK; key f3; waitfile " + Go() +
                                                 "; answer OK; close", quiet));
        ASSERT_TRUE(Logged("message \"Stack ?\" -> (window)")) << Output();
        WriteFileText(Go(), "");
        ExpectEnds(program);
        single = SavedStack("qkaa0001.sg2");
        EXPECT_EQ(single.first, 1) << Output();
        EXPECT_GT(single.second, 0.01f);
        EXPECT_EQ(SavedStack("qkaa0002.sg2"), single) << Output();
    }
    std::filesystem::remove_all(folder_.File("home"));
    Child program;
    ASSERT_TRUE(StartAcquisition(program, 2, "answer OK; sleep 1500; key f3; sleep 7000; answer OK; answer OK; close",
                                 quiet));
    ExpectEnds(program);
    const std::string out = Output();
    EXPECT_LT(out.find("message \"Save to HDD?\" -> OK"), out.find("message \"Are you sure you want to exit?\" -> OK"))
        << out;
    const auto [stack, peak] = SavedStack("qkaa0001.sg2");
    EXPECT_GE(stack, 2) << out;
    EXPECT_NEAR(peak, stack * single.second, 1e-4 * peak);
}

// The program asked to end (a log-out) while the toolkit's print dialog is open: the dialog ends
// as cancelled and the program ends.
TEST_F(ProgramRun, EndOverThePrintDialog)
{
    WriteFileText(profilePath_, "[General]\nLanguageRegister=1\nLanguage=-1\n");
    const std::string record = std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2";
    Child program;
    ASSERT_TRUE(program.Start({VELK_PROGRAM, record},
                              ScriptedRun(display_, profilePath_, folder_.File("home"),
                                          "answer OK; sleep 800; report " + Report(1) + "; command 27400"),
                              folder_.File("output.txt")));
    ASSERT_TRUE(WaitForFile(Report(1), 30s)) << Output();
    std::this_thread::sleep_for(2s);  // the print dialog is up
    program.Send(SIGTERM);
    ExpectEnds(program);
}

// A power-off or log-out (SIGTERM) in Auto stack mode with shots in hand: the program takes the
// exit road without questions, the stack is saved, the settings are written and it ends with 0.
TEST_F(ProgramRun, TerminationSavesTheStackAndTheSettings)
{
    Child program;
    ASSERT_TRUE(StartAcquisition(program, 2, "answer OK; sleep 1500; key f3; sleep 7000; report " + Report(1),
                                 "Simulator_NoiseLevel=0\n"));
    ASSERT_TRUE(WaitForFile(Report(1), 30s)) << Output();
    program.Send(SIGTERM);
    ExpectEnds(program);
    EXPECT_GE(SavedStack("qkaa0001.sg2").first, 2) << Output();
}

// Lone Alt opens the "Data acquisition" popup; the frame closed over it takes it down and the
// program ends.
TEST_F(ProgramRun, CloseOverTheAcquisitionPopupMenu)
{
    Child program;
    ASSERT_TRUE(StartAcquisition(program, 1, "answer OK; sleep 1500; key alt; waitfile " + Go() + "; answer OK; close"));
    ASSERT_TRUE(Logged("popup menu -> (window)")) << Output();
    std::this_thread::sleep_for(1s);  // the menu is mapped
    const std::string shot = ShotPath("acquisition-popup.png");
    if (Screenshot(display_.Name(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(Go(), "");
    ExpectEnds(program);
    EXPECT_NE(Output().find("message \"Are you sure you want to exit?\" -> OK"), std::string::npos) << Output();
}

// A fresh refraction line (QKW menu 4): F3 before Enter takes a record before the line is set
// up. It is saved outside the line, which does not end: Enter then starts the line's set-up
// (the factory presets' question first), not the step after the last shot.
TEST_F(ProgramRun, RecordBeforeTheSetUpOfAGuidedLine)
{
    Child program;
    ASSERT_TRUE(StartAcquisition(program, 1, "answer OK; answer OK; sleep 1500; answer OK; answer OK; key f3; waitfile " + Go() +
                                                 "; answer Cancel; answer Cancel; key return; sleep 500; answer OK; close",
                                 "QKWMenu=4\n"));
    ASSERT_TRUE(Logged("qkaa0001.sg2 was saved outside the survey line: press Enter to set up the line.\" -> OK"))
        << Output();
    WriteFileText(Go(), "");
    ExpectEnds(program);
    const std::string out = Output();
    EXPECT_EQ(out.find("Data acquisition has been completed"), std::string::npos) << out;
    EXPECT_NE(out.find("message \"Use default setting?"), std::string::npos) << out;
    EXPECT_EQ(SavedFirstRecord(), 25) << out;
}

}  // namespace
}  // namespace velk
