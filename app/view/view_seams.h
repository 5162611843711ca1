#pragma once
// Where the view's commands meet features that other parts of the program complete. Each
// function is called at the place its feature belongs and does the least until that feature
// replaces its body.

#include "app/picking/pick_matching.h"

namespace velk {

struct CommandContext;
class Workspace;

// A strong-motion set is loaded (any kind); enables "Show observation station code etc.".
bool StrongMotionSetLoaded(const Workspace& ws);
// A strong-motion set is shown station by station (view mode 9): next and previous file then
// step through the stations.
bool StrongMotionStationsLoaded(const Workspace& ws);
// Steps to the next (forward) or previous station, clamped to the set, and refills the store
// with it; true to repaint (false at either end).
bool StepStrongMotionStation(Workspace& ws, bool forward);

// The view shows an array geometry (microtremor arrays): its array flag is 1 and the array holds
// points (app/view/geometry_pictures.cpp).
bool ArrayGeometryPresent(const Workspace& ws);

// MatchPicksToTraces (the stored picks of the current shot onto the traces) is in
// app/picking/pick_matching.h.

// One tick of the view timer: the automatic processing's (app/survey/automatic_processing.cpp;
// the acquisition runs on timers of its own). Returns 1 to repaint the record.
int OnTimer(CommandContext& ctx);

}  // namespace velk
