#pragma once
// The synthetic models of Option > "Genarate waveform data": zero-offset sections (point
// diffractors, dipping reflectors and their desired migration, an impulse, a complex
// structure), the horizontal two-layer shot record, the deconvolution model and the hum model.
// The kernels are in traveltime/zero_offset_models.h.
//
// Each command shows its dialog (Cancel changes nothing), refuses a record that does not fit
// the store or unusable values before any change, then pushes one undo snapshot and replaces
// the record (data kind time domain, generated headers), recomputes the maxima and shows the
// whole record. Each returns 1 to repaint.
//
// Submenus made here when no other feature has (keys): "option.generate" (Genarate waveform
// data), "option.generate.zero" (Zero Offset Section), "option.generate.zero.dipping"
// (Dipping reflectors).

#include "app/command_table.h"

namespace velk {

namespace cmd {
constexpr int kPointDiffractors = 27540;
constexpr int kDippingZeroOffset = 27541;
constexpr int kDesiredMigration = 27542;
constexpr int kImpulse = 27543;
constexpr int kComplexStructure = 27544;
constexpr int kTwoLayerRecord = 27545;
constexpr int kDeconvolutionModel = 27546;
constexpr int kHumModel = 27547;
}  // namespace cmd

class UiHost;
class Workspace;

int OnPointDiffractors(Workspace& ws, UiHost& ui);  // dialog 190; the velocity to MIGRATION_VELOCITY
int OnDippingZeroOffset(Workspace& ws, UiHost& ui); // 301 x 1024 at 0.1 ms; MIGRATION_VELOCITY := 4.0
int OnImpulse(Workspace& ws, UiHost& ui);           // dialog 193
int OnComplexStructure(Workspace& ws, UiHost& ui);  // 301 x 1024 at 0.1 ms
int OnTwoLayerRecord(Workspace& ws, UiHost& ui);    // dialog 184; V1, V2 and D to ws.theoretical
// The others are operations of CWaveOperations: ModelDippingReflector, ModelDeconvolution
// (dialog 169) and ModelHumNoise (dialog 195).

void AddModelCommands(CommandTable& table);

}  // namespace velk
