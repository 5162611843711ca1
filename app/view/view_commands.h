#pragma once
// The view's display commands as core functions, with their enable and check predicates, and
// the rows that put them (with Edit > Undo, the component choice and Option > Dimension size)
// into the menus. Each command works on the workspace, asks what it needs through the UiHost,
// and returns 1 when the view must be repainted, else 0.

#include "app/command_table.h"
#include "platform/uihost.h"

namespace velk {

class UiHost;
class ViewSurface;
class Workspace;

// ---------------------------------------------------------------------------------------------
// Command ids of the view core: 24000..24199.

namespace cmd {
constexpr int kEditUndo = 24000;
constexpr int kComponentAll = 24001;     // All components
constexpr int kComponentFirst = 24002;   // 1st .. 6th component: kComponentFirst + 0 .. 5
constexpr int kDimensionSize = 24010;

constexpr int kEnlargeAmplitude = 24020;
constexpr int kReduceAmplitude = 24021;
constexpr int kEnlargeAmplitudeFast = 24022;
constexpr int kReduceAmplitudeFast = 24023;
constexpr int kEnlargeTimeScale = 24024;
constexpr int kReduceTimeScale = 24025;
constexpr int kEnlargeDistanceScale = 24026;
constexpr int kReduceDistanceScale = 24027;
constexpr int kDisplayRatio = 24028;

constexpr int kNormalizeByFile = 24030;
constexpr int kNormalizeByTrace = 24031;
constexpr int kRenormalize = 24032;
constexpr int kClip = 24033;
constexpr int kShadePositive = 24034;
constexpr int kNoShading = 24035;
constexpr int kShadeNegative = 24036;
constexpr int kHorizontalDirection = 24037;
constexpr int kVerticalDirection = 24038;
constexpr int kVerticalAxisTitle = 24039;
constexpr int kHorizontalAxisTitle = 24040;
constexpr int kColourMonochrome = 24041;
constexpr int kEnglish = 24042;
constexpr int kReversedSense = 24043;
constexpr int kMeterFeet = 24044;
constexpr int kShowMaximumAmplitude = 24045;
constexpr int kShowStationCode = 24046;
constexpr int kThreeComponentLabel = 24047;
constexpr int kKeepScaleAndTimeAxis = 24048;
constexpr int kKeepDistanceAxis = 24049;
constexpr int kSelectedTraceOnly = 24050;

constexpr int kWaveformData = 24051;
constexpr int kVelocityModel = 24052;
constexpr int kWaveformDisplay = 24053;  // no menu text
constexpr int kGeometry = 24054;

constexpr int kWaveformPlot = 24060;        // -2 / 0
constexpr int kPlotWiggleAlternative = 24061;  // -3 / 0, no menu text
constexpr int kPlotColourAlternative = 24062;  // -1 / 0, no menu text
constexpr int kPlotFine2 = 24063;           // 2 / 1, no menu text
constexpr int kPlotFine1 = 24064;           // 1 / 1, no menu text
constexpr int kFineContourPlot = 24065;     // 1 / 0
constexpr int kContourPlot = 24066;         // 0 / 0

constexpr int kSamplesShownFirst = 24070;   // 50, 100, 200, 500, 1000, 2000, 4000, 8000
constexpr int kShowAllSamples = 24078;
constexpr int kShowLeftSide = 24080;
constexpr int kShowRightSide = 24081;
constexpr int kRecordLengthFirst = 24090;   // 1024, 2048, 4096, 8192, 16384
constexpr int kTracesShownFirst = 24100;    // 12, 24, 48
constexpr int kTracesShownArbitrary = 24103;
constexpr int kShowAllTraces = 24104;
constexpr int kShowNextFile = 24110;
constexpr int kShowPreviousFile = 24111;
}  // namespace cmd

inline constexpr int kSamplesShownChoices[] = {50, 100, 200, 500, 1000, 2000, 4000, 8000};
inline constexpr int kRecordLengthChoices[] = {1024, 2048, 4096, 8192, 16384};
inline constexpr int kTracesShownChoices[] = {12, 24, 48};

// Rule ids of the view core: 1000..1199 (one per check or radio item).
constexpr int kRuleViewFirst = 1000;

// ---------------------------------------------------------------------------------------------
// Shared menu-state rules.

bool AlwaysEnabled(const Workspace& ws);
bool TracesLoaded(const Workspace& ws);     // trace count > 0
bool TimeDomainData(const Workspace& ws);   // traces loaded and data kind 0

// ---------------------------------------------------------------------------------------------
// Scales. The amplitude commands change the values but ask for no repaint while the
// acquisition screen holds the view (it repaints itself). Every scale stays within
// [kScaleMin, kScaleMax].

int OnEnlargeAmplitude(Workspace& ws);      // x 1.5, or x 1.2 for dispersion curves
int OnReduceAmplitude(Workspace& ws);       // x 2/3, or x 0.8333333
int OnEnlargeAmplitudeFast(Workspace& ws);  // x 5
int OnReduceAmplitudeFast(Workspace& ws);   // x 0.2
// Display modes 3 and 4: the geometry x scale; otherwise the time axis's scale (hscale with
// time horizontal, plotscale with time vertical).
int OnEnlargeTimeScale(Workspace& ws);
int OnReduceTimeScale(Workspace& ws);
// Display mode 3: the geometry y scale; otherwise the distance axis's scale.
int OnEnlargeDistanceScale(Workspace& ws);
int OnReduceDistanceScale(Workspace& ws);
int OnDisplayRatio(Workspace& ws);  // both scales := the smaller

// ---------------------------------------------------------------------------------------------
// Display toggles and modes.

int OnNormalize(Workspace& ws, int byFile);  // 1 by the whole record, 0 each trace
int OnRenormalize(Workspace& ws);            // maxima again, each trace by itself
int OnClip(Workspace& ws);
int OnShading(Workspace& ws, int shading);   // 1 positive, 0 none, -1 negative
bool IsShadingChecked(const Workspace& ws, int shading);
int OnPlotDirection(Workspace& ws, int direction);  // 0 time horizontal, 1 time vertical
bool IsPlotDirectionChecked(const Workspace& ws, int direction);
int OnVerticalAxisTitle(Workspace& ws);
int OnHorizontalAxisTitle(Workspace& ws);
int OnColourMonochrome(Workspace& ws);
// The interface language flips between English and Japanese; messages follow at once, the
// menus at the next start.
int OnEnglish(Workspace& ws);
bool IsEnglishChecked(const Workspace& ws);
int OnReversedSense(Workspace& ws);
bool IsReversedSenseChecked(const Workspace& ws);
int OnMeterFeet(Workspace& ws);  // "m" -> "ft"; anything else -> "m"
int OnShowMaximumAmplitude(Workspace& ws);
bool IsShowMaximumAmplitudeChecked(const Workspace& ws);
int OnShowStationCode(Workspace& ws);
bool CanShowStationCode(const Workspace& ws);
bool IsShowStationCodeChecked(const Workspace& ws);
int OnThreeComponentLabel(Workspace& ws);
bool IsThreeComponentLabelChecked(const Workspace& ws);
int OnKeepScaleAndTimeAxis(Workspace& ws);
bool IsKeepScaleAndTimeAxisChecked(const Workspace& ws);
int OnKeepDistanceAxis(Workspace& ws);
bool IsKeepDistanceAxisChecked(const Workspace& ws);
int OnSelectedTraceOnly(Workspace& ws);  // no repaint
bool IsSelectedTraceOnlyChecked(const Workspace& ws);

int OnWaveformData(Workspace& ws);    // mode 0, time domain, waveform record, axes not fixed
int OnVelocityModel(Workspace& ws);   // mode 1
int OnWaveformDisplay(Workspace& ws); // mode 0
int OnGeometry(Workspace& ws);        // mode 4 with an array geometry, else 3
bool CanShowGeometry(const Workspace& ws);
bool IsDisplayModeChecked(const Workspace& ws, int mode);
bool IsGeometryChecked(const Workspace& ws);  // modes 3 and 4

int OnPlotMode(Workspace& ws, int plotMode, int subFlag);
bool IsPlotModeChecked(const Workspace& ws, int plotMode, int subFlag);

// ---------------------------------------------------------------------------------------------
// Display window.

// Samples shown := min(n, samples per trace) (all of them for n <= 0), from the first sample.
int OnSamplesShown(Workspace& ws, int n);
// Traces shown := min(n, trace count) (all of them for n <= 0), from the first trace.
int OnTracesShown(Workspace& ws, int n);
// The number-of-traces dialog preset with the trace count; OK shows that many.
int OnTracesShownArbitrary(Workspace& ws, UiHost& ui);
// Left and right are disabled for a real-valued spectrum outside a file group.
bool CanShowSideWaveforms(const Workspace& ws);

// The number-of-traces dialog (template 237).
struct CNumberOfTracesDlg {
    static constexpr const char* kClass = "CNumberOfTracesDlg";
    static constexpr const char* kTitle = "Number of traces";
    static constexpr int kMin = 1;
    static constexpr int kMax = 1000000;
    int traces = 1;

    DialogRequest Request(int language);
};

// ---------------------------------------------------------------------------------------------
// Edit > Change record length: every trace gets n samples, new ones 0. Pushes undo first, so
// that a shortened record comes back whole; refuses n above the rows' capacity (MAX_SAMPLE + 1)
// with a message and changes nothing; keeps the window inside the new length; marks the data
// modified.
int OnChangeRecordLength(Workspace& ws, UiHost& ui, int n);

// ---------------------------------------------------------------------------------------------
// The view timer: its running flag and interval live in the display state; the view (when
// there is one) runs it and forwards each tick to OnTimer.
void StartViewTimer(Workspace& ws, ViewSurface* view, int milliseconds);
void StopViewTimer(Workspace& ws, ViewSurface* view);

// The rows of this file in the command table.
void AddViewCommands(CommandTable& table);

}  // namespace velk
