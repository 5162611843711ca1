#pragma once
// What the import commands of the File menu share (the memory-recorder files, the text and
// binary imports): the commit of what a reader read, and the document an imported record
// leaves behind. An imported file has no writer of its own: the document becomes untitled, so
// that Save asks for a name and never writes a SEG-2 record over the file that was imported,
// while the current file name keeps the imported file's name.

#include <optional>
#include <string>

#include "app/command_table.h"

namespace velk {

class ByteSource;
class LoadTarget;

// "error in opening file", the imports' message for a file that cannot be opened.
std::string ErrorOpeningFileText(int language);

// The file chosen, read whole; nullopt (after the message) when it cannot be opened.
std::optional<ByteSource> OpenImportFile(CommandContext& ctx, const std::string& path);

// The undo snapshot (when traces are loaded), traces 0 .. count-1 of the target into the store
// (headers too with copyHeaders), the selection flags cleared, and the document as above.
void CommitImport(CommandContext& ctx, const LoadTarget& target, int count, bool copyHeaders, const std::string& path);

}  // namespace velk
