#pragma once
// The About box, the start panel shown while the program starts, and the splash of acquisition
// mode. All three show our icon, a banner, the program's name, version and rights lines; the
// About box adds the maker and the build date and has an OK button. The panel and the splash
// are modeless, have nothing to press, and are destroyed by the start-up timer.

#include <string>

#include <wx/dialog.h>
#include <wx/frame.h>

namespace velk {

struct BuildInfo {
    std::string version;    // "0.1.0 (abc1234)"
    std::string buildDate;  // "2026-11-02"
};

// The lines of text, in the interface language.
std::string VersionLine(int language, const BuildInfo& build);  // "Velkarine Version 0.1.0"
std::string RightsLine(int language);
std::string MakerLine(int language);

class CAboutDlg : public wxDialog {
public:
    CAboutDlg(wxWindow* parent, int language, const BuildInfo& build);
};

// The start panel (normal mode) and the acquisition splash share one window kind.
class CStartPanel : public wxFrame {
public:
    enum class Kind { StartPanel, AcquisitionSplash };
    CStartPanel(Kind kind, int language, const BuildInfo& build);
    Kind GetKind() const { return kind_; }

private:
    void OnPaint(wxPaintEvent& event);
    Kind kind_;
    int language_;
    BuildInfo build_;
};

}  // namespace velk
