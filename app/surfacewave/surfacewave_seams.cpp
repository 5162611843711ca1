#include "app/surfacewave/surfacewave_seams.h"

#include "app/operations.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/workspace.h"
#include "surfacewave/phase_velocity_dlg.h"

namespace velk {

bool ReferenceCorrelationAvailable() { return false; }
bool CoherenceAvailable() { return false; }

int CWaveOperations::CorrelateWithReference() { return 0; }
int CWaveOperations::CoherenceSelected() { return 0; }

bool RunPhaseVelocityDialog(Workspace& ws, UiHost& ui)
{
    UpdateVelocityUnitTexts(ws);
    return CPhaseVelocityDlg::EditSettings(ws.contour, ui, ws.startup.language);
}

// CommonSourceDispersion, OneCmpDispersion, CmpDispersion and their predicates:
// line_dispersion.cpp.

// TauPStack and TauPStackAvailable: taup_commands.cpp.

int CrossCorrelationGathers(Workspace&, UiHost&, ProgressSink&) { return 0; }
bool CrossCorrelationGathersAvailable() { return false; }
int ForwardFourierAll(Workspace&, UiHost&, ProgressSink&) { return 0; }
bool ForwardFourierAllAvailable() { return false; }
bool WriteGpsGeometry(Workspace&, UiHost&, int) { return false; }
bool WriteGpsGeometryAvailable() { return false; }

}  // namespace velk
