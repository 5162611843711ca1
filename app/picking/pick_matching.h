#pragma once
// The two ways picks travel between the loaded record and the traveltime set: the record's
// picks merged into the set as one shot when a record is left, and the stored picks of the
// record's shot copied back onto its traces when a record arrives.
//

#include <cstdint>
#include <span>
#include <string>

#include "base/trace_header.h"
#include "traveltime/traveltime_set.h"

namespace velk {

class UiHost;
class Workspace;

// Every road that adds picks to a traveltime set goes through here: AddShotPicks of the
// traces' picks as one shot at `position` (mode 0 waveform picks, 1 dispersion curves), and
// what the full set could not store counted into `leftOut` (a shot counts as left out when no
// shot of the set lies at its position afterwards). Traces without a pick above 0 add nothing:
// a record with no pick makes no shot. Returns the picks not stored.
int AddPicksToSet(CTraveltimeSet& set, PicksLeftOut& leftOut, std::span<const CTraceHeader> headers, int count,
                  std::span<const float> times, std::span<const int32_t> codes, int mode, float position);

// "The traveltime data holds at most 501 shots of 1001 picks: 99 shots (2376 picks) were not
// stored." (or "...: 12 picks were not stored." when every shot found its place).
std::string PicksLeftOutText(int language, const PicksLeftOut& leftOut);
// The command's one message about picks the set could not store, when there were any; the
// count starts again. The command runner and the view's timers call it after each command.
void ReportPicksLeftOut(Workspace& ws, UiHost& ui);

// Adds the record's picks (traces with a pick time above 0) to the set of their kind, as the
// record's kind and pick shape say: a dispersion image's picks as the phase-velocity curve at the
// record's source position (ws.curveSet, never a shot of first arrivals); a shot record's as one
// shot at its source position (ws.traveltimeSet); a gather's to the shots its traces belong to
// (each trace's own source and receiver, which a common-receiver gather carries swapped), so that
// no shot is made for the gather; a record that stands for no shot, and any other image, adds
// nothing. The show-traveltime-curves flag becomes 1. Returns the number of picks the set could
// not store (it is full at 501 shots or 1001 picks per shot; counted for the command's message).
int MergeRecordPicks(Workspace& ws);

// Clears the record's picks (time 0, layer code 3) and the pending-curve flag; then, for a shot
// record (record kind 0), the first shot of the traveltime set within 0.01 of the record's source
// position matches and every trace whose receiver lies within 0.0001 of a pick's receiver gets
// that pick's time and code (not in amplitude mode; a later pick overwrites an earlier one); for
// a dispersion image the first curve of ws.curveSet at its position becomes the pending curve and
// nothing is copied. A gather's traces each get the pick of their own shot at their own receiver;
// a record that stands for no shot gets none. Returns 1 when a shot matched, else 0.
int MatchPicksToTraces(Workspace& ws);

// The record's source position := trace 1's source word (m). The common step after a road that
// replaced the record calls it (app/record_arrival.h): the record's picks are merged into the
// traveltime set at this position.
void TakeRecordSourcePosition(Workspace& ws);

// The pending curve of a dispersion record (see MatchPicksToTraces) onto its traces: the
// picks are cleared, the pending shot's picks copied as for a waveform record, and the
// pending-curve flag cleared. The phase-velocity commands call it once the record is built.
void CopyShotPicksToTraces(Workspace& ws);

// Sizes the per-trace amplitude-pick times, third values and reference times of the display
// state to the store's trace capacity (new entries 0). Every writer of them calls it first.
void EnsurePickVectors(Workspace& ws);

}  // namespace velk
