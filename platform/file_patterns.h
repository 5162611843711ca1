#pragma once
// File-dialog filter patterns.

#include <string>
#include <string_view>

namespace velk {

// The filter's patterns for a file dialog whose matching knows case: each pattern with a
// letter is followed by its case-blind twin ("*.dat" -> "*.dat;*.[dD][aA][tT]"), so that
// "LINE1.DAT" shows under "*.dat" as it did where names were matched without case. The first
// pattern stays as it was (a save dialog takes its extension from it).
std::string CaseBlindPatterns(std::string_view patterns);

}  // namespace velk
