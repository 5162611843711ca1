#pragma once
// CMainFrame: the one frame of the run, with the toolbar and the menu chosen by language and
// mode, the twelve-pane status bar and the view. Every menu id and toolbar button goes to the
// command table; the table's rules enable and check the items. The table's ids of 32768 and
// above reach the toolkit as stand-ins (MenuIdMap) and come back as the table's ids.

#include <string>

#include <wx/frame.h>
#include <wx/timer.h>

#include "app/command_table.h"
#include "app/shell_services.h"
#include "app/startup.h"
#include "app/ui/record_print.h"
#include "toolkit/menu_ids.h"

class wxMenu;

namespace velk {

class CVelkarineApp;
class CVelkarineView;

class CMainFrame : public wxFrame, public FrameServices, public StatusPanes {
public:
    CMainFrame(CVelkarineApp& app, const ScreenRect& rect);

    // FrameServices
    void DocumentTitleChanged(const std::string& title) override;
    void RecentFilesChanged() override;
    void ModulesChanged() override;
    void RequestClose() override;
    // The system asks the program to end (SIGTERM, the end of the session): the exit road
    // without questions, every question on the way answered as dismissed (the stack in hand is
    // saved as a close saves it, the settings are written).
    void EndSession();
    void ShowAbout() override;
    StatusPanes* Status() override { return this; }
    void SetFrameIcon(int resource) override;
    void PopupAcquisitionMenu() override;
    void PrintRecord(bool preview) override;
    void PrintSetup() override;
    RecordClipboard* Clipboard() override { return &clipboard_; }

    // StatusPanes
    void SetPaneText(int pane, const std::string& text) override;
    void SetPaneWidth(int pane, int width) override;

    CVelkarineView* View() const { return view_; }
    CommandContext Context();
    // The restored (not minimised, not maximised) rectangle, for the profile.
    FrameRect RestoredRect() const;
    // Title, menus (with the ids of the checked items), toolbar, status bar, interface font,
    // the view's place and the display state as text, one item a line.
    std::string Describe() const;
    // A menu command event for `id` (the command table's id), handled as a click on its item
    // would be.
    void SendCommand(int id);

private:
    void BuildMenuBar();
    void BuildToolBar();
    void BuildStatusBar();
    void UpdateLockIndicators();

    void OnCommand(wxCommandEvent& event);
    void OnUpdateUI(wxUpdateUIEvent& event);
    void OnClose(wxCloseEvent& event);
    void ApplyAcquisition(const AcquisitionEffects& effects);
    // True while a command, a dialog or a yield is on the call stack below the current event
    // (an event loop other than the main one runs, or the main one yields).
    static bool CommandOnStack();
    void OnMoveOrSize();

    CVelkarineApp& app_;
    MenuIdMap ids_;
    CVelkarineView* view_ = nullptr;
    wxMenu* fileMenu_ = nullptr;
    wxMenu* moduleMenu_ = nullptr;
    bool modulesRead_ = false;  // the registered modules come from the profile once
    int menuResource_ = kMenuDefault;
    int toolbarResource_ = kMenuDefault;
    int iconResource_ = 128;
    wxRect restored_;
    int widths_[StatusPanes::kPaneCount] = {};
    // On the acquisition screen: each pane as wide as the widest text it can show, -1 the pane
    // that takes the rest (0: not fitted).
    int fitted_[StatusPanes::kPaneCount] = {};
    std::string lockTexts_[3];
    RecordPrinter printer_;
    WxRecordClipboard clipboard_;
    // Set once the close is decided while a command is on the stack: its dialogs are ended,
    // its further questions dismissed, and the timer finishes the close once it has returned.
    bool closing_ = false;
    // The close has stopped the acquisition and offered the stack in hand.
    bool acquisitionStopped_ = false;
    wxTimer closeTimer_;
    // Looks for a termination request that the signal handler noted.
    wxTimer endTimer_;
};

}  // namespace velk
