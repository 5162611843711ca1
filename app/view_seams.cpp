#include "app/view_seams.h"

#include "app/command_table.h"
#include "app/workspace.h"

namespace velk {

bool StrongMotionSetLoaded(const Workspace&) { return false; }

bool StrongMotionStationsLoaded(const Workspace&) { return false; }

bool StepStrongMotionStation(Workspace&, bool) { return false; }

bool ArrayGeometryPresent(const Workspace&) { return false; }

int OnTimer(CommandContext&) { return 0; }

}  // namespace velk
