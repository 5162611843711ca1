#pragma once
// CVelkarineView: the one view of the run, filling the frame's client area. A scrolled canvas
// of 128000 x 32000 logical units (0.1 mm each) at the screen's resolution. Its paint lays a
// kept picture of the record on the window and the overlay layer over it; the picture is drawn
// again only when the record or the display changed, the window was scrolled or resized.
// Transient texts (progress of a running operation) are overlay figures that end with the next
// drawing of the record. The view timer's ticks go to the core's OnTimer.
//
// Commands reach the core through the frame: every menu id runs its command-table row, and a
// row that asks for a repaint ends in Repaint() here. The check and enable states come from
// the table's rules through the frame's update-UI handler. The view holds no numerics.

#include <functional>
#include <string>

#include <wx/bitmap.h>
#include <wx/scrolwin.h>
#include <wx/timer.h>

#include "app/command_table.h"
#include "draw/line_raster.h"
#include "draw/mapping.h"
#include "app/view/edit_controller.h"
#include "app/shell_services.h"

class wxDC;
class wxKeyEvent;
class wxMouseCaptureLostEvent;
class wxMouseEvent;

namespace velk {

class Workspace;

class CVelkarineView : public wxScrolledCanvas, public ViewSurface {
public:
    // The document's extent in logical units.
    static constexpr int kDocumentWidth = 128000;
    static constexpr int kDocumentHeight = 32000;

    // `context` gives the command context a timer tick runs in.
    CVelkarineView(wxWindow* parent, Workspace& ws, std::function<CommandContext()> context);
    ~CVelkarineView() override;

    // A full repaint ends the transient text: the operation that showed it is over.
    void Repaint() override;
    LSize VisibleSize() const override;
    void RequestRepaint(RepaintKind kind) override;
    void ShowTransientText(const std::string& text, LPoint at = {10, -18}) override;
    void ShowSecondTransientText(const std::string& text) override;
    void StartTimer(int milliseconds) override;
    void StopTimer() override;
    // The record cycle's own timers (the 5 ms monitor ticker, the 50 ms step and the start
    // that waits 200 ms after a run ended), the frame's icon and the repaint.
    void ApplyAcquisition(const AcquisitionEffects& effects) override;
    // A one-shot timer of its own (the continuous measurement's steps).
    void ScheduleOnce(int milliseconds, std::function<void()> then) override;

    std::string TransientText() const;
    bool TimerRunning() const { return timer_.IsRunning(); }
    // Logical units to window pixels and back, as the paint uses them (the mouse's mapping).
    LogicalMapping Mapping() const;

private:
    // Scroll extent and steps from the screen's resolution.
    void OnInitialUpdate();
    void OnPaint(wxPaintEvent& event);
    // The paint entry: draws the record on a device context with this mapping (thin lines
    // through the line raster when the context draws on a bitmap of `rasterSize`).
    void OnDraw(wxDC& dc, const LogicalMapping& mapping, wxSize rasterSize = wxDefaultSize);
    void OnTimerTick(wxTimerEvent& event);

    // The mouse and the keys go to the core's input controller; the view shows its effects.
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    LPoint LogicalPoint(const wxMouseEvent& event) const;
    // Shows what an event changed, holds the mouse while a drag runs, and asks the question
    // the event left for after the window shows the change.
    void Apply(const EditEffects& effects);
    void OnMonitorTicker(wxTimerEvent& event);
    void OnAcquisitionTimer(wxTimerEvent& event);
    void OnPendingStart(wxTimerEvent& event);
    void OnScheduled(wxTimerEvent& event);

    Workspace& ws_;
    std::function<CommandContext()> context_;
    wxTimer timer_;
    wxTimer monitorTicker_;
    wxTimer acquisitionTimer_;
    wxTimer pendingStart_;
    wxTimer scheduledTimer_;
    std::function<void()> scheduled_;
    wxBitmap picture_;          // the record as last drawn
    LineRaster raster_;         // its lines and fills, kept so that its pages stay mapped
    bool pictureStale_ = true;
    // The store's load count when the picture was drawn: a load that a paint behind one of its
    // messages preceded still brings a new picture, whatever road it took.
    int pictureLoads_ = -1;
    LogicalMapping pictureMapping_;
    wxSize ppi_;
};

}  // namespace velk
