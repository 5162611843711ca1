#include "app/view/record_seams.h"

#include "app/workspace.h"

namespace velk {

void DrawWavelengthLimitLines(RecordPaint&, Workspace&, int, int) {}

bool StrongMotionDisplay(const Workspace& ws) { return ws.strongMotionFlag == 1; }
void DrawStationLabel(RecordPaint&, const Workspace&, int, int32_t, int32_t) {}
const Matrix2D<float>* RunningStackRows(const Workspace&) { return nullptr; }

}  // namespace velk
