#pragma once
// The files this program writes into a line's folder that a folder listing would otherwise take
// for numbered shots: traveltime and phase-velocity files (.vs, .pvs), survey-line documents
// (.xml), project files (.QZ4), and the diagnostic logs whose names carry a number
// (kNumberedLogNames). A folder made into a file list leaves them out, so that a line's own
// results never become its shots; the other fixed-name outputs ("multi_select.txt",
// "geometry.txt" ...) have no number in their names and are never listed.

#include <string_view>

namespace velk {

// Whether `name` (without its folder) is one of those files; extensions match in any case.
bool IsProgramResultFile(std::string_view name);

}  // namespace velk
