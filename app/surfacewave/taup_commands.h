#pragma once
// The tau-p velocity analysis: "Velocity analysis (tau-p)" over the record in the store, and
// TauPStack (declared with the file group's seams in surfacewave_seams.h) over the file list.
//
// Command ids 28800..28899; enable rules 2890..2909 (none needed yet).

#include <string>

namespace velk {

class CommandTable;
struct CommandContext;

namespace cmd {
constexpr int kVelocityAnalysisTauP = 28800;
}  // namespace cmd

inline constexpr const char* kVelocityFileName = "velocity.txt";
inline constexpr const char* kTauPVelocityLabel = "Velocity(m/s)";
inline constexpr const char* kTauPSemblanceLabel = "Total semblance";
inline constexpr const char* kTauPViewerData = "TotalSemblance";

// "Velocity analysis (tau-p)": dialog 180 over ws.tauP (Cancel changes nothing), the slant
// stack of a copy of the record with each trace scaled to its own peak (at most MaxTraces()
// slownesses), "velocity.txt" in the working folder (one "%f %f \n" line of 1/p in km/s, 0 for
// p = 0, and the normalised energy per slowness), the curve (1000/p m/s, energy) to Olvenar,
// one undo snapshot of the unchanged record and the velocity of largest energy in a message.
int OnVelocityAnalysisTauP(CommandContext& c);

// The message of the command: the velocity in m/s, or the p = 0 text when velocityMs is 0.
std::string TauPResultText(int language, float velocityMs, float averageSemblance);

void AddTauPCommands(CommandTable& t);

}  // namespace velk
