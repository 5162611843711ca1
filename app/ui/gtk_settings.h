#pragma once
// The toolkit's interface font (menus, dialogs, status bar). Japanese mode uses IPAGothic so
// that menus and messages never fall back to whatever font happens to cover the glyphs.

#include <string>

namespace velk {

inline constexpr const char* kJapaneseFontFace = "IPAGothic";

// Sets the interface font ("IPAGothic 10"); false when the toolkit does not offer it.
bool SetInterfaceFont(const std::string& fontName);
// The interface font's name, or empty when it cannot be read.
std::string InterfaceFont();

}  // namespace velk
