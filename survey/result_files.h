#pragma once
// The files this program writes into a line's folder that a folder listing would otherwise take
// for numbered shots: traveltime and phase-velocity files (.vs, .pvs), survey-line documents
// (.xml), project files (.QZ4), and the diagnostic logs whose names carry a number
// (kNumberedLogNames). A folder made into a file list leaves them out, so that a line's own
// results never become its shots; the other fixed-name outputs ("multi_select.txt",
// "geometry.txt" ...) have no number in their names and are never listed.

#include <string>
#include <string_view>

namespace velk {

// Whether `name` (without its folder) is one of those files; extensions match in any case.
bool IsProgramResultFile(std::string_view name);

// The CMP gathers of "Make CMP gather files(2D)": "cmp_%06d.sg2", or "cmp_%06d.coh" from the
// coherence method, the number being the CMP position in cm.
std::string CmpGatherFileName(int cmpHundredths, bool coherence);
// Whether `name` (without its folder) is such a gather: "cmp_", an optional '-', digits, and
// ".sg2" or ".coh" (extensions in any case). A folder's name has no say.
bool IsCmpGatherFileName(std::string_view name);

}  // namespace velk
