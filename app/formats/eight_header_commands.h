#pragma once
// The commands of the 8-header family: the skip road's 8-header branch, the text form of the
// frequency-domain results, the old layouts, appending an 8-header file, saving the record as
// one, and the join of two files; and the document's reader and writer of code 2 (".8hd").
//
// Every open reads into a load target first and commits (with an undo snapshot of the record
// it replaces) only when it goes on, so a cancelled or failed command leaves the store and its
// undo levels as they were. The wx handlers only forward to these functions through the
// command table.

#include "app/command_table.h"
#include "app/formats/seg2_commands.h"

namespace velk {

class FormatRegistry;

namespace cmd {
// Ids 21100..21119.
constexpr int kOpenEightHeaderWithSkip = 21100;
constexpr int kOpenEightHeaderText = 21101;
constexpr int kOpenOldestEightHeader = 21102;
constexpr int kOpenOlderEightHeader = 21103;
constexpr int kAppendEightHeader = 21104;
constexpr int kSaveEightHeader = 21105;
constexpr int kConnectEightHeaderFiles = 21106;
}  // namespace cmd

// The 8-header branch of the skip road ("*.8hd", "8 header file (*.8hd)", ReadEightHeaderFile).
SkipRoadReader EightHeaderSkipReader();

// "Open 8 header file (text format, FD results)". Returns 1 when a record was read.
int OpenEightHeaderText(CommandContext& ctx);

// "Open old 8 header file(oldest)" and "Open old 8 header file(older)". Return 1 when a
// record was read.
int OpenOldestEightHeader(CommandContext& ctx);
int OpenOlderEightHeader(CommandContext& ctx);

// "Append 8 header file": the file's traces behind the loaded ones, within the room left.
// Returns 1 when traces were appended.
int AppendEightHeader(CommandContext& ctx);

// "Save 8 header file": the loaded traces through WriteEightHeaderFile; a failure says so and
// leaves the old file as it was.
int SaveEightHeaderRecord(CommandContext& ctx);

// "Connect 2 files (8 header files)": the two inputs and the output through file dialogs, the
// join (ConnectEightHeaderFiles), then "Number of traces = %d". The store is not changed.
int ConnectEightHeaderFilesCommand(CommandContext& ctx);

// Code 2 in the document's registry: ReadEightHeader (skip 1) and WriteEightHeader.
void RegisterEightHeaderFormat(FormatRegistry& registry);

// The rows of the commands above, with the menus they sit in.
void AddEightHeaderCommands(CommandTable& table);

// Messages of these commands (exact texts).
inline constexpr const char* kCouldNotOpenFile = "Could not open the file";
inline constexpr const char* kCanNotOpenFile = "Can not open file";
inline constexpr const char* kNumberOfTracesJoined = "Number of traces = %d";

}  // namespace velk
