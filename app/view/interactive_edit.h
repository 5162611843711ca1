#pragma once
// The view's interactive editing commands: the time shifts (shot mark, one shift for all
// traces, the time-shift file, the pre-trigger display shift), trace selection with reverse,
// the display-factor file of the amplitude correction, the normalisation toggle, the mute at
// the picks, the header, source and geometry editors, the menu type, and the amplitude
// constants; with their menu rows and rules.
//
// Each command asks through the UiHost, changes the workspace and returns 1 when the view must
// be repainted. Cancel changes nothing; so does Cancel in a file dialog, silently.

#include <string>

#include "app/command_table.h"
#include "platform/uihost.h"

namespace velk {

class Workspace;

// Command ids: 27200..27299.
namespace cmd {
// Edit > Time shift traces.
constexpr int kPointShotMark = 27200;
constexpr int kSetTimeShiftAllTraces = 27201;
constexpr int kSetTimeShiftEachTrace = 27202;
constexpr int kReadTimeShiftFile = 27203;
// Edit.
constexpr int kSelectTrace = 27210;
constexpr int kReverseSelected = 27211;
constexpr int kShowEditHeaders = 27212;
constexpr int kInputSourceLocation = 27213;
constexpr int kEditGeometry = 27214;
constexpr int kReceiverInterval = 27215;
// View.
constexpr int kPreTriggerShift = 27220;
constexpr int kNormalizeTraces = 27221;
constexpr int kSetupAmplitudeConstants = 27222;
// Option.
constexpr int kOpenCorrectionFile = 27230;
constexpr int kSaveCorrectionFile = 27231;
constexpr int kDefaultCorrection = 27232;
constexpr int kMuteAtPicks = 27233;
constexpr int kMenuTypeSimple = 27234;
}  // namespace cmd

// Rule ids: 2740..2759.
enum InteractiveEditRule : int {
    kRuleSelectTraceChecked = 2740,  // edit mode 5
    kRulePreTriggerChecked = 2741,   // ITriggerPlot 1
    kRuleNormalizeChecked = 2742,    // normalisation 0 (each trace)
    kRuleClipChecked = 2743,         // clip flag -1
    kRuleSimpleMenuChecked = 2744,   // COMPLETEMENU 0
};

// Dialog 293 "Setup amplitude constant".
struct CAmplitudeConstantDlg {
    static constexpr const char* kClass = "CAmplitudeConstantDlg";
    float constant = 1.0f;
    std::string unit;
    DialogRequest Request(int language);
};

// Edit > Time shift traces.
int OnPointShotMark(Workspace& ws);                   // edit mode 2
int OnSetTimeShiftAllTraces(Workspace& ws, UiHost& ui);
int OnSetTimeShiftEachTrace(Workspace& ws, UiHost& ui);  // the header editor, shift applied
int OnReadTimeShiftFile(Workspace& ws, UiHost& ui);
// Option > Processing > Median filter > "Subtract first arrival time": every trace's receiver
// and pick into the receiver shift table, then the table shift.
int OnSubtractFirstArrivalTime(Workspace& ws, UiHost& ui);

// Edit > Select trace, Edit > Selected traces > Reverse (no undo).
int OnSelectTrace(Workspace& ws);
int OnReverseSelected(Workspace& ws, UiHost& ui);

// View.
int OnPreTriggerShift(Workspace& ws);
int OnNormalizeTraces(Workspace& ws);
int OnSetupAmplitudeConstants(Workspace& ws, UiHost& ui);

// Option > etc. > Amplitude correction: the display-factor file and the default factors.
int OnOpenCorrectionFile(Workspace& ws, UiHost& ui);
int OnSaveCorrectionFile(Workspace& ws, UiHost& ui);
int OnDefaultCorrection(Workspace& ws);

// Option > Processing > Mute > "Mute(picked arrivale)".
int OnMuteAtPicks(Workspace& ws, UiHost& ui);

// The editors.
int OnShowEditHeaders(Workspace& ws, UiHost& ui);
int OnInputSourceLocation(Workspace& ws, UiHost& ui);
int OnEditGeometry(Workspace& ws, UiHost& ui);
// Edit > "Receiver interval(&I)..." (Ctrl+I): the spacing dialog preset with the program's
// receiver interval; on OK every receiver is rewritten (undo first) and the interval kept.
int EditReceiverInterval(Workspace& ws, UiHost& ui);

// Option > etc. > Menu type > Simple: COMPLETEMENU inverted; "Please re-start the program !".
int OnMenuTypeSimple(Workspace& ws, UiHost& ui);

// Texts.
inline constexpr const char* kOpenTimeShiftFileText = "Open a trace time shift file !";
inline constexpr const char* kRestartText = "Please re-start the program !";

void AddInteractiveEditCommands(CommandTable& table);

}  // namespace velk
