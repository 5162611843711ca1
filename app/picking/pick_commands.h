#pragma once
// The commands of first-arrival and amplitude picking and of the pick files, with their enable
// and check rules and their menu rows: File > Option > Open / Save first arrival file; File >
// Save / Open first arrival data as a Rostrel file; Pick first arrivals > Pick first arrival
// time manually, Update the traveltime curves, Set traveltime quality to 1 / 2 / 3, Option >
// Change traveltime symbol, Option > Read amplitude > Pick amplitude, Use file, Read maximium
// amplitude; View > Show traveltime curves.
//
// Every file dialog's Cancel ends its command without a word. Saves write a temporary file and
// rename it, so a failed save leaves the old file as it was.

#include <string>

#include "app/command_table.h"
#include "traveltime/traveltime_text.h"

namespace velk {

class UiHost;
class Workspace;

// Command ids: 27000..27099.
namespace cmd {
constexpr int kPickFirstArrivalManually = 27000;
constexpr int kOpenFirstArrivalFile = 27001;
constexpr int kSaveFirstArrivalFile = 27002;
constexpr int kSaveRostrelFile = 27003;
constexpr int kOpenRostrelFile = 27004;
constexpr int kUpdateTraveltimeCurves = 27005;
constexpr int kShowTraveltimeCurves = 27006;
constexpr int kPickAmplitude = 27007;
constexpr int kAmplitudeUseFile = 27008;
constexpr int kReadMaximumAmplitude = 27009;
constexpr int kTraveltimeQualityFirst = 27010;  // quality 1, 2, 3: 27010 .. 27012
constexpr int kChangeTraveltimeSymbol = 27013;
}  // namespace cmd

// Rule ids: 2700..2719.
constexpr int kRuleRostrelOpen = 2700;            // traces loaded, record kind not 1
constexpr int kRuleShowTraveltimeCurves = 2701;   // check: the flag is 1
constexpr int kRuleTraveltimeQualityFirst = 2702; // check: current layer code 1, 2, 3: 2702 .. 2704

// The message texts.
std::string FirstArrivalReadText(int language);   // "First arrival file has beem read !"
std::string FirstArrivalSavedText(int language);  // "First arrival file has been saved"
std::string RostrelSavedText(int language);       // "Rostrel file has been saved"
std::string CannotOpenAFileText(int language);    // "Cannot open a file !"
std::string OpenWaveformFirstText(int language);  // "Open a waveform data file before the Rostrel file !"

// The name a traveltime file is saved under: a file name without an extension gets ".pvs" for
// the phase-velocity curves, else ".vs"; a name with one is kept as given.
std::string RostrelSavePath(const std::string& path, TraveltimeTextSet set);
// The set "Save first arrival data" writes: a dispersion image's curves, otherwise the shot's
// first arrivals.
TraveltimeTextSet RostrelSetOnShow(const Workspace& ws);

// Saves to `path` (as given) the set the caller names (`which`): the phase-velocity
// curves in their format (version 2000, kind 20), or the first arrivals in theirs (kind at least
// 10 for amplitude picks), after the record's picks were merged into the set of their kind; the
// times in the seconds flag's unit. Tells the user
// what happened; 1 when the file was written.
int SaveRostrelFile(Workspace& ws, UiHost& ui, const std::string& path, TraveltimeTextSet which);

// Reads the traveltime file at `path` into the traveltime set (ReadRostrelText): edit mode 3 in
// amplitude mode, else 1, the curves shown, and the message of the read. A file that cannot be
// read gives "error in opening file" and changes nothing; so does a file that does not read
// whole (its message says where it stopped, and that the data was not changed). 1 when the set
// was read.
int OpenRostrelFile(Workspace& ws, UiHost& ui, const std::string& path);

// The commands; 1 asks for a repaint.
int OnPickFirstArrivalManually(CommandContext& ctx);
int OnOpenFirstArrivalFile(CommandContext& ctx);
int OnSaveFirstArrivalFile(CommandContext& ctx);
int OnSaveRostrelFile(CommandContext& ctx);
int OnOpenRostrelFile(CommandContext& ctx);
int OnUpdateTraveltimeCurves(CommandContext& ctx);
int OnShowTraveltimeCurves(Workspace& ws);
int OnPickAmplitude(Workspace& ws);
int OnReadMaximumAmplitude(Workspace& ws);
int OnAmplitudeUseFile(CommandContext& ctx);
int OnSetTraveltimeQuality(Workspace& ws, int quality);
int OnChangeTraveltimeSymbol(Workspace& ws);

// Rules.
bool RostrelOpenEnabled(const Workspace& ws);
bool ShowTraveltimeCurvesChecked(const Workspace& ws);
bool TraveltimeQualityChecked(const Workspace& ws, int quality);

void AddPickCommands(CommandTable& table);

}  // namespace velk
