#pragma once
// The acoustic finite-difference modelling on the velocity model ("Acoustic Finite Difference",
// "Continue", "Finish"), the migrations of the processing menu (diffraction stacking,
// Kirchhoff, Stolt, phase shift, 15 degrees, reverse time) and "Zero Offset transform".
//
// Every command asks its dialog, checks the input and the size of its result against the store
// before anything changes, then pushes one undo snapshot and replaces the record; Cancel and
// refusals change nothing. Each returns 1 when the view must be repainted.

#include "app/command_table.h"

namespace velk {

class ProgressSink;
class UiHost;
class ViewSurface;
class Workspace;

// Command ids: 28600..28699; 33006 keeps the resource's id.
namespace cmd {
// Option > etc. > Velocity model.
constexpr int kAcousticFiniteDifference = 28600;
constexpr int kFdContinue = 28601;
constexpr int kFdFinish = 28602;
// Option > Processing.
constexpr int kZeroOffsetTransform = 28610;
// Option > Processing > Migration(Pre-stack data).
constexpr int kDiffractionStacking = 28620;
constexpr int kReverseTimeMigrationPreStack = 33006;
// Option > Processing > Migration(Post-stack data).
constexpr int kKirchhoffMigration = 28630;
constexpr int kStoltMigration = 28631;
constexpr int kPhaseShiftMigration = 28632;
constexpr int kFifteenDegreeMigration = 28633;
constexpr int kReverseTimeMigration = 28634;
}  // namespace cmd

// Rule ids: 2850..2869.
enum MigrationRule : int {
    kRuleFdRunning = 2850,  // a model exists and a modelling run is in progress
};

void AddMigrationCommands(CommandTable& table);

// Dialog 203 when no run is in progress, then one portion; progress on the view's two lines.
int OnAcousticFiniteDifference(Workspace& ws, UiHost& ui, ViewSurface* view);
// The run's record into the store (undo first); the run ends.
int OnFdFinish(Workspace& ws, UiHost& ui);

int OnZeroOffsetTransform(Workspace& ws, UiHost& ui);
int OnDiffractionStacking(Workspace& ws, UiHost& ui, ProgressSink& progress);
int OnKirchhoffMigration(Workspace& ws, UiHost& ui, ProgressSink& progress);
int OnStoltMigration(Workspace& ws, UiHost& ui, ProgressSink& progress);
int OnPhaseShiftMigration(Workspace& ws, UiHost& ui, ProgressSink& progress);
int OnFifteenDegreeMigration(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Dialog 191 and the post-stack reverse-time migration; progress on the view's two lines.
int OnReverseTimeMigration(Workspace& ws, UiHost& ui, ViewSurface* view);

}  // namespace velk
