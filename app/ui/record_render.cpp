#include "app/ui/record_render.h"

#include <wx/dcmemory.h>

#include "draw/parallel.h"
#include "app/view/record_drawing.h"
#include "toolkit/wx_dc_canvas.h"
#include "app/workspace.h"

namespace velk {

void RenderRecordBitmap(wxBitmap& bitmap, const LogicalMapping& mapping, Workspace& ws, const RecordRenderInfo& info)
{
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    {
        WxDcCanvas canvas(dc, mapping, info.fastLines ? bitmap.GetSize() : wxDefaultSize, info.raster);
        canvas.SetBatchLines(info.batchLines);
        canvas.SetBatchPolygons(info.batchPolygons);
        canvas.SetRasterFills(info.fastFills);
        canvas.SetStages(info.stages);
        if (!ws.display.drawing.workers) ws.display.drawing.workers = std::make_shared<WorkerPool>();
        canvas.SetWorkerPool(ws.display.drawing.workers.get());
        RecordPaint paint{canvas, info.status, false, info.documentTitle, info.currentFileName};
        OnDraw(paint, ws);
        canvas.Flush();
    }
    dc.SelectObject(wxNullBitmap);
}

void DrawOverlay(wxDC& dc, const LogicalMapping& mapping, const Workspace& ws)
{
    if (ws.display.overlay.Empty()) return;
    WxDcCanvas canvas(dc, mapping);
    ws.display.overlay.Draw(canvas);
}

LogicalMapping MappingFor(const wxDC& dc, int scrollX, int scrollY)
{
    const wxSize ppi = dc.GetPPI();
    LogicalMapping m = LogicalMapping::ForDpi(ppi.x, ppi.y);
    m.scrollX = scrollX;
    m.scrollY = scrollY;
    return m;
}

}  // namespace velk
