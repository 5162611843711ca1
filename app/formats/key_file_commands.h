#pragma once
// The key-file commands of Edit > "Edit sorce/receiver locations (with key)" that write the
// record's layout: "Save Key file" and "Make Key(&K)..." (Ctrl+K). "Open Key file" is with the
// memory-recorder commands.
//
// Ids 28280..28289 of the group block.

#include "app/command_table.h"

namespace velk {

class UiHost;
class Workspace;

namespace cmd {
constexpr int kSaveKeyFile = 28280;
constexpr int kMakeTraceHeaderKey = 28281;
}  // namespace cmd

// The record's key file: a save dialog "*.*" titled "Key file(*.*)", then per trace the line
// "%d %d %d %d %d %d \n" of 1, 1, the trace's place in the record (from 1), its receiver, source
// and component words, written atomically in the C locale. Cancel writes and says nothing; a
// failure says "error in opening file" and leaves the old file intact. Returns 0.
int SaveKeyFile(Workspace& ws, UiHost& ui);

// "Make trace header key" preset with the source position, the first receiver, the receiver
// interval and trace 1's sample count. On OK (a sample count of 1..MAX_SAMPLE and positions
// that fit the headers, else a message and nothing changes): the three values are kept, undo is
// pushed, trace i gets receiver i x interval + first and the source (both in hundredths,
// rounded) and the sample count (samples beyond the old count are 0); the receiver range
// follows the first and last trace; then the header editor opens without a time shift.
int MakeTraceHeaderKey(Workspace& ws, UiHost& ui);

void AddKeyFileCommands(CommandTable& table);

}  // namespace velk
