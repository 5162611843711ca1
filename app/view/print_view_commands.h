#pragma once
// The view's outputs besides the screen and its earthquake view: File > Print, Print preview
// and Print setup (run by the shell's printer), Edit > Copy to clipboard, View > Select
// components to be plotted, and Option > Earthquakes with its View mode and Offset mode
// submenus. The commands are core functions; their enable and check rules are core predicates.

#include <array>
#include <string>

#include "app/command_table.h"
#include "platform/uihost.h"

namespace velk {

class CVelkarineDoc;
class UiHost;
class Workspace;

namespace cmd {
// Ids 27400..27499.
constexpr int kFilePrint = 27400;
constexpr int kFilePrintPreview = 27401;
constexpr int kFilePrintSetup = 27402;
constexpr int kCopyToClipboard = 27403;
constexpr int kSelectComponents = 27404;
// Option > Earthquakes > View mode: kEarthquakeViewMode + 0 (all traces) .. + 6 (UD downhole).
constexpr int kEarthquakeViewMode = 27410;
constexpr int kEarthquakeStation = 27417;
// Option > Earthquakes > Offset mode: kEarthquakeOffsetMode + 0 (latitude) .. + 2 (source offset).
constexpr int kEarthquakeOffsetMode = 27420;
constexpr int kSetupEarthquakeTime = 27430;
constexpr int kStartWithEarthquakeTime = 27431;
constexpr int kCorrectTimeAxis = 27432;
constexpr int kSetCorollary = 27433;
}  // namespace cmd

// Rule ids 2780..2799.
enum PrintViewRule : int {
    kRuleEarthquakeViewMode = 2780,    // + mode 0..6: earthquake mode, and not the current view mode
    kRuleEarthquakeStation = 2787,     // earthquake mode, and the set has stations
    kRuleEarthquakeOffsetMode = 2788,  // + mode 0..2: earthquake mode, and not the current offset mode
    kRuleEarthquakeTime = 2791,        // earthquake mode, and more than one station
    kRuleEarthquakeTraces = 2792,      // earthquake mode with traces loaded
    kRuleStartWithEarthquakeTime = 2793,  // check: the flag is on
    kRuleTimeAxisCorrected = 2794,        // check: the view's time-axis correction is on
    kRuleEarthquakeMode = 2795,           // a strong-motion set is loaded
};

// Earthquake mode: a strong-motion set is loaded.
bool EarthquakeMode(const Workspace& ws);
bool CanChooseViewMode(const Workspace& ws, int mode);
bool CanChooseOffsetMode(const Workspace& ws, int mode);

// The commands; each returns 1 when the view must be repainted. Outside earthquake mode they
// do nothing and return 0. `doc` may be null (tests).
int OnEarthquakeViewMode(Workspace& ws, UiHost& ui, CVelkarineDoc* doc, int mode);  // 0..6
int OnEarthquakeStation(Workspace& ws, UiHost& ui, CVelkarineDoc* doc);
int OnEarthquakeOffsetMode(Workspace& ws, UiHost& ui, CVelkarineDoc* doc, int mode);  // 0..2
int OnSetupEarthquakeTime(Workspace& ws, UiHost& ui);
int OnStartWithEarthquakeTime(Workspace& ws, UiHost& ui, CVelkarineDoc* doc);
int OnCorrectTimeAxis(Workspace& ws);
int OnSetCorollary(Workspace& ws, UiHost& ui, CVelkarineDoc* doc);

// "Select components to be plotted": ten check boxes, all checked when it opens. The choice is
// not kept and changes nothing.
struct CSelectComponentDlg {
    std::array<int, 10> plot{1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    DialogRequest Request(int language);
};
int OnSelectComponents(Workspace& ws, UiHost& ui);

void AddPrintViewCommands(CommandTable& table);

}  // namespace velk
