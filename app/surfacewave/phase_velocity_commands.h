#pragma once
// The commands of the phase velocity-frequency images: the transformation (Ctrl+D), the
// phase-velocity picking, the curves handed to the dispersion program, the velocity-depth
// transformation and the switch of the wavelength limits. The kernels are store-free
// (surfacewave/phase_velocity.h); these functions put their images into the store.
//
// Command ids 28700..28799, enable and check rules 2870..2889.

#include <string>

namespace velk {

class CommandTable;
class UiHost;
struct ImageCapacity;
struct PhaseVelocityImage;
class ViewSurface;
class Workspace;

namespace cmd {
constexpr int kPhaseVelocityTransform = 28700;
constexpr int kPickPhaseVelocity = 28701;
constexpr int kPickPhaseVelocity1D = 28702;
constexpr int kShowPhaseVelocityCurve = 28703;
constexpr int kShowAllPhaseVelocityCurves = 28704;
constexpr int kVelocityDepthTransform = 28705;
constexpr int kUseMinMaxPhaseVelocity = 28706;
}  // namespace cmd

enum PhaseVelocityRule : int {
    kRuleDispersionImage = 2870,      // traces loaded and the store holds a dispersion image
    kRuleCurvesInSet = 2871,          // the traveltime set holds at least one curve
    kRuleVelocityDepth = 2872,        // data kind 1 and a dispersion image
    kRuleWavelengthLimitation = 2873, // check: the wavelength limitation is on
};

// The most curves the dispersion program takes through the shared block.
inline constexpr int kMaxQuessilCurves = 251;

// The message of an image the transformation could not make (no used trace, the capacity, or
// ranges and intervals that give no grid).
void RefuseImage(Workspace& ws, UiHost& ui, const PhaseVelocityImage& image, ImageCapacity capacity);

// The velocity unit text (distance unit + "/sec"), the distance unit text and the unit index
// (1 for km) of the settings record, from the view's unit.
void UpdateVelocityUnitTexts(Workspace& ws);

// The dispatcher: receiver spacing range, direction (automatic unless noAutoDirection), the
// dialog when asked (Cancel: 0, nothing changed), then the SPAC path (method SPAC, or the store
// already holds an image) or the phase-shift path. The image is computed first; a refusal
// (no used trace, capacity, an axis without a grid) shows its message and leaves the store
// and undo as they were. Otherwise PushUndo and the image replaces the record. The phase-shift
// path also writes the display keys (SaveContourSettings). Returns 1 when an image was made.
int PhaseVelocityTransform(Workspace& ws, UiHost& ui, ViewSurface* view, bool showDialog, bool noAutoDirection);

// Stores the end frequency and the unit texts, runs the transformation, then the after-steps:
// record kind 1, data kind 1, the frequency axis kind, whole-record gain, the display window
// and extents of the image, flags cleared, the picks of the current shot matched, all values
// divided by the overall peak. The image is titled with `recordName` (the file of the record
// transformed), or with the names the image on show was titled with. True when an image was made.
bool RunPhaseVelocityAnalysis(Workspace& ws, UiHost& ui, ViewSurface* view, bool showDialog, float endFrequency,
                              bool noAutoDirection = false, const std::string& recordName = {});

// "Pick phase velocity": on a dispersion image the phase-velocity picker with dialog 236
// (picks = velocities, codes 1, amplitudes into the store), then the picks-changed flag and
// edit mode 1; on any other record the per-trace peak picker. Returns 1.
int PickPhaseVelocity(Workspace& ws, UiHost& ui);

// The picked curve (traces with a pick above 0.001: frequency, velocity, amplitude) handed to
// the dispersion program with the name; always 1.
int ShowPhaseVelocityCurve(Workspace& ws, UiHost& ui, const std::string& fileName, const std::string& name = " ");
int ShowPhaseVelocityCurveNamed(Workspace& ws, UiHost& ui, const std::string& curveName, const std::string& text);

// All curves of the traveltime set to the dispersion program: more than 251 are refused with a
// message and nothing starts; otherwise the set goes into the shared block (request code -1,
// or the line index in a guided mode) and the program starts with " -2 " and the switch.
// Returns 1 when the program was started.
int ShowAllCurvesInQuessil(Workspace& ws, UiHost& ui, const std::string& programSwitch);

// The dispersion image becomes a velocity-depth image (dialog 241, the kept maximum depth).
// Fewer than two traces or a frequency step of 0 are refused. Returns 1 when done.
int VelocityDepthTransform(Workspace& ws, UiHost& ui);

// A new image in the window: its samples along the time axis and its traces across drawn at
// the given scales, or smaller where that keeps the whole image with its legend and caption
// inside the visible part; with `fill` the scales are chosen so that the image fills that room.
// Nothing changes without a view.
void FitImageToWindow(Workspace& ws, const ViewSurface* view, bool fill = false);

void AddPhaseVelocityCommands(CommandTable& table);

}  // namespace velk
