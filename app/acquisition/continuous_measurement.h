#pragma once
// Continuous measurement: passes of shots, each shot armed by the program and closed by a manual
// trigger, until Escape sets the controller's stop flag (checked between passes). Per shot:
// wait 1000 ms, arm, wait until the armed run has ended and its record has been handled (the
// record's questions answered), wait 5000 ms, a manual trigger, wait 2000 ms.
//
// Nothing here waits: every step is a one-shot call that the view schedules
// (ViewSurface::ScheduleOnce), so the window, the keys and the record cycle's own timers go on
// between the steps.

namespace velk {

class UiHost;
class ViewSurface;
class Workspace;

class ContinuousMeasurement {
public:
    static constexpr int kBeforeArmMs = 1000;
    static constexpr int kBeforeTriggerMs = 5000;
    static constexpr int kAfterTriggerMs = 2000;
    static constexpr int kPollMs = 50;  // how often the armed run is looked at

    // Starts the passes of `shots` shots and returns at once: false, with nothing done, while
    // a run is going or without a view to schedule the steps.
    bool Start(Workspace& ws, UiHost& ui, ViewSurface* view, int shots);
    bool Running() const { return running_; }
    // The shots armed so far; at the end, the shots of the run.
    int ShotsAttempted() const { return attempted_; }

private:
    void Then(int milliseconds, void (ContinuousMeasurement::*step)());
    void NextPass();
    void BeginShot();
    void Arm();
    void AwaitRecord();
    void Trigger();
    void EndShot();

    Workspace* ws_ = nullptr;
    UiHost* ui_ = nullptr;
    ViewSurface* view_ = nullptr;
    int shots_ = 0;
    int shot_ = 0;
    int attempted_ = 0;
    bool running_ = false;
};

}  // namespace velk
