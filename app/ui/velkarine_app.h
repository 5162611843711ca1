#pragma once
// CVelkarineApp: the wx application. OnInit runs the start-up in order: the profile and the
// workspace; the command line, the language and the menu flags; the start panel, or in
// acquisition mode the splash and the start dialogs; the start time; the frame, created
// minimised, and the view's construction; the file named on the command line. A one-shot
// timer ends the start panel two seconds after the start time and restores the frame.

#include <chrono>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/timer.h>

#include "app/command_table.h"
#include "app/startup.h"
#include "toolkit/ui_script.h"
#include "dialogs/app/brand_windows.h"

namespace velk {

class CMainFrame;
class CStartPanel;
class CVelkarineDoc;
class Profile;
class RecentFileList;
class UiScript;
class Workspace;
class WxUiHost;

class CVelkarineApp : public wxApp, public StartupWindows {
public:
    CVelkarineApp();
    ~CVelkarineApp() override;

    bool OnInit() override;
    int OnExit() override;

    // Start-up windows.
    void ShowStartPanel() override;
    void ShowAcquisitionSplash() override;

    // The shut-down sequence, run by the frame once the user said OK: the view's settings with
    // the frame's rectangle, the view object's keys, the recent-file list, the end-of-program
    // writes.
    void ShutDown(const FrameRect& frame);

    Workspace& ws() { return *ws_; }
    WxUiHost& ui() { return *ui_; }
    CVelkarineDoc& doc() { return *doc_; }
    RecentFileList& recent() { return *recent_; }
    Profile& profile() { return *profile_; }
    const CommandTable& commands() const { return commands_; }
    const BuildInfo& build() const { return build_; }
    int Language() const;

private:
    void OnStartTimer(wxTimerEvent& event);
    void OnScriptTimer(wxTimerEvent& event);
    void RunScriptStep();
    // The mouse, key and edit-mode steps: real input events through the window system.
    void RunInputStep(const UiScript::Step& step);

    BuildInfo build_;
    std::unique_ptr<UiScript> script_;
    std::unique_ptr<WxUiHost> ui_;
    std::unique_ptr<Profile> profile_;
    std::unique_ptr<Workspace> ws_;
    std::unique_ptr<CVelkarineDoc> doc_;
    std::unique_ptr<RecentFileList> recent_;
    CommandTable commands_;

    CMainFrame* frame_ = nullptr;
    CStartPanel* panel_ = nullptr;
    int splashMode_ = 0;
    std::chrono::steady_clock::time_point startTime_;
    wxTimer startTimer_;
    wxTimer scriptTimer_;
    // The script's wait: a file to appear, or a time to pass.
    std::string waitFile_;
    std::chrono::steady_clock::time_point waitUntil_;
    bool inScriptStep_ = false;
    bool shutDown_ = false;
};

wxDECLARE_APP(CVelkarineApp);

}  // namespace velk
