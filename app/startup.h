#pragma once
// Start-up of the main program, headless: what the command line, the profile and the first-run
// language question decide before the frame exists, the acquisition start dialogs, the choice
// of menu and toolbar, and the frame's placement. The wx application runs these in order; the
// tests run them over a scripted UiHost.

#include <string>
#include <vector>

#include "app/workspace.h"
#include "platform/screen_rect.h"

namespace velk {

class Profile;
class UiHost;

// ---------------------------------------------------------------------------------------------
// Command line

// The switch words, tested as case-sensitive substrings of the first word only, so one word
// can carry several ("DataAcquisitionONQKW"). QD7000 chooses the QD7000 acquisition sub-mode
// together with DataAcquisition.
inline constexpr const char* kSwitchAcquisition = "DataAcquisition";
inline constexpr const char* kSwitchInstrumentMenu = "ONQKW";
inline constexpr const char* kSwitchFeet = "Halvorn";
inline constexpr const char* kSwitchQd7000 = "QD7000";

// Sets the start-up values the first word asks for; never clears one. The word is examined
// whole, whatever its length.
void ParseCommandLine(StartupValues& startup, const std::string& firstWord);

// What the program's arguments mean: the first word for the switches and the file to open.
// A first word that names an existing file is that file, not a switch word (a record in a
// folder called "DataAcquisition" opens as a record). Otherwise a first word that carries a
// switch is not a file name, and the next word, if any, is the file.
struct ProgramArguments {
    std::string firstWord;  // "" when there are no arguments or the first word is a file
    std::string fileToOpen;
};
ProgramArguments SplitCommandLine(const std::vector<std::string>& args);  // args without argv[0]

// ---------------------------------------------------------------------------------------------
// Language

// The first-run question and its answers.
inline constexpr const char* kLanguageQuestion = "Select the language !";

// Reads LanguageRegister and Language. When LanguageRegister is 0, or Language is neither 1
// nor -1 (a run killed before its shut-down once left it 0), asks "Select the language !"
// (default 1, "English" / "Japanese"): English sets Language -1 and the feet and short-menu
// flag, Japanese sets Language 1. Both keys are then written at once. Returns whether it asked.
bool RunLanguageStep(StartupValues& startup, Profile& profile, UiHost& ui);

// COMPLETEMENU into the full-menu flag (default 0).
void ReadFullMenuFlag(StartupValues& startup, const Profile& profile);

// QKWMenu clamped to the survey methods 1..7.
int ClampQkwMenu(int value);

// ---------------------------------------------------------------------------------------------
// Menu and toolbar resources

// English (-1) with the feet and short-menu flag: 285; English in acquisition mode or with
// the full-menu flag: 297; otherwise 128.
int ChooseMenuResource(int language, int feetShortMenu, int acquisitionMode, int fullMenu);
// The same rule for every language that is not Japanese; Japanese always 128.
int ChooseToolbarResource(int language, int feetShortMenu, int acquisitionMode, int fullMenu);

// ---------------------------------------------------------------------------------------------
// Frame placement

// Acquisition mode: 810 x 580 at (0, 0). Otherwise WindowX, WindowY, WindowW, WindowH of
// section "general" (defaults 110, 138, 768, 537).
ScreenRect ChooseFramePlacement(const StartupValues& startup, const Profile& profile);

// ---------------------------------------------------------------------------------------------
// The start-up sequence before the frame

// What the start-up shows while it runs; the wx shell shows its windows, tests record calls.
class StartupWindows {
public:
    virtual ~StartupWindows() = default;
    virtual void ShowStartPanel() = 0;        // normal mode and the QD7000 sub-mode
    virtual void ShowAcquisitionSplash() = 0;  // acquisition mode
};

struct StartupResult {
    int splashMode = 0;  // 1 while the acquisition splash is the start panel
    bool askedLanguage = false;
};

// In order: the command line's first word, the language step, COMPLETEMENU, then the start
// panel in normal mode, or in acquisition mode the manager, the splash and the start dialogs.
// Cancel in any acquisition start dialog means working without the acquisition screens, and
// no mode is built. The QD7000Menu answer is written back at once.
StartupResult RunStartup(Workspace& ws, const std::string& firstWord, UiHost& ui,
                         StartupWindows& windows);

// The rule when the start panel's two seconds are over (the shell's one-shot timer): in
// acquisition mode outside the QD7000 sub-mode, a manager without a survey type leaves
// acquisition mode. Returns whether acquisition mode ended.
bool FinishStartPanel(Workspace& ws);

inline constexpr int kStartPanelMilliseconds = 2000;

}  // namespace velk
