#include "app/startup.h"

#include <sys/stat.h>

#include <algorithm>

#include "base/settings_io.h"
#include "app/command_table.h"
#include "acquisition/start_dialogs.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace velk {

namespace {

bool Contains(const std::string& word, const char* part) { return word.find(part) != std::string::npos; }

bool CarriesSwitch(const std::string& word)
{
    return Contains(word, kSwitchAcquisition) || Contains(word, kSwitchInstrumentMenu) ||
           Contains(word, kSwitchFeet);
}

bool IsExistingFile(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

constexpr const char* kFrameSection = "general";

// The mode is built in the workspace's context (CreateMode reads the instrument settings and
// the line index first, so that NextID and the measuring conditions survive a restart), then
// welcomes the user.
void CreateModeWithSettings(Workspace& ws, CAcquisitionManager& manager)
{
    (void)ws;
    manager.CreateMode();
    if (CAcquisitionMode* mode = manager.Mode()) mode->Welcome();
}

}  // namespace

// ---------------------------------------------------------------------------------------------

void ParseCommandLine(StartupValues& startup, const std::string& firstWord)
{
    if (Contains(firstWord, kSwitchAcquisition)) {
        startup.acquisitionMode = 1;
        if (Contains(firstWord, kSwitchQd7000)) startup.qd7000SubMode = 1;
    }
    if (Contains(firstWord, kSwitchInstrumentMenu)) startup.instrumentMenu = 1;
    if (Contains(firstWord, kSwitchFeet)) startup.feetShortMenu = 1;
}

ProgramArguments SplitCommandLine(const std::vector<std::string>& args)
{
    ProgramArguments line;
    if (args.empty()) return line;
    const std::string& first = args[0];
    if (IsExistingFile(first) || !CarriesSwitch(first)) {
        line.fileToOpen = first;
        return line;
    }
    line.firstWord = first;
    if (args.size() > 1) line.fileToOpen = args[1];
    return line;
}

// ---------------------------------------------------------------------------------------------

bool RunLanguageStep(StartupValues& startup, Profile& profile, UiHost& ui)
{
    int32_t reg = startup.languageRegister;
    int32_t language = startup.language;
    ReadSettingInt(profile, "LanguageRegister", reg);
    ReadSettingInt(profile, "Language", language);
    startup.languageRegister = reg;
    startup.language = language;
    if (reg != 0 && (language == kLanguageJapanese || language == kLanguageEnglish)) return false;

    const int answer = ui.TwoChoice(kLanguageQuestion, 1, "English", "Japanese");
    if (answer == 1) {
        startup.language = kLanguageEnglish;
        startup.feetShortMenu = 1;
    } else {
        startup.language = kLanguageJapanese;
    }
    startup.languageRegister = 1;
    // Both at once: a run that ends without its shut-down must not leave a registered
    // language that is neither English nor Japanese.
    Profile::Batch batch(profile);
    WriteSettingInt(profile, "LanguageRegister", 1);
    WriteSettingInt(profile, "Language", startup.language);
    batch.Commit();
    return true;
}

void ReadFullMenuFlag(StartupValues& startup, const Profile& profile)
{
    int32_t full = startup.fullMenu;
    ReadSettingInt(profile, "COMPLETEMENU", full);
    startup.fullMenu = full;
}

int ClampQkwMenu(int value) { return std::clamp(value, 1, 7); }

// ---------------------------------------------------------------------------------------------

int ChooseMenuResource(int language, int feetShortMenu, int acquisitionMode, int fullMenu)
{
    if (language != kLanguageEnglish) return kMenuDefault;
    if (feetShortMenu == 1) return kMenuShortEnglish;
    if (acquisitionMode == 1 || fullMenu == 1) return kMenuFullEnglish;
    return kMenuDefault;
}

int ChooseToolbarResource(int language, int feetShortMenu, int acquisitionMode, int fullMenu)
{
    if (language == kLanguageJapanese) return kMenuDefault;
    if (feetShortMenu == 1) return kMenuShortEnglish;
    if (acquisitionMode == 1 || fullMenu == 1) return kMenuFullEnglish;
    return kMenuDefault;
}

// ---------------------------------------------------------------------------------------------

ScreenRect ChooseFramePlacement(const StartupValues& startup, const Profile& profile)
{
    if (startup.acquisitionMode == 1) return {0, 0, 810, 580};
    int32_t x = 110, y = 138, w = 768, h = 537;
    ReadSettingInt(profile, kFrameSection, "WindowX", x);
    ReadSettingInt(profile, kFrameSection, "WindowY", y);
    ReadSettingInt(profile, kFrameSection, "WindowW", w);
    ReadSettingInt(profile, kFrameSection, "WindowH", h);
    return {x, y, w, h};
}

// ---------------------------------------------------------------------------------------------

namespace {

// The acquisition screen is on exactly while acquisition mode holds.
void SyncAcquisitionScreen(Workspace& ws)
{
    ws.acquisitionDevice.acquisitionScreen = ws.startup.acquisitionMode == 1 ? 1 : 0;
}

StartupResult RunStartupSteps(Workspace& ws, const std::string& firstWord, UiHost& ui, StartupWindows& windows);

}  // namespace

StartupResult RunStartup(Workspace& ws, const std::string& firstWord, UiHost& ui, StartupWindows& windows)
{
    StartupResult result = RunStartupSteps(ws, firstWord, ui, windows);
    SyncAcquisitionScreen(ws);
    return result;
}

namespace {

StartupResult RunStartupSteps(Workspace& ws, const std::string& firstWord, UiHost& ui, StartupWindows& windows)
{
    StartupResult result;
    StartupValues& s = ws.startup;
    Profile& profile = ws.profile();

    ParseCommandLine(s, firstWord);
    result.askedLanguage = RunLanguageStep(s, profile, ui);
    ReadFullMenuFlag(s, profile);

    if (s.acquisitionMode != 1) {
        windows.ShowStartPanel();
        result.splashMode = 0;
        return result;
    }

    if (s.qd7000SubMode == 1) {
        CAcquisitionManager& manager = ws.CreateAcquisitionManager();
        int32_t menu = s.qd7000Menu;
        ReadSettingInt(profile, "QD7000Menu", menu);
        CSurfaceWaveStartDlg dlg;
        dlg.wizard = std::clamp(menu, 0, 1);
        const int wizard = dlg.Run(ui, s.language);
        if (wizard < 0) {
            s.acquisitionMode = 0;  // Cancel: work without the acquisition screens
            s.qd7000SubMode = 0;
            manager.surveyType = 0;
        } else {
            manager.surveyType = wizard != 0 ? 9 : 8;
            CreateModeWithSettings(ws, manager);
            menu = wizard;
        }
        windows.ShowStartPanel();
        result.splashMode = 0;
        s.qd7000Menu = menu;
        WriteSettingInt(profile, "QD7000Menu", menu);
        return result;
    }

    CAcquisitionManager& manager = ws.CreateAcquisitionManager();
    int32_t qkw = s.qkwMenu;
    ReadSettingInt(profile, "QKWMenu", qkw);
    s.qkwMenu = ClampQkwMenu(qkw);
    manager.surveyType = s.qkwMenu;
    windows.ShowAcquisitionSplash();
    result.splashMode = 1;

    if (s.instrumentMenu == 1) {
        CAcquisitionMenuDlg dlg;
        dlg.type = manager.surveyType;
        manager.surveyType = dlg.Run(ui, s.language);  // 0 after Cancel
        CreateModeWithSettings(ws, manager);  // builds a mode for 1..9 only
        if (s.language == kLanguageEnglish) ws.acquisitionStartupValue = 0;
    } else {
        s.instrumentMenu = 0;
        CAcquisitionMenuPcDlg dlg;
        dlg.choice = 1;
        const int choice = dlg.Run(ui, s.language);  // 0 after Cancel
        if (choice == 0) {
            s.acquisitionMode = 0;
        } else if (choice == 1) {
            ws.survey.openLineRequest = 1;
        } else {
            manager.surveyType = choice;
            CreateModeWithSettings(ws, manager);
            manager.dataFolder.clear();
        }
    }
    return result;
}

}  // namespace

bool FinishStartPanel(Workspace& ws)
{
    StartupValues& s = ws.startup;
    if (s.acquisitionMode != 1 || s.qd7000SubMode == 1) return false;
    if (ws.acquisitionManager && ws.acquisitionManager->surveyType != 0) return false;
    s.acquisitionMode = 0;
    SyncAcquisitionScreen(ws);
    return true;
}

}  // namespace velk
