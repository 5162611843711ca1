#pragma once
// The imported record formats in the program: the document's readers of the 560QX SEG-1 files
// (code 6), the three-component .DAT files (7), GPR .DZT files (8) and SEG-Y (9), and the
// File-menu commands "Open ZAV 560QX (SEG1) file", "Open SEGY file" and "Open GPR file". Each
// road reads into a load target first and commits only when it goes on, with an undo snapshot
// of the record it replaces.
//
// The wx handlers only forward to these functions through the command table.

#include "app/command_table.h"

namespace velk {

class FormatRegistry;

namespace cmd {
constexpr int kOpen560QX = 21301;
constexpr int kOpenSegY = 21302;
constexpr int kOpenGpr = 21303;
}  // namespace cmd

// The readers of codes 6 to 9 (code 6 is saved as SEG-2 by the SEG-2 writers).
void RegisterSeg1SegYGprFormats(FormatRegistry& registry);

// "Open ZAV 560QX (SEG1) file": the "Open SEG2 file" road over the 560QX reader, with "Open
// data file" before the file dialog. Returns the trace count afterwards.
int Open560QXRecord(CommandContext& ctx);

// "Open SEGY file": the SEG-Y reader's dialog, then the common set-up of the imports (every
// trace number 1) after the summary with "(msec)". Returns 1 when a record was read.
int OpenSegYRecord(CommandContext& ctx);

// "Open GPR file": the radar text reader, then the generic set-up (vertical scale 100,
// horizontal 0.05, times in seconds, component 1000). Returns 1 when a record was read.
int OpenGprRecord(CommandContext& ctx);

// The rows of the three commands in the File menu's Option submenu.
void AddSeg1SegYGprCommands(CommandTable& table);

}  // namespace velk
