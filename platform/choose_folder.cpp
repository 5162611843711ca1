#include "platform/choose_folder.h"

#include <optional>
#include <utility>

namespace velk {

int ChooseFolder(UiHost& ui, std::string& path) {
    std::optional<std::string> chosen = ui.BrowseFolder(FolderRequest{kChooseFolderTitle, {}});
    if (!chosen) return 2;
    path = std::move(*chosen);
    return 1;
}

}  // namespace velk
