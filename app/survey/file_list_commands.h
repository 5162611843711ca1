#pragma once
// The file-list commands of the "Group (File list)" menu, the project file (.QZ4) of the
// document, and what a gather leaves in the store. Every list command works on a copy of the
// list: Cancel in any of its dialogs ends the command and the group stays as it was.
//
// Ids 28000..28099, rules 3000..3019.

#include <string>

#include "survey/file_group.h"

namespace velk {

class CommandTable;
class FormatRegistry;
class UiHost;
class Workspace;
struct CommandContext;

namespace cmd {
constexpr int kOpenFileList = 28000;
constexpr int kMakeFileList = 28001;
constexpr int kMakeFileListFromFolder = 28002;
constexpr int kShowFileList = 28003;
constexpr int kSaveFileListText = 28004;
constexpr int kSaveFileListTabular = 28005;
constexpr int kSaveFileListXml = 28006;
constexpr int kShiftFileList = 28007;
}  // namespace cmd

constexpr int kRuleFileListNotEmpty = 3000;  // entryCount > 0

// What the group's reads need of the workspace: the UiHost and language, the diagnostic log
// (the working folder), the working and acquisition data folders, the store's capacities.
GroupReadContext MakeGroupReadContext(Workspace& ws, UiHost& ui);

// The store after a shot (kind 0), receiver (1) or CDP (2) gather of `count` traces: counts,
// interval, record length, first and last position, maxima, the whole gather selected, and
// the gather position of the view's label (the source word of trace 0 for a shot or receiver
// gather, whose source word carries the common receiver; the midpoint of trace 0 for a CDP
// gather). Any other kind sets no label. An empty gather leaves 0 traces and reads nothing.
// False when the interval of the gather is not valid (InvalidIntervalMessage).
bool GatherStoreSetUp(Workspace& ws, int count, int kind);

// Member file `index` of the group into the store (undo snapshot; a file that gives no traces
// leaves the record as it was); the document then stands for that file. Returns the traces.
int ShowListedFile(CommandContext& ctx, int index, bool sortByReceiver);

// "Open file list": an XML or text list (atStartup: any file), its list dialog, file 0 shown.
// An unreadable line document says "Cannot open the file" with the path and changes nothing;
// a line document's record and array geometry are taken together with its list.
// Returns 1 when a list was taken (the view repaints), else 0.
int OpenFileList(CommandContext& ctx, bool atStartup);
// "Make file list" / "Make file list(select a folder)": from the menu the naming options and
// the list dialog must both end with OK; the acquisition wizards pass fromMenu false. Returns
// the entry count of the list taken, 0 when none was.
int MakeFileList(CommandContext& ctx, bool fromMenu);
int MakeFileListFromFolder(CommandContext& ctx, bool fromMenu);
int ShowFileList(CommandContext& ctx);
int SaveFileListText(CommandContext& ctx);
int SaveFileListTabular(CommandContext& ctx);
// "Save file list(XML)": in acquisition mode the device's line file, otherwise, while the
// line-file switch is on, the workspace's line with the group's list and the array geometry.
int SaveFileListXml(CommandContext& ctx);
int ShiftFileList(CommandContext& ctx);

// The list part of a group (entries, count, naming, flags, list folder) copied into another.
void CopyListState(const CFileGroup& from, CFileGroup& to);

void AddFileListCommands(CommandTable& table);

// The project file's reader and writer (code 5).
void RegisterProjectFormat(FormatRegistry& registry);

}  // namespace velk
