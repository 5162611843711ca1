#pragma once
// The modelling commands: the synthetic records of Option > "Genarate waveform data", the two
// VSP processing commands, the velocity model and its ray tracing under Option > etc., and
// "Save earthquake simulation files" under File > Instrument files.
//
// Every generator asks its dialog, checks the record against the store's capacity and the
// interval before anything changes, then pushes one undo snapshot and replaces the record;
// Cancel changes nothing. Each command returns 1 when the view must be repainted.

#include <span>
#include <string>

#include "app/command_table.h"
#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

struct CFdStationList;
class ProgressSink;
class UiHost;
class Workspace;

// Command ids: 28500..28599.
namespace cmd {
// Option > Genarate waveform data.
constexpr int kAddTimeNoise = 28500;
constexpr int kAddFrequencyNoise = 28501;
constexpr int kDiffraction = 28502;
constexpr int kVsp = 28503;
constexpr int kReflection = 28504;
constexpr int kNoiseModel = 28505;
constexpr int kSelectWavelet = 28506;
constexpr int kCorrelatedNoise = 28507;
constexpr int kCorrelatedNoiseOld = 28508;  // under Option > Under construction
constexpr int kSpikeRecord = 28509;
constexpr int kDispersiveSurfaceWave = 28510;
// Option > Processing > VSP.
constexpr int kTwoWayTime = 28520;
constexpr int kVerticalSummation = 28521;
// Option > etc. > Velocity model, Option > etc. > Contour.
constexpr int kNewHomogeneousModel = 28530;
constexpr int kNewTwoLayerModel = 28531;
constexpr int kRaytracing = 28532;
constexpr int kModelSmoothing = 28533;
constexpr int kContourVelocity = 28540;
constexpr int kContourWaveform = 28541;
constexpr int kContourTraveltime = 28542;
// File > Instrument files.
constexpr int kSaveEarthquakeSimulation = 28550;
}  // namespace cmd

// Rule ids: 2830..2849.
enum ModellingRule : int {
    kRuleHasModel = 2830,        // a velocity model has been created
    kRuleHasTraveltimes = 2831,  // ray tracing has run
};

// Adds the rows (and the submenus no other feature has made) and the rules.
void AddModellingCommands(CommandTable& table);

// --- Synthetic records -----------------------------------------------------------------------
int OnAddTimeNoise(Workspace& ws, UiHost& ui);
int OnAddFrequencyNoise(Workspace& ws, UiHost& ui);
int OnDiffraction(Workspace& ws, UiHost& ui);
int OnVsp(Workspace& ws, UiHost& ui);
int OnReflection(Workspace& ws, UiHost& ui);
int OnNoiseModel(Workspace& ws, UiHost& ui);
// The file dialog ("Traveltime file(*.*)"), dialog 209 and the spike record.
int OnSpikeRecord(Workspace& ws, UiHost& ui);
int OnDispersiveSurfaceWave(Workspace& ws, UiHost& ui);
// Each trace delayed by its pick; the picks doubled.
int OnTwoWayTime(Workspace& ws, UiHost& ui);
// "Nornalize each trace ?", then the sum of all traces into the first three.
int OnVerticalSummation(Workspace& ws, UiHost& ui);

// --- Velocity model --------------------------------------------------------------------------
int OnNewHomogeneousModel(Workspace& ws);
int OnNewTwoLayerModel(Workspace& ws);
// Dialog 200, then the traveltimes from the chosen source; progress texts into the view.
int OnRaytracing(Workspace& ws, UiHost& ui, ProgressSink& progress);
int OnModelSmoothing(Workspace& ws);
// Which grid the velocity-model display draws: 0 the record, 1 velocity, 2 traveltime,
// 3 snapshot. Sets the model's contourSource and the display's grid together.
void SetContourSource(Workspace& ws, int source);

// "No velocity model for traveltime calculation !" in the language.
std::string NoVelocityModelText(int language);

// --- Station output --------------------------------------------------------------------------
// Dialogs 218 and 219 (Cancel in either writes nothing), "search.txt" created empty, then one
// file per station whose node has a trace, written atomically into the working folder.
// Returns the number of files written.
int WriteFdStationWaveforms(Workspace& ws, UiHost& ui, CFdStationList& list, int traceCount,
                            const Matrix2D<float>& samples, std::span<const CTraceHeader> headers);
// The file dialog, the station file, dialogs 218 and 219, the files; then
// "%d files have been saved !".
int OnSaveEarthquakeSimulation(Workspace& ws, UiHost& ui);

}  // namespace velk
