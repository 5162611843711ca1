#pragma once
// The UiHost of both programs: message boxes with the exact texts and buttons (labelled in the
// interface language), the two-choice dialog, the toolkit's file and folder dialogs, the
// progress window and the generic form for parameter dialogs. A program registers the windows
// of its own dialog classes at start-up; every other class is shown on the generic form. With a
// UI script (unattended runs) a queued answer replaces the window.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/uihost.h"

class wxMenu;
class wxPoint;
class wxWindow;
class wxString;

namespace velk {

class UiScript;

// The caption of boxes and dialogs that name none: the running program's name, "Velkarine"
// unless the program sets its own at start-up (the viewer: "Nordalis").
wxString ProgramCaption();
void SetProgramCaption(const std::string& name);

class WxUiHost : public UiHost {
public:
    WxUiHost();
    ~WxUiHost() override;
    WxUiHost(const WxUiHost&) = delete;
    WxUiHost& operator=(const WxUiHost&) = delete;

    // The interface language is read at every call (it is decided during start-up).
    void SetLanguageSource(const int* language) { language_ = language; }
    // The window dialogs belong to (the main frame once it exists).
    void SetParentSource(std::function<wxWindow*()> parent) { parent_ = std::move(parent); }
    void SetScript(UiScript* script) { script_ = script; }
    // A box answered "window <answer>" stays open while this says so (the script waits for a
    // file), so that a test can look at the screen behind the question.
    void SetWindowAnswerHold(std::function<bool()> hold) { windowAnswerHold_ = std::move(hold); }
    // From now on every question is answered as dismissed (Cancel, No, no file) without a
    // window, and no other modal window opens: the program is closing and the command that asks
    // must come to its end (Closing() tells it so).
    void DismissQuestions() { dismissing_ = true; }
    // A modal window is open: any dialog shown modally, this host's boxes and forms as well as
    // the windows a program shows itself, or a popup menu shown through PopupMenu.
    bool WindowOpen() const;
    wxWindow* InnermostWindow() const;  // the modal window on top, or null
    // A box answered "window <answer>" is open (it closes by itself).
    bool AnsweringInWindow() const { return windowAnswers_ > 0; }
    // Ends the innermost modal window as cancelled; true while a modal window is still open. A
    // window's event loop can only end from inside, so the windows end one a turn, innermost
    // first: the caller asks again from the loop that runs next.
    bool EndInnermostWindow();
    // Pops `menu` up over `owner` at `at` (the owner's client coordinates) and returns once it
    // has gone. While it is open it counts as an open window, the innermost once the modal
    // windows above it have ended: a close takes it down before the frame goes. Nothing pops up
    // once the questions are dismissed.
    void PopupMenu(wxWindow& owner, wxMenu& menu, const wxPoint& at);

    // A window of its own for one dialog class: shown modally over the parent in the interface
    // language; true on OK.
    using DialogWindow = std::function<bool(wxWindow* parent, DialogRequest& request, int language)>;
    void RegisterDialog(const std::string& dialogClass, DialogWindow window);

protected:
    bool DoClosing() const override { return dismissing_; }
    MsgResult DoMessage(const MessageRequest& request) override;
    int DoTwoChoice(const TwoChoiceRequest& request) override;
    std::optional<std::string> DoOpenFile(const FileRequest& request) override;
    std::vector<std::string> DoOpenFiles(const FileRequest& request) override;
    std::optional<std::string> DoSaveFile(const FileRequest& request) override;
    std::optional<std::string> DoBrowseFolder(const FolderRequest& request) override;
    std::unique_ptr<ProgressSink> DoBeginProgress(const std::string& caption) override;
    bool DoRunDialog(DialogRequest& request) override;

private:
    class ModalWindows;

    int Language() const { return language_ ? *language_ : -1; }
    wxWindow* Parent() const;
    // The scripted answer for a question, logged with the question; none without a script.
    std::optional<std::string> Scripted(const char* kind, const std::string& question, const std::string& caption = {});

    const int* language_ = nullptr;
    std::function<wxWindow*()> parent_;
    UiScript* script_ = nullptr;
    std::function<bool()> windowAnswerHold_;
    bool dismissing_ = false;
    int windowAnswers_ = 0;
    wxMenu* popup_ = nullptr;  // the popup menu on screen
    std::map<std::string, DialogWindow> windows_;
    std::unique_ptr<ModalWindows> modal_;
};

}  // namespace velk
