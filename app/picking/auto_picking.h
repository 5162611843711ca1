#pragma once
// Where the commands start automatic first-arrival picking over the loaded record.
//
// The picker itself comes with the automatic-picking work; until then the call only does what
// it leaves behind: edit mode 1 (first-arrival picking) and the amplitude flag 0.

namespace velk {

class Workspace;

// Runs the automatic picker (mode as the caller passes it); returns 1 to repaint.
int RunAutoPicking(Workspace& ws, int mode);

}  // namespace velk
