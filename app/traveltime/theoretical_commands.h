#pragma once
// The theoretical traveltime curves over the shown record and the least-squares fits of the
// picked reflection times: menu "Pick first arrivals" > "Thoretical traveltime" and > "Option".
//
// Submenus made here when no other feature has (keys): "pick.theoretical" (Thoretical
// traveltime), "pick.theoretical.dialog" (Use dialog-box), "pick.theoretical.setup" (Setup),
// "pick.option.fitting" (Automatic fitting of reflection traveltimes). Uses "pick.option".

#include "app/command_table.h"

namespace velk {

// Command ids: 27520..27599 (the synthetic models' ids are in app/traveltime/model_commands.h).
namespace cmd {
constexpr int kTwoLayerTraveltime = 27520;      // "2 layer model": edit mode 7
constexpr int kTwoLayerDialog = 27521;          // "Use dialog-box" > "2-layer model"
constexpr int kVspDialog = 27522;               // "Use dialog-box" > "VSP"
constexpr int kDeleteTheoretical = 27523;       // "Delete theoretical traveltime"
constexpr int kGroundWaterTable = 27524;        // "Setup" > "Ground water table"
constexpr int kTwoLayerSetup = 27525;           // "Setup" > two-layer model
constexpr int kFitTwoLayer = 27530;             // fitting: "2-layer model"
constexpr int kFitVspGivenVelocity = 27531;     // fitting: "VSP(give velocity)"
constexpr int kFitVspFull = 27532;              // fitting: "VSP(velocity is unknown)"
}  // namespace cmd

// Rule ids: 2810..2829.
enum TheoreticalRule : int {
    kRuleTwoLayerEditMode = 2810,  // checked while the edit mode is 7
    kRuleTheoreticalShown = 2811,  // the dialog curves are shown
    kRuleGroundWaterEnable = 2812, // traces loaded and the two-layer model chosen
    kRuleGroundWaterCheck = 2813,  // the ground-water model chosen
    kRuleTwoLayerEnable = 2814,    // traces loaded and the ground-water model chosen
    kRuleTwoLayerCheck = 2815,     // the two-layer model chosen
};

class UiHost;
class Workspace;

// The ground-water model: mode 1, V2 = 1.5 km/s, two curves (no repaint).
void SetupGroundWaterTable(Workspace& ws);
// Edit mode 7 over the current record: the curves recomputed, no parameter being modified, the
// status text and the hint as overlay text. Returns 1 (repaint).
int ShowTwoLayerTraveltime(Workspace& ws);
// The direct and reflection times of the VSP model (ws.modelling) for every trace into the
// first two curves.
void RecomputeVspCurves(Workspace& ws);

int OnTwoLayerDialog(Workspace& ws, UiHost& ui);  // dialog 185
int OnVspDialog(Workspace& ws, UiHost& ui);       // dialog 186
int OnDeleteTheoretical(Workspace& ws);
int OnGroundWaterTable(Workspace& ws);
int OnTwoLayerSetup(Workspace& ws);

// The fits (app/traveltime/fit_commands.cpp). Each returns 1 to repaint.
int OnFitTwoLayer(Workspace& ws, UiHost& ui);
int OnFitVspGivenVelocity(Workspace& ws, UiHost& ui);
int OnFitVspFull(Workspace& ws, UiHost& ui);

void AddTheoreticalTraveltimeCommands(CommandTable& table);

}  // namespace velk
