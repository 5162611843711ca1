#pragma once
// Small text helpers shared by the commands.

#include <string>
#include <string_view>

namespace velk {

// A plain copy of the text as a new string; a null pointer gives an empty string.
std::string StringFromText(std::string_view text);
std::string StringFromText(const char* text);

}  // namespace velk
