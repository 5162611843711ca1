#pragma once
// The menu commands that set the mouse's edit mode or its flags: Edit > Exit edit mode,
// Pick first arrivals > Option > Velocity and Delete all velocities, Option > etc. > Show
// mouse location and Pick traveltimes continuously. What the mouse does in each mode is the
// input controller (app/view/edit_controller.h).
//
// Submenus made here when no other feature has (keys): "pick.option" (Pick first arrivals >
// Option), "option.etc".

#include "app/command_table.h"

namespace velk {

// Command ids: 27100..27199.
namespace cmd {
constexpr int kExitEditMode = 27100;
constexpr int kVelocityLine = 27101;
constexpr int kDeleteAllVelocities = 27102;
constexpr int kShowMouseLocation = 27103;
constexpr int kPickContinuously = 27104;
}  // namespace cmd

// Rule ids: 2720..2739.
enum EditModeRule : int {
    kRulePickContinuously = 2720,  // checked while continuous picking is on (1)
};

int OnExitEditMode(Workspace& ws);         // mode 0; repaint
int OnVelocityLineMode(Workspace& ws);     // no line being drawn, mode 4; repaint
int OnDeleteAllVelocities(Workspace& ws);  // no stored lines; repaint
int OnShowMouseLocation(Workspace& ws);    // negates the flag; no repaint
int OnPickContinuously(Workspace& ws);     // negates the flag; no repaint

void AddEditModeCommands(CommandTable& table);

}  // namespace velk
