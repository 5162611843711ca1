#include "app/picking/auto_picking.h"

#include "app/workspace.h"

namespace velk {

int RunAutoPicking(Workspace& ws, int /*mode*/)
{
    ws.display.editMode = 1;
    ws.display.amplitudeFlag = 0;
    return 1;
}

}  // namespace velk
