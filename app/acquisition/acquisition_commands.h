#pragma once
// The record cycle on the workspace: the noise monitor, arming, the trigger, the record's
// stacking and saving, and the common stop. Every command runs in the main loop, only sets the
// device's flags and returns what the window is to do with its timers: a 5 ms ticker that
// calls AcquisitionMonitorTick until the run ends, a 50 ms timer that calls
// AcquisitionTimerStep, and a start 200 ms after a run ended (CompletePendingStart).
//
// Questions go through the UiHost. A start or an arm while a run is still active asks the run
// to stop and starts once it has ended; a second one before that does nothing.

#include <string>

#include "draw/canvas.h"

namespace velk {

class UiHost;
class Workspace;

struct AcquisitionEffects {
    bool repaint = false;        // the whole view
    bool startTicker = false;    // a run was set up: tick it every 5 ms, draw the whole panel
    bool startTimer = false;     // the 50 ms timer
    bool stopTimer = false;
    bool startLater = false;     // call CompletePendingStart 200 ms from now
    bool runEnded = false;       // the ticker stops
    bool invalidate = false;     // redraw `column` only
    LRect column;
    int icon = 0;                // 0 unchanged, else the icon resource to show (128, 238)
    std::string recentFile;      // a record saved by this step

    void Merge(const AcquisitionEffects& other);
};

AcquisitionEffects OnNoiseMonitorStart(Workspace& ws, UiHost& ui);
AcquisitionEffects OnNoiseMonitorStop(Workspace& ws);
AcquisitionEffects OnTriggerArm(Workspace& ws, UiHost& ui);
AcquisitionEffects OnManualTrigger(Workspace& ws, UiHost& ui);
// The triggered record: read, built, aligned, stacked, and the questions of the stack mode.
AcquisitionEffects OnRecordReady(Workspace& ws, UiHost& ui);
// Every way out of the monitor and the armed state: disarm, stop, icon 128 and, with records
// stacked in a mode other than "No", the stack shown and (askToSaveStack) "Save to HDD?".
AcquisitionEffects StopAcquisition(Workspace& ws, UiHost& ui, bool askToSaveStack);

// A question about the record or stack in hand ("Stack ?", "Save to HDD?", ...), asked with
// the record drawn behind it: Yes (OK), No (Cancel), or Closing when the program closes while
// it is open (or before it opens): the caller then keeps the shot as its Save answer would,
// never dropping a record the crew has not chosen to drop.
enum class RecordAnswer { Yes, No, Closing };
RecordAnswer AskRecordQuestion(Workspace& ws, UiHost& ui, const char* english, const char* japanese);

// The running stack, with its own headers and trace count, as the shown record.
void CopyStackIntoStore(Workspace& ws);

// One 5 ms step of the running monitor.
AcquisitionEffects AcquisitionMonitorTick(Workspace& ws);
// The 50 ms step: the ready record, or the instrument's timer counter and the blinking icon.
AcquisitionEffects AcquisitionTimerStep(Workspace& ws, UiHost& ui);
// The start that waited for the previous run to end.
AcquisitionEffects CompletePendingStart(Workspace& ws, UiHost& ui);

}  // namespace velk
