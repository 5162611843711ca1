#include "app/acquisition/continuous_measurement.h"

#include "app/acquisition/acquisition_commands.h"
#include "app/shell_services.h"
#include "app/workspace.h"

namespace velk {

bool ContinuousMeasurement::Start(Workspace& ws, UiHost& ui, ViewSurface* view, int shots)
{
    if (running_ || !view || shots <= 0) return false;
    ws_ = &ws;
    ui_ = &ui;
    view_ = view;
    shots_ = shots;
    attempted_ = 0;
    running_ = true;
    ws.editController.stopFlag = 0;
    NextPass();
    return true;
}

void ContinuousMeasurement::Then(int milliseconds, void (ContinuousMeasurement::*step)())
{
    view_->ScheduleOnce(milliseconds, [this, step] { (this->*step)(); });
}

void ContinuousMeasurement::NextPass()
{
    if (ws_->editController.stopFlag != 0) {
        ws_->editController.stopFlag = 1;
        running_ = false;
        return;
    }
    shot_ = 0;
    BeginShot();
}

void ContinuousMeasurement::BeginShot() { Then(kBeforeArmMs, &ContinuousMeasurement::Arm); }

void ContinuousMeasurement::Arm()
{
    ++attempted_;
    view_->ApplyAcquisition(OnTriggerArm(*ws_, *ui_));
    Then(kPollMs, &ContinuousMeasurement::AwaitRecord);
}

void ContinuousMeasurement::AwaitRecord()
{
    const CAcquisitionDevice& d = ws_->acquisitionDevice;
    const bool busy = d.armed == 1 || d.runActive == 1 || d.pendingStart != 0 || d.triggerReceived == 1 ||
                      d.questionOpen == 1;
    if (busy) {
        Then(kPollMs, &ContinuousMeasurement::AwaitRecord);
    } else {
        Then(kBeforeTriggerMs, &ContinuousMeasurement::Trigger);
    }
}

void ContinuousMeasurement::Trigger()
{
    view_->ApplyAcquisition(OnManualTrigger(*ws_, *ui_));
    Then(kAfterTriggerMs, &ContinuousMeasurement::EndShot);
}

void ContinuousMeasurement::EndShot()
{
    if (++shot_ < shots_) {
        BeginShot();
    } else {
        NextPass();
    }
}

}  // namespace velk
