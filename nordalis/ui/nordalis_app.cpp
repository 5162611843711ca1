// The time-frequency viewer: started by the main program after it has written the exchange
// file, it shows every panel of that file and keeps its window and scales between runs.

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/toolbar.h>

#include "nordalis/ui/nordalis_frame.h"
#include "nordalis/viewer_settings.h"
#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/recent_files.h"
#include "platform/screen_rect.h"
#include "toolkit/ui_script.h"
#include "toolkit/wx_uihost.h"

namespace velk::nordalis {

namespace {

// The first window without a kept rectangle, at least (pixels).
constexpr int kFirstWidth = 800;
constexpr int kFirstHeight = 600;

}  // namespace

class CNordalisApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;

private:
    void OnScriptTimer(wxTimerEvent& event);
    void OnFrameClose(wxCloseEvent& event);
    // A window of the viewer is open, or a loop other than the main one runs under the close.
    bool WindowsOpen() const;

    std::unique_ptr<UiScript> script_;
    std::unique_ptr<WxUiHost> ui_;
    std::unique_ptr<Profile> profile_;
    RecentFileList recent_;
    CMainFrame* frame_ = nullptr;
    wxTimer scriptTimer_;
    wxTimer closeTimer_;
    bool closing_ = false;  // the close waits for the open windows to end
    std::chrono::steady_clock::time_point waitUntil_;
    std::string waitFile_;
    bool inStep_ = false;
};

bool CNordalisApp::OnInit()
{
    // Numbers in every file stay in the C locale whatever the environment says.
    std::setlocale(LC_NUMERIC, "C");
    SetAppName("Nordalis");
    SetProgramCaption("Nordalis");  // the caption of its message boxes and dialogs
    wxInitAllImageHandlers();
    // A scripted main program's variable would be inherited: the viewer reads its own.
    script_ = UiScript::FromEnvironment("NORDALIS_UI_SCRIPT");
    ui_ = std::make_unique<WxUiHost>();
    ui_->SetScript(script_.get());
    ui_->SetParentSource([this]() -> wxWindow* { return frame_; });

    profile_ = std::make_unique<Profile>(Profile::DefaultPath("NORDALIS_PROFILE", "Nordalis.ini"));
    recent_.Load(*profile_);

    const ViewerSettings settings = ReadViewerSettings(kSettingsFile);
    WriteFrameEcho(kFrameEchoFile, settings);
    frame_ = new CMainFrame(*ui_, recent_, settings, MapWindowsPath("c:\\wfft.dat"));
    if (settings.hasPlacement) {
        const ScreenRect wanted{settings.left, settings.top, settings.width, settings.height};
        const int display = wxDisplay::GetFromPoint(wxPoint(wanted.x, wanted.y));
        const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
        const ScreenRect placed = ClampToWorkArea(wanted, {area.x, area.y, area.width, area.height});
        frame_->SetSize(placed.x, placed.y, placed.width, placed.height);
    } else {
        // No kept rectangle: wide enough for every toolbar button and tall enough for readable
        // panels, within the screen.
        const int display = wxDisplay::GetFromWindow(frame_);
        const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
        const wxToolBar* bar = frame_->GetToolBar();
        const int toolbar = bar ? bar->GetBestSize().x + 32 : 0;
        frame_->SetSize(std::min(std::max(toolbar, kFirstWidth), area.width), std::min(kFirstHeight, area.height));
        frame_->Centre();
    }
    frame_->Bind(wxEVT_CLOSE_WINDOW, &CNordalisApp::OnFrameClose, this);
    closeTimer_.SetOwner(this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        // One window a turn, innermost first; then the frame goes.
        if (ui_->EndInnermostWindow() || WindowsOpen()) return;
        closeTimer_.Stop();
        if (frame_) frame_->Close(true);
    }, closeTimer_.GetId());
    frame_->Show();
    if (!frame_->View()->ReadMessage().empty()) {
        const std::string message = frame_->View()->ReadMessage();
        CallAfter([this, message] { ui_->Message(message, MsgButtons::Ok, MsgIcon::Warning); });
    }
    if (script_) {
        scriptTimer_.SetOwner(this);
        Bind(wxEVT_TIMER, &CNordalisApp::OnScriptTimer, this, scriptTimer_.GetId());
        scriptTimer_.Start(100);
    }
    return true;
}

bool CNordalisApp::WindowsOpen() const
{
    const wxEventLoopBase* active = wxEventLoopBase::GetActive();
    return ui_->WindowOpen() || active == nullptr || active != GetMainLoop() || active->IsYielding();
}

void CNordalisApp::OnFrameClose(wxCloseEvent& event)
{
    // A close while a window is open (the start-up warning, a dialog) would destroy the frame
    // under it: the windows end as cancelled, innermost first, further questions are answered
    // as dismissed, and the frame goes once they are gone.
    if (WindowsOpen()) {
        if (!closing_) {
            closing_ = true;
            ui_->DismissQuestions();
            ui_->EndInnermostWindow();
            closeTimer_.Start(50);
        }
        if (event.CanVeto()) event.Veto();
        return;
    }
    closeTimer_.Stop();
    // Written whole at exit: a viewer that is killed leaves the previous file as it was.
    std::string error;
    if (!WriteViewerSettings(kSettingsFile, frame_->SettingsToKeep(), &error)) {
        std::fprintf(stderr, "Nordalis: cannot write %s: %s\n", kSettingsFile, error.c_str());
    }
    scriptTimer_.Stop();
    frame_ = nullptr;
    event.Skip();
}

int CNordalisApp::OnExit()
{
    if (profile_) recent_.Save(*profile_);
    return wxApp::OnExit();
}

void CNordalisApp::OnScriptTimer(wxTimerEvent&)
{
    if (inStep_ || !frame_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!waitFile_.empty()) {
        std::error_code ec;
        if (!std::filesystem::exists(waitFile_, ec) && now < waitUntil_) return;
        waitFile_.clear();
        waitUntil_ = {};
    } else if (now < waitUntil_) {
        return;
    }
    inStep_ = true;
    const std::optional<UiScript::Step> step = script_->NextAction();
    if (!step) {
        scriptTimer_.Stop();
    } else {
        using Kind = UiScript::Step::Kind;
        switch (step->kind) {
        case Kind::Report: {
            std::string error;
            if (!WriteFileAtomically(step->argument, frame_->Describe(), &error)) {
                std::fprintf(stderr, "[ui-script] report %s: %s\n", step->argument.c_str(), error.c_str());
            }
            break;
        }
        case Kind::Sleep:
            waitUntil_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(step->argument.c_str()));
            break;
        case Kind::WaitFile:
            waitFile_ = step->argument;
            waitUntil_ = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            break;
        case Kind::Close: frame_->Close(false); break;
        case Kind::Command: frame_->SendCommand(std::atoi(step->argument.c_str())); break;
        default: std::fprintf(stderr, "[ui-script] step not used by this program\n"); break;
        }
    }
    inStep_ = false;
}

}  // namespace velk::nordalis

wxIMPLEMENT_APP(velk::nordalis::CNordalisApp);
