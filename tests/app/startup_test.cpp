// Start-up before the frame: command line, first-run language, menu and toolbar choice,
// placement, module items and the acquisition start dialogs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/acquisition/acquisition_screen.h"
#include "app/acquisition/mode_services.h"
#include "app/command_table.h"
#include "app/startup.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "tools/fake_mode_services.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

class RecordingWindows : public StartupWindows {
public:
    void ShowStartPanel() override { shown.push_back("panel"); }
    void ShowAcquisitionSplash() override { shown.push_back("splash"); }
    std::vector<std::string> shown;
};

// A workspace over a profile file in a temporary folder.
struct Fixture {
    explicit Fixture(const std::string& profileText = "")
    {
        if (!profileText.empty()) WriteFileText(path, profileText);
        profile = std::make_unique<Profile>(path);
        ws = std::make_unique<Workspace>(*profile, ui);
    }
    TempFolder folder;
    std::string path = folder.File("Velkarine.ini");
    ScriptedUiHost ui;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<Workspace> ws;
    RecordingWindows windows;
};

constexpr const char* kRegisteredEnglish = "[General]\nLanguageRegister=1\nLanguage=-1\n";

// ---------------------------------------------------------------------------------------------

TEST(CommandLine, SwitchesAreSubstringsOfTheFirstWordOnly)
{
    StartupValues s;
    ParseCommandLine(s, "DataAcquisitionONQKW");
    EXPECT_EQ(s.acquisitionMode, 1);
    EXPECT_EQ(s.instrumentMenu, 1);
    EXPECT_EQ(s.feetShortMenu, 0);
    EXPECT_EQ(s.qd7000SubMode, 0);

    StartupValues lower;
    ParseCommandLine(lower, "dataacquisition");
    EXPECT_EQ(lower.acquisitionMode, 0);

    StartupValues feet;
    ParseCommandLine(feet, "xxHalvornyy");
    EXPECT_EQ(feet.feetShortMenu, 1);
    EXPECT_EQ(feet.acquisitionMode, 0);

    StartupValues qd;
    ParseCommandLine(qd, "DataAcquisitionQD7000");
    EXPECT_EQ(qd.acquisitionMode, 1);
    EXPECT_EQ(qd.qd7000SubMode, 1);
    StartupValues qdAlone;
    ParseCommandLine(qdAlone, "QD7000");  // the sub-mode needs acquisition mode
    EXPECT_EQ(qdAlone.qd7000SubMode, 0);
}

TEST(CommandLine, SecondWordHasNoEffect)
{
    const ProgramArguments line = SplitCommandLine({"shot.sg2", "DataAcquisition"});
    EXPECT_EQ(line.fileToOpen, "shot.sg2");
    StartupValues s;
    ParseCommandLine(s, line.firstWord);
    EXPECT_EQ(s.acquisitionMode, 0);
}

TEST(CommandLine, LongFirstWordIsExaminedWhole)
{
    std::string word(2000, 'x');
    word.replace(1985, 15, "DataAcquisition");
    ASSERT_EQ(word.size(), 2000u);
    StartupValues s;
    ParseCommandLine(s, word);
    EXPECT_EQ(s.acquisitionMode, 1);
    const ProgramArguments line = SplitCommandLine({word});
    EXPECT_EQ(line.firstWord, word);
    EXPECT_EQ(line.fileToOpen, "");
}

TEST(CommandLine, SwitchWordThenFile)
{
    const ProgramArguments line = SplitCommandLine({"DataAcquisitionONQKW", "/data/a.sg2"});
    EXPECT_EQ(line.firstWord, "DataAcquisitionONQKW");
    EXPECT_EQ(line.fileToOpen, "/data/a.sg2");
    EXPECT_EQ(SplitCommandLine({}).fileToOpen, "");
}

TEST(CommandLine, ExistingFileInSwitchNamedFolderIsARecord)
{
    TempFolder folder;
    const std::string dir = folder.File("DataAcquisition");
    std::filesystem::create_directory(dir);
    const std::string file = dir + "/shot.sg2";
    WriteFileText(file, "x");
    const ProgramArguments line = SplitCommandLine({file});
    EXPECT_EQ(line.firstWord, "");
    EXPECT_EQ(line.fileToOpen, file);
    // A missing file of that name is still a switch word.
    EXPECT_EQ(SplitCommandLine({dir + "/missing.sg2"}).firstWord, dir + "/missing.sg2");
}

// ---------------------------------------------------------------------------------------------

TEST(Language, FirstRunEnglishIsStoredAtOnce)
{
    Fixture f;
    f.ui.ExpectTwoChoice("Select the language !", 1);
    const StartupResult r = RunStartup(*f.ws, "", f.ui, f.windows);
    EXPECT_TRUE(r.askedLanguage);
    ASSERT_EQ(f.ui.Calls().size(), 1u);
    EXPECT_EQ(f.ui.Calls()[0].twoChoice.defaultChoice, 1);
    EXPECT_EQ(f.ui.Calls()[0].twoChoice.first, "English");
    EXPECT_EQ(f.ui.Calls()[0].twoChoice.second, "Japanese");

    // On disk before any shut-down.
    Profile reread(f.path);
    EXPECT_EQ(reread.GetInt("General", "LanguageRegister"), 1);
    EXPECT_EQ(reread.GetInt("General", "Language"), -1);

    const StartupValues& s = f.ws->startup;
    EXPECT_EQ(s.language, -1);
    EXPECT_EQ(s.feetShortMenu, 1);
    EXPECT_EQ(ChooseMenuResource(s.language, s.feetShortMenu, s.acquisitionMode, s.fullMenu), kMenuShortEnglish);
    EXPECT_EQ(f.windows.shown, std::vector<std::string>{"panel"});
}

TEST(Language, FirstRunJapanese)
{
    Fixture f;
    f.ui.ExpectTwoChoice("Select the language !", 2);
    RunStartup(*f.ws, "", f.ui, f.windows);
    EXPECT_EQ(f.ws->startup.language, 1);
    EXPECT_EQ(f.ws->startup.feetShortMenu, 0);
    Profile reread(f.path);
    EXPECT_EQ(reread.GetInt("General", "Language"), 1);
    EXPECT_EQ(reread.GetInt("General", "LanguageRegister"), 1);
}

TEST(Language, RegisteredLanguageIsNotAskedAgain)
{
    Fixture f(kRegisteredEnglish);
    const StartupResult r = RunStartup(*f.ws, "", f.ui, f.windows);
    EXPECT_FALSE(r.askedLanguage);
    EXPECT_TRUE(f.ui.Calls().empty());
    EXPECT_EQ(f.ws->startup.language, -1);
    // A registered English language is not the first-run answer: no feet units.
    EXPECT_EQ(f.ws->startup.feetShortMenu, 0);
}

TEST(Language, LanguageNeitherEnglishNorJapaneseAsksAgain)
{
    Fixture f("[General]\nLanguageRegister=1\nLanguage=0\n");
    f.ui.ExpectTwoChoice("Select the language !", 2);
    EXPECT_TRUE(RunStartup(*f.ws, "", f.ui, f.windows).askedLanguage);
    EXPECT_EQ(f.ws->startup.language, 1);
    Profile reread(f.path);
    EXPECT_EQ(reread.GetInt("General", "Language"), 1);
}

TEST(Language, CompleteMenuIsRead)
{
    Fixture f("[General]\nLanguageRegister=1\nLanguage=-1\nCOMPLETEMENU=1\n");
    RunStartup(*f.ws, "", f.ui, f.windows);
    const StartupValues& s = f.ws->startup;
    EXPECT_EQ(s.fullMenu, 1);
    EXPECT_EQ(ChooseMenuResource(s.language, s.feetShortMenu, s.acquisitionMode, s.fullMenu), kMenuFullEnglish);
}

// ---------------------------------------------------------------------------------------------

TEST(Resources, MenuAndToolbarOverAllCombinations)
{
    for (int language : {1, -1, 0}) {
        for (int feet : {0, 1}) {
            for (int acq : {0, 1}) {
                for (int full : {0, 1}) {
                    SCOPED_TRACE(::testing::Message() << language << feet << acq << full);
                    int menu = kMenuDefault;
                    if (language == -1 && feet == 1) {
                        menu = kMenuShortEnglish;
                    } else if (language == -1 && (acq == 1 || full == 1)) {
                        menu = kMenuFullEnglish;
                    }
                    EXPECT_EQ(ChooseMenuResource(language, feet, acq, full), menu);
                    int toolbar = kMenuDefault;
                    if (language != 1 && feet == 1) {
                        toolbar = kMenuShortEnglish;
                    } else if (language != 1 && (acq == 1 || full == 1)) {
                        toolbar = kMenuFullEnglish;
                    }
                    EXPECT_EQ(ChooseToolbarResource(language, feet, acq, full), toolbar);
                }
            }
        }
    }
    EXPECT_EQ(ChooseToolbarResource(1, 1, 1, 1), kMenuDefault);
}

TEST(Resources, QkwMenuIsClamped)
{
    EXPECT_EQ(ClampQkwMenu(0), 1);
    EXPECT_EQ(ClampQkwMenu(-3), 1);
    EXPECT_EQ(ClampQkwMenu(9), 7);
    EXPECT_EQ(ClampQkwMenu(4), 4);
}

// ---------------------------------------------------------------------------------------------

TEST(Placement, AcquisitionModeIsFixed)
{
    Profile p = Profile::FromText("[general]\nWindowX=5\nWindowY=6\nWindowW=1000\nWindowH=700\n");
    StartupValues s;
    s.acquisitionMode = 1;
    EXPECT_EQ(ChooseFramePlacement(s, p), (ScreenRect{0, 0, 810, 580}));
    s.acquisitionMode = 0;
    EXPECT_EQ(ChooseFramePlacement(s, p), (ScreenRect{5, 6, 1000, 700}));
}

TEST(Placement, DefaultsAndUnparsableKeys)
{
    StartupValues s;
    EXPECT_EQ(ChooseFramePlacement(s, Profile::FromText("")), (ScreenRect{110, 138, 768, 537}));
    // Section names ignore case; a value that does not parse leaves the default.
    Profile p = Profile::FromText("[General]\nWindowX=abc\nWindowW=900\n");
    EXPECT_EQ(ChooseFramePlacement(s, p), (ScreenRect{110, 138, 900, 537}));
}

TEST(Placement, OffScreenRectangleIsClamped)
{
    const ScreenRect area{0, 0, 1280, 1024};
    EXPECT_EQ(ClampToWorkArea({110, 138, 768, 537}, area), (ScreenRect{110, 138, 768, 537}));
    EXPECT_EQ(ClampToWorkArea({5000, -400, 768, 537}, area), (ScreenRect{512, 0, 768, 537}));
    EXPECT_EQ(ClampToWorkArea({-2000000000, 2000000000, 4000, 10}, area),
              (ScreenRect{0, 1024 - kMinFrameHeight, 1280, kMinFrameHeight}));
    // A work area that is not at the origin (a panel on the left).
    EXPECT_EQ(ClampToWorkArea({0, 0, 100, 100}, {64, 0, 1216, 1024}),
              (ScreenRect{64, 0, kMinFrameWidth, kMinFrameHeight}));
    // Unknown display: only the minimum size.
    EXPECT_EQ(ClampToWorkArea({-50, -50, 10, 10}, {}), (ScreenRect{-50, -50, kMinFrameWidth, kMinFrameHeight}));
}

// ---------------------------------------------------------------------------------------------

TEST(Modules, ItemsFollowNModule)
{
    const CommandTable table = BuildCommandTable();
    const std::array<std::string, 6> names{"a", "b", "c", "d", "e", "f"};
    auto ids = [&](int n) {
        MenuBarModel model = table.BuildMenuBar(kMenuDefault, -1);
        PruneFullMenus(model, false);
        AddModuleItems(model, n, names);
        std::vector<int> out;
        for (const MenuNode& item : model.Find("module")->children)
            if (item.id >= cmd::kModuleFirst) out.push_back(item.id);  // after the module commands
        return out;
    };
    EXPECT_EQ(ids(2), (std::vector<int>{61446, 61447}));
    EXPECT_EQ(ids(9), (std::vector<int>{61446, 61447, 61448, 61449, 61450, 61451}));
    EXPECT_TRUE(ids(-1).empty());

    MenuBarModel model = table.BuildMenuBar(kMenuDefault, -1);
    AddModuleItems(model, 1, names);
    EXPECT_EQ(model.Find("module")->children.back().text, "a");
    // The short menu has no Module menu: nothing is added anywhere.
    MenuBarModel shortMenu = table.BuildMenuBar(kMenuShortEnglish, -1);
    AddModuleItems(shortMenu, 3, names);
    EXPECT_EQ(shortMenu.Find("module"), nullptr);
}

// ---------------------------------------------------------------------------------------------

TEST(Acquisition, CancelledPcStartDialogLeavesAcquisitionMode)
{
    Fixture f(kRegisteredEnglish);
    f.ui.CancelDialog("CAcquisitionMenuPcDlg");
    const StartupResult r = RunStartup(*f.ws, "DataAcquisition", f.ui, f.windows);
    EXPECT_EQ(r.splashMode, 1);
    EXPECT_EQ(f.windows.shown, std::vector<std::string>{"splash"});
    EXPECT_EQ(f.ws->startup.acquisitionMode, 0);
    ASSERT_TRUE(f.ws->acquisitionManager);
    EXPECT_EQ(f.ws->acquisitionManager->Mode(), nullptr);
    EXPECT_EQ(f.ws->survey.openLineRequest, 0);
}

TEST(Acquisition, PcStartDialogPresetsChoiceOneAndBuildsTheChosenMethod)
{
    Fixture f(kRegisteredEnglish);
    f.ui.AnswerDialog("CAcquisitionMenuPcDlg", {{"Choice", "#4"}});
    f.ui.ExpectMessage("Welcome to seismic refraction survey !");
    RunStartup(*f.ws, "DataAcquisition", f.ui, f.windows);
    EXPECT_EQ(f.ui.Calls()[0].Shown("Choice"), "Open existed file list(*.xml)");
    EXPECT_EQ(f.ws->startup.acquisitionMode, 1);
    ASSERT_NE(f.ws->acquisitionManager->Mode(), nullptr);
    EXPECT_EQ(f.ws->acquisitionManager->surveyType, 4);
    EXPECT_FALSE(FinishStartPanel(*f.ws));
    EXPECT_EQ(f.ws->startup.acquisitionMode, 1);
}

TEST(Acquisition, BuildingAModeReadsTheInstrumentSettings)
{
    Fixture f("[General]\nLanguageRegister=1\nLanguage=-1\nNextID=57\nLineName=3\n");
    f.ui.AnswerDialog("CAcquisitionMenuPcDlg", {{"Choice", "#4"}});
    f.ui.ExpectMessage("Welcome to seismic refraction survey !");
    RunStartup(*f.ws, "DataAcquisition", f.ui, f.windows);
    EXPECT_EQ(f.ws->acquisitionDevice.NextID, 57);
    EXPECT_EQ(f.ws->acquisitionManager->lineIndex, 4);  // the stored line, then the next one
}

TEST(Acquisition, PcStartDialogOpenLine)
{
    Fixture f("[General]\nLanguageRegister=1\nLanguage=-1\nQKWMenu=9\n");
    f.ui.AnswerDialog("CAcquisitionMenuPcDlg", {{"Choice", "#1"}});
    RunStartup(*f.ws, "DataAcquisition", f.ui, f.windows);
    EXPECT_EQ(f.ws->survey.openLineRequest, 1);
    EXPECT_EQ(f.ws->startup.qkwMenu, 7);
    EXPECT_EQ(f.ws->acquisitionManager->surveyType, 7);
    EXPECT_EQ(f.ws->acquisitionManager->Mode(), nullptr);
}

TEST(Acquisition, CancelledInstrumentMenuBuildsNoModeAndEndsAcquisitionMode)
{
    Fixture f("[General]\nLanguageRegister=1\nLanguage=-1\nQKWMenu=0\n");
    f.ui.CancelDialog("CAcquisitionMenuDlg");
    RunStartup(*f.ws, "DataAcquisitionONQKW", f.ui, f.windows);
    EXPECT_EQ(f.ws->startup.qkwMenu, 1);
    EXPECT_EQ(f.ws->acquisitionManager->surveyType, 0);
    EXPECT_EQ(f.ws->acquisitionManager->Mode(), nullptr);
    EXPECT_EQ(f.ws->acquisitionStartupValue, 0);  // English with the instrument menu
    EXPECT_TRUE(FinishStartPanel(*f.ws));
    EXPECT_EQ(f.ws->startup.acquisitionMode, 0);
}

TEST(Acquisition, InstrumentMenuIsPresetWithTheStoredMethod)
{
    Fixture f("[General]\nLanguageRegister=1\nLanguage=1\nQKWMenu=3\n");
    f.ui.AnswerDialog("CAcquisitionMenuDlg", {{"Survey type", "#5"}});
    f.ui.ExpectMessage("微動アレイ探査へようこそ !");
    RunStartup(*f.ws, "DataAcquisitionONQKW", f.ui, f.windows);
    EXPECT_EQ(f.ui.Calls()[0].Shown("Survey type"), "2次元表面波探査");
    EXPECT_EQ(f.ws->acquisitionManager->surveyType, 5);
    ASSERT_NE(f.ws->acquisitionManager->Mode(), nullptr);
    EXPECT_EQ(f.ws->acquisitionStartupValue, 1);  // Japanese keeps it
}

TEST(Acquisition, Qd7000ChoiceAndCancel)
{
    {
        Fixture f("[General]\nLanguageRegister=1\nLanguage=-1\nQD7000Menu=1\n");
        f.ui.AnswerDialog("CSurfaceWaveStartDlg", {{"Wizard", "#0"}});
        const StartupResult r = RunStartup(*f.ws, "DataAcquisitionQD7000", f.ui, f.windows);
        EXPECT_EQ(f.ui.Calls()[0].Shown("Wizard"), "Passive Source (Micro-tremor) 1D MAM");
        EXPECT_EQ(r.splashMode, 0);
        EXPECT_EQ(f.windows.shown, std::vector<std::string>{"panel"});
        EXPECT_EQ(f.ws->acquisitionManager->surveyType, 8);
        EXPECT_NE(f.ws->acquisitionManager->Mode(), nullptr);
        EXPECT_EQ(Profile(f.path).GetInt("General", "QD7000Menu"), 0);
        EXPECT_FALSE(FinishStartPanel(*f.ws));
        // Bar A carries the wizard's prompt; Enter opens a record.
        const std::string prompt = "Press Enter key to start Surface Wave Analysis Wizard.";
        EXPECT_EQ(ModeTexts(*f.ws).prompt, prompt);
        EXPECT_NE(CAcquisitionDevice::KeyBarText(kLanguageEnglish, false, prompt).find(prompt), std::string::npos);
        FakeModeServices services;
        f.ws->acquisitionManager->Attach(MakeModeContext(*f.ws, &services));
        f.ws->acquisitionManager->StepMode();
        EXPECT_EQ(services.calls, std::vector<std::string>{"OpenSeg2Record"});
    }
    {
        Fixture f(kRegisteredEnglish);
        f.ui.CancelDialog("CSurfaceWaveStartDlg");
        RunStartup(*f.ws, "DataAcquisitionQD7000", f.ui, f.windows);
        EXPECT_EQ(f.ws->startup.acquisitionMode, 0);
        EXPECT_EQ(f.ws->acquisitionManager->Mode(), nullptr);
    }
}

TEST(Acquisition, NormalModeShowsTheStartPanelAndAsksNothingMore)
{
    Fixture f(kRegisteredEnglish);
    const StartupResult r = RunStartup(*f.ws, "", f.ui, f.windows);
    EXPECT_EQ(r.splashMode, 0);
    EXPECT_EQ(f.ws->acquisitionManager, nullptr);
    EXPECT_FALSE(FinishStartPanel(*f.ws));
}

}  // namespace
}  // namespace velk
