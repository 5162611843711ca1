#include "app/view/record_seams.h"

#include "app/workspace.h"

namespace velk {

void DrawWavelengthLimitLines(RecordPaint&, Workspace&, int, int) {}
void ShowTwoLayerTraveltime(RecordPaint&, Workspace&, int, int) {}

bool StrongMotionDisplay(const Workspace& ws) { return ws.strongMotionFlag == 1; }
void DrawStationLabel(RecordPaint&, const Workspace&, int, int32_t, int32_t) {}
// While a stacking decision waits, the stack so far is drawn with the new record.
const Matrix2D<float>* RunningStackRows(const Workspace& ws)
{
    return ws.acquisitionDevice.stackPending == 1 ? &ws.acquisitionDevice.Stack() : nullptr;
}

}  // namespace velk
