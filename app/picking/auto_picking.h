#pragma once
// Automatic first-arrival picking over the loaded record and over the file list, and the menu
// rows of Pick first arrivals > "Pick first arrival time automatically" and "Set up".

#include <functional>
#include <span>
#include <string>

#include "app/command_table.h"
#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class CFileGroup;
class CTraveltimeSet;
class PicksLeftOut;
class LogSink;
class Profile;
class ProgressSink;
class Workspace;
struct AutoPickSettings;

// Command ids: 27500..27519.
namespace cmd {
constexpr int kAutoPickFirstArrivals = 27500;
constexpr int kAutoPickSetup = 27501;
}  // namespace cmd

// The log file of a run, in the working folder.
inline constexpr const char* kAutoPickLogName = "automatic.txt";

// Picks every trace of the current record (AutoPickFirstBreaks with ws.autoPick), adds the
// display's time offset to every picked trace, sets edit mode 1 and the amplitude flag 0,
// writes "automatic.txt" with logFlag 1 and the five keys. A record with an unusable interval
// or not in the time domain is refused with its message and left as it was. Returns 1 to
// repaint, 0 when nothing was picked.
int RunAutoPicking(Workspace& ws, int logFlag);

// For every file of the group in order: its shot gather into rows and headers (BuildGather),
// the picks (the log of the first file only goes to `log` as "automatic.txt"), the time offset
// added to each picked trace, and the picks added to the set as one shot (mode 0, source of the
// gather's first trace). One progress step per file; the five keys at the end. When
// `pickShot` is given, a file whose source position (m) it refuses is neither picked nor added.
// Returns the picks the set had no room for, which are counted into `leftOut` as well;
// `gatherCut`, when given, tells whether a shot gather was cut at the rows' trace capacity.
int AutoPickFileList(CFileGroup& group, CTraveltimeSet& set, PicksLeftOut& leftOut, Matrix2D<float>& rows,
                     std::span<CTraceHeader> headers,
                     float timeOffset, std::span<float> times, std::span<int32_t> codes,
                     const AutoPickSettings& settings, ProgressSink& progress, Profile& profile, LogSink& log,
                     const std::function<bool(float)>& pickShot = {}, bool* gatherCut = nullptr);

// The commands; 1 asks for a repaint.
int OnAutoPickFirstArrivals(CommandContext& ctx);
int OnAutoPickSetup(CommandContext& ctx);

void AddAutoPickCommands(CommandTable& table);

}  // namespace velk
