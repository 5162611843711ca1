#pragma once
// The rest of the "Data acquisition" menu: the measuring conditions, the disk and display
// dialogs, the geometry items, a new survey line ("QKW menu"), the signal trigger level, and the
// items of the Japanese menu only (the noise log, continuous measurement, the MO drive). Also
// File > Exit on the acquisition screen. The ids are the ones the menu has always had.
//
// Ids 33193..33308 (kept), rules 3170..3189.

#include "app/acquisition/acquisition_commands.h"

namespace velk {

class CommandTable;
class UiHost;
class Workspace;

namespace cmd {
constexpr int kAcquisitionSetting = 33193;
constexpr int kAcquisitionDisk = 33199;
constexpr int kAcquisitionDisplay = 33200;
constexpr int kSetupReceiverCount = 33201;
constexpr int kQkwMenu = 33202;
constexpr int kNoiseMonitorRecord = 33203;
constexpr int kSignalTriggerLevel = 33211;
constexpr int kSetupFirstReceiver = 33213;
constexpr int kContinuousMeasurement = 33247;
constexpr int kMoDriveD = 33306;
constexpr int kMoDriveE = 33307;
constexpr int kSetupGeometry = 33308;
}  // namespace cmd

constexpr int kRuleMonitorStopped = 3170;          // the monitor not running
constexpr int kRuleStoppedWithInstrument = 3171;   // the monitor not running, the instrument present
constexpr int kRuleMonitorOn = 3172;               // the monitor running
constexpr int kRuleMoDriveD = 3173;                // drive d chosen
constexpr int kRuleMoDriveE = 3174;                // drive e chosen

constexpr int kContinuousShotsPerPass = 5;

// "Are you sure to go new survey line ?"; OK: the common stop (with its "Save to HDD?"), the
// survey type from dialog 252 (the preset one when it is cancelled), no traces and no files in
// the group, the next line with a new mode and its welcome, key bar A, repaint.
AcquisitionEffects OnAcquisitionMenu(Workspace& ws, UiHost& ui);
// The common stop, then "Are you sure you want to exit?": `close` is set after OK.
AcquisitionEffects OnAcquisitionExit(Workspace& ws, UiHost& ui, bool& close);
// Opens the noise log in the working folder while the monitor runs unarmed; 1 when opened.
int OnNoiseMonitorRecord(Workspace& ws, UiHost& ui);
// The archive drive: 'd' or 'e', with its mount point.
void ChooseMoDrive(Workspace& ws, char letter);
// "Set first receiver position" over the device's first receiver; 1 after OK.
int SetupFirstReceiver(Workspace& ws, UiHost& ui);

void AddAcquisitionMenuCommands(CommandTable& table);

}  // namespace velk
