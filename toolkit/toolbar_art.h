#pragma once
// Toolbar pictures by the command table's icon keys: the toolkit's stock pictures where one
// fits, otherwise a small picture drawn here.

#include <string>

#include <wx/bitmap.h>

namespace velk {

inline constexpr int kToolbarIconSize = 24;

wxBitmap ToolbarBitmap(const std::string& key, const std::string& label);

}  // namespace velk
