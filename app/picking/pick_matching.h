#pragma once
// The two ways picks travel between the loaded record and the traveltime set: the record's
// picks merged into the set as one shot when a record is left, and the stored picks of the
// record's shot copied back onto its traces when a record arrives.
//

namespace velk {

class Workspace;

// Adds the record's picks (traces with a pick time above 0) to the traveltime set as one shot
// at the record's source position, with the record kind; the show-traveltime-curves flag
// becomes 1. Returns the number of picks the set could not store (it is full at 501 shots or
// 1001 picks per shot); nothing is added without traces.
int MergeRecordPicks(Workspace& ws);

// Clears the record's picks (time 0, layer code 3) and the pending-curve flag; then the first
// shot of the set within 0.01 of the record's source position matches: for a waveform record
// (record kind 0) every trace whose receiver lies within 0.0001 of a pick's receiver gets that
// pick's time and code (not in amplitude mode; a later pick overwrites an earlier one); for a
// dispersion record (kind 1) the shot becomes the pending curve and nothing is copied.
// Returns 1 when a shot matched, else 0.
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
