#pragma once
// What the core asks of the windows that show it. The wx shell implements these; tests use
// small recording fakes. Nothing is drawn outside a paint: a repaint request and a transient
// text both end in the view's next paint.

#include <functional>
#include <string>

#include "draw/canvas.h"

namespace velk {

class RecordClipboard;       // app/view/paper_output.h
struct AcquisitionEffects;   // app/acquisition/acquisition_commands.h

// What a change needs of the view: nothing, a paint of the window over the kept picture of the
// record (the overlay figures changed), or the record drawn again (data or display changed).
enum class RepaintKind { None, Overlay, Record };

// The client window that shows the record.
class ViewSurface {
public:
    virtual ~ViewSurface() = default;
    // Repaint as much as the change needs.
    virtual void RequestRepaint(RepaintKind kind)
    {
        if (kind != RepaintKind::None) Repaint();
    }
    // Repaint the whole view (erasing the background) at the next paint.
    virtual void Repaint() = 0;
    // A progress text of a long operation at `at` (logical units; the status line's place by
    // default): kept as overlay state and painted at once (refresh, then update), so it shows
    // while the operation still runs.
    virtual void ShowTransientText(const std::string& text, LPoint at = {10, -18}) = 0;
    // The same on the second progress line (OverlayLayer::kSecondProgressAt).
    virtual void ShowSecondTransientText(const std::string& text) { (void)text; }
    // What the window shows without scrolling, in logical units; 0 x 0 when there is no window.
    virtual LSize VisibleSize() const { return {}; }
    // The view timer (one identifier): ticks every `milliseconds` until stopped; starting it
    // again changes the interval.
    virtual void StartTimer(int milliseconds) { (void)milliseconds; }
    virtual void StopTimer() {}
    // What a record-cycle command asks of the view: its own timers, the frame's icon, a
    // repaint of the view or of one monitor column.
    virtual void ApplyAcquisition(const AcquisitionEffects& effects) { (void)effects; }
    // Runs `then` once, `milliseconds` from now, in the main loop; one call is pending at a
    // time (a new one replaces it). A surface without timers never runs it.
    virtual void ScheduleOnce(int milliseconds, std::function<void()> then)
    {
        (void)milliseconds;
        (void)then;
    }
};

// The status bar: eight text panes for the view and the drawing, then the Kana, Caps Lock,
// Num Lock and Scroll Lock indicators.
class StatusPanes {
public:
    static constexpr int kTextPanes = 8;
    static constexpr int kPaneCount = 12;
    static constexpr int kKanaPane = 8;
    static constexpr int kCapsPane = 9;
    static constexpr int kNumPane = 10;
    static constexpr int kScrollPane = 11;

    virtual ~StatusPanes() = default;
    virtual void SetPaneText(int pane, const std::string& text) = 0;  // pane 0..kTextPanes-1
    virtual void SetPaneWidth(int pane, int width) = 0;               // pixels; -1 stretches
};

// The main frame, as far as commands need it.
class FrameServices {
public:
    virtual ~FrameServices() = default;
    // The document's title changed ("" for an untitled document).
    virtual void DocumentTitleChanged(const std::string& title) = 0;
    // The recent-file list changed; rebuild its menu items.
    virtual void RecentFilesChanged() = 0;
    // The registered modules changed; rebuild their items of the "Module" menu.
    virtual void ModulesChanged() {}
    // Close the frame the way the window's close box does (with the exit question).
    virtual void RequestClose() = 0;
    virtual void ShowAbout() = 0;
    virtual StatusPanes* Status() = 0;
    // The record on the printer (with the print dialog) or in a print preview, the printer's page
    // setup, and the clipboard of the copy command; a frame without them does nothing.
    virtual void PrintRecord(bool preview) { (void)preview; }
    virtual void PrintSetup() {}
    virtual RecordClipboard* Clipboard() { return nullptr; }
    // The frame's icon by its resource: 128 the program's, 228 automatic processing's blink,
    // 238 the armed instrument's blink. A frame without them does nothing.
    virtual void SetFrameIcon(int resource) { (void)resource; }
    // The "Data acquisition" menu as a popup over the view.
    virtual void PopupAcquisitionMenu() {}
};

// The frame title for a document title: "<title> - Velkarine", or "Velkarine" when untitled.
std::string FrameTitle(const std::string& documentTitle);

}  // namespace velk
