#pragma once
// CVelkarineView: the one view of the run, filling the frame's client area. It paints the
// record (the record drawing fills the paint entry), shows the transient text of a running
// operation, and runs the view timer, whose ticks go to the core's OnTimer.
//
// Commands reach the core through the frame: every menu id runs its command-table row, and a
// row that asks for a repaint ends in Repaint() here. The check and enable states come from
// the table's rules through the frame's update-UI handler. The view holds no numerics.

#include <functional>
#include <string>

#include <wx/scrolwin.h>
#include <wx/timer.h>

#include "app/command_table.h"
#include "app/shell_services.h"

class wxDC;

namespace velk {

class Workspace;

class CVelkarineView : public wxScrolledWindow, public ViewSurface {
public:
    // `context` gives the command context a timer tick runs in.
    CVelkarineView(wxWindow* parent, Workspace& ws, std::function<CommandContext()> context);
    ~CVelkarineView() override;

    // A full repaint ends the transient text: the operation that showed it is over.
    void Repaint() override;
    void ShowTransientText(const std::string& text) override;
    void StartTimer(int milliseconds) override;
    void StopTimer() override;

    const std::string& TransientText() const { return transient_; }
    bool TimerRunning() const { return timer_.IsRunning(); }

private:
    void OnPaint(wxPaintEvent& event);
    // The paint entry: draws the record on the prepared device context.
    void OnDraw(wxDC& dc);
    void OnTimerTick(wxTimerEvent& event);

    Workspace& ws_;
    std::function<CommandContext()> context_;
    wxTimer timer_;
    std::string transient_;
};

}  // namespace velk
