#pragma once
// Where the processing menu and the file group's commands meet the surface-wave operations
// (defined in coherence_commands.cpp, line_dispersion.cpp and taup_commands.cpp).
//
// The processing menu: CWaveOperations::CorrelateWithReference ("Cross correlation (up to
// 2048)") and CWaveOperations::CoherenceSelected ("Coherence"), declared with the holder in
// app/operations.h.
//
// The "Group (File list)" menu (app/survey/group_commands.h): each operation works on the
// workspace's file group and store, gives its own messages through the UiHost and its
// progress texts through the sink.

namespace velk {

class ProgressSink;
class UiHost;
class Workspace;


// Dialog 206 "Phase velocity-frequency transformation" over the workspace's phase-velocity
// settings (ws.contour); true after OK, with the values stored back. Cancel changes nothing.
bool RunPhaseVelocityDialog(Workspace& ws, UiHost& ui);

// Per file of the group its common-source gather into the store and its dispersion curve into
// the traveltime set, "common_source.pvs" written. Returns the curves written.
int CommonSourceDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress);
// One CMP of the group (its dialogs included): the pair gather into the store. Returns the
// traces of the store, 0 when nothing was made.
int OneCmpDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress);
// Every CMP of the group (its dialogs included): the CMP traces into the store, the curves into
// the traveltime set, "cmp.pvs" written. Returns the curves.
int CmpDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress);

// The tau-p stack of every file of the group with ws.tauP, of the traces whose offset lies in
// [minimumOffset, maximumOffset] m: one energy trace per file into the store (velocityMode 1:
// the slownesses are velocities in km/s). Returns the traces written, 0 when none. Refused
// with a message before any store write: more files than MaxTraces(), no slowness, more
// slownesses than MaxSample(). Defined in taup_commands.cpp.
int TauPStack(Workspace& ws, UiHost& ui, ProgressSink& progress, float minimumOffset, float maximumOffset,
              int velocityMode);

// The cross-correlation gather of every file of the group, each written beside its file.
// Returns above 0 when the view is to be redrawn.
int CrossCorrelationGathers(Workspace& ws, UiHost& ui, ProgressSink& progress);
// The averaged spectrum of the group's files; returns the number of files averaged.
int ForwardFourierAll(Workspace& ws, UiHost& ui, ProgressSink& progress);
// The microtremor-array geometry from the mean GPS positions of the group's traces in the
// coordinate zone; true when the geometry was made.
bool WriteGpsGeometry(Workspace& ws, UiHost& ui, int zone);

}  // namespace velk
