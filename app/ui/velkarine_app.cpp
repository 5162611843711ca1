#include "app/ui/velkarine_app.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string_view>
#include <vector>

#include <wx/display.h>
#include <wx/image.h>
#include <wx/uiaction.h>

#include "app/acquisition/mode_services.h"
#include "app/formats/document.h"
#include "app/formats/file_commands.h"
#include "platform/recent_files.h"
#include "app/ui/gtk_settings.h"
#include "app/ui/main_dialogs.h"
#include "app/ui/main_frame.h"
#include "toolkit/ui_script.h"
#include "app/ui/velkarine_view.h"
#include "toolkit/wx_uihost.h"
#include "app/view/view_commands.h"
#include "app/workspace.h"
#include "platform/atomic_file.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "platform/termination.h"

#ifndef VELK_VERSION
#define VELK_VERSION "0.0.0"
#endif
#ifndef VELK_BUILD_DATE
#define VELK_BUILD_DATE "unknown"
#endif

wxIMPLEMENT_APP(velk::CVelkarineApp);

namespace velk {

namespace {

using SteadyClock = std::chrono::steady_clock;

// The work area of the display that shows most of the rectangle (or the first display).
ScreenRect WorkAreaFor(const ScreenRect& rect)
{
    int index = wxDisplay::GetFromPoint(wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
    if (index == wxNOT_FOUND) index = 0;
    if (wxDisplay::GetCount() == 0) return {};
    const wxRect area = wxDisplay(static_cast<unsigned>(index)).GetClientArea();
    return {area.x, area.y, area.width, area.height};
}

}  // namespace

CVelkarineApp::CVelkarineApp()
    : startTimer_(this), scriptTimer_(this)
{
    build_.version = VELK_VERSION;
    build_.buildDate = VELK_BUILD_DATE;
}

CVelkarineApp::~CVelkarineApp() = default;

int CVelkarineApp::Language() const { return ws_ ? ws_->startup.language : kLanguageEnglish; }

bool CVelkarineApp::OnInit()
{
    // The toolkit has set the locale from the environment; numbers stay in the C locale for
    // the whole run, whatever the interface language.
    std::setlocale(LC_NUMERIC, "C");
    // A power-off or log-out sends SIGTERM: noted here, acted on by the frame's exit road.
    WatchTerminationRequests();
    SetAppName("Velkarine");
    SetAppDisplayName("Velkarine");
    // The clipboard hands the record's bitmap to other programs as PNG, which needs the handler.
    wxInitAllImageHandlers();

    script_ = UiScript::FromEnvironment();
    if (script_) {
        for (const std::string& bad : script_->Errors()) {
            std::fprintf(stderr, "[ui-script] step not understood: %s\n", bad.c_str());
        }
    }
    ui_ = std::make_unique<WxUiHost>();
    ui_->SetScript(script_.get());
    ui_->SetWindowAnswerHold([this] { return !waitFile_.empty(); });
    RegisterMainDialogs(*ui_);
    // While the frame is still minimised (start-up) a dialog owned by it could be hidden with
    // it: such dialogs stand on their own.
    ui_->SetParentSource([this]() -> wxWindow* { return frame_ && !frame_->IsIconized() ? frame_ : nullptr; });

    // 1. The profile and the workspace.
    profile_ = std::make_unique<Profile>(Profile::DefaultPath());
    ws_ = std::make_unique<Workspace>(*profile_, *ui_);
    ui_->SetLanguageSource(&ws_->startup.language);
    if (!profile_->LoadError().empty()) {
        ui_->Message("Cannot read the settings file " + profile_->Path() + "\n" + profile_->LoadError() +
                         "\n\nThe program starts with the default settings and will not change the file.",
                     MsgButtons::Ok, MsgIcon::Warning);
    }
    recent_ = std::make_unique<RecentFileList>();
    recent_->Load(*profile_);
    commands_ = BuildCommandTable();

    // 2 and 3. Command line, language, menu flags; start panel or splash and start dialogs.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(argv[i].utf8_string());
    const ProgramArguments line = SplitCommandLine(args);
    const StartupResult started = RunStartup(*ws_, line.firstWord, *ui_, *this);
    splashMode_ = started.splashMode;
    if (IsJapanese(ws_->startup.language)) SetInterfaceFont(std::string(kJapaneseFontFace) + " 10");

    // 4. The start time.
    startTime_ = SteadyClock::now();

    // 5. The frame, minimised until the start panel's time is over, and the view.
    doc_ = std::make_unique<CVelkarineDoc>(*ws_);
    RegisterFileFormats(doc_->Formats());
    const ScreenRect wanted = ChooseFramePlacement(ws_->startup, *profile_);
    frame_ = new CMainFrame(*this, ClampToWorkArea(wanted, WorkAreaFor(wanted)));
    SetTopWindow(frame_);
    // The acquisition modes run the program's commands in the frame's context.
    ws_->ModeServicesOf().SetContextSource([this]() -> std::optional<CommandContext> {
        if (!frame_) return std::nullopt;
        return frame_->Context();
    });
    frame_->Iconize(true);
    frame_->Show(true);
    if (panel_) panel_->Raise();  // above the frame where no window manager iconifies it
    ws_->InitForView();

    // 6. The file named on the command line.
    if (!line.fileToOpen.empty()) {
        CommandContext ctx = frame_->Context();
        // As a command that opened a record: the picture is drawn again.
        if (OpenDocumentFile(ctx, line.fileToOpen) && frame_->View()) frame_->View()->Repaint();
    }

    Bind(wxEVT_END_SESSION, [this](wxCloseEvent&) {
        if (frame_) frame_->EndSession();
    });
    Bind(wxEVT_TIMER, &CVelkarineApp::OnStartTimer, this, startTimer_.GetId());
    Bind(wxEVT_TIMER, &CVelkarineApp::OnScriptTimer, this, scriptTimer_.GetId());
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - startTime_);
    startTimer_.StartOnce(std::max<int>(1, kStartPanelMilliseconds - static_cast<int>(elapsed.count())));
    return true;
}

void CVelkarineApp::ShowStartPanel()
{
    panel_ = new CStartPanel(CStartPanel::Kind::StartPanel, ws_->startup.language, build_);
    panel_->Show();
    panel_->Update();
}

void CVelkarineApp::ShowAcquisitionSplash()
{
    panel_ = new CStartPanel(CStartPanel::Kind::AcquisitionSplash, ws_->startup.language, build_);
    panel_->Show();
    panel_->Update();
}

void CVelkarineApp::OnStartTimer(wxTimerEvent&)
{
    // Restore the frame whether or not the panel is still there.
    if (panel_) {
        panel_->Destroy();
        panel_ = nullptr;
    }
    splashMode_ = 0;
    FinishStartPanel(*ws_);
    if (frame_) {
        frame_->Iconize(false);
        frame_->Show(true);
        frame_->Raise();
    }
    if (script_) scriptTimer_.Start(100);
}

// ---------------------------------------------------------------------------------------------

void CVelkarineApp::OnScriptTimer(wxTimerEvent&)
{
    // A step that shows a window runs a nested event loop, in which this timer fires again.
    if (inScriptStep_ || shutDown_) return;
    if (!waitFile_.empty()) {
        std::error_code ec;
        if (!std::filesystem::exists(waitFile_, ec) && SteadyClock::now() < waitUntil_) return;
        waitFile_.clear();
        waitUntil_ = {};
    } else if (SteadyClock::now() < waitUntil_) {
        return;
    }
    inScriptStep_ = true;
    RunScriptStep();
    inScriptStep_ = false;
}

void CVelkarineApp::RunScriptStep()
{
    std::optional<UiScript::Step> step = script_->NextAction();
    if (!step) {
        scriptTimer_.Stop();
        return;
    }
    using Kind = UiScript::Step::Kind;
    switch (step->kind) {
    case Kind::Report:
        if (frame_) {
            // The menus' check marks as the update-UI handlers set them.
            frame_->UpdateWindowUI();
            std::string error;
            if (!WriteFileAtomically(step->argument, frame_->Describe(), &error)) {
                std::fprintf(stderr, "[ui-script] report %s: %s\n", step->argument.c_str(), error.c_str());
            }
        }
        break;
    case Kind::WaitFile:
        waitFile_ = step->argument;
        waitUntil_ = SteadyClock::now() + std::chrono::seconds(60);
        break;
    case Kind::Sleep:
        waitUntil_ = SteadyClock::now() + std::chrono::milliseconds(std::atoi(step->argument.c_str()));
        break;
    case Kind::Close:
        if (frame_) frame_->Close(false);
        break;
    case Kind::Command:
        if (frame_) frame_->SendCommand(std::atoi(step->argument.c_str()));
        break;
    case Kind::Mouse:
    case Kind::Press:
    case Kind::Release:
    case Kind::RightClick:
    case Kind::Key:
    case Kind::EditMode:
        // A box answered "window ..." closes by itself: the input waits for it, not into it.
        if (ui_->AnsweringInWindow()) {
            script_->PutBack(std::move(*step));
        } else if (frame_ && frame_->View()) {
            RunInputStep(*step);
        }
        break;
    case Kind::Answer:
        break;
    }
}

void CVelkarineApp::RunInputStep(const UiScript::Step& step)
{
    using Kind = UiScript::Step::Kind;
    CVelkarineView* view = frame_->View();
    wxUIActionSimulator input;
    switch (step.kind) {
    case Kind::Mouse: {
        int x = 0, y = 0;
        if (std::sscanf(step.argument.c_str(), "%d %d", &x, &y) != 2) {
            std::fprintf(stderr, "[ui-script] mouse %s: two numbers expected\n", step.argument.c_str());
            break;
        }
        const DevicePoint d = view->Mapping().ToDevice(LPoint{x, y});
        input.MouseMove(view->ClientToScreen(wxPoint(d.x, d.y)));
        break;
    }
    case Kind::Press: input.MouseDown(); break;
    case Kind::Release: input.MouseUp(); break;
    case Kind::RightClick: input.MouseClick(wxMOUSE_BTN_RIGHT); break;
    case Kind::Key: {
        static const std::map<std::string, int> kKeys = {
            {"escape", WXK_ESCAPE}, {"left", WXK_LEFT}, {"right", WXK_RIGHT}, {"up", WXK_UP},
            {"down", WXK_DOWN},     {"delete", WXK_DELETE}, {"return", WXK_RETURN}, {"f1", WXK_F1},
            {"f2", WXK_F2},         {"f3", WXK_F3},     {"f4", WXK_F4},         {"f5", WXK_F5},
            {"alt", WXK_ALT}};
        constexpr std::string_view kShift = "shift+";
        const bool shift = step.argument.rfind(kShift, 0) == 0;
        const auto found = kKeys.find(shift ? step.argument.substr(kShift.size()) : step.argument);
        if (found == kKeys.end()) {
            std::fprintf(stderr, "[ui-script] key %s: unknown key\n", step.argument.c_str());
            break;
        }
        // The view takes the key, unless a modal window is open: then the window on top does.
        if (wxWindow* top = ui_->InnermostWindow()) {
            input.MouseMove(top->GetScreenRect().GetTopLeft() + wxPoint(8, 8));
        } else {
            view->SetFocus();
        }
        input.Char(found->second, shift ? wxMOD_SHIFT : wxMOD_NONE);
        break;
    }
    case Kind::EditMode:
        ws_->display.editMode = std::atoi(step.argument.c_str());
        view->Repaint();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------

void CVelkarineApp::ShutDown(const FrameRect& frame)
{
    if (shutDown_) return;
    shutDown_ = true;
    startTimer_.Stop();
    scriptTimer_.Stop();
    if (panel_) {  // closed within the start panel's time
        panel_->Destroy();
        panel_ = nullptr;
    }
    if (frame_) StopViewTimer(*ws_, frame_->View());
    ws_->SaveViewSettings(frame);
    ws_->ReleaseView();
    recent_->Save(*profile_);
    ws_->SaveProgramEndSettings();
    // The exchange blocks go last, once nothing maps them any more.
    if (const std::string failures = ws_->ReleaseSharedBlocks(); !failures.empty()) std::fputs(failures.c_str(), stderr);
    frame_ = nullptr;
}

int CVelkarineApp::OnExit()
{
    startTimer_.Stop();
    scriptTimer_.Stop();
    if (panel_) {
        panel_->Destroy();
        panel_ = nullptr;
    }
    return wxApp::OnExit();
}

}  // namespace velk
