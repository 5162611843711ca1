#pragma once
// The text and binary imports and exports of the File menu: "Open text data file", "Read
// Danvel Oskerby's file", "Open text data file (as rows)", "Read Morvath Delquin's file", "Read
// laser doppler file", "Open binary data file" (through the operations holder), "Read Brevik
// university's file" (each trace also as "mam%d_%s.8hd"), "Read DWM file", "Read Varnel
// Delquin's file"; the writes "Save text data file (as a row)", "Save text data file", "Save
// text data file (as rows)", "Write Varnel Delquin's file", "Save Perrow data files" and the
// total energy ("energy.txt").
//
// Each import reads into a load target and commits only when the file was read, with an undo
// snapshot of the record it replaces; then the imports' common set-up (summary, trace numbers
// from 1, receivers 1, 2, 3 ... m, scales 50 and 25, time domain). Files the user names are
// written through an atomic file: a failed write says so and leaves the old file as it was.
//
// The wx handlers only forward to these functions through the command table.

#include "app/command_table.h"

namespace velk {

namespace cmd {
// Ids 21420..21459; the rule of "Save Perrow data files" is 2140.
constexpr int kOpenTextData = 21420;
constexpr int kReadOskerby = 21421;
constexpr int kOpenTextRows = 21422;
constexpr int kReadMorvath = 21423;
constexpr int kReadLaserDoppler = 21424;
constexpr int kOpenBinaryData = 21425;
constexpr int kReadBrevik = 21426;
constexpr int kReadDwm = 21427;
constexpr int kReadVarnel = 21428;
constexpr int kWriteVarnel = 21429;
constexpr int kSaveTextAsARow = 21430;
constexpr int kSaveText = 21431;
constexpr int kSaveTextAsRows = 21432;
constexpr int kSavePerrow = 21433;
constexpr int kSaveEnergy = 21434;
}  // namespace cmd

constexpr int kRulePerrowTraces = 2140;  // 0 < traces < 100

// The imports. Each returns 1 when a record was read (repaint), else 0.
int OpenTextDataFile(CommandContext& ctx);
int ReadOskerbyRecord(CommandContext& ctx);
int OpenTextRowsFile(CommandContext& ctx);
int ReadMorvathRecord(CommandContext& ctx);
int ReadLaserDopplerRecord(CommandContext& ctx);
int ReadBrevikRecord(CommandContext& ctx);
int ReadDwmRecord(CommandContext& ctx);
int ReadVarnelRecord(CommandContext& ctx);
// "Open binary data file": the row builds an operations holder and calls its reader
// (CWaveOperations::OpenBinaryDataFile).
int OpenBinaryDataRecord(CommandContext& ctx);

// The writes. Each returns 0 (nothing to repaint).
int SaveTextAsARow(CommandContext& ctx);
int SaveTextByTrace(CommandContext& ctx);
int SaveTextAsRows(CommandContext& ctx);
int WriteVarnelRecord(CommandContext& ctx);
// One ".cdm" file per trace in the working folder.
int SavePerrowFiles(CommandContext& ctx);
// "energy.txt" in the working folder (through the diagnostic log).
int SaveTotalEnergy(CommandContext& ctx);

// The rows of these commands (File > Text and binary data) and the Perrow rule.
void AddTextImportCommands(CommandTable& table);

}  // namespace velk
