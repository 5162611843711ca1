#include "app/view/record_seams.h"

#include "app/workspace.h"
#include "draw/fonts.h"

namespace velk {

bool StrongMotionDisplay(const Workspace& ws) { return ws.strongMotionFlag == 1; }
void DrawStationLabel(RecordPaint& paint, const Workspace& ws, int trace, int32_t x, int32_t y)
{
    const CStrongMotionSet& set = ws.strongMotion;
    if (set.labelFlag != 1 || trace < 0 || static_cast<size_t>(trace) >= set.shownRecords.size()) return;
    const CStrongMotionTrace& record = set.shownRecords[static_cast<size_t>(trace)];
    ScopedFont font(paint.canvas, FontFor(FontUse::StationLabel, false));
    paint.canvas.SetTextColour(Rgb{0, 0, 0});
    paint.canvas.TextOut({x, y}, record.stationCode + " : " + record.componentLabel);
}
// While a stacking decision waits, the stack so far is drawn with the new record.
const Matrix2D<float>* RunningStackRows(const Workspace& ws)
{
    return ws.acquisitionDevice.stackPending == 1 ? &ws.acquisitionDevice.Stack() : nullptr;
}

}  // namespace velk
