#include "app/acquisition/mode_services.h"

#include "app/picking/pick_commands.h"
#include "app/workspace.h"

namespace velk {

int WorkspaceModeServices::SaveRostrelFile(const std::string& path) { return velk::SaveRostrelFile(ws_, ui_, path); }

ModeContext MakeModeContext(Workspace& ws, ModeServices* services)
{
    ModeContext c;
    c.device = &ws.acquisitionDevice;
    c.group = &ws.fileGroup;
    c.profile = &ws.profile();
    c.ui = &ws.ui();
    c.services = services;
    c.language = ws.startup.language;
    c.lineFilesSwitch = ws.LineFilesSwitch();
    c.geometry = [&ws] { return ws.MamGeometrySlotOf(); };
    return c;
}

}  // namespace velk
