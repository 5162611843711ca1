#include "app/acquisition/disk_commands.h"

#include "acquisition/disk_dlg.h"
#include "app/acquisition/record_saving.h"
#include "app/workspace.h"
#include "platform/paths.h"

namespace velk {

int RunDiskMenu(Workspace& ws, UiHost& ui, FileOps& files, std::string& savedPath)
{
    if (!ws.acquisitionManager || !ws.clock) return 0;
    CAcquisitionManager& manager = *ws.acquisitionManager;
    DiskContext ctx;
    ctx.ui = &ui;
    ctx.language = ws.startup.language;
    ctx.manager = &manager;
    ctx.files = &files;
    ctx.clock = ws.clock.get();
    ctx.dataFolder = manager.GetDataFolder().empty() ? WorkingFolder() : manager.GetDataFolder();
    ctx.moFolder = DriveMountPoint(ws.profile(), ws.moDriveLetter);
    ctx.fdFolder = DriveMountPoint(ws.profile(), 'a');
    ctx.moKey = DriveMountKey(ws.moDriveLetter);
    ctx.fdKey = DriveMountKey('a');
    ctx.traceCount = ws.store.TraceCount();
    ctx.dataKind = ws.store.dataKind();
    ctx.dispersionFlag = ws.store.DispersionFlag();
    ctx.saveRecord = [&ws, &ui, &savedPath] {
        std::string path;
        const int saved = SaveAcquiredRecord(ws, ui, path);
        if (saved == 1) savedPath = path;
        return saved;
    };
    return ws.acquisitionDevice.DiskMenu(ctx);
}

}  // namespace velk
