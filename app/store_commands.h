#pragma once
// The store's commands as core functions, with their enable and check predicates: Edit > Undo,
// Edit > Option > Select component to be edited, Option > Dimension size. Each command returns
// 1 when the view must be repainted, else 0.

#include <string>

namespace velk {

class DialogRequest;
class UiHost;
class Workspace;

// The undo step as the workspace sees it: the store's RestoreUndo, then plot mode -2 (wiggle
// traces), its sub-flag 0 and the second-axis kind 0. False when there was nothing to undo.
bool RestoreUndo(Workspace& ws);

// Edit > Undo: resets the display filter, restores, repaints. Enabled while the depth is > 0.
int OnEditUndo(Workspace& ws);
bool CanUndo(const Workspace& ws);

// Edit > Option > Select component to be edited: -1 (all components) or 1..6; anything else
// changes nothing. Radio check on the current value.
int OnSelectComponent(Workspace& ws, int component);
bool IsComponentChecked(const Workspace& ws, int component);

// Option > Dimension size: dialog 201 "Property".
struct CDimensionSizeDlg {
    static constexpr const char* kClass = "CDimensionSizeDlg";
    static constexpr const char* kTitle = "Property";
    static constexpr const char* kMaxSamples = "Maximum samples";
    static constexpr const char* kMaxTraces = "Maximum traces";
    static constexpr const char* kChange = "Change dimension size";

    int maxSamples = 0;
    int maxTraces = 0;
    int changeDimension = 0;  // check box, initially clear

    // The request over this struct's fields.
    DialogRequest Request(int language);
};

inline constexpr const char* kMemoryChangedText =
    "Memory size has been changed ! \n\n Please re-start the program";

// Runs the dialog preset with the store's capacities and applies it. Always enabled.
int OnDimensionSize(Workspace& ws, UiHost& ui);
// Applies accepted dialog values: nothing unless the box is checked; refuses values below 1 or
// a size that cannot be allocated with a message, keeping everything; otherwise replaces the
// store (trace count 0) and shows kMemoryChangedText. The capacities reach the profile at
// shut-down.
int ApplyDimensionSize(Workspace& ws, UiHost& ui, const CDimensionSizeDlg& values);

}  // namespace velk
