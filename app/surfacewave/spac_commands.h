#pragma once
// The microtremor-array commands of the surface-wave menu: the SPAC coherence images of a record
// and of a file group, the array geometry (dialog "2D SPAC", presets, array files, GPS), the
// coherence matrix for the data viewer, the trace-pair tools and the synthetic array records.
// The kernels are in surfacewave/ (mam_geometry.h, spac_kernels.h, synthetic_microtremor.h);
// these functions run them on the workspace: each command that replaces the record takes one
// undo snapshot first and changes nothing when it refuses.
//
// Command ids 28900..28999, enable rules 2910..2929.

#include <cstdint>
#include <optional>
#include <string>

namespace velk {

class CommandTable;
class ProgressSink;
class UiHost;
class Workspace;

namespace cmd {
constexpr int kSpac1DReferenceTrace = 28900;
constexpr int kSpac1DAllPairs = 28901;
constexpr int kSpac2DRecord = 28902;
constexpr int kSpac2DFileGroup = 28903;
constexpr int kShowBesselFunction = 28904;
constexpr int kCrossCorrelationGatherRecord = 28905;
constexpr int kSuccessiveCrossCorrelation = 28906;
constexpr int kPhaseSubtraction = 28907;
constexpr int kSetUpMamGeometry = 28908;
constexpr int kSetUpMamGeometryFromGps = 28909;
constexpr int kMicrotremorArrayData = 28910;
}  // namespace cmd

enum SpacRule : int {
    kRuleWaveformRecordSpac = 2910,  // the dispersion flag is 0
    kRuleFileGroupListed = 2911,     // the file group is not empty
    kRuleCoherenceImage = 2912,      // the dispersion flag is 2
    kRuleTwoTracesLoaded = 2913,     // the store holds at least two traces
    kRuleGpsPositions = 2914,        // traces loaded and every latitude above -1000
};

// Dialog "2D SPAC" over the workspace's geometry (made on first use), showing the file name, the
// working folder and the view's unit. True after OK.
bool RunArrayDialog(Workspace& ws, UiHost& ui, const std::string& fileName = {});

// The geometry's receivers into the view state of the array (ws.arrayGeometry, shown 1, first
// number the start channel).
void ShowArrayGeometry(Workspace& ws);

// "Set up MAM geometry": the usable flags reset, the dialog, the geometry built for the record,
// then the geometry display (mode 4). True when built.
bool ArrayGeometryDialog(Workspace& ws, UiHost& ui, const std::string& fileName = {});
// "Set up MAM geometry from GPS": the receivers from the record's extended headers in `zone`
// (ws.settings.coordinateMode), then the geometry display. True when made.
bool MamGeometryFromGps(Workspace& ws, UiHost& ui, int zone);

// "Spatial autocorrelation (1D SPAC based on 1 trace)": row j the coherence of trace 0 and trace
// j, receiver words relative to trace 0 ("SPAC.txt"). Each coherence image is titled with the
// bare name of `fileName`, the record it was made from (a file group's: its first and last).
bool Spac1DReferenceTrace(Workspace& ws, UiHost& ui, const std::string& fileName = {});
// "Spatial autocorrelation (1D SPAC)": the coherence image of all trace pairs ("SPACAll.txt").
bool Spac1DAllPairs(Workspace& ws, UiHost& ui, const std::string& fileName = {});
// "Spatial autocorrelation (2D SPAC:MAM)": dialog "2D SPAC", the geometry built for the record,
// the two-dimensional SPAC image in the store. False with nothing changed on Cancel or a refusal.
bool Spac2DRecord(Workspace& ws, UiHost& ui, ProgressSink& progress, const std::string& fileName = {});
// "Spatial autocorrelation (MAM : SPAC)": dialog "2D SPAC", then every file of the group read
// into scratch rows, the geometry built for it and its SPAC rows averaged ("2D SPAC file index =
// %d" per file). A file that cannot be read, or whose FFT length, interval or spacing count
// differs from the first file's, is left out; a message names those files and why (at most 20
// lines).
// The average replaces the record (one undo snapshot) and "SPAC2DAll.txt" is written; the image
// is titled with the first and last file names. An empty group is refused with a message. True
// when the image was made.
bool Spac2DFileGroup(Workspace& ws, UiHost& ui, ProgressSink& progress, const std::string& fileName = {});

// "Show Bessel function": the coherence image into the data viewer's block "MyData" (layout
// "MATRIX"), then the viewer started with " -COHERENCE -MATRIX". 1 when it was started.
int SendCoherenceToViewer(Workspace& ws, UiHost& ui);

// "Cross correlation gather": the record becomes its cross-correlation gather (one undo
// snapshot; a refusal of the gather restores nothing because nothing was changed). 1 when made.
int CrossCorrelationGatherRecord(Workspace& ws, UiHost& ui);

// "From two traces (Phase subtraction)": the first two selected traces (else " Select 2 traces ! "),
// " Selected traces are %f m and %f m", dialog 205 with "N shift" kept in ws.contour.nShift (stored
// back on OK); both traces are transformed. It shows no result and changes no data: 0.
int PhaseSubtraction(Workspace& ws, UiHost& ui);

// "Successive cross correlation": dialog "Input integer" ("Enter spacing number !"); trace i :=
// the cross-correlation of traces i and i + s; s traces fewer. 1 when done.
int SuccessiveCrossCorrelation(Workspace& ws, UiHost& ui);

// "Microtremor array data": dialog "2D SPAC", dialog "Micro tremor array", the geometry built on
// fresh headers, ten records of plane waves written as "MicrotremorArrayData_%02d.8hd" in the
// working folder; the last one replaces the record when it fits the store (else the samples
// message, which says the files were written). `seed` replaces the clock's seed. Returns the
// trace count, 0 when nothing was made.
int GenerateMicrotremorArrayData(Workspace& ws, UiHost& ui, std::optional<uint32_t> seed = std::nullopt);

// The acquisition workflow's step question: dialog 254 ("Ready to proceed?"); 1 Yes, 0 Cancel,
// -1 Back.
int ConfirmProcedureStep(UiHost& ui, int language);

void AddSpacCommands(CommandTable& table);

}  // namespace velk
