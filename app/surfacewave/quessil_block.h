#pragma once
// The curves of the traveltime set on their way to the dispersion program: the shared block
// "RostrelData" that the traveltime set's exchange provides.

#include <string>

namespace velk {

class UiHost;
class Workspace;

// True once the block "RostrelData" can be opened and filled from here; until then the
// dispersion program is started without the block being filled.
bool RostrelDataConnected();

// Copies the set into the block, opening it first when it is not open (in a guided mode slot
// 0 of the block's parameters then gets the request code); the request code and the line's
// path go with the set. False when the block could not be filled.
bool PublishCurvesForQuessil(Workspace& ws, UiHost& ui, int requestCode, const std::string& linePath, bool guided);

}  // namespace velk
