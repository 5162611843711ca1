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
    MarkAcquiredRecord(ws);
    return ws.acquisitionDevice.MakeTraceHeaders(ws.store.current.headers, ws.geometry.receiverInterval);
}

void MarkAcquiredRecord(Workspace& ws) { ws.display.acquiredRecordLoad = ws.store.loadCounter; }

bool AcquiredRecordShown(const Workspace& ws) { return ws.display.acquiredRecordLoad == ws.store.loadCounter; }

void ComputeAcquiredDisplayScale(Workspace& ws)
{
    if (!AcquiredRecordShown(ws)) return;
    DisplayState& d = ws.display;
    float& hscale = ws.store.Params().hscale;
    if (d.instrumentScaleShown == 0) d.keptTimeScale = hscale;
    ws.acquisitionDevice.ComputeDisplayScale(ws.geometry.receiverInterval, d.layout.distanceMinimum,
                                             d.layout.distanceMaximum, hscale);
    d.instrumentTimeScale = hscale;
    d.instrumentScaleShown = 1;
}

void LeaveAcquiredDisplayScale(Workspace& ws)
{
    DisplayState& d = ws.display;
    if (d.instrumentScaleShown == 0) return;
    float& hscale = ws.store.Params().hscale;
    if (hscale == d.instrumentTimeScale) hscale = d.keptTimeScale;
    d.instrumentScaleShown = 0;
}

}  // namespace velk
