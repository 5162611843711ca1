#pragma once
// CVelkarineView: the client window of the frame. For now it only paints the background and
// the transient text of a running operation; the record drawing fills it.

#include <string>

#include <wx/scrolwin.h>

#include "app/shell_services.h"

namespace velk {

class Workspace;

class CVelkarineView : public wxScrolledWindow, public ViewSurface {
public:
    CVelkarineView(wxWindow* parent, Workspace& ws);

    // A full repaint ends the transient text: the operation that showed it is over.
    void Repaint() override;
    void ShowTransientText(const std::string& text) override;
    const std::string& TransientText() const { return transient_; }

private:
    void OnPaint(wxPaintEvent& event);

    Workspace& ws_;
    std::string transient_;
};

}  // namespace velk
