#include "app/surfacewave/surfacewave_seams.h"

#include "app/operations.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/workspace.h"
#include "surfacewave/phase_velocity_dlg.h"

namespace velk {

// CWaveOperations::CorrelateWithReference and
// CWaveOperations::CoherenceSelected: coherence_commands.cpp.

bool RunPhaseVelocityDialog(Workspace& ws, UiHost& ui)
{
    UpdateVelocityUnitTexts(ws);
    return CPhaseVelocityDlg::EditSettings(ws.contour, ui, ws.startup.language);
}

// CommonSourceDispersion, OneCmpDispersion, CmpDispersion:
// line_dispersion.cpp.

// TauPStack: taup_commands.cpp.

// CrossCorrelationGathers, ForwardFourierAll, WriteGpsGeometry:
// coherence_commands.cpp.

}  // namespace velk
