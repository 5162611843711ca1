#pragma once
// Strong-motion sets in the program: the document's readers of station files (code 3) and set
// files (code 4), the set file's writer (code 4, while a set is loaded), the commit of the
// shown records with a load, and the refill of the store from the set that the earthquake
// commands and the station steps of next/previous file use.
//
// The set, its coordinate origin and the strong-motion flag live in the Workspace.

#include <functional>
#include <span>

namespace velk {

class CVelkarineDoc;
class FormatRegistry;
class UiHost;
class Workspace;

// Registers the readers of codes 3 and 4 and the writer of code 4.
void RegisterStrongMotionFormats(FormatRegistry& registry);

// The document's commit of a load of code 3 or 4, before the set-up step: the shown records of
// the traces read (store indices start .. start + count - 1), and the strong-motion flag.
void CommitStrongMotionLoad(Workspace& ws, int start, int count);

// What a set-up's sort calls so that the shown records move with their traces; empty while no
// strong-motion set is loaded.
std::function<void(std::span<const int>)> StationRecordMover(Workspace& ws);

// Fills the store from the set by its view mode (with an undo snapshot), corrects the time
// axis, starts the traces at the earthquake time when that flag is on, and sets up peaks,
// window and order. In station mode the document's current file name becomes the station's
// name (when a document is given). Returns 1 (repaint), or 0 when no set is loaded.
int RefillEarthquakeTraces(Workspace& ws, UiHost& ui, CVelkarineDoc* doc = nullptr);

}  // namespace velk
