#pragma once
// The memory-recorder commands: "Open Hioki memory recorder (8840) file" and "Open Hioki memory
// recorder (8826, 8841, 8842) file" (one road, the form chosen by the row) with the generic
// set-up, "Input gain", and the two key-file commands that rebuild the record's traces from
// recorder channels: "Open Key file for Hioki memory recorder" and "Open Key file".
//
// The wx handlers only forward to these functions through the command table.

#include "app/command_table.h"

namespace velk {

namespace cmd {
// Ids 21400..21419.
constexpr int kOpenHioki8840 = 21400;
constexpr int kOpenHioki8826 = 21401;
constexpr int kInputGain = 21402;
constexpr int kOpenMemoryRecorderKeyFile = 21403;
constexpr int kOpenKeyFile = 21404;
}  // namespace cmd

// The two file forms of the open road.
constexpr int kHioki8840Form = 0;
constexpr int kHioki8826Form = 1;

// The file dialog, the reader of the form, the sampling-time question when the file gives
// none, then the generic set-up (summary, vertical scale 100, horizontal 50). Returns 1 when a
// record was read.
int OpenMemoryRecorderRecord(CommandContext& ctx, int form);

// "Set gain": the first eight traces and their peaks times their gains. No undo snapshot.
int OnInputGain(CommandContext& ctx);

// The key-file commands: the traces the file names are built from the record's channels into
// scratch and replace the record (no undo snapshot); the distance range widens over the new
// receivers, the traces are sorted by receiver and the traveltime-curve display is toggled.
// A key file that names no channel of the record changes nothing.
int OpenMemoryRecorderKeyFile(CommandContext& ctx);
int OpenKeyFile(CommandContext& ctx);

// The rows of these commands (File > Memory recorder; Edit > Edit sorce/receiver locations
// (with key)).
void AddMemoryRecorderCommands(CommandTable& table);

}  // namespace velk
