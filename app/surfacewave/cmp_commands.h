#pragma once
// Dispersion along a survey line: the phase-velocity curves of every common midpoint (CMP) and
// of one CMP from trace pairs of the file group's table, the curve of every shot from the
// phase difference of neighbouring traces (common source), the CMP gather files of a
// two-dimensional analysis and the picked curve of every file of the list. The file group's
// roads call CommonSourceDispersion, OneCmpDispersion and CmpDispersion (declared with the
// group's seams in surfacewave_seams.h, defined in cmp_commands.cpp).
//
// The runs over files work on scratch records: the store receives only the last pair gather
// of one CMP and the CMP traces of CmpDispersion (after one undo snapshot of its own).
//
// Command ids 28801..28849; enable rules 2890..2899.

namespace velk {

class CommandTable;
class UiHost;
class ViewSurface;
class Workspace;

namespace cmd {
constexpr int kMakeCmpGatherFiles2D = 28801;
constexpr int kPhaseVelocityCurves2D = 28802;
}  // namespace cmd

enum CmpRule : int {
    kRuleGroupWaveformData = 2890,  // the file group holds waveform data
};

inline constexpr const char* kCommonSourceFileName = "common_source.pvs";
inline constexpr const char* kCmpFileName = "cmp.pvs";
inline constexpr const char* kPhaseVelocityCurvesFileName = "phase_velocity_curves.pvs";
inline constexpr const char* kMultiSeparationFileName = "multi_separation.txt";
// The most points a CMP curve keeps.
inline constexpr int kMaxCmpCurvePoints = 256;

// The CMP gather files of a two-dimensional analysis from the loaded file group: dialog 225
// for the bin size (preset binSize), the first and last distance (the group's first and last
// CMP positions) and the method, dialog 225 again for the offset range; then per CMP position
// the mean pair trace of every separation with pairs, written as "cmp_%06d.sg2" (".coh" for the
// coherence method; SEG-2, float samples) into the folder kCmpGatherFolder of the working
// folder (acquisition mode: "qk<ID>_cmp" of the data folder), where a listing of the shots'
// folder does not take them for shots. A list that mixes shot records and CMP gathers is
// refused (RefuseMixedList). With newList the file list is emptied and takes every written file. With
// announce "CMP files have been calculated !". Returns the files written, -1 on Cancel, 0 when
// the group holds no waveform data.
int MakeCmpGatherFiles2D(Workspace& ws, UiHost& ui, bool newList, bool announce, float binSize = 4.0f);

// The phase-velocity curve of every file of the list (at most 501): per file its gather on a
// scratch record, the phase velocity-frequency transformation (dialog 206 for the first file
// only) and the phase-velocity picker (its dialog for the first file
// only). The dialog's "Direction" holds for every file: forward, backward, or (its start for a
// list of shots) "Each shot its own", which stacks each shot from its source's side
// (ShotDirection); CMP gathers are stacked forward. A list that mixes shot records and CMP
// gathers is refused. Cancel on either dialog ends the run with nothing written. Then the curves replace
// the curve set (the first arrivals stay), "phase_velocity_curves.pvs" is written into the
// result folder (WriteLineCurves), with announce the count and the path are shown; a dispersion
// image on show takes its curve, and every curve's F is divided by its largest. The store's record and undo levels stay as they were. Returns the
// curves, 0 on Cancel or without waveform data.
int PhaseVelocityCurves(Workspace& ws, UiHost& ui, ViewSurface* view, bool announce);

// A group whose files do not share one sample interval is refused for the CMP analyses: the
// message names each file with its interval. True when refused.
bool RefuseMixedIntervals(const Workspace& ws, UiHost& ui);

// A list that holds both shot records and CMP gathers (CFileGroup::CmpGatherMembers) is
// analysed as neither: the message names the gathers. True when refused. Every analysis that
// takes the members for shots or for gathers asks it first (the 2D commands, common source,
// one CMP, CMP).
bool RefuseMixedList(const Workspace& ws, UiHost& ui);

// The folder of the working folder that receives the CMP gathers outside acquisition mode.
inline constexpr const char* kCmpGatherFolder = "cmp_gathers";

void AddCmpCommands(CommandTable& table);

}  // namespace velk
