#pragma once
// The gather and group commands of the "Group (File list)" menu: the geometry and waveform read
// of the list, the gathers cut out of the trace table into the store, the CDP stack, the
// common-offset, common-spacing and all-traces gathers, the extrapolation of missing traces,
// the reverse spread of every record, and the surface-wave analyses over the whole line.
//
// Every command returns 1 when the view must be repainted. A gather that stops at the store's
// capacity says "Number of traces is larger than dimension size !" and shows what it took.
// After a common-offset or common-spacing gather the group is no longer the source of records
// (active 0, the list kept): the record on show is a gather, not a member file, so Next and
// Previous file step the trace window and never offer to save it over a member.
//
// Ids 28250..28399, rules 3050..3079.

#include <string>

namespace velk {

class CommandTable;
class ProgressSink;
class UiHost;
class Workspace;
struct CommandContext;

namespace cmd {
constexpr int kSetUpGeometry = 28250;
constexpr int kSetWaveformData = 28251;
constexpr int kCommonShotGather = 28252;
constexpr int kCommonReceiverGather = 28253;
constexpr int kCdpGather = 28254;
constexpr int kCdpStack = 28255;
constexpr int kCommonOffsetGather = 28256;
constexpr int kCommonSpacingGather = 28257;
constexpr int kReceiveSorting = 28258;
constexpr int kExtrapolateGroupTraces = 28259;
constexpr int kReverseGroupSpread = 28260;
constexpr int kCrossCorrelationGather = 28261;
constexpr int kGroupFourierSpectrum = 28262;
constexpr int kGroupMamGeometryFromGps = 28263;
constexpr int kGroupCommonSourceDispersion = 28264;
constexpr int kGroupOneCmpDispersion = 28265;
constexpr int kGroupCmpDispersion = 28266;
constexpr int kGroupTauPVelocity = 28267;
constexpr int kGroupTauPSlowness = 28268;
}  // namespace cmd

enum GroupRuleId : int {
    kRuleGroupGeometry = 3050,          // geometry_traces > 0
    kRuleGroupLoaded = 3051,            // the group is loaded
    kRuleGroupGeometryLoaded = 3052,    // both
    kRuleShotGatherEnabled = 3053,      // loaded, and not the gather on show
    kRuleShotGatherChecked = 3054,
    kRuleReceiverGatherEnabled = 3055,
    kRuleReceiverGatherChecked = 3056,
    kRuleCdpGatherEnabled = 3057,
    kRuleCdpGatherChecked = 3058,
    kRuleGroupReverseSpread = 3059,     // loaded, and at least 24 traces in the store
    kRuleCrossCorrelationGather = 3060, // the operation exists and a list is present
    kRuleGroupFourierSpectrum = 3061,
    kRuleGroupMamGeometry = 3062,
    kRuleGroupCommonSource = 3063,      // the operation exists and the group is loaded
    kRuleGroupOneCmp = 3064,
    kRuleGroupCmp = 3065,
    kRuleGroupTauP = 3066,
};

// The surface-wave operations the group's commands run; the default forwards to the seams of
// app/surfacewave/surfacewave_seams.h. Tests put doubles here.
class GroupSurfaceWaveOps {
public:
    virtual ~GroupSurfaceWaveOps() = default;
    virtual bool PhaseVelocityDialog(Workspace& ws, UiHost& ui);
    virtual int CommonSourceDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress);
    virtual int OneCmpDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress);
    virtual int CmpDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress);
    virtual int TauPStack(Workspace& ws, UiHost& ui, ProgressSink& progress, float minimumOffset,
                          float maximumOffset, int velocityMode);
    virtual int CrossCorrelationGathers(Workspace& ws, UiHost& ui, ProgressSink& progress);
    virtual int ForwardFourierAll(Workspace& ws, UiHost& ui, ProgressSink& progress);
    virtual bool WriteGpsGeometry(Workspace& ws, UiHost& ui, int zone);
};

// "Number of traces is larger than dimension size !" in the language, then the capacity the
// gather stopped at (MAXTRACES) and that its traces beyond it were left out.
std::string GatherTooLargeText(int language, int capacity);

// "Set up geometry": the table from the list's headers (verbose except in acquisition mode);
// with a geometry the group is active, the display shows it (mode 3) and "Set waveform data ?"
// is asked; OK reads the waveforms without the final message.
int SetUpGroupGeometry(CommandContext& ctx);
// "Set waveform data": the samples of every listed file into the table (verbose), then, when
// showMessage, whether the reading completed.
int SetGroupWaveformData(CommandContext& ctx, bool showMessage);

// The three gathers: the kind is set, the group's gather index clamped to the kind's count,
// the gather cut into the store and set up (counts, extents, maxima, selection, label).
int ShowCommonShotGather(CommandContext& ctx);
int ShowCommonReceiverGather(CommandContext& ctx);
int ShowCdpGather(CommandContext& ctx);
// "CDP stack (constant velocity)": time-domain data only; dialog 192 preset with
// MIGRATION_VELOCITY, stored back on OK; the stack of every midpoint into the store; gather
// kind 3, the record display.
int ShowCdpStack(CommandContext& ctx);
// "Common offset gather" / "Common spacing gather": dialog "Offset" preset with the group's
// spacing, stored back on OK; undo; the gather into the store and set up; the group inactive.
int ShowCommonOffsetGather(CommandContext& ctx);
int ShowCommonSpacingGather(CommandContext& ctx);
// "Receive sorting": undo; on a loaded group every trace of the table into the store; sorted by
// receiver, maxima.
int ShowAllTraces(CommandContext& ctx);
// "Extrapolate CMPCC gathers": the empty cells filled from the nearest shot; "%d traces were
// extrapolated !"; with a cell filled the shot gather of the gather index is shown.
int ExtrapolateGroupTraces(CommandContext& ctx);
// "1 to 24" under "Reverse spread": undo; every record of the group reversed; the last record
// sorted, maxima and the receiver range of its ends.
int ReverseGroupSpread(CommandContext& ctx);

// The surface-wave analyses over the line.
int ShowCrossCorrelationGathers(CommandContext& ctx, GroupSurfaceWaveOps& ops);
int GroupFourierSpectrum(CommandContext& ctx, GroupSurfaceWaveOps& ops);
int GroupMamGeometryFromGps(CommandContext& ctx, GroupSurfaceWaveOps& ops);
// The phase-velocity dialog first (Cancel spends no undo level), then undo, the analysis, the
// display filter reset and the record restored from the snapshot.
int GroupCommonSourceDispersion(CommandContext& ctx, GroupSurfaceWaveOps& ops);
int GroupOneCmpDispersion(CommandContext& ctx, GroupSurfaceWaveOps& ops);
int GroupCmpDispersion(CommandContext& ctx, GroupSurfaceWaveOps& ops);
// Tau-p over the line: dialog 230 (velocity range; the step that fits the store's traces) or
// dialog 180 (slowness range) over ws.tauP, then the stack, normalised to its peak, as a
// real-valued transform (data kind 1) with the tau-p axis (kind 3).
int GroupTauPVelocity(CommandContext& ctx, GroupSurfaceWaveOps& ops);
int GroupTauPSlowness(CommandContext& ctx, GroupSurfaceWaveOps& ops);

void AddGroupCommands(CommandTable& table);

}  // namespace velk
