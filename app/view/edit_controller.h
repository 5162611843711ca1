#pragma once
// The input controller of the record view: what a press, a drag and a release of the mouse
// and the keys do in each edit mode (ws.display.editMode).
//
//   0 none, 1 first-arrival picking, 2 shot mark, 3 amplitude picking, 4 velocity line,
//   5 trace selection, 7 fitting a theoretical traveltime curve, 8 filter test, 9 mute.
//
// The window forwards its events here as logical points (0.1 mm, y up; the paint's mapping,
// scroll included) and key numbers (kKey...), and shows what comes back: the repaint the
// change needs, status-bar pane texts, a question to ask once the window shows the change,
// and requests for the frame (close, shut the station down). The figures of a running drag
// (the rubber line, the velocity line being drawn, the hints) are overlay figures of
// ws.display.overlay; changing them needs only a repaint of the window.
//
// Conversions (direction 0: a = x, b = -y, origins A = XORG, B = YORG; direction 1: a = -y,
// b = x, A = YORG, B = XORG):
//   raw time tr = (a - A) / hscale + window start time (ms)
//   time     t  = tr + the drawing's time offset for time-domain data, else tr
//   distance d  = (b - B) / plotscale + distance origin (m)
// Picks and amplitude reads use t, velocity lines, mute lines and the shot mark tr.

#include <memory>
#include <string>
#include <vector>

#include "draw/canvas.h"
#include "app/view/edit_shapes.h"
#include "app/shell_services.h"
#include "app/acquisition/acquisition_commands.h"

namespace velk {

class UiHost;
class Workspace;

// Key numbers as the window gives them to the controller.
constexpr int kKeyEnter = 13;
constexpr int kKeyShift = 16;
constexpr int kKeyControl = 17;
constexpr int kKeyAlt = 18;
constexpr int kKeyEscape = 27;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyDelete = 46;
constexpr int kKeyF1 = 112;
constexpr int kKeyF2 = 113;
constexpr int kKeyF3 = 114;
constexpr int kKeyF4 = 115;
constexpr int kKeyF5 = 116;

// A cursor position in data terms, with its along-time and along-distance coordinates.
struct CursorData {
    int a = 0;        // along time (logical units)
    int b = 0;        // along distance, growing away from the time axis
    float tr = 0.0f;  // raw time, ms
    float t = 0.0f;   // time with the trigger offset, ms
    float d = 0.0f;   // distance, m
};

CursorData CursorToData(const Workspace& ws, LPoint point);
// The logical point of a raw time and a distance (the way the traces are drawn).
LPoint DataToCursor(const Workspace& ws, float rawTime, float distance);
// The along-distance coordinate of trace i: B + trunc((receiver - distance origin) x plotscale).
int TraceAlongDistance(const Workspace& ws, int trace);
// The first trace (in index order) with |Pi - b| < 15, or -1. `componentFilter` skips traces
// whose component is not the one to be edited (when that is not -1).
int HitTrace(const Workspace& ws, int b, bool componentFilter);
// The trace whose along-distance coordinate is nearest to b (the later of two equally near),
// or -1 without traces.
int NearestTrace(const Workspace& ws, int b);

// What the acquisition keys call. The workspace's instrument and acquisition manager by
// default; tests put a fake in.
class AcquisitionKeyTarget {
public:
    virtual ~AcquisitionKeyTarget() = default;
    virtual void ManualTrigger() = 0;
    virtual void StepMode() = 0;
    virtual void OnNoiseMonitorStart() = 0;
    virtual void OnTriggerArm() = 0;
    virtual void OnAcquisitionMenu() = 0;
    virtual int EditModeGeometry() = 0;  // the current mode's geometry editor; 1 to repaint
    virtual int EditSettings() = 0;
    virtual int DiskMenu() = 0;
    virtual int EditDisplay() = 0;
    virtual void Disarm() = 0;
    virtual void RequestStop() = 0;
    virtual void AutomaticProcessingStop() = 0;
    virtual void DrawKeyBar() = 0;
    virtual void DrawMenuKeyBar() = 0;
    // The stop sequence's stack: records stacked and a stacking mode other than "No".
    virtual bool StackedRecordsWaiting() = 0;
    virtual void CopyStackIntoStore() = 0;
    virtual void MakeTraceHeaders() = 0;
    virtual void ComputeDisplayScale() = 0;
    // 1 when saved, with the path for the recent-file list.
    virtual int SaveRecord(std::string& savedPath) = 0;
    virtual void ClearStackCount() = 0;
    // What the record cycle's commands asked of the window's timers since the last call.
    virtual AcquisitionEffects TakeEffects() { return {}; }
};

struct PaneText {
    int pane = 0;
    int width = 0;
    std::string text;
};

// What an event asks of the window.
struct EditEffects {
    // A question to ask once the window has shown this event's change.
    enum class FollowUp { None, MuteQuestion, SaveQuestion };

    RepaintKind repaint = RepaintKind::None;
    std::vector<PaneText> panes;
    FollowUp followUp = FollowUp::None;
    bool stopTimer = false;  // the view timer is to stop
    bool close = false;      // close the main frame (as its close box does), after this event
    bool shutdown = false;   // shut the station down (the user said OK)
    bool acquisitionMenu = false;  // pop the "Data acquisition" menu up over the view
    bool skip = true;        // keys: let the window's default handling have the key too
    std::string recentFile;  // a file saved by this event, for the recent-file list
    AcquisitionEffects acquisition;  // the record cycle's timers and icon

    void Repaint(RepaintKind kind)
    {
        if (static_cast<int>(kind) > static_cast<int>(repaint)) repaint = kind;
    }
    void Merge(const EditEffects& other);
};

class EditController {
public:
    static constexpr int kHitDistance = 15;
    static constexpr int kGrabDistance = 30;
    // Overlay owners of the controller's figures.
    static constexpr int kRubberOwner = 40;    // the rubber line of a drag
    static constexpr int kLineOwner = 41;      // a drawn velocity line and its hints
    static constexpr int kTextOwner = 42;      // hints at the status line's place
    static constexpr int kVelocityOwner = 43;  // the velocity read-out while drawing
    static constexpr Rgb kRubberColour{255, 0, 255};

    // The interaction state.
    int showMouseLocation = 1;   // 1 read-outs on, -1 off
    int continuousPicking = 1;   // 1 picks along a dragged line, -1 one trace per click
    int moved = 0;               // 0 on a left press, 1 after a move or a pick-line release
    int dragFlag = 0;            // 1 from a press in mode 1 (continuous) until the release
    LPoint pickStartPoint;
    float pickStartTime = 0.0f;      // t0, ms (with the trigger offset)
    float pickStartDistance = 0.0f;  // d0, m
    int rubberDrawn = 0;
    LPoint rubberLine[2]{};
    int velocityLineState = 0;   // 1 between press and release in mode 4
    VelocityLine velocityLine;   // raw times
    struct SelectionDrag {
        int active = 0;
        int startIndex = -1;
        int endIndex = -1;
        float startDistance = 0.0f;
        float endDistance = 0.0f;
    } selection;
    int shiftState = 0;          // 1 while Shift is down
    int ctrlState = 0;           // 1 while Ctrl is down
    bool altAlone = false;       // Alt is down and no other key came since
    int stopFlag = 0;            // set by Escape: ends the continuous measurement

    EditEffects OnLButtonDown(Workspace& ws, UiHost& ui, LPoint point);
    EditEffects OnMouseMove(Workspace& ws, UiHost& ui, LPoint point);
    EditEffects OnLButtonUp(Workspace& ws, UiHost& ui, LPoint point);
    EditEffects OnRButtonDown(Workspace& ws, LPoint point);
    EditEffects OnKeyDown(Workspace& ws, UiHost& ui, int key);
    EditEffects OnKeyUp(Workspace& ws, int key);
    // Shift and Ctrl as they are now. A key's release that went to a question's window never
    // reaches the view: the view hands the keyboard's state over when it gets the focus back and
    // with every key, so that bar B and the shifted keys do not stay on.
    EditEffects TakeModifiers(Workspace& ws, bool shift, bool ctrl);
    // The window lost the mouse during a drag: the drag ends and no data changes.
    EditEffects OnCaptureLost(Workspace& ws);
    // Asks the question an event left for after the window showed its change.
    EditEffects RunFollowUp(Workspace& ws, UiHost& ui, EditEffects::FollowUp followUp);

    // A drag is running (the window holds the mouse until the release).
    bool Dragging(const Workspace& ws) const;

    // Mode commands.
    void EnterVelocityMode(Workspace& ws);  // velocity-line state 0, no rubber line, mode 4
    void ClearDragFigures(Workspace& ws);

    // Null: the workspace's own acquisition objects.
    void SetAcquisitionTarget(AcquisitionKeyTarget* target) { acquisition_ = target; }
    // What the acquisition keys call (the menu's items call the same).
    AcquisitionKeyTarget& Acquisition(Workspace& ws);

private:
    EditEffects ReadOuts(const Workspace& ws, const CursorData& c) const;
    EditEffects AcquisitionKey(Workspace& ws, UiHost& ui, int key);
    EditEffects AcquisitionStop(Workspace& ws);
    void ShowRubber(Workspace& ws, LPoint from, LPoint to);
    void MoveCurve(Workspace& ws, const CursorData& c);

    AcquisitionKeyTarget* acquisition_ = nullptr;
    std::unique_ptr<AcquisitionKeyTarget> own_;
};

// Recomputes the theoretical curves of every trace from the model (ws.theoretical).
void RecomputeTheoreticalCurves(Workspace& ws);
// The texts of edit mode 7 as overlay text: `status` at the status line's place and the hint
// "Use a mouse to modify traveltime curve" one status line below it.
void ShowTheoreticalTraveltimeTexts(Workspace& ws, const std::string& status);

}  // namespace velk
