#pragma once
// The folder chooser the survey-file commands use: the UiHost's folder dialog with the title
// "フォルダの選択" (shown in Japanese in every language).

#include <string>

#include "platform/uihost.h"

namespace velk {

inline constexpr const char* kChooseFolderTitle = "フォルダの選択";

// On OK puts the chosen folder's full path into `path` and returns 1; on Cancel returns 2 and
// leaves `path` as it was.
int ChooseFolder(UiHost& ui, std::string& path);

}  // namespace velk
