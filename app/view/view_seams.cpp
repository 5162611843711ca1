#include "app/view/view_seams.h"

#include <algorithm>

#include "app/command_table.h"
#include "app/formats/strong_motion_commands.h"
#include "app/workspace.h"

namespace velk {

bool StrongMotionSetLoaded(const Workspace& ws) { return ws.strongMotionFlag != 0; }

bool StrongMotionStationsLoaded(const Workspace& ws)
{
    return ws.strongMotionFlag != 0 && ws.strongMotion.viewMode == 9 && ws.strongMotion.StationCount() > 0;
}

bool StepStrongMotionStation(Workspace& ws, bool forward)
{
    CStrongMotionSet& set = ws.strongMotion;
    if (!StrongMotionStationsLoaded(ws)) return false;
    const int next = std::clamp(set.currentStation + (forward ? 1 : -1), 0, set.StationCount() - 1);
    if (next == set.currentStation) return false;
    set.currentStation = next;
    return RefillEarthquakeTraces(ws, ws.ui()) == 1;
}

}  // namespace velk
