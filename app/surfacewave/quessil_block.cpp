#include "app/surfacewave/quessil_block.h"

namespace velk {

bool RostrelDataConnected() { return false; }

bool PublishCurvesForQuessil(Workspace&, UiHost&, int, const std::string&, bool) { return false; }

}  // namespace velk
