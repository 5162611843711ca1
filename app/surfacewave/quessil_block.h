#pragma once
// The curves of the traveltime set on their way to the dispersion program: the shared block
// "RostrelData" of the traveltime set's exchange (traveltime/publish_traveltime_set.h).

#include <string>

namespace velk {

class UiHost;
class Workspace;

// Copies the set into the block with the request code and the line's path, opening the block
// first when it is not open (in a guided mode slot 0 of the block's parameters then gets the
// spread length of the mode). A block that cannot be opened is reported; false then.
bool PublishCurvesForQuessil(Workspace& ws, UiHost& ui, int requestCode, const std::string& linePath, bool guided);

}  // namespace velk
