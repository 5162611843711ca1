#pragma once
// The File menu's document commands over CVelkarineDoc: New, Open, Save, Save As and the
// recent files, and the open road a file named on the command line takes. Each returns 1 when
// the view must be repainted.

#include <string>

#include "app/command_table.h"

namespace velk {

int OnFileNew(CommandContext& ctx);
int OnFileOpen(CommandContext& ctx);
int OnFileSave(CommandContext& ctx);     // an untitled document goes to Save As
int OnFileSaveAs(CommandContext& ctx);
int OnOpenRecentFile(CommandContext& ctx, int index);

// Loads `path` into the document; on success the path goes first in the recent-file list and
// the frame shows the new title. A recent file that cannot be opened leaves the list.
bool OpenDocumentFile(CommandContext& ctx, const std::string& path);

}  // namespace velk
