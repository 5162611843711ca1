#pragma once
// The batch commands of Option > "Batch processing" and the two append commands of File >
// Option. The batches work on files and leave the record as it was; the appends read many
// files into one record of the store.
//
// Ids 28400..28409; the automatic processing of app/survey/automatic_processing.h has
// 28410..28499. Rules 3080..3099 (all in the automatic processing).

#include <string>
#include <vector>

#include "survey/batch.h"

namespace velk {

class CommandTable;
class UiHost;
class ViewSurface;
class Workspace;
struct CommandContext;

namespace cmd {
constexpr int kBatchSourceReceiver = 28400;
constexpr int kBatchBandPass = 28401;
constexpr int kBatchCrossCorrelation = 28402;
constexpr int kAppendSelectedFiles = 28403;
constexpr int kAppendFolder = 28404;
}  // namespace cmd

// The batch's context over the workspace: its capacities, the diagnostic log, and progress
// texts as the view's transient text at their positions.
BatchContext MakeBatchContext(Workspace& ws, UiHost& ui, ViewSurface* view);

// "Source-receiver location": the "Batch" dialog with its three options 1; OK runs the batch.
// The record is not touched: returns 0.
int BatchSourceReceiverLocations(CommandContext& ctx);
// "BPF(cos function taper)": the band-pass batch from the program's band-pass settings (OK in
// its dialog stores them). No repaint.
int BatchBandPassCommand(CommandContext& ctx);

// The appends: the files are read in turn, each into scratch with the room left in the store,
// and committed behind the traces before them (the first commit pushes undo). "Use receiver
// component in trace header ?" No gives every trace of file f (from 1) component f; a file of
// one trace with a latitude gets the receiver position of the number in its name (in metres).
// A file that does not fit is not read, the capacity message shows and appending stops.
// Strong-motion files go to the workspace's set, whose traces follow the others. Ends with
// "%d files have been appended !" and sets survey.appendFiles. Returns the store's trace count
// after appending. `folder`: the folder's order and rules (the group-member types; a 560QX or
// unknown file is skipped; the log "multi_select.txt", written into that folder, and a
// progress text per file).
int AppendFiles(Workspace& ws, UiHost& ui, ViewSurface* view, const std::vector<std::string>& paths);
int AppendFolderFiles(Workspace& ws, UiHost& ui, ViewSurface* view, const std::string& folder);

// The two commands: the selection (or the folder), the append, then with traces the maxima,
// the sort by receiver (with the station records after a folder), the extents and a repaint.
int AppendSelectedFilesCommand(CommandContext& ctx);
int AppendFolderCommand(CommandContext& ctx);

void AddBatchCommands(CommandTable& table);

}  // namespace velk
