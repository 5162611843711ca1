#pragma once
// The menu rows of the trace-editing, NMO and generator commands, with their rules.
//
// Submenus this file makes when no other feature has (keys): "edit.selected" (Edit > Selected
// traces), "edit.resample" (Edit > Resample data), "edit.option.reverse" (Edit > Option >
// Reverse spread), "option.processing.mute" (Option > Processing > Mute),
// "option.earthquakes" (Option > Earthquakes), "option.generate" (Option > Genarate waveform
// data). It also uses "edit.timeshift", "edit.timeshift.auto", "edit.recordlength",
// "edit.option", "option.fourier", "option.processing.option", "option.processing.velocity",
// "option.etc" and "option.etc.amplitude".

#include "app/command_table.h"

namespace velk {

// Command ids: 25800..25999.
namespace cmd {
// Edit > Selected traces.
constexpr int kDeleteSelected = 25800;
constexpr int kKillTrace = 25801;
constexpr int kStrongMotionSpectrum = 25802;
// Edit > Option.
constexpr int kInsertTrace = 25810;
constexpr int kDurationTime = 25811;
constexpr int kStrongMotionSpectrum3C = 25812;
constexpr int kReverseSpread = 25813;
// Edit > Time shift traces.
constexpr int kEditPretrigger = 25820;
constexpr int kTimeShiftByComponent = 25821;
constexpr int kCorrelationLoop = 25822;
// Edit > Resample data, Edit > Change record length.
constexpr int kDecimate2 = 25830;
constexpr int kDecimate4 = 25831;
constexpr int kDecimate8 = 25832;
constexpr int kDecimate5 = 25833;
constexpr int kRecordLengthArbitrary = 25834;
// Option > Fourier analysis.
constexpr int kFourierTimeShift = 25840;
constexpr int kFourierDifferential = 25841;
// Option > Processing.
constexpr int kApparentVelocityMute = 25850;
constexpr int kMuteByMouse = 25851;
constexpr int kIntegrationInTime = 25852;
constexpr int kExtractSingleFrequency = 25853;
constexpr int kFourierDecomposition = 25854;
constexpr int kNmoCorrection = 25855;
constexpr int kSpacialFilter = 25856;
// Option > etc., Option > Earthquakes.
constexpr int kSetMaximumAmplitude = 25860;
constexpr int kSetupCoordinate = 25861;
constexpr int kAngleRange = 25862;
// Option > Genarate waveform data.
constexpr int kGenerateTimeDomain = 25870;
constexpr int kGenerateFrequencyDomain = 25871;
constexpr int kGenerateFkDomain = 25872;
}  // namespace cmd

// Rule ids: 2580..2599.
enum TraceEditRule : int {
    kRuleReverseSpread = 2580,    // more than 23 traces
    kRuleAngleRange = 2581,       // traces loaded and a record built by appending files
    // Edit > "Receiver interval(&I)...": more than one trace, or in acquisition mode a survey
    // method chosen. The command's row comes with the interactive editing.
    kRuleReceiverInterval = 2582,
};

// Adds the rows, the submenus above (those no feature has made) and the rules.
void AddTraceEditCommands(CommandTable& table);

}  // namespace velk
