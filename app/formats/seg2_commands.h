#pragma once
// The File-menu commands that read a SEG-2 file straight into the store or save the store as
// SEG-2: "Open SEG2 file" (the main road, which keeps the picks of the record being left),
// its 20-bit variant, the sample-skip road, the float-data open, and the two saves. Each road
// reads into a load target first and commits only when it goes on, with an undo snapshot of
// the record it replaces; a cancelled or failed road leaves the store and its undo levels as
// they were.
//
// The wx handlers only forward to these functions through the command table.

#include <functional>
#include <optional>
#include <string>

#include "app/command_table.h"
#include "platform/uihost.h"

namespace velk {

class LoadTarget;
struct FormatContext;

namespace cmd {
// SEG-2 commands of the File menu.
constexpr int kOpenSeg2 = 21001;
constexpr int kOpenSeg2Packed20 = 21002;
constexpr int kOpenSeg2WithSkip = 21003;
constexpr int kSaveSeg2 = 21004;
constexpr int kSaveSeg2Int32 = 21005;
constexpr int kOpenSeg2Float = 21006;
}  // namespace cmd

// "Open SEG2 file": returns the trace count afterwards (unchanged when nothing was read). The
// acquisition calls it to show a record it has just saved.
int OpenSeg2Record(CommandContext& ctx);

// "Open SEG2 file(20bit float)": the same road over the 20-bit reader, whose positions and
// components come as arrays. Returns the trace count afterwards.
int OpenSeg2Packed20Record(CommandContext& ctx);

// The reader of one branch of the skip road: its file dialog and its path-level reader.
struct SkipRoadReader {
    std::string initialName;
    FileFilter filter;
    std::function<int(const std::string& path, LoadTarget& target, int skip, FormatContext& fc)> read;
    int fileType = 0;  // the document's file-type code for the file read (0 SEG-2)
};
// The SEG-2 branch ("*.*", "Seg2 file (*.*)", ReadSeg2File).
SkipRoadReader Seg2SkipReader();

// "Open ... (with sample skip)": "Sample skip" (seeded with the last value), the file dialog,
// "Open data file" when traces are loaded, the read with the skip, the sampling-time question
// when the file has none, the summary message, the picks of the record left, the extents and
// the stored picks of the new shot. Returns 1 when a record was read (repaint), else 0.
int OpenWithSampleSkip(CommandContext& ctx, const SkipRoadReader& reader);

// "Save SEG2 file": float samples through the SEG-2 holder's save dialog.
int SaveSeg2Record(CommandContext& ctx);
// "Save SEG2 file(32bit integer)": code 2 scaled by the record's peak, written to the full path
// chosen. A failed write says so and leaves the old file as it was.
int SaveSeg2Int32Record(CommandContext& ctx);

// "Open Seg2 file (float data)": the float reader, then the generic set-up. Returns 1 when a
// record was read.
int OpenSeg2FloatRecord(CommandContext& ctx);

// The sampling-time question of the open roads: an interval above 0 passes; otherwise "Set
// sampling time" (seeded with it) must give one above 0, else the load is abandoned with a
// message (nullopt).
std::optional<float> ConfirmSamplingTime(UiHost& ui, int language, float intervalMs);
inline constexpr const char* kNoSamplingTime =
    "The sampling time must be larger than 0 ! \n The file has not been read.";

// The rows of the commands above in the File menu, with their rules.
void AddSeg2FileCommands(CommandTable& table);

}  // namespace velk
