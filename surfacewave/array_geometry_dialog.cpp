#include "surfacewave/array_geometry_dialog.h"

namespace velk {

bool ArrayGeometryDialog(const SurveyLine&, UiHost&, int) { return true; }

}  // namespace velk
