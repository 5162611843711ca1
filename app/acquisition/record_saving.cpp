#include "app/acquisition/record_saving.h"

#include "app/workspace.h"

namespace velk {

int SaveAcquiredRecord(Workspace& ws, UiHost& ui, std::string& savedPath)
{
    if (!ws.acquisitionManager) return 0;
    const CAcquisitionDevice::SaveTarget target{ws.fileGroup, *ws.acquisitionManager, ws.profile(), ui,
                                                ws.startup.language, ws.geometry.receiverInterval};
    return ws.acquisitionDevice.SaveRecord(ws.store.current.rows, ws.store.current.headers, ws.store.TraceCount(),
                                           target, savedPath);
}

int MakeAcquiredTraceHeaders(Workspace& ws)
{
    return ws.acquisitionDevice.MakeTraceHeaders(ws.store.current.headers, ws.geometry.receiverInterval);
}

void ComputeAcquiredDisplayScale(Workspace& ws)
{
    RecordLayout& l = ws.display.layout;
    ws.acquisitionDevice.ComputeDisplayScale(ws.geometry.receiverInterval, l.distanceMinimum, l.distanceMaximum,
                                             ws.store.Params().hscale);
}

}  // namespace velk
