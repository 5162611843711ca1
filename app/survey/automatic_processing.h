#pragma once
// Automatic processing on the view timer: a watched folder is looked at once a second; the
// newest record is shown (mode 0), the folder's records are stacked at one velocity every fifth
// second (mode 1), or each new record is picked and its picks handed to the refraction program
// (mode 2). With it: "Show traveltime curve by Rostrel" and the automatic picking of the whole
// file list.
//
// The timer is the view's (id 1, 1000 ms); the acquisition runs its own, so the two never end
// each other. A tick does nothing while the instrument is armed, the acquisition screen is on,
// or a previous tick still runs (a message box inside a tick runs a nested loop in which the
// timer fires).
//
// Ids 28410..28499 (the batch commands have 28400..28409); rules 3080..3099.

#include <cstdint>
#include <memory>
#include <string>

#include "draw/canvas.h"

namespace velk {

class CFileGroup;
class CommandTable;
class FrameServices;
class LoadTarget;
class LogSink;
class ProgressSink;
class UiHost;
class ViewSurface;
class Workspace;
struct CommandContext;
struct FormatContext;
struct GroupReadContext;

namespace cmd {
constexpr int kAutomaticShowLastFile = 28410;
constexpr int kAutomaticCdpStacking = 28411;
constexpr int kAutomaticRefraction = 28412;
constexpr int kAutomaticProcessingStop = 28413;
constexpr int kShowTraveltimeInRostrel = 28414;
constexpr int kGroupAutoPickFirstArrivals = 28415;
}  // namespace cmd

constexpr int kRuleAutomaticRunning = 3080;  // Stop: automatic processing runs
constexpr int kRuleTraveltimeShots = 3082;   // the traveltime set holds a shot
constexpr int kRuleGroupAutoPick = 3083;     // the file group's data is loaded

// The frame icons of automatic processing: the blinking one and the main icon.
constexpr int kAutomaticIcon = 228;
constexpr int kMainFrameIcon = 128;
// The status text's owner in the overlay layer and the texts' places.
constexpr int kAutomaticStatusOwner = 60;
constexpr LPoint kAutomaticStatusAt{10, -18};
constexpr LPoint kRefractionStatusAt{18, -10};

// A folder scan: the newest readable file newer than the last file time, in scratch.
struct ScanResult {
    int traces = 0;                      // of the last read that gave traces; 0: nothing new
    std::unique_ptr<LoadTarget> target;  // that read
    std::string path;                    // its full path
};

// Looks at every regular file of the folder in name order. The log "multi_select.txt" gets per
// file "%lld %lld \n" (its modification time, the last file time); for a newer file "%s %d %d \n"
// (name, number, type code) and, when the name holds a number above 0, "n=%d" with the traces of
// its read. SEG-2 (type 0) and .ORG (1) files are read; a read that gives traces moves the last
// file time to the file's.
ScanResult ScanNewestFile(const std::string& folder, int64_t& lastFileTime, int maxTraces, int rowLength,
                          int maxSample, FormatContext& ctx, LogSink& log);

// The tick actions; each returns 1 when the view must be repainted. Their "multi_select.txt"
// is written into the watched folder.
int AutomaticShowLastFile(CommandContext& ctx);
int AutomaticCdpStack(CommandContext& ctx, float velocity);
int AutomaticRefraction(CommandContext& ctx);

// The folder's files as a list, their geometry and samples (no message boxes), and their
// constant-velocity stack into the store's rows and headers; *traces gets the stack's count.
// 1, or 0 when the folder held no usable file.
int StackFolderFiles(CFileGroup& group, const std::string& folder, float velocity, ProgressSink& progress,
                     int& traces, Workspace& ws, UiHost& ui);

// The start commands: a folder is chosen (Cancel changes nothing); the timer (re)starts.
int OnAutomaticShowLastFile(CommandContext& ctx);
int OnAutomaticCdpStacking(CommandContext& ctx);
int OnAutomaticRefraction(CommandContext& ctx);
// The one stop of the menu and the F4 key: timer off, main icon back, running 0, status gone.
int OnAutomaticProcessingStop(CommandContext& ctx);
void OnAutomaticProcessingStop(Workspace& ws, ViewSurface* view, FrameServices* frame);

// "Show traveltime curve by Rostrel": the set into the block, then Rostrel with the word.
int ShowTraveltimeInRostrel(CommandContext& ctx, const std::string& word);
// "Pick first arrival time automatically" of the file group: the record's picks go to the set
// first (BeforeRecordReplaced), then every listed file is picked and added to the set; the
// record shown before comes back with its picks. With `askBeforeReplacing` (the
// menu command; the guided acquisition modes and automatic processing pick without asking), the
// first file whose shot the set held before the run asks once whether to replace the picks of
// such shots: Yes picks them all, No keeps those shots as they are and picks only the others.
int GroupAutoPickFirstArrivals(CommandContext& ctx, bool askBeforeReplacing = false);

// One tick of the view timer is OnTimer (app/view/view_seams.h).

void AddAutomaticProcessingCommands(CommandTable& table);

}  // namespace velk
