#pragma once
// The record cycle's items of the "Data acquisition" menu: the noise monitor's Start and Stop,
// the manual trigger and Arm, with their rules. The ids are the ones the menu has always had.
//
// Ids 33170..33175 (the record cycle), rules 3120..3139.

namespace velk {

class CommandTable;
class Workspace;

namespace cmd {
constexpr int kNoiseMonitorStart = 33170;
constexpr int kNoiseMonitorStop = 33171;
constexpr int kManualTrigger = 33174;
constexpr int kTriggerArm = 33175;
}  // namespace cmd

constexpr int kRuleMonitorStartable = 3120;  // acquisition screen on and the instrument present
constexpr int kRuleMonitorRunning = 3121;    // as above, and the monitor running
constexpr int kRuleInstrumentPresent = 3122;  // the instrument present
constexpr int kRuleArmable = 3123;           // not armed, the instrument present, the screen on

void AddAcquisitionCommands(CommandTable& table);

}  // namespace velk
