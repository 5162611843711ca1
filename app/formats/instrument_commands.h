#pragma once
// The commands of the instrument files: the document's reader and writer of the .ORG record
// (code 1), and the File-menu roads of its relatives and the loggers' files: Torvane9 text,
// the 470 and QK variants, shuttle, suspension and Kesh's files, and their saves.
//
// Every open reads into a load target first and commits (with an undo snapshot of the record
// it replaces) only when every question has been answered, so a cancelled or failed command
// leaves the store and its undo levels as they were. The saves write a scaled copy; the store
// stays as it is. What these commands keep between files (the shuttle header, the Torvane9
// geometry) lives in Workspace::instrumentFiles.

#include "app/command_table.h"
#include "platform/uihost.h"

namespace velk {

class FormatRegistry;

namespace cmd {
// Ids 21120..21139.
constexpr int kOpenTorvane9 = 21120;
constexpr int kOpen470 = 21121;
constexpr int kOpenQk = 21122;
constexpr int kSaveQk = 21123;
constexpr int kOpenShuttle = 21124;
constexpr int kSaveShuttle = 21125;
constexpr int kReadKesh = 21126;
constexpr int kOpenSuspension = 21127;
constexpr int kSaveSuspension = 21128;
}  // namespace cmd

// "Save 470f file" (dialog 207): normalisation of the written copy by the whole file (0) or
// by each trace (1).
struct CSave470fFileDlg {
    static constexpr const char* kClass = "CSave470fFileDlg";
    static constexpr int kFile = 0;
    static constexpr int kTrace = 1;
    int normalization = kFile;

    DialogRequest Request(int language);
};

// Each open returns 1 when a record was read (the view repaints), else 0; each save 0.
int OpenTorvane9File(CommandContext& ctx);
int Open470File(CommandContext& ctx);
int OpenQkFile(CommandContext& ctx);
int SaveQkFile(CommandContext& ctx);
int OpenShuttleFile(CommandContext& ctx);
int SaveShuttleFile(CommandContext& ctx);
int ReadKeshFileCommand(CommandContext& ctx);
int OpenSuspensionFile(CommandContext& ctx);
int SaveSuspensionFile(CommandContext& ctx);

// Code 1 in the document's registry: ReadTorvaneOrg and WriteTorvaneOrg (a record the fields
// cannot hold is refused with the reason; an interval the field shortens is said first).
void RegisterTorvaneOrgFormat(FormatRegistry& registry);

// The rows of the commands above, in File > Instrument files.
void AddInstrumentFileCommands(CommandTable& table);

}  // namespace velk
