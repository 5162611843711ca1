#pragma once
// The one step after every road that replaced the record in the store: a file opened from the
// File menu or a file list, the next or previous member, a gather, a project file, automatic
// processing, a synthetic or generated record, batch appends, a module's read-back and the
// acquisition's new records. Whatever filled the store, the workspace then agrees with it:
// the load counter counts it, the source position and the picks are the new record's, the view
// shows it and the frame names it.

#include <cstdint>
#include <optional>
#include <string>

#include "base/parameter_set.h"

namespace velk {

class CVelkarineDoc;
struct DataSet;
class FrameServices;
class Workspace;
struct CommandContext;

// What the document stands for once the record is in the store.
enum class RecordTitle {
    Kept,      // the road has set the document itself (a file it opened), or the record still
               // belongs to it (traces appended, a project's gather)
    Untitled,  // a record built in memory: the document becomes untitled, so Save asks for a
               // name and never writes the new record over the file shown before (a project
               // file stays the document: its gathers are its own)
};

struct RecordArrival {
    RecordTitle title = RecordTitle::Kept;
    // The record's picks stay as they are: traces were appended to the shot on show, or undo
    // brought back a record with the picks it had.
    bool keepPicks = false;
    // How the new record's traces stand to the shots (PickShape). A record stands for a shot
    // only where its road knows it does: read from a shot file, acquired from the instrument
    // (kPicksOfOneShot), or a gather whose traces carry their own shots. Whatever is made in
    // memory (models, synthetics, images, stacks, panels, correlations) stands for no shot, and
    // so does an image (record kind 1 or 2), whatever its road says.
    int pickShape = kPicksOfNoShot;
};

// The arrival of a shot read from a file or acquired: `title` and `keepPicks` as the road says.
inline RecordArrival ShotArrival(RecordTitle title = RecordTitle::Kept, bool keepPicks = false)
{
    return {title, keepPicks, kPicksOfOneShot};
}

// A record built in memory (a stack, a panel, an image, a model): it stands for no shot.
inline RecordArrival BuiltArrival(RecordTitle title = RecordTitle::Untitled)
{
    return {title, false, kPicksOfNoShot};
}

// A gather whose traces carry their own shots: each trace's picks belong to its own source.
inline RecordArrival GatherArrival(RecordTitle title = RecordTitle::Untitled)
{
    return {title, false, kPicksPerTrace};
}

// A record that undo or redo brought back with the picks and the kind it had.
inline RecordArrival RestoredArrival() { return {RecordTitle::Untitled, true, kPicksOfNoShot}; }

// The pick shape the record in the store takes from the road's word and its own content: a
// road's "shot" is a shot only when the record is one. Traces that carry more than one source
// position stand for their own shots (a gather); a file that is a CMP gather by its name
// (`fileName`, empty for a record built in memory) stands for no shot, and so does an image.
int RecordPickShape(const Workspace& ws, int claimed, const std::string& fileName);

// The step before every road that replaces the record, the counterpart of AfterRecordReplaced:
// while first-arrival picking is on (edit mode 1) the record's picks are merged into the
// traveltime set (MergeRecordPicks, by the record's pick shape), so that no road drops the
// hand corrections on it. A road calls it once it is about to replace the record (after its
// dialogs); when the road then fails, the record stays and the set holds its picks as well.
void BeforeRecordReplaced(Workspace& ws);

// After the store changed:
//   1. the store's load counter is raised;
//   2. the record's source position := trace 1's source word;
//   3. the record takes the arrival's pick shape as its content allows (RecordPickShape; traces
//      appended to a shot from other sources make it a gather of their shots); unless the picks
//      are kept, and its picks become those the traveltime set holds for its shot (each trace's own
//      shot in a gather), the phase-velocity curve held at its position for a dispersion image,
//      or none;
//   4. the view shows the record: display mode 0 (waveforms), leaving the velocity-model and
//      geometry pictures; when it leaves the velocity model, whose colours replaced the plot
//      mode, the plot mode becomes the wiggles for a waveform record and the colour contour for
//      an image (dispersion or coherence); an image arriving under a wiggle layout is shown as
//      the colour contour, and that layout comes back with the next waveform record;
//   5. the document as `arrival.title` says; the frame's title and the status bar's file pane
//      then name what the document stands for (doc and frame may be null).
//   A road without the document passes doc = null: step 5 then waits in the workspace until
//   the command runner (or the view's timer) calls ApplyPendingRecordTitle.
void AfterRecordReplaced(Workspace& ws, CVelkarineDoc* doc, FrameServices* frame, RecordArrival arrival = {});
void AfterRecordReplaced(CommandContext& ctx, RecordArrival arrival = {});

// A record built in memory by a road that has only the workspace (generators, images): it stands
// for no shot.
inline void AfterRecordBuilt(Workspace& ws) { AfterRecordReplaced(ws, nullptr, nullptr, BuiltArrival()); }
// A shot the instrument has just recorded (no document on this road).
inline void AfterShotAcquired(Workspace& ws) { AfterRecordReplaced(ws, nullptr, nullptr, ShotArrival(RecordTitle::Untitled)); }

// A command is about to turn the record on show into one that stands for no shot (a tau-p panel,
// a zero-offset section): call it after the command's undo snapshot and before the traces change.
// The shot's picks go to the set while picking is on, as when a record is replaced; the record
// then keeps none and stands for no shot. Undo brings the shot back with its picks and its kind.
void RecordBecomesPanel(Workspace& ws);

// How a member of the file list arrives: a shot, or no shot for a member of a CMP list (its
// traces are gathered at a midpoint, not shot from it).
RecordArrival ListMemberArrival(const Workspace& ws, RecordTitle title = RecordTitle::Kept);

// The record's title over the traces: the document's title, or for an image "Dispersion curve : "
// or "Coherence : " and the names it was made from (a file group, or a record the document no
// longer names). The frame names an untitled image by it too.
std::string RecordTitleText(const Workspace& ws, const std::string& documentTitle);

// Step 5 of a road that had no document, when one is waiting.
void ApplyPendingRecordTitle(CommandContext& ctx);

// Step 4 alone: the view shows the record in the store.
void ShowRecordView(Workspace& ws);
// The plot mode for the record in the store: an image (dispersion or coherence) arriving under
// a wiggle layout is shown as the colour contour, and the wiggle layout comes back with the
// next waveform record, which also drops the names the image was titled with. Part of step 4;
// undo and redo run it for a record of the same shot.
void ShowPlotModeOfRecord(Workspace& ws);

// Trace 1's source word, or none without traces: what undo and redo compare.
std::optional<int32_t> RecordSource(const Workspace& ws);
// After undo or redo restored a snapshot: when it is another shot than `before` (the source of
// the record it replaced), it passes the common step with its own picks, as a record the
// document does not stand for, so that later picks go to its shot and Save asks for a name.
void AfterSnapshotRestored(Workspace& ws, std::optional<int32_t> before);
// Before undo or redo brings back `coming`: when it is another shot than the record on show,
// that record is left as on every road (BeforeRecordReplaced).
void BeforeSnapshotRestored(Workspace& ws, const DataSet& coming);

}  // namespace velk
