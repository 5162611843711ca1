#pragma once
// Real key presses for the keypad dialogs: through the system's input (as a keyboard sends
// them), one per tick, on whichever modal dialog is on top, with screenshots between them.

#include <wx/dialog.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "gui_support.h"

namespace velk::gui {

// The modal dialog on top (a dialog opened from another comes later in the list).
inline wxDialog* TopModal()
{
    wxDialog* top = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsShown() && d->IsModal()) top = d;
    return top;
}

// Presses keys on the modal dialog on top and takes screenshots between them ("shot:<name>").
// It is restarted before each key, so it keeps going inside a dialog that a key opens. Should
// dialogs still be open after the last step, it cancels them (the test then fails instead of
// hanging).
class KeyFeeder : public wxTimer {
public:
    struct Step {
        int key = 0;
        std::string shot;
    };
    explicit KeyFeeder(std::vector<Step> steps) : steps_(std::move(steps)) { StartOnce(400); }
    bool Finished() const { return next_ >= steps_.size() && !stuck_; }

private:
    void Notify() override
    {
        wxDialog* top = TopModal();
        if (next_ >= steps_.size()) {
            if (top) {
                stuck_ = true;
                top->EndModal(wxID_CANCEL);
                StartOnce(100);
            }
            return;
        }
        const Step step = steps_[next_++];
        StartOnce(step.shot.empty() ? 250 : 400);
        if (!step.shot.empty()) {
            const std::string path = ShotPath(step.shot);
            if (Screenshot(std::getenv("DISPLAY"), path)) std::cout << "[ screenshot ] " << path << '\n';
            return;
        }
        if (top) sim_.MouseMove(top->GetScreenRect().GetTopLeft() + wxPoint(8, 8));
        sim_.Char(step.key);
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    bool stuck_ = false;
    wxUIActionSimulator sim_;
};

inline KeyFeeder::Step K(int key) { return {key, {}}; }

}  // namespace velk::gui
