#pragma once
// The microtremor-array geometry of an opened survey line, edited in its dialog before the line
// is taken. Not built yet: accepts without showing anything.

namespace velk {

struct SurveyLine;
class UiHost;

// True when the line's array geometry was accepted; false ends the opening of the line.
bool ArrayGeometryDialog(const SurveyLine& line, UiHost& ui, int language);

}  // namespace velk
