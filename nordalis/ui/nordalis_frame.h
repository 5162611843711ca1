#pragma once
// The viewer's windows: the frame with its menus, toolbar and status bar, and the scrolled view
// that reads the exchange file once when it is built and paints the panels.

#include <array>
#include <memory>
#include <string>

#include <wx/frame.h>
#include <wx/print.h>
#include <wx/scrolwin.h>

#include "nordalis/panel_image.h"
#include "nordalis/viewer_commands.h"
#include "nordalis/viewer_settings.h"
#include "toolkit/menu_ids.h"

namespace velk {
class RecentFileList;
class WxUiHost;
}

namespace velk::nordalis {

class CNordalisView : public wxScrolledWindow {
public:
    static constexpr int kScrollSize = 16000;  // pixels each way

    CNordalisView(wxWindow* parent, WxUiHost& ui, const std::string& exchangeFile, const ViewerSettings& settings);
    ~CNordalisView() override;

    ViewerState& State() { return state_; }
    PanelImageCache& Images() { return images_; }
    // The message of a file that could not be read, shown once the frame is up.
    const std::string& ReadMessage() const { return readMessage_; }

private:
    void OnPaint(wxPaintEvent& event);

    ViewerState state_;
    PanelImageCache images_;
    std::string readMessage_;
};

class CMainFrame : public wxFrame {
public:
    CMainFrame(WxUiHost& ui, RecentFileList& recent, const ViewerSettings& settings, const std::string& exchangeFile);

    CNordalisView* View() { return view_; }
    // Runs a menu or toolbar command as a click sends it.
    void SendCommand(int id);
    // The title, the check marks and the scales, for scripted runs.
    std::string Describe();
    // The rectangle and scales to keep at exit.
    ViewerSettings SettingsToKeep() const;

private:
    void BuildMenus(RecentFileList& recent);
    void BuildToolBar();
    void OnViewerCommand(wxCommandEvent& event);
    void OnUpdateViewerCommand(wxUpdateUIEvent& event);
    void OnPrint(wxCommandEvent& event);
    void OnPreview(wxCommandEvent& event);
    void OnPageSetup(wxCommandEvent& event);
    void OnToggleBar(wxCommandEvent& event);
    void OnUpdateBar(wxUpdateUIEvent& event);
    void OnIdle(wxIdleEvent& event);

    WxUiHost& ui_;
    MenuIdMap ids_;  // the viewer's ids of 32768 and above reach the toolkit as stand-ins
    CNordalisView* view_ = nullptr;
    wxPrintDialogData printData_;
    wxPageSetupDialogData pageSetup_;
    std::array<std::string, 3> lockTexts_;
};

// The panels on paper, one logical unit 0.1 mm.
class CNordalisPrintout : public wxPrintout {
public:
    CNordalisPrintout(CNordalisView& view, wxPoint marginMm);
    bool HasPage(int page) override { return page == 1; }
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool OnPrintPage(int page) override;

private:
    CNordalisView& view_;
    wxPoint marginMm_;
};

}  // namespace velk::nordalis
