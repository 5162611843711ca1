#pragma once
// What the view draws over the record for picking and editing: the shots of the traveltime set
// as curves, the record's picks as marks, the reference times, the theoretical traveltime
// curves, the stored velocity lines and the lines of the mouse mute. Everything stays inside
// the plot frame the axes drew (RecordLayout::frame): lines, curves and tick marks are cut at
// its edges; a dot whose pick lies beyond it, and the label of a velocity line whose middle
// does, are left out.
//
// The drawing only draws. The two changes the pick overlay has always made to the picks are
// the named steps below; DrawRecord runs them before the layouts whenever it will draw the
// pick overlay, so the window, the printer and the clipboard see the same picks.

#include "app/view/plot_mapping.h"
#include "app/view/record_paint.h"

namespace velk {

class Workspace;

// Whether DrawRecord draws the pick overlay: waveform display with traces, edit mode 1, 3 or 4,
// and the store's data kind equal to the phase-velocity-file mode (first-arrival picks over a
// waveform record, phase-velocity picks over a dispersion record).
bool PickOverlayShown(const Workspace& ws);

// A trace at the receiver of the trace before it (store order) loses its pick: time -1, layer
// code 3. Only one pick per receiver stays.
void ClearSameReceiverPicks(Workspace& ws);

// Until the user chose the pick symbol: ticks (-1) for waveform records, dots (1) for
// dispersion and coherence records.
void ChoosePickMarkStyle(Workspace& ws);

// The shots of the traveltime set (when "Show traveltime curves" is on), the record's picks by
// layer code, the amplitude dot of amplitude picking and the reference times.
void DrawPickOverlay(RecordPaint& paint, Workspace& ws, int originTime, int originDistance);
// The theoretical traveltime curves, blue, through the traces of the shown distance range.
void DrawTheoreticalCurves(RecordPaint& paint, Workspace& ws, int xorg, int yorg);
// The stored velocity lines, red, each with its apparent velocity (m per ms, i.e. km/s).
void DrawVelocityLines(RecordPaint& paint, Workspace& ws, int xorg, int yorg);
// Edit mode 9: the left mute line once it is set, the right one too once both are.
void DrawMuteLines(RecordPaint& paint, Workspace& ws, int xorg, int yorg);

}  // namespace velk
