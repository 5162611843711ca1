#pragma once
// The files this program writes into a line's folder as results and logs: traveltime and
// phase-velocity files (.vs, .pvs), survey-line documents (.xml), project files (.QZ4), and
// the fixed-name text outputs and diagnostic logs of its commands and readers. A folder made
// into a file list leaves them out, so that a line's own results never become its shots.

#include <string_view>

namespace velk {

// Whether `name` (without its folder) is one of those files; extensions match in any case.
bool IsProgramResultFile(std::string_view name);

}  // namespace velk
